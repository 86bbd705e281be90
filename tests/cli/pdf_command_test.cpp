// morvalen-cli pdf: a saved report with its picture, in a folder whose name holds a blank and
// "#", printed without a display; bad input writes nothing.
#ifdef MV_HAVE_PICTURE

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>

#include "cli_run.h"
#include "core/cp1251.h"

namespace mv::test {
namespace {

namespace fs = std::filesystem;

std::string Fixture() { return ReadFileBytes(std::string(MV_SOURCE_DIR) + "/tests/ui/data/report_fixture.htm"); }

TEST(PdfCommand, PrintsASavedReportWithItsPicture) {
  TempFolder dir;
  const std::string folder = dir.Path("Отчет #2 от 31.01");
  fs::create_directories(folder);
  WriteFileBytes(folder + "/rep.htm", Fixture());
  // The picture is looked for beside the document: a missing one leaves its place empty.
  const struct {
    std::vector<std::string> options;
    int pages;
  } kCases[] = {{{}, 2}, {{"--page", "Letter"}, 2}, {{"--landscape"}, 2}, {{"--page", "A4", "--landscape"}, 2}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.options.size());
    std::vector<std::string> args{"pdf", folder + "/rep.htm", folder + "/out.pdf"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const CliRun run = Cli(args);
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["document"], folder + "/rep.htm");
    EXPECT_EQ(json["pdf"], folder + "/out.pdf");
    EXPECT_EQ(json["pages"], c.pages);
    EXPECT_EQ(json["bytes"], fs::file_size(folder + "/out.pdf"));
  }
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftotext is not installed";
  ASSERT_EQ(std::system(("pdftotext '" + folder + "/out.pdf' '" + dir.Path("out.txt") + "'").c_str()), 0);
  EXPECT_NE(ReadFileBytes(dir.Path("out.txt")).find("Токарная обработка вала № 7"), std::string::npos);
}

TEST(PdfCommand, BadInputWritesNothing) {
  TempFolder dir;
  WriteFileBytes(dir.Path("rep.htm"), Fixture());
  WriteFileBytes(dir.Path("keep.pdf"), "mine");
  fs::create_directories(dir.Path("folder.htm"));
  const std::string big = dir.Path("big.htm");
  WriteFileBytes(big, "");
  fs::resize_file(big, 64ull * 1024 * 1024 + 1);
  const struct {
    std::vector<std::string> args;
    std::string err;
  } kCases[] = {
      {{"pdf"}, "pdf: expected REPORT.htm OUT.pdf\n"},
      {{"pdf", dir.Path("rep.htm")}, "pdf: expected REPORT.htm OUT.pdf\n"},
      {{"pdf", "a", "b", "c"}, "pdf: unexpected argument 'c'\n"},
      {{"pdf", "a", "b", "--page", "A3"}, "pdf: --page expects A4 or Letter, got 'A3'\n"},
      {{"pdf", "a", "b", "--page"}, "pdf: --page needs a value\n"},
      {{"pdf", "a", "b", "--portrait"}, "pdf: unknown option '--portrait' (see --help)\n"},
      {{"pdf", dir.Path("missing.htm"), dir.Path("out.pdf")},
       "pdf: cannot read " + dir.Path("missing.htm") + ": файл не найден (#2)\n"},
      {{"pdf", dir.Path("folder.htm"), dir.Path("out.pdf")},
       "pdf: cannot read " + dir.Path("folder.htm") + ": ошибка доступа (#5)\n"},
      {{"pdf", big, dir.Path("out.pdf")}, "pdf: " + big + " is larger than 67108864 bytes\n"},
      {{"pdf", dir.Path("rep.htm"), dir.Path("no/out.pdf")},
       "pdf: no folder " + dir.Path("no") + " for " + dir.Path("no/out.pdf") + "\n"},
      {{"pdf", dir.Path("rep.htm"), dir.Path("rep.htm")}, "pdf: " + dir.Path("rep.htm") + " is the report itself\n"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.err);
    const CliRun run = Cli(c.args);
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, c.err);
  }
  EXPECT_FALSE(fs::exists(dir.Path("out.pdf")));
  EXPECT_FALSE(fs::exists(dir.Path("no")));
  EXPECT_EQ(ReadFileBytes(dir.Path("rep.htm")), Fixture());
}

}  // namespace
}  // namespace mv::test

#endif  // MV_HAVE_PICTURE
