#include "platform/runtime_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "support/bytes.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

std::string Folder(const std::string& path, mode_t mode) {
  fs::create_directories(path);
  ::chmod(path.c_str(), mode);
  return path;
}

TEST(RuntimeFolder, TheSessionsFolderWhenPrivateElseOneOfOurOwnThatNobodyElseCanPlant) {
  const uid_t me = ::geteuid();
  const std::string own = "/morvalen-runtime-" + std::to_string(me);
  const struct {
    const char* what;
    // Lays out the session's folder and what already stands at the program's own name in
    // root; gives the session's folder.
    std::function<std::string(const std::string& root)> lay;
    uid_t uid;
    const char* expected;  // "session", "own" or "" (none)
  } kCases[] = {
      {"private session folder", [](const std::string& r) { return Folder(r + "/run", 0700); }, me, "session"},
      {"session folder through a link",
       [](const std::string& r) {
         Folder(r + "/run", 0700);
         fs::create_directory_symlink(r + "/run", r + "/link");
         return r + "/link";
       },
       me, "session"},
      {"no session folder", [](const std::string&) { return std::string(); }, me, "own"},
      {"session folder missing", [](const std::string& r) { return r + "/missing"; }, me, "own"},
      {"session folder open to others", [](const std::string& r) { return Folder(r + "/run", 0755); }, me, "own"},
      {"relative session folder", [](const std::string&) { return std::string("run"); }, me, "own"},
      {"session folder of another user", [](const std::string& r) { return Folder(r + "/run", 0700); }, me + 1, ""},
      {"our own folder already there", [&own](const std::string& r) { Folder(r + own, 0700); return std::string(); },
       me, "own"},
      {"a link planted under our name",
       [&own](const std::string& r) {
         fs::create_directory_symlink(Folder(r + "/elsewhere", 0700), r + own);
         return std::string();
       },
       me, ""},
      {"a folder open to others under our name", [&own](const std::string& r) { Folder(r + own, 0777); return std::string(); },
       me, ""},
      {"a file under our name",
       [&own](const std::string& r) {
         test::WriteFileBytes(r + own, "x");
         return std::string();
       },
       me, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    test::TempFolder root;
    const std::string session = c.lay(root.path());
    const std::string folder = platform::UserRuntimeFolder(session, root.path() + "/", c.uid);
    const std::string expected = std::string(c.expected) == "session" ? session
                                 : std::string(c.expected) == "own"   ? root.path() + own
                                                                      : "";
    EXPECT_EQ(folder, expected);
    if (folder == root.path() + own) {
      struct stat info {};
      ASSERT_EQ(::lstat(folder.c_str(), &info), 0);
      EXPECT_EQ(info.st_mode & 0777, 0700u);
    }
  }
}

}  // namespace
}  // namespace mv
