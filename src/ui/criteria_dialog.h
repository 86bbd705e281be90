#pragma once
// "Критерии наличия особых причин для контрольной карты": the criteria set, the grid of the
// criteria (editable under the custom set, a double click toggling one), the definition of the
// current row and the display flags. Every rule is the CriteriaEditor's.

#include <QDialog>

#include <vector>

#include "app/chart_dialog_logic.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QTableWidget;

namespace mv::ui {

class CriteriaDialog : public QDialog {
  Q_OBJECT

 public:
  CriteriaDialog(ChartKind kind, const TCriteriaChoice& choice, QWidget* parent = nullptr);

  // The choice OK stores.
  TCriteriaChoice Result() const { return m_editor.Result(); }
  CriteriaEditor& Editor() { return m_editor; }
  // Runs the dialog; true with `choice` replaced when it was closed by OK.
  static bool Edit(ChartKind kind, TCriteriaChoice& choice, QWidget* parent);

 private:
  void ShowSet();
  void ShowDefinition();

  CriteriaEditor m_editor;
  QComboBox* m_sets = nullptr;
  QLabel* m_gridCaption = nullptr;
  QTableWidget* m_grid = nullptr;
  QLabel* m_definition = nullptr;
  std::vector<QCheckBox*> m_flags;
};

}  // namespace mv::ui
