#include "core/session_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <vector>

#include "core/check_value.h"
#include "core/cp1251.h"
#include "core/date_time.h"
#include "core/file_error.h"
#include "support/bytes.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

namespace fs = std::filesystem;
using test::At;
using test::FakePlatform;
using test::FromHex;
using test::ReadFileBytes;
using test::TempFolder;
using test::ToHex;
using test::WriteFileBytes;

std::string I32(std::int32_t v) { return test::ByteBuilder().I32(v).bytes(); }
std::string U16(std::uint16_t v) { return test::ByteBuilder().I16(static_cast<std::int16_t>(v)).bytes(); }
std::string F64(double v) {
  std::string b(8, '\0');
  std::memcpy(b.data(), &v, 8);
  return b;
}
std::int32_t I32At(const std::string& b, std::size_t off) {
  std::int32_t v = 0;
  std::memcpy(&v, b.data() + off, 4);
  return v;
}
void Lay(std::string& b, std::size_t off, std::string_view bytes) { b.replace(off, bytes.size(), bytes); }

// Puts the check value of the content behind the chunk header at pos into that header.
void FixCheck(std::string& b, std::size_t pos, std::size_t contentSize) {
  Lay(b, pos + 14, U16(CheckValue(std::string_view(b).substr(pos + 32, contentSize))));
}

RunState TestRun(std::int32_t number, TDateTime started, std::uint32_t flags) {
  RunState run;
  run.runNumber = number;
  run.started = started;
  run.flags = flags;
  run.timeZoneBias = -180;
  run.program = {"Morvalen 0.1.0", "/opt/morvalen/morvalen", 123456, At(2024, 2, 1, 9, 30, 15)};
  run.parameters = "-M Данные по валу номер двенадцать.mvl";
  return run;
}
constexpr std::uint32_t kLoadedInDebug =
    static_cast<std::uint32_t>(RunFlag::CFG_Loaded) | static_cast<std::uint32_t>(RunFlag::DebugMode);

// A fresh file holding the record of run 5.
std::string FreshFile(const std::string& path) {
  TSessFile file;
  file.fileName = path;
  EXPECT_TRUE(AppendSession(file, TestRun(5, At(2024, 3, 5, 14, 6, 9), kLoadedInDebug), 4321));
  return ReadFileBytes(path);
}

// "dd.MM.yyyy hh:nn:ss" of a file's last change, read through the C library.
std::string ChangeTime(const std::string& path) {
  struct stat info {};
  stat(path.c_str(), &info);
  std::tm local{};
  localtime_r(&info.st_mtime, &local);
  char text[32];
  std::strftime(text, sizeof text, "%d.%m.%Y %H:%M:%S", &local);
  return text;
}

TEST(SessionFile, AFreshFileHoldsTheHeaderAndTheRunsRecordAndTheEndRewritesIt) {
  FakePlatform fake;
  TempFolder dir;
  const TDateTime now = At(2024, 3, 5, 14, 7, 9);
  fake.clock.Freeze(now);
  const RunState run = TestRun(5, now - 1.0 / 1440, kLoadedInDebug);
  TSessFile file;
  file.fileName = dir.Path("mvl.ses");
  ASSERT_TRUE(AppendSession(file, run, 4321));
  EXPECT_TRUE(file.headerRead);
  EXPECT_EQ(file.recordPosition, 544);
  const std::string b = ReadFileBytes(file.fileName);
  ASSERT_EQ(b.size(), 1344u);

  // The offsets in the file, one by one.
  const struct {
    std::size_t offset;
    std::string bytes;
  } kFields[] = {
      {0, "[UDB"},     {6, I32(1601)},  {10, I32(512)},  {31, "]"},      {32, "[SH]"},      {200, I32(1)},
      {204, I32(5)},   {208, I32(5)},   {212, I32(544)}, {544, "[UDB"},  {550, I32(1602)},  {554, I32(768)},
      {568, I32(5)},   {576, "[SR]"},   {580, I32(5)},   {611, "\x01"},  {1333, I32(5)},    {1337, U16(768)},
      {1339, "\x01"},  {1340, "[SR]"},
  };
  for (const auto& f : kFields) {
    SCOPED_TRACE(f.offset);
    EXPECT_EQ(ToHex(b.substr(f.offset, f.bytes.size())), ToHex(f.bytes));
  }

  // Whole chunks, laid out by hand.
  const std::string zeros3(3, '\0');
  EXPECT_EQ(ToHex(b.substr(0, 32)), ToHex(FromHex("5B 55 44 42 01 01") + I32(1601) + I32(512) +
                                          U16(CheckValue(b.substr(32, 512))) + F64(now) + I32(0) + zeros3 + "]"));
  std::string header(512, '\0');
  Lay(header, 0, "[SH]\x01");
  Lay(header, 7, "\x0EMorvalen 0.1.0");
  Lay(header, 168, I32(1) + I32(5) + I32(5) + I32(544));
  EXPECT_EQ(ToHex(b.substr(32, 512)), ToHex(header));
  EXPECT_EQ(ToHex(b.substr(544, 32)), ToHex(FromHex("5B 55 44 42 01 01") + I32(1602) + I32(768) +
                                            U16(CheckValue(b.substr(576))) + F64(now) + I32(5) + zeros3 + "]"));
  std::string record(768, '\0');
  Lay(record, 0, "[SR]" + I32(5) + I32(4) + "\x0F>> 2024-03-05 5");
  Lay(record, 35, "\x01" + F64(run.started) + F64(0) + I32(-180) + I32(264));
  Lay(record, 68, "\x0EMorvalen 0.1.0");
  Lay(record, 119, F64(At(2024, 2, 1, 9, 30, 15)) + I32(123456));
  Lay(record, 400, I32(4321));
  Lay(record, 656, "\x1E" + Utf8ToCp1251("-M Данные по валу номер двенад"));  // the first 30 characters
  Lay(record, 757, I32(5) + U16(768) + "\x01[SR]");
  EXPECT_EQ(ToHex(b.substr(576)), ToHex(record));

  // The end of the run writes the same record again, as ended.
  fake.clock.now = now + 75.0 / 86400;
  ASSERT_TRUE(FinishSession(file, run, SessionLogUsage{4321, 70000, 12}));
  const std::string ended = ReadFileBytes(file.fileName);
  ASSERT_EQ(ended.size(), 1344u);
  EXPECT_EQ(ToHex(ended.substr(0, 544)), ToHex(b.substr(0, 544)));
  Lay(record, 12, "\x0F#> 2024-03-05 5");
  Lay(record, 35, "\x02");
  Lay(record, 44, F64(fake.clock.now));
  Lay(record, 404, U16(70000 - 65536) + U16(12));  // the growth's low 16 bits
  EXPECT_EQ(ToHex(ended.substr(576)), ToHex(record));
  EXPECT_EQ(ToHex(ended.substr(544, 32)), ToHex(FromHex("5B 55 44 42 01 01") + I32(1602) + I32(768) +
                                                U16(CheckValue(record)) + F64(fake.clock.now) + I32(5) + zeros3 + "]"));

  // A run that only read the header has no record of its own to finish.
  TSessFile reader;
  reader.fileName = file.fileName;
  ASSERT_TRUE(ReadSessionHeader(reader));
  EXPECT_FALSE(FinishSession(reader, TestRun(6, now, 0), SessionLogUsage{}));
  EXPECT_EQ(ReadFileBytes(file.fileName), ended);
  EXPECT_TRUE(fake.messages.shown.empty());
  EXPECT_TRUE(fake.log.lines.empty());
}

TEST(SessionFile, TheListingGivesIntervalsAndOrdinals) {
  FakePlatform fake;
  TempFolder dir;
  const std::string path = dir.Path("mvl.ses");
  const TDateTime day = At(2024, 3, 5, 0, 0, 0);
  const auto hours = [](double h) { return h / 24; };
  const std::uint32_t additional = static_cast<std::uint32_t>(RunFlag::PrevInstance);
  // Runs 5 and 8 end, 6 is an additional instance that ends after 5, 7 never ends.
  const struct {
    TDateTime when;
    std::int32_t run;
    bool finish;
  } kEvents[] = {
      {day + hours(10), 5, false},     {day + hours(10.5), 6, false},   {day + hours(11), 5, true},
      {day + hours(11.5), 6, true},    {day + 1 + hours(9), 7, false},  {day + 1 + hours(9.5), 8, false},
      {day + 1 + hours(12), 8, true},
  };
  std::map<std::int32_t, TSessFile> files;
  std::map<std::int32_t, RunState> runs;
  for (const auto& e : kEvents) {
    fake.clock.Freeze(e.when);
    if (e.finish) {
      ASSERT_TRUE(FinishSession(files[e.run], runs[e.run], SessionLogUsage{}));
    } else {
      runs[e.run] = TestRun(e.run, e.when, e.run == 6 ? additional : 0);
      files[e.run].fileName = path;
      ASSERT_TRUE(AppendSession(files[e.run], runs[e.run], 0));
    }
  }
  EXPECT_EQ(fs::file_size(path), 544u + 4 * 800);

  const struct {
    std::int32_t first;
    std::int32_t count;
    std::vector<std::int32_t> runs;
    std::vector<std::int32_t> intervals;
    std::vector<std::uint16_t> ordinals;
  } kCases[] = {
      {1, 0, {5, 6, 7, 8}, {0, 0, 22 * 3600, 22 * 3600 + 1800}, {1, 2, 1, 2}},
      {2, 2, {6, 7}, {0, 0}, {1, 1}},
      {3, 9, {7, 8}, {0, 0}, {1, 2}},
      {4, 1, {8}, {0}, {1}},
      {0, 0, {}, {}, {}},
      {5, 0, {}, {}, {}},
      {-1, 2, {}, {}, {}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.first << "/" << c.count);
    TSessFile listing;
    listing.fileName = path;
    ASSERT_TRUE(ReadSessions(listing, c.first, c.count));
    EXPECT_EQ(listing.header.sessions, 4);
    EXPECT_EQ(listing.header.firstRun, 5);
    EXPECT_EQ(listing.header.lastRun, 8);
    EXPECT_EQ(listing.header.lastPosition, 544 + 3 * 800);
    std::vector<std::int32_t> got;
    std::vector<std::int32_t> intervals;
    std::vector<std::uint16_t> ordinals;
    for (const auto& s : listing.sessions) {
      got.push_back(s.record.runNumber);
      intervals.push_back(s.interval);
      ordinals.push_back(s.ordinal);
    }
    EXPECT_EQ(got, c.runs);
    EXPECT_EQ(intervals, c.intervals);
    EXPECT_EQ(ordinals, c.ordinals);
    EXPECT_EQ(listing.firstRead, c.runs.empty() ? 0 : c.runs.front());
  }
  TSessFile all;
  all.fileName = path;
  ASSERT_TRUE(ReadSessions(all, 1, 0));
  const std::uint8_t kStates[] = {2, 2, 1, 2};  // run 7 did not end normally
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(all.sessions[i].record.state, kStates[i]);
  EXPECT_EQ(all.sessions[1].record.sessionFlags, ses::rec::kAdditional);
  EXPECT_TRUE(fake.log.lines.empty());
}

TEST(SessionFile, TheNextRecordGoesIntoItsOwnSlot) {
  const struct {
    const char* name;
    std::int32_t sessions;  // as the header says
    std::size_t fileSize;
    std::int64_t position;
  } kCases[] = {
      {"healthy", 1, 1344, 1344},
      {"last record cut short", 1, 944, 1344},
      {"last record never written", 2, 1344, 2144},
      {"count far beyond the file", 1000, 1344, 1344},
      {"count behind the file", 1, 2144, 2144},
      {"negative count", -4, 1344, 1344},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    FakePlatform fake;
    TempFolder dir;
    const std::string path = dir.Path("mvl.ses");
    std::string b = FreshFile(path);
    if (c.fileSize < b.size()) b.resize(c.fileSize);
    while (b.size() < c.fileSize) b += b.substr(544, 800);
    Lay(b, 200, I32(c.sessions));
    FixCheck(b, 0, 512);
    WriteFileBytes(path, b);

    TSessFile file;
    file.fileName = path;
    ASSERT_TRUE(AppendSession(file, TestRun(6, At(2024, 3, 6, 8, 0, 0), 0), 0));
    EXPECT_EQ(file.recordPosition, c.position);
    const std::string after = ReadFileBytes(path);
    ASSERT_EQ(after.size(), static_cast<std::size_t>(c.position) + 800);
    EXPECT_EQ(I32At(after, 200), (c.position - 544) / 800 + 1);
    EXPECT_EQ(I32At(after, 204), c.sessions > 0 ? 5 : 6);
    EXPECT_EQ(I32At(after, 208), 6);
    EXPECT_EQ(I32At(after, 212), c.position);
    EXPECT_EQ(after.substr(static_cast<std::size_t>(c.position) + 32, 4), "[SR]");
    EXPECT_EQ(I32At(after, static_cast<std::size_t>(c.position) + 36), 6);
  }
}

TEST(SessionFile, ARecordCutShortIsReportedAndLaterRecordsStillList) {
  FakePlatform fake;
  TempFolder dir;
  const std::string path = dir.Path("mvl.ses");
  std::string b = FreshFile(path);
  b.resize(544 + 400);  // the write of run 5's record stopped part-way
  WriteFileBytes(path, b);
  for (std::int32_t run = 6; run <= 7; ++run) {
    TSessFile file;
    file.fileName = path;
    ASSERT_TRUE(AppendSession(file, TestRun(run, At(2024, 3, 6, 8, run, 0), 0), 0));
  }
  TSessFile listing;
  listing.fileName = path;
  ASSERT_TRUE(ReadSessions(listing, 1, 0));
  ASSERT_EQ(listing.sessions.size(), 2u);
  EXPECT_EQ(listing.sessions[0].record.runNumber, 6);
  EXPECT_EQ(listing.sessions[1].record.runNumber, 7);
  ASSERT_EQ(fake.log.lines.size(), 1u);
  EXPECT_EQ(fake.log.lines[0], "[ERR] Session file - Повреждение данных (" + path + ")");
  EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(SessionFile, ADamagedHeaderIsLoggedWithWhatIsWrong) {
  const struct {
    const char* name;
    std::function<void(std::string&)> damage;
    bool fixCheck;  // the check value is made to fit the damaged content
    const char* status;
  } kCases[] = {
      {"marker", [](std::string& b) { b[0] = 'X'; }, false, "Неверный формат заголовка"},
      {"closing mark", [](std::string& b) { b[31] = ')'; }, false, "Неверный формат заголовка"},
      {"format version", [](std::string& b) { b[4] = 2; }, false, "Неверная версия заголовка"},
      {"content larger than the header", [](std::string& b) { Lay(b, 10, I32(513)); }, false,
       "Размер буфера недостаточен"},
      {"negative content size", [](std::string& b) { Lay(b, 10, I32(-1)); }, false, "Размер буфера недостаточен"},
      {"check value", [](std::string& b) { b[200] = 9; }, false, "Повреждение данных"},
      {"content code", [](std::string& b) { Lay(b, 6, I32(1602)); }, false, "Неверный тип данных"},
      {"record marker", [](std::string& b) { b[34] = 'X'; }, true, "Неверный тип данных"},
      {"content version", [](std::string& b) { b[5] = 2; }, false, "Неверная версия типа данных"},
      {"record version", [](std::string& b) { b[36] = 2; }, true, "Неверная версия типа данных"},
      {"file shorter than its header", [](std::string& b) { b.resize(20); }, false, "Повреждение данных"},
      {"empty file", [](std::string& b) { b.clear(); }, false, "Повреждение данных"},
      {"no check value", [](std::string& b) { Lay(b, 14, U16(0)); b[200] = 9; }, false, nullptr},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    FakePlatform fake;
    TempFolder dir;
    const std::string path = dir.Path("mvl.ses");
    std::string b = FreshFile(path);
    c.damage(b);
    if (c.fixCheck) FixCheck(b, 0, 512);
    WriteFileBytes(path, b);
    TSessFile file;
    file.fileName = path;
    if (c.status == nullptr) {  // a check value of 0 is not checked
      EXPECT_TRUE(ReadSessionHeader(file));
      EXPECT_EQ(file.header.sessions, 9);
      EXPECT_TRUE(fake.log.lines.empty());
      continue;
    }
    EXPECT_FALSE(ReadSessionHeader(file));
    EXPECT_FALSE(file.headerRead);
    EXPECT_EQ(ChunkStatusText(file.status), c.status);
    ASSERT_EQ(fake.log.lines.size(), 1u);
    EXPECT_EQ(fake.log.lines[0], "[ERR] Session file header - " + std::string(c.status) + " (" + path + ")");
    EXPECT_TRUE(fake.messages.shown.empty());
  }
}

TEST(SessionFile, FailuresAreLoggedAndShownWithTheStep) {
  struct Outcome {
    bool ok;
    std::string path;
  };
  const struct {
    const char* step;
    std::function<Outcome(const TempFolder&)> run;
    int code;
    bool sizeKnown;
  } kCases[] = {
      {"load header",
       [](const TempFolder& dir) {
         const std::string path = dir.Path("mvl.ses");
         fs::create_directory(path);  // opens, but gives no bytes
         TSessFile file;
         file.fileName = path;
         return Outcome{ReadSessionHeader(file), path};
       },
       5, false},
      {"load sess #2",
       [](const TempFolder& dir) {
         const std::string path = dir.Path("mvl.ses");
         std::string b = FreshFile(path);
         Lay(b, 200, I32(2));  // one more than the file holds
         FixCheck(b, 0, 512);
         WriteFileBytes(path, b);
         TSessFile file;
         file.fileName = path;
         const bool ok = ReadSessions(file, 1, 0);
         EXPECT_EQ(file.sessions.size(), 1u);
         return Outcome{ok, path};
       },
       100, true},
      {"create",
       [](const TempFolder& dir) {
         TSessFile file;
         file.fileName = dir.Path("Log/mvl.ses");
         return Outcome{AppendSession(file, TestRun(5, 45356.5, 0), 0), file.fileName};
       },
       3, false},
      {"save session",
       [](const TempFolder& dir) {
         TSessFile file;
         file.fileName = dir.Path("mvl.ses");
         struct rlimit saved {};
         getrlimit(RLIMIT_FSIZE, &saved);
         const auto handler = std::signal(SIGXFSZ, SIG_IGN);
         struct rlimit limited = saved;
         limited.rlim_cur = 600;
         setrlimit(RLIMIT_FSIZE, &limited);
         const bool ok = AppendSession(file, TestRun(5, 45356.5, 0), 0);
         setrlimit(RLIMIT_FSIZE, &saved);
         std::signal(SIGXFSZ, handler);
         EXPECT_TRUE(file.headerRead);
         return Outcome{ok, file.fileName};
       },
       EFBIG, false},
      {"open",
       [](const TempFolder& dir) {
         TSessFile file;
         file.fileName = dir.Path("mvl.ses");
         const RunState run = TestRun(5, 45356.5, 0);
         EXPECT_TRUE(AppendSession(file, run, 0));
         fs::remove(file.fileName);
         fs::create_directory(file.fileName);
         return Outcome{FinishSession(file, run, SessionLogUsage{}), file.fileName};
       },
       5, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.step);
    FakePlatform fake;
    TempFolder dir;
    const Outcome outcome = c.run(dir);
    EXPECT_FALSE(outcome.ok);
    std::string text = "Session file err #" + std::to_string(c.code) + " (" + FileErrorText(c.code) + ") in " +
                       outcome.path;
    if (c.sizeKnown) text += " (" + std::to_string(fs::file_size(outcome.path)) + " bt, " + ChangeTime(outcome.path) + ")";
    text += " [" + std::string(c.step) + "]";
    // The error line, then the window's own copy of itself.
    ASSERT_EQ(fake.log.lines.size(), 2u);
    EXPECT_EQ(fake.log.lines[0], "[ERR] " + text);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text,
              "Сбой при работе с файлом\r\n" + outcome.path + "\r\n\r\n" + FileErrorText(c.code));
    EXPECT_EQ(fake.messages.shown[0].sourceTag, text);
  }
}

TEST(SessionFile, ChunkStatusTexts) {
  const struct {
    int code;
    const char* text;
  } kCases[] = {
      {0, "OK"},
      {1, "Oшибка обработки"},
      {3, "Неверный формат заголовка"},
      {4, "Неверная версия заголовка"},
      {5, "Неверный тип данных"},
      {6, "Неверная версия типа данных"},
      {7, "Файловая ошибка"},
      {8, "Размер буфера недостаточен"},
      {9, "Повреждение данных"},
      {2, "Ошибка #2"},
      {10, "Ошибка #10"},
      {255, "Ошибка #255"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(ChunkStatusText(c.code), c.text);
  }
  // Status 1 begins with a Latin O; "Ошибка #" with a Cyrillic one.
  EXPECT_EQ(ToHex(Utf8ToCp1251(ChunkStatusText(1))), "4F F8 E8 E1 EA E0 20 EE E1 F0 E0 E1 EE F2 EA E8");
  EXPECT_EQ(ToHex(Utf8ToCp1251(ChunkStatusText(2)).substr(0, 1)), "CE");
}

}  // namespace
}  // namespace mv
