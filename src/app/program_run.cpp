#include "app/program_run.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "app/desktop_integration.h"
#include "core/date_time.h"
#include "core/messages.h"
#include "core/text.h"
#include "platform/services.h"

namespace mv {
namespace fs = std::filesystem;

ProgramRun::ProgramRun() : m_log(std::make_unique<AppLog>()) {}

ProgramRun::~ProgramRun() {
  if (m_started) {
    SetMessageContext(m_previousMessages);
    platform::Install<platform::ILog>(m_previousLog);
  }
}

std::string ProgramRun::GageFileName() const { return (fs::path(m_options.appFolder) / kGageFileName).string(); }

void ProgramRun::Status(const std::string& text) const {
  if (m_options.status) m_options.status(text);
}

namespace {

// Whether a file can be made in the folder (it is removed again).
bool FolderWritable(const fs::path& folder) {
  const fs::path probe = folder / ".morvalen-write-test";
  bool ok = false;
  {
    std::ofstream out(probe, std::ios::binary | std::ios::trunc);
    out << "test";
    ok = static_cast<bool>(out.flush());
  }
  std::error_code ec;
  fs::remove(probe, ec);
  return ok;
}

}  // namespace

bool ProgramRun::CheckTempFolder() {
  const std::string folder = m_config->Folder(ConfigFile::kTempFolder);
  std::error_code ec;
  if (!fs::is_directory(folder, ec) && !fs::create_directories(folder, ec)) {
    m_log->LogLine("Temp folder creation fault in " + Quoted(folder));
    ShowError("Из-за отсутствия доступа к папке для временных файлов многие функции будут недоступны.\r\n"
              "Проверьте в настройках приложения, правильно ли выбрана эта папка (сейчас установлено " +
              Quoted(m_config->folders[ConfigFile::kTempFolder - 1]) + ") и завершите сеанс работы");
    return false;
  }
  if (!FolderWritable(folder)) {
    m_log->LogLine("Temp folder is write-protected - " + Quoted(folder));
    ShowWarning("Morvalen не может делать запись в папку временных файлов " + Quoted(folder) +
                "\r\n\r\nВозможно, в правах доступа файловой системы запрещена запись по данному пути.\r\n"
                "Это препятствует работе многих функций приложения!");
    return false;
  }
  return true;
}

void ProgramRun::CheckProgramFolder() {
  if (FolderWritable(m_options.appFolder)) return;
  m_log->LogLine("System folder is write-protected");
  ShowError("Невозможно сохранение файла в системной папке приложения Morvalen\r\n" + Quoted(m_options.appFolder) +
            "\r\n\r\nВероятно, эта папка защищена от записи правами доступа файловой системы. Снимите эту защиту "
            "прямо сейчас и перезапустите приложение!");
}

void ProgramRun::Start(const Options& options) {
  m_options = options;
  AppLog& log = *m_log;
  Status("Инициализация log-файлов");
  log.run.Begin();
  log.run.Set(RunFlag::PrevInstance, options.additionalInstance);
  log.run.Set(RunFlag::MultiLaunchAllow, options.multiLaunch);
  log.run.Set(RunFlag::RegistryDisabled, options.registryDisabled);
  log.run.Set(RunFlag::DebugMode, options.debugMode);
  log.run.Set(RunFlag::JustUpdated, options.justUpdated);
  log.run.parameters = options.parameters;
  log.run.windowHandle = options.windowHandle;
  m_previousLog = platform::Install<platform::ILog>(&log);
  // The message windows name this run in their diagnostic line and play its event sounds.
  m_previousMessages = SetMessageContext({&log.run, &m_sounds});
  m_started = true;
  StartLogs(log, (fs::path(options.appFolder) / "Log").string(), options.appFolder);

  Status("Проверка системы");
  if (options.registerFileTypes) {
    Status("Проверка регистрации типов файлов");  // file types of the desktop (MIME, desktop entry)
    std::string problem;
    if (!RegisterFileTypes(options.dataHome, options.programPath, problem)) {
      log.LogLine("File types not registered: " + problem);
    }
  }

  Status("Загрузка конфигурации системы");
  m_config = std::make_unique<ConfigFile>(options.appFolder, m_sounds, m_profiles);
  m_config->SetAreaDefaults(OwnedArea::kChartOptions, DefaultChartOptionsImage());
  m_config->SetAreaDefaults(OwnedArea::kHistogramOptions, DefaultHistogramOptionsImage());
  m_config->SetAreaDefaults(OwnedArea::kPrintOptions, DefaultPrintOptionsImage());
  m_config->Defaults();  // the owners' images, also when the file is not read (switch X)
  if (options.readConfiguration) {
    log.run.BeginStep("Load CFG");
    m_configLoaded = m_config->Load(m_config->FileName());
    log.run.EndStep();
  }
  DecodeOptionAreas();
  log.run.Set(RunFlag::CFG_Loaded, m_configLoaded);
  // A configuration written by another build: this is the first run of this one.
  log.run.Set(RunFlag::UpdatedEXE, m_configLoaded && m_config->WriterBuild() != ConfigFile::kBuildNumber);
  // Every run has a session folder of its own for its reports, additional instances too.
  if (CheckTempFolder()) m_reports.Begin(m_config->Folder(ConfigFile::kTempFolder), Now());

  Status("Работа с файлом сеансов");
  SettleRunNumber(log, m_configLoaded ? m_config->runCounter + 1 : 1);
  m_config->runCounter = log.run.runNumber;
  m_history.Load(m_config->historyRecords);
  m_history.Tidy(log.run.runNumber);
  log.run.BeginStep("Init session file");
  AppendSession(log);
  log.run.EndStep();
  CheckProgramFolder();

  Status("Проверка целостности системы");
  log.LogLine("Data folder: " + m_config->Folder(ConfigFile::kDataFolder) +
              "; Temp: " + m_config->Folder(ConfigFile::kTempFolder) +
              "; Reports: " + m_config->Folder(ConfigFile::kReportFolder));
  AddStandardEventDefaults(m_sounds);
  if (m_profiles.IsEmpty()) m_profiles.AddDefaultProfile();

  // A first start has no gauge file yet: nothing to load and nothing to report. A file that is
  // there but cannot be read is reported, and the empty list then does not count as changed,
  // so the file is not overwritten at the end of the run.
  std::error_code ec;
  if (fs::exists(GageFileName(), ec) && m_gages.LoadFromFile(GageFileName(), false)) m_gages.MarkSynced();
  if (!m_gages.LastError.empty()) LogError(log, "Gages load error: " + m_gages.LastError);
}

void ProgramRun::DecodeOptionAreas() {
  if (DecodeChartOptions(m_config->Area(OwnedArea::kChartOptions), m_chartOptions) != ChartOptionsRead::Ok) {
    m_log->LogLine("Chart options: defaults used where the stored ones were not valid");
  }
  m_histogramOptions = DecodeHistogramOptions(m_config->Area(OwnedArea::kHistogramOptions));
  m_history.showOpen = !m_config->Area(OwnedArea::kHistoryWindowOption).empty() &&
                       m_config->Area(OwnedArea::kHistoryWindowOption)[0] != '\0';
  m_history.windowArea = DecodeHistoryWindowArea(m_config->Area(OwnedArea::kHistoryWindowArea));
  if (DecodePrintOptions(m_config->Area(OwnedArea::kPrintOptions), m_printOptions) == PrintOptionsRead::Repaired) {
    m_log->LogLine("Print options: defaults used where the stored ones were not valid");
  }
}

void ProgramRun::EncodeOptionAreas() {
  m_config->SetArea(OwnedArea::kChartOptions, EncodeChartOptions(m_chartOptions));
  m_config->SetArea(OwnedArea::kHistogramOptions, EncodeHistogramOptions(m_histogramOptions));
  m_config->SetArea(OwnedArea::kPrintOptions, EncodePrintOptions(m_printOptions));
  m_config->SetArea(OwnedArea::kHistoryWindowOption, std::string(1, m_history.showOpen ? '\1' : '\0'));
  m_config->SetArea(OwnedArea::kHistoryWindowArea, EncodeHistoryWindowArea(m_history.windowArea));
  m_config->historyRecords = m_history.Records();
}

std::vector<std::string> ProgramRun::PreviousFiles() const {
  std::vector<std::string> files;
  if (!m_config || !m_config->loadPreviousDatasets) return files;
  for (const ConfigFile::PreviousDataset& previous : m_config->previousDatasets) {
    if (!previous.path.empty()) files.push_back(previous.path);
  }
  return files;
}

void ProgramRun::SetOpenFiles(const std::vector<std::string>& files) {
  if (!m_config) return;
  m_config->previousDatasets.clear();
  for (const std::string& file : files) {
    if (m_config->previousDatasets.size() >= ConfigFile::kMaxPreviousDatasets) break;
    ConfigFile::PreviousDataset previous;
    previous.kind = 1;  // an SPC data file
    previous.path = file;
    m_config->previousDatasets.push_back(previous);
  }
}

void ProgramRun::WindowShown(std::uint64_t windowHandle, bool bigFonts) {
  m_log->run.windowHandle = windowHandle;
  LogSysInfo(*m_log, ReadSysInfo(bigFonts));
}

void ProgramRun::Finish() {
  if (!m_started) return;
  AppLog& log = *m_log;
  Status("Завершение сеанса работы...");
  LogSessionClosing(log);
  m_reports.End();
  if (m_gages.IsModified() && m_gages.SaveToFile(GageFileName(), false)) m_gages.MarkSynced();
  if (m_options.additionalInstance) {
    log.LogLine("Skip CFG saving for double session");
  } else {
    log.run.BeginStep("Save CFG");
    // Started without reading it, the configuration written now replaces one the user may want
    // back: it is kept as the backup just as after a successful read.
    const bool keepBackup = m_configLoaded || !m_options.readConfiguration;
    EncodeOptionAreas();
    log.run.Set(RunFlag::CFG_Saved, m_config->Save(m_config->FileName(), keepBackup));
    log.run.EndStep();
  }
  FinishRun(log);
  SetMessageContext(m_previousMessages);
  platform::Install<platform::ILog>(m_previousLog);
  m_started = false;
}

}  // namespace mv
