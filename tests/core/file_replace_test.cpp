// Replacing a file through a temporary beside it: the names it may have, what it refuses, and
// what it leaves behind.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/file_routines.h"
#include "support/bytes.h"

namespace mv {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::TempFolder;
using test::WriteFileBytes;

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string Repeat(std::string_view piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

TEST(FileReplace, NamesUpToTheSystemsLimitAreSaved) {
  TempFolder dir;
  // 120 Cyrillic letters and the extension: 244 bytes, and the longest name the system allows.
  const std::vector<std::string> kNames = {Repeat("ж", 120) + ".mvl", std::string(255, 'n')};
  for (const std::string& name : kNames) {
    SCOPED_TRACE(name.size());
    const std::string path = dir.Path(name);
    for (const char* content : {"first", "second"}) {  // a new file, then one replaced
      int code = -1;
      ASSERT_TRUE(WriteFileAtomically(path, content, code)) << code;
      EXPECT_EQ(code, 0);
      EXPECT_EQ(ReadFileBytes(path), content);
    }
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{name});
    fs::remove(path);
  }
}

}  // namespace
}  // namespace mv
