#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/cli.h"
#include "cli_run.h"
#include "support/bytes.h"
#include "support/fake_platform.h"
#include "support/sample_dataset.h"

namespace mv::cli {
namespace {

struct ChartRun {
  int code;
  nlohmann::json json;
  std::string err;
};

ChartRun Cli(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int code = RunCli(args, out, err);
  test::ExpectLibraryLayout(out.str());
  ChartRun run{code, nullptr, err.str()};
  if (code == kExitOk) run.json = nlohmann::json::parse(out.str());
  return run;
}

// Eight samples of two points: means 10 and 10.2 alternating, the last 13; ranges 0.8 and 1.2
// alternating (R̄ = 1). The first seven lie below the centre line 10.45.
class ChartCommand : public testing::Test {
 protected:
  void SetUp() override {
    test::WriteFileBytes(m_csv,
                         "sample;Диаметр\n"
                         "1;9.6\n1;10.4\n2;9.6\n2;10.8\n3;9.6\n3;10.4\n4;9.6\n4;10.8\n"
                         "5;9.6\n5;10.4\n6;9.6\n6;10.8\n7;9.6\n7;10.4\n8;12.4\n8;13.6\n");
    ASSERT_EQ(Cli({"create", m_mvl, "--from-csv", m_csv, "--unit", "Диаметр=мм"}).code, kExitOk);
  }
  test::FakePlatform m_fake;
  test::TempFolder m_dir;
  std::string m_csv = m_dir.Path("shaft.csv");
  std::string m_mvl = m_dir.Path("shaft.mvl");
};

TEST_F(ChartCommand, MeanAndRangeChart) {
  const ChartRun run = Cli({"chart", m_mvl, "--param", "диаметр", "--kind", "X-R"});
  ASSERT_EQ(run.code, kExitOk) << run.err;
  const auto& j = run.json;
  EXPECT_EQ(j["parameter"]["position"], 1);
  EXPECT_EQ(j["kind"], "X-R");
  EXPECT_EQ(j["criteria"]["inForce"], nlohmann::json({"C1", "C2", "C3"}));
  EXPECT_EQ(j["selection"]["samples"], "all");
  ASSERT_EQ(j["charts"].size(), 2u);

  const auto& x = j["charts"][0];
  EXPECT_EQ(x["role"], "upper");
  EXPECT_EQ(x["kind"], 1);
  EXPECT_EQ(x["code"], "X");
  EXPECT_EQ(x["title"], "Карта средних значений");
  EXPECT_EQ(x["unit"], "мм");
  EXPECT_EQ(x["subgroups"]["meanSize"], 2);
  EXPECT_NEAR(x["subgroups"]["averageRange"].get<double>(), 1, 1e-12);
  EXPECT_NEAR(x["centralLine"]["value"].get<double>(), 10.45, 1e-12);
  EXPECT_NEAR(x["upperLimit"]["value"].get<double>(), 10.45 + 1.88, 1e-12);
  EXPECT_NEAR(x["lowerLimit"]["value"].get<double>(), 10.45 - 1.88, 1e-12);
  EXPECT_EQ(x["upperLimit"]["title"], "Верхняя контрольная граница");
  EXPECT_EQ(x["limitsShown"], true);
  EXPECT_EQ(x["selectionPoints"], 8);
  EXPECT_EQ(x["limited"], false);
  EXPECT_EQ(x["beyondCount"], 1);
  EXPECT_EQ(x["criteriaFound"], nlohmann::json({"C1", "C2"}));
  ASSERT_EQ(x["hits"].size(), 2u);
  EXPECT_EQ(x["hits"][0]["text"], "Точка 8. Критерий C1: Точка за пределами контрольных границ");
  EXPECT_EQ(x["hits"][1]["longText"],
            "Серия из 7 точек, с 1 по 7. Критерий C2: 7 точек подряд по одну сторону от центральной линии. "
            "Среднее=10.09");
  EXPECT_EQ(x["zones"]["bands"].size(), 6u);
  EXPECT_EQ(x["zones"]["bands"][0]["label"], "A (+3s)");
  EXPECT_EQ(x["zones"]["bands"][5]["label"], "A (-3s)");
  EXPECT_EQ(x["zoneStatistics"]["total"], 8);
  EXPECT_EQ(x["conclusion"]["text"],
            "Контрольная карта: признаки влияния особых причин - 1 точка вне границ и 1 серия точек. Обнаружено "
            "критериев - 2 из 3 проверенных");
  EXPECT_EQ(x["conclusion"]["mark"], "bad");
  EXPECT_EQ(x["zoneAnalysis"].get<std::string>().rfind("Анализ зон контрольной карты:  Вне границ - 1 (12.50%", 0), 0u);
  ASSERT_EQ(x["points"].size(), 8u);
  const auto& last = x["points"][7];
  EXPECT_EQ(last["index"], 8);
  EXPECT_EQ(last["sample"], 8);
  EXPECT_NEAR(last["value"].get<double>(), 13, 1e-12);
  EXPECT_EQ(last["beyond"], true);
  EXPECT_EQ(last["inSeries"], false);
  EXPECT_EQ(last["zone"], "outside");
  EXPECT_EQ(x["points"][0]["inSeries"], true);
  EXPECT_EQ(x["points"][0]["entryFlags"], nlohmann::json({"blockStart"}));

  const auto& r = j["charts"][1];
  EXPECT_EQ(r["code"], "R");
  EXPECT_NEAR(r["upperLimit"]["value"].get<double>(), 3.267, 1e-12);
  EXPECT_EQ(r["lowerLimit"]["present"], false);
  EXPECT_EQ(r["lowerLimit"]["value"], nullptr);
  EXPECT_EQ(r["hitCount"], 0);
  EXPECT_EQ(r["conclusion"]["text"], "Контрольная карта: признаков влияния особых причин не обнаружено");
  EXPECT_EQ(r["conclusion"]["mark"], "good");
}

TEST_F(ChartCommand, IndividualsAndMovingRangesOverASampleRange) {
  const ChartRun run = Cli({"chart", m_mvl, "--param", "1", "--kind", "x-MR", "--block", "1", "--samples", "2-4",
                       "--span", "3", "--criteria", "C1,C4"});
  ASSERT_EQ(run.code, kExitOk) << run.err;
  const auto& j = run.json;
  EXPECT_EQ(j["selection"]["samples"], nlohmann::json({{"from", 2}, {"to", 4}}));
  EXPECT_EQ(j["criteria"]["name"], "Произвольный выбор (2)");
  EXPECT_EQ(j["charts"][0]["movingRanges"]["span"], 3);
  EXPECT_EQ(j["charts"][0]["pointCount"], 6);
  const auto& mr = j["charts"][1];
  EXPECT_EQ(mr["title"], "Карта скользящих размахов (n=3)");
  EXPECT_EQ(mr["statistics"]["firstIndex"], 3);
  EXPECT_EQ(mr["points"][1]["value"], nullptr);  // no moving range yet
  EXPECT_EQ(mr["points"][1]["analysed"], false);
  EXPECT_EQ(mr["lowerLimit"]["present"], false);
}

TEST_F(ChartCommand, PChartWithUnequalSizes) {
  const std::string csv = m_dir.Path("lots.csv");
  const std::string mvl = m_dir.Path("lots.mvl");
  test::WriteFileBytes(csv, "size;Брак\n100;1\n100;2\n100;1\n130;3\n70;0\n");
  ASSERT_EQ(Cli({"create", mvl, "--from-csv", csv, "--attribute", "Брак=units"}).code, kExitOk);
  const ChartRun run = Cli({"chart", mvl, "--param", "Брак", "--kind", "p", "--scale", "percent"});
  ASSERT_EQ(run.code, kExitOk) << run.err;
  const auto& p = run.json["charts"][0];
  EXPECT_EQ(p["unit"], "%");
  EXPECT_EQ(p["attribute"]["meanSampleSize"], 100);
  EXPECT_EQ(p["attribute"]["sizeBand"], nlohmann::json({{"low", 75}, {"high", 125}}));
  EXPECT_EQ(p["attribute"]["scaleFactor"], 100);
  EXPECT_EQ(p["ownLimitsUsed"], true);
  EXPECT_EQ(p["points"][3]["sampleSize"], 130);
  EXPECT_EQ(p["points"][3]["entryFlags"], nlohmann::json({"ownLimits"}));
  EXPECT_GT(p["points"][3]["ownLimits"]["upper"].get<double>(), 0);
  EXPECT_FALSE(p["points"][0].contains("ownLimits"));
  // np with unequal sizes: no limits.
  const ChartRun np = Cli({"chart", mvl, "--param", "Брак", "--kind", "np"});
  ASSERT_EQ(np.code, kExitOk) << np.err;
  EXPECT_EQ(np.json["charts"][0]["attribute"]["limitsComputable"], false);
  EXPECT_EQ(np.json["charts"][0]["upperLimit"]["present"], false);
}

TEST_F(ChartCommand, BadInput) {
  const struct {
    std::vector<std::string> args;
    int code;
    std::string err;
  } kCases[] = {
      {{}, kExitUsage, "chart: expected FILE.mvl --param NAME|POSITION --kind KIND"},
      {{"--kind", "X-MR"}, kExitUsage, "chart: --kind expects X-R, X-S, X, M-R, x-MR, x, p, np, c or u, got 'X-MR'"},
      {{"--kind", "MR"}, kExitUsage, "chart: --kind expects X-R, X-S, X, M-R, x-MR, x, p, np, c or u, got 'MR'"},
      {{"--span", "11"}, kExitUsage, "chart: --span expects a span from 2 to 10, got '11'"},
      {{"--criteria", "5"}, kExitUsage, "chart: --criteria expects a set 1..4 or criteria like C1,C2,C5, got '5'"},
      {{"--scale", "half"}, kExitUsage, "chart: --scale expects share, percent or ppm, got 'half'"},
      {{"--samples", "1-3"}, kExitUsage, "chart: --samples needs --block"},
      {{"--bogus"}, kExitUsage, "chart: unknown option '--bogus' (see --help)"},
      {{"--param", "Ширина"}, kExitFailed, "chart: {file} has no parameter 'Ширина'"},
      {{"--block", "2"}, kExitFailed, "chart: {file} has no block 2 (it has 1)"},
      {{"--kind", "p"}, kExitFailed, "chart: the parameter 'Диаметр' cannot be shown on a p chart"},
      {{"--block", "1", "--samples", "3-1"},
       kExitFailed,
       "chart: Номера выборок указаны неверно: '3-1' (block 1 has 8 samples)"},
      {{"--kind", "x-MR", "--block", "1", "--samples", "1-2", "--span", "4"},
       kExitFailed,
       "chart: Объем выборки (4) должен быть меньше количества точек на карте (4). Карта скользящих размахов не может "
       "быть построена"},
      {{"--block", "1", "--samples", "2-2"},
       kExitFailed,
       "chart: Ошибка при при создании графика \"Карта средних значений\": Невозможно построить график менее чем с "
       "двумя активными точками. Вызовите функцию с другими исходными данными или измените вид графика (Вы "
       "пытаетесь построить выборочную контрольную карту, однако текущий блок \"Блок 1\" содержит слишком мало "
       "активных выборок (1). Рекомендация: Для тех же данных можно построить карту индивидуальных значений "
       "(если это уместно для данного процесса))"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.err);
    std::vector<std::string> args = {"chart"};
    if (!c.args.empty()) {
      args.push_back(m_mvl);
      // Defaults for what the case does not give.
      const auto has = [&](const char* option) { return std::find(c.args.begin(), c.args.end(), option) != c.args.end(); };
      if (!has("--param")) args.insert(args.end(), {"--param", "1"});
      if (!has("--kind")) args.insert(args.end(), {"--kind", "X-R"});
    }
    args.insert(args.end(), c.args.begin(), c.args.end());
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCli(args, out, err), c.code);
    std::string expected = c.err;
    if (const auto at = expected.find("{file}"); at != std::string::npos) expected.replace(at, 6, m_mvl);
    EXPECT_EQ(err.str(), expected + "\n");
    EXPECT_EQ(out.str(), "");
  }
  EXPECT_EQ(Cli({"chart", m_dir.Path("missing.mvl"), "--param", "1", "--kind", "X"}).code, kExitFailed);
}

// A block named twice would put its samples on the chart twice, and a block of alternative data
// holds no values of a quantitative parameter.
TEST_F(ChartCommand, BlocksMustBeDistinctAndOfTheParametersKind) {
  const std::string mixed = m_dir.Path("mixed.mvl");  // block 1 quantitative, block 2 alternative
  ASSERT_TRUE(test::WriteSampleDataset(mixed));
  const struct {
    std::vector<std::string> args;
    std::string err;
  } kCases[] = {
      {{"chart", m_mvl, "--param", "1", "--kind", "X-R", "--blocks", "1,1"},
       "chart: --blocks expects block positions separated by commas, got '1,1'"},
      {{"chart", mixed, "--param", "Диаметр", "--kind", "X-R", "--block", "2"},
       "chart: block 2 holds Attr data, parameter 'Диаметр' is Var"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.err);
    const ChartRun run = Cli(c.args);
    EXPECT_EQ(run.code, kExitFailed);
    EXPECT_EQ(run.err, c.err + "\n");
  }
}

// 1500 individual values (in samples of 200): the first 1000 alternate 9 and 11, the rest 19
// and 21. A chart window shows the first 1000; so does the command unless --all asks for every
// point, and it says so.
TEST_F(ChartCommand, TellsWhenTheChartIsLimitedToAThousandPoints) {
  std::string table = "Толщина\n";
  for (int i = 0; i < 1500; ++i) table += std::to_string((i < 1000 ? 9 : 19) + 2 * (i % 2)) + "\n";
  const std::string csv = m_dir.Path("long.csv");
  const std::string mvl = m_dir.Path("long.mvl");
  test::WriteFileBytes(csv, table);
  ASSERT_EQ(Cli({"create", mvl, "--from-csv", csv, "--individual"}).code, kExitOk);
  const std::string notice =
      "chart: the selection holds 1500 points; the chart shows the first 1000 of them, as a chart window does "
      "(--all charts every point)\n";
  const struct {
    std::vector<std::string> extra;
    unsigned points;
    unsigned selection;
    bool limited;
    double centre;
    std::string err;
  } kCases[] = {
      {{"--kind", "x-MR"}, 1000, 1500, true, 10, notice},  // one line for the pair
      {{"--kind", "x"}, 1000, 1500, true, 10, notice},
      {{"--kind", "x-MR", "--all"}, 1500, 1500, false, 40.0 / 3, ""},
      {{"--kind", "x", "--all", "--block", "1", "--samples", "1-5"}, 1000, 1000, false, 10, ""},
      {{"--kind", "x", "--block", "1", "--samples", "4-8"}, 900, 900, false, 140.0 / 9, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(c.extra));
    std::vector<std::string> args = {"chart", mvl, "--param", "1"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const ChartRun run = Cli(args);
    ASSERT_EQ(run.code, kExitOk) << run.err;
    EXPECT_EQ(run.err, c.err);
    for (const auto& chart : run.json["charts"]) {
      EXPECT_EQ(chart["pointCount"], c.points);
      EXPECT_EQ(chart["points"].size(), chart["pointCount"].get<std::size_t>());
      EXPECT_EQ(chart["limited"], c.limited);
      EXPECT_EQ(chart["selectionPoints"], c.selection);
    }
    EXPECT_NEAR(run.json["charts"][0]["centralLine"]["value"].get<double>(), c.centre, 1e-9);
  }
}

// Ten values of 1.7e308: the mean overflows, and the chart is refused instead of printing limits
// that are not numbers.
TEST_F(ChartCommand, ValuesNearTheLimitOfADoubleAreRefused) {
  const std::string mvl = m_dir.Path("huge.mvl");
  ASSERT_EQ(test::CreateValuesNearTheDoubleLimit(m_dir.Path("huge.csv"), mvl), kExitOk);
  for (const char* kind : {"X-R", "x-MR"}) {
    SCOPED_TRACE(kind);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCli({"chart", mvl, "--param", "1", "--kind", kind}, out, err), kExitFailed);
    EXPECT_NE(err.str().find("Невозможно построить график: значения параметра слишком велики для вычислений"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(out.str(), "");
  }
}

}  // namespace
}  // namespace mv::cli
