#pragma once
// One run of the program, from start-up to the end: the logs and the session file, the lists
// kept between runs (gauges in "gages.ggs", event sounds and input profiles), and the order in
// which they are opened, loaded, saved and closed. The windows call Start once the application
// object exists and Finish after the last window has closed.

#include <memory>
#include <string>

#include "app/config_file.h"
#include "core/app_log.h"
#include "core/event_sounds.h"
#include "spc/gages.h"
#include "spc/input_profiles.h"

namespace mv {

class ProgramRun {
 public:
  struct Options {
    bool additionalInstance = false;  // another instance was running at start
    bool readConfiguration = true;    // false: start with the defaults (switch X)
    std::string appFolder;            // where the program keeps its files (platform::AppFolder())
  };

  ProgramRun();
  ~ProgramRun();
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  // Opens the logs (and installs them as the program's log), reads the configuration, settles
  // the run number, records the start in the session file, loads the gauge list and adds the
  // default event sounds and input profile.
  void Start(const Options& options);
  // Once the main window is up: its handle for the log, and the SysInfo line.
  void WindowShown(std::uint64_t windowHandle, bool bigFonts);
  // The end of the run: saves the gauge list when it was changed and the configuration (not in
  // an additional instance), closes the run in the logs and the session file, and puts the
  // previous log back in place.
  void Finish();

  AppLog& Log() { return *m_log; }
  TGageSet& Gages() { return m_gages; }
  TEventSoundSet& Sounds() { return m_sounds; }
  TInputProfileSet& Profiles() { return m_profiles; }
  ConfigFile& Config() { return *m_config; }
  std::string GageFileName() const;

 private:
  std::unique_ptr<AppLog> m_log;
  platform::ILog* m_previousLog = nullptr;
  bool m_started = false;
  Options m_options;
  TGageSet m_gages;
  TEventSoundSet m_sounds;
  TInputProfileSet m_profiles;
  std::unique_ptr<ConfigFile> m_config;
  bool m_configLoaded = false;
};

}  // namespace mv
