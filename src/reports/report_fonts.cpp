#include "reports/report_fonts.h"

#include <utility>

#include "core/text.h"
#include "core/utf8.h"
#include "reports/color_names.h"

namespace mv {
namespace {

constexpr std::uint8_t kBold = 1;
constexpr std::uint8_t kItalic = 2;
constexpr std::uint8_t kUnderline = 4;
constexpr std::uint8_t kStrikeOut = 8;

TFontDescr MakeFont(std::string_view name, std::int32_t size, std::uint8_t style, std::uint32_t color) {
  TFontDescr f;
  f.name = std::string(name);
  f.size = size;
  f.style = style;
  f.color = color;
  f.charset = TFontDescr::kCyrillic;
  return f;
}

FontInstalledCheck& InstalledCheck() {
  static FontInstalledCheck check;
  return check;
}

// Characters that could close the declaration block, the style element or a quoted family name.
bool KeepsInCss(char32_t code) {
  if (code < 0x20 || (code >= 0x7F && code <= 0x9F)) return false;
  switch (code) {
    case '<': case '>': case '{': case '}': case ';': case '"': case '\'': case '\\': return false;
    default: return true;
  }
}

std::string CssFontName(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (std::size_t pos = 0; pos < name.size();) {
    const Utf8Char ch = NextUtf8Char(name, pos);
    if (ch.valid && KeepsInCss(ch.code)) out += name.substr(pos, ch.size);
    pos += ch.size;
  }
  return out;
}

}  // namespace

TReportFonts::TReportFonts() : fonts(NewReportKindFonts()) {}

std::string TReportFonts::Encode() const {
  std::string out;
  out.reserve(kSize);
  for (const TFontDescr& f : fonts) out += f.Encode();
  return out;
}

bool TReportFonts::Decode(std::string_view bytes) {
  if (bytes.size() < kSize) return false;
  std::array<TFontDescr, kCount> read;
  for (std::size_t i = 0; i < kCount; ++i) {
    if (!read[i].Decode(bytes.substr(i * TFontDescr::kSize, TFontDescr::kSize))) return false;
  }
  fonts = std::move(read);
  return true;
}

bool TReportFonts::Validate() {
  bool replaced = false;
  for (TFontDescr& f : fonts) {
    if (f.IsValid()) continue;
    f = DefaultUiFont();
    replaced = true;
  }
  return replaced;
}

TFontDescr DefaultUiFont() {
  const FontInstalledCheck& check = InstalledCheck();
  const bool segoe = check && check("Segoe UI");
  return MakeFont(segoe ? "Segoe UI" : "Arial", 9, 0, 0);
}

FontInstalledCheck SetFontInstalledCheck(FontInstalledCheck check) {
  return std::exchange(InstalledCheck(), std::move(check));
}

std::string FontToCss(const TFontDescr& font, std::string_view extraFamilies) {
  std::string out = "font-family:" + CssFontName(font.name) + std::string(extraFamilies);
  out += "; font-size:" + std::to_string(font.size) + "pt";
  if (font.color != 0) out += "; color:#" + ColorToHex(PlainColor(font.color));
  if ((font.style & kBold) != 0) out += "; font-weight: bold";
  if ((font.style & kItalic) != 0) out += "; font-style: italic";
  if ((font.style & kUnderline) != 0) out += "; text-decoration: underline";
  return out;
}

std::string ReportStyleSheet(const TReportFonts& fonts) {
  constexpr std::string_view kHeadingFamilies = ",Arial,Helvetica";
  std::string out = "<style>\r\n<!--\r\n";
  out += ".mainhdr { " + FontToCss(fonts.Font(1), kHeadingFamilies) + " }\r\n";
  out += ".secthdr { " + FontToCss(fonts.Font(2), kHeadingFamilies) + " }\r\n";
  out += ".text    { " + FontToCss(fonts.Font(3)) + " }\r\n";
  out += ".tab     { " + FontToCss(fonts.Font(4)) + "; margin-left:3 }\r\n";
  out += ".small   { " + FontToCss(fonts.Font(5)) + " }\r\n";
  // One closing brace fewer than opening ones, as the pages have always had it: a style sheet
  // closes open blocks at its end.
  out += "@media print { .pagebreak {page-break-before: always; }\r\n";
  out += "-->\r\n</style>";
  return out;
}

std::string FontDisplayText(const TFontDescr& font) {
  std::string out = font.name + " " + std::to_string(font.size);
  static constexpr std::pair<std::uint8_t, const char*> kWords[] = {
      {kBold, "bold"}, {kItalic, "italic"}, {kUnderline, "underline"}, {kStrikeOut, "strikeout"}};
  std::string words;
  for (const auto& [bit, word] : kWords) {
    if ((font.style & bit) == 0) continue;
    if (!words.empty()) words += ',';
    words += word;
  }
  if (!words.empty()) out += ", " + words;
  if (font.color != 0) {
    // A named colour in small letters; the digits of an unnamed one as they are.
    const std::string name = ColorName(font.color, true);
    out += ", цвет: " + (name == ColorToHex(font.color) ? name : LowerCase(name));
  }
  return out;
}

bool TFontSet::Add(std::string_view caption, std::string_view key, std::string_view extra, const TFontDescr& font) {
  if (m_count >= kMaxCount) return false;
  m_entries[m_count] = Entry{std::string(caption), CutToChars(key, kKeyMax), std::string(extra), font};
  ++m_count;
  return true;
}

const TFontSet& ReportFontSet() {
  static const TFontSet set = [] {
    TFontSet s;
    s.Add("Основной заголовок", "mainhdr", "", MakeFont("Verdana", 18, kBold, 0x0000FF));
    s.Add("Заголовок раздела", "secthdr", "", MakeFont("Verdana", 14, kBold, 0));
    s.Add("Текст шапки", "text", "", MakeFont("Verdana", 10, 0, 0));
    s.Add("Текст таблиц", "tab", "margin-left:3", MakeFont("Verdana", 10, 0, 0));
    s.Add("Мелкий шрифт", "small", "", MakeFont("Tahoma", 8, 0, 0));
    return s;
  }();
  return set;
}

TReportFonts StandardReportFonts(const TFontSet& catalogue) {
  TReportFonts fonts;
  for (std::size_t i = 1; i <= catalogue.Count() && i <= TReportFonts::kCount; ++i) {
    fonts.Font(i) = catalogue.Item(i).font;
  }
  return fonts;
}

}  // namespace mv
