#include "app/chart_window_logic.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/chart_dialog_logic.h"
#include "app/histogram_window_logic.h"
#include "core/numbers.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

// "Линия": parameters 1 "Диаметр" (2 decimals) and 2 "Брак" (alternative), a quantitative block
// "Блок 1" of `samples` samples of 5 points and an individual-values block "Поток".
struct Line {
  test::FakePlatform fake;
  TDatasetSPC ds;
  int block = 0;
  int flow = 0;

  explicit Line(int samples = 6) {
    ds.processName = "Линия";
    TSPCParameter d;
    d.name = "Диаметр";
    d.decimals = 2;
    EXPECT_EQ(ds.SetParameter(0, 0, d), 1);
    TSPCParameter a;
    a.kind = DataKind::Attr;
    a.name = "Брак";
    EXPECT_EQ(ds.SetParameter(0, 0, a), 2);
    block = ds.AddBlock(0, "Блок 1", SamplingMode::Samples, block_flag::kDates, 0, DataKind::Var, "", "");
    flow = ds.AddBlock(0, "Поток", SamplingMode::Individual, block_flag::kDates, 0, DataKind::Var, "", "");
    for (int s = 1; s <= samples; ++s) AddSample(block, 5, 10 + 0.1 * (s % 3));
    for (int s = 1; s <= 3; ++s) AddSample(flow, 4, 10);
    ds.ComputeAllStats();
    ds.MarkSaved();
  }
  void AddSample(int b, int points, double centre) {
    TSPCBlock& blk = *ds.Block(b);
    EXPECT_TRUE(blk.AddSample("", "", true));
    const int s = blk.SampleCount();
    EXPECT_TRUE(blk.Sample(s)->AddPoints(points));
    for (int p = 1; p <= points; ++p) EXPECT_TRUE(ds.SetValue(b, s, p, 1, centre + 0.05 * ((p * 7 + s) % 5 - 2)));
  }
  SampleSelection Blocks(std::vector<int> blocks) { return {&ds, std::move(blocks), true, 1, 1}; }
};

TEST(ChartWindowLogic, OpensTheMeanAndRangePairAndSwitchesKinds) {
  Line line;
  ChartWindowLogic w(line.ds, line.Blocks({line.block}), ChartKind::Mean, ChartKind::Range, {1, 2}, TChartOptions{});
  ASSERT_TRUE(w.Rebuild());
  EXPECT_EQ(w.Parameters(), std::vector<int>{1});  // the alternative parameter does not fit
  EXPECT_EQ(w.ChartCount(), 2);
  EXPECT_EQ(w.Chart(1)->code, "X");
  EXPECT_EQ(w.Chart(2)->code, "R");
  EXPECT_EQ(w.Caption(), "Контрольная карта средних значений и размахов (XR-chart) блок \"Блок 1\" - Линия");

  EXPECT_TRUE(w.SetUpper(ChartKind::Median));
  EXPECT_EQ(w.Chart(1)->code, "M");
  EXPECT_EQ(w.Chart(2)->code, "R");
  EXPECT_EQ(w.Options().windows[0].upper, 4);
  EXPECT_FALSE(w.SetUpper(ChartKind::P));
  EXPECT_FALSE(w.SetLower(ChartKind::MovingRange));
  EXPECT_TRUE(w.SetLower(std::nullopt));
  EXPECT_EQ(w.ChartCount(), 1);
  EXPECT_EQ(w.Options().windows[0].lower, 0);
  EXPECT_EQ(w.Caption(), "Контрольная карта медиан (M-chart) блок \"Блок 1\" - Линия");
  EXPECT_TRUE(line.fake.messages.shown.empty());
}

TEST(ChartWindowLogic, DeactivatesAndReactivatesASampleChangingTheDataset) {
  Line line;
  ChartWindowLogic w(line.ds, line.Blocks({line.block}), ChartKind::Mean, ChartKind::Range, {1}, TChartOptions{});
  ASSERT_TRUE(w.Rebuild());
  ASSERT_FALSE(line.ds.IsChanged());
  EXPECT_EQ(w.ActivationCommandText(), "");
  ASSERT_TRUE(w.Choose(2, 3));  // a point of the lower chart names the same sample
  EXPECT_EQ(w.ActivationCommandText(), "Деактивировать выборку 3");
  const double meanBefore = w.Chart(1)->Current()->set.mean;

  ASSERT_TRUE(w.ToggleChosenActivation());
  const TSPCBlock& block = *line.ds.Block(line.block);
  EXPECT_FALSE(block.Sample(3)->IsActive());
  EXPECT_TRUE(block.Sample(3)->changed);
  EXPECT_TRUE(block.changed);
  EXPECT_TRUE(line.ds.IsChanged());
  EXPECT_EQ(block.stats.activeSamples, 5);  // the block's statistics follow
  EXPECT_EQ(w.Chart(1)->data.activeCount, 5U);
  EXPECT_NE(w.Chart(1)->Current()->set.mean, meanBefore);
  EXPECT_TRUE(w.Chart(1)->data.points[2].flags & chart_point_flag::kExcluded);
  EXPECT_TRUE(w.SomeInactive());
  EXPECT_EQ(w.ActivationCommandText(), "Активировать выборку 3");

  ASSERT_TRUE(w.ToggleChosenActivation());
  EXPECT_TRUE(block.Sample(3)->IsActive());
  EXPECT_EQ(w.Chart(1)->data.activeCount, 6U);
  EXPECT_DOUBLE_EQ(w.Chart(1)->Current()->set.mean, meanBefore);
  EXPECT_FALSE(w.SomeInactive());
}

TEST(ChartWindowLogic, RefusesToLeaveFewerThanTwoActivePoints) {
  Line line(3);
  ChartWindowLogic w(line.ds, line.Blocks({line.block}), ChartKind::Mean, std::nullopt, {1}, TChartOptions{});
  ASSERT_TRUE(w.Rebuild());
  ASSERT_TRUE(w.Choose(1, 1));
  ASSERT_TRUE(w.ToggleChosenActivation());
  ASSERT_EQ(w.Chart(1)->data.activeCount, 2U);
  line.ds.MarkSaved();
  ASSERT_TRUE(w.Choose(1, 2));
  EXPECT_FALSE(w.ToggleChosenActivation());
  EXPECT_EQ(line.fake.messages.Texts(),
            std::vector<std::string>{"Нельзя деактивировать точку, т.к. активных точек на карте слишком мало"});
  EXPECT_TRUE(line.ds.Block(line.block)->Sample(2)->IsActive());
  EXPECT_FALSE(line.ds.IsChanged());
  // Activating the inactive one is not refused, and "activate all" brings back every sample.
  ASSERT_TRUE(w.Choose(1, 1));
  EXPECT_EQ(w.ActivationCommandText(), "Активировать выборку 1");
  ASSERT_TRUE(w.ToggleChosenActivation());
  ASSERT_TRUE(w.Choose(1, 2));
  ASSERT_TRUE(w.ToggleChosenActivation());
  EXPECT_EQ(w.ActivateAll(), 1);
  EXPECT_EQ(w.Chart(1)->data.activeCount, 3U);
  EXPECT_EQ(w.ActivateAll(), 0);
}

TEST(ChartWindowLogic, IndividualsWindowHidesActivationAndTogglesTheMovingRanges) {
  Line line;
  ChartWindowLogic w(line.ds, line.Blocks({line.flow}), ChartKind::Individuals, ChartKind::MovingRange, {1},
                     TChartOptions{});
  ASSERT_TRUE(w.Rebuild());
  EXPECT_EQ(w.Type(), ChartWindowType::Individuals);
  EXPECT_FALSE(w.ActivationOffered());
  ASSERT_TRUE(w.Choose(1, 5));
  EXPECT_FALSE(w.ToggleChosenActivation());
  EXPECT_TRUE(line.ds.Block(line.flow)->Sample(2)->IsActive());
  EXPECT_EQ(w.ChartCount(), 2);
  w.ToggleMovingRange();
  EXPECT_EQ(w.ChartCount(), 1);
  w.ToggleMovingRange();
  EXPECT_EQ(w.Chart(2)->code, "MR");
  EXPECT_EQ(w.Conclusion(1).text.rfind("Контрольная карта (n=2): ", 0), 0U);
}

TEST(ChartWindowLogic, ChosenPointMovesWithinItsChart) {
  Line line;
  ChartWindowLogic w(line.ds, line.Blocks({line.block}), ChartKind::Mean, ChartKind::Range, {1}, TChartOptions{});
  ASSERT_TRUE(w.Rebuild());
  EXPECT_FALSE(w.Choose(1, 7));
  EXPECT_FALSE(w.Choose(3, 1));
  const struct {
    int delta;
    std::uint32_t index;
  } kSteps[] = {{+1, 1}, {+1, 2}, {-5, 1}, {+100, 6}, {-1, 5}};
  for (const auto& step : kSteps) {
    w.MoveChosen(step.delta);
    EXPECT_EQ(w.Chosen().index, step.index) << step.delta;
  }
  EXPECT_NE(w.ChosenPointInformation().find("Выборка: 5\r\n"), std::string::npos);
  EXPECT_EQ(w.MouseText(1, 5).rfind("Точка 5:  Блок 1 (Блок 1), выборка 5", 0), 0U) << w.MouseText(1, 5);
}

TEST(ChartWindowLogic, CriteriaAndParametersRebuildTheCharts) {
  Line line;
  TDatasetSPC& ds = line.ds;
  // Seven more quantitative parameters: a window keeps 7.
  for (int i = 0; i < 7; ++i) {
    TSPCParameter p;
    p.name = "П" + std::to_string(i);
    ASSERT_GT(ds.SetParameter(0, 0, p), 0);
  }
  ds.ComputeAllStats();
  ChartWindowLogic w(ds, line.Blocks({line.block}), ChartKind::Mean, ChartKind::Range, {1}, TChartOptions{});
  EXPECT_EQ(w.AddParameters({1, 3, 4, 5, 6, 7, 8, 9}), 6U);
  EXPECT_EQ(w.Parameters().size(), 7U);
  ASSERT_TRUE(w.Rebuild());
  EXPECT_EQ(w.Chart(1)->series.size(), 7U);
  EXPECT_TRUE(w.SetCurrent(0));
  EXPECT_FALSE(w.SetCurrent(7));
  EXPECT_TRUE(w.RemoveParameter(6));
  EXPECT_EQ(w.Chart(1)->series.size(), 6U);

  TCriteriaChoice custom;
  custom.ChooseSet(kCustomCriteriaSet);
  custom.mask = CriterionBit(2);
  w.SetCriteria(custom);
  EXPECT_EQ(w.Options().criteria, custom);
  EXPECT_NE(w.CriteriaText(1).find(" из 1 проверенных"), std::string::npos) << w.CriteriaText(1);
}

TEST(ChartWindowLogic, ParameterTableShowsTheChosenColumnsAndFollowsActivation) {
  Line line;
  TChartOptions options;
  // Columns 1, 2, 7 and 14 chosen for the subgroup window, and 17, which it does not offer.
  options.windows[0].columns = (1U << 0) | (1U << 1) | (1U << 6) | (1U << 13) | (1U << 16);
  ChartWindowLogic w(line.ds, line.Blocks({line.block}), ChartKind::Mean, ChartKind::Range, {1}, options);
  ASSERT_TRUE(w.Rebuild());
  const auto captions = [&w] {
    std::vector<std::string> c;
    for (const auto& column : w.ParameterTable().columns) c.push_back(column.caption);
    return c;
  };
  EXPECT_EQ(captions(), (std::vector<std::string>{"#", "Параметр", "Сигма P", "Pp"}));
  ASSERT_EQ(w.ParameterTable().rows.size(), 1u);
  const int blocks[] = {line.block};
  const TParamStat all = ComputeParamStat(line.ds, 1, blocks, 1, 0);
  EXPECT_EQ(w.ParameterTable().rows[0],
            (std::vector<std::string>{"1", "Диаметр", FormatFixed(all.sigmaOverall, 3), "не существует"}));

  // Deactivating a sample renews the statistics under the table.
  ASSERT_TRUE(w.Choose(1, 1));
  ASSERT_TRUE(w.ToggleChosenActivation());
  EXPECT_EQ(w.ParameterStats()[0].samplesUsed, all.samplesUsed - 1);
  EXPECT_EQ(w.ParameterTable().rows[0][2], FormatFixed(ComputeParamStat(line.ds, 1, blocks, 1, 0).sigmaOverall, 3));

  // Columns are shown and hidden through the options of the window type.
  EXPECT_FALSE(w.ShowTableColumn(10, true));  // offered to the individuals window only
  EXPECT_FALSE(w.ShowTableColumn(0, true));
  EXPECT_TRUE(w.ShowTableColumn(7, false));
  EXPECT_TRUE(w.ShowTableColumn(3, true));
  EXPECT_EQ(captions(), (std::vector<std::string>{"#", "Параметр", "Ед.изм.", "Pp"}));
  EXPECT_EQ(w.Options().windows[0].columns & (1U << 6), 0u);
  const auto choice = w.TableColumnChoice();
  ASSERT_FALSE(choice.empty());
  EXPECT_EQ(choice.front(), (std::pair<int, bool>{1, true}));
  EXPECT_EQ(choice[3], (std::pair<int, bool>{4, false}));

  // The individuals window offers its own columns: the mean and the mean moving range.
  ChartWindowLogic x(line.ds, line.Blocks({line.flow}), ChartKind::Individuals, ChartKind::MovingRange, {1},
                     TChartOptions{});
  ASSERT_TRUE(x.Rebuild());
  std::vector<int> numbers;
  for (const auto& column : x.ParameterTable().columns) numbers.push_back(column.number);
  EXPECT_EQ(numbers, ChartTableColumns(ChartWindowType::Individuals, 0xFFFFFFFFU));
  EXPECT_NE(std::find(numbers.begin(), numbers.end(), 11), numbers.end());
}

TEST(ChartWindowLogic, StandardFormAndPrintTitle) {
  Line line;
  ChartWindowLogic w(line.ds, line.Blocks({line.block}), ChartKind::Mean, ChartKind::Range, {1}, TChartOptions{});
  ASSERT_TRUE(w.Rebuild());
  EXPECT_TRUE(w.CheckGostForm());
  EXPECT_EQ(w.PrintTitle(true),
            "Контрольная карта средних значений и размахов (XR-chart) блок \"Блок 1\" - Линия по форме ГОСТ Р "
            "51814.3-2001");
  ASSERT_TRUE(w.SetLower(ChartKind::Median));
  EXPECT_FALSE(w.CheckGostForm());
  ASSERT_EQ(line.fake.messages.shown.size(), 1U);
  EXPECT_EQ(line.fake.messages.shown[0].text, kGostRefusal);
}

TEST(ChartWindowLogic, RefusalIsShownOnce) {
  Line line(1);  // one sample: fewer than two active points
  ChartWindowLogic w(line.ds, line.Blocks({line.block}), ChartKind::Mean, ChartKind::Range, {1}, TChartOptions{});
  EXPECT_FALSE(w.Rebuild());
  EXPECT_EQ(w.ChartCount(), 0);
  ASSERT_EQ(line.fake.messages.shown.size(), 1U);
  EXPECT_EQ(line.fake.messages.shown[0].text.rfind("Ошибка при при создании графика ", 0), 0U);
}

TEST(ChartWindowLogic, LaunchChoicesOfThePages) {
  Line line;
  const auto var = ChartLaunchChoices(DataKind::Var);
  ASSERT_FALSE(var.empty());
  EXPECT_TRUE(var[0].blockDefault);
  const auto attr = ChartLaunchChoices(DataKind::Attr);
  ASSERT_EQ(attr.size(), 4U);
  EXPECT_EQ(attr[1].text, "Карта числа несоответствующих единиц (np-chart)");
  EXPECT_EQ(DefaultChartOfBlock(*line.ds.Block(line.block)).lower, ChartKind::Range);
  const ChartLaunchChoice flow = DefaultChartOfBlock(*line.ds.Block(line.flow));
  EXPECT_EQ(flow.upper, ChartKind::Individuals);
  EXPECT_EQ(flow.lower, ChartKind::MovingRange);
  // A chart opened over many blocks takes the first 20.
  std::vector<int> many(25, line.block);
  ChartWindowLogic w(line.ds, line.Blocks(many), ChartKind::Mean, std::nullopt, {1}, TChartOptions{});
  EXPECT_EQ(w.Selection().blocks.size(), 20U);
}

TEST(HistogramWindowLogic, TitlesFollowTheOptions) {
  Line line;
  line.ds.processName.clear();
  line.ds.fileName = "/data/line.mvl";
  const struct {
    const char* typed;
    bool addName;
    bool number;
    const char* second;
  } kCases[] = {
      {"", true, false, "Диаметр - line.mvl"},
      {"", false, true, "2. Диаметр"},
      {"Вал", true, true, "2. Вал - line.mvl"},
      {"Вал", false, false, "Вал"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.second);
    HistogramOptions options;
    options.title = c.typed;
    options.addDatasetName = c.addName;
    options.numberHistograms = c.number;
    HistogramWindowLogic w(line.ds, line.Blocks({line.block}), {1, 1}, options);
    EXPECT_EQ(w.Title(1), c.second);
  }
}

TEST(HistogramWindowLogic, KeepsSixHistogramsAndAdjustsTheirBins) {
  Line line;
  HistogramWindowLogic w(line.ds, line.Blocks({line.block, line.flow}), {1, 2, 1, 1, 1, 1, 1, 1}, {});
  EXPECT_EQ(w.Count(), 6U);  // the alternative parameter is dropped, then 6 are kept
  EXPECT_EQ(w.Recompute(), 6U);
  EXPECT_EQ(w.Histograms()[0].histogram.binCount, 6);  // 42 values
  EXPECT_EQ(w.Caption(), "Гистограммы - Линия");
  EXPECT_TRUE(w.MoreBins());
  EXPECT_EQ(w.Histograms()[0].histogram.binCount, 7);
  EXPECT_TRUE(w.FewerBins());
  EXPECT_TRUE(w.FewerBins());
  EXPECT_EQ(w.Histograms()[0].histogram.binCount, 5);
  EXPECT_FALSE(w.FewerBins());  // 5 is the least, and the next "more" answers at once
  EXPECT_TRUE(w.MoreBins());
  EXPECT_EQ(w.Histograms()[0].histogram.binCount, 6);
  EXPECT_EQ(w.BinText(0, 1).rfind("Столбец 1:  ", 0), 0U);
  EXPECT_EQ(w.BinText(6, 1), "");
}

TEST(HistogramWindowLogic, StatisticsBoxShowsTheChosenIndicatorsOverTheSelection) {
  Line line;
  line.ds.Parameter(1)->SetTolerance(9.5, 10.5, 10);
  HistogramOptions options;
  options.indicators = {7, 14, 2, 40};  // 40 is no column
  HistogramWindowLogic w(line.ds, line.Blocks({line.block}), {1}, options);
  EXPECT_TRUE(w.StatisticsBox(0).empty());  // nothing computed yet
  ASSERT_EQ(w.Recompute(), 1U);
  const int blocks[] = {line.block};
  const TParamStat st = ComputeParamStat(line.ds, 1, blocks, 1, 0);
  ASSERT_NE(w.Stats(0), nullptr);
  EXPECT_EQ(w.Stats(0)->samplesUsed, st.samplesUsed);
  using Lines = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(w.StatisticsBox(0), (Lines{{"Сигма P", FormatFixed(st.sigmaOverall, 3)},
                                       {"Pp", FormatFixed(1 / (6 * st.sigmaOverall), 2)},
                                       {"Параметр", "Диаметр"}}));
  const Lines en = w.StatisticsBox(0, Lang::En);
  ASSERT_EQ(en.size(), 3U);
  EXPECT_EQ(en[0].first, "Sigma P");
  EXPECT_EQ(en[2].first, "Parameter");
  EXPECT_TRUE(w.StatisticsBox(1).empty());
  EXPECT_EQ(w.Stats(1), nullptr);
}

}  // namespace
}  // namespace mv

namespace mv {
namespace {

TEST(CriteriaEditor, EditsOnlyTheCustomSetAndLimitsTheResult) {
  TCriteriaChoice choice;  // set 2
  CriteriaEditor e(ChartKind::Mean, choice);
  EXPECT_EQ(e.Rows().size(), 10U);
  EXPECT_FALSE(e.GridEnabled());
  EXPECT_FALSE(e.Toggle(5));
  EXPECT_EQ(e.ShownMask(), 0x7);
  e.ChooseSet(3);
  EXPECT_EQ(e.ShownMask(), 0x1FF);
  e.ChooseSet(5);
  EXPECT_TRUE(e.GridEnabled());
  EXPECT_EQ(e.ShownMask(), 0x7);  // the mask as it was edited
  EXPECT_TRUE(e.Toggle(1));
  EXPECT_TRUE(e.Toggle(10));
  EXPECT_TRUE(e.Active(10));
  e.SetDisplayFlag(criteria_display::kZones, true);
  e.SetDisplayFlag(criteria_display::kSeriesLines, false);
  const TCriteriaChoice result = e.Result();
  EXPECT_EQ(result.set, 5);
  EXPECT_EQ(result.mask, CriterionBit(2) | CriterionBit(3) | CriterionBit(10));
  EXPECT_EQ(result.display, criteria_display::kZones);
  EXPECT_EQ(CriteriaEditor::RowName(6), " C6: 2 из 3 точек в зоне А (по одну сторону от центральной линии)");
  EXPECT_TRUE(CriteriaEditor::InSet(10, 4));
  EXPECT_FALSE(CriteriaEditor::InSet(10, 3));
}

TEST(SampleRangeChoice, BlocksAllSamplesAndRanges) {
  Line line;
  SampleRangeChoice choice(line.ds, DataKind::Var);
  EXPECT_EQ(choice.BlockTexts(), (std::vector<std::string>{"Все блоки (2)", "Блок 1", "Поток"}));
  EXPECT_FALSE(choice.RangeOffered());
  auto all = choice.Result(false, "x", "y");  // every block: no range to check
  ASSERT_TRUE(all);
  EXPECT_EQ(all->blocks, (std::vector<int>{line.block, line.flow}));
  choice.ChooseRow(1);
  EXPECT_EQ(choice.AllSamplesChoiceText(), "все (6 шт.)");
  auto range = choice.Result(false, "2", "4");
  ASSERT_TRUE(range);
  EXPECT_FALSE(range->wholeBlocks);
  EXPECT_EQ(range->from, 2);
  EXPECT_EQ(range->to, 4);
  EXPECT_FALSE(choice.Result(false, "4", "7"));
  EXPECT_EQ(line.fake.messages.Texts(), std::vector<std::string>{"Номера выборок указаны неверно"});
  EXPECT_TRUE(choice.Result(true, "", "")->wholeBlocks);

  TDatasetSPC empty;
  SampleRangeChoice none(empty, DataKind::Var);
  EXPECT_EQ(none.BlockTexts(), std::vector<std::string>{"<нет блоков количественных данных>"});
  EXPECT_FALSE(none.Result(true, "", ""));
}

}  // namespace
}  // namespace mv
