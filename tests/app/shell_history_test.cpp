// The shell keeps the dataset history: every dataset opened, saved and closed through it (also
// at the end of the run) is recorded.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/dataset_history.h"
#include "app/shell.h"
#include "spc/spc_file.h"
#include "support/bytes.h"
#include "support/fake_platform.h"
#include "support/sample_dataset.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

class ShellHistoryTest : public ::testing::Test {
 protected:
  ShellHistoryTest() {
    m_shell.history = &m_history;
    m_run.runNumber = 12;
    m_shell.run = &m_run;
  }
  std::string File(const std::string& name, std::string_view process = "Токарная обработка") {
    const std::string path = m_dir.Path(name);
    EXPECT_TRUE(test::WriteSampleDataset(path, process));
    return path;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : m_history.Entries()) names.push_back(e.name + (e.IsOpen() ? " open" : ""));
    return names;
  }

  test::FakePlatform m_fake;
  test::TempFolder m_dir;
  DatasetHistory m_history;
  RunState m_run;
  Shell m_shell;
};

TEST_F(ShellHistoryTest, OpeningSavingAndClosingAreRecorded) {
  const std::string a = File("a.mvl", "А");
  const std::string b = File("b.mvl", "Б");
  ASSERT_TRUE(m_shell.OpenDatasetFile(a, kFromDialog));
  ASSERT_TRUE(m_shell.OpenDatasetFile(b, kFromDialog));
  EXPECT_EQ(Names(), (std::vector<std::string>{"b.mvl open", "a.mvl open"}));
  const TDatasetSPC& dsB = *m_shell.Datasets().At(1);
  EXPECT_EQ(m_history.At(0)->key, dsB.historyKey);
  EXPECT_EQ(m_history.At(0)->id, dsB.id);
  EXPECT_EQ(m_history.At(0)->folder, m_dir.path() + "/");
  EXPECT_EQ(m_history.At(0)->runNumber, 12);
  EXPECT_EQ(m_history.At(0)->fileSize, static_cast<std::int32_t>(fs::file_size(b)));
  EXPECT_EQ(m_history.At(0)->opened, dsB.loadedAt);

  // Saved: the entry takes the dataset's new state and stays where it is.
  m_shell.Datasets().At(1)->comment = "после правки";
  m_shell.Datasets().At(1)->Touch();
  const std::int32_t saves = m_history.At(0)->saveCounter;
  m_shell.Datasets().SetCurrent(0);
  ASSERT_TRUE(m_shell.SaveDataset(m_shell.Datasets().Entry(1)->slot, false));
  EXPECT_EQ(m_history.At(0)->texts[0], "после правки");
  EXPECT_EQ(m_history.At(0)->saveCounter, saves + 1);
  EXPECT_EQ(m_history.At(0)->fileSize, static_cast<std::int32_t>(fs::file_size(b)));
  EXPECT_EQ(m_history.At(0)->key, dsB.historyKey);

  // Saved under another name: the same entry follows it.
  m_fake.fileDialogs.choices.push_back(m_dir.Path("c.mvl"));
  ASSERT_TRUE(m_shell.SaveDataset(m_shell.Datasets().Entry(1)->slot, true));
  EXPECT_EQ(Names(), (std::vector<std::string>{"c.mvl open", "a.mvl open"}));

  ASSERT_TRUE(m_shell.CloseDataset(m_shell.Datasets().Entry(0)->slot));
  EXPECT_EQ(Names(), (std::vector<std::string>{"c.mvl open", "a.mvl"}));
  EXPECT_GT(m_history.At(1)->closed, m_history.At(1)->opened);

  // The end of the run closes the rest.
  ASSERT_TRUE(m_shell.EndRun(false));
  EXPECT_EQ(Names(), (std::vector<std::string>{"c.mvl", "a.mvl"}));
}

TEST_F(ShellHistoryTest, ReopeningFromTheHistoryMovesTheEntryUpAndLogsSourceTwo) {
  const std::string a = File("a.mvl");
  const std::string b = File("b.mvl");
  const std::string c = File("c.mvl");
  for (const std::string& file : {a, b, c}) {
    ASSERT_TRUE(m_shell.OpenDatasetFile(file, kFromDialog));
    ASSERT_TRUE(m_shell.CloseDataset(m_shell.Datasets().Entry(0)->slot));
  }
  ASSERT_EQ(m_history.At(2)->Location(), a);
  ASSERT_TRUE(m_shell.OpenDatasetFile(m_history.At(2)->Location(), kFromHistory));
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.mvl open", "c.mvl", "b.mvl"}));
  bool logged = false;
  for (const std::string& line : m_fake.log.lines) logged |= line.starts_with("-Open.2: File \"" + a + "\"");
  EXPECT_TRUE(logged);
}

TEST_F(ShellHistoryTest, WhatIsNotOpenedLeavesNoEntry) {
  const std::string locked = m_dir.Path("locked.mvl");
  {
    auto ds = test::SampleDataset();
    ds->passwordHash = 12345;  // no typed password has this hash here
    ds->accessFlags = 0x00000001;
    ds->fileName = locked;
    ASSERT_TRUE(SaveDatasetFile(*ds, false, nullptr));
  }
  m_fake.prompts.passwords = {"неверный"};
  EXPECT_FALSE(m_shell.OpenDatasetFile(locked, kFromDialog));
  EXPECT_FALSE(m_shell.OpenDatasetFile(m_dir.Path("missing.mvl"), kFromDialog));
  test::WriteFileBytes(m_dir.Path("broken.mvl"), "not a data file");
  EXPECT_FALSE(m_shell.OpenDatasetFile(m_dir.Path("broken.mvl"), kFromDialog));
  EXPECT_TRUE(m_history.Empty());
  // A new dataset enters the history once it has been saved.
  m_fake.messages.answers.push_back(true);
  ASSERT_TRUE(m_shell.NewDataset(DatasetKind::Spc));
  EXPECT_TRUE(m_history.Empty());
  m_fake.fileDialogs.choices.push_back(m_dir.Path("new.mvl"));
  ASSERT_TRUE(m_shell.SaveDataset(m_shell.Datasets().Entry(0)->slot, false));
  EXPECT_EQ(Names(), std::vector<std::string>{"new.mvl open"});
}

}  // namespace
}  // namespace mv
