#pragma once
// The main window: menu, the open datasets and a first, read-only view of the current one
// (its parameters and blocks) until the dataset window takes its place.

#include <QMainWindow>

#include <string>
#include <vector>

#include "app/open_datasets.h"

class QAction;
class QLabel;
class QTabBar;
class QTreeWidget;

namespace mv::ui {

// The title is "Morvalen " + version, then " - " + the current dataset's file name. "Файл"
// opens, saves and closes datasets through the OpenDatasets it holds; "Создать" stays disabled
// until new datasets can be made. Closing the window closes every dataset first, and the
// window stays open when one of them stays open (its changes could not be saved).
class TfrmMain : public QMainWindow {
  Q_OBJECT

 public:
  explicit TfrmMain(QWidget* parent = nullptr);
  ~TfrmMain() override;

  // Opens the files one after another, as "Открыть..." does; the last one opened is shown.
  void OpenFiles(const std::vector<std::string>& fileNames);
  OpenDatasets& Datasets() { return m_datasets; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void BuildPage();
  void ShowAbout();
  void SaveCurrent(bool askName);
  void CloseDataset(int index);
  // Tabs from the list of open datasets, then ShowCurrent.
  void Refresh();
  // Title, tree, status line and commands for the current dataset.
  void ShowCurrent();

  OpenDatasets m_datasets;
  QTabBar* m_tabs = nullptr;
  QTreeWidget* m_tree = nullptr;
  QLabel* m_status = nullptr;
  std::vector<QAction*> m_datasetCommands;  // enabled only with a dataset open
};

}  // namespace mv::ui
