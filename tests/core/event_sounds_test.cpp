#include "core/event_sounds.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/bytes.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

TEST(EventSounds, RegistryKnowsTheStandardEventsAndIgnoresBadRegistrations) {
  EXPECT_EQ(AppEvents().Title(100), "Ошибка в работе приложения");
  EXPECT_EQ(AppEvents().Title(20012), "Введено значение параметра: Недопустимое значение");
  EXPECT_EQ(AppEvents().Events().size(), 11u);

  AppEventRegistry registry;
  EXPECT_FALSE(registry.Register(0, "ноль"));
  EXPECT_TRUE(registry.Register(5, "пять"));
  EXPECT_FALSE(registry.Register(5, "снова"));
  EXPECT_EQ(registry.Title(5), "пять");
  for (std::int16_t code = 6; registry.Events().size() < AppEventRegistry::kCapacity; ++code) {
    ASSERT_TRUE(registry.Register(code, "x"));
  }
  EXPECT_FALSE(registry.Register(999, "лишнее"));
}

TEST(EventSounds, StandardDefaultsKeepStoredChoices) {
  test::FakePlatform fake;
  TEventSoundSet set;
  ASSERT_TRUE(set.AddEventDefault(100, 1));  // as if read from the configuration
  set.Item(1)->soundKind = static_cast<std::uint8_t>(SoundKind::Silent);
  AddStandardEventDefaults(set);
  EXPECT_EQ(set.Count(), 7);
  EXPECT_EQ(set.Item(1)->soundKind, static_cast<std::uint8_t>(SoundKind::Silent));
  EXPECT_EQ(set.Item(set.IndexOfEvent(20010))->defaultSound, 2);
  EXPECT_EQ(set.Item(set.IndexOfEvent(20002))->defaultSound, 0);
  EXPECT_EQ(set.IndexOfEvent(1), 0);  // no default registered for the start
  EXPECT_EQ(set.IndexOfEvent(0), 0);
  EXPECT_FALSE(set.AddEventDefault(100, 3));
}

TEST(EventSounds, DisplayText) {
  const struct {
    SoundKind kind;
    std::uint8_t defaultSound;
    const char* file;
    const char* text;
    bool hasSound;
  } kCases[] = {
      {SoundKind::Default, 2, "", "По умолчанию", true},
      {SoundKind::Default, 0, "", "По умолчанию (без звука)", false},
      {SoundKind::Silent, 2, "", "Без звука", false},
      {SoundKind::File, 0, "bell.wav", "bell.wav", true},
      {SoundKind::File, 2, "", "", false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    TEventSound sound;
    sound.soundKind = static_cast<std::uint8_t>(c.kind);
    sound.defaultSound = c.defaultSound;
    sound.soundFile = c.file;
    EXPECT_EQ(sound.DisplayText(), c.text);
    EXPECT_EQ(sound.HasSound(), c.hasSound);
  }
}

TEST(EventSounds, PlayFollowsEnabledForceAndKind) {
  test::FakePlatform fake;
  TEventSoundSet set;
  AddStandardEventDefaults(set);
  EXPECT_FALSE(set.Play(100, true));  // disabled
  EXPECT_TRUE(set.Play(100, true, true));
  EXPECT_EQ(set.lastPlayed, 100);
  set.SetEnabled(true);
  EXPECT_TRUE(set.Play(20010, false));
  EXPECT_FALSE(set.Play(20002, false));  // default "none"
  EXPECT_FALSE(set.Play(777, false));    // no such event
  EXPECT_EQ(fake.sound.played, (std::vector<std::string>{"builtin:3", "builtin:2"}));
  EXPECT_EQ(set.lastPlayed, 20010);

  TEventSound* file = set.Item(set.IndexOfEvent(20011));
  file->soundKind = static_cast<std::uint8_t>(SoundKind::File);
  file->soundFile = "nowhere\\missing.wav";
  EXPECT_FALSE(set.Play(20011, false));  // a missing file plays nothing
  EXPECT_EQ(fake.sound.played.size(), 2u);
  fake.sound.succeed = false;
  EXPECT_FALSE(set.Play(100, false));
  EXPECT_EQ(set.lastPlayed, 20010);
}

TEST(EventSounds, TryingAnEventWithoutSoundWarns) {
  test::FakePlatform fake;
  TEventSoundSet set;
  ASSERT_TRUE(set.AddEventDefault(20002, 0));
  EXPECT_FALSE(TryEventSound(set, 1));
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, "Звук не выбран для текущего события");
  EXPECT_EQ(fake.messages.shown[0].caption, "Предупреждение");
}

TEST(EventSounds, SoundFileMustLieInTheSoundFolder) {
  const std::string folder = "/opt/morvalen/Sys/Sound";
  const std::string longName(201, 'a');
  const struct {
    std::string chosen;
    bool accepted;
    std::string stored;
  } kCases[] = {
      {folder + "/bell.wav", true, "bell.wav"},
      {folder + "/office/bell.wav", true, "office\\bell.wav"},
      {"/OPT/Morvalen/sys/SOUND/Bell.wav", true, "Bell.wav"},  // letter case ignored
      {"/opt/morvalen/Sys/Sound2/bell.wav", false, ""},       // a prefix is not the folder
      {folder + "/../secret.wav", false, ""},
      {"/tmp/bell.wav", false, ""},
      {folder + "/" + std::string(200, 'a'), true, std::string(200, 'a')},
      {folder + "/" + longName, false, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.chosen);
    const SoundFileChoice choice = CheckSoundFileChoice(folder, c.chosen);
    EXPECT_EQ(choice.accepted, c.accepted);
    EXPECT_EQ(choice.stored, c.stored);
    EXPECT_EQ(choice.warning.empty(), c.accepted);
  }
  EXPECT_EQ(CheckSoundFileChoice(folder, "/tmp/bell.wav").warning,
            "Можно выбирать звуковые файлы только в папке \"" + folder +
                "\"\r\n\r\nСейчас выбран файл\r\n\"/tmp/bell.wav\"");
  EXPECT_EQ(CheckSoundFileChoice(folder, folder + "/" + longName).warning,
            "Имя файла слишком длинное\r\n\"" + longName + "\"");
}

TEST(EventSounds, StreamRoundTrip) {
  test::FakePlatform fake;
  TEventSoundSet set;
  AddStandardEventDefaults(set);
  TEventSound* sound = set.Item(2);
  sound->soundKind = static_cast<std::uint8_t>(SoundKind::File);
  sound->soundFile = "звонок.wav";
  sound->name = "Событие";
  const std::string text = set.SaveToString();
  ASSERT_FALSE(text.empty()) << set.LastError;
  TEventSoundSet copy;
  ASSERT_TRUE(copy.LoadFromString(text)) << copy.LastError;
  ASSERT_EQ(copy.Count(), 7);
  for (int i = 1; i <= 7; ++i) {
    EXPECT_EQ(copy.Item(i)->id, set.Item(i)->id);
    EXPECT_EQ(copy.Item(i)->eventCode, set.Item(i)->eventCode);
    EXPECT_EQ(copy.Item(i)->defaultSound, set.Item(i)->defaultSound);
    EXPECT_EQ(copy.Item(i)->soundKind, set.Item(i)->soundKind);
    EXPECT_EQ(copy.Item(i)->soundFile, set.Item(i)->soundFile);
    EXPECT_EQ(copy.Item(i)->name, set.Item(i)->name);
  }
  EXPECT_EQ(text.substr(4, 5), "-SND\x01");
}

}  // namespace
}  // namespace mv
