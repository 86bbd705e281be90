#include "core/messages.h"

#include <gtest/gtest.h>

#include "support/fake_platform.h"

namespace mv {
namespace {

TEST(Messages, TaggedErrorWindowsAreCopiedIntoTheLog) {
  const struct {
    bool error;  // an error window, else a warning
    const char* text;
    const char* tag;
    const char* logged;  // "" = nothing logged
  } kCases[] = {
      {true, "A\r\nB", "T", "[ERR] Ошибка - A B [T]"},
      // CR LF, a lone CR and a lone LF are one blank each; two breaks give two.
      {true, "A\rB\nC\r\n\r\nD", "T", "[ERR] Ошибка - A B C  D [T]"},
      {true, "A\n\rB", "Save CFG", "[ERR] Ошибка - A  B [Save CFG]"},
      {true, "A\r\nB", "nolog", ""},
      {true, "A\r\nB", "", ""},
      {false, "A\r\nB", "T", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    test::FakePlatform fake;
    if (c.error) {
      ShowError(c.text, 0, c.tag);
    } else {
      ShowWarning(c.text, 0, c.tag);
    }
    ASSERT_EQ(fake.messages.shown.size(), 1u);  // the window is shown either way
    EXPECT_EQ(fake.messages.shown[0].text, c.text);
    if (*c.logged) {
      ASSERT_EQ(fake.log.lines.size(), 1u);
      EXPECT_EQ(fake.log.lines[0], c.logged);
    } else {
      EXPECT_TRUE(fake.log.lines.empty());
    }
  }
}

}  // namespace
}  // namespace mv

namespace mv {
namespace {

TEST(MessageWindow, TextWidthFollowsTheLength) {
  const struct {
    std::size_t characters;
    int width;
  } kCases[] = {{0, 400}, {200, 400}, {201, 470}, {500, 470}, {501, 520}, {800, 520}, {801, 600}};
  for (const auto& c : kCases) EXPECT_EQ(MessageTextWidth(c.characters), c.width) << c.characters;
}

TEST(ValidateNumber, BoundsAreInclusiveAndEachRefusalSaysWhy) {
  test::FakePlatform fake;
  EXPECT_EQ(ValidateNumber("Допуск", " 0,001 ", 0.001, 500000), 0.001);
  EXPECT_EQ(ValidateNumber("Допуск", "500 000", 0.001, 500000), 500000.0);
  EXPECT_TRUE(fake.messages.shown.empty());
  const struct {
    const char* text;
    platform::MsgKind kind;
    const char* message;
  } kCases[] = {
      {"600000", platform::MsgKind::Error,
       "Значение \"Допуск\" (600000) выходит из допустимых границ (0.001 .. 500000)"},
      {"  ", platform::MsgKind::Warning, "Не указано значение для \"Допуск\""},
      {"1e999", platform::MsgKind::Error, "Введено нечисловое значение (1e999) для \"Допуск\""},
      {"nan", platform::MsgKind::Error, "Введено нечисловое значение (nan) для \"Допуск\""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    fake.messages.shown.clear();
    EXPECT_FALSE(ValidateNumber("Допуск", c.text, 0.001, 500000).has_value());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].kind, c.kind);
    EXPECT_EQ(fake.messages.shown[0].text, c.message);
    EXPECT_EQ(fake.messages.shown[0].timeout, 30);
  }
  // Bounds show at most 4 decimals, unless that would show another number.
  const struct {
    double min, max;
    const char* bounds;
  } kBounds[] = {{0.00001, 1000000, "(0.00001 .. 1000000)"}, {0.12345, 2.5, "(0.12345 .. 2.5)"},
                 {1.0 / 3, 2, "(0.3333333333 .. 2)"}, {-0.5, 1e17, "(-0.5 .. 100000000000000000)"}};
  for (const auto& b : kBounds) {
    fake.messages.shown.clear();
    EXPECT_FALSE(ValidateNumber("Допуск", "-7", b.min, b.max));
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, std::string("Значение \"Допуск\" (-7) выходит из допустимых границ ") + b.bounds);
  }
}

}  // namespace
}  // namespace mv
