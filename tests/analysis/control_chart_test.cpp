#include "analysis/control_chart.h"

#include <gtest/gtest.h>

#include <cmath>

#include "analysis_fixture.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

using test::Pt;

// A dataset with the two analysis parameters (1 "Диаметр", 2 "Брак" counting nonconforming
// units), a third counting nonconformities, and one block of each data kind.
struct ChartData {
  TDatasetSPC ds;
  int var = 0;
  int attr = 0;

  ChartData() {
    test::AddAnalysisParameters(ds);
    TSPCParameter defects;
    defects.kind = DataKind::Attr;
    defects.name = "Дефекты";
    defects.SetFlag(param_flag::kNonconformities, true);
    EXPECT_EQ(ds.SetParameter(0, 0, defects), 3);
    var = test::AddTestBlock(ds, "Смена 1");
    attr = test::AddTestBlock(ds, "Партии", DataKind::Attr);
  }
  void Samples(const std::vector<std::vector<Pt>>& samples) {
    for (const auto& s : samples) test::AddTestSample(ds, var, 1, s);
    ds.ComputeAllStats();
  }
  // Attribute samples of parameter `parameter`: (size, count) pairs.
  void Attribute(int parameter, const std::vector<std::pair<int, double>>& samples) {
    for (const auto& [size, count] : samples) {
      const int s = test::AddTestSample(ds, attr, parameter, {{count}});
      ds.Block(attr)->Sample(s)->sampleSize = static_cast<std::int16_t>(size);
    }
    ds.ComputeAllStats();
  }
  TChartTask Task(int block, int parameter) const { return {{&ds, {block}, true, 1, 1}, {parameter}, 0}; }
};

ChartBuildResult Build(TChart& chart, const TChartTask& task, ChartKind kind, TChartOptions options = {}) {
  return BuildChart(chart, task, kind, options);
}

TEST(ControlChart, MeanAndRangeChartsOfThreeSamples) {
  test::FakePlatform fake;
  ChartData d;
  // Means 10, 11, 12 with ranges 1, 2, 3.
  d.Samples({{{9.5}, {10}, {10}, {10}, {10.5}}, {{10}, {11}, {11}, {11}, {12}}, {{10.5}, {12}, {12}, {12}, {13.5}}});
  TChart x;
  ASSERT_TRUE(Build(x, d.Task(d.var, 1), ChartKind::Mean).ok);
  const ChartSeries& s = *x.Current();
  EXPECT_EQ(x.title, "Карта средних значений");
  EXPECT_EQ(x.code, "X");
  EXPECT_EQ(x.decimals, 3);  // the parameter's 2 and one more
  EXPECT_EQ(s.meanSubgroupSize, 5);
  EXPECT_DOUBLE_EQ(s.averageRange, 2);
  EXPECT_DOUBLE_EQ(s.set.mean, 11);
  EXPECT_NEAR(s.set.ucl, 12.154, 1e-12);
  EXPECT_NEAR(s.set.lcl, 9.846, 1e-12);
  EXPECT_EQ(x.limitMode, LimitMode::Control);
  EXPECT_TRUE(x.limitsShown);
  EXPECT_EQ(x.upperCode, "UCL");
  EXPECT_EQ(x.lowerTitle, "Нижняя контрольная граница");
  EXPECT_EQ(x.beyondCount, 0u);
  EXPECT_TRUE(s.set.zones.valid);

  TChart r;
  ASSERT_TRUE(Build(r, d.Task(d.var, 1), ChartKind::Range).ok);
  EXPECT_DOUBLE_EQ(r.Current()->set.mean, 2);
  EXPECT_NEAR(r.Current()->set.ucl, 2.114 * 2, 1e-12);
  EXPECT_FALSE(r.hasLcl);
  EXPECT_EQ(r.decimals, 2);
}

TEST(ControlChart, MeanSubgroupSizeCountsPointsInAnalysisAndRoundsHalfToEven) {
  test::FakePlatform fake;
  ChartData d;
  // 5 points, and 5 of which one is filtered out: n̄ = round(4.5) = 4.
  d.Samples({{{1}, {2}, {3}, {4}, {5}}, {{2}, {3}, {4}, {5}, {9, point_flag::kFiltered}}});
  TChart x;
  ASSERT_TRUE(Build(x, d.Task(d.var, 1), ChartKind::Mean).ok);
  const ChartSeries& s = *x.Current();
  EXPECT_EQ(s.meanSubgroupSize, 4);
  EXPECT_EQ(s.largestSubgroupSize, 5);
  EXPECT_DOUBLE_EQ(s.averageRange, 3.5);
  EXPECT_NEAR(s.set.ucl, 3.25 + 0.729 * 3.5, 1e-12);
  TChart r;
  ASSERT_TRUE(Build(r, d.Task(d.var, 1), ChartKind::Range).ok);
  EXPECT_NEAR(r.Current()->set.ucl, 2.282 * 3.5, 1e-12);
}

TEST(ControlChart, WithoutLimits) {
  test::FakePlatform fake;
  ChartData d;
  d.Samples({{{1}}, {{2}}, {{3}}});  // one point per sample: n̄ = 1
  TChart x;
  ASSERT_TRUE(Build(x, d.Task(d.var, 1), ChartKind::Mean).ok);
  EXPECT_FALSE(x.hasUcl);
  EXPECT_FALSE(x.hasLcl);
  EXPECT_FALSE(x.limitsShown);
  EXPECT_TRUE(x.centralLineShown);
  EXPECT_TRUE(x.Current()->set.signals.empty());
  TChartOptions noCentre;
  noCentre.centralLineAlways = false;
  ASSERT_TRUE(Build(x, d.Task(d.var, 1), ChartKind::Mean, noCentre).ok);
  EXPECT_FALSE(x.centralLineShown);

  // Every range 0 with different means: UCL = LCL = CL, not shown, and no tests.
  ChartData flat;
  flat.Samples({{{1}, {1}}, {{2}, {2}}, {{3}, {3}}, {{4}, {4}}, {{5}, {5}}, {{6}, {6}}, {{7}, {7}}});
  ASSERT_TRUE(Build(x, flat.Task(flat.var, 1), ChartKind::Mean).ok);
  EXPECT_EQ(x.Current()->set.ucl, 4);
  EXPECT_EQ(x.Current()->set.lcl, 4);
  EXPECT_FALSE(x.limitsShown);
  EXPECT_EQ(x.beyondCount, 6u);
  EXPECT_TRUE(x.Current()->set.signals.empty());

  TChartOptions off;
  off.controlLimits = false;
  ASSERT_TRUE(Build(x, flat.Task(flat.var, 1), ChartKind::Mean, off).ok);
  EXPECT_EQ(x.limitMode, LimitMode::None);
  EXPECT_EQ(x.beyondCount, 0u);
}

TEST(ControlChart, RegulationLimits) {
  test::FakePlatform fake;
  ChartData d;
  d.Samples({{{10}, {11}}, {{11}, {12}}, {{12}, {13}}});
  TSPCParameter& p = *d.ds.Parameter(1);
  p.url = 12;
  p.SetFlag(param_flag::kUrl, true);
  TChartOptions options;
  options.regulationLimits = true;
  TChart x;
  ASSERT_TRUE(Build(x, d.Task(d.var, 1), ChartKind::Mean, options).ok);
  EXPECT_EQ(x.limitMode, LimitMode::Regulation);
  EXPECT_TRUE(x.hasUcl);
  EXPECT_FALSE(x.hasLcl);
  EXPECT_TRUE(x.limitsShown);
  EXPECT_EQ(x.upperCode, "URL");
  EXPECT_EQ(x.upperTitle, "Верхняя граница регулирования");
  EXPECT_EQ(x.beyondCount, 1u);  // 12.5
  EXPECT_FALSE(x.Current()->set.zones.valid);
  EXPECT_TRUE(x.Current()->set.signals.empty());
  // The range chart has no regulation limits.
  TChart r;
  ASSERT_TRUE(Build(r, d.Task(d.var, 1), ChartKind::Range, options).ok);
  EXPECT_EQ(r.limitMode, LimitMode::Control);
  EXPECT_EQ(r.upperCode, "UCL");
}

TEST(ControlChart, IndividualsAndMovingRangesWithSpanThree) {
  test::FakePlatform fake;
  ChartData d;
  d.Samples({{{10}, {12}, {11}}, {{13}, {12}, {14}}});
  TChartOptions options;
  options.span = 3;
  TChart x;
  ASSERT_TRUE(Build(x, d.Task(d.var, 1), ChartKind::Individuals, options).ok);
  const ChartSeries& s = *x.Current();
  EXPECT_DOUBLE_EQ(s.averageMovingRange, 2);  // every range of three is 2
  EXPECT_DOUBLE_EQ(s.sigmaWithin, 2 / 1.693);
  EXPECT_DOUBLE_EQ(s.set.mean, 12);
  EXPECT_NEAR(s.set.ucl, 12 + 1.77 * 2, 1e-12);
  EXPECT_NEAR(s.set.lcl, 12 - 1.77 * 2, 1e-12);
  EXPECT_TRUE(s.normality.computed);
  EXPECT_FALSE(s.normality.enoughData);
  EXPECT_EQ(s.capability.cp.status, cap_status::kNoTolerance);

  TChart mr;
  ASSERT_TRUE(Build(mr, d.Task(d.var, 1), ChartKind::MovingRange, options).ok);
  EXPECT_EQ(mr.title, "Карта скользящих размахов (n=3)");
  EXPECT_EQ(mr.Current()->set.FirstIndex(), 3u);
  EXPECT_DOUBLE_EQ(mr.Current()->set.mean, 2);
  EXPECT_NEAR(mr.Current()->set.ucl, 2.574 * 2, 1e-12);
  EXPECT_FALSE(mr.hasLcl);

  options.span = 6;
  const ChartBuildResult refused = Build(mr, d.Task(d.var, 1), ChartKind::MovingRange, options);
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(refused.message,
            "Объем выборки (6) должен быть меньше количества точек на карте (6). Карта скользящих размахов не может "
            "быть построена");
}

TEST(ControlChart, TooFewActiveSamples) {
  test::FakePlatform fake;
  ChartData d;
  d.Samples({{{1}, {2}}});
  TChart x;
  const ChartBuildResult result = Build(x, d.Task(d.var, 1), ChartKind::Mean);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.message,
            "Ошибка при при создании графика \"Карта средних значений\":\n\n"
            "Невозможно построить график менее чем с двумя активными точками.\n"
            "Вызовите функцию с другими исходными данными или измените вид графика");
  // An attribute parameter has no place on a mean chart.
  EXPECT_EQ(Build(x, d.Task(d.var, 2), ChartKind::Mean).message,
            "Не выбраны параметры, которые могут отображаться на данной карте");
  EXPECT_TRUE(fake.messages.shown.empty());  // the caller shows the message
}

TEST(ControlChart, PChartWithSamplesOutsideTheSizeBand) {
  test::FakePlatform fake;
  ChartData d;
  d.Attribute(2, {{100, 1}, {100, 2}, {100, 1}, {130, 3}, {70, 0}});
  TChartOptions options;
  options.pScale = AttrScale::Percent;
  TChart p;
  ASSERT_TRUE(Build(p, d.Task(d.attr, 2), ChartKind::P, options).ok);
  EXPECT_EQ(p.data.meanSize, 100);
  EXPECT_EQ(p.data.BandLow(), 75);
  EXPECT_EQ(p.data.BandHigh(), 125);
  EXPECT_EQ(p.unit, "%");
  EXPECT_EQ(p.scale, 100);
  EXPECT_EQ(p.decimals, 1);
  const CDataSet& set = p.Current()->set;
  const double pBar = (1.0 / 100 + 2.0 / 100 + 1.0 / 100 + 3.0 / 130 + 0) / 5;
  EXPECT_NEAR(set.mean, 100 * pBar, 1e-12);
  EXPECT_NEAR(set.ucl, 100 * (pBar + 3 * std::sqrt(pBar * (1 - pBar) / 100)), 1e-12);
  EXPECT_FALSE(p.hasLcl);
  EXPECT_TRUE(p.ownLimitsUsed);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(p.data.points[i].flags & chart_point_flag::kOwnLimits, 0);
  const TChartPoint& big = p.data.points[3];
  ASSERT_NE(big.flags & chart_point_flag::kOwnLimits, 0);
  EXPECT_NEAR(big.ownUpper, 100 * (pBar + 3 * std::sqrt(pBar * (1 - pBar) / 130)), 1e-12);
  EXPECT_EQ(big.ownLower, 0);
  EXPECT_NE(p.data.points[4].flags & chart_point_flag::kOwnLimits, 0);
  EXPECT_GE(p.axisMax, p.data.points[4].ownUpper);  // the axis covers the own limits
}

TEST(ControlChart, NpAndCChartsNeedEqualSizes) {
  test::FakePlatform fake;
  ChartData unequal;
  unequal.Attribute(2, {{50, 5}, {50, 4}, {60, 6}});
  TChart np;
  ASSERT_TRUE(Build(np, unequal.Task(unequal.attr, 2), ChartKind::Np).ok);
  EXPECT_FALSE(np.limitsComputable);
  EXPECT_FALSE(np.hasUcl);
  EXPECT_FALSE(np.limitsShown);

  ChartData equal;
  equal.Attribute(2, {{50, 5}, {50, 4}, {50, 6}});
  ASSERT_TRUE(Build(np, equal.Task(equal.attr, 2), ChartKind::Np).ok);
  EXPECT_TRUE(np.limitsComputable);
  EXPECT_NEAR(np.Current()->set.ucl, 5 + 3 * std::sqrt(5 * (1 - 5.0 / 50)), 1e-12);
  EXPECT_FALSE(np.hasLcl);

  // A c chart of zero counts: limits on the centre line, not shown; the axis still has height.
  ChartData zero;
  zero.Attribute(3, {{10, 0}, {10, 0}, {10, 0}});
  TChart c;
  ASSERT_TRUE(Build(c, zero.Task(zero.attr, 3), ChartKind::C).ok);
  EXPECT_FALSE(c.limitsShown);
  EXPECT_EQ(c.axisMin, 0);
  EXPECT_EQ(c.axisMax, 1);
  // The nonconformities parameter is not for a p chart.
  EXPECT_FALSE(Build(c, zero.Task(zero.attr, 3), ChartKind::P).ok);
}

TEST(ControlChart, AxisMargins) {
  const struct {
    double lo, hi;
    bool absolute;
    double min, max;
  } kCases[] = {
      {2, 4, false, 1.9, 4.1},   {5, 5, false, 4, 6},       {0, 0, false, 0, 1},    {-5, -5, false, -6, -4},
      {-1, 1, false, -1.1, 1.1}, {0.01, 1, false, 0, 1.0495}, {2, 4, true, 0, 4.2}, {-2, -1, true, -2.1, 0.1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.lo << ".." << c.hi);
    const AxisSpan axis = ChartAxis(c.lo, c.hi, c.absolute);
    EXPECT_NEAR(axis.min, c.min, 1e-12);
    EXPECT_NEAR(axis.max, c.max, 1e-12);
  }
}

TEST(ControlChart, ToleranceLines) {
  test::FakePlatform fake;
  ChartData d;
  d.ds.Parameter(1)->SetTolerance(9.9, 10.1, 10.1);
  d.Samples({{{10}, {10.05}}, {{10.02}, {9.98}}});
  TChartOptions options;
  options.toleranceLines = true;
  options.toleranceWidth = true;
  TChart x;
  ASSERT_TRUE(Build(x, d.Task(d.var, 1), ChartKind::Mean, options).ok);
  ASSERT_EQ(x.lines.size(), 3u);
  EXPECT_EQ(x.lines[0].code, "USL=Nom");
  EXPECT_EQ(x.lines[1].code, "LSL");
  EXPECT_EQ(x.lines[2].code, "Nom");
  EXPECT_GE(x.axisMax, 10.1);
  EXPECT_LE(x.axisMin, 9.9);
  TChart r;
  ASSERT_TRUE(Build(r, d.Task(d.var, 1), ChartKind::Range, options).ok);
  ASSERT_EQ(r.lines.size(), 1u);
  EXPECT_EQ(r.lines[0].code, "USL-LSL");
  EXPECT_EQ(r.lines[0].title, "Ширина допуска");
  EXPECT_NEAR(r.lines[0].value, 0.2, 1e-12);
}

TEST(ChartKinds, Table) {
  EXPECT_EQ(ChartKindCode(1), "X");
  EXPECT_EQ(ChartKindCode(6), "MR");
  EXPECT_EQ(ChartKindCode(11), "n");
  EXPECT_EQ(ChartKindCode(12), "???");
  EXPECT_EQ(ChartKindOfCode("x"), ChartKind::Individuals);
  EXPECT_EQ(ChartKindOfCode("n"), std::nullopt);
  EXPECT_EQ(ChartKindTitle(ChartKind::MovingRange, Lang::En, 4), "MR Chart (n=4)");
  EXPECT_EQ(ChartKindTitle(ChartKind::U, Lang::Ru), "Карта числа несоответствий на единицу");
  EXPECT_EQ(ChartAlias(6), "CL");
  EXPECT_EQ(ChartAlias(7), "???");
  EXPECT_TRUE(LowerKindAllowed(ChartKind::Median, ChartKind::StdDev));
  EXPECT_TRUE(LowerKindAllowed(ChartKind::Individuals, ChartKind::MovingRange));
  EXPECT_FALSE(LowerKindAllowed(ChartKind::P, ChartKind::Range));
  EXPECT_EQ(AttrScaleUnit(AttrScale::Percent, ChartKind::U), "нст/100ед");
  EXPECT_EQ(AttrScaleName(AttrScale::Share, ChartKind::P), "Доля  (от 0 до 1)");
}

TEST(ControlChart, FiguresThatAreNotNumbersRefuseTheChart) {
  // Values near the limit of a double: every sum of ten equal values overflows, and the moving
  // ranges of alternating signs do.
  const struct {
    const char* what;
    double first, second;
    ChartKind kind;
  } kCases[] = {
      {"equal, mean chart", 1.7e308, 1.7e308, ChartKind::Mean},
      {"equal, individuals", 1.7e308, 1.7e308, ChartKind::Individuals},
      {"alternating, moving ranges", 1.7e308, -1.7e308, ChartKind::MovingRange},
      {"alternating, deviations", 1.7e308, -1.7e308, ChartKind::StdDev},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    test::FakePlatform fake;
    ChartData d;
    std::vector<std::vector<Pt>> samples;
    for (int i = 0; i < 5; ++i) samples.push_back({{c.first}, {c.second}});
    d.Samples(samples);
    TChart chart;
    const ChartBuildResult built = Build(chart, d.Task(d.var, 1), c.kind);
    EXPECT_FALSE(built.ok);
    EXPECT_EQ(built.message, "Ошибка при при создании графика \"" + chart.title +
                                 "\":\n\nНевозможно построить график: значения параметра слишком велики для "
                                 "вычислений.\nВызовите функцию с другими исходными данными или измените вид графика");
  }
  // The ranges of those equal values are 0: their chart has figures. So have large values
  // whose squares stay finite.
  test::FakePlatform fake;
  ChartData huge;
  huge.Samples(std::vector<std::vector<Pt>>(5, {{1.7e308}, {1.7e308}}));
  TChart range;
  EXPECT_TRUE(Build(range, huge.Task(huge.var, 1), ChartKind::Range).ok);
  ChartData d;
  d.Samples({{{1e150}, {2e150}}, {{1e150}, {3e150}}, {{2e150}, {2e150}}});
  TChart chart;
  EXPECT_TRUE(Build(chart, d.Task(d.var, 1), ChartKind::Mean).ok);
  EXPECT_TRUE(chart.limitsShown);
}

}  // namespace
}  // namespace mv

namespace mv {
namespace {

// With their options the chart carries the histogram of its plotted values and, on the X, M and
// x charts, the box plot of every analysed individual value of its samples; the conclusion
// line is shown only when the option is on and limits are shown.
TEST(ControlChart, HistogramBoxPlotAndConclusionFlagFollowTheOptions) {
  test::FakePlatform fake;
  ChartData d;
  d.Samples({{{9.5}, {10}, {10}, {10}, {10.5}}, {{10}, {11}, {11}, {11}, {12}}, {{10.5}, {12}, {12}, {12}, {13.5}}});
  TChartOptions options;
  options.histogram = true;
  options.boxPlot = true;
  TChart x;
  ASSERT_TRUE(Build(x, d.Task(d.var, 1), ChartKind::Mean, options).ok);
  EXPECT_TRUE(x.histogram.computed);
  EXPECT_EQ(x.histogram.valueCount, 3u);  // the three sample means
  ASSERT_TRUE(x.boxPlot.computed);
  EXPECT_EQ(x.boxPlot.count, 15u);  // every measured value of the three samples
  EXPECT_DOUBLE_EQ(x.boxPlot.median, 11);
  EXPECT_TRUE(x.conclusionShown);

  TChart r;  // the R chart has no box plot of individual values
  ASSERT_TRUE(Build(r, d.Task(d.var, 1), ChartKind::Range, options).ok);
  EXPECT_FALSE(r.boxPlot.computed);

  const struct {
    bool conclusion;
    bool controlLimits;
    bool shown;
  } kCases[] = {{true, true, true}, {false, true, false}, {true, false, false}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.conclusion * 2 + c.controlLimits);
    TChartOptions o;
    o.conclusion = c.conclusion;
    o.controlLimits = c.controlLimits;
    TChart chart;
    ASSERT_TRUE(Build(chart, d.Task(d.var, 1), ChartKind::Mean, o).ok);
    EXPECT_EQ(chart.conclusionShown, c.shown);
    EXPECT_FALSE(chart.histogram.computed);
    EXPECT_FALSE(chart.boxPlot.computed);
  }
}

}  // namespace
}  // namespace mv
