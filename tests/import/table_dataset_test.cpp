#include "import/table_dataset.h"

#include <gtest/gtest.h>

#include "core/date_time.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

TableDatasetResult Build(std::string_view csv, const TableDatasetOptions& options = {}) {
  CsvTable table(csv);
  return BuildTableDataset(table, options);
}

// The headings followed by `rows` rows made by row(i), i = 1..rows.
std::string Rows(std::string_view headings, int rows, std::string (*row)(int)) {
  std::string csv(headings);
  for (int i = 1; i <= rows; ++i) csv += "\n" + row(i);
  return csv;
}

TEST(TableDataset, SamplesByLabelWithDatesDecimalsAndToleranceMarks) {
  test::FakePlatform fake;
  TableDatasetOptions options;
  options.processName = "Токарная обработка";
  options.tolerances = {{"ДИАМЕТР", 19.987, 20.0, 20.0}};  // headings match ignoring case
  options.units = {{"Диаметр", "мм"}};
  const auto result = Build(
      "sample;date;time;Диаметр;\"Длина\r\nобщая\"\n"
      "A;04.03.2024;08:00;19,995;120,1\n"
      "A;ignored;ignored;20,0031;\n"  // later rows of a sample keep its date; an empty cell stays empty
      "B;2024-03-05;9:30:15;19.99;1.2e2\n"
      "A;05.03.2024;10:00;19.996;120.25\n",  // the same label later: a new sample
      options);
  ASSERT_TRUE(result.Ok()) << result.error;
  const TDatasetSPC& ds = *result.dataset;
  EXPECT_EQ(ds.processName, "Токарная обработка");
  ASSERT_EQ(ds.ParameterCount(), 2);
  const TSPCParameter& diameter = *ds.Parameter(1);
  EXPECT_EQ(diameter.name, "Диаметр");
  EXPECT_EQ(diameter.kind, DataKind::Var);
  EXPECT_EQ(diameter.unit, "мм");
  EXPECT_EQ(diameter.decimals, 4);  // the most written in the column
  EXPECT_EQ(diameter.tolerance.Text(), "номинал 20.0000, от 19.9870 до 20.0000");
  EXPECT_EQ(ds.Parameter(2)->name, "Длина общая");  // a line break of a quoted heading
  EXPECT_EQ(ds.Parameter(2)->decimals, 2);
  EXPECT_FALSE(ds.Parameter(2)->HasTolerance());

  ASSERT_EQ(ds.BlockCount(), 1);
  const TSPCBlock& block = *ds.Block(1);
  EXPECT_EQ(block.name, "Блок 1");
  EXPECT_EQ(block.id, 1);
  EXPECT_EQ(ds.nextBlockNumber, 1);
  EXPECT_EQ(block.flags, block_flag::kDates | block_flag::kTimes);
  EXPECT_EQ(block.mode, SamplingMode::Samples);
  ASSERT_EQ(block.SampleCount(), 3);
  EXPECT_EQ(block.Sample(1)->PointCount(), 2);
  EXPECT_EQ(block.Sample(2)->PointCount(), 1);
  EXPECT_EQ(block.Sample(3)->PointCount(), 1);
  EXPECT_EQ(block.Sample(1)->Text(), "04.03.2024 08:00");
  EXPECT_EQ(DateTimeText(block.Sample(2)->DateTime(), true), "05.03.2024 09:30:15");
  EXPECT_EQ(ds.GetValue(1, 1, 1, 1), 19.995);
  EXPECT_EQ(ds.GetValue(1, 1, 2, 2), std::nullopt);
  EXPECT_EQ(ds.GetValue(1, 2, 1, 2), 120.0);

  // 20.0031 is above the upper limit: its slot, point and sample are marked; the rest are not.
  const TSPCSample& first = *block.Sample(1);
  EXPECT_NE(first.Point(2)->ValueFlags(1) & value_flag::kOutOfTolerance, 0);
  EXPECT_NE(first.Point(2)->Flags() & point_flag::kOutOfTolerance, 0);
  EXPECT_NE(first.flags & sample_flag::kOutOfTolerance, 0);
  EXPECT_EQ(first.Point(1)->Flags() & point_flag::kOutOfTolerance, 0);
  EXPECT_EQ(block.Sample(3)->flags & sample_flag::kOutOfTolerance, 0);
  // Statistics are computed.
  EXPECT_EQ(block.stats.totalPoints, 4);
  EXPECT_NEAR(first.Stats(1).mean, (19.995 + 20.0031) / 2, 1e-12);
  EXPECT_NEAR(block.stats.params[1].mean, (120.1 + 120.0 + 120.25) / 3, 1e-12);
}

TEST(TableDataset, BlocksByLabelRowsAsSamplesAndOptions) {
  test::FakePlatform fake;
  {
    // A block label starts a new block and a new sample even where the sample label repeats.
    const auto result = Build(
        "block,sample,x\n"
        "До наладки,1,1.5\n"
        "До наладки,1,1.6\n"
        "После наладки,1,2\n",
        {.blockName = "unused"});
    ASSERT_TRUE(result.Ok()) << result.error;
    const TDatasetSPC& ds = *result.dataset;
    ASSERT_EQ(ds.BlockCount(), 2);
    EXPECT_EQ(ds.Block(1)->name, "До наладки");
    EXPECT_EQ(ds.Block(2)->name, "После наладки");
    EXPECT_EQ(ds.Block(2)->id, 2);
    EXPECT_EQ(ds.Block(1)->SampleCount(), 1);
    EXPECT_EQ(ds.Block(1)->Sample(1)->PointCount(), 2);
    EXPECT_EQ(ds.Block(2)->SampleCount(), 1);
    EXPECT_EQ(ds.Block(1)->flags, 0);
    EXPECT_EQ(ds.Block(1)->Sample(1)->flags & sample_flag::kHasDate, 0);  // no date column, no dates
  }
  {
    // Individual values without a sample column: the rows fill one sample; options override
    // what the cells suggest.
    const auto result = Build("x;y;\n1.25;3\n1.5;4;\n", {.blockName = "Смена 2",
                                                         .tolerances = {{"y", std::nullopt, 3.5, std::nullopt}},
                                                         .decimals = {{"x", 0}, {"x", 1}},  // the last one counts
                                                         .individual = true});
    ASSERT_TRUE(result.Ok()) << result.error;
    const TDatasetSPC& ds = *result.dataset;
    const TSPCBlock& block = *ds.Block(1);
    EXPECT_EQ(block.name, "Смена 2");
    EXPECT_EQ(block.mode, SamplingMode::Individual);
    EXPECT_EQ(block.flags, block_flag::kIndividual);
    ASSERT_EQ(block.SampleCount(), 1);
    EXPECT_EQ(block.Sample(1)->PointCount(), 2);
    EXPECT_EQ(ds.Parameter(1)->decimals, 1);
    EXPECT_EQ(ds.Parameter(2)->decimals, 0);
    EXPECT_EQ(ds.Parameter(2)->Lsl(), std::nullopt);
    EXPECT_EQ(ds.Parameter(2)->Usl(), 3.5);
    EXPECT_NE(block.Sample(1)->flags & sample_flag::kOutOfTolerance, 0);
    EXPECT_NE(block.Sample(1)->Point(2)->Flags() & point_flag::kOutOfTolerance, 0);
    EXPECT_EQ(block.Sample(1)->Point(1)->Flags() & point_flag::kOutOfTolerance, 0);
  }
}

// The points per sample of block 1.
std::vector<int> SampleSizes(const TDatasetSPC& ds) {
  std::vector<int> sizes;
  for (const TSPCSample& s : ds.Block(1)->Samples()) sizes.push_back(s.PointCount());
  return sizes;
}

TEST(TableDataset, IndividualValuesFillLargeSamples) {
  test::FakePlatform fake;
  const auto numbered = [](int i) { return std::to_string(i); };
  const std::string rows450 = Rows("x", 450, numbered);
  const struct {
    std::string_view what;
    std::string csv;
    TableDatasetOptions options;
    std::vector<int> sizes;
  } kCases[] = {
      {"200 points a sample", rows450, {.individual = true}, {200, 200, 50}},
      {"a smaller size", rows450, {.individual = true, .sampleSize = 150}, {150, 150, 150}},
      {"one point a sample", Rows("x", 3, numbered), {.individual = true, .sampleSize = 1}, {1, 1, 1}},
      {"samples of rows", Rows("x", 7, numbered), {.sampleSize = 5}, {5, 2}},
      {"labels", "sample;x\nа;1\nа;2\nа;3\nб;4\nа;5\n", {.individual = true}, {3, 1, 1}},
      {"200 rows of one label", Rows("sample;x", 200, [](int i) { return "s;" + std::to_string(i); }),
       {.individual = true}, {200}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    const auto result = Build(c.csv, c.options);
    ASSERT_TRUE(result.Ok()) << result.error;
    EXPECT_EQ(SampleSizes(*result.dataset), c.sizes);
  }
  // The values stay in the order of the rows, across samples.
  const auto filled = Build(rows450, {.individual = true});
  ASSERT_TRUE(filled.Ok());
  EXPECT_EQ(filled.dataset->GetValue(1, 2, 1, 1), 201.0);
  EXPECT_EQ(filled.dataset->GetValue(1, 3, 50, 1), 450.0);
  EXPECT_EQ(filled.dataset->Block(1)->stats.totalPoints, 450);

  // The sample is dated by its first row; every point keeps the date and time of its own.
  const auto dated = Build(
      "date;time;x\n"
      "04.03.2024;08:00;1\n"
      "04.03.2024;08:10;2\n"
      "05.03.2024;09:30;3\n",
      {.individual = true, .sampleSize = 2});
  ASSERT_TRUE(dated.Ok()) << dated.error;
  const TSPCBlock& block = *dated.dataset->Block(1);
  EXPECT_EQ(block.flags, block_flag::kIndividual | block_flag::kDates | block_flag::kTimes);
  ASSERT_EQ(block.SampleCount(), 2);
  EXPECT_EQ(block.Sample(1)->Text(), "04.03.2024 08:00");
  EXPECT_EQ(block.Sample(2)->Text(), "05.03.2024 09:30");
  const TFileSmpPoint& second = *block.Sample(1)->Point(2);
  EXPECT_EQ(second.Flags() & (point_flag::kOwnDate | point_flag::kOwnTime), point_flag::kOwnDate | point_flag::kOwnTime);
  EXPECT_EQ(DateTimeText(second.DateTime()), "04.03.2024 08:10");
  // Each row's date is checked, not only a sample's first.
  EXPECT_EQ(Build("date;x\n04.03.2024;1\n31.02.2024;2\n", {.individual = true}).error,
            "Строка 3, столбец «date»: «31.02.2024» - не дата (дд.мм.гггг или гггг-мм-дд)");
}

TEST(TableDataset, AlternativeDataRowPerSampleWithSize) {
  test::FakePlatform fake;
  const auto result = Build(
      "date;size;Брак;Дефекты\n"
      "01.03.2024;50;2;7\n"
      "02.03.2024;40;0;\n",
      {.attributes = {{"брак", AttrType::Units}, {"Дефекты", AttrType::Nonconformities}}});
  ASSERT_TRUE(result.Ok()) << result.error;
  const TDatasetSPC& ds = *result.dataset;
  ASSERT_EQ(ds.ParameterCount(), 2);
  EXPECT_EQ(ds.Parameter(1)->kind, DataKind::Attr);
  EXPECT_EQ(ds.Parameter(1)->Type(), AttrType::Units);
  EXPECT_EQ(ds.Parameter(2)->Type(), AttrType::Nonconformities);
  EXPECT_TRUE(ds.Parameter(2)->HasFlag(param_flag::kNonconformities));
  EXPECT_EQ(ds.Parameter(2)->position, 2);  // order numbers among the alternative parameters
  const TSPCBlock& block = *ds.Block(1);
  EXPECT_EQ(block.kind, DataKind::Attr);
  EXPECT_EQ(block.flags, block_flag::kDates);
  ASSERT_EQ(block.SampleCount(), 2);
  EXPECT_EQ(block.Sample(1)->sampleSize, 50);
  EXPECT_EQ(block.Sample(2)->sampleSize, 40);
  EXPECT_EQ(block.Sample(1)->PointCount(), 1);
  EXPECT_EQ(ds.GetValue(1, 1, 1, 1), 2.0);
  EXPECT_EQ(ds.GetValue(1, 1, 1, 2), 7.0);
  EXPECT_EQ(ds.GetValue(1, 2, 1, 2), std::nullopt);
  EXPECT_EQ(block.stats.minPoints, 40);  // an alternative block's sizes are the units inspected
  EXPECT_EQ(block.stats.maxPoints, 50);

  // A sample column of another tool names the rows' samples; labels start again in a new block.
  const auto labelled = Build(
      "block;sample;size;Брак\n"
      "А;1;50;2\n"
      "А;2;50;1\n"
      "Б;1;40;0\n",
      {.attributes = {{"Брак", AttrType::Units}}});
  ASSERT_TRUE(labelled.Ok()) << labelled.error;
  ASSERT_EQ(labelled.dataset->BlockCount(), 2);
  EXPECT_EQ(labelled.dataset->Block(1)->SampleCount(), 2);
  EXPECT_EQ(labelled.dataset->Block(2)->SampleCount(), 1);
  EXPECT_EQ(labelled.dataset->GetValue(1, 2, 1, 1), 1.0);
  EXPECT_EQ(labelled.dataset->Block(2)->Sample(1)->sampleSize, 40);
}

TEST(TableDataset, NoteAndEventComeFromTheSamplesFirstRowCutTo150Characters) {
  test::FakePlatform fake;
  const std::string longNote(160, 'x');
  const auto built = Build("sample;Note;EVENT;a\n1;" + longNote + ";Смена 1;1\n1;другое;другое;2\n2;;;3\n");
  ASSERT_TRUE(built.Ok()) << built.error;
  const TSPCBlock& block = *built.dataset->Block(1);
  EXPECT_EQ(block.Sample(1)->Note(), std::string(150, 'x'));
  EXPECT_EQ(block.Sample(1)->Event(), "Смена 1");
  EXPECT_EQ(block.Sample(2)->Note(), "");
  EXPECT_EQ(built.dataset->ParameterCount(), 1);
}

TEST(TableDataset, EveryProblemGivesItsMessageAndNoDataset) {
  test::FakePlatform fake;
  const TableAttribute units{"n", AttrType::Units};
  std::string twentyOne = "p1";
  for (int i = 2; i <= 21; ++i) twentyOne += ";p" + std::to_string(i);
  twentyOne += "\n1";
  const struct {
    std::string_view what;
    std::string csv;
    TableDatasetOptions options;
    std::string_view error;
  } kCases[] = {
      {"empty", "", {}, "Таблица пуста: нет строки заголовков"},
      {"headings only", "a;b\n;\n", {}, "В таблице нет строк с данными"},
      {"no parameter", "sample;date\n1;01.01.2024", {}, "В таблице нет столбцов с данными (параметров)"},
      {"21 parameters", twentyOne, {}, "Столбцов с данными 21, а параметров может быть не больше 20"},
      {"empty heading", "a;;b\n1;2;3", {}, "Строка 1, столбец 2: нет заголовка"},
      {"same heading", "Длина;Ширина;ДЛИНА\n1;2;3", {}, "Строка 1, столбец 3: заголовок «ДЛИНА» повторяется"},
      {"time without date",
       "time;x\n10:00;1",
       {},
       "Столбец time есть, а столбца date нет: время задаётся только вместе с датой"},
      {"not a number", "x;Длина\n1;2\n\n3;12,5 мм", {}, "Строка 4, столбец «Длина»: «12,5 мм» - не число"},
      {"33 digits",  // cut to 30 it would read as 1.23e29
       "x;Длина\n1;2\n3;123456789012345678901234567890123",
       {},
       "Строка 3, столбец «Длина»: «123456789012345678901234567890123» - не число"},
      {"unclosed quote", "x\n1\n\"2\n", {}, "Строка 3: нет закрывающей кавычки"},
      {"cell past the headings", "x;y\n1;2;3", {}, "Строка 2, столбец 3: значение в столбце без заголовка"},
      {"no date", "date;x\n;1", {}, "Строка 2, столбец «date»: нет даты"},
      {"bad date",
       "date;x\n31.02.2024;1",
       {},
       "Строка 2, столбец «date»: «31.02.2024» - не дата (дд.мм.гггг или гггг-мм-дд)"},
      {"short year",
       "date;x\n01.02.24;1",
       {},
       "Строка 2, столбец «date»: «01.02.24» - не дата (дд.мм.гггг или гггг-мм-дд)"},
      {"bad time",
       "date;time;x\n01.02.2024;24:00;1",
       {},
       "Строка 2, столбец «time»: «24:00» - не время (чч:мм или чч:мм:сс)"},
      {"no time", "date;time;x\n01.02.2024;;1", {}, "Строка 2, столбец «time»: нет времени"},
      {"no sample label", "sample;x\n1;1\n;2", {}, "Строка 3, столбец «sample»: нет метки выборки"},
      {"no block name", "block;x\n;1", {}, "Строка 2, столбец «block»: нет имени блока"},
      {"empty block option", "x\n1", {.blockName = " "}, "Не задано имя блока"},
      {"block again later",
       "block;x\nА;1\nБ;2\nа;3",
       {},
       "Строка 4: блок «а» уже был выше, а строки блока должны идти подряд"},
      {"individual sample of 201",
       Rows("sample;x", 201, [](int) { return std::string("s;1"); }),
       {.individual = true},
       "Строка 202: в выборке «s» больше 200 точек"},
      {"sample size 201", "x\n1", {.individual = true, .sampleSize = 201}, "Объём выборки 201 (допустимо от 1 до 200)"},
      {"negative sample size", "x\n1", {.sampleSize = -1}, "Объём выборки -1 (допустимо от 1 до 200)"},
      {"sample size and labels",
       "sample;x\n1;1",
       {.individual = true, .sampleSize = 5},
       "Объём выборки задан, а выборки уже размечены столбцом sample"},
      {"sample size of attributes",
       "size;n\n5;1",
       {.sampleSize = 5, .attributes = {units}},
       "Объём выборки не задаётся альтернативным данным: каждая строка - выборка"},
      {"tolerance of no column",
       "x\n1",
       {.tolerances = {{"y", 1.0, 2.0, {}}}},
       "Допуск задан для столбца «y», которого в таблице нет"},
      {"tolerance of the date",
       "date;x\n01.01.2024;1",
       {.tolerances = {{"date", 1.0, 2.0, {}}}},
       "Допуск задан для столбца «date», которого в таблице нет"},
      {"USL below LSL",
       "x\n1",
       {.tolerances = {{"x", 2.5, 1.0, {}}}},
       "Допуск «x»: верхняя граница 1 не больше нижней 2.5"},
      {"USL equal LSL",
       "x\n1",
       {.tolerances = {{"x", 1.0, 1.0, {}}}},
       "Допуск «x»: верхняя граница 1 не больше нижней 1"},
      {"no bound", "x\n1", {.tolerances = {{"x", {}, {}, 1.0}}}, "Допуск «x»: не задана ни одна граница"},
      {"decimals of no column",
       "x\n1",
       {.decimals = {{"y", 2}}},
       "Число знаков задано для столбца «y», которого в таблице нет"},
      {"six decimals", "x\n1", {.decimals = {{"x", 6}}}, "Число знаков «x»: 6 (допустимо от 0 до 5)"},
      {"unit of no column", "x\n1", {.units = {{"y", "мм"}}}, "Единица задана для столбца «y», которого в таблице нет"},
      {"attribute of no column",
       "size;n\n5;1",
       {.attributes = {{"m", AttrType::Units}}},
       "Альтернативный параметр «m»: такого столбца в таблице нет"},
      {"quantitative column among attributes",
       "size;n;x\n5;1;2",
       {.attributes = {units}},
       "Столбец «x» не назван альтернативным параметром, а в альтернативном блоке все параметры альтернативные"},
      {"attributes without size",
       "n\n1",
       {.attributes = {units}},
       "Нет столбца size: у альтернативных данных каждая выборка имеет объём"},
      {"attribute label again",
       "sample;size;n\nП-1;5;1\nП-2;5;0\n\nП-1;5;2",
       {.attributes = {units}},
       "Строка 5: выборка «П-1» уже была в строке 2, а у альтернативных данных каждая строка - выборка"},
      {"attribute label in a row",
       "block;sample;size;n\nА;1;5;1\nБ;1;5;0\nБ;1;5;2",
       {.attributes = {units}},
       "Строка 4: выборка «1» уже была в строке 3, а у альтернативных данных каждая строка - выборка"},
      {"attributes individual",
       "size;n\n5;1",
       {.individual = true, .attributes = {units}},
       "Индивидуальные значения бывают только у количественных данных"},
      {"attributes with tolerance",
       "size;n\n5;1",
       {.tolerances = {{"n", 0.0, 1.0, {}}}, .attributes = {units}},
       "Допуск и число знаков задаются только количественным параметрам"},
      {"zero size",
       "size;n\n0;0",
       {.attributes = {units}},
       "Строка 2, столбец «size»: «0» - не целое число от 1 до 32767"},
      {"no size", "size;n\n;0", {.attributes = {units}}, "Строка 2, столбец «size»: нет объёма выборки"},
      {"fractional count",
       "size;n\n5;1,5",
       {.attributes = {units}},
       "Строка 2, столбец «n»: «1,5» - не целое неотрицательное число"},
      {"negative count",
       "size;n\n5;-1",
       {.attributes = {units}},
       "Строка 2, столбец «n»: «-1» - не целое неотрицательное число"},
      {"more units than inspected",
       "size;n\n5;6",
       {.attributes = {units}},
       "Строка 2, столбец «n»: несоответствующих единиц 6 больше объёма выборки 5"},
      {"1001 samples",
       Rows("x", 1001, [](int i) { return std::to_string(i); }),
       {},
       "Строка 1002: в блоке «Блок 1» больше 1000 выборок"},
      {"201 points",
       Rows("sample;x", 201, [](int) { return std::string("s;1"); }),
       {},
       "Строка 202: в выборке «s» больше 200 точек"},
      {"201 blocks",
       Rows("block;x", 201, [](int i) { return std::to_string(i) + ";1"; }),
       {},
       "Строка 202: блоков больше 200"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    const auto result = Build(c.csv, c.options);
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(result.error, c.error);
  }
  // What may come right up to a limit does: a nonconformity count above the size, 20
  // parameters, 1000 samples.
  const TableAttribute defects{"n", AttrType::Nonconformities};
  EXPECT_TRUE(Build("size;n\n5;6", {.attributes = {defects}}).Ok());
  EXPECT_TRUE(Build(twentyOne.substr(0, twentyOne.find(";p21")) + "\n1").Ok());
  EXPECT_TRUE(Build(Rows("x", 1000, [](int i) { return std::to_string(i); })).Ok());
}

}  // namespace
}  // namespace mv
