#include "ui/report_font_dialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "reports/color_names.h"
#include "ui/settings_window.h"
#include "ui/ui_text.h"

namespace mv::ui {

std::function<std::optional<QFont>(QWidget*, const QFont&, const QString&)> ReportFontDialog::chooseFont =
    [](QWidget* parent, const QFont& initial, const QString& title) -> std::optional<QFont> {
  bool ok = false;
  const QFont font = QFontDialog::getFont(&ok, initial, parent, title);
  if (!ok) return std::nullopt;
  return font;
};

std::function<std::optional<QColor>(QWidget*, const QColor&, const QString&)> ReportFontDialog::chooseColor =
    [](QWidget* parent, const QColor& initial, const QString& title) -> std::optional<QColor> {
  const QColor color = QColorDialog::getColor(initial, parent, title);
  if (!color.isValid()) return std::nullopt;
  return color;
};

QColor QColorOf(std::uint32_t color) {
  const std::uint32_t plain = PlainColor(color);
  return QColor(static_cast<int>(plain & 0xFF), static_cast<int>((plain >> 8) & 0xFF),
                static_cast<int>((plain >> 16) & 0xFF));
}

std::uint32_t ColorValueOf(const QColor& color) {
  return static_cast<std::uint32_t>(color.red()) | (static_cast<std::uint32_t>(color.green()) << 8) |
         (static_cast<std::uint32_t>(color.blue()) << 16);
}

bool FontInstalledOnScreen(std::string_view family) {
  return QFontDatabase::families().contains(ToQ(family), Qt::CaseInsensitive);
}

ReportFontDialog::ReportFontDialog(const QString& caption, const TReportFonts& fonts, const TFontSet& catalogue,
                                   QWidget* parent)
    : QDialog(parent), m_logic(fonts, catalogue) {
  setWindowTitle(caption);
  m_table = new QTableWidget(0, ReportFontDialogLogic::kColumnCount);
  m_table->setObjectName("fonts");
  QStringList headers;
  for (int c = 0; c < ReportFontDialogLogic::kColumnCount; ++c) headers << ToQ(ReportFontDialogLogic::ColumnCaption(c));
  m_table->setHorizontalHeaderLabels(headers);
  m_table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  m_table->horizontalHeader()->setStretchLastSection(true);
  m_table->verticalHeader()->hide();
  m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_table->setSelectionMode(QAbstractItemView::SingleSelection);
  m_table->setMinimumWidth(620);
  connect(m_table, &QTableWidget::cellDoubleClicked, this, [this] { EditFont(); });

  auto* font = new QPushButton(QStringLiteral("&Изменить шрифт..."));
  font->setObjectName("editFont");
  auto* color = new QPushButton(QStringLiteral("&Цвет шрифта..."));
  color->setObjectName("editColor");
  auto* standard = new QPushButton(QStringLiteral("&") + ToQ(ReportFontDialogLogic::kStandardFontsCommand));
  standard->setObjectName("standardFonts");
  for (QPushButton* b : {font, color, standard}) b->setAutoDefault(false);
  connect(font, &QPushButton::clicked, this, [this] { EditFont(); });
  connect(color, &QPushButton::clicked, this, [this] { EditColor(); });
  connect(standard, &QPushButton::clicked, this, [this] { SetStandardFonts(); });
  auto* commands = new QHBoxLayout;
  commands->addWidget(font);
  commands->addWidget(color);
  commands->addStretch(1);
  commands->addWidget(standard);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_table, 1);
  layout->addLayout(commands);
  layout->addWidget(buttons);
  Fill();
  if (m_table->rowCount() > 0) m_table->selectRow(0);
  setTabOrder(m_table, font);
  setTabOrder(font, color);
  setTabOrder(color, standard);
  m_table->setFocus();
}

void ReportFontDialog::Fill() {
  const int rows = static_cast<int>(m_logic.RowCount());
  m_table->setRowCount(rows);
  for (int r = 0; r < rows; ++r) {
    const auto row = static_cast<std::size_t>(r + 1);
    const TFontDescr& f = m_logic.RowFont(row);
    auto* sample = new QTableWidgetItem(ToQ(ReportFontDialogLogic::kSampleText));
    sample->setFont(QFontOf(f));
    sample->setForeground(QColorOf(f.color));
    m_table->setItem(r, 0, new QTableWidgetItem(ToQ(m_logic.Purpose(row))));
    m_table->setItem(r, 1, sample);
    m_table->setItem(r, 2, new QTableWidgetItem(ToQ(m_logic.Properties(row))));
  }
  m_table->resizeColumnsToContents();
  m_table->resizeRowsToContents();
}

std::size_t ReportFontDialog::CurrentRow() const {
  const int r = m_table->currentRow();
  return r < 0 ? 0 : static_cast<std::size_t>(r + 1);
}

void ReportFontDialog::EditFont() {
  const std::size_t row = CurrentRow();
  if (row == 0) return;
  const std::optional<QFont> chosen = chooseFont(this, QFontOf(m_logic.RowFont(row)), ToQ(m_logic.Purpose(row)));
  if (!chosen) return;
  m_logic.SetFont(row, FontDescrOf(*chosen));
  Fill();
}

void ReportFontDialog::EditColor() {
  const std::size_t row = CurrentRow();
  if (row == 0) return;
  const std::optional<QColor> chosen =
      chooseColor(this, QColorOf(m_logic.RowFont(row).color), ToQ(m_logic.Purpose(row)));
  if (!chosen) return;
  m_logic.SetColor(row, ColorValueOf(*chosen));
  Fill();
}

void ReportFontDialog::SetStandardFonts() {
  if (m_logic.SetStandardFonts()) Fill();
}

bool ReportFontDialog::Edit(QWidget* parent, const QString& caption, TReportFonts& fonts, const TFontSet& catalogue) {
  ReportFontDialog dialog(caption, fonts, catalogue, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  fonts = dialog.Logic().Fonts();
  return true;
}

}  // namespace mv::ui
