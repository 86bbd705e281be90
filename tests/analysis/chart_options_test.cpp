#include "analysis/chart_options.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/bytes.h"

namespace mv {
namespace {

// The default record laid out by hand from the documented offsets.
std::string DefaultBytes() {
  std::string b = test::FromHex(
      "4D 56 43 4F  02 00"         // "MVCO", version 2
      "07 80 00 00"                // control limits, CL always, conclusion, dates
      "02  07 00  01"              // set 2, C1-C3, series lines
      "02  00 00  03 00  00"       // span 2, share, share, box plot 1|2, Russian
      "01 02 FF FF FF FF"          // subgroup: X over R, every column
      "05 06 FF FF FF FF"          // individuals: x over MR
      "07 00 FF FF FF FF"          // attribute: p alone
      "01");                       // histogram beside the chart: the curve; empty print texts
  b.resize(kChartOptionsSize, '\0');
  return b;
}

TEST(ChartOptions, DefaultImageIsTheDocumentedLayout) {
  EXPECT_EQ(test::ToHex(DefaultChartOptionsImage()), test::ToHex(DefaultBytes()));
  TChartOptions read;
  read.span = 9;
  EXPECT_EQ(DecodeChartOptions(DefaultBytes(), read), ChartOptionsRead::Ok);
  EXPECT_EQ(read, TChartOptions{});
}

TEST(ChartOptions, RoundTrip) {
  TChartOptions o;
  o.controlLimits = false;
  o.conclusion = false;
  o.regulationLimits = true;
  o.pointLabels = true;
  o.criteria.ChooseSet(5);
  o.criteria.mask = CriterionBit(1) | CriterionBit(10);
  o.criteria.display = criteria_display::kRibbons | criteria_display::kZones;
  o.span = 10;
  o.pScale = AttrScale::Ppm;
  o.uScale = AttrScale::Percent;
  o.boxPlotOptions = 4;
  o.language = Lang::En;
  o.windows = {{{4, 3, 0x15}, {5, 0, 0}, {10, 0, 7}}};
  o.histogramCurve = false;
  o.histogramCounts = true;
  o.printHeader = "Цех №2 — участок «Б»";
  o.printCaption = std::string(250, 'z');
  const std::string bytes = EncodeChartOptions(o);
  ASSERT_EQ(bytes.size(), kChartOptionsSize);
  TChartOptions read;
  EXPECT_EQ(DecodeChartOptions(bytes, read), ChartOptionsRead::Ok);
  EXPECT_EQ(read, o);
}

TEST(ChartOptions, BytesThatAreNotOursGiveTheDefaults) {
  std::string otherVersion = DefaultBytes();
  otherVersion[4] = 3;
  std::string noVersion = DefaultBytes();
  noVersion[4] = 0;
  std::string otherMarker = DefaultBytes();
  otherMarker[0] = 'X';
  TChartOptions changed;
  changed.span = 5;
  const std::string shortRecord = EncodeChartOptions(changed).substr(0, kChartOptionsSize - 1);
  for (const std::string& bytes : {std::string(kChartOptionsSize, '\0'), otherVersion, noVersion, otherMarker, shortRecord,
                                   std::string()}) {
    TChartOptions read = changed;
    EXPECT_EQ(DecodeChartOptions(bytes, read), ChartOptionsRead::Defaults);
    EXPECT_EQ(read, TChartOptions{});
  }
}

TEST(ChartOptions, EachBadFieldTakesItsDefaultAndTheRestIsKept) {
  TChartOptions kept;
  kept.dates = false;  // in the switches
  kept.span = 7;
  kept.uScale = AttrScale::Ppm;
  kept.language = Lang::En;
  kept.windows[0] = {3, 0, 1};
  kept.printHeader = "Заголовок";
  const std::string good = EncodeChartOptions(kept);
  const TChartOptions defaults;
  const auto window = [&](std::size_t i) {
    return [&, i](const TChartOptions& o) { return o.windows[i] == defaults.windows[i]; };
  };
  const auto criteria = [&](const TChartOptions& o) { return o.criteria == defaults.criteria; };
  const struct {
    const char* field;
    std::size_t offset;
    std::uint8_t byte;
    std::function<bool(const TChartOptions&)> atDefault;
  } kCases[] = {
      {"unknown switch", 8, 0x02, [&](const TChartOptions& o) { return o.dates == defaults.dates; }},
      {"set 0", 10, 0, criteria},
      {"set 6", 10, 6, criteria},
      {"mask bit 11", 12, 0x04, criteria},
      {"display bit 8", 13, 8, criteria},
      {"span 1", 14, 1, [](const TChartOptions& o) { return o.span == 2; }},
      {"span 11", 14, 11, [](const TChartOptions& o) { return o.span == 2; }},
      {"p scale 3", 15, 3, [](const TChartOptions& o) { return o.pScale == AttrScale::Share; }},
      {"u scale 3", 16, 3, [](const TChartOptions& o) { return o.uScale == AttrScale::Share; }},
      {"box plot 8", 17, 8, [](const TChartOptions& o) { return o.boxPlotOptions == 3; }},
      {"language 2", 19, 2, [](const TChartOptions& o) { return o.language == Lang::Ru; }},
      {"subgroup upper 5", 20, 5, window(0)},
      {"subgroup lower 6", 21, 6, window(0)},
      {"individuals upper 4", 26, 4, window(1)},
      {"individuals lower 2", 27, 2, window(1)},
      {"attribute upper 6", 32, 6, window(2)},
      {"attribute lower 8", 33, 8, window(2)},
      {"histogram look bit 4", 38, 4, [](const TChartOptions& o) { return o.histogramCurve && !o.histogramCounts; }},
      {"print header length 251", 39, 251, [](const TChartOptions& o) { return o.printHeader.empty(); }},
      {"print caption length 255", 290, 255, [](const TChartOptions& o) { return o.printCaption.empty(); }},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.field);
    std::string bytes = good;
    bytes[c.offset] = static_cast<char>(c.byte);
    TChartOptions read;
    ASSERT_EQ(DecodeChartOptions(bytes, read), ChartOptionsRead::Repaired);
    EXPECT_TRUE(c.atDefault(read));
    // Every other field is what was written.
    int differing = 0;
    differing += read.dates != kept.dates;
    differing += read.span != kept.span;
    differing += read.uScale != kept.uScale;
    differing += read.language != kept.language;
    differing += !(read.windows[0] == kept.windows[0]);
    differing += read.printHeader != kept.printHeader;
    EXPECT_LE(differing, 1);
  }

  // A fixed set with another mask keeps the set and takes the set's own mask.
  std::string bytes = good;
  bytes[10] = 3;
  TChartOptions read;
  EXPECT_EQ(DecodeChartOptions(bytes, read), ChartOptionsRead::Repaired);
  EXPECT_EQ(read.criteria.set, 3);
  EXPECT_EQ(read.criteria.mask, 0x1FF);
  // Bytes past the fields are reserved and not read.
  bytes = good;
  bytes[600] = 'x';
  bytes[kChartOptionsSize - 1] = 1;
  EXPECT_EQ(DecodeChartOptions(bytes, read), ChartOptionsRead::Ok);
  EXPECT_EQ(read, kept);
}

TEST(ChartOptions, VersionOneReadsWithTheNewFieldsAtTheirDefaults) {
  // Version 1 kept 38..1796 reserved: whatever they hold, the print texts are empty and the
  // histogram beside the chart has its default look.
  TChartOptions written;
  written.span = 4;
  written.histogramCounts = true;
  written.printHeader = "Заголовок";
  written.printCaption = "Подпись";
  std::string bytes = EncodeChartOptions(written);
  bytes[4] = 1;
  TChartOptions read;
  EXPECT_EQ(DecodeChartOptions(bytes, read), ChartOptionsRead::Ok);
  TChartOptions expected = written;
  expected.histogramCounts = false;
  expected.printHeader.clear();
  expected.printCaption.clear();
  EXPECT_EQ(read, expected);
}

}  // namespace
}  // namespace mv
