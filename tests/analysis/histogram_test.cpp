#include "analysis/histogram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "analysis/data_set.h"
#include "analysis/normal_distribution.h"

namespace mv {
namespace {

// A data set of analysed values (an inactive point may be appended to prove it is left out).
CDataSet SetOf(const std::vector<double>& values, bool withInactive = false) {
  CDataSet set;
  EXPECT_TRUE(set.Allocate(static_cast<std::int64_t>(values.size()) + (withInactive ? 1 : 0)));
  for (std::size_t i = 0; i < values.size(); ++i) {
    set.AddPoint(0, 1, 1, static_cast<std::uint16_t>(i + 1), true, true, values[i]);
  }
  if (withInactive) set.AddPoint(0, 1, 2, 1, false, true, 1e6);
  set.ComputeStatistics();
  return set;
}

std::vector<std::uint32_t> Counts(const THistogram& h) {
  std::vector<std::uint32_t> counts;
  for (const HistogramBin& b : h.bins) counts.push_back(b.count);
  return counts;
}

TEST(Histogram, BinCountBySturgesRequestAndAdjustment) {
  const struct {
    std::uint32_t n;
    int requested;
    int adjustment;
    int bins;
  } kCases[] = {
      {100, 0, 0, 8},    // round(6.6) + 1
      {10, 0, 0, 5},     // 4, raised to 5
      {1000, 0, 0, 11},  // round(9.9) + 1
      {1, 0, 0, 5},      // log 0: 1, raised
      {0, 0, 0, 5},      // no values
      {1000000, 0, 0, 20},
      {100, 30, 0, 20},  // a request is limited too
      {100, 3, 0, 5},
      {100, 12, 0, 12},
      {100, 0, -5, 5},   // 8 - 5 = 3, raised to 5
      {100, 0, 3, 11},
      {100, 12, 20, 20},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "n " << c.n << " requested " << c.requested << " adjustment " << c.adjustment);
    EXPECT_EQ(HistogramBinCount(c.n, c.requested, c.adjustment), c.bins);
  }
  // The adjustment the window keeps goes into Compute.
  THistogram h;
  h.userAdjustment = -5;
  h.Compute(SetOf(std::vector<double>(100, 1.0)));
  EXPECT_EQ(h.binCount, 5);
  EXPECT_EQ(h.userAdjustment, -5);
}

TEST(Histogram, EqualValuesSpreadOneEachWayIntoTheMiddleBin) {
  THistogram h;
  h.Compute(SetOf(std::vector<double>(10, 5.0), true));
  ASSERT_TRUE(h.computed);
  EXPECT_EQ(h.valueCount, 10u);  // the inactive point is not a value of the histogram
  EXPECT_EQ(h.binCount, 5);
  EXPECT_DOUBLE_EQ(h.min, 4);
  EXPECT_DOUBLE_EQ(h.max, 6);
  EXPECT_DOUBLE_EQ(h.binWidth, 0.4);
  EXPECT_EQ(Counts(h), (std::vector<std::uint32_t>{0, 0, 10, 0, 0}));
  EXPECT_DOUBLE_EQ(h.Bin(3)->lower, 4.8);
  EXPECT_DOUBLE_EQ(h.Bin(3)->centre, 5.0);
  EXPECT_DOUBLE_EQ(h.Bin(5)->upper, 6);
  EXPECT_DOUBLE_EQ(h.Bin(3)->shareDensity, 10.0 / 10 / 0.4);
  // Sigma 0: no normal curve.
  EXPECT_EQ(h.Bin(3)->normalDensity, 0);
  EXPECT_EQ(h.normalPeakDensity, 0);
  EXPECT_DOUBLE_EQ(h.scaleTop, 2.5);
  EXPECT_EQ(h.Bin(0), nullptr);
  EXPECT_EQ(h.Bin(6), nullptr);
}

TEST(Histogram, ValuesOnInnerEdgesGoUpAndTheMaximumStaysInTheLastBin) {
  THistogram h;
  // Five bins of 0.2 from 0.1: the edges come out as 0.30000000000000004 and 0.7000000000000001,
  // and (0.3 - 0.1) / 0.2 is 0.9999999999999999; every value on an edge still goes up.
  h.Compute(SetOf({0.1, 0.3, 0.5, 0.7, 0.9, 1.1}), 5);
  EXPECT_EQ(Counts(h), (std::vector<std::uint32_t>{1, 1, 1, 1, 2}));
  EXPECT_DOUBLE_EQ(h.Bin(5)->upper, 1.1);
  const struct {
    double x;
    int bin;
  } kCases[] = {{0.1, 1}, {0.2999, 1}, {0.3, 2}, {0.69, 3}, {0.7, 4}, {1.1, 5}, {-7, 1}, {9, 5}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.x);
    EXPECT_EQ(h.BinOf(c.x), c.bin);
  }
  EXPECT_EQ(h.BinAt(1.2), 0);  // off the axis: no bin under the mouse
  EXPECT_EQ(h.BinAt(0.3), 2);
}

TEST(Histogram, DensitiesAndTheFittedCurve) {
  std::vector<double> values;
  for (int i = 0; i < 100; ++i) values.push_back(10 + std::sin(i * 0.7) + 0.01 * i);
  const CDataSet set = SetOf(values);
  THistogram h;
  h.Compute(set);
  ASSERT_EQ(h.binCount, 8);
  double area = 0;
  std::uint32_t total = 0;
  double largest = 0;
  for (int i = 1; i <= h.binCount; ++i) {
    const HistogramBin& b = *h.Bin(i);
    area += b.shareDensity * h.binWidth;
    total += b.count;
    largest = std::max(largest, b.shareDensity);
    EXPECT_DOUBLE_EQ(b.normalDensity, NormalDensity(set.stdDev, set.mean, b.centre));
  }
  EXPECT_EQ(total, 100u);
  EXPECT_NEAR(area, 1.0, 1e-12);
  EXPECT_DOUBLE_EQ(h.maxShareDensity, largest);
  EXPECT_DOUBLE_EQ(h.normalPeakDensity, 1 / (set.stdDev * std::sqrt(2 * std::numbers::pi)));
  EXPECT_DOUBLE_EQ(h.scaleTop, std::max(largest, h.normalPeakDensity));
  // The same values reach the normality test and the box plot.
  EXPECT_TRUE(h.normality.computed);
  EXPECT_TRUE(h.normality.enoughData);
  ASSERT_TRUE(h.boxPlot.computed);
  EXPECT_EQ(h.boxPlot.count, 100u);
  EXPECT_DOUBLE_EQ(h.boxPlot.mean, set.mean);
}

TEST(Histogram, UniqueValuesAndTheirText) {
  const struct {
    int distinct;
    std::size_t listed;
    const char* text;
  } kCases[] = {
      {1, 1, "1\r уник.значение"},    {3, 3, "3\r уник.значения"},      {5, 5, "5\r уник.значений"},
      {12, 12, "12\r уник.значений"}, {21, 21, "21\r уник.значение"},   {400, 400, "400\r уник.значений"},
      {401, 400, ">400\r уник.значений"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.distinct);
    std::vector<double> values;
    for (int i = c.distinct; i >= 1; --i) values.push_back(i * 0.5);
    THistogram h;
    h.Compute(SetOf(values));
    EXPECT_EQ(h.uniqueValues.size(), c.listed);
    EXPECT_EQ(h.uniqueOverflow, c.distinct > 400);
    EXPECT_EQ(UniqueValuesText(h), c.text);
  }
  // Equal within 1e-12 is one value; the list is ascending; after an overflow the values
  // already listed go on counting.
  std::vector<double> values{2.0, 1.0, 2.0 + 1e-13, 1.0};
  for (int i = 0; i < 400; ++i) values.push_back(100 + i);
  values.push_back(2.0);
  THistogram h;
  h.Compute(SetOf(values));
  ASSERT_EQ(h.uniqueValues.size(), 400u);
  EXPECT_TRUE(h.uniqueOverflow);
  EXPECT_EQ(h.uniqueValues[0].value, 1.0);
  EXPECT_EQ(h.uniqueValues[0].count, 2u);
  EXPECT_EQ(h.uniqueValues[1].value, 2.0);
  EXPECT_EQ(h.uniqueValues[1].count, 3u);
  EXPECT_EQ(h.uniqueValues.back().value, 497.0);  // 498 and 499 came after the list was full
  EXPECT_EQ(h.uniqueTotal, 2u + 3u + 398u);
  EXPECT_EQ(UniqueValuesText(h, Lang::En), ">400 unique values");
}

TEST(Histogram, SharedRangeReplacesTheOwnExtremes) {
  const CDataSet a = SetOf({1, 2, 3});
  const CDataSet b = SetOf({2.5, 6});
  const CDataSet empty;
  const CDataSet* sets[] = {&a, &empty, &b};
  const auto range = CommonHistogramRange(sets);
  ASSERT_TRUE(range);
  EXPECT_EQ(range->min, 1);
  EXPECT_EQ(range->max, 6);
  THistogram h;
  h.Compute(b, 5, range);
  EXPECT_EQ(h.min, 1);
  EXPECT_EQ(h.max, 6);
  EXPECT_EQ(Counts(h), (std::vector<std::uint32_t>{0, 1, 0, 0, 1}));
  const CDataSet* none[] = {&empty};
  EXPECT_FALSE(CommonHistogramRange(none));
}

}  // namespace
}  // namespace mv
