// morvalen-cli samples: the block window's operations on a data file.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli_run.h"
#include "spc/spc_file.h"
#include "support/bytes.h"

namespace mv::cli {
namespace {

using test::Cli;
using test::CliRun;
using Json = nlohmann::json;

// One block of four samples: 12 points (01.03.2024, note "Наладка", event "Смена 1"), then
// 2, 3 and 1 points on 01.03, 02.03 and 02.03. The value of each point is 10 + its number / 100.
class SamplesCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    csv = folder.Path("t.csv");
    mvl = folder.Path("t.mvl");
    out = folder.Path("out.mvl");
    std::string table = "sample;date;time;note;event;Диаметр\n";
    const struct {
      int sample;
      int points;
      const char* date;
      const char* note;
      const char* event;
    } kSamples[] = {{1, 12, "01.03.2024", "Наладка", "Смена 1"},
                    {2, 2, "01.03.2024", "", ""},
                    {3, 3, "02.03.2024", "вторая", ""},
                    {4, 1, "02.03.2024", "", ""}};
    int n = 0;
    for (const auto& s : kSamples) {
      for (int p = 1; p <= s.points; ++p) {
        table += std::to_string(s.sample) + ";" + s.date + ";08:00;" + s.note + ";" + s.event + ";10." +
                 std::to_string(10 + ++n) + "\n";
      }
    }
    test::WriteFileBytes(csv, table);
    ASSERT_EQ(Cli({"create", mvl, "--from-csv", csv}).code, kExitOk);
  }
  Json Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"samples", mvl, "--block", "1", "--out", out});
    const CliRun run = Cli(args);
    EXPECT_EQ(run.code, kExitOk) << run.err;
    EXPECT_EQ(run.err, "");
    return run.code == kExitOk ? Json::parse(run.out) : Json{};
  }
  static std::vector<int> Points(const Json& j) {
    std::vector<int> out;
    for (const Json& s : j["block"]["sampleList"]) out.push_back(s["points"].get<int>());
    return out;
  }
  // Rewrites the input file through the model.
  template <class Change>
  void ChangeFile(Change change) {
    SpcReadResult read = ReadSpcFile(mvl);
    ASSERT_TRUE(read.Ok()) << read.message;
    change(*read.dataset);
    std::string error;
    ASSERT_TRUE(WriteSpcFile(*read.dataset, mvl, error)) << error;
  }
  test::TempFolder folder;
  std::string csv;
  std::string mvl;
  std::string out;
};

TEST_F(SamplesCommand, SeparatingWritesTheResultAndWhatTheProgramSaid) {
  const Json j = Run({"--separate", "1", "--size", "5"});
  EXPECT_EQ(Points(j), (std::vector<int>{5, 5, 2, 2, 3, 1}));
  EXPECT_EQ(j["operation"]["name"], "separate");
  EXPECT_EQ(j["operation"]["size"], 5);
  EXPECT_EQ(j["questions"], Json::array({"Выборка #1 будет разделена на 3 выборки по 5 замеров.\r\nОбъем последней "
                                         "выборки - 2.\r\n\r\nРазделить выборку?"}));
  EXPECT_EQ(j["information"], Json::array({"Выборка #1 успешно разделена на 3 выборки"}));
  ASSERT_EQ(j["log"].size(), 3u);
  EXPECT_EQ(j["log"][0].get<std::string>().rfind("Start edit block #1 [Kind=Var", 0), 0u);
  EXPECT_EQ(j["log"][1], "Separate sample #1 (12 points) into 3 by 5 points");
  EXPECT_EQ(j["log"][2].get<std::string>().rfind("Finish edit block #1 [Kind=Var", 0), 0u);
  const Json& second = j["block"]["sampleList"][1];
  EXPECT_EQ(second["dateTime"], "01.03.2024 08:00");
  EXPECT_EQ(second["note"], "");  // only with --copy-note
  EXPECT_EQ(second["event"], "");
  EXPECT_EQ(second["active"], true);
  EXPECT_EQ(j["block"]["points"], 18);

  // The other commands read the file as saved: every point is kept.
  const CliRun info = Cli({"info", out});
  ASSERT_EQ(info.code, kExitOk) << info.err;
  const Json i = Json::parse(info.out);
  EXPECT_EQ(i["counts"]["samples"], 6);
  EXPECT_EQ(i["counts"]["points"], 18);
  const CliRun capability = Cli({"capability", out, "--param", "1"});
  ASSERT_EQ(capability.code, kExitOk) << capability.err;
  const Json c = Json::parse(capability.out);
  EXPECT_EQ(c["valueCount"], 18);
  EXPECT_EQ(c["samplesUsed"], 6);
  EXPECT_EQ(c["largestSampleSize"], 5);
  EXPECT_NEAR(c["maximum"].get<double>(), 10.28, 1e-9);
}

TEST_F(SamplesCommand, TheSizeComesFromTheOptionsAndIsKeptThere) {
  // A new file's separation size is 0, meaning 5.
  EXPECT_EQ(Points(Run({"--separate", "1", "--copy-note"})), (std::vector<int>{5, 5, 2, 2, 3, 1}));
  ChangeFile([](TDatasetSPC& ds) { ds.settings.separationOptions = {0, 0, 4, 0, 0, 0, 0, 0}; });
  const Json j = Run({"--separate", "1"});
  EXPECT_EQ(Points(j), (std::vector<int>{4, 4, 4, 2, 3, 1}));
  // The file the result went to keeps the size used and the copy-note choice.
  mvl = out;
  const Json again = Run({"--separate", "1", "--size", "2", "--copy-note"});
  EXPECT_EQ(again["block"]["sampleList"][1]["note"], "Наладка");
  const SpcReadResult read = ReadSpcFile(out);
  ASSERT_TRUE(read.Ok());
  const std::array<std::uint8_t, 8> kept = {1, 0, 2, 0, 0, 0, 0, 0};
  EXPECT_EQ(read.dataset->settings.separationOptions, kept);
}

TEST_F(SamplesCommand, DeletingExchangingAndMerging) {
  const struct {
    std::vector<std::string> args;
    std::vector<int> points;
    std::vector<std::string> log;  // between the block window's start and finish lines
    std::vector<std::string> information;
  } kCases[] = {
      {{"--delete", "2-3"}, {12, 1}, {"Del smp #2..3 in block #1"}, {}},
      {{"--delete", "4-4"}, {12, 2, 3}, {"Del smp #4 in block #1"}, {}},
      {{"--exchange", "1,4"}, {1, 2, 3, 12}, {"Exchange samples from pos 1 to 4"}, {}},
      {{"--merge", "2-4", "--all"},
       {12, 6},
       {"Glue samples start: 2-4 all2one", "Glue samples 2..4 (3 smp, 6 pnt)", "Glue samples finish: 2 total"},
       {"Выборки с 2 по 4 (3 шт) успешно объединены в одну"}},
      {{"--merge", "1-4", "--by", "2"},
       {14, 4},
       {"Glue samples start: 1-4 by 2", "Glue samples 1..2 (2 smp, 14 pnt)", "Glue samples 2..3 (2 smp, 4 pnt)",
        "Glue samples finish: 2 total"},
       {"Выборки успешно объединены по 2 в одну"}},
      {{"--merge", "1-4", "--dates", "--keep-notes"},
       {14, 4},
       {"Glue samples start: 1-4 by equal dates", "Glue samples 3..4 (2 smp, 4 pnt)", "Glue samples 1..2 (2 smp, 14 pnt)",
        "Glue samples finish: 2 total"},
       {"Успешно объединены выборки с одинаковыми датами, количество объединений - 2"}},
      {{"--merge", "2-3", "--dates", "--notes"},
       {12, 2, 3, 1},
       {"Glue samples start: 2-3 by equal dates&notes", "Glue samples finish: 4 total"},
       {"Выборки не объединялись, т.к. все они имеют разные даты"}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[1]);
    const Json j = Run(c.args);
    EXPECT_EQ(Points(j), c.points);
    std::vector<std::string> log = j["log"].get<std::vector<std::string>>();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(log.begin() + 1, log.end() - 1), c.log);
    EXPECT_EQ(j["information"].get<std::vector<std::string>>(), c.information);
    EXPECT_EQ(Json::parse(Cli({"info", out}).out)["counts"]["samples"], c.points.size());
  }
}

// Each refusal: the program's message on the error stream, exit 2, no file written.
TEST_F(SamplesCommand, RefusalsWriteNothing) {
  const struct {
    std::vector<std::string> args;
    void (*change)(TDatasetSPC&);
    const char* error;
  } kCases[] = {
      {{"--separate", "1", "--size", "12"}, nullptr, "samples: Объем новых выборок должен быть меньше текущего\n"},
      {{"--separate", "1", "--size", "x"}, nullptr, "samples: Объем новых выборок указан неверно\n"},
      {{"--merge", "1-4", "--by", "1"}, nullptr, "samples: Количество выборок для объединения указано неверно (2..200)\n"},
      {{"--merge", "1-4", "--by", "201"}, nullptr,
       "samples: Количество выборок для объединения указано неверно (2..200)\n"},
      {{"--delete", "1-1"}, [](TDatasetSPC& ds) { ds.blockEditingAllowed = false; },
       "samples: Редактирование блока запрещено, т.к. снят флаг \"Редактировать\"\n"},
      {{"--delete", "1-1"},
       [](TDatasetSPC& ds) {
         ds.passwordHash = 12345;
         ds.Block(1)->flags |= block_flag::kProtected;
       },
       "samples: Доступ к блоку \"Блок 1\" невозможен без указания пароля (только в режиме редактирования блока)\n"},
      {{"--delete", "1-1"},
       [](TDatasetSPC& ds) {
         ds.passwordHash = 12345;
         ds.Block(1)->flags |= block_flag::kProtected | block_flag::kProtectedView;
       },
       "samples: Доступ к блоку \"Блок 1\" невозможен без указания пароля\n"},
      {{"--merge", "1-2", "--all"},
       [](TDatasetSPC& ds) { ds.Block(1)->Sample(2)->AddPoints(189); },
       "samples: Невозможно объединить выборки с 1 по 2 (2 шт), т.к. их суммарный объем (203) превышает максимально "
       "возможный для одной выборки (200)\n"},
  };
  const std::string original = test::ReadFileBytes(mvl);
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.error);
    test::WriteFileBytes(mvl, original);
    if (c.change) ChangeFile(c.change);
    std::vector<std::string> args = {"samples", mvl, "--block", "1", "--out", out};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliRun run = Cli(args);
    EXPECT_EQ(run.code, kExitFailed);
    EXPECT_EQ(run.err, c.error);
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(std::filesystem::exists(out));
  }
  // A password asked when opening the file comes first.
  test::WriteFileBytes(mvl, original);
  ChangeFile([](TDatasetSPC& ds) {
    ds.passwordHash = 12345;
    ds.accessFlags |= access_flag::kPasswordOnOpen;
  });
  const CliRun run = Cli({"samples", mvl, "--block", "1", "--out", out, "--delete", "1-1"});
  EXPECT_EQ(run.code, kExitFailed);
  EXPECT_EQ(run.err, "samples: Доступ к файлу \"" + mvl + "\" невозможен без указания пароля\n");
}

TEST_F(SamplesCommand, CommandLineErrors) {
  const struct {
    std::vector<std::string> args;
    const char* error;
  } kCases[] = {
      {{"--delete", "1-2"}, "expected FILE.mvl --block N --out OUT.mvl and one of"},
      {{"--block", "1", "--out", "o.mvl", "--delete", "1-2", "--exchange", "1,2"}, "give one of --delete"},
      {{"--block", "1", "--out", "o.mvl", "--delete", "3-2"}, "--delete expects FROM-TO"},
      {{"--block", "1", "--out", "o.mvl", "--exchange", "2,2"}, "--exchange expects I,J"},
      {{"--block", "1", "--out", "o.mvl", "--merge", "1-2"}, "--merge needs one of --all, --by N, --dates"},
      {{"--block", "1", "--out", "o.mvl", "--merge", "1-2", "--all", "--dates"}, "give one of --all, --by, --dates"},
      {{"--block", "1", "--out", "o.mvl", "--merge", "1-2", "--all", "--notes"}, "--notes belongs to --dates"},
      {{"--block", "1", "--out", "o.mvl", "--delete", "1-2", "--size", "3"}, "--size and --copy-note belong to"},
      {{"--block", "1", "--out", "o.mvl", "--separate", "1", "--all"}, "--all, --by, --dates, --notes and"},
      {{"--block", "2", "--out", "o.mvl", "--delete", "1-1"}, "has 1 blocks, not block 2"},
      {{"--block", "1", "--out", "o.mvl", "--delete", "2-5"}, "--delete 2-5: block 1 has 4 samples"},
      {{"--block", "1", "--out", "o.mvl", "--separate", "5"}, "--separate 5: block 1 has 4 samples"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.error);
    std::vector<std::string> args = {"samples", mvl};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliRun run = Cli(args);
    EXPECT_EQ(run.code, kExitUsage);
    EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
  }
}

TEST_F(SamplesCommand, TheOutputMayBeTheInput) {
  out = mvl;
  EXPECT_EQ(Points(Run({"--delete", "1-1"})), (std::vector<int>{2, 3, 1}));
  EXPECT_EQ(Json::parse(Cli({"info", mvl}).out)["counts"]["points"], 6);
}

}  // namespace
}  // namespace mv::cli
