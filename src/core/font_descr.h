#pragma once
// A font as the settings and reports keep it: a 41-byte record.
//   0 name (short text of 30)  31 size in points (i32)  35 colour 0xBBGGRR (u32)
//   39 style (u8: 1 bold, 2 italic, 4 underline, 8 strike-out)  40 character set (u8, 204 Cyrillic)

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mv {

struct TFontDescr {
  static constexpr std::size_t kSize = 41;
  static constexpr std::size_t kNameMax = 30;
  static constexpr std::uint8_t kCyrillic = 204;

  std::string name = "Segoe UI";
  std::int32_t size = 9;
  std::uint32_t color = 0;
  std::uint8_t style = 0;
  std::uint8_t charset = kCyrillic;

  std::string Encode() const;  // 41 bytes
  // Reads 41 bytes (false, and nothing changed, when fewer are given).
  bool Decode(std::string_view bytes);
  bool operator==(const TFontDescr&) const = default;

  // The smallest size scaling and shrinking give.
  static constexpr std::int32_t kMinChangedSize = 5;
  // A copy scaled by `percent` (-50 halves it): (percent / 100 + 1) x size rounded to the
  // nearest whole number, halves to the even one, and at least 5 points.
  TFontDescr Scaled(std::int32_t percent) const;
  // Grows by `points`; a shrink (0 or fewer points) that would go below 5 points gives 5.
  void Grow(std::int32_t points);
  // A font with a name and a positive size; an invalid one is replaced by the default font of
  // the windows wherever fonts are checked.
  bool IsValid() const { return !name.empty() && size > 0; }
};

// The system font (forms, tables, buttons) must be 8 to 14 points: "" when it is, else the
// message to show. The graphics font may have any size.
std::string CheckSystemFontSize(std::int32_t size);

// The question asked when a chosen font's character set is not Cyrillic.
std::string NonCyrillicFontQuestion();

// The six fonts a newly made report kind starts with: Verdana 18 bold red, Verdana 14 bold,
// Verdana 10, Verdana 10, Tahoma 8 dark grey (0x303030), Verdana 10; all Cyrillic. Every record
// that keeps report fonts (report kinds, the correlation settings) takes them as its defaults.
inline constexpr std::size_t kReportFontCount = 6;
std::array<TFontDescr, kReportFontCount> NewReportKindFonts();

}  // namespace mv
