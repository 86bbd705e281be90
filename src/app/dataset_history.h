#pragma once
// The datasets opened on this computer, most recent first (at most 35), kept in the
// configuration as 1012-byte records and updated when a dataset is opened, saved and closed.
//
// Record (little-endian; short texts are a length byte and Windows-1251 characters; other
// bytes zero):
//     0  used, 1                    367  contents text (150)
//     1  flags (u16)                518  opened (date-time)
//     4  dataset identifier (i32)   526  closed (date-time; earlier than opened while open)
//     8  data type: 1 SPC, 2 MSA    534  file time (DOS packed, local time)
//     9  storage 1..4               538  file size (i32)
//    10  database dataset           542  save counter (i32)
//    15  name (100)                 546  summary (332)
//   116  folder (250)               992  run number (i16)    998  build number (i16)
// Summary, SPC: comment, unit, detail and operation (60 each) at 0, 61, 122, 183, then the
// parameter, block, sample and point counts (i32) at 244..259. MSA: purpose (60) at 0, the
// reference books' summary (60) at 61, the number of studies (u16) at 122.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"

namespace mv {

class TDatasetSPC;

struct DatasetHistoryEntry {
  static constexpr std::uint16_t kHasPassword = 0x0001;
  static constexpr std::uint16_t kAccessFlag2 = 0x0002;  // the dataset carries access flag 00000002h
  static constexpr std::size_t kNameMax = 100;
  static constexpr std::size_t kFolderMax = 250;
  static constexpr std::size_t kContentsMax = 150;
  static constexpr std::size_t kSummaryTextMax = 60;

  std::uint16_t flags = 0;
  std::int32_t id = 0;
  std::uint8_t type = 0;     // 0 none, 1 SPC, 2 MSA
  std::uint8_t storage = 0;  // 1 SPC file, 2 SPC database, 3 MSA file, 4 MSA database
  bool inDatabase = false;
  std::string name;    // the file name without folder (a database dataset's full name)
  std::string folder;  // with its closing '/'
  std::string contents;
  TDateTime opened = 0;
  TDateTime closed = 0;
  std::uint32_t fileTime = 0;  // DOS packed local time; 0 none
  std::int32_t fileSize = 0;
  std::int32_t saveCounter = 0;
  // SPC: comment, unit, detail, operation. MSA: purpose, the reference books' summary.
  std::array<std::string, 4> texts;
  std::array<std::int32_t, 4> counts{};  // SPC: parameters, blocks, samples, points
  std::uint16_t studies = 0;             // MSA
  std::int16_t runNumber = 0;
  std::int16_t buildNumber = 0;

  // Kept in memory only.
  std::int32_t key = 0;  // given at opening, remembered by the open dataset; 0 once closed
  bool found = false;    // at the last CheckFile
  std::uint32_t foundSize = 0;
  std::uint32_t foundTime = 0;

  bool IsFile() const { return !inDatabase; }
  // Open in this run: opened after the last closing, and held by an open dataset. An entry a
  // run left open when it ended abnormally is not open in the runs after it.
  bool IsOpen() const { return opened > closed && key != 0; }
  // Folder + name; for a database dataset folder + " / " + name.
  std::string Location() const;
  bool operator==(const DatasetHistoryEntry&) const = default;
};

// The window's place and column widths as the configuration keeps them (ten 16-bit values:
// left, top, width, height, the five columns' widths, one reserved).
struct HistoryWindowArea {
  static constexpr std::size_t kSize = 20;
  static constexpr int kColumns = 5;
  std::int16_t left = 0;
  std::int16_t top = 0;
  std::int16_t width = 0;  // 0: never placed
  std::int16_t height = 0;
  std::array<std::int16_t, kColumns> columns{};
  bool Placed() const { return width > 0 && height > 0; }
  bool operator==(const HistoryWindowArea&) const = default;
};
std::string EncodeHistoryWindowArea(const HistoryWindowArea& area);
// Shorter input reads as zeros; negative sizes and widths as 0 (not placed, default width).
HistoryWindowArea DecodeHistoryWindowArea(std::string_view bytes);

class DatasetHistory {
 public:
  static constexpr std::size_t kMaxEntries = 35;
  static constexpr std::size_t kRecordSize = 1012;

  bool showOpen = false;  // "Показывать в списке наборы данных, открытые сейчас"
  HistoryWindowArea windowArea;

  int Count() const { return static_cast<int>(m_entries.size()); }
  bool Empty() const { return m_entries.empty(); }
  const std::vector<DatasetHistoryEntry>& Entries() const { return m_entries; }
  const DatasetHistoryEntry* At(int index) const;  // nullptr outside 0..Count()-1

  // The record's bytes; the in-memory values are not stored.
  static std::string EncodeEntry(const DatasetHistoryEntry& entry);
  // Nothing when the record has another size, is not marked used, or a length, type, count or
  // time is out of its bounds; `problem` then says which.
  static std::optional<DatasetHistoryEntry> DecodeEntry(std::string_view record, std::string* problem = nullptr);

  // The configuration's records: at most 35 are taken; a record that fails is dropped with a
  // log line ("Dataset history: record n skipped - ...").
  void Load(const std::vector<std::string>& records);
  std::vector<std::string> Records() const;
  // Tests and the fuzz target build lists directly.
  void Assign(std::vector<DatasetHistoryEntry> entries);

  // The entry of a dataset: the first with its history key (when it has one), else the first
  // with its identifier, else the first with its name and folder. An entry another open dataset
  // holds is never taken by identifier or by name. -1 when none.
  int Find(const TDatasetSPC& ds) const;

  // The dataset was opened: its entry (found, or a new one; the 36th is dropped) moves to the
  // top and is filled from the dataset with the opening time (the loading time, or now), the
  // run and build numbers and a new key, which the dataset keeps.
  void AddOnOpen(TDatasetSPC& ds, TDateTime now, std::int16_t runNumber, std::int16_t buildNumber);
  // The dataset was saved: its entry is filled again, keeping the times of opening and
  // closing, the run number and the key. A dataset that holds no entry (a new one saved for the
  // first time) is added as by AddOnOpen, also when an earlier entry has its name.
  void UpdateOnSave(TDatasetSPC& ds, TDateTime now, std::int16_t runNumber, std::int16_t buildNumber);
  // The dataset was closed: its entry's closing time becomes now and the keys are cleared.
  void MarkClosed(TDatasetSPC& ds, TDateTime now);

  // In a run whose number is divisible by 5: every file entry is checked, and an entry with the
  // identifier and name of an earlier one (neither of them in a database) is removed. True when
  // the run tidied.
  bool Tidy(std::int32_t runNumber);
  // Looks the entry's file up; remembers whether it was found, its size and time. False for a
  // database entry or an index outside the list.
  bool CheckFile(int index);
  void RemoveEntry(int index);

 private:
  void Fill(DatasetHistoryEntry& entry, const TDatasetSPC& ds) const;
  std::vector<DatasetHistoryEntry> m_entries;
};

// "5 секунд назад", "1 минута назад", "21 час назад", "45 дней назад", "2 месяца назад",
// "2 года назад": the whole seconds from `time` to `now` (none for a time in the future).
std::string AgoText(TDateTime time, TDateTime now);

// A local date-time as the DOS packed date (high word) and time (low word, seconds halved);
// 0 before 1980, the last moment of 2107 after it.
std::uint32_t DosFileTime(TDateTime local);
// Nothing for 0 or a packed value that is no date.
std::optional<TDateTime> FromDosFileTime(std::uint32_t packed);
// "dd.MM.yyyy hh:nn", "" for nothing.
std::string DosFileTimeText(std::uint32_t packed);

}  // namespace mv
