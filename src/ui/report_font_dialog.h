#pragma once
// The report font dialog, captioned by its caller ("Шрифты отчета" and the like): one row per
// entry of a style catalogue with the font's purpose, a sample drawn in it and its description.
// It holds reports/report_font_dialog_logic.h and forwards to it; the caller's fonts change
// only when it is closed with OK.

#include <QColor>
#include <QDialog>
#include <QFont>

#include <functional>
#include <optional>
#include <string_view>

#include "reports/report_font_dialog_logic.h"
#include "reports/report_fonts.h"

class QTableWidget;

namespace mv::ui {

class ReportFontDialog : public QDialog {
  Q_OBJECT

 public:
  ReportFontDialog(const QString& caption, const TReportFonts& fonts, const TFontSet& catalogue,
                   QWidget* parent = nullptr);
  ReportFontDialogLogic& Logic() { return m_logic; }

  // Shows the dialog modally; true, with `fonts` replaced, when it was closed with OK.
  static bool Edit(QWidget* parent, const QString& caption, TReportFonts& fonts,
                   const TFontSet& catalogue = ReportFontSet());

  // The platform's font and colour dialogs (tests put scripted ones in).
  static std::function<std::optional<QFont>(QWidget*, const QFont&, const QString&)> chooseFont;
  static std::function<std::optional<QColor>(QWidget*, const QColor&, const QString&)> chooseColor;

 private:
  void Fill();
  std::size_t CurrentRow() const;
  void EditFont();
  void EditColor();
  void SetStandardFonts();

  ReportFontDialogLogic m_logic;
  QTableWidget* m_table = nullptr;
};

// A Windows colour value (0x00BBGGRR; the system colours as the page shows them) and back.
QColor QColorOf(std::uint32_t color);
std::uint32_t ColorValueOf(const QColor& color);

// Whether the screen has a font of this family (the check DefaultUiFont asks).
bool FontInstalledOnScreen(std::string_view family);

}  // namespace mv::ui
