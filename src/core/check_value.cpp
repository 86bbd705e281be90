#include "core/check_value.h"

#include <array>
#include <cstring>

#include "core/byte_order.h"

namespace mv {
namespace {

constexpr std::array<std::uint16_t, 256> MakeTable() {
  std::array<std::uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    unsigned crc = i << 8;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1;
    table[i] = static_cast<std::uint16_t>(crc & 0xFFFF);
  }
  return table;
}

constexpr std::array<std::uint16_t, 256> kTable = MakeTable();
static_assert(kTable[1] == 0x1021 && kTable[2] == 0x2042 && kTable[0x80] == 0x9188);

constexpr char kMarker[] = "[UDB";

}  // namespace

std::uint16_t CheckTableEntry(std::uint8_t i) { return kTable[i]; }

std::uint16_t CheckValue(std::string_view bytes) {
  unsigned v = 0;
  for (const unsigned char b : bytes) v = kTable[(v ^ b) & 0xFF] ^ ((v << 8) & 0xFFFF);
  return static_cast<std::uint16_t>(v);
}

std::string ChunkHeader::Encode() const {
  std::string out(kSize, '\0');
  std::memcpy(out.data(), kMarker, 4);
  PutU8(out, 4, formatVersion);
  PutU8(out, 5, contentVersion);
  PutI32(out, 6, contentCode);
  PutI32(out, 10, contentSize);
  PutU16(out, 14, check);
  PutF64(out, 16, written);
  out[31] = ']';
  return out;
}

bool ChunkHeader::Decode(std::string_view bytes, ChunkHeader& header) {
  if (bytes.size() < kSize || bytes.substr(0, 4) != kMarker || bytes[31] != ']') return false;
  header.formatVersion = GetU8(bytes, 4);
  header.contentVersion = GetU8(bytes, 5);
  header.contentCode = GetI32(bytes, 6);
  header.contentSize = GetI32(bytes, 10);
  header.check = GetU16(bytes, 14);
  header.written = GetF64(bytes, 16);
  return true;
}

}  // namespace mv
