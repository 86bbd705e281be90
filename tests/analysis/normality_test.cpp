#include "analysis/normality.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "analysis/value_list.h"

namespace mv {
namespace {

// A list of the values with their sample mean and standard deviation (n - 1).
TValueList ListOf(const std::vector<double>& values) {
  TValueList list;
  EXPECT_TRUE(list.Allocate(static_cast<std::int64_t>(values.size())));
  for (const double x : values) EXPECT_TRUE(list.Add(x));
  const double mean = std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
  double squares = 0;
  for (const double x : values) squares += (x - mean) * (x - mean);
  list.SetMeanAndSigma(mean, values.size() > 1 ? std::sqrt(squares / static_cast<double>(values.size() - 1)) : 0);
  return list;
}

TEST(ValueList, CapacityAndLazySorting) {
  TValueList list;
  EXPECT_FALSE(list.Allocate(0));
  EXPECT_FALSE(list.Allocate(-5));
  ASSERT_TRUE(list.Allocate(3));
  EXPECT_TRUE(list.Add(3));
  EXPECT_TRUE(list.Add(1));
  EXPECT_TRUE(list.Add(2));
  EXPECT_FALSE(list.Add(4));  // full
  EXPECT_EQ(list.Count(), 3u);
  EXPECT_FALSE(list.IsSorted());
  EXPECT_EQ(list.Values()[0], 3);  // as added until something asks for the order
  EXPECT_EQ(list.Sorted()[0], 1);
  EXPECT_TRUE(list.IsSorted());
  EXPECT_TRUE(list.Allocate(2));  // a new allocation empties the list
  EXPECT_EQ(list.Count(), 0u);
}

// Large lists are sorted by radix passes over the bits of the values: the order must be that of
// the numbers, signs, zeros, extremes and repeats included.
TEST(ValueList, LargeListsSortAsNumbers) {
  std::vector<double> values{-0.0, 0.0, -1e308, 1e308, -4.9e-324, 4.9e-324, -1, 1, 1e-300, -2.5, 2.5, 1024, -1024};
  for (std::size_t i = 0; values.size() < 10000; ++i) {
    values.push_back(std::ldexp(static_cast<double>((i * 7919) % 2003) - 1001, static_cast<int>(i % 40) - 20));
  }
  for (const std::size_t size : {std::size_t{4095}, values.size()}) {
    SCOPED_TRACE(size);
    TValueList list;
    ASSERT_TRUE(list.Allocate(static_cast<std::int64_t>(size)));
    for (std::size_t i = 0; i < size; ++i) list.Add(values[i]);
    std::vector<double> expected(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(size));
    std::sort(expected.begin(), expected.end());
    const auto sorted = list.Sorted();
    ASSERT_EQ(sorted.size(), size);
    for (std::size_t i = 0; i < size; ++i) ASSERT_EQ(sorted[i], expected[i]) << i;  // -0.0 == 0.0
  }
}

TEST(KsCriticalValue, RowsBetweenAndBeyondTheTable) {
  const struct {
    std::uint32_t n;
    int level;
    double expected;
  } kCases[] = {
      {1, 1, 0.950},  {19, 1, 0.271},  {20, 1, 0.265}, {21, 1, 0.265},  {23, 1, 0.265},
      {24, 1, 0.265}, {25, 1, 0.238},  {99, 1, 0.124}, {100, 1, 0.121}, {250, 1, 0.121},
      {20, 2, 0.294}, {100, 3, 0.161}, {0, 1, 1},      {20, 0, 1},      {20, 4, 1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "n=" << c.n << " level=" << c.level);
    EXPECT_DOUBLE_EQ(KsCriticalValue(c.n, c.level), c.expected);
  }
}

TEST(Normality, StatisticAgainstAnIndependentComputation) {
  // D computed by a separate Python implementation of the same walk over the coarse table
  // (statistics.mean / statistics.stdev for the estimates).
  const struct {
    const char* name;
    std::vector<double> values;
    double d;
    bool normal;
  } kCases[] = {
      {"near-normal with ties",
       {9.8,  9.9,  9.9, 10.0, 10.0, 10.0, 10.0, 10.1, 10.1, 10.1,
        10.2, 10.2, 9.7, 9.9,  10.0, 10.3, 10.1, 9.8,  10.0, 10.0},
       0.18644489382037305,
       true},
      {"skewed", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 3, 5, 8, 13, 21, 34, 55}, 0.3297775168137621, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    TValueList list = ListOf(c.values);
    const TNormality r = TestNormality(list);
    EXPECT_TRUE(r.computed);
    EXPECT_TRUE(r.enoughData);
    EXPECT_NEAR(r.statistic, c.d, 1e-12);
    EXPECT_DOUBLE_EQ(r.critical, 0.265);
    EXPECT_EQ(r.normal, c.normal);
  }
}

TEST(Normality, TooFewValuesAndZeroSigma) {
  std::vector<double> nineteen(19);
  std::iota(nineteen.begin(), nineteen.end(), 1.0);
  TValueList few = ListOf(nineteen);
  const TNormality r = TestNormality(few);
  EXPECT_TRUE(r.computed);
  EXPECT_FALSE(r.enoughData);
  EXPECT_FALSE(r.normal);
  EXPECT_EQ(NormalityText(r, Lang::Ru, false), "Неизвестно (мало данных)");
  EXPECT_EQ(NormalityText(r, Lang::Ru, true), "Неизвестно (для расчета необходимо не менее 20 значений)");
  EXPECT_EQ(NormalityText(r, Lang::En, false), "Unknown (not enouth data)");
  EXPECT_EQ(NormalityText(r, Lang::En, true), "Unknown (at least 20 points required)");

  TValueList flat = ListOf(std::vector<double>(20, 7.5));
  const TNormality f = TestNormality(flat);
  EXPECT_TRUE(f.enoughData);
  EXPECT_EQ(f.statistic, 0);
  EXPECT_TRUE(f.normal);
}

TEST(Normality, VerdictTexts) {
  EXPECT_EQ(NormalityText(TNormality{}, Lang::Ru, true), "Не рассчитано");
  EXPECT_EQ(NormalityText(TNormality{}, Lang::En, false), "Not counted");
  const TNormality normal{true, true, true, 0.18644, 0.265};
  const TNormality notNormal{true, true, false, 0.32978, 0.265};
  EXPECT_EQ(NormalityText(normal, Lang::Ru, false), "Нормальное");
  EXPECT_EQ(NormalityText(normal, Lang::Ru, true), "Нормальное (критерий Колмогорова: 0.1864, макс.предел: 0.2650)");
  EXPECT_EQ(NormalityText(notNormal, Lang::Ru, false), "Не явл.нормальным");
  EXPECT_EQ(NormalityText(normal, Lang::En, false), "Normal (Gauss)");
  EXPECT_EQ(NormalityText(notNormal, Lang::En, false), "Not Normal (not Gauss)");
}

TEST(Normality, WorkedExamples) {
  // Computed by the stated rules with the coarse table (values from the worked examples).
  std::vector<double> oneToTwenty(20);
  std::iota(oneToTwenty.begin(), oneToTwenty.end(), 1.0);
  TValueList spread = ListOf(oneToTwenty);
  const TNormality a = TestNormality(spread);
  EXPECT_NEAR(a.statistic, 0.0763, 5e-5);
  EXPECT_EQ(NormalityText(a, Lang::Ru, true), "Нормальное (критерий Колмогорова: 0.0763, макс.предел: 0.2650)");

  std::vector<double> twoValues(10, 1.0);
  twoValues.insert(twoValues.end(), 10, 2.0);
  TValueList ties = ListOf(twoValues);
  const TNormality b = TestNormality(ties);
  EXPECT_NEAR(b.statistic, 0.3349, 5e-5);
  EXPECT_EQ(NormalityText(b, Lang::Ru, true), "Не явл.нормальным (критерий Колмогорова: 0.3349, макс.предел: 0.2650)");

  TValueList equal = ListOf(std::vector<double>(25, 3.0));
  const TNormality c = TestNormality(equal);
  EXPECT_EQ(c.statistic, 0);
  EXPECT_EQ(NormalityText(c, Lang::Ru, false), "Нормальное");
}

}  // namespace
}  // namespace mv
