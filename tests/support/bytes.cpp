#include "support/bytes.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "core/cp1251.h"

namespace mv::test {

std::string FromHex(std::string_view hex) {
  std::string out;
  int nibble = -1;
  for (char c : hex) {
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    if (v < 0) continue;
    if (nibble < 0) {
      nibble = v;
    } else {
      out += static_cast<char>(nibble * 16 + v);
      nibble = -1;
    }
  }
  return out;
}

std::string ToHex(std::string_view bytes) {
  static const char* kDigits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char b : bytes) {
    if (!out.empty()) out += ' ';
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

ByteBuilder& ByteBuilder::Raw(std::string_view bytes) {
  m_bytes.append(bytes);
  return *this;
}

ByteBuilder& ByteBuilder::U8(std::uint8_t v) {
  m_bytes += static_cast<char>(v);
  return *this;
}

ByteBuilder& ByteBuilder::I16(std::int16_t v) {
  const auto u = static_cast<std::uint16_t>(v);
  U8(static_cast<std::uint8_t>(u & 0xFF));
  return U8(static_cast<std::uint8_t>(u >> 8));
}

ByteBuilder& ByteBuilder::I32(std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  for (int shift = 0; shift < 32; shift += 8) U8(static_cast<std::uint8_t>((u >> shift) & 0xFF));
  return *this;
}

ByteBuilder& ByteBuilder::Str(std::string_view utf8) {
  const std::string bytes = Utf8ToCp1251(utf8);
  if (bytes.empty()) return U8(0);
  if (bytes.size() <= 255) {
    U8(1).U8(static_cast<std::uint8_t>(bytes.size()));
  } else {
    U8(4).I32(static_cast<std::int32_t>(bytes.size()));
  }
  return Raw(bytes);
}

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "mv-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) != nullptr) m_path = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ec;
  if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
}

std::string TempFolder::Path(std::string_view name) const { return m_path + "/" + std::string(name); }

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace mv::test
