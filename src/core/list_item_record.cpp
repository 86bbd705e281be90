#include "core/list_item_record.h"

#include <string_view>

namespace mv {
namespace {

bool Failed(const TUniStream& stream) { return stream.ErrorCode != TUniStream::kOk; }

}  // namespace

void WriteItemStart(TUniStream& stream, const char (&marker)[5]) {
  stream.WriteBytes(std::string_view(marker, 4));
  stream.WriteByte(kRecordVersion);
}

void WriteItemEnd(TUniStream& stream) {
  stream.WriteByte(0);
  stream.WriteWord(kItemEndMark);
}

std::uint16_t ReadItemRecord(TUniStream& stream, const char (&marker)[5],
                             const std::function<bool(std::uint8_t code)>& readProperty) {
  const std::uint32_t found = stream.ReadMarker();
  if (Failed(stream)) return kItemReadFailed;
  if (found != MarkerValue(marker)) return kItemBadMarker;
  const std::uint8_t version = stream.ReadByte();
  if (Failed(stream)) return kItemReadFailed;
  if (version != kRecordVersion) return ItemBadVersion(version);
  for (;;) {
    const std::uint8_t code = stream.ReadByte();
    if (Failed(stream)) return kItemReadFailed;
    if (code == 0) break;
    if (!readProperty(code)) return ItemUnknownProperty(code);
    if (Failed(stream)) return kItemReadFailed;
  }
  const std::int16_t end = stream.ReadWord();
  if (Failed(stream)) return kItemReadFailed;
  return end == kItemEndMark ? kItemOk : kItemBadEndMark;
}

void WriteListHeader(TUniStream& stream, const char (&marker)[5]) {
  stream.WriteBytes(std::string_view(marker, 4));
  stream.WriteByte(kRecordVersion);
}

bool ReadListHeader(TUniStream& stream, const char (&marker)[5], TCoreList& list) {
  if (stream.ReadMarker() != MarkerValue(marker)) {
    list.LastError = "Неверный маркер формата списка";
    return false;
  }
  const std::uint8_t version = stream.ReadByte();
  if (Failed(stream)) return false;
  if (version != kRecordVersion) {
    list.LastError = "Неверная версия формата списка (" + std::to_string(version) + " вместо " +
                     std::to_string(kRecordVersion) + ")";
    return false;
  }
  return true;
}

}  // namespace mv
