#pragma once
// A stream over an in-memory byte string with typed little-endian reads and writes, the
// carrier of every list stream. Each typed operation first resets ErrorCode, so the code
// always tells the outcome of the last operation only.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mv {

class TUniStream {
 public:
  // ErrorCode values.
  static constexpr std::uint8_t kOk = 0;
  static constexpr std::uint8_t kWriteError = 1;
  static constexpr std::uint8_t kReadError = 2;    // fewer bytes left than needed
  static constexpr std::uint8_t kBadData = 3;      // unknown string kind, negative length
  static constexpr std::uint8_t kBadParams = 4;

  TUniStream() = default;                  // empty, for writing
  explicit TUniStream(std::string bytes);  // reads the given bytes from their start

  std::uint8_t ErrorCode = kOk;

  void WriteByte(std::uint8_t value);
  void WriteBool(bool value);
  void WriteWord(std::int16_t value);
  void WriteLong(std::int32_t value);
  void WriteID(std::int32_t value);
  // Kind 0 for "", kind 1 with a length byte up to 255 characters, kind 4 with a 32-bit
  // length beyond. The text is UTF-8 in memory and Windows-1251 in the stream.
  void WriteStr(std::string_view utf8);
  // Raw bytes (markers).
  void WriteBytes(std::string_view bytes);

  // A read past the end returns 0 (or "") and sets kReadError.
  std::uint8_t ReadByte();
  bool ReadBool();  // any non-zero byte is true
  std::int16_t ReadWord();
  std::int32_t ReadLong();
  std::int32_t ReadID();
  // Kinds 0, 1 and 4; any other kind or a negative length gives "" and kBadData, a length
  // beyond the bytes left gives "" and kReadError. Nothing is allocated before the check.
  std::string ReadStr();
  // Four bytes as a little-endian value, for markers.
  std::uint32_t ReadMarker();

  std::string ErrorText() const;
  static std::string ErrorText(std::uint8_t code);

  const std::string& DataString() const { return m_data; }
  std::size_t Position() const { return m_pos; }
  std::size_t Size() const { return m_data.size(); }
  std::size_t BytesLeft() const { return m_data.size() - m_pos; }
  void Seek(std::size_t position);  // clamped to the size

 private:
  void Put(const void* bytes, std::size_t n);
  bool Take(void* bytes, std::size_t n);

  std::string m_data;
  std::size_t m_pos = 0;
};

// The four bytes of a marker such as "<LST" read as a little-endian 32-bit value.
constexpr std::uint32_t MarkerValue(const char (&text)[5]) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(text[0])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(text[1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(text[2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(text[3])) << 24;
}

}  // namespace mv
