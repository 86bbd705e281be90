#include "app/command_line.h"

#include <gtest/gtest.h>

#include "support/bytes.h"

namespace mv {
namespace {

TEST(CommandLine, OpensExistingFilesAndNamedDataFilesInOrder) {
  test::TempFolder dir;
  test::WriteFileBytes(dir.Path("notes.txt"), "x");
  test::WriteFileBytes(dir.Path("data.mvl"), "x");
  const std::vector<std::string> arguments = {
      dir.Path("notes.txt"),    // exists: taken whatever its extension
      "-style",                 // an option, not a file
      dir.Path("missing.mvl"),  // does not exist, but names a data file: the user is told
      dir.Path("МОЙ.MVL"),      // the extension in capitals
      dir.Path("missing.txt"),  // neither
      dir.path(),               // a folder
      "",
      dir.Path("data.mvl"),
  };
  EXPECT_EQ(FilesToOpen(arguments),
            (std::vector<std::string>{dir.Path("notes.txt"), dir.Path("missing.mvl"), dir.Path("МОЙ.MVL"),
                                      dir.Path("data.mvl")}));
}

}  // namespace
}  // namespace mv
