#pragma once
// The box plot (median, quartiles, whiskers, outliers, the mean and the asymmetry elements)
// drawn along a value scale: upright beside a chart, lying under a histogram.

#include <QPainter>
#include <QRectF>

#include <cstdint>

#include "analysis/box_plot.h"
#include "render/paint_style.h"

namespace mv::render {

// Values min..max along the rectangle: upwards when `vertical`, else left to right.
struct BoxPlotAxis {
  bool vertical = true;
  double min = 0;
  double max = 1;
  // The position of a value along the axis inside `rect`.
  double At(const QRectF& rect, double value) const;
};

// Draws the figures into `rect` with box_plot_option bits: 1 the mean, 2 the asymmetry
// elements (the two whisker lengths beside the box). Figures that are not computed draw nothing.
void PaintBoxPlot(QPainter& painter, const QRectF& rect, const TBoxPlot& figures, std::uint16_t options,
                  const BoxPlotAxis& axis, const PaintStyle& style);

// Option 4: the levels of the box plot (whisker ends, quartiles, median) across the main graph
// `plot`, on the same axis.
void PaintBoxPlotLevels(QPainter& painter, const QRectF& plot, const TBoxPlot& figures, const BoxPlotAxis& axis,
                        const PaintStyle& style);

}  // namespace mv::render
