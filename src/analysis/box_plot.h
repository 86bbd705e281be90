#pragma once
// Box-plot figures of a value list (median, quartiles, whiskers, outliers) and their text. The
// drawing lives with the rendering code; this is what it draws.

#include <cstdint>
#include <string>
#include <vector>

namespace mv {

class TValueList;

// Box-plot options (a 16-bit word kept in the chart and histogram options).
namespace box_plot_option {
inline constexpr std::uint16_t kShowMean = 1;  // "Показывать среднее значение"
inline constexpr std::uint16_t kShowAsymmetry = 2;  // "Показывать элементы анализа асимметрии"
inline constexpr std::uint16_t kShowLevels = 4;  // "Показывать уровни диаграммы на основном графике"
inline constexpr std::uint16_t kDefault = kShowMean | kShowAsymmetry;
}  // namespace box_plot_option

// Distinct outlier values kept per side for drawing (all are counted).
inline constexpr std::size_t kBoxPlotKeptOutliers = 10;

struct BoxPlotOutlier {
  double value = 0;
  std::uint32_t multiplicity = 0;
};

struct BoxPlotWhisker {
  double end = 0;                        // the last value inside the fence
  double fence = 0;                      // quartile ∓ 1.5 IQR, clamped to the data
  double quartile = 0;                   // Q1 for the lower whisker, Q3 for the upper
  double length = 0;                     // |end - quartile|
  std::vector<BoxPlotOutlier> outliers;  // up to 10 distinct values, from the extreme inwards
};

struct TBoxPlot {
  bool computed = false;
  double mean = 0;  // the list's mean
  double q1 = 0;
  double median = 0;
  double q3 = 0;
  double iqr = 0;
  // 32-bit: a histogram selection may hold far more than 65535 values.
  std::uint32_t count = 0;
  std::uint32_t outlierCount = 0;  // both sides, all of them
  BoxPlotWhisker lower;
  BoxPlotWhisker upper;
};

// Needs at least 3 values (else not computed); sorts the list. Q1 and Q3 are the values at the
// 1-based positions round(0.25 n) and round(0.75 n), halves to even.
TBoxPlot ComputeBoxPlot(TValueList& list);

// "нижний ус: 1.0, квартиль Q1 (25%): 2.0, медиана: 5.5, квартиль Q3 (75%): 8.0, верхний ус:
// 10.0, выбросы: 0 точек из 10", every value with exactly `decimals` decimals; "не рассчитано"
// when not computed.
std::string BoxPlotText(const TBoxPlot& figures, int decimals);

// The caption the histogram window puts before the text.
inline constexpr const char* kBoxPlotTitle = "Усатая диаграмма (Box plot) - ";

}  // namespace mv
