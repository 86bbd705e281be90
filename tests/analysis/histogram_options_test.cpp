#include "analysis/histogram_options.h"

#include <gtest/gtest.h>

#include <functional>

#include "app/config_file.h"
#include "support/bytes.h"

namespace mv {
namespace {

// The default record laid out by hand from the documented offsets.
std::string DefaultRecordByHand() {
  test::ByteBuilder b;
  b.Raw("HGOP").I16(2);
  for (const int v : {0, 0, 1, 0, 1, 1, 1, 1, 0}) b.U8(static_cast<std::uint8_t>(v));  // 6..14
  b.I16(3);                                                                               // box-plot options
  for (const int v : {1, 1, 1, 1, 0, 1, 0}) b.U8(static_cast<std::uint8_t>(v));          // 17..23
  b.U8(3);                                                                                // k
  for (int i = 0; i < 4; ++i) b.U8(0);                                                    // 25..28
  b.I16(0).I16(0).U8(1).U8(0);                                                            // window, names
  b.U8(4).U8(7).U8(14).U8(15).U8(22);
  std::string bytes = b.bytes();
  bytes.resize(HistogramOptions::kRecordSize, '\0');  // rest of the list, empty title and print texts
  return bytes;
}

HistogramOptions Changed() {
  HistogramOptions o;
  o.bars3d = o.binNumbers = o.binEdges = o.boxPlot = o.toleranceCentre = o.sigmaLevels = true;
  o.binCounts = o.barColours = o.valueSpectrum = o.statistics = o.uniqueCount = false;
  o.toleranceInFull = o.toleranceLimits = o.nominal = o.mean = o.normalCurve = false;
  o.levelsInFull = o.thickLine = o.tailAnalysis = o.keepParameterScale = o.numberHistograms = true;
  o.addDatasetName = false;
  o.boxPlotOptions = box_plot_option::kShowLevels;
  o.sigmaLevel = 6;
  o.windowWidth = 1200;
  o.windowHeight = 200;
  o.indicators = {26, 1, 13};
  o.title = "Гистограмма «%P» — блок %B";
  o.printHeader = "Участок 3";
  o.printCaption = "Проверил: Иванов";
  return o;
}

TEST(HistogramOptions, DefaultImageFitsTheConfigurationArea) {
  const std::string image = DefaultHistogramOptionsImage();
  EXPECT_EQ(test::ToHex(image), test::ToHex(DefaultRecordByHand()));
  ASSERT_EQ(image.size(), ConfigFile::AreaSize(OwnedArea::kHistogramOptions));
  EXPECT_EQ(DecodeHistogramOptions(image), HistogramOptions{});
}

TEST(HistogramOptions, RoundTripAndTheTitleCut) {
  const HistogramOptions changed = Changed();
  EXPECT_EQ(DecodeHistogramOptions(EncodeHistogramOptions(changed)), changed);
  HistogramOptions longTitle;
  longTitle.title = std::string(300, 'x');
  EXPECT_EQ(DecodeHistogramOptions(EncodeHistogramOptions(longTitle)).title, std::string(250, 'x'));
  // Values out of range are written as their defaults.
  HistogramOptions wrong;
  wrong.sigmaLevel = 12;
  wrong.boxPlotOptions = 0x80;
  wrong.windowWidth = 150;
  wrong.indicators = {3, 3};
  EXPECT_EQ(DecodeHistogramOptions(EncodeHistogramOptions(wrong)), HistogramOptions{});
}

TEST(HistogramOptions, EachDamagedFieldTakesItsDefault) {
  const HistogramOptions changed = Changed();
  const HistogramOptions defaults;
  const struct {
    const char* what;
    std::size_t offset;
    std::string bytes;
    std::function<void(HistogramOptions&)> expect;  // what differs from `changed`
  } kCases[] = {
      {"switch 2", 6, "\x02", [&](HistogramOptions& o) { o.bars3d = defaults.bars3d; }},
      {"switch 255", 22, "\xFF", [&](HistogramOptions& o) { o.normalCurve = defaults.normalCurve; }},
      {"box-plot bit 8", 15, std::string("\x08\x00", 2), [&](HistogramOptions& o) { o.boxPlotOptions = 3; }},
      {"sigma level 0", 24, std::string(1, '\0'), [&](HistogramOptions& o) { o.sigmaLevel = 3; }},
      {"sigma level 10", 24, "\x0A", [&](HistogramOptions& o) { o.sigmaLevel = 3; }},
      {"window 199", 29, std::string("\xC7\x00", 2), [&](HistogramOptions& o) { o.windowWidth = 0; }},
      {"window 20000", 31, "\x20\x4E", [&](HistogramOptions& o) { o.windowHeight = 0; }},
      {"33 indicators", 35, "\x21", [&](HistogramOptions& o) { o.indicators = defaults.indicators; }},
      {"indicator 27", 36, "\x1B", [&](HistogramOptions& o) { o.indicators = defaults.indicators; }},
      {"indicator 0", 37, std::string(1, '\0'), [&](HistogramOptions& o) { o.indicators = defaults.indicators; }},
      {"indicator twice", 38, "\x1A", [&](HistogramOptions& o) { o.indicators = defaults.indicators; }},
      {"title length 251", 68, "\xFB", [&](HistogramOptions& o) { o.title = ""; }},
      {"print header length 251", 319, "\xFB", [&](HistogramOptions& o) { o.printHeader = ""; }},
      {"print caption length 255", 570, "\xFF", [&](HistogramOptions& o) { o.printCaption = ""; }},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    std::string record = EncodeHistogramOptions(changed);
    record.replace(c.offset, c.bytes.size(), c.bytes);
    HistogramOptions expected = changed;
    c.expect(expected);
    EXPECT_EQ(DecodeHistogramOptions(record), expected);
  }
}

TEST(HistogramOptions, ForeignRecordsGiveTheDefaults) {
  const std::string good = EncodeHistogramOptions(Changed());
  std::string marker = good;
  marker[0] = 'X';
  std::string version = good;
  version[4] = 3;
  std::string none = good;
  none[4] = 0;
  const std::string zeros(HistogramOptions::kRecordSize, '\0');
  for (const std::string& record : {marker, version, none, zeros, good.substr(0, 820), std::string()}) {
    EXPECT_EQ(DecodeHistogramOptions(record), HistogramOptions{});
  }
  // A longer record (a larger area of a later layout) reads its first 821 bytes.
  EXPECT_EQ(DecodeHistogramOptions(good + "tail"), Changed());
}

TEST(HistogramOptions, VersionOneReadsWithEmptyPrintTexts) {
  // Version 1 kept 319..820 reserved; whatever they hold, its print texts are empty.
  std::string record = EncodeHistogramOptions(Changed());
  record[4] = 1;
  HistogramOptions expected = Changed();
  expected.printHeader.clear();
  expected.printCaption.clear();
  EXPECT_EQ(DecodeHistogramOptions(record), expected);
}

TEST(HistogramOptions, StatisticsChoiceText) {
  const struct {
    std::size_t n;
    const char* text;
  } kCases[] = {{0, "Статистика:  0 показателей"},
                {1, "Статистика:  1 показатель"},
                {3, "Статистика:  3 показателя"},
                {5, "Статистика:  5 показателей"},
                {12, "Статистика:  12 показателей"},
                {22, "Статистика:  22 показателя"}};
  for (const auto& c : kCases) EXPECT_EQ(StatisticsChoiceText(c.n), c.text);
}

}  // namespace
}  // namespace mv
