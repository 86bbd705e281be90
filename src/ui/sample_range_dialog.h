#pragma once
// The choice of blocks and samples an analysis opens on: every block ("Все блоки (n)") or one,
// and over one block all its samples ("все (n шт.)") or a range whose numbers are checked (the
// dialog stays open on a wrong range). The rules are SampleRangeChoice's.

#include <QDialog>

#include <optional>

#include "app/chart_dialog_logic.h"

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace mv::ui {

class SampleRangeDialog : public QDialog {
  Q_OBJECT

 public:
  // `block` preselects one block (its position), 0 every block.
  SampleRangeDialog(const TDatasetSPC& dataset, DataKind kind, int block = 0, QWidget* parent = nullptr);

  const std::optional<SampleSelection>& Result() const { return m_result; }
  void accept() override;

  static std::optional<SampleSelection> Choose(const TDatasetSPC& dataset, DataKind kind, int block, QWidget* parent);

 private:
  void ShowRange();

  SampleRangeChoice m_choice;
  std::optional<SampleSelection> m_result;
  QComboBox* m_blocks = nullptr;
  QRadioButton* m_all = nullptr;
  QRadioButton* m_range = nullptr;
  QLineEdit* m_from = nullptr;
  QLineEdit* m_to = nullptr;
};

}  // namespace mv::ui
