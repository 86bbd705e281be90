#include "ui/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace mv::ui {

std::string QtClipboard::Text() { return QGuiApplication::clipboard()->text().toStdString(); }

void QtClipboard::SetText(const std::string& text) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

}  // namespace mv::ui
