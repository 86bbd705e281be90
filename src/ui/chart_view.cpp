#include "ui/chart_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "analysis/chart_kinds.h"
#include "core/numbers.h"
#include "ui/analysis_settings.h"
#include "ui/settings_window.h"
#include "ui/ui_text.h"

namespace mv::ui {
namespace {

constexpr int kAxisWidth = 70;   // value labels left of the plot
constexpr int kRightSpace = 90;  // limit codes right of the plot

double YOf(const TChart& chart, const QRect& plot, double v) {
  const double span = chart.axisMax - chart.axisMin;
  if (!(span > 0)) return plot.center().y();
  return plot.bottom() - (v - chart.axisMin) / span * plot.height();
}

double XOf(const TChart& chart, const QRect& plot, std::uint32_t index) {
  const double n = std::max<std::uint32_t>(1, chart.data.Count());
  return plot.left() + (index - 0.5) * plot.width() / n;
}

void HorizontalLine(QPainter& p, const TChart& chart, const QRect& plot, double v, const QPen& pen,
                    const QString& label) {
  const double y = YOf(chart, plot, v);
  p.setPen(pen);
  p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
  p.drawText(QRectF(plot.right() + 4, y - 9, kRightSpace - 6, 18), Qt::AlignLeft | Qt::AlignVCenter, label);
}

void DrawMark(QPainter& p, const QPointF& at, int shape, const QColor& colour) {
  p.setPen(QPen(colour, 1.2));
  const double r = 3.5;
  switch (shape) {
    case 1:  // beyond the limits: a filled diamond
      p.setBrush(colour);
      p.drawPolygon(QPolygonF({at + QPointF(0, -r - 1), at + QPointF(r + 1, 0), at + QPointF(0, r + 1),
                               at + QPointF(-r - 1, 0)}));
      break;
    case 2:  // excluded: a cross
      p.drawLine(at + QPointF(-r, -r), at + QPointF(r, r));
      p.drawLine(at + QPointF(-r, r), at + QPointF(r, -r));
      break;
    case 3:  // filtered: an open square
      p.setBrush(Qt::NoBrush);
      p.drawRect(QRectF(at.x() - r, at.y() - r, 2 * r, 2 * r));
      break;
    default:
      p.setBrush(colour);
      p.drawEllipse(at, r - 0.5, r - 0.5);
  }
}

void DrawChart(QPainter& p, const ChartFrame& f, const TChart& chart, const ChartWindowLogic& logic, int number,
               bool markChosen) {
  const QRect& plot = f.plot;
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawRect(plot);
  const ChartSeries* series = chart.Current();
  if (!series) return;
  const CDataSet& set = series->set;
  const int d = chart.decimals;
  p.setPen(Qt::black);
  p.drawText(QRect(plot.left(), plot.top() - 20, plot.width(), 18), Qt::AlignLeft | Qt::AlignVCenter,
             ToQ(chart.title));
  // Zones as shaded bands.
  if ((logic.Options().criteria.display & criteria_display::kZones) && set.zones.valid && chart.limitsShown &&
      chart.limitMode == LimitMode::Control) {
    const QColor shades[] = {QColor(250, 215, 215), QColor(250, 240, 200), QColor(220, 240, 220)};
    p.save();
    p.setClipRect(plot);
    for (int z = 0; z < 3; ++z) {
      for (const ZoneBand* band : {&set.zones.zones[z].upper, &set.zones.zones[z].lower}) {
        const double top = YOf(chart, plot, band->upperEdge), bottom = YOf(chart, plot, band->lowerEdge);
        p.fillRect(QRectF(plot.left(), top, plot.width(), bottom - top), shades[z]);
      }
    }
    p.restore();
    if (logic.Options().criteria.display & criteria_display::kZoneAnalysis) {
      p.setPen(Qt::black);
      p.drawText(QRect(plot.left(), plot.top() - 20, plot.width(), 18), Qt::AlignRight | Qt::AlignVCenter,
                 ToQ(ZoneAnalysisShort(set.zoneStat)));
    }
  }
  // Value axis.
  p.setPen(QColor(90, 90, 90));
  for (int k = 0; k <= 4; ++k) {
    const double v = chart.axisMin + (chart.axisMax - chart.axisMin) * k / 4;
    const double y = YOf(chart, plot, v);
    p.drawLine(QPointF(plot.left() - 4, y), QPointF(plot.left(), y));
    p.drawText(QRectF(plot.left() - kAxisWidth, y - 9, kAxisWidth - 6, 18), Qt::AlignRight | Qt::AlignVCenter,
               ToQ(FormatFixed(v, d)));
  }
  // Centre line, limits and the other lines, each with its own line style.
  if (chart.centralLineShown) {
    HorizontalLine(p, chart, plot, set.mean, QPen(QColor(0, 110, 0), 1.5),
                   QStringLiteral("CL=") + ToQ(FormatFixed(set.mean, d)));
  }
  if (chart.limitsShown) {
    const QPen limit(QColor(200, 0, 0), 1.5, Qt::DashLine);
    if (set.hasUcl) {
      HorizontalLine(p, chart, plot, set.ucl, limit, ToQ(chart.upperCode + "=" + FormatFixed(set.ucl, d)));
    }
    if (set.hasLcl) {
      HorizontalLine(p, chart, plot, set.lcl, limit, ToQ(chart.lowerCode + "=" + FormatFixed(set.lcl, d)));
    }
  }
  if (chart.limitsShown && chart.ownLimitsUsed) {  // own limits of the entries far from the mean size
    p.setPen(QPen(QColor(200, 0, 0), 1.5));
    const double half = plot.width() / (2.0 * std::max<std::uint32_t>(1, chart.data.Count()));
    for (std::uint32_t i = 1; i <= chart.data.Count(); ++i) {
      const TChartPoint& cp = chart.data.points[i - 1];
      if ((cp.flags & chart_point_flag::kOwnLimits) == 0) continue;
      const double x = XOf(chart, plot, i);
      for (const double v : {cp.ownUpper, cp.ownLower}) {
        const double y = YOf(chart, plot, v);
        p.drawLine(QPointF(x - half, y), QPointF(x + half, y));
      }
    }
  }
  for (const ChartLine& line : chart.lines) {
    HorizontalLine(p, chart, plot, line.value, QPen(QColor(0, 0, 160), 1, Qt::DashDotLine), ToQ(line.code));
  }
  // Block boundaries.
  p.setPen(QPen(QColor(120, 120, 120), 1, Qt::DotLine));
  for (std::uint32_t i = 2; i <= chart.data.Count(); ++i) {
    if (chart.data.points[i - 1].flags & chart_point_flag::kBlockStart) {
      const double x = (XOf(chart, plot, i - 1) + XOf(chart, plot, i)) / 2;
      p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
  }
  // The series line over the analysed points, then the marks.
  QPainterPath path;
  bool started = false;
  for (std::uint32_t i = std::max<std::uint32_t>(1, set.FirstIndex()); i <= set.Count(); ++i) {
    if (!set.IsAnalysed(i)) continue;
    const QPointF at(XOf(chart, plot, i), YOf(chart, plot, set.Value(i)));
    if (started) {
      path.lineTo(at);
    } else {
      path.moveTo(at);
      started = true;
    }
  }
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(40, 70, 160), 1.2));
  p.drawPath(path);
  for (std::uint32_t i = std::max<std::uint32_t>(1, set.FirstIndex()); i <= set.Count() && i <= chart.data.Count(); ++i) {
    if (!set.HasFlag(i, dsp_flag::kPresent)) continue;
    const TChartPoint& cp = chart.data.points[i - 1];
    const QPointF at(XOf(chart, plot, i), YOf(chart, plot, set.Value(i)));
    if (cp.flags & chart_point_flag::kExcluded) {
      DrawMark(p, at, 2, QColor(110, 110, 110));
    } else if (cp.flags & chart_point_flag::kFiltered) {
      DrawMark(p, at, 3, QColor(110, 110, 110));
    } else if (set.HasFlag(i, dsp_flag::kBeyond)) {
      DrawMark(p, at, 1, QColor(200, 0, 0));
    } else if (set.HasFlag(i, dsp_flag::kSeries)) {
      DrawMark(p, at, 0, QColor(230, 120, 0));
    } else {
      DrawMark(p, at, 0, QColor(40, 70, 160));
    }
  }
  if (markChosen && logic.Chosen().chart == number && logic.Chosen().index >= 1 &&
      logic.Chosen().index <= set.Count()) {
    const std::uint32_t i = logic.Chosen().index;
    const QPointF at(XOf(chart, plot, i), YOf(chart, plot, set.Value(i)));
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(at, 7, 7);
  }
  p.setPen(QColor(60, 60, 60));
  p.setBrush(Qt::NoBrush);
  p.drawRect(plot);
  // Criteria strip and conclusion line.
  p.setPen(Qt::black);
  p.drawText(f.criteria, Qt::AlignLeft | Qt::AlignVCenter, ToQ(logic.CriteriaText(number)));
  const ChartConclusion conclusion = logic.Conclusion(number);
  if (!conclusion.text.empty()) {
    QRect text = f.conclusion;
    if (conclusion.mark != ConclusionMark::None) {
      const bool good = conclusion.mark == ConclusionMark::Good;
      const QRect mark(text.left(), text.center().y() - 6, 12, 12);
      p.setPen(QPen(good ? QColor(0, 130, 0) : QColor(200, 0, 0), 2));
      if (good) {
        p.drawPolyline(QPolygon({mark.bottomLeft() + QPoint(1, -6), mark.bottomLeft() + QPoint(5, -1),
                                 mark.topRight() + QPoint(-1, 1)}));
      } else {
        p.drawLine(mark.topLeft(), mark.bottomRight());
        p.drawLine(mark.bottomLeft(), mark.topRight());
      }
      text.setLeft(text.left() + 18);
    }
    p.setPen(Qt::black);
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, ToQ(conclusion.text));
  }
}

}  // namespace

std::vector<ChartFrame> ChartFrames(const QRect& area, int count, int textHeight) {
  std::vector<ChartFrame> frames;
  if (count <= 0) return frames;
  const int upperHeight = count == 2 ? area.height() * 3 / 5 : area.height();
  for (int n = 0; n < count; ++n) {
    const QRect part = n == 0 ? QRect(area.left(), area.top(), area.width(), upperHeight)
                              : QRect(area.left(), area.top() + upperHeight, area.width(), area.height() - upperHeight);
    ChartFrame f;
    const int strip = textHeight + 4;
    f.plot = QRect(part.left() + kAxisWidth, part.top() + strip + 4, part.width() - kAxisWidth - kRightSpace,
                   part.height() - 3 * strip - 12);
    f.criteria = QRect(f.plot.left(), f.plot.bottom() + 4, f.plot.width(), strip);
    f.conclusion = QRect(f.plot.left(), f.criteria.bottom() + 2, part.right() - f.plot.left(), strip);
    frames.push_back(f);
  }
  return frames;
}

ChartView::ChartView(ChartWindowLogic& logic, QWidget* parent) : QWidget(parent), m_logic(logic) {
  setObjectName("chartView");
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(400, 300);
}

void ChartView::Paint(QPainter& painter, const QRect& area, const ChartWindowLogic& logic, bool markChosen) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setFont(QFontOf(GraphicsFontSetting()));
  const auto frames = ChartFrames(area, logic.ChartCount(), painter.fontMetrics().height());
  for (int n = 1; n <= static_cast<int>(frames.size()); ++n) {
    if (const TChart* chart = logic.Chart(n)) {
      DrawChart(painter, frames[static_cast<std::size_t>(n - 1)], *chart, logic, n, markChosen);
    }
  }
  if (frames.empty()) {
    painter.drawText(area, Qt::AlignCenter, ToQ(kNoDisplayableParameters));
  }
  painter.restore();
}

ChartView::Hit ChartView::HitAt(const QPoint& at) const {
  const auto frames = ChartFrames(rect(), m_logic.ChartCount(), fontMetrics().height());
  for (int n = 1; n <= static_cast<int>(frames.size()); ++n) {
    const ChartFrame& f = frames[static_cast<std::size_t>(n - 1)];
    if (f.criteria.contains(at)) return {n, 0, true};
    const TChart* chart = m_logic.Chart(n);
    if (!chart || !f.plot.contains(at) || chart->data.Count() == 0) continue;
    // The column under the mouse names its entry, as the entries share the width evenly.
    const double column = (at.x() - f.plot.left()) * static_cast<double>(chart->data.Count()) / f.plot.width();
    const auto index = static_cast<std::uint32_t>(std::clamp<double>(std::floor(column) + 1, 1, chart->data.Count()));
    return {n, index, false};
  }
  return {};
}

void ChartView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(246, 246, 246));
  Paint(painter, rect(), m_logic, true);
  if (hasFocus()) {
    painter.setPen(QPen(palette().highlight().color(), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

void ChartView::mouseMoveEvent(QMouseEvent* event) {
  const Hit hit = HitAt(event->position().toPoint());
  if (hit.criteria) return Q_EMIT StatusText(ToQ(m_logic.CriteriaText(hit.chart)));
  Q_EMIT StatusText(hit.index ? ToQ(m_logic.MouseText(hit.chart, hit.index)) : QString());
}

void ChartView::mousePressEvent(QMouseEvent* event) {
  const Hit hit = HitAt(event->position().toPoint());
  if (hit.index && m_logic.Choose(hit.chart, hit.index)) {
    update();
    Q_EMIT ChosenChanged();
  }
}

void ChartView::mouseDoubleClickEvent(QMouseEvent* event) {
  mousePressEvent(event);
  if (m_logic.Chosen().index) Q_EMIT InformationAsked();
}

void ChartView::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
      m_logic.MoveChosen(event->key() == Qt::Key_Left ? -1 : +1);
      break;
    case Qt::Key_Home:
      m_logic.MoveChosen(-1000000);
      break;
    case Qt::Key_End:
      m_logic.MoveChosen(+1000000);
      break;
    case Qt::Key_Up:
    case Qt::Key_Down: {  // to the same entry of the other chart
      const int other = m_logic.Chosen().chart == 1 ? 2 : 1;
      if (!m_logic.Choose(other, std::max<std::uint32_t>(1, m_logic.Chosen().index))) return;
      break;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (m_logic.Chosen().index) Q_EMIT InformationAsked();
      return;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  update();
  Q_EMIT ChosenChanged();
  if (m_logic.Chosen().index) {
    Q_EMIT StatusText(ToQ(m_logic.MouseText(m_logic.Chosen().chart, m_logic.Chosen().index)));
  }
}

}  // namespace mv::ui
