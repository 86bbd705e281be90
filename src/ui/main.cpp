// Morvalen: the desktop program.

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTimer>
#include <QTranslator>

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

  mv::ui::InstallQtPlatform();
  int exitCode = 0;
  {
    // The remaining arguments (data files to open) are taken up by the start-up logic later.
    mv::ui::TfrmMain frmMain;
    frmMain.show();
    ScheduleScreenshot(app);
    exitCode = QApplication::exec();
  }
  mv::ui::UninstallQtPlatform();
  return exitCode;
}
