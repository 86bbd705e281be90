#include "analysis/param_columns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/param_stat.h"
#include "analysis_fixture.h"
#include "core/numbers.h"
#include "spc/dataset_spc.h"

namespace mv {
namespace {

// The catalogue as the column editor shows it: number, long name, short name, English caption,
// width, mask.
TEST(ParamColumns, CatalogueHoldsEveryColumnAsTheProgramShowsIt) {
  const struct {
    int number;
    const char* longName;
    const char* shortName;
    const char* english;
    int width;
    int mask;
  } kColumns[] = {
      {1, "Порядковый номер", "#", "#", 15, 31},
      {2, "Название параметра", "Параметр", "Parameter", 120, 31},
      {3, "Единица измерения", "Ед.изм.", "Unit", 60, 11},
      {4, "Допуск", "Допуск", "Spec.limits", 120, 11},
      {5, "Масштаб", "Масштаб", "Scale", 100, 31},
      // The long name has a Latin C, the short name and the English caption a Cyrillic С.
      {6, "Сигма \x43 (внутригрупповая)", "Сигма \xD0\xA1", "Sigma \xD0\xA1", 60, 11},
      {7, "Сигма P (полная)", "Сигма P", "Sigma P", 60, 11},
      {8, "Ср.значение по выборкам", "X ср.", "X mean", 60, 9},
      {9, "Ср.размах по выборкам", "R ср.", "R mean", 60, 9},
      {10, "Среднее значение", "X ср.", "X mean", 60, 2},
      {11, "Ср.скользящий размах", "MR ср.", "MR mean", 60, 2},
      {12, "Индекс Cp", "Cp", "Cp", 50, 11},
      {13, "Индекс Cpk", "Cpk", "Cpk", 50, 11},
      {14, "Индекс Pp", "Pp", "Pp", 50, 11},
      {15, "Индекс Ppk", "Ppk", "Ppk", 50, 11},
      {16, "Тип измерений", "Тип изм.", "Measur.type", 70, 20},
      // A Latin C begins the short name.
      {17, "Ср.значение по выборкам", "\x43реднее", "Mean", 60, 4},
      {18, "Индекс Тагути - Cpm", "Cpm", "Cpm", 50, 11},
      {19, "Воспроизводимость", "Воспроизв.", "Performance", 50, 20},
      {20, "Воспроизводимость (PPM)", "Воспроизв.", "Performance", 60, 0},
      {21, "Вид распределения", "Распред.", "Distribution", 100, 11},
      {22, "Ур.несоответствий (оценка)", "Q", "Q", 50, 11},
      {23, "Предельный ур.нес.(ПУН)", "ПУН", "QL", 50, 20},
      {24, "К-во выб.с УН > ПУН", "УН>ПУН", "Q>QL", 50, 20},
      {25, "Индекс Cm", "Cm", "Cm", 50, 11},
      {26, "Индекс Cmk", "Cmk", "Cmk", 50, 11},
  };
  const TColPrototypeSet& set = TColPrototypeSet::ParameterTable();
  ASSERT_EQ(set.Columns().size(), std::size(kColumns));
  for (const auto& c : kColumns) {
    SCOPED_TRACE(c.number);
    const TColPrototype* p = set.Find(c.number);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->number, c.number);
    EXPECT_EQ(p->longName, c.longName);
    EXPECT_EQ(p->shortName, c.shortName);
    EXPECT_EQ(p->english, c.english);
    EXPECT_EQ(p->Caption(Lang::Ru), c.shortName);
    EXPECT_EQ(p->Caption(Lang::En), c.english);
    EXPECT_EQ(p->width, c.width);
    EXPECT_EQ(p->mask, c.mask);
  }
  EXPECT_EQ(set.Find(0), nullptr);
  EXPECT_EQ(set.Find(27), nullptr);
  EXPECT_EQ(set.Find(-1), nullptr);
}

TEST(ParamColumns, OfferedColumnsFollowTheMaskInTheEditorsOrder) {
  const TColPrototypeSet& set = TColPrototypeSet::ParameterTable();
  const std::vector<int> editor{1, 2, 3, 4, 5, 8, 9, 10, 11, 6, 7, 12, 13, 14, 15, 25, 26, 18, 21, 22, 16, 17, 19, 20, 23, 24};
  EXPECT_EQ(std::vector<int>(set.EditorOrder().begin(), set.EditorOrder().end()), editor);

  const struct {
    const char* what;
    std::vector<int> got;
    std::vector<int> expected;
  } kCases[] = {
      {"quantitative reports", set.Offered(ReportOffer(DataKind::Var)),
       {1, 2, 3, 4, 5, 8, 9, 6, 7, 12, 13, 14, 15, 25, 26, 18, 21, 22}},
      {"attribute reports", set.Offered(ReportOffer(DataKind::Attr)), {1, 2, 5, 16, 19, 23, 24}},
      {"subgroup chart, every column chosen", ChartTableColumns(ChartWindowType::Subgroup, 0xFFFFFFFFU),
       {1, 2, 3, 4, 5, 8, 9, 6, 7, 12, 13, 14, 15, 25, 26, 18, 21, 22}},
      {"individuals chart", ChartTableColumns(ChartWindowType::Individuals, 0xFFFFFFFFU),
       {1, 2, 3, 4, 5, 10, 11, 6, 7, 12, 13, 14, 15, 25, 26, 18, 21, 22}},
      {"attribute chart", ChartTableColumns(ChartWindowType::Attribute, 0xFFFFFFFFU), {1, 2, 5, 16, 17, 19, 23, 24}},
      // Bit n - 1 chooses column n; a chosen column the window type does not offer stays out.
      {"subgroup chart, columns 1, 2, 7, 10, 14", ChartTableColumns(ChartWindowType::Subgroup, 0x2243U), {1, 2, 7, 14}},
      {"nothing chosen", ChartTableColumns(ChartWindowType::Attribute, 0), {}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.got, c.expected);
  }
}

TEST(ParamColumns, AutomaticDecimals) {
  const struct {
    double x;
    int decimals;
  } kCases[] = {{25, 0}, {20, 0}, {-20, 0}, {19.9, 1}, {2, 1}, {1.99, 2}, {0.2, 2}, {0.05, 3},
                {0.002, 4}, {0.0005, 5}, {0.0002, 5}, {0.0001, 6}, {0, 6}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.x);
    EXPECT_EQ(AutoDecimals(c.x), c.decimals);
  }
}

// A quantitative parameter with 2 decimals (d + 1 = 3), a scale and a two-sided tolerance with
// a nominal, and an attribute parameter with a quality limit of 2500 PPM; statistics written
// out by hand so that every column's rule shows.
struct ColumnsFixture {
  TDatasetSPC ds;
  TParamStat var;
  TParamStat attr;

  ColumnsFixture() {
    test::AddAnalysisParameters(ds);
    TSPCParameter& diameter = *ds.Parameter(1);
    diameter.unit = "мм";
    diameter.SetTolerance(9, 11, 10);
    const int scale = ds.scales.Add("Длины", "мм");
    diameter.scaleId = ds.scales.Get(scale)->id;
    TSPCParameter& reject = *ds.Parameter(2);
    reject.SetTolerance(std::nullopt, 0.0025, std::nullopt);

    var.computed = true;
    var.parameter = 1;
    var.samplesUsed = 12;
    var.pointCount = 60;
    var.sigmaWithin = 0.12345;
    var.sigmaOverall = 0.2;
    var.xDoubleBar = 10.01234;
    var.grandMean = 10.5;
    var.rBar = 0.28751;
    var.cp = {cap_status::kComputed, 2.704};
    var.cpk = {cap_status::kComputed, 1.336};
    var.pp = {cap_status::kComputed, 1.6666};
    var.ppk = {cap_status::kSigmaZero, 0};
    var.cpm = {cap_status::kNoTolerance, 0};
    var.hasPercents = true;
    var.percentTotal = 0.0066642;
    var.normality = {true, true, true, 0.05, 0.2};

    attr.computed = true;
    attr.parameter = 2;
    attr.kind = DataKind::Attr;
    attr.samplesUsed = 8;
    attr.xDoubleBar = 1.1250;
    attr.attrLevel = 0.0125;
    attr.hasQualityLimit = true;
    attr.samplesAboveQualityLimit = 3;
  }
};

TEST(ParamColumns, ValuesOfAQuantitativeParameter) {
  ColumnsFixture f;
  const struct {
    int column;
    const char* ru;
    const char* en;
  } kCases[] = {
      {1, "3", "3"},
      {2, "Диаметр", "Диаметр"},
      {3, "мм", "мм"},
      {4, "номинал 10.00, от 9.00 до 11.00 мм", "target 10.00, from 9.00 upto 11.00 мм"},
      {5, "Длины", "Длины"},
      {6, "0.123", "0.123"},    // d + 1 decimals
      {7, "0.200", "0.200"},
      {8, "10.012", "10.012"},
      {9, "0.288", "0.288"},
      {10, "", ""},
      {11, "", ""},
      {12, "2.70", "2.70"},
      {13, "1.34", "1.34"},
      {14, "1.67", "1.67"},
      {15, "не рассчитывается (сигма=0)", "not countable (sigma=0)"},
      {16, "", ""},  // attribute parameters only
      {17, "10.01234", "10.01234"},
      {18, "не существует", "not exist"},
      {19, "", ""},
      {20, "", ""},
      {21, "Нормальное", "Normal (Gauss)"},
      {22, "67 PPM", "67 PPM"},
      {23, "", ""},
      {24, "", ""},
      {25, "1.67", "1.67"},  // Pp under the name Cm
      {26, "не рассчитывается (сигма=0)", "not countable (sigma=0)"},
      {0, "", ""},
      {27, "", ""},
  };
  const TSPCParameter& p = *f.ds.Parameter(1);
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.column);
    EXPECT_EQ(ColumnValue(c.column, 3, p, f.ds.scales, f.var, {Lang::Ru}), c.ru);
    EXPECT_EQ(ColumnValue(c.column, 3, p, f.ds.scales, f.var, {Lang::En}), c.en);
  }
}

TEST(ParamColumns, ValuesOfAnAttributeParameterInEachValueScale) {
  ColumnsFixture f;
  const TSPCParameter& p = *f.ds.Parameter(2);
  const struct {
    int column;
    AttrScale scale;
    Lang lang;
    const char* expected;
  } kCases[] = {
      {1, AttrScale::Share, Lang::Ru, "1"},
      {2, AttrScale::Share, Lang::Ru, "Брак"},
      {4, AttrScale::Share, Lang::Ru, ""},
      {5, AttrScale::Share, Lang::Ru, ""},  // no scale
      {7, AttrScale::Share, Lang::Ru, ""},
      {12, AttrScale::Share, Lang::Ru, ""},
      {16, AttrScale::Share, Lang::Ru, "Число несоответствующих единиц"},
      {17, AttrScale::Share, Lang::Ru, "1.125"},  // 5 decimals, trailing zeros removed
      {19, AttrScale::Share, Lang::Ru, "0.0125"},
      {19, AttrScale::Percent, Lang::Ru, "1.25"},
      {19, AttrScale::Ppm, Lang::Ru, "12500"},
      {20, AttrScale::Share, Lang::Ru, "12500"},  // PPM whatever the scale
      {21, AttrScale::Share, Lang::Ru, ""},
      {22, AttrScale::Share, Lang::Ru, ""},
      {23, AttrScale::Share, Lang::Ru, "0.0025"},
      {23, AttrScale::Percent, Lang::Ru, "0.25"},
      {23, AttrScale::Ppm, Lang::En, "2500"},
      {24, AttrScale::Share, Lang::Ru, "3 выб."},
      {24, AttrScale::Share, Lang::En, "3 smp."},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.column << " scale " << static_cast<int>(c.scale));
    EXPECT_EQ(ColumnValue(c.column, 1, p, f.ds.scales, f.attr, {c.lang, c.scale}), c.expected);
  }

  // Without a quality limit both of its columns say so; the other type of counting.
  f.ds.Parameter(2)->SetTolerance(std::nullopt, std::nullopt, std::nullopt);
  f.ds.Parameter(2)->SetFlag(param_flag::kNonconformities, true);
  const TSPCParameter& q = *f.ds.Parameter(2);
  EXPECT_EQ(ColumnValue(23, 1, q, f.ds.scales, f.attr, {Lang::Ru}), "нет");
  EXPECT_EQ(ColumnValue(24, 1, q, f.ds.scales, f.attr, {Lang::En}), "none");
  EXPECT_EQ(ColumnValue(16, 1, q, f.ds.scales, f.attr, {Lang::Ru}), "Число несоответствий");
}

TEST(ParamColumns, StatesOfTheFiguresShowInTheirColumns) {
  ColumnsFixture f;
  const TSPCParameter& p = *f.ds.Parameter(1);
  const auto value = [&](int column, const TParamStat& st) { return ColumnValue(column, 1, p, f.ds.scales, st, {}); };

  // Too few samples: the within indices say so.
  TParamStat few = f.var;
  few.cp = few.cpk = {cap_status::kTooFewSamples, 0};
  EXPECT_EQ(value(12, few), "мало данных");
  EXPECT_EQ(value(13, few), "мало данных");
  // A level is known only for normal data with an estimate.
  TParamStat notNormal = f.var;
  notNormal.normality.normal = false;
  EXPECT_EQ(value(21, notNormal), "Не явл.нормальным");
  EXPECT_EQ(value(22, notNormal), "Неизвестно");
  TParamStat noEstimate = f.var;
  noEstimate.hasPercents = false;
  EXPECT_EQ(value(22, noEstimate), "Неизвестно");
  TParamStat zero = f.var;
  zero.percentTotal = 0;
  EXPECT_EQ(value(22, zero), "~0");
  EXPECT_EQ(ColumnValue(22, 1, p, f.ds.scales, f.var, {Lang::Ru, AttrScale::Share, LevelUnit::Percent}), "0.01 %");
  // No used sample: the figures are blank, the names stay.
  TParamStat none;
  none.computed = true;
  none.parameter = 1;
  for (const int column : {6, 7, 8, 9, 12, 13, 14, 17, 21, 22}) {
    SCOPED_TRACE(column);
    EXPECT_EQ(value(column, none), "");
  }
  EXPECT_EQ(value(2, none), "Диаметр");
  // A tag shows its word and the unit; a tolerance-less parameter without a unit leaves no blank.
  f.ds.Parameter(1)->SetFlag(param_flag::kTag, true);
  EXPECT_EQ(value(4, f.var), "<признак> мм");
  f.ds.Parameter(1)->SetFlag(param_flag::kTag, false);
  f.ds.Parameter(1)->SetTolerance(std::nullopt, std::nullopt, std::nullopt);
  f.ds.Parameter(1)->unit.clear();
  EXPECT_EQ(value(4, f.var), std::string(Trim(f.ds.Parameter(1)->ToleranceText())));
}

TEST(ParamColumns, TableOverComputedStatistics) {
  // Two subgroups of a quantitative parameter: values chosen so that the figures are easy to
  // check by hand (means 10.0 and 10.2, ranges 0.2 and 0.4).
  TDatasetSPC ds;
  test::AddAnalysisParameters(ds);
  ds.Parameter(1)->SetTolerance(9, 11, 10);
  const int b = test::AddTestBlock(ds, "Блок");
  test::AddTestSample(ds, b, 1, {{9.9}, {10.0}, {10.1}});
  test::AddTestSample(ds, b, 1, {{10.0}, {10.2}, {10.4}});
  ds.ComputeAllStats();
  const int blocks[] = {b};
  const std::vector<TParamStat> stats{ComputeParamStat(ds, 1, blocks, 1, 0), TParamStat{}};
  const int columns[] = {1, 2, 8, 9, 12, 14, 99};

  const ParamTable table = BuildParamTable(ds, columns, stats, {Lang::En});
  ASSERT_EQ(table.columns.size(), 6u);  // 99 is not a column
  const std::vector<std::string> captions{"#", "Parameter", "X mean", "R mean", "Cp", "Pp"};
  for (std::size_t c = 0; c < captions.size(); ++c) EXPECT_EQ(table.columns[c].caption, captions[c]);
  EXPECT_EQ(table.columns[1].width, 120);
  ASSERT_EQ(table.rows.size(), 2u);
  // Mean of means 10.1, mean range 0.3, two samples: Cp too few samples, Pp over sigma P.
  const double sigmaP = stats[0].sigmaOverall;
  EXPECT_NEAR(sigmaP, 0.1788854382, 1e-9);
  const std::vector<std::string> expected{"1", "Диаметр", "10.100", "0.300", "not enouth data",
                                          FormatFixed(2 / (6 * sigmaP), 2)};
  EXPECT_EQ(table.rows[0], expected);
  // A record of no parameter: a row of empty texts.
  EXPECT_EQ(table.rows[1], std::vector<std::string>(6));

  EXPECT_EQ(BuildParamTable(ds, columns, stats, {Lang::Ru}).columns[2].caption, "X ср.");
}

TEST(ParamColumns, StatisticsLinesPairCaptionsWithValues) {
  ColumnsFixture f;
  const std::uint8_t indicators[] = {7, 14, 0, 15, 22, 200};
  const auto ru = StatisticsLines(indicators, 1, *f.ds.Parameter(1), f.ds.scales, f.var, {Lang::Ru});
  const std::vector<std::pair<std::string, std::string>> expectedRu{
      {"Сигма P", "0.200"}, {"Pp", "1.67"}, {"Ppk", "не рассчитывается (сигма=0)"}, {"Q", "67 PPM"}};
  EXPECT_EQ(ru, expectedRu);
  const auto en = StatisticsLines(indicators, 1, *f.ds.Parameter(1), f.ds.scales, f.var, {Lang::En});
  ASSERT_EQ(en.size(), 4u);
  EXPECT_EQ(en[2], (std::pair<std::string, std::string>{"Ppk", "not countable (sigma=0)"}));
}

}  // namespace
}  // namespace mv
