#include "cli/params_command.h"

#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>

#include "cli/cli.h"
#include "cli_run.h"
#include "core/numbers.h"
#include "spc/spc_file.h"
#include "support/bytes.h"
#include "support/fake_platform.h"
#include "support/sample_dataset.h"

namespace mv::cli {
namespace {

using nlohmann::json;
using test::Cli;
using test::CliRun;

// The sample dataset (see capability_command_test.cpp): "Диаметр" in block 1 has three samples
// of 9.97, 9.99, 10.01, 10.03, 10.05 (2 decimals, nominal 10, 9.9..10.1); "Длина" is up to
// 50.5; "Брак" is alternative and gets three samples in block 2 here (3 of 50, 1 of 50, 2 of
// 40) with a quality limit of 0.05.
class ParamsCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    auto ds = test::SampleDataset();
    ds->Parameter(2)->SetTolerance(std::nullopt, 0.05, std::nullopt);
    const struct {
      double count;
      int size;
    } kSamples[] = {{3, 50}, {1, 50}, {2, 40}};
    for (const auto& s : kSamples) {
      TSPCBlock& block = *ds->Block(2);
      ASSERT_TRUE(block.AddSample("", "", true));
      TSPCSample& sample = *block.Sample(block.SampleCount());
      sample.sampleSize = static_cast<std::int16_t>(s.size);
      ASSERT_TRUE(sample.AddPoints(1));
      ASSERT_TRUE(ds->SetValue(2, block.SampleCount(), 1, 2, s.count));
    }
    ds->ComputeAllStats();
    std::string error;
    ASSERT_TRUE(WriteSpcFile(*ds, m_file, error)) << error;
  }
  json Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"params", m_file});
    const CliRun run = Cli(args);
    EXPECT_EQ(run.code, kExitOk) << run.err;
    return run.code == kExitOk ? json::parse(run.out) : json();
  }
  static std::vector<std::string> Captions(const json& j) {
    std::vector<std::string> c;
    for (const json& column : j["columns"]) c.push_back(column["caption"]);
    return c;
  }

  test::FakePlatform m_fake;
  test::TempFolder m_dir;
  std::string m_file = m_dir.Path("shaft.mvl");
};

TEST_F(ParamsCommand, QuantitativeTableInBothLanguages) {
  // Sigma overall of "Диаметр": deviations ±0.04, ±0.02, 0 in each of 3 samples, 14 degrees of
  // freedom; Ppk from the nearer limit, 10.1 - 10.01.
  const double sigmaOverall = std::sqrt(0.012 / 14);
  const std::string ppk = FormatFixed(0.09 / (3 * sigmaOverall), 2);
  const struct {
    const char* lang;
    std::vector<std::string> captions;
    std::vector<std::string> first;
  } kCases[] = {
      {"ru",
       {"#", "Параметр", "Допуск", "X ср.", "R ср.", "Сигма P", "Cpk", "Ppk", "Cm"},
       {"1", "Диаметр", "номинал 10.00, от 9.90 до 10.10 мм", "10.010", "0.080", FormatFixed(sigmaOverall, 3),
        "мало данных", ppk, FormatFixed(0.2 / (6 * sigmaOverall), 2)}},
      {"en",
       {"#", "Parameter", "Spec.limits", "X mean", "R mean", "Sigma P", "Cpk", "Ppk", "Cm"},
       {"1", "Диаметр", "target 10.00, from 9.90 upto 10.10 мм", "10.010", "0.080", FormatFixed(sigmaOverall, 3),
        "not enouth data", ppk, FormatFixed(0.2 / (6 * sigmaOverall), 2)}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.lang);
    const json j = Run({"--columns", "1,2,4,8,9,7,13,15,25", "--lang", c.lang});
    EXPECT_EQ(j["kind"], "Var");
    EXPECT_EQ(j["language"], c.lang);
    EXPECT_EQ(j["selection"], json({{"blocks", {1}}, {"firstSample", 1}, {"lastSample", 3}}));
    EXPECT_EQ(j["columns"][3], json({{"number", 8}, {"caption", c.captions[3]}}));
    EXPECT_EQ(Captions(j), c.captions);
    ASSERT_EQ(j["rows"].size(), 2u);  // the quantitative parameters, in dataset order
    EXPECT_EQ(j["rows"][0]["position"], 1);
    EXPECT_EQ(j["rows"][0]["samplesUsed"], 3);
    EXPECT_EQ(j["rows"][0]["values"].get<std::vector<std::string>>(), c.first);
    EXPECT_EQ(j["rows"][1]["position"], 3);
    EXPECT_EQ(j["rows"][1]["values"][0], "2");
    EXPECT_EQ(j["rows"][1]["values"][1], "Длина");
  }

  // Without --columns: every column quantitative reports offer, in the column editor's order.
  const json all = Run({});
  std::vector<int> numbers;
  for (const json& column : all["columns"]) numbers.push_back(column["number"]);
  EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 4, 5, 8, 9, 6, 7, 12, 13, 14, 15, 25, 26, 18, 21, 22}));
  EXPECT_EQ(all["rows"][0]["values"].size(), numbers.size());

  // A sample range of the one block.
  const json part = Run({"--block", "1", "--samples", "2-3", "--columns", "1,8"});
  EXPECT_EQ(part["selection"], json({{"blocks", {1}}, {"firstSample", 2}, {"lastSample", 3}}));
  EXPECT_EQ(part["rows"][0]["samplesUsed"], 2);
}

TEST_F(ParamsCommand, AttributeTableInEachValueScale) {
  const struct {
    const char* scale;
    const char* level;
    const char* limit;
  } kCases[] = {{"share", "0.043", "0.05"}, {"percent", "4.3", "5"}, {"ppm", "42857", "50000"}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.scale);
    // The kind follows the block given.
    const json j = Run({"--block", "2", "--scale", c.scale});
    EXPECT_EQ(j["kind"], "Attr");
    EXPECT_EQ(Captions(j), (std::vector<std::string>{"#", "Параметр", "Масштаб", "Тип изм.", "Воспроизв.", "ПУН",
                                                     "УН>ПУН"}));
    ASSERT_EQ(j["rows"].size(), 1u);
    EXPECT_EQ(j["rows"][0]["position"], 2);
    // 6 of 140 units; 3 of 50 is the one sample above 0.05.
    EXPECT_EQ(j["rows"][0]["values"].get<std::vector<std::string>>(),
              (std::vector<std::string>{"1", "Брак", "", "Число несоответствующих единиц", c.level, c.limit, "1 выб."}));
  }
  const json en = Run({"--kind", "attr", "--columns", "24,20", "--lang", "en"});
  EXPECT_EQ(Captions(en), (std::vector<std::string>{"Q>QL", "Performance"}));
  EXPECT_EQ(en["rows"][0]["values"], json({"1 smp.", "42857"}));
}

TEST_F(ParamsCommand, BadInputSaysWhy) {
  const struct {
    std::vector<std::string> args;
    int code;
    const char* says;
  } kCases[] = {
      {{"params"}, kExitUsage, "params: expected FILE.mvl"},
      {{"params", "@FILE", "--param", "1"}, kExitUsage, "unknown option '--param'"},
      {{"params", "@FILE", "--columns", "0"}, kExitUsage, "--columns expects column numbers 1..26"},
      {{"params", "@FILE", "--columns", "1,27"}, kExitUsage, "--columns expects"},
      {{"params", "@FILE", "--columns", "2,2"}, kExitUsage, "--columns expects"},
      {{"params", "@FILE", "--columns", "1,"}, kExitUsage, "--columns expects"},
      {{"params", "@FILE", "--kind", "both"}, kExitUsage, "--kind expects var or attr"},
      {{"params", "@FILE", "--lang", "de"}, kExitUsage, "--lang expects ru or en"},
      {{"params", "@FILE", "--scale", "permille"}, kExitUsage, "--scale expects share, percent or ppm"},
      {{"params", "@FILE", "--samples", "1-2"}, kExitUsage, "--samples needs one block"},
      {{"params", "@FILE", "--kind", "attr", "--block", "1"}, kExitFailed, "block 1 holds Var data"},
      {{"params", "@FILE", "--block", "3"}, kExitFailed, "has no block 3 (it has 2)"},
      {{"params", "@FILE", "--block", "1", "--samples", "2-9"}, kExitFailed, "--samples 2-9: block 1 has 3 samples"},
      {{"params", "@MISSING"}, kExitFailed, "params: Файл не найден: "},
  };
  for (const auto& c : kCases) {
    std::vector<std::string> args = c.args;
    for (std::string& a : args) {
      if (a == "@FILE") a = m_file;
      if (a == "@MISSING") a = m_dir.Path("missing.mvl");
    }
    SCOPED_TRACE(c.says);
    const CliRun run = Cli(args);
    EXPECT_EQ(run.code, c.code);
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
    EXPECT_TRUE(run.out.empty());
  }
  EXPECT_TRUE(m_fake.messages.shown.empty());
}

}  // namespace
}  // namespace mv::cli
