// Damaged, hostile and unusual data files: files that are no files, folders that may not be
// entered, large files and memory running out. Fixtures are laid out by the test-side builder.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
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

// "12358=00003046h", as the messages write an offset.
std::string At(std::size_t offset) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%08zX", offset);
  return std::to_string(offset) + "=" + hex + "h";
}

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

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressLimitWorks = false;  // the sanitizer reserves address space of its own
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressLimitWorks = false;
#else
constexpr bool kAddressLimitWorks = true;
#endif
#else
constexpr bool kAddressLimitWorks = true;
#endif

// The process's address space now, in bytes.
std::uint64_t AddressSpace() {
  std::ifstream in("/proc/self/statm");
  std::uint64_t pages = 0;
  in >> pages;
  return pages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}

TEST(SpcFileDamage, LargeFilesCostOnlyWhatTheirHeaderAccountsForAndMemoryRunningOutIsAMessage) {
  if (!kAddressLimitWorks) {
    GTEST_SKIP() << "address space limits do not mix with the address sanitizer";
  }
  test::FakePlatform fake;
  test::TempFolder dir;
  constexpr off_t kLarge = off_t{1} << 28;
  // A large file of each kind: the size comes from a hole, so the disk holds next to nothing.
  const auto large = [&](const std::string& name, const std::string& start) {
    const std::string path = dir.Path(name);
    test::WriteFileBytes(path, start);
    EXPECT_EQ(::truncate(path.c_str(), kLarge), 0);
    return path;
  };
  const std::string notData = large("text.mvl", "Это не файл данных");
  const std::string padded = large("padded.mvl", File({}));
  MvlBuilder many;
  const std::string manyBlocks = large("blocks.mvl", many.HeaderI16(242, 20).HeaderI16(244, 200).Build());

  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_AS, &saved), 0);
  struct rlimit limited = saved;
  limited.rlim_cur = AddressSpace() + (128ULL << 20);
  ASSERT_EQ(::setrlimit(RLIMIT_AS, &limited), 0);
  const SpcReadResult text = ReadSpcFile(notData);
  const SpcReadResult zeros = ReadSpcFile(padded);
  const SpcReadResult blocks = ReadSpcFile(manyBlocks);
  ::setrlimit(RLIMIT_AS, &saved);

  EXPECT_EQ(text.message, "Неизвестный формат файла\r\n" + notData);
  EXPECT_TRUE(zeros.Ok()) << zeros.message;
  EXPECT_EQ(blocks.message, "Сбой при чтении файла (смещение " + At(kHeaderEnd) + ")\r\n" + manyBlocks +
                                "\r\n\r\nнедостаточно памяти (#8)");
  EXPECT_TRUE(fake.progress.ended);
}

}  // namespace
}  // namespace mv
