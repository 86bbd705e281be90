#include "app/program_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/bytes.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

std::string Text(const std::string& path) { return test::ReadFileBytes(path); }

ProgramRun::Options In(const std::string& folder, bool readConfiguration = true) {
  ProgramRun::Options options;
  options.appFolder = folder;
  options.readConfiguration = readConfiguration;
  return options;
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(ProgramRun, TwoRunsLeaveBothInTheLogsAndTheSessionFile) {
  test::FakePlatform fake;
  test::TempFolder dir;
  for (int run = 1; run <= 2; ++run) {
    ProgramRun program;
    program.Start(In(dir.path()));
    program.WindowShown(42, false);
    program.Finish();
  }
  const std::string log = dir.path() + "/Log/";
  const std::string main = Text(log + "mvl.log");
  EXPECT_EQ(Count(main, "- End: time="), 2) << main;
  EXPECT_EQ(Count(Text(log + "mvl_sess.log"), "- End: time="), 1);
  EXPECT_EQ(Count(Text(log + "mvl_prev.log"), "- End: time="), 1);
  std::error_code ec;
  EXPECT_EQ(fs::file_size(log + "mvl.ses", ec), 544u + 2 * 800u);
  // Only the first start has something to say: there was no configuration yet.
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text.rfind("Не найден файл конфигурации системы Morvalen " + dir.Path("mvl.cfg"), 0),
            0u);
  EXPECT_EQ(fake.messages.shown[0].timeout, 30);
  // The configuration counts the runs, and the one read at the second start is kept as backup.
  const std::string cfg = test::ReadFileBytes(dir.Path("mvl.cfg"));
  ASSERT_GT(cfg.size(), 172u);
  EXPECT_EQ(static_cast<unsigned char>(cfg[168]), 2);
  EXPECT_TRUE(fs::exists(dir.Path("mvl_prev.cfg")));
  EXPECT_NE(main.find("Save CFG ("), std::string::npos);
  EXPECT_NE(main.find(" bt) w/back"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir.Path("gages.ggs")));  // nothing to save: no gauges were made
}

TEST(ProgramRun, ADamagedGaugeFileIsReportedAndKept) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string damaged = test::ByteBuilder().Raw("<LST-GAG").U8(2).I16(0).Raw("LST>").bytes();
  test::WriteFileBytes(dir.Path("gages.ggs"), damaged);
  {
    ProgramRun program;
    program.Start(In(dir.path()));
    EXPECT_TRUE(program.Gages().IsEmpty());
    program.Finish();
  }
  EXPECT_EQ(test::ReadFileBytes(dir.Path("gages.ggs")), damaged);
  EXPECT_NE(Text(dir.path() + "/Log/mvl.log").find("Gages load error: Неверная версия формата списка (2 вместо 1)"),
            std::string::npos);

  // Gauges added during a run are there at the next start.
  {
    ProgramRun program;
    program.Start(In(dir.path()));
    ASSERT_TRUE(program.Gages().AddNew());
    program.Gages().Item(1)->name = "Микрометр";
    program.Gages().SetModified(true);
    program.Finish();
  }
  ProgramRun next;
  next.Start(In(dir.path()));
  ASSERT_EQ(next.Gages().Count(), 1);
  EXPECT_EQ(next.Gages().Item(1)->name, "Микрометр");
  EXPECT_EQ(next.Sounds().Count(), 7);
  EXPECT_EQ(next.Profiles().Count(), 1);
  next.Finish();
}

}  // namespace
}  // namespace mv

namespace mv {
namespace {

TEST(ProgramRun, StartingWithoutTheConfigurationKeepsTheOldOneAsBackup) {
  test::FakePlatform fake;
  test::TempFolder dir;
  {
    ProgramRun program;
    program.Start(In(dir.path()));
    program.Config().levelUnit = 2;
    program.Finish();
  }
  const std::string before = test::ReadFileBytes(dir.Path("mvl.cfg"));
  fake.messages.shown.clear();
  ProgramRun program;
  program.Start(In(dir.path(), false));
  EXPECT_EQ(program.Config().levelUnit, 0);
  EXPECT_TRUE(fake.messages.shown.empty());
  program.Finish();
  EXPECT_EQ(test::ReadFileBytes(dir.Path("mvl_prev.cfg")), before);
}

}  // namespace
}  // namespace mv

namespace mv {
namespace {

TEST(ProgramRun, StartUpStepsTellTheirStatusAndCheckTheFolders) {
  test::FakePlatform fake;
  test::TempFolder dir;
  // The temporary folder's place is taken by a file: it cannot be made.
  test::WriteFileBytes(dir.Path("Tmp"), "x");
  std::vector<std::string> statuses;
  ProgramRun::Options options = In(dir.path());
  options.status = [&statuses](const std::string& text) { statuses.push_back(text); };
  options.windowHandle = 4242;
  ProgramRun program;
  program.Start(options);
  EXPECT_EQ(statuses, (std::vector<std::string>{"Инициализация log-файлов", "Проверка системы",
                                                "Загрузка конфигурации системы", "Работа с файлом сеансов",
                                                "Проверка целостности системы"}));
  const std::string tmp = program.Config().Folder(ConfigFile::kTempFolder);
  bool told = false;
  for (const auto& shown : fake.messages.shown) {
    told |= shown.text.starts_with("Из-за отсутствия доступа к папке для временных файлов многие функции будут "
                                   "недоступны.\r\nПроверьте в настройках приложения, правильно ли выбрана эта папка "
                                   "(сейчас установлено \"");
  }
  EXPECT_TRUE(told);
  program.Finish();
  const std::string log = Text(dir.path() + "/Log/mvl.log");
  EXPECT_NE(log.find("Temp folder creation fault in \"" + tmp + "\""), std::string::npos) << log;
  EXPECT_NE(log.find("), win=4242"), std::string::npos);  // the start line names the window
  EXPECT_NE(log.find("Data folder: "), std::string::npos);
  EXPECT_NE(log.find("; Temp: " + tmp + "; Reports: "), std::string::npos);
}

TEST(ProgramRun, TheFilesOpenAtTheEndAreOfferedAtTheNextStart) {
  test::FakePlatform fake;
  test::TempFolder dir;
  {
    ProgramRun program;
    program.Start(In(dir.path()));
    EXPECT_TRUE(program.PreviousFiles().empty());
    program.SetOpenFiles({"/данные/a.mvl", "/данные/b.mvl"});
    program.Finish();
  }
  ProgramRun next;
  next.Start(In(dir.path()));
  EXPECT_EQ(next.PreviousFiles(), (std::vector<std::string>{"/данные/a.mvl", "/данные/b.mvl"}));
  next.Config().loadPreviousDatasets = false;
  EXPECT_TRUE(next.PreviousFiles().empty());
  next.Finish();
}

}  // namespace
}  // namespace mv

namespace mv {
namespace {

TEST(ProgramRun, ChartAndHistogramOptionsAreKeptBetweenRuns) {
  test::FakePlatform fake;
  test::TempFolder dir;
  EXPECT_EQ(ConfigFile::AreaSize(OwnedArea::kChartOptions), kChartOptionsSize);
  EXPECT_EQ(ConfigFile::AreaSize(OwnedArea::kHistogramOptions), HistogramOptions::kRecordSize);
  EXPECT_EQ(ConfigFile::AreaSize(OwnedArea::kPrintOptions), PrintOptions::kRecordSize);
  {
    ProgramRun program;
    program.Start(In(dir.path()));
    EXPECT_EQ(program.ChartOptions().span, 2);  // the defaults at a first start
    EXPECT_FALSE(program.HistogramSettings().bars3d);
    program.ChartOptions().span = 7;
    program.HistogramSettings().bars3d = true;
    program.ChartOptions().printHeader = "Участок 3";
    program.PrintSettings().copies = 3;
    program.Finish();
  }
  ProgramRun next;
  next.Start(In(dir.path()));
  EXPECT_EQ(next.ChartOptions().span, 7);
  EXPECT_TRUE(next.HistogramSettings().bars3d);
  EXPECT_EQ(next.ChartOptions().printHeader, "Участок 3");
  EXPECT_EQ(next.PrintSettings().copies, 3);
  next.Finish();
}

}  // namespace
}  // namespace mv

namespace mv {
namespace {

TEST(ProgramRun, TheCommandLineAndTheSwitchesAreRecordedInTheLogAndTheSessionFile) {
  test::FakePlatform fake;
  test::TempFolder dir;
  {
    ProgramRun program;
    program.Start(In(dir.path()));
    program.Finish();
  }
  // The configuration was written by another build: this run is the first of this build.
  std::string cfg = test::ReadFileBytes(dir.Path("mvl.cfg"));
  ASSERT_GT(cfg.size(), 160u);
  cfg[5 + 153] = static_cast<char>(ConfigFile::kBuildNumber - 1);  // the installation record's build
  test::WriteFileBytes(dir.Path("mvl.cfg"), cfg);

  ProgramRun::Options options = In(dir.path());
  options.parameters = "-m -d -rd -u \"/данные/вал 12.mvl\"";
  options.multiLaunch = options.debugMode = options.registryDisabled = options.justUpdated = true;
  {
    ProgramRun program;
    program.Start(options);
    program.Finish();
  }
  const std::string log = Text(dir.path() + "/Log/mvl_sess.log");
  EXPECT_NE(log.find("Prm: -m -d -rd -u \"/данные/вал 12.mvl\"\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("- Start Morvalen " MV_VERSION " after update ("), std::string::npos) << log;

  TSessFile file;
  file.fileName = dir.path() + "/Log/mvl.ses";
  ASSERT_TRUE(ReadSessions(file, 1, 0));
  ASSERT_EQ(file.sessions.size(), 2u);
  const struct {
    const char* parameters;
    const char* flags;
    std::uint32_t sessionFlags;
  } kExpected[] = {
      {"", "CFG_Saved", 0},
      {"-m -d -rd -u \"/данные/вал 12.m",  // the first 30 characters
       "MultiLaunchAllow, RegistryDisabled, DebugMode, JustUpdated, UpdatedEXE, CFG_Loaded, CFG_Saved",
       ses::rec::kNewBuild | ses::rec::kConfigRead},
  };
  for (std::size_t i = 0; i < file.sessions.size(); ++i) {
    SCOPED_TRACE(i);
    const SessionRecord& record = file.sessions[i].record;
    EXPECT_EQ(record.parameters, kExpected[i].parameters);
    RunState flags;
    flags.flags = record.runFlags;
    EXPECT_EQ(flags.FlagNames(), kExpected[i].flags);
    EXPECT_EQ(record.sessionFlags, kExpected[i].sessionFlags);
  }
}

}  // namespace
}  // namespace mv

namespace mv {
namespace {

TEST(ProgramRun, WriteProtectedFoldersAreToldInTermsOfFileAccessRights) {
  test::FakePlatform fake;
  test::TempFolder dir;
  // A folder that stands where the write probe goes: no file can be made there, whoever runs.
  for (const char* probe : {".morvalen-write-test", "Tmp/.morvalen-write-test"}) {
    fs::create_directories(dir.Path(probe));
    test::WriteFileBytes(dir.Path(std::string(probe) + "/keep"), "x");
  }
  std::vector<std::string> statuses;
  ProgramRun::Options options = In(dir.path());
  options.registerFileTypes = true;
  options.dataHome = dir.Path("share");
  options.programPath = "/opt/morvalen/morvalen";
  options.status = [&statuses](const std::string& text) { statuses.push_back(text); };
  ProgramRun program;
  program.Start(options);
  ASSERT_GE(statuses.size(), 3u);
  EXPECT_EQ(statuses[1], "Проверка системы");
  EXPECT_EQ(statuses[2], "Проверка регистрации типов файлов");
  const std::vector<std::string> texts = fake.messages.Texts();
  const std::string tmp = program.Config().Folder(ConfigFile::kTempFolder);
  for (const std::string& expected :
       {"Morvalen не может делать запись в папку временных файлов \"" + tmp +
            "\"\r\n\r\nВозможно, в правах доступа файловой системы запрещена запись по данному пути.\r\n"
            "Это препятствует работе многих функций приложения!",
        "Невозможно сохранение файла в системной папке приложения Morvalen\r\n\"" + dir.path() +
            "\"\r\n\r\nВероятно, эта папка защищена от записи правами доступа файловой системы. Снимите эту защиту "
            "прямо сейчас и перезапустите приложение!"}) {
    EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << expected;
  }
  program.Finish();
}

}  // namespace
}  // namespace mv

namespace mv {
namespace {

TEST(ProgramRun, TheDatasetHistoryIsKeptBetweenRunsAndTidiedInEveryFifthRun) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const auto entry = [](std::int32_t id, const char* name) {
    DatasetHistoryEntry e;
    e.type = 1;
    e.storage = 1;
    e.id = id;
    e.name = name;
    e.folder = "/нет/";
    return e;
  };
  {
    ProgramRun program;
    program.Start(In(dir.path()));
    EXPECT_TRUE(program.History().Empty());
    EXPECT_FALSE(program.History().showOpen);
    TDatasetSPC ds;
    ds.fileName = "/данные/a.mvl";
    program.History().AddOnOpen(ds, 45352.5, 1, 133);
    program.History().showOpen = true;
    program.History().windowArea.width = 800;
    program.History().windowArea.height = 400;
    program.History().windowArea.columns[2] = 150;
    program.Finish();
  }
  {
    ProgramRun next;
    next.Start(In(dir.path()));
    ASSERT_EQ(next.History().Count(), 1);
    EXPECT_EQ(next.History().At(0)->Location(), "/данные/a.mvl");
    EXPECT_EQ(next.History().At(0)->key, 0);  // keys live only as long as the run
    EXPECT_TRUE(next.History().showOpen);
    EXPECT_EQ(next.History().windowArea.width, 800);
    EXPECT_EQ(next.History().windowArea.columns[2], 150);
    next.History().Assign({entry(1, "a.mvl"), entry(2, "b.mvl"), entry(1, "a.mvl")});
    next.Finish();
  }
  for (const int expected : {3, 3, 2}) {  // runs 3, 4 and 5
    ProgramRun run;
    run.Start(In(dir.path()));
    EXPECT_EQ(run.History().Count(), expected) << run.Log().run.runNumber;
    run.Finish();
  }
}

}  // namespace
}  // namespace mv

namespace mv {
namespace {

// Each run, additional instances too, reports into a session folder of its own inside the
// temporary folder, named after its start; a second run of the same second gets "_2"; the end
// of the run removes the folder with the reports in it.
TEST(ProgramRun, EveryRunHasASessionReportFolderOfItsOwnUntilItEnds) {
  test::FakePlatform fake;
  fake.clock.Freeze(test::At(2024, 3, 1, 12, 5, 9));
  test::TempFolder dir;
  ProgramRun first;
  first.Start(In(dir.path()));
  ProgramRun::Options additional = In(dir.path());
  additional.additionalInstance = true;
  ProgramRun second;
  second.Start(additional);
  const std::string tmp = first.Config().Folder(ConfigFile::kTempFolder);
  EXPECT_EQ(first.Reports().Path(), (fs::path(tmp) / "20240301_120509").string());
  EXPECT_EQ(second.Reports().Path(), (fs::path(tmp) / "20240301_120509_2").string());
  const std::optional<std::string> report = second.Reports().MakeReportFolder();
  ASSERT_TRUE(report);
  test::WriteFileBytes(*report + "/rep.htm", "x");
  second.Finish();
  EXPECT_FALSE(fs::exists(tmp + "/20240301_120509_2"));
  EXPECT_TRUE(fs::is_directory(first.Reports().Path()));
  first.Finish();
  EXPECT_FALSE(fs::exists(tmp + "/20240301_120509"));
  EXPECT_TRUE(first.Reports().Path().empty());
}

}  // namespace
}  // namespace mv
