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
