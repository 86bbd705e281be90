#include "reports/report_folders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/bytes.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

TEST(ReportFolders, SessionFolderNameIsTheStartTime) {
  EXPECT_EQ(SessionFolderName(test::At(2024, 1, 31, 9, 5, 7)), "20240131_090507");
  EXPECT_EQ(SessionFolderName(test::At(1999, 12, 31, 23, 59, 59)), "19991231_235959");
}

// The next permanent folder counts only names made wholly of digits, and writes at least three.
TEST(ReportFolders, NextPermanentFolderIsOneMoreThanTheLargestNumberOfTheDay) {
  const struct {
    std::vector<std::string> entries;
    std::string expected;
  } kCases[] = {
      {{}, "001"},
      {{"001", "002", "abc"}, "003"},
      {{"abc", "12a", "-5"}, "001"},
      {{"0007", "3"}, "008"},
      {{"999"}, "1000"},
      {{"041", "007.htm"}, "042"},
  };
  for (const auto& c : kCases) {
    test::TempFolder reports;
    const fs::path day = fs::path(reports.path()) / "2024-01" / "2024-01-31";
    for (const std::string& e : c.entries) {
      fs::create_directories(day / e);
    }
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(NextPermanentFolder(reports.path(), test::At(2024, 1, 31, 15, 0, 0)), (day / c.expected).string());
  }
  // No day folder at all: the first one of the day, nothing made yet.
  test::TempFolder empty;
  EXPECT_EQ(NextPermanentFolder(empty.path(), test::At(2024, 1, 31)), empty.path() + "/2024-01/2024-01-31/001");
  EXPECT_FALSE(fs::exists(empty.path() + "/2024-01"));
}

TEST(ReportFolders, SessionFoldersOfTheSameSecondAreNotShared) {
  test::FakePlatform fake;
  test::TempFolder tmp;
  const TDateTime start = test::At(2024, 3, 1, 12, 0, 0);
  ReportSession first, second, third;
  ASSERT_TRUE(first.Begin(tmp.path(), start));
  ASSERT_TRUE(second.Begin(tmp.path(), start));
  ASSERT_TRUE(third.Begin(tmp.path(), start));
  EXPECT_EQ(first.Path(), tmp.Path("20240301_120000"));
  EXPECT_EQ(second.Path(), tmp.Path("20240301_120000_2"));
  EXPECT_EQ(third.Path(), tmp.Path("20240301_120000_3"));
  // A session ends with its own folder only.
  second.End();
  EXPECT_FALSE(fs::exists(tmp.Path("20240301_120000_2")));
  EXPECT_TRUE(fs::is_directory(first.Path()));
  EXPECT_TRUE(fs::is_directory(third.Path()));
}

// The counter grows on every attempt, failed ones included, and passes over a name something
// else has taken, so a report folder is never shared.
TEST(ReportFolders, ReportFoldersAreNumberedPerAttemptAndNeverReused) {
  test::FakePlatform fake;
  test::TempFolder tmp;
  ReportSession session;
  ASSERT_TRUE(session.Begin(tmp.path(), test::At(2024, 3, 1, 12, 0, 0)));
  const std::string s = session.Path();
  EXPECT_EQ(session.MakeReportFolder(), s + "/001");
  // The session folder is gone for a moment: the attempt fails and uses up its number.
  fs::rename(s, s + ".away");
  EXPECT_EQ(session.MakeReportFolder(), std::nullopt);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, "Не удалось создать рабочую папку отчета\r\n\r\n\"" + s + "/002\"");
  EXPECT_EQ(fake.messages.shown[0].sourceTag, kReportFolderTag);
  EXPECT_EQ(fake.messages.shown[0].details, "каталог не найден (#3)");
  fs::rename(s + ".away", s);
  EXPECT_EQ(session.MakeReportFolder(), s + "/003");
  // Another program made "004" meanwhile (a file will do): it is passed over.
  test::WriteFileBytes(s + "/004", "theirs");
  EXPECT_EQ(session.MakeReportFolder(), s + "/005");
  EXPECT_EQ(test::ReadFileBytes(s + "/004"), "theirs");
}

TEST(ReportFolders, WithoutASessionFolderNoReportFolderIsMade) {
  test::FakePlatform fake;
  ReportSession session;  // never begun: the temporary folder could not be used
  EXPECT_EQ(session.MakeReportFolder(), std::nullopt);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].kind, platform::MsgKind::Error);
  EXPECT_EQ(fake.messages.shown[0].text, "Не создана папка для временных файлов сеанса\r\n\r\n\"\"");
  const auto logged = std::count_if(fake.log.lines.begin(), fake.log.lines.end(), [](const std::string& line) {
    return line.rfind("[ERR] ", 0) == 0 && line.find("Не создана папка для временных файлов сеанса") != line.npos &&
           line.find("[MakeReportFolder]") != line.npos;
  });
  EXPECT_EQ(logged, 1);
  // A session folder that cannot be made leaves the path empty, with the reason logged.
  test::TempFolder tmp;
  test::WriteFileBytes(tmp.Path("file"), "x");
  EXPECT_FALSE(session.Begin(tmp.Path("file"), test::At(2024, 3, 1)));
  EXPECT_TRUE(session.Path().empty());
  EXPECT_NE(fake.log.lines.back().find("Session report folder not created"), std::string::npos);
}

TEST(ReportFolders, CopyTakesEveryFileReplacingOnlyWhenComplete) {
  test::TempFolder from, to;
  test::WriteFileBytes(from.Path("rep.htm"), std::string(3000, 'a'));
  test::WriteFileBytes(from.Path("img1.jpg"), std::string(2000, 'b'));
  fs::create_directories(from.Path("sub"));
  test::WriteFileBytes(from.Path("sub/inner"), "not copied");
  test::WriteFileBytes(to.Path("img1.jpg"), "old");
  CopiedFiles copied;
  std::string error;
  ASSERT_TRUE(CopyReportFiles(from.path(), to.path(), copied, error)) << error;
  EXPECT_EQ(copied.files, 2);
  EXPECT_EQ(copied.bytes, 5000u);
  EXPECT_EQ(copied.Kilobytes(), 4u);
  EXPECT_EQ(test::ReadFileBytes(to.Path("img1.jpg")), std::string(2000, 'b'));
  EXPECT_FALSE(fs::exists(to.Path("sub")));
  // Nothing left beside the copies.
  EXPECT_EQ(std::distance(fs::directory_iterator(to.path()), fs::directory_iterator()), 2);
  // A missing target folder: the system's text.
  EXPECT_FALSE(CopyReportFiles(from.path(), to.Path("missing"), copied, error));
  EXPECT_EQ(error, "каталог не найден (#3)");
}

}  // namespace
}  // namespace mv
