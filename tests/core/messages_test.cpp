#include "core/messages.h"

#include <gtest/gtest.h>

#include "core/event_sounds.h"
#include "core/msg_countdown.h"
#include "core/run_state.h"
#include "core/text.h"
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
  // Characters, not bytes: 200 Cyrillic letters are 400 bytes and still the narrowest width.
  std::string cyrillic;
  for (int i = 0; i < 200; ++i) cyrillic += "Ж";
  EXPECT_EQ(MessageTextWidth(CharCount(cyrillic)), 400);
  EXPECT_EQ(MessageTextWidth(CharCount(cyrillic + "Ж")), 470);
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
      {"inf", platform::MsgKind::Error, "Введено нечисловое значение (inf) для \"Допуск\""},
      {" abc ", platform::MsgKind::Error, "Введено нечисловое значение (abc) для \"Допуск\""},
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

namespace mv {
namespace {

using platform::MsgKind;
using platform::TMsgWinParams;

// Installs a message context for one test.
class ScopedMessageContext {
 public:
  explicit ScopedMessageContext(const MessageContext& context) : m_previous(SetMessageContext(context)) {}
  ~ScopedMessageContext() { SetMessageContext(m_previous); }

 private:
  MessageContext m_previous;
};

TEST(MessageWindow, EachKindIsFilledWithItsCaptionSoundAndParts) {
  test::FakePlatform fake;
  fake.clock.Freeze(test::At(2024, 3, 5, 14, 7, 9));
  RunState run;
  run.windowHandle = 4242;
  ScopedMessageContext context({&run, nullptr});
  ShowError("e", 7, "Save", 15, "d");
  ShowWarning("w", 8);
  ShowInfo("i", 30);
  ShowDebug("g");
  Ask("q");
  Ask("q", "Сохранить?", "det", 0, 10);
  const struct {
    MsgKind kind;
    const char* caption;
    std::int16_t sound, number, timeout;
    const char* details;
    std::uint32_t background;
  } kCases[] = {
      {MsgKind::Error, "Ошибка", 100, 7, 15, "d", 0},
      {MsgKind::Warning, "Предупреждение", 101, 8, 0, "", 0},
      {MsgKind::Info, "Информация", 102, 0, 30, "", 0},
      {MsgKind::Debug, "Отладочная информация 14:07:09 / 4242", 102, 0, 0, "", 0xFFFFCC},
      {MsgKind::Question, "Требуется подтверждение", 103, 0, 0, "", 0},
      {MsgKind::Question, "Сохранить?", 0, 0, 10, "det", 0},
  };
  ASSERT_EQ(fake.messages.shown.size(), std::size(kCases));
  for (std::size_t i = 0; i < std::size(kCases); ++i) {
    SCOPED_TRACE(i);
    const auto& c = kCases[i];
    const TMsgWinParams& shown = fake.messages.shown[i];
    EXPECT_EQ(shown.kind, c.kind);
    EXPECT_EQ(shown.caption, c.caption);
    EXPECT_EQ(shown.sound, c.sound);
    EXPECT_EQ(shown.number, c.number);
    EXPECT_EQ(shown.timeout, c.timeout);
    EXPECT_EQ(shown.details, c.details);
    EXPECT_EQ(shown.background, c.background);
  }
  EXPECT_EQ(fake.messages.shown[0].sourceTag, "Save");
}

TEST(MessageWindow, AskIsTrueOnlyForYes) {
  test::FakePlatform fake;
  fake.messages.answers = {true, false};
  EXPECT_TRUE(Ask("Продолжить?"));
  EXPECT_FALSE(Ask("Продолжить?"));
}

TEST(MessageWindow, TheEventSoundIsPlayedUnlessItIsZero) {
  test::FakePlatform fake;
  TEventSoundSet sounds;
  AddStandardEventDefaults(sounds);
  sounds.SetEnabled(true);
  sounds.AddEventDefault(kEventQuestion, 2);  // the user gave questions the "ok" sound
  ScopedMessageContext context({nullptr, &sounds});
  ShowError("e");
  EXPECT_EQ(fake.sound.played, std::vector<std::string>{"builtin:3"});
  fake.sound.played.clear();
  Ask("q", {}, {}, 0);
  EXPECT_TRUE(fake.sound.played.empty());
  Ask("q");
  EXPECT_EQ(fake.sound.played, std::vector<std::string>{"builtin:2"});
}

TEST(MessageWindow, LongCaptionsAreCutToNinetyNineCharacters) {
  test::FakePlatform fake;
  std::string tail;
  for (int i = 0; i < 20; ++i) tail += "Я";
  Ask("q", std::string(90, 'a') + tail);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].caption, std::string(90, 'a') + tail.substr(0, 9 * 2));  // "Я" is 2 bytes
}

TEST(MessageWindow, DetailsAreTheTextForErrorsWarningsAndDebugOnly) {
  const struct {
    MsgKind kind;
    const char* details;
    const char* offered;
  } kCases[] = {
      {MsgKind::Error, "", "Текст"},
      {MsgKind::Warning, "", "Текст"},
      {MsgKind::Debug, "", "Текст"},
      {MsgKind::Info, "", ""},
      {MsgKind::Question, "", ""},
      {MsgKind::Info, "Подробно", "Подробно"},
      {MsgKind::Error, "Подробно", "Подробно"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    TMsgWinParams request;
    request.kind = c.kind;
    request.text = "Текст";
    request.details = c.details;
    EXPECT_EQ(OfferedDetails(request), c.offered);
  }
}

TEST(MessageWindow, DetailsTextEndsWithTheDiagnosticLineAndTheSupportHint) {
  TMsgWinParams request;
  request.kind = MsgKind::Error;
  request.text = "Файл не найден";
  EXPECT_EQ(DetailsText(request, "DIAG"),
            "Файл не найден\r\n\r\n\r\n---------------------------------------\r\nDIAG\r\n"
            "При необходимости Вы можете обратиться в службу техподдержки. При этом пожалуйста скопируйте и "
            "перешлите полный текст этого сообщения");
  request.kind = MsgKind::Info;
  EXPECT_EQ(DetailsText(request, "DIAG").substr(0, 6), "\r\n\r\n\r\n");
  EXPECT_EQ(DetailsCaption("Ошибка"), "Подробнее: Ошибка");
  EXPECT_EQ(DetailsLinkCaption(request), "Подробнее...");
  request.detailsCaption = "Журнал";
  EXPECT_EQ(DetailsLinkCaption(request), "Журнал");
}

TEST(MessageWindow, DiagnosticLineNamesTheRunAndAnAdditionalInstance) {
  const TDateTime when = test::At(2024, 3, 5, 14, 7, 9);
  const std::string head = std::string("05.03.2024 14:07:09 / Morvalen ") + MV_VERSION + " / #12 / w";
  EXPECT_EQ(DiagnosticLine(12, when), head + "0");  // before the run is known
  RunState run;
  run.runNumber = 17;
  run.windowHandle = 41943046;
  ScopedMessageContext context({&run, nullptr});
  EXPECT_EQ(DiagnosticLine(12, when), head + "41943046 / run 17");
  run.Set(RunFlag::PrevInstance);
  EXPECT_EQ(DiagnosticLine(12, when), head + "41943046 / run 17, double instance");
  EXPECT_TRUE(HasDiagnosticLine(MsgKind::Error));
  EXPECT_TRUE(HasDiagnosticLine(MsgKind::Warning));
  EXPECT_FALSE(HasDiagnosticLine(MsgKind::Info));
  EXPECT_FALSE(HasDiagnosticLine(MsgKind::Question));
  EXPECT_FALSE(HasDiagnosticLine(MsgKind::Debug));
}

TEST(MsgCountdown, TextOnlyInTheLastTwentySecondsThenTimesOut) {
  MsgCountdown countdown(30);
  for (int left = 30; left > 20; --left) {
    EXPECT_EQ(countdown.Text(), "") << left;
    EXPECT_FALSE(countdown.Tick());
  }
  EXPECT_EQ(countdown.Remaining(), 20);
  EXPECT_EQ(countdown.Text(), "      Окно будет закрыто через 20 сек");
  for (int left = 20; left > 1; --left) EXPECT_FALSE(countdown.Tick());
  EXPECT_EQ(countdown.Text(), "      Окно будет закрыто через 1 сек");
  EXPECT_TRUE(countdown.Tick());
  EXPECT_TRUE(countdown.Expired());
  EXPECT_EQ(countdown.Text(), "");
  EXPECT_FALSE(countdown.Tick());  // the end comes once
}

TEST(MsgCountdown, DetailsPauseItAndItGoesOnFromWhereItStopped) {
  MsgCountdown countdown(30);
  for (int i = 0; i < 5; ++i) countdown.Tick();
  ASSERT_EQ(countdown.Remaining(), 25);
  countdown.Pause();
  for (int i = 0; i < 100; ++i) EXPECT_FALSE(countdown.Tick());
  EXPECT_EQ(countdown.Remaining(), 25);
  countdown.Resume();
  countdown.Tick();
  EXPECT_EQ(countdown.Remaining(), 24);
}

TEST(MsgCountdown, ClickingTheTextStopsItForGood) {
  MsgCountdown countdown(3);
  countdown.Tick();
  EXPECT_FALSE(countdown.Text().empty());
  countdown.Cancel();
  EXPECT_EQ(countdown.Text(), "");
  countdown.Resume();  // closing a details window later does not bring it back
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(countdown.Tick());
  EXPECT_FALSE(countdown.Expired());
}

TEST(MsgCountdown, NoTimeOutMeansNoCountdown) {
  for (int seconds : {0, -5}) {
    MsgCountdown countdown(seconds);
    EXPECT_FALSE(countdown.Active());
    EXPECT_EQ(countdown.Text(), "");
    EXPECT_FALSE(countdown.Tick());
  }
}

}  // namespace
}  // namespace mv
