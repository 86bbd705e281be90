#include "analysis/chart_plot.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

// A data set of n analysed values v(i) = i % 7, every one present.
CDataSet Values(std::uint32_t n) {
  CDataSet set;
  EXPECT_TRUE(set.Allocate(n));
  for (std::uint32_t i = 1; i <= n; ++i) set.AddPoint(i, 1, 1, 1, true, true, static_cast<double>(i % 7));
  set.ComputeStatistics();
  return set;
}

TEST(EntryAxis, PlacesEntriesInTheMiddleOfTheirSlotsAndFindsThemBack) {
  const EntryAxis axis(4, 10, 400);  // slots of 100 pixels
  const struct {
    double x;
    std::uint32_t entry;
  } kCases[] = {{10, 1}, {109.9, 1}, {110, 2}, {409, 4}, {5000, 4}, {-50, 1}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.x);
    EXPECT_EQ(axis.EntryAt(c.x), c.entry);
  }
  EXPECT_DOUBLE_EQ(axis.X(1), 60);
  EXPECT_DOUBLE_EQ(axis.X(4), 360);
  EXPECT_EQ(axis.ColumnOf(4), 350);
}

TEST(DecimateSeries, ADenseSeriesGivesOneRecordPerColumnAndKeepsEveryBeyondAndOwnMark) {
  constexpr std::uint32_t n = 200000;
  CDataSet set = Values(n);
  set.SetFlag(123457, dsp_flag::kBeyond, true);
  set.SetFlag(5, dsp_flag::kSeries, true);
  set.SetFlag(77, dsp_flag::kActive, false);
  set.SetFlag(78, dsp_flag::kActive, false);
  TChartDataX data;
  data.points.resize(n);
  data.points[76].flags = chart_point_flag::kExcluded;
  data.points[77].flags = chart_point_flag::kFiltered;
  const EntryAxis axis(n, 0, 1600);
  const DecimatedSeries d = DecimateSeries(set, data, axis);
  EXPECT_EQ(d.columns.size(), 1600U);
  EXPECT_FALSE(d.Sparse());
  EXPECT_EQ(d.analysedCount, n - 2);
  // Each column spans the values it holds: 0..6 here.
  EXPECT_EQ(d.columns[800].min, 0);
  EXPECT_EQ(d.columns[800].max, 6);
  ASSERT_EQ(d.marks.size(), 4U);
  EXPECT_EQ(d.marks[0].index, 5U);
  EXPECT_EQ(d.marks[0].mark, PlotMark::Series);
  EXPECT_EQ(d.marks[1].mark, PlotMark::Excluded);
  EXPECT_EQ(d.marks[2].mark, PlotMark::Filtered);
  EXPECT_EQ(d.marks[3].index, 123457U);
  EXPECT_EQ(d.marks[3].mark, PlotMark::Beyond);
}

TEST(DecimateSeries, AMovingRangeSeriesStartsAtItsFirstIndex) {
  CDataSet set = Values(10);
  set.ToMovingRanges(3);
  const DecimatedSeries d = DecimateSeries(set, TChartDataX{}, EntryAxis(10, 0, 1000));
  ASSERT_FALSE(d.columns.empty());
  EXPECT_EQ(d.columns.front().first, 3U);
  EXPECT_TRUE(d.Sparse());
}

TEST(NearestEntry, FindsThePointOfTheColumnNearestInPixelsAndNothingFarAway) {
  const CDataSet set = Values(200000);
  const EntryAxis axis(200000, 0, 1600);
  const ValueScale scale(0, 6, 0, 600);  // 100 pixels a unit
  const std::uint32_t i = 100003;          // value 100003 % 7 = 1
  const std::uint32_t found = NearestEntry(set, axis, scale, axis.X(i), scale.Y(1), 0.01);
  EXPECT_EQ(found, i);
  EXPECT_EQ(NearestEntry(set, axis, scale, axis.X(i), scale.Y(3.5), 10), 0U);
}

TEST(ChooseValueTicks, RoundStepsWithTheirDecimals) {
  const struct {
    double min, max;
    int maxTicks;
    double step;
    int decimals;
    double first;
  } kCases[] = {
      {0, 10, 5, 2, 0, 0},
      {19.9921, 19.9983, 8, 0.001, 3, 19.993},
      {-3, 7, 4, 5, 0, 0},
      {0, 0.0007, 7, 0.0001, 4, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.max);
    const ValueTicks t = ChooseValueTicks(c.min, c.max, c.maxTicks);
    EXPECT_NEAR(t.step, c.step, c.step * 1e-9);
    EXPECT_EQ(t.decimals, c.decimals);
    ASSERT_FALSE(t.values.empty());
    EXPECT_NEAR(t.values.front(), c.first, c.step * 1e-6);
    EXPECT_LE(static_cast<int>(t.values.size()), c.maxTicks + 1);
    EXPECT_LE(t.values.back(), c.max);
  }
  // An axis of zero height has one tick and no step, not a division by zero.
  EXPECT_EQ(ChooseValueTicks(0, 0, 5).values.size(), 1U);
}

TEST(ChooseEntryTicks, KeepsLabelsApart) {
  EXPECT_EQ(ChooseEntryTicks(EntryAxis(5, 0, 500), 40).size(), 5U);
  const auto ticks = ChooseEntryTicks(EntryAxis(1000, 0, 1000), 45);  // 1 pixel an entry: every 50th
  ASSERT_EQ(ticks.size(), 20U);
  EXPECT_EQ(ticks.front(), 50U);
}

}  // namespace
}  // namespace mv
