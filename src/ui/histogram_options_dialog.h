#pragma once
// "Настройки гистограмм": every field of HistogramOptions. The statistic indicators are chosen
// from the columns of the parameter table's catalogue (those offered to quantitative data, in
// the column editor's order, by their long names); a sigma level that is not a whole number
// 1..9 shows its error and keeps the dialog open.

#include <QDialog>

#include <string>
#include <vector>

#include "analysis/histogram_options.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace mv::ui {

class HistogramOptionsDialog : public QDialog {
  Q_OBJECT

 public:
  // indicatorNames[i], when given and not empty, names indicator i + 1 instead of the catalogue.
  HistogramOptionsDialog(const HistogramOptions& options, std::vector<std::string> indicatorNames,
                         QWidget* parent = nullptr);

  const HistogramOptions& Result() const { return m_options; }
  static bool Edit(HistogramOptions& options, const std::vector<std::string>& indicatorNames, QWidget* parent);

  void accept() override;

 private:
  void ShowStatisticsChoice();

  HistogramOptions m_options;
  QLineEdit* m_sigmaLevel = nullptr;
  QLineEdit* m_title = nullptr;
  QListWidget* m_indicators = nullptr;
  QLabel* m_statistics = nullptr;
};

}  // namespace mv::ui
