#include "ui/frm_main.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

#include "app/dataset_outline.h"

namespace mv::ui {
namespace {

const QString kProgramName = QStringLiteral("Morvalen");
const QString kVersion = QStringLiteral(MV_VERSION);
const QString kReady = QStringLiteral("Готово");  // "Ready"

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("frmMain"));
  BuildMenus();
  BuildPage();

  // A permanent label rather than showMessage(): menu hints replace a message for good, while
  // a label comes back as soon as the hint is gone.
  m_status = new QLabel(kReady, this);
  m_status->setObjectName(QStringLiteral("lblStatus"));
  statusBar()->addWidget(m_status, 1);

  Refresh();
  resize(900, 600);
}

TfrmMain::~TfrmMain() = default;

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
  const struct {
    const char* name;
    QString text;
    QList<QKeySequence> keys;
    std::function<void()> run;  // nullptr: not available yet
    bool needsDataset;
  } kDatasetCommands[] = {
      {"actNew", QStringLiteral("Создать"), keys(QKeySequence::New, Qt::CTRL | Qt::Key_N), nullptr, false},
      {"actOpen", QStringLiteral("Открыть..."), keys(QKeySequence::Open, Qt::CTRL | Qt::Key_O),
       [this] {
         m_datasets.OpenWithDialog();
         Refresh();
       },
       false},
      {"actSave", QStringLiteral("Сохранить"), keys(QKeySequence::Save, Qt::CTRL | Qt::Key_S),
       [this] { SaveCurrent(false); }, true},
      {"actSaveAs", QStringLiteral("Сохранить как..."), keys(QKeySequence::SaveAs, Qt::CTRL | Qt::SHIFT | Qt::Key_S),
       [this] { SaveCurrent(true); }, true},
      {"actClose", QStringLiteral("Закрыть"), keys(QKeySequence::Close, Qt::CTRL | Qt::Key_W),
       [this] { CloseDataset(m_datasets.CurrentIndex()); }, true},
  };
  for (const auto& command : kDatasetCommands) {
    QAction* action = addFileAction(command.name, command.text);
    action->setShortcuts(command.keys);
    if (!command.run) {
      action->setEnabled(false);
      continue;
    }
    connect(action, &QAction::triggered, this, command.run);
    if (command.needsDataset) m_datasetCommands.push_back(action);
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

void TfrmMain::BuildPage() {
  auto* page = new QWidget(this);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  m_tabs = new QTabBar(page);
  m_tabs->setObjectName(QStringLiteral("tabDatasets"));
  m_tabs->setTabsClosable(true);
  m_tabs->setExpanding(false);
  m_tabs->setDocumentMode(true);
  connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
    m_datasets.SetCurrent(index);
    ShowCurrent();
  });
  connect(m_tabs, &QTabBar::tabCloseRequested, this, [this](int index) { CloseDataset(index); });
  layout->addWidget(m_tabs);

  m_tree = new QTreeWidget(page);
  m_tree->setObjectName(QStringLiteral("treDataset"));
  m_tree->setHeaderHidden(true);
  m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
  layout->addWidget(m_tree, 1);

  setCentralWidget(page);
}

void TfrmMain::OpenFiles(const std::vector<std::string>& fileNames) {
  for (const std::string& fileName : fileNames) {
    m_datasets.Open(fileName, OpenDatasets::kFromCommandLine);
    Refresh();  // each file shows as soon as it is read
  }
}

void TfrmMain::SaveCurrent(bool askName) {
  m_datasets.Save(m_datasets.CurrentIndex(), askName);
  Refresh();  // the file name may have changed
}

void TfrmMain::CloseDataset(int index) {
  m_datasets.Close(index);
  Refresh();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  const bool allClosed = m_datasets.CloseAll();
  Refresh();
  if (allClosed) {
    event->accept();
  } else {
    event->ignore();
  }
}

void TfrmMain::Refresh() {
  {
    // Rebuilding the tabs moves the tab bar's current index; the list's current one counts.
    const QSignalBlocker blocker(m_tabs);
    while (m_tabs->count() > m_datasets.Count()) m_tabs->removeTab(m_tabs->count() - 1);
    while (m_tabs->count() < m_datasets.Count()) m_tabs->addTab(QString());
    for (int i = 0; i < m_datasets.Count(); ++i) {
      const TDatasetSPC& ds = *m_datasets.At(i);
      m_tabs->setTabText(i, Q(DatasetTabText(ds)));
      m_tabs->setTabToolTip(i, Q(ds.fileName));
    }
    m_tabs->setCurrentIndex(m_datasets.CurrentIndex());
  }
  m_tabs->setVisible(m_datasets.Count() > 0);
  ShowCurrent();
}

void TfrmMain::ShowCurrent() {
  const TDatasetSPC* ds = m_datasets.Current();
  setWindowTitle(Q(MainWindowTitle(ds)));
  m_status->setText(ds ? Q(ds->ContentsText()) : kReady);
  // What the last operation had to say ("already open", "saved") shows for a while over it.
  if (!m_datasets.StatusLine().empty()) statusBar()->showMessage(Q(m_datasets.StatusLine()), 5000);
  for (QAction* action : m_datasetCommands) action->setEnabled(ds != nullptr);

  m_tree->clear();
  if (!ds) return;
  const auto outline = DatasetOutline(*ds);
  int columns = 1;
  for (const OutlineSection& section : outline) {
    for (const auto& row : section.rows) columns = std::max(columns, static_cast<int>(row.size()));
  }
  m_tree->setColumnCount(columns);
  for (const OutlineSection& section : outline) {
    auto* top = new QTreeWidgetItem(m_tree, QStringList{Q(section.title)});
    top->setFirstColumnSpanned(true);
    for (const auto& row : section.rows) {
      QStringList cells;
      for (const std::string& cell : row) cells << Q(cell);
      new QTreeWidgetItem(top, cells);
    }
    top->setExpanded(true);
  }
  for (int c = 0; c < columns; ++c) m_tree->resizeColumnToContents(c);
}

void TfrmMain::ShowAbout() {
  QMessageBox::about(this, QStringLiteral("О программе"),
                     kProgramName + QStringLiteral(" ") + kVersion +
                         QStringLiteral("\nСтатистическое управление качеством"));
}

}  // namespace mv::ui
