#include "render/histogram_painter.h"

#include <QFontMetricsF>
#include <QPolygonF>
#include <QString>

#include <algorithm>
#include <cmath>

#include "analysis/chart_kinds.h"
#include "analysis/chart_plot.h"
#include "core/numbers.h"
#include "render/box_plot_painter.h"

namespace mv::render {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }
// The system's texts break lines with "\r".
QString Lines(const std::string& text) { return Q(text).replace(QLatin1Char('\r'), QLatin1Char('\n')); }

// What the painter works with for one histogram.
struct Ctx {
  QPainter& p;
  const HistogramDrawing& d;
  const THisto& h;
  const THistogram& g;
  const HistogramPaintOptions& opt;
  Palette pal;
  double u = 1;
  QFont small, bold;
  double lineH = 0;
  HistogramLayout lay;
};

const HistogramOptions& O(const Ctx& c) { return c.opt.histogram; }

bool HasFigures(const THisto& h) {
  const THistogram& g = h.histogram;
  return h.loaded && g.computed && !g.bins.empty() && g.valueCount > 0 && g.FiguresFinite();
}

// The room a side text takes at `width` with word wrap.
double TextHeight(const QFontMetricsF& fm, double width, const QString& text) {
  return fm.boundingRect(QRectF(0, 0, std::max(width, 1.0), 1e6), Qt::TextWordWrap, text).height();
}

bool SideShown(const HistogramDrawing& d) {
  return !d.statistics.empty() || !d.uniqueValues.empty() || !d.tail.empty() || d.advice.has_value();
}

double Depth3d(const Ctx& c, double barWidth) { return O(c).bars3d ? std::min(7 * c.u, barWidth * 0.3) : 0; }

void Layout(Ctx& c, const QRectF& cell, HistogramRange span) {
  const QFontMetricsF fm(c.small, c.p.device());
  const double u = c.u;
  const HistogramOptions& o = O(c);
  c.lay.cell = cell;
  const double titleH = QFontMetricsF(c.bold, c.p.device()).height() * 1.35;
  const double bandH = c.lineH * 1.25;  // the labels of the lines above the plot
  double top = cell.top() + titleH + bandH;
  double bottom = cell.bottom() - 4 * u;
  if (!c.d.boxPlotTitle.empty()) bottom -= std::max(24 * u, c.lineH * 2) + c.lineH * 1.2;
  if (o.binNumbers) bottom -= c.lineH * 1.1;
  bottom -= c.lineH + 6 * u;  // the value labels
  const bool spectrum = o.valueSpectrum && !c.g.uniqueValues.empty();
  const double spectrumH = spectrum ? std::max(14 * u, c.lineH * 1.5) : 0;
  bottom -= spectrumH;

  // Left: the count labels.
  const double topCount = HistogramDensityTop(c.g, o.normalCurve) * c.g.valueCount * c.g.binWidth;
  const double leftW = fm.horizontalAdvance(Q(FormatInt(static_cast<std::int64_t>(std::ceil(topCount))))) + 10 * u;
  double right = cell.right() - 6 * u;
  if (SideShown(c.d)) {
    const double sideW = std::clamp(cell.width() * 0.27, 120 * u, 270 * u);
    c.lay.side = QRectF(QPointF(right - sideW, top), QPointF(right, bottom + spectrumH));
    right -= sideW + 10 * u;
  }
  right -= 7 * u;  // the depth of 3D bars and the ends of the labels
  const double left = cell.left() + leftW;
  if (right < left + 20 * u) right = left + 20 * u;
  if (bottom < top + 20 * u) bottom = top + 20 * u;
  c.lay.plot = QRectF(QPointF(left, top), QPointF(right, bottom));
  c.lay.axis = HistogramAxis(span, left, right - left, HistogramDensityTop(c.g, o.normalCurve), top, bottom - top);
  if (spectrum) c.lay.spectrum = QRectF(left, bottom, right - left, spectrumH);
  if (!c.d.boxPlotTitle.empty()) {
    double y = bottom + spectrumH + c.lineH + 6 * u + (o.binNumbers ? c.lineH * 1.1 : 0);
    c.lay.boxPlot = QRectF(left, y, right - left, std::max(24 * u, c.lineH * 2));
  }
}

// A label above the plot at x.
struct BandLabel {
  double x = 0;
  QString text;
  QColor colour;
};

// A vertical line across the plot at value v, or, when the axis does not show v, a mark at the
// edge it lies beyond; its label goes to the band above the plot.
void VerticalLine(Ctx& c, double v, const QPen& pen, const QString& label, std::vector<BandLabel>& labels) {
  const QRectF& plot = c.lay.plot;
  const HistogramAxis& axis = c.lay.axis;
  if (!std::isfinite(v)) return;
  if (axis.Shows(v)) {
    const double x = axis.X(v);
    c.p.setPen(pen);
    c.p.drawLine(QLineF(x, plot.top(), x, plot.bottom()));
    labels.push_back({x, label, pen.color()});
    return;
  }
  // Beyond the axis: a filled triangle at the edge, pointing the way the value lies.
  const bool below = v < axis.Min();
  const double x = below ? plot.left() : plot.right();
  const double s = 5 * c.u;
  const double y = plot.top() + s + 2 * c.u;
  const QPointF tip(below ? x - s : x + s, y);
  const QPointF pts[] = {tip, QPointF(x, y - s), QPointF(x, y + s)};
  c.p.setPen(MakePen(c.p, pen.color(), 1));
  c.p.setBrush(pen.color());
  c.p.drawPolygon(pts, 3);
  c.p.setBrush(Qt::NoBrush);
  labels.push_back({below ? x + s + 2 * c.u : x - s - 2 * c.u,
                    label + QStringLiteral("=") + Q(FormatFixed(v, c.h.data.decimals)), pen.color()});
}

void DrawBandLabels(Ctx& c, std::vector<BandLabel> labels) {
  std::sort(labels.begin(), labels.end(), [](const BandLabel& a, const BandLabel& b) { return a.x < b.x; });
  const QFontMetricsF fm(c.small, c.p.device());
  const double gap = 4 * c.u;
  // Centred on their lines, pushed apart to the right, then back from the right edge.
  std::vector<double> lefts;
  for (const BandLabel& l : labels) lefts.push_back(l.x - fm.horizontalAdvance(l.text) / 2);
  for (std::size_t k = 1; k < labels.size(); ++k) {
    lefts[k] = std::max(lefts[k], lefts[k - 1] + fm.horizontalAdvance(labels[k - 1].text) + gap);
  }
  double limit = c.lay.cell.right() - 2 * c.u;
  for (std::size_t k = labels.size(); k-- > 0;) {
    const double w = fm.horizontalAdvance(labels[k].text);
    lefts[k] = std::min(lefts[k], limit - w);
    limit = lefts[k] - gap;
  }
  c.p.setFont(c.small);
  const double y = c.lay.plot.top() - c.lineH * 1.2;
  for (std::size_t k = 0; k < labels.size(); ++k) {
    const double w = fm.horizontalAdvance(labels[k].text);
    const double x = std::max(lefts[k], c.lay.cell.left() + 2 * c.u);
    c.p.setPen(c.opt.style.monochrome ? c.pal.text : labels[k].colour);
    c.p.drawText(QRectF(x, y, w + 2 * c.u, c.lineH * 1.2), Qt::AlignLeft | Qt::AlignVCenter, labels[k].text);
  }
}

void DrawBars(Ctx& c) {
  const HistogramOptions& o = O(c);
  const auto lsl = c.h.data.tolerance.Get(ValueRange::kLower);
  const auto usl = c.h.data.tolerance.Get(ValueRange::kUpper);
  const QColor inside = o.barColours ? c.pal.bar : QColor(0xEE, 0xEE, 0xEE);
  // Bins whose middle lies beyond a tolerance limit: a warm colour, hatched in black and white.
  const QColor outside = c.opt.style.monochrome ? QColor(0xB0, 0xB0, 0xB0) : QColor(0xF0, 0xA8, 0xA0);
  for (int i = 1; i <= c.g.binCount; ++i) {
    const auto bar = HistogramBar(c.g, c.lay.axis, i);
    const HistogramBin* bin = c.g.Bin(i);
    if (!bar || bin == nullptr) continue;
    const bool beyond = o.barColours && ((lsl && bin->centre < *lsl) || (usl && bin->centre > *usl));
    const QRectF front(QPointF(bar->left, bar->top), QPointF(bar->right, bar->bottom));
    const QColor fill = beyond ? outside : inside;
    const QBrush brush = beyond && c.opt.style.monochrome ? QBrush(Qt::black, Qt::BDiagPattern) : QBrush(fill);
    const double dd = Depth3d(c, front.width());
    c.p.setPen(MakePen(c.p, c.pal.barEdge, 1));
    if (bin->count > 0 && dd > 0) {
      const QPointF topFace[] = {front.topLeft(), front.topLeft() + QPointF(dd, -dd),
                                 front.topRight() + QPointF(dd, -dd), front.topRight()};
      const QPointF sideFace[] = {front.topRight(), front.topRight() + QPointF(dd, -dd),
                                  front.bottomRight() + QPointF(dd, -dd), front.bottomRight()};
      c.p.setBrush(fill.lighter(125));
      c.p.drawPolygon(topFace, 4);
      c.p.setBrush(fill.darker(130));
      c.p.drawPolygon(sideFace, 4);
    }
    if (bin->count > 0) {
      if (beyond && c.opt.style.monochrome) c.p.fillRect(front, Qt::white);
      c.p.setBrush(brush);
      c.p.drawRect(front);
    }
  }
  c.p.setBrush(Qt::NoBrush);
}

// The counts above the bars, drawn over the lines so that none is crossed out.
void DrawCounts(Ctx& c) {
  const QFontMetricsF fm(c.small, c.p.device());
  c.p.setFont(c.small);
  for (int i = 1; i <= c.g.binCount; ++i) {
    const auto bar = HistogramBar(c.g, c.lay.axis, i);
    const HistogramBin* bin = c.g.Bin(i);
    if (!bar || bin == nullptr || bin->count == 0) continue;
    const QString text = Q(FormatInt(bin->count));
    const double w = fm.horizontalAdvance(text);
    const double width = bar->right - bar->left;
    if (w > width + 6 * c.u) continue;
    const double dd = Depth3d(c, width);
    const QRectF box((bar->left + bar->right) / 2 - w / 2 - c.u + dd / 2, bar->top - dd - c.lineH - c.u, w + 2 * c.u,
                     c.lineH);
    c.p.fillRect(box.adjusted(0, 2 * c.u, 0, -2 * c.u), Qt::white);
    c.p.setPen(c.pal.text);
    c.p.drawText(box, Qt::AlignCenter, text);
  }
}

void DrawCurve(Ctx& c) {
  const auto curve = NormalCurve(c.g, c.lay.axis, std::clamp(static_cast<int>(c.lay.plot.width() / (2 * c.u)), 40, 400));
  if (curve.empty()) return;
  QPolygonF line;
  line.reserve(static_cast<qsizetype>(curve.size()));
  for (const auto& [v, density] : curve) line.append(QPointF(c.lay.axis.X(v), c.lay.axis.Y(density)));
  c.p.setPen(MakePen(c.p, c.pal.curve, c.opt.style.monochrome ? 1.5 : 2));
  c.p.setBrush(Qt::NoBrush);
  c.p.drawPolyline(line);
}

void DrawShiftArrow(Ctx& c, double from, double to) {
  const double y = c.lay.plot.top() + c.lineH * 0.6;
  const double x1 = c.lay.axis.X(from), x2 = c.lay.axis.X(to);
  const double s = std::min(6 * c.u, std::fabs(x2 - x1));
  const double dir = x2 > x1 ? 1 : -1;
  c.p.setPen(MakePen(c.p, c.pal.centre, 1.5));
  c.p.drawLine(QLineF(x1, y, x2, y));
  const QPointF head[] = {QPointF(x2, y), QPointF(x2 - dir * s, y - s / 2), QPointF(x2 - dir * s, y + s / 2)};
  c.p.setBrush(c.pal.centre);
  c.p.drawPolygon(head, 3);
  c.p.setBrush(Qt::NoBrush);
}

void DrawLevelsAndLines(Ctx& c) {
  const HistogramOptions& o = O(c);
  const CDataSet& data = c.h.data;
  std::vector<BandLabel> labels;
  if (o.sigmaLevels && c.g.sigma > 0) {
    const SigmaLevelLines levels = SigmaLevels(c.g.mean, c.g.sigma, o.sigmaLevel);
    const QPen pen = MakePen(c.p, c.pal.levels, o.thickLine ? 2.5 : 1.2, Qt::DashDotDotLine);
    const QString k = Q(FormatInt(o.sigmaLevel));
    VerticalLine(c, levels.lower, pen, QStringLiteral("-") + k + QChar(0x03C3), labels);
    VerticalLine(c, levels.upper, pen, QStringLiteral("+") + k + QChar(0x03C3), labels);
  }
  if (o.boxPlot && c.g.boxPlot.computed && (o.boxPlotOptions & box_plot_option::kShowLevels) != 0) {
    PaintBoxPlotLevels(c.p, c.lay.plot, c.g.boxPlot, {false, c.lay.axis.Min(), c.lay.axis.Max()}, c.opt.style);
  }
  const auto lsl = data.tolerance.Get(ValueRange::kLower);
  const auto usl = data.tolerance.Get(ValueRange::kUpper);
  if (o.toleranceLimits) {
    const QPen pen = MakePen(c.p, c.pal.tolerance, 2, Qt::DashLine);
    if (lsl) VerticalLine(c, *lsl, pen, Q(std::string(ChartAlias(chart_alias::kLsl))), labels);
    if (usl) VerticalLine(c, *usl, pen, Q(std::string(ChartAlias(chart_alias::kUsl))), labels);
  }
  if (const auto nominal = data.tolerance.Get(ValueRange::kTarget); o.nominal && nominal) {
    VerticalLine(c, *nominal, MakePen(c.p, c.pal.nominal, 1.5, Qt::DashDotLine),
                 Q(std::string(ChartAlias(chart_alias::kNominal))), labels);
  }
  const bool centre = o.toleranceCentre && lsl && usl;
  if (centre) {
    VerticalLine(c, (*lsl + *usl) / 2, MakePen(c.p, c.pal.centre, 1.5, Qt::DotLine),
                 c.opt.lang == Lang::En ? QStringLiteral("Centre") : QStringLiteral("Центр"), labels);
  }
  if (o.mean) {
    VerticalLine(c, c.g.mean, MakePen(c.p, c.pal.mean, 2), QStringLiteral("X\u0304"), labels);
  }
  if (centre && c.d.advice && !c.d.advice->centred && SetupAdviceShown(*c.d.advice, c.lay.axis, c.g.mean, c.u)) {
    DrawShiftArrow(c, c.g.mean, c.g.mean + c.d.advice->diff);
  }
  DrawBandLabels(c, std::move(labels));
}

void DrawAxes(Ctx& c) {
  const HistogramOptions& o = O(c);
  const QRectF& plot = c.lay.plot;
  const HistogramAxis& axis = c.lay.axis;
  const QFontMetricsF fm(c.small, c.p.device());
  c.p.setFont(c.small);
  // Counts up the left side, with a faint grid.
  const double perCount = c.g.valueCount * c.g.binWidth;
  if (perCount > 0) {
    const double topCount = axis.DensityTop() * perCount;
    for (const double n : HistogramCountTicks(topCount, static_cast<int>(plot.height() / (c.lineH * 2)))) {
      const double y = axis.Y(n / perCount);
      if (n > 0) {
        c.p.setPen(MakePen(c.p, c.pal.grid, 1, Qt::DotLine));
        c.p.drawLine(QLineF(plot.left(), y, plot.right(), y));
      }
      c.p.setPen(MakePen(c.p, c.pal.frame, 1));
      c.p.drawLine(QLineF(plot.left() - 4 * c.u, y, plot.left(), y));
      c.p.setPen(c.pal.text);
      c.p.drawText(QRectF(c.lay.cell.left(), y - c.lineH / 2, plot.left() - c.lay.cell.left() - 6 * c.u, c.lineH),
                   Qt::AlignRight | Qt::AlignVCenter, Q(FormatInt(static_cast<std::int64_t>(n))));
    }
  }
  // Values along the bottom: the bin edges when asked for, else round ticks.
  const double labelTop = (c.lay.spectrum.isEmpty() ? plot.bottom() : c.lay.spectrum.bottom()) + 2 * c.u;
  std::vector<std::pair<double, QString>> ticks;
  if (o.binEdges) {
    for (int i = 1; i <= c.g.binCount; ++i) {
      const HistogramBin* b = c.g.Bin(i);
      ticks.emplace_back(b->lower, Q(FormatFixed(b->lower, c.h.data.decimals + 1)));
      if (i == c.g.binCount) ticks.emplace_back(b->upper, Q(FormatFixed(b->upper, c.h.data.decimals + 1)));
    }
  } else {
    const double sample = fm.horizontalAdvance(Q(FormatFixed(axis.Max(), c.h.data.decimals + 1)));
    const ValueTicks t = ChooseValueTicks(axis.Min(), axis.Max(), std::max(2, static_cast<int>(plot.width() / (sample * 1.8))));
    for (const double v : t.values) ticks.emplace_back(v, Q(FormatFixed(v, t.decimals)));
  }
  // The unit at the right end of the value labels, which keep clear of it.
  double rightEnd = c.lay.cell.right();
  if (!c.h.data.unit.empty()) {
    const QString unit = Q(c.h.data.unit);
    const double w = fm.horizontalAdvance(unit);
    c.p.setPen(c.pal.text);
    c.p.drawText(QRectF(plot.right() - w, labelTop + 2 * c.u, w + 2 * c.u, c.lineH), Qt::AlignRight | Qt::AlignVCenter,
                 unit);
    rightEnd = plot.right() - w - 6 * c.u;
  }
  double lastRight = plot.left() - 6 * c.u;
  for (const auto& [v, text] : ticks) {
    const double x = axis.X(v);
    const double w = fm.horizontalAdvance(text);
    c.p.setPen(MakePen(c.p, c.pal.frame, 1));
    c.p.drawLine(QLineF(x, labelTop - 2 * c.u, x, labelTop + 2 * c.u));
    if (x - w / 2 < lastRight + 4 * c.u || x + w / 2 > rightEnd) continue;
    c.p.setPen(c.pal.text);
    c.p.drawText(QRectF(x - w / 2 - c.u, labelTop + 2 * c.u, w + 2 * c.u, c.lineH), Qt::AlignCenter, text);
    lastRight = x + w / 2;
  }
  if (o.binNumbers) {
    const double y = labelTop + c.lineH + 4 * c.u;
    for (int i = 1; i <= c.g.binCount; ++i) {
      const auto bar = HistogramBar(c.g, axis, i);
      const QString text = Q(FormatInt(i));
      if (!bar || fm.horizontalAdvance(text) > bar->right - bar->left + 2 * c.u) continue;
      c.p.setPen(c.pal.text);
      c.p.drawText(QRectF(bar->left, y, bar->right - bar->left, c.lineH), Qt::AlignCenter, text);
    }
  }
}

void DrawSpectrum(Ctx& c) {
  const QRectF& r = c.lay.spectrum;
  c.p.setPen(MakePen(c.p, c.pal.frame, 1));
  c.p.setBrush(Qt::white);
  c.p.drawRect(r);
  std::uint32_t most = 1;
  for (const UniqueValue& v : c.g.uniqueValues) most = std::max(most, v.count);
  c.p.setPen(MakePen(c.p, c.pal.series, 1));
  for (const UniqueValue& v : c.g.uniqueValues) {
    const double x = c.lay.axis.X(v.value);
    // A single value still shows: a third of the strip at least.
    const double share = 0.33 + 0.67 * static_cast<double>(v.count) / most;
    c.p.drawLine(QLineF(x, r.bottom() - 1 * c.u, x, r.bottom() - 1 * c.u - share * (r.height() - 2 * c.u)));
  }
}

void DrawBoxPlot(Ctx& c) {
  const QRectF& r = c.lay.boxPlot;
  PaintBoxPlot(c.p, r, c.g.boxPlot, O(c).boxPlotOptions, {false, c.lay.axis.Min(), c.lay.axis.Max()}, c.opt.style);
  const QFontMetricsF fm(c.small, c.p.device());
  const QRectF text(c.lay.cell.left() + 4 * c.u, r.bottom() + 1 * c.u, c.lay.cell.width() - 8 * c.u, c.lineH * 1.1);
  c.p.setFont(c.small);
  c.p.setPen(c.pal.text);
  c.p.drawText(text, Qt::AlignCenter, fm.elidedText(Q(c.d.boxPlotTitle), Qt::ElideRight, text.width()));
}

void DrawSide(Ctx& c) {
  const QRectF& side = c.lay.side;
  const QFontMetricsF fm(c.small, c.p.device());
  c.p.setFont(c.small);
  double y = side.top();
  const double pad = 5 * c.u;
  if (!c.d.statistics.empty()) {
    const double rowH = c.lineH * 1.15;
    const QRectF box(side.left(), y, side.width(), rowH * static_cast<double>(c.d.statistics.size()) + 2 * pad);
    c.p.setPen(MakePen(c.p, c.pal.frame, 1));
    c.p.setBrush(QColor(0xFA, 0xFA, 0xFA));
    c.p.drawRect(box);
    c.p.setBrush(Qt::NoBrush);
    double row = box.top() + pad;
    for (const auto& [caption, value] : c.d.statistics) {
      const QRectF line(box.left() + pad, row, box.width() - 2 * pad, rowH);
      const QString cap = Q(caption) + QStringLiteral(":");
      const double capW = std::min(fm.horizontalAdvance(cap), line.width() * 0.55);
      c.p.setPen(c.pal.text);
      c.p.drawText(QRectF(line.left(), row, capW, rowH), Qt::AlignLeft | Qt::AlignVCenter,
                   fm.elidedText(cap, Qt::ElideRight, capW));
      const double valueW = line.width() - capW - 4 * c.u;
      c.p.drawText(QRectF(line.right() - valueW, row, valueW, rowH), Qt::AlignRight | Qt::AlignVCenter,
                   fm.elidedText(Q(value), Qt::ElideRight, valueW));
      row += rowH;
    }
    y = box.bottom() + c.lineH * 0.6;
  }
  const auto text = [&](const QString& t, const QColor& colour) {
    if (y >= side.bottom()) return;
    const double h = std::min(TextHeight(fm, side.width(), t), side.bottom() - y);
    c.p.setPen(colour);
    c.p.drawText(QRectF(side.left(), y, side.width(), h), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, t);
    y += h + c.lineH * 0.5;
  };
  if (!c.d.uniqueValues.empty()) text(Lines(c.d.uniqueValues), c.pal.text);
  if (c.d.advice && (c.d.advice->centred || SetupAdviceShown(*c.d.advice, c.lay.axis, c.g.mean, c.u))) {
    text(Lines(c.d.advice->text), c.opt.style.monochrome ? c.pal.text : c.pal.centre);
  }
  for (const std::string& line : c.d.tail) text(Lines(line), c.pal.text);
}

void PaintOne(Ctx& c, const QRectF& cell, HistogramRange span) {
  const QFontMetricsF bfm(c.bold, c.p.device());
  const QRectF titleRect(cell.left() + 4 * c.u, cell.top(), cell.width() - 8 * c.u, bfm.height() * 1.3);
  c.p.setFont(c.bold);
  c.p.setPen(c.pal.text);
  c.p.drawText(titleRect, Qt::AlignCenter, bfm.elidedText(Q(c.d.title), Qt::ElideRight, titleRect.width()));
  c.lay.cell = cell;
  if (!HasFigures(c.h)) {
    c.p.setFont(c.small);
    c.p.drawText(cell.adjusted(0, titleRect.height(), 0, 0), Qt::AlignCenter, QString::fromUtf8(kNoHistogramData));
    return;
  }
  Layout(c, cell, span);
  c.lay.drawn = true;
  const QRectF& plot = c.lay.plot;
  c.p.fillRect(plot, Qt::white);
  DrawAxes(c);
  c.p.save();
  // The 3D faces and the counts reach above and right of the plot, inside the cell.
  c.p.setClipRect(plot.adjusted(0, -c.lineH * 1.2, 8 * c.u, 0));
  c.p.setRenderHint(QPainter::Antialiasing, false);
  DrawBars(c);
  c.p.setRenderHint(QPainter::Antialiasing, true);
  c.p.setClipRect(plot);
  if (O(c).normalCurve) DrawCurve(c);
  c.p.setClipping(false);
  DrawLevelsAndLines(c);
  if (O(c).binCounts) DrawCounts(c);
  c.p.restore();
  c.p.setPen(MakePen(c.p, c.pal.frame, 1));
  c.p.setBrush(Qt::NoBrush);
  c.p.drawRect(plot);
  if (!c.lay.spectrum.isEmpty()) DrawSpectrum(c);
  if (!c.lay.boxPlot.isEmpty()) DrawBoxPlot(c);
  if (!c.lay.side.isEmpty()) DrawSide(c);
}

}  // namespace

HistogramHit HistogramsLayout::HitAt(QPointF at, std::span<const HistogramDrawing> drawings) const {
  HistogramHit hit;
  for (std::size_t i = 0; i < histograms.size() && i < drawings.size(); ++i) {
    const HistogramLayout& l = histograms[i];
    if (!l.drawn || drawings[i].histo == nullptr) continue;
    const THistogram& g = drawings[i].histo->histogram;
    if (l.plot.contains(at)) {
      hit.histogram = static_cast<int>(i);
      hit.bin = HistogramBinAtX(g, l.axis, at.x());
      return hit;
    }
    if (l.spectrum.contains(at)) {
      hit.histogram = static_cast<int>(i);
      hit.value = UniqueValueAtX(g, l.axis, at.x(), 4 * unit);
      return hit;
    }
  }
  return hit;
}

void PaintHistograms(QPainter& painter, const QRectF& rect, std::span<const HistogramDrawing> drawings,
                     const HistogramPaintOptions& options, const std::string& caption, HistogramsLayout* layout) {
  painter.save();
  const Palette pal = PaletteOf(options.style);
  const double u = PixelUnit(painter);
  painter.fillRect(rect, pal.background);
  HistogramsLayout out;
  out.rect = rect;
  out.unit = u;
  QRectF body = rect;
  if (!caption.empty()) {
    const QFont font = GraphicsFont(options.style.font, 1.2, true);
    const QFontMetricsF fm(font, painter.device());
    out.caption = QRectF(rect.left(), rect.top(), rect.width(), fm.height() * 1.6);
    painter.setFont(font);
    painter.setPen(pal.text);
    painter.drawText(out.caption, Qt::AlignCenter, fm.elidedText(Q(caption), Qt::ElideRight, out.caption.width()));
    body.setTop(out.caption.bottom());
  }
  const std::size_t count = std::min(drawings.size(), kMaxHistograms);
  // The value span of each, shared within its scale group.
  std::vector<HistogramRange> spans(count);
  std::vector<std::int32_t> groups(count, 0);
  for (std::size_t i = 0; i < count; ++i) {
    const HistogramDrawing& d = drawings[i];
    if (d.histo == nullptr || !HasFigures(*d.histo)) continue;
    spans[i] = HistogramDrawnSpan(d.histo->histogram, d.histo->data.tolerance, options.histogram);
    groups[i] = d.scaleGroup;
  }
  ShareHistogramSpans(spans, groups);

  const HistogramGrid grid = HistogramGridOf(count);
  const double gap = 10 * u;
  const double w = (body.width() - gap * (grid.columns - 1)) / grid.columns;
  const double h = (body.height() - gap * (grid.rows - 1)) / grid.rows;
  QFont small = GraphicsFont(options.style.font, 0.9);
  QFont bold = GraphicsFont(options.style.font, 1.05, true);
  const double lineH = QFontMetricsF(small, painter.device()).height();
  for (std::size_t i = 0; i < count; ++i) {
    const HistogramDrawing& d = drawings[i];
    const int col = static_cast<int>(i) % grid.columns;
    const int row = static_cast<int>(i) / grid.columns;
    const QRectF cell(body.left() + col * (w + gap), body.top() + row * (h + gap), w, h);
    HistogramLayout lay;
    lay.cell = cell;
    if (d.histo != nullptr) {
      Ctx c{painter, d, *d.histo, d.histo->histogram, options, pal, u, small, bold, lineH, {}};
      PaintOne(c, cell, spans[i]);
      lay = c.lay;
    }
    out.histograms.push_back(lay);
  }
  if (layout != nullptr) *layout = std::move(out);
  painter.restore();
}

}  // namespace mv::render
