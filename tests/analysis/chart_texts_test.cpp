#include "analysis/chart_texts.h"

#include <gtest/gtest.h>

#include "analysis/chart_limits.h"
#include "analysis/special_causes.h"
#include "analysis_fixture.h"
#include "core/numbers.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

using test::Pt;

TCriterionHit Hit(int criterion, std::uint32_t first, std::uint32_t last) {
  TCriterionHit hit;
  hit.criterion = static_cast<std::uint8_t>(criterion);
  hit.first = first;
  hit.last = last;
  hit.count = last - first + 1;
  return hit;
}

// A chart with control limits shown whose current series carries `beyond` points beyond the
// limits and the hits of the given criteria.
TChart ChartWith(std::uint32_t beyond, const std::vector<int>& hitCriteria, bool individual = false) {
  TChart chart;
  chart.kind = individual ? ChartKind::Individuals : ChartKind::Mean;
  chart.individual = individual;
  chart.limitMode = LimitMode::Control;
  chart.limitsShown = true;
  chart.beyondCount = beyond;
  chart.series.resize(1);
  CDataSet& set = chart.series[0].set;
  std::uint32_t at = 1;
  for (const int c : hitCriteria) {
    set.signals.push_back(Hit(c, at, c == 1 ? at : at + 6));
    set.criterionFound[static_cast<std::size_t>(c - 1)] = true;
    at += 10;
  }
  return chart;
}

TEST(ChartTexts, ConclusionUnderControlLimits) {
  const struct {
    const char* what;
    std::uint32_t beyond;
    std::vector<int> hits;
    int inForce;
    bool individual;
    const char* text;
    ConclusionMark mark;
  } kCases[] = {
      {"2 beyond, 5 signals of C1 and C2", 2, {1, 1, 2, 2, 2}, 3, false,
       "Контрольная карта: признаки влияния особых причин - 2 точки вне границ и 3 серии точек. Обнаружено "
       "критериев - 2 из 3 проверенных",
       ConclusionMark::Bad},
      {"stable individuals chart", 0, {}, 3, true,
       "Контрольная карта (n=2): признаков влияния особых причин не обнаружено", ConclusionMark::Good},
      {"1 beyond with its C1 hit", 1, {1}, 3, false,
       "Контрольная карта: признаки влияния особых причин - 1 точка вне границ. Обнаружено критериев - 1 из 3 "
       "проверенных",
       ConclusionMark::Bad},
      {"11 series", 0, {2, 3, 2, 3, 2, 3, 2, 3, 2, 3, 2}, 3, false,
       "Контрольная карта: признаки влияния особых причин - 11 серий точек. Обнаружено критериев - 2 из 3 "
       "проверенных",
       ConclusionMark::Bad},
      // Criteria without C1: the beyond points give no hits, so counting H - M would lose the
      // two series.
      {"custom set with C2 only", 2, {2, 2}, 1, false,
       "Контрольная карта: признаки влияния особых причин - 2 точки вне границ и 2 серии точек. Обнаружено "
       "критериев - 1 из 1 проверенных",
       ConclusionMark::Bad},
      {"beyond points without C1 and nothing else", 2, {}, 1, false,
       "Контрольная карта: признаки влияния особых причин - 2 точки вне границ. Обнаружено критериев - 0 из 1 "
       "проверенных",
       ConclusionMark::Bad},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    const ChartConclusion line = ConclusionLine(ChartWith(c.beyond, c.hits, c.individual), c.inForce);
    EXPECT_EQ(line.text, c.text);
    EXPECT_EQ(line.mark, c.mark);
  }
}

TEST(ChartTexts, ConclusionWithoutControlLimits) {
  TChart regulation = ChartWith(0, {});
  regulation.limitMode = LimitMode::Regulation;
  TChart regulationBeyond = ChartWith(3, {});
  regulationBeyond.limitMode = LimitMode::Regulation;
  TChart unequal = ChartWith(0, {});
  unequal.kind = ChartKind::Np;
  unequal.limitsShown = false;
  unequal.limitsComputable = false;
  TChart noLimits = ChartWith(0, {});  // n̄ < 2 on a mean chart
  noLimits.limitsShown = false;
  TChart switchedOff = ChartWith(0, {});
  switchedOff.limitMode = LimitMode::None;
  switchedOff.limitsShown = false;
  const struct {
    const char* what;
    const TChart& chart;
    const char* text;
    ConclusionMark mark;
  } kCases[] = {
      {"regulation, all inside", regulation, "Границы регулирования: все точки внутри границ", ConclusionMark::Good},
      {"regulation, 3 beyond", regulationBeyond, "Границы регулирования: 3 точки вне границ", ConclusionMark::Bad},
      {"np with unequal sizes", unequal, "Контрольные границы не рассчитываются, т.к. объемы выборок не одинаковы",
       ConclusionMark::None},
      {"no limits", noLimits, "", ConclusionMark::None},
      {"limits switched off", switchedOff, "", ConclusionMark::None},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    const ChartConclusion line = ConclusionLine(c.chart, 3);
    EXPECT_EQ(line.text, c.text);
    EXPECT_EQ(line.mark, c.mark);
  }
}

TEST(ChartTexts, PairTextsAndCaptions) {
  using K = ChartKind;
  const struct {
    K upper;
    std::optional<K> lower;
    const char* text;
  } kCases[] = {
      {K::Mean, K::Range, "средних значений и размахов (XR-chart)"},
      {K::Range, K::Mean, "средних значений и размахов (XR-chart)"},
      {K::StdDev, K::Mean, "средних значений и сигм (XS-chart)"},
      {K::Mean, K::Median, "средних значений и медиан"},
      {K::Mean, std::nullopt, "средних значений (X-chart)"},
      {K::Median, K::Range, "медиан и размахов (MR-chart)"},
      {K::Median, std::nullopt, "медиан (M-chart)"},
      {K::Median, K::StdDev, "медиан (M-chart)"},
      {K::Individuals, K::MovingRange, "индивидуальных значений и скользящих размахов (x-MR-chart)"},
      {K::Individuals, std::nullopt, "индивидуальных значений (x-chart)"},
      {K::U, std::nullopt, "числа несоответствий на единицу (u-chart)"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ChartPairText(c.upper, c.lower), c.text);
  }

  TDatasetSPC ds;
  ds.processName = "Линия";
  ds.fileName = "/data/цех/line.mvl";
  const int b1 = test::AddTestBlock(ds, "Блок 1");
  const int b2 = test::AddTestBlock(ds, "Блок 2");
  SampleSelection one{&ds, {b1}, true, 1, 1};
  EXPECT_EQ(ChartWindowCaption(K::Mean, K::Range, one),
            "Контрольная карта средних значений и размахов (XR-chart) блок \"Блок 1\" - Линия");
  EXPECT_EQ(ChartWindowCaption(K::Median, std::nullopt, one),
            "Контрольная карта медиан (M-chart) блок \"Блок 1\" - Линия");
  ds.processName.clear();  // the file name without its folder stands in
  SampleSelection both{&ds, {b1, b2}, true, 1, 1};
  EXPECT_EQ(ChartWindowCaption(K::P, std::nullopt, both),
            "Контрольная карта доли несоответствующих единиц (p-chart) - line.mvl");
}

TEST(ChartTexts, ZoneAnalysisOfHundredPoints) {
  TZoneStat stat;
  stat.total = 100;
  const std::uint32_t counts[] = {0, 5, 25, 70};
  for (int z = 0; z < 4; ++z) stat.cells[z][0] = {counts[z], counts[z] * 100.0 / 100};
  EXPECT_EQ(ZoneAnalysisShort(stat), "Анализ зон КК: вне - 0%, A - 5%, B - 25%, C - 70%");
  EXPECT_EQ(ZoneAnalysisFull(stat),
            "Анализ зон контрольной карты:  Вне границ - 0 (0.00%, норма 0.27%);  Зона A - 5 (5.00%, норма 4.29%);  "
            "Зона B - 25 (25.00%, норма 27.18%);  Зона C - 70 (70.00%, норма 68.26%)");
}

TEST(ChartTexts, DistanceFromTheCentreLine) {
  // CL 10, UCL 13, LCL 7: a zone sigma of 1.
  CDataSet set;
  ASSERT_TRUE(set.Allocate(5));
  const double values[] = {10, 11.5, 6, 12.5, 13.25};
  for (const double v : values) set.AddPoint(0, 1, 1, 1, true, true, v);
  set.ComputeStatistics();
  set.mean = 10;
  set.ucl = 13;
  set.lcl = 7;
  set.hasUcl = set.hasLcl = true;
  ComputeZones(set, false);
  const struct {
    std::uint32_t index;
    const char* text;
  } kCases[] = {
      {1, "0 sigma (Зона C)"},
      {2, "+1.5 sigma (Зона B)"},
      {3, "-4 sigma (ниже LCL)"},
      {4, "+2.5 sigma (Зона A)"},
      {5, "+3.25 sigma (выше UCL)"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.index);
    EXPECT_EQ(PointPositionText(set, c.index), c.text);
  }
  EXPECT_EQ(PointPositionText(set, 6), "");
  ClearZones(set);
  EXPECT_EQ(PointPositionText(set, 2), "");
}

// An individuals chart of one block: 2 samples of values around 10 and one far point.
struct IndividualsChart {
  test::FakePlatform fake;
  TDatasetSPC ds;
  TChart chart;
  int block = 0;

  explicit IndividualsChart(const std::vector<double>& values) {
    test::AddAnalysisParameters(ds);
    block = test::AddTestBlock(ds, "Смена 1");
    std::vector<Pt> points;
    for (const double v : values) points.push_back({v});
    test::AddTestSample(ds, block, 1, points, true, "замена резца");
    ds.ComputeAllStats();
    const TChartTask task{{&ds, {block}, true, 1, 1}, {1}, 0};
    EXPECT_TRUE(BuildChart(chart, task, ChartKind::Individuals, TChartOptions{}).ok);
  }
};

TEST(ChartTexts, PointInformationVerdicts) {
  IndividualsChart c({10, 10.2, 9.8, 10.1, 9.9, 14, 10, 10.1, 9.9, 6});
  ASSERT_TRUE(c.chart.limitsShown);
  ASSERT_TRUE(c.chart.Current()->set.HasFlag(10, dsp_flag::kBeyond));
  const std::string beyond = PointInformationText(c.chart, c.ds, 10);
  EXPECT_NE(beyond.find("Точка: 10\r\n"), std::string::npos);
  EXPECT_NE(beyond.find("Примечание: замена резца\r\n"), std::string::npos);
  EXPECT_NE(beyond.find("Замер: 10\r\n"), std::string::npos);
  EXPECT_NE(beyond.find("--- Положение точки на контрольной карте\r\nРасстояние от центральной линии: -"),
            std::string::npos);
  EXPECT_NE(beyond.find("sigma (ниже LCL)\r\n"), std::string::npos);
  const std::string special =
      "--- Заключение по точке на контрольной карте\r\nПроцесс в данной точке находится под действием ОСОБЫХ "
      "причин изменчивости.\r\n\r\nРекомендации: Следует изучить эти причины (см.выше проявления критериев особых "
      "причин) и реализовать корректирующие действия для их устранения, соразмерно ущербу, причиняемому процессу "
      "этими причинами.\r\nДля лучшего понимания причин изменчивости следует изучить примечания и записи о событиях "
      "в этой и нескольких предшествующих точках. При сборе данных рекомендуется фиксировать в свойствах выборок "
      "все факты, существенные для понимания изменчивости процесса.";
  ASSERT_GE(beyond.size(), special.size());
  EXPECT_EQ(beyond.substr(beyond.size() - special.size()), special);

  const std::string common = PointInformationText(c.chart, c.ds, 1);
  const std::string verdict =
      "Процесс в данной точке находится под действием только обычных причин изменчивости.\r\n\r\nРекомендации: "
      "Судя по этой точке, вмешательство в процесс не требуется, однако следует изучить другие точки и другие виды "
      "контрольных карт - результат может быть иным.";
  ASSERT_GE(common.size(), verdict.size());
  EXPECT_EQ(common.substr(common.size() - verdict.size()), verdict);
  EXPECT_EQ(PointInformationText(c.chart, c.ds, 11), "");
}

TEST(ChartTexts, PointInformationWithoutLimitsSaysTheChartDoesNotApply) {
  IndividualsChart c({10, 10.2, 9.8});
  c.chart.limitsShown = false;
  const std::string text = PointInformationText(c.chart, c.ds, 2);
  EXPECT_EQ(text.substr(text.size() - kChartNotApplied.size()), kChartNotApplied);
  EXPECT_EQ(text.find("--- Положение"), std::string::npos);
}

TEST(ChartTexts, SeriesTextsInThePointInformation) {
  // Seven rising values: a C3 run over points 1..7 (C2 and C1 not met).
  IndividualsChart c({9, 9.1, 9.2, 9.3, 9.4, 9.5, 9.6, 20, 2, 9, 9.1, 9.2});
  const CDataSet& set = c.chart.Current()->set;
  ASSERT_TRUE(set.HasFlag(4, dsp_flag::kSeries));
  const std::string text = PointInformationText(c.chart, c.ds, 4);
  for (const TCriterionHit& hit : set.signals) {
    const bool contains = hit.criterion != 1 && hit.first <= 4 && 4 <= hit.last;
    EXPECT_EQ(text.find(CriterionHitText(hit, true)) != std::string::npos, contains) << CriterionHitText(hit, true);
  }
  EXPECT_NE(text.find(std::string(kSpecialCausesVerdict)), std::string::npos);
}

TEST(ChartTexts, MouseTexts) {
  IndividualsChart c({10, 10.2, 9.8, 10.1, 9.9, 14, 10, 10.1, 9.9, 6});
  const std::string text = PointMouseText(c.chart, c.ds, 10);
  EXPECT_EQ(text.rfind("Точка 10:  Блок 1 (Смена 1), выборка 1 (", 0), 0U) << text;
  EXPECT_NE(text.find(", замер 10"), std::string::npos);
  EXPECT_NE(text.find("; Диаметр: вне границ, x=6.00"), std::string::npos) << text;
  EXPECT_NE(text.find(", прим.: замена резца"), std::string::npos);
  EXPECT_EQ(PointMouseText(c.chart, c.ds, 0), "");

  TChart chart = ChartWith(1, {1, 2});
  EXPECT_EQ(CriteriaAreaText(chart, 3),
            "Зона критериев особых причин вариации - обнаружено 2 из 3 проверенных [ C1 C2 ]");
}

TEST(ChartTexts, CalculationsOfAnIndividualsChart) {
  IndividualsChart c({10, 10.2, 9.8, 10.1, 9.9, 14, 10, 10.1, 9.9, 6});
  const std::string text = CalculationsText({&c.chart}, c.ds);
  const CDataSet& set = c.chart.Current()->set;
  const int d = c.chart.decimals;
  EXPECT_EQ(text.rfind("***** Карта индивидуальных значений\r\n\r\nПараметр 1. Диаметр\r\n  Среднее (CL) : " +
                           FormatFixed(set.mean, d) + "\r\n  UCL : " + FormatFixed(set.ucl, d) + "\r\n  LCL : " +
                           FormatFixed(set.lcl, d) + "\r\n  Зоны КК\r\n    A (+3s) : ",
                       0),
            0U)
      << text;
  // Bands upper A, B, C then lower C, B, A, each with its count.
  const std::size_t a = text.find("A (+3s)"), b = text.find("B (+2s)"), cu = text.find("C (+1s)");
  const std::size_t cl = text.find("C (-1s)"), bl = text.find("B (-2s)"), al = text.find("A (-3s)");
  EXPECT_TRUE(a < b && b < cu && cu < cl && cl < bl && bl < al);
  EXPECT_NE(text.find(" шт\r\n"), std::string::npos);
}

TEST(ChartTexts, GostFormAndParameterChoice) {
  using K = ChartKind;
  const struct {
    K upper;
    std::optional<K> lower;
    bool allowed;
  } kCases[] = {
      {K::Mean, K::Range, true},        {K::Mean, K::StdDev, true},     {K::Median, K::Range, true},
      {K::Individuals, K::MovingRange, true}, {K::Mean, K::Median, false}, {K::Mean, std::nullopt, false},
      {K::Range, K::Mean, false},       {K::P, std::nullopt, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(ChartPairText(c.upper, c.lower));
    EXPECT_EQ(GostFormAllowed(c.upper, c.lower), c.allowed);
  }
  EXPECT_EQ(kGostRefusal,
            "Текущая контрольная карта не может быть построена по форме ГОСТ Р 51814.3-2001.\r\nДопустимые виды карт:  "
            "X-R,  X-S,  Me-R,  x-MR");

  EXPECT_EQ(ParameterChoicePrompt(ChartPairText(K::P, std::nullopt)),
            "Отметьте параметры, по которым будет построена\r\nконтрольная карта доли несоответствующих единиц (p-chart)");
  TDatasetSPC ds;
  test::AddAnalysisParameters(ds);
  const auto p = ParameterChoiceItems(ds, K::P);
  ASSERT_EQ(p.size(), 1U);
  EXPECT_EQ(p[0].position, 2);
  EXPECT_EQ(p[0].text, "Брак  (признак)");
  const auto x = ParameterChoiceItems(ds, K::Mean);
  ASSERT_EQ(x.size(), 1U);
  EXPECT_EQ(x[0].text, "Диаметр");
  EXPECT_TRUE(ParameterChoiceItems(ds, K::C).empty());
  EXPECT_EQ(NoFittingParameterText(ChartPairText(K::C, std::nullopt)),
            "В текущем наборе нет ни одного параметра, по которому можно было бы построить контрольную карту числа "
            "несоответствий (c-chart)");
}

}  // namespace
}  // namespace mv
