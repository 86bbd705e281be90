// morvalen-cli filter, and the stored filter in chart and capability.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli_run.h"
#include "support/bytes.h"

namespace mv::cli {
namespace {

using test::Cli;
using test::CliRun;
using Json = nlohmann::json;

// Three samples of two diameters with notes and events; sample 2 is "Брак партии".
class FilterCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    csv = folder.Path("t.csv");
    mvl = folder.Path("t.mvl");
    test::WriteFileBytes(csv,
                         "sample;date;time;note;event;Диаметр;Длина\n"
                         "1;01.03.2024;08:00;Первая;Смена 1;10.1;50\n"
                         "1;01.03.2024;08:00;не берётся;;10.2;51\n"
                         "2;02.03.2024;10:31;Брак партии;Смена 2;9.0;52\n"
                         "2;02.03.2024;10:31;;;9.1;53\n"
                         "3;03.03.2024;16:30;;Смена 1;10.3;54\n"
                         "3;03.03.2024;16:30;;;10.4;55\n");
    ASSERT_EQ(Cli({"create", mvl, "--from-csv", csv}).code, kExitOk);
  }
  Json Run(const std::vector<std::string>& args) {
    const CliRun run = Cli(args);
    EXPECT_EQ(run.code, kExitOk) << run.err;
    EXPECT_EQ(run.err, "");
    return run.code == kExitOk ? Json::parse(run.out) : Json{};
  }
  test::TempFolder folder;
  std::string csv;
  std::string mvl;
};

TEST_F(FilterCommand, ANewFileHasTwoDefaultFiltersAndCreateKeepsNotesAndEvents) {
  const Json j = Run({"filter", mvl});
  ASSERT_EQ(j["filters"].size(), 2u);
  for (const Json& f : j["filters"]) {
    EXPECT_TRUE(f["active"].get<bool>());
    EXPECT_FALSE(f["inForce"].get<bool>());
    EXPECT_TRUE(f["conditions"].empty());
  }
  EXPECT_EQ(j["filters"][0]["blocks"][0]["pointsMeeting"], 6);
  // The texts came from the sample's first row.
  const Json notes = Run({"filter", mvl, "--kind", "var", "--out", mvl, "--condition", "note|=|Первая"});
  EXPECT_EQ(notes["filters"][0]["blocks"][0]["samplesMeeting"], 1);
  const Json events = Run({"filter", mvl, "--kind", "var", "--out", mvl, "--condition", "Событие|@|смена 1"});
  EXPECT_EQ(events["filters"][0]["blocks"][0]["samplesMeeting"], 2);
  const Json cased = Run({"filter", mvl, "--kind", "var", "--out", mvl, "--condition", "event|@|смена 1", "--case"});
  EXPECT_EQ(cased["filters"][0]["blocks"][0]["samplesMeeting"], 0);
}

TEST_F(FilterCommand, WritesACopyThatChartAndCapabilityHonour) {
  const std::string out = folder.Path("f.mvl");
  const Json j = Run({"filter", mvl, "--kind", "var", "--out", out, "--name", "  Без брака  ", "--condition",
                      "note|!&|брак", "--condition", "Диаметр|..|9..10,35", "--condition", "time|=|10:31",
                      "--inactive"});
  const Json& f = j["filters"][0];
  EXPECT_EQ(f["name"], "Без брака");
  EXPECT_EQ(f["description"], "act=Y, name=\"Без брака\", #cond=3, #actcond=2");
  EXPECT_EQ(f["conditions"][1]["propertyText"], "Параметр - Диаметр");
  EXPECT_EQ(f["conditions"][1]["parameterPosition"], 1);
  EXPECT_EQ(f["conditions"][1]["symbol"], "..");
  EXPECT_EQ(f["conditions"][1]["conditionName"], "В интервале");
  EXPECT_EQ(f["conditions"][1]["values"], Json::parse("[9.0, 10.35]"));
  EXPECT_EQ(f["conditions"][2]["active"], false);
  // Sample 2 fails on its note; 10.4 is outside the interval.
  EXPECT_EQ(f["blocks"][0]["samplesMeeting"], 2);
  EXPECT_EQ(f["blocks"][0]["pointsMeeting"], 3);
  EXPECT_TRUE(std::filesystem::exists(out));
  EXPECT_FALSE(Run({"filter", mvl})["filters"][0]["inForce"].get<bool>());  // the source is as it was

  const Json cap = Run({"capability", out, "--param", "1"});
  EXPECT_EQ(cap["valueCount"], 3);
  EXPECT_EQ(cap["filter"], Json::parse(R"({"inForce": true, "applied": true, "name": "Без брака",
                                          "description": "act=Y, name=\"Без брака\", #cond=3, #actcond=2"})"));
  const Json all = Run({"capability", out, "--param", "1", "--no-filter"});
  EXPECT_EQ(all["valueCount"], 6);
  EXPECT_EQ(all["filter"]["applied"], false);
  const Json chart = Run({"chart", out, "--param", "Диаметр", "--kind", "x"});
  int filtered = 0;
  for (const Json& p : chart["charts"][0]["points"]) {
    for (const Json& flag : p["entryFlags"]) filtered += flag == "filtered" ? 1 : 0;
  }
  EXPECT_EQ(filtered, 3);
  const Json unfiltered = Run({"chart", out, "--param", "Диаметр", "--kind", "x", "--no-filter"});
  EXPECT_EQ(unfiltered["charts"][0]["statistics"], Run({"chart", mvl, "--param", "1", "--kind", "x"})["charts"][0]["statistics"]);

  // Off, then on again: the same marks; --clear removes the conditions.
  EXPECT_EQ(Run({"filter", out, "--kind", "var", "--out", out, "--off"})["filters"][0]["blocks"][0]["pointsMeeting"], 6);
  EXPECT_EQ(Run({"filter", out, "--kind", "var", "--out", out, "--on"})["filters"][0]["blocks"][0]["pointsMeeting"], 3);
  EXPECT_TRUE(Run({"filter", out, "--kind", "var", "--out", out, "--clear"})["filters"][0]["conditions"].empty());
}

TEST_F(FilterCommand, RefusalsSayWhyAndWriteNothing) {
  const std::string out = folder.Path("never.mvl");
  const struct {
    std::vector<std::string> args;
    const char* err;
  } kCases[] = {
      {{"--condition", "Диаметр|..|5..3"}, "filter: Второе значение в интервале должно быть больше первого\n"},
      {{"--condition", "Диаметр|..|5.."}, "filter: Неверно указан интервал значений (x1..x2)\n"},
      {{"--condition", "date|=|32.01.2024"},
       "filter: Указанное значение (32.01.2024) не соответствует формату даты (31.12.2021)\n"},
      {{"--condition", "Длина|&|5"}, "filter: Данный тип условия неприменим к выбранному свойству\n"},
      {{"--condition", "note|=|"}, "filter: Не указано значение для проверки условия\n"},
      {{"--condition", "note|~|a"},
       "filter: --condition: '~' is no condition (=, <>, >, >=, <, <=, .., &, !&, @, !@, #, !# or its number 1..13)\n"},
      {{"--condition", "Вес|=|1"},
       "filter: the file has no parameter of количественных данных 'Вес' (date, time, note, event, or a "
       "parameter's name, short name or position)\n"},
      {{"--condition", "note=a"}, "filter: --condition expects 'PROPERTY|SYMBOL|VALUE', got 'note=a'\n"},
      {{"--case", "--condition", "note|=|a"}, "filter: --case applies to the --condition before it\n"},
      {{"--off", "--on"}, "filter: --off and --on exclude each other\n"},
      {{"--condition", "note|#|", "--condition", "note|#|", "--condition", "note|#|", "--condition", "note|#|",
        "--condition", "note|#|", "--condition", "note|#|"},
       "filter: a filter holds at most 5 conditions\n"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.err);
    std::vector<std::string> args = {"filter", mvl, "--kind", "var", "--out", out};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliRun run = Cli(args);
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(std::filesystem::exists(out));
  }
  const CliRun noOut = Cli({"filter", mvl, "--kind", "var", "--off"});
  EXPECT_EQ(noOut.code, 2);
  EXPECT_EQ(noOut.err, "filter: changing a filter needs --kind var|attr and --out OUT.mvl\n");
  // "Пустое" takes no value: one typed is dropped.
  const Json empty = Run({"filter", mvl, "--kind", "var", "--out", out, "--condition", "Диаметр|12|5"});
  EXPECT_EQ(empty["filters"][0]["conditions"][0]["text"], "");
}

}  // namespace
}  // namespace mv::cli
