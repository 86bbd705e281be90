#include "analysis/chart_limits.h"

#include <gtest/gtest.h>

#include <functional>

#include "analysis/special_causes.h"

namespace mv {
namespace {

// A data set whose centre line (mean) is `cl`.
CDataSet WithCentre(double cl) {
  CDataSet set;
  EXPECT_TRUE(set.Allocate(1));
  set.AddPoint(1, 1, 1, 1, true, true, cl);
  set.ComputeStatistics();
  return set;
}

TEST(ChartLimits, EveryKindAgainstHandAndTextbookFigures) {
  const struct {
    const char* name;
    double cl;
    std::function<void(CDataSet&)> op;
    bool hasLcl;
    double lcl;
    bool hasUcl;
    double ucl;
    double tolerance;
  } kCases[] = {
      // Means 10, 11, 12 of samples of 5 with ranges 1, 2, 3: 11 ± 0.577 x 2.
      {"X n=5", 11, [](CDataSet& s) { SetMeanLimits(s, 5, false, 2); }, true, 9.846, true, 12.154, 1e-12},
      // Montgomery, Introduction to SQC, hard-bake flow width: x̿ = 1.5056, R̄ = 0.32521, n = 5
      // gives 1.3180 .. 1.6933, and the R chart 0 .. 0.6875.
      {"X textbook", 1.5056, [](CDataSet& s) { SetMeanLimits(s, 5, false, 0.32521); }, true, 1.3180, true, 1.6933,
       1e-4},  // printed to 4 decimals from unrounded inputs
      {"R textbook", 0.32521, [](CDataSet& s) { SetRangeLimits(s, 5); }, false, 0, true, 0.6875, 5e-5},
      {"R n=5", 1, [](CDataSet& s) { SetRangeLimits(s, 5); }, false, 0, true, 2.114, 1e-12},
      {"R n=7", 1, [](CDataSet& s) { SetRangeLimits(s, 7); }, true, 0.076, true, 1.924, 1e-12},
      {"S n=5", 1, [](CDataSet& s) { SetStdDevLimits(s, 5); }, false, 0, true, 2.089, 1e-12},
      {"S n=6", 1, [](CDataSet& s) { SetStdDevLimits(s, 6); }, true, 0.030, true, 1.970, 1e-12},
      // Beyond the table: B = 1 ± 3 / (c4' sqrt(2(n - 1))) with c4' = 116/117.
      {"S n=30", 1, [](CDataSet& s) { SetStdDevLimits(s, 30); }, true, 0.602685, true, 1.397315, 1e-6},
      {"M n=12", 0, [](CDataSet& s) { SetMeanLimits(s, 12, true, 1); }, true, -0.362, true, 0.362, 1e-12},
      {"X n=1", 5, [](CDataSet& s) { SetMeanLimits(s, 1, false, 2); }, false, 0, false, 0, 0},
      {"R n=1", 5, [](CDataSet& s) { SetRangeLimits(s, 1); }, false, 0, false, 0, 0},
      {"x w=3", 10, [](CDataSet& s) { SetIndividualsLimits(s, 3, 1); }, true, 8.23, true, 11.77, 1e-12},
      {"MR w=3", 1, [](CDataSet& s) { SetMovingRangeLimits(s, 3); }, false, 0, true, 2.574, 1e-12},
      {"MR w=7", 1, [](CDataSet& s) { SetMovingRangeLimits(s, 7); }, true, 0.076, true, 1.924, 1e-12},
      // p̄ = 0.01, n̄ = 100: 0.01 + 3 sqrt(0.0099 / 100); the LCL formula is negative.
      {"p share", 0.01, [](CDataSet& s) { SetPLimits(s, 1, 100); }, false, 0, true, 0.0398496, 1e-7},
      {"p percent", 1, [](CDataSet& s) { SetPLimits(s, 100, 100); }, false, 0, true, 3.98496, 1e-5},
      {"p n=0", 0.01, [](CDataSet& s) { SetPLimits(s, 1, 0); }, false, 0, false, 0, 0},
      // More nonconforming than inspected: the radicand counts as 0.
      {"p over 1", 1.2, [](CDataSet& s) { SetPLimits(s, 1, 10); }, true, 1.2, true, 1.2, 1e-12},
      {"np n=50", 5, [](CDataSet& s) { SetNpLimits(s, 50); }, false, 0, true, 11.363961, 1e-6},
      {"c", 4, [](CDataSet& s) { SetCLimits(s); }, false, 0, true, 10, 1e-12},
      {"c exactly 0 below", 9, [](CDataSet& s) { SetCLimits(s); }, true, 0, true, 18, 1e-12},
      // Montgomery, Introduction to SQC, nonconformities in computers: ū = 1.93, n = 5 gives
      // 0.07 .. 3.79.
      {"u textbook", 1.93, [](CDataSet& s) { SetULimits(s, 1, 5); }, true, 0.07, true, 3.79, 5e-3},
      {"u per 100", 193, [](CDataSet& s) { SetULimits(s, 100, 5); }, true, 6.61, true, 379.4, 0.05},
      {"regulation URL only", 10, [](CDataSet& s) { SetRegulationLimits(s, std::nullopt, 12.5); }, false, 0, true,
       12.5, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    CDataSet set = WithCentre(c.cl);
    set.hasUcl = set.hasLcl = true;  // an earlier build's limits do not survive
    c.op(set);
    EXPECT_EQ(set.hasLcl, c.hasLcl);
    EXPECT_EQ(set.hasUcl, c.hasUcl);
    EXPECT_NEAR(set.lcl, c.lcl, c.tolerance);  // 0 without an LCL
    EXPECT_NEAR(set.ucl, c.ucl, c.tolerance);
  }
}

TEST(ChartLimits, OwnLimitsOfASampleOutsideTheBand) {
  const AttributeLimitPair own = AttributeLimitsFor(ChartKind::P, 1, 0.01, 130);
  EXPECT_NEAR(own.ucl, 0.036180, 1e-6);
  EXPECT_FALSE(own.hasLcl);
  EXPECT_EQ(own.lcl, 0);
  EXPECT_FALSE(AttributeLimitsFor(ChartKind::U, 1, 0.5, 0).computed);
  EXPECT_TRUE(AttributeLimitsFor(ChartKind::C, 1, 0.5, 0).computed);
}

TEST(ChartLimits, BeyondMarksUseOwnLimitsAndTheC1HitsFollowThem) {
  // Four p-chart points, central limits 0 .. 0.04; entry 2 has own limits 0 .. 0.03,
  // entry 3 own limits 0 .. 0.05.
  CDataSet set;
  ASSERT_TRUE(set.Allocate(4));
  const double values[] = {0.04, 0.035, 0.045, 0.041};
  for (std::uint32_t i = 1; i <= 4; ++i) set.AddPoint(i, 1, static_cast<std::uint16_t>(i), 1, true, true, values[i - 1]);
  set.ComputeStatistics();
  set.ucl = 0.04;
  set.hasUcl = true;
  TChartDataX data;
  data.points.resize(4);
  data.points[1].flags = chart_point_flag::kOwnLimits;
  data.points[1].ownUpper = 0.03;
  data.points[2].flags = chart_point_flag::kOwnLimits;
  data.points[2].ownUpper = 0.05;

  EXPECT_EQ(MarkBeyondLimits(set, &data, true), 2u);
  EXPECT_FALSE(set.HasFlag(1, dsp_flag::kBeyond));  // on the UCL is not beyond
  EXPECT_TRUE(set.HasFlag(2, dsp_flag::kBeyond));   // beyond its own UCL, inside the central
  EXPECT_FALSE(set.HasFlag(3, dsp_flag::kBeyond));  // inside its own UCL, beyond the central
  EXPECT_TRUE(set.HasFlag(4, dsp_flag::kBeyond));
  EvaluateCriteria(set, CriterionBit(1));
  ASSERT_EQ(set.signals.size(), 2u);
  EXPECT_EQ(set.signals[0].first, 2u);
  EXPECT_EQ(set.signals[1].first, 4u);
  // The data set's own count knows only the central limits.
  EXPECT_EQ(set.CountBeyondLimits(), 2u);
  EXPECT_EQ(MarkBeyondLimits(set), 2u);
  EXPECT_TRUE(set.HasFlag(3, dsp_flag::kBeyond));
}

TEST(ChartLimits, LimitsShown) {
  CDataSet set = WithCentre(5);
  EXPECT_FALSE(LimitsShown(set));
  SetMeanLimits(set, 5, false, 0);  // all ranges 0: UCL = LCL = CL
  EXPECT_EQ(set.ucl, 5);
  EXPECT_EQ(set.lcl, 5);
  EXPECT_FALSE(LimitsShown(set));
  EXPECT_FALSE(set.zones.valid);
  SetRangeLimits(set, 5);  // only a UCL
  EXPECT_TRUE(LimitsShown(set));
  SetRegulationLimits(set, 4.0, std::nullopt);
  EXPECT_TRUE(LimitsShown(set));
  EXPECT_FALSE(set.zones.valid);
}

}  // namespace
}  // namespace mv
