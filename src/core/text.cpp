#include "core/text.h"

#include <charconv>

#include "core/utf8.h"

namespace mv {
namespace {

// Case pairs of Windows-1251 letters, as code points. Written out rather than taken from the
// C library so the result never depends on the locale.
constexpr char32_t ToUpper(char32_t c) {
  if (c >= U'a' && c <= U'z') return c - 0x20;
  if (c >= 0x0430 && c <= 0x044F) return c - 0x20;  // а..я
  // ё ђ ѓ є ѕ і ї ј љ њ ћ ќ ў џ; U+045D (ѝ) is not in Windows-1251 and stays.
  if (c >= 0x0451 && c <= 0x045F && c != 0x045D) return c - 0x50;
  if (c == 0x0491) return 0x0490;  // ґ
  return c;
}

constexpr char32_t ToLower(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 0x20;
  if (c >= 0x0410 && c <= 0x042F) return c + 0x20;  // А..Я
  if (c >= 0x0401 && c <= 0x040F && c != 0x040D) return c + 0x50;
  if (c == 0x0490) return 0x0491;
  return c;
}

// Every letter keeps its UTF-8 length under either mapping, so the text is changed in place
// and invalid bytes stay exactly as they were.
template <class Map>
std::string MapCase(std::string_view utf8, Map map) {
  std::string out(utf8);
  for (std::size_t pos = 0; pos < out.size();) {
    const Utf8Char ch = NextUtf8Char(out, pos);
    if (ch.valid) {
      const char32_t mapped = map(ch.code);
      if (mapped != ch.code) EncodeUtf8(mapped, out.data() + pos);
    }
    pos += ch.size;
  }
  return out;
}

}  // namespace

std::size_t CharCount(std::string_view utf8) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < utf8.size(); pos += NextUtf8Char(utf8, pos).size) ++count;
  return count;
}

std::string CutToChars(std::string_view utf8, std::size_t n) {
  std::size_t pos = 0;
  for (std::size_t count = 0; count < n && pos < utf8.size(); ++count) {
    pos += NextUtf8Char(utf8, pos).size;
  }
  return std::string(utf8.substr(0, pos));
}

std::string UpperCase(std::string_view utf8) { return MapCase(utf8, ToUpper); }

std::string LowerCase(std::string_view utf8) { return MapCase(utf8, ToLower); }

bool SameText(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const Utf8Char ca = NextUtf8Char(a, i);
    const Utf8Char cb = NextUtf8Char(b, j);
    // An invalid byte only equals the same invalid byte.
    if (ca.valid != cb.valid) return false;
    if (ca.valid ? ToLower(ca.code) != ToLower(cb.code) : ca.code != cb.code) return false;
    i += ca.size;
    j += cb.size;
  }
  return i == a.size() && j == b.size();
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string_view Trim(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

std::string PluralRu(std::int64_t n, std::string_view stem, std::string_view form1,
                     std::string_view form2to4, std::string_view form5) {
  // |n| in unsigned arithmetic: -INT64_MIN does not fit the signed type.
  const std::uint64_t magnitude =
      n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
  const std::uint64_t lastDigit = magnitude % 10;
  std::string_view form = form5;
  // The system's rule: only 11..14 themselves are exceptions, so 111 counts as 1 ("111 параметр").
  if (magnitude >= 11 && magnitude <= 14) {
    form = form5;
  } else if (lastDigit == 1) {
    form = form1;
  } else if (lastDigit >= 2 && lastDigit <= 4) {
    form = form2to4;
  }
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, n);
  std::string out(digits, result.ptr);
  out.append(stem);
  out.append(form);
  return out;
}

}  // namespace mv
