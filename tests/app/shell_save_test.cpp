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
