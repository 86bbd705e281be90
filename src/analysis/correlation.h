#pragma once
// Correlation between the quantitative parameters of a dataset over a selection of blocks and
// samples: the rows of the selection (every measured point, or every sample's mean), the
// Pearson r and the regression line of every pair, the critical value of r and the verdicts,
// each parameter's normality and box plot, and every text the matrix shows.
//
// Numbers that stay right: the sums are taken about a value near each parameter's mean and
// corrected exactly, so values with a large mean and a small spread (near 1e7, differing by
// hundredths) keep their digits; r is clamped to [-1, 1]; a parameter that does not vary gets
// no r (not r = 1); nothing that is not a finite number reaches a text.
//
// Rows pair only where both parameters carry a value: a point (or a sample) without a value of
// one parameter drops out of that parameter's pairs and no other.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/box_plot.h"
#include "analysis/data_set.h"
#include "analysis/normality.h"
#include "analysis/sample_selection.h"

namespace mv {

enum class CorrelationMode : std::uint8_t {
  Values = 0,  // every measured point is a row
  Means = 1,   // every sample is a row, with its mean of each parameter
};

// --- the critical value of r ---

struct CriticalValueRow {
  std::uint32_t pairs = 0;
  double level05 = 0;  // the column used
  double level01 = 0;  // kept beside it
};
// The rows of the table, by ascending number of pairs (3 .. 10000).
std::span<const CriticalValueRow> CriticalValueTable();
// The row of the largest listed number of pairs not above `pairs`; 1 below 3 pairs.
double CriticalValue(std::uint32_t pairs, bool level01 = false);

inline constexpr double kMinManualCritical = 0.1;
inline constexpr double kMaxManualCritical = 0.9;
// A manual critical value must lie in 0.1..0.9 (within the usual 1e-12).
bool ManualCriticalValid(double value);

// --- one pair ---

enum class CorrSignificance : std::uint8_t {
  None = 0,            // r not computed
  NotSignificant = 1,  // |r| below the critical value
  Positive = 2,        // r >= r_crit
  Negative = 3,        // r <= -r_crit
};

struct PairStatistics {
  std::uint32_t n = 0;   // the active pairs used
  bool computed = false; // r exists: n >= 4 and neither parameter constant over the pairs
  double r = 0;          // in [-1, 1]
  bool hasLine = false;  // the regression line of y on x; none when x is constant
  double slope = 0;
  double intercept = 0;
};

// The fewest pairs r is computed from.
inline constexpr std::uint32_t kMinCorrelationPairs = 4;

// Pearson r and the regression line of y on x over the pairs (x[k], y[k]); the spans are cut
// to the shorter one. Two passes: the means, then the centred sums.
PairStatistics ComputePairStatistics(std::span<const double> x, std::span<const double> y);
// The same line seen with the axes swapped (x on y): slope 1/b and intercept -a/b; no line when
// |b| < 1e-12. A pair whose x is constant (no line) gets the horizontal line at that value, held
// in `constantX` (the caller knows it): pass nullptr when x is not constant.
PairStatistics SwappedPair(const PairStatistics& pair, const double* constantX);

CorrSignificance Significance(const PairStatistics& pair, double critical);

// --- texts ---

inline constexpr std::string_view kNotComputedCell = "НД";  // "no data"
// "0.965" or "НД"; the diagonal of the matrix is empty.
std::string CorrelationCellText(const PairStatistics& pair);
// "существенная положительная корреляционная связь" and the like; without r "Не рассчитано из-за
// недостатка данных".
std::string SignificanceText(CorrSignificance significance);
// "0.965   (существенная положительная корреляционная связь) / Y = 2.200X - 0.500"; without r
// "Не рассчитано из-за недостатка данных / Y = ..."; without a line the part from " / " is left
// out.
std::string PairLineText(const PairStatistics& pair, CorrSignificance significance);
// "0.413  (авто)" for an automatic value, "0.5" for a manual one (4 decimals at most).
std::string CriticalValueText(double critical, bool automatic);
// "3 - недостаточно для расчета корреляции  (неактивных - 2)"; the filtered part
// (", отфильтрованных - N") only with a filter in force.
std::string PointsLineText(std::uint32_t activePairs, std::uint32_t inactiveRows, bool filterInForce,
                           std::uint32_t filteredRows);
// "Корреляция между параметрами " and, by individual values, " (по индивидуальным значениям)".
std::string CorrelationTitle(CorrelationMode mode);
// " Да", " Нет", or " НД" when the test was not made or had too few values.
std::string NormalityCellText(const TNormality& normality);
// " Усатая диаграмма (NAME): " + the box-plot text.
std::string BoxPlotHint(std::string_view parameterName, const TBoxPlot& boxPlot, int decimals);

inline constexpr std::string_view kParametersColumn = " Параметры";
inline constexpr std::string_view kNormalityColumn = " Норм.";
inline constexpr std::string_view kParameterHint = "Параметр:  ";
inline constexpr std::string_view kDistributionHint = "Вид распределения данных:  ";
inline constexpr std::string_view kCoefficientHint = "Коэффициент корреляции:  ";
inline constexpr std::string_view kInactivePointSuffix = " (неактивна)";

// --- messages ---

inline constexpr std::string_view kTooFewCorrParameters =
    "Для расчета корреляции в наборе данных должно быть как минимум два количественных параметра, не являющихся "
    "признаками";
inline constexpr std::string_view kBadCriticalValue =
    "Неверно указано критическое значение коэффициента корреляции (0.1-0.9)";
inline constexpr std::string_view kCorrNoMemory = "Недостаточно памяти (Corr matrix init)";
// "Недостаточно активных точек (1) для расчета корреляции".
std::string TooFewActivePointsText(std::uint32_t n);

// --- the matrix ---

// The parameters that take part: quantitative, not tags, in dataset order.
std::vector<int> CorrelationParameters(const TDatasetSPC& dataset);

struct CorrelationRequest {
  CorrelationMode mode = CorrelationMode::Values;
  std::vector<int> parameters;  // dataset positions; empty: CorrelationParameters()
  bool manualCritical = false;
  double critical = 0.5;  // the manual value
};

struct CorrParameter {
  int position = 0;  // in the dataset
  CDataSet data;     // one point per row: present when the row carries a value, active when it counts
  TNormality normality;
  TBoxPlot boxPlot;  // by individual values only
};

struct CorrPair {
  PairStatistics stats;
  CorrSignificance significance = CorrSignificance::None;
  double critical = 1;  // the one the verdict was made against
};

// Rows of one pair: those carrying both values, of them the active ones and the filtered out.
struct PairRowCounts {
  std::uint32_t rows = 0;
  std::uint32_t active = 0;
  std::uint32_t filtered = 0;
  std::uint32_t Inactive() const { return rows - active; }
};

class CorrelationMatrix {
 public:
  // Builds the rows, the per-parameter figures and every pair. An empty text on success, else
  // the message to show (too few parameters, a bad manual critical value, no memory, too few
  // active points); the matrix then holds nothing.
  std::string Compute(const SampleSelection& selection, const CorrelationRequest& request);

  // The three steps of Compute, for a caller that times them apart: the rows (a message or ""),
  // the normality and box plots, the pairs.
  std::string BuildRows(const SampleSelection& selection, const CorrelationRequest& request);
  void ComputeParameterFigures();
  void ComputePairs();

  CorrelationMode Mode() const { return m_mode; }
  bool ManualCritical() const { return m_manual; }
  // The critical value over the selection's active rows (or the manual one).
  double Critical() const;
  std::string CriticalText() const { return CriticalValueText(Critical(), !m_manual); }
  std::string Title() const { return CorrelationTitle(m_mode); }
  bool FilterInForce() const { return m_filterInForce; }

  // Rows of the selection: all, the active ones, the filtered-out ones (inactive rows).
  std::uint32_t RowCount() const { return m_rows; }
  std::uint32_t ActiveRowCount() const { return m_activeRows; }
  std::uint32_t FilteredRowCount() const { return m_filteredRows; }

  std::size_t ParameterCount() const { return m_parameters.size(); }
  // 0-based indexes into the parameters taking part.
  const CorrParameter& Parameter(std::size_t i) const { return m_parameters[i]; }
  // The ordered pair (i, j), i != j: x is parameter i, y parameter j.
  const CorrPair& Pair(std::size_t i, std::size_t j) const { return m_pairs[i * m_parameters.size() + j]; }
  PairRowCounts RowCounts(std::size_t i, std::size_t j) const;

  // Texts of the matrix and of the chosen pair.
  std::string CellText(std::size_t i, std::size_t j) const;  // "" on the diagonal
  std::string PairLine(std::size_t i, std::size_t j) const;
  std::string PointsLine(std::size_t i, std::size_t j) const;

 private:
  void Clear();

  CorrelationMode m_mode = CorrelationMode::Values;
  bool m_manual = false;
  double m_manualValue = 0.5;
  bool m_filterInForce = false;
  std::uint32_t m_rows = 0;
  std::uint32_t m_activeRows = 0;
  std::uint32_t m_filteredRows = 0;
  std::vector<std::uint8_t> m_rowFiltered;  // per row (0-based)
  std::vector<CorrParameter> m_parameters;
  std::vector<double> m_shift;  // per parameter: a value near its mean the sums are taken about
  // Per parameter: every active row carries its value, and the value less the shift by row (0
  // where the row is not analysed), with the sum and the sum of squares of those.
  std::vector<bool> m_complete;
  std::vector<std::vector<double>> m_centred;
  std::vector<double> m_centredSum, m_centredSquares;
  std::vector<CorrPair> m_pairs;
};

}  // namespace mv
