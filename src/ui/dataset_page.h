#pragma once
// A dataset's page in the main window: its process texts and type, its parameters and its
// blocks, and the two commands that open the sample filters (shown pressed while in force).

#include <QColor>
#include <QWidget>

#include <string>
#include <vector>

#include "spc/dataset_spc.h"

class QPushButton;

namespace mv::ui {

// An example dataset's page tab, its name in the list and its type are drawn in this colour.
inline QColor ExampleColour() { return {0xb0, 0x4a, 0x00}; }

class DatasetPage : public QWidget {
  Q_OBJECT

 public:
  // The histories offer earlier filter names and condition values (nullptr: none).
  DatasetPage(TDatasetSPC& ds, std::vector<std::string>* filterNames = nullptr,
              std::vector<std::string>* filterValues = nullptr, QWidget* parent = nullptr);

  // Opens the filter window of a kind; true after OK.
  bool EditFilter(DataKind kind);
  QPushButton* FilterButton(DataKind kind) const { return m_filterButtons[kind == DataKind::Var ? 0 : 1]; }

 Q_SIGNALS:
  // A filter was changed with OK: the dataset is marked changed and its filter marks and
  // statistics are renewed, so windows showing its charts and histograms rebuild.
  void DerivedDataChanged();

 private:
  void ShowFilterCommands();

  TDatasetSPC& m_ds;
  std::vector<std::string>* m_filterNames;
  std::vector<std::string>* m_filterValues;
  QPushButton* m_filterButtons[2] = {nullptr, nullptr};
};

}  // namespace mv::ui
