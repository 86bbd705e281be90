#pragma once
// The drawing area of a chart window: the charts of its logic drawn by the chart painter (the
// same drawing as the printer and pictures), the chosen point marked; the mouse names what it
// is over, found through the layout the painter handed back, a click chooses a point, the
// arrow keys move the chosen point and Enter opens its information.

#include <QWidget>

#include <cstdint>
#include <string>

#include "app/chart_window_logic.h"
#include "render/chart_painter.h"

namespace mv::ui {

// What the painter is told about chart `number` (1 upper, 2 lower) of the window: the window's
// options, the graphics font, the conclusion and the short zone analysis, the block names, the
// entries' notes and events, and the chosen point when `markChosen`.
render::ChartPaintOptions ChartPaintOptionsOf(const ChartWindowLogic& logic, int number, bool markChosen,
                                              bool monochrome = false);

class ChartView : public QWidget {
  Q_OBJECT

 public:
  explicit ChartView(ChartWindowLogic& logic, QWidget* parent = nullptr);

  // Draws the charts of the logic into `area` (screen, printer page, picture) with `caption`
  // on top (empty: none); without a chart, the text that says so.
  static render::ChartPairLayout Paint(QPainter& painter, const QRectF& area, const ChartWindowLogic& logic,
                                       bool markChosen, const std::string& caption = {}, bool monochrome = false);

  struct Hit {
    int chart = 0;            // 0: over no chart
    std::uint32_t index = 0;  // the nearest entry of the columns under the mouse, 0 none
    bool criteria = false;    // over the criteria area
  };
  // By the layout of the last paint.
  Hit HitAt(const QPoint& at) const;
  const render::ChartPairLayout& Layout() const { return m_layout; }

  QSize sizeHint() const override { return {900, 560}; }

 Q_SIGNALS:
  void StatusText(const QString& text);
  void ChosenChanged();
  void InformationAsked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  ChartWindowLogic& m_logic;
  render::ChartPairLayout m_layout;
};

}  // namespace mv::ui
