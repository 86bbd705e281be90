#include "analysis/chart_constants.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace mv {
namespace {

TEST(ChartConstants, TableRowsAndEnds) {
  struct Case {
    int n;
    double a2, a2m, d3, d4, b3, b4, d2, c4;
  };
  const Case cases[] = {
      {2, 1.880, 1.880, 0, 3.267, 0, 3.267, 1.128, 0.7979},
      {6, 0.483, 0.548, 0, 2.004, 0.030, 1.970, 2.534, 0.9515},
      {25, 0.153, 0.362, 0.459, 1.541, 0.565, 1.435, 3.931, 0.9896},
      {1, 1.880, 1.880, 0, 3.267, 0, 3.267, 1.128, 0.7979},    // below the table: the row of 2
      {0, 1.880, 1.880, 0, 3.267, 0, 3.267, 1.128, 0.7979},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n);
    EXPECT_EQ(ConstA2(c.n), c.a2);
    EXPECT_EQ(ConstA2Median(c.n), c.a2m);
    EXPECT_EQ(ConstD3(c.n), c.d3);
    EXPECT_EQ(ConstD4(c.n), c.d4);
    EXPECT_EQ(ConstB3(c.n), c.b3);
    EXPECT_EQ(ConstB4(c.n), c.b4);
    EXPECT_EQ(ConstD2(c.n), c.d2);
    EXPECT_EQ(ConstC4(c.n), c.c4);
  }
}

// Rounds to `decimals` decimals.
double Rounded(double x, int decimals) {
  const double scale = std::pow(10.0, decimals);
  return std::round(x * scale) / scale;
}

TEST(ChartConstants, ExactFactorsReproduceTheTable) {
  // The integration behind the larger subgroups gives the printed d2, A2 and c4 of every row,
  // and D3, D4 to within the last digit (the printed rows come from a rounded d3).
  for (int n = 4; n <= kChartConstantsMaxN; ++n) {
    SCOPED_TRACE(n);
    const RangeMoments m = ExactRangeMoments(n);
    EXPECT_EQ(Rounded(m.d2, 3), ConstD2(n));
    EXPECT_EQ(Rounded(3 / (m.d2 * std::sqrt(n)), 3), ConstA2(n));
    EXPECT_EQ(Rounded(ExactC4(n), 4), ConstC4(n));
    EXPECT_NEAR(1 + 3 * m.d3 / m.d2, ConstD4(n), 0.0011);
    EXPECT_NEAR(std::max(0.0, 1 - 3 * m.d3 / m.d2), ConstD3(n), 0.0011);
  }
  // Closed forms at the small end: d2(2) = 2 / sqrt(pi), c4(2) = sqrt(2 / pi).
  EXPECT_NEAR(ExactRangeMoments(2).d2, 2 / std::sqrt(std::acos(-1.0)), 1e-12);
  EXPECT_NEAR(ExactC4(2), std::sqrt(2 / std::acos(-1.0)), 1e-15);
}

TEST(ChartConstants, BeyondTwentyFiveFromTheExactFactors) {
  // Published d2 (4 decimals) and c4 of the normal range and standard deviation.
  const struct {
    int n;
    double d2, c4;
  } kPublished[] = {{30, 4.0855, 0.9914}, {50, 4.4981, 0.9949}, {100, 5.0152, 0.9975}};
  for (const auto& c : kPublished) {
    SCOPED_TRACE(c.n);
    EXPECT_EQ(Rounded(ConstD2(c.n), 4), c.d2);
    EXPECT_EQ(Rounded(ConstC4(c.n), 4), c.c4);
  }
  for (const int n : {26, 40, 200}) {
    SCOPED_TRACE(n);
    const RangeMoments m = ExactRangeMoments(n);
    EXPECT_EQ(ConstD2(n), m.d2);
    EXPECT_DOUBLE_EQ(ConstA2(n), 3 / (m.d2 * std::sqrt(n)));
    EXPECT_DOUBLE_EQ(ConstD3(n), 1 - 3 * m.d3 / m.d2);
    EXPECT_DOUBLE_EQ(ConstD4(n), 1 + 3 * m.d3 / m.d2);
    EXPECT_EQ(ConstA2Median(n), 0.362);  // the median factor keeps the row of 25
  }
  // n = 200: the mean chart's half-width is about a quarter of the row of 25's.
  EXPECT_NEAR(ConstA2(200), 0.0386, 5e-5);
  EXPECT_NEAR(ConstD2(200), 5.4921, 5e-5);
  // The factors carry on from the table's last row.
  EXPECT_LT(ConstA2(26), ConstA2(25));
  EXPECT_GT(ConstD2(26), ConstD2(25));
  EXPECT_GT(ConstD3(26), ConstD3(25));
  EXPECT_LT(ConstD4(26), ConstD4(25));
  EXPECT_GT(ConstC4(26), ConstC4(25));

  // The S chart keeps B3/B4 from the c4 approximation 4(n - 1) / (4n - 3).
  const double c4 = 4.0 * 39 / 157.0;
  const double half = 3.0 / (c4 * std::sqrt(78.0));
  EXPECT_DOUBLE_EQ(ConstB3(40), 1.0 - half);
  EXPECT_DOUBLE_EQ(ConstB4(40), 1.0 + half);
  EXPECT_GT(ConstB3(26), ConstB3(25));  // the band keeps narrowing past the table
  EXPECT_LT(ConstB4(26), ConstB4(25));
}

TEST(ChartConstants, E2BySpan) {
  EXPECT_EQ(ConstE2(2), 2.66);
  EXPECT_EQ(ConstE2(5), 1.29);
  EXPECT_EQ(ConstE2(10), 0.98);
  EXPECT_EQ(ConstE2(1), 2.66);
  EXPECT_EQ(ConstE2(15), 0.98);
}

}  // namespace
}  // namespace mv
