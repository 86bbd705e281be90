#pragma once
// The geometry of a drawn histogram, without the drawing: the value span its axis shows, the
// sharing of that span among histograms of one scale, the mapping of values and densities onto
// the plot area, the bars, the normal curve, the grid of several histograms, the distinct value
// under the mouse and the rule that places the set-up shift text. The painter places every mark
// by these, and the window's mouse and the tests find the marks by the same numbers.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "analysis/histogram.h"
#include "analysis/histogram_options.h"
#include "analysis/histogram_window_calc.h"

namespace mv {

// The statistics box of a histogram: (caption, value) lines as the caller chose them.
using StatisticLines = std::vector<std::pair<std::string, std::string>>;

// What one histogram of a picture shows besides the computed THisto: the texts the window's
// logic made for it.
struct HistogramDrawing {
  const THisto* histo = nullptr;
  std::string title;
  StatisticLines statistics;        // empty: no statistics box
  std::string uniqueValues;         // "250\r уник.значений" ("\r" breaks the line); empty: none
  std::vector<std::string> tail;    // the tail analysis lines; empty: none
  std::string boxPlotTitle;         // the caption under the box plot; empty: no box plot
  std::optional<SetupAdvice> advice;  // the set-up recommendation when the centre is shown
  std::int32_t scaleGroup = 0;      // non-zero: histograms of one group share their value span
};

// The values a histogram's axis spans: its bins, widened to the tolerance limits when they are
// shown in full and to the ±k sigma levels when those are shown in full, with a margin of 2% of
// the width each side so that nothing lies on the frame. Never empty, always finite when the
// histogram's figures are.
HistogramRange HistogramDrawnSpan(const THistogram& histogram, const ValueRange& tolerance,
                                  const HistogramOptions& options);

// Histograms of one non-zero group get the union of their spans; group 0 keeps its own.
void ShareHistogramSpans(std::span<HistogramRange> spans, std::span<const std::int32_t> groups);

// The density the top of the plot stands for: the tallest bar (and the normal peak when the
// curve is drawn) with room above it for the counts; 1 when there is nothing to show.
double HistogramDensityTop(const THistogram& histogram, bool normalCurve);

// The counts the left side of a histogram is labelled with, 0..topCount: round steps (1, 2 or
// 5 x 10^k, as the value ticks) of whole numbers only, about maxTicks (2 at least) of them; 0
// and a count above it whenever the top reaches 1.
std::vector<double> HistogramCountTicks(double topCount, int maxTicks);

// Values span.min..span.max onto [left, left + width], densities 0..densityTop onto
// [top + height, top] (0 at the bottom).
class HistogramAxis {
 public:
  HistogramAxis() = default;
  // An empty or inverted span becomes min - 1 .. min + 1 and a density top that is not positive
  // becomes 1, so no division by zero can occur.
  HistogramAxis(HistogramRange span, double left, double width, double densityTop, double top, double height);

  double Min() const { return m_min; }
  double Max() const { return m_max; }
  double Left() const { return m_left; }
  double Width() const { return m_width; }
  double Top() const { return m_top; }
  double Height() const { return m_height; }
  double DensityTop() const { return m_densityTop; }
  double X(double value) const { return m_left + (value - m_min) * m_perUnit; }
  double ValueAt(double x) const { return m_min + (x - m_left) / m_perUnit; }
  double Y(double density) const { return m_top + m_height - density / m_densityTop * m_height; }
  // The value lies within the span (the drawn axis).
  bool Shows(double value) const { return value >= m_min && value <= m_max; }

 private:
  double m_min = 0, m_max = 1;
  double m_left = 0, m_width = 1;
  double m_perUnit = 1;
  double m_densityTop = 1;
  double m_top = 0, m_height = 1;
};

// Where bar i (1..k) of the histogram is drawn: from its lower to its upper edge, from the
// bottom up to its share density. Nothing for a bin that does not exist.
struct BarRect {
  double left = 0, right = 0, top = 0, bottom = 0;
};
std::optional<BarRect> HistogramBar(const THistogram& histogram, const HistogramAxis& axis, int bin);

// The bin under a horizontal position of the plot, 0 when none.
int HistogramBinAtX(const THistogram& histogram, const HistogramAxis& axis, double x);

// The normal density of the histogram's mean and sigma at `steps` + 1 evenly spaced values of
// the axis span, as (value, density); empty when sigma is not positive.
std::vector<std::pair<double, double>> NormalCurve(const THistogram& histogram, const HistogramAxis& axis, int steps);

// The distinct value drawn nearest to x within `radius` pixels (its position in the list), by
// bisection over the ascending list; nothing when none is that near.
std::optional<std::size_t> UniqueValueAtX(const THistogram& histogram, const HistogramAxis& axis, double x,
                                          double radius);

// The set-up shift text is shown only when the mean and the tolerance centre are more than
// 3 pixels apart on the drawn axis (`pixel` device pixels to a screen pixel); the centred texts
// are shown whatever the distance.
inline constexpr double kSetupShiftMinPixels = 3;
bool SetupAdviceShown(const SetupAdvice& advice, const HistogramAxis& axis, double mean, double pixel = 1);

// How `count` histograms share a picture: up to 3 in a row, 4 as two rows of 2.
struct HistogramGrid {
  int columns = 1;
  int rows = 1;
};
HistogramGrid HistogramGridOf(std::size_t count);

}  // namespace mv
