#include "platform/runtime_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace mv::platform {

bool PrivateFolder(const std::string& path, uid_t uid, bool followLinks) {
  if (path.empty() || path.front() != '/') return false;
  struct stat info {};
  if ((followLinks ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info)) != 0) return false;
  if (!S_ISDIR(info.st_mode) || info.st_uid != uid || (info.st_mode & 077) != 0) return false;
  return ::access(path.c_str(), W_OK | X_OK) == 0;
}

std::string UserRuntimeFolder(std::string_view runtimeDir, const std::string& fallbackRoot, uid_t uid) {
  const std::string session(runtimeDir);
  if (PrivateFolder(session, uid, true)) return session;
  std::string own = fallbackRoot;
  while (own.size() > 1 && own.back() == '/') own.pop_back();
  own += "/morvalen-runtime-" + std::to_string(uid);
  // mkdir never follows a link in the last component, and an existing entry is checked below.
  if (::mkdir(own.c_str(), 0700) != 0 && errno != EEXIST) return {};
  return PrivateFolder(own, uid, false) ? own : std::string();
}

std::string SettleRuntimeFolder() {
  const char* set = std::getenv("XDG_RUNTIME_DIR");
  const std::string session = set != nullptr ? set : "";
  const std::string folder = UserRuntimeFolder(session, "/tmp", ::geteuid());
  if (!folder.empty() && folder != session) ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
  return folder;
}

}  // namespace mv::platform
