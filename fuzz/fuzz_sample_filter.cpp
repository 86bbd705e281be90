// Arbitrary bytes as the filter area of a data file (two 511-byte records; what is left over is
// also tried as a value typed in the condition window). The reader must keep every count and
// length within its capacity, what it gives must encode to bytes that read back the same, and
// applying the filters to a small dataset must mark only what one sample at a time marks too.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "core/text.h"
#include "spc/sample_filter.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// Two quantitative parameters and an alternative one; a dated block of three samples of four
// points with notes and events, one point excluded and one value missing; an alternative block.
std::unique_ptr<mv::TDatasetSPC> SmallDataset() {
  auto ds = std::make_unique<mv::TDatasetSPC>();
  for (const auto kind : {mv::DataKind::Var, mv::DataKind::Var, mv::DataKind::Attr}) {
    mv::TSPCParameter props;
    props.kind = kind;
    props.name = "p";
    ds->SetParameter(0, 0, props);
  }
  // The identifiers a crafted record can name.
  for (int k = 1; k <= 3; ++k) ds->Parameter(k)->id = k;
  const int var = ds->AddBlock(1, "a", mv::SamplingMode::Samples, mv::block_flag::kDates | mv::block_flag::kTimes, 0,
                               mv::DataKind::Var, "", "");
  const char* notes[] = {"Брак партии", "", "ёЖ"};
  for (int s = 1; s <= 3; ++s) {
    ds->Block(var)->AddSample(notes[s - 1], s == 2 ? "Смена" : "", true);
    mv::TSPCSample& sample = *ds->Block(var)->Sample(s);
    sample.dateTime = 45352 + s + s * 0.1;
    sample.AddPoints(4);
    for (int p = 1; p <= 4; ++p) {
      ds->SetValue(var, s, p, 1, p - 2.0);
      if (p != 3) ds->SetValue(var, s, p, 2, s * 10.0 + p);
    }
    sample.Point(1)->SetFlags(static_cast<std::uint16_t>(sample.Point(1)->Flags() | mv::point_flag::kExcluded));
  }
  const int attr = ds->AddBlock(2, "b", mv::SamplingMode::Samples, 0, 0, mv::DataKind::Attr, "", "");
  ds->Block(attr)->AddSample("", "", true);
  ds->Block(attr)->Sample(1)->AddPoints(1);
  ds->SetValue(attr, 1, 1, 3, 2);
  return ds;
}

void CheckRecord(const mv::SampleFilter& f) {
  Check(f.conditions.size() <= mv::SampleFilter::kMaxConditions);
  Check(mv::CharCount(f.name) <= mv::SampleFilter::kNameMax);
  for (const auto& c : f.conditions) {
    Check(mv::CharCount(c.text) <= mv::SampleFilterCondition::kTextMax);
    Check(c.valueCount <= 2);
    Check(c.paramPosition <= mv::kMaxParameters);
    if (c.active) Check(mv::FilterConditionOf(c.condition) != nullptr);
  }
  const std::string once = mv::EncodeSampleFilter(f);
  Check(once.size() == mv::SampleFilter::kRecordSize);
  Check(mv::EncodeSampleFilter(mv::DecodeSampleFilter(once)) == once);
  (void)mv::FilterDescription(f);
  (void)mv::FilterName(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t record = mv::SampleFilter::kRecordSize;
  for (std::size_t k = 0; k < 2; ++k) {
    CheckRecord(mv::DecodeSampleFilter(bytes.substr(std::min(bytes.size(), k * record), record)));
  }

  auto ds = SmallDataset();
  const std::size_t area = std::min(bytes.size(), ds->settings.filters.size());
  std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(area), ds->settings.filters.begin());
  ds->settings.hasFilters = true;
  mv::ApplyFilters(*ds);
  for (int b = 1; b <= ds->BlockCount(); ++b) {
    mv::TSPCBlock& block = *ds->Block(b);
    std::string marks;
    for (const auto& s : block.Samples()) {
      Check(s.countedPoints <= s.PointCount());
      for (const auto& p : s.Points()) marks += static_cast<char>(p.Flags() & 0xFF);
    }
    // One sample at a time gives the same marks as the whole dataset at once.
    for (int s = 1; s <= block.SampleCount(); ++s) mv::FilterSample(*ds, b, s);
    std::string again;
    for (const auto& s : block.Samples()) {
      for (const auto& p : s.Points()) again += static_cast<char>(p.Flags() & 0xFF);
    }
    Check(marks == again);
    Check(block.stats.countedPoints <= block.stats.totalPoints);
  }
  CheckRecord(mv::ReadFilter(*ds, mv::DataKind::Var));
  CheckRecord(mv::ReadFilter(*ds, mv::DataKind::Attr));

  // The rest as a value typed in the condition window, for every type and condition.
  const std::string_view typed = bytes.substr(std::min(bytes.size(), 2 * record));
  for (const std::uint8_t type : {9, 16, 19, 20}) {
    for (std::uint8_t condition = 0; condition <= 14; ++condition) {
      const mv::ConditionCheck check = mv::CheckFilterCondition(type, condition, mv::CutToChars(typed, 50));
      Check(check.Ok() || check.valueCount == 0);
      Check(check.valueCount <= 2);
    }
  }
  return 0;
}
