#pragma once
// The fields the editors of a dataset's parameters, blocks, scales and classes are made of: a
// text field that offers its recently typed values, a plain one, and OK/Cancel.

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <string>
#include <vector>

#include "app/config_file.h"
#include "app/history_lists.h"
#include "ui/ui_text.h"

namespace mv::ui {

// An editable list of the recently typed values of `list` (none without a configuration),
// showing `text`; its line takes at most maxChars characters.
inline QComboBox* HistoryField(const char* name, ConfigFile* config, HistoryList list, const std::string& text,
                               std::size_t maxChars) {
  auto* field = new QComboBox;
  field->setObjectName(QLatin1String(name));
  field->setEditable(true);
  field->setInsertPolicy(QComboBox::NoInsert);
  field->lineEdit()->setMaxLength(static_cast<int>(maxChars));
  if (config) {
    for (const std::string& value : History(*config, list)) field->addItem(ToQ(value));
  }
  field->setEditText(ToQ(text));
  return field;
}

inline QLineEdit* TextField(const char* name, const std::string& text, std::size_t maxChars) {
  auto* field = new QLineEdit(ToQ(text));
  field->setObjectName(QLatin1String(name));
  field->setMaxLength(static_cast<int>(maxChars));
  return field;
}

// A button that Enter does not press (Enter is the dialog's OK).
inline QPushButton* SideButton(const char* name, const QString& text) {
  auto* button = new QPushButton(text);
  button->setObjectName(QLatin1String(name));
  button->setAutoDefault(false);
  return button;
}

// OK (the default button, Enter) and Cancel (Escape).
inline QDialogButtonBox* EditorButtons(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->setObjectName(QStringLiteral("buttons"));
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("ОК"));
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

// The text a field holds, whatever kind of field it is.
inline std::string FieldText(const QComboBox* field) { return FromQ(field->currentText()); }
inline std::string FieldText(const QLineEdit* field) { return FromQ(field->text()); }

// Puts the focus on a field a refusal concerns, its text selected for typing over.
inline void FocusField(QWidget* field) {
  if (!field) return;
  field->setFocus(Qt::OtherFocusReason);
  if (auto* combo = qobject_cast<QComboBox*>(field); combo && combo->lineEdit()) combo->lineEdit()->selectAll();
  if (auto* line = qobject_cast<QLineEdit*>(field)) line->selectAll();
}

// Tab travels the widgets in the order given.
inline void ChainTabOrder(const std::vector<QWidget*>& widgets) {
  for (std::size_t i = 1; i < widgets.size(); ++i) QWidget::setTabOrder(widgets[i - 1], widgets[i]);
}

}  // namespace mv::ui
