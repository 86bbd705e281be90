#include "ui/qt_message_windows.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "core/messages.h"
#include "core/run_state.h"
#include "support/fake_platform.h"
#include "ui/message_dialog.h"
#include "ui_test_app.h"

namespace mv {
namespace {

using platform::MsgKind;
using platform::MsgResult;
using platform::TMsgWinParams;

// A countdown second that never passes on its own: the tests tick by hand.
constexpr int kNeverTicks = 3600 * 1000;

class QtMessageWindows : public ::testing::Test {
 protected:
  void SetUp() override { test::UiApp(); }
  ui::QtMessageWindows m_windows{kNeverTicks};
};

ui::MessageDialog* DialogOf(QWidget* modal) {
  auto* dialog = qobject_cast<ui::MessageDialog*>(modal);
  EXPECT_NE(dialog, nullptr);
  return dialog;
}

template <class Widget = QWidget>
Widget* Part(QWidget& dialog, const char* name) {
  return dialog.findChild<Widget*>(QString::fromLatin1(name));
}

TEST_F(QtMessageWindows, ButtonsFollowTheKindAndTheAnswerComesBack) {
  const struct {
    MsgKind kind;
    const char* press;  // a button's object name, "escape", or "close" for the title bar's button
    bool confirmed;
    MsgResult result;
    bool diagnosticLine;
  } kCases[] = {
      {MsgKind::Question, "messageYes", true, MsgResult::Ok, false},
      {MsgKind::Question, "messageNo", false, MsgResult::Cancelled, false},
      {MsgKind::Question, "close", false, MsgResult::Cancelled, false},
      {MsgKind::Question, "escape", false, MsgResult::Cancelled, false},
      {MsgKind::Question, "enter", true, MsgResult::Ok, false},
      {MsgKind::Error, "messageOk", true, MsgResult::Ok, true},
      {MsgKind::Warning, "enter", true, MsgResult::Ok, true},
      {MsgKind::Info, "close", false, MsgResult::Cancelled, false},
      {MsgKind::Debug, "messageOk", true, MsgResult::Ok, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "kind " << static_cast<int>(c.kind) << ", " << c.press);
    TMsgWinParams request;
    request.kind = c.kind;
    request.caption = "Заголовок";
    request.text = "Сообщение <b>без</b> разметки";
    test::WhenModal([&](QWidget* modal) {
      ui::MessageDialog* dialog = DialogOf(modal);
      if (!dialog) return;
      EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Заголовок"));
      auto* text = Part<QLabel>(*dialog, "messageText");
      ASSERT_NE(text, nullptr);
      EXPECT_EQ(text->textFormat(), Qt::PlainText);
      const bool question = c.kind == MsgKind::Question;
      EXPECT_EQ(Part(*dialog, "messageYes") != nullptr, question);
      EXPECT_EQ(Part(*dialog, "messageNo") != nullptr, question);
      EXPECT_EQ(Part(*dialog, "messageOk") != nullptr, !question);
      EXPECT_EQ(Part(*dialog, "messageDiagnostic") != nullptr, c.diagnosticLine);
      const std::string press = c.press;
      if (press == "close") {
        dialog->close();
      } else if (press == "escape") {
        QTest::keyClick(dialog, Qt::Key_Escape);
      } else if (press == "enter") {
        QTest::keyClick(dialog, Qt::Key_Return);
      } else {
        Part<QPushButton>(*dialog, c.press)->click();
      }
    });
    EXPECT_EQ(m_windows.Show(request), c.confirmed);
    EXPECT_EQ(request.result, c.result);
  }
}

TEST_F(QtMessageWindows, CheckBoxesAreWrittenBackAndTheTextAreaFollowsTheLength) {
  TMsgWinParams request;
  request.kind = MsgKind::Info;
  for (int i = 0; i < 201; ++i) request.text += "Ж";
  request.background = 0xFFFFCC;
  request.checks[0] = {true, "Больше не показывать", true};
  request.checks[1] = {true, "Записать в журнал", false};
  test::WhenModal([&](QWidget* modal) {
    ui::MessageDialog* dialog = DialogOf(modal);
    if (!dialog) return;
    EXPECT_EQ(Part(*dialog, "messageText")->width(), 470);
    EXPECT_GE(Part(*dialog, "messageArea")->height(), 100);
    EXPECT_EQ(dialog->palette().color(QPalette::Window), QColor(0xFF, 0xFF, 0xCC));
    auto* first = Part<QCheckBox>(*dialog, "messageCheck1");
    auto* second = Part<QCheckBox>(*dialog, "messageCheck2");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->text(), QStringLiteral("Больше не показывать"));
    EXPECT_TRUE(first->isChecked());
    EXPECT_FALSE(second->isChecked());
    EXPECT_GT(second->y(), first->y());
    first->click();
    second->click();
    // An information window offers no details of its own text.
    EXPECT_EQ(Part(*dialog, "messageDetailsLink"), nullptr);
    Part<QPushButton>(*dialog, "messageOk")->click();
  });
  EXPECT_TRUE(m_windows.Show(request));
  EXPECT_FALSE(request.checks[0].state);
  EXPECT_TRUE(request.checks[1].state);
}

TEST_F(QtMessageWindows, CountdownShowsItsTextInTheLastTwentySecondsAndTimesOut) {
  TMsgWinParams request;
  request.kind = MsgKind::Warning;
  request.text = "Проверка";
  request.timeout = 30;
  test::WhenModal([&](QWidget* modal) {
    ui::MessageDialog* dialog = DialogOf(modal);
    if (!dialog) return;
    auto* countdown = Part<QLabel>(*dialog, "messageCountdown");
    ASSERT_NE(countdown, nullptr);
    for (int i = 0; i < 9; ++i) dialog->Tick();
    EXPECT_EQ(countdown->text(), QString());
    dialog->Tick();
    EXPECT_EQ(countdown->text(), QStringLiteral("      Окно будет закрыто через 20 сек"));
    for (int i = 0; i < 19; ++i) dialog->Tick();
    EXPECT_TRUE(dialog->isVisible());
    dialog->Tick();
  });
  EXPECT_FALSE(m_windows.Show(request));
  EXPECT_EQ(request.result, MsgResult::TimedOut);
}

TEST_F(QtMessageWindows, TheTimerClosesTheWindowByItself) {
  ui::QtMessageWindows fast(5);  // a countdown second of 5 ms
  TMsgWinParams request;
  request.kind = MsgKind::Question;
  request.text = "Продолжить?";
  request.timeout = 30;
  QElapsedTimer clock;
  clock.start();
  EXPECT_FALSE(fast.Show(request));
  EXPECT_EQ(request.result, MsgResult::TimedOut);
  EXPECT_LT(clock.elapsed(), 5000);
}

TEST_F(QtMessageWindows, ClickingTheCountdownTextStopsIt) {
  TMsgWinParams request;
  request.kind = MsgKind::Error;
  request.text = "Ошибка чтения";
  request.timeout = 5;
  test::WhenModal([&](QWidget* modal) {
    ui::MessageDialog* dialog = DialogOf(modal);
    if (!dialog) return;
    auto* countdown = Part<QLabel>(*dialog, "messageCountdown");
    ASSERT_NE(countdown, nullptr);
    EXPECT_EQ(countdown->text(), QStringLiteral("      Окно будет закрыто через 5 сек"));
    QTest::mouseClick(countdown, Qt::LeftButton);
    EXPECT_FALSE(countdown->isVisible());
    for (int i = 0; i < 10; ++i) dialog->Tick();
    EXPECT_TRUE(dialog->isVisible());
    Part<QPushButton>(*dialog, "messageOk")->click();
  });
  EXPECT_TRUE(m_windows.Show(request));
  EXPECT_EQ(request.result, MsgResult::Ok);
}

TEST_F(QtMessageWindows, TheDetailsWindowPausesTheCountdown) {
  test::FakePlatform fake;
  fake.clock.Freeze(test::At(2024, 3, 5, 14, 7, 9));
  RunState run;
  run.runNumber = 17;
  run.windowHandle = 77;
  const MessageContext previous = SetMessageContext({&run, nullptr});
  TMsgWinParams request;
  request.kind = MsgKind::Error;
  request.caption = "Ошибка";
  request.text = "Файл повреждён";
  request.number = 12;
  request.timeout = 30;
  const QString diagnostic = QStringLiteral("05.03.2024 14:07:09 / Morvalen " MV_VERSION " / #12 / w77 / run 17");
  test::WhenModal([&](QWidget* modal) {
    ui::MessageDialog* dialog = DialogOf(modal);
    if (!dialog) return;
    EXPECT_EQ(Part<QLabel>(*dialog, "messageDiagnostic")->text(), diagnostic);
    for (int i = 0; i < 5; ++i) dialog->Tick();
    ASSERT_EQ(dialog->Countdown().Remaining(), 25);
    test::WhenModal([&](QWidget* details) {
      EXPECT_EQ(details->objectName(), QStringLiteral("messageDetails"));
      EXPECT_EQ(details->windowTitle(), QStringLiteral("Подробнее: Ошибка"));
      const auto* edit = details->findChild<QPlainTextEdit*>();
      ASSERT_NE(edit, nullptr);
      EXPECT_TRUE(edit->isReadOnly());
      EXPECT_TRUE(edit->toPlainText().startsWith(QStringLiteral("Файл повреждён\n\n\n---")));
      EXPECT_TRUE(edit->toPlainText().contains(diagnostic));
      for (int i = 0; i < 40; ++i) dialog->Tick();
      EXPECT_EQ(dialog->Countdown().Remaining(), 25);
      details->close();
    });
    auto* link = Part<QLabel>(*dialog, "messageDetailsLink");
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->text().contains(QStringLiteral("Подробнее...")));
    Q_EMIT link->linkActivated(QStringLiteral("details"));  // returns once the details window is closed
    EXPECT_EQ(dialog->Countdown().Remaining(), 25);
    dialog->Tick();
    EXPECT_EQ(dialog->Countdown().Remaining(), 24);
    Part<QPushButton>(*dialog, "messageOk")->click();
  });
  EXPECT_TRUE(m_windows.Show(request));
  SetMessageContext(previous);
}

// The picture of an error window in the README. Its layout is checked here: the countdown, the
// details link and the diagnostic line all lie inside the window. With MV_SCREENSHOT_DIR set the
// picture is saved there as error_window.png.
TEST_F(QtMessageWindows, ErrorWindowWithCountdownAndDetails) {
  test::FakePlatform fake;
  fake.clock.Freeze(test::At(2024, 3, 5, 14, 7, 9));
  RunState run;
  run.runNumber = 17;
  run.windowHandle = 41943046;
  const MessageContext previous = SetMessageContext({&run, nullptr});
  TMsgWinParams request;
  request.kind = MsgKind::Error;
  request.caption = "Ошибка";
  request.text =
      "Сбой при работе с файлом\r\n/home/user/Morvalen/Samples/Вал_Ø25.mvl\r\n\r\n"
      "Файл не найден или нет прав на его чтение.";
  request.number = 12;
  request.timeout = 30;
  ui::MessageDialog dialog(request, nullptr, kNeverTicks);
  for (int i = 0; i < 12; ++i) dialog.Tick();  // 18 seconds left
  dialog.show();
  QApplication::processEvents();
  for (const char* name : {"messageCountdown", "messageDetailsLink", "messageDiagnostic", "messageOk"}) {
    SCOPED_TRACE(name);
    QWidget* part = Part(dialog, name);
    ASSERT_NE(part, nullptr);
    EXPECT_TRUE(part->isVisible());
    EXPECT_TRUE(dialog.rect().contains(QRect(part->mapTo(&dialog, QPoint(0, 0)), part->size())));
  }
  const QPixmap picture = dialog.grab();
  EXPECT_FALSE(picture.isNull());
  const QString folder = qEnvironmentVariable("MV_SCREENSHOT_DIR");
  if (!folder.isEmpty()) {
    EXPECT_TRUE(picture.save(QDir(folder).filePath(QStringLiteral("error_window.png"))));
  }
  dialog.close();
  SetMessageContext(previous);
}

}  // namespace
}  // namespace mv
