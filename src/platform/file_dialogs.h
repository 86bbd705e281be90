#pragma once
// File-open and file-save dialogs.

#include <optional>
#include <string>

namespace mv::platform {

struct FileDialogRequest {
  std::string title;
  std::string filter;      // "Данные SPC (*.mvl);;Все файлы (*)"
  std::string folder;      // initial folder; empty = the dialog's own choice
  std::string fileName;    // proposed name
  std::string defaultExt;  // without the dot, added when the user types none
};

class IFileDialogs {
 public:
  virtual ~IFileDialogs() = default;
  // The chosen full path, or nothing when the user cancelled.
  virtual std::optional<std::string> ChooseOpen(const FileDialogRequest& request) = 0;
  // The save dialog confirms overwriting an existing file itself.
  virtual std::optional<std::string> ChooseSave(const FileDialogRequest& request) = 0;
};

}  // namespace mv::platform
