#include "spc/mef_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mv {
namespace {

std::string PairsText(const MefCommand& c) {
  std::string out;
  for (const MefPair& p : c.pairs) out += "[" + p.key + "|" + p.value + "]";
  return out;
}

// One command read from one or more lines.
MefCommand ReadOne(const std::vector<std::string>& lines) {
  const auto commands = ReadMefCommands(lines);
  EXPECT_EQ(commands.size(), 1U);
  return commands.empty() ? MefCommand{} : commands.front();
}

TEST(MefReader, CommandsKeysAndValues) {
  const struct {
    const char* line;
    MefCommandKind kind;
    const char* positional;  // nullptr: none
    const char* pairs;
  } kCases[] = {
      {"create dataset process = abc", MefCommandKind::CreateDataset, nullptr, "[PROCESS|ABC]"},
      {"CREATE DATASET PROCESS=\"abc\"", MefCommandKind::CreateDataset, nullptr, "[PROCESS|abc]"},
      {"CREATE DATASET PROCESS abc", MefCommandKind::CreateDataset, nullptr, "[PROCESS|ABC]"},
      {"CREATE DATASET PROCESS =abc", MefCommandKind::CreateDataset, nullptr, "[PROCESS|ABC]"},
      {"CREATE DATASET PROCESS= abc", MefCommandKind::CreateDataset, nullptr, "[PROCESS|ABC]"},
      {"CREATE DATASET process='a b'", MefCommandKind::CreateDataset, nullptr, "[PROCESS|a b]"},
      // A ";" between double quotes is text; between apostrophes it starts the comment.
      {"CREATE DATASET COMMENT=\"a;b\" NOTE='c;d'", MefCommandKind::CreateDataset, nullptr,
       "[COMMENT|a;b][NOTE|c]"},
      {"ADD\tPOINT  X=1", MefCommandKind::AddPoint, nullptr, "[X|1]"},
      {"ADD POINT #123'456'789=10.05 b=3", MefCommandKind::AddPoint, nullptr, "[#123'456'789|10.05][B|3]"},
      {"VERSION 3 ; x", MefCommandKind::Version, "3", ""},
      {"version", MefCommandKind::Version, nullptr, ""},
      {"morvalen exchange format", MefCommandKind::Format, nullptr, ""},
      {"CODEPAGE 1251", MefCommandKind::Codepage, "1251", ""},
      {"USE CURRENT DATASET X=1", MefCommandKind::UseCurrentDataset, nullptr, "[X|1]"},
      {"CREATE PARAMETER 'Диаметр \"D\"' alias=d", MefCommandKind::CreateParameter, "Диаметр \"D\"", "[ALIAS|D]"},
      {"create parameter диаметр", MefCommandKind::CreateParameter, "ДИАМЕТР", ""},
      {"USE PARAMETER \"Брак\" ALIAS=B", MefCommandKind::UseParameter, "Брак", "[ALIAS|B]"},
      {"CREATE BLOCK \"Б1\" SAMPLEDATE=date", MefCommandKind::CreateBlock, "Б1", "[SAMPLEDATE|DATE]"},
      {"USE BLOCK Б1 CLEAR=Y", MefCommandKind::UseBlock, "Б1", "[CLEAR|Y]"},
      {"ADD SAMPLE DATE=05.03.2024 NOTE=\"x\" TIME", MefCommandKind::AddSample, nullptr, "[DATE|05.03.2024][NOTE|x]"},
      {"END", MefCommandKind::End, nullptr, ""},
      // The quoted token ends at its quote; what follows is a token of its own.
      {"CREATE DATASET NOTE=\"abc\"def x", MefCommandKind::CreateDataset, nullptr, "[NOTE|abc][DEF|X]"},
      // An unclosed quote runs to the end.
      {"CREATE DATASET NOTE=\"abc def", MefCommandKind::CreateDataset, nullptr, "[NOTE|abc def]"},
      // Keys keep 15 characters.
      {"ADD POINT ABCDEFGHIJKLMNOPQ=1", MefCommandKind::AddPoint, nullptr, "[ABCDEFGHIJKLMNO|1]"},
      {"CREATE THING", MefCommandKind::Unknown, nullptr, ""},
      {"ADDPOINT", MefCommandKind::Unknown, nullptr, ""},
      {"\"END\"", MefCommandKind::End, nullptr, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.line);
    const MefCommand command = ReadOne({c.line});
    EXPECT_EQ(command.kind, c.kind);
    EXPECT_EQ(command.positional.has_value(), c.positional != nullptr);
    if (c.positional && command.positional) {
      EXPECT_EQ(*command.positional, c.positional);
    }
    if (c.kind != MefCommandKind::Unknown) {
      EXPECT_EQ(PairsText(command), c.pairs);
    }
    EXPECT_TRUE(command.error.empty());
  }
}

TEST(MefReader, TokensUpperCaseCyrillicAndKeepQuotedText) {
  const auto tokens = TokenizeMefText("ёлка=\"ёлка\" 'Мм' x= = y");
  ASSERT_EQ(tokens.size(), 8U);
  EXPECT_EQ(tokens[0].text, "ЁЛКА");
  EXPECT_EQ(tokens[1].kind, MefToken::Kind::Equals);
  EXPECT_EQ(tokens[2].kind, MefToken::Kind::Quoted);
  EXPECT_EQ(tokens[2].text, "ёлка");
  EXPECT_EQ(tokens[3].text, "Мм");
  EXPECT_EQ(tokens[4].text, "X");
  EXPECT_EQ(tokens[5].kind, MefToken::Kind::Equals);
  EXPECT_EQ(tokens[6].kind, MefToken::Kind::Equals);
  EXPECT_EQ(tokens[7].text, "Y");
}

TEST(MefReader, ContinuationsJoinAndKeepTheirLines) {
  const std::vector<std::string> lines = {
      "",                                   // 1
      "; a comment line",                   // 2
      "CREATE PARAMETER \"D\"",             // 3
      "* ALIAS=D   ",                       // 4
      "   ",                                // 5
      "\t* UNIT=\"мм\" ; the unit",          // 6
      "CREATE BLOCK B1",                    // 7
      "END",                                // 8
      "CREATE BLOCK after the end",         // 9
  };
  const auto commands = ReadMefCommands(lines);
  ASSERT_EQ(commands.size(), 3U);
  EXPECT_EQ(commands[0].kind, MefCommandKind::CreateParameter);
  EXPECT_EQ(commands[0].text, "CREATE PARAMETER \"D\" ALIAS=D UNIT=\"мм\"");
  EXPECT_EQ(commands[0].firstLine, 3);
  EXPECT_EQ(commands[0].lastLine, 6);
  EXPECT_EQ(PairsText(commands[0]), "[ALIAS|D][UNIT|мм]");
  EXPECT_EQ(commands[1].firstLine, 7);
  EXPECT_EQ(*commands[1].positional, "B1");
  EXPECT_EQ(commands[2].kind, MefCommandKind::End);
}

TEST(MefReader, ContinuationKeepsThreeHundredCharacters) {
  // A note of 300 characters: the line after its "*" holds 307, of which 300 are kept.
  const std::string longLine = "* NOTE=\"" + std::string(300, 'x');
  MefCommand command = ReadOne({"CREATE DATASET", longLine});
  ASSERT_EQ(command.pairs.size(), 1U);
  EXPECT_EQ(command.pairs[0].value, std::string(293, 'x'));
  // Characters count, not bytes: 300 Cyrillic letters are cut like 300 Latin ones.
  std::string cyrillic;
  for (int i = 0; i < 300; ++i) cyrillic += "ж";
  command = ReadOne({"CREATE DATASET", "* NOTE=\"" + cyrillic});
  ASSERT_EQ(command.pairs.size(), 1U);
  EXPECT_EQ(command.pairs[0].value.size(), 293U * 2);
  // The longest parameter note the writer puts out, 250 characters in quotes, comes back whole.
  command = ReadOne({"CREATE PARAMETER P", "* NOTE=\"" + std::string(250, 'n') + "\"", "* ALIAS=P"});
  EXPECT_EQ(PairsText(command), "[NOTE|" + std::string(250, 'n') + "][ALIAS|P]");
}

TEST(MefReader, TabsStopEveryEightColumns) {
  // "ab<TAB>" reaches column 8; the quoted value keeps the blanks a tab gives.
  const MefCommand command = ReadOne({"CREATE DATASET NOTE=\"ab\tc\td\""});
  ASSERT_EQ(command.pairs.size(), 1U);
  // 'C' of "CREATE..." is column 0; the quote at 20 opens, "ab" at 21..22, tab to 24.
  EXPECT_EQ(command.pairs[0].value, "ab c       d");
  // Cyrillic letters are one column each.
  const MefCommand cyr = ReadOne({"ADD POINT Ж=\"ж\tж\""});
  ASSERT_EQ(cyr.pairs.size(), 1U);
  EXPECT_EQ(cyr.pairs[0].value, "ж  ж");
}

TEST(MefReader, TooManyPairsIsAnErrorOfTheCommand) {
  const auto make = [](const char* words, int n) {
    std::string text = words;
    for (int i = 0; i < n; ++i) text += " K" + std::to_string(i) + "=" + std::to_string(i);
    return text;
  };
  const struct {
    const char* words;
    int pairs;
    bool error;
  } kCases[] = {
      {"CREATE DATASET", 45, false}, {"CREATE DATASET", 46, true},
      {"ADD POINT", 20, false},      {"ADD POINT", 21, true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.words) + " " + std::to_string(c.pairs));
    const MefCommand command = ReadOne({make(c.words, c.pairs)});
    EXPECT_EQ(command.error, c.error ? kMefTooManyValues : "");
    EXPECT_EQ(command.pairs.size(), c.error ? 0U : static_cast<std::size_t>(c.pairs));
  }
}

TEST(MefReader, LinesSplitOnEveryLineEndAndDecode) {
  const struct {
    std::string bytes;
    std::vector<std::string> lines;
  } kCases[] = {
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\rb", {"a", "", "b"}},
      {"a\n\r\nb", {"a", "", "b"}},
      {"", {}},
      {"\xCC\xEC", {"Мм"}},                    // Windows-1251
      {"\xEF\xBB\xBF\xD0\x9C\xD0\xBC\r\n", {"Мм"}},  // UTF-8 after its mark
      {"\xEF\xBB\xBF", {}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(SplitMefLines(c.bytes), c.lines);
  }
}

TEST(MefReader, ContinuationWithoutACommandIsACommandOfItsOwn) {
  const auto commands = ReadMefCommands({"* NOTE=x", "END"});
  ASSERT_EQ(commands.size(), 2U);
  EXPECT_EQ(commands[0].kind, MefCommandKind::Unknown);
  EXPECT_EQ(commands[0].text, "* NOTE=x");
}

}  // namespace
}  // namespace mv
