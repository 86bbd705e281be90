#include "ui/qt_prompts.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/messages.h"
#include "app/password.h"

namespace mv::ui {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Line breaks of the system's texts (CR LF) as Qt shows them.
QString Lines(const std::string& text) { return Q(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

QLineEdit* PasswordEdit(QWidget* parent, const char* name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QLatin1String(name));
  edit->setEchoMode(QLineEdit::Password);
  edit->setMaxLength(static_cast<int>(kPasswordMax));
  return edit;
}

}  // namespace

int QtPrompts::Choose(const platform::ChoiceRequest& request) {
  QMessageBox box(QMessageBox::Question, Q(request.caption), Lines(request.text), QMessageBox::NoButton,
                  QApplication::activeWindow());
  box.setObjectName(QStringLiteral("frmChoice"));
  std::vector<QPushButton*> buttons;
  for (std::size_t i = 0; i < request.buttons.size(); ++i) {
    const auto role = static_cast<int>(i) == request.cancelButton ? QMessageBox::RejectRole : QMessageBox::ActionRole;
    QPushButton* button = box.addButton(Q(request.buttons[i]), role);
    button->setObjectName(QStringLiteral("btnChoice%1").arg(i));
    buttons.push_back(button);
  }
  if (request.defaultButton >= 0 && static_cast<std::size_t>(request.defaultButton) < buttons.size()) {
    box.setDefaultButton(buttons[static_cast<std::size_t>(request.defaultButton)]);
  }
  if (request.cancelButton >= 0 && static_cast<std::size_t>(request.cancelButton) < buttons.size()) {
    box.setEscapeButton(buttons[static_cast<std::size_t>(request.cancelButton)]);
  }
  box.exec();
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    if (box.clickedButton() == buttons[i]) return static_cast<int>(i);
  }
  return request.cancelButton;
}

bool QtPrompts::AskPassword(const platform::PasswordRequest& request) {
  QDialog dialog(QApplication::activeWindow());
  dialog.setObjectName(QStringLiteral("frmPassword"));
  dialog.setWindowTitle(Q(request.caption));
  auto* layout = new QVBoxLayout(&dialog);
  auto* text = new QLabel(Lines(request.text), &dialog);
  text->setWordWrap(true);
  layout->addWidget(text);
  QLineEdit* edit = PasswordEdit(&dialog, "edtPassword");
  layout->addWidget(edit);
  auto* note = new QLabel(Lines(request.note), &dialog);
  note->setWordWrap(true);
  note->setEnabled(false);
  layout->addWidget(note);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    // A wrong password is told by the check; the prompt stays for another try.
    if (request.check(edit->text().toStdString())) {
      dialog.accept();
    } else {
      edit->selectAll();
      edit->setFocus();
    }
  });
  dialog.setMinimumWidth(380);
  return dialog.exec() == QDialog::Accepted;
}

bool QtPrompts::SetPassword(const platform::SetPasswordRequest& request) {
  QDialog dialog(QApplication::activeWindow());
  dialog.setObjectName(QStringLiteral("frmSetPassword"));
  dialog.setWindowTitle(Q(request.caption));
  auto* layout = new QVBoxLayout(&dialog);
  auto* form = new QFormLayout;
  QLineEdit* entry = PasswordEdit(&dialog, "edtNewPassword");
  QLineEdit* repeat = PasswordEdit(&dialog, "edtRepeatPassword");
  form->addRow(QStringLiteral("Новый пароль:"), entry);
  form->addRow(QStringLiteral("Повтор:"), repeat);
  layout->addLayout(form);
  auto* note = new QLabel(Lines(request.note), &dialog);
  note->setEnabled(false);
  layout->addWidget(note);
  auto* buttons = new QDialogButtonBox(&dialog);
  QPushButton* set = buttons->addButton(QStringLiteral("Установить"), QDialogButtonBox::AcceptRole);
  set->setObjectName(QStringLiteral("btnSet"));
  set->setDefault(true);
  if (request.passwordExists) {
    QPushButton* reset = buttons->addButton(QStringLiteral("Сбросить"), QDialogButtonBox::ResetRole);
    reset->setObjectName(QStringLiteral("btnReset"));
    QObject::connect(reset, &QPushButton::clicked, &dialog, [&] {
      if (request.reset()) dialog.accept();
    });
  }
  buttons->addButton(QDialogButtonBox::Cancel);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(set, &QPushButton::clicked, &dialog, [&] {
    const std::string message = request.set(entry->text().toStdString(), repeat->text().toStdString());
    if (message.empty()) {
      dialog.accept();
      return;
    }
    ShowError(message, 0, std::string(kNoLogTag));
    entry->setFocus();
  });
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace mv::ui
