#pragma once
// The item record and list header shared by the concrete list kinds:
//
//   item:   marker (4 bytes, e.g. "[GAG")  version (1)  {code (1) value}...  0  "#]"
//   header: marker (4 bytes, e.g. "-GAG")  version (1)  [kind's own properties]
//
// Properties carry no length, so an unknown code cannot be skipped and ends the read.

#include <cstdint>
#include <functional>
#include <string>

#include "core/core_list.h"
#include "core/uni_stream.h"

namespace mv {

// Item error codes, shown as four hexadecimal digits in "Элемент #n, ошибка XXXXh".
inline constexpr std::uint16_t kItemOk = 0;
inline constexpr std::uint16_t kItemReadFailed = 1;   // data ended or a read failed
inline constexpr std::uint16_t kItemBadMarker = 0xA0;
inline constexpr std::uint16_t kItemBadEndMark = 0xA1;
constexpr std::uint16_t ItemBadVersion(std::uint8_t version) {
  return static_cast<std::uint16_t>(version * 256 + 0xA2);
}
constexpr std::uint16_t ItemUnknownProperty(std::uint8_t code) {
  return static_cast<std::uint16_t>(code * 256 + 0xA3);
}

inline constexpr std::uint8_t kRecordVersion = 1;
inline constexpr std::int16_t kItemEndMark = 0x5D23;  // the bytes "#]"

// Writes marker and version; the caller writes the properties, then WriteItemEnd.
void WriteItemStart(TUniStream& stream, const char (&marker)[5]);
void WriteItemEnd(TUniStream& stream);

// Reads one item record: checks marker and version, then hands every property code to
// readProperty, which reads the value and returns false for a code it does not know.
// Returns the item error code (kItemOk on success).
std::uint16_t ReadItemRecord(TUniStream& stream, const char (&marker)[5],
                             const std::function<bool(std::uint8_t code)>& readProperty);

// The kind's list header: marker and version 1. ReadListHeader sets list.LastError on a wrong
// marker or version and returns false (also on a stream error).
void WriteListHeader(TUniStream& stream, const char (&marker)[5]);
bool ReadListHeader(TUniStream& stream, const char (&marker)[5], TCoreList& list);

}  // namespace mv
