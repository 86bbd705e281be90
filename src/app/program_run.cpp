#include "app/program_run.h"

#include <filesystem>
#include <system_error>

#include "platform/services.h"

namespace mv {
namespace fs = std::filesystem;

ProgramRun::ProgramRun() : m_log(std::make_unique<AppLog>()) {}

ProgramRun::~ProgramRun() {
  if (m_started) platform::Install<platform::ILog>(m_previousLog);
}

std::string ProgramRun::GageFileName() const { return (fs::path(m_options.appFolder) / kGageFileName).string(); }

void ProgramRun::Start(const Options& options) {
  m_options = options;
  AppLog& log = *m_log;
  log.run.Begin();
  log.run.Set(RunFlag::PrevInstance, options.additionalInstance);
  m_previousLog = platform::Install<platform::ILog>(&log);
  m_started = true;
  StartLogs(log, (fs::path(options.appFolder) / "Log").string(), options.appFolder);
  m_config = std::make_unique<ConfigFile>(options.appFolder, m_sounds, m_profiles);
  if (options.readConfiguration) {
    log.run.BeginStep("Load CFG");
    m_configLoaded = m_config->Load(m_config->FileName());
    log.run.EndStep();
  }
  log.run.Set(RunFlag::CFG_Loaded, m_configLoaded);
  SettleRunNumber(log, m_configLoaded ? m_config->runCounter + 1 : 1);
  m_config->runCounter = log.run.runNumber;
  AppendSession(log);

  // A first start has no gauge file yet: nothing to load and nothing to report. A file that is
  // there but cannot be read is reported, and the empty list then does not count as changed,
  // so the file is not overwritten at the end of the run.
  std::error_code ec;
  if (fs::exists(GageFileName(), ec) && m_gages.LoadFromFile(GageFileName(), false)) m_gages.MarkSynced();
  if (!m_gages.LastError.empty()) LogError(log, "Gages load error: " + m_gages.LastError);
  AddStandardEventDefaults(m_sounds);
  if (m_profiles.IsEmpty()) m_profiles.AddDefaultProfile();
}

void ProgramRun::WindowShown(std::uint64_t windowHandle, bool bigFonts) {
  m_log->run.windowHandle = windowHandle;
  LogSysInfo(*m_log, ReadSysInfo(bigFonts));
}

void ProgramRun::Finish() {
  if (!m_started) return;
  AppLog& log = *m_log;
  LogSessionClosing(log);
  if (m_gages.IsModified() && m_gages.SaveToFile(GageFileName(), false)) m_gages.MarkSynced();
  if (m_options.additionalInstance) {
    log.LogLine("Skip CFG saving for double session");
  } else {
    log.run.BeginStep("Save CFG");
    // Started without reading it, the configuration written now replaces one the user may want
    // back: it is kept as the backup just as after a successful read.
    const bool keepBackup = m_configLoaded || !m_options.readConfiguration;
    log.run.Set(RunFlag::CFG_Saved, m_config->Save(m_config->FileName(), keepBackup));
    log.run.EndStep();
  }
  FinishRun(log);
  platform::Install<platform::ILog>(m_previousLog);
  m_started = false;
}

}  // namespace mv
