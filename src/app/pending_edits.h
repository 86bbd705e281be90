#pragma once
// What the editing windows have typed and not yet stored. A window that keeps a value in edit
// registers how to commit it; saving or closing a dataset commits first, so nothing typed is
// lost, and a value its checks refuse stops the save or the close.

#include <functional>
#include <vector>

namespace mv {

class PendingEdits {
 public:
  // Commits the value in edit through its checks; false when it was refused (the window stays
  // on it and shows why).
  using Commit = std::function<bool()>;

  // Registers the commit of a window editing the dataset in `slot`; the handle removes it.
  int Add(int slot, Commit commit);
  void Remove(int handle);
  // Commits every registered edit of `slot` (0: of every dataset), in the order they came;
  // false at the first refusal.
  bool CommitAll(int slot = 0);
  int Count() const { return static_cast<int>(m_entries.size()); }

 private:
  struct Entry {
    int handle;
    int slot;
    Commit commit;
  };
  std::vector<Entry> m_entries;
  int m_next = 1;
};

}  // namespace mv
