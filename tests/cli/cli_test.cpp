#include "cli/cli.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <new>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli_run.h"
#include "core/date_time.h"
#include "spc/gages.h"
#include "spc/sample.h"
#include "spc/spc_file.h"
#include "support/bytes.h"
#include "support/fake_platform.h"

namespace mv::cli {
namespace {

// While not 0, every allocation of more bytes fails, as it would under a memory limit.
std::size_t g_allocationLimit = 0;

class AllocationLimit {
 public:
  explicit AllocationLimit(std::size_t bytes) { g_allocationLimit = bytes; }
  ~AllocationLimit() { g_allocationLimit = 0; }
  AllocationLimit(const AllocationLimit&) = delete;
  AllocationLimit& operator=(const AllocationLimit&) = delete;
};

}  // namespace
}  // namespace mv::cli

// The allocation functions of this test program, with the limit. Every replaced function
// allocates and frees with malloc, so the pairs match whatever the compiler inlines.
void* operator new(std::size_t size) {
  if (mv::cli::g_allocationLimit != 0 && size > mv::cli::g_allocationLimit) throw std::bad_alloc();
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"  // it takes our new for the library's
#endif
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace mv::cli {
namespace {

using test::Cli;
using test::CliRun;

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

TEST(Cli, EveryCommandPrintsItsOwnUsageOnHelp) {
  const struct {
    std::string command;
    std::string usage;  // the start of its usage line
  } kCommands[] = {
      {"gages", "gages <file.ggs>"},
      {"info", "info <file.mvl>"},
      {"create", "create <out.mvl> --from-csv <in.csv>"},
      {"capability", "capability <file.mvl> --param"},
      {"quality", "quality --ppm Q"},
      {"chart", "chart <file.mvl> --param"},
      {"filter", "filter <file.mvl>"},
  };
  for (const auto& c : kCommands) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {c.command, "--help"}, {c.command, "-h"}, {c.command, "missing.mvl", "--bogus", "-h"}}) {
      SCOPED_TRACE(args.back() + " " + c.command + " " + std::to_string(args.size()));
      const CliRun run = Cli(args);
      EXPECT_EQ(run.code, kExitOk);
      EXPECT_EQ(run.err, "");
      EXPECT_TRUE(run.out.starts_with("Usage: morvalen-cli " + c.usage)) << run.out;
      // Its own usage only: no other command's line.
      for (const auto& other : kCommands) {
        if (other.command != c.command) {
          EXPECT_EQ(run.out.find(other.usage), std::string::npos) << other.command;
        }
      }
    }
  }
}

TEST(Cli, GagesPrintsTheListAsJson) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string path = dir.Path("gages.ggs");
  TGageSet list;
  ASSERT_TRUE(list.AddNew());
  list.Item(1)->name = "Микрометр";
  list.Item(1)->range.Set(2, 0.0, 25.0, std::nullopt);
  list.Item(1)->unit = "мм";
  ASSERT_TRUE(list.SaveToFile(path, true));

  const CliRun run = Cli({"gages", path});
  ASSERT_EQ(run.code, kExitOk) << run.err;
  const auto json = nlohmann::json::parse(run.out);
  EXPECT_EQ(json["count"], 1);
  EXPECT_EQ(json["gauges"][0]["name"], "Микрометр");
  EXPECT_EQ(json["gauges"][0]["range"]["max"], 25.0);
  EXPECT_EQ(json["gauges"][0]["rangeText"], "от 0.00 до 25.00");
  EXPECT_EQ(json["gauges"][0]["measuringRange"], "от 0.00 до 25.00 мм");

  test::WriteFileBytes(path, "<LST-GAG\x02");
  const CliRun damaged = Cli({"gages", path});
  EXPECT_EQ(damaged.code, kExitFailed);
  EXPECT_NE(damaged.err.find("Неверная версия формата списка (2 вместо 1)"), std::string::npos);
  EXPECT_EQ(Cli({"gages", dir.Path("missing.ggs")}).code, kExitFailed);
}

// Names of the files in a folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(Cli, CreateFromCsvThenInfoDescribesTheFile) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string csv = dir.Path("shaft.csv");
  const std::string mvl = dir.Path("shaft.mvl");
  test::WriteFileBytes(csv,
                       "\xEF\xBB\xBF"
                       "block;sample;date;time;Диаметр;Длина\r\n"
                       "До наладки;1;04.03.2024;08:00;19,995;120,10\r\n"
                       "До наладки;1;;;19,998;120,05\r\n"
                       "До наладки;2;04.03.2024;09:00;19,990;\r\n"
                       "После наладки;1;05.03.2024;08:00;19,999;119,95\r\n");
  const CliRun create =
      Cli({"create", mvl, "--from-csv", csv, "--process", "Вал 20h6", "--tolerance", "Диаметр=19,987:20:20",
           "--tolerance", "Длина=:120.2", "--decimals", "Длина=1", "--unit", "Диаметр=мм"});
  ASSERT_EQ(create.code, kExitOk) << create.err;
  EXPECT_EQ(nlohmann::json::parse(create.out),
            nlohmann::json({{"file", mvl}, {"parameters", 2}, {"blocks", 2}, {"samples", 3}, {"points", 4}}));

  const CliRun info = Cli({"info", mvl});
  ASSERT_EQ(info.code, kExitOk) << info.err;
  const auto json = nlohmann::json::parse(info.out);
  EXPECT_EQ(json["process"]["name"], "Вал 20h6");
  EXPECT_EQ(json["example"], false);
  EXPECT_EQ(json["counts"], nlohmann::json({{"parameters", 2},
                                            {"varParameters", 2},
                                            {"attrParameters", 0},
                                            {"blocks", 2},
                                            {"samples", 3},
                                            {"points", 4}}));
  const auto& diameter = json["parameters"][0];
  EXPECT_EQ(diameter["name"], "Диаметр");
  EXPECT_EQ(diameter["kind"], "Var");
  EXPECT_EQ(diameter["unit"], "мм");
  EXPECT_EQ(diameter["decimals"], 3);
  EXPECT_EQ(diameter["tolerance"], nlohmann::json({{"lsl", 19.987}, {"usl", 20.0}, {"nominal", 20.0}}));
  EXPECT_EQ(diameter["flagsHex"], "0047h");  // LSL, USL, nominal and "no skipping"
  EXPECT_EQ(diameter["flags"], 0x47);
  const auto& length = json["parameters"][1];
  EXPECT_EQ(length["decimals"], 1);
  EXPECT_EQ(length["tolerance"], nlohmann::json({{"lsl", nullptr}, {"usl", 120.2}, {"nominal", nullptr}}));
  EXPECT_EQ(length["dataLimits"]["min"], nullptr);
  EXPECT_EQ(length["regulationLimits"]["url"], nullptr);
  const auto& first = json["blocks"][0];
  EXPECT_EQ(first["id"], 1);
  EXPECT_EQ(first["name"], "До наладки");
  EXPECT_EQ(first["kind"], "Var");
  EXPECT_EQ(first["samples"], 2);
  EXPECT_EQ(first["points"], 3);
  EXPECT_EQ(first["activeSamples"], 2);
  EXPECT_EQ(first["period"], "04.03.2024 08:00-09:00");
  EXPECT_EQ(json["blocks"][1]["id"], 2);
  EXPECT_EQ(json["blocks"][1]["name"], "После наладки");

  // Alternative data, marked as an example.
  test::WriteFileBytes(csv, "date,size,Дефекты\n01.03.2024,50,3\n02.03.2024,50,0\n");
  const CliRun attr =
      Cli({"create", mvl, "--from-csv", csv, "--attribute", "Дефекты=nonconf", "--example", "--overwrite"});
  ASSERT_EQ(attr.code, kExitOk) << attr.err;
  const auto attrJson = nlohmann::json::parse(Cli({"info", mvl}).out);
  EXPECT_EQ(attrJson["example"], true);
  EXPECT_EQ(attrJson["parameters"][0]["kind"], "Attr");
  EXPECT_EQ(attrJson["parameters"][0]["attrType"], "nonconf");
  EXPECT_EQ(attrJson["parameters"][0]["flagsHex"], "1040h");
  EXPECT_EQ(attrJson["blocks"][0]["kind"], "Attr");
  EXPECT_EQ(attrJson["blocks"][0]["samples"], 2);
}

TEST(Cli, CreateFailuresSayWhyAndLeaveNoFile) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string good = dir.Path("good.csv");
  const std::string bad = dir.Path("bad.csv");
  test::WriteFileBytes(good, "sample;Длина\n1;120,1\n");
  test::WriteFileBytes(bad, "sample;Длина\n1;120,1\n1;abc\n");
  const std::string out = dir.Path("out.mvl");
  const struct {
    std::vector<std::string> args;
    int code;
    std::string err;
  } kCases[] = {
      {{"--from-csv", good, "--bogus"}, kExitUsage, "create: unknown option '--bogus' (see --help)"},
      {{"--from-csv", good, "extra"}, kExitUsage, "create: unexpected argument 'extra'"},
      {{}, kExitUsage, "create: expected OUT.mvl --from-csv IN.csv"},
      {{"--from-csv", good, "--block"}, kExitUsage, "create: --block needs a value"},
      {{"--from-csv", good, "--from-csv", good}, kExitUsage, "create: --from-csv given twice"},
      {{"--from-csv", good, "--tolerance", "Длина=1"},
       kExitUsage,
       "create: --tolerance expects NAME=LSL:USL[:NOMINAL], got 'Длина=1'"},
      {{"--from-csv", good, "--tolerance", "Длина=1:x"},
       kExitUsage,
       "create: --tolerance expects NAME=LSL:USL[:NOMINAL], got 'Длина=1:x'"},
      {{"--from-csv", good, "--decimals", "Длина=6"},
       kExitUsage,
       "create: --decimals expects NAME=N with N from 0 to 5, got 'Длина=6'"},
      {{"--from-csv", good, "--attribute", "Длина=many"},
       kExitUsage,
       "create: --attribute expects NAME=units|nonconf, got 'Длина=many'"},
      {{"--from-csv", dir.Path("missing.csv")},
       kExitFailed,
       "create: cannot read " + dir.Path("missing.csv") + " (missing or not a file)"},
      {{"--from-csv", dir.path()}, kExitFailed, "create: cannot read " + dir.path() + " (missing or not a file)"},
      {{"--from-csv", bad}, kExitFailed, "create: " + bad + ": Строка 3, столбец «Длина»: «abc» - не число"},
      {{"--from-csv", good, "--tolerance", "Длина=2:1"},
       kExitFailed,
       "create: " + good + ": Допуск «Длина»: верхняя граница 1 не больше нижней 2"},
      {{"--from-csv", good, "--tolerance", "Ширина=1:2"},
       kExitFailed,
       "create: " + good + ": Допуск задан для столбца «Ширина», которого в таблице нет"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.err);
    std::vector<std::string> args = {"create"};
    if (!c.args.empty()) args.push_back(out);
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliRun run = Cli(args);
    EXPECT_EQ(run.code, c.code);
    EXPECT_EQ(run.err, c.err + "\n");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(FilesIn(dir.path()), (std::vector<std::string>{"bad.csv", "good.csv"}));  // nothing left behind
  }

  // A file already there stays as it was when the table is bad.
  test::WriteFileBytes(out, "keep");
  EXPECT_EQ(Cli({"create", out, "--from-csv", bad, "--overwrite"}).code, kExitFailed);
  EXPECT_EQ(test::ReadFileBytes(out), "keep");
}

TEST(Cli, CreateReplacesAFileOnlyWhenAskedAndNeverItsTable) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string csv = dir.Path("t.csv");
  const std::string table = "x\n1\n2\n";
  test::WriteFileBytes(csv, table);
  const std::string out = dir.Path("t.mvl");
  test::WriteFileBytes(out, "keep");
  const std::string link = dir.Path("link.csv");
  std::filesystem::create_symlink(csv, link);
  const std::string dangling = dir.Path("dangling.mvl");
  std::filesystem::create_symlink(dir.Path("nowhere.mvl"), dangling);
  const std::string exists = " already exists (--overwrite replaces it)";
  const std::string itself = " is the table itself: give another name for the data file";
  const struct {
    std::vector<std::string> args;
    std::string err;
  } kCases[] = {
      {{"create", out, "--from-csv", csv}, "create: " + out + exists},
      {{"create", dangling, "--from-csv", csv}, "create: " + dangling + exists},
      {{"create", csv, "--from-csv", csv, "--overwrite"}, "create: " + csv + itself},
      {{"create", dir.path() + "/./t.csv", "--from-csv", csv, "--overwrite"},
       "create: " + dir.path() + "/./t.csv" + itself},
      {{"create", link, "--from-csv", csv, "--overwrite"}, "create: " + link + itself},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.err);
    const CliRun run = Cli(c.args);
    EXPECT_EQ(run.code, kExitFailed);
    EXPECT_EQ(run.err, c.err + "\n");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(test::ReadFileBytes(out), "keep");
    EXPECT_EQ(test::ReadFileBytes(csv), table);
  }
  const CliRun replaced = Cli({"create", out, "--from-csv", csv, "--overwrite"});
  ASSERT_EQ(replaced.code, kExitOk) << replaced.err;
  EXPECT_EQ(nlohmann::json::parse(Cli({"info", out}).out)["counts"]["points"], 2);
}

TEST(Cli, IndividualValuesFormOneSampleWhoseCapabilityAgreesWithTheXChart) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string csv = dir.Path("x.csv");
  const std::string mvl = dir.Path("x.mvl");
  // 40 values wandering about 10 in steps of a few hundredths.
  std::string table = "Толщина\n";
  for (int i = 0; i < 40; ++i) table += "10.0" + std::to_string((i * 7) % 10) + "\n";
  test::WriteFileBytes(csv, table);
  const CliRun create = Cli({"create", mvl, "--from-csv", csv, "--individual", "--tolerance", "Толщина=9.9:10.1:10"});
  ASSERT_EQ(create.code, kExitOk) << create.err;
  EXPECT_EQ(nlohmann::json::parse(create.out)["samples"], 1);
  const auto info = nlohmann::json::parse(Cli({"info", mvl}).out);
  EXPECT_EQ(info["blocks"][0]["samplingMode"], 1);
  EXPECT_EQ(info["blocks"][0]["points"], 40);

  const CliRun capability = Cli({"capability", mvl, "--param", "1"});
  ASSERT_EQ(capability.code, kExitOk) << capability.err;
  const auto cap = nlohmann::json::parse(capability.out);
  const CliRun chart = Cli({"chart", mvl, "--param", "1", "--kind", "x-MR"});
  ASSERT_EQ(chart.code, kExitOk) << chart.err;
  const auto x = nlohmann::json::parse(chart.out)["charts"][0];
  EXPECT_EQ(x["pointCount"], 40);
  const double sigma = x["movingRanges"]["sigmaWithin"].get<double>();
  EXPECT_GT(sigma, 0.01);
  EXPECT_NEAR(cap["sigmaWithin"].get<double>(), sigma, 1e-12);
  for (const char* index : {"cp", "cpk"}) {
    SCOPED_TRACE(index);
    EXPECT_EQ(cap["capability"][index]["status"], 1);
  }
  EXPECT_NEAR(cap["capability"]["cp"]["value"].get<double>(), 0.2 / (6 * sigma), 1e-9);

  // Several samples: the chart still runs point by point across them.
  const CliRun split = Cli({"create", mvl, "--from-csv", csv, "--individual", "--sample-size", "15", "--overwrite"});
  ASSERT_EQ(split.code, kExitOk) << split.err;
  EXPECT_EQ(nlohmann::json::parse(split.out)["samples"], 3);
  const auto splitX = nlohmann::json::parse(Cli({"chart", mvl, "--param", "1", "--kind", "x-MR"}).out)["charts"][0];
  EXPECT_EQ(splitX["pointCount"], 40);
  EXPECT_NEAR(splitX["movingRanges"]["sigmaWithin"].get<double>(), sigma, 1e-12);
  const CliRun bad = Cli({"create", mvl, "--from-csv", csv, "--sample-size", "201", "--overwrite"});
  EXPECT_EQ(bad.code, kExitUsage);
  EXPECT_EQ(bad.err, "create: --sample-size expects N from 1 to 200, got '201'\n");
}

TEST(Cli, AFailedAllocationIsToldAndNothingIsWritten) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string big = dir.Path("big.csv");
  test::WriteFileBytes(big, "x\n" + std::string(100000, '1') + "\n");
  const std::string rows = dir.Path("rows.csv");
  std::string table = "x\n";
  for (int i = 0; i < 1000; ++i) table += "1\n";
  test::WriteFileBytes(rows, table);
  const std::string out = dir.Path("out.mvl");
  const struct {
    std::string csv;
    std::size_t limit;
    std::string err;
  } kCases[] = {
      {big, 64 * 1024, "create: недостаточно памяти (#8)"},  // reading the table
      // The block's samples outgrow the limit while the table is built.
      {rows, 600 * sizeof(TSPCSample), "create: " + rows + ": недостаточно памяти (#8)"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.err);
    CliRun run;
    {
      const AllocationLimit limit(c.limit);
      run = Cli({"create", out, "--from-csv", c.csv});
    }
    EXPECT_EQ(run.code, kExitFailed);
    EXPECT_EQ(run.err, c.err + "\n");
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(std::filesystem::exists(out));
  }
}

TEST(Cli, CreateWithFixedTimeAndIdentifierGivesTheSameBytesEveryTime) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string csv = dir.Path("t.csv");
  test::WriteFileBytes(csv, "date;time;Длина\n04.03.2024;08:00;1,5\n04.03.2024;09:00;1,7\n");
  const std::string out = dir.Path("t.mvl");
  const std::vector<std::string> args = {"create",           out,    "--from-csv", csv,          "--fixed-time",
                                         "2024-03-08 17:00", "--id", "240308170",  "--overwrite"};
  ASSERT_EQ(Cli(args).code, kExitOk);
  const std::string first = test::ReadFileBytes(out);
  fake.clock.now += 3.5;  // a later run, on another day
  ASSERT_EQ(Cli(args).code, kExitOk);
  EXPECT_TRUE(test::ReadFileBytes(out) == first);  // byte for byte

  const SpcReadResult read = ReadSpcFile(out);
  ASSERT_TRUE(read.Ok()) << read.message;
  const TDatasetSPC& ds = *read.dataset;
  EXPECT_EQ(ds.id, 240308170);
  EXPECT_EQ(ds.creationNote, "08.03.2024 17:00 Создание набора данных");
  EXPECT_EQ(DateTimeText(ds.Block(1)->created), "08.03.2024 17:00");
  EXPECT_EQ(ds.Block(1)->Sample(2)->Text(), "04.03.2024 09:00");  // the table's own dates stay

  const struct {
    std::string option;
    std::string value;
    std::string err;
  } kBad[] = {
      {"--fixed-time", "31.02.2024", "--fixed-time expects dd.mm.yyyy|yyyy-mm-dd [hh:mm[:ss]], got '31.02.2024'"},
      {"--fixed-time", "08.03.2024 25:00",
       "--fixed-time expects dd.mm.yyyy|yyyy-mm-dd [hh:mm[:ss]], got '08.03.2024 25:00'"},
      {"--id", "99999999", "--id expects N from 100000000 to 999999999, got '99999999'"},
      {"--id", "1e9", "--id expects N from 100000000 to 999999999, got '1e9'"},
  };
  for (const auto& c : kBad) {
    SCOPED_TRACE(c.value);
    const CliRun run = Cli({"create", dir.Path("bad.mvl"), "--from-csv", csv, c.option, c.value});
    EXPECT_EQ(run.code, kExitUsage);
    EXPECT_EQ(run.err, "create: " + c.err + "\n");
  }
}

TEST(Cli, InfoOnAnUnreadableFileGivesTheReadersMessage) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string csv = dir.Path("in.csv");
  const std::string mvl = dir.Path("data.mvl");
  test::WriteFileBytes(csv, "x\n1\n2\n");
  ASSERT_EQ(Cli({"create", mvl, "--from-csv", csv}).code, kExitOk);
  const std::string bytes = test::ReadFileBytes(mvl);

  const std::string unknown = dir.Path("unknown.mvl");
  test::WriteFileBytes(unknown, "NOT A DATA FILE");
  const std::string truncated = dir.Path("truncated.mvl");
  test::WriteFileBytes(truncated, bytes.substr(0, bytes.size() / 2));
  const struct {
    std::string file;
    std::string err;  // the start of the message
  } kCases[] = {
      {unknown, "info: Неизвестный формат файла: " + unknown + " ("},
      {truncated, "info: Сбой при чтении файла (смещение 8=00000008h): " + truncated + ": "},  // the header is cut
      {dir.Path("missing.mvl"), "info: Файл не найден: " + dir.Path("missing.mvl")},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.file);
    const CliRun run = Cli({"info", c.file});
    EXPECT_EQ(run.code, kExitFailed);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.starts_with(c.err)) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;  // one line
    EXPECT_EQ(run.err.find('\r'), std::string::npos);
  }
  EXPECT_EQ(Cli({"info"}).code, kExitUsage);
}

}  // namespace
}  // namespace mv::cli
