#include "ui/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

namespace mv::ui {

std::string QtClipboard::Text() { return QGuiApplication::clipboard()->text().toStdString(); }

void QtClipboard::SetText(const std::string& text) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

void QtClipboard::SetPicture(const std::string& png) {
  QImage image;
  if (image.loadFromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()), "PNG")) {
    QGuiApplication::clipboard()->setImage(image);
  }
}

}  // namespace mv::ui
