#include "ui/print_caption_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "analysis/chart_options.h"
#include "ui/ui_text.h"

namespace mv::ui {

PrintCaptionDialog::PrintCaptionDialog(Kind kind, const PrintTexts& texts, QWidget* parent) : QDialog(parent) {
  setWindowTitle(kind == Kind::Chart ? QStringLiteral("Настройки печати контрольной карты")
                                     : QStringLiteral("Печать гистограммы"));
  m_header = new QLineEdit(ToQ(texts.header));
  m_header->setObjectName("header");
  m_caption = new QLineEdit(ToQ(texts.caption));
  m_caption->setObjectName("caption");
  for (QLineEdit* e : {m_header, m_caption}) {
    e->setMaxLength(static_cast<int>(TChartOptions::kPrintTextMax));
    e->setMinimumWidth(400);
  }
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Заголовок:"), m_header);
  form->addRow(QStringLiteral("&Подпись:"), m_caption);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  if (kind == Kind::Chart) {
    m_gost = new QCheckBox(QStringLiteral("По &форме ГОСТ Р 51814.3-2001"));
    m_gost->setObjectName("gost");
    m_gost->setChecked(texts.gostForm);
    layout->addWidget(m_gost);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

PrintTexts PrintCaptionDialog::Result() const {
  return {FromQ(m_header->text()), FromQ(m_caption->text()), m_gost && m_gost->isChecked()};
}

bool PrintCaptionDialog::Edit(Kind kind, PrintTexts& texts, QWidget* parent) {
  PrintCaptionDialog dialog(kind, texts, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  texts = dialog.Result();
  return true;
}

}  // namespace mv::ui
