#pragma once
// The filter window of one kind of data: the switch, the conditions table with its five
// buttons, the status line and the name with earlier names. OK hands the edit to the logic,
// which writes it into the dataset and refreshes the dataset's derived data.

#include <QDialog>

#include <string>
#include <vector>

#include "app/filter_window_logic.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace mv::ui {

class FilterWindow : public QDialog {
  Q_OBJECT

 public:
  // nameHistory / valueHistory: the earlier filter names and condition values (nullptr: none).
  FilterWindow(TDatasetSPC& ds, DataKind kind, std::vector<std::string>* nameHistory,
               std::vector<std::string>* valueHistory, QWidget* parent = nullptr);

  FilterWindowLogic& Logic() { return m_logic; }
  void accept() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

  // The condition window as Add and Change open it; tests may replace it. Returns whether the
  // condition was confirmed (then `logic.Result()` holds it).
  std::function<bool(ConditionWindowLogic& logic)> editCondition;

 private:
  void ShowState(int selectRow);
  int CurrentRow() const;
  void AddCondition();
  void ChangeCondition();

  FilterWindowLogic m_logic;
  std::vector<std::string>* m_nameHistory;
  std::vector<std::string>* m_valueHistory;
  QCheckBox* m_active = nullptr;
  QTableWidget* m_table = nullptr;
  QLabel* m_status = nullptr;
  QComboBox* m_name = nullptr;
  QPushButton* m_add = nullptr;
  QPushButton* m_change = nullptr;
  QPushButton* m_delete = nullptr;
  QPushButton* m_up = nullptr;
  QPushButton* m_down = nullptr;
};

}  // namespace mv::ui
