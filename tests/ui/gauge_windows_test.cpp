#include "ui/gauge_windows.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "support/fake_platform.h"
#include "mnemonics.h"
#include "ui_test_app.h"

namespace mv {
namespace {

template <class W>
W* Child(QWidget* parent, const char* name) {
  W* w = parent->findChild<W*>(QLatin1String(name));
  EXPECT_NE(w, nullptr) << name;
  return w;
}


class GaugeWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UiApp();
    ASSERT_TRUE(gages.AddNew());
    gages.Item(1)->name = "Калибр";
    gages.Item(1)->serialNumber = "К-17";
    gages.Item(1)->connectionType = 0;
    ASSERT_TRUE(gages.AddNew());
    TGage& m = *gages.Item(2);
    m.name = "Микрометр";
    m.fullName = "Микрометр гладкий МК-25";
    m.serialNumber = "042118";
    m.unit = "мм";
    m.decimals = 3;
    m.range.Set(0, 0.0, 25.0, std::nullopt);
    m.transmissionStart = 2;
    m.note = "Цех 3, участок контроля";
    ASSERT_TRUE(gages.AddNew());
    TGage& w = *gages.Item(3);
    w.name = "Штангенциркуль";
    w.unit = "мм";
    w.range.Set(1, 0.0, 150.0, std::nullopt);
    w.connectionType = 2;
    w.deviceId = "SC-150";
    gages.MarkSynced();
  }

  test::FakePlatform fake;
  TGageSet gages;
};

TEST_F(GaugeWindows, EditorHidesTheConnectionFieldsOfAnUnconnectedGaugeAndAddsItWithEnter) {
  ui::GageEditorDialog dialog(gages, 0);
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "Создание средства измерения");
  auto* connection = Child<QComboBox>(&dialog, "cmbConnection");
  auto* panel = Child<QWidget>(&dialog, "pnlConnection");
  ASSERT_TRUE(connection && panel);
  EXPECT_EQ(connection->currentText(), "Беспроводное");
  EXPECT_TRUE(panel->isVisible());
  EXPECT_EQ(Child<QComboBox>(&dialog, "cmbFormat")->currentText(), "Data + Enter");
  connection->setCurrentIndex(0);
  EXPECT_FALSE(panel->isVisible());

  Child<QLineEdit>(&dialog, "edtName")->setText(QStringLiteral("Щуп"));
  QTest::keyClicks(Child<QLineEdit>(&dialog, "edtMinimum"), "0,05");
  QTest::keyClicks(Child<QLineEdit>(&dialog, "edtMaximum"), "1");
  QTest::keyClick(Child<QLineEdit>(&dialog, "edtMaximum"), Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  ASSERT_EQ(gages.Count(), 4);
  EXPECT_EQ(gages.Item(4)->connectionType, 0);
  EXPECT_EQ(gages.Item(4)->range.Get(ValueRange::kLower), 0.05);
  EXPECT_EQ(gages.Item(4)->range.Get(ValueRange::kUpper), 1.0);
  EXPECT_TRUE(fake.log.lines.back().starts_with("Add gage #4: name=\"Щуп\""));
}

TEST_F(GaugeWindows, EditorStaysOpenOnARefusalAndEscapeLeavesTheGaugeAsItWas) {
  ui::GageEditorDialog dialog(gages, 2);
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "Изменение средства измерения (2/3)");
  EXPECT_EQ(Child<QComboBox>(&dialog, "cmbStart")->currentText(), "Автоматически");
  auto* minimum = Child<QLineEdit>(&dialog, "edtMinimum");
  minimum->setText("25");
  dialog.accept();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(fake.messages.Texts(), std::vector<std::string>{"Максимальный предел измерения должен быть больше минимального"});
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(gages.Item(2)->range.Get(ValueRange::kLower), 0.0);
  EXPECT_TRUE(fake.log.lines.empty());
}

TEST_F(GaugeWindows, ListShowsTheGaugesDeletesAndLogsWhenClosed) {
  ui::GageListWindow window(gages, false, 0);
  window.show();
  EXPECT_EQ(window.windowTitle(), "Средства измерений, подключаемые к компьютеру");
  auto* table = Child<QTableWidget>(&window, "tblGages");
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(Child<QLabel>(&window, "lblCaption")->text(), "Средства измерений (3):");
  ASSERT_EQ(table->rowCount(), 3);
  EXPECT_EQ(table->horizontalHeaderItem(4)->text(), " Пределы измерения");
  EXPECT_EQ(table->item(1, 4)->text(), "от 0 до 25");
  EXPECT_EQ(table->item(1, 5)->text(), "Беспроводное (автоматически)");
  EXPECT_EQ(table->item(0, 5)->text(), "Без подключения");
  test::SaveScreenshot(window, "gauge_list.png");

  table->setCurrentCell(0, 0);
  fake.messages.answers.push_back(true);
  QTest::mouseClick(Child<QPushButton>(&window, "btnDelete"), Qt::LeftButton);
  EXPECT_EQ(fake.messages.shown.back().text, "Вы действительно желаете удалить средство измерений \"Калибр\" ?");
  EXPECT_EQ(table->rowCount(), 2);
  EXPECT_EQ(Child<QLabel>(&window, "lblCaption")->text(), "Средства измерений (2):");
  QTest::keyClick(&window, Qt::Key_Escape);
  EXPECT_TRUE(gages.IsModified());
  EXPECT_EQ(fake.log.lines.front(), "Open gages: #gages=3");
  EXPECT_EQ(fake.log.lines.back(), "Gages changed: #gages=2");
}

TEST_F(GaugeWindows, ListAddsThroughTheEditorAndSelectModeReturnsTheChosenPosition) {
  ui::GageListWindow window(gages, false, 0);
  window.show();
  test::WhenModal([](QWidget* editor) {
    editor->findChild<QLineEdit*>("edtName")->setText(QStringLiteral("Нутромер"));
    QTest::keyClick(editor->findChild<QLineEdit*>("edtName"), Qt::Key_Return);
  });
  QTest::mouseClick(Child<QPushButton>(&window, "btnAdd"), Qt::LeftButton);
  auto* table = Child<QTableWidget>(&window, "tblGages");
  EXPECT_EQ(table->rowCount(), 4);
  EXPECT_EQ(table->currentRow(), 3);
  EXPECT_EQ(gages.Item(4)->name, "Нутромер");
  window.reject();

  int position = 0;
  test::WhenModal([](QWidget* list) {
    auto* buttons = list->findChild<QDialogButtonBox*>("buttons");
    EXPECT_EQ(buttons->button(QDialogButtonBox::Ok)->text(), "&Выбор");
    EXPECT_EQ(list->findChild<QTableWidget*>("tblGages")->currentRow(), 2);  // opens on the given gauge
    list->findChild<QTableWidget*>("tblGages")->setCurrentCell(1, 0);
    QTest::keyClick(list, Qt::Key_Return);
  });
  EXPECT_TRUE(ui::GageListWindow::Run(gages, true, gages.Item(3)->id, position, nullptr));
  EXPECT_EQ(position, 2);
}

TEST_F(GaugeWindows, ProfileEditorChoosesTheGaugeInTheListAndShowsIt) {
  TInputProfileSet profiles;
  ASSERT_TRUE(profiles.AddDefaultProfile());
  ui::ProfileEditorDialog dialog(profiles, gages, 0);
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "Создание профиля ввода данных");
  auto* panel = Child<QWidget>(&dialog, "pnlGage");
  EXPECT_FALSE(panel->isVisible());
  Child<QLineEdit>(&dialog, "edtName")->setText(QStringLiteral("Микрометр"));
  Child<QComboBox>(&dialog, "cmbSource")->setCurrentIndex(1);
  EXPECT_TRUE(panel->isVisible());
  EXPECT_EQ(Child<QLabel>(&dialog, "lblGageName")->text(), " <не выбрано>");
  dialog.accept();
  EXPECT_EQ(fake.messages.Texts().back(), "Не выбрано средство измерения");

  test::WhenModal([](QWidget* list) {
    list->findChild<QTableWidget*>("tblGages")->setCurrentCell(1, 0);
    QTest::keyClick(list, Qt::Key_Return);
  });
  QTest::mouseClick(Child<QPushButton>(&dialog, "btnChooseGage"), Qt::LeftButton);
  EXPECT_EQ(Child<QLabel>(&dialog, "lblGageName")->text(), "Микрометр");
  EXPECT_EQ(Child<QLabel>(&dialog, "lblGageDetails")->text(),
            "Пределы измерения:  от 0 до 25 мм\nПодключение:  Беспроводное (автоматически)");
  QTest::keyClick(Child<QLineEdit>(&dialog, "edtName"), Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  ASSERT_EQ(profiles.Count(), 2);
  EXPECT_EQ(profiles.Item(2)->gageId, gages.Item(2)->id);
}

TEST_F(GaugeWindows, ProfilePageAddsAndDeletesButKeepsTheLastProfile) {
  TInputProfileSet profiles;
  ASSERT_TRUE(profiles.AddDefaultProfile());
  ui::ProfileListPage page(profiles, gages);
  page.show();
  auto* table = Child<QTableWidget>(&page, "tblProfiles");
  auto* remove = Child<QPushButton>(&page, "btnDeleteProfile");
  EXPECT_EQ(Child<QLabel>(&page, "lblProfilesCaption")->text(), "Профили ввода исходных данных (1):");
  EXPECT_EQ(table->horizontalHeaderItem(2)->text(), " Способ ввода");
  EXPECT_EQ(table->item(0, 2)->text(), "Клавиатура");
  EXPECT_FALSE(remove->isEnabled());

  test::WhenModal([](QWidget* editor) {
    editor->findChild<QLineEdit*>("edtName")->setText(QStringLiteral("Второй"));
    QTest::keyClick(editor->findChild<QLineEdit*>("edtName"), Qt::Key_Return);
  });
  QTest::mouseClick(Child<QPushButton>(&page, "btnAddProfile"), Qt::LeftButton);
  EXPECT_EQ(table->rowCount(), 2);
  EXPECT_EQ(Child<QLabel>(&page, "lblProfilesCaption")->text(), "Профили ввода исходных данных (2):");
  EXPECT_EQ(table->currentRow(), 1);
  EXPECT_TRUE(remove->isEnabled());
  fake.messages.answers.push_back(true);
  QTest::mouseClick(remove, Qt::LeftButton);
  EXPECT_EQ(table->rowCount(), 1);
  EXPECT_EQ(profiles.Item(1)->name, "Обычный");
  EXPECT_FALSE(remove->isEnabled());
}

TEST_F(GaugeWindows, EveryFieldAndButtonHasItsOwnMnemonic) {
  TInputProfileSet profiles;
  ASSERT_TRUE(profiles.AddDefaultProfile());
  ui::GageEditorDialog editor(gages, 2);
  ui::GageListWindow list(gages, false, 0);
  ui::ProfileEditorDialog profile(profiles, gages, 1);
  ui::ProfileListPage page(profiles, gages);
  for (QWidget* w : std::initializer_list<QWidget*>{&editor, &list, &profile, &page}) test::ExpectOwnMnemonics(w);
}

}  // namespace
}  // namespace mv
