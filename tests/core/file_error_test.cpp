#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "core/file_error.h"

namespace mv {
namespace {

TEST(FileError, MapsErrnoToTheSystemCodes) {
  const struct {
    int err;
    FileOp op;
    int code;
  } kCases[] = {
      {ENOTDIR, FileOp::Read, 3},  {EMFILE, FileOp::Read, 4},   {ENFILE, FileOp::Write, 4},
      {EACCES, FileOp::Read, 5},   {EPERM, FileOp::Write, 5},   {EISDIR, FileOp::Write, 5},
      {ENOMEM, FileOp::Read, 8},   {EIO, FileOp::Read, 100},    {EIO, FileOp::Write, 101},
      {EINTR, FileOp::Read, 100},  {EROFS, FileOp::Write, 150}, {EBUSY, FileOp::Write, EBUSY},
      {ELOOP, FileOp::Read, ELOOP},
      // A full disk and an exceeded quota are not "ошибка записи на диск": the system says what they are.
      {ENOSPC, FileOp::Write, ENOSPC}, {EDQUOT, FileOp::Write, EDQUOT},
      // Numbers that coincide with codes of other failures are read and write failures.
      {ENETDOWN, FileOp::Read, 100}, {ENETUNREACH, FileOp::Write, 101}, {ECONNABORTED, FileOp::Write, 101},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.err);
    EXPECT_EQ(FileErrorCode(c.err, c.op), c.code);
  }
}

TEST(FileError, MissingFileOrMissingFolder) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path();
  EXPECT_EQ(FileErrorCode(ENOENT, FileOp::Read, folder / "mv-no-such-file.dat"), 2);
  EXPECT_EQ(FileErrorCode(ENOENT, FileOp::Write, folder / "mv-no-such-folder" / "a.dat"), 3);
  EXPECT_EQ(FileErrorCode(ENOENT, FileOp::Read, "bare-name.dat"), 2);
  EXPECT_EQ(FileErrorCode(ENOENT, FileOp::Read), 2);
}

TEST(FileError, TextsEndWithTheCode) {
  const struct {
    int code;
    const char* text;
  } kCases[] = {
      {2, "файл не найден (#2)"},
      {3, "каталог не найден (#3)"},
      {4, "слишком много открытых файлов (#4)"},
      {5, "ошибка доступа (#5)"},
      {8, "недостаточно памяти (#8)"},
      {100, "ошибка чтения диска (#100)"},
      {101, "ошибка записи на диск (#101)"},
      {103, "файл не открыт (#103)"},
      {150, "файл или диск защищен от записи (#150)"},
      {152, "устройство не готово (#152)"},
      {158, "сектор не найден (#158)"},
      {163, "файл блокирован по сети (#163)"},
      {1001, "GMB занят (#1001)"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(FileErrorText(c.code), c.text);
  }
  // Anything else: the operating system's own words.
  for (const int code : {EBUSY, ELOOP, ENOSPC, EDQUOT, 99999}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(FileErrorText(code), std::strerror(code) + (" (#" + std::to_string(code) + ")"));
  }
}

}  // namespace
}  // namespace mv
