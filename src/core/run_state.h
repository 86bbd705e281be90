#pragma once
// The run: its number, its state flags and the facts about the program that the log and the
// session file record. One RunState lives for the whole run (AppLog holds it); the shell sets
// the flags as start-up learns them.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace mv {

// The run's state flags, a 32-bit set shared by the shell, the log and the session file.
enum class RunFlag : std::uint32_t {
  PrevInstance = 1,        // another instance was running at start: this run is an additional instance
  MultiLaunchAllow = 2,    // the command line allows several instances
  RegistryDisabled = 4,    // the command line forbids registry operations
  DebugMode = 8,           // debug switch
  UpdateEXEStarted = 16,   // a new program file is to be installed at the end of the run
  JustUpdated = 32,        // started by the update facility after an update
  UpdatedEXE = 64,         // first run of this program build
  InProcess = 128,         // a named critical step is under way (RunState::step)
  CFG_Loaded = 256,        // the configuration was read successfully
  CFG_Saved = 512,         // the configuration was written successfully in this run
  Terminated = 1024,       // the run is ending at another instance's request
};

// The program file and how the program calls itself.
struct ProgramFacts {
  std::string title;       // name and version: "Morvalen 0.1.0"
  std::string path;        // full path of the program file
  std::uint64_t size = 0;  // bytes
  TDateTime time = 0;      // last change, local time
};

// The running program's own facts (path from /proc/self/exe; size and time 0 when it cannot
// be looked up).
ProgramFacts CurrentProgramFacts();

// The name every message uses for the program.
inline constexpr std::string_view kAppName = "Morvalen";

// The time-zone bias now, in minutes, with the sign the system has always stored:
// UTC = local time + bias, so Moscow (UTC+3) gives -180.
std::int32_t TimeZoneBias();

class RunState {
 public:
  std::int32_t runNumber = 0;  // 0 until the configuration is read
  std::uint32_t flags = 0;     // RunFlag bits
  std::string step;            // the critical step under way while InProcess is set
  TDateTime started = 0;       // when the run began
  std::uint64_t windowHandle = 0;  // the main window's handle, 0 before it exists
  std::string parameters;      // the command line without the program's own path
  std::int32_t timeZoneBias = 0;
  ProgramFacts program;

  // Fills started (now), the program facts and the time-zone bias: the first thing a run does.
  void Begin();

  bool Has(RunFlag flag) const { return (flags & static_cast<std::uint32_t>(flag)) != 0; }
  void Set(RunFlag flag, bool on = true);

  // InProcess with the step's name, and back.
  void BeginStep(std::string_view name);
  void EndStep();

  // The names of the set flags joined by ", " in the order of their values:
  // "PrevInstance, CFG_Loaded".
  std::string FlagNames() const;
};

}  // namespace mv
