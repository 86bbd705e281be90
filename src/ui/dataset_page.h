#pragma once
// A dataset's page in the main window: its process texts and type, its parameters and its
// blocks.

#include <QColor>
#include <QWidget>

#include <optional>
#include <vector>

#include "analysis/chart_data.h"
#include "spc/dataset_spc.h"

namespace mv::ui {

// An example dataset's page tab, its name in the list and its type are drawn in this colour.
inline QColor ExampleColour() { return {0xb0, 0x4a, 0x00}; }

class DatasetPage : public QWidget {
  Q_OBJECT

 public:
  DatasetPage(const TDatasetSPC& ds, QWidget* parent = nullptr);
  // The page with the analysis commands: a control chart and a histogram over the selected
  // block rows (deactivating samples from a chart changes the dataset).
  DatasetPage(TDatasetSPC& ds, QWidget* parent = nullptr);

  // The analysis commands, as the menu and the buttons call them.
  void OpenChart(ChartKind upper, std::optional<ChartKind> lower, bool blockDefault);
  void OpenHistogram();

 private:
  void Build(const TDatasetSPC& ds);
  void AddAnalysisCommands();
  // The selected rows of the blocks table as block positions of `kind`, in order.
  std::vector<int> SelectedBlocks(DataKind kind) const;
  DataKind SelectedKind() const;

  TDatasetSPC* m_dataset = nullptr;
};

}  // namespace mv::ui
