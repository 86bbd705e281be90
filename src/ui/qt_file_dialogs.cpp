#include "ui/qt_file_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace mv::ui {
namespace {

std::optional<std::string> Run(const platform::FileDialogRequest& request,
                               QFileDialog::AcceptMode mode) {
  QFileDialog dialog(QApplication::activeWindow(), QString::fromStdString(request.title));
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                     : QFileDialog::AnyFile);
  if (!request.filter.empty()) dialog.setNameFilter(QString::fromStdString(request.filter));
  if (!request.folder.empty()) dialog.setDirectory(QString::fromStdString(request.folder));
  if (!request.fileName.empty()) dialog.selectFile(QString::fromStdString(request.fileName));
  // QFileDialog adds the suffix to a name typed without one, and does so before its own
  // overwrite check.
  if (mode == QFileDialog::AcceptSave) dialog.setDefaultSuffix(QString::fromStdString(request.defaultExt));

  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
  QString path = QDir::toNativeSeparators(files.front());
  // A platform dialog may hand back the bare typed name; the caller is promised the extension.
  if (mode == QFileDialog::AcceptSave && !request.defaultExt.empty() &&
      QFileInfo(path).suffix().isEmpty()) {
    path += QLatin1Char('.') + QString::fromStdString(request.defaultExt);
  }
  return path.toStdString();
}

}  // namespace

std::optional<std::string> QtFileDialogs::ChooseOpen(const platform::FileDialogRequest& request) {
  return Run(request, QFileDialog::AcceptOpen);
}

std::optional<std::string> QtFileDialogs::ChooseSave(const platform::FileDialogRequest& request) {
  return Run(request, QFileDialog::AcceptSave);
}

}  // namespace mv::ui
