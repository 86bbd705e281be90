#include "spc/mef_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/cp1251.h"
#include "core/date_time.h"
#include "core/numbers.h"
#include "core/text.h"
#include "spc/dataset_spc.h"
#include "spc/mef_reader.h"
#include "spc/value_parsers.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

// Two parameters (one of each kind), a dated quantitative block with an inactive sample and
// an alternative block.
void FillFixture(TDatasetSPC& ds) {
  ds.fileName = "/data/Линия.mvl";
  ds.processName = "Линия 1";
  TSPCParameter diameter;
  diameter.name = "Диаметр \"D\"";
  diameter.decimals = 2;
  diameter.unit = "мм";
  diameter.SetTolerance(9.9, 10.1, std::nullopt);
  ASSERT_EQ(ds.SetParameter(0, 123456789, diameter), 1);
  TSPCParameter reject;
  reject.name = "Брак";
  reject.kind = DataKind::Attr;
  reject.alias = "B";
  ASSERT_EQ(ds.SetParameter(0, 0, reject), 2);
  ASSERT_EQ(ds.Parameter(1)->Flags(), 0x0043);
  ASSERT_EQ(ds.Parameter(2)->Flags(), 0x0040);

  const int b1 = ds.AddBlock(0, "Б1", SamplingMode::Samples, block_flag::kDates, 0, DataKind::Var, "", "");
  TSPCBlock& first = *ds.Block(b1);
  ASSERT_TRUE(first.AddSample("см. \"акт\"", "", true, test::At(2024, 3, 5)));
  ASSERT_TRUE(first.Sample(1)->AddPoints(2));
  ASSERT_TRUE(ds.SetValue(b1, 1, 1, 1, 10));
  ASSERT_TRUE(ds.SetValue(b1, 1, 2, 1, 10.05));
  ASSERT_TRUE(first.AddSample("", "", false, test::At(2024, 3, 6)));
  ASSERT_TRUE(first.Sample(2)->AddPoint());

  const int b2 = ds.AddBlock(0, "Б2", SamplingMode::Samples, 0, 0, DataKind::Attr, "", "");
  TSPCBlock& second = *ds.Block(b2);
  ASSERT_TRUE(second.AddSample("", "", true, test::At(2024, 3, 7)));
  second.Sample(1)->sampleSize = 50;
  ASSERT_TRUE(second.Sample(1)->AddPoint());
  ASSERT_TRUE(ds.SetValue(b2, 1, 1, 2, 3));
}

constexpr const char* kFixtureText =
    "; Источник - /data/Линия.mvl\r\n"
    "; Экспортировано 11.12.2026 17:05:09\r\n"
    "\r\n"
    "MORVALEN EXCHANGE FORMAT\r\n"
    "VERSION 3\r\n"
    "CODEPAGE 1251\r\n"
    "CREATE DATASET\r\n"
    "* PROCESS=\"Линия 1\"\r\n"
    "CREATE PARAMETER 'Диаметр \"D\"'\r\n"
    "* ALIAS=#123'456'789\r\n"
    "* DATATYPE=Var\r\n"
    "* NOSKIP=Y\r\n"
    "* UNIT=\"мм\"\r\n"
    "* DECIMALS=2\r\n"
    "* LSL=9.9\r\n"
    "* USL=10.1\r\n"
    "* RELATIVE=N\r\n"
    "* NEGATIVE=N\r\n"
    "CREATE PARAMETER \"Брак\"\r\n"
    "* ALIAS=B\r\n"
    "* DATATYPE=Attr\r\n"
    "* NOSKIP=Y\r\n"
    "* TYPE=units\r\n"
    "CREATE BLOCK \"Б1\"\r\n"
    "* DATATYPE=Var\r\n"
    "* SAMPLEDATE=date\r\n"
    "\r\n"
    "ADD SAMPLE  ; 1\r\n"
    "* DATE=05.03.2024\r\n"
    "* NOTE=\"см. 'акт'\"\r\n"
    "ADD POINT  #123'456'789=10  ; 1\r\n"
    "ADD POINT  #123'456'789=10.05  ; 2\r\n"
    "\r\n"
    "ADD SAMPLE  ; 2\r\n"
    "* DATE=06.03.2024\r\n"
    "* ACTIVE=\"N\"\r\n"
    "ADD POINT\r\n"
    "CREATE BLOCK \"Б2\"\r\n"
    "* DATATYPE=Attr\r\n"
    "* SAMPLEDATE=off\r\n"
    "\r\n"
    "ADD SAMPLE  ; 1\r\n"
    "* SIZE=50\r\n"
    "ADD POINT  B=3\r\n"
    "END\r\n";

MefExportOptions FixedTime() {
  MefExportOptions options;
  options.now = test::At(2026, 12, 11, 17, 5, 9);
  return options;
}

TEST(MefWriter, FixtureIsWrittenByteForByte) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  FillFixture(ds);
  MefExportResult result;
  const std::string bytes = BuildMefText(ds, FixedTime(), result);
  EXPECT_EQ(Cp1251ToUtf8(bytes), kFixtureText);
  EXPECT_EQ(bytes, Utf8ToCp1251(kFixtureText));
  EXPECT_EQ(result.size, bytes.size());
  EXPECT_EQ(result.parameters, 2);
  EXPECT_EQ(result.blocks, 2);
  EXPECT_EQ(result.samples, 3);
  EXPECT_EQ(result.points, 4);
  EXPECT_EQ(result.values, 3);
  EXPECT_TRUE(result.changes.empty());
}

TEST(MefWriter, SourceLineNamesAnOlderFileVersion) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  ds.fileName = "/d/old.mvl";
  ds.formatVersion = 5;
  MefExportResult result;
  const std::string text = Cp1251ToUtf8(BuildMefText(ds, FixedTime(), result));
  EXPECT_EQ(text.substr(0, text.find('\r')), "; Источник - /d/old.mvl  [из прежней версии]");
  ds.formatVersion = 6;
  const std::string current = Cp1251ToUtf8(BuildMefText(ds, FixedTime(), result));
  EXPECT_EQ(current.substr(0, current.find('\r')), "; Источник - /d/old.mvl");
}

TEST(MefWriter, NumbersReadBackExactly) {
  const struct {
    double x;
    int decimals;
    const char* text;
  } kCases[] = {
      {100, 0, "100"},          {9.95, 4, "9.95"},          {10, 5, "10"},
      {10.05, 2, "10.05"},      {10.0134, 2, "10.0134"},    {0.1 + 0.2, 2, "0.30000000000000004"},
      {-0.001, 2, "-0.001"},    {-0.0, 2, "0"},             {-2.5, 0, "-2.5"},
      {1e-300, 2, "1e-300"},    {1.5e25, 2, "15000000000000000285212672"},
      {1.2345e40, 3, "1.2345e+40"}, {123456.7, 1, "123456.7"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    const std::string text = MefNumberText(c.x, c.decimals);
    EXPECT_EQ(text, c.text);
    const TypedNumber back = ParseExchangeNumber(text);
    EXPECT_EQ(back.status, TypedNumberStatus::Ok);
    EXPECT_EQ(back.value, c.x);
  }
  EXPECT_EQ(MefNumberText(std::numeric_limits<double>::quiet_NaN(), 2), "");
}

// Over many values of every magnitude: the text with the decimals, trailing zeros removed,
// whenever that reads back; else another text that does.
TEST(MefWriter, NumberTextsAreTheDecimalsTextWheneverItReadsBack) {
  std::uint64_t state = 12345;
  for (int i = 0; i < 200000; ++i) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    const int decimals = static_cast<int>(state % 8);
    const double magnitude = std::pow(10.0, static_cast<int>((state >> 8) % 40) - 12);
    const double unit = static_cast<double>(state >> 11) / 9007199254740992.0 - 0.5;
    // Half the values lie on the decimals' grid, as typed values do.
    double x = unit * magnitude;
    if ((state >> 3) % 2 == 0) x = std::round(x * std::pow(10.0, decimals)) / std::pow(10.0, decimals);
    const std::string text = MefNumberText(x, decimals);
    const std::string plain = FormatTrimmed(x, decimals);
    const auto plainBack = ParseExchangeNumber(plain);
    SCOPED_TRACE(plain);
    if (plainBack.status == TypedNumberStatus::Ok && plainBack.value == x && plain.size() <= 30) {
      EXPECT_EQ(text, plain == "-0" ? "0" : plain);
    }
    const auto back = ParseExchangeNumber(text);
    ASSERT_EQ(back.status, TypedNumberStatus::Ok);
    ASSERT_EQ(back.value, x);
  }
}

// Everything written reads back as what the dataset holds.
TEST(MefWriter, WhatIsWrittenReadsBack) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  ds.fileName = "x.mvl";
  std::string note;
  for (int i = 0; i < 40; ++i) note += "строка " + std::to_string(i) + "\r\n";
  ds.note = note;
  ds.comment = "a;b \"c\"";
  TSPCParameter p;
  p.name = "it's \"odd\";";
  p.decimals = 1;
  p.note = std::string(250, 'n');
  p.SetFlag(param_flag::kRelative, true);
  p.multiplierCode = 2;
  ASSERT_EQ(ds.SetParameter(0, 987654321, p), 1);
  const int b = ds.AddBlock(0, "Б\"1\"", SamplingMode::Samples, block_flag::kDates | block_flag::kTimes, 0,
                            DataKind::Var, "раз\tв час", "");
  ASSERT_TRUE(ds.Block(b)->AddSample("", "событие", true, test::At(2024, 3, 5, 10, 31, 7)));
  ASSERT_TRUE(ds.Block(b)->AddSample("", "", true, test::At(2024, 3, 5, 10, 32, 0)));
  ASSERT_TRUE(ds.Block(b)->Sample(1)->AddPoint());
  ASSERT_TRUE(ds.Block(b)->Sample(2)->AddPoint());
  ASSERT_TRUE(ds.SetValue(b, 1, 1, 1, 10.0134));

  MefExportResult result;
  const auto commands = ReadMefCommands(SplitMefLines(BuildMefText(ds, FixedTime(), result)));
  const auto value = [](const MefCommand& c, std::string_view key) -> std::string {
    for (const MefPair& pair : c.pairs) {
      if (pair.key == key) return pair.value;
    }
    return "<none>";
  };
  ASSERT_GE(commands.size(), 10U);
  const MefCommand& dataset = commands[3];
  ASSERT_EQ(dataset.kind, MefCommandKind::CreateDataset);
  EXPECT_EQ(value(dataset, "COMMENT"), "a;b 'c'");
  // The note, its line breaks as " / ", cut to fit the line the reader keeps, and logged.
  const std::string readNote = value(dataset, "NOTE");
  EXPECT_EQ(CharCount(readNote), 292U);
  EXPECT_EQ(CutToChars(readNote, 19), "строка 0 / строка 1");
  ASSERT_EQ(result.changes.size(), 1U);
  EXPECT_EQ(result.changes[0].place, "dataset note");
  EXPECT_EQ(result.changes[0].change, "cut to 292 characters");

  const MefCommand& parameter = commands[4];
  ASSERT_EQ(parameter.kind, MefCommandKind::CreateParameter);
  EXPECT_EQ(*parameter.positional, "it's 'odd';");
  EXPECT_EQ(value(parameter, "NOTE"), std::string(250, 'n'));
  EXPECT_EQ(value(parameter, "ALIAS"), "#987'654'321");
  EXPECT_EQ(value(parameter, "MUL"), "0.01");
  EXPECT_EQ(value(parameter, "RELATIVE"), "Y");
  const MefCommand& block = commands[5];
  ASSERT_EQ(block.kind, MefCommandKind::CreateBlock);
  EXPECT_EQ(*block.positional, "Б\"1\"");
  EXPECT_EQ(value(block, "SAMPLEFREQ"), "раз в час");
  EXPECT_EQ(value(block, "SAMPLEDATE"), "DATETIME");
  EXPECT_EQ(value(commands[6], "TIME"), "10:31:07");
  EXPECT_EQ(value(commands[6], "EVENT"), "событие");
  ASSERT_EQ(commands[7].kind, MefCommandKind::AddPoint);
  EXPECT_EQ(value(commands[7], "#987'654'321"), "10.0134");
  EXPECT_EQ(value(commands[8], "TIME"), "10:32");
  EXPECT_EQ(commands.back().kind, MefCommandKind::End);
}

// Every parameter's values must be told apart on reading: an alias the reader would not take
// back as one key, or that another parameter has, gives way to the identifier.
TEST(MefWriter, AliasesStayDistinctKeys) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  const struct {
    const char* alias;
    std::int32_t id;
    const char* written;
  } kCases[] = {
      {"d", 111111111, "D"},           {"D", 222222222, "#222'222'222"},  {"a b", 333333333, "#333'333'333"},
      {"x=1", 444444444, "#444'444'444"}, {"ABCDEFGHIJKLMNOP", 555555555, "#555'555'555"},
      {"#111'111'111", 666666666, "#666'666'666"}, {"", 777777777, "#777'777'777"},
      {"Ж", 12345, "Ж"}, {"ж", 888, "#888"},
  };
  for (const auto& c : kCases) {
    TSPCParameter p;
    p.name = c.alias;
    p.alias = c.alias;
    ASSERT_NE(ds.SetParameter(0, c.id, p), 0);
  }
  MefExportResult result;
  int p = 0;
  for (const MefCommand& c : ReadMefCommands(SplitMefLines(BuildMefText(ds, FixedTime(), result)))) {
    if (c.kind != MefCommandKind::CreateParameter) continue;
    SCOPED_TRACE(kCases[p].alias);
    ASSERT_GE(c.pairs.size(), 2U);
    EXPECT_EQ(c.pairs[0].key, "ALIAS");
    EXPECT_EQ(c.pairs[0].value, kCases[p].written);
    ++p;
  }
  EXPECT_EQ(p, static_cast<int>(std::size(kCases)));
}

TEST(MefWriter, TextsOutsideTheCodePageAreReported) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  ds.processName = "Линия ✓";
  MefExportResult result;
  const std::string text = Cp1251ToUtf8(BuildMefText(ds, FixedTime(), result));
  EXPECT_NE(text.find("* PROCESS=\"Линия ?\"\r\n"), std::string::npos);
  ASSERT_EQ(result.changes.size(), 1U);
  EXPECT_EQ(result.changes[0].place, "dataset process");
}

TEST(MefWriter, OnlyTheListedBlocks) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  FillFixture(ds);
  MefExportOptions options = FixedTime();
  options.blocks = {2};
  MefExportResult result;
  const std::string text = Cp1251ToUtf8(BuildMefText(ds, options, result));
  EXPECT_EQ(text.find("Б1"), std::string::npos);
  EXPECT_NE(text.find("CREATE BLOCK \"Б2\""), std::string::npos);
  EXPECT_EQ(result.blocks, 1);
  EXPECT_EQ(result.samples, 1);
}

TEST(MefWriter, ExportWritesTheFileOrSaysItFailed) {
  test::FakePlatform fake;
  fake.clock.Freeze(test::At(2026, 12, 11, 17, 5, 9));
  TDatasetSPC ds;
  FillFixture(ds);
  const fs::path folder = fs::temp_directory_path() / ("mef_writer_" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const std::string target = (folder / "out.mef").string();
  {
    std::ofstream old(target, std::ios::binary);
    old << "old";
  }
  ASSERT_TRUE(ExportDataset(ds, target));
  std::ifstream in(target, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  EXPECT_EQ(bytes.str(), Utf8ToCp1251(kFixtureText));
  ASSERT_FALSE(fake.log.lines.empty());
  EXPECT_EQ(fake.log.lines.back(), "Exported to " + target + ", " + std::to_string(bytes.str().size()) + " bt");
  ASSERT_EQ(fake.messages.Texts().size(), 1U);
  EXPECT_EQ(fake.messages.Texts()[0], "Набор данных \"/data/Линия.mvl\" экспортирован в файл " + target);

  const std::string unwritable = (folder / "missing" / "out.mef").string();
  EXPECT_FALSE(ExportDataset(ds, unwritable));
  ASSERT_EQ(fake.messages.Texts().size(), 2U);
  EXPECT_EQ(fake.messages.Texts()[1], "Сбой при записи файла " + unwritable);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace mv
