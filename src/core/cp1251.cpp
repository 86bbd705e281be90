#include "core/cp1251.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "core/utf8.h"

namespace mv {
namespace {

// Bytes 0x80..0xBF; 0xC0..0xFF are А..я, U+0410..U+044F in order.
constexpr std::array<char16_t, 64> kHighTable = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98: unassigned, kept
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

constexpr char16_t HighChar(std::uint8_t byte) {
  return byte >= 0xC0 ? static_cast<char16_t>(0x0410 + (byte - 0xC0)) : kHighTable[byte - 0x80];
}

// Every byte's UTF-8 form packed into the low bytes of a word (first byte lowest), and its
// length, so decoding is one lookup and one unconditional 4-byte store per byte.
struct DecodeTable {
  std::array<std::uint32_t, 256> utf8{};
  std::array<std::uint8_t, 256> size{};
};

constexpr DecodeTable MakeDecodeTable() {
  DecodeTable table;
  for (unsigned b = 0; b < 256; ++b) {
    const char32_t code = b < 0x80 ? b : HighChar(static_cast<std::uint8_t>(b));
    char bytes[4] = {};
    const std::size_t size = EncodeUtf8(code, bytes);
    table.size[b] = static_cast<std::uint8_t>(size);
    for (std::size_t i = 0; i < size; ++i) {
      table.utf8[b] |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[i])) << (8 * i);
    }
  }
  return table;
}

constexpr DecodeTable kDecode = MakeDecodeTable();

// The reverse table only needs to reach the highest code point of the table (U+2122, the
// trade mark sign): 8.5 KB, built by the compiler, instead of 64 K entries.
constexpr std::size_t MaxHighChar() {
  std::size_t max = 0;
  for (unsigned b = 0x80; b < 0x100; ++b) {
    if (HighChar(static_cast<std::uint8_t>(b)) > max) max = HighChar(static_cast<std::uint8_t>(b));
  }
  return max;
}

constexpr std::size_t kReverseSize = MaxHighChar() + 1;

// 0 = no byte for that code point (U+0000 itself is ASCII and never looked up here).
constexpr std::array<std::uint8_t, kReverseSize> MakeReverseTable() {
  std::array<std::uint8_t, kReverseSize> table{};
  for (unsigned b = 0x80; b < 0x100; ++b) {
    table[HighChar(static_cast<std::uint8_t>(b))] = static_cast<std::uint8_t>(b);
  }
  return table;
}

constexpr std::array<std::uint8_t, kReverseSize> kReverse = MakeReverseTable();

static_assert(kReverse[0x0401] == 0xA8 && kReverse[0x0451] == 0xB8 && kReverse[0x044F] == 0xFF);
static_assert(kReverse[0x0098] == 0x98 && kReverse[0x0080] == 0);

// The byte for a valid code point, 0 when Windows-1251 has none.
inline std::uint8_t ByteOf(char32_t code) {
  if (code < 0x80) return static_cast<std::uint8_t>(code);
  return code < kReverseSize ? kReverse[code] : 0;
}

constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

// Eight bytes as one word, when they are all there and all ASCII.
inline bool AsciiWordAt(std::string_view text, std::size_t pos, std::uint64_t& word) {
  if (pos + 8 > text.size()) return false;
  std::memcpy(&word, text.data() + pos, 8);
  return (word & kHighBits) == 0;
}

inline void StoreWord(char* dst, std::uint32_t word) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(dst, &word, 4);
  } else {
    for (int i = 0; i < 4; ++i) dst[i] = static_cast<char>(word >> (8 * i));
  }
}

}  // namespace

std::string Cp1251ToUtf8(std::string_view bytes) {
  // Two passes, the size and then the bytes, so the result is allocated once. Most of a data
  // file is digits and Latin, so both passes take ASCII eight bytes at a time.
  const std::size_t n = bytes.size();
  std::size_t size = n;
  std::size_t pos = 0;
  for (std::uint64_t word = 0; pos + 8 <= n; pos += 8) {
    std::memcpy(&word, bytes.data() + pos, 8);
    const std::uint64_t high = word & kHighBits;
    if (high == 0) continue;
    size += static_cast<std::size_t>(std::popcount(high));  // one extra byte for each
    // Bytes 0x80..0xBF (high bit set, next bit clear) may take a third byte.
    if ((high & ~(word << 1)) != 0) {
      for (std::size_t i = pos; i < pos + 8; ++i) {
        if (kDecode.size[static_cast<std::uint8_t>(bytes[i])] == 3) ++size;
      }
    }
  }
  for (; pos < n; ++pos) size += kDecode.size[static_cast<std::uint8_t>(bytes[pos])] - 1u;

  // Each character is stored as a whole word and the pointer moves by its real length; three
  // spare bytes at the end take the overhang of the last store and are cut off.
  std::string out(size + 3, '\0');
  char* dst = out.data();
  for (pos = 0; pos < n;) {
    std::uint64_t word = 0;
    if (AsciiWordAt(bytes, pos, word)) {
      std::memcpy(dst, &word, 8);
      dst += 8;
      pos += 8;
      continue;
    }
    for (const std::size_t end = std::min(n, pos + 8); pos < end; ++pos) {
      const auto b = static_cast<std::uint8_t>(bytes[pos]);
      StoreWord(dst, kDecode.utf8[b]);
      dst += kDecode.size[b];
    }
  }
  out.resize(size);
  return out;
}

std::string Utf8ToCp1251(std::string_view utf8) {
  // Never longer than the UTF-8 text: one byte per character, at least one byte per character.
  std::string out(utf8.size(), '\0');
  char* dst = out.data();
  const std::size_t n = utf8.size();
  for (std::size_t pos = 0; pos < n;) {
    std::uint64_t word = 0;
    if (AsciiWordAt(utf8, pos, word)) {
      std::memcpy(dst, &word, 8);
      dst += 8;
      pos += 8;
      continue;
    }
    for (const std::size_t end = std::min(n, pos + 8); pos < end;) {
      const auto b0 = static_cast<std::uint8_t>(utf8[pos]);
      if (b0 < 0x80) {
        *dst++ = static_cast<char>(b0);
        ++pos;
        continue;
      }
      std::uint8_t byte = 0;
      const auto b1 = pos + 1 < n ? static_cast<std::uint8_t>(utf8[pos + 1]) : 0;
      if (b0 >= 0xC2 && b0 <= 0xDF && (b1 & 0xC0) == 0x80) {
        // Two-byte characters (all the Cyrillic letters) without the general decoder.
        byte = ByteOf(((b0 & 0x1Fu) << 6) | (b1 & 0x3Fu));
        pos += 2;
      } else {
        const Utf8Char ch = NextUtf8Char(utf8, pos);
        if (ch.valid) byte = ByteOf(ch.code);
        pos += ch.size;
      }
      *dst++ = byte != 0 ? static_cast<char>(byte) : '?';
    }
  }
  out.resize(static_cast<std::size_t>(dst - out.data()));
  return out;
}

bool FitsCp1251(std::string_view utf8) {
  for (std::size_t pos = 0; pos < utf8.size();) {
    const Utf8Char ch = NextUtf8Char(utf8, pos);
    if (!ch.valid || (ch.code >= 0x80 && ByteOf(ch.code) == 0)) return false;
    pos += ch.size;
  }
  return true;
}

}  // namespace mv
