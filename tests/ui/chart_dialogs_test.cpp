#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "support/fake_platform.h"
#include "ui/chart_options_dialog.h"
#include "ui/criteria_dialog.h"
#include "ui/histogram_options_dialog.h"
#include "ui/parameter_choice_dialog.h"
#include "ui/print_caption_dialog.h"
#include "ui/sample_range_dialog.h"
#include "ui_test_app.h"

namespace mv {
namespace {

template <class W>
W* Child(QWidget& parent, const char* name) {
  W* w = parent.findChild<W*>(name);
  EXPECT_NE(w, nullptr) << name;
  return w;
}

class ChartDialogs : public ::testing::Test {
 protected:
  void SetUp() override { test::UiApp(); }
  test::FakePlatform m_fake;
};

TEST_F(ChartDialogs, CriteriaGridIsEditedOnlyUnderTheCustomSet) {
  ui::CriteriaDialog dialog(ChartKind::Mean, TCriteriaChoice{});
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "Критерии наличия особых причин для контрольной карты");
  auto* grid = Child<QTableWidget>(dialog, "grid");
  auto* sets = Child<QComboBox>(dialog, "sets");
  ASSERT_TRUE(grid && sets);
  EXPECT_EQ(grid->rowCount(), 10);
  EXPECT_EQ(grid->horizontalHeaderItem(4)->text(), " ГОСТ Р 7870-2");
  EXPECT_EQ(grid->item(1, 1)->text(), " C2: 7 точек подряд по одну сторону от центральной линии");
  EXPECT_FALSE(grid->isEnabled());
  bool captionFound = false;
  for (QLabel* label : dialog.findChildren<QLabel*>()) {
    if (label->text() == "Изменение применяемых критериев возможно только для набора \"Произвольный  выбор\"") {
      captionFound = true;
      EXPECT_FALSE(label->isEnabled());
    }
  }
  EXPECT_TRUE(captionFound);
  sets->setCurrentIndex(4);  // "Произвольный выбор"
  EXPECT_TRUE(grid->isEnabled());
  grid->scrollToItem(grid->item(9, 1));
  QApplication::processEvents();
  const QRect cell = grid->visualItemRect(grid->item(9, 1));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
  QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(grid->item(9, 0)->text(), "✓");
  Child<QCheckBox>(dialog, "flag32")->setChecked(true);
  const TCriteriaChoice result = dialog.Result();
  EXPECT_EQ(result.set, 5);
  EXPECT_EQ(result.mask, CriterionBit(1) | CriterionBit(2) | CriterionBit(3) | CriterionBit(10));
  EXPECT_EQ(result.display, criteria_display::kSeriesLines | criteria_display::kZones);
}

TEST_F(ChartDialogs, ChartOptionsEditEveryField) {
  TChartOptions options;
  ui::ChartOptionsDialog dialog(options, ChartKind::Mean);
  dialog.show();
  Child<QCheckBox>(dialog, "conclusion")->setChecked(false);
  Child<QCheckBox>(dialog, "regulation")->setChecked(true);
  Child<QCheckBox>(dialog, "histogramCounts")->setChecked(true);
  Child<QCheckBox>(dialog, "boxLevels")->setChecked(true);
  Child<QSpinBox>(dialog, "span")->setValue(5);
  Child<QRadioButton>(dialog, "uScale2")->click();
  Child<QRadioButton>(dialog, "langEn")->click();
  EXPECT_EQ(Child<QRadioButton>(dialog, "pScale1")->text(), "Процент");
  EXPECT_EQ(Child<QLabel>(dialog, "criteriaText")->text(), "Руководство SPC, 1 издание (1992)");
  TChartOptions expected;
  expected.conclusion = false;
  expected.regulationLimits = true;
  expected.histogramCounts = true;
  expected.boxPlotOptions = 7;
  expected.span = 5;
  expected.uScale = AttrScale::Ppm;
  expected.language = Lang::En;
  EXPECT_EQ(dialog.Result(), expected);
}

TEST_F(ChartDialogs, HistogramOptionsKeepTheDialogOpenOnAWrongSigmaLevel) {
  HistogramOptions options;
  ui::HistogramOptionsDialog dialog(options, {});
  dialog.show();
  EXPECT_EQ(Child<QLabel>(dialog, "statisticsChoice")->text(), "Статистика:  4 показателя");
  auto* indicators = Child<QListWidget>(dialog, "indicators");
  // The catalogue's columns for quantitative data, by their long names in the editor's order.
  ASSERT_EQ(indicators->count(), 18);
  EXPECT_EQ(indicators->item(0)->text(), "Порядковый номер");
  EXPECT_EQ(indicators->item(5)->text(), "Ср.значение по выборкам");
  EXPECT_EQ(indicators->item(5)->data(Qt::UserRole).toInt(), 8);
  EXPECT_EQ(indicators->item(13)->text(), "Индекс Cm");
  indicators->item(0)->setCheckState(Qt::Checked);
  EXPECT_EQ(Child<QLabel>(dialog, "statisticsChoice")->text(), "Статистика:  5 показателей");
  auto* level = Child<QLineEdit>(dialog, "sigmaLevel");
  const struct {
    const char* typed;
    bool accepted;
  } kCases[] = {{"0", false}, {"10", false}, {"2.5", false}, {"", false}, {"6", true}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.typed);
    level->setText(QString::fromUtf8(c.typed));
    m_fake.messages.shown.clear();
    dialog.setResult(QDialog::Rejected);
    dialog.accept();
    EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted);
    EXPECT_EQ(m_fake.messages.Texts().size(), c.accepted ? 0U : 1U);
    if (!c.accepted) {
      EXPECT_EQ(m_fake.messages.Texts()[0], "Неверно указан уровень сигма (целые числа от 1 до 9)");
    }
  }
  EXPECT_EQ(dialog.Result().sigmaLevel, 6);
  EXPECT_EQ(dialog.Result().indicators, (std::vector<std::uint8_t>{7, 14, 15, 22, 1}));
}

TEST_F(ChartDialogs, ParameterChoiceAndSampleRange) {
  TDatasetSPC ds;
  ds.processName = "Линия";
  TSPCParameter d;
  d.name = "Диаметр";
  ASSERT_EQ(ds.SetParameter(0, 0, d), 1);
  TSPCParameter a;
  a.kind = DataKind::Attr;
  a.name = "Брак";
  ASSERT_EQ(ds.SetParameter(0, 0, a), 2);
  const int b = ds.AddBlock(0, "Блок 1", SamplingMode::Samples, 0, 0, DataKind::Var, "", "");
  for (int s = 0; s < 4; ++s) ASSERT_TRUE(ds.Block(b)->AddSample("", "", true));

  ui::ParameterChoiceDialog choice(ds, ChartKind::P, std::nullopt, {});
  auto* list = Child<QListWidget>(choice, "parameters");
  ASSERT_EQ(list->count(), 1);
  EXPECT_EQ(list->item(0)->text(), "Брак  (признак)");
  choice.accept();  // nothing checked: said, and the dialog stays
  EXPECT_EQ(m_fake.messages.Texts(), std::vector<std::string>{"Не выбран ни один параметр"});
  EXPECT_NE(choice.result(), QDialog::Accepted);
  list->item(0)->setCheckState(Qt::Checked);
  choice.accept();
  EXPECT_EQ(choice.result(), QDialog::Accepted);
  EXPECT_EQ(choice.Chosen(), std::vector<int>{2});
  m_fake.messages.shown.clear();
  EXPECT_FALSE(ui::ParameterChoiceDialog::Choose(ds, ChartKind::C, std::nullopt, {}, nullptr));
  EXPECT_EQ(m_fake.messages.Texts().at(0).rfind("В текущем наборе нет ни одного параметра", 0), 0U);

  ui::SampleRangeDialog range(ds, DataKind::Var, b);
  range.show();
  auto* blocks = Child<QComboBox>(range, "blocks");
  EXPECT_EQ(blocks->itemText(0), "Все блоки (1)");
  EXPECT_EQ(blocks->currentIndex(), 1);
  EXPECT_EQ(Child<QRadioButton>(range, "all")->text(), "все (4 шт.)");
  Child<QRadioButton>(range, "range")->click();
  Child<QLineEdit>(range, "from")->setText("3");
  Child<QLineEdit>(range, "to")->setText("9");
  m_fake.messages.shown.clear();
  range.accept();
  EXPECT_NE(range.result(), QDialog::Accepted);
  EXPECT_EQ(m_fake.messages.Texts(), std::vector<std::string>{"Номера выборок указаны неверно"});
  Child<QLineEdit>(range, "to")->setText("4");
  range.accept();
  ASSERT_TRUE(range.Result());
  EXPECT_EQ(range.Result()->from, 3);
  EXPECT_EQ(range.Result()->to, 4);

  ui::PrintCaptionDialog print(ui::PrintCaptionDialog::Kind::Chart, {"Цех", "", false});
  EXPECT_EQ(print.windowTitle(), "Настройки печати контрольной карты");
  Child<QLineEdit>(print, "caption")->setText("Проверил");
  Child<QCheckBox>(print, "gost")->setChecked(true);
  const ui::PrintTexts texts = print.Result();
  EXPECT_EQ(texts.header, "Цех");
  EXPECT_EQ(texts.caption, "Проверил");
  EXPECT_TRUE(texts.gostForm);
  ui::PrintCaptionDialog histogram(ui::PrintCaptionDialog::Kind::Histogram, {});
  EXPECT_EQ(histogram.windowTitle(), "Печать гистограммы");
  EXPECT_EQ(histogram.findChild<QCheckBox*>("gost"), nullptr);
}

}  // namespace
}  // namespace mv
