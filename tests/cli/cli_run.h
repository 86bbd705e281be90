#pragma once
// Runs a batch command in the test's process and keeps what it printed.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
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

// The commands' JSON keeps the layout scripts have read from the start: what the JSON library
// prints of the same document, members in their order, two spaces a level, byte for byte.
inline void ExpectLibraryLayout(const std::string& out) {
  if (!out.starts_with('{')) return;  // --help, --version
  EXPECT_EQ(out, nlohmann::ordered_json::parse(out).dump(2) + "\n");
}

inline CliRun Cli(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int code = cli::RunCli(args, out, err);
  ExpectLibraryLayout(out.str());
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
