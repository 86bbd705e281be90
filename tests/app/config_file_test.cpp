#include "app/config_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/byte_order.h"
#include "core/date_time.h"
#include "core/numbers.h"
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

  ~ConfigSetup() { Options() = CoreOptions(); }
  void AddStandardLists() {
    AddStandardEventDefaults(sounds);
    EXPECT_TRUE(profiles.AddDefaultProfile());
  }
};

std::string Logged(const test::FakePlatform& fake) {
  std::string all;
  for (const auto& line : fake.log.lines) all += line + "\n";
  return all;
}

// Offsets of the documented layout, counted by hand for a file with no previous-run datasets,
// empty history lists and no dataset-history records.
constexpr std::size_t kBlockAAt = 6111;
constexpr std::size_t kBlockBAt = kBlockAAt + 570;
constexpr std::size_t kPreviousAt = kBlockBAt + 1055;
constexpr std::size_t kHistoryListsAt = kPreviousAt;
constexpr std::size_t kObsoleteAt = kHistoryListsAt + 22 * 2;
constexpr std::size_t kSession2At = kObsoleteAt + 426;
constexpr std::size_t kRecordsAt = kSession2At + 1136;
constexpr std::size_t kFoldersAt = kRecordsAt;
constexpr std::size_t kEndMarker = 25;  // "<END dd.MM.yyyy hh:nn:ss>"

TEST(ConfigFile, DefaultFileLayout) {
  ConfigSetup s;
  s.fake.clock.Freeze(test::At(2024, 3, 5, 14, 7, 9));
  s.config.MutableArea(OwnedArea::kMsaChartOptions)[0] = 'A';
  const std::string bytes = s.config.Encode(Now());
  EXPECT_EQ(bytes.substr(0, 4), "CFG ");
  EXPECT_EQ(GetU8(bytes, 4), 14);
  EXPECT_EQ(bytes.substr(5, 4), "RWB ");
  EXPECT_EQ(GetU8(bytes, 9), 1);
  const struct {
    std::size_t offset;
    unsigned value;
    int size;
  } kFields[] = {{5698, 570, 2}, {5700, 1055, 2}, {5802, 426, 2}, {5807, 1136, 2}, {6085, 2699, 2},  {6087, 169, 2},
                 {6100, 450, 2}, {5403, 22, 1},   {5834, 4, 1},   {5809, 1, 1},    {5 + 153, 133, 2}};
  for (const auto& f : kFields) {
    SCOPED_TRACE(f.offset);
    EXPECT_EQ(f.size == 2 ? GetU16(bytes, f.offset) : GetU8(bytes, f.offset), f.value);
  }
  EXPECT_EQ(bytes[kBlockAAt], 'A');
  EXPECT_EQ(GetU16(bytes, kFoldersAt), std::string("$AppFolder\\Samples").size());
  EXPECT_EQ(bytes.substr(bytes.size() - kEndMarker), "<END 05.03.2024 14:07:09>");
}

TEST(ConfigFile, SavedSettingsComeBackAndTheRunCounterGoesOn) {
  ConfigSetup s;
  s.AddStandardLists();
  s.config.runCounter = 17;
  Options().keepPreviousDataFile = true;
  s.config.levelUnit = 2;
  s.config.showWelcome = false;
  s.config.systemFont.size = 11;
  s.config.graphicsFont.name = "DejaVu Sans";
  s.config.folders[1] = "/srv/отчёты";
  s.config.sampleWindowHeight = 512;
  s.config.historyLists[3] = {"a", "", "ёж"};
  s.config.previousDatasets.push_back({1, 123, 0, 1, "/data/вал.mvl"});
  s.config.historyRecords.push_back(std::string(1012, 'h'));
  s.config.MutableArea(OwnedArea::kChartOptions)[81] = 7;
  s.config.MutableArea(OwnedArea::kUsageStatistics)[2698] = 9;
  ASSERT_TRUE(s.config.Save(s.path, false));
  EXPECT_NE(Logged(s.fake).find("Save CFG (" + std::to_string(fs::file_size(s.path)) + " bt)\n"), std::string::npos);

  Options().keepPreviousDataFile = false;
  TEventSoundSet sounds;
  TInputProfileSet profiles;
  ConfigFile back(s.dir.path(), sounds, profiles);
  ASSERT_TRUE(back.Load(s.path));
  EXPECT_EQ(back.runCounter + 1, 18);
  EXPECT_TRUE(Options().keepPreviousDataFile);
  EXPECT_EQ(back.Setup(), s.config.Setup());
  ASSERT_EQ(back.previousDatasets.size(), 1u);
  EXPECT_EQ(back.previousDatasets[0].path, "/data/вал.mvl");
  EXPECT_EQ(back.historyLists[3], s.config.historyLists[3]);
  EXPECT_EQ(sounds.Count(), 7);
  EXPECT_EQ(profiles.Count(), 1);
  // Everything else, owners' areas included, comes back byte for byte.
  EXPECT_EQ(back.Encode(0), s.config.Encode(0));

  // A save after a successful load keeps the previous file.
  ASSERT_TRUE(back.Save(s.path, true));
  EXPECT_TRUE(fs::exists(s.dir.Path("mvl_prev.cfg")));
  EXPECT_NE(Logged(s.fake).find(" bt) w/back\n"), std::string::npos);
}

TEST(ConfigFile, OwnersDefaultsApplyToAreasNotTaken) {
  ConfigSetup s;
  s.config.SetAreaDefaults(OwnedArea::kChartOptions, "chart");
  s.config.SetAreaDefaults(OwnedArea::kMsaChartOptions, "msa");
  s.config.Defaults();
  EXPECT_EQ(s.config.Area(OwnedArea::kChartOptions).substr(0, 6), std::string_view("chart\0", 6));
  EXPECT_EQ(s.config.Area(OwnedArea::kChartOptions).size(), ConfigFile::AreaSize(OwnedArea::kChartOptions));

  s.config.MutableArea(OwnedArea::kChartOptions)[0] = 'X';
  s.config.MutableArea(OwnedArea::kHistogramOptions)[0] = 'H';
  s.config.MutableArea(OwnedArea::kTextImportOptions)[0] = 'T';
  s.config.MutableArea(OwnedArea::kMsaChartOptions)[0] = 'M';
  const std::string good = s.config.Encode(0);

  // Chart and histogram options of another build are not taken; other areas are.
  std::string otherBuild = good;
  PutU16(otherBuild, 5 + 153, 132);
  ASSERT_EQ(s.config.Decode(otherBuild).kind, ConfigFile::Problem::kNone);
  EXPECT_EQ(s.config.Area(OwnedArea::kChartOptions)[0], 'c');
  EXPECT_EQ(s.config.Area(OwnedArea::kHistogramOptions)[0], '\0');
  EXPECT_EQ(s.config.Area(OwnedArea::kTextImportOptions)[0], 'T');

  // Block A stored with another size is skipped and keeps its owner's defaults.
  std::string blockA = good;
  PutU16(blockA, 5698, 600);
  blockA.insert(kBlockBAt, std::string(30, 'x'));
  ASSERT_EQ(s.config.Decode(blockA).kind, ConfigFile::Problem::kNone);
  EXPECT_EQ(s.config.Area(OwnedArea::kMsaChartOptions)[0], 'm');
  EXPECT_EQ(s.config.Area(OwnedArea::kChartOptions)[0], 'X');
}

TEST(ConfigFile, AFileThatCannotBeReadLeavesTheDefaults) {
  ConfigSetup s;
  s.AddStandardLists();
  const std::string good = s.config.Encode(0);
  const std::size_t profilesAt = good.size() - kEndMarker - GetU16(good, 6098);
  const std::string defaults = ".\r\nУстанавливаются настройки по умолчанию";
  const std::string name = "конфигурации системы Morvalen " + s.path;
  const struct {
    const char* what;
    std::string bytes;
    std::string message;
    std::string logged;
  } kCases[] = {
      {"version 13", std::string(good).replace(4, 1, 1, '\x0D'),
       "Неверная версия формата файла " + name + "  (13 вместо ожидаемого 14)" + defaults, ""},
      {"signature", std::string(good).replace(0, 4, "XYZ "), "Неизвестный формат файла " + name + defaults, ""},
      // The sounds are read, then the data ends inside the profiles.
      {"cut short", good.substr(0, profilesAt + 5),
       "Сбой при загрузке файла конфигурации\r\n" + s.path + "\r\n\r\nфайл кончается раньше своего содержимого\r\n\r\n" + defaults,
       "[ERR] CFG load error #100, offs " + std::to_string(profilesAt) + " (" + HexUpper(profilesAt, 8) + "h)\n"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    test::FakePlatform fake;
    test::WriteFileBytes(s.path, c.bytes);
    s.config.levelUnit = 1;
    Options().keepPreviousDataFile = true;
    EXPECT_FALSE(s.config.Load(s.path));
    EXPECT_EQ(s.config.levelUnit, 0);
    EXPECT_FALSE(Options().keepPreviousDataFile);
    EXPECT_TRUE(s.sounds.IsEmpty());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].kind, platform::MsgKind::Error);
    EXPECT_EQ(fake.messages.shown[0].text, c.message);
    const std::string logged = Logged(fake);
    EXPECT_NE(
        logged.find(c.logged + "[ERR] Failed to load CFG: " + s.path + ", " + std::to_string(c.bytes.size()) + " bt, "),
        std::string::npos)
        << logged;
    EXPECT_EQ(logged.find("Try to load backup"), std::string::npos);
  }
}

TEST(ConfigFile, TheBackupIsTriedOnce) {
  ConfigSetup s;
  const std::string backup = s.dir.Path("mvl_prev.cfg");
  s.config.levelUnit = 2;
  s.config.folders[0] = "/data";
  ASSERT_TRUE(s.config.Save(backup, false));
  s.config.Defaults();

  // No "mvl.cfg": the backup is copied over it and read.
  EXPECT_TRUE(s.config.Load(s.path));
  EXPECT_EQ(s.config.levelUnit, 2);
  EXPECT_EQ(s.config.folders[0], "/data");
  EXPECT_EQ(test::ReadFileBytes(s.path), test::ReadFileBytes(backup));
  ASSERT_EQ(s.fake.messages.shown.size(), 1u);
  EXPECT_EQ(s.fake.messages.shown[0].kind, platform::MsgKind::Info);
  EXPECT_EQ(s.fake.messages.shown[0].timeout, 30);
  EXPECT_EQ(s.fake.messages.shown[0].text,
            "Не найден файл конфигурации системы Morvalen " + s.path +
                " (это обычно бывает при первом запуске приложения).\r\nУстанавливаются настройки по умолчанию");
  EXPECT_NE(Logged(s.fake).find("Try to load backup: " + backup + ", "), std::string::npos);

  // A backup that cannot be read either: the defaults, and no second attempt.
  std::string bytes = test::ReadFileBytes(backup);
  bytes[4] = 13;
  test::WriteFileBytes(backup, bytes);
  fs::remove(s.path);
  test::FakePlatform fake;
  EXPECT_FALSE(s.config.Load(s.path));
  EXPECT_EQ(s.config.levelUnit, 0);
  const std::string logged = Logged(fake);
  EXPECT_EQ(logged.find("Try to load backup"), logged.rfind("Try to load backup"));
  EXPECT_NE(logged.find("Try to load backup"), std::string::npos);
  EXPECT_EQ(fake.messages.shown.size(), 2u);  // not found, then the backup's version
}

// Whatever a count or size in the header says, the sections after it are found where they are;
// of the lists only the first N are kept.
TEST(ConfigFile, CountsAndSizesOtherThanWrittenKeepLaterSectionsInPlace) {
  ConfigSetup s;
  s.AddStandardLists();
  s.config.folders = {"/d", "/r", "/t", "/l"};
  s.config.historyLists[0] = {"first"};
  s.config.MutableArea(OwnedArea::kDistributionDownload)[0] = 'D';
  const std::string good = s.config.Encode(0);
  const std::size_t obsoleteAt = kObsoleteAt + 5;  // after "first"
  const std::size_t session2At = kSession2At + 5;
  const std::size_t recordsAt = kRecordsAt + 5;
  const std::size_t afterFolders = recordsAt + 4 * (2 + 2);
  const std::size_t afterBlockD = afterFolders + 2699 + 169;

  test::ByteBuilder datasets;  // 25 previous-run records, path "p"
  for (int i = 0; i < 25; ++i) datasets.U8(1).I32(i).U8(0).Raw(std::string(3, '\0')).U8(0).I16(1).Raw("p");
  test::ByteBuilder texts;  // two more texts
  texts.I16(1).Raw("x").I16(2).Raw("yz");

  const struct {
    const char* what;
    std::size_t countAt;
    int countSize;
    unsigned count;
    std::size_t insertAt;
    std::string inserted;
    std::size_t datasetsKept;
    std::size_t recordsKept;
  } kCases[] = {
      {"block A of 600", 5698, 2, 600, kBlockBAt, std::string(30, 'a'), 0, 0},
      {"25 previous datasets", 1317, 2, 25, kPreviousAt, datasets.bytes(), 20, 0},
      {"24 history lists", 5403, 1, 24, obsoleteAt, texts.bytes(), 0, 0},
      {"obsolete block of 5", 5800, 2, 5, obsoleteAt, std::string(5, 'o'), 0, 0},
      {"session block 1 of 500", 5802, 2, 500, session2At, std::string(500 - 426, 's'), 0, 0},
      {"40 history records", 5810, 1, 40, recordsAt, std::string(40 * 1012, 'r'), 0, 35},
      // 70 records: their total size no longer fits the 16-bit size field.
      {"70 history records", 5810, 1, 70, recordsAt, std::string(70 * 1012, 'r'), 0, 35},
      {"6 folder texts", 5834, 1, 6, afterFolders, texts.bytes(), 0, 0},
      {"block C of 2700", 6085, 2, 2700, afterFolders + 2699, "c", 0, 0},
      {"second obsolete block of 7", 6092, 2, 7, afterBlockD, std::string(7, 'o'), 0, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    std::string bytes = good;
    if (c.countSize == 1) {
      PutU8(bytes, c.countAt, static_cast<std::uint8_t>(c.count));
    } else {
      PutU16(bytes, c.countAt, static_cast<std::uint16_t>(c.count));
    }
    bytes.insert(c.insertAt, c.inserted);
    TEventSoundSet sounds;
    TInputProfileSet profiles;
    ConfigFile config(s.dir.path(), sounds, profiles);
    ASSERT_EQ(config.Decode(bytes).kind, ConfigFile::Problem::kNone);
    EXPECT_EQ(config.previousDatasets.size(), c.datasetsKept);
    EXPECT_EQ(config.historyRecords.size(), c.recordsKept);
    EXPECT_EQ(config.historyLists[0], std::vector<std::string>{"first"});
    EXPECT_EQ(config.folders, s.config.folders);
    EXPECT_EQ(config.Area(OwnedArea::kDistributionDownload)[0], 'D');
    EXPECT_EQ(sounds.Count(), 7);
    EXPECT_EQ(profiles.Count(), 1);
    EXPECT_TRUE(s.fake.messages.shown.empty());
  }
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
  EXPECT_EQ(s.config.Folder(0), "");
  EXPECT_EQ(s.config.Folder(5), "");
  EXPECT_EQ(ConfigFile(p, s.sounds, s.profiles).FolderListText(),
            "Samples=\"$AppFolder\\Samples\"; Reports=\"$AppFolder\\Reports\"; Tmp=\"$AppFolder\\Tmp\"; "
            "Log=\"$AppFolder\\Log\"");
}

TEST(ConfigFile, SettingsOkStoresAndLogs) {
  ConfigSetup s;
  ConfigFile::SystemSetup setup = s.config.Setup();
  setup.keepPreviousDataFile = true;
  setup.levelUnit = 1;
  setup.systemFont.size = 12;
  setup.folders[1] = "  D:\\Отчёты \t";
  setup.folders[3] = "/elsewhere";  // the log folder is not edited
  EXPECT_TRUE(s.config.ApplySetup(setup));
  EXPECT_TRUE(Options().keepPreviousDataFile);
  EXPECT_EQ(s.config.levelUnit, 1);
  EXPECT_EQ(s.config.systemFont.size, 12);
  EXPECT_EQ(s.config.folders[1], "D:\\Отчёты");
  EXPECT_EQ(s.config.folders[3], "$AppFolder\\Log");

  setup = s.config.Setup();
  setup.showWelcome = false;
  EXPECT_FALSE(s.config.ApplySetup(setup));
  ASSERT_EQ(s.fake.log.lines.size(), 2u);
  EXPECT_EQ(s.fake.log.lines[0],
            "System setup changed. Folders: Samples=\"$AppFolder\\Samples\"; Reports=\"D:\\Отчёты\"; "
            "Tmp=\"$AppFolder\\Tmp\"; Log=\"$AppFolder\\Log\"");
  EXPECT_EQ(s.fake.log.lines[1], "System setup changed");
}

TEST(ConfigFile, ADamagedSoundListIsReportedAndReadingGoesOn) {
  ConfigSetup s;
  s.AddStandardLists();
  std::string bytes = s.config.Encode(0);
  const std::size_t soundsLength = GetU16(bytes, 6096);
  const std::size_t soundsAt = bytes.size() - kEndMarker - GetU16(bytes, 6098) - soundsLength;
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
  EXPECT_EQ(
      s.fake.messages.shown[0].text,
      "Сбой при загрузке файла конфигурации\r\n(раздел: звуки):\r\n\r\nНеверная версия формата списка (2 вместо 1)");
}

}  // namespace
}  // namespace mv
