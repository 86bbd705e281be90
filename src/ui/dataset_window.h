#pragma once
// The window of an open SPC dataset, on its page of the main window: the name and comment of
// the dataset, a page per kind of data with its parameters and blocks, the commands on them,
// the analysis over the selected blocks, the sample filters, the process picture and the
// additional properties, and a status bar. Its logic object decides; the window shows.
//
// Keys (while the focus is in the window): Insert adds a parameter or a block (where the focus
// is), Enter opens, Delete deletes, Ctrl+Up / Ctrl+Down move a parameter, Ctrl+A selects every
// block, Ctrl+K a control chart, Ctrl+G the histogram, Ctrl+F the page's filter, Ctrl+E the
// block-editing switch, Ctrl+S saves (when the window is given its own save key).

#include <QColor>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/chart_data.h"
#include "app/dataset_window_logic.h"
#include "ui/edit_context.h"

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QToolButton;

namespace mv::ui {

// An example dataset's page tab, its name in the list and its type are drawn in this colour.
inline QColor ExampleColour() { return {0xb0, 0x4a, 0x00}; }

class DatasetRowsModel;

class TfrmDatasetSPC : public QWidget {
  Q_OBJECT

 public:
  struct Options {
    bool debugMode = false;
    // The configuration's lists of earlier filter names and condition values (nullptr: none).
    std::vector<std::string>* filterNames = nullptr;
    std::vector<std::string>* filterValues = nullptr;
    // Ctrl+S in the window itself (the main window has its own save command).
    bool saveKey = false;
    // The editors and the block window (the program's own unless replaced).
    std::function<bool(QWidget*, TDatasetSPC&, DataKind, int, const EditContext&)> editParameter;
    std::function<bool(QWidget*, TDatasetSPC&, DataKind, int, const EditContext&, int*)> editBlock;
    std::function<void(QWidget*, TDatasetSPC&, int, const EditContext&)> openBlock;
  };

  TfrmDatasetSPC(TDatasetSPC& ds, EditContext context, Options options, QWidget* parent = nullptr);
  ~TfrmDatasetSPC() override;

  DatasetWindowLogic& Logic() { return m_logic; }
  TDatasetSPC& Dataset() { return m_logic.Dataset(); }
  // The dataset is about to go: the window no longer touches it.
  void Detach();

  // Fills both pages from the dataset.
  void Refresh();
  // The status bar and the type, after a change made elsewhere.
  void RefreshState();
  // The trimmed name and comment replace the dataset's where they differ.
  void TakeFields();
  // Takes the fields over and saves through the context; true when saved.
  bool Save();

  // The current page's kind (the quantitative page first).
  DataKind CurrentKind() const;
  void ShowKind(DataKind kind);
  QTableView* ParameterView(DataKind kind) const;
  QTableView* BlockView(DataKind kind) const;
  // The selected block rows of a page (1-based, in order).
  std::vector<int> SelectedBlockRows(DataKind kind) const;
  QPushButton* FilterButton(DataKind kind) const;

  // The commands, as the menus, buttons and keys call them (on the current page).
  void mnuEditAddPrmClick();
  void stgParamsDblClick(int row);  // a row beyond the last adds a parameter
  void mnuEditDelPrmClick();
  void tbtNumPrmUpClick();
  void tbtNumPrmDownClick();
  void mnuEditAddBlkClick();
  void stgNumBlocksDblClick(int row);  // on an empty quantitative list it adds a block
  void mnuEditDelBlkClick();
  void tbtNumBlkSelectAllClick();
  void tbtNumBlkEditAvlClick();
  void OpenChart(ChartKind upper, std::optional<ChartKind> lower, bool blockDefault);
  void mnuAnalHistoClick();
  bool EditFilter(DataKind kind);
  void imgPictureClick();
  void OpenProperties();

 protected:
  // The keys and double clicks of the lists.
  bool eventFilter(QObject* watched, QEvent* event) override;

 Q_SIGNALS:
  // The dataset changed (its lists, its state or its derived data): the main window renews
  // what it shows of it.
  void DatasetChanged();
  // A filter was changed with OK: filter marks and statistics were renewed.
  void DerivedDataChanged();

 private:
  struct Page {
    DataKind kind = DataKind::Var;
    QLabel* paramCaption = nullptr;
    QLabel* blockCaption = nullptr;
    QTableView* params = nullptr;
    QTableView* blocks = nullptr;
    DatasetRowsModel* paramModel = nullptr;
    DatasetRowsModel* blockModel = nullptr;
    QToolButton* addParam = nullptr;
    QToolButton* deleteParam = nullptr;
    QToolButton* paramUp = nullptr;
    QToolButton* paramDown = nullptr;
    QToolButton* addBlock = nullptr;
    QToolButton* deleteBlocks = nullptr;
    QToolButton* selectAll = nullptr;
    QToolButton* editSwitch = nullptr;
    QPushButton* filter = nullptr;
  };

  void BuildHeader();
  QWidget* BuildPage(Page& page);
  void BuildKeys();
  void ShowPicture();
  void ShowFilterCommands();
  void ShowCommands();
  Page& PageOf(DataKind kind) { return m_pages[kind == DataKind::Var ? 0 : 1]; }
  const Page& PageOf(DataKind kind) const { return m_pages[kind == DataKind::Var ? 0 : 1]; }
  int CurrentParameterRow(DataKind kind) const;
  void SelectParameterRow(DataKind kind, int row);
  void SelectBlockRow(DataKind kind, int row);
  void MoveParameter(int direction);
  void OpenBlock(DataKind kind, int row);
  void Changed();

  DatasetWindowLogic m_logic;
  EditContext m_context;
  Options m_options;
  bool m_detached = false;
  int m_pendingHandle = 0;
  Page m_pages[2];
  QTabWidget* m_tabs = nullptr;
  QLineEdit* m_name = nullptr;
  QLineEdit* m_comment = nullptr;
  QLabel* m_type = nullptr;
  QToolButton* m_picture = nullptr;
  QLabel* m_stateMarks = nullptr;
  QLabel* m_nameLabel = nullptr;
  QLabel* m_lastAction = nullptr;
};

}  // namespace mv::ui
