#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "core/text.h"

namespace mv {
namespace {

TEST(Text, CountsAndCutsCharactersNotBytes) {
  const struct {
    const char* text;
    std::size_t count;
    std::size_t cutTo;
    const char* cut;
  } kCases[] = {
      {"", 0, 5, ""},
      {"abc", 3, 2, "ab"},
      {"Привет", 6, 3, "При"},
      {"Ёж№5", 4, 10, "Ёж№5"},
      {"a\U0001F600b", 3, 2, "a\U0001F600"},
      {"\xFF\xD0я", 3, 2, "\xFF\xD0"},  // each bad byte is one character
      {"я", 1, 0, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CharCount(c.text), c.count);
    EXPECT_EQ(CutToChars(c.text, c.cutTo), c.cut);
  }
}

TEST(Text, CaseOfEveryWindows1251Letter) {
  const std::string lower = "abcdefghijklmnopqrstuvwxyz"
                            "абвгдеёжзийклмнопрстуфхцчшщъыьэюя"
                            "ђѓљњќћџўјґєїіѕ";
  const std::string upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                            "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"
                            "ЂЃЉЊЌЋЏЎЈҐЄЇІЅ";
  EXPECT_EQ(UpperCase(lower), upper);
  EXPECT_EQ(LowerCase(upper), lower);
  EXPECT_TRUE(SameText(lower, upper));
}

TEST(Text, CaseKeepsEverythingElse) {
  const std::string others = "0123456789 .,;-_№€«»ßéÉѝЍ\xFF\xD0";
  EXPECT_EQ(UpperCase(others), others);
  EXPECT_EQ(LowerCase(others), others);
}

TEST(Text, SameTextIgnoresOnlyLetterCase) {
  const struct {
    const char* a;
    const char* b;
    bool same;
  } kCases[] = {
      {"Ёлка", "ёЛКА", true},   {"Ґ", "ґ", true},     {"Abc", "aBC", true},
      {"", "", true},           {"е", "ё", false},    {"abc", "abd", false},
      {"ab", "abc", false},     {"abc", "ab", false}, {"\xFF", "\xFF", true},
      {"\xFF", "\xFE", false},  {"\xD0", "Ð", false},  // a bad byte is not the character
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.a) + " / " + c.b);
    EXPECT_EQ(SameText(c.a, c.b), c.same);
  }
}

TEST(Text, TrimRemovesBlanksTabsAndLineEnds) {
  const struct {
    const char* text;
    const char* trimmed;
  } kCases[] = {
      {"", ""}, {" \t\r\n", ""}, {"  a b \r\n", "a b"}, {"\tЯ", "Я"}, {"x", "x"},
      {"\u00A0x", "\u00A0x"},  // a no-break space is not a blank here
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Trim(c.text), c.trimmed);
  }
}

TEST(Text, PluralRuFollowsTheCountingRule) {
  const struct {
    std::int64_t n;
    const char* text;
  } kCases[] = {
      {1, "1 параметр"},      {2, "2 параметра"},      {4, "4 параметра"},
      {5, "5 параметров"},    {0, "0 параметров"},     {11, "11 параметров"},
      {12, "12 параметров"},  {14, "14 параметров"},   {15, "15 параметров"},
      {21, "21 параметр"},    {22, "22 параметра"},    {25, "25 параметров"},
      {111, "111 параметр"},  {112, "112 параметра"},  {1000, "1000 параметров"},
      {-1, "-1 параметр"},    {-12, "-12 параметров"}, {-23, "-23 параметра"},
      {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808 параметров"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.n);
    EXPECT_EQ(PluralRu(c.n, " параметр", "", "а", "ов"), c.text);
  }
}

}  // namespace
}  // namespace mv
