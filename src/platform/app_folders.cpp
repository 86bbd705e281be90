#include "platform/app_folders.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace mv::platform {
namespace fs = std::filesystem;

fs::path ProgramFolder() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) return fs::current_path(ec);
  return exe.parent_path();
}

fs::path AppFolder() {
  if (const char* home = std::getenv("MORVALEN_HOME"); home && *home) return fs::path(home);
  const fs::path program = ProgramFolder();
  if (!program.empty() && ::access(program.c_str(), W_OK) == 0) return program;
  fs::path base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
    base = xdg;
  } else if (const char* user = std::getenv("HOME"); user && *user) {
    base = fs::path(user) / ".local" / "share";
  } else {
    base = fs::temp_directory_path();
  }
  fs::path folder = base / "morvalen";
  std::error_code ec;
  fs::create_directories(folder, ec);  // a failure shows up when the first file is written
  return folder;
}

fs::path NativePath(std::string_view stored) {
  std::string text(stored);
  for (char& c : text) {
    if (c == '\\') c = '/';
  }
  return fs::path(text);
}

}  // namespace mv::platform
