#include "render/box_plot_painter.h"

#include <QFontMetricsF>
#include <QString>

#include <algorithm>
#include <cmath>

namespace mv::render {

double BoxPlotAxis::At(const QRectF& rect, double value) const {
  const double span = max > min ? max - min : 1;
  const double t = (value - min) / span;
  return vertical ? rect.bottom() - t * rect.height() : rect.left() + t * rect.width();
}

namespace {

// A segment across the axis at `at` from `from` to `to` (offsets across the rectangle).
QLineF Across(const QRectF& rect, const BoxPlotAxis& axis, double at, double from, double to) {
  return axis.vertical ? QLineF(rect.left() + from, at, rect.left() + to, at)
                       : QLineF(at, rect.top() + from, at, rect.top() + to);
}

// A segment along the axis from value position a to b at offset `across`.
QLineF Along(const QRectF& rect, const BoxPlotAxis& axis, double a, double b, double across) {
  return axis.vertical ? QLineF(rect.left() + across, a, rect.left() + across, b)
                       : QLineF(a, rect.top() + across, b, rect.top() + across);
}

}  // namespace

void PaintBoxPlot(QPainter& painter, const QRectF& rect, const TBoxPlot& f, std::uint16_t options,
                  const BoxPlotAxis& axis, const PaintStyle& style) {
  if (!f.computed || rect.isEmpty()) return;
  const Palette pal = PaletteOf(style);
  const double u = PixelUnit(painter);
  const double thick = axis.vertical ? rect.width() : rect.height();
  const double mid = thick / 2;
  const double half = std::min(thick * 0.3, 14 * u);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);

  const double q1 = axis.At(rect, f.q1), q3 = axis.At(rect, f.q3), med = axis.At(rect, f.median);
  const double lo = axis.At(rect, f.lower.end), hi = axis.At(rect, f.upper.end);
  painter.setPen(MakePen(painter, pal.frame, 1));
  // Whiskers with their end bars.
  painter.drawLine(Along(rect, axis, lo, q1, mid));
  painter.drawLine(Along(rect, axis, q3, hi, mid));
  painter.drawLine(Across(rect, axis, lo, mid - half / 2, mid + half / 2));
  painter.drawLine(Across(rect, axis, hi, mid - half / 2, mid + half / 2));
  // The box and the median.
  const QRectF box = axis.vertical ? QRectF(QPointF(rect.left() + mid - half, std::min(q1, q3)),
                                            QPointF(rect.left() + mid + half, std::max(q1, q3)))
                                   : QRectF(QPointF(std::min(q1, q3), rect.top() + mid - half),
                                            QPointF(std::max(q1, q3), rect.top() + mid + half));
  painter.setBrush(pal.boxFill);
  painter.drawRect(box);
  painter.setPen(MakePen(painter, pal.frame, 2.5));
  painter.drawLine(Across(rect, axis, med, mid - half, mid + half));
  // Outliers: hollow circles, one per distinct value.
  painter.setPen(MakePen(painter, pal.frame, 1));
  painter.setBrush(Qt::NoBrush);
  for (const BoxPlotWhisker* w : {&f.lower, &f.upper}) {
    for (const BoxPlotOutlier& o : w->outliers) {
      const double at = axis.At(rect, o.value);
      const QPointF c = axis.vertical ? QPointF(rect.left() + mid, at) : QPointF(at, rect.top() + mid);
      painter.drawEllipse(c, 3 * u, 3 * u);
      if (o.multiplicity > 1) {
        // A value met more than once carries its count beside its circle ("×3").
        const QString count = QStringLiteral("\u00D7%1").arg(o.multiplicity);
        const QFontMetricsF fm(painter.font());
        const QPointF textAt = axis.vertical ? c + QPointF(5 * u, fm.ascent() / 2 - u)
                                         : c + QPointF(-fm.horizontalAdvance(count) / 2, -5 * u);
        painter.drawText(textAt, count);
      }
    }
  }
  if ((options & box_plot_option::kShowMean) != 0) {
    // The mean as a cross of its own shape, so that it is told from the median in print.
    const double m = axis.At(rect, f.mean);
    const QPointF c = axis.vertical ? QPointF(rect.left() + mid, m) : QPointF(m, rect.top() + mid);
    painter.setPen(MakePen(painter, pal.mean, 1.5));
    painter.drawLine(c + QPointF(-4 * u, -4 * u), c + QPointF(4 * u, 4 * u));
    painter.drawLine(c + QPointF(-4 * u, 4 * u), c + QPointF(4 * u, -4 * u));
  }
  if ((options & box_plot_option::kShowAsymmetry) != 0) {
    // The two whisker lengths side by side: unequal bars show a skewed distribution.
    const double off = mid + half + 3 * u;
    painter.setPen(MakePen(painter, pal.levels, 2));
    painter.drawLine(Along(rect, axis, lo, q1, std::min(off, thick - u)));
    painter.setPen(MakePen(painter, pal.levels, 2, Qt::DashLine));
    painter.drawLine(Along(rect, axis, q3, hi, std::min(off, thick - u)));
  }
  painter.restore();
}

void PaintBoxPlotLevels(QPainter& painter, const QRectF& plot, const TBoxPlot& f, const BoxPlotAxis& axis,
                        const PaintStyle& style) {
  if (!f.computed || plot.isEmpty()) return;
  const Palette pal = PaletteOf(style);
  painter.save();
  painter.setClipRect(plot);
  const double across = axis.vertical ? plot.width() : plot.height();
  painter.setPen(MakePen(painter, pal.levels, 1, Qt::DotLine));
  for (const double v : {f.lower.end, f.q1, f.q3, f.upper.end}) {
    painter.drawLine(Across(plot, axis, axis.At(plot, v), 0, across));
  }
  painter.setPen(MakePen(painter, pal.levels, 1.5, Qt::DashLine));
  painter.drawLine(Across(plot, axis, axis.At(plot, f.median), 0, across));
  painter.restore();
}

}  // namespace mv::render
