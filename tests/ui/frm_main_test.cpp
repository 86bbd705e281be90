#include "ui/frm_main.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>

#include "app/dataset_outline.h"
#include "support/bytes.h"
#include "support/fake_platform.h"
#include "support/sample_dataset.h"
#include "ui_test_app.h"

namespace mv {
namespace {

class FrmMain : public ::testing::Test {
 protected:
  void SetUp() override { test::UiApp(); }
};

QStringList EntriesOf(const QMenu& menu) {
  QStringList entries;
  for (const QAction* action : menu.actions()) {
    entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
  }
  return entries;
}

TEST_F(FrmMain, TitleNamesProgramAndVersion) {
  ui::TfrmMain frmMain;
  EXPECT_EQ(frmMain.windowTitle(), QStringLiteral("Morvalen " MV_VERSION));
  auto* status = frmMain.statusBar()->findChild<QLabel*>(QStringLiteral("lblStatus"));
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status->text(), QStringLiteral("Готово"));
}

TEST_F(FrmMain, MenusOfferOnlyWhatWorks) {
  ui::TfrmMain frmMain;
  QStringList titles;
  for (const QAction* action : frmMain.menuBar()->actions()) titles << action->text();
  EXPECT_EQ(titles, QStringList({"Файл", "Справка"}));

  auto* file = frmMain.findChild<QMenu*>(QStringLiteral("mnuFile"));
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(EntriesOf(*file), QStringList({"Создать", "Открыть...", "Сохранить", "Сохранить как...",
                                           "Закрыть", "-", "Выход"}));
  // With no dataset open only opening and leaving make sense; "Создать" comes later but
  // already has its key.
  const QStringList enabled = {"Открыть...", "Выход"};
  for (const QAction* action : file->actions()) {
    if (action->isSeparator()) continue;
    SCOPED_TRACE(action->text().toStdString());
    EXPECT_EQ(action->isEnabled(), enabled.contains(action->text()));
    EXPECT_FALSE(action->shortcut().isEmpty());
  }

  auto* help = frmMain.findChild<QMenu*>(QStringLiteral("mnuHelp"));
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(EntriesOf(*help), QStringList({"О программе..."}));
}

QStringList Cells(const QTreeWidgetItem& item) {
  QStringList cells;
  for (int c = 0; c < item.columnCount(); ++c) cells << item.text(c);
  return cells;
}

QStringList Cells(const std::vector<std::string>& row) {
  QStringList cells;
  for (const std::string& cell : row) cells << QString::fromStdString(cell);
  return cells;
}

// Opening through the menu shows the dataset; closing takes it away again.
TEST_F(FrmMain, ShowsTheOpenDatasetsAndTheCurrentOnesParametersAndBlocks) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string first = dir.Path("вал.mvl");
  const std::string second = dir.Path("втулка.mvl");
  ASSERT_TRUE(test::WriteSampleDataset(first, "Токарная обработка"));
  ASSERT_TRUE(test::WriteSampleDataset(second, "Расточка"));

  ui::TfrmMain frmMain;
  auto* tree = frmMain.findChild<QTreeWidget*>(QStringLiteral("treDataset"));
  auto* tabs = frmMain.findChild<QTabBar*>(QStringLiteral("tabDatasets"));
  auto* status = frmMain.statusBar()->findChild<QLabel*>(QStringLiteral("lblStatus"));
  ASSERT_TRUE(tree && tabs && status);
  const auto action = [&](const char* name) { return frmMain.findChild<QAction*>(QLatin1String(name)); };

  fake.fileDialogs.choices = {first};
  action("actOpen")->trigger();
  ASSERT_EQ(fake.fileDialogs.asked.size(), 1u);
  EXPECT_EQ(fake.fileDialogs.asked[0].title, "Открыть файл данных");
  EXPECT_EQ(frmMain.windowTitle(), QString::fromStdString("Morvalen " MV_VERSION " - " + first));
  EXPECT_EQ(status->text(), QStringLiteral("3 параметра, 2 (колич.), 1 (альт.), процесс \"Токарная обработка\""));
  ASSERT_EQ(tree->topLevelItemCount(), 2);
  const QTreeWidgetItem& params = *tree->topLevelItem(0);
  const QTreeWidgetItem& blocks = *tree->topLevelItem(1);
  EXPECT_EQ(params.text(0), QStringLiteral("Параметры (3)"));
  EXPECT_EQ(blocks.text(0), QStringLiteral("Блоки (2)"));
  EXPECT_TRUE(params.isExpanded());
  ASSERT_EQ(params.childCount(), 3);
  ASSERT_EQ(blocks.childCount(), 2);
  EXPECT_EQ(Cells(*params.child(0)),
            QStringList({"1", "Диаметр", "мм", "номинал 10.00, от 9.90 до 10.10", "количественный"}));
  EXPECT_EQ(Cells(*blocks.child(0)),
            QStringList({"1", "Смена 1", "3 выборки", "01.03.2024 08:00 - 03.03.2024 16:30", "количественный"}));
  // Every row as the outline gives it.
  const auto outline = DatasetOutline(*frmMain.Datasets().Current());
  for (int s = 0; s < 2; ++s) {
    for (int r = 0; r < static_cast<int>(outline[s].rows.size()); ++r) {
      const QStringList shown = Cells(*tree->topLevelItem(s)->child(r));
      const QStringList expected = Cells(outline[s].rows[static_cast<std::size_t>(r)]);
      EXPECT_EQ(shown.mid(0, expected.size()), expected) << "section " << s << ", row " << r;
    }
  }
  for (const char* name : {"actSave", "actSaveAs", "actClose"}) EXPECT_TRUE(action(name)->isEnabled()) << name;
  EXPECT_FALSE(action("actNew")->isEnabled());

  // A second dataset gets its own tab and becomes current; the first tab brings back the first.
  frmMain.OpenFiles({second, first});  // the first again: switched to, not read twice
  EXPECT_EQ(frmMain.Datasets().Count(), 2);
  ASSERT_EQ(tabs->count(), 2);
  EXPECT_EQ(tabs->tabText(0), QStringLiteral("вал.mvl"));
  EXPECT_EQ(tabs->tabText(1), QStringLiteral("втулка.mvl"));
  EXPECT_EQ(tabs->currentIndex(), 0);
  tabs->setCurrentIndex(1);
  EXPECT_EQ(frmMain.windowTitle(), QString::fromStdString("Morvalen " MV_VERSION " - " + second));
  EXPECT_TRUE(status->text().endsWith(QStringLiteral("\"Расточка\"")));

  action("actClose")->trigger();
  EXPECT_EQ(tabs->count(), 1);
  EXPECT_EQ(frmMain.windowTitle(), QString::fromStdString("Morvalen " MV_VERSION " - " + first));
  action("actClose")->trigger();
  EXPECT_EQ(tabs->count(), 0);
  EXPECT_EQ(tree->topLevelItemCount(), 0);
  EXPECT_EQ(frmMain.windowTitle(), QStringLiteral("Morvalen " MV_VERSION));
  EXPECT_EQ(status->text(), QStringLiteral("Готово"));
  for (const char* name : {"actSave", "actSaveAs", "actClose"}) EXPECT_FALSE(action(name)->isEnabled()) << name;
  EXPECT_TRUE(fake.messages.shown.empty());
}

// The window closes only when every dataset could be closed.
TEST_F(FrmMain, ClosingTheWindowKeepsItOpenWhileChangesCannotBeSaved) {
  const struct {
    const char* what;
    bool folderRemoved;  // saving fails
    bool windowClosed;
  } kCases[] = {{"saved", false, true}, {"save fails", true, false}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    test::FakePlatform fake;
    test::TempFolder dir;
    const std::string file = dir.Path("data.mvl");
    ASSERT_TRUE(test::WriteSampleDataset(file));
    ui::TfrmMain frmMain;
    frmMain.OpenFiles({file});
    ASSERT_EQ(frmMain.Datasets().Count(), 1);
    frmMain.Datasets().Current()->Touch();
    if (c.folderRemoved) std::filesystem::remove_all(dir.path());
    frmMain.show();
    fake.messages.answers = {true};
    EXPECT_EQ(frmMain.close(), c.windowClosed);
    EXPECT_EQ(fake.messages.shown.at(0).kind, platform::MsgKind::Question);
    EXPECT_EQ(frmMain.isVisible(), !c.windowClosed);
    EXPECT_EQ(frmMain.Datasets().Count(), c.windowClosed ? 0 : 1);
  }
}

TEST_F(FrmMain, ExitClosesTheWindowFromMenuAndKeyboard) {
  const struct {
    const char* how;
    std::function<void(ui::TfrmMain&)> exit;
  } kCases[] = {
      {"menu", [](ui::TfrmMain& w) { w.findChild<QAction*>(QStringLiteral("actExit"))->trigger(); }},
      {"Ctrl+Q", [](ui::TfrmMain& w) { QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier); }},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.how);
    ui::TfrmMain frmMain;
    frmMain.show();
    frmMain.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frmMain));
    c.exit(frmMain);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !frmMain.isVisible(); }, 2000));
  }
}

TEST_F(FrmMain, AboutNamesProgramAndVersion) {
  ui::TfrmMain frmMain;
  QString caption, text;
  test::WhenModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    caption = box->windowTitle();
    text = box->text();
    box->accept();
  });
  frmMain.findChild<QAction*>(QStringLiteral("actAbout"))->trigger();
  EXPECT_EQ(caption, QStringLiteral("О программе"));
  EXPECT_TRUE(text.startsWith(QStringLiteral("Morvalen " MV_VERSION))) << text.toStdString();
}

}  // namespace
}  // namespace mv
