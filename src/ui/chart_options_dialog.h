#pragma once
// The chart options ("Параметры контрольных карт"): every field of TChartOptions, the criteria
// choice through the criteria dialog, the box-plot options and the title language. OK hands
// the edited options back; the window rebuilds its charts with them.

#include <QDialog>

#include "analysis/chart_options.h"

class QButtonGroup;
class QLabel;
class QSpinBox;

namespace mv::ui {

class ChartOptionsDialog : public QDialog {
  Q_OBJECT

 public:
  // `kind` is the kind the criteria dialog offers its criteria for.
  ChartOptionsDialog(const TChartOptions& options, ChartKind kind, QWidget* parent = nullptr);

  const TChartOptions& Result() const { return m_options; }
  // Runs the dialog; true with `options` replaced when it was closed by OK.
  static bool Edit(TChartOptions& options, ChartKind kind, QWidget* parent);

 private:
  void ShowCriteria();

  TChartOptions m_options;
  ChartKind m_kind;
  QLabel* m_criteria = nullptr;
};

}  // namespace mv::ui
