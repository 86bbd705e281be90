#include "app/histogram_window_logic.h"

#include <gtest/gtest.h>

#include "spc/spc_file.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

// The demo's shaft line: parameter 1 "Диаметр шейки" (LSL and USL), 3 "Шероховатость Ra"
// (USL alone), both blocks.
class DemoHistograms : public ::testing::Test {
 protected:
  void SetUp() override {
    m_ds = LoadDatasetFile(std::string(MV_SOURCE_DIR) + "/examples/demo.mvl");
    ASSERT_TRUE(m_ds);
  }
  HistogramWindowLogic Logic(const HistogramOptions& options, std::vector<int> parameters = {1, 3}) {
    HistogramWindowLogic w(*m_ds, {m_ds.get(), {1, 2}, true, 1, 1}, parameters, options);
    EXPECT_EQ(w.Recompute(), parameters.size());
    return w;
  }
  test::FakePlatform m_fake;
  std::unique_ptr<TDatasetSPC> m_ds;
};

TEST_F(DemoHistograms, TheStatisticsBoxListsTheChosenIndicatorsInTheirOrder) {
  HistogramOptions o;  // σ P, Pp, Ppk, Q
  HistogramWindowLogic w = Logic(o);
  const StatisticLines shaft = {{"n", "250"}, {"Сигма P", "0.0022"}, {"Pp", "1.01"}, {"Ppk", "0.76"}, {"Q", "1.2 %"}};
  EXPECT_EQ(w.Statistics(0), shaft);
  // Roughness has only an upper limit: no Pp.
  EXPECT_EQ(w.Statistics(1)[2], (std::pair<std::string, std::string>{"Pp", "не существует"}));
  EXPECT_TRUE(w.Statistics(2).empty());

  o.indicators = {15, 2, 9, 26, 4};
  HistogramWindowLogic en = Logic(o);
  en.SetLanguage(Lang::En);
  const StatisticLines lines = en.Statistics(0);
  ASSERT_EQ(lines.size(), 6U);
  const char* kCaptions[] = {"n", "Ppk", "Parameter", "R mean", "Cmk", "Spec.limits"};
  for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i].first, kCaptions[i]) << i;
  EXPECT_EQ(lines[2].second, "Диаметр шейки");
  EXPECT_EQ(lines[4].second, lines[1].second);  // Cmk shows Ppk
  EXPECT_EQ(en.Caption().rfind("Histograms - ", 0), 0U);
}

TEST_F(DemoHistograms, DrawingsCarryTheTextsTheOptionsAskFor) {
  HistogramOptions o;
  o.statistics = false;
  o.uniqueCount = false;
  HistogramWindowLogic plain = Logic(o);
  for (const HistogramDrawing& d : plain.Drawings()) {
    EXPECT_TRUE(d.statistics.empty());
    EXPECT_TRUE(d.uniqueValues.empty());
    EXPECT_TRUE(d.tail.empty());
    EXPECT_TRUE(d.boxPlotTitle.empty());
    EXPECT_FALSE(d.advice);
    EXPECT_EQ(d.scaleGroup, 0);
  }

  o = HistogramOptions{};
  o.boxPlot = o.toleranceCentre = o.tailAnalysis = o.keepParameterScale = true;
  HistogramWindowLogic w = Logic(o);
  const std::vector<HistogramDrawing> d = w.Drawings();
  ASSERT_EQ(d.size(), 2U);
  EXPECT_EQ(d[0].histo, &w.Histograms()[0]);
  EXPECT_EQ(d[0].title, w.Title(0));
  EXPECT_EQ(d[0].uniqueValues, "14\r уник.значений");
  EXPECT_EQ(d[0].boxPlotTitle.rfind(std::string(kBoxPlotTitle) + "нижний ус: ", 0), 0U);
  // The shaft has both limits: a set-up recommendation; roughness, one limit, none.
  ASSERT_TRUE(d[0].advice);
  EXPECT_EQ(d[0].advice->text.rfind("Рекомендуется сдвиг настройки вниз на \r", 0), 0U);
  EXPECT_FALSE(d[1].advice);
  // Tails: one line per limit when the values are normal, else the refusal alone.
  for (std::size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const bool normal = w.Histograms()[i].histogram.normality.normal;
    if (normal) {
      EXPECT_EQ(d[i].tail.size(), i == 0 ? 2U : 1U);
      EXPECT_EQ(d[i].tail.back().rfind("Выше USL: ", 0), 0U);
    } else {
      EXPECT_EQ(d[i].tail, std::vector<std::string>{std::string(kTailNotNormal)});
    }
  }
  EXPECT_EQ(d[0].scaleGroup, HistogramScaleOf(w.Histograms()[0]));
}

TEST_F(DemoHistograms, NoToleranceMeansNoTailText) {
  m_ds->Parameter(3)->tolerance.Clear();
  HistogramOptions o;
  o.tailAnalysis = true;
  HistogramWindowLogic w = Logic(o, {3});
  EXPECT_TRUE(w.TailLines(0).empty());
}

TEST_F(DemoHistograms, ARequestedBinCountHoldsForEveryHistogram) {
  HistogramWindowLogic w = Logic({});
  const struct {
    int requested;
    int bins;
  } kCases[] = {{12, 12}, {2, 5}, {25, 20}, {0, 9}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.requested);
    w.SetRequestedBins(c.requested);
    w.Recompute();
    for (const THisto& h : w.Histograms()) EXPECT_EQ(h.histogram.binCount, c.bins);
  }
}

}  // namespace
}  // namespace mv
