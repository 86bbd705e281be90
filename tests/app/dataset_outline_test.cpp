#include "app/dataset_outline.h"

#include <gtest/gtest.h>

#include "support/fake_platform.h"
#include "support/sample_dataset.h"

namespace mv {
namespace {

using Rows = std::vector<std::vector<std::string>>;

TEST(DatasetOutline, ParametersByKindAndOrderNumberThenBlocks) {
  test::FakePlatform fake;
  const auto ds = test::SampleDataset();
  const auto outline = DatasetOutline(*ds);
  EXPECT_EQ(outline[0].title, "Параметры (3)");
  // "Брак" is the second parameter of the dataset but the first alternative one.
  EXPECT_EQ(outline[0].rows, (Rows{
                                 {"1", "Диаметр", "мм", "номинал 10.00, от 9.90 до 10.10", "количественный"},
                                 {"2", "Длина", "мм", "до 50.50", "количественный"},
                                 {"1", "Брак", "", "", "альтернативный"},
                             }));
  EXPECT_EQ(outline[1].title, "Блоки (2)");
  EXPECT_EQ(outline[1].rows, (Rows{
                                 {"1", "Смена 1", "3 выборки", "01.03.2024 08:00 - 03.03.2024 16:30", "количественный"},
                                 {"2", "Смена 2", "0 выборок", "", "альтернативный"},
                             }));
}

TEST(DatasetOutline, TitleAndTabNameTheFile) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  EXPECT_EQ(MainWindowTitle(nullptr), "Morvalen " MV_VERSION);
  EXPECT_EQ(MainWindowTitle(&ds), "Morvalen " MV_VERSION);  // no file yet
  ds.fileName = "/данные/цех 2/вал.mvl";
  EXPECT_EQ(MainWindowTitle(&ds), "Morvalen " MV_VERSION " - /данные/цех 2/вал.mvl");
  EXPECT_EQ(DatasetTabText(ds), "вал.mvl");
}

}  // namespace
}  // namespace mv
