#pragma once
// Byte fixtures for binary formats, laid out by hand from the documented offsets so that the
// production writer is checked against an independent reading of the layout.

#include <cstdint>
#include <string>
#include <string_view>

namespace mv::test {

// "3C 4C 53 54" -> the four bytes. Blanks and line breaks are ignored.
std::string FromHex(std::string_view hex);
// The bytes as "3C 4C 53 54" (for readable failure messages).
std::string ToHex(std::string_view bytes);

// Appends little-endian fields and Windows-1251 strings.
class ByteBuilder {
 public:
  ByteBuilder& Raw(std::string_view bytes);
  ByteBuilder& U8(std::uint8_t v);
  ByteBuilder& I16(std::int16_t v);
  ByteBuilder& I32(std::int32_t v);
  // The list-stream string: kind 0, kind 1 + length byte, or kind 4 + 32-bit length.
  ByteBuilder& Str(std::string_view utf8);
  const std::string& bytes() const { return m_bytes; }

 private:
  std::string m_bytes;
};

// A file in a fresh temporary folder, removed with the folder at the end of the scope.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  std::string Path(std::string_view name) const;
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
};

// Whole file as bytes ("" when it cannot be read) and writing one directly.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, std::string_view bytes);

}  // namespace mv::test
