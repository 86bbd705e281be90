#pragma once
// The datasets open in the program: at most kMaxOpenDatasets, one of them current. Opening,
// saving and closing go through the file flows of spc/spc_file.h, which show their own
// messages; this list adds the rules between the datasets (the same file is never open twice,
// the question before closing a changed dataset).

#include <memory>
#include <string>
#include <vector>

#include "spc/dataset_spc.h"

namespace mv {

inline constexpr int kMaxOpenDatasets = 20;

// Indexes are 0-based, in the order of opening; -1 means none. Each open dataset also gets a
// slot number (TDatasetBasic::slot, 1..kMaxOpenDatasets) that stays the same while it is open
// and tags its log lines.
class OpenDatasets {
 public:
  OpenDatasets();
  ~OpenDatasets();
  OpenDatasets(const OpenDatasets&) = delete;
  OpenDatasets& operator=(const OpenDatasets&) = delete;

  int Count() const { return static_cast<int>(m_datasets.size()); }
  int CurrentIndex() const { return m_current; }
  void SetCurrent(int index);  // an index outside 0..Count()-1 changes nothing
  TDatasetSPC* At(int index);  // nullptr outside 0..Count()-1
  const TDatasetSPC* At(int index) const;
  TDatasetSPC* Current() { return At(m_current); }
  const TDatasetSPC* Current() const { return At(m_current); }
  // The dataset of that file, however the name is spelled (relative, "..", links); -1 if none.
  int IndexOfFile(const std::string& fileName) const;
  // "нет" when nothing is open, else the count and " (SPC-" n ", MSA-" m ")".
  std::string SummaryText() const;
  // The dataset list's status of a dataset: "Новый", "Изменен" or "Сохранен"; "" for no dataset.
  std::string StatusText(int index) const;

  // Where a file to open came from (written in the "-Open." log line).
  enum Source : int { kFromDialog = 1, kFromHistory = 2, kFromCommandLine = 3, kFromInstance = 4, kFromPrevious = 5 };

  // Reads the data file and makes it current. A file already open is not read again: its
  // dataset becomes current (the status says so). -1 when it was not opened: kMaxOpenDatasets
  // are open (told before anything is read), the extension is not one this version reads, or
  // reading failed (the load flow told the user).
  int Open(const std::string& fileName, int source = kFromDialog);
  // The text for the status line left by the last operation ("" when there is none).
  const std::string& StatusLine() const { return m_status; }
  // In debug mode an example dataset may be saved under its own name.
  bool debugMode = false;
  // "Файл → Открыть...": the file chosen in the open dialog, opened as by Open, starting in the
  // current dataset's folder. -1 also when the dialog was cancelled.
  int OpenWithDialog();
  // Saves under the dataset's name, or under one chosen in the save dialog (askName, or when
  // it has none). An example dataset is not saved under its own name (outside debug mode).
  // False when it was not saved.
  bool Save(int index, bool askName);
  // Closes the dataset. With changes the user is asked first whether to save them: "Да"
  // saves, and when that save fails the dataset stays open. False when it stays open. The
  // current one closed, the one after it becomes current (the one before, when it was last).
  bool Close(int index);
  // Closes every dataset in turn; false, with the rest still open, once one stays open.
  bool CloseAll();

 private:
  std::vector<std::unique_ptr<TDatasetSPC>> m_datasets;
  int m_current = -1;
  std::string m_status;
};

}  // namespace mv
