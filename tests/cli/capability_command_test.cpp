#include "cli/capability_command.h"

#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/cli.h"
#include "spc/spc_file.h"
#include "cli_run.h"
#include "support/bytes.h"
#include "support/fake_platform.h"
#include "support/sample_dataset.h"

namespace mv::cli {
namespace {

using nlohmann::json;

using test::Cli;
using test::CliRun;

// The sample dataset: "Диаметр" (9.9..10.1, nominal 10, 2 decimals) in block 1 holds three
// samples of 9.97, 9.99, 10.01, 10.03, 10.05; "Длина" (up to 50.5) 50.1, 50.2, 50.3 five times
// each; "Брак" is alternative and block 2 holds no samples.
class CapabilityCommand : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(test::WriteSampleDataset(m_file)); }
  test::FakePlatform m_fake;
  test::TempFolder m_dir;
  std::string m_file = m_dir.Path("shaft.mvl");
};

TEST_F(CapabilityCommand, FiguresOfAQuantitativeParameter) {
  const CliRun run = Cli({"capability", m_file, "--param", "диаметр"});
  ASSERT_EQ(run.code, kExitOk) << run.err;
  const json j = json::parse(run.out);
  EXPECT_EQ(j["parameter"]["position"], 1);
  EXPECT_EQ(j["parameter"]["tolerance"], json({{"lsl", 9.9}, {"usl", 10.1}, {"nominal", 10.0}}));
  EXPECT_EQ(j["selection"], json({{"blocks", {1}}, {"firstSample", 1}, {"lastSample", 3}, {"individualValues", false}}));
  EXPECT_EQ(j["samplesUsed"], 3);
  EXPECT_EQ(j["valueCount"], 15);
  EXPECT_EQ(j["averageSampleSizeRounded"], 5);
  EXPECT_NEAR(j["meanOfSampleMeans"].get<double>(), 10.01, 1e-12);
  EXPECT_NEAR(j["grandMean"].get<double>(), 10.01, 1e-12);
  EXPECT_NEAR(j["averageRange"].get<double>(), 0.08, 1e-12);
  EXPECT_NEAR(j["sigmaWithin"].get<double>(), 0.08 / 2.326, 1e-12);
  // Deviations ±0.04, ±0.02, 0 in each of 3 samples: 0.012 over 14 degrees of freedom.
  const double sigmaOverall = std::sqrt(0.012 / 14);
  EXPECT_NEAR(j["sigmaOverall"].get<double>(), sigmaOverall, 1e-12);
  const json& cap = j["capability"];
  EXPECT_EQ(cap["cp"], json({{"value", nullptr},
                             {"status", 4},
                             {"statusText", "мало данных (для расчета необходимо не менее 5 выборок)"}}));
  EXPECT_EQ(cap["pp"]["status"], 1);
  EXPECT_NEAR(cap["pp"]["value"].get<double>(), 0.2 / (6 * sigmaOverall), 1e-12);
  EXPECT_EQ(cap["pp"]["statusText"], "1.14");
  EXPECT_TRUE(j["nonconformity"]["estimated"]);
  EXPECT_EQ(j["nonconformity"]["levelText"], "Неизвестно (для расчета необходимо нормальное распределение данных)");
  EXPECT_EQ(j["normality"]["enoughData"], false);
  EXPECT_EQ(j["normality"]["text"], "Неизвестно (для расчета необходимо не менее 20 значений)");
  EXPECT_EQ(j["boxPlot"]["median"], 10.01);
  const json& h = j["histogram"];
  EXPECT_EQ(h["binCount"], 5);  // round(3.3 log10 15) + 1
  ASSERT_EQ(h["edges"].size(), 6u);
  EXPECT_NEAR(h["edges"][0].get<double>(), 9.97, 1e-12);
  EXPECT_NEAR(h["edges"][5].get<double>(), 10.05, 1e-12);
  EXPECT_EQ(h["counts"], json({3, 3, 3, 3, 3}));
  EXPECT_EQ(h["shares"], json({0.2, 0.2, 0.2, 0.2, 0.2}));
  EXPECT_EQ(h["normalDensityAtCentres"].size(), 5u);
  EXPECT_EQ(h["uniqueValues"], json({{"count", 5}, {"overflow", false}, {"text", "5\r уник.значений"}}));
  EXPECT_FALSE(j.contains("attribute"));
}

TEST_F(CapabilityCommand, PositionSampleRangeAndBins) {
  const CliRun run = Cli({"capability", m_file, "--param", "3", "--block", "1", "--samples", "2-3", "--bins", "30"});
  ASSERT_EQ(run.code, kExitOk) << run.err;
  const json j = json::parse(run.out);
  EXPECT_EQ(j["parameter"]["name"], "Длина");
  EXPECT_EQ(j["selection"]["firstSample"], 2);
  EXPECT_EQ(j["samplesUsed"], 2);
  EXPECT_EQ(j["valueCount"], 10);
  EXPECT_EQ(j["histogram"]["binCount"], 20);  // a request is limited to 5..20
  EXPECT_EQ(j["histogram"]["valueCount"], 10);
  // A one-sided tolerance: Cp does not exist, Ppk does.
  EXPECT_EQ(j["capability"]["cp"]["status"], 3);
  EXPECT_EQ(j["capability"]["ppk"]["status"], 1);
}

TEST_F(CapabilityCommand, AttributeParameter) {
  auto ds = test::SampleDataset();
  ds->Parameter(2)->SetTolerance(std::nullopt, 0.05, std::nullopt);
  const int b = 2;
  const struct {
    double count;
    int size;
  } kSamples[] = {{3, 50}, {1, 50}, {2, 40}};
  for (const auto& s : kSamples) {
    TSPCBlock& block = *ds->Block(b);
    ASSERT_TRUE(block.AddSample("", "", true));
    TSPCSample& sample = *block.Sample(block.SampleCount());
    sample.sampleSize = static_cast<std::int16_t>(s.size);
    ASSERT_TRUE(sample.AddPoints(1));
    ASSERT_TRUE(ds->SetValue(b, block.SampleCount(), 1, 2, s.count));
  }
  ds->ComputeAllStats();
  std::string error;
  ASSERT_TRUE(WriteSpcFile(*ds, m_file, error)) << error;
  const CliRun run = Cli({"capability", m_file, "--param", "Брак"});
  ASSERT_EQ(run.code, kExitOk) << run.err;
  const json j = json::parse(run.out);
  EXPECT_EQ(j["parameter"]["kind"], "Attr");
  EXPECT_EQ(j["selection"]["blocks"], json({2}));
  EXPECT_EQ(j["samplesUsed"], 3);
  EXPECT_NEAR(j["attribute"]["nonconformityLevel"].get<double>(), 6.0 / 140, 1e-12);
  EXPECT_EQ(j["attribute"]["samplesAboveQualityLimit"], 1);  // 3 of 50
  EXPECT_EQ(j["attribute"]["qualityLimit"], 0.05);
  EXPECT_FALSE(j.contains("capability"));
  EXPECT_EQ(j["histogram"]["counts"].size(), 5u);
}

TEST_F(CapabilityCommand, BadInputSaysWhy) {
  const struct {
    std::vector<std::string> args;
    int code;
    const char* says;
  } kCases[] = {
      {{"capability"}, kExitUsage, "capability: expected FILE.mvl --param NAME|POSITION"},
      {{"capability", "@FILE"}, kExitUsage, "expected FILE.mvl --param"},
      {{"capability", "@FILE", "--param", "1", "--frobnicate", "1"}, kExitUsage, "unknown option '--frobnicate'"},
      {{"capability", "@FILE", "--param"}, kExitUsage, "--param needs a value"},
      {{"capability", "@FILE", "--param", "1", "--blocks", "1,1"}, kExitUsage, "--blocks expects block positions"},
      {{"capability", "@FILE", "--param", "1", "--block", "1,2"}, kExitUsage, "--block expects a block position"},
      {{"capability", "@FILE", "--param", "1", "--block", "1", "--blocks", "2"}, kExitUsage, "give the blocks once"},
      {{"capability", "@FILE", "--param", "1", "--samples", "1-2"}, kExitUsage, "--samples needs one block"},
      {{"capability", "@FILE", "--param", "1", "--block", "1", "--samples", "3-2"}, kExitUsage, "FROM-TO"},
      {{"capability", "@FILE", "--param", "1", "--bins", "0"}, kExitUsage, "--bins expects a whole number"},
      {{"capability", "@FILE", "--param", "Ширина"}, kExitFailed, "has no parameter 'Ширина'"},
      {{"capability", "@FILE", "--param", "1", "--block", "5"}, kExitFailed, "has no block 5 (it has 2)"},
      {{"capability", "@FILE", "--param", "1", "--block", "2"}, kExitFailed, "block 2 holds Attr data"},
      {{"capability", "@FILE", "--param", "1", "--block", "1", "--samples", "2-9"}, kExitFailed,
       "--samples 2-9: block 1 has 3 samples"},
      {{"capability", "@FILE", "--param", "Брак"}, kExitFailed, "capability: Нет данных для построения гистограммы"},
      {{"capability", "@MISSING", "--param", "1"}, kExitFailed, "capability: Файл не найден: "},
      {{"quality"}, kExitUsage, "expected --ppm Q"},
      {{"quality", "--ppm"}, kExitUsage, "--ppm needs a value"},
      {{"quality", "--ppm", "1", "-w", "2"}, kExitUsage, "unexpected argument '-w'"},
      {{"quality", "--ppm", " "}, kExitFailed,
       "quality: Не указано значение для \"Целевой уровень несоответствий (Q)\""},
      {{"quality", "--ppm", "abc"}, kExitFailed, "Введено нечисловое значение (abc)"},
      {{"quality", "--ppm", "600000"}, kExitFailed, "выходит из допустимых границ (0.001 .. 500000)"},
      {{"quality", "--ppm", "100", "--width", "0.000001"}, kExitFailed,
       "\"Ширина допуска (USL-LSL)\" (0.000001) выходит из допустимых границ (0.00001 .. 1000000)"},
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
  // The messages went to the error stream, not to a window.
  EXPECT_TRUE(m_fake.messages.shown.empty());
}

TEST(QualityCommand, IndexAndSigma) {
  test::FakePlatform fake;
  const CliRun run = Cli({"quality", "--ppm", "2700", "--width", "0,06"});
  ASSERT_EQ(run.code, kExitOk) << run.err;
  const json j = json::parse(run.out);
  EXPECT_EQ(j["targetLevelPpm"], 2700.0);
  EXPECT_EQ(j["toleranceWidth"], 0.06);
  EXPECT_NEAR(j["widthInSigmas"].get<double>(), 6.0, 1e-4);
  EXPECT_EQ(j["targetIndexText"], "1.00");
  EXPECT_NEAR(j["targetSigma"].get<double>(), 0.01, 1e-6);
  EXPECT_EQ(j["targetSigmaText"], "0.01");
  EXPECT_TRUE(j["note"].get<std::string>().starts_with("Обязательные условия"));

  const json minimum = json::parse(Cli({"quality", "--ppm", "0.001"}).out);
  EXPECT_EQ(minimum["targetIndexText"], "2.00");
  EXPECT_EQ(minimum["targetSigma"], nullptr);
  EXPECT_EQ(minimum["targetSigmaText"], " не указан допуск");
  const CliRun help = Cli({"--help"});
  EXPECT_NE(help.out.find("capability <file.mvl> --param NAME|POSITION"), std::string::npos);
  EXPECT_NE(help.out.find("quality --ppm Q [--width W]"), std::string::npos);
}

// Ten values of 1.7e308: the means overflow, and the figures are refused instead of printed.
TEST_F(CapabilityCommand, ValuesNearTheLimitOfADoubleAreRefused) {
  const std::string mvl = m_dir.Path("huge.mvl");
  ASSERT_EQ(test::CreateValuesNearTheDoubleLimit(m_dir.Path("huge.csv"), mvl), kExitOk);
  const CliRun run = Cli({"capability", mvl, "--param", "1"});
  EXPECT_EQ(run.code, kExitFailed);
  EXPECT_EQ(run.err, "capability: Невозможно рассчитать статистику параметра: значения параметра слишком велики для "
                     "вычислений\n");
  EXPECT_TRUE(run.out.empty());
}

}  // namespace
}  // namespace mv::cli
