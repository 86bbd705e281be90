#pragma once
// The window "История наборов данных": the list of the datasets opened on this computer (model
// and view), the text about the chosen one, and Open, Details and Delete. The logic decides;
// the window shows it. Enter opens, Delete removes, Home and End go to the first and the last
// entry, Escape closes. Its place and column widths are kept in the history.

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

#include "app/dataset_history_window_logic.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;

namespace mv::ui {

class DatasetHistoryModel;

class DatasetHistoryWindow : public QDialog {
  Q_OBJECT

 public:
  DatasetHistoryWindow(DatasetHistory& history, QWidget* parent = nullptr);
  ~DatasetHistoryWindow() override;

  DatasetHistoryWindowLogic& Logic() { return m_logic; }
  // The entry to open once the window was closed by Open.
  std::optional<int> Chosen() const { return m_chosen; }
  // Shows the details window; tests may replace it.
  std::function<void(const QString& title, const std::string& text)> showDetails;

  void OpenCurrent();
  void ShowDetails();
  void DeleteCurrent();
  void done(int result) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int CurrentRow() const;
  // The list again from the logic, with the row selected (the nearest one left).
  void Reload(int selectRow);
  void ShowState();
  void RestoreArea();
  void StoreArea();

  DatasetHistoryWindowLogic m_logic;
  DatasetHistoryModel* m_model = nullptr;
  QLabel* m_caption = nullptr;
  QTableView* m_table = nullptr;
  QCheckBox* m_showOpen = nullptr;
  QLabel* m_entryText = nullptr;
  QPushButton* m_open = nullptr;
  QPushButton* m_details = nullptr;
  QPushButton* m_delete = nullptr;
  std::optional<int> m_chosen;
};

// The whole command: nothing (after its information) for an empty history, else the window;
// the entry chosen to open.
std::optional<int> ShowDatasetHistory(DatasetHistory& history, QWidget* parent);

}  // namespace mv::ui
