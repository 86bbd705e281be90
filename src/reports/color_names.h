#pragma once
// Colours as reports and option dialogs write them. A colour is a Windows colour value,
// 0x00BBGGRR: red in the low byte, then green, then blue. Two values with the high byte set
// stand for colours of the system's window scheme (old files carry them).

#include <cstdint>
#include <string>

namespace mv {

inline constexpr std::uint32_t kColorNone = 0x1FFFFFFF;      // no colour at all
inline constexpr std::uint32_t kColorWindow = 0xFF000005;    // the system's window colour
inline constexpr std::uint32_t kColorGrayText = 0xFF000011;  // the system's grey-text colour

// Six upper-case hexadecimal digits: red, green, blue (red from the low byte).
//   ColorToHex(0x0000FF) == "FF0000"
std::string ColorToHex(std::uint32_t color);
// "#" and ColorToHex.
std::string ColorToHtml(std::uint32_t color);

// The colour as a page can show it: the two system colours become white (FFFFFF) and grey
// (808080), every other value is kept.
std::uint32_t PlainColor(std::uint32_t color);

// The colour's name from the table of named colours (the first row whose value is the colour,
// so 0x808080 is always "Серый"/"DkGray"), in Russian or English, followed by " (" + the six
// digits + ")" when `withDigits`; the six digits alone when no row has the colour.
std::string ColorName(std::uint32_t color, bool russian, bool withDigits = false);

// One row of the table, for lists that offer the named colours (index 0 .. kNamedColorCount-1).
struct NamedColor {
  const char* english;
  const char* russian;
  std::uint32_t value;
};
inline constexpr std::size_t kNamedColorCount = 25;
// An index past the table gives its first row.
const NamedColor& NamedColorAt(std::size_t index);

}  // namespace mv
