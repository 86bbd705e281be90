#pragma once
// Which samples of a dataset an analysis reads, and the checks of the dialogs that choose them.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "spc/dataset_spc.h"

namespace mv {

// Part of a chart task and of a histogram task.
struct SampleSelection {
  const TDatasetSPC* dataset = nullptr;
  std::vector<int> blocks;  // block positions, in order
  bool wholeBlocks = true;  // else samples from..to of the listed block(s)
  std::uint16_t from = 1;   // 1-based, inclusive
  std::uint16_t to = 1;
};

// Calls visit(blockPosition, block, samplePosition, sample) for every selected sample in order.
// Block positions that do not exist are skipped; a range is cut to the block's samples.
template <class Visit>
void ForEachSelectedSample(const SampleSelection& selection, Visit&& visit);

// --- checks of the selection dialogs ---

// "все (12 шт.)": the choice that takes every sample of a block.
std::string AllSamplesText(int sampleCount);
// "Все блоки (3)".
std::string AllBlocksText(int blockCount);
inline constexpr std::string_view kNoVarParameters = "<нет параметров количественных данных>";
inline constexpr std::string_view kNoVarBlocks = "<нет блоков количественных данных>";
inline constexpr std::string_view kBadSampleRange = "Номера выборок указаны неверно";

struct SampleRange {
  std::uint16_t from = 1;
  std::uint16_t to = 1;
};

// Two whole numbers with 1 <= from <= to <= sampleCount; nothing otherwise.
std::optional<SampleRange> ParseSampleRange(std::string_view fromText, std::string_view toText, int sampleCount);
// The same, showing "Номера выборок указаны неверно" when the texts do not give a range (the
// dialog then stays open).
std::optional<SampleRange> CheckSampleRange(std::string_view fromText, std::string_view toText, int sampleCount);

template <class Visit>
void ForEachSelectedSample(const SampleSelection& selection, Visit&& visit) {
  if (!selection.dataset) return;
  for (const int b : selection.blocks) {
    const TSPCBlock* block = selection.dataset->Block(b);
    if (!block) continue;
    const int first = selection.wholeBlocks ? 1 : std::max<int>(1, selection.from);
    const int last = selection.wholeBlocks ? block->SampleCount() : std::min<int>(selection.to, block->SampleCount());
    for (int s = first; s <= last; ++s) visit(b, *block, s, *block->Sample(s));
  }
}

}  // namespace mv
