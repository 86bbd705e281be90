#include "analysis/stability.h"

#include <gtest/gtest.h>

#include "analysis_fixture.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

using test::Pt;

TEST(Stability, OneSampleMeanBeyondTheLimits) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  test::AddAnalysisParameters(ds);
  const int b = test::AddTestBlock(ds, "Смена 1");
  // Means 9 and 11 alternating, sample 10 at 25; ranges 1 and 2 alternating: no runs.
  for (int i = 1; i <= 20; ++i) {
    const double mean = i == 10 ? 25 : i % 2 == 1 ? 9 : 11;
    const double range = i % 2 == 1 ? 1 : 2;
    test::AddTestSample(ds, b, 1, {{mean - range / 2}, {mean + range / 2}});
  }
  ds.ComputeAllStats();
  const int kinds[] = {1, 2};
  const StabilityCheck check = CheckStability(ds, b, 1, 20, 1, kinds);
  EXPECT_TRUE(check.ok);
  ASSERT_EQ(check.kinds.size(), 2u);
  const StabilityKindResult& x = check.kinds[0];
  EXPECT_TRUE(x.done);
  EXPECT_FALSE(x.stable);
  EXPECT_EQ(x.beyondCount, 1u);
  EXPECT_EQ(x.signalCount, 1u);  // its C1 hit
  EXPECT_NEAR(x.ucl, 10.7 + 1.88 * 1.5, 1e-12);
  EXPECT_TRUE(x.hasLcl);
  const StabilityKindResult& r = check.kinds[1];
  EXPECT_TRUE(r.done);
  EXPECT_TRUE(r.stable);
  EXPECT_EQ(r.beyondCount, 0u);
  EXPECT_FALSE(r.hasLcl);
  EXPECT_NEAR(r.ucl, 3.267 * 1.5, 1e-12);

  // A range that holds the outlier only: too few samples, still judged.
  const int xOnly[] = {1};
  EXPECT_TRUE(CheckStability(ds, b, 9, 11, 1, xOnly).ok);
}

TEST(Stability, WithoutLimitsTheCheckFails) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  test::AddAnalysisParameters(ds);
  const int b = test::AddTestBlock(ds, "Смена 1");
  for (int i = 0; i < 10; ++i) test::AddTestSample(ds, b, 1, {{10.0 + i % 2}});  // one point each
  ds.ComputeAllStats();
  const int kinds[] = {1, 2, 5};
  const StabilityCheck check = CheckStability(ds, b, 1, 10, 1, kinds);
  EXPECT_FALSE(check.ok);
  ASSERT_EQ(check.kinds.size(), 3u);
  EXPECT_FALSE(check.kinds[0].done);
  EXPECT_FALSE(check.kinds[0].stable);
  EXPECT_FALSE(check.kinds[1].done);
  EXPECT_TRUE(check.kinds[2].done);  // the individuals chart has its limits

  // Kind 0 is skipped, a repeated kind checked once, a kind outside 1, 2, 3, 5, 6 not done.
  const int odd[] = {5, 0, 5, 4};
  const StabilityCheck again = CheckStability(ds, b, 1, 10, 1, odd);
  ASSERT_EQ(again.kinds.size(), 2u);
  EXPECT_EQ(again.kinds[0].kind, 5);
  EXPECT_EQ(again.kinds[1].kind, 4);
  EXPECT_FALSE(again.ok);
  // No sample in the range, a block or parameter that does not exist.
  EXPECT_FALSE(CheckStability(ds, b, 11, 20, 1, kinds).ok);
  EXPECT_FALSE(CheckStability(ds, 9, 1, 10, 1, kinds).ok);
  EXPECT_FALSE(CheckStability(ds, b, 1, 10, 7, kinds).ok);
}

TEST(Stability, LimitsThatCoincideAreNotDone) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  test::AddAnalysisParameters(ds);
  const int b = test::AddTestBlock(ds, "Смена 1");
  // Every value 10 in samples of 7: every range, deviation and moving range 0.
  for (int i = 0; i < 10; ++i) test::AddTestSample(ds, b, 1, std::vector<Pt>(7, Pt{10.0}));
  ds.ComputeAllStats();
  const int kinds[] = {1, 2, 3, 5, 6};
  const StabilityCheck check = CheckStability(ds, b, 1, 10, 1, kinds);
  EXPECT_FALSE(check.ok);
  ASSERT_EQ(check.kinds.size(), 5u);
  // X, R (n = 7 has an LCL), S (from n = 6) and x: UCL = LCL, so no limits are shown.
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(check.kinds[i].kind);
    EXPECT_FALSE(check.kinds[i].done);
    EXPECT_FALSE(check.kinds[i].stable);
  }
  // MR of span 2 has only its UCL (at 0): shown, so judged (its equal values make a C3 run).
  EXPECT_TRUE(check.kinds[4].done);
  EXPECT_FALSE(check.kinds[4].hasLcl);
  EXPECT_EQ(check.kinds[4].beyondCount, 0u);
}

TEST(Stability, PointsOutOfAnalysisDecideNothing) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  test::AddAnalysisParameters(ds);
  const int b = test::AddTestBlock(ds, "Смена 1");
  // Two counted points and an excluded wild value in every sample.
  const double firsts[] = {10, 11, 10, 11, 10, 11, 10, 11};
  for (const double v : firsts) test::AddTestSample(ds, b, 1, {{v}, {v + 1}, {50, point_flag::kExcluded}});
  ds.ComputeAllStats();
  const int kinds[] = {1, 5, 6};
  const StabilityCheck check = CheckStability(ds, b, 1, 8, 1, kinds);
  ASSERT_TRUE(check.ok);
  // n̄ counts the points in analysis (2), not the measured ones (3): A2 = 1.880, R̄ = 1.
  EXPECT_NEAR(check.kinds[0].ucl, 11 + 1.88, 1e-12);
  // The individuals: 10 11 11 12 10 11 11 12 ..., mean 11; the moving ranges 1 0 1 2 1 0 1 ...
  // skip the excluded values (15 ranges summing to 14).
  EXPECT_NEAR(check.kinds[1].ucl, 11 + 2.66 * 14 / 15, 1e-12);
  EXPECT_EQ(check.kinds[1].beyondCount, 0u);
  EXPECT_TRUE(check.kinds[1].stable);
  EXPECT_NEAR(check.kinds[2].ucl, 3.267 * 14 / 15, 1e-12);
  EXPECT_EQ(check.kinds[2].beyondCount, 0u);
}

}  // namespace
}  // namespace mv
