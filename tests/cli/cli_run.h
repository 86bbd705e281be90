#pragma once
// Runs a batch command in the test's process and keeps what it printed.

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "support/bytes.h"

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

// Makes `mvl` with `create` from a table (written to `csv`) of five samples of two values of
// 1.7e308, whose sums overflow; returns create's exit code.
inline int CreateValuesNearTheDoubleLimit(const std::string& csv, const std::string& mvl) {
  std::string table = "sample;Диаметр\n";
  for (int s = 1; s <= 5; ++s) table += std::to_string(s) + ";1.7e308\n" + std::to_string(s) + ";1.7e308\n";
  WriteFileBytes(csv, table);
  return Cli({"create", mvl, "--from-csv", csv}).code;
}

}  // namespace mv::test
