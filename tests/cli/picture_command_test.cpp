// morvalen-cli picture, in builds with the GUI: pictures of the demo without a display, and bad
// input that writes nothing and leaves an existing file as it was.
#ifdef MV_HAVE_PICTURE

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "cli_run.h"

namespace mv::test {
namespace {

const std::string kDemo = std::string(MV_SOURCE_DIR) + "/examples/demo.mvl";

class PictureCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = std::filesystem::temp_directory_path() / ("mv_picture_" + std::to_string(::getpid()));
    std::filesystem::create_directories(m_dir);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
  }
  std::string Path(const std::string& name) const { return (m_dir / name).string(); }
  std::filesystem::path m_dir;
};

TEST_F(PictureCommand, DrawsTheDemoChartsInEveryFormat) {
  const struct {
    const char* kind;
    const char* name;
    const char* format;
  } kCases[] = {{"X-R", "xr.png", "png"}, {"x-MR", "xmr.jpg", "jpeg"}, {"X-R", "xr.bmp", "bmp"}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const CliRun r = Cli({"picture", kDemo, "--param", "1", "--kind", c.kind, "--out", Path(c.name), "--size", "640x480"});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["format"], c.format);
    EXPECT_EQ(j["width"], 640);
    EXPECT_EQ(j["height"], 480);
    ASSERT_EQ(j["charts"].size(), 2U);
    EXPECT_GT(j["charts"][0]["pointCount"].get<int>(), 0);
    EXPECT_TRUE(std::filesystem::file_size(Path(c.name)) > 0);
  }
}

// Each chart's conclusion line is drawn and named in the JSON: the words of the limits in force,
// nothing for a chart that shows no limits (the demo's parameter has no tolerance, so its X
// chart has no regulation limits; the R chart keeps its control limits).
TEST_F(PictureCommand, GivesEachChartsConclusionLine) {
  const struct {
    std::vector<std::string> extra;
    const char* upper;
    const char* lower;
  } kCases[] = {
      {{"--kind", "X-R"}, "Контрольная карта: ", "Контрольная карта: "},
      {{"--kind", "x-MR", "--block", "2"}, "Контрольная карта (n=2): ", "Контрольная карта (n=2): "},
      {{"--kind", "X-R", "--regulation"}, nullptr, "Контрольная карта: "},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.extra.back());
    std::vector<std::string> args{"picture", kDemo, "--param", "1", "--out", Path("c.png"), "--size", "400x300"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const CliRun r = Cli(args);
    ASSERT_EQ(r.code, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    ASSERT_EQ(j["charts"].size(), 2U);
    const std::string upper = j["charts"][0]["conclusion"], lower = j["charts"][1]["conclusion"];
    if (c.upper == nullptr) {
      EXPECT_EQ(upper, "");
    } else {
      EXPECT_EQ(upper.rfind(c.upper, 0), 0U) << upper;
    }
    EXPECT_EQ(lower.rfind(c.lower, 0), 0U) << lower;
  }
}

TEST_F(PictureCommand, HonoursTheStoredFilterUnlessToldNot) {
  const std::string filtered = Path("filtered.mvl");
  const CliRun made = Cli({"filter", kDemo, "--kind", "var", "--out", filtered, "--on", "--condition", "1|>|20"});
  ASSERT_EQ(made.code, 0) << made.err;
  for (const bool off : {false, true}) {
    SCOPED_TRACE(off ? "--no-filter" : "stored filter");
    std::vector<std::string> args{"picture", filtered, "--param", "1", "--kind", "X-R", "--out", Path("f.png"),
                                  "--size", "320x240"};
    if (off) args.emplace_back("--no-filter");
    const CliRun r = Cli(args);
    ASSERT_EQ(r.code, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_TRUE(j["filter"]["inForce"].get<bool>());
    EXPECT_EQ(j["filter"]["applied"].get<bool>(), !off);
  }
}

TEST_F(PictureCommand, BadInputWritesNothingAndKeepsAnExistingFile) {
  const std::string out = Path("kept.png");
  std::ofstream(out) << "previous";
  const std::vector<std::string> kBad[] = {
      {"--size", "99x500"},
      {"--size", "500x10001"},
      {"--display", "8"},
      {"--display", "128"},
      {"--param", "Нет такого"},
      {"--block", "7"},
  };
  for (const auto& extra : kBad) {
    SCOPED_TRACE(extra[1]);
    std::vector<std::string> args = {"picture", kDemo, "--param", "1", "--kind", "X-R", "--out", out};
    args.insert(args.end(), extra.begin(), extra.end());
    const CliRun r = Cli(args);
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_TRUE(r.out.empty());
  }
  const CliRun gif = Cli({"picture", kDemo, "--param", "1", "--kind", "X-R", "--out", Path("a.gif")});
  EXPECT_EQ(gif.code, 2);
  EXPECT_FALSE(std::filesystem::exists(Path("a.gif")));
  std::ifstream in(out);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "previous");
}

}  // namespace
}  // namespace mv::test

#endif
