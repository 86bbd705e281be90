// Arbitrary bytes as the report fonts a report kind stores. Whatever is read must write and
// read again unchanged, validate into usable fonts, and give a style sheet whose only markup is
// its own frame, whatever the font names hold.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "reports/report_fonts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  mv::TReportFonts fonts;
  fonts.fonts[0].name = "marker";
  const mv::TReportFonts before = fonts;
  if (!fonts.Decode(bytes)) {
    if (size >= mv::TReportFonts::kSize || !(fonts == before)) std::abort();
    return 0;
  }
  const std::string written = fonts.Encode();
  if (written.size() != mv::TReportFonts::kSize) std::abort();
  mv::TReportFonts again;
  if (!again.Decode(written) || !(again == fonts) || again.Encode() != written) std::abort();

  for (const mv::TFontDescr& f : fonts.fonts) {
    const std::string css = mv::FontToCss(f);
    if (css.find_first_of("<>{};\"'\\", 0) < css.find("; font-size:")) std::abort();
    (void)mv::FontDisplayText(f);
  }
  const std::string sheet = mv::ReportStyleSheet(fonts);
  const std::string_view frameEnd = "\r\n-->\r\n</style>";
  if (sheet.rfind("<style>\r\n<!--\r\n", 0) != 0 || sheet.size() < frameEnd.size() ||
      sheet.compare(sheet.size() - frameEnd.size(), frameEnd.size(), frameEnd) != 0) {
    std::abort();
  }
  const std::string_view body = std::string_view(sheet).substr(14, sheet.size() - 14 - frameEnd.size());
  if (body.find_first_of("<>") != std::string_view::npos) std::abort();

  fonts.Validate();
  for (const mv::TFontDescr& f : fonts.fonts) {
    if (!f.IsValid()) std::abort();
  }
  return 0;
}
