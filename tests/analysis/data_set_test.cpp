#include "analysis/data_set.h"

#include <gtest/gtest.h>

#include <random>

#include <optional>
#include <vector>

#include "spc/dataset_spc.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

// One point per entry: a value (nothing: absent) and whether it is active.
struct P {
  std::optional<double> value;
  bool active = true;
};

void Fill(CDataSet& set, const std::vector<P>& points) {
  ASSERT_TRUE(set.Allocate(static_cast<std::int64_t>(points.size())));
  for (const P& p : points) ASSERT_TRUE(set.AddPoint(0, 1, 1, 1, p.active, p.value.has_value(), p.value.value_or(0)));
}

TEST(DataSet, StatisticsSeparatePresentFromAnalysed) {
  CDataSet set;
  Fill(set, {{3}, {}, {1}, {0, false}, {1}, {5}});
  set.tolerance.Set(1, 1.5, 4.0, {});
  set.ComputeStatistics();
  EXPECT_TRUE(set.valid);
  EXPECT_EQ(set.presentCount, 5u);
  EXPECT_EQ(set.activeCount, 4u);
  EXPECT_DOUBLE_EQ(set.mean, 2.5);
  EXPECT_NEAR(set.stdDev, 1.914854, 1e-6);  // sqrt(11 / 3)
  EXPECT_DOUBLE_EQ(set.range, 4);
  EXPECT_EQ(set.min, 1);
  EXPECT_EQ(set.minIndex, 3u);  // the first of the two 1s
  EXPECT_EQ(set.max, 5);
  EXPECT_EQ(set.maxIndex, 6u);
  EXPECT_EQ(set.presentMin, 0);  // the inactive point counts here
  EXPECT_EQ(set.presentMax, 5);
  EXPECT_EQ(set.outOfToleranceCount, 3u);  // 1, 1 below 1.5 and 5 above 4
  EXPECT_DOUBLE_EQ(set.percentOutOfTolerance, 75);
  EXPECT_DOUBLE_EQ(set.ValueAtSigmas(3), 2.5 + 3 * set.stdDev);

  CDataSet one;
  Fill(one, {{7}});
  one.ComputeStatistics();
  EXPECT_EQ(one.stdDev, 0);
  EXPECT_EQ(one.mean, 7);

  CDataSet empty;
  Fill(empty, {{}, {4, false}});
  empty.ComputeStatistics();
  EXPECT_TRUE(empty.valid);
  EXPECT_EQ(empty.activeCount, 0u);
  EXPECT_EQ(empty.mean, 0);
}

TEST(DataSet, MovingRanges) {
  CDataSet set;
  Fill(set, {{1}, {4}, {2}, {8}, {5}});
  EXPECT_DOUBLE_EQ(set.AverageMovingRange(3), 5);  // (3 + 6 + 6) / 3 at points 3, 4, 5
  EXPECT_DOUBLE_EQ(set.AverageMovingRange(2), (3 + 2 + 6 + 3) / 4.0);

  CDataSet two;
  Fill(two, {{1}, {4}});
  EXPECT_EQ(two.AverageMovingRange(3), 0);

  CDataSet mr;
  Fill(mr, {{5}, {7}, {4}});
  mr.ToMovingRanges(2);
  EXPECT_EQ(mr.FirstIndex(), 2u);
  EXPECT_EQ(mr.Value(2), 2);
  EXPECT_EQ(mr.Value(3), 3);
  mr.ComputeStatistics();
  EXPECT_EQ(mr.activeCount, 2u);  // index 1 takes no further part
  EXPECT_DOUBLE_EQ(mr.mean, 2.5);
}

// The statistics pass can sum the moving ranges beside the mean; it must give exactly what the
// pass of its own gives, excluded points and spans up to 10 included.
TEST(DataSet, MovingRangesAlongWithTheStatistics) {
  std::mt19937 rng(3);
  for (int round = 0; round < 300; ++round) {
    CDataSet set;
    const int n = std::uniform_int_distribution<int>(0, 40)(rng);
    ASSERT_TRUE(set.Allocate(n));
    for (int i = 1; i <= n; ++i) {
      set.AddPoint(0, 1, 1, 1, rng() % 5 != 0, rng() % 9 != 0, std::uniform_real_distribution<double>(-5, 5)(rng));
    }
    const int w = 2 + round % 9;
    if (round % 7 == 0) set.ToMovingRanges(2);  // the first index is not 1: a pass of its own
    set.ComputeStatistics(w);
    EXPECT_EQ(set.averageMovingRange, set.AverageMovingRange(w)) << round;
  }
}

// Forming the moving ranges tallies their statistics as it goes: the same figures as a pass
// over the ranges afterwards, for the span of its own (2) and the others.
TEST(DataSet, MovingRangesComeWithTheirStatistics) {
  std::mt19937 rng(5);
  for (int round = 0; round < 300; ++round) {
    CDataSet set;
    const int n = std::uniform_int_distribution<int>(0, 40)(rng);
    ASSERT_TRUE(set.Allocate(n));
    set.tolerance.Set(2, 0.5, 6, std::nullopt);
    for (int i = 1; i <= n; ++i) {
      set.AddPoint(0, 1, 1, 1, rng() % 5 != 0, rng() % 9 != 0, std::uniform_real_distribution<double>(-5, 5)(rng));
    }
    set.ToMovingRanges(2 + round % 5);
    CDataSet again = set;
    again.ComputeStatistics();
    SCOPED_TRACE(round);
    EXPECT_EQ(set.presentCount, again.presentCount);
    EXPECT_EQ(set.activeCount, again.activeCount);
    EXPECT_EQ(set.outOfToleranceCount, again.outOfToleranceCount);
    EXPECT_EQ(set.presentMin, again.presentMin);
    EXPECT_EQ(set.presentMax, again.presentMax);
    EXPECT_EQ(set.min, again.min);
    EXPECT_EQ(set.max, again.max);
    EXPECT_EQ(set.minIndex, again.minIndex);
    EXPECT_EQ(set.maxIndex, again.maxIndex);
    EXPECT_EQ(set.mean, again.mean);
    EXPECT_EQ(set.stdDev, again.stdDev);
    EXPECT_EQ(set.percentOutOfTolerance, again.percentOutOfTolerance);
  }
}

TEST(DataSet, PointsWithoutEnoughAnalysedPredecessorsHaveNoMovingRange) {
  // The first value excluded, as happens on individuals charts: point 2 has nothing before it
  // and must not add a range of 0.
  CDataSet set;
  Fill(set, {{3, false}, {5}, {7}, {4}});
  EXPECT_DOUBLE_EQ(set.AverageMovingRange(2), 2.5);  // (2 + 3) / 2, not (0 + 2 + 3) / 3
  set.ToMovingRanges(2);
  set.ComputeStatistics();
  EXPECT_EQ(set.activeCount, 2u);
  EXPECT_FALSE(set.IsAnalysed(2));
  EXPECT_DOUBLE_EQ(set.mean, 2.5);

  // Span 3 with an excluded point inside: the search skips it; point 2 has one predecessor only.
  CDataSet span3;
  Fill(span3, {{1}, {4}, {100, false}, {2}, {8}});
  EXPECT_DOUBLE_EQ(span3.AverageMovingRange(3), (3 + 6) / 2.0);  // {2, 4, 1} and {8, 2, 4}
  span3.ToMovingRanges(3);
  EXPECT_EQ(span3.Value(4), 3);
  EXPECT_EQ(span3.Value(5), 6);
  span3.ComputeStatistics();
  EXPECT_EQ(span3.activeCount, 2u);
}

TEST(DataSet, IndexesAndAllocation) {
  CDataSet set;
  ASSERT_TRUE(set.Allocate(3));
  EXPECT_FALSE(set.AddPoint(4, 1, 1, 1, true, true, 1));
  EXPECT_TRUE(set.AddPoint(3, 1, 2, 3, true, true, 9));
  EXPECT_EQ(set.Count(), 3u);
  EXPECT_TRUE(set.AddPoint(1, 1, 1, 1, true, true, 2));
  EXPECT_EQ(set.Count(), 3u);                             // the larger of count and index
  EXPECT_FALSE(set.AddPoint(0, 1, 1, 1, true, true, 1));  // count + 1 = 4 is beyond the capacity
  EXPECT_EQ(set.Point(3)->sample, 2);
  EXPECT_EQ(set.Value(0), 0);
  EXPECT_EQ(set.Value(4), 0);
  EXPECT_FALSE(set.HasFlag(4, dsp_flag::kPresent));
  set.SetFlag(4, dsp_flag::kBeyond, true);  // ignored
  set.SetFlag(3, dsp_flag::kBeyond, true);
  EXPECT_TRUE(set.HasFlag(3, dsp_flag::kBeyond));

  ASSERT_TRUE(set.Allocate(3));  // same capacity: cleared
  EXPECT_EQ(set.Count(), 0u);
  EXPECT_EQ(set.Value(3), 0);
  EXPECT_FALSE(set.HasFlag(3, dsp_flag::kBeyond));

  EXPECT_FALSE(set.Allocate(std::int64_t{1} << 62));  // more than can ever be had
  EXPECT_EQ(set.Capacity(), 0u);
  EXPECT_FALSE(set.Allocate(-1));
}

TEST(DataSet, CountBeyondLimits) {
  CDataSet set;
  Fill(set, {{1}, {5}, {9}, {12, false}, {-3}, {10}});
  EXPECT_EQ(set.CountBeyondLimits(), 0u);  // no UCL yet
  set.hasUcl = true;
  set.ucl = 9;
  EXPECT_EQ(set.CountBeyondLimits(), 1u);  // 10; 9 is on the limit, 12 is not analysed
  set.hasLcl = true;
  set.lcl = 0;
  EXPECT_EQ(set.CountBeyondLimits(), 2u);
}

TEST(DataSet, BindParameterCopiesTheTolerance) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  TSPCParameter props;
  props.name = "Диаметр";
  props.unit = "мм";
  props.decimals = 2;
  ASSERT_EQ(ds.SetParameter(0, 0, props), 1);
  ds.Parameter(1)->SetTolerance(9.9, {}, 10.0);

  CDataSet set;
  set.BindParameter(ds, 1);
  EXPECT_EQ(set.unit, "мм");
  EXPECT_EQ(set.decimals, 2);
  EXPECT_TRUE(set.limited);
  EXPECT_FALSE(set.twoSided);
  EXPECT_EQ(set.tolerance.Get(ValueRange::kLower), 9.9);
}

}  // namespace
}  // namespace mv
