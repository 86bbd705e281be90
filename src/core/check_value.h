#pragma once
// The 16-bit check value of data files and the 32-byte chunk header that carries one.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace mv {

// v = T[(v xor b) and FFh] xor ((v * 256) and FFFFh) over the bytes, from v = 0, with T the
// table of the CRC-16 polynomial 1021h taken most significant bit first. Unlike the common
// CRC-16 the index takes the low byte of v: "abc" gives F726h, "123456789" 2E72h.
std::uint16_t CheckValue(std::string_view bytes);

// T[i], the CRC of the single byte i (T[1] = 1021h).
std::uint16_t CheckTableEntry(std::uint8_t i);

// A chunk header (32 bytes):
//   0 "[UDB"  4 format version (1)  5 content version  6 content code (i32)
//   10 content size (i32)  14 check value of the content (u16)  16 date-time of writing
//   24 reserved (7)  31 "]"
struct ChunkHeader {
  static constexpr std::size_t kSize = 32;
  static constexpr std::uint8_t kFormatVersion = 1;

  std::uint8_t formatVersion = kFormatVersion;
  std::uint8_t contentVersion = 1;
  std::int32_t contentCode = 0;
  std::int32_t contentSize = 0;
  std::uint16_t check = 0;
  TDateTime written = 0;

  std::string Encode() const;
  // False when the bytes are not a chunk header (size, marker "[UDB" or closing "]").
  static bool Decode(std::string_view bytes, ChunkHeader& header);
};

}  // namespace mv
