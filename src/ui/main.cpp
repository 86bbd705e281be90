// Morvalen: the desktop program.

#include <QApplication>
#include <QWidget>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTimer>
#include <QTranslator>

#include <QStandardPaths>

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "app/command_line.h"
#include "app/desktop_integration.h"
#include "app/history_lists.h"
#include "app/instance_message.h"
#include "app/program_run.h"
#include "core/messages.h"
#include "platform/app_folders.h"
#include "platform/clock.h"
#include "platform/instance_channel.h"
#include "platform/runtime_folder.h"
#include "platform/services.h"
#include "ui/analysis_settings.h"
#include "ui/frm_main.h"
#include "ui/qt_platform.h"

namespace {

// Development aid: with MORVALEN_SCREENSHOT=<file.png> the program saves the whole screen once
// its window is up (after MORVALEN_SCREENSHOT_DELAY milliseconds, 1000 by default), then closes.
// Used under xvfb-run to look at what the window really shows.
void ScheduleScreenshot(QApplication& app) {
  const QString path = qEnvironmentVariable("MORVALEN_SCREENSHOT");
  if (path.isEmpty()) return;
  bool ok = false;
  const int delay = qEnvironmentVariableIntValue("MORVALEN_SCREENSHOT_DELAY", &ok);
  QTimer::singleShot(ok && delay > 0 ? delay : 1000, &app, [&app, path] {
    if (QScreen* screen = QGuiApplication::primaryScreen()) screen->grabWindow(0).save(path);
    // Then the windows close the way a user closes them, modal ones first, so the run ends
    // normally (configuration and logs written).
    auto* closer = new QTimer(&app);
    QObject::connect(closer, &QTimer::timeout, &app, [] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        return;
      }
      for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) window->close();
      }
    });
    closer->start(100);
  });
}

// Sends every file to the first instance (absolute names: it runs in another folder). True when
// all of them were handed over.
bool HandOver(const std::vector<std::string>& files) {
  mv::platform::IInstanceChannel& channel = mv::platform::Current<mv::platform::IInstanceChannel>();
  for (const std::string& file : files) {
    std::error_code ec;
    const std::string absolute = std::filesystem::absolute(file, ec).lexically_normal().string();
    const std::string record = mv::EncodeInstanceMessage(mv::OpenFileMessage(absolute));
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(record.data());
    if (!channel.SendToFirst(std::span<const std::uint8_t>(bytes, record.size()))) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  // Qt and the instance socket use one per-user runtime folder, the same in every run, so a
  // later instance finds the first one.
  mv::platform::SettleRuntimeFolder();
  QApplication app(argc, argv);  // takes Qt's own arguments out of argv
  QApplication::setApplicationName(QStringLiteral("Morvalen"));
  QApplication::setOrganizationName(QStringLiteral("Morvalen"));
  QApplication::setApplicationVersion(QStringLiteral(MV_VERSION));

  const QLocale russian(QLocale::Russian, QLocale::Russia);
  QLocale::setDefault(russian);
  // Qt's standard buttons and dialogs in Russian; without the file they stay in English.
  QTranslator qtTranslator;
  if (qtTranslator.load(QStringLiteral("qtbase_ru"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtTranslator);
  }

  // QApplication has taken its own options out of argv; the file names are kept as bytes.
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const mv::CommandLine commandLine = mv::ParseCommandLine(arguments);

  mv::ui::InstallQtPlatform();
  // The first instance receives messages from later ones; they reach the shell once the main
  // window exists (they are delivered from the event loop, which starts after it).
  mv::ui::TfrmMain* window = nullptr;
  mv::platform::IInstanceChannel& channel = mv::platform::Current<mv::platform::IInstanceChannel>();
  // A request for this session's information is answered over the connection it came on.
  const bool additional = !channel.Listen([&window](std::vector<std::uint8_t> record) {
    std::vector<std::uint8_t> answer;
    if (!window) return answer;
    if (const std::optional<std::string> reply = window->Shell().HandleInstanceMessage(record)) {
      answer.assign(reply->begin(), reply->end());
    }
    return answer;
  });
  // A later instance started with files hands them to the first one and ends quietly, unless
  // several instances were asked for (switch M) or the first one cannot be reached.
  if (additional && !commandLine.multiLaunch && !commandLine.files.empty() && HandOver(commandLine.files)) {
    mv::ui::UninstallQtPlatform();
    return 0;
  }

  mv::ProgramRun program;
  int exitCode = 0;
  {
    mv::ui::TfrmMain frmMain;
    window = &frmMain;
    frmMain.show();
    frmMain.onRunEnding = [&program](const std::vector<std::string>& files) { program.SetOpenFiles(files); };
    // The start runs from the event loop with the window up, each step shown in its status line.
    QTimer::singleShot(0, &frmMain, [&] {
      // Files handed over meanwhile wait until the start is done.
      const mv::Shell::BusyScope starting(frmMain.Shell(), "start-up");
      // The command line's files first: files other instances hand over meanwhile queue after them.
      for (const std::string& file : commandLine.files) frmMain.Shell().Queue().Push(file, mv::kFromCommandLine);
      mv::ProgramRun::Options runOptions;
      runOptions.additionalInstance = additional;
      runOptions.readConfiguration = !commandLine.noConfiguration;
      runOptions.parameters = mv::CommandLineText(arguments);
      runOptions.multiLaunch = commandLine.multiLaunch;
      runOptions.registryDisabled = commandLine.registryDisabled;
      runOptions.debugMode = commandLine.debugMode;
      runOptions.justUpdated = commandLine.justUpdated;
      runOptions.appFolder = mv::platform::AppFolder().string();
      runOptions.windowHandle = static_cast<std::uint64_t>(frmMain.winId());
      runOptions.registerFileTypes = !commandLine.registryDisabled && !additional;
      runOptions.dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString();
      runOptions.programPath = QCoreApplication::applicationFilePath().toStdString();
      runOptions.status = [&frmMain](const std::string& text) {
        frmMain.StatusChanged(text);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
      };
      program.Start(runOptions);
      program.WindowShown(static_cast<std::uint64_t>(frmMain.winId()), frmMain.devicePixelRatioF() > 1.0);
      mv::ui::UseAnalysisSettings({&program.ChartOptions(), &program.HistogramSettings(), &program.PrintSettings(),
                                   &program.Config().graphicsFont});

      mv::Shell& shell = frmMain.Shell();
      shell.debugMode = commandLine.debugMode;
      shell.importOption = commandLine.importOption;
      shell.dataFolder = program.Config().Folder(mv::ConfigFile::kDataFolder);
      shell.sessionNumber = program.Log().run.runNumber;
      shell.run = &program.Log().run;
      shell.history = &program.History();
      shell.sessionInfo.started = mv::platform::Current<mv::platform::IClock>().Now();
      shell.sessionInfo.program = "Morvalen " MV_VERSION;
      shell.sessionInfo.programPath = runOptions.programPath;
      shell.sessionInfo.dataFolder = shell.dataFolder;
      frmMain.autoSaveAtEnd = program.Config().autoSaveDatasets;
      frmMain.filterNameHistory = &mv::History(program.Config(), mv::HistoryList::FilterName);
      frmMain.filterValueHistory = &mv::History(program.Config(), mv::HistoryList::FilterValue);
      // An additional session learns which session is the first one (kept for the support records).
      if (additional) shell.AskFirstSession();
      for (const std::string& error : commandLine.errors) mv::ShowError(error);
      shell.OpenStartupDatasets(program.PreviousFiles(), commandLine.noPreviousDatasets, "Morvalen");
      mv::ui::TfrmMain::SettingsSources settings;
      settings.config = &program.Config();
      settings.sounds = &program.Sounds();
      settings.gages = &program.Gages();
      settings.profiles = &program.Profiles();
      settings.options.version = MV_VERSION;
      settings.options.additionalInstance = additional;
      settings.options.debugMode = commandLine.debugMode;
      settings.options.programFolder = runOptions.appFolder;
      settings.options.registerDesktopEntry = [dataHome = runOptions.dataHome, programPath = runOptions.programPath] {
        std::string problem;
        return mv::RegisterFileTypes(dataHome, programPath, problem);
      };
      frmMain.SetSettingsSources(std::move(settings));
      // The start is complete: from now on events play their sounds.
      program.Sounds().SetEnabled(true);
    });
    ScheduleScreenshot(app);
    exitCode = QApplication::exec();
    window = nullptr;
    mv::ui::UseAnalysisSettings({});
  }
  program.Finish();
  mv::ui::UninstallQtPlatform();
  return exitCode;
}
