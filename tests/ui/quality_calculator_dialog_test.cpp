#include "ui/quality_calculator_dialog.h"

#include <gtest/gtest.h>

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
