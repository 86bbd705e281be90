#include "app/command_line.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(CommandLine, FilesAndSwitches) {
  const CommandLine line = ParseCommandLine(
      {"/data/вал.mvl", "-x", "-ic", ";comment", "-rd", "данные.MVL", "-m", "-d", "-", "-?", "-y", "/after.mvl"});
  EXPECT_EQ(line.files, (std::vector<std::string>{"/data/вал.mvl", "данные.MVL"}));
  EXPECT_TRUE(line.noConfiguration);
  EXPECT_EQ(line.importOption, 'C');
  EXPECT_TRUE(line.registryDisabled);
  EXPECT_TRUE(line.multiLaunch);
  EXPECT_TRUE(line.debugMode);
  EXPECT_FALSE(line.noPreviousDatasets);  // after "?": not read
  ASSERT_EQ(line.errors.size(), 1u);
  EXPECT_EQ(line.errors[0], "Неизвестный параметр командной строки\r\n\"-\"");
}

TEST(CommandLine, SlashSwitchesAndPaths) {
  const CommandLine line = ParseCommandLine({"-x", "/Y", "-IC", "a.mvl", "//c", ";d", "-?", "b.mvl"});
  EXPECT_TRUE(line.noConfiguration);
  EXPECT_TRUE(line.noPreviousDatasets);
  EXPECT_EQ(line.importOption, 'C');
  EXPECT_EQ(line.files, (std::vector<std::string>{"a.mvl"}));
  EXPECT_EQ(ParseCommandLine({"/home/a.mvl", "/x", "/tmp"}).files, (std::vector<std::string>{"/home/a.mvl", "/tmp"}));
}

TEST(CommandLine, ModifiersDecide) {
  const struct {
    const char* argument;
    bool debug;
    bool updated;
    char import;
  } kCases[] = {
      {"-D", true, false, 0}, {"-DX", false, false, 0}, {"-u", false, true, 0},
      {"-uq", false, false, 0}, {"-Id", false, false, 'D'}, {"-I", false, false, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.argument);
    const CommandLine line = ParseCommandLine({c.argument});
    EXPECT_EQ(line.debugMode, c.debug);
    EXPECT_EQ(line.justUpdated, c.updated);
    EXPECT_EQ(line.importOption, c.import);
    EXPECT_TRUE(line.files.empty());
  }
}

}  // namespace
}  // namespace mv

namespace mv {
namespace {

TEST(CommandLine, TextKeepsEveryArgumentWhole) {
  const struct {
    std::vector<std::string> arguments;
    const char* text;
  } kCases[] = {
      {{}, ""},
      {{"-m", "/data/вал.mvl"}, "-m /data/вал.mvl"},
      {{"-y", "/data/вал 12.mvl", "", "a\tb"}, "-y \"/data/вал 12.mvl\" \"\" \"a\tb\""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CommandLineText(c.arguments), c.text);
  }
}

}  // namespace
}  // namespace mv
