#include "ui/qt_message_windows.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>

#include "ui_test_app.h"

namespace mv {
namespace {

using platform::MsgKind;
using platform::MsgResult;
using platform::TMsgWinParams;

class QtMessageWindows : public ::testing::Test {
 protected:
  void SetUp() override { test::UiApp(); }
  ui::QtMessageWindows m_windows;
};

QMessageBox* BoxOf(QWidget* modal) {
  auto* box = qobject_cast<QMessageBox*>(modal);
  EXPECT_NE(box, nullptr);
  return box;
}

QAbstractButton* ButtonWithText(QMessageBox& box, const QString& text) {
  for (QAbstractButton* button : box.buttons()) {
    if (button->text() == text) return button;
  }
  return nullptr;
}

TEST_F(QtMessageWindows, TimeOutClosesTheWindowAsNotConfirmed) {
  TMsgWinParams request;
  request.kind = MsgKind::Info;
  request.text = "Проверка";
  request.timeout = 1;
  QString shown;
  test::WhenModal([&](QWidget* modal) {
    if (QMessageBox* box = BoxOf(modal)) shown = box->text();  // and leave it open
  });
  QElapsedTimer clock;
  clock.start();
  EXPECT_FALSE(m_windows.Show(request));
  EXPECT_EQ(request.result, MsgResult::TimedOut);
  EXPECT_GE(clock.elapsed(), 900);
  EXPECT_LT(clock.elapsed(), 5000);
  EXPECT_EQ(shown, QStringLiteral("Проверка\n\n      Окно будет закрыто через 1 сек"));
}

TEST_F(QtMessageWindows, CountdownShowsOnlyInTheLastTwentySeconds) {
  const struct {
    std::int16_t timeout;
    bool countdownShown;
  } kCases[] = {{0, false}, {21, false}, {20, true}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.timeout);
    TMsgWinParams request;
    request.text = "Текст";
    request.timeout = c.timeout;
    QString shown;
    test::WhenModal([&](QWidget* modal) {
      QMessageBox* box = BoxOf(modal);
      if (!box) return;
      shown = box->text();
      box->buttons().front()->click();
    });
    EXPECT_TRUE(m_windows.Show(request));
    EXPECT_EQ(shown.contains(QStringLiteral("Окно будет закрыто через 20 сек")), c.countdownShown)
        << shown.toStdString();
  }
}

TEST_F(QtMessageWindows, ButtonsFollowTheKindAndTheAnswerComesBack) {
  const struct {
    MsgKind kind;
    QMessageBox::Icon icon;
    QStringList buttons;
    const char* click;  // nullptr: closed by the window's close button
    bool confirmed;
    MsgResult result;
  } kCases[] = {
      {MsgKind::Question, QMessageBox::Question, {"Да", "Нет"}, "Да", true, MsgResult::Ok},
      {MsgKind::Question, QMessageBox::Question, {"Да", "Нет"}, "Нет", false, MsgResult::Cancelled},
      {MsgKind::Question, QMessageBox::Question, {"Да", "Нет"}, nullptr, false, MsgResult::Cancelled},
      {MsgKind::Error, QMessageBox::Critical, {"OK"}, "OK", true, MsgResult::Ok},
      {MsgKind::Warning, QMessageBox::Warning, {"OK"}, "OK", true, MsgResult::Ok},
      {MsgKind::Info, QMessageBox::Information, {"OK"}, "OK", true, MsgResult::Ok},
      {MsgKind::Debug, QMessageBox::Information, {"OK"}, "OK", true, MsgResult::Ok},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "kind " << static_cast<int>(c.kind) << ", "
                                    << (c.click ? c.click : "closed"));
    TMsgWinParams request;
    request.kind = c.kind;
    request.caption = "Заголовок";
    request.text = "Сообщение <b>без</b> разметки";
    QStringList buttons;
    test::WhenModal([&](QWidget* modal) {
      QMessageBox* box = BoxOf(modal);
      if (!box) return;
      EXPECT_EQ(box->windowTitle(), QStringLiteral("Заголовок"));
      EXPECT_EQ(box->icon(), c.icon);
      EXPECT_EQ(box->textFormat(), Qt::PlainText);
      for (const QAbstractButton* button : box->buttons()) buttons << button->text().remove('&');
      if (!c.click) {
        box->close();
      } else if (QAbstractButton* button = ButtonWithText(*box, QString::fromUtf8(c.click))) {
        button->click();
      } else {
        ADD_FAILURE() << "no button " << c.click;
        box->close();
      }
    });
    EXPECT_EQ(m_windows.Show(request), c.confirmed);
    EXPECT_EQ(request.result, c.result);
    buttons.sort();
    QStringList expected = c.buttons;
    expected.sort();
    EXPECT_EQ(buttons, expected);
  }
}

TEST_F(QtMessageWindows, ChecksDetailsAndBackgroundAreShown) {
  TMsgWinParams request;
  request.kind = MsgKind::Debug;
  request.text = "Отладка";
  request.details = "Подробности: строка 12";
  request.background = 0xFFFFCC;  // light yellow, 0xRRGGBB
  request.checks[0] = {true, "Больше не показывать", true};
  request.checks[1] = {true, "Записать в журнал", false};
  test::WhenModal([&](QWidget* modal) {
    QMessageBox* box = BoxOf(modal);
    if (!box) return;
    EXPECT_EQ(box->detailedText(), QStringLiteral("Подробности: строка 12"));
    EXPECT_EQ(box->palette().color(QPalette::Window), QColor(0xFF, 0xFF, 0xCC));
    const QList<QCheckBox*> checks = box->findChildren<QCheckBox*>();
    ASSERT_EQ(checks.size(), 2);
    QCheckBox* first = checks[0]->text() == QStringLiteral("Больше не показывать") ? checks[0] : checks[1];
    QCheckBox* second = first == checks[0] ? checks[1] : checks[0];
    EXPECT_EQ(second->text(), QStringLiteral("Записать в журнал"));
    EXPECT_TRUE(first->isChecked());
    EXPECT_FALSE(second->isChecked());
    // Both visible, the second one under the first and above the buttons.
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(second->isVisible());
    EXPECT_GT(second->y(), first->y());
    QAbstractButton* ok = box->button(QMessageBox::Ok);
    ASSERT_NE(ok, nullptr);
    EXPECT_LT(second->geometry().bottom(), ok->mapTo(box, QPoint(0, 0)).y());
    first->click();
    second->click();
    ok->click();
  });
  EXPECT_TRUE(m_windows.Show(request));
  EXPECT_FALSE(request.checks[0].state);
  EXPECT_TRUE(request.checks[1].state);
}

}  // namespace
}  // namespace mv
