#include "core/numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/text.h"

namespace mv {
namespace {

constexpr int kMaxDecimals = 20;
constexpr std::size_t kTypedNumberMax = 30;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The decimal order of magnitude of a number already known to match the typed-number form:
// used only to tell an overflow from an underflow when from_chars reports "out of range".
long DecimalMagnitude(std::string_view number) {
  long lead = 0;  // digits before the point after leading zeros, or minus the zeros after it
  bool seenNonZero = false;
  bool afterPoint = false;
  std::size_t pos = 0;
  for (; pos < number.size() && number[pos] != 'e' && number[pos] != 'E'; ++pos) {
    const char c = number[pos];
    if (c == '.') {
      afterPoint = true;
    } else if (IsDigit(c)) {
      if (!afterPoint && (seenNonZero || c != '0')) ++lead;
      if (afterPoint && !seenNonZero && c == '0') --lead;
      if (c != '0') seenNonZero = true;
    }
  }
  long exponent = 0;
  bool negative = false;
  for (++pos; pos < number.size(); ++pos) {
    if (number[pos] == '-') negative = true;
    if (IsDigit(number[pos])) exponent = std::min(exponent * 10 + (number[pos] - '0'), 100000L);
  }
  return lead + (negative ? -exponent : exponent);
}

// [sign] (digits [. [digits]] | . digits) [(e|E) [sign] digits], nothing else.
bool HasTypedNumberForm(std::string_view s) {
  std::size_t pos = 0;
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) ++pos;
  std::size_t digits = 0;
  while (pos < s.size() && IsDigit(s[pos])) ++pos, ++digits;
  if (pos < s.size() && s[pos] == '.') {
    ++pos;
    while (pos < s.size() && IsDigit(s[pos])) ++pos, ++digits;
  }
  if (digits == 0) return false;
  if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E')) {
    ++pos;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) ++pos;
    std::size_t exponentDigits = 0;
    while (pos < s.size() && IsDigit(s[pos])) ++pos, ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  return pos == s.size();
}

}  // namespace

bool SameValue(double a, double b) { return a == b || std::fabs(a - b) <= kSameEpsilon; }

double RoundHalfEven(double x) {
  // Written out instead of std::nearbyint, which follows the current floating-point rounding
  // mode. x - floor(x) is exact for every finite double.
  if (!std::isfinite(x)) return x;
  const double below = std::floor(x);
  const double fraction = x - below;
  if (fraction < 0.5) return below;
  if (fraction > 0.5) return below + 1;
  return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

std::string FormatFixed(double x, int decimals) {
  if (std::isnan(x)) return "NAN";
  if (std::isinf(x)) return x < 0 ? "-INF" : "INF";
  decimals = std::clamp(decimals, 0, kMaxDecimals);
  // DBL_MAX has 309 whole digits; sign, point and 20 decimals fit comfortably.
  char buffer[400];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, decimals);
  std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
  if (text.front() == '-' && text.find_first_not_of("-0.") == std::string_view::npos) {
    text.remove_prefix(1);  // "-0.00": rounding left nothing negative to show
  }
  return std::string(text);
}

std::string FormatTrimmed(double x, int maxDecimals) {
  std::string text = FormatFixed(x, maxDecimals);
  if (!std::isfinite(x) || text.find('.') == std::string::npos) return text;
  text.erase(text.find_last_not_of('0') + 1);
  if (text.back() == '.') text.pop_back();
  return text;
}

std::string FormatInt(std::int64_t n) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
  return std::string(buffer, result.ptr);
}

namespace {

// Gives keep() the bytes of a typed number without its blanks, apostrophes and no-break
// spaces, a comma as the point; stops when keep() returns false, and returns false then.
template <class Keep>
bool ForEachKept(std::string_view text, Keep keep) {
  for (std::size_t pos = 0; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c == ' ' || c == '\t' || c == '\'') continue;
    if (c == '\xC2' && pos + 1 < text.size() && text[pos + 1] == '\xA0') {  // U+00A0
      ++pos;
      continue;
    }
    if (!keep(c == ',' ? '.' : c)) return false;
  }
  return true;
}

std::string Unspaced(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  ForEachKept(text, [&](char c) {
    out += c;
    return true;
  });
  return out;
}

// The value of a typed number already normalised.
TypedNumber ParseNormal(std::string_view normal) {
  if (normal.empty()) return {TypedNumberStatus::Empty, 0};
  if (!HasTypedNumberForm(normal)) return {TypedNumberStatus::Invalid, 0};
  // from_chars takes a minus but not a plus.
  std::string_view number = normal;
  if (number.front() == '+') number.remove_prefix(1);
  double value = 0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                      std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    // Too small to hold is zero (1e-999); too large (1e999) is not a number we can keep.
    if (DecimalMagnitude(number) >= 0) return {TypedNumberStatus::Invalid, 0};
    value = number.front() == '-' ? -0.0 : 0.0;
  } else if (result.ec != std::errc() || result.ptr != number.data() + number.size()) {
    return {TypedNumberStatus::Invalid, 0};
  }
  if (!std::isfinite(value)) return {TypedNumberStatus::Invalid, 0};
  return {TypedNumberStatus::Ok, value};
}

}  // namespace

std::string NormalizeTypedNumber(std::string_view text) {
  // Characters, not bytes: whatever is not ASCII makes the text invalid anyway, but the cut
  // must not leave half a character behind.
  return CutToChars(Unspaced(text), kTypedNumberMax);
}

TypedNumber ParseTypedNumber(std::string_view text) { return ParseNormal(NormalizeTypedNumber(text)); }

TypedNumber ParseImportedNumber(std::string_view text) {
  int decimals = 0;
  return ParseImportedNumber(text, decimals);
}

TypedNumber ParseImportedNumber(std::string_view text, int& writtenDecimals) {
  writtenDecimals = 0;
  // Normalised into a buffer of the longest number there may be. Past it the cell is not a
  // number: more bytes kept are more characters, or characters that are not ASCII, which no
  // number holds either.
  char buffer[kTypedNumberMax];
  std::size_t size = 0;
  const bool fits = ForEachKept(text, [&](char c) {
    if (size == kTypedNumberMax) return false;
    buffer[size++] = c;
    return true;
  });
  if (!fits) return {TypedNumberStatus::Invalid, 0};
  const std::string_view normal(buffer, size);
  const TypedNumber number = ParseNormal(normal);
  if (number.status != TypedNumberStatus::Ok) return number;
  const std::size_t point = normal.find('.');
  if (point == std::string_view::npos) return number;
  int digits = 0;
  std::size_t pos = point + 1;
  for (; pos < normal.size() && IsDigit(normal[pos]); ++pos) ++digits;
  if (pos < normal.size()) {  // the exponent, which the form makes [sign] digits
    ++pos;
    const bool negative = normal[pos] == '-';
    if (normal[pos] == '-' || normal[pos] == '+') ++pos;
    int exponent = 0;
    for (; pos < normal.size() && exponent <= 1000; ++pos) exponent = exponent * 10 + (normal[pos] - '0');
    // Beyond a thousand the exponent says nothing about the digits written.
    if (exponent <= 1000) digits -= negative ? -exponent : exponent;
  }
  writtenDecimals = std::max(digits, 0);
  return number;
}

std::optional<double> TypedNumberValue(std::string_view text) {
  const TypedNumber number = ParseTypedNumber(text);
  if (number.status != TypedNumberStatus::Ok) return std::nullopt;
  return number.value;
}

std::optional<std::int64_t> ParseInteger(std::string_view text, std::int64_t min,
                                         std::int64_t max) {
  std::string_view digits = Trim(text);
  if (!digits.empty() && digits.front() == '+') {
    digits.remove_prefix(1);
    if (!digits.empty() && digits.front() == '-') return std::nullopt;  // "+-5"
  }
  if (digits.empty()) return std::nullopt;
  std::int64_t value = 0;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (result.ec != std::errc() || result.ptr != digits.data() + digits.size()) return std::nullopt;
  if (value < min || value > max) return std::nullopt;
  return value;
}

std::string HexUpper(std::uint32_t value, int digits) {
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string out(static_cast<std::size_t>(std::max(digits, 0)), '0');
  for (std::size_t i = out.size(); i-- > 0 && value != 0; value >>= 4) out[i] = kHex[value & 0xF];
  return out;
}

}  // namespace mv
