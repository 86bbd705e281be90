#include <gtest/gtest.h>

#include <string>

#include "core/cp1251.h"

namespace mv {
namespace {

TEST(Cp1251, EveryByteSurvivesRoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string utf8 = Cp1251ToUtf8(all);
  EXPECT_TRUE(FitsCp1251(utf8));
  EXPECT_EQ(Utf8ToCp1251(utf8), all);
}

TEST(Cp1251, KnownCharactersBothWays) {
  const struct {
    unsigned char byte;
    const char* utf8;
  } kCases[] = {
      {0x41, "A"},        {0xA8, "Ё"},        {0xB8, "ё"},          {0xC0, "А"},
      {0xDF, "Я"},        {0xE0, "а"},        {0xFF, "я"},          {0xB9, "№"},
      {0x88, "€"},        {0x99, "™"},        {0xA5, "Ґ"},          {0xB4, "ґ"},
      {0xA0, "\u00A0"},   {0x96, "–"},        {0x85, "…"},          {0xAB, "«"},
      {0x98, "\xC2\x98"},  // unassigned in Windows-1251, kept as U+0098
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.utf8);
    const std::string byte(1, static_cast<char>(c.byte));
    EXPECT_EQ(Cp1251ToUtf8(byte), c.utf8);
    EXPECT_EQ(Utf8ToCp1251(c.utf8), byte);
  }
}

TEST(Cp1251, WhatDoesNotFitBecomesQuestionMark) {
  const struct {
    const char* utf8;
    const char* bytes;
    bool fits;
  } kCases[] = {
      {"a€b", "a\x88" "b", true},
      {"\u00E9", "?", false},             // é: Latin-1 but not in 1251
      {"\u0080", "?", false},             // C1 control other than U+0098
      {"Ѝ", "?", false},                  // Cyrillic, but not a 1251 letter
      {"中文", "??", false},               // one '?' per character, not per byte
      {"x\U0001F600y", "x?y", false},     // four-byte character
      {"\xFF", "?", false},               // invalid UTF-8: one '?' per bad byte
      {"a\x80" "b", "a?b", false},        // lone continuation byte
      {"\xE2\x82", "??", false},          // € cut short
      {"я\xD1", "\xFF?", false},          // cut short at the very end
      {"\xC0\xAF", "??", false},          // overlong '/'
      {"\xED\xA0\x80", "???", false},     // surrogate
      {"\xF4\x90\x80\x80", "????", false},  // above U+10FFFF
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(Utf8ToCp1251(c.utf8), c.bytes);
    EXPECT_EQ(FitsCp1251(c.utf8), c.fits);
  }
}

// The encoder copies ASCII eight bytes at a time; a letter at any offset of such a run, and a
// run ending anywhere, must come out unchanged.
TEST(Cp1251, LettersAtEveryOffsetOfAsciiRuns) {
  for (std::size_t n = 0; n < 20; ++n) {
    SCOPED_TRACE(n);
    const std::string ascii(n, 'x');
    const std::string utf8 = ascii + "Ж" + ascii + "ё" + std::string(n % 9, '7');
    const std::string bytes = ascii + "\xC6" + ascii + "\xB8" + std::string(n % 9, '7');
    EXPECT_EQ(Utf8ToCp1251(utf8), bytes);
    EXPECT_EQ(Cp1251ToUtf8(bytes), utf8);
  }
}

}  // namespace
}  // namespace mv
