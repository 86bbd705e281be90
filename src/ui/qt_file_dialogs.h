#pragma once
// File-open and file-save dialogs on QFileDialog.

#include "platform/file_dialogs.h"

namespace mv::ui {

class QtFileDialogs final : public platform::IFileDialogs {
 public:
  // Modal over the active window, starting in request.folder with request.fileName proposed.
  std::optional<std::string> ChooseOpen(const platform::FileDialogRequest& request) override;
  // A name typed without an extension gets "." + request.defaultExt before the dialog checks
  // whether the file exists, so the overwrite question is asked about the file really written.
  std::optional<std::string> ChooseSave(const platform::FileDialogRequest& request) override;
};

}  // namespace mv::ui
