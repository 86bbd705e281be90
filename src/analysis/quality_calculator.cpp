#include "analysis/quality_calculator.h"

#include <cmath>

#include "analysis/normal_distribution.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "core/text.h"
#include "platform/clipboard.h"
#include "platform/services.h"

namespace mv {

const std::string_view kQualityCalculatorNote =
    "Обязательные условия использования рассчитанных характеристик:\r\n"
    "- нормальное распределение значений параметра процесса;\r\n"
    "- настройка процесса (среднее значение) по центру допуска;\r\n"
    "- стабильность процесса (для использования индекса Cp)";

QualityTarget ComputeQualityTarget(double qPpm, std::optional<double> width) {
  QualityTarget t;
  // Inverse Φ is finite for every argument; Q within 0.001..500000 PPM gives z from 12 down to
  // about 1.35, never 0.
  t.z = std::fabs(InversePhi(qPpm * 1e-6 / 2)) * 2;
  t.index = t.z / 6;
  t.indexText = FormatFixed(t.index, 2);
  if (width && t.z > 0) {
    t.hasSigma = true;
    t.sigma = *width / t.z;
    t.sigmaText = FormatTrimmed(t.sigma, 6);
  } else {
    t.sigmaText = std::string(kNoToleranceText);
  }
  return t;
}

void QualityCalculator::SetLevelText(std::string_view text) { m_levelText = CutToChars(text, kQualityInputMax); }

void QualityCalculator::SetWidthText(std::string_view text) { m_widthText = CutToChars(text, kQualityInputMax); }

bool QualityCalculator::Calculate() {
  m_calculated = false;
  const auto q = ValidateNumber(kQualityLevelLabel, m_levelText, kMinQualityLevel, kMaxQualityLevel);
  if (!q) return false;
  std::optional<double> width;
  if (!Trim(m_widthText).empty()) {  // blanks alone are no width
    width = ValidateNumber(kToleranceWidthLabel, m_widthText, kMinToleranceWidth, kMaxToleranceWidth);
    if (!width) return false;
  }
  m_result = ComputeQualityTarget(*q, width);
  m_calculated = true;
  return true;
}

bool QualityCalculator::CopyIndex() const {
  if (!m_calculated) return false;
  platform::Current<platform::IClipboard>().SetText(m_result.indexText);
  return true;
}

bool QualityCalculator::CopySigma() const {
  if (!CanCopySigma()) return false;
  platform::Current<platform::IClipboard>().SetText(m_result.sigmaText);
  return true;
}

}  // namespace mv
