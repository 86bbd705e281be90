#include "analysis/correlation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "analysis/normal_distribution.h"
#include "analysis_fixture.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

constexpr std::uint16_t kExcl = point_flag::kExcluded;
constexpr std::uint16_t kFilt = point_flag::kFiltered;

// A dataset of `parameters` quantitative parameters "P1".."Pn" and one block.
struct CorrDataset {
  explicit CorrDataset(int parameters) {
    for (int i = 1; i <= parameters; ++i) {
      TSPCParameter p;
      p.name = "P" + std::to_string(i);
      p.decimals = 3;
      EXPECT_EQ(ds.SetParameter(0, 0, p), i);
    }
    block = test::AddTestBlock(ds, "Смена 1");
  }

  struct Point {
    std::vector<std::optional<double>> values;  // per parameter; nothing: no value
    std::uint16_t flags = 0;
  };
  // A sample of the given points; returns its position.
  int AddSample(const std::vector<Point>& points, bool active = true) {
    TSPCBlock& b = *ds.Block(block);
    EXPECT_TRUE(b.AddSample("", "", active));
    const int s = b.SampleCount();
    EXPECT_TRUE(b.Sample(s)->AddPoints(static_cast<int>(points.size())));
    for (std::size_t k = 0; k < points.size(); ++k) {
      const int p = static_cast<int>(k + 1);
      for (std::size_t i = 0; i < points[k].values.size(); ++i) {
        if (points[k].values[i]) {
          EXPECT_TRUE(ds.SetValue(block, s, p, static_cast<int>(i + 1), *points[k].values[i]));
        }
      }
      b.Sample(s)->Point(p)->SetFlags(points[k].flags);
    }
    return s;
  }
  // One sample of one point per pair (x[k], y[k]).
  void AddPairs(const std::vector<double>& x, const std::vector<double>& y, bool active = true) {
    for (std::size_t k = 0; k < x.size(); ++k) AddSample({{{x[k], y[k]}}}, active);
  }

  std::string Compute(CorrelationMatrix& m, CorrelationRequest request = {}) {
    ds.ComputeAllStats();
    SampleSelection selection;
    selection.dataset = &ds;
    selection.blocks = {block};
    return m.Compute(selection, request);
  }

  test::FakePlatform fake;
  TDatasetSPC ds;
  int block = 0;
};

TEST(CorrelationCritical, TableByNumberOfPairs) {
  const struct {
    std::uint32_t pairs;
    double level05;
    double level01;
  } kCases[] = {
      {0, 1, 1},          {2, 1, 1},          {3, 0.997, 1.000},  {4, 0.950, 0.990},    {22, 0.423, 0.537},
      {23, 0.413, 0.526}, {26, 0.396, 0.505}, {29, 0.396, 0.505}, {30, 0.361, 0.463},   {150, 0.160, 0.210},
      {155, 0.160, 0.210}, {199, 0.160, 0.210}, {600, 0.080, 0.105}, {9999, 0.028, 0.036}, {10000, 0.020, 0.026},
      {4000000000u, 0.020, 0.026},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.pairs);
    EXPECT_DOUBLE_EQ(CriticalValue(c.pairs), c.level05);
    EXPECT_DOUBLE_EQ(CriticalValue(c.pairs, true), c.level01);
  }
  // Both columns fall as the pairs grow, and the 0.01 level is the stricter one.
  const auto table = CriticalValueTable();
  for (std::size_t k = 0; k < table.size(); ++k) {
    SCOPED_TRACE(table[k].pairs);
    EXPECT_LT(table[k].level05, table[k].level01);
    if (k == 0) continue;
    EXPECT_GT(table[k].pairs, table[k - 1].pairs);
    EXPECT_LT(table[k].level05, table[k - 1].level05);
    EXPECT_LT(table[k].level01, table[k - 1].level01);
  }
}

TEST(CorrelationCritical, ManualValueAndTexts) {
  const struct {
    double value;
    bool valid;
  } kManual[] = {{0.1, true}, {0.9, true}, {0.5, true}, {0.09, false}, {0.95, false}, {NAN, false}, {-0.5, false}};
  for (const auto& c : kManual) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(ManualCriticalValid(c.value), c.valid);
  }
  EXPECT_EQ(CriticalValueText(CriticalValue(23), true), "0.413  (авто)");
  EXPECT_EQ(CriticalValueText(1, true), "1  (авто)");
  EXPECT_EQ(CriticalValueText(0.5, false), "0.5");
  EXPECT_EQ(CriticalValueText(0.125, false), "0.125");
}

TEST(CorrelationPair, FourPairsWithTheirLines) {
  const std::vector<double> x{1, 2, 3, 4}, y{2, 4, 5, 9};
  const PairStatistics p = ComputePairStatistics(x, y);
  EXPECT_EQ(p.n, 4u);
  ASSERT_TRUE(p.computed);
  EXPECT_NEAR(p.r, 11 / std::sqrt(130.0), 1e-15);  // Sxy = 11, Sxx = 5, Syy = 26
  ASSERT_TRUE(p.hasLine);
  EXPECT_NEAR(p.slope, 2.2, 1e-15);
  EXPECT_NEAR(p.intercept, -0.5, 1e-15);
  const CorrSignificance s = Significance(p, CriticalValue(4));
  EXPECT_EQ(s, CorrSignificance::Positive);
  EXPECT_EQ(PairLineText(p, s), "0.965   (существенная положительная корреляционная связь) / Y = 2.200X - 0.500");
  const PairStatistics swapped = SwappedPair(p, nullptr);
  EXPECT_EQ(swapped.r, p.r);
  EXPECT_EQ(PairLineText(swapped, s), "0.965   (существенная положительная корреляционная связь) / Y = 0.455X + 0.227");
  EXPECT_EQ(CorrelationCellText(p), "0.965");
}

TEST(CorrelationPair, SignificanceAgainstTheCriticalValue) {
  const double critical = CriticalValue(23);
  const struct {
    bool computed;
    double r;
    CorrSignificance expected;
    const char* word;
  } kCases[] = {
      {true, 0.413, CorrSignificance::Positive, "0.413   (существенная положительная корреляционная связь)"},
      {true, -0.413, CorrSignificance::Negative, "-0.413   (существенная отрицательная корреляционная связь)"},
      {true, 0.412, CorrSignificance::NotSignificant, "0.412   (несущественная корреляционная связь)"},
      {true, -0.2, CorrSignificance::NotSignificant, "-0.200   (несущественная корреляционная связь)"},
      {false, 0.9, CorrSignificance::None, "Не рассчитано из-за недостатка данных"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.r);
    PairStatistics p;
    p.n = 23;
    p.computed = c.computed;
    p.r = c.r;
    EXPECT_EQ(Significance(p, critical), c.expected);
    EXPECT_EQ(PairLineText(p, c.expected), c.word);  // no line: the text stops there
  }
}

TEST(CorrelationPair, LineTextsShowTheSignOfWhatIsPrinted) {
  const struct {
    double slope, intercept;
    const char* text;
  } kCases[] = {
      {2.2, -0.5, " / Y = 2.200X - 0.500"},
      {-1.25, 3, " / Y = -1.250X + 3.000"},
      {0, -0.0001, " / Y = 0.000X + 0.000"},
      {-0.0001, 0, " / Y = 0.000X + 0.000"},
  };
  for (const auto& c : kCases) {
    PairStatistics p;
    p.n = 3;
    p.hasLine = true;
    p.slope = c.slope;
    p.intercept = c.intercept;
    EXPECT_EQ(PairLineText(p, CorrSignificance::None), std::string("Не рассчитано из-за недостатка данных") + c.text);
  }
}

// A parameter that does not vary has no r (it is not a significant correlation of 1); its line
// against another does not exist, the other's line against it is horizontal.
TEST(CorrelationPair, ConstantParameterHasNoCoefficient) {
  const std::vector<double> c{0.1, 0.1, 0.1, 0.1, 0.1}, v{1, 3, 2, 5, 4};
  const PairStatistics constX = ComputePairStatistics(c, v);
  EXPECT_FALSE(constX.computed);
  EXPECT_FALSE(constX.hasLine);
  EXPECT_EQ(Significance(constX, 0.5), CorrSignificance::None);
  const PairStatistics constY = ComputePairStatistics(v, c);
  EXPECT_FALSE(constY.computed);
  ASSERT_TRUE(constY.hasLine);
  EXPECT_EQ(constY.slope, 0.0);
  EXPECT_EQ(constY.intercept, 0.1);
  // Swapped, the horizontal line has no inverse; the missing one becomes the horizontal line.
  EXPECT_FALSE(SwappedPair(constY, nullptr).hasLine);
  const double at = 0.1;
  const PairStatistics horizontal = SwappedPair(constX, &at);
  ASSERT_TRUE(horizontal.hasLine);
  EXPECT_EQ(horizontal.slope, 0.0);
  EXPECT_EQ(horizontal.intercept, 0.1);
}

TEST(CorrelationPair, NearlyFlatLineHasNoSwappedLine) {
  PairStatistics p;
  p.n = 10;
  p.hasLine = true;
  p.slope = 5e-13;
  p.intercept = 2;
  EXPECT_FALSE(SwappedPair(p, nullptr).hasLine);
  EXPECT_EQ(PairLineText(SwappedPair(p, nullptr), CorrSignificance::None), "Не рассчитано из-за недостатка данных");
  p.slope = 2e-12;
  EXPECT_TRUE(SwappedPair(p, nullptr).hasLine);
}

TEST(CorrelationPair, SmallCountsAndValuesBeyondDoubles) {
  EXPECT_EQ(ComputePairStatistics({}, {}).n, 0u);
  const std::vector<double> one{5};
  EXPECT_FALSE(ComputePairStatistics(one, one).hasLine);  // one pair: x does not vary
  const std::vector<double> x2{1, 3}, y2{2, 6};
  const PairStatistics two = ComputePairStatistics(x2, y2);
  EXPECT_FALSE(two.computed);
  ASSERT_TRUE(two.hasLine);
  EXPECT_DOUBLE_EQ(two.slope, 2);
  // Sums that overflow give no figures instead of infinities or NaN.
  const std::vector<double> huge{1e308, -1e308, 1.5e308, -1.7e308}, y{1, 2, 3, 4};
  const PairStatistics h = ComputePairStatistics(huge, y);
  EXPECT_FALSE(h.computed);
  EXPECT_FALSE(h.hasLine);
  EXPECT_EQ(PairLineText(h, Significance(h, 0.5)), "Не рассчитано из-за недостатка данных");
}

TEST(CorrelationTexts, PointsLineTitleAndNormality) {
  const struct {
    std::uint32_t active, inactive;
    bool filter;
    std::uint32_t filtered;
    const char* text;
  } kCases[] = {
      {3, 2, false, 0, "3 - недостаточно для расчета корреляции  (неактивных - 2)"},
      {4, 0, true, 0, "4"},
      {25, 3, true, 1, "25  (неактивных - 3, отфильтрованных - 1)"},
      {25, 3, false, 1, "25  (неактивных - 3)"},
  };
  for (const auto& c : kCases) EXPECT_EQ(PointsLineText(c.active, c.inactive, c.filter, c.filtered), c.text);
  EXPECT_EQ(CorrelationTitle(CorrelationMode::Values), "Корреляция между параметрами  (по индивидуальным значениям)");
  EXPECT_EQ(CorrelationTitle(CorrelationMode::Means), "Корреляция между параметрами ");
  TNormality n;
  EXPECT_EQ(NormalityCellText(n), " НД");
  n.computed = true;
  EXPECT_EQ(NormalityCellText(n), " НД");  // too few values
  n.enoughData = true;
  EXPECT_EQ(NormalityCellText(n), " Нет");
  n.normal = true;
  EXPECT_EQ(NormalityCellText(n), " Да");
  EXPECT_EQ(TooFewActivePointsText(1), "Недостаточно активных точек (1) для расчета корреляции");
}

TEST(CorrelationMatrix, ThreeActivePairsAndTwoInactive) {
  CorrDataset d(2);
  d.AddPairs({1, 2, 3}, {2, 4, 5});
  d.AddPairs({7, 9}, {1, 1}, false);
  CorrelationMatrix m;
  ASSERT_EQ(d.Compute(m), "");
  EXPECT_EQ(m.RowCount(), 5u);
  EXPECT_EQ(m.ActiveRowCount(), 3u);
  EXPECT_EQ(m.CellText(0, 1), "НД");
  EXPECT_EQ(m.CellText(1, 0), "НД");
  EXPECT_EQ(m.CellText(0, 0), "");
  EXPECT_EQ(m.PairLine(0, 1), "Не рассчитано из-за недостатка данных / Y = 1.500X + 0.667");
  EXPECT_EQ(m.PointsLine(0, 1), "3 - недостаточно для расчета корреляции  (неактивных - 2)");
  EXPECT_EQ(m.CriticalText(), "0.997  (авто)");
  EXPECT_EQ(m.Title(), "Корреляция между параметрами  (по индивидуальным значениям)");
}

TEST(CorrelationMatrix, RefusedSelections) {
  {  // a tag and an alternative parameter do not count
    CorrDataset d(2);
    TSPCParameter tag = *d.ds.Parameter(2);
    tag.SetFlag(param_flag::kTag, true);
    d.ds.SetParameter(2, d.ds.Parameter(2)->id, tag);
    TSPCParameter attr;
    attr.kind = DataKind::Attr;
    attr.name = "Брак";
    d.ds.SetParameter(0, 0, attr);
    d.AddPairs({1, 2, 3, 4}, {1, 2, 3, 5});
    CorrelationMatrix m;
    EXPECT_EQ(d.Compute(m), kTooFewCorrParameters);
    EXPECT_EQ(m.ParameterCount(), 0u);
  }
  {
    CorrDataset d(2);
    d.AddPairs({1, 2, 3, 4}, {1, 2, 3, 5});
    CorrelationMatrix m;
    CorrelationRequest manual;
    manual.manualCritical = true;
    manual.critical = 0.95;
    EXPECT_EQ(d.Compute(m, manual), kBadCriticalValue);
    CorrelationRequest one;
    one.parameters = {2, 2};
    EXPECT_EQ(d.Compute(m, one), kTooFewCorrParameters);
  }
  {
    CorrDataset d(2);
    d.AddPairs({1}, {2});
    d.AddPairs({2, 3}, {3, 4}, false);
    CorrelationMatrix m;
    EXPECT_EQ(d.Compute(m), "Недостаточно активных точек (1) для расчета корреляции");
    EXPECT_EQ(m.ParameterCount(), 0u);
  }
}

TEST(CorrelationMatrix, ManualCriticalValueDecides) {
  CorrDataset d(2);
  d.AddPairs({1, 2, 3, 4, 5, 6}, {2, 1, 4, 3, 6, 4});
  CorrelationMatrix m;
  CorrelationRequest r;
  r.manualCritical = true;
  r.critical = 0.5;
  ASSERT_EQ(d.Compute(m, r), "");
  EXPECT_EQ(m.CriticalText(), "0.5");
  const CorrPair& p = m.Pair(0, 1);
  ASSERT_TRUE(p.stats.computed);
  EXPECT_GT(p.stats.r, 0.5);
  EXPECT_LT(p.stats.r, CriticalValue(6));
  EXPECT_EQ(p.significance, CorrSignificance::Positive);
  ASSERT_EQ(d.Compute(m), "");
  EXPECT_EQ(m.Pair(0, 1).significance, CorrSignificance::NotSignificant);
}

TEST(CorrelationMatrix, ConstantParameterAndFlatPair) {
  CorrDataset d(3);
  // P2 does not vary; P3 against P1 has a slope near zero.
  for (int k = 0; k < 6; ++k) d.AddSample({{{k + 1.0, 7.25, 3 + (k % 2 == 0 ? 1e-14 : -1e-14)}}});
  CorrelationMatrix m;
  ASSERT_EQ(d.Compute(m), "");
  for (const auto& [i, j] : {std::pair{0, 1}, {1, 0}, {1, 2}, {2, 1}}) {
    SCOPED_TRACE(std::to_string(i) + "," + std::to_string(j));
    EXPECT_EQ(m.CellText(i, j), "НД");
    EXPECT_EQ(m.Pair(i, j).significance, CorrSignificance::None);
  }
  EXPECT_FALSE(m.Pair(1, 0).stats.hasLine);  // x constant
  EXPECT_EQ(m.PairLine(0, 1), "Не рассчитано из-за недостатка данных / Y = 0.000X + 7.250");
  const CorrPair& flat = m.Pair(0, 2);
  ASSERT_TRUE(flat.stats.hasLine);
  EXPECT_LT(std::fabs(flat.stats.slope), 1e-12);
  EXPECT_FALSE(m.Pair(2, 0).stats.hasLine);
}

// Where a point lacks one value it drops out of that parameter's pairs only: every pair equals
// the pair computed from the points that carry both values.
TEST(CorrelationMatrix, PairsOnlyPointsCarryingBothValues) {
  CorrDataset d(3);
  std::vector<CorrDataset::Point> points;
  std::vector<double> x12, y12, x13, y13;
  for (int k = 0; k < 30; ++k) {
    const double a = 10 + k * 0.37, c = 5 - k * 0.11 + (k % 4) * 0.3;
    const double b = 2 + std::sin(k * 1.3) + k * 0.05;
    const bool hasB = k % 3 != 2;
    points.push_back({{a, hasB ? std::optional(b) : std::nullopt, c}});
    if (hasB) {
      x12.push_back(a);
      y12.push_back(b);
    }
    x13.push_back(a);
    y13.push_back(c);
  }
  d.AddSample(points);
  CorrelationMatrix m;
  ASSERT_EQ(d.Compute(m), "");
  const struct {
    std::size_t i, j;
    const std::vector<double>& x;
    const std::vector<double>& y;
  } kCases[] = {{0, 1, x12, y12}, {0, 2, x13, y13}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.j);
    const PairStatistics want = ComputePairStatistics(c.x, c.y);
    const PairStatistics& got = m.Pair(c.i, c.j).stats;
    EXPECT_EQ(got.n, want.n);
    EXPECT_NEAR(got.r, want.r, 1e-13);
    EXPECT_NEAR(got.slope, want.slope, 1e-12);
    EXPECT_NEAR(got.intercept, want.intercept, 1e-11);
  }
  EXPECT_EQ(m.Pair(0, 1).stats.n, 20u);
  EXPECT_EQ(m.PointsLine(0, 1), "20");
  EXPECT_EQ(m.RowCount(), 30u);
}

// Values near 1e7 that differ by hundredths: the one-pass sums lose every digit; the centred
// ones agree with the exact figures. The values are 1e7 + a/128 with small whole a, exact as
// doubles; r and the slope do not change with a shift and a common scale, so whole-number sums
// of the a give the exact figures of the very doubles the matrix reads.
TEST(CorrelationMatrix, LargeMeanSmallSpread) {
  const std::vector<std::int64_t> xs{0, 3, 1, 4, 1, 5, 2, 6, 5, 3, 5, 0, 2, 4, 6, 1, 3, 2, 5, 4};
  const std::vector<std::int64_t> ys{1, 4, 1, 6, 2, 6, 2, 7, 4, 3, 6, 1, 3, 4, 7, 2, 3, 1, 6, 5};
  std::vector<double> x, y;
  std::int64_t sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
  for (std::size_t k = 0; k < xs.size(); ++k) {
    x.push_back(1e7 + static_cast<double>(xs[k]) / 128);
    y.push_back(1e7 + static_cast<double>(ys[k]) / 128);
    sx += xs[k];
    sy += ys[k];
    sxx += xs[k] * xs[k];
    syy += ys[k] * ys[k];
    sxy += xs[k] * ys[k];
  }
  const auto n = static_cast<std::int64_t>(xs.size());
  const std::int64_t cxx = n * sxx - sx * sx, cyy = n * syy - sy * sy, cxy = n * sxy - sx * sy;
  const long double r = static_cast<long double>(cxy) / std::sqrt(static_cast<long double>(cxx) * static_cast<long double>(cyy));
  const long double b = static_cast<long double>(cxy) / static_cast<long double>(cxx);
  // The one-pass formula on the doubles themselves is far off (it is what the matrix avoids).
  double px = 0, py = 0, pxx = 0, pyy = 0, pxy = 0;
  for (std::size_t k = 0; k < x.size(); ++k) {
    px += x[k];
    py += y[k];
    pxx += x[k] * x[k];
    pyy += y[k] * y[k];
    pxy += x[k] * y[k];
  }
  const double dn = static_cast<double>(n);
  const double onePassSlope = (dn * pxy - px * py) / (dn * pxx - px * px);
  EXPECT_FALSE(std::fabs(onePassSlope - static_cast<double>(b)) < 1e-3 * std::fabs(static_cast<double>(b)));

  CorrDataset d(2);
  d.AddPairs(x, y);
  CorrelationMatrix m;
  ASSERT_EQ(d.Compute(m), "");
  const PairStatistics direct = ComputePairStatistics(x, y);
  for (const PairStatistics* p : {&m.Pair(0, 1).stats, &direct}) {
    ASSERT_TRUE(p->computed);
    EXPECT_LE(std::fabs(p->r), 1.0);
    EXPECT_NEAR(p->r, static_cast<double>(r), 1e-9 * std::fabs(static_cast<double>(r)));
    EXPECT_NEAR(p->slope, static_cast<double>(b), 1e-9 * std::fabs(static_cast<double>(b)));
  }
  EXPECT_EQ(m.Pair(0, 1).stats.r, m.Pair(1, 0).stats.r);
  EXPECT_EQ(m.CellText(0, 1), m.CellText(1, 0));
}

TEST(CorrelationMatrix, InactivePointsAndSampleMeans) {
  CorrDataset d(2);
  d.AddSample({{{1.0, 2.0}}, {{3.0, 4.0}}, {{100.0, -5.0}, kExcl}});
  d.AddSample({{{2.0, 2.0}}, {{50.0, 50.0}, kFilt}, {{4.0, std::nullopt}}});
  d.AddSample({{{5.0, 7.0}}, {{7.0, 9.0}}});
  d.AddSample({{{9.0, 1.0}}}, false);
  d.AddSample({{{std::nullopt, 6.0}}, {{std::nullopt, 8.0}}});  // no value of P1: no mean of it
  d.AddSample({{{8.0, 8.0}, kExcl}});                           // nothing in analysis: no row
  CorrelationMatrix m;
  ASSERT_EQ(d.Compute(m), "");
  EXPECT_EQ(m.RowCount(), 11u);
  EXPECT_EQ(m.ActiveRowCount(), 8u);
  EXPECT_EQ(m.FilteredRowCount(), 1u);
  const PairRowCounts c = m.RowCounts(0, 1);
  EXPECT_EQ(c.rows, 8u);
  EXPECT_EQ(c.active, 5u);
  EXPECT_EQ(c.filtered, 1u);
  const PairStatistics values = ComputePairStatistics(std::vector<double>{1, 3, 2, 5, 7}, std::vector<double>{2, 4, 2, 7, 9});
  EXPECT_NEAR(m.Pair(0, 1).stats.r, values.r, 1e-14);
  EXPECT_EQ(m.PointsLine(0, 1), "5  (неактивных - 3)");
  EXPECT_TRUE(m.Parameter(0).boxPlot.computed);

  CorrelationRequest means;
  means.mode = CorrelationMode::Means;
  ASSERT_EQ(d.Compute(m, means), "");
  EXPECT_EQ(m.Title(), "Корреляция между параметрами ");
  EXPECT_EQ(m.RowCount(), 5u);
  EXPECT_EQ(m.ActiveRowCount(), 4u);
  // Sample means over the counted values: (2, 3), (3, 2), (6, 8); the inactive sample stays out.
  const PairStatistics byMeans =
      ComputePairStatistics(std::vector<double>{2, 3, 6}, std::vector<double>{3, 2, 8});
  EXPECT_EQ(m.Pair(0, 1).stats.n, 3u);
  EXPECT_NEAR(m.Pair(0, 1).stats.slope, byMeans.slope, 1e-14);
  EXPECT_FALSE(m.Pair(0, 1).stats.computed);
  EXPECT_EQ(m.PointsLine(0, 1), "3 - недостаточно для расчета корреляции  (неактивных - 1)");
  EXPECT_FALSE(m.Parameter(0).boxPlot.computed);  // box plots only by individual values
}

TEST(CorrelationMatrix, NormalityOfEachParameter) {
  CorrDataset d(2);
  std::vector<double> x, y;
  for (int k = 0; k < 40; ++k) {
    x.push_back(10 + InversePhi((k + 0.5) / 40));  // normal quantiles
    y.push_back(k < 30 ? 1.0 : 100.0 + k);
  }
  d.AddPairs(x, y);
  CorrelationMatrix m;
  ASSERT_EQ(d.Compute(m), "");
  EXPECT_EQ(NormalityCellText(m.Parameter(0).normality), " Да");
  EXPECT_EQ(NormalityCellText(m.Parameter(1).normality), " Нет");
  EXPECT_EQ(m.Parameter(1).boxPlot.count, 40u);
}

}  // namespace
}  // namespace mv
