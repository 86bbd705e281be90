#include "analysis/quality_calculator.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/fake_platform.h"

namespace mv {
namespace {

TEST(QualityCalculator, TargetIndexAndSigma) {
  const struct {
    const char* q;
    const char* width;
    const char* index;
    const char* sigma;
    double z;  // to 1e-4
  } kCases[] = {
      {"2700", "", "1.00", " не указан допуск", 6.0000},
      {"2700", "0.06", "1.00", "0.01", 6.0000},
      {"0.001", "", "2.00", " не указан допуск", 12.0},  // 5e-10 is below 1e-9: inverse Φ gives -6
      {"0,002", "1", "2.00", "0.083364", 11.9956},       // exactly 1e-9: the far tail, still finite
      {"500000", "", "0.22", " не указан допуск", 1.3490},
      {"63", "0.2", "1.33", "0.024992", 8.0026},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.q) + " / " + c.width);
    test::FakePlatform fake;
    QualityCalculator calc;
    calc.SetLevelText(c.q);
    calc.SetWidthText(c.width);
    ASSERT_TRUE(calc.Calculate());
    EXPECT_TRUE(calc.Calculated());
    const QualityTarget& r = calc.Result();
    EXPECT_TRUE(std::isfinite(r.z));
    EXPECT_NEAR(r.z, c.z, 1e-4);
    EXPECT_EQ(r.indexText, c.index);
    EXPECT_EQ(r.sigmaText, c.sigma);
    EXPECT_EQ(r.hasSigma, *c.width != '\0');
    EXPECT_EQ(r.hasSigma ? r.sigma > 0 : r.sigma == 0, true);
    EXPECT_TRUE(fake.messages.shown.empty());

    // The two copy commands put the shown texts on the clipboard; without a width there is no
    // sigma to copy.
    EXPECT_TRUE(calc.CopyIndex());
    EXPECT_EQ(fake.clipboard.Text(), c.index);
    EXPECT_EQ(calc.CanCopySigma(), r.hasSigma);
    EXPECT_EQ(calc.CopySigma(), r.hasSigma);
    EXPECT_EQ(fake.clipboard.Text(), r.hasSigma ? c.sigma : c.index);
  }
}

TEST(QualityCalculator, RefusedInputsShowTheStandardMessages) {
  const struct {
    const char* q;
    const char* width;
    platform::MsgKind kind;
    const char* message;
  } kCases[] = {
      {"", "", platform::MsgKind::Warning, "Не указано значение для \"Целевой уровень несоответствий (Q)\""},
      {"abc", "", platform::MsgKind::Error,
       "Введено нечисловое значение (abc) для \"Целевой уровень несоответствий (Q)\""},
      {"600000", "", platform::MsgKind::Error,
       "Значение \"Целевой уровень несоответствий (Q)\" (600000) выходит из допустимых границ (0.001 .. 500000)"},
      {"0.0009", "", platform::MsgKind::Error,
       "Значение \"Целевой уровень несоответствий (Q)\" (0.0009) выходит из допустимых границ (0.001 .. 500000)"},
      {"100", "0.000001", platform::MsgKind::Error,
       "Значение \"Ширина допуска (USL-LSL)\" (0.000001) выходит из допустимых границ (0.00001 .. 1000000)"},
      {"100", "x", platform::MsgKind::Error, "Введено нечисловое значение (x) для \"Ширина допуска (USL-LSL)\""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.message);
    test::FakePlatform fake;
    QualityCalculator calc;
    calc.SetLevelText(c.q);
    calc.SetWidthText(c.width);
    EXPECT_FALSE(calc.Calculate());
    EXPECT_FALSE(calc.Calculated());
    EXPECT_FALSE(calc.CopyIndex());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].kind, c.kind);
    EXPECT_EQ(fake.messages.shown[0].text, c.message);
    EXPECT_EQ(fake.messages.shown[0].timeout, 30);
  }
}

TEST(QualityCalculator, StateForTheRun) {
  test::FakePlatform fake;
  QualityCalculator calc;
  calc.SetLevelText("1234567890123");  // at most 9 characters are taken
  EXPECT_EQ(calc.LevelText(), "123456789");
  calc.SetLevelText("2700");
  calc.SetWidthText("   ");  // blanks alone are no width
  ASSERT_TRUE(calc.Calculate());
  EXPECT_FALSE(calc.CanCopySigma());
  calc.ChangeConditions();
  EXPECT_FALSE(calc.Calculated());
  EXPECT_EQ(calc.LevelText(), "2700");  // the texts stay for the next opening
  EXPECT_FALSE(calc.CopySigma());
}

TEST(QualityCalculator, Note) {
  EXPECT_EQ(kQualityCalculatorNote,
            "Обязательные условия использования рассчитанных характеристик:\r\n"
            "- нормальное распределение значений параметра процесса;\r\n"
            "- настройка процесса (среднее значение) по центру допуска;\r\n"
            "- стабильность процесса (для использования индекса Cp)");
}

}  // namespace
}  // namespace mv
