#include <gtest/gtest.h>

#include <set>

#include "platform/headless.h"
#include "platform/services.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

TEST(PlatformServices, GuardInstallsFakeAndRestoresDefault) {
  platform::IClock* before = &platform::Current<platform::IClock>();
  {
    test::FakePlatform fake;
    EXPECT_EQ(&platform::Current<platform::IClock>(), &fake.clock);
    EXPECT_EQ(&platform::Current<platform::IMessageWindows>(), &fake.messages);
  }
  EXPECT_EQ(&platform::Current<platform::IClock>(), before);
}

TEST(PlatformServices, HeadlessDefaultsAnswerSafely) {
  platform::TMsgWinParams question;
  question.kind = platform::MsgKind::Question;
  EXPECT_FALSE(platform::Current<platform::IMessageWindows>().Show(question));
  platform::TMsgWinParams info;
  EXPECT_TRUE(platform::Current<platform::IMessageWindows>().Show(info));
  EXPECT_FALSE(platform::Current<platform::IFileDialogs>().ChooseOpen({}).has_value());
  EXPECT_FALSE(platform::Current<platform::ISoundPlayer>().PlayBuiltin(platform::BuiltinSound::Ok, true));
}

TEST(PlatformServices, SystemClockNeverRepeats) {
  platform::SystemClock clock;
  TDateTime last = clock.Now();
  EXPECT_GT(last, 45000.0);  // after 2023
  for (int i = 0; i < 1000; ++i) {
    const TDateTime now = clock.Now();
    ASSERT_GT(now, last);
    last = now;
  }
}

TEST(PlatformServices, RandomIdentifiersStayInRangeAndDiffer) {
  platform::RandomIdSource ids;
  std::set<std::int32_t> seen;
  for (int i = 0; i < 1000; ++i) {
    const std::int32_t id = ids.NewId();
    ASSERT_GE(id, platform::kIdentifierMin);
    ASSERT_LT(id, platform::kIdentifierEnd);
    seen.insert(id);
  }
  EXPECT_GE(seen.size(), 995u);  // collisions among 1000 draws of 889 million are rare
}

}  // namespace
}  // namespace mv
