// Morvalen: the desktop program.

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTimer>
#include <QTranslator>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/program_run.h"
#include "core/messages.h"
#include "platform/app_folders.h"
#include "platform/instance_channel.h"
#include "platform/services.h"
#include "ui/frm_main.h"
#include "ui/qt_platform.h"

namespace {

// Development aid: with MORVALEN_SCREENSHOT=<file.png> the program saves the whole screen once
// its window is up, then quits. Used under xvfb-run to look at what the window really shows.
void ScheduleScreenshot(QApplication& app) {
  const QString path = qEnvironmentVariable("MORVALEN_SCREENSHOT");
  if (path.isEmpty()) return;
  QTimer::singleShot(1000, &app, [path] {
    if (QScreen* screen = QGuiApplication::primaryScreen()) screen->grabWindow(0).save(path);
    QApplication::quit();
  });
}

}  // namespace

int main(int argc, char* argv[]) {
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
  const mv::CommandLine commandLine = mv::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  const std::vector<std::string>& files = commandLine.files;

  mv::ui::InstallQtPlatform();
  // The first instance receives messages from later ones (handled once the shell takes them).
  const bool additional = !mv::platform::Current<mv::platform::IInstanceChannel>().Listen([](std::vector<std::uint8_t>) {});
  mv::ProgramRun program;
  mv::ProgramRun::Options runOptions;
  runOptions.additionalInstance = additional;
  runOptions.readConfiguration = !commandLine.noConfiguration;
  runOptions.appFolder = mv::platform::AppFolder().string();
  program.Start(runOptions);
  int exitCode = 0;
  {
    mv::ui::TfrmMain frmMain;
    frmMain.show();
    program.WindowShown(static_cast<std::uint64_t>(frmMain.winId()), frmMain.devicePixelRatioF() > 1.0);
    // From the event loop, so the window is up before the first file's messages or progress.
    for (const std::string& error : commandLine.errors) {
      QTimer::singleShot(0, &frmMain, [error] { mv::ShowError(error); });
    }
    if (!files.empty()) {
      QTimer::singleShot(0, &frmMain, [&frmMain, files] { frmMain.OpenFiles(files); });
    }
    ScheduleScreenshot(app);
    exitCode = QApplication::exec();
  }
  program.Finish();
  mv::ui::UninstallQtPlatform();
  return exitCode;
}
