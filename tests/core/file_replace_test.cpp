// Replacing a file through a temporary beside it: the names it may have, what it refuses, and
// what it leaves behind.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/file_routines.h"
#include "core/file_error.h"
#include "core/unique_fd.h"
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

TEST(FileReplace, AFileThatMayNotBeWrittenIsRefusedAndKept) {
  TempFolder dir;
  const std::string path = dir.Path("record.mvl");
  const struct {
    fs::perms mode;
    int code;
  } kCases[] = {
      {fs::perms(0444), 150}, {fs::perms(0400), 150}, {fs::perms(0), 150},
      {fs::perms(0644), 0},   {fs::perms(0600), 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(static_cast<int>(c.mode));
    fs::remove(path);
    WriteFileBytes(path, "finished");
    fs::permissions(path, c.mode);
    EXPECT_EQ(ReplaceRefusal(path), c.code);
    int code = -1;
    EXPECT_EQ(WriteFileAtomically(path, "replaced", code), c.code == 0);
    EXPECT_EQ(code, c.code);
    EXPECT_EQ(ReadFileBytes(path), c.code == 0 ? "replaced" : "finished");
    EXPECT_EQ(fs::status(path).permissions(), c.mode);
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"record.mvl"});
  }
  EXPECT_EQ(ReplaceRefusal(dir.Path("new.mvl")), 0);
  EXPECT_EQ(ReplaceRefusal(dir.path()), 5);  // a folder
}

TEST(FileReplace, AFileOfAnotherOwnerStaysTheirs) {
  if (::geteuid() != 0) GTEST_SKIP() << "only the administrator may give a file away";
  TempFolder dir;
  const std::string path = dir.Path("shared.mvl");
  WriteFileBytes(path, "theirs");
  ASSERT_EQ(::chown(path.c_str(), 4321, 8765), 0);
  int code = 0;
  ASSERT_TRUE(WriteFileAtomically(path, "changed", code)) << code;
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 4321u);
  EXPECT_EQ(info.st_gid, 8765u);
}

TEST(FileReplace, ProgressIsToldBetweenPiecesAndMayStopTheWrite) {
  TempFolder dir;
  const std::string path = dir.Path("large.mvl");
  const std::string bytes(2 * kWritePieceSize + kWritePieceSize / 2, 'x');
  std::vector<std::size_t> told;
  int code = -1;
  ASSERT_TRUE(WriteFileAtomically(path, bytes, code, [&](std::size_t written) {
    told.push_back(written);
    return 0;
  }));
  EXPECT_EQ(told, (std::vector<std::size_t>{0, kWritePieceSize, 2 * kWritePieceSize, bytes.size()}));

  // A stop by the user or a disk that fills up (as the hook plays it) at any of those points:
  // the old file stays, no temporary is left, and a full disk is told in the system's words.
  for (const std::size_t at : told) {
    for (const int err : {ECANCELED, ENOSPC}) {
      SCOPED_TRACE(testing::Message() << at << " " << err);
      const bool failed = WriteFileAtomically(path, std::string(bytes.size(), 'y'), code,
                                             [&](std::size_t written) { return written == at ? err : 0; });
      EXPECT_FALSE(failed);
      EXPECT_EQ(code, err);
      EXPECT_EQ(ReadFileBytes(path), bytes);
      EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"large.mvl"});
    }
  }
  EXPECT_EQ(FileErrorText(code), std::strerror(ENOSPC) + std::string(" (#28)"));
  EXPECT_NE(FileErrorText(code).find("space"), std::string::npos);
}

// The id of a process that has ended.
int EndedProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return child;
}

TEST(FileReplace, ASaveRemovesTheTemporariesOfEndedSaves) {
  TempFolder dir;
  const std::string target = dir.Path("данные.mvl");
  const int ended = EndedProcess();
  const std::string dead = std::to_string(ended);
  const auto name = [](const std::string& path) { return fs::path(path).filename().string(); };
  const std::vector<std::string> kStale = {
      name(TemporaryNameFor(target, ended, 0)),
      name(TemporaryNameFor(target, ended, 17)),
      ".данные.mvl.tmp-" + dead + "-3",  // named the way earlier builds named them
      ".old.MVL.tmp-" + dead + "-0",
  };
  const std::vector<std::string> kKept = {
      name(TemporaryNameFor(target, ::getpid(), 90000)),   // a save of this process
      name(TemporaryNameFor(target, ::getppid(), 0)),      // of a process that runs
      ".mvtmp-" + dead + "-",  ".mvtmp--1", ".mvtmp-x" + dead + "-1", ".mvtmp-" + dead + "-1a",
      ".mvtmp-99999999999999999999-1",
      ".list.ggs.tmp-" + dead + "-0",  // not a data file's
      "a.mvl.tmp-" + dead + "-0",      // not hidden: not ours
      "plain.mvl",
  };
  for (const std::string& n : kStale) WriteFileBytes(dir.Path(n), "stale");
  for (const std::string& n : kKept) WriteFileBytes(dir.Path(n), "kept");
  // A save on another machine still writing its temporary holds it locked.
  const std::string held = name(TemporaryNameFor(target, ended, 5));
  WriteFileBytes(dir.Path(held), "held");
  UniqueFd holder(::open(dir.Path(held).c_str(), O_RDONLY | O_CLOEXEC));
  ASSERT_EQ(::flock(holder.get(), LOCK_EX), 0);
  // A folder or a link of that name is not a temporary.
  const std::string folder = name(TemporaryNameFor(target, ended, 6));
  const std::string link = name(TemporaryNameFor(target, ended, 7));
  fs::create_directory(dir.Path(folder));
  fs::create_symlink(dir.Path("plain.mvl"), dir.Path(link));

  int code = 0;
  ASSERT_TRUE(WriteFileAtomically(target, "new", code)) << code;
  std::vector<std::string> expected = kKept;
  expected.insert(expected.end(), {held, folder, link, name(target)});
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Names(dir.path()), expected);
  EXPECT_EQ(ReadFileBytes(target), "new");

  holder.Close();
  EXPECT_EQ(RemoveStaleTemporaries(dir.path()), 1);  // the one no save holds any more
  EXPECT_EQ(RemoveStaleTemporaries(dir.Path("no-such-folder")), 0);
}

}  // namespace
}  // namespace mv
