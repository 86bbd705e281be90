#include "app/config_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/byte_order.h"
#include "core/date_time.h"
#include "core/options.h"
#include "support/bytes.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

// A configuration with its own lists and program folder.
struct ConfigSetup {
  test::FakePlatform fake;
  test::TempFolder dir;
  TEventSoundSet sounds;
  TInputProfileSet profiles;
  ConfigFile config{dir.path(), sounds, profiles};
  std::string path = dir.Path("mvl.cfg");
};

std::string Logged(const test::FakePlatform& fake) {
  std::string all;
  for (const auto& line : fake.log.lines) all += line + "\n";
  return all;
}

// Header offsets of the sizes that tell the trailing part.
constexpr std::size_t kBlockASize = 5698;
constexpr std::size_t kHistoryCount = 5810;

TEST(ConfigFile, DefaultFileLayout) {
  ConfigSetup s;
  s.fake.clock.Freeze(test::At(2024, 3, 5, 14, 7, 9));
  const std::string bytes = s.config.Encode(Now());
  EXPECT_EQ(bytes.substr(0, 4), "CFG ");
  EXPECT_EQ(GetU8(bytes, 4), 14);
  EXPECT_EQ(bytes.substr(5, 4), "RWB ");
  EXPECT_EQ(GetU8(bytes, 9), 1);
  const struct {
    std::size_t offset;
    unsigned value;
    int size;
  } kFields[] = {{5698, 570, 2}, {5700, 1055, 2}, {5802, 426, 2}, {5807, 1136, 2}, {6085, 2699, 2},
                 {6087, 169, 2}, {6100, 450, 2},  {5403, 22, 1},  {5834, 4, 1},     {5809, 1, 1}};
  for (const auto& f : kFields) {
    SCOPED_TRACE(f.offset);
    EXPECT_EQ(f.size == 2 ? GetU16(bytes, f.offset) : GetU8(bytes, f.offset), f.value);
  }
  EXPECT_EQ(bytes.substr(bytes.size() - 25), "<END 05.03.2024 14:07:09>");
  // Block A follows the header.
  EXPECT_EQ(bytes.size(), 6111u + 570 + 1055 + 22 * 2 + 426 + 1136 + 4 * 2 + std::string("$AppFolder\\Samples").size() +
                              std::string("$AppFolder\\Reports").size() + std::string("$AppFolder\\Tmp").size() +
                              std::string("$AppFolder\\Log").size() + 2699 + 169 + GetU16(bytes, 6096) +
                              GetU16(bytes, 6098) + 25);
}

TEST(ConfigFile, SavedSettingsComeBackAndTheRunCounterGoesOn) {
  ConfigSetup s;
  s.config.runCounter = 17;
  s.config.keepPreviousDataFile = true;
  s.config.levelUnit = 2;
  s.config.systemFont.size = 11;
  s.config.graphicsFont.name = "DejaVu Sans";
  s.config.folders[1] = "/srv/отчёты";
  s.config.historyLists[3] = "a\r\nb";
  s.config.previousDatasets.push_back({1, 123, 0, 1, "/data/вал.mvl"});
  s.config.Header()[2000] = 7;  // chart options, kept for their owner
  ASSERT_TRUE(s.profiles.AddDefaultProfile());
  AddStandardEventDefaults(s.sounds);
  ASSERT_TRUE(s.config.Save(s.path, false));
  EXPECT_NE(Logged(s.fake).find("Save CFG (" + std::to_string(fs::file_size(s.path)) + " bt)\n"), std::string::npos);

  TEventSoundSet sounds;
  TInputProfileSet profiles;
  ConfigFile back(s.dir.path(), sounds, profiles);
  Options().keepPreviousDataFile = false;
  ASSERT_TRUE(back.Load(s.path));
  EXPECT_EQ(back.runCounter + 1, 18);
  EXPECT_TRUE(back.keepPreviousDataFile);
  EXPECT_TRUE(Options().keepPreviousDataFile);
  EXPECT_EQ(back.levelUnit, 2);
  EXPECT_EQ(back.systemFont.size, 11);
  EXPECT_EQ(back.graphicsFont.name, "DejaVu Sans");
  EXPECT_EQ(back.folders[1], "/srv/отчёты");
  EXPECT_EQ(back.historyLists[3], "a\r\nb");
  ASSERT_EQ(back.previousDatasets.size(), 1u);
  EXPECT_EQ(back.previousDatasets[0].path, "/data/вал.mvl");
  EXPECT_EQ(back.previousDatasets[0].id, 123);
  EXPECT_EQ(back.Header()[2000], 7);
  EXPECT_EQ(sounds.Count(), 7);
  EXPECT_EQ(profiles.Count(), 1);

  // A save after a successful load keeps the previous file.
  ASSERT_TRUE(back.Save(s.path, true));
  EXPECT_TRUE(fs::exists(s.dir.Path("mvl_prev.cfg")));
  EXPECT_NE(Logged(s.fake).find(" bt) w/back"), std::string::npos);
  Options().keepPreviousDataFile = false;
}

TEST(ConfigFile, ChartOptionsOfAnotherBuildAreNotTaken) {
  ConfigSetup s;
  s.config.Header()[2000] = 7;   // chart options
  s.config.Header()[4000] = 9;   // histogram options
  s.config.Header()[5000] = 5;   // another owner's area
  std::string bytes = s.config.Encode(0);
  PutU16(bytes, 5 + 153, 132);  // written by build 132
  TEventSoundSet sounds;
  TInputProfileSet profiles;
  ConfigFile config(s.dir.path(), sounds, profiles);
  ASSERT_EQ(config.Decode(bytes).kind, ConfigFile::Problem::kNone);
  EXPECT_EQ(config.Header()[2000], 0);
  EXPECT_EQ(config.Header()[4000], 0);
  EXPECT_EQ(config.Header()[5000], 5);
}

TEST(ConfigFile, WrongVersionOrSignatureFallsBackToDefaults) {
  ConfigSetup s;
  ASSERT_TRUE(s.config.Save(s.path, false));
  std::string bytes = test::ReadFileBytes(s.path);
  bytes[4] = 13;
  test::WriteFileBytes(s.path, bytes);
  s.config.levelUnit = 1;
  EXPECT_FALSE(s.config.Load(s.path));
  EXPECT_EQ(s.config.levelUnit, 0);
  ASSERT_EQ(s.fake.messages.shown.size(), 1u);
  EXPECT_EQ(s.fake.messages.shown[0].text, "Неверная версия формата файла конфигурации системы Morvalen " + s.path +
                                               "  (13 вместо ожидаемого 14).\r\nУстанавливаются настройки по умолчанию");
  EXPECT_EQ(s.fake.messages.shown[0].kind, platform::MsgKind::Error);
  EXPECT_NE(Logged(s.fake).find("[ERR] Failed to load CFG: " + s.path), std::string::npos);

  bytes.replace(0, 4, "XYZ ");
  test::WriteFileBytes(s.path, bytes);
  EXPECT_FALSE(s.config.Load(s.path));
  EXPECT_EQ(s.fake.messages.shown.back().text, "Неизвестный формат файла конфигурации системы Morvalen " + s.path +
                                                   ".\r\nУстанавливаются настройки по умолчанию");
}

TEST(ConfigFile, MissingFileRestoresTheBackup) {
  ConfigSetup s;
  s.config.levelUnit = 2;
  ASSERT_TRUE(s.config.Save(s.dir.Path("mvl_prev.cfg"), false));
  s.config.levelUnit = 0;
  EXPECT_TRUE(s.config.Load(s.path));
  EXPECT_EQ(s.config.levelUnit, 2);
  ASSERT_GE(s.fake.messages.shown.size(), 1u);
  EXPECT_EQ(s.fake.messages.shown[0].kind, platform::MsgKind::Info);
  EXPECT_EQ(s.fake.messages.shown[0].timeout, 30);
  EXPECT_NE(Logged(s.fake).find("Try to load backup: " + s.dir.Path("mvl_prev.cfg")), std::string::npos);
  EXPECT_TRUE(fs::exists(s.path));  // copied over
}

TEST(ConfigFile, OddBlockSizesAndLongListsKeepLaterSectionsInPlace) {
  ConfigSetup s;
  s.config.folders = {"/d", "/r", "/t", "/l"};
  const std::string good = s.config.Encode(0);
  // Block A stored with 600 bytes instead of 570.
  std::string a = good;
  PutU16(a, kBlockASize, 600);
  a.insert(6111 + 570, std::string(30, 'x'));
  // 40 dataset-history records where 35 are kept.
  std::string h = good;
  PutU8(h, kHistoryCount, 40);
  const std::size_t recordsAt = 6111 + 570 + 1055 + 22 * 2 + 426 + 1136;
  h.insert(recordsAt, std::string(40 * 1012, 'r'));
  for (const std::string& bytes : {a, h}) {
    TEventSoundSet sounds;
    TInputProfileSet profiles;
    ConfigFile config(s.dir.path(), sounds, profiles);
    ASSERT_EQ(config.Decode(bytes).kind, ConfigFile::Problem::kNone);
    EXPECT_EQ(config.folders[3], "/l");
  }
  TEventSoundSet sounds;
  TInputProfileSet profiles;
  ConfigFile config(s.dir.path(), sounds, profiles);
  ASSERT_EQ(config.Decode(h).kind, ConfigFile::Problem::kNone);
  EXPECT_EQ(config.historyRecords.size(), 35u);

  // Data that ends early is a read error at its offset.
  const ConfigFile::Problem cut = config.Decode(std::string_view(good).substr(0, 7000));
  EXPECT_EQ(cut.kind, ConfigFile::Problem::kEndOfData);
  EXPECT_EQ(cut.value, 6111u + 570u);
}

TEST(ConfigFile, FoldersAndPaths) {
  ConfigSetup s;
  const std::string p = s.dir.path();
  EXPECT_EQ(s.config.Folder(2), p + "/Reports");
  EXPECT_EQ(s.config.ExpandPath("$RepFolder\\a.htm", true), p + "/Reports/a.htm");
  EXPECT_EQ(s.config.ExpandPath("$RepFolder\\a.htm", false), "$RepFolder/a.htm");
  s.config.folders[1] = "$DataFolder\\Rep";
  EXPECT_EQ(s.config.Folder(2), p + "/Samples/Rep");
  s.config.folders[0] = "$DataFolder\\x";  // names itself: stays as written
  EXPECT_EQ(s.config.Folder(1), "$DataFolder/x");
  EXPECT_EQ(s.config.Folder(5), "");
  EXPECT_EQ(ConfigFile(p, s.sounds, s.profiles).FolderListText(),
            "Samples=\"$AppFolder\\Samples\"; Reports=\"$AppFolder\\Reports\"; Tmp=\"$AppFolder\\Tmp\"; "
            "Log=\"$AppFolder\\Log\"");
}

TEST(ConfigFile, ADamagedSoundListIsReportedAndReadingGoesOn) {
  ConfigSetup s;
  AddStandardEventDefaults(s.sounds);
  ASSERT_TRUE(s.profiles.AddDefaultProfile());
  std::string bytes = s.config.Encode(0);
  const std::size_t soundsLength = GetU16(bytes, 6096);
  const std::size_t soundsAt = bytes.size() - 25 - GetU16(bytes, 6098) - soundsLength;
  bytes[soundsAt + 8] = 2;  // list version 2
  TEventSoundSet sounds;
  TInputProfileSet profiles;
  ConfigFile config(s.dir.path(), sounds, profiles);
  ASSERT_EQ(config.Decode(bytes).kind, ConfigFile::Problem::kNone);
  EXPECT_TRUE(sounds.IsEmpty());
  EXPECT_EQ(profiles.Count(), 1);
  EXPECT_NE(Logged(s.fake).find("[ERR] CFG load error on \"звуки\": Неверная версия формата списка (2 вместо 1)"),
            std::string::npos);
  ASSERT_EQ(s.fake.messages.shown.size(), 1u);
  EXPECT_EQ(s.fake.messages.shown[0].text,
            "Сбой при загрузке файла конфигурации\r\n(раздел: звуки):\r\n\r\nНеверная версия формата списка (2 вместо 1)");
}

TEST(FontDescr, RecordAndSizeRule) {
  TFontDescr font;
  font.name = "Шрифт";
  font.size = 12;
  font.color = 0x0000FF;
  font.style = 1;
  const std::string bytes = font.Encode();
  ASSERT_EQ(bytes.size(), 41u);
  EXPECT_EQ(test::ToHex(bytes.substr(0, 6)), "05 D8 F0 E8 F4 F2");
  EXPECT_EQ(GetI32(bytes, 31), 12);
  EXPECT_EQ(GetU8(bytes, 40), 204);
  TFontDescr back;
  ASSERT_TRUE(back.Decode(bytes));
  EXPECT_EQ(back, font);
  EXPECT_EQ(CheckSystemFontSize(15), "Недопустимо выбирать размер системного шрифта менее 8 и более 14");
  EXPECT_EQ(CheckSystemFontSize(7), CheckSystemFontSize(15));
  EXPECT_EQ(CheckSystemFontSize(8), "");
  EXPECT_EQ(CheckSystemFontSize(14), "");
}

}  // namespace
}  // namespace mv
