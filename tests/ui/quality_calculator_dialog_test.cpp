#include "ui/quality_calculator_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "support/fake_platform.h"
#include "ui_test_app.h"

namespace mv {
namespace {

class QualityCalculatorDialog : public ::testing::Test {
 protected:
  void SetUp() override { test::UiApp(); }

  template <class W>
  W* Child(ui::QualityCalculatorDialog& d, const char* name) {
    W* w = d.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }

  test::FakePlatform m_fake;
  QualityCalculator m_calc;
};

TEST_F(QualityCalculatorDialog, CalculatesCopiesAndChangesConditionsThroughTheLogic) {
  ui::QualityCalculatorDialog dialog(m_calc);
  dialog.show();
  auto* level = Child<QLineEdit>(dialog, "level");
  auto* width = Child<QLineEdit>(dialog, "width");
  auto* command = Child<QPushButton>(dialog, "command");
  auto* results = Child<QGroupBox>(dialog, "results");
  ASSERT_TRUE(level && width && command && results);
  EXPECT_EQ(command->text(), "Расчет");
  EXPECT_FALSE(results->isVisible());
  EXPECT_EQ(level->maxLength(), 9);

  QTest::keyClicks(level, "2700");
  QTest::keyClicks(width, "0,06");
  EXPECT_EQ(m_calc.LevelText(), "2700");  // typed texts go to the state kept for the run
  QTest::mouseClick(command, Qt::LeftButton);
  EXPECT_TRUE(m_calc.Calculated());
  EXPECT_TRUE(results->isVisible());
  EXPECT_TRUE(level->isReadOnly());
  EXPECT_EQ(command->text(), "Изменить условия");
  EXPECT_EQ(Child<QLineEdit>(dialog, "index")->text(), "1.00");
  EXPECT_EQ(Child<QLineEdit>(dialog, "sigma")->text(), "0.01");
  QTest::mouseClick(Child<QPushButton>(dialog, "copySigma"), Qt::LeftButton);
  EXPECT_EQ(m_fake.clipboard.Text(), "0.01");
  QTest::mouseClick(Child<QPushButton>(dialog, "copyIndex"), Qt::LeftButton);
  EXPECT_EQ(m_fake.clipboard.Text(), "1.00");
  EXPECT_TRUE(Child<QLabel>(dialog, "note")->text().startsWith("Обязательные условия"));

  // Change the conditions: no width, so no sigma to copy.
  QTest::mouseClick(command, Qt::LeftButton);
  EXPECT_FALSE(results->isVisible());
  EXPECT_FALSE(level->isReadOnly());
  width->clear();
  QTest::mouseClick(command, Qt::LeftButton);
  EXPECT_EQ(Child<QLineEdit>(dialog, "sigma")->text(), " не указан допуск");
  EXPECT_FALSE(Child<QPushButton>(dialog, "copySigma")->isEnabled());
  EXPECT_TRUE(m_fake.messages.shown.empty());
}

// At the size the window opens with, and its smallest size, the whole note shows (wrapped or
// not) below the results, and every field shows its whole text: with the usual font and one
// twice as large, as a screen at twice the scale gives.
TEST_F(QualityCalculatorDialog, TheWholeNoteAndEveryFieldShowAtTheWindowsSize) {
  for (const double scale : {1.0, 2.0}) {
    SCOPED_TRACE(scale);
    m_calc.SetLevelText("2700");
    m_calc.SetWidthText("0,06");
    ui::QualityCalculatorDialog dialog(m_calc);
    QFont font = dialog.font();
    font.setPointSizeF(font.pointSizeF() * scale);
    dialog.setFont(font);
    dialog.show();
    QTest::mouseClick(Child<QPushButton>(dialog, "command"), Qt::LeftButton);
    ASSERT_TRUE(m_calc.Calculated());
    for (const bool smallest : {false, true}) {
      SCOPED_TRACE(smallest ? "smallest size" : "size as opened");
      if (smallest) dialog.resize(dialog.minimumSize());
      QApplication::processEvents();
      if (scale == 1.0 && !smallest) test::SaveScreenshot(dialog, "quality_calculator.png");
      auto* note = Child<QLabel>(dialog, "note");
      ASSERT_NE(note, nullptr);
      EXPECT_GE(note->height(), note->heightForWidth(note->width()));
      const QRect noteRect(note->mapTo(&dialog, QPoint(0, 0)), note->size());
      EXPECT_TRUE(dialog.rect().contains(noteRect));
      for (const char* above : {"index", "sigma", "copySigma"}) {
        auto* field = Child<QWidget>(dialog, above);
        ASSERT_NE(field, nullptr);
        EXPECT_LE(field->mapTo(&dialog, QPoint(0, field->height())).y(), noteRect.top()) << above;
      }
      for (const char* name : {"level", "width", "index", "sigma"}) {
        auto* field = Child<QLineEdit>(dialog, name);
        ASSERT_NE(field, nullptr);
        const int wanted = field->fontMetrics().horizontalAdvance(QStringLiteral("0").repeated(9));
        EXPECT_GT(field->width(), wanted) << name;
      }
    }
  }
}

TEST_F(QualityCalculatorDialog, RefusedInputShowsTheMessageAndKeepsEditing) {
  m_calc.SetLevelText("600000");
  ui::QualityCalculatorDialog dialog(m_calc);
  dialog.show();
  auto* level = Child<QLineEdit>(dialog, "level");
  ASSERT_NE(level, nullptr);
  EXPECT_EQ(level->text(), "600000");  // the text of an earlier opening
  QTest::mouseClick(Child<QPushButton>(dialog, "command"), Qt::LeftButton);
  ASSERT_EQ(m_fake.messages.shown.size(), 1u);
  EXPECT_EQ(m_fake.messages.shown[0].text,
            "Значение \"Целевой уровень несоответствий (Q)\" (600000) выходит из допустимых границ (0.001 .. 500000)");
  EXPECT_FALSE(Child<QGroupBox>(dialog, "results")->isVisible());
  EXPECT_FALSE(level->isReadOnly());
  EXPECT_EQ(Child<QPushButton>(dialog, "command")->text(), "Расчет");
}

}  // namespace
}  // namespace mv
