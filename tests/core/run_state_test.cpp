#include "core/run_state.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace mv {
namespace {

TEST(RunState, FlagNamesInTheOrderOfTheirValues) {
  const struct {
    std::uint32_t flags;
    const char* names;
  } kCases[] = {
      {0, ""},
      {256 | 1, "PrevInstance, CFG_Loaded"},
      {0x7FF,
       "PrevInstance, MultiLaunchAllow, RegistryDisabled, DebugMode, UpdateEXEStarted, JustUpdated, UpdatedEXE, "
       "InProcess, CFG_Loaded, CFG_Saved, Terminated"},
      {0x800 | 1024, "Terminated"},  // bits without a name are not listed
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.names);
    RunState run;
    run.flags = c.flags;
    EXPECT_EQ(run.FlagNames(), c.names);
  }

  RunState run;
  run.Set(RunFlag::CFG_Loaded);
  run.BeginStep("Save CFG");
  EXPECT_EQ(run.FlagNames(), "InProcess, CFG_Loaded");
  EXPECT_EQ(run.step, "Save CFG");
  run.EndStep();
  EXPECT_EQ(run.FlagNames(), "CFG_Loaded");
  EXPECT_EQ(run.step, "");
  run.Set(RunFlag::CFG_Loaded, false);
  EXPECT_EQ(run.flags, 0u);
}

// Runs the time-zone bias under a zone given as a POSIX TZ text.
std::int32_t BiasIn(const char* zone) {
  const char* old = std::getenv("TZ");
  const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
  setenv("TZ", zone, 1);
  tzset();
  const std::int32_t bias = TimeZoneBias();
  if (saved) {
    setenv("TZ", saved->c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
  return bias;
}

TEST(RunState, TimeZoneBiasCountsFromLocalTimeToUtc) {
  EXPECT_EQ(BiasIn("MSK-3"), -180);  // Moscow, UTC+3
  EXPECT_EQ(BiasIn("EST5"), 300);    // UTC-5
  EXPECT_EQ(BiasIn("IST-5:30"), -330);
  EXPECT_EQ(BiasIn("UTC0"), 0);
}

TEST(RunState, ProgramFactsDescribeThisProgram) {
  const ProgramFacts facts = CurrentProgramFacts();
  EXPECT_EQ(facts.title, std::string("Morvalen ") + MV_VERSION);
  EXPECT_FALSE(facts.path.empty());
  EXPECT_GT(facts.size, 0u);
  EXPECT_GT(facts.time, 36526.0);  // after 2000
}

}  // namespace
}  // namespace mv
