#include "core/core_list.h"

#include <algorithm>

#include "core/date_time.h"
#include "core/file_routines.h"
#include "core/identifiers.h"
#include "core/messages.h"
#include "core/list_item_record.h"
#include "core/numbers.h"
#include "core/text.h"

namespace mv {
namespace {

constexpr std::uint32_t kListStart = MarkerValue("<LST");
constexpr std::uint32_t kListEnd = MarkerValue("LST>");
// A new default item whose identifier another item already holds draws again; the range is
// so wide that a second draw practically never repeats, the cap only bounds a broken source.
constexpr int kIdRedraws = 100;

std::string JoinErrors(const std::string& own, const std::string& stream) {
  if (own.empty()) return stream;
  if (stream.empty()) return own;
  return own + " / " + stream;
}

}  // namespace

std::string TCoreObject::GetLogDescr(bool) const { return ClassName(); }

TCoreListItem::TCoreListItem(std::string itemName) : id(NewIdentifier()), name(std::move(itemName)) {}

std::string TCoreListItem::GetLogDescr(bool) const { return "name=\"" + name + "\", ID=" + std::to_string(id); }

bool TCoreListItem::WriteItem(TUniStream& stream) const {
  stream.WriteID(id);
  if (stream.ErrorCode != TUniStream::kOk) return false;
  stream.WriteStr(name);
  return stream.ErrorCode == TUniStream::kOk;
}

bool TCoreListItem::ReadItem(TUniStream& stream, std::uint16_t& errorCode) {
  errorCode = kItemReadFailed;
  id = stream.ReadID();
  if (stream.ErrorCode != TUniStream::kOk) return false;
  name = stream.ReadStr();
  if (stream.ErrorCode != TUniStream::kOk) return false;
  errorCode = kItemOk;
  return true;
}

TCoreList::TCoreList(std::uint16_t maxCount, std::uint8_t growBy, std::uint16_t initialRoom)
    : syncedAt(Now()), m_maxCount(std::max<std::uint16_t>(2, maxCount)), m_growBy(std::max<std::uint8_t>(1, growBy)) {
  m_items.reserve(std::clamp<std::uint16_t>(initialRoom, 1, m_maxCount));
}

TCoreList::~TCoreList() = default;

std::string TCoreList::GetLogDescr(bool) const { return "#items=" + std::to_string(Count()); }

void TCoreList::Clear() {
  m_items.clear();
  m_items.shrink_to_fit();
  m_items.reserve(m_growBy);
  SetModified(true);
}

std::unique_ptr<TCoreListItem> TCoreList::CreateItem() const { return std::make_unique<TCoreListItem>(); }

bool TCoreList::AddNew() {
  if (!CanAdd()) return false;
  std::unique_ptr<TCoreListItem> item = CreateItem();
  for (int i = 0; i < kIdRedraws && item->id != 0 && IndexOfID(item->id) != 0; ++i) item->id = NewIdentifier();
  return Insert(item, 0);
}

bool TCoreList::Insert(std::unique_ptr<TCoreListItem>& item, int position) {
  if (!item || !CanAdd()) return false;
  if (m_items.size() == m_items.capacity()) m_items.reserve(m_items.size() + m_growBy);
  if (IsValidIndex(position)) {
    m_items.insert(m_items.begin() + (position - 1), std::move(item));
  } else {
    m_items.push_back(std::move(item));
  }
  return true;
}

TCoreListItem* TCoreList::GetItem(int position) const {
  return IsValidIndex(position) ? m_items[static_cast<std::size_t>(position - 1)].get() : nullptr;
}

void TCoreList::Delete(int position) {
  if (!IsValidIndex(position)) return;
  m_items.erase(m_items.begin() + (position - 1));
  SetModified(true);
}

int TCoreList::IndexOfID(std::int32_t id) const {
  if (id == 0) return 0;
  for (std::size_t i = 0; i < m_items.size(); ++i) {
    if (m_items[i]->id == id) return static_cast<int>(i + 1);
  }
  return 0;
}

int TCoreList::IndexOfName(std::string_view name, int exceptPosition) const {
  if (name.empty()) return 0;
  const std::string wanted = UpperCase(name);
  for (std::size_t i = 0; i < m_items.size(); ++i) {
    const int position = static_cast<int>(i + 1);
    if (position != exceptPosition && UpperCase(m_items[i]->GetName()) == wanted) return position;
  }
  return 0;
}

std::string TCoreList::GetItemName(int position) const {
  const TCoreListItem* item = GetItem(position);
  return item ? item->GetName() : std::string();
}

void TCoreList::SetModified(bool flag) { changedAt = flag ? Now() : 0; }

void TCoreList::MarkSynced() { syncedAt = Now(); }

bool TCoreList::WriteHeader(TUniStream& stream) const { return stream.ErrorCode == TUniStream::kOk; }

bool TCoreList::ReadHeader(TUniStream& stream) { return stream.ErrorCode == TUniStream::kOk; }

std::string TCoreList::SaveToString() {
  LastError.clear();
  TUniStream stream;
  stream.WriteBytes("<LST");
  bool complete = false;
  if (stream.ErrorCode == TUniStream::kOk && WriteHeader(stream)) {
    stream.WriteWord(static_cast<std::int16_t>(Count()));
    complete = std::all_of(m_items.begin(), m_items.end(), [&](const auto& item) { return item->WriteItem(stream); });
    if (complete) stream.WriteBytes("LST>");
  }
  if (stream.ErrorCode != TUniStream::kOk) {
    LastError = stream.ErrorText();
    return {};
  }
  // A writer that failed without a stream error still yields nothing.
  return complete ? stream.DataString() : std::string();
}

bool TCoreList::LoadFromString(std::string_view text) {
  LastError.clear();
  Clear();
  TUniStream stream{std::string(text)};
  bool ok = false;
  const std::uint32_t start = stream.ReadMarker();
  if (start != kListStart) {
    LastError = "Неверный маркер начала списка (" + HexUpper(start, 8) + "h)";
  } else if (ReadHeader(stream)) {
    const std::int16_t n = stream.ReadWord();
    bool itemsOk = stream.ErrorCode == TUniStream::kOk;
    for (int i = 1; itemsOk && i <= n; ++i) {
      // Items beyond the capacity are not read, so the end marker check below fails on them.
      if (!AddNew()) continue;
      std::uint16_t errorCode = kItemReadFailed;
      if (!Last()->ReadItem(stream, errorCode)) {
        LastError = "Элемент #" + std::to_string(i) + ", ошибка " + HexUpper(errorCode, 4) + "h";
        itemsOk = false;
      }
    }
    if (itemsOk) {
      const std::uint32_t end = stream.ReadMarker();
      if (end == kListEnd) {
        AfterLoad();
        ok = true;
      } else {
        LastError = "Неверный маркер конца списка (" + HexUpper(end, 8) + "h)";
      }
    }
  }
  if (!ok) {
    Clear();
    // What failed to load is not a change of the user's: a damaged or newer file must not be
    // overwritten with an empty list at the end of the run.
    SetModified(false);
  }
  LastError = JoinErrors(LastError, stream.ErrorText());
  return ok;
}

bool TCoreList::SaveToFile(const std::string& fileName, bool quiet) {
  const std::string text = SaveToString();
  if (text.empty()) return false;
  // What LoadFromFile cannot read back must not replace a file it can read.
  if (text.size() > kMaxFileStringSize) {
    LastError = FileTooLargeText(fileName, text.size());
    if (!quiet) ShowError(LastError, 0, "SaveToFile");
    return false;
  }
  return SaveStringToFile(fileName, text, quiet);
}

bool TCoreList::LoadFromFile(const std::string& fileName, bool quiet) {
  std::string text;
  if (!LoadFileToString(fileName, text, quiet) || text.empty()) return false;
  return LoadFromString(text);
}

}  // namespace mv
