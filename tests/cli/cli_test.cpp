#include "cli/cli.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

#include "spc/gages.h"
#include "support/bytes.h"
#include "support/fake_platform.h"

namespace mv::cli {
namespace {

struct CliRun {
  int code;
  std::string out;
  std::string err;
};

CliRun Cli(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int code = RunCli(args, out, err);
  return {code, out.str(), err.str()};
}

TEST(Cli, VersionHelpAndBadCommands) {
  const CliRun version = Cli({"--version"});
  EXPECT_EQ(version.code, kExitOk);
  EXPECT_EQ(version.out, std::string("morvalen-cli ") + MV_VERSION + "\n");
  const CliRun help = Cli({"--help"});
  EXPECT_EQ(help.code, kExitOk);
  EXPECT_NE(help.out.find("gages <file.ggs>"), std::string::npos);
  EXPECT_EQ(Cli({}).code, kExitUsage);
  const CliRun unknown = Cli({"frobnicate"});
  EXPECT_EQ(unknown.code, kExitUsage);
  EXPECT_NE(unknown.err.find("unknown command 'frobnicate'"), std::string::npos);
  EXPECT_EQ(Cli({"gages"}).code, kExitUsage);
}

TEST(Cli, GagesPrintsTheListAsJson) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string path = dir.Path("gages.ggs");
  TGageSet list;
  ASSERT_TRUE(list.AddNew());
  list.Item(1)->name = "Микрометр";
  list.Item(1)->range.Set(2, 0.0, 25.0, std::nullopt);
  ASSERT_TRUE(list.SaveToFile(path, true));

  const CliRun run = Cli({"gages", path});
  ASSERT_EQ(run.code, kExitOk) << run.err;
  const auto json = nlohmann::json::parse(run.out);
  EXPECT_EQ(json["count"], 1);
  EXPECT_EQ(json["gauges"][0]["name"], "Микрометр");
  EXPECT_EQ(json["gauges"][0]["range"]["max"], 25.0);
  EXPECT_EQ(json["gauges"][0]["rangeText"], "от 0.00 до 25.00");

  test::WriteFileBytes(path, "<LST-GAG\x02");
  const CliRun damaged = Cli({"gages", path});
  EXPECT_EQ(damaged.code, kExitFailed);
  EXPECT_NE(damaged.err.find("Неверная версия формата списка (2 вместо 1)"), std::string::npos);
  EXPECT_EQ(Cli({"gages", dir.Path("missing.ggs")}).code, kExitFailed);
}

}  // namespace
}  // namespace mv::cli
