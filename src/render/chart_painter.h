#pragma once
// The control-chart painter: one chart, or the upper and lower chart of a window with its
// caption, drawn into a rectangle of any QPainter (a widget, a printer page, a picture). What a
// chart shows is decided by the built TChart and the options it was built with; the painter
// decides only pixels, and hands back the geometry it used so that the mouse finds a point by
// the same mapping (nearest point of the pixel column).

#include <QPainter>
#include <QRectF>

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/chart_options.h"
#include "analysis/chart_plot.h"
#include "analysis/control_chart.h"
#include "render/paint_style.h"

namespace mv {
class TDatasetSPC;
}

namespace mv::render {

// The mark beside the conclusion line: good (stable) or bad; none without limits.
enum class ConclusionMark : std::uint8_t { None = 0, Good = 1, Bad = 2 };
// Good when no point is beyond the limits and no signal was found; None when the chart shows
// no limits.
ConclusionMark ConclusionMarkOf(const TChart& chart);
// Whether the chart has a conclusion line: the conclusion option is on and limits are shown, or
// an np or c chart cannot have limits (its line says why).
bool ConclusionDrawn(const TChart& chart, const TChartOptions& options);

// What a sample entry carries besides its value, for the events option.
namespace entry_remark {
inline constexpr std::uint8_t kNote = 1;
inline constexpr std::uint8_t kEvent = 2;
}  // namespace entry_remark

// The measured values of each entry's sample, for the data-range band of the X and M charts and
// its dots: entry i's values are values[start[i - 1]] .. values[start[i] - 1]. Empty: no band.
struct EntrySampleValues {
  std::vector<std::uint32_t> start;  // one more than the entries
  std::vector<double> values;

  std::uint32_t Entries() const { return start.empty() ? 0 : static_cast<std::uint32_t>(start.size() - 1); }
};

struct ChartPaintOptions {
  // The options the chart was built with: criteria display flags (series lines, ribbons, point
  // numbers, zones, zone analysis), grid, events, dates, histogram and box plot beside.
  TChartOptions chart;
  PaintStyle style;
  // The conclusion line under the chart, drawn when ConclusionDrawn and the text is not empty,
  // with the mark of ConclusionMarkOf.
  std::string conclusion;
  // The short zone analysis ("Анализ зон КК: ..."), drawn above the plot with display flag 64
  // when the chart has zones.
  std::string zoneAnalysis;
  // Block names by block position - 1, written at the block boundaries (none: numbers).
  std::vector<std::string> blockNames;
  // entry_remark bits per entry (index - 1), for the events option; empty: the entries' note
  // flags alone.
  std::vector<std::uint8_t> remarks;
  // The chosen point (entry index, 0 none), drawn with a frame around it.
  std::uint32_t chosenPoint = 0;
  // With the data-range option: the values of the entries' samples (SampleValuesOf).
  EntrySampleValues sampleValues;
};

// Block names and per-entry remarks read from the dataset: what ChartPaintOptions wants of the
// model beside the chart.
std::vector<std::string> BlockNames(const TDatasetSPC& dataset);
std::vector<std::uint8_t> EntryRemarks(const TChart& chart, const TDatasetSPC& dataset);
// The active measured values of the current parameter in each analysed entry's sample, on the X
// and M charts (empty for the other kinds): what the data-range band spans.
EntrySampleValues SampleValuesOf(const TChart& chart, const TDatasetSPC& dataset);
// Everything a chart of the dataset is drawn with beside itself, under the options it was built
// with: the conclusion line (only when ConclusionDrawn), the short zone analysis (when it has
// zones), the block names, the entries' remarks and, with the data-range option, the samples'
// values. The window, its print and the picture command draw with these; style and chosen
// point are the caller's.
ChartPaintOptions ChartPaintOptionsFor(const TChart& chart, const TDatasetSPC& dataset, const TChartOptions& options);

// Where a drawn chart put things.
struct ChartLayout {
  QRectF rect;       // the whole chart
  QRectF plot;       // the plot area: entries across, values up
  QRectF ribbons;    // the series ribbons under the plot (empty without them)
  QRectF criteria;   // the criteria area the mouse text speaks of (the ribbons, else empty)
  QRectF histogram;  // the histogram beside the plot (empty without it)
  QRectF boxPlot;    // the box plot beside the plot (empty without it)
  QRectF conclusion; // the conclusion line (empty without it)
  EntryAxis entries;
  ValueScale values;
  double unit = 1;  // device pixels per screen pixel (PixelUnit)

  // The entry nearest to `at` within `radius` screen pixels (0 none), by the pixel columns.
  std::uint32_t PointAt(const TChart& chart, QPointF at, double radius = 6) const;
};

// Draws one chart into `rect`. A chart without a current series draws its frame alone.
void PaintChart(QPainter& painter, const QRectF& rect, const TChart& chart, const ChartPaintOptions& options,
                ChartLayout* layout = nullptr);

struct ChartPairLayout {
  QRectF caption;
  ChartLayout upper;
  ChartLayout lower;  // empty rects without a lower chart
};

// The charts of a window: the caption line on top, the upper chart above the lower one (lower
// may be null; then the upper takes the whole height). The conclusion of each chart is its own
// option's text: `lowerConclusion` for the lower chart.
void PaintChartPair(QPainter& painter, const QRectF& rect, const std::string& caption, const TChart& upper,
                    const TChart* lower, const ChartPaintOptions& upperOptions, const ChartPaintOptions& lowerOptions,
                    ChartPairLayout* layout = nullptr);

}  // namespace mv::render
