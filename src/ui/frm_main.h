#pragma once
// The main window: the menu, the page listing the open datasets and one page per dataset (the
// dataset's window, kept for as long as the dataset is open), and the status line. The shell it holds does the work; the window shows what it reports.

#include <QMainWindow>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/settings_window_logic.h"
#include "app/shell.h"

class QAction;
class QLabel;
class QTabWidget;
class QTableWidget;
class QTimer;

namespace mv::ui {

class TfrmDatasetSPC;

class TfrmMain : public QMainWindow, public ShellView {
  Q_OBJECT

 public:
  explicit TfrmMain(QWidget* parent = nullptr);
  ~TfrmMain() override;

  mv::Shell& Shell() { return m_shell; }
  // Opens the files one after another as "Открыть..." does; the last one opened is shown.
  void OpenFiles(const std::vector<std::string>& fileNames);
  // Called once every dataset has closed at the end of the run, with the files that were open.
  std::function<void(const std::vector<std::string>& openFiles)> onRunEnding;
  // Datasets with a file are saved without asking when the window closes.
  bool autoSaveAtEnd = false;
  // The configuration's lists of earlier filter names and condition values (nullptr: none).
  std::vector<std::string>* filterNameHistory = nullptr;
  std::vector<std::string>* filterValueHistory = nullptr;
  // How often queued files are looked at.
  static constexpr int kIdleIntervalMs = 250;

  // What the settings window works on: the run's configuration and lists. The command
  // "Настройки..." is enabled once they are given.
  struct SettingsSources {
    ConfigFile* config = nullptr;
    TEventSoundSet* sounds = nullptr;
    TGageSet* gages = nullptr;
    TInputProfileSet* profiles = nullptr;
    SettingsWindowLogic::Options options{};
  };
  void SetSettingsSources(SettingsSources sources);
  // The settings window on a page (SettingsWindow::Page); true when confirmed.
  bool OpenSettings(int page = 0);
  // "История наборов данных...": the history window, then the chosen dataset is opened.
  void OpenFromHistory();

  // The window of the dataset in a slot (nullptr: none open there).
  TfrmDatasetSPC* DatasetWindow(int slot) const;

  // ShellView
  void StatusChanged(const std::string& text) override;
  void DatasetsChanged() override;
  void BringToFront() override;
  void MarkTitle(const std::string& suffix) override;
  void EndRun() override;
  bool ModalWindowUp() const override;

 Q_SIGNALS:
  // A dataset's filter marks and statistics were renewed (its filter changed): windows that show
  // its charts and histograms rebuild.
  void DatasetDerivedDataChanged(int slot);

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Data files dropped on the window are opened as if chosen in the open dialog.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenus();
  void BuildListPage();
  void ShowAbout();
  void CurrentSlotCommand(const std::function<void(int slot)>& command);
  // Pages from the list of open datasets, then ShowCurrent.
  void Refresh();
  // Title, status and commands for the current dataset.
  void ShowCurrent();
  // The window of a dataset that just opened.
  TfrmDatasetSPC* MakeDatasetWindow(int index);
  // Saves the current dataset (under its name, or asking for one).
  void SaveCurrent(bool askName);

  mv::Shell m_shell;
  QTabWidget* m_pages = nullptr;
  QTableWidget* m_list = nullptr;
  QLabel* m_status = nullptr;
  QLabel* m_contents = nullptr;
  QLabel* m_emptyHint = nullptr;  // on the list page while nothing is open
  QTimer* m_idle = nullptr;
  std::string m_titleSuffix;
  int m_shownCurrent = -1;  // the list's current dataset and count when the pages were built
  int m_shownCount = 0;
  std::vector<QAction*> m_datasetCommands;  // enabled only with a dataset open
  QAction* m_settingsCommand = nullptr;
  SettingsSources m_settings;
  // The open datasets' windows by slot, with the dataset each was made for.
  struct WindowEntry {
    TfrmDatasetSPC* window = nullptr;
    const TDatasetSPC* dataset = nullptr;
  };
  std::map<int, WindowEntry> m_windows;
};

}  // namespace mv::ui
