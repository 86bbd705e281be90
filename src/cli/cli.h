#pragma once
// morvalen-cli: batch commands over the program's logic. Every command prints JSON on
// success; bad input gives a one-line message on the error stream and a non-zero exit code.

#include <iosfwd>
#include <string>
#include <vector>

namespace mv::cli {

// Exit codes.
inline constexpr int kExitOk = 0;
// Bad input of any kind ends with 2: a wrong command line, and a file or table the command
// cannot take (missing, unreadable, damaged, a bad cell). 1 stays free for failures of the
// program itself.
inline constexpr int kExitFailed = 2;  // the input could not be used
inline constexpr int kExitUsage = 2;   // the command line itself is wrong

// args excludes the program name.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace mv::cli
