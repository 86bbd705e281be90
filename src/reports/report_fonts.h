#pragma once
// The fonts of a report: six font descriptions kept with every report kind (a 246-byte record),
// their style sheet, and the catalogue of named styles the report font dialog shows.
//
// The style sheet turns fonts 1..5 into the classes every report page refers to: mainhdr (the
// main heading), secthdr (section headings), text (the key/value table at the top), tab (data
// tables), small (small print), plus the print class pagebreak. Font 6 travels with the array
// and is not written.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/font_descr.h"

namespace mv {

struct TReportFonts {
  static constexpr std::size_t kCount = kReportFontCount;
  static constexpr std::size_t kSize = kCount * TFontDescr::kSize;  // 246

  // The fonts of a newly made report kind (NewReportKindFonts).
  TReportFonts();

  std::array<TFontDescr, kCount> fonts;

  // 1-based, as the style classes are numbered; index 1..6.
  TFontDescr& Font(std::size_t index) { return fonts[index - 1]; }
  const TFontDescr& Font(std::size_t index) const { return fonts[index - 1]; }

  // The six 41-byte records one after the other.
  std::string Encode() const;
  // Reads 246 bytes (false, and nothing changed, when fewer are given). The fonts are taken as
  // stored; Validate replaces the unusable ones.
  bool Decode(std::string_view bytes);
  // Replaces every font without a name or with a size that is not positive by DefaultUiFont.
  // True when one was replaced.
  bool Validate();

  bool operator==(const TReportFonts&) const = default;
};

// The default font of message windows and dialogs: "Segoe UI" 9 points, regular, black,
// Cyrillic, or "Arial" when no font named "Segoe UI" is installed. It also replaces invalid
// font descriptions. The windows install the check against the screen's fonts at start-up;
// until then (and in builds without them) no font counts as installed.
TFontDescr DefaultUiFont();
using FontInstalledCheck = std::function<bool(std::string_view family)>;
// Installs the check and gives the previous one (empty: none).
FontInstalledCheck SetFontInstalledCheck(FontInstalledCheck check);

// The CSS declarations of one font: "font-family:" name + extraFamilies, "; font-size:" size
// "pt", then "; color:#RRGGBB" unless black, "; font-weight: bold", "; font-style: italic",
// "; text-decoration: underline" as its style says. The system colours are written as white
// and grey. The name is written without the characters that could end the declaration or the
// style element (< > { } ; " ' \ and control characters): fonts come from data files.
std::string FontToCss(const TFontDescr& font, std::string_view extraFamilies = {});

// The report's style element, ten lines joined by CR LF (none after the last).
std::string ReportStyleSheet(const TReportFonts& fonts);

// The description beside a font in the font dialog: "Verdana 18, bold, цвет: красный",
// "Tahoma 8, цвет: 303030", "Arial 10, bold,italic".
std::string FontDisplayText(const TFontDescr& font);

// The catalogue of named styles: up to six entries, each a caption (the purpose of the font),
// a key (the class name, at most 12 characters), extra declarations and a default font.
class TFontSet {
 public:
  static constexpr std::size_t kMaxCount = 6;
  static constexpr std::size_t kKeyMax = 12;
  struct Entry {
    std::string caption;
    std::string key;
    std::string extra;
    TFontDescr font;
    bool operator==(const Entry&) const = default;
  };

  // False, and nothing added, when six entries are there. The key is cut to 12 characters.
  bool Add(std::string_view caption, std::string_view key, std::string_view extra, const TFontDescr& font);
  std::size_t Count() const { return m_count; }
  // 1-based, index 1..Count().
  const Entry& Item(std::size_t index) const { return m_entries[index - 1]; }

 private:
  std::array<Entry, kMaxCount> m_entries{};
  std::size_t m_count = 0;
};

// The report styles in the order of the report fonts: mainhdr "Основной заголовок", secthdr
// "Заголовок раздела", text "Текст шапки", tab "Текст таблиц" (with "margin-left:3"), small
// "Мелкий шрифт". Its small print is black, where a new report kind starts dark grey.
const TFontSet& ReportFontSet();

// The fonts the dialog's "standard fonts" command gives: those of a new report kind, then the
// catalogue's default fonts over entries 1..Count().
TReportFonts StandardReportFonts(const TFontSet& catalogue);

}  // namespace mv
