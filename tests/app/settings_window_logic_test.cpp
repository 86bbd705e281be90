#include "app/settings_window_logic.h"

#include <gtest/gtest.h>

#include <map>

#include "app/desktop_integration.h"
#include "support/bytes.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

// A desktop whose associations the test sets; SetDefault fails for the types in `refuse`.
class ScriptedDesktop final : public platform::IFileAssociations {
 public:
  platform::FileTypeAssociation Query(const std::string& mime) override { return types[mime]; }
  bool SetDefault(const std::string& mime, const std::string& id) override {
    requests.push_back(mime);
    if (refuse.count(mime)) return false;
    types[mime].defaultHandler = id;
    return true;
  }
  std::map<std::string, platform::FileTypeAssociation> types;
  std::map<std::string, bool> refuse;
  std::vector<std::string> requests;
};

struct Settings {
  explicit Settings(SettingsWindowLogic::Options options = {}) {
    AddStandardEventDefaults(sounds);
    options.programFolder = dir.path();
    if (options.soundFolder.empty()) options.soundFolder = dir.Path("Sys/Sound");
    logic.emplace(config, sounds, gages, profiles, options);
  }
  test::FakePlatform fake;
  test::TempFolder dir;
  TEventSoundSet sounds;
  TInputProfileSet profiles;
  TGageSet gages;
  ConfigFile config{dir.path(), sounds, profiles};
  std::optional<SettingsWindowLogic> logic;
};

TEST(SettingsWindowLogic, TitleAndTheNoteOfAnAdditionalSession) {
  Settings first;
  EXPECT_EQ(first.logic->Title(), "Настройки системы Morvalen");
  EXPECT_EQ(first.logic->AdditionalSessionNote(), "");
  EXPECT_FALSE(first.logic->AdministrationShown());
  Settings second({.additionalInstance = true, .debugMode = true});
  EXPECT_EQ(second.logic->AdditionalSessionNote(), "Настройки дополнительного сеанса не сохраняются !");
  EXPECT_TRUE(second.logic->AdministrationShown());
}

TEST(SettingsWindowLogic, FontChoices) {
  struct Case {
    bool system;
    std::int32_t size;
    std::uint8_t charset;
    bool answer;  // to the character-set question
    bool taken;
    const char* message;
  };
  const std::string question = NonCyrillicFontQuestion();
  const Case cases[] = {
      {true, 15, 204, false, false, "Недопустимо выбирать размер системного шрифта менее 8 и более 14"},
      {true, 7, 204, false, false, "Недопустимо выбирать размер системного шрифта менее 8 и более 14"},
      {true, 14, 204, false, true, nullptr},
      {false, 15, 204, false, true, nullptr},
      {true, 10, 0, false, false, question.c_str()},
      {true, 10, 0, true, true, question.c_str()},
      {false, 30, 0, true, true, question.c_str()},
  };
  for (const Case& c : cases) {
    Settings s;
    s.fake.messages.answers.push_back(c.answer);
    TFontDescr font;
    font.name = "DejaVu Sans";
    font.size = c.size;
    font.charset = c.charset;
    const bool taken = c.system ? s.logic->ChooseSystemFont(font) : s.logic->ChooseGraphicsFont(font);
    EXPECT_EQ(taken, c.taken) << c.size;
    EXPECT_EQ(taken, (c.system ? s.logic->setup.systemFont : s.logic->setup.graphicsFont) == font);
    if (c.message) {
      EXPECT_EQ(s.fake.messages.Texts(), std::vector<std::string>{c.message});
    } else {
      EXPECT_TRUE(s.fake.messages.shown.empty());
    }
  }
  Settings s;
  s.logic->setup.systemFont.size = 12;
  s.logic->RestoreDefaultFonts();
  EXPECT_EQ(s.logic->setup.systemFont, TFontDescr{});
  EXPECT_EQ(s.logic->setup.graphicsFont, TFontDescr{});
}

TEST(SettingsWindowLogic, FoldersDefaultsOpeningAndTheLogOfOk) {
  Settings s;
  s.logic->setup.folders[0] = "/data/spc";
  s.logic->setup.folders[1] = "";
  s.logic->SetDefaultFolders();
  const auto defaults = ConfigFile::DefaultFolders();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(s.logic->setup.folders[static_cast<std::size_t>(i)], defaults[static_cast<std::size_t>(i)]);

  s.logic->setup.folders[0] = "  $AppFolder/Данные  ";
  EXPECT_TRUE(s.logic->OpenFolder(1));
  EXPECT_TRUE(s.logic->OpenFolder(0));
  EXPECT_EQ(s.fake.shellOpen.opened, (std::vector<std::string>{s.dir.path() + "/Данные", s.dir.path()}));
  EXPECT_FALSE(s.logic->OpenFolder(9));

  const SettingsWindowLogic::Applied applied = s.logic->Accept();
  EXPECT_TRUE(applied.foldersChanged);
  EXPECT_FALSE(applied.systemFontChanged);
  EXPECT_EQ(s.config.folders[0], "$AppFolder/Данные");
  ASSERT_FALSE(s.fake.log.lines.empty());
  EXPECT_EQ(s.fake.log.lines.back(), "System setup changed. Folders: " + s.config.FolderListText());
}

TEST(SettingsWindowLogic, SwitchesAndFontsReachTheConfigurationOnlyWithOk) {
  Settings s;
  s.logic->setup.autoSaveDatasets = true;
  s.logic->setup.levelUnit = 2;
  s.logic->setup.systemFont.size = 12;
  EXPECT_FALSE(s.config.autoSaveDatasets);
  const SettingsWindowLogic::Applied applied = s.logic->Accept();
  EXPECT_TRUE(applied.systemFontChanged);
  EXPECT_FALSE(applied.foldersChanged);
  EXPECT_TRUE(s.config.autoSaveDatasets);
  EXPECT_EQ(s.config.levelUnit, 2);
  EXPECT_EQ(s.config.systemFont.size, 12);
  EXPECT_EQ(s.fake.log.lines.back(), "System setup changed");
}

TEST(SettingsWindowLogic, SoundChoiceRepeatsOnARefusedFileAndCancelUndoesIt) {
  Settings s;
  const int error = s.sounds.IndexOfEvent(static_cast<std::int16_t>(AppEvent::Error));
  ASSERT_GT(error, 0);
  EXPECT_EQ(s.logic->SoundRow(error)[1], "По умолчанию");
  const std::string folder = s.dir.Path("Sys/Sound");
  s.fake.fileDialogs.choices = {std::string("/tmp/bell.wav"), folder + "/Колокол.wav"};
  ASSERT_TRUE(s.logic->ChooseSoundFile(error));
  ASSERT_EQ(s.fake.messages.shown.size(), 1u);
  EXPECT_EQ(s.fake.messages.shown[0].text, CheckSoundFileChoice(folder, "/tmp/bell.wav").warning);
  EXPECT_EQ(s.fake.fileDialogs.asked.size(), 2u);
  EXPECT_EQ(s.fake.fileDialogs.asked[0].folder, folder);
  EXPECT_EQ(s.logic->SoundRow(error)[1], "Колокол.wav");

  s.logic->SetSoundSilent(error);
  EXPECT_EQ(s.logic->SoundRow(error)[1], "Без звука");
  EXPECT_FALSE(s.logic->TrySound(error));
  EXPECT_EQ(s.fake.messages.Texts().back(), "Звук не выбран для текущего события");
  s.logic->Cancel();
  EXPECT_EQ(s.logic->SoundRow(error)[1], "По умолчанию");
  EXPECT_TRUE(s.sounds.Item(error)->soundFile.empty());
}

TEST(SettingsWindowLogic, FileTypesThroughTheHeadlessDesktopShowNothingChosen) {
  Settings s;
  ASSERT_EQ(s.logic->FileTypes().size(), 3u);
  EXPECT_EQ(s.logic->FileTypes()[0].Cells(),
            (std::array<std::string, 4>{"mvl", "Файл данных SPC", "0", "<не выбрано>"}));
  EXPECT_EQ(s.logic->FileTypes()[2].extension, "mef");
  EXPECT_EQ(s.logic->AssignCommandText(), "Назначить \"Morvalen\" текущим приложением для открытия этих типов файлов");
  s.fake.messages.answers.push_back(true);
  EXPECT_EQ(s.logic->AssignFileTypes(), 0);  // the headless desktop changes nothing
  const std::vector<std::string> texts = s.fake.messages.Texts();
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_NE(texts[0].find("но в системе (например, в файловом менеджере) всегда можно"), std::string::npos);
  EXPECT_EQ(texts[1], "Morvalen не удалось назначить текущим для открытия файлов *.mvl");
  EXPECT_EQ(texts[3], "Morvalen не удалось назначить текущим для открытия файлов *.mef");
}

TEST(SettingsWindowLogic, AssigningFileTypes) {
  const std::string mvl = "application/x-morvalen-spc", msa = "application/x-morvalen-msa",
                    mef = "application/x-morvalen-exchange";
  const platform::FileTypeHandler ours{kDesktopEntryId, "Morvalen", "SPC", "morvalen %F"};
  const platform::FileTypeHandler other{"viewer.desktop", "Просмотр", "Смотрит", "viewer %f"};
  {  // already the handler of every type
    Settings s;
    ScriptedDesktop desktop;
    test::ScopedService<platform::IFileAssociations> guard(&desktop);
    for (const auto& m : {mvl, msa, mef}) desktop.types[m] = {kDesktopEntryId, {ours}};
    s.logic->RefreshFileTypes();
    EXPECT_EQ(s.logic->FileTypes()[0].Cells()[3], "Morvalen");
    EXPECT_EQ(s.logic->AssignFileTypes(), 0);
    EXPECT_EQ(s.fake.messages.Texts(), std::vector<std::string>{
                                           "Приложение Morvalen уже является текущим для открытия всех используемых типов файлов"});
    EXPECT_TRUE(desktop.requests.empty());
  }
  {  // declined
    Settings s;
    ScriptedDesktop desktop;
    test::ScopedService<platform::IFileAssociations> guard(&desktop);
    s.logic->RefreshFileTypes();
    s.fake.messages.answers.push_back(false);
    EXPECT_EQ(s.logic->AssignFileTypes(), 0);
    EXPECT_TRUE(desktop.requests.empty());
  }
  {  // one is ours, one fails, one is set; the entry is written once, for the type that lacks it
    int written = 0;
    Settings s({.registerDesktopEntry = [&written] { return ++written > 0; }});
    ScriptedDesktop desktop;
    test::ScopedService<platform::IFileAssociations> guard(&desktop);
    desktop.types[mvl] = {kDesktopEntryId, {ours, other}};
    desktop.types[msa] = {"viewer.desktop", {other, ours}};
    desktop.types[mef] = {};
    desktop.refuse[msa] = true;
    s.logic->RefreshFileTypes();
    EXPECT_EQ(s.logic->FileTypes()[1].Cells(), (std::array<std::string, 4>{"msa", "Файл данных MSA", "2", "Просмотр"}));
    s.fake.messages.answers.push_back(true);
    EXPECT_EQ(s.logic->AssignFileTypes(), 1);
    EXPECT_EQ(desktop.requests, (std::vector<std::string>{msa, mef}));
    EXPECT_EQ(written, 1);
    const std::vector<std::string> texts = s.fake.messages.Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[1], "Morvalen не удалось назначить текущим для открытия файлов *.msa");
    EXPECT_EQ(texts[2], "Morvalen установлено в качестве текущего для открытия 1 типа файлов");
    EXPECT_EQ(s.fake.log.lines.back(), "[ERR] Fault to setup \"morvalen.desktop\" as default for \"msa\"");
    EXPECT_EQ(s.logic->FileTypes()[2].Cells()[3], kDesktopEntryId);  // refreshed
    EXPECT_EQ(s.logic->FileTypeDetails(1),
              "Тип файла:  Файл данных MSA (application/x-morvalen-msa)\r\nРасширение:  msa\r\n"
              "Текущее приложение-обработчик:  Просмотр\r\n\r\nПриложения-обработчики:\r\n"
              "1. Название: Просмотр (текущее)\r\n   Описание: Смотрит\r\n   Команда открытия: viewer %f\r\n"
              "2. Название: Morvalen\r\n   Описание: SPC\r\n   Команда открытия: morvalen %F");
  }
}

TEST(SettingsWindowLogic, TheCountOfAssignedTypesTakesItsRussianForm) {
  Settings s;
  ScriptedDesktop desktop;
  test::ScopedService<platform::IFileAssociations> guard(&desktop);
  s.logic->RefreshFileTypes();
  s.fake.messages.answers.push_back(true);
  EXPECT_EQ(s.logic->AssignFileTypes(), 3);
  EXPECT_EQ(s.fake.messages.Texts().back(), "Morvalen установлено в качестве текущего для открытия 3 типов файлов");
}

}  // namespace
}  // namespace mv
