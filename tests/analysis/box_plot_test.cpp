#include "analysis/box_plot.h"

#include <gtest/gtest.h>

#include <vector>

#include "analysis/value_list.h"

namespace mv {
namespace {

TValueList ListOf(const std::vector<double>& values, double mean = 0) {
  TValueList list;
  EXPECT_TRUE(list.Allocate(static_cast<std::int64_t>(values.size())));
  for (const double x : values) EXPECT_TRUE(list.Add(x));
  list.SetMeanAndSigma(mean, 1);
  return list;
}

TEST(BoxPlot, QuartilePositionsRoundHalfToEven) {
  // 1..10 (given shuffled): median 5.5; Q1 at round(2.5) = 2, Q3 at round(7.5) = 8 (rounding
  // halves away from zero would take 3 and 8); fences lie beyond the data and are clamped to it.
  TValueList list = ListOf({7, 3, 10, 1, 5, 2, 9, 4, 8, 6}, 5.5);
  const TBoxPlot b = ComputeBoxPlot(list);
  ASSERT_TRUE(b.computed);
  EXPECT_EQ(b.median, 5.5);
  EXPECT_EQ(b.q1, 2);
  EXPECT_EQ(b.q3, 8);
  EXPECT_EQ(b.iqr, 6);
  EXPECT_EQ(b.lower.fence, 1);
  EXPECT_EQ(b.upper.fence, 10);
  EXPECT_EQ(b.lower.end, 1);
  EXPECT_EQ(b.upper.end, 10);
  EXPECT_EQ(b.lower.length, 1);
  EXPECT_EQ(b.upper.length, 2);
  EXPECT_EQ(b.outlierCount, 0u);
  EXPECT_EQ(b.mean, 5.5);
  EXPECT_EQ(BoxPlotText(b, 1),
            "нижний ус: 1.0, квартиль Q1 (25%): 2.0, медиана: 5.5, квартиль Q3 (75%): 8.0, верхний ус: 10.0, "
            "выбросы: 0 точек из 10");
}

TEST(BoxPlot, OutliersBeyondTheFences) {
  // Q1 at round(1.25) = 1, Q3 at round(3.75) = 4, upper fence 4 + 1.5 * 3 = 8.5.
  TValueList list = ListOf({1, 2, 3, 4, 100});
  const TBoxPlot b = ComputeBoxPlot(list);
  EXPECT_EQ(b.q1, 1);
  EXPECT_EQ(b.q3, 4);
  EXPECT_EQ(b.upper.fence, 8.5);
  EXPECT_EQ(b.upper.end, 4);
  EXPECT_EQ(b.outlierCount, 1u);
  ASSERT_EQ(b.upper.outliers.size(), 1u);
  EXPECT_EQ(b.upper.outliers[0].value, 100);
  EXPECT_EQ(BoxPlotText(b, 0),
            "нижний ус: 1, квартиль Q1 (25%): 1, медиана: 3, квартиль Q3 (75%): 4, верхний ус: 4, "
            "выбросы: 1 точка из 5");
}

TEST(BoxPlot, EqualQuartilesAndKeptOutliers) {
  // Sixty values of 50 with 13 low outliers (1 three times, then 2..11) and one high one: both
  // quartiles are 50, so both fences are 50. Every outlier counts; 10 distinct low ones are kept.
  std::vector<double> values(60, 50.0);
  for (const double x : {1.0, 1.0, 1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0, 10.0, 11.0, 100.0}) values.push_back(x);
  TValueList list = ListOf(values);
  const TBoxPlot b = ComputeBoxPlot(list);
  EXPECT_EQ(b.q1, 50);
  EXPECT_EQ(b.q3, 50);
  EXPECT_EQ(b.outlierCount, 14u);
  ASSERT_EQ(b.lower.outliers.size(), kBoxPlotKeptOutliers);
  EXPECT_EQ(b.lower.outliers[0].value, 1);
  EXPECT_EQ(b.lower.outliers[0].multiplicity, 3u);
  EXPECT_EQ(b.lower.outliers[9].value, 10);
  EXPECT_EQ(b.lower.end, 50);
  EXPECT_EQ(b.upper.end, 50);
  EXPECT_EQ(BoxPlotText(b, 2),
            "нижний ус: 50.00, квартиль Q1 (25%) = медиана = квартиль Q3 (75%): 50.00, верхний ус: 50.00, "
            "выбросы: 14 точек из 74");
}

TEST(BoxPlot, TooFewValuesAndLargeCounts) {
  TValueList two = ListOf({1, 2});
  const TBoxPlot none = ComputeBoxPlot(two);
  EXPECT_FALSE(none.computed);
  EXPECT_EQ(BoxPlotText(none, 2), "не рассчитано");

  // More values than a 16-bit count holds: the text still says how many.
  std::vector<double> many(70000);
  for (std::size_t i = 0; i < many.size(); ++i) many[i] = static_cast<double>(i % 1000);
  TValueList list = ListOf(many);
  const TBoxPlot b = ComputeBoxPlot(list);
  EXPECT_EQ(b.count, 70000u);
  EXPECT_NE(BoxPlotText(b, 0).find("выбросы: 0 точек из 70000"), std::string::npos);
}

TEST(BoxPlot, EqualQuartilesWorkedExample) {
  TValueList list = ListOf({5, 5, 5});
  EXPECT_EQ(BoxPlotText(ComputeBoxPlot(list), 0),
            "нижний ус: 5, квартиль Q1 (25%) = медиана = квартиль Q3 (75%): 5, верхний ус: 5, выбросы: 0 точек из 3");
}

}  // namespace
}  // namespace mv
