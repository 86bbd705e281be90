#pragma once
// Little-endian fields at fixed offsets of a record held in a byte string. The caller
// guarantees offset + size <= bytes.size() (records are sized before they are filled or read).

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace mv {

static_assert(std::endian::native == std::endian::little, "the record helpers assume a little-endian machine");

inline std::uint8_t GetU8(std::string_view b, std::size_t off) { return static_cast<std::uint8_t>(b[off]); }
inline std::uint16_t GetU16(std::string_view b, std::size_t off) {
  std::uint16_t v;
  std::memcpy(&v, b.data() + off, 2);
  return v;
}
inline std::int16_t GetI16(std::string_view b, std::size_t off) { return static_cast<std::int16_t>(GetU16(b, off)); }
inline std::uint32_t GetU32(std::string_view b, std::size_t off) {
  std::uint32_t v;
  std::memcpy(&v, b.data() + off, 4);
  return v;
}
inline std::int32_t GetI32(std::string_view b, std::size_t off) { return static_cast<std::int32_t>(GetU32(b, off)); }
inline double GetF64(std::string_view b, std::size_t off) {
  double v;
  std::memcpy(&v, b.data() + off, 8);
  return v;
}

inline void PutU8(std::string& b, std::size_t off, std::uint8_t v) { b[off] = static_cast<char>(v); }
inline void PutU16(std::string& b, std::size_t off, std::uint16_t v) { std::memcpy(b.data() + off, &v, 2); }
inline void PutI16(std::string& b, std::size_t off, std::int16_t v) { std::memcpy(b.data() + off, &v, 2); }
inline void PutU32(std::string& b, std::size_t off, std::uint32_t v) { std::memcpy(b.data() + off, &v, 4); }
inline void PutI32(std::string& b, std::size_t off, std::int32_t v) { std::memcpy(b.data() + off, &v, 4); }
inline void PutF64(std::string& b, std::size_t off, double v) { std::memcpy(b.data() + off, &v, 8); }

}  // namespace mv
