#pragma once
// Windows-1251, the byte encoding of every file, stream and record the system writes.
// In memory all text is UTF-8; conversion happens exactly at the byte boundary.

#include <string>
#include <string_view>

namespace mv {

// Bytes 0x00..0x7F are ASCII; 0x80..0xFF go through a 128-entry table. The unassigned byte
// 0x98 maps to U+0098 and back, so every byte string survives a round trip.
std::string Cp1251ToUtf8(std::string_view bytes);

// Characters that Windows-1251 cannot hold, and bytes that are not valid UTF-8 (one per bad
// byte), become '?'.
std::string Utf8ToCp1251(std::string_view utf8);

// True when every character of utf8 has a Windows-1251 byte (valid UTF-8 included).
bool FitsCp1251(std::string_view utf8);

}  // namespace mv
