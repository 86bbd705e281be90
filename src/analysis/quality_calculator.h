#pragma once
// The quality calculator ("Калькулятор качества"): from a target nonconformity level Q in PPM,
// the capability index (Cp or Pp) a process needs and, given the tolerance width, the standard
// deviation it may have. Its state lives for the run only; the dialog shows and edits it.

#include <optional>
#include <string>
#include <string_view>

namespace mv {

inline constexpr std::string_view kQualityLevelLabel = "Целевой уровень несоответствий (Q)";
inline constexpr std::string_view kToleranceWidthLabel = "Ширина допуска (USL-LSL)";
inline constexpr double kMinQualityLevel = 0.001;  // PPM
inline constexpr double kMaxQualityLevel = 500000;
inline constexpr double kMinToleranceWidth = 0.00001;
inline constexpr double kMaxToleranceWidth = 1000000;
// Characters either input field takes.
inline constexpr std::size_t kQualityInputMax = 9;
// The sigma field without a tolerance width.
inline constexpr std::string_view kNoToleranceText = " не указан допуск";
// The note under the results (four lines joined by CR LF).
extern const std::string_view kQualityCalculatorNote;

struct QualityTarget {
  double z = 0;      // 2 |inverse Φ(Q 10^-6 / 2)|: the centred width, in sigmas, outside which Q falls
  double index = 0;  // z / 6
  bool hasSigma = false;
  double sigma = 0;  // W / z; 0 without a width
  std::string indexText;  // 2 decimals: "1.00"
  std::string sigmaText;  // 6 decimals without trailing zeros ("0.01"), or " не указан допуск"
};

// The computation alone (no checks): qPpm within the bounds, width when given.
QualityTarget ComputeQualityTarget(double qPpm, std::optional<double> width);

// The calculator's state for the run: the two texts as typed and the results.
class QualityCalculator {
 public:
  // The texts as typed, cut to 9 characters.
  void SetLevelText(std::string_view text);
  void SetWidthText(std::string_view text);
  const std::string& LevelText() const { return m_levelText; }
  const std::string& WidthText() const { return m_widthText; }

  // "Расчет": checks Q (required) and the width (when its text is not empty) with the standard
  // messages, which close by themselves after 30 seconds; on success computes and holds the
  // results, and the inputs are read-only until ChangeConditions. False on a refused input.
  bool Calculate();
  // "Изменить условия": the inputs become editable and the results are hidden.
  void ChangeConditions() { m_calculated = false; }
  bool Calculated() const { return m_calculated; }
  const QualityTarget& Result() const { return m_result; }

  // CopySigma is available only when a width was given.
  bool CanCopySigma() const { return m_calculated && m_result.hasSigma; }
  // Put the shown text of the index or of the sigma on the clipboard; false when there is none.
  bool CopyIndex() const;
  bool CopySigma() const;

 private:
  std::string m_levelText;
  std::string m_widthText;
  bool m_calculated = false;
  QualityTarget m_result;
};

}  // namespace mv
