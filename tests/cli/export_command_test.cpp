// morvalen-cli export.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli_run.h"
#include "core/numbers.h"
#include "spc/mef_reader.h"
#include "support/bytes.h"

namespace mv::cli {
namespace {

using test::Cli;
using test::CliRun;
using Json = nlohmann::json;

// Two blocks of two samples of two diameters; one value has more digits than its decimals.
class ExportCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    csv = folder.Path("t.csv");
    mvl = folder.Path("t.mvl");
    mef = folder.Path("t.mef");
    test::WriteFileBytes(csv,
                         "block;sample;date;time;note;Диаметр;Длина\n"
                         "Б1;1;01.03.2024;08:00;Первая;10.1;50\n"
                         "Б1;1;01.03.2024;08:00;;10.2;51\n"
                         "Б1;2;02.03.2024;10:31:15;;9.0;52\n"
                         "Б2;3;03.03.2024;16:30;;10.35;54.125\n");
    ASSERT_EQ(Cli({"create", mvl, "--from-csv", csv}).code, kExitOk);
  }
  // The commands of the file written.
  std::vector<MefCommand> Commands() const { return ReadMefCommands(SplitMefLines(test::ReadFileBytes(mef))); }
  test::TempFolder folder;
  std::string csv;
  std::string mvl;
  std::string mef;
};

TEST_F(ExportCommand, WritesEveryBlockAndReportsTheCounts) {
  const CliRun run = Cli({"export", mvl, "--mef", mef});
  ASSERT_EQ(run.code, kExitOk) << run.err;
  const Json j = Json::parse(run.out);
  EXPECT_EQ(j["size"].get<std::uint64_t>(), test::ReadFileBytes(mef).size());
  EXPECT_EQ(j["blocksWritten"], Json::parse("[1, 2]"));
  EXPECT_EQ(j["counts"], Json::parse(R"({"parameters": 2, "blocks": 2, "samples": 3, "points": 4, "values": 8})"));
  EXPECT_TRUE(j["changes"].empty());
  // Every value reads back as the text the table gave.
  std::vector<double> values;
  std::vector<std::string> times;
  for (const MefCommand& c : Commands()) {
    for (const MefPair& pair : c.pairs) {
      if (c.kind == MefCommandKind::AddPoint) values.push_back(*TypedNumberValue(pair.value));
      if (c.kind == MefCommandKind::AddSample && pair.key == "TIME") times.push_back(pair.value);
    }
  }
  EXPECT_EQ(values, (std::vector<double>{10.1, 50, 10.2, 51, 9.0, 52, 10.35, 54.125}));
  EXPECT_EQ(times, (std::vector<std::string>{"08:00", "10:31:15", "16:30"}));
}

TEST_F(ExportCommand, WritesTheListedBlocksInTheirOrder) {
  const CliRun run = Cli({"export", mvl, "--mef", mef, "--blocks", "2,1"});
  ASSERT_EQ(run.code, kExitOk) << run.err;
  std::vector<std::string> blocks;
  for (const MefCommand& c : Commands()) {
    if (c.kind == MefCommandKind::CreateBlock) blocks.push_back(*c.positional);
  }
  EXPECT_EQ(blocks, (std::vector<std::string>{"Б2", "Б1"}));
  EXPECT_EQ(Json::parse(run.out)["counts"]["samples"], 1 + 2);
}

TEST_F(ExportCommand, RefusesWhatItCannotDo) {
  const struct {
    std::vector<std::string> args;
    int code;
    const char* err;
  } kCases[] = {
      {{"export", mvl}, kExitUsage, "export: expected --mef OUT.mef\n"},
      {{"export", "--mef", "x.mef"}, kExitUsage, "export: expected FILE.mvl\n"},
      {{"export", mvl, "--mef", "x.mef", "--blocks", "3"}, kExitUsage,
       "export: --blocks expects block positions 1..2 separated by commas, each once, got '3'\n"},
      {{"export", mvl, "--mef", "x.mef", "--blocks", "1,1"}, kExitUsage,
       "export: --blocks expects block positions 1..2 separated by commas, each once, got '1,1'\n"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.err);
    const CliRun run = Cli(c.args);
    EXPECT_EQ(run.code, c.code);
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(run.out, "");
  }
  const std::string unwritable = folder.Path("missing/t.mef");
  const CliRun run = Cli({"export", mvl, "--mef", unwritable});
  EXPECT_EQ(run.code, kExitFailed);
  EXPECT_TRUE(run.err.starts_with("export: Сбой при записи файла " + unwritable)) << run.err;
  EXPECT_EQ(run.out, "");
}

}  // namespace
}  // namespace mv::cli
