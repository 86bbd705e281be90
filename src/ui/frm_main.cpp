#include "ui/frm_main.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>

namespace mv::ui {
namespace {

const QString kProgramName = QStringLiteral("Morvalen");
const QString kVersion = QStringLiteral(MV_VERSION);

}  // namespace

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(kProgramName + QLatin1Char(' ') + kVersion);
  setCentralWidget(new QWidget(this));  // the dataset pages come here
  BuildMenus();

  // A permanent label rather than showMessage(): menu hints replace a message for good, while
  // a label comes back as soon as the hint is gone.
  m_status = new QLabel(QStringLiteral("Готово"), this);  // "Ready"
  m_status->setObjectName(QStringLiteral("lblStatus"));
  statusBar()->addWidget(m_status, 1);

  resize(900, 600);
}

void TfrmMain::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("Файл"));
  file->setObjectName(QStringLiteral("mnuFile"));
  const auto addFileAction = [file](const char* name, const QString& text) {
    QAction* action = file->addAction(text);
    action->setObjectName(QLatin1String(name));
    return action;
  };
  // The platform's keys for the standard commands, with the common one where it has none
  // (several key schemes leave "Save as" without a key).
  const auto keys = [](QKeySequence::StandardKey standard, const QKeySequence& usual) {
    QList<QKeySequence> list = QKeySequence::keyBindings(standard);
    if (list.isEmpty()) list << usual;
    return list;
  };
  // Datasets cannot be opened yet: the commands are shown disabled.
  const struct {
    const char* name;
    QString text;
    QList<QKeySequence> keys;
  } kDatasetCommands[] = {
      {"actNew", QStringLiteral("Создать"), keys(QKeySequence::New, Qt::CTRL | Qt::Key_N)},
      {"actOpen", QStringLiteral("Открыть..."), keys(QKeySequence::Open, Qt::CTRL | Qt::Key_O)},
      {"actSave", QStringLiteral("Сохранить"), keys(QKeySequence::Save, Qt::CTRL | Qt::Key_S)},
      {"actSaveAs", QStringLiteral("Сохранить как..."),
       keys(QKeySequence::SaveAs, Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
      {"actClose", QStringLiteral("Закрыть"), keys(QKeySequence::Close, Qt::CTRL | Qt::Key_W)},
  };
  for (const auto& command : kDatasetCommands) {
    QAction* action = addFileAction(command.name, command.text);
    action->setShortcuts(command.keys);
    action->setEnabled(false);
  }
  file->addSeparator();
  QAction* exit = addFileAction("actExit", QStringLiteral("Выход"));  // "Exit"
  exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(exit, &QAction::triggered, this, &QWidget::close);

  QMenu* help = menuBar()->addMenu(QStringLiteral("Справка"));
  help->setObjectName(QStringLiteral("mnuHelp"));
  QAction* about = help->addAction(QStringLiteral("О программе..."));
  about->setObjectName(QStringLiteral("actAbout"));
  connect(about, &QAction::triggered, this, &TfrmMain::ShowAbout);
}

void TfrmMain::ShowAbout() {
  QMessageBox::about(this, QStringLiteral("О программе"),
                     kProgramName + QStringLiteral(" ") + kVersion +
                         QStringLiteral("\nСтатистическое управление качеством"));
}

}  // namespace mv::ui
