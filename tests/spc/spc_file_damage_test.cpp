// Damaged, hostile and unusual data files: what is left after the last record, files that are
// no files, folders that may not be entered, memory running out, and every truncation and bit
// flip of a small file. Fixtures are laid out by the test-side builder.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include "core/check_value.h"
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

std::string Damaged(const std::string& what, std::size_t offset) {
  return "Файл a.mvl поврежден - " + what + "  (смещение " + At(offset) + ")";
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

// The layout of the file above with a count changed in place: sample count of block 1 at
// record offset 11, point count of a sample at 6.
std::string WithI16(std::string bytes, std::size_t offset, std::int16_t value) {
  std::memcpy(bytes.data() + offset, &value, 2);
  return bytes;
}

TEST(SpcFileDamage, BytesAfterTheLastRecordAreDamage) {
  test::FakePlatform fake;
  // Records: parameter, block 1, sample 1, 3 points, sample 2, 3 points.
  std::vector<std::size_t> rec;
  const std::string good = File({{3, 3}}, -1, &rec);
  ASSERT_EQ(rec.size(), 10u);
  const std::size_t block1 = rec[1], sample2 = rec[6], point3 = rec[9];
  std::vector<std::size_t> rec2;
  const std::string twoBlocks = File({{1}, {2}}, 1, &rec2);  // the header counts one block of two
  const std::size_t pointSize = 6 + 12;

  const struct {
    const char* what;
    std::string bytes;
    std::string message;  // "" when it loads
  } kCases[] = {
      {"intact", good, ""},
      {"sample count of the last block lowered", WithI16(good, block1 + 11, 1), Damaged("блок 1", sample2)},
      {"point count of the last sample lowered", WithI16(good, sample2 + 6, 2), Damaged("блок 1", point3)},
      {"block count lowered", twoBlocks, Damaged("блок 1", rec2[4])},
      {"one byte appended", good + "x", Damaged("блок 1", good.size())},
      {"zeros then a byte appended", good + std::string(100, '\0') + "x", Damaged("блок 1", good.size())},
      {"zeros that could be two points of zero", good + std::string(2 * pointSize, '\0'), Damaged("блок 1", good.size())},
      {"zeros appended", good + std::string(100, '\0'), ""},
      {"zeros after a block without samples", File({{3}, {}}) + std::string(2 * pointSize, '\0'), ""},
      {"a byte after the parameters", File({}) + "\x01", Damaged("параметр 1", kHeaderEnd + 514)},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    fake.log.lines.clear();
    const SpcReadResult r = ReadSpcBytes(c.bytes, "a.mvl");
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(r.Ok(), c.message.empty());
    if (r.Ok() && c.bytes.size() > good.size() && c.bytes.compare(0, good.size(), good) == 0) {
      ASSERT_EQ(fake.log.lines.size(), 1u);
      EXPECT_EQ(fake.log.lines[0], "Load a.mvl: 100 zero bytes after the last record ignored (offset " +
                                       At(good.size()) + ")");
      EXPECT_EQ(r.dataset->Block(1)->Sample(2)->PointCount(), 3);
    }
  }
}

TEST(SpcFileDamage, ATailBeyondWhatTheHeaderAccountsForIsStillLookedAt) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string path = dir.Path("a.mvl");
  const std::string file = File({});  // parameters only: the header accounts for a few hundred bytes more
  const std::size_t tail = 3 << 20;
  for (const bool marked : {false, true}) {
    SCOPED_TRACE(marked ? "a byte at the very end" : "zeros only");
    std::string bytes = file + std::string(tail, '\0');
    if (marked) bytes.back() = 1;
    test::WriteFileBytes(path, bytes);
    const SpcReadResult r = ReadSpcFile(path);
    if (marked) {
      EXPECT_EQ(r.message, "Файл " + path + " поврежден - параметр 1  (смещение " + At(file.size()) + ")");
    } else {
      EXPECT_TRUE(r.Ok()) << r.message;
    }
  }
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
  // A real data file whose model needs more memory than the limit leaves: 20 parameters, 4
  // blocks of 1000 samples of 200 points of zeros (holes, so the disk holds next to nothing).
  const std::string full = dir.Path("full.mvl");
  {
    MvlBuilder b;
    b.HeaderI16(242, 20).HeaderI16(244, 4);
    for (int k = 1; k <= 20; ++k) b.Body(b.Parameter(k, "П" + std::to_string(k), static_cast<std::int16_t>(k)));
    std::string start = b.Build();
    std::ofstream out(full, std::ios::binary);
    out.write(start.data(), static_cast<std::streamsize>(start.size()));
    const std::size_t samplePoints = 200 * (6 + 12 * 20);
    for (int block = 1; block <= 4; ++block) {
      const std::string record = b.Block(block, "Б" + std::to_string(block), 1000);
      out.write(record.data(), static_cast<std::streamsize>(record.size()));
      for (int sample = 1; sample <= 1000; ++sample) {
        const std::string r = b.Sample(static_cast<std::int16_t>(sample), 200);
        out.write(r.data(), static_cast<std::streamsize>(r.size()));
        out.seekp(static_cast<std::streamoff>(samplePoints), std::ios::cur);
      }
    }
    const auto size = static_cast<off_t>(out.tellp());
    out.close();
    EXPECT_EQ(::truncate(full.c_str(), size), 0);
  }

  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_AS, &saved), 0);
  struct rlimit limited = saved;
  limited.rlim_cur = AddressSpace() + (128ULL << 20);
  ASSERT_EQ(::setrlimit(RLIMIT_AS, &limited), 0);
  const SpcReadResult text = ReadSpcFile(notData);
  const SpcReadResult zeros = ReadSpcFile(padded);
  const SpcReadResult blocks = ReadSpcFile(manyBlocks);
  const SpcReadResult tooLarge = ReadSpcFile(full);
  ::setrlimit(RLIMIT_AS, &saved);

  EXPECT_EQ(text.message, "Неизвестный формат файла\r\n" + notData);
  EXPECT_TRUE(zeros.Ok()) << zeros.message;
  // The counts of a header followed by nothing of what they announce cost nothing either: the
  // file is read piece by piece, and the first record that is not there is the damage.
  EXPECT_EQ(blocks.message, "Файл " + manyBlocks + " поврежден - параметр 1  (смещение " + At(kHeaderEnd) + ")");
  EXPECT_EQ(tooLarge.message.rfind("Сбой при чтении файла (смещение ", 0), 0u) << tooLarge.message;
  EXPECT_NE(tooLarge.message.find(")\r\n" + full + "\r\n\r\nнедостаточно памяти (#8)"), std::string::npos)
      << tooLarge.message;
  EXPECT_FALSE(tooLarge.dataset);
  EXPECT_TRUE(fake.progress.ended);
}

// Whether a loaded dataset holds every record of the fixture below.
void ExpectComplete(const TDatasetSPC& ds, const std::vector<std::vector<int>>& shape) {
  ASSERT_EQ(ds.ParameterCount(), 1);
  ASSERT_EQ(ds.BlockCount(), static_cast<int>(shape.size()));
  for (std::size_t b = 0; b < shape.size(); ++b) {
    const TSPCBlock& block = *ds.Block(static_cast<int>(b + 1));
    ASSERT_EQ(block.SampleCount(), static_cast<int>(shape[b].size()));
    for (std::size_t s = 0; s < shape[b].size(); ++s) {
      EXPECT_EQ(block.Sample(static_cast<int>(s + 1))->PointCount(), shape[b][s]);
    }
  }
}

TEST(SpcFileDamage, NoTruncationOrBitFlipLoadsWithRecordsMissing) {
  test::FakePlatform fake;
  const std::vector<std::vector<int>> shape = {{2, 3}, {1}};
  const std::string good = File(shape);
  const SpcReadResult intact = ReadSpcBytes(good, "a.mvl");
  ASSERT_TRUE(intact.Ok()) << intact.message;
  ExpectComplete(*intact.dataset, shape);

  for (std::size_t n = 0; n < good.size(); ++n) {
    const SpcReadResult r = ReadSpcBytes(good.substr(0, n), "a.mvl");
    ASSERT_FALSE(r.Ok()) << "cut to " << n << " bytes";
    ASSERT_FALSE(r.message.empty());
  }
  // Every bit of the records; one bit of every header byte, with the header's check value made
  // to fit so that the change reaches the reader of the field.
  const auto flipped = [&](std::size_t offset, int bit) {
    std::string bytes = good;
    bytes[offset] = static_cast<char>(bytes[offset] ^ (1 << bit));
    if (offset >= 8 && offset < kHeaderEnd) {
      const std::uint16_t check = CheckValue(std::string_view(bytes).substr(8, 11836));
      bytes[6] = static_cast<char>(check & 0xFF);
      bytes[7] = static_cast<char>(check >> 8);
    }
    return bytes;
  };
  for (std::size_t offset = 0; offset < good.size(); ++offset) {
    const bool record = offset >= kHeaderEnd;
    for (int bit = 0; bit < 8; ++bit) {
      if (!record && bit != static_cast<int>(offset % 8)) continue;
      const SpcReadResult r = ReadSpcBytes(flipped(offset, bit), "a.mvl");
      SCOPED_TRACE(testing::Message() << "bit " << bit << " of byte " << offset);
      if (r.Ok()) {
        ExpectComplete(*r.dataset, shape);
      } else {
        ASSERT_FALSE(r.message.empty());
      }
      if (HasFatalFailure()) return;
    }
  }
}

}  // namespace
}  // namespace mv
