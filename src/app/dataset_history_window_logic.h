#pragma once
// What the window "История наборов данных" decides, without the widgets: the rows it lists
// (the open datasets only when asked), their texts, the caption, the text about the chosen
// entry, and the refusals and questions of opening, showing and removing an entry.

#include <optional>
#include <string>
#include <vector>

#include "app/dataset_history.h"

namespace mv {

class DatasetHistoryWindowLogic {
 public:
  static constexpr int kColumns = 5;

  explicit DatasetHistoryWindowLogic(DatasetHistory& history);

  static const char* Title();  // "История наборов данных"
  static std::vector<std::string> ColumnTitles();
  static const char* ShowOpenText();  // "Показывать в списке наборы данных, открытые сейчас"
  static const char* Note();          // the line under the list

  DatasetHistory& History() { return m_history; }
  // The history's option; changing it lists the rows again.
  bool ShowOpen() const { return m_history.showOpen; }
  void SetShowOpen(bool on);
  // Lists the rows again (after the history changed).
  void Refresh();

  int RowCount() const { return static_cast<int>(m_rows.size()); }
  // The entry's index in the history; -1 outside the rows.
  int EntryOf(int row) const;
  const DatasetHistoryEntry* EntryAt(int row) const { return m_history.At(EntryOf(row)); }
  // "Ранее открывавшиеся наборы данных (3 из 5):", without "3 из " when every entry is listed.
  std::string Caption() const;
  // The place in the history, the name, the folder, the contents, the time of closing ("Открыт
  // сейчас", or the time and how long ago).
  std::vector<std::string> RowTexts(int row, TDateTime now) const;
  // The text under the list about the row's entry (lines joined by CR LF).
  std::string EntryText(int row) const;
  // "Открыть" and "Удаление" work while rows are listed.
  bool CanOpen() const { return !m_rows.empty(); }
  bool CanDelete() const { return !m_rows.empty(); }

  // The entry's index in the history when it may be opened; otherwise the refusal has been
  // shown (already open, in a database, its file not found) and nothing is returned.
  std::optional<int> Open(int row);
  // "Просмотр": the text window's title and text.
  std::string DetailsTitle(int row) const;
  std::string DetailsText(int row, TDateTime now) const;
  // "Удаление": refused for an open entry, otherwise asked; true when the entry was removed.
  bool Delete(int row);

 private:
  DatasetHistory& m_history;
  std::vector<int> m_rows;
};

// The check before the window: an empty history says so (the information closes after 25
// seconds) and gives false.
bool HistoryWindowMayOpen(const DatasetHistory& history);

}  // namespace mv
