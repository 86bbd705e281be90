#pragma once
// A dataset's page in the main window: its process texts and type, its parameters and its
// blocks, and the two commands that open the sample filters (shown pressed while in force).

#include <QColor>
#include <QWidget>

#include <optional>
#include <string>
#include <vector>

#include "analysis/chart_data.h"
#include "spc/dataset_spc.h"

class QPushButton;

namespace mv::ui {

// An example dataset's page tab, its name in the list and its type are drawn in this colour.
inline QColor ExampleColour() { return {0xb0, 0x4a, 0x00}; }

class DatasetPage : public QWidget {
  Q_OBJECT

 public:
  DatasetPage(const TDatasetSPC& ds, QWidget* parent = nullptr);
  // The page with the analysis commands: a control chart and a histogram over the selected
  // block rows (deactivating samples from a chart changes the dataset), and the two sample
  // filters; the histories offer earlier filter names and condition values (nullptr: none).
  DatasetPage(TDatasetSPC& ds, QWidget* parent = nullptr, std::vector<std::string>* filterNames = nullptr,
              std::vector<std::string>* filterValues = nullptr);

  // Opens the filter window of a kind; true after OK.
  bool EditFilter(DataKind kind);
  // nullptr on a read-only page.
  QPushButton* FilterButton(DataKind kind) const { return m_filterButtons[kind == DataKind::Var ? 0 : 1]; }

  // The analysis commands, as the menu and the buttons call them.
  void OpenChart(ChartKind upper, std::optional<ChartKind> lower, bool blockDefault);
  void OpenHistogram();

 Q_SIGNALS:
  // A filter was changed with OK: the dataset is marked changed and its filter marks and
  // statistics are renewed; the open chart and histogram windows of the dataset have been rebuilt.
  void DerivedDataChanged();

 private:
  void Build(const TDatasetSPC& ds);
  void AddFilterCommands();
  void ShowFilterCommands();
  void AddAnalysisCommands();
  // The selected rows of the blocks table as block positions of `kind`, in order.
  std::vector<int> SelectedBlocks(DataKind kind) const;
  DataKind SelectedKind() const;

  TDatasetSPC* m_dataset = nullptr;
  std::vector<std::string>* m_filterNames = nullptr;
  std::vector<std::string>* m_filterValues = nullptr;
  QPushButton* m_filterButtons[2] = {nullptr, nullptr};
};

}  // namespace mv::ui
