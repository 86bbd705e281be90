#pragma once
// Reading and writing single UTF-8 characters; the one decoding rule shared by the codec and
// the text helpers, so a character counts the same everywhere.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mv {

struct Utf8Char {
  char32_t code = 0;    // the code point; for an invalid byte, that byte's value
  std::size_t size = 1;  // bytes taken: 1..4, always 1 for an invalid byte
  bool valid = true;
};

// The character starting at text[pos] (pos < text.size()). Only well-formed UTF-8 is valid:
// no overlong forms, no surrogates, nothing above U+10FFFF, no truncated sequence. A byte that
// does not start a valid sequence is invalid on its own, and the next character starts right
// after it, so every bad byte is one character.
constexpr Utf8Char NextUtf8Char(std::string_view text, std::size_t pos) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t b0 = byte(pos);
  if (b0 < 0x80) return {b0, 1, true};
  const Utf8Char bad{b0, 1, false};
  const std::size_t left = text.size() - pos;
  const auto tail = [&](std::size_t i) { return (byte(pos + i) & 0xC0) == 0x80; };
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    if (left < 2 || !tail(1)) return bad;
    return {static_cast<char32_t>(((b0 & 0x1Fu) << 6) | (byte(pos + 1) & 0x3Fu)), 2, true};
  }
  if (b0 >= 0xE0 && b0 <= 0xEF) {
    if (left < 3 || !tail(1) || !tail(2)) return bad;
    const char32_t code = ((b0 & 0x0Fu) << 12) | ((byte(pos + 1) & 0x3Fu) << 6) |
                          (byte(pos + 2) & 0x3Fu);
    if (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF)) return bad;
    return {code, 3, true};
  }
  if (b0 >= 0xF0 && b0 <= 0xF4) {
    if (left < 4 || !tail(1) || !tail(2) || !tail(3)) return bad;
    const char32_t code = ((b0 & 0x07u) << 18) | ((byte(pos + 1) & 0x3Fu) << 12) |
                          ((byte(pos + 2) & 0x3Fu) << 6) | (byte(pos + 3) & 0x3Fu);
    if (code < 0x10000 || code > 0x10FFFF) return bad;
    return {code, 4, true};
  }
  return bad;  // a lone continuation byte, C0/C1, F5..FF
}

// Writes code (at most U+10FFFF) as UTF-8 into out[0..3]; returns the number of bytes.
constexpr std::size_t EncodeUtf8(char32_t code, char* out) {
  if (code < 0x80) {
    out[0] = static_cast<char>(code);
    return 1;
  }
  if (code < 0x800) {
    out[0] = static_cast<char>(0xC0 | (code >> 6));
    out[1] = static_cast<char>(0x80 | (code & 0x3F));
    return 2;
  }
  if (code < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (code >> 12));
    out[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (code & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (code >> 18));
  out[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (code & 0x3F));
  return 4;
}

inline void AppendUtf8(std::string& out, char32_t code) {
  char bytes[4] = {};
  out.append(bytes, EncodeUtf8(code, bytes));
}

}  // namespace mv
