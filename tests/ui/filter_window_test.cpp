// The filter window, the condition window and the dataset window's filter commands forward to
// their logic: the buttons follow it, OK writes the filter and renews the dataset's marks.

#include "ui/filter_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "spc/sample_filter.h"
#include "support/fake_platform.h"
#include "support/sample_dataset.h"
#include "ui/chart_window.h"
#include "ui/condition_window.h"
#include "ui/dataset_window.h"
#include "ui_test_app.h"

namespace mv {
namespace {

class FilterWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { test::UiApp(); }

  template <class W>
  static W* Child(QWidget& d, const char* name) {
    W* w = d.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }

  test::FakePlatform m_fake;
  std::unique_ptr<TDatasetSPC> m_ds = test::SampleDataset();
};

TEST_F(FilterWindowTest, ConditionWindowShowsTheLogicsMessageAndStoresTheCondition) {
  ConditionWindowLogic logic(*m_ds, DataKind::Var);
  std::vector<std::string> values = {"10,05"};
  ui::ConditionWindow window(logic, &values);
  window.show();
  EXPECT_EQ(window.windowTitle(), "Добавление условия фильтра SPC");
  auto* property = Child<QComboBox>(window, "cbProperty");
  auto* condition = Child<QComboBox>(window, "cbCondition");
  auto* value = Child<QComboBox>(window, "cbValue");
  auto* matchCase = Child<QCheckBox>(window, "chkCase");
  auto* note = Child<QLabel>(window, "lblIntervalNote");
  ASSERT_TRUE(property && condition && value && matchCase && note);
  EXPECT_EQ(property->currentText(), "Примечание");
  EXPECT_TRUE(matchCase->isVisible());
  EXPECT_EQ(value->count(), 1);
  property->setCurrentIndex(4);  // Диаметр
  EXPECT_FALSE(matchCase->isVisible());
  condition->setCurrentIndex(filter_cond::kInterval - 1);
  EXPECT_TRUE(note->isVisible());
  EXPECT_EQ(note->text(), "Граничные значения разделяются символами \"..\".");
  value->setEditText("5..3");
  QTest::keyClick(value, Qt::Key_Return);
  ASSERT_EQ(m_fake.messages.Texts(), std::vector<std::string>{"Второе значение в интервале должно быть больше первого"});
  EXPECT_TRUE(window.isVisible());
  value->setEditText("9,98..10,02");
  QTest::keyClick(value, Qt::Key_Return);
  EXPECT_EQ(window.result(), QDialog::Accepted);
  EXPECT_EQ(logic.Result().paramId, m_ds->Parameter(1)->id);
  EXPECT_EQ(logic.Result().valueCount, 2);
  EXPECT_EQ(values, (std::vector<std::string>{"9,98..10,02", "10,05"}));
}

TEST_F(FilterWindowTest, ButtonsFollowTheLogicAndOkRefilters) {
  std::vector<std::string> names = {"Прежний"};
  ui::FilterWindow window(*m_ds, DataKind::Var, &names, nullptr);
  window.show();
  EXPECT_EQ(window.windowTitle(), "Фильтр SPC (количественные данные)");
  auto* active = Child<QCheckBox>(window, "chkActive");
  auto* table = Child<QTableWidget>(window, "tblConditions");
  auto* status = Child<QLabel>(window, "lblStatus");
  auto* name = Child<QComboBox>(window, "cbName");
  QPushButton* buttons[] = {Child<QPushButton>(window, "btnAdd"), Child<QPushButton>(window, "btnChange"),
                            Child<QPushButton>(window, "btnDelete"), Child<QPushButton>(window, "btnUp"),
                            Child<QPushButton>(window, "btnDown")};
  ASSERT_TRUE(active && table && status && name);
  const auto enabled = [&] {
    std::string e;
    for (QPushButton* b : buttons) e += b->isEnabled() ? '1' : '0';
    return e;
  };
  for (QPushButton* b : buttons) EXPECT_TRUE(b->text().contains('&')) << b->text().toStdString();
  EXPECT_EQ(table->horizontalHeaderItem(3)->text(), " Значение");
  EXPECT_EQ(status->text(), "Добавьте условия фильтра");
  EXPECT_EQ(enabled(), "10000");

  // The condition window is scripted: each Add gives the next of these.
  std::vector<std::pair<int, std::string>> script = {{4, "10"}, {2, "брак"}, {0, "01.03.2024"}};
  std::size_t next = 0;
  window.editCondition = [&](ConditionWindowLogic& logic) {
    logic.SetPropertyIndex(script[next].first);
    logic.SetCondition(script[next].first == 4 ? filter_cond::kGreater : filter_cond::kNotContains);
    if (script[next].first == 0) logic.SetCondition(filter_cond::kGreaterOrEqual);
    logic.SetText(script[next].second);
    ++next;
    return logic.Accept().empty();
  };
  for (int i = 0; i < 3; ++i) QTest::mouseClick(buttons[0], Qt::LeftButton);
  ASSERT_EQ(table->rowCount(), 3);
  EXPECT_EQ(table->item(0, 1)->text(), "Параметр - Диаметр");
  EXPECT_EQ(table->item(1, 2)->text(), "Не содержит");
  EXPECT_EQ(enabled(), "11111");
  EXPECT_EQ(status->text(), "Фильтр может применяться");
  // Space on the table switches the current condition off, as a double click on its mark does.
  table->setFocus();
  table->selectRow(2);
  QTest::keyClick(table, Qt::Key_Space);
  EXPECT_EQ(table->item(2, 0)->text(), "");
  QTest::mouseClick(buttons[3], Qt::LeftButton);  // up
  EXPECT_EQ(table->item(1, 3)->text(), "01.03.2024");
  EXPECT_EQ(table->item(1, 0)->text(), "");
  EXPECT_EQ(table->currentRow(), 1);
  name->setEditText("  Смена 1  ");
  test::SaveScreenshot(window, "filter_window.png");

  active->setChecked(false);
  EXPECT_EQ(enabled(), "00000");
  EXPECT_FALSE(name->isEnabled());
  active->setChecked(true);
  QTest::keyClick(&window, Qt::Key_Escape);
  EXPECT_EQ(window.result(), QDialog::Rejected);
  EXPECT_FALSE(ReadFilter(*m_ds, DataKind::Var).InForce());  // Escape changed nothing

  window.show();
  window.accept();
  const SampleFilter stored = ReadFilter(*m_ds, DataKind::Var);
  EXPECT_EQ(stored.name, "Смена 1");
  EXPECT_EQ(FilterDescription(stored), "act=Y, name=\"Смена 1\", #cond=3, #actcond=2");
  EXPECT_EQ(names.front(), "Смена 1");
  EXPECT_EQ(m_ds->Block(1)->stats.countedPoints, 9);  // diameters above 10: three of five
}

TEST_F(FilterWindowTest, DatasetWindowCommandsShowTheFilterInForce) {
  ui::TfrmDatasetSPC page(*m_ds, {}, {});
  QPushButton* var = page.FilterButton(DataKind::Var);
  QPushButton* attr = page.FilterButton(DataKind::Attr);
  ASSERT_TRUE(var && attr);
  EXPECT_EQ(var->text(), "Фильтр SPC (&количественные данные)");
  EXPECT_EQ(attr->text(), "Фильтр SPC (&альтернативные данные)");
  EXPECT_FALSE(var->isChecked());
  EXPECT_EQ(var->toolTip(), " Фильтр (неактивен) ");
  int changed = 0;
  QObject::connect(&page, &ui::TfrmDatasetSPC::DerivedDataChanged, [&changed] { ++changed; });
  test::WhenModal([](QWidget* modal) {
    auto* window = dynamic_cast<ui::FilterWindow*>(modal);
    ASSERT_NE(window, nullptr);
    ConditionWindowLogic logic(window->Logic().Dataset(), DataKind::Var);
    logic.SetText("брак");
    logic.SetCondition(filter_cond::kNotContains);
    ASSERT_EQ(logic.Accept(), "");
    window->Logic().Add(logic.Result());
    window->Logic().SetName("Годные");
    window->findChild<QComboBox*>("cbName")->setEditText("Годные");
    QTest::keyClick(modal, Qt::Key_Return);
  });
  test::RunInEventLoop([&] { QTest::mouseClick(var, Qt::LeftButton); });
  EXPECT_EQ(changed, 1);
  EXPECT_TRUE(var->isChecked());
  EXPECT_EQ(var->toolTip(), " Фильтр \"Годные\" ");
  EXPECT_TRUE(m_ds->IsChanged());
}

TEST_F(FilterWindowTest, OkRebuildsTheOpenChartsOfTheDataset) {
  QWidget main;
  ui::TfrmDatasetSPC page(*m_ds, {}, {}, &main);
  ui::ChartWindow* chart =
      ui::ChartWindow::Open(*m_ds, {m_ds.get(), {1}, true, 1, 1}, ChartKind::Mean, ChartKind::Range, {1}, &main);
  ASSERT_NE(chart, nullptr);
  EXPECT_EQ(chart->Logic().Chart(1)->data.activeCount, 3u);
  test::WhenModal([](QWidget* modal) {
    auto* window = dynamic_cast<ui::FilterWindow*>(modal);
    ASSERT_NE(window, nullptr);
    ConditionWindowLogic logic(window->Logic().Dataset(), DataKind::Var);
    logic.SetPropertyIndex(0);  // the date: the first sample, of 01.03.2024, fails
    logic.SetCondition(filter_cond::kGreaterOrEqual);
    logic.SetText("02.03.2024");
    ASSERT_EQ(logic.Accept(), "");
    window->Logic().Add(logic.Result());
    QTest::keyClick(modal, Qt::Key_Return);
  });
  test::RunInEventLoop([&] { EXPECT_TRUE(page.EditFilter(DataKind::Var)); });
  EXPECT_EQ(chart->Logic().Chart(1)->data.activeCount, 2u);
  delete chart;
}

}  // namespace
}  // namespace mv
