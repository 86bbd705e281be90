#pragma once
// The shell's work with datasets: opening (by the file's extension), creating, saving and
// closing them, the password prompt, the files other instances hand over, and the datasets
// opened at start-up and kept at the end of the run. It shows its messages and questions
// through the platform interfaces and tells the windows what changed through a ShellView.
//
// Slots (OpenDataset::slot) name the datasets in this interface.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/instance_message.h"
#include "app/open_dataset_list.h"
#include "app/pending_edits.h"
#include "core/run_state.h"
#include "spc/dataset_basic.h"

namespace mv {

class DatasetHistory;

// What the windows do for the shell. Every call has a do-nothing default.
class ShellView {
 public:
  virtual ~ShellView() = default;
  virtual void StatusChanged(const std::string& /*text*/) {}
  // The open datasets, their names or their states changed, or another one became current.
  virtual void DatasetsChanged() {}
  virtual void BringToFront() {}
  // Appended to the window's title (" - ЗАКРОЙТЕ ЭТО ОКНО!").
  virtual void MarkTitle(const std::string& /*suffix*/) {}
  // Another instance asked this one to end and nothing stands in the way.
  virtual void EndRun() {}
  // A modal window is up: queued files wait.
  virtual bool ModalWindowUp() const { return false; }
};

// The answers of the question before closing a changed dataset, in the order of its buttons.
enum class CloseChoice : int { Save = 0, SaveAll = 1, DontSave = 2, DontSaveAll = 3, Continue = 4 };

class Shell {
 public:
  explicit Shell(ShellView* view = nullptr);
  Shell(const Shell&) = delete;
  Shell& operator=(const Shell&) = delete;

  void SetView(ShellView* view);
  OpenDatasetList& Datasets() { return m_list; }
  const OpenDatasetList& Datasets() const { return m_list; }
  DatasetQueue& Queue() { return m_queue; }
  // The editing windows' values in edit, committed before a dataset is saved or closed.
  PendingEdits& Edits() { return m_edits; }

  // Set from the command line and the configuration.
  bool debugMode = false;   // an example dataset may be saved under its own name
  char importOption = 0;    // 'C' or 'D': options of exchange files imported in this run
  std::string dataFolder;   // where the open dialog starts when no file was opened yet
  // This session as other instances are told about it.
  InstanceSessionInfo sessionInfo;
  std::int32_t sessionNumber = 0;
  // The run's state, when the shell runs in a program run: a run that ends at another
  // instance's request is marked Terminated.
  RunState* run = nullptr;
  // The datasets opened on this computer: every dataset opened, saved and closed here is
  // recorded in it (none: nothing is recorded).
  DatasetHistory* history = nullptr;

  // Busy while a file is being opened; queued files wait, the window is not closed.
  bool Busy() const { return m_busy > 0; }
  const std::string& Activity() const { return m_activity; }
  const std::string& StatusLine() const { return m_status; }

  // Opens a data file (source: DatasetSource). True when it is open afterwards (also when it
  // already was: its dataset then only becomes current).
  bool OpenDatasetFile(const std::string& fileName, int source);
  // "Открыть...": the open dialog, then OpenDatasetFile with source 1. False when cancelled.
  bool OpenWithDialog(bool msa = false);
  // Asks, then opens a new empty dataset of that kind named "Новый SPC n".
  bool NewDataset(DatasetKind kind);
  // Saves under the dataset's own name or (askName, or when it has none) one chosen in the
  // save dialog. An example dataset is never saved under its own name outside debug mode.
  bool SaveDataset(int slot, bool askName);
  // Closes the dataset, asking first when it has unsaved changes. False when it stays open.
  bool CloseDataset(int slot);
  // Closes every dataset in turn; the "all" answers hold until the end of this call. With
  // saveAll the datasets that have a file are saved without asking. False, with the rest open, when one stays.
  bool CloseAll(bool saveAll = false);

  // The password prompt for a dataset with a password (object text: "файлу "name"" and the
  // like). True when the right password was given; the dataset is then unlocked.
  static bool AskPassword(TDatasetBasic& dataset, const std::string& objectText);
  // The set-password window over the dataset. True when the password was set or removed.
  static bool SetPassword(TDatasetBasic& dataset);

  // A record from another instance. Files to open are queued; a request for this session's
  // information gets the answer returned here (for the channel to send back).
  std::optional<std::string> HandleInstanceMessage(std::span<const std::uint8_t> record);
  // The session information another instance sent last.
  const std::optional<InstanceSessionInfo>& PeerInfo() const { return m_peer; }
  // An additional session asks the first instance for its session information (code 2) and
  // keeps the answer as PeerInfo. True when an answer came.
  bool AskFirstSession();
  // Opens the next queued file unless the shell is busy or a modal window is up. True when a
  // file was taken from the queue.
  bool OpenQueued();

  // Start-up: opens the queued command-line files, then (unless noPrevious) the files of the
  // previous run, asking first when command-line files were opened; then reports the
  // activation. previous: the files of the previous run in order.
  void OpenStartupDatasets(const std::vector<std::string>& previous, bool noPrevious, const std::string& programName);

  // The end of the run, up to the point where the configuration is written: refused while
  // busy; otherwise every dataset is closed (saved without asking with autoSave). The files
  // that were open are returned for the next run; nothing when the run goes on.
  std::optional<std::vector<std::string>> EndRun(bool autoSave);

  // Marks the shell busy with an activity for the lifetime of the scope (opening a file, the
  // start-up): queued files wait and the window is not closed meanwhile.
  class BusyScope {
   public:
    BusyScope(Shell& shell, std::string activity);
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

   private:
    Shell& m_shell;
    std::string m_previous;
  };

 private:
  void SetStatus(std::string text);
  void Changed();
  bool CloseIndex(int index);
  bool UnsavedChanges() const;
  // The dataset at the index was opened, saved or is being closed: its history entry follows.
  enum class HistoryEvent { Opened, Saved, Closing };
  void RecordHistory(int index, HistoryEvent event);

  ShellView* m_view = nullptr;
  OpenDatasetList m_list;
  DatasetQueue m_queue;
  PendingEdits m_edits;
  int m_busy = 0;
  std::string m_activity;
  std::string m_status;
  int m_newCount = 0;
  enum class AllChoice { None, Save, DontSave, Auto } m_allChoice = AllChoice::None;
  std::optional<InstanceSessionInfo> m_peer;
  std::string m_lastOpenedFolder;
};

// The message for an extension this version cannot read.
std::string UnknownExtensionText(const std::string& fileName);
// For a file of a kind the program knows but cannot open yet (MSA data, exchange and old
// sample files, by the extension in any letter case): the message that says so; nothing for
// any other file.
std::optional<std::string> NotYetOpenedText(const std::string& fileName);

}  // namespace mv
