// The shell while it saves a dataset.

#include <gtest/gtest.h>

#include "app/shell.h"
#include "platform/progress.h"
#include "support/bytes.h"
#include "support/fake_platform.h"
#include "support/sample_dataset.h"

namespace mv {
namespace {

// Notes at every step whether the shell counts as busy, as the window's timers see it while
// the progress window lets the event loop run.
class BusyWatch final : public platform::IProgress {
 public:
  explicit BusyWatch(const Shell& shell) : m_shell(shell) {}
  void Begin(std::string_view, int) override {}
  void Step() override { busy.push_back(m_shell.Busy()); }
  bool Aborted() override { return false; }
  void End() override {}
  std::vector<bool> busy;

 private:
  const Shell& m_shell;
};

TEST(ShellSave, TheShellIsBusyWhileItSaves) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string path = dir.Path("данные.mvl");
  ASSERT_TRUE(test::WriteSampleDataset(path));
  Shell shell;
  ASSERT_TRUE(shell.OpenDatasetFile(path, kFromDialog));
  BusyWatch watch(shell);
  test::ScopedService<platform::IProgress> installed(&watch);
  shell.Datasets().At(0)->Touch();
  shell.Queue().Push(dir.Path("другой.mvl"), kFromInstance);

  ASSERT_TRUE(shell.SaveDataset(shell.Datasets().Entry(0)->slot, false));
  ASSERT_FALSE(watch.busy.empty());
  EXPECT_EQ(std::count(watch.busy.begin(), watch.busy.end(), false), 0);
  EXPECT_FALSE(shell.Busy());
  EXPECT_FALSE(shell.Queue().Empty());  // nothing was opened meanwhile
}

}  // namespace
}  // namespace mv

namespace mv {
namespace {

// A window with a value in edit: saving commits it first, and a refused value stops the save
// and the close; a window that has gone takes no part.
TEST(ShellSave, SavingAndClosingCommitTheValueInEditFirst) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string path = dir.Path("данные.mvl");
  ASSERT_TRUE(test::WriteSampleDataset(path));
  Shell shell;
  ASSERT_TRUE(shell.OpenDatasetFile(path, kFromDialog));
  const int slot = shell.Datasets().Entry(0)->slot;
  bool accept = false;
  int commits = 0;
  const int handle = shell.Edits().Add(slot, [&] {
    ++commits;
    if (accept) shell.Datasets().At(0)->Touch();  // the typed value reaches the dataset
    return accept;
  });
  int others = 0;
  const int other = shell.Edits().Add(slot + 1, [&] { return ++others, false; });

  EXPECT_FALSE(shell.SaveDataset(slot, false));
  EXPECT_FALSE(shell.CloseDataset(slot));
  EXPECT_EQ(commits, 2);
  EXPECT_EQ(shell.Datasets().Count(), 1);

  accept = true;
  ASSERT_TRUE(shell.SaveDataset(slot, false));
  EXPECT_EQ(commits, 3);
  EXPECT_FALSE(shell.Datasets().At(0)->IsChanged());  // what was committed is in the file
  EXPECT_EQ(others, 0);                                // another dataset's window is not asked

  shell.Edits().Remove(handle);
  shell.Edits().Remove(other);
  EXPECT_EQ(shell.Edits().Count(), 0);
  EXPECT_TRUE(shell.CloseDataset(slot));
}

}  // namespace
}  // namespace mv
