#include "analysis/sample_selection.h"

#include "core/messages.h"
#include "core/numbers.h"

namespace mv {

std::string AllSamplesText(int sampleCount) { return "все (" + FormatInt(sampleCount) + " шт.)"; }

std::string AllBlocksText(int blockCount) { return "Все блоки (" + FormatInt(blockCount) + ")"; }

std::optional<SampleRange> ParseSampleRange(std::string_view fromText, std::string_view toText, int sampleCount) {
  const auto from = ParseInteger(fromText, 1, sampleCount);
  const auto to = ParseInteger(toText, 1, sampleCount);
  if (!from || !to || *from > *to) return std::nullopt;
  return SampleRange{static_cast<std::uint16_t>(*from), static_cast<std::uint16_t>(*to)};
}

std::optional<SampleRange> CheckSampleRange(std::string_view fromText, std::string_view toText, int sampleCount) {
  auto range = ParseSampleRange(fromText, toText, sampleCount);
  if (!range) ShowError(kBadSampleRange);
  return range;
}

}  // namespace mv
