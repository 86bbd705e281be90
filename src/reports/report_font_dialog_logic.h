#pragma once
// What the report font dialog decides: it works on a copy of the caller's report fonts and
// shows one row per entry of a style catalogue; the caller's fonts change only when the dialog
// is closed with OK (the window then hands Fonts() back).

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/font_descr.h"
#include "reports/report_fonts.h"

namespace mv {

class ReportFontDialogLogic {
 public:
  ReportFontDialogLogic(const TReportFonts& fonts, const TFontSet& catalogue);

  // The column captions (with their leading blank) and the sample text.
  static const char* ColumnCaption(int column);  // 0..2
  static constexpr int kColumnCount = 3;
  static constexpr const char* kSampleText = "Образец текста";
  static constexpr const char* kStandardFontsCommand = "Установить стандартные шрифты";

  // One row per catalogue entry, row 1..RowCount(); a row past the fonts has no font.
  std::size_t RowCount() const;
  std::string Purpose(std::size_t row) const;
  const TFontDescr& RowFont(std::size_t row) const;
  std::string Properties(std::size_t row) const;

  // A font chosen in the font dialog for the row: name (cut to 30 characters), size, style and
  // charset; the colour stays the row's, which SetColor changes.
  void SetFont(std::size_t row, const TFontDescr& chosen);
  void SetColor(std::size_t row, std::uint32_t color);

  // Asks "Установить стандартный вид для всех шрифтов?"; on "Да" every font becomes that of a
  // new report kind and then the catalogue's entries their default fonts. True when reset.
  bool SetStandardFonts();

  const TReportFonts& Fonts() const { return m_fonts; }

 private:
  bool HasRow(std::size_t row) const { return row >= 1 && row <= RowCount(); }

  TReportFonts m_fonts;
  const TFontSet& m_catalogue;
};

}  // namespace mv
