// Saving data files as the user meets it: which names save without the dialog, the progress
// window and its stop button, refusals that leave the file on disk as it was.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "core/options.h"
#include "spc/spc_file.h"
#include "support/bytes.h"
#include "support/fake_platform.h"
#include "support/sample_dataset.h"

namespace mv {
namespace {

// The dataset of the file at path as loaded, then changed (its process name "изменен").
std::unique_ptr<TDatasetSPC> LoadedAndChanged(const std::string& path) {
  auto ds = LoadDatasetFile(path);
  if (!ds) return ds;
  ds->MarkSaved();
  ds->processName = "изменен";
  ds->Touch();
  return ds;
}

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
  auto ds = LoadedAndChanged(path);
  ASSERT_NE(ds, nullptr);
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

TEST(SpcFileSave, AWriteProtectedFileIsRefusedBeforeAnythingIsDone) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string path = dir.Path("запись.mvl");
  TDatasetSPC original;
  std::string error;
  ASSERT_TRUE(WriteSpcFile(original, path, error)) << error;
  test::WriteFileBytes(BackupName(path), "older backup");
  auto ds = LoadedAndChanged(path);
  ASSERT_NE(ds, nullptr);
  const std::string before = test::ReadFileBytes(path);
  std::filesystem::permissions(path, std::filesystem::perms(0444));
  Options().keepPreviousDataFile = true;
  const bool saved = SaveDatasetFile(*ds, false);
  Options().keepPreviousDataFile = false;

  EXPECT_FALSE(saved);
  EXPECT_EQ(test::ReadFileBytes(path), before);
  EXPECT_EQ(test::ReadFileBytes(BackupName(path)), "older backup");
  EXPECT_TRUE(ds->IsChanged());
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text,
            "Сбой при записи файла\r\n" + path + "\r\n\r\nфайл или диск защищен от записи (#150)");
  EXPECT_EQ(fake.messages.shown[0].sourceTag, "SPC file");
}

TEST(SpcFileSave, SavingShowsItsProgressAndMayBeStopped) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::unique_ptr<TDatasetSPC> sample = test::SampleDataset();
  const int params = sample->ParameterCount();
  const int blocks = sample->BlockCount();
  // One step for the header, one per parameter and block, one per piece written (one here).
  const int allSteps = 1 + params + blocks + 1;
  const std::string path = dir.Path("пример.mvl");
  const std::string copy = dir.Path("копия.mvl");

  {
    TDatasetSPC& ds = *sample;
    fake.fileDialogs.choices.push_back(path);
    ASSERT_TRUE(SaveDatasetFile(ds, false));
    EXPECT_EQ(fake.progress.titles, std::vector<std::string>{"Cохранение файла"});  // a Latin C first
    EXPECT_EQ(fake.progress.plannedSteps, allSteps);
    EXPECT_EQ(fake.progress.steps, allSteps);
    EXPECT_TRUE(fake.progress.ended);
  }
  const std::string saved = test::ReadFileBytes(path);

  // Stopped before the first block, before the first piece and after the last one: the old
  // file stays, nothing is left beside it, the dataset is as unsaved as it was.
  for (const int stopAt : {1 + params, 1 + params + blocks, allSteps}) {
    SCOPED_TRACE(stopAt);
    fake.messages.shown.clear();
    auto ds = LoadedAndChanged(path);
    ASSERT_NE(ds, nullptr);
    ds->accessFlags |= access_flag::kExample;
    const std::int32_t id = ds->id;
    test::WriteFileBytes(copy, "older copy");
    fake.progress.abortAfterSteps = stopAt;
    fake.progress.ended = false;
    fake.fileDialogs.choices.push_back(copy);
    EXPECT_FALSE(SaveDatasetFile(*ds, true));
    fake.progress.abortAfterSteps = -1;
    EXPECT_TRUE(fake.progress.ended);
    EXPECT_EQ(test::ReadFileBytes(path), saved);
    EXPECT_EQ(test::ReadFileBytes(copy), "older copy");
    EXPECT_TRUE(ds->IsChanged());
    EXPECT_EQ(ds->fileName, path);
    EXPECT_EQ(ds->id, id);
    EXPECT_TRUE(ds->IsExample());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
    ASSERT_FALSE(fake.messages.shown.empty());
    EXPECT_EQ(fake.messages.shown.back().text, "Сохранение файла прервано пользователем");
    EXPECT_EQ(fake.messages.shown.back().kind, platform::MsgKind::Info);
    EXPECT_EQ(fake.log.lines.back(), "Save aborted by user: " + copy);
  }
}

}  // namespace
}  // namespace mv
