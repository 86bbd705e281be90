#pragma once
// "Open with the registered program" through QDesktopServices (xdg-open on Linux desktops).

#include "platform/shell_open.h"

namespace mv::ui {

class QtShellOpen final : public platform::IShellOpen {
 public:
  // path: a local file or folder. False when no program could be started for it.
  bool Open(const std::string& path) override;
};

}  // namespace mv::ui
