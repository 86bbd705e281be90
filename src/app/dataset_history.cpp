#include "app/dataset_history.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

#include "core/byte_order.h"
#include "core/cp1251.h"
#include "core/date_time.h"
#include "core/file_facts.h"
#include "core/identifiers.h"
#include "core/short_text.h"
#include "core/text.h"
#include "platform/log_sink.h"
#include "platform/services.h"
#include "spc/dataset_spc.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

namespace rec {
constexpr std::size_t kUsed = 0;
constexpr std::size_t kFlags = 1;
constexpr std::size_t kId = 4;
constexpr std::size_t kType = 8;
constexpr std::size_t kStorage = 9;
constexpr std::size_t kDatabase = 10;
constexpr std::size_t kName = 15;
constexpr std::size_t kFolder = 116;
constexpr std::size_t kContents = 367;
constexpr std::size_t kOpened = 518;
constexpr std::size_t kClosed = 526;
constexpr std::size_t kFileTime = 534;
constexpr std::size_t kFileSize = 538;
constexpr std::size_t kSaveCounter = 542;
constexpr std::size_t kSummary = 546;
constexpr std::size_t kRunNumber = 992;
constexpr std::size_t kBuildNumber = 998;
// Within the summary.
constexpr std::size_t kTextOffsets[4] = {0, 61, 122, 183};
constexpr std::size_t kCounts = 244;
constexpr std::size_t kStudies = 122;
static_assert(kSummary + kCounts + 16 <= 878);
}  // namespace rec

constexpr std::uint8_t kSpc = 1;
constexpr std::uint8_t kMsa = 2;

// The most a dataset can hold: 20 parameters, 200 blocks of at most 1000 samples of at most
// 200 points.
constexpr std::int32_t kMaxCounts[4] = {20, 200, 200 * 1000, 200 * 1000 * 200};

platform::ILog& Log() { return platform::Current<platform::ILog>(); }

// The text as its record keeps it: through Windows-1251 and cut to the capacity.
std::string Stored(std::string_view utf8, std::size_t capacity) {
  std::string bytes = Utf8ToCp1251(utf8);
  if (bytes.size() > capacity) bytes.resize(capacity);
  return Cp1251ToUtf8(bytes);
}

// The name and folder an entry of this file holds.
void NameAndFolder(const std::string& fileName, std::string& name, std::string& folder) {
  const fs::path path(fileName);
  name = Stored(path.filename().string(), DatasetHistoryEntry::kNameMax);
  std::string parent = path.parent_path().string();
  if (!parent.empty() && parent.back() != '/') parent += '/';
  folder = Stored(parent, DatasetHistoryEntry::kFolderMax);
}

bool TimeInRange(TDateTime t) {
  static const TDateTime first = *EncodeDate(1, 1, 1);
  static const TDateTime last = *EncodeDate(9999, 12, 31) + 1;
  return std::isfinite(t) && t >= first && t < last;
}

std::int32_t NewKey(const std::vector<DatasetHistoryEntry>& entries) {
  for (;;) {
    const std::int32_t key = NewIdentifier();
    if (key != 0 && std::none_of(entries.begin(), entries.end(), [key](const auto& e) { return e.key == key; })) {
      return key;
    }
  }
}

}  // namespace

std::string DatasetHistoryEntry::Location() const { return inDatabase ? folder + " / " + name : folder + name; }

std::string EncodeHistoryWindowArea(const HistoryWindowArea& area) {
  std::string b(HistoryWindowArea::kSize, '\0');
  PutI16(b, 0, area.left);
  PutI16(b, 2, area.top);
  PutI16(b, 4, area.width);
  PutI16(b, 6, area.height);
  for (int c = 0; c < HistoryWindowArea::kColumns; ++c) PutI16(b, 8 + 2 * static_cast<std::size_t>(c), area.columns[c]);
  return b;
}

HistoryWindowArea DecodeHistoryWindowArea(std::string_view bytes) {
  std::string b(bytes.substr(0, HistoryWindowArea::kSize));
  b.resize(HistoryWindowArea::kSize, '\0');
  const auto size = [](std::int16_t v) { return std::max<std::int16_t>(v, 0); };
  HistoryWindowArea area;
  area.left = GetI16(b, 0);
  area.top = GetI16(b, 2);
  area.width = size(GetI16(b, 4));
  area.height = size(GetI16(b, 6));
  for (int c = 0; c < HistoryWindowArea::kColumns; ++c) {
    area.columns[c] = size(GetI16(b, 8 + 2 * static_cast<std::size_t>(c)));
  }
  return area;
}

const DatasetHistoryEntry* DatasetHistory::At(int index) const {
  return index >= 0 && index < Count() ? &m_entries[static_cast<std::size_t>(index)] : nullptr;
}

std::string DatasetHistory::EncodeEntry(const DatasetHistoryEntry& e) {
  std::string r(kRecordSize, '\0');
  PutU8(r, rec::kUsed, 1);
  PutU16(r, rec::kFlags, e.flags);
  PutI32(r, rec::kId, e.id);
  PutU8(r, rec::kType, e.type);
  PutU8(r, rec::kStorage, e.storage);
  PutU8(r, rec::kDatabase, e.inDatabase ? 1 : 0);
  PutShortText(r, rec::kName, e.name, DatasetHistoryEntry::kNameMax);
  PutShortText(r, rec::kFolder, e.folder, DatasetHistoryEntry::kFolderMax);
  PutShortText(r, rec::kContents, e.contents, DatasetHistoryEntry::kContentsMax);
  PutF64(r, rec::kOpened, e.opened);
  PutF64(r, rec::kClosed, e.closed);
  PutU32(r, rec::kFileTime, e.fileTime);
  PutI32(r, rec::kFileSize, e.fileSize);
  PutI32(r, rec::kSaveCounter, e.saveCounter);
  if (e.type == kSpc) {
    for (int i = 0; i < 4; ++i) {
      PutShortText(r, rec::kSummary + rec::kTextOffsets[i], e.texts[i], DatasetHistoryEntry::kSummaryTextMax);
      PutI32(r, rec::kSummary + rec::kCounts + 4 * static_cast<std::size_t>(i), e.counts[i]);
    }
  } else if (e.type == kMsa) {
    for (int i = 0; i < 2; ++i) {
      PutShortText(r, rec::kSummary + rec::kTextOffsets[i], e.texts[i], DatasetHistoryEntry::kSummaryTextMax);
    }
    PutU16(r, rec::kSummary + rec::kStudies, e.studies);
  }
  PutI16(r, rec::kRunNumber, e.runNumber);
  PutI16(r, rec::kBuildNumber, e.buildNumber);
  return r;
}

std::optional<DatasetHistoryEntry> DatasetHistory::DecodeEntry(std::string_view r, std::string* problem) {
  const auto fail = [problem](std::string why) -> std::optional<DatasetHistoryEntry> {
    if (problem) *problem = std::move(why);
    return std::nullopt;
  };
  if (r.size() != kRecordSize) return fail("size " + std::to_string(r.size()));
  if (GetU8(r, rec::kUsed) != 1) return fail("not used (" + std::to_string(GetU8(r, rec::kUsed)) + ")");
  DatasetHistoryEntry e;
  e.type = GetU8(r, rec::kType);
  if (e.type > kMsa) return fail("data type " + std::to_string(e.type));
  e.storage = GetU8(r, rec::kStorage);
  if (e.storage > 4) return fail("storage " + std::to_string(e.storage));
  const std::uint8_t database = GetU8(r, rec::kDatabase);
  if (database > 1) return fail("database mark " + std::to_string(database));
  e.inDatabase = database == 1;
  const auto text = [&](std::size_t off, std::size_t capacity, const char* what, std::string& out) {
    const std::size_t length = GetU8(r, off);
    if (length > capacity) {
      if (problem) *problem = std::string(what) + " length " + std::to_string(length);
      return false;
    }
    out = GetShortText(r, off, capacity);
    return true;
  };
  if (!text(rec::kName, DatasetHistoryEntry::kNameMax, "name", e.name) ||
      !text(rec::kFolder, DatasetHistoryEntry::kFolderMax, "folder", e.folder) ||
      !text(rec::kContents, DatasetHistoryEntry::kContentsMax, "contents", e.contents)) {
    return std::nullopt;
  }
  e.flags = GetU16(r, rec::kFlags);
  e.id = GetI32(r, rec::kId);
  e.opened = GetF64(r, rec::kOpened);
  e.closed = GetF64(r, rec::kClosed);
  if (!TimeInRange(e.opened) || !TimeInRange(e.closed)) return fail("time out of range");
  e.fileTime = GetU32(r, rec::kFileTime);
  e.fileSize = GetI32(r, rec::kFileSize);
  e.saveCounter = GetI32(r, rec::kSaveCounter);
  if (e.fileSize < 0) return fail("file size " + std::to_string(e.fileSize));
  if (e.saveCounter < 0) return fail("save counter " + std::to_string(e.saveCounter));
  const std::size_t textCount = e.type == kSpc ? 4 : e.type == kMsa ? 2 : 0;
  for (std::size_t i = 0; i < textCount; ++i) {
    if (!text(rec::kSummary + rec::kTextOffsets[i], DatasetHistoryEntry::kSummaryTextMax, "summary text", e.texts[i])) {
      return std::nullopt;
    }
  }
  if (e.type == kSpc) {
    for (std::size_t i = 0; i < 4; ++i) {
      e.counts[i] = GetI32(r, rec::kSummary + rec::kCounts + 4 * i);
      if (e.counts[i] < 0 || e.counts[i] > kMaxCounts[i]) return fail("count " + std::to_string(e.counts[i]));
    }
  } else if (e.type == kMsa) {
    e.studies = GetU16(r, rec::kSummary + rec::kStudies);
  }
  e.runNumber = GetI16(r, rec::kRunNumber);
  e.buildNumber = GetI16(r, rec::kBuildNumber);
  return e;
}

void DatasetHistory::Load(const std::vector<std::string>& records) {
  m_entries.clear();
  for (std::size_t i = 0; i < records.size() && m_entries.size() < kMaxEntries; ++i) {
    std::string problem;
    if (std::optional<DatasetHistoryEntry> entry = DecodeEntry(records[i], &problem)) {
      m_entries.push_back(std::move(*entry));
    } else {
      Log().LogLine("Dataset history: record " + std::to_string(i + 1) + " skipped - " + problem);
    }
  }
}

std::vector<std::string> DatasetHistory::Records() const {
  std::vector<std::string> records;
  records.reserve(m_entries.size());
  for (const DatasetHistoryEntry& e : m_entries) records.push_back(EncodeEntry(e));
  return records;
}

void DatasetHistory::Assign(std::vector<DatasetHistoryEntry> entries) {
  m_entries = std::move(entries);
  if (m_entries.size() > kMaxEntries) m_entries.resize(kMaxEntries);
}

int DatasetHistory::Find(const TDatasetSPC& ds) const {
  const int n = Count();
  if (ds.historyKey != 0) {
    for (int i = 0; i < n; ++i) {
      if (m_entries[static_cast<std::size_t>(i)].key == ds.historyKey) return i;
    }
  }
  // An entry that another open dataset holds (a copy of the file with the same identifier, say)
  // stays with that dataset.
  const auto unheld = [&ds](const DatasetHistoryEntry& e) { return e.key == 0 || e.key == ds.historyKey; };
  if (ds.id != 0) {
    for (int i = 0; i < n; ++i) {
      const DatasetHistoryEntry& e = m_entries[static_cast<std::size_t>(i)];
      if (unheld(e) && e.id == ds.id) return i;
    }
  }
  if (ds.fileName.empty()) return -1;
  std::string name;
  std::string folder;
  NameAndFolder(ds.fileName, name, folder);
  for (int i = 0; i < n; ++i) {
    const DatasetHistoryEntry& e = m_entries[static_cast<std::size_t>(i)];
    if (unheld(e) && e.name == name && e.folder == folder) return i;
  }
  return -1;
}

void DatasetHistory::Fill(DatasetHistoryEntry& e, const TDatasetSPC& ds) const {
  e.flags = static_cast<std::uint16_t>((ds.passwordHash != 0 ? DatasetHistoryEntry::kHasPassword : 0) |
                                       ((ds.accessFlags & 0x00000002u) != 0 ? DatasetHistoryEntry::kAccessFlag2 : 0));
  e.id = ds.id;
  e.type = static_cast<std::uint8_t>(ds.kind);
  e.storage = static_cast<std::uint8_t>(ds.TypeCode());
  e.inDatabase = ds.inDatabase;
  NameAndFolder(ds.fileName, e.name, e.folder);
  e.contents = Stored(ds.ContentsText(), DatasetHistoryEntry::kContentsMax);
  e.fileTime = 0;
  e.fileSize = 0;
  e.saveCounter = 0;
  if (!ds.inDatabase) {
    e.fileTime = DosFileTime(ds.fileTime);
    e.fileSize = static_cast<std::int32_t>(
        std::min<std::uint64_t>(ds.fileSize, static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())));
    e.saveCounter = std::max(ds.saveCounter, 0);
    e.found = true;
    e.foundSize = static_cast<std::uint32_t>(e.fileSize);
    e.foundTime = e.fileTime;
  }
  const std::string* texts[4] = {&ds.comment, &ds.department, &ds.detail, &ds.operation};
  std::int64_t samples = 0;
  std::int64_t points = 0;
  for (int b = 1; b <= ds.BlockCount(); ++b) {
    const TSPCBlock* block = ds.Block(b);
    samples += block->SampleCount();
    for (const TSPCSample& sample : block->Samples()) points += sample.PointCount();
  }
  const std::int64_t counts[4] = {ds.ParameterCount(), ds.BlockCount(), samples, points};
  for (int i = 0; i < 4; ++i) {
    e.texts[i] = Stored(*texts[i], DatasetHistoryEntry::kSummaryTextMax);
    e.counts[i] = static_cast<std::int32_t>(std::clamp<std::int64_t>(counts[i], 0, kMaxCounts[i]));
  }
  e.studies = 0;
}

void DatasetHistory::AddOnOpen(TDatasetSPC& ds, TDateTime now, std::int16_t runNumber, std::int16_t buildNumber) {
  const int found = Find(ds);
  if (found < 0) {
    m_entries.insert(m_entries.begin(), DatasetHistoryEntry{});
    if (m_entries.size() > kMaxEntries) m_entries.pop_back();
  } else if (found > 0) {
    std::rotate(m_entries.begin(), m_entries.begin() + found, m_entries.begin() + found + 1);
  }
  DatasetHistoryEntry& e = m_entries.front();
  Fill(e, ds);
  e.opened = ds.loadedAt > 0 ? ds.loadedAt : now;
  e.runNumber = runNumber;
  e.buildNumber = buildNumber;
  e.key = 0;
  e.key = NewKey(m_entries);
  ds.historyKey = e.key;
}

void DatasetHistory::UpdateOnSave(TDatasetSPC& ds, TDateTime now, std::int16_t runNumber, std::int16_t buildNumber) {
  const int found = Find(ds);
  // A dataset without an entry of its own (a new one saved for the first time, perhaps under the
  // name of an earlier entry) enters the history as if it had been opened.
  if (found < 0 || (ds.historyKey == 0 && m_entries[static_cast<std::size_t>(found)].key == 0)) {
    AddOnOpen(ds, now, runNumber, buildNumber);
    return;
  }
  DatasetHistoryEntry& e = m_entries[static_cast<std::size_t>(found)];
  Fill(e, ds);
  e.buildNumber = buildNumber;
}

void DatasetHistory::MarkClosed(TDatasetSPC& ds, TDateTime now) {
  const int found = Find(ds);
  if (found >= 0) {
    DatasetHistoryEntry& e = m_entries[static_cast<std::size_t>(found)];
    e.closed = now;
    e.key = 0;
  }
  ds.historyKey = 0;
}

bool DatasetHistory::Tidy(std::int32_t runNumber) {
  if (runNumber <= 0 || runNumber % 5 != 0) return false;
  for (int i = 0; i < Count(); ++i) {
    if (m_entries[static_cast<std::size_t>(i)].IsFile()) CheckFile(i);
  }
  std::vector<DatasetHistoryEntry> kept;
  kept.reserve(m_entries.size());
  for (DatasetHistoryEntry& e : m_entries) {
    const bool repeats = !e.inDatabase && std::any_of(kept.begin(), kept.end(), [&e](const DatasetHistoryEntry& k) {
                           return !k.inDatabase && k.id == e.id && k.name == e.name;
                         });
    if (!repeats) kept.push_back(std::move(e));
  }
  m_entries = std::move(kept);
  return true;
}

bool DatasetHistory::CheckFile(int index) {
  if (index < 0 || index >= Count()) return false;
  DatasetHistoryEntry& e = m_entries[static_cast<std::size_t>(index)];
  e.found = false;
  e.foundSize = 0;
  e.foundTime = 0;
  if (!e.IsFile()) return false;
  std::uint64_t size = 0;
  TDateTime time = 0;
  if (!FileFacts(e.Location(), size, time)) return false;
  e.found = true;
  e.foundSize = static_cast<std::uint32_t>(std::min<std::uint64_t>(size, std::numeric_limits<std::uint32_t>::max()));
  e.foundTime = DosFileTime(time);
  return true;
}

void DatasetHistory::RemoveEntry(int index) {
  if (index >= 0 && index < Count()) m_entries.erase(m_entries.begin() + index);
}

std::string AgoText(TDateTime time, TDateTime now) {
  double days = now - time;
  if (!(days > 0)) days = 0;  // a time in the future (or no time at all) counts as now
  days = std::min(days, 1e7);
  const auto s = static_cast<std::int64_t>(std::floor(std::round(days * 86400000.0) / 1000.0));
  std::string text;
  if (s < 60) {
    text = PluralRu(s, " секунд", "а", "ы", "");
  } else if (s < 3600) {
    text = PluralRu(s / 60, " минут", "а", "ы", "");
  } else if (s < 86400) {
    text = PluralRu(s / 3600, " час", "", "а", "ов");
  } else {
    const std::int64_t d = s / 86400;
    if (d <= 60) {
      text = PluralRu(d, " ", "день", "дня", "дней");
    } else if (d / 30 > 24) {
      text = PluralRu(d / 360, " ", "год", "года", "лет");
    } else {
      text = PluralRu(d / 30, " месяц", "", "а", "ев");
    }
  }
  return text + " назад";
}

std::uint32_t DosFileTime(TDateTime local) {
  if (!std::isfinite(local)) return 0;
  const CalendarDate d = DecodeDate(local);
  const ClockTime t = DecodeTime(local);
  if (d.year < 1980) return 0;
  if (d.year > 2107) return (127u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u;
  return (static_cast<std::uint32_t>(d.year - 1980) << 25) | (static_cast<std::uint32_t>(d.month) << 21) |
         (static_cast<std::uint32_t>(d.day) << 16) | (static_cast<std::uint32_t>(t.hour) << 11) |
         (static_cast<std::uint32_t>(t.minute) << 5) | static_cast<std::uint32_t>(t.second / 2);
}

std::optional<TDateTime> FromDosFileTime(std::uint32_t packed) {
  if (packed == 0) return std::nullopt;
  const int year = 1980 + static_cast<int>(packed >> 25);
  const int month = static_cast<int>((packed >> 21) & 15);
  const int day = static_cast<int>((packed >> 16) & 31);
  const int hour = static_cast<int>((packed >> 11) & 31);
  const int minute = static_cast<int>((packed >> 5) & 63);
  const int second = static_cast<int>(packed & 31) * 2;
  const std::optional<TDateTime> date = EncodeDate(year, month, day);
  const std::optional<TDateTime> time = EncodeTime(hour, minute, second);
  if (!date || !time) return std::nullopt;
  return *date + *time;
}

std::string DosFileTimeText(std::uint32_t packed) {
  const std::optional<TDateTime> t = FromDosFileTime(packed);
  return t ? DateTimeText(*t) : std::string();
}

}  // namespace mv
