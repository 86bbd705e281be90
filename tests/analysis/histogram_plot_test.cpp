#include "analysis/histogram_plot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "analysis/data_set.h"

namespace mv {
namespace {

CDataSet SetOf(const std::vector<double>& values) {
  CDataSet set;
  EXPECT_TRUE(set.Allocate(static_cast<std::int64_t>(values.size())));
  for (std::size_t i = 0; i < values.size(); ++i) {
    set.AddPoint(0, 1, 1, static_cast<std::uint16_t>(i + 1), true, true, values[i]);
  }
  set.ComputeStatistics();
  return set;
}

// Values 10..20 (mean 15): 11 values, 5 bins of width 2.
THistogram TenToTwenty() {
  std::vector<double> values;
  for (int v = 10; v <= 20; ++v) values.push_back(v);
  THistogram h;
  h.Compute(SetOf(values));
  return h;
}

ValueRange Tolerance(std::optional<double> lsl, std::optional<double> usl) {
  ValueRange r;
  r.Set(1, lsl, usl, std::nullopt);
  return r;
}

TEST(HistogramPlot, TheDrawnSpanTakesTheLimitsAndLevelsOnlyWhenShownInFull) {
  const THistogram h = TenToTwenty();
  const double sigma = h.sigma;
  HistogramOptions inFull;  // the defaults show the tolerance in full
  HistogramOptions asMarks;
  asMarks.toleranceInFull = false;
  HistogramOptions limitsOff;
  limitsOff.toleranceLimits = false;
  HistogramOptions levels = asMarks;
  levels.sigmaLevels = true;
  levels.levelsInFull = true;
  levels.sigmaLevel = 3;
  HistogramOptions levelsAsMarks = levels;
  levelsAsMarks.levelsInFull = false;
  const struct {
    const char* name;
    HistogramOptions options;
    ValueRange tolerance;
    double min, max;  // before the margin of 2% each side
  } kCases[] = {
      {"bins alone", inFull, ValueRange{}, 10, 20},
      {"limits beyond, in full", inFull, Tolerance(4, 30), 4, 30},
      {"one limit inside", inFull, Tolerance(12, std::nullopt), 10, 20},
      {"limits as marks", asMarks, Tolerance(4, 30), 10, 20},
      {"limits not shown", limitsOff, Tolerance(4, 30), 10, 20},
      {"levels in full", levels, ValueRange{}, 15 - 3 * sigma, 15 + 3 * sigma},
      {"levels as marks", levelsAsMarks, ValueRange{}, 10, 20},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const HistogramRange span = HistogramDrawnSpan(h, c.tolerance, c.options);
    const double margin = (c.max - c.min) * 0.02;
    EXPECT_NEAR(span.min, c.min - margin, 1e-9);
    EXPECT_NEAR(span.max, c.max + margin, 1e-9);
  }
}

TEST(HistogramPlot, OneScaleGroupSharesTheUnionOfItsSpans) {
  std::vector<HistogramRange> spans = {{0, 1}, {5, 6}, {-2, 0.5}, {3, 4}, {10, 12}};
  const std::vector<std::int32_t> groups = {7, 0, 7, 9, 7};
  ShareHistogramSpans(spans, groups);
  const struct {
    double min, max;
  } kExpected[] = {{-2, 12}, {5, 6}, {-2, 12}, {3, 4}, {-2, 12}};
  for (std::size_t i = 0; i < spans.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(spans[i].min, kExpected[i].min);
    EXPECT_EQ(spans[i].max, kExpected[i].max);
  }
}

TEST(HistogramPlot, TheAxisMapsValuesAndDensitiesAndSurvivesAnEmptySpan) {
  const HistogramAxis axis({10, 20}, 100, 500, 0.5, 40, 200);
  EXPECT_DOUBLE_EQ(axis.X(10), 100);
  EXPECT_DOUBLE_EQ(axis.X(20), 600);
  EXPECT_DOUBLE_EQ(axis.X(12.5), 225);
  EXPECT_DOUBLE_EQ(axis.ValueAt(225), 12.5);
  EXPECT_DOUBLE_EQ(axis.Y(0), 240);
  EXPECT_DOUBLE_EQ(axis.Y(0.5), 40);
  const HistogramAxis empty({3, 3}, 0, 100, 0, 0, 50);
  EXPECT_DOUBLE_EQ(empty.X(3), 50);  // 2 .. 4
  EXPECT_TRUE(std::isfinite(empty.Y(1)));
  const HistogramAxis narrow({0, 1}, 0, 0, 1, 0, 0);  // a plot of no width
  EXPECT_TRUE(std::isfinite(narrow.ValueAt(5)));
}

TEST(HistogramPlot, BarsStandOnTheirEdgesAndTheMouseFindsTheirBins) {
  const THistogram h = TenToTwenty();
  ASSERT_EQ(h.binCount, 5);
  const HistogramAxis axis({10, 20}, 0, 1000, HistogramDensityTop(h, false), 0, 300);
  for (int i = 1; i <= h.binCount; ++i) {
    SCOPED_TRACE(i);
    const auto bar = HistogramBar(h, axis, i);
    ASSERT_TRUE(bar);
    EXPECT_DOUBLE_EQ(bar->left, 200.0 * (i - 1));
    EXPECT_DOUBLE_EQ(bar->right, 200.0 * i);
    EXPECT_DOUBLE_EQ(bar->bottom, 300);
    // The height goes with the count: 300 / 1.12 for the tallest (3 values in bin 5).
    EXPECT_NEAR(300 - bar->top, 300 / 1.12 * h.Bin(i)->count / 3.0, 1e-9);
    EXPECT_EQ(HistogramBinAtX(h, axis, (bar->left + bar->right) / 2), i);
  }
  EXPECT_FALSE(HistogramBar(h, axis, 0));
  EXPECT_FALSE(HistogramBar(h, axis, 6));
  EXPECT_EQ(HistogramBinAtX(h, axis, -10), 0);  // left of the bins
}

TEST(HistogramPlot, CountTicksAreWholeNumbersInRoundSteps) {
  const struct {
    double top;
    int maxTicks;
    std::vector<double> ticks;
  } kCases[] = {
      {93, 10, {0, 10, 20, 30, 40, 50, 60, 70, 80, 90}},
      {93, 4, {0, 50}},
      {1.12, 10, {0, 1}},  // one value: no fractions of a count
      {4.5, 1, {0, 2, 4}},  // at least two steps
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.top);
    EXPECT_EQ(HistogramCountTicks(c.top, c.maxTicks), c.ticks);
  }
}

TEST(HistogramPlot, TheNormalCurvePeaksAtTheMeanAndNeedsASigma) {
  const THistogram h = TenToTwenty();
  const HistogramAxis axis({5, 25}, 0, 400, 1, 0, 100);
  const auto curve = NormalCurve(h, axis, 4);
  ASSERT_EQ(curve.size(), 5U);
  EXPECT_DOUBLE_EQ(curve.front().first, 5);
  EXPECT_DOUBLE_EQ(curve[2].first, 15);
  EXPECT_NEAR(curve[2].second, 1 / (h.sigma * std::sqrt(2 * std::numbers::pi)), 1e-12);
  THistogram one;
  one.Compute(SetOf({4, 4, 4}));
  EXPECT_TRUE(NormalCurve(one, axis, 10).empty());
  // One value: no curve, and the density top is the bar's, not zero.
  EXPECT_GT(HistogramDensityTop(one, true), 0);
  EXPECT_EQ(HistogramDensityTop(THistogram{}, true), 1);
}

TEST(HistogramPlot, TheMouseFindsTheNearestDistinctValueWithinTheRadius) {
  THistogram h;
  h.Compute(SetOf({1, 2, 2, 5, 9}));
  const HistogramAxis axis({0, 10}, 0, 100, 1, 0, 10);  // 10 pixels a unit
  const struct {
    double x;
    std::optional<std::size_t> value;
  } kCases[] = {{10, 0}, {13, 0}, {16, 1}, {20, 1}, {35, std::nullopt}, {49, 2}, {94, 3}, {100, std::nullopt},
                {-10, std::nullopt}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.x);
    EXPECT_EQ(UniqueValueAtX(h, axis, c.x, 4), c.value);
  }
  EXPECT_EQ(UniqueValueAtX(THistogram{}, axis, 10, 4), std::nullopt);
}

TEST(HistogramPlot, TheShiftTextNeedsMoreThanThreePixelsTheCentredTextNone) {
  const HistogramAxis axis({0, 1000}, 0, 1000, 1, 0, 10);  // a pixel a unit
  const struct {
    double diff;
    bool centred;
    double pixel;
    bool shown;
  } kCases[] = {
      {2.9, false, 1, false}, {-2.9, false, 1, false}, {3.1, false, 1, true}, {-3.1, false, 1, true},
      {3.0, false, 1, false},  // exactly 3 pixels is not more than 3
      {3.1, false, 2, false},  // on a device of 2 pixels to a screen pixel
      {6.1, false, 2, true},   {0.0, true, 1, true}, {0.01, true, 1, true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.diff);
    SetupAdvice advice;
    advice.diff = c.diff;
    advice.centred = c.centred;
    EXPECT_EQ(SetupAdviceShown(advice, axis, 50, c.pixel), c.shown);
  }
}

TEST(HistogramPlot, GridOfUpToSixHistograms) {
  const struct {
    std::size_t count;
    int columns, rows;
  } kCases[] = {{0, 1, 1}, {1, 1, 1}, {2, 2, 1}, {3, 3, 1}, {4, 2, 2}, {5, 3, 2}, {6, 3, 2}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.count);
    const HistogramGrid g = HistogramGridOf(c.count);
    EXPECT_EQ(g.columns, c.columns);
    EXPECT_EQ(g.rows, c.rows);
  }
}

}  // namespace
}  // namespace mv
