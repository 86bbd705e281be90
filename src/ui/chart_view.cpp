#include "ui/chart_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "analysis/chart_texts.h"
#include "ui/analysis_settings.h"
#include "ui/settings_window.h"
#include "ui/ui_text.h"

namespace mv::ui {

render::ChartPaintOptions ChartPaintOptionsOf(const ChartWindowLogic& logic, int number, bool markChosen,
                                              bool monochrome) {
  const TChart* chart = logic.Chart(number);
  render::ChartPaintOptions o;
  if (chart != nullptr) {
    o = render::ChartPaintOptionsFor(*chart, logic.Dataset(), logic.Options());
  } else {
    o.chart = logic.Options();
  }
  o.style.font = GraphicsFontSetting();
  o.style.monochrome = monochrome;
  if (chart != nullptr && markChosen && logic.Chosen().chart == number) o.chosenPoint = logic.Chosen().index;
  return o;
}

ChartView::ChartView(ChartWindowLogic& logic, QWidget* parent) : QWidget(parent), m_logic(logic) {
  setObjectName("chartView");
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(400, 300);
}

render::ChartPairLayout ChartView::Paint(QPainter& painter, const QRectF& area, const ChartWindowLogic& logic,
                                         bool markChosen, const std::string& caption, bool monochrome) {
  render::ChartPairLayout layout;
  const TChart* upper = logic.Chart(1);
  if (upper == nullptr) {
    painter.save();
    painter.setFont(QFontOf(GraphicsFontSetting()));
    painter.drawText(area, Qt::AlignCenter, ToQ(kNoDisplayableParameters));
    painter.restore();
    return layout;
  }
  render::PaintChartPair(painter, area, caption, *upper, logic.Chart(2),
                         ChartPaintOptionsOf(logic, 1, markChosen, monochrome),
                         ChartPaintOptionsOf(logic, 2, markChosen, monochrome), &layout);
  return layout;
}

ChartView::Hit ChartView::HitAt(const QPoint& at) const {
  const QPointF p(at);
  for (int n = 1; n <= 2; ++n) {
    const render::ChartLayout& lay = n == 1 ? m_layout.upper : m_layout.lower;
    const TChart* chart = m_logic.Chart(n);
    if (chart == nullptr || lay.rect.isEmpty()) continue;
    if (lay.criteria.contains(p)) return {n, 0, true};
    if (const std::uint32_t index = lay.PointAt(*chart, p)) return {n, index, false};
    if (lay.rect.contains(p)) return {n, 0, false};
  }
  return {};
}

void ChartView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  m_layout = Paint(painter, QRectF(rect()), m_logic, true);
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
