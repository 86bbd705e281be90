#include "ui/qt_shell_open.h"

#include <QDesktopServices>
#include <QUrl>

namespace mv::ui {

bool QtShellOpen::Open(const std::string& path) {
  if (path.empty()) return false;
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace mv::ui
