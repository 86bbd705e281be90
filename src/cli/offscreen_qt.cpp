#include "cli/offscreen_qt.h"

#include "platform/runtime_folder.h"

namespace mv::cli {

std::unique_ptr<QGuiApplication> StartOffscreenQt() {
  if (QGuiApplication::instance() != nullptr) return nullptr;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  platform::SettleRuntimeFolder();
  static int argc = 1;
  static char name[] = "morvalen-cli";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace mv::cli
