#pragma once
// morvalen-cli: batch commands over the program's logic. Every command prints JSON on
// success; bad input gives a one-line message on the error stream and a non-zero exit code.

#include <iosfwd>
#include <string>
#include <vector>

namespace mv::cli {

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the command ran and failed (unreadable file, ...)
inline constexpr int kExitUsage = 2;   // the command line itself is wrong

// args excludes the program name.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace mv::cli
