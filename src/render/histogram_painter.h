#pragma once
// The histogram painter: up to 6 histograms of a window drawn into one rectangle of any
// QPainter (a widget, a printer page, a picture). What a histogram shows is decided by its
// computed THisto, the texts its window made for it and the histogram options; the painter
// decides only pixels, and hands back the geometry it used so that the mouse names the bin or
// value under it by the same mapping.

#include <QPainter>
#include <QRectF>

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/histogram_options.h"
#include "analysis/histogram_plot.h"
#include "core/text.h"
#include "render/paint_style.h"

namespace mv::render {

struct HistogramPaintOptions {
  HistogramOptions histogram;
  PaintStyle style;
  Lang lang = Lang::Ru;  // the few words of the drawing itself (the nominal and centre labels)
};

// Where one drawn histogram put things.
struct HistogramLayout {
  QRectF cell;      // the histogram's share of the rectangle
  QRectF plot;      // bars, curve and lines: values across, densities up
  QRectF spectrum;  // the strip of distinct values (empty without it)
  QRectF boxPlot;   // the box plot under the plot (empty without it)
  QRectF side;      // the statistics box and the texts at the right (empty without them)
  HistogramAxis axis;
  bool drawn = false;  // the histogram had figures to draw (else the no-data text stands there)
};

// What the mouse is over.
struct HistogramHit {
  int histogram = -1;                // 0-based, -1 none
  int bin = 0;                       // 1..k over a bar's column of the plot, else 0
  std::optional<std::size_t> value;  // a distinct value of the spectrum strip
};

struct HistogramsLayout {
  QRectF rect;
  QRectF caption;  // empty without one
  std::vector<HistogramLayout> histograms;
  double unit = 1;  // device pixels per screen pixel

  // The bin or distinct value under `at`: the plot gives the bin whose column holds it, the
  // spectrum strip the distinct value within 4 screen pixels. `drawings` are those painted.
  HistogramHit HitAt(QPointF at, std::span<const HistogramDrawing> drawings) const;
};

// Draws the histograms into `rect`: the caption line on top (none when empty), then the
// histograms in a grid (HistogramGridOf). Histograms of one non-zero scale group share their
// value span.
void PaintHistograms(QPainter& painter, const QRectF& rect, std::span<const HistogramDrawing> drawings,
                     const HistogramPaintOptions& options, const std::string& caption = {},
                     HistogramsLayout* layout = nullptr);

}  // namespace mv::render
