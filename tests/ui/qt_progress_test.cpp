#include "ui/qt_progress.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QThread>

#include <functional>

#include "ui_test_app.h"

namespace mv {
namespace {

class QtProgress : public ::testing::Test {
 protected:
  void SetUp() override { test::UiApp(); }
  ui::QtProgress m_progress;
};

// Progress windows still in existence, visible or not (deletion waits for the event loop).
int ProgressWindows() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  int count = 0;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (qobject_cast<QProgressDialog*>(widget)) ++count;
  }
  return count;
}

TEST_F(QtProgress, QuickWorkShowsNoWindow) {
  m_progress.Begin("Загрузка файла", 20);
  for (int i = 0; i < 20; ++i) {
    m_progress.Step();
    QThread::msleep(5);
  }
  EXPECT_FALSE(QApplication::activeModalWidget());
  EXPECT_FALSE(m_progress.Aborted());
  m_progress.End();
  EXPECT_EQ(ProgressWindows(), 0);
  m_progress.End();  // a second End does nothing
}

// The work loop as a reader runs it: steps until done or aborted. 1000 steps of 2 ms each are
// expected to take 2 s, so the window comes up. The user acts from the event loop that Step
// lets run, as a real click or key press arrives.
TEST_F(QtProgress, LongWorkShowsTheWindowAndTheUserCanAbortIt) {
  const struct {
    const char* how;
    std::function<void(QProgressDialog&, QPushButton&)> abort;
  } kCases[] = {
      {"button", [](QProgressDialog&, QPushButton& button) { QTest::mouseClick(&button, Qt::LeftButton); }},
      {"escape", [](QProgressDialog& dialog, QPushButton&) { QTest::keyClick(&dialog, Qt::Key_Escape); }},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.how);
    int valueShown = -1;
    test::WhenModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<QProgressDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Cохранение файла"));  // Latin "C", as the caller gives it
      EXPECT_EQ(dialog->maximum(), 1000);
      valueShown = dialog->value();
      auto* button = dialog->findChild<QPushButton*>(QStringLiteral("btnAbort"));
      ASSERT_NE(button, nullptr);
      EXPECT_EQ(button->text(), QStringLiteral("Прервать"));
      c.abort(*dialog, *button);
    });
    m_progress.Begin("Cохранение файла", 1000);
    QElapsedTimer clock;
    clock.start();
    int steps = 0;
    while (!m_progress.Aborted() && clock.elapsed() < 5000) {
      m_progress.Step();
      ++steps;
      QThread::msleep(2);
    }
    EXPECT_TRUE(m_progress.Aborted());
    // The bar shows the steps made (it lags by at most one update).
    EXPECT_GT(valueShown, 0);
    EXPECT_LE(valueShown, steps);
    m_progress.End();
    EXPECT_EQ(ProgressWindows(), 0);
  }
  // A new piece of work starts unaborted.
  m_progress.Begin("Загрузка файла", 3);
  EXPECT_FALSE(m_progress.Aborted());
  m_progress.End();
}

// Progress windows that are on screen now.
int VisibleProgressWindows() {
  int count = 0;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (qobject_cast<QProgressDialog*>(widget) && widget->isVisible()) ++count;
  }
  return count;
}

// Work that ends quickly and is followed by a modal window (the error of a failed load, the
// password prompt): the ended progress never comes up over it, however long the window stays.
TEST_F(QtProgress, AnEndedProgressStaysAwayWhileTheNextWindowIsUp) {
  int visibleMeanwhile = -1;
  test::WhenModal([&](QWidget* modal) {
    QTest::qWait(ui::kProgressShowDelayMs * 2);
    visibleMeanwhile = VisibleProgressWindows();
    EXPECT_EQ(QApplication::activeModalWidget(), modal);
    modal->close();
  });
  test::RunInEventLoop([this] {
    m_progress.Begin("Загрузка файла", 10);
    m_progress.Step();
    m_progress.End();
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Ошибка"), QStringLiteral("Файл поврежден"));
    box.exec();
  });
  EXPECT_EQ(visibleMeanwhile, 0);
  EXPECT_EQ(ProgressWindows(), 0);
}

}  // namespace
}  // namespace mv
