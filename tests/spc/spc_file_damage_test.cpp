// Damaged, hostile and unusual data files: files that are no files and folders that may not
// be entered. Fixtures are laid out by the test-side builder.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "spc/mvl_builder.h"
#include "spc/spc_file.h"
#include "support/bytes.h"
#include "support/fake_platform.h"
#include "support/pipe_watch.h"

namespace mv {
namespace {

using test::MvlBuilder;

constexpr std::size_t kHeaderEnd = 8 + 11836;

// One parameter and the given blocks, each a list of samples given by their point counts;
// every value is nonzero. `offsets` receives the file offset of every record in order.
std::string File(const std::vector<std::vector<int>>& blocks, std::int16_t blockCount = -1,
                 std::vector<std::size_t>* offsets = nullptr) {
  MvlBuilder b;
  std::size_t at = kHeaderEnd;
  const auto add = [&](const std::string& bytes) {
    if (offsets) offsets->push_back(at);
    b.Body(bytes);
    at += bytes.size();
  };
  b.HeaderI16(242, 1).HeaderI16(244, blockCount >= 0 ? blockCount : static_cast<std::int16_t>(blocks.size()));
  add(b.Parameter(1, "Диаметр", 1));
  double v = 1;
  for (std::size_t k = 0; k < blocks.size(); ++k) {
    add(b.Block(static_cast<std::int32_t>(k + 1), "Б", static_cast<std::int16_t>(blocks[k].size())));
    for (std::size_t s = 0; s < blocks[k].size(); ++s) {
      add(b.Sample(static_cast<std::int16_t>(s + 1), static_cast<std::int16_t>(blocks[k][s])));
      for (int p = 0; p < blocks[k][s]; ++p) add(MvlBuilder::Point({v++}));
    }
  }
  return b.Build();
}

TEST(SpcFileDamage, OnlyARegularFileIsOpenedAndNeverWaitedOn) {
  test::FakePlatform fake;
  test::TempFolder dir;
  test::PipeWatch pipe(dir.Path("pipe.mvl"));
  ASSERT_TRUE(pipe.made());
  const struct {
    const char* what;
    std::string path;
  } kCases[] = {{"pipe", pipe.path()}, {"device", "/dev/zero"}, {"folder", dir.path()}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    const SpcReadResult r = ReadSpcFile(c.path);
    EXPECT_EQ(r.message, "Сбой при чтении файла (смещение 0)\r\n" + c.path + "\r\n\r\nошибка доступа (#5)");
  }
  EXPECT_FALSE(pipe.Stop());
}

// Runs the read as an ordinary user: the owner of the machine enters every folder.
std::string MessageAsOrdinaryUser(const std::string& path) {
  if (::geteuid() != 0) return ReadSpcFile(path).message;
  int channel[2];
  if (::pipe(channel) != 0) return "no pipe";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(channel[0]);
    std::string text = "cannot become another user";
    if (::setgid(65534) == 0 && ::setuid(65534) == 0) text = ReadSpcFile(path).message;
    const ssize_t put = ::write(channel[1], text.data(), text.size());
    ::_exit(put == static_cast<ssize_t>(text.size()) ? 0 : 1);
  }
  ::close(channel[1]);
  std::string text;
  char buffer[512];
  for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(got));
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  return text;
}

TEST(SpcFileDamage, AFolderThatMayNotBeEnteredIsAnAccessErrorNotAMissingFile) {
  test::FakePlatform fake;
  test::TempFolder dir;
  ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
  const std::string locked = dir.Path("locked");
  ASSERT_EQ(::mkdir(locked.c_str(), 0700), 0);
  const std::string path = locked + "/a.mvl";
  test::WriteFileBytes(path, File({{1}}));
  ASSERT_TRUE(ReadSpcFile(path).Ok());
  const bool owner = ::geteuid() == 0;
  if (!owner) {
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
  }
  const std::string message = MessageAsOrdinaryUser(path);
  if (!owner) ::chmod(locked.c_str(), 0700);
  EXPECT_EQ(message, "Сбой при чтении файла (смещение 0)\r\n" + path + "\r\n\r\nошибка доступа (#5)");
  // Missing files and folders are still "not found".
  for (const std::string& missing : {dir.Path("none.mvl"), dir.Path("none/a.mvl")}) {
    EXPECT_EQ(ReadSpcFile(missing).message, "Файл не найден:\r\n" + missing);
  }
}

}  // namespace
}  // namespace mv
