#include "app/dataset_outline.h"

#include <gtest/gtest.h>

#include "support/fake_platform.h"
#include "support/sample_dataset.h"

namespace mv {
namespace {

using Rows = std::vector<std::vector<std::string>>;

TEST(DatasetOutline, ProcessTextsParametersByKindAndOrderNumberThenBlocks) {
  test::FakePlatform fake;
  const auto ds = test::SampleDataset("Токарная обработка");
  ds->operation = "  ";  // blank texts are left out
  const DatasetOutlineData data = DatasetOutline(*ds);
  EXPECT_EQ(data.process, (std::vector<std::pair<std::string, std::string>>{{"Процесс", "Токарная обработка"}}));
  EXPECT_EQ(data.parameters.title, "Параметры (3)");
  // "Брак" is the second parameter of the dataset but the first alternative one.
  EXPECT_EQ(data.parameters.rows, (Rows{
                                      {"1", "Диаметр", "количественный", "мм", "2", "номинал 10.00, от 9.90 до 10.10"},
                                      {"2", "Длина", "количественный", "мм", "2", "до 50.50"},
                                      {"1", "Брак", "альтернативный", "", "2", ""},
                                  }));
  EXPECT_EQ(data.blocks.title, "Блоки (2)");
  EXPECT_EQ(data.blocks.rows, (Rows{
                                  {"1", "Смена 1", "3", "15", "01.03.2024 08:00", "03.03.2024 16:30"},
                                  {"2", "Смена 2", "0", "0", "", ""},
                              }));
  for (const OutlineTable* table : {&data.parameters, &data.blocks}) {
    for (const auto& row : table->rows) EXPECT_EQ(row.size(), table->columns.size());
  }
}

TEST(DatasetOutline, AnExampleIsMarkedAfterTheType) {
  test::FakePlatform fake;
  const auto ds = test::SampleDataset();
  EXPECT_EQ(DatasetOutline(*ds).type, "Набор данных SPC");
  ds->accessFlags |= access_flag::kExample;
  EXPECT_EQ(DatasetOutline(*ds).type, "Набор данных SPC (пример)");
  ds->SetNewIdentifier();  // no longer an example
  EXPECT_EQ(DatasetTypeText(*ds), "Набор данных SPC");
}

TEST(DatasetOutline, TitleAndTabNameTheDataset) {
  EXPECT_EQ(MainWindowTitle(""), "Morvalen " MV_VERSION);
  EXPECT_EQ(MainWindowTitle("Новый SPC 1"), "Morvalen " MV_VERSION " - Новый SPC 1");
  EXPECT_EQ(MainWindowTitle("/данные/цех 2/вал.mvl"), "Morvalen " MV_VERSION " - /данные/цех 2/вал.mvl");
  EXPECT_EQ(DatasetTabText("/данные/цех 2/вал.mvl"), "вал.mvl");
  EXPECT_EQ(DatasetTabText("Новый SPC 1"), "Новый SPC 1");
}

}  // namespace
}  // namespace mv
