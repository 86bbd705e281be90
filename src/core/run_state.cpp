#include "core/run_state.h"

#include <array>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <utility>

#include "core/date_time.h"
#include "core/file_facts.h"

namespace mv {
namespace {

constexpr std::array<std::pair<RunFlag, std::string_view>, 11> kFlagNames{{
    {RunFlag::PrevInstance, "PrevInstance"},
    {RunFlag::MultiLaunchAllow, "MultiLaunchAllow"},
    {RunFlag::RegistryDisabled, "RegistryDisabled"},
    {RunFlag::DebugMode, "DebugMode"},
    {RunFlag::UpdateEXEStarted, "UpdateEXEStarted"},
    {RunFlag::JustUpdated, "JustUpdated"},
    {RunFlag::UpdatedEXE, "UpdatedEXE"},
    {RunFlag::InProcess, "InProcess"},
    {RunFlag::CFG_Loaded, "CFG_Loaded"},
    {RunFlag::CFG_Saved, "CFG_Saved"},
    {RunFlag::Terminated, "Terminated"},
}};

}  // namespace

ProgramFacts CurrentProgramFacts() {
  ProgramFacts facts;
  facts.title = std::string(kAppName) + " " + MV_VERSION;
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return facts;
  facts.path = exe.string();
  FileFacts(facts.path, facts.size, facts.time);  // unknown facts stay 0
  return facts;
}

std::int32_t TimeZoneBias() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) return 0;
  // tm_gmtoff is local - UTC in seconds; the bias counts the other way, in minutes.
  return static_cast<std::int32_t>(-local.tm_gmtoff / 60);
}

void RunState::Begin() {
  started = Now();
  program = CurrentProgramFacts();
  timeZoneBias = TimeZoneBias();
}

void RunState::Set(RunFlag flag, bool on) {
  if (on) {
    flags |= static_cast<std::uint32_t>(flag);
  } else {
    flags &= ~static_cast<std::uint32_t>(flag);
  }
}

void RunState::BeginStep(std::string_view name) {
  step = name;
  Set(RunFlag::InProcess);
}

void RunState::EndStep() {
  step.clear();
  Set(RunFlag::InProcess, false);
}

std::string RunState::FlagNames() const {
  std::string names;
  for (const auto& [flag, name] : kFlagNames) {
    if (!Has(flag)) continue;
    if (!names.empty()) names += ", ";
    names += name;
  }
  return names;
}

}  // namespace mv
