#include "ui/frm_main.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTest>

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
  for (const QAction* action : file->actions()) {
    if (action->isSeparator()) continue;
    SCOPED_TRACE(action->text().toStdString());
    // Datasets cannot be opened yet: everything but "Выход" is disabled, but already has its key.
    EXPECT_EQ(action->isEnabled(), action->text() == QStringLiteral("Выход"));
    EXPECT_FALSE(action->shortcut().isEmpty());
  }

  auto* help = frmMain.findChild<QMenu*>(QStringLiteral("mnuHelp"));
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(EntriesOf(*help), QStringList({"О программе..."}));
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
