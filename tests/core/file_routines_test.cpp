#include "core/file_routines.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "support/bytes.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

using test::FakePlatform;
using test::ReadFileBytes;
using test::TempFolder;
using test::WriteFileBytes;

TEST(FileRoutines, LoadTakesOffsetAndLength) {
  FakePlatform fake;
  TempFolder dir;
  const std::string path = dir.Path("data.bin");
  WriteFileBytes(path, "0123456789");
  const struct {
    std::int32_t offset;
    std::uint16_t maxLength;
    bool ok;
    const char* text;
  } kCases[] = {
      {0, 0, true, "0123456789"}, {3, 0, true, "3456789"}, {3, 4, true, "3456"},
      {0, 50, true, "0123456789"}, {10, 0, true, ""},     {11, 0, false, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.offset << "/" << c.maxLength);
    std::string text = "old";
    EXPECT_EQ(LoadFileToString(path, text, false, c.offset, c.maxLength), c.ok);
    EXPECT_EQ(text, c.text);
  }
  EXPECT_TRUE(fake.messages.shown.empty());  // a file shorter than the offset is not an error to show
}

TEST(FileRoutines, LoadRefusesMoreThanTheLimit) {
  FakePlatform fake;
  TempFolder dir;
  const std::string path = dir.Path("big.ggs");
  WriteFileBytes(path, std::string(65521, 'x'));
  std::string text;
  EXPECT_FALSE(LoadFileToString(path, text, false));
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, "Размер файла " + path + " слишком велик - 65521");
  EXPECT_EQ(fake.messages.shown[0].caption, "Ошибка");
  EXPECT_EQ(fake.messages.shown[0].sourceTag, "LoadFileToString");

  EXPECT_TRUE(LoadFileToString(path, text, false, 1));  // 65520 bytes from offset 1
  EXPECT_EQ(text.size(), 65520u);
  EXPECT_FALSE(LoadFileToString(path, text, true));  // quiet: no second window
  EXPECT_EQ(fake.messages.shown.size(), 1u);
}

TEST(FileRoutines, FailuresNameTheFileAndTheCause) {
  FakePlatform fake;
  TempFolder dir;
  std::string text;
  EXPECT_FALSE(LoadFileToString(dir.Path("missing.ggs"), text, false));
  EXPECT_FALSE(SaveStringToFile(dir.Path("no/such/folder/x.ggs"), "abc", false));
  EXPECT_FALSE(LoadFileToString(dir.path(), text, false));  // a folder is not a file
  ASSERT_EQ(fake.messages.shown.size(), 3u);
  EXPECT_EQ(fake.messages.shown[0].text,
            "Сбой при загрузке файла\r\n" + dir.Path("missing.ggs") + "\r\n\r\nфайл не найден (#2)");
  EXPECT_EQ(fake.messages.shown[1].text,
            "Сбой при записи файла\r\n" + dir.Path("no/such/folder/x.ggs") + "\r\n\r\nкаталог не найден (#3)");
  EXPECT_EQ(fake.messages.shown[1].sourceTag, "SaveStringToFile");
  EXPECT_EQ(fake.messages.shown[2].text, "Сбой при загрузке файла\r\n" + dir.path() + "\r\n\r\nошибка доступа (#5)");
  // The failures are also in the log, one line each.
  ASSERT_EQ(fake.log.lines.size(), 3u);
  EXPECT_EQ(fake.log.lines[0], "[ERR] Ошибка - Сбой при загрузке файла " + dir.Path("missing.ggs") +
                                   "  файл не найден (#2) [LoadFileToString]");
}

TEST(FileRoutines, SaveReplacesTheWholeFileAndKeepsItsMode) {
  FakePlatform fake;
  TempFolder dir;
  const std::string path = dir.Path("list.ggs");
  WriteFileBytes(path, "a much longer old content");
  std::filesystem::permissions(path, std::filesystem::perms(0600));
  ASSERT_TRUE(SaveStringToFile(path, "new", false));
  EXPECT_EQ(ReadFileBytes(path), "new");
  EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0600));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);  // no temporary left
}

TEST(FileRoutines, SaveThatFailsPartWayLeavesTheOldFile) {
  FakePlatform fake;
  TempFolder dir;
  const std::string path = dir.Path("list.ggs");
  WriteFileBytes(path, "old content");
  // Let the system refuse every byte past the 5000th, as a full disk would.
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limited = saved;
  limited.rlim_cur = 5000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  const bool saved_ok = SaveStringToFile(path, std::string(20000, 'n'), false);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);

  EXPECT_FALSE(saved_ok);
  EXPECT_EQ(ReadFileBytes(path), "old content");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text.rfind("Сбой при записи файла\r\n" + path + "\r\n\r\n", 0), 0u);
}

TEST(FileRoutines, SaveThroughALinkReplacesTheTarget) {
  FakePlatform fake;
  TempFolder dir;
  const std::string target = dir.Path("real.ggs");
  const std::string link = dir.Path("link.ggs");
  WriteFileBytes(target, "old");
  std::filesystem::create_symlink(target, link);
  ASSERT_TRUE(SaveStringToFile(link, "new", true));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFileBytes(target), "new");
}

}  // namespace
}  // namespace mv
