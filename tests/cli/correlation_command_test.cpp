#include "cli/correlation_command.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "analysis/correlation.h"
#include "analysis/data_set.h"
#include "cli/cli.h"
#include "cli_run.h"
#include "support/bytes.h"
#include "support/fake_platform.h"
#include "support/sample_dataset.h"

namespace mv::cli {
namespace {

using nlohmann::json;
using test::Cli;
using test::CliRun;

// The sample dataset: "Диаметр" (1) holds 9.97, 9.99, 10.01, 10.03, 10.05 in each of the three
// samples of block 1, "Длина" (3) is 50.1, 50.2, 50.3 in samples 1, 2, 3 (the same in every
// point of a sample); "Брак" (2) is alternative; block 2 holds alternative data.
class CorrelationCommand : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(test::WriteSampleDataset(m_file)); }
  // The pair (i, j) of the output by dataset positions.
  static json PairOf(const json& j, int x, int y) {
    for (const json& p : j["pairs"]) {
      if (p["i"] == x && p["j"] == y) return p;
    }
    ADD_FAILURE() << "no pair " << x << "," << y;
    return {};
  }
  test::FakePlatform m_fake;
  test::TempFolder m_dir;
  std::string m_file = m_dir.Path("shaft.mvl");
};

TEST_F(CorrelationCommand, ByIndividualValues) {
  const CliRun run = Cli({"correlation", m_file});
  ASSERT_EQ(run.code, kExitOk) << run.err;
  const json j = json::parse(run.out);
  EXPECT_EQ(j["mode"], "values");
  EXPECT_EQ(j["title"], "Корреляция между параметрами  (по индивидуальным значениям)");
  EXPECT_EQ(j["selection"]["blocks"], json({1}));
  EXPECT_EQ(j["rows"], json({{"all", 15}, {"active", 15}, {"inactive", 0}, {"filtered", 0}}));
  EXPECT_EQ(j["critical"], json({{"value", 0.514}, {"automatic", true}, {"text", "0.514  (авто)"}}));
  ASSERT_EQ(j["parameters"].size(), 2u);  // the alternative parameter takes no part
  EXPECT_EQ(j["parameters"][0]["position"], 1);
  EXPECT_EQ(j["parameters"][1]["name"], "Длина");
  EXPECT_EQ(j["parameters"][0]["normalityCell"], " НД");  // fewer than 20 values
  EXPECT_EQ(j["parameters"][0]["boxPlot"]["median"], 10.01);
  // Within every sample the length does not move while the diameter does: no correlation, a
  // flat line, and so no line with the axes swapped.
  const json forward = PairOf(j, 1, 3);
  EXPECT_EQ(forward["n"], 15);
  EXPECT_TRUE(forward["computed"]);
  EXPECT_NEAR(forward["r"].get<double>(), 0, 1e-12);
  EXPECT_EQ(forward["significance"], 1);
  EXPECT_EQ(forward["pairLine"], "0.000   (несущественная корреляционная связь) / Y = 0.000X + 50.200");
  EXPECT_EQ(forward["pointsLine"], "15");
  const json backward = PairOf(j, 3, 1);
  EXPECT_FALSE(backward["line"]);
  EXPECT_EQ(backward["slope"], nullptr);
  EXPECT_EQ(backward["pairLine"], "0.000   (несущественная корреляционная связь)");
  EXPECT_EQ(j["matrix"][0][0], json({{"r", nullptr}, {"text", ""}}));
  EXPECT_EQ(j["matrix"][0][1]["text"], "0.000");
}

TEST_F(CorrelationCommand, BySampleMeansWithAManualCriticalValue) {
  const CliRun run = Cli({"correlation", m_file, "--mode", "means", "--params", "Длина,1", "--critical", "0,5"});
  ASSERT_EQ(run.code, kExitOk) << run.err;
  const json j = json::parse(run.out);
  EXPECT_EQ(j["title"], "Корреляция между параметрами ");
  EXPECT_EQ(j["critical"], json({{"value", 0.5}, {"automatic", false}, {"text", "0.5"}}));
  EXPECT_EQ(j["rows"]["all"], 3);
  EXPECT_EQ(j["parameters"][0]["position"], 3);  // in the order asked for
  EXPECT_FALSE(j["parameters"][0].contains("boxPlot"));
  // Every sample's mean diameter is 10.01: no r, no line of the length on it, a flat one the
  // other way round.
  const json lengthOnDiameter = PairOf(j, 1, 3);
  EXPECT_FALSE(lengthOnDiameter["computed"]);
  EXPECT_FALSE(lengthOnDiameter["line"]);
  EXPECT_EQ(lengthOnDiameter["pointsLine"], "3 - недостаточно для расчета корреляции");
  EXPECT_EQ(PairOf(j, 3, 1)["pairLine"], "Не рассчитано из-за недостатка данных / Y = 0.000X + 10.010");
  EXPECT_EQ(j["matrix"][0][1], json({{"r", nullptr}, {"text", "НД"}}));
}

TEST_F(CorrelationCommand, RefusedInput) {
  const struct {
    std::vector<std::string> args;
    int code;
    std::string message;
  } kCases[] = {
      {{"--params", "1"}, kExitFailed, std::string(kTooFewCorrParameters)},
      {{"--params", "1,Брак"}, kExitFailed, "parameter 'Брак' is not a quantitative parameter (or is a tag)"},
      {{"--params", "1,9"}, kExitFailed, "has no parameter '9'"},
      {{"--critical", "0.95"}, kExitFailed, std::string(kBadCriticalValue)},
      {{"--critical", "0.05"}, kExitFailed, std::string(kBadCriticalValue)},
      {{"--critical", "much"}, kExitUsage, "--critical expects a number (0.1..0.9), got 'much'"},
      {{"--mode", "pairs"}, kExitUsage, "--mode expects values or means, got 'pairs'"},
      {{"--params", "1,,3"}, kExitUsage, "--params expects parameter positions or names"},
      {{"--block", "7"}, kExitFailed, "has no block 7"},
      {{"--blocks", "1,2"}, kExitFailed, "block 2 holds Attr data"},
      {{"--samples", "1-2"}, kExitUsage, "--samples needs one block: --block N"},
      {{"--block", "1", "--samples", "2-9"}, kExitFailed, "--samples 2-9: block 1 has 3 samples"},
      {{"--block", "1", "--samples", "2-2", "--mode", "means"}, kExitFailed,
       "Недостаточно активных точек (1) для расчета корреляции"},
  };
  for (const auto& c : kCases) {
    std::vector<std::string> args{"correlation", m_file};
    args.insert(args.end(), c.args.begin(), c.args.end());
    SCOPED_TRACE(c.args.front() + " " + c.args.back());
    const CliRun run = Cli(args);
    EXPECT_EQ(run.code, c.code);
    EXPECT_TRUE(run.out.empty());
    EXPECT_TRUE(run.err.starts_with("correlation: ")) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
  const CliRun missing = Cli({"correlation", m_dir.Path("none.mvl")});
  EXPECT_EQ(missing.code, kExitFailed);
  EXPECT_TRUE(missing.out.empty());
}

// Values whose sums overflow a double give the message, never figures that are not numbers.
TEST_F(CorrelationCommand, ValuesBeyondTheSumsOfDoubles) {
  const std::string csv = m_dir.Path("huge.csv"), mvl = m_dir.Path("huge.mvl");
  std::string table = "sample;A;B\n";
  for (int s = 1; s <= 6; ++s) table += std::to_string(s) + ";1.7e308;" + std::to_string(s) + "\n";
  test::WriteFileBytes(csv, table);
  ASSERT_EQ(Cli({"create", mvl, "--from-csv", csv}).code, kExitOk);
  const CliRun run = Cli({"correlation", mvl});
  EXPECT_EQ(run.code, kExitFailed);
  EXPECT_TRUE(run.out.empty());
  EXPECT_EQ(run.err, "correlation: " + std::string(kValuesTooLarge) + "\n");
}

}  // namespace
}  // namespace mv::cli
