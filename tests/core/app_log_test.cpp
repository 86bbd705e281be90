#include "core/app_log.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "core/check_value.h"
#include "core/date_time.h"
#include "core/messages.h"
#include "support/bytes.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

namespace fs = std::filesystem;
using test::At;
using test::FakePlatform;
using test::ReadFileBytes;
using test::TempFolder;
using test::WriteFileBytes;

constexpr char kWhen[] = "05.03.2024 14:07:09";

// A line at kWhen: the run and slot fields as they must appear, then the message.
std::string L(std::string_view fields, std::string_view message) {
  return std::string(kWhen) + std::string(fields) + std::string(message) + "\r\n";
}
constexpr char kNoRun[] = "   --     ";

std::string FirstLine(const std::string& path) { return std::string(kWhen) + "  Start log file " + path + "\r\n"; }

// A log file as text: its bytes are UTF-8.
std::string Text(const std::string& path) { return ReadFileBytes(path); }

ProgramFacts TestProgram() { return {"Morvalen 0.1.0", "/opt/morvalen/morvalen", 123456, At(2024, 2, 1, 9, 30, 15)}; }
constexpr char kStartLine[] = "- Start Morvalen 0.1.0 (/opt/morvalen/morvalen, 123456 bt, 01.02.2024 09:30:15), win=0";

// Makes a file unopenable for appending (a folder takes its name) and gives it back.
class BlockedFile {
 public:
  explicit BlockedFile(std::string path) : m_path(std::move(path)), m_bytes(ReadFileBytes(m_path)) {
    fs::remove(m_path);
    fs::create_directory(m_path);
  }
  void Release() {
    fs::remove(m_path);
    WriteFileBytes(m_path, m_bytes);
  }

 private:
  std::string m_path;
  std::string m_bytes;
};

// Lets no file grow beyond `bytes` while it lives, as a full disk would.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &m_saved);
    m_handler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = m_saved;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &m_saved);
    std::signal(SIGXFSZ, m_handler);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  struct rlimit m_saved {};
  void (*m_handler)(int) = nullptr;
};

TEST(AppLog, LinesHaveTheFixedLayout) {
  FakePlatform fake;
  TempFolder dir;
  fake.clock.Freeze(At(2024, 3, 5, 14, 7, 9));
  const std::string path = dir.Path("a.log");
  TLogFile log;
  ASSERT_TRUE(OpenLogFile(log, path));
  EXPECT_TRUE(log.created);
  EXPECT_EQ(log.sizeAtOpen, 0u);
  const struct {
    std::int32_t run;
    std::uint8_t slot;
    const char* message;
    const char* line;
  } kCases[] = {
      {17, 3, "X", "05.03.2024 14:07:09   17  3  X"},
      {17, 0, "X", "05.03.2024 14:07:09   17     X"},
      {0, 0, "X", "05.03.2024 14:07:09   --     X"},
      {0, 12, "X", "05.03.2024 14:07:09   -- 12  X"},
      {12345, 255, "Открыт набор", "05.03.2024 14:07:09 12345 255  Открыт набор"},
  };
  std::string expected = FirstLine(path);
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.line);
    EXPECT_TRUE(WriteLogLine(log, c.run, c.message, c.slot));
    expected += std::string(c.line) + "\r\n";
  }
  EXPECT_EQ(ReadFileBytes(path), expected);
  // Readable in a terminal: "Открыт" as UTF-8, not as Windows-1251.
  EXPECT_NE(ReadFileBytes(path).find("\xD0\x9E\xD1\x82\xD0\xBA\xD1\x80\xD1\x8B\xD1\x82"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(path).find("\xCE\xF2\xEA\xF0\xFB\xF2"), std::string::npos);
  EXPECT_EQ(log.linesWritten, 5);

  // An existing log is only taken: nothing is written, its size is kept.
  TLogFile again;
  ASSERT_TRUE(OpenLogFile(again, path));
  EXPECT_FALSE(again.created);
  EXPECT_EQ(again.sizeAtOpen, expected.size());
  EXPECT_EQ(LogFileSize(again), again.sizeAtOpen);
  EXPECT_EQ(ReadFileBytes(path), expected);
}

TEST(AppLog, ALogInAMissingFolderStaysInMemory) {
  FakePlatform fake;
  TempFolder dir;
  TLogFile log;
  EXPECT_FALSE(OpenLogFile(log, dir.Path("none/a.log")));
  EXPECT_FALSE(log.usable);
  EXPECT_EQ(log.lastResult, 3u);
  EXPECT_EQ(log.failures, 0);
  EXPECT_EQ(LogFileSize(log), 0u);
  EXPECT_FALSE(WriteLogLine(log, 1, "kept"));
  EXPECT_NE(log.pending.find("  kept\r\n"), std::string::npos);
  EXPECT_TRUE(fake.messages.shown.empty());
  EXPECT_FALSE(fs::exists(dir.Path("none")));

  // A run that never gets its log keeps only the latest lines.
  const std::string filler(1000, 'x');
  for (int i = 0; i < 2500; ++i) WriteLogLine(log, 1, filler + std::to_string(i));
  EXPECT_LE(log.pending.size(), std::size_t{1} << 20);
  EXPECT_GT(log.pending.size(), (std::size_t{1} << 20) - 1100);
  EXPECT_EQ(log.pending.substr(0, 19).find_first_not_of("0123456789. :"), std::string::npos);  // a whole line
  EXPECT_EQ(log.pending.substr(log.pending.size() - 7), "x2499\r\n");
}

TEST(AppLog, LinesLoggedBeforeTheLogsOpenComeFirstAfterTheEmptyLine) {
  FakePlatform fake;
  TempFolder dir;
  fake.clock.Freeze(At(2024, 3, 5, 14, 7, 9));
  AppLog log;
  EXPECT_FALSE(LogLine(log, "one"));
  EXPECT_FALSE(LogLine(log, "two", 4));
  EXPECT_FALSE(LogError(log, "three"));
  ASSERT_TRUE(OpenLogs(log, dir.Path("mvl"), dir.Path("mvl_sess")));
  log.run.runNumber = 17;
  EXPECT_TRUE(LogLine(log, "four", 0, true));
  EXPECT_TRUE(LogLine(log, "five"));
  const std::string lines = "\r\n" + L(kNoRun, "one") + L("   --  4  ", "two") + L(kNoRun, "[ERR] three") +
                            L("   17     ", "four") + L("   17     ", "five");
  EXPECT_EQ(Text(dir.Path("mvl.log")), FirstLine(dir.Path("mvl.log")) + lines);
  EXPECT_EQ(Text(dir.Path("mvl_sess.log")), FirstLine(dir.Path("mvl_sess.log")) + lines);
  EXPECT_EQ(log.mainLog.linesWritten, 2);  // one per write, however many lines went with it
  EXPECT_TRUE(log.mainLog.pending.empty());
}

TEST(AppLog, FailedWritesKeepTheirLinesAndOnlyTwoFailuresAreShown) {
  FakePlatform fake;
  TempFolder dir;
  fake.clock.Freeze(At(2024, 3, 5, 14, 7, 9));
  const std::string path = dir.Path("a.log");
  TLogFile log;
  ASSERT_TRUE(OpenLogFile(log, path));
  BlockedFile blocked(path);
  std::string expected = FirstLine(path);
  for (int i = 1; i <= 5; ++i) {
    EXPECT_FALSE(WriteLogLine(log, 7, "line " + std::to_string(i), 0, i == 1));
    expected += (i == 1 ? "\r\n" : "") + L("    7     ", "line " + std::to_string(i));
  }
  EXPECT_EQ(log.failures, 5);
  EXPECT_EQ(log.lastResult, 5u);
  EXPECT_FALSE(log.busy);
  ASSERT_EQ(fake.messages.shown.size(), 2u);
  for (const auto& window : fake.messages.shown) {
    EXPECT_EQ(window.kind, platform::MsgKind::Error);
    EXPECT_EQ(window.text, "Сбой при попытке записи log-файла\r\n" + path + "\r\n\r\nошибка доступа (#5)");
  }

  blocked.Release();
  EXPECT_TRUE(WriteLogLine(log, 7, "line 6"));
  expected += L("    7     ", "line 6");
  EXPECT_EQ(Text(path), expected);
  EXPECT_EQ(log.linesWritten, 1);
  EXPECT_EQ(fake.messages.shown.size(), 2u);
}

TEST(AppLog, AWriteCutShortIsContinuedByTheNextOne) {
  FakePlatform fake;
  TempFolder dir;
  fake.clock.Freeze(At(2024, 3, 5, 14, 7, 9));
  const std::string path = dir.Path("a.log");
  TLogFile log;
  ASSERT_TRUE(OpenLogFile(log, path));
  const std::string message = "a line longer than the room left on the disk";
  {
    FileSizeLimit full(fs::file_size(path) + 20);
    EXPECT_FALSE(WriteLogLine(log, 7, message));
  }
  EXPECT_EQ(fs::file_size(path), log.sizeAtOpen + FirstLine(path).size() + 20);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text.rfind("Сбой при попытке записи log-файла\r\n" + path + "\r\n\r\n", 0), 0u);
  EXPECT_TRUE(WriteLogLine(log, 7, "next"));
  EXPECT_EQ(Text(path), FirstLine(path) + L("    7     ", message) + L("    7     ", "next"));
}

TEST(AppLog, TheFailureWindowIsLoggedBehindTheLinesOfTheFailedWrite) {
  FakePlatform fake;
  TempFolder dir;
  fake.clock.Freeze(At(2024, 3, 5, 14, 7, 9));
  AppLog log;
  test::ScopedService<platform::ILog> installed(&log);
  ASSERT_TRUE(OpenLogs(log, dir.Path("mvl"), dir.Path("mvl_sess")));
  log.run.runNumber = 3;
  const std::string mainPath = dir.Path("mvl.log");
  BlockedFile blocked(mainPath);
  EXPECT_FALSE(LogLine(log, "a"));
  blocked.Release();
  EXPECT_TRUE(LogLine(log, "b"));

  const std::string window =
      "[ERR] Ошибка - Сбой при попытке записи log-файла " + mainPath + "  ошибка доступа (#5) [WriteLogLine]";
  const char* run = "    3     ";
  EXPECT_EQ(Text(mainPath), FirstLine(mainPath) + L(run, "a") + L(run, window) + L(run, "b"));
  // The session log was free, so it took the window's line at once.
  const std::string sessionPath = dir.Path("mvl_sess.log");
  EXPECT_EQ(Text(sessionPath), FirstLine(sessionPath) + L(run, window) + L(run, "a") + L(run, "b"));
}

TEST(AppLog, TheInstalledLogTakesTheLinesOfTheWholeProgram) {
  FakePlatform fake;
  TempFolder dir;
  fake.clock.Freeze(At(2024, 3, 5, 14, 7, 9));
  AppLog log;
  test::ScopedService<platform::ILog> installed(&log);
  ASSERT_TRUE(OpenLogs(log, dir.Path("mvl"), ""));
  log.run.runNumber = 17;
  platform::Current<platform::ILog>().LogLine("Open dataset", 3);
  platform::Current<platform::ILog>().LogError("Failed", 300);  // not a slot: no dataset field
  ShowError("A\r\nB", 0, "T");
  ShowError("not logged", 0, "nolog");
  EXPECT_EQ(Text(dir.Path("mvl.log")), FirstLine(dir.Path("mvl.log")) + L("   17  3  ", "Open dataset") +
                                           L("   17     ", "[ERR] Failed") + L("   17     ", "[ERR] Ошибка - A B [T]"));
  EXPECT_FALSE(log.sessionLog.usable);
}

TEST(AppLog, AnAdditionalInstanceStartsItsOwnSessionLogForTheMinute) {
  FakePlatform fake;
  TempFolder dir;
  fake.clock.Freeze(At(2024, 3, 5, 14, 7, 9));
  const std::string name = dir.Path("mvl_sess_20240305_1407.log");
  WriteFileBytes(name, "an earlier start in the same minute\r\n");
  AppLog log;
  log.run.Set(RunFlag::PrevInstance);
  ASSERT_TRUE(OpenLogs(log, dir.Path("mvl"), dir.Path("mvl_sess")));
  EXPECT_EQ(log.sessionLog.fileName, name);
  EXPECT_EQ(Text(name), FirstLine(name));
  EXPECT_FALSE(fs::exists(dir.Path("mvl_sess.log")));
  EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(AppLog, ASessionLogThatCannotBeDeletedIsReported) {
  FakePlatform fake;
  TempFolder dir;
  const std::string name = dir.Path("mvl_sess.log");
  fs::create_directory(name);
  AppLog log;
  EXPECT_TRUE(OpenLogs(log, dir.Path("mvl"), dir.Path("mvl_sess")));
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, "Сбой при попытке удаления файла\r\n" + name);
  EXPECT_EQ(fake.messages.shown[0].details, "ошибка доступа (#5)");
  EXPECT_EQ(fake.messages.shown[0].sourceTag, "EraseAnyFile");
}

TEST(AppLog, StartKeepsThePreviousSessionLogAndWritesTheStartLines) {
  const struct {
    std::uint32_t flags;
    std::uint64_t window;
    const char* parameters;
    std::string startLine;
    bool rotated;  // the last session log became the previous one
  } kCases[] = {
      {0, 0, "  -M data.mvl ", kStartLine, true},
      {static_cast<std::uint32_t>(RunFlag::JustUpdated), 0, "",
       "- Start Morvalen 0.1.0 after update (/opt/morvalen/morvalen, 123456 bt, 01.02.2024 09:30:15), win=0", true},
      {static_cast<std::uint32_t>(RunFlag::PrevInstance), 4711, "",
       "- Start Morvalen 0.1.0 (/opt/morvalen/morvalen, 123456 bt, 01.02.2024 09:30:15), win=4711, double instance",
       false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.startLine);
    FakePlatform fake;
    TempFolder dir;
    fake.clock.Freeze(At(2024, 3, 5, 14, 7, 9));
    const std::string folder = dir.Path("Log");
    fs::create_directory(folder);
    WriteFileBytes(folder + "/mvl.log", "earlier runs\r\n");
    WriteFileBytes(folder + "/mvl_sess.log", "last run\r\n");
    WriteFileBytes(folder + "/mvl_prev.log", "run before last\r\n");
    AppLog log;
    log.run.flags = c.flags;
    log.run.windowHandle = c.window;
    log.run.program = TestProgram();
    log.run.parameters = c.parameters;
    ASSERT_TRUE(StartLogs(log, folder + "/", dir.path()));

    EXPECT_EQ(log.logFolder, folder + "/");
    EXPECT_EQ(log.sessionFile.fileName, folder + "/mvl.ses");
    EXPECT_EQ(log.mainLog.sizeAtOpen, 14u);
    std::string lines = "\r\n" + L(kNoRun, c.startLine);
    if (*c.parameters) lines += L(kNoRun, "Prm: -M data.mvl");
    EXPECT_EQ(Text(folder + "/mvl.log"), "earlier runs\r\n" + lines);
    EXPECT_EQ(Text(log.sessionLog.fileName), FirstLine(log.sessionLog.fileName) + lines);
    EXPECT_EQ(Text(folder + "/mvl_prev.log"), c.rotated ? "last run\r\n" : "run before last\r\n");
    if (!c.rotated) {
      EXPECT_EQ(Text(folder + "/mvl_sess.log"), "last run\r\n");
    }
    EXPECT_TRUE(fake.messages.shown.empty());
  }
}

// "dd.MM.yyyy hh:nn" of a file's last change, read through the C library.
std::string ChangeMinute(const std::string& path) {
  struct stat info {};
  stat(path.c_str(), &info);
  std::tm local{};
  localtime_r(&info.st_mtime, &local);
  char text[32];
  std::strftime(text, sizeof text, "%d.%m.%Y %H:%M", &local);
  return text;
}

TEST(AppLog, LogsBesideTheProgramMoveIntoTheLogFolderOnce) {
  FakePlatform fake;
  TempFolder dir;
  fake.clock.Freeze(At(2024, 3, 5, 14, 7, 9));
  WriteFileBytes(dir.Path("mvl.log"), "kept beside the program\r\n");
  WriteFileBytes(dir.Path("update.LOG"), "u");
  WriteFileBytes(dir.Path("notes.txt"), "n");
  const std::string moved = ChangeMinute(dir.Path("mvl.log"));
  const std::string folder = dir.Path("Log");  // missing: the start creates it
  AppLog log;
  log.run.program = TestProgram();
  ASSERT_TRUE(StartLogs(log, folder, dir.path()));
  EXPECT_FALSE(fs::exists(dir.Path("mvl.log")));
  EXPECT_FALSE(fs::exists(dir.Path("update.LOG")));
  EXPECT_TRUE(fs::exists(dir.Path("notes.txt")));
  EXPECT_EQ(ReadFileBytes(folder + "/update.LOG"), "u");
  const std::string first = "kept beside the program\r\n\r\n" +
                            L(kNoRun, "- Move log file to " + folder + "/mvl.log (25 bt, " + moved + ")") + "\r\n" +
                            L(kNoRun, kStartLine);
  EXPECT_EQ(Text(folder + "/mvl.log"), first);

  // The next start finds nothing left to move.
  WriteFileBytes(dir.Path("mvl.log"), "a log that is not ours any more\r\n");
  AppLog next;
  next.run.program = TestProgram();
  ASSERT_TRUE(StartLogs(next, folder, dir.path()));
  EXPECT_EQ(Text(folder + "/mvl.log"), first + "\r\n" + L(kNoRun, kStartLine));
  EXPECT_TRUE(fs::exists(dir.Path("mvl.log")));
}

TEST(AppLog, WithoutALogFolderTheRunGoesOnWithItsLinesInMemory) {
  FakePlatform fake;
  TempFolder dir;
  WriteFileBytes(dir.Path("file"), "x");
  const std::string folder = dir.Path("file") + "/Log";  // cannot be created under a file
  AppLog log;
  log.run.program = TestProgram();
  EXPECT_FALSE(StartLogs(log, folder, dir.path()));
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text,
            "Не найдена папка протокола работы (" + folder +
                ").\r\n\r\nСоздайте эту папку в Windows или исправьте настройки приложения, а затем перезапустите "
                "Morvalen.\r\nРабота с наборами данных без ведения протокола несет дополнительные риски!");
  EXPECT_FALSE(LogLine(log, "later"));
  EXPECT_NE(log.mainLog.pending.find("  later\r\n"), std::string::npos);
  SettleRunNumber(log, 17);
  EXPECT_EQ(log.run.runNumber, 17);
  EXPECT_FALSE(AppendSession(log));
  EXPECT_FALSE(FinishRun(log));
  EXPECT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);  // no file anywhere
}

// A session file whose header chunk records `lastRun` as the last run, laid out by hand.
std::string SessionHeaderFile(std::int32_t lastRun, bool damaged) {
  test::ByteBuilder content;
  content.Raw("[SH]").U8(1).Raw(std::string(163, '\0')).I32(1).I32(lastRun).I32(lastRun).I32(544);
  content.Raw(std::string(512 - content.bytes().size(), '\0'));
  const std::uint16_t check = static_cast<std::uint16_t>(CheckValue(content.bytes()) ^ (damaged ? 1 : 0));
  test::ByteBuilder chunk;
  chunk.Raw("[UDB").U8(1).U8(1).I32(1601).I32(512).I16(static_cast<std::int16_t>(check));
  chunk.Raw(std::string(15, '\0')).Raw("]").Raw(content.bytes());
  return chunk.bytes();
}

TEST(AppLog, TheSessionFileSettlesTheRunNumber) {
  TempFolder dir;
  const std::string path = dir.Path("mvl.ses");
  const struct {
    const char* name;
    std::string file;  // "" = no session file
    std::int32_t run;
    std::string logged;
  } kCases[] = {
      {"no file", "", 17, ""},
      {"later run in the file", SessionHeaderFile(41, false), 42,
       L("   42     ", "Correct session number by session file: 17 -> 42")},
      {"file agrees", SessionHeaderFile(16, false), 17, ""},
      {"damaged header", SessionHeaderFile(41, true), 17,
       L("   17     ", "[ERR] Session file header - Повреждение данных (" + path + ")")},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    FakePlatform fake;
    fake.clock.Freeze(At(2024, 3, 5, 14, 7, 9));
    fs::remove(path);
    if (!c.file.empty()) WriteFileBytes(path, c.file);
    AppLog log;
    test::ScopedService<platform::ILog> installed(&log);
    log.sessionFile.fileName = path;
    log.run.runNumber = 1;
    SettleRunNumber(log, 17);
    EXPECT_EQ(log.run.runNumber, c.run);
    EXPECT_EQ(log.mainLog.pending, c.logged);
    EXPECT_TRUE(fake.messages.shown.empty());
  }
}

TEST(AppLog, DurationText) {
  const struct {
    std::int64_t seconds;
    const char* text;
  } kCases[] = {
      {0, "0:00"},          {9, "0:09"},          {75, "1:15"},       {3599, "59:59"},      {3600, "1:00:00"},
      {3725, "1:02:05"},    {90061, "25:01:01"},  {-75, "-1:15"},     {-3725, "-1:02:05"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.seconds);
    EXPECT_EQ(DurationText(c.seconds), c.text);
  }
}

TEST(AppLog, TheEndOfTheRunLogsItsDuration) {
  const struct {
    std::int64_t seconds;
    bool updating;
    const char* line;
  } kCases[] = {
      {75, false, "- End: time=1:15"},
      {3599, false, "- End: time=59:59"},
      {3600, true, "- End: time=1:00:00, try to update EXE"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.line);
    FakePlatform fake;
    TempFolder dir;
    const TDateTime start = At(2024, 3, 5, 13, 0, 0);
    fake.clock.Freeze(start);
    AppLog log;
    log.run.started = start;
    log.run.runNumber = 8;
    log.run.Set(RunFlag::UpdateEXEStarted, c.updating);
    ASSERT_TRUE(OpenLogs(log, dir.Path("mvl"), ""));
    fake.clock.now = start + static_cast<double>(c.seconds) / 86400.0;
    LogSessionClosing(log);
    EXPECT_FALSE(FinishRun(log));  // no session record was placed in this run
    const std::string when = DateTimeText(fake.clock.now, true);
    const std::string tail = when + "    8     -Closing session\r\n" + when + "    8     " + c.line + "\r\n";
    const std::string text = Text(dir.Path("mvl.log"));
    ASSERT_GT(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  }
}

TEST(AppLog, TwoRunsFillTheLogsAndTheSessionFile) {
  FakePlatform fake;
  TempFolder dir;
  const std::string folder = dir.Path("Log");
  std::uint64_t sizeBefore[2] = {};
  for (int n = 0; n < 2; ++n) {
    sizeBefore[n] = fs::exists(folder + "/mvl.log") ? fs::file_size(folder + "/mvl.log") : 0;
    AppLog log;
    test::ScopedService<platform::ILog> installed(&log);
    log.run.Begin();
    log.run.program = TestProgram();
    ASSERT_TRUE(StartLogs(log, folder, dir.path()));
    log.run.runNumber = 1;
    log.run.Set(RunFlag::CFG_Loaded);
    SettleRunNumber(log, 17);  // the configuration was not saved after the first run
    ASSERT_TRUE(AppendSession(log));
    platform::Current<platform::ILog>().LogLine("work", 2);
    LogSessionClosing(log);
    ASSERT_TRUE(FinishRun(log));
    EXPECT_EQ(log.run.runNumber, 17 + n);
  }
  const std::string main = Text(folder + "/mvl.log");
  EXPECT_NE(main.find("   17  2  work"), std::string::npos);
  EXPECT_NE(main.find("   18     Correct session number by session file: 17 -> 18"), std::string::npos);
  EXPECT_NE(main.find("   18  2  work"), std::string::npos);
  EXPECT_NE(Text(folder + "/mvl_prev.log").find("   17  2  work"), std::string::npos);
  EXPECT_EQ(Text(folder + "/mvl_sess.log").find("   17  "), std::string::npos);

  TSessFile file;
  file.fileName = folder + "/mvl.ses";
  ASSERT_TRUE(ReadSessions(file, 1, 0));
  ASSERT_EQ(file.sessions.size(), 2u);
  const std::uint64_t sizeAfter = fs::file_size(folder + "/mvl.log");
  const struct {
    std::int32_t run;
    std::uint16_t lines;  // start, (correction,) work, closing, end
    std::uint64_t growth;
  } kRuns[] = {{17, 4, sizeBefore[1] - sizeBefore[0]}, {18, 5, sizeAfter - sizeBefore[1]}};
  for (int n = 0; n < 2; ++n) {
    SCOPED_TRACE(n);
    const SessionRecord& r = file.sessions[static_cast<std::size_t>(n)].record;
    EXPECT_EQ(r.runNumber, kRuns[n].run);
    EXPECT_EQ(r.state, 2);
    EXPECT_EQ(r.sessionFlags, ses::rec::kConfigRead);
    EXPECT_EQ(r.logLines, kRuns[n].lines);
    EXPECT_EQ(r.logGrowth, kRuns[n].growth);
    EXPECT_EQ(static_cast<std::uint64_t>(r.logSizeAtOpen), sizeBefore[n]);
  }
  EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(AppLog, FileNamesByKind) {
  const struct {
    int kind;
    std::string folder;
    std::string name;
  } kCases[] = {
      {kFileMainLog, "/a/Log", "/a/Log/mvl.log"},         {kFileSessionLog, "/a/Log/", "/a/Log/mvl_sess.log"},
      {kFilePreviousLog, "/a/Log", "/a/Log/mvl_prev.log"}, {kFileSessionFile, "/a/Log", "/a/Log/mvl.ses"},
      {0, "/a/Log", ""},                                   {6, "/a/Log", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.kind);
    EXPECT_EQ(AppFileName(c.kind, c.folder), c.name);
  }
  const std::string program = AppFileName(kFileProgram, "/a/Log");
  EXPECT_TRUE(fs::path(program).is_absolute());
  EXPECT_TRUE(fs::exists(program));
}

TEST(AppLog, SysInfoLine) {
  SysInfo info;
  info.computer = "bench";
  info.user = "ivanov";
  info.address = "10.0.0.7";
  info.host = "bench.plant.local";
  info.os = "Debian GNU/Linux 12 (bookworm), Linux 6.1.0";
  info.ramMegabytes = 15931;
  info.bios = "SeaBIOS 1.16";
  info.cpu = "Intel(R) Xeon(R) CPU";
  info.bigFonts = true;
  EXPECT_EQ(SysInfoText(info),
            "SysInfo: WinComputer=bench, WinUser=ivanov, IP=10.0.0.7, host=bench.plant.local, "
            "OS=\"Debian GNU/Linux 12 (bookworm), Linux 6.1.0\", RAM=15931M, BIOS=\"SeaBIOS 1.16\", "
            "CPU=\"Intel(R) Xeon(R) CPU\", SysFont=big");
  info.cpu.clear();
  info.bigFonts = false;
  EXPECT_EQ(SysInfoText(info).substr(SysInfoText(info).find("RAM=")), "RAM=15931M, BIOS=\"SeaBIOS 1.16\", SysFont=small");

  // This machine's line has the same shape: the fields in their order, a real amount of memory.
  const std::string line = SysInfoText(ReadSysInfo(false));
  std::size_t at = 0;
  for (const char* field : {"SysInfo: WinComputer=", ", WinUser=", ", IP=", ", host=", ", OS=\"", "\", RAM=",
                            "M, BIOS=\"", ", SysFont=small"}) {
    SCOPED_TRACE(field);
    const std::size_t found = line.find(field, at);
    ASSERT_NE(found, std::string::npos) << line;
    at = found + std::strlen(field);
  }
  EXPECT_EQ(at, line.size()) << line;
  const std::size_t ram = line.find(", RAM=") + 6;
  EXPECT_GT(std::strtoull(line.c_str() + ram, nullptr, 10), 0u) << line;

  FakePlatform fake;
  AppLog log;
  LogSysInfo(log, info);
  LogSysInfo(log, info);
  EXPECT_EQ(std::count(log.mainLog.pending.begin(), log.mainLog.pending.end(), '\n'), 1);
}

TEST(AppLog, SysInfoSources) {
  EXPECT_EQ(MemTotalMegabytes("MemTotal:       16314132 kB\nMemFree:         1234 kB\n"), 15931u);
  EXPECT_EQ(MemTotalMegabytes("MemFree: 1234 kB\n"), 0u);
  EXPECT_EQ(MemTotalMegabytes("MemTotal: 99999999999999999999999 kB\n"), 0u);
  EXPECT_EQ(CpuModel("processor\t: 0\nvendor_id\t: GenuineIntel\nmodel name\t: Intel(R) Core(TM) i7-8700 CPU\n"
                     "processor\t: 1\nmodel name\t: other\n"),
            "Intel(R) Core(TM) i7-8700 CPU");
  EXPECT_EQ(CpuModel("processor\t: 0\nBogoMIPS\t: 48.00\n"), "");
  EXPECT_EQ(OsPrettyName("NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n"),
            "Debian GNU/Linux 12 (bookworm)");
  EXPECT_EQ(OsPrettyName("PRETTY_NAME='Alpine Linux v3.19'\n"), "Alpine Linux v3.19");
  EXPECT_EQ(OsPrettyName("NAME=Debian\n"), "");
}

}  // namespace
}  // namespace mv
