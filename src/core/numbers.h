#pragma once
// Numbers in text, whatever the locale: '.' is always the decimal separator.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mv {

// The tolerance used wherever the system compares reals.
inline constexpr double kSameEpsilon = 1e-12;

// |a - b| <= 1e-12 (or a == b, so equal infinities are the same; NaN never is).
bool SameValue(double a, double b);

// Rounds to the nearest whole number, halves to the even one (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double RoundHalfEven(double x);

// x with exactly `decimals` digits after the point (0 decimals: no point). Correctly rounded
// from the binary value; a result that shows only zeros has no minus sign ("-0.001" with 2
// decimals gives "0.00"). decimals is capped at 20. Infinities and NaN give "INF", "-INF", "NAN".
std::string FormatFixed(double x, int decimals);

// At most maxDecimals digits after the point, trailing zeros and a bare point removed:
// (0.0010, 4) -> "0.001", (25, 2) -> "25", (2.5, 0) -> "2".
std::string FormatTrimmed(double x, int maxDecimals);

// A whole number in decimal.
std::string FormatInt(std::int64_t n);

// Typed numbers (every numeric field the user types or imports): blanks, tabs and
// apostrophes are removed (they may group digits; no-break spaces too), a comma becomes a
// decimal point, at most 30 characters are kept. What remains must be
//   [sign] digits [. [digits]] [(e|E) [sign] digits]   or   [sign] . digits [exponent]
// and give a finite double; anything else (inf, nan, hex, 1e999) does not parse.
std::string NormalizeTypedNumber(std::string_view text);

enum class TypedNumberStatus : std::uint8_t { Ok = 0, Empty = 1, Invalid = 2 };

struct TypedNumber {
  TypedNumberStatus status = TypedNumberStatus::Empty;
  double value = 0;
};

// Empty after normalising means "value not present".
TypedNumber ParseTypedNumber(std::string_view text);
// A number read from an imported table, by the same rule but never cut: a cell that holds more
// than 30 characters after normalising is not a number (a typed field stops at 30 as it is
// typed, but cutting a longer cell would read another value).
TypedNumber ParseImportedNumber(std::string_view text);
// The same, also giving for a number the digits written after its decimal point less its
// exponent, never below 0 ("0,125" 3, "1.5e-3" 4, "12e2" 0; an exponent beyond ±1000 is not
// counted); 0 for anything that is not a number.
TypedNumber ParseImportedNumber(std::string_view text, int& writtenDecimals);

// Convenience: the value when the text parses, nothing when it is empty or invalid.
std::optional<double> TypedNumberValue(std::string_view text);

// Whole numbers in text (counts, positions): optional sign and decimal digits only, within
// [min, max]; blanks around are ignored.
std::optional<std::int64_t> ParseInteger(std::string_view text, std::int64_t min, std::int64_t max);

// Upper-case hexadecimal with exactly `digits` digits of the low bits: (0xC8A3, 4) -> "C8A3".
std::string HexUpper(std::uint32_t value, int digits);

}  // namespace mv
