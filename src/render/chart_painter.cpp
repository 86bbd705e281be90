#include "render/chart_painter.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "analysis/chart_kinds.h"
#include "analysis/chart_texts.h"
#include "analysis/special_causes.h"
#include "core/numbers.h"
#include "render/box_plot_painter.h"
#include "spc/dataset_spc.h"

namespace mv::render {

ConclusionMark ConclusionMarkOf(const TChart& chart) {
  const ChartSeries* s = chart.Current();
  if (s == nullptr || !chart.limitsShown) return ConclusionMark::None;
  return chart.beyondCount == 0 && s->set.signals.empty() ? ConclusionMark::Good : ConclusionMark::Bad;
}

bool ConclusionDrawn(const TChart& chart, const TChartOptions& options) {
  return chart.conclusionShown || (options.conclusion && !chart.limitsComputable);
}

std::vector<std::string> BlockNames(const TDatasetSPC& dataset) {
  std::vector<std::string> names;
  for (int b = 1; const TSPCBlock* block = dataset.Block(b); ++b) names.push_back(block->name);
  return names;
}

std::vector<std::uint8_t> EntryRemarks(const TChart& chart, const TDatasetSPC& dataset) {
  std::vector<std::uint8_t> remarks(chart.data.points.size(), 0);
  for (std::size_t i = 0; i < remarks.size(); ++i) {
    const TChartPoint& e = chart.data.points[i];
    // Only the first entry of a sample carries its remarks (individuals charts have several).
    if (i > 0 && chart.data.points[i - 1].block == e.block && chart.data.points[i - 1].sample == e.sample) continue;
    const TSPCBlock* b = dataset.Block(e.block);
    const TSPCSample* s = b != nullptr ? b->Sample(e.sample) : nullptr;
    if (s == nullptr) continue;
    remarks[i] = static_cast<std::uint8_t>((s->Note().empty() ? 0 : entry_remark::kNote) |
                                           (s->Event().empty() ? 0 : entry_remark::kEvent));
  }
  return remarks;
}

EntrySampleValues SampleValuesOf(const TChart& chart, const TDatasetSPC& dataset) {
  EntrySampleValues out;
  const ChartSeries* s = chart.Current();
  if (s == nullptr || (chart.kind != ChartKind::Mean && chart.kind != ChartKind::Median)) return out;
  const auto& points = chart.data.points;
  out.start.reserve(points.size() + 1);
  out.start.push_back(0);
  for (std::uint32_t i = 1; i <= points.size(); ++i) {
    const TChartPoint& e = points[i - 1];
    const TSPCBlock* b = dataset.Block(e.block);
    const TSPCSample* sample = b != nullptr ? b->Sample(e.sample) : nullptr;
    if (sample != nullptr && s->set.IsAnalysed(i)) {
      for (const TFileSmpPoint& p : sample->Points()) {
        if (p.Counts() && p.HasValue(s->parameter)) out.values.push_back(p.Value(s->parameter));
      }
    }
    out.start.push_back(static_cast<std::uint32_t>(out.values.size()));
  }
  return out;
}

std::uint32_t ChartLayout::PointAt(const TChart& chart, QPointF at, double radius) const {
  const ChartSeries* s = chart.Current();
  if (s == nullptr || !plot.adjusted(-radius * unit, -radius * unit, radius * unit, radius * unit).contains(at)) {
    return 0;
  }
  return NearestEntry(s->set, entries, values, at.x(), at.y(), radius * unit);
}

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// What the painter works with for one chart.
struct Ctx {
  QPainter& p;
  const TChart& chart;
  const ChartSeries& series;
  const ChartPaintOptions& opt;
  Palette pal;
  double u = 1;
  QFont font, small, bold;
  double lineH = 0;
  ChartLayout lay;
  // The value axis: the chart's, widened to the data-range band when that is drawn.
  double axisMin = 0, axisMax = 0;
  bool band = false;
  // The least room left of and right of the plot: the charts of a pair share their plots'
  // edges, so that an entry stands at the same x on both.
  double minLeft = 0, minRight = 0;
  // The entries that start a block, with two blocks or more (then the names' strip stands
  // above the plot); empty with one block.
  std::vector<std::uint32_t> blockStarts;
};

// Entries that start a block, in order, when the first `count` entries span two blocks or more
// (they come block by block, so the first and the last entry tell); empty otherwise.
std::vector<std::uint32_t> BlockStarts(const TChart& chart, std::uint32_t count) {
  std::vector<std::uint32_t> starts;
  const auto& points = chart.data.points;
  const std::size_t n = std::min<std::size_t>(points.size(), count);
  if (n < 2 || points.front().block == points[n - 1].block) return starts;
  for (std::uint32_t i = 1; i <= n; ++i) {
    if ((points[i - 1].flags & chart_point_flag::kBlockStart) != 0) starts.push_back(i);
  }
  if (starts.size() < 2) starts.clear();
  return starts;
}

// The chart's value axis, or with the data-range band one that holds every value of the band.
void ChooseAxis(Ctx& c) {
  c.axisMin = c.chart.axisMin;
  c.axisMax = c.chart.axisMax;
  const EntrySampleValues& v = c.opt.sampleValues;
  c.band = c.opt.chart.dataRange && !v.values.empty();
  if (!c.band) return;
  const auto [lo, hi] = std::minmax_element(v.values.begin(), v.values.end());
  if (*lo >= c.axisMin && *hi <= c.axisMax) return;
  const AxisSpan wide = ChartAxis(std::min(*lo, c.axisMin), std::max(*hi, c.axisMax), c.opt.chart.absoluteScale);
  c.axisMin = std::min(c.axisMin, wide.min);
  c.axisMax = std::max(c.axisMax, wide.max);
}

bool ZonesShown(const TChart& chart) {
  const ChartSeries* s = chart.Current();
  return s != nullptr && chart.limitMode == LimitMode::Control && chart.limitsShown && s->set.zones.valid;
}

// A line label at the right of the plot.
struct SideLabel {
  double y = 0;
  QString text;
  QColor colour;
};

void DrawMark(QPainter& p, PlotMark mark, QPointF c, const Palette& pal, double u) {
  switch (mark) {
    case PlotMark::Beyond: {  // a filled square, larger than every other mark
      p.setPen(MakePen(p, Qt::black, 1));
      p.setBrush(pal.beyond);
      p.drawRect(QRectF(c.x() - 4 * u, c.y() - 4 * u, 8 * u, 8 * u));
      break;
    }
    case PlotMark::Series: {  // a filled diamond
      p.setPen(MakePen(p, Qt::black, 1));
      p.setBrush(pal.signal);
      const QPointF pts[] = {c + QPointF(0, -5 * u), c + QPointF(5 * u, 0), c + QPointF(0, 5 * u),
                             c + QPointF(-5 * u, 0)};
      p.drawPolygon(pts, 4);
      break;
    }
    case PlotMark::Excluded: {  // a cross
      p.setPen(MakePen(p, pal.excluded, 2));
      p.setBrush(Qt::NoBrush);
      p.drawLine(c + QPointF(-4 * u, -4 * u), c + QPointF(4 * u, 4 * u));
      p.drawLine(c + QPointF(-4 * u, 4 * u), c + QPointF(4 * u, -4 * u));
      break;
    }
    case PlotMark::Filtered: {  // a hollow triangle
      p.setPen(MakePen(p, pal.filtered, 1.5));
      p.setBrush(Qt::NoBrush);
      const QPointF pts[] = {c + QPointF(0, -5 * u), c + QPointF(5 * u, 4 * u), c + QPointF(-5 * u, 4 * u)};
      p.drawPolygon(pts, 3);
      break;
    }
  }
}

QString ValueText(const TChart& chart, double v) { return Q(FormatFixed(v, chart.decimals)); }

// Criteria found on the current series, in criterion order.
std::vector<int> FoundCriteria(const CDataSet& set) {
  std::vector<int> found;
  for (int c = 1; c <= static_cast<int>(kCriterionCount); ++c) {
    if (set.criterionFound[static_cast<std::size_t>(c - 1)]) found.push_back(c);
  }
  return found;
}

void Layout(Ctx& c, const QRectF& rect) {
  const TChart& chart = c.chart;
  const CDataSet& set = c.series.set;
  const TChartOptions& o = c.opt.chart;
  const QFontMetricsF fm(c.small, c.p.device());
  const double u = c.u;
  c.lay.rect = rect;
  c.lay.unit = u;

  // Left: the value labels; right: the labels of the lines.
  // The most ticks a tall plot takes: their labels have the most decimals.
  const ValueTicks ticks = ChooseValueTicks(c.axisMin, c.axisMax, 24);
  double leftW = fm.horizontalAdvance(QStringLiteral("0"));
  for (const double v : ticks.values) {
    leftW = std::max(leftW, fm.horizontalAdvance(Q(FormatFixed(v, ticks.decimals))));
  }
  leftW += 10 * u;
  double rightW = 0;
  const auto widen = [&](const std::string& code, double v) {
    rightW = std::max(rightW, fm.horizontalAdvance(Q(code) + QStringLiteral("=") + ValueText(chart, v)));
  };
  if (chart.centralLineShown) widen(std::string(ChartAlias(chart_alias::kCl)), set.mean);
  if (chart.limitsShown && set.hasUcl) widen(chart.upperCode, set.ucl);
  if (chart.limitsShown && set.hasLcl) widen(chart.lowerCode, set.lcl);
  for (const ChartLine& line : chart.lines) widen(line.code, line.value);
  rightW = std::max(rightW, 20 * u) + 10 * u;

  double top = rect.top() + c.lineH * 1.4;  // the title line
  // The block names stand in a strip of their own above the plot, clear of the lines, zones and
  // codes inside it.
  c.blockStarts = BlockStarts(chart, static_cast<std::uint32_t>(set.Count()));
  if (!c.blockStarts.empty()) top += fm.height() + 2 * u;
  double bottom = rect.bottom() - (c.lineH + 8 * u);  // the entry labels
  const bool conclusion = ConclusionDrawn(chart, o) && !c.opt.conclusion.empty();
  if (conclusion) {
    c.lay.conclusion = QRectF(rect.left(), rect.bottom() - c.lineH * 1.5, rect.width(), c.lineH * 1.5);
    bottom -= c.lineH * 1.5;
  }
  const bool ribbons = (o.criteria.display & criteria_display::kRibbons) != 0 && !FoundCriteria(set).empty();
  if (ribbons) {
    const double h = c.lineH * 1.2 * static_cast<double>(FoundCriteria(set).size()) + 4 * u;
    c.lay.ribbons = QRectF(rect.left() + leftW, bottom - h + c.lineH + 8 * u, 0, h);
    bottom -= h;
  }
  double right = rect.right() - rightW;
  const double sideW = std::max(60 * u, rect.width() * 0.12);
  if (o.boxPlot && chart.boxPlot.computed) {
    c.lay.boxPlot = QRectF(right - 36 * u + rightW, top, 36 * u, 0);
    right -= 40 * u;
  }
  if (o.histogram && chart.histogram.computed) {
    c.lay.histogram = QRectF(right - sideW + rightW, top, sideW, 0);
    right -= sideW + 4 * u;
  }
  const double left = rect.left() + std::max(leftW, c.minLeft);
  right = std::min(right, rect.right() - c.minRight);
  if (right < left + 10 * u) right = left + 10 * u;
  if (bottom < top + 10 * u) bottom = top + 10 * u;
  c.lay.plot = QRectF(QPointF(left, top), QPointF(right, bottom));
  // The side pieces share the plot's height (and value scale).
  for (QRectF* r : {&c.lay.boxPlot, &c.lay.histogram}) {
    if (r->width() > 0) *r = QRectF(r->left(), top, r->width(), bottom - top);
  }
  if (ribbons) {
    c.lay.ribbons = QRectF(left, bottom + c.lineH + 8 * u, right - left, c.lay.ribbons.height());
    c.lay.criteria = QRectF(rect.left(), c.lay.ribbons.top(), right - rect.left(), c.lay.ribbons.height());
  }
  c.lay.entries = EntryAxis(static_cast<std::uint32_t>(set.Count()), left, right - left);
  c.lay.values = ValueScale(c.axisMin, c.axisMax, top, bottom - top);
}

// Rectangles already written on, so that a label finds a free place or is left out. They are
// kept by strips of the width, so that a dense chart with thousands of labels looks at the few
// near each new one, not at all of them.
class TakenPlaces {
 public:
  explicit TakenPlaces(double strip) : m_strip(std::max(strip, 1.0)) {}
  bool Free(const QRectF& r) const {
    for (long k = Strip(r.left()); k <= Strip(r.right()); ++k) {
      const auto it = m_strips.find(k);
      if (it == m_strips.end()) continue;
      for (const QRectF& t : it->second) {
        if (t.intersects(r)) return false;
      }
    }
    return true;
  }
  void Take(const QRectF& r) {
    for (long k = Strip(r.left()); k <= Strip(r.right()); ++k) m_strips[k].push_back(r);
  }

 private:
  long Strip(double x) const { return static_cast<long>(std::floor(x / m_strip)); }
  double m_strip;
  std::unordered_map<long, std::vector<QRectF>> m_strips;
};

// How far entry i's zones reach from the centre line, against the chart's zones: 1 for an entry
// under the chart's limits, own UCL - CL over UCL - CL for one with limits of its own (p and u
// charts whose sample sizes differ), so that its zones follow its limits' step.
double ZoneStretch(const Ctx& c, std::uint32_t i) {
  const auto& points = c.chart.data.points;
  const TChartZones& z = c.series.set.zones;
  if (!c.chart.ownLimitsUsed || i == 0 || i > points.size() || !(z.sigma > 0)) return 1;
  const TChartPoint& e = points[i - 1];
  if ((e.flags & chart_point_flag::kOwnLimits) == 0) return 1;
  const double f = (e.ownUpper - z.centre) / (3 * z.sigma);
  return std::isfinite(f) && f > 0 ? f : 1;
}

void DrawZones(Ctx& c, TakenPlaces& taken) {
  const TChartZones& z = c.series.set.zones;
  const QRectF& plot = c.lay.plot;
  const QColor fills[] = {c.pal.zoneA, c.pal.zoneB, c.pal.zoneC};
  // An edge of the chart's zones moved for entries whose limits reach `f` times as far: the
  // outer edges of the A bands to the entry's own limits, the others in proportion, none
  // beyond those limits (a lower limit below 0 is kept as 0).
  struct Reach {
    double f = 1, lo = 0, hi = 0;
  };
  const auto reachOf = [&](std::uint32_t i) {
    Reach r;
    r.f = ZoneStretch(c, i);
    if (r.f != 1) {
      r.lo = c.chart.data.points[i - 1].ownLower;
      r.hi = c.chart.data.points[i - 1].ownUpper;
    }
    return r;
  };
  const auto edge = [&](double e, const Reach& r) {
    if (r.f == 1) return c.lay.values.Y(e);
    if (e == z.zones[0].upper.upperEdge) return c.lay.values.Y(r.hi);
    if (e == z.zones[0].lower.lowerEdge) return c.lay.values.Y(r.lo);
    return c.lay.values.Y(std::clamp(z.centre + (e - z.centre) * r.f, r.lo, r.hi));
  };
  // Runs of entries whose zones reach equally far, each filled across its slots (one run
  // across the plot when no entry has limits of its own).
  const std::uint32_t n = c.lay.entries.Count();
  c.p.setPen(Qt::NoPen);
  for (std::uint32_t from = 1; from <= std::max<std::uint32_t>(n, 1);) {
    const double f = ZoneStretch(c, from);
    const Reach reach = reachOf(from);
    std::uint32_t to = from;
    while (to < n && ZoneStretch(c, to + 1) == f) ++to;
    const double x1 = n == 0 || from == 1 ? plot.left() : c.lay.entries.X(from) - c.lay.entries.Step() / 2;
    const double x2 = n == 0 || to == n ? plot.right() : c.lay.entries.X(to) + c.lay.entries.Step() / 2;
    for (std::size_t k = 0; k < 3; ++k) {
      for (const ZoneBand* band : {&z.zones[k].upper, &z.zones[k].lower}) {
        const double y1 = edge(band->upperEdge, reach);
        const double y2 = edge(band->lowerEdge, reach);
        if (!(y2 > y1)) continue;
        c.p.fillRect(QRectF(x1, y1, x2 - x1, y2 - y1), fills[k]);
      }
    }
    from = to + 1;
  }
  // The zone letters just inside the left edge of the plot, in the first entry's zones, each
  // where its band is tall enough.
  c.p.setFont(c.small);
  c.p.setPen(c.pal.frame);
  const QFontMetricsF fm(c.small, c.p.device());
  const Reach first = reachOf(1);
  const double w = fm.horizontalAdvance(QStringLiteral("W")) + 2 * c.u;
  for (const ChartZone& zone : z.zones) {
    for (const ZoneBand* band : {&zone.upper, &zone.lower}) {
      const double y1 = std::max(edge(band->upperEdge, first), plot.top());
      const double y2 = std::min(edge(band->lowerEdge, first), plot.bottom());
      if (y2 - y1 < fm.height()) continue;
      // The letter's place is taken: codes and values written later keep off it.
      const QRectF place(plot.left() + 3 * c.u, (y1 + y2 - fm.height()) / 2, w, fm.height());
      c.p.drawText(place, Qt::AlignLeft | Qt::AlignVCenter, QString(QChar::fromLatin1(zone.letter)));
      taken.Take(place);
    }
  }
}

// The data-range band of the X and M charts: for each entry a bar from the smallest to the
// largest measured value of its sample, with the values as dots ("С отдельными замерами").
void DrawDataRange(Ctx& c) {
  const EntrySampleValues& v = c.opt.sampleValues;
  const EntryAxis& ax = c.lay.entries;
  QColor fill = c.pal.series;
  fill.setAlpha(45);
  const double half = std::clamp(ax.Step() * 0.3, 0.5 * c.u, 5 * c.u);
  const bool dots = c.opt.chart.individualValues;
  for (std::uint32_t i = 1; i <= v.Entries() && i <= ax.Count(); ++i) {
    const std::uint32_t from = v.start[i - 1], to = std::min<std::uint32_t>(v.start[i], v.values.size());
    if (from >= to) continue;
    const auto [lo, hi] = std::minmax_element(v.values.begin() + from, v.values.begin() + to);
    const double x = ax.X(i);
    const QRectF bar(x - half, c.lay.values.Y(*hi), 2 * half, std::max(c.lay.values.Y(*lo) - c.lay.values.Y(*hi), 1.0));
    c.p.setPen(MakePen(c.p, c.pal.series, 0.8));
    c.p.setBrush(fill);
    c.p.drawRect(bar);
    if (!dots) continue;
    c.p.setPen(Qt::NoPen);
    c.p.setBrush(c.pal.series);
    for (std::uint32_t k = from; k < to; ++k) c.p.drawEllipse(QPointF(x, c.lay.values.Y(v.values[k])), 1.6 * c.u, 1.6 * c.u);
  }
}

// The values beside the points ("Значения у точек"), above each point where there is room
// (below it near the top), left out where a label would cover another one.
void DrawPointLabels(Ctx& c, const DecimatedSeries& d, TakenPlaces& taken) {
  if (!d.Sparse()) return;  // a dense series has no room for its values
  const CDataSet& set = c.series.set;
  c.p.setFont(c.small);
  c.p.setPen(c.pal.text);
  const QFontMetricsF fm(c.small, c.p.device());
  for (const PlotColumn& col : d.columns) {
    const QString text = ValueText(c.chart, col.firstValue);
    const double w = fm.horizontalAdvance(text);
    const QPointF at(c.lay.entries.X(col.first), c.lay.values.Y(set.Value(col.first)));
    for (const double dy : {-fm.height() - 4 * c.u, 4 * c.u}) {
      const QRectF r(at.x() - w / 2, at.y() + dy, w, fm.height());
      // A gap of a few pixels to the next value keeps the numbers apart.
      if (!c.lay.plot.contains(r) || !taken.Free(r.adjusted(-3 * c.u, 0, 3 * c.u, 0))) continue;
      c.p.drawText(r, Qt::AlignCenter, text);
      taken.Take(r);
      break;
    }
  }
}

void DrawGrid(Ctx& c, const ValueTicks& ticks, const std::vector<std::uint32_t>& entryTicks) {
  c.p.setPen(MakePen(c.p, c.pal.grid, 1, Qt::DotLine));
  for (const double v : ticks.values) {
    const double y = c.lay.values.Y(v);
    c.p.drawLine(QLineF(c.lay.plot.left(), y, c.lay.plot.right(), y));
  }
  for (const std::uint32_t i : entryTicks) {
    const double x = c.lay.entries.X(i);
    c.p.drawLine(QLineF(x, c.lay.plot.top(), x, c.lay.plot.bottom()));
  }
}

// The block boundaries as vertical lines through the plot.
void DrawBlockBoundaries(Ctx& c) {
  const std::vector<std::uint32_t>& starts = c.blockStarts;
  if (starts.empty()) return;  // one block: the caption names it
  c.p.setPen(MakePen(c.p, c.pal.frame, 1, Qt::DashDotDotLine));
  for (const std::uint32_t i : starts) {
    if (i == 1) continue;
    const double x = c.lay.entries.X(i) - c.lay.entries.Step() / 2;
    c.p.drawLine(QLineF(x, c.lay.plot.top(), x, c.lay.plot.bottom()));
  }
}

// The blocks' names in the strip above the plot, each from its boundary to the next one.
void DrawBlockNames(Ctx& c) {
  const std::vector<std::uint32_t>& starts = c.blockStarts;
  if (starts.empty()) return;
  const auto& points = c.chart.data.points;
  c.p.setFont(c.small);
  c.p.setPen(c.pal.text);
  const QFontMetricsF fm(c.small, c.p.device());
  const double top = c.lay.plot.top() - fm.height() - 1 * c.u;
  for (std::size_t k = 0; k < starts.size(); ++k) {
    const std::uint32_t i = starts[k];
    const double x = i == 1 ? c.lay.plot.left() : c.lay.entries.X(i) - c.lay.entries.Step() / 2;
    const int block = points[i - 1].block;
    const std::string name = block >= 1 && static_cast<std::size_t>(block) <= c.opt.blockNames.size()
                                 ? c.opt.blockNames[static_cast<std::size_t>(block - 1)]
                                 : "Блок " + FormatInt(block);
    const double next = k + 1 < starts.size() ? c.lay.entries.X(starts[k + 1]) - c.lay.entries.Step() / 2
                                              : c.lay.plot.right();
    const double w = std::max(0.0, next - x - 6 * c.u);
    c.p.drawText(QRectF(x + 3 * c.u, top, w, fm.height()), Qt::AlignLeft | Qt::AlignVCenter,
                 fm.elidedText(Q(name), Qt::ElideRight, w));
  }
}

// A limit as steps: each entry with limits of its own at them, the others at the chart's.
void DrawOwnLimitSteps(Ctx& c, bool upper) {
  const CDataSet& set = c.series.set;
  const auto& points = c.chart.data.points;
  const bool central = upper ? set.hasUcl : set.hasLcl;
  const double centralValue = upper ? set.ucl : set.lcl;
  QPainterPath path;
  bool open = false;
  const double half = c.lay.entries.Step() / 2;
  for (std::uint32_t i = 1; i <= points.size() && i <= c.lay.entries.Count(); ++i) {
    const TChartPoint& e = points[i - 1];
    // A lower limit that fell below 0 is kept as 0: the entry has none.
    const bool own = (e.flags & chart_point_flag::kOwnLimits) != 0 && (upper || e.ownLower > 0);
    if (!own && !central) {
      open = false;
      continue;
    }
    const double v = own ? (upper ? e.ownUpper : e.ownLower) : centralValue;
    const double y = c.lay.values.Y(v);
    const double x = c.lay.entries.X(i);
    if (open) {
      path.lineTo(x - half, path.currentPosition().y());
      path.lineTo(x - half, y);
    } else {
      path.moveTo(x - half, y);
      open = true;
    }
    path.lineTo(x + half, y);
  }
  c.p.setPen(MakePen(c.p, c.pal.limits, 1.5, Qt::DashLine));
  c.p.setBrush(Qt::NoBrush);
  c.p.drawPath(path);
}

void DrawHorizontal(Ctx& c, double v, const QPen& pen) {
  const double y = c.lay.values.Y(v);
  c.p.setPen(pen);
  c.p.drawLine(QLineF(c.lay.plot.left(), y, c.lay.plot.right(), y));
}

void DrawSeriesLine(Ctx& c, const DecimatedSeries& d) {
  const EntryAxis& ax = c.lay.entries;
  const ValueScale& vs = c.lay.values;
  QPolygonF joins;
  joins.reserve(static_cast<qsizetype>(d.columns.size() * 2));
  std::vector<QLineF> strokes;
  for (const PlotColumn& col : d.columns) {
    joins.append(QPointF(ax.X(col.first), vs.Y(col.firstValue)));
    if (col.last != col.first) joins.append(QPointF(ax.X(col.last), vs.Y(col.lastValue)));
    if (col.max > col.min) {
      const double x = ax.Left() + col.column + 0.5;
      strokes.emplace_back(x, vs.Y(col.max), x, vs.Y(col.min));
    }
  }
  c.p.setPen(MakePen(c.p, c.pal.series, d.Sparse() ? 1.5 : 1));
  c.p.setBrush(Qt::NoBrush);
  c.p.drawPolyline(joins);
  if (!strokes.empty()) c.p.drawLines(strokes.data(), static_cast<int>(strokes.size()));
  // Points far enough apart get a mark each.
  if (d.Sparse() && ax.Step() >= 5 * c.u) {
    c.p.setPen(Qt::NoPen);
    c.p.setBrush(c.pal.series);
    const double r = 2.6 * c.u;
    for (const PlotColumn& col : d.columns) c.p.drawEllipse(QPointF(ax.X(col.first), vs.Y(col.firstValue)), r, r);
  }
}

// Series lines (display flag 1): every signalled series other than C1 joined by a thick line
// with the criterion's code at its first point: above it, else higher up, else below it, where
// no code is written yet; a code with no free place nearby is left out (the ribbons and the
// mouse still name it).
void DrawSignalledSeries(Ctx& c, TakenPlaces& taken) {
  const CDataSet& set = c.series.set;
  c.p.setFont(c.small);
  const QFontMetricsF fm(c.small, c.p.device());
  for (const TCriterionHit& h : set.signals) {
    if (h.criterion == 1) continue;
    QPolygonF line;
    for (std::uint32_t i = std::max(h.first, set.FirstIndex()); i <= h.last && i <= set.Count(); ++i) {
      if (set.IsAnalysed(i)) line.append(QPointF(c.lay.entries.X(i), c.lay.values.Y(set.Value(i))));
    }
    if (line.isEmpty()) continue;
    c.p.setPen(MakePen(c.p, c.pal.signal, 3));
    c.p.drawPolyline(line);
  }
  for (const TCriterionHit& h : set.signals) {
    if (h.criterion == 1) continue;
    std::uint32_t first = std::max(h.first, set.FirstIndex());
    while (first <= h.last && first <= set.Count() && !set.IsAnalysed(first)) ++first;
    if (first > h.last || first > set.Count()) continue;
    const QPointF at(c.lay.entries.X(first), c.lay.values.Y(set.Value(first)));
    const QString code = Q(std::string(CriterionCode(h.criterion)));
    const double w = fm.horizontalAdvance(code) + 2 * c.u;
    const double lh = fm.height();
    for (const double dy : {-lh - 5 * c.u, -2 * lh - 5 * c.u, -3 * lh - 5 * c.u, 5 * c.u, lh + 5 * c.u}) {
      const QRectF r(at.x() - w / 2, at.y() + dy, w, lh);
      if (!c.lay.plot.contains(r) || !taken.Free(r)) continue;
      c.p.setPen(c.pal.text);
      c.p.drawText(r, Qt::AlignCenter, code);
      taken.Take(r);
      break;
    }
  }
}

void DrawRibbons(Ctx& c) {
  const CDataSet& set = c.series.set;
  const QRectF& r = c.lay.ribbons;
  const std::vector<int> found = FoundCriteria(set);
  const double rowH = c.lineH * 1.2;
  c.p.setFont(c.small);
  const QFontMetricsF fm(c.small, c.p.device());
  const bool numbers = (c.opt.chart.criteria.display & criteria_display::kPointNumbers) != 0;
  for (std::size_t k = 0; k < found.size(); ++k) {
    const int criterion = found[k];
    const QRectF row(r.left(), r.top() + 2 * c.u + rowH * static_cast<double>(k), r.width(), rowH);
    c.p.setPen(MakePen(c.p, c.pal.grid, 1));
    c.p.setBrush(Qt::NoBrush);
    c.p.drawRect(row);
    c.p.setPen(c.pal.text);
    c.p.drawText(QRectF(c.lay.rect.left(), row.top(), r.left() - c.lay.rect.left() - 4 * c.u, rowH),
                 Qt::AlignRight | Qt::AlignVCenter, Q(std::string(CriterionCode(criterion))));
    // The bars first, then the numbers right of their bars where they cover neither a bar nor
    // another number (the mouse names every series).
    std::vector<const TCriterionHit*> hits;
    for (const TCriterionHit& h : set.signals) {
      if (h.criterion != criterion) continue;
      if (hits.size() == 30) break;
      hits.push_back(&h);
    }
    TakenPlaces taken(40 * c.u);
    std::vector<QRectF> bars;
    for (const TCriterionHit* h : hits) {
      const double x1 = c.lay.entries.X(h->first) - c.lay.entries.Step() / 2;
      const double x2 = std::max(c.lay.entries.X(h->last) + c.lay.entries.Step() / 2, x1 + 2 * c.u);
      const QRectF bar(x1, row.top() + 2 * c.u, x2 - x1, rowH - 4 * c.u);
      c.p.setPen(MakePen(c.p, Qt::black, 1));
      c.p.setBrush(criterion == 1 ? c.pal.beyond : c.pal.signal);
      c.p.drawRect(bar);
      taken.Take(bar);
      bars.push_back(bar);
    }
    if (!numbers) continue;
    c.p.setPen(c.pal.text);
    for (std::size_t k2 = 0; k2 < hits.size(); ++k2) {
      const TCriterionHit& h = *hits[k2];
      const QString text =
          h.first == h.last ? Q(FormatInt(h.first)) : Q(FormatInt(h.first) + "-" + FormatInt(h.last));
      const QRectF place(bars[k2].right() + 2 * c.u, bars[k2].top(), fm.horizontalAdvance(text) + 1, bars[k2].height());
      if (!taken.Free(place)) continue;
      c.p.drawText(place, Qt::AlignLeft | Qt::AlignVCenter, text);
      taken.Take(place);
    }
  }
}

void DrawRemarks(Ctx& c) {
  const auto& points = c.chart.data.points;
  const double top = c.lay.plot.top();
  for (std::uint32_t i = 1; i <= points.size() && i <= c.lay.entries.Count(); ++i) {
    std::uint8_t r = 0;
    if (c.opt.remarks.empty()) {
      if ((points[i - 1].flags & chart_point_flag::kNote) != 0) r = entry_remark::kNote;
    } else if (i <= c.opt.remarks.size()) {
      r = c.opt.remarks[i - 1];
    }
    if (r == 0) continue;
    const QPointF at(c.lay.entries.X(i), top + 2 * c.u);
    // A small flag hanging from the top edge: filled for an event, hollow for a note alone.
    const QPointF pts[] = {at + QPointF(-4 * c.u, 0), at + QPointF(4 * c.u, 0), at + QPointF(0, 7 * c.u)};
    c.p.setPen(MakePen(c.p, c.pal.frame, 1));
    c.p.setBrush((r & entry_remark::kEvent) != 0 ? QBrush(c.pal.frame) : QBrush(Qt::NoBrush));
    c.p.drawPolygon(pts, 3);
  }
}

void DrawSideLabels(Ctx& c, std::vector<SideLabel> labels) {
  std::sort(labels.begin(), labels.end(), [](const SideLabel& a, const SideLabel& b) { return a.y < b.y; });
  const QFontMetricsF fm(c.small, c.p.device());
  const double h = fm.height();
  // Push apart labels that would overlap, downwards, then back up from the bottom.
  for (std::size_t k = 1; k < labels.size(); ++k) labels[k].y = std::max(labels[k].y, labels[k - 1].y + h);
  const double maxY = c.lay.rect.bottom() - h / 2;
  for (std::size_t k = labels.size(); k-- > 0;) {
    const double limit = k + 1 < labels.size() ? labels[k + 1].y - h : maxY;
    labels[k].y = std::min(labels[k].y, limit);
  }
  c.p.setFont(c.small);
  for (const SideLabel& l : labels) {
    c.p.setPen(c.pal.text);
    c.p.drawText(QRectF(c.lay.plot.right() + 5 * c.u, l.y - h / 2, 400 * c.u, h), Qt::AlignLeft | Qt::AlignVCenter,
                 l.text);
  }
}

void DrawSideHistogram(Ctx& c) {
  const THistogram& h = c.chart.histogram;
  const QRectF& r = c.lay.histogram;
  if (!(h.scaleTop > 0)) return;
  c.p.save();
  c.p.setClipRect(r);
  c.p.setPen(MakePen(c.p, c.pal.barEdge, 1));
  c.p.setBrush(c.pal.bar);
  for (const HistogramBin& b : h.bins) {
    const double y1 = c.lay.values.Y(b.upper);
    const double y2 = c.lay.values.Y(b.lower);
    c.p.drawRect(QRectF(r.left(), y1, b.shareDensity / h.scaleTop * r.width() * 0.95, y2 - y1));
  }
  if (c.opt.chart.histogramCounts) {  // the count of each bin at the end of its bar
    c.p.setFont(c.small);
    c.p.setPen(c.pal.text);
    const QFontMetricsF fm(c.small, c.p.device());
    for (const HistogramBin& b : h.bins) {
      const double y1 = c.lay.values.Y(b.upper);
      const double y2 = c.lay.values.Y(b.lower);
      if (y2 - y1 < fm.height() * 0.8 || b.count == 0) continue;
      // Right of the bar, or over its end when the bar reaches the edge.
      const QString text = Q(FormatInt(static_cast<std::int64_t>(b.count)));
      const double w = fm.horizontalAdvance(text);
      const double x = std::max(r.left(), std::min(r.left() + b.shareDensity / h.scaleTop * r.width() * 0.95 + 2 * c.u,
                                                   r.right() - w - 1 * c.u));
      c.p.drawText(QRectF(x, y1, w + 1 * c.u, y2 - y1), Qt::AlignLeft | Qt::AlignVCenter, text);
    }
  }
  if (h.sigma > 0 && c.opt.chart.histogramCurve) {
    QPolygonF curve;
    const int steps = 80;
    for (int k = 0; k <= steps; ++k) {
      const double v = h.min + (h.max - h.min) * (k / static_cast<double>(steps)) * 1.4 - (h.max - h.min) * 0.2;
      const double z = (v - h.mean) / h.sigma;
      const double density = std::exp(-0.5 * z * z) / (h.sigma * std::sqrt(2 * M_PI));
      curve.append(QPointF(r.left() + density / h.scaleTop * r.width() * 0.95, c.lay.values.Y(v)));
    }
    c.p.setPen(MakePen(c.p, c.pal.curve, 1.5));
    c.p.setBrush(Qt::NoBrush);
    c.p.drawPolyline(curve);
  }
  c.p.restore();
  c.p.setPen(MakePen(c.p, c.pal.frame, 1));
  c.p.drawLine(QLineF(r.left(), r.top(), r.left(), r.bottom()));
}

void DrawConclusion(Ctx& c) {
  const QRectF& r = c.lay.conclusion;
  const ConclusionMark mark = ConclusionMarkOf(c.chart);
  const double s = c.lineH * 0.9;
  const QPointF centre(r.left() + c.lay.plot.left() - c.lay.rect.left() - s, r.center().y());
  c.p.save();
  c.p.setRenderHint(QPainter::Antialiasing, true);
  if (mark == ConclusionMark::Good) {  // a circle with a tick
    c.p.setPen(MakePen(c.p, c.pal.good, 1.5));
    c.p.setBrush(Qt::NoBrush);
    c.p.drawEllipse(centre, s / 2, s / 2);
    c.p.setPen(MakePen(c.p, c.pal.good, 2));
    const QPointF tick[] = {centre + QPointF(-s * 0.25, 0), centre + QPointF(-s * 0.05, s * 0.22),
                            centre + QPointF(s * 0.28, -s * 0.22)};
    c.p.drawPolyline(tick, 3);
  } else if (mark == ConclusionMark::Bad) {  // a filled triangle with an exclamation mark
    c.p.setPen(MakePen(c.p, c.pal.bad, 1));
    c.p.setBrush(c.pal.bad);
    const QPointF tri[] = {centre + QPointF(0, -s / 2), centre + QPointF(s / 2, s / 2), centre + QPointF(-s / 2, s / 2)};
    c.p.drawPolygon(tri, 3);
    c.p.setPen(MakePen(c.p, Qt::white, 2));
    c.p.drawLine(centre + QPointF(0, -s * 0.15), centre + QPointF(0, s * 0.18));
    c.p.drawPoint(centre + QPointF(0, s * 0.34));
  }
  c.p.restore();
  c.p.setFont(c.font);
  c.p.setPen(c.pal.text);
  const QFontMetricsF fm(c.font, c.p.device());
  const QRectF text(c.lay.plot.left(), r.top(), r.right() - c.lay.plot.left(), r.height());
  c.p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, fm.elidedText(Q(c.opt.conclusion), Qt::ElideRight, text.width()));
}

void DrawAxes(Ctx& c, const ValueTicks& ticks, const std::vector<std::uint32_t>& entryTicks) {
  const QRectF& plot = c.lay.plot;
  c.p.setPen(MakePen(c.p, c.pal.frame, 1));
  c.p.setBrush(Qt::NoBrush);
  c.p.drawRect(plot);
  c.p.setFont(c.small);
  const QFontMetricsF fm(c.small, c.p.device());
  for (const double v : ticks.values) {
    const double y = c.lay.values.Y(v);
    c.p.setPen(MakePen(c.p, c.pal.frame, 1));
    c.p.drawLine(QLineF(plot.left() - 4 * c.u, y, plot.left(), y));
    c.p.setPen(c.pal.text);
    c.p.drawText(QRectF(c.lay.rect.left(), y - fm.height() / 2, plot.left() - c.lay.rect.left() - 6 * c.u, fm.height()),
                 Qt::AlignRight | Qt::AlignVCenter, Q(FormatFixed(v, ticks.decimals)));
  }
  const bool dates = c.opt.chart.dates;
  double lastRight = -1e300;
  for (const std::uint32_t i : entryTicks) {
    const double x = c.lay.entries.X(i);
    const QString label = Q(EntryTickLabel(c.chart.data, i, dates));
    const double w = fm.horizontalAdvance(label);
    c.p.setPen(MakePen(c.p, c.pal.frame, 1));
    c.p.drawLine(QLineF(x, plot.bottom(), x, plot.bottom() + 4 * c.u));
    if (x - w / 2 < lastRight + 4 * c.u) continue;
    c.p.setPen(c.pal.text);
    c.p.drawText(QRectF(x - w / 2 - 2 * c.u, plot.bottom() + 5 * c.u, w + 4 * c.u, fm.height()), Qt::AlignCenter, label);
    lastRight = x + w / 2;
  }
}

void PaintOne(Ctx& c, const QRectF& rect) {
  const TChart& chart = c.chart;
  const CDataSet& set = c.series.set;
  const TChartOptions& o = c.opt.chart;
  ChooseAxis(c);
  Layout(c, rect);
  const QRectF& plot = c.lay.plot;

  c.p.fillRect(rect, c.pal.background);
  // The title line, with the short zone analysis at its right.
  c.p.setFont(c.bold);
  c.p.setPen(c.pal.text);
  const QString title = Q(chart.title + (chart.unit.empty() ? "" : ", " + chart.unit));
  c.p.drawText(QRectF(plot.left(), rect.top(), plot.width(), c.lineH * 1.3), Qt::AlignLeft | Qt::AlignVCenter, title);
  const bool zones = ZonesShown(chart);
  if (zones && (o.criteria.display & criteria_display::kZoneAnalysis) != 0 && !c.opt.zoneAnalysis.empty()) {
    c.p.setFont(c.small);
    c.p.drawText(QRectF(plot.left(), rect.top(), plot.width(), c.lineH * 1.3), Qt::AlignRight | Qt::AlignVCenter,
                 Q(c.opt.zoneAnalysis));
  }

  const ValueTicks ticks = ChooseValueTicks(c.axisMin, c.axisMax, std::max(2, static_cast<int>(plot.height() / (c.lineH * 2.2))));
  const QFontMetricsF fm(c.small, c.p.device());
  const double labelW = o.dates && !chart.data.points.empty() && chart.data.points.front().date != 0
                            ? fm.horizontalAdvance(Q(EntryTickLabel(chart.data, 1, true)))
                            : fm.horizontalAdvance(Q(FormatInt(set.Count())));
  const std::vector<std::uint32_t> entryTicks = ChooseEntryTicks(c.lay.entries, labelW + 12 * c.u);

  c.p.save();
  c.p.setClipRect(plot);
  TakenPlaces taken(40 * c.u);
  if (zones && (o.criteria.display & criteria_display::kZones) != 0) DrawZones(c, taken);
  if (o.grid) DrawGrid(c, ticks, entryTicks);
  DrawBlockBoundaries(c);

  std::vector<SideLabel> labels;
  const auto label = [&](const std::string& code, double v, const QColor& colour) {
    labels.push_back({c.lay.values.Y(v), Q(code) + QStringLiteral("=") + ValueText(chart, v), colour});
  };
  for (const ChartLine& line : chart.lines) {
    const bool quality = line.code == "ПУН" || line.code == "QL";
    DrawHorizontal(c, line.value, MakePen(c.p, quality ? c.pal.qualityLimit : c.pal.tolerance, 1.5,
                                          quality ? Qt::DashDotDotLine : Qt::DashDotLine));
    label(line.code, line.value, c.pal.tolerance);
  }
  if (chart.limitsShown) {
    if (chart.ownLimitsUsed) {
      DrawOwnLimitSteps(c, true);
      DrawOwnLimitSteps(c, false);
    } else {
      if (set.hasUcl) DrawHorizontal(c, set.ucl, MakePen(c.p, c.pal.limits, 1.5, Qt::DashLine));
      if (set.hasLcl) DrawHorizontal(c, set.lcl, MakePen(c.p, c.pal.limits, 1.5, Qt::DashLine));
    }
    if (set.hasUcl) label(chart.upperCode, set.ucl, c.pal.limits);
    if (set.hasLcl) label(chart.lowerCode, set.lcl, c.pal.limits);
  }
  if (chart.centralLineShown) {
    DrawHorizontal(c, set.mean, MakePen(c.p, c.pal.centralLine, 1.5));
    label(std::string(ChartAlias(chart_alias::kCl)), set.mean, c.pal.centralLine);
  }
  if (o.boxPlot && chart.boxPlot.computed && (o.boxPlotOptions & box_plot_option::kShowLevels) != 0) {
    c.p.restore();
    PaintBoxPlotLevels(c.p, plot, chart.boxPlot, {true, c.axisMin, c.axisMax}, c.opt.style);
    c.p.save();
    c.p.setClipRect(plot);
  }

  if (c.band) DrawDataRange(c);
  const DecimatedSeries d = DecimateSeries(set, chart.data, c.lay.entries);
  c.p.setRenderHint(QPainter::Antialiasing, d.Sparse());
  DrawSeriesLine(c, d);
  c.p.setRenderHint(QPainter::Antialiasing, true);
  if ((o.criteria.display & criteria_display::kSeriesLines) != 0) DrawSignalledSeries(c, taken);
  for (const PlotMarkPoint& m : d.marks) {
    DrawMark(c.p, m.mark, QPointF(c.lay.entries.X(m.index), c.lay.values.Y(set.Value(m.index))), c.pal, c.u);
  }
  if (o.pointLabels) DrawPointLabels(c, d, taken);
  if (c.opt.chosenPoint >= set.FirstIndex() && c.opt.chosenPoint <= set.Count() &&
      set.HasFlag(c.opt.chosenPoint, dsp_flag::kPresent)) {
    const QPointF at(c.lay.entries.X(c.opt.chosenPoint), c.lay.values.Y(set.Value(c.opt.chosenPoint)));
    c.p.setPen(MakePen(c.p, c.pal.chosen, 1.5));
    c.p.setBrush(Qt::NoBrush);
    c.p.drawRect(QRectF(at.x() - 7 * c.u, at.y() - 7 * c.u, 14 * c.u, 14 * c.u));
  }
  if (o.events) DrawRemarks(c);
  c.p.restore();
  c.p.setRenderHint(QPainter::Antialiasing, false);

  DrawAxes(c, ticks, entryTicks);
  DrawBlockNames(c);
  DrawSideLabels(c, std::move(labels));
  if (!c.lay.ribbons.isEmpty()) DrawRibbons(c);
  if (!c.lay.histogram.isEmpty()) DrawSideHistogram(c);
  if (!c.lay.boxPlot.isEmpty()) {
    PaintBoxPlot(c.p, c.lay.boxPlot, chart.boxPlot, o.boxPlotOptions, {true, c.axisMin, c.axisMax},
                 c.opt.style);
  }
  if (!c.lay.conclusion.isEmpty()) DrawConclusion(c);
}

}  // namespace

namespace {

// Lays out (and, unless `dryRun`, draws) one chart with at least the given room beside its plot.
void PaintChartWithin(QPainter& painter, const QRectF& rect, const TChart& chart, const ChartPaintOptions& options,
                      ChartLayout* layout, double minLeft, double minRight, bool dryRun) {
  painter.save();
  const ChartSeries* series = chart.Current();
  if (series == nullptr) {
    const Palette pal = PaletteOf(options.style);
    if (!dryRun) {
      painter.fillRect(rect, pal.background);
      painter.setPen(MakePen(painter, pal.frame, 1));
      painter.drawRect(rect);
    }
    if (layout != nullptr) *layout = ChartLayout{rect, {}, {}, {}, {}, {}, {}, {}, {}, PixelUnit(painter)};
    painter.restore();
    return;
  }
  Ctx c{painter, chart, *series, options, PaletteOf(options.style), PixelUnit(painter), {}, {}, {}, 0, {}, 0, 0, false, 0, 0, {}};
  c.font = GraphicsFont(options.style.font);
  c.small = GraphicsFont(options.style.font, 0.9);
  c.bold = GraphicsFont(options.style.font, 1.05, true);
  c.lineH = QFontMetricsF(c.font, painter.device()).height();
  c.minLeft = minLeft;
  c.minRight = minRight;
  if (dryRun) {
    ChooseAxis(c);
    Layout(c, rect);
  } else {
    PaintOne(c, rect);
  }
  if (layout != nullptr) *layout = c.lay;
  painter.restore();
}

}  // namespace

void PaintChart(QPainter& painter, const QRectF& rect, const TChart& chart, const ChartPaintOptions& options,
                ChartLayout* layout) {
  PaintChartWithin(painter, rect, chart, options, layout, 0, 0, false);
}

void PaintChartPair(QPainter& painter, const QRectF& rect, const std::string& caption, const TChart& upper,
                    const TChart* lower, const ChartPaintOptions& upperOptions, const ChartPaintOptions& lowerOptions,
                    ChartPairLayout* layout) {
  painter.save();
  const Palette pal = PaletteOf(upperOptions.style);
  painter.fillRect(rect, pal.background);
  const QFont font = GraphicsFont(upperOptions.style.font, 1.2, true);
  const double h = QFontMetricsF(font, painter.device()).height() * 1.5;
  const QRectF captionRect(rect.left(), rect.top(), rect.width(), caption.empty() ? 0 : h);
  if (!caption.empty()) {
    painter.setFont(font);
    painter.setPen(pal.text);
    const QFontMetricsF fm(font, painter.device());
    painter.drawText(captionRect, Qt::AlignCenter, fm.elidedText(Q(caption), Qt::ElideRight, captionRect.width()));
  }
  const double gap = 6 * PixelUnit(painter);
  const QRectF body(rect.left(), captionRect.bottom(), rect.width(), rect.bottom() - captionRect.bottom());
  ChartPairLayout out;
  out.caption = captionRect;
  if (lower == nullptr) {
    PaintChart(painter, body, upper, upperOptions, &out.upper);
  } else {
    const double upperH = body.height() * 0.58;
    const QRectF upperRect(body.left(), body.top(), body.width(), upperH - gap / 2);
    const QRectF lowerRect(body.left(), body.top() + upperH + gap / 2, body.width(), body.height() - upperH - gap / 2);
    // Both plots take the wider room of the two on each side: the entries line up.
    ChartLayout a, b;
    PaintChartWithin(painter, upperRect, upper, upperOptions, &a, 0, 0, true);
    PaintChartWithin(painter, lowerRect, *lower, lowerOptions, &b, 0, 0, true);
    const auto inset = [](const ChartLayout& l, bool left) {
      if (l.plot.isEmpty()) return 0.0;
      return left ? l.plot.left() - l.rect.left() : l.rect.right() - l.plot.right();
    };
    const double minLeft = std::max(inset(a, true), inset(b, true));
    const double minRight = std::max(inset(a, false), inset(b, false));
    PaintChartWithin(painter, upperRect, upper, upperOptions, &out.upper, minLeft, minRight, false);
    PaintChartWithin(painter, lowerRect, *lower, lowerOptions, &out.lower, minLeft, minRight, false);
  }
  if (layout != nullptr) *layout = out;
  painter.restore();
}

ChartPaintOptions ChartPaintOptionsFor(const TChart& chart, const TDatasetSPC& dataset, const TChartOptions& options) {
  ChartPaintOptions o;
  o.chart = options;
  if (ConclusionDrawn(chart, options)) o.conclusion = ConclusionLine(chart, options.criteria.CriteriaCount()).text;
  if (const ChartSeries* s = chart.Current(); s != nullptr && s->set.zones.valid) {
    o.zoneAnalysis = ZoneAnalysisShort(s->set.zoneStat);
  }
  o.blockNames = BlockNames(dataset);
  o.remarks = EntryRemarks(chart, dataset);
  if (options.dataRange) o.sampleValues = SampleValuesOf(chart, dataset);
  return o;
}

}  // namespace mv::render
