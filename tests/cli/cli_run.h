#pragma once
// Runs a batch command in the test's process and keeps what it printed.

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace mv::test {

struct CliRun {
  int code;
  std::string out;
  std::string err;
};

inline CliRun Cli(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int code = cli::RunCli(args, out, err);
  return {code, out.str(), err.str()};
}

}  // namespace mv::test
