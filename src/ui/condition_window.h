#pragma once
// The condition window of a sample filter: property, condition, value (with earlier values),
// letter case and the active switch. OK asks the logic for its checks and shows its message.

#include <QDialog>

#include <string>
#include <vector>

#include "app/filter_window_logic.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace mv::ui {

class ConditionWindow : public QDialog {
  Q_OBJECT

 public:
  // `history`: the earlier values offered, most recent first (nullptr: none); OK puts the value first.
  ConditionWindow(ConditionWindowLogic& logic, std::vector<std::string>* history, QWidget* parent = nullptr);

  void accept() override;

 private:
  void ShowState();

  ConditionWindowLogic& m_logic;
  std::vector<std::string>* m_history;
  QComboBox* m_property = nullptr;
  QLabel* m_propertyNote = nullptr;
  QComboBox* m_condition = nullptr;
  QComboBox* m_value = nullptr;
  QLabel* m_intervalNote = nullptr;
  QCheckBox* m_case = nullptr;
  QCheckBox* m_active = nullptr;
};

}  // namespace mv::ui
