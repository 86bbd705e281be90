#pragma once
// One run of the program, from start-up to the end: the logs and the session file, the lists
// kept between runs (gauges in "gages.ggs", event sounds and input profiles), and the order in
// which they are opened, loaded, saved and closed. The windows call Start once the application
// object exists and Finish after the last window has closed.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/chart_options.h"
#include "analysis/histogram_options.h"
#include "app/config_file.h"
#include "app/dataset_history.h"
#include "app/print_options.h"
#include "core/app_log.h"
#include "core/event_sounds.h"
#include "core/messages.h"
#include "reports/report_folders.h"
#include "spc/gages.h"
#include "spc/input_profiles.h"

namespace mv {

class ProgramRun {
 public:
  struct Options {
    bool additionalInstance = false;  // another instance was running at start
    bool readConfiguration = true;    // false: start with the defaults (switch X)
    // The command line without the program's name (CommandLineText), for the log and the
    // session record, and the switches the run's flags record.
    std::string parameters;
    bool multiLaunch = false;       // M
    bool registryDisabled = false;  // RD
    bool debugMode = false;         // D
    bool justUpdated = false;       // U
    std::string appFolder;            // where the program keeps its files (platform::AppFolder())
    std::uint64_t windowHandle = 0;   // the main window when it exists before the start
    // Register the data file types with the desktop (not with switch RD).
    bool registerFileTypes = false;
    std::string dataHome;     // the user's data folder for the registration ($XDG_DATA_HOME)
    std::string programPath;  // the program file, for the registration
    // Each start-up step's text for the status line.
    std::function<void(const std::string&)> status;
  };

  ProgramRun();
  ~ProgramRun();
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  // The first steps of the start, each with its status text: records the command line and its
  // switches in the run's flags, opens the logs (and installs them as the program's log),
  // registers the file types, reads the configuration, checks the temporary folder and makes
  // the session's report folder in it, settles the run number and records the start in the session file,
  // checks that the program folder can be written, logs the folders, adds the default event
  // sounds and input profile and loads the gauge list. Nothing here stops the start.
  void Start(const Options& options);
  // Once the main window is up: its handle for the log, and the SysInfo line.
  void WindowShown(std::uint64_t windowHandle, bool bigFonts);
  // The end of the run (after the datasets have closed): removes the session's report folder,
  // saves the gauge list when it was changed and the configuration (not in
  // an additional instance), closes the run in the logs and the session file, and puts the
  // previous log back in place.
  void Finish();

  AppLog& Log() { return *m_log; }
  TGageSet& Gages() { return m_gages; }
  TEventSoundSet& Sounds() { return m_sounds; }
  TInputProfileSet& Profiles() { return m_profiles; }
  ConfigFile& Config() { return *m_config; }
  // The options of every chart and histogram window, kept in the configuration.
  TChartOptions& ChartOptions() { return m_chartOptions; }
  HistogramOptions& HistogramSettings() { return m_histogramOptions; }
  // The page settings of chart and histogram printing, kept in the configuration.
  PrintOptions& PrintSettings() { return m_printOptions; }
  // The datasets opened on this computer with the history window's option and area, read
  // from the configuration at the start (tidied in every fifth run) and stored back by Finish.
  DatasetHistory& History() { return m_history; }
  // The report folders of this run: its session folder, made at the start (its path stays
  // empty when the temporary folder cannot be used) and removed by Finish.
  ReportSession& Reports() { return m_reports; }
  std::string GageFileName() const;
  // The files open at the end of the previous run, to reopen (empty when the configuration
  // says not to).
  std::vector<std::string> PreviousFiles() const;
  // The files open at the end of this run, stored by Finish for the next one.
  void SetOpenFiles(const std::vector<std::string>& files);

 private:
  std::unique_ptr<AppLog> m_log;
  platform::ILog* m_previousLog = nullptr;
  MessageContext m_previousMessages;  // what the message windows used before this run
  bool m_started = false;
  Options m_options;
  TGageSet m_gages;
  TEventSoundSet m_sounds;
  TInputProfileSet m_profiles;
  std::unique_ptr<ConfigFile> m_config;
  bool m_configLoaded = false;
  TChartOptions m_chartOptions;
  HistogramOptions m_histogramOptions;
  PrintOptions m_printOptions;
  DatasetHistory m_history;
  ReportSession m_reports;

  void Status(const std::string& text) const;
  // True when the temporary folder can be used.
  bool CheckTempFolder();
  void CheckProgramFolder();
  // The options records from and into their areas of the configuration.
  void DecodeOptionAreas();
  void EncodeOptionAreas();
};

}  // namespace mv
