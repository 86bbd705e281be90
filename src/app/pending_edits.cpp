#include "app/pending_edits.h"

#include <algorithm>

namespace mv {

int PendingEdits::Add(int slot, Commit commit) {
  const int handle = m_next++;
  m_entries.push_back({handle, slot, std::move(commit)});
  return handle;
}

void PendingEdits::Remove(int handle) {
  std::erase_if(m_entries, [handle](const Entry& e) { return e.handle == handle; });
}

bool PendingEdits::CommitAll(int slot) {
  // A commit may open a message window whose event loop lets a window close and remove its
  // entry: work on a copy of the handles and look each one up again.
  std::vector<int> handles;
  for (const Entry& e : m_entries)
    if (slot == 0 || e.slot == slot) handles.push_back(e.handle);
  for (int handle : handles) {
    const auto it = std::find_if(m_entries.begin(), m_entries.end(), [handle](const Entry& e) { return e.handle == handle; });
    if (it == m_entries.end()) continue;
    const Commit commit = it->commit;
    if (commit && !commit()) return false;
  }
  return true;
}

}  // namespace mv
