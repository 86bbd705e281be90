#pragma once
// The drawing area of a chart window: the charts of its logic one above the other, each with
// its conclusion line and its criteria strip, the chosen point marked; the mouse names what it
// is over, a click chooses a point, the arrow keys move the chosen point and Enter opens its
// information. The same drawing serves the printer and pictures (Paint).

#include <QWidget>

#include <cstdint>

#include "app/chart_window_logic.h"

namespace mv::ui {

// Where the parts of one chart go inside the area given to it.
struct ChartFrame {
  QRect plot;        // the value axis spans its height, the entries its width
  QRect criteria;    // the strip of the criteria found, under the plot
  QRect conclusion;  // the conclusion line
};
// The frames of `count` charts in `area`; the upper chart takes two thirds with a lower one.
std::vector<ChartFrame> ChartFrames(const QRect& area, int count, int textHeight);

class ChartView : public QWidget {
  Q_OBJECT

 public:
  explicit ChartView(ChartWindowLogic& logic, QWidget* parent = nullptr);

  // Draws every chart of the logic into `area` (screen, printer page, picture).
  static void Paint(QPainter& painter, const QRect& area, const ChartWindowLogic& logic, bool markChosen);

  struct Hit {
    int chart = 0;            // 0: over no chart
    std::uint32_t index = 0;  // the nearest entry of the column under the mouse, 0 none
    bool criteria = false;    // over the criteria strip
  };
  Hit HitAt(const QPoint& at) const;

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
};

}  // namespace mv::ui
