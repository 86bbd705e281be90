#include "analysis/histogram_data.h"

#include <gtest/gtest.h>

#include "analysis_fixture.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

using test::Pt;
constexpr std::uint16_t kExcl = point_flag::kExcluded;
constexpr std::uint16_t kFilt = point_flag::kFiltered;

TEST(HistogramData, TakesAnalysedValuesOfActiveSamples) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  test::AddAnalysisParameters(ds);
  const int b = test::AddTestBlock(ds, "Смена 1");
  const int s1 = test::AddTestSample(ds, b, 1, {{10.0}, {10.4, kFilt}, {}, {10.2}});
  const int s2 = test::AddTestSample(ds, b, 1, {{99.0}}, false);
  const int s3 = test::AddTestSample(ds, b, 1, {{50.0, kExcl}});
  const int s4 = test::AddTestSample(ds, b, 1, {{10.6}});
  ds.Block(b)->Sample(s1)->dateTime = test::At(2024, 3, 5, 8);
  ds.Block(b)->Sample(s2)->dateTime = test::At(2024, 3, 1, 8);  // inactive, but its date counts
  ds.Block(b)->Sample(s3)->dateTime = 1;                        // damaged: ignored
  ds.Block(b)->Sample(s4)->dateTime = test::At(2024, 3, 7, 16);
  ds.ComputeAllStats();

  CDataSet set;
  HistoExtract extract;
  ASSERT_TRUE(ExtractHistogramData({&ds, {b}, true, 1, 1}, 1, set, extract));
  EXPECT_EQ(set.Capacity(), 4u);  // counted points of the active samples: 3 + 0 + 1
  EXPECT_EQ(set.Count(), 3u);     // the empty slot is not added
  EXPECT_EQ(set.activeCount, 3u);
  EXPECT_DOUBLE_EQ(set.mean, (10.0 + 10.2 + 10.6) / 3);
  EXPECT_EQ(set.Point(2)->point, 4);
  EXPECT_EQ(set.Point(3)->sample, s4);
  EXPECT_EQ(extract.usedSamples, 2u);
  EXPECT_EQ(extract.totalPoints, 6u);  // 4 + 1 + 1 of the active samples
  // The block keeps dates without times, so the period is whole days.
  EXPECT_EQ(extract.periodFrom, test::At(2024, 3, 1));
  EXPECT_EQ(extract.periodTo, test::At(2024, 3, 7));
  EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(HistogramData, NoDataMessages) {
  const char* kNoData = "Нет данных для построения гистограммы";
  test::FakePlatform fake;
  TDatasetSPC ds;
  test::AddAnalysisParameters(ds);
  const int b = test::AddTestBlock(ds, "Смена 1");
  // Points in analysis, but none with a value of parameter 1 (only of parameter 2).
  test::AddTestSample(ds, b, 2, {{1.0}, {2.0}});
  const int inactiveBlock = test::AddTestBlock(ds, "Смена 2");
  test::AddTestSample(ds, inactiveBlock, 1, {{1.0}}, false);
  ds.ComputeAllStats();

  CDataSet set;
  HistoExtract extract;
  EXPECT_FALSE(ExtractHistogramData({&ds, {b}, true, 1, 1}, 1, set, extract));
  // Nothing to hold at all: the same message, never "Недостаточно памяти для 0 замеров".
  EXPECT_FALSE(ExtractHistogramData({&ds, {inactiveBlock}, true, 1, 1}, 1, set, extract));
  EXPECT_EQ(fake.messages.Texts(), (std::vector<std::string>{kNoData, kNoData}));
  ASSERT_EQ(fake.log.lines.size(), 2u);
  EXPECT_EQ(fake.log.lines[0], "[ERR] Ошибка - Нет данных для построения гистограммы [CountHisto]");
}

TEST(SampleSelection, RangeChecksAndChoiceTexts) {
  const struct {
    const char* from;
    const char* to;
    bool ok;
  } kCases[] = {
      {"2", "5", true},   {" 3 ", "3", true}, {"1", "12", true}, {"5", "2", false},   {"0", "3", false},
      {"1", "13", false}, {"a", "3", false},  {"", "3", false},  {"2.5", "3", false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.from) + ".." + c.to);
    EXPECT_EQ(ParseSampleRange(c.from, c.to, 12).has_value(), c.ok);
  }
  EXPECT_EQ(ParseSampleRange("2", "5", 12)->to, 5);

  test::FakePlatform fake;
  EXPECT_FALSE(CheckSampleRange("5", "2", 12));
  EXPECT_TRUE(CheckSampleRange("2", "5", 12));
  EXPECT_EQ(fake.messages.Texts(), (std::vector<std::string>{"Номера выборок указаны неверно"}));

  EXPECT_EQ(AllSamplesText(12), "все (12 шт.)");
  EXPECT_EQ(AllBlocksText(3), "Все блоки (3)");
}

TEST(SampleSelection, RangeIsCutToTheBlock) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  test::AddAnalysisParameters(ds);
  const int b = test::AddTestBlock(ds, "Смена 1");
  for (int i = 0; i < 5; ++i) test::AddTestSample(ds, b, 1, {{1.0}});
  std::vector<int> visited;
  ForEachSelectedSample({&ds, {b, 7}, false, 4, 9},
                        [&](int, const TSPCBlock&, int s, const TSPCSample&) { visited.push_back(s); });
  EXPECT_EQ(visited, (std::vector<int>{4, 5}));  // block 7 does not exist
}

}  // namespace
}  // namespace mv
