// Arbitrary bytes as text a command prints (names and notes come from files), and the first
// eight as a double. The text must come out as one JSON string of valid UTF-8 without a raw
// control character, ending at its closing quote; the double must read back to itself.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <string_view>

#include "core/json_writer.h"

namespace {

// Valid UTF-8 with every " and \ escaped, and no byte below 0x20.
bool ValidBody(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x20) return false;
    if (c == '"') return false;
    if (c == '\\') {
      if (i + 1 >= s.size()) return false;
      i += s[i + 1] == 'u' ? 6 : 2;
      continue;
    }
    std::size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    if (c >= 0x80 && (c < 0xC2 || c > 0xF4)) return false;
    if (s.size() - i < length) return false;
    for (std::size_t j = 1; j < length; ++j) {
      if ((static_cast<unsigned char>(s[i + j]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::ostringstream out;
  {
    mv::JsonWriter w(out);
    w.String(text);
    w.Done();
  }
  const std::string s = out.str();
  if (s.size() < 3 || s.front() != '"' || s.substr(s.size() - 2) != "\"\n") std::abort();
  if (!ValidBody(std::string_view(s).substr(1, s.size() - 3))) std::abort();

  if (size >= 8) {
    double value = 0;
    std::memcpy(&value, data, sizeof value);
    char digits[mv::kMaxDoubleChars + 1] = {};
    const std::size_t length = mv::FormatJsonDouble(value, digits);
    if (length == 0 || length > mv::kMaxDoubleChars) std::abort();
    if (!std::isfinite(value)) {
      if (std::string_view(digits, length) != "null") std::abort();
    } else if (std::strtod(digits, nullptr) != value || std::signbit(std::strtod(digits, nullptr)) != std::signbit(value)) {
      std::abort();
    }
  }
  return 0;
}
