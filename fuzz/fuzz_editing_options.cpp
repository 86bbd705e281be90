// Arbitrary bytes as the three option records of a data file (10, 8 and 24 bytes, in that
// order; what is left over is tried as each record again from its first byte). A record either
// reads with every field in its range or is refused, what reads encodes to the bytes it came
// from, and the dataset's readers give values the block window can use. Then the block
// window's separation and merging run with what was read on a small block: no point is lost or
// made, no sample holds more than 200 points.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "platform/log_sink.h"
#include "platform/services.h"
#include "platform/messages.h"
#include "platform/prompts.h"
#include "spc/editing_options.h"
#include "spc/sample_operations.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

class QuietLog final : public mv::platform::ILog {
 public:
  void LogLine(std::string_view, int) override {}
  void LogError(std::string_view, int) override {}
};

class QuietWindows final : public mv::platform::IMessageWindows {
 public:
  bool Show(mv::platform::TMsgWinParams&) override { return true; }
};

class YesPrompts final : public mv::platform::IPrompts {
 public:
  int Choose(const mv::platform::ChoiceRequest&) override { return 0; }
  bool AskPassword(const mv::platform::PasswordRequest&) override { return false; }
  bool SetPassword(const mv::platform::SetPasswordRequest&) override { return false; }
};

// One parameter; a dated block of six samples of 1, 40, 90, 7, 3 and 60 points over three days.
void AddSmallBlock(mv::TDatasetSPC& ds) {
  mv::TSPCParameter props;
  props.kind = mv::DataKind::Var;
  props.name = "p";
  ds.SetParameter(0, 0, props);
  const int b = ds.AddBlock(0, "b", mv::SamplingMode::Samples, mv::block_flag::kDates, 0, mv::DataKind::Var, "", "");
  const int points[] = {1, 40, 90, 7, 3, 60};
  for (int s = 1; s <= 6; ++s) {
    ds.Block(b)->AddSample(s % 2 == 0 ? "a" : "A", "", true);
    mv::TSPCSample& sample = *ds.Block(b)->Sample(s);
    sample.dateTime = 45352 + s / 2;
    sample.AddPoints(points[s - 1]);
    for (int p = 1; p <= points[s - 1]; ++p) ds.SetValue(b, s, p, 1, s * 1000 + p);
  }
  ds.ComputeAllStats();
}

int TotalPoints(const mv::TSPCBlock& block) {
  int total = 0;
  for (const auto& s : block.Samples()) {
    Check(s.PointCount() <= 200);
    total += s.PointCount();
  }
  return total;
}

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

  static QuietWindows windows;
  static YesPrompts prompts;
  mv::platform::Install<mv::platform::IMessageWindows>(&windows);
  mv::platform::Install<mv::platform::IPrompts>(&prompts);
  AddSmallBlock(ds);
  mv::TSPCBlock& block = *ds.Block(1);
  const int total = TotalPoints(block);
  mv::BlockEditing editing(ds, 1);
  const int position = size > 42 ? 1 + data[42] % 6 : 3;
  (void)editing.SeparateSample(position, std::to_string(s.Size()), s.CopyNote());
  Check(TotalPoints(block) == total && block.SampleCount() <= 1000);
  mv::SampleMergingOptions merge = m;
  if (merge.mode == mv::MergeMode::None) merge.mode = mv::MergeMode::All;
  (void)editing.MergeSamples(1, block.SampleCount(), merge);
  Check(TotalPoints(block) == total && block.SampleCount() >= 1);
  Check(block.stats.totalPoints == total);
  mv::platform::Install<mv::platform::IPrompts>(nullptr);
  mv::platform::Install<mv::platform::IMessageWindows>(nullptr);
  mv::platform::Install<mv::platform::ILog>(nullptr);
  return 0;
}
