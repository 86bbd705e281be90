// morvalen-cli picture --kind histogram, in builds with the GUI: the demo's histograms in every
// format without a display, and bad input that writes nothing and keeps an existing file.
#ifdef MV_HAVE_PICTURE

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <unistd.h>

#include "cli_run.h"

namespace mv::test {
namespace {

const std::string kDemo = std::string(MV_SOURCE_DIR) + "/examples/demo.mvl";

class HistogramPicture : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = std::filesystem::temp_directory_path() / ("mv_histogram_picture_" + std::to_string(::getpid()));
    std::filesystem::create_directories(m_dir);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
  }
  std::string Path(const std::string& name) const { return (m_dir / name).string(); }
  std::filesystem::path m_dir;
};

TEST_F(HistogramPicture, DrawsTheDemoInEveryFormatWithTheBinsAskedFor) {
  const struct {
    const char* name;
    std::vector<std::string> extra;
    const char* format;
    const char* magic;  // the first bytes of the format
    int bins;
  } kCases[] = {
      {"h.png", {}, "png", "\x89PNG", 9},  // 250 values: round(3.3 log 250) + 1
      {"h.jpg", {"--bins", "12", "--lang", "en"}, "jpeg", "\xFF\xD8\xFF", 12},
      {"h.bmp", {"--bins", "3", "--block", "2"}, "bmp", "BM", 5},  // limited to 5..20
      {"h2.png", {"--bins", "40", "--block", "1", "--samples", "1-10"}, "png", "\x89PNG", 20},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args{"picture", kDemo, "--param", "Шероховатость Ra", "--kind", "histogram",
                                  "--out", Path(c.name), "--size", "640x400"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const CliRun r = Cli(args);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["format"], c.format);
    EXPECT_EQ(j["kind"], "histogram");
    EXPECT_EQ(j["width"], 640);
    EXPECT_EQ(j["height"], 400);
    EXPECT_EQ(j["binCount"], c.bins);
    EXPECT_GT(j["valueCount"].get<int>(), 0);
    EXPECT_FALSE(j["filter"]["applied"].get<bool>());
    const std::string bytes = ReadFileBytes(Path(c.name));
    EXPECT_EQ(bytes.substr(0, std::string(c.magic).size()), c.magic);
  }
  // Both blocks hold 250 values; one block of them fewer.
  const CliRun all = Cli({"picture", kDemo, "--param", "1", "--kind", "histogram", "--out", Path("a.png")});
  const CliRun one = Cli({"picture", kDemo, "--param", "1", "--kind", "histogram", "--block", "1", "--out",
                          Path("b.png")});
  ASSERT_EQ(all.code, 0);
  ASSERT_EQ(one.code, 0);
  EXPECT_EQ(nlohmann::json::parse(all.out)["valueCount"], 250);
  EXPECT_LT(nlohmann::json::parse(one.out)["valueCount"].get<int>(), 250);
}

TEST_F(HistogramPicture, BadInputWritesNothingAndKeepsAnExistingFile) {
  const std::string out = Path("kept.png");
  WriteFileBytes(out, "previous");
  const std::string huge = Path("huge.mvl");
  ASSERT_EQ(CreateValuesNearTheDoubleLimit(Path("huge.csv"), huge), 0);
  const struct {
    const char* name;
    std::vector<std::string> args;
    const char* says;  // a piece of the one error line
  } kCases[] = {
      {"no bins", {kDemo, "--bins", "0"}, "--bins"},
      {"bins not a number", {kDemo, "--bins", "many"}, "--bins"},
      {"size", {kDemo, "--size", "99x500"}, "--size"},
      {"parameter", {kDemo, "--param", "Нет такого"}, "no parameter"},
      {"block", {kDemo, "--block", "7"}, "7"},
      {"samples without a block", {kDemo, "--samples", "1-5"}, "--samples"},
      {"values too large", {huge}, "слишком велики"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args{"picture"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    if (std::find(args.begin(), args.end(), "--param") == args.end()) args.insert(args.end(), {"--param", "1"});
    args.insert(args.end(), {"--kind", "histogram", "--out", out});
    const CliRun r = Cli(args);
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(ReadFileBytes(out), "previous");
  }
  const CliRun gif = Cli({"picture", kDemo, "--param", "1", "--kind", "histogram", "--out", Path("h.gif")});
  EXPECT_EQ(gif.code, 2);
  EXPECT_FALSE(std::filesystem::exists(Path("h.gif")));
}

}  // namespace
}  // namespace mv::test

#endif
