// Reading whole files: only regular files are opened, and never waited on.

#include <gtest/gtest.h>

#include "core/file_routines.h"
#include "support/bytes.h"
#include "support/fake_platform.h"
#include "support/pipe_watch.h"

namespace mv {
namespace {

TEST(FileRoutinesRead, PipesDevicesAndFoldersAreRefusedWithoutWaiting) {
  test::FakePlatform fake;
  test::TempFolder dir;
  test::PipeWatch pipe(dir.Path("pipe.cfg"));
  ASSERT_TRUE(pipe.made());
  for (const std::string& path : {pipe.path(), std::string("/dev/zero"), dir.path()}) {
    SCOPED_TRACE(path);
    std::string bytes = "old";
    int code = 0;
    EXPECT_FALSE(ReadWholeFile(path, bytes, code, 1 << 20));
    EXPECT_EQ(code, 5);
    EXPECT_EQ(bytes, "");
    fake.messages.shown.clear();
    EXPECT_FALSE(LoadFileToString(path, bytes, false));
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "Сбой при загрузке файла\r\n" + path + "\r\n\r\nошибка доступа (#5)");
  }
  EXPECT_FALSE(pipe.Stop());
  // A regular file still reads whole.
  test::WriteFileBytes(dir.Path("a.cfg"), "abc");
  std::string bytes;
  int code = 0;
  EXPECT_TRUE(ReadWholeFile(dir.Path("a.cfg"), bytes, code, 1 << 20));
  EXPECT_EQ(bytes, "abc");
}

}  // namespace
}  // namespace mv
