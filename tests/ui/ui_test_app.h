#pragma once
// What the widget tests of this folder share: one QApplication for the whole executable, made
// on first use (so listing the tests at build time needs no display), and a way to act on a
// modal window from inside its own event loop.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <ostream>

// Readable QString values in GoogleTest messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace mv::test {

inline QApplication& UiApp() {
  static int argc = 1;
  static char name[] = "ui_tests";
  static char* argv[] = {name, nullptr};
  // Never destroyed: Qt objects in function statics may outlive it otherwise.
  static QApplication* app = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *app;
}

// Calls act with the modal window once one is up (polled from the event loop, for at most
// 5 seconds). Call it before the code that opens the window and blocks. A window that act
// leaves open (a failed assertion inside it, say) is closed 3 seconds later, so the test fails
// instead of hanging.
inline void WhenModal(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer(&UiApp());
  QElapsedTimer clock;
  clock.start();
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, act = std::move(act)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal && clock.elapsed() < 5000) return;
    timer->stop();
    timer->deleteLater();
    if (modal) {
      act(modal);
      QTimer::singleShot(3000, modal, [modal] {
        if (!modal->isVisible()) return;
        ADD_FAILURE() << "the modal window was left open";
        modal->close();
      });
    } else {
      ADD_FAILURE() << "no modal window came up";
    }
  });
  timer->start();
}

// Runs work from inside a running event loop, as the program runs what the user asks for.
// What work posts for later (deleteLater) then waits for that loop, not for the nested loop of
// a modal window that work opens.
inline void RunInEventLoop(const std::function<void()>& work) {
  QEventLoop loop;
  QTimer::singleShot(0, &loop, [&] {
    work();
    loop.quit();
  });
  loop.exec();
}

// With MV_SCREENSHOT_DIR set, saves what the widget shows there (the pictures of the README).
inline void SaveScreenshot(QWidget& widget, const char* fileName) {
  const QString folder = qEnvironmentVariable("MV_SCREENSHOT_DIR");
  if (folder.isEmpty()) return;
  widget.show();
  QApplication::processEvents();
  EXPECT_TRUE(widget.grab().save(folder + QStringLiteral("/") + QLatin1String(fileName))) << fileName;
}

}  // namespace mv::test
