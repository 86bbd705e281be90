#include "ui/text_window.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/clipboard.h"
#include "platform/services.h"
#include "ui/ui_text.h"

namespace mv::ui {

TextWindow::TextWindow(const QString& title, const std::string& text, QWidget* parent) : QDialog(parent) {
  setWindowTitle(title);
  m_view = new QPlainTextEdit;
  m_view->setObjectName("text");
  m_view->setReadOnly(true);
  m_view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
  auto* copy = buttons->addButton(QStringLiteral("&Копировать"), QDialogButtonBox::ActionRole);
  copy->setObjectName("copy");
  connect(copy, &QPushButton::clicked, this, [this] { platform::Current<platform::IClipboard>().SetText(m_text); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_view, 1);
  layout->addWidget(buttons);
  resize(720, 520);
  SetText(text);
}

void TextWindow::SetText(const std::string& text) {
  m_text = text;
  m_view->setPlainText(LinesToQ(text));
}

}  // namespace mv::ui
