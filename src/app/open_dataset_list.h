#pragma once
// The datasets open in the program and the files waiting to be opened.
//
// At most kMaxOpenDatasets datasets are open. Each keeps a slot number (1..kMaxOpenDatasets,
// the lowest free one when it was opened) for as long as it is open; its log lines carry it.
// Indexes run 0..Count()-1 in the order of opening.

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/date_time.h"
#include "spc/dataset_spc.h"

namespace mv {

inline constexpr int kMaxOpenDatasets = 20;

struct OpenDataset {
  std::unique_ptr<TDatasetSPC> dataset;
  int slot = 0;
  TDateTime openedAt = 0;
  int type = 1;          // 1 SPC file, 2 SPC database, 3 MSA file, 4 MSA database
  std::string newName;   // "Новый SPC 1" until the dataset has a file
};

class OpenDatasetList {
 public:
  int Count() const { return static_cast<int>(m_open.size()); }
  bool Full() const { return Count() >= kMaxOpenDatasets; }
  // The largest number open at once in this run.
  int MostOpen() const { return m_mostOpen; }
  int CurrentIndex() const { return m_current; }
  void SetCurrent(int index);  // outside 0..Count()-1 changes nothing
  TDatasetSPC* At(int index);  // nullptr outside 0..Count()-1
  const TDatasetSPC* At(int index) const;
  const OpenDataset* Entry(int index) const;
  TDatasetSPC* Current() { return At(m_current); }
  const TDatasetSPC* Current() const { return At(m_current); }
  int IndexOfSlot(int slot) const;  // -1 if no open dataset has it
  // The dataset of that file, however the name is spelled (relative, "..", links); -1 if none.
  int IndexOfFile(const std::string& fileName) const;

  // Puts the dataset in the lowest free slot and makes it current; its index. The caller
  // checks Full() first.
  int Add(std::unique_ptr<TDatasetSPC> dataset, std::string newName = {});
  // Takes the dataset out; the one after it becomes current (the one before, when it was last).
  std::unique_ptr<TDatasetSPC> Remove(int index);

  // The file name, or the name a new dataset was given.
  std::string DisplayName(int index) const;
  // "нет" when nothing is open, else the count and " (SPC-" n ", MSA-" m ")".
  std::string SummaryText() const;
  // The dataset list's status: "Новый", "Изменен" or "Сохранен"; "" for no dataset.
  std::string StatusText(int index) const;
  // The files of the open datasets that have one, in the order of opening.
  std::vector<std::string> OpenFiles() const;

 private:
  std::vector<OpenDataset> m_open;
  int m_current = -1;
  int m_mostOpen = 0;
};

// Whether two names spell the same file (relative, "..", links), as the list compares them.
bool SameFile(const std::string& a, const std::string& b);

// Where a file to open came from (written in the "-Open." log line).
enum DatasetSource : int {
  kFromDialog = 1,
  kFromHistory = 2,
  kFromCommandLine = 3,
  kFromInstance = 4,
  kFromPrevious = 5
};

// Files waiting to be opened, first in first out.
class DatasetQueue {
 public:
  struct Item {
    std::string fileName;
    int source = kFromCommandLine;
  };
  // At most kMaxQueued wait; further ones are dropped (a flood of messages cannot grow it).
  static constexpr std::size_t kMaxQueued = 100;

  bool Push(std::string fileName, int source);
  std::optional<Item> Pop();
  bool Empty() const { return m_items.empty(); }
  std::size_t Size() const { return m_items.size(); }
  const std::deque<Item>& Items() const { return m_items; }

 private:
  std::deque<Item> m_items;
};

}  // namespace mv
