#pragma once
// The per-user runtime folder, where the instance socket lives. Every instance of one user
// must find the same folder, and nobody else may enter it: $XDG_RUNTIME_DIR when it is usable,
// else a folder of the program's own in /tmp, "morvalen-runtime-" + the user's number. The
// start script (scripts/common.sh) makes the same choice.

#include <string>
#include <string_view>

#include <sys/types.h>

namespace mv::platform {

// Whether path is a folder the user may keep sockets in: a folder owned by uid that the user
// can write and nobody else can enter (no access for group or others). A symbolic link is
// taken only with followLinks.
bool PrivateFolder(const std::string& path, uid_t uid, bool followLinks);

// The runtime folder: runtimeDir when it is a PrivateFolder (links followed: the session set
// it), else fallbackRoot + "/morvalen-runtime-" + uid, made with mode 0700 when missing and
// taken only when it is a PrivateFolder and no link (anyone can put a link or a folder of
// their own under that name in /tmp first). Empty when neither can be used.
std::string UserRuntimeFolder(std::string_view runtimeDir, const std::string& fallbackRoot, uid_t uid);

// The same for this process ($XDG_RUNTIME_DIR, "/tmp", the effective user); when the result
// is not $XDG_RUNTIME_DIR, the variable is set to it, so that the toolkit uses it too.
std::string SettleRuntimeFolder();

}  // namespace mv::platform
