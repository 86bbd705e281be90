#include "reports/report_font_dialog_logic.h"

#include <algorithm>

#include "core/messages.h"
#include "core/text.h"

namespace mv {

ReportFontDialogLogic::ReportFontDialogLogic(const TReportFonts& fonts, const TFontSet& catalogue)
    : m_fonts(fonts), m_catalogue(catalogue) {}

const char* ReportFontDialogLogic::ColumnCaption(int column) {
  static constexpr const char* kCaptions[kColumnCount] = {" Назначение шрифта", " Образец текста", " Свойства шрифта"};
  return column >= 0 && column < kColumnCount ? kCaptions[column] : "";
}

std::size_t ReportFontDialogLogic::RowCount() const {
  return std::min(m_catalogue.Count(), TReportFonts::kCount);
}

std::string ReportFontDialogLogic::Purpose(std::size_t row) const {
  return HasRow(row) ? m_catalogue.Item(row).caption : std::string();
}

const TFontDescr& ReportFontDialogLogic::RowFont(std::size_t row) const {
  return m_fonts.Font(HasRow(row) ? row : 1);
}

std::string ReportFontDialogLogic::Properties(std::size_t row) const {
  return HasRow(row) ? FontDisplayText(m_fonts.Font(row)) : std::string();
}

void ReportFontDialogLogic::SetFont(std::size_t row, const TFontDescr& chosen) {
  if (!HasRow(row) || !chosen.IsValid()) return;
  TFontDescr& f = m_fonts.Font(row);
  const std::uint32_t color = f.color;
  f = chosen;
  f.name = CutToChars(chosen.name, TFontDescr::kNameMax);
  f.color = color;
}

void ReportFontDialogLogic::SetColor(std::size_t row, std::uint32_t color) {
  if (HasRow(row)) m_fonts.Font(row).color = color;
}

bool ReportFontDialogLogic::SetStandardFonts() {
  if (!Ask("Установить стандартный вид для всех шрифтов?")) return false;
  m_fonts = StandardReportFonts(m_catalogue);
  return true;
}

}  // namespace mv
