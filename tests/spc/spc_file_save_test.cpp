// Saving data files as the user meets it: which names save without the dialog, the progress
// window and its stop button, refusals that leave the file on disk as it was.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "spc/spc_file.h"
#include "support/bytes.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

TEST(SpcFileSave, TheExtensionIsTheDataFilesInAnyLetterCase) {
  const struct {
    const char* name;
    bool spc;
  } kCases[] = {
      {"a.mvl", true},     {"/d/A.MVL", true},  {"b.Mvl", true},    {"c.mvL", true},
      {"a.mvl.bak", false}, {"a.smp", false},   {"mvl", false},     {".mvl", false},
      {"a.mv", false},     {"/x.mvl/a", false}, {"a.mvlx", false},  {"", false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(HasSpcExtension(c.name), c.spc);
  }
}

TEST(SpcFileSave, AnUpperCaseNameSavesUnderItselfWithoutTheDialog) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string path = dir.Path("ДАННЫЕ.MVL");
  TDatasetSPC original;
  std::string error;
  ASSERT_TRUE(WriteSpcFile(original, path, error)) << error;
  auto ds = LoadDatasetFile(path);
  ASSERT_NE(ds, nullptr);
  ds->MarkSaved();
  ds->processName = "изменен";
  ds->Touch();
  ASSERT_TRUE(SaveDatasetFile(*ds, false));
  EXPECT_TRUE(fake.fileDialogs.asked.empty());
  EXPECT_EQ(ds->fileName, path);
  const auto back = LoadDatasetFile(path);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->processName, "изменен");

  // A chosen name ending in ".SMP" becomes a data file's name like ".smp" does.
  fake.fileDialogs.choices.push_back(dir.Path("копия.SMP"));
  ASSERT_TRUE(SaveDatasetFile(*ds, true));
  EXPECT_EQ(ds->fileName, dir.Path("копия.mvl"));
}

}  // namespace
}  // namespace mv
