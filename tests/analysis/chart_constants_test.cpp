#include "analysis/chart_constants.h"

#include <gtest/gtest.h>

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

TEST(ChartConstants, BeyondTwentyFive) {
  // Range and mean factors stay at 25; B3/B4 follow the c4 approximation.
  EXPECT_EQ(ConstA2(40), 0.153);
  EXPECT_EQ(ConstD4(40), 1.541);
  EXPECT_EQ(ConstD2(40), 3.931);
  EXPECT_EQ(ConstC4(40), 0.9896);
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
