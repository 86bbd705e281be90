// Arbitrary bytes as the three option records of a data file (10, 8 and 24 bytes, in that
// order; what is left over is tried as each record again from its first byte). A record either
// reads with every field in its range or is refused, what reads encodes to the bytes it came
// from, and the dataset's readers give values the block window can use.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "platform/log_sink.h"
#include "platform/services.h"
#include "spc/editing_options.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

class QuietLog final : public mv::platform::ILog {
 public:
  void LogLine(std::string_view, int) override {}
  void LogError(std::string_view, int) override {}
};

template <class Options, class Decode, class Encode>
void RoundTrip(std::span<const std::uint8_t> bytes, Decode decode, Encode encode) {
  std::string problem;
  const auto options = decode(bytes, problem);
  if (!options) {
    Check(!problem.empty());
    return;
  }
  const auto encoded = encode(*options);
  Check(bytes.size() == encoded.size() && std::equal(bytes.begin(), bytes.end(), encoded.begin()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static QuietLog log;
  mv::platform::Install<mv::platform::ILog>(&log);
  const std::span<const std::uint8_t> all(data, size);
  const auto part = [&](std::size_t from, std::size_t n) { return all.subspan(std::min(from, size), std::min(n, size - std::min(from, size))); };

  for (const std::size_t from : {std::size_t{0}, std::size_t{42}}) {
    RoundTrip<mv::EditingOptions>(part(from, 10), mv::DecodeEditingOptions, mv::EncodeEditingOptions);
    RoundTrip<mv::SeparationOptions>(part(from + 10, 8), mv::DecodeSeparationOptions, mv::EncodeSeparationOptions);
    RoundTrip<mv::SampleMergingOptions>(part(from + 18, 24), mv::DecodeMergingOptions, mv::EncodeMergingOptions);
  }

  mv::TDatasetSPC ds;
  const auto fill = [&](auto& area, std::size_t from) {
    const auto bytes = part(from, area.size());
    std::copy(bytes.begin(), bytes.end(), area.begin());
  };
  fill(ds.settings.editingOptions, 0);
  fill(ds.settings.separationOptions, 10);
  fill(ds.settings.mergingOptions, 18);
  const auto kept = ds.settings.mergingOptions;
  const mv::EditingOptions e = mv::ReadEditingOptions(ds);
  Check(e.newSampleDate <= 1 && e.entryStart <= 1 && (e.flags & ~mv::editing_flag::kAll) == 0);
  const mv::SeparationOptions s = mv::ReadSeparationOptions(ds);
  Check(s.Size() >= 1 && s.Size() <= 200);
  const mv::SampleMergingOptions m = mv::ReadMergingOptions(ds);
  Check(static_cast<int>(m.mode) <= 3 && m.N() >= 2 && m.N() <= 200);
  Check(!mv::MergingSummary(m).empty());
  Check(ds.settings.mergingOptions == kept);  // reading never rewrites the bytes
  mv::platform::Install<mv::platform::ILog>(nullptr);
  return 0;
}
