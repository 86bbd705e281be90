#include "analysis/histogram_window_calc.h"

#include <gtest/gtest.h>

#include <vector>

#include "analysis_fixture.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

CDataSet SetOf(const std::vector<double>& values, std::optional<double> lsl, std::optional<double> usl) {
  CDataSet set;
  set.tolerance.Set(2, lsl, usl, std::nullopt);
  EXPECT_TRUE(set.Allocate(static_cast<std::int64_t>(values.size())));
  for (const double v : values) set.AddPoint(0, 1, 1, 1, true, true, v);
  set.ComputeStatistics();
  return set;
}

TEST(HistogramWindow, CapabilityOfTheHistogramsOwnValues) {
  const CDataSet set = SetOf({9.8, 10.0, 10.1, 10.3, 9.9, 10.2, 10.0}, 9.0, 11.0);
  const CapabilityFigures f = HistogramCapability(set);
  // n = 1: the within indices always lack data; the overall ones use the values' own sigma.
  EXPECT_EQ(f.cp.status, cap_status::kTooFewSamples);
  EXPECT_EQ(f.cpk.status, cap_status::kTooFewSamples);
  ASSERT_EQ(f.pp.status, cap_status::kComputed);
  EXPECT_NEAR(f.pp.value, 2 / (6 * set.stdDev), 1e-12);
  EXPECT_NEAR(f.ppk.value, std::min(set.mean - 9, 11 - set.mean) / (3 * set.stdDev), 1e-12);
  EXPECT_EQ(f.cpm.status, cap_status::kNoTolerance);  // no nominal
  EXPECT_TRUE(f.hasPercents);
}

TEST(HistogramWindow, TailAnalysisOnlyForNormalData) {
  CapabilityFigures f;
  f.hasPercents = true;
  f.percentBelow = 0.004;
  f.percentAbove = 0.27;
  TNormality normal{true, true, true, 0.1, 0.2};
  const TailAnalysis shown = ComputeTailAnalysis(f, normal);
  ASSERT_TRUE(shown.shown);
  EXPECT_EQ(TailText(shown, shown.percentBelow), "40 PPM");
  EXPECT_EQ(TailText(shown, shown.percentAbove), "0.27 %");
  const char* kRefusal = "<не рассчитывается, т.к. распределение не является нормальным";
  for (const TNormality& n : {TNormality{true, true, false, 0.3, 0.2}, TNormality{true, false, false, 0, 0}}) {
    const TailAnalysis tail = ComputeTailAnalysis(f, n);
    EXPECT_FALSE(tail.shown);
    EXPECT_EQ(TailText(tail, 0.27), kRefusal);
  }
}

TEST(HistogramWindow, SetupRecommendation) {
  const struct {
    double lsl, usl, mean;
    int decimals;
    const char* unit;
    const char* text;
    bool centred;
  } kCases[] = {
      {9.9, 10.1, 10.00004, 3, "мм",
       "Процесс идеально центрирован\r(сдвиг настройки от целевого значения практически отсутствует)", true},
      {9.9, 10.1, 10.0, 3, "мм", "Процесс идеально центрирован\r(сдвиг настройки от целевого значения отсутствует)",
       true},
      {9.0, 11.0, 10.25, 1, "мм", "Рекомендуется сдвиг настройки вниз на \r0.25 мм", false},
      {9.0, 11.0, 9.7, 1, "мм", "Рекомендуется сдвиг настройки вверх на \r0.30 мм", false},
      {9.9, 10.1, 10.0002, 3, "", "Рекомендуется сдвиг настройки вниз на \r0.0002 ", false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    const auto advice = SetupRecommendation(c.lsl, c.usl, c.mean, c.decimals, c.unit);
    ASSERT_TRUE(advice);
    EXPECT_EQ(advice->text, c.text);
    EXPECT_EQ(advice->centred, c.centred);
    EXPECT_NEAR(advice->diff, (c.lsl + c.usl) / 2 - c.mean, 1e-15);
  }
  EXPECT_FALSE(SetupRecommendation(9.0, std::nullopt, 10, 1, "мм"));
  EXPECT_FALSE(SetupRecommendation(std::nullopt, 11.0, 10, 1, "мм"));
  // From a data set: its tolerance, decimals, unit and mean.
  CDataSet set = SetOf({10.2, 10.3}, 9.0, 11.0);
  set.decimals = 1;
  set.unit = "мм";
  EXPECT_EQ(SetupRecommendation(set)->text, "Рекомендуется сдвиг настройки вниз на \r0.25 мм");
}

TEST(HistogramWindow, SigmaLevelIsAWholeNumberFromOneToNine) {
  const char* kError = "Неверно указан уровень сигма (целые числа от 1 до 9)";
  EXPECT_EQ(SigmaLevelError(), kError);
  test::FakePlatform fake;
  const struct {
    const char* text;
    std::optional<int> k;
  } kCases[] = {{"1", 1}, {" 3 ", 3}, {"9", 9}, {"0", std::nullopt}, {"10", std::nullopt},
                {"2.5", std::nullopt}, {"", std::nullopt}, {"abc", std::nullopt}};
  std::size_t refused = 0;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CheckSigmaLevel(c.text), c.k);
    if (!c.k) ++refused;
  }
  ASSERT_EQ(fake.messages.shown.size(), refused);
  EXPECT_EQ(fake.messages.shown[0].text, kError);
  EXPECT_EQ(fake.messages.shown[0].kind, platform::MsgKind::Error);
  const SigmaLevelLines lines = SigmaLevels(10, 0.5, 3);
  EXPECT_DOUBLE_EQ(lines.lower, 8.5);
  EXPECT_DOUBLE_EQ(lines.upper, 11.5);
}

TEST(HistogramWindow, MouseTexts) {
  // 20 values over 0..10 in 5 bins of 2: bin 2 (2..4) holds 7 of them.
  std::vector<double> values{0, 1, 1.5, 2, 2.5, 3, 3, 3.5, 3.9, 3.99, 5, 5, 6, 6.5, 7, 8, 8, 9, 9.5, 10};
  const CDataSet set = SetOf(values, std::nullopt, std::nullopt);
  THistogram h;
  h.Compute(set, 5);
  ASSERT_EQ(h.Bin(2)->count, 7u);
  EXPECT_EQ(BinMouseText(h, 2, 2), "Столбец 2:  7 (35.0%,  от 2.000 до 4.000)");
  EXPECT_EQ(BinMouseText(h, 6, 2), "");
  EXPECT_EQ(UniqueValueMouseText(UniqueValue{10.014, 3}, 2), " Значение 10.01:  3 шт");
}

TEST(HistogramWindow, HistogramsOfOneScaleShareTheirRange) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  test::AddAnalysisParameters(ds);
  TSPCParameter third;
  third.name = "Длина";
  ASSERT_EQ(ds.SetParameter(0, 0, third), 3);
  const int scale = ds.scales.Add("Размеры", "мм");
  ds.Parameter(1)->scaleId = ds.scales.Get(scale)->id;
  ds.Parameter(3)->scaleId = ds.scales.Get(scale)->id;
  const int b = test::AddTestBlock(ds, "Смена 1");
  const int s = test::AddTestSample(ds, b, 1, {{1.0}, {2.0}, {3.0}});
  for (int p = 1; p <= 3; ++p) ds.SetValue(b, s, p, 3, 10.0 + p);
  ds.ComputeAllStats();

  // Parameters 1 and 3 share the scale; parameter 2 has no values at all.
  const int kParameters[] = {1, 3, 2};
  std::vector<THisto> histos(3);
  for (std::size_t i = 0; i < histos.size(); ++i) histos[i].task = {{&ds, {b}, true, 1, 1}, kParameters[i], ""};
  ComputeHistograms(histos, true);
  ASSERT_TRUE(histos[0].loaded);
  ASSERT_TRUE(histos[1].loaded);
  EXPECT_FALSE(histos[2].loaded);
  EXPECT_EQ(fake.messages.Texts(), std::vector<std::string>{"Нет данных для построения гистограммы"});
  for (const THisto* h : {&histos[0], &histos[1]}) {
    EXPECT_EQ(h->histogram.min, 1.0);
    EXPECT_EQ(h->histogram.max, 13.0);
  }
  EXPECT_EQ(histos[0].extract.usedSamples, 1u);
  EXPECT_EQ(histos[0].capability.cp.status, cap_status::kNoTolerance);
  // Without the option each keeps its own range.
  ComputeHistograms(histos, false);
  EXPECT_EQ(histos[0].histogram.max, 3.0);
  EXPECT_EQ(histos[1].histogram.min, 11.0);
}

TEST(HistogramWindow, FiguresThatAreNotNumbersRefuseTheHistogram) {
  const struct {
    const char* what;
    std::vector<double> values;
  } kCases[] = {
      {"the sum overflows", std::vector<double>(10, 1.7e308)},
      // Equal values so large that one each way changes nothing: bins of width 0.
      {"no width", std::vector<double>(10, 1e300)},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    test::FakePlatform fake;
    TDatasetSPC ds;
    test::AddAnalysisParameters(ds);
    const int b = test::AddTestBlock(ds, "Смена 1");
    std::vector<test::Pt> points;
    for (const double v : c.values) points.push_back({v});
    test::AddTestSample(ds, b, 1, points);
    ds.ComputeAllStats();
    std::vector<THisto> histos(1);
    histos[0].task = {{&ds, {b}, true, 1, 1}, 1, ""};
    ComputeHistograms(histos, false);
    EXPECT_FALSE(histos[0].loaded);
    EXPECT_FALSE(histos[0].histogram.computed);
    EXPECT_EQ(fake.messages.Texts(),
              std::vector<std::string>{"Невозможно построить гистограмму: значения параметра слишком велики для вычислений"});
  }
}

}  // namespace
}  // namespace mv
