#include "ui/frm_main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QProxyStyle>
#include <QShortcut>
#include <QUrl>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/dataset_outline.h"
#include "app/dataset_history.h"
#include "ui/dataset_history_window.h"
#include "ui/dataset_window.h"
#include "ui/quality_calculator_dialog.h"
#include "ui/settings_window.h"

namespace mv::ui {
namespace {

const QString kProgramName = QStringLiteral("Morvalen");
const QString kVersion = QStringLiteral(MV_VERSION);
const QString kReady = QStringLiteral("Готово");  // "Ready"

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("frmMain"));
  m_shell.SetView(this);
  BuildMenus();

  m_pages = new QTabWidget(this);
  m_pages->setObjectName(QStringLiteral("tabPages"));
  m_pages->setDocumentMode(true);
  m_pages->setTabsClosable(true);
  BuildListPage();
  connect(m_pages, &QTabWidget::currentChanged, this, [this](int page) {
    if (page > 0) m_shell.Datasets().SetCurrent(page - 1);
    m_shownCurrent = m_shell.Datasets().CurrentIndex();
    ShowCurrent();
  });
  connect(m_pages, &QTabWidget::tabCloseRequested, this, [this](int page) {
    if (const OpenDataset* entry = m_shell.Datasets().Entry(page - 1)) m_shell.CloseDataset(entry->slot);
  });
  setCentralWidget(m_pages);

  // Permanent labels rather than showMessage(): menu hints replace a message for good, while
  // a label comes back as soon as the hint is gone.
  m_status = new QLabel(kReady, this);
  m_status->setObjectName(QStringLiteral("lblStatus"));
  statusBar()->addWidget(m_status, 1);
  m_contents = new QLabel(this);
  m_contents->setObjectName(QStringLiteral("lblContents"));
  statusBar()->addPermanentWidget(m_contents);

  // Files handed over by other instances wait in the shell's queue until it is idle.
  m_idle = new QTimer(this);
  m_idle->setObjectName(QStringLiteral("tmrIdle"));
  connect(m_idle, &QTimer::timeout, this, [this] { m_shell.OpenQueued(); });
  m_idle->start(kIdleIntervalMs);

  setAcceptDrops(true);
  Refresh();
  resize(1000, 650);
}

TfrmMain::~TfrmMain() {
  // The windows leave the shell's list of values in edit before the shell goes.
  for (auto& [slot, entry] : m_windows) {
    entry.window->Detach();
    delete entry.window;
  }
  m_windows.clear();
  m_shell.SetView(nullptr);
}

namespace {

// Alt pressed and released alone hands the keyboard to the menu bar (its first menu marked,
// the letters of the mnemonics and the arrows then work), whatever the style's own habit.
class MenuKeysStyle final : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    if (hint == SH_MenuBar_AltKeyNavigation || hint == SH_UnderlineShortcut) return 1;
    return QProxyStyle::styleHint(hint, option, widget, data);
  }
};

}  // namespace

// Every menu and command has its mnemonic (unique within its menu); F10 opens the first menu.
void TfrmMain::BuildMenus() {
  auto* menuKeys = new MenuKeysStyle;
  menuKeys->setParent(menuBar());
  menuBar()->setStyle(menuKeys);
  auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
  f10->setObjectName(QStringLiteral("keyMenu"));
  connect(f10, &QShortcut::activated, this, [this] {
    if (!menuBar()->actions().isEmpty()) menuBar()->setActiveAction(menuBar()->actions().first());
  });

  QMenu* file = menuBar()->addMenu(QStringLiteral("&Файл"));
  file->setObjectName(QStringLiteral("mnuFile"));
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
    bool separatorAfter;
  } kCommands[] = {
      {"actNew", QStringLiteral("&Создать набор данных SPC"), keys(QKeySequence::New, Qt::CTRL | Qt::Key_N),
       [this] { m_shell.NewDataset(DatasetKind::Spc); }, false, false},
      {"actNewMsa", QStringLiteral("Создать набор &данных MSA"), {}, nullptr, false, false},
      {"actOpen", QStringLiteral("&Открыть..."), keys(QKeySequence::Open, Qt::CTRL | Qt::Key_O),
       [this] { m_shell.OpenWithDialog(); }, false, false},
      {"actHistory", QStringLiteral("&История наборов данных..."), {Qt::CTRL | Qt::Key_H}, [this] { OpenFromHistory(); }, false, true},
      {"actSave", QStringLiteral("Со&хранить"), keys(QKeySequence::Save, Qt::CTRL | Qt::Key_S),
       [this] { SaveCurrent(false); }, true, false},
      {"actSaveAs", QStringLiteral("Сохранить &как..."), keys(QKeySequence::SaveAs, Qt::CTRL | Qt::SHIFT | Qt::Key_S),
       [this] { SaveCurrent(true); }, true, false},
      {"actClose", QStringLiteral("&Закрыть"), keys(QKeySequence::Close, Qt::CTRL | Qt::Key_W),
       [this] { CurrentSlotCommand([this](int slot) { m_shell.CloseDataset(slot); }); }, true, true},
      {"actPassword", QStringLiteral("&Пароль набора данных..."), {},
       [this] {
         TDatasetSPC* ds = m_shell.Datasets().Current();
         // The protection settings of a protected dataset open only with its password.
         if (ds && (ds->passwordHash == 0 || ds->unlocked ||
                    mv::Shell::AskPassword(*ds, "настройкам защиты набора"))) {
           mv::Shell::SetPassword(*ds);
         }
         Refresh();
       },
       true, true},
  };
  for (const auto& command : kCommands) {
    QAction* action = file->addAction(command.text);
    action->setObjectName(QLatin1String(command.name));
    action->setShortcuts(command.keys);
    if (!command.run) {
      action->setEnabled(false);
    } else {
      connect(action, &QAction::triggered, this, command.run);
      if (command.needsDataset) m_datasetCommands.push_back(action);
    }
    if (command.separatorAfter) file->addSeparator();
  }
  QAction* exit = file->addAction(QStringLiteral("В&ыход"));  // "Exit"
  exit->setObjectName(QStringLiteral("actExit"));
  exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(exit, &QAction::triggered, this, &QWidget::close);

  QMenu* tools = menuBar()->addMenu(QStringLiteral("С&ервис"));
  tools->setObjectName(QStringLiteral("mnuTools"));
  QAction* calculator = tools->addAction(QStringLiteral("&Калькулятор качества"));
  calculator->setObjectName(QStringLiteral("actQualityCalculator"));
  connect(calculator, &QAction::triggered, this, [this] { QualityCalculatorDialog::Open(this); });
  tools->addSeparator();
  m_settingsCommand = tools->addAction(QStringLiteral("&Настройки..."));
  m_settingsCommand->setObjectName(QStringLiteral("actSettings"));
  m_settingsCommand->setEnabled(false);
  connect(m_settingsCommand, &QAction::triggered, this, [this] { OpenSettings(); });

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Справка"));
  help->setObjectName(QStringLiteral("mnuHelp"));
  QAction* about = help->addAction(QStringLiteral("&О программе..."));
  about->setObjectName(QStringLiteral("actAbout"));
  connect(about, &QAction::triggered, this, &TfrmMain::ShowAbout);
}

void TfrmMain::BuildListPage() {
  auto* page = new QWidget(m_pages);
  page->setObjectName(QStringLiteral("pgDatasetList"));
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(12, 10, 12, 10);
  m_list = new QTableWidget(0, 4, page);
  m_list->setObjectName(QStringLiteral("tblDatasets"));
  m_list->setHorizontalHeaderLabels({QStringLiteral(" #"), QStringLiteral(" Статус"), QStringLiteral(" Окно"),
                                     QStringLiteral(" Имя файла")});
  m_list->verticalHeader()->hide();
  m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list->setAlternatingRowColors(true);
  for (int c = 0; c < 3; ++c) m_list->horizontalHeader()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
  m_list->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
  // A row opens its dataset's page (double click or Enter).
  connect(m_list, &QTableWidget::cellActivated, this, [this](int row, int) { m_pages->setCurrentIndex(row + 1); });
  layout->addWidget(m_list);
  m_emptyHint = new QLabel(QStringLiteral("Откройте файл данных: Файл → Открыть... (Ctrl+O)"), page);
  m_emptyHint->setObjectName(QStringLiteral("lblEmptyHint"));
  m_emptyHint->setEnabled(false);
  layout->addWidget(m_emptyHint);
  m_pages->addTab(page, QStringLiteral("Наборы данных"));
  // The list page stays: no close button on its tab.
  m_pages->tabBar()->setTabButton(0, QTabBar::RightSide, nullptr);
  m_pages->tabBar()->setTabButton(0, QTabBar::LeftSide, nullptr);
}

void TfrmMain::SetSettingsSources(SettingsSources sources) {
  m_settings = std::move(sources);
  m_settingsCommand->setEnabled(m_settings.config && m_settings.sounds && m_settings.gages && m_settings.profiles);
}

bool TfrmMain::OpenSettings(int page) {
  if (!m_settingsCommand->isEnabled()) return false;
  SettingsWindow window(*m_settings.config, *m_settings.sounds, *m_settings.gages, *m_settings.profiles,
                        m_settings.options, this);
  window.ShowPage(page);
  if (window.exec() != QDialog::Accepted) return false;
  // What the shell took from the configuration at the start.
  m_shell.dataFolder = m_settings.config->Folder(ConfigFile::kDataFolder);
  autoSaveAtEnd = m_settings.config->autoSaveDatasets;
  return true;
}

void TfrmMain::OpenFiles(const std::vector<std::string>& fileNames) {
  for (const std::string& fileName : fileNames) m_shell.OpenDatasetFile(fileName, kFromCommandLine);
}

void TfrmMain::OpenFromHistory() {
  DatasetHistory* history = m_shell.history;
  if (!history) return;
  const std::optional<int> chosen = ShowDatasetHistory(*history, this);
  if (chosen && history->At(*chosen)) m_shell.OpenDatasetFile(history->At(*chosen)->Location(), kFromHistory);
}

void TfrmMain::CurrentSlotCommand(const std::function<void(int slot)>& command) {
  const OpenDataset* entry = m_shell.Datasets().Entry(m_shell.Datasets().CurrentIndex());
  if (entry) command(entry->slot);
}

void TfrmMain::StatusChanged(const std::string& text) { m_status->setText(text.empty() ? kReady : Q(text)); }

void TfrmMain::DatasetsChanged() { Refresh(); }

void TfrmMain::BringToFront() {
  if (isMinimized()) showNormal();
  raise();
  activateWindow();  // the window manager may refuse; the file opens anyway
}

void TfrmMain::MarkTitle(const std::string& suffix) {
  m_titleSuffix = suffix;
  ShowCurrent();
}

void TfrmMain::EndRun() { QTimer::singleShot(0, this, &QWidget::close); }

bool TfrmMain::ModalWindowUp() const { return QApplication::activeModalWidget() != nullptr; }

void TfrmMain::closeEvent(QCloseEvent* event) {
  const std::optional<std::vector<std::string>> files = m_shell.EndRun(autoSaveAtEnd);
  if (!files) {
    event->ignore();
    return;
  }
  m_idle->stop();
  if (onRunEnding) onRunEnding(*files);
  event->accept();
}

namespace {

// The local files among dropped URLs.
std::vector<std::string> DroppedFiles(const QMimeData* data) {
  std::vector<std::string> files;
  if (!data || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
  }
  return files;
}

}  // namespace

void TfrmMain::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFiles(event->mimeData()).empty()) event->acceptProposedAction();
}

void TfrmMain::dropEvent(QDropEvent* event) {
  const std::vector<std::string> files = DroppedFiles(event->mimeData());
  if (files.empty()) return;
  event->acceptProposedAction();
  // Opened from the event loop: the drag source is not kept waiting for messages or questions.
  QTimer::singleShot(0, this, [this, files] {
    for (const std::string& file : files) m_shell.OpenDatasetFile(file, kFromDialog);
  });
}

TfrmDatasetSPC* TfrmMain::DatasetWindow(int slot) const {
  const auto found = m_windows.find(slot);
  return found == m_windows.end() ? nullptr : found->second.window;
}

TfrmDatasetSPC* TfrmMain::MakeDatasetWindow(int index) {
  OpenDatasetList& list = m_shell.Datasets();
  const int slot = list.Entry(index)->slot;
  EditContext context;
  context.slot = slot;
  context.config = m_settings.config;
  context.profiles = m_settings.profiles;
  context.gages = m_settings.gages;
  context.pending = &m_shell.Edits();
  context.saveDataset = [this, slot] {
    if (TfrmDatasetSPC* window = DatasetWindow(slot)) window->TakeFields();
    return m_shell.SaveDataset(slot, false);
  };
  TfrmDatasetSPC::Options options;
  options.debugMode = m_shell.debugMode;
  options.filterNames = filterNameHistory;
  options.filterValues = filterValueHistory;
  auto* window = new TfrmDatasetSPC(*list.At(index), std::move(context), options, m_pages);
  connect(window, &TfrmDatasetSPC::DatasetChanged, this, [this] { Refresh(); });
  connect(window, &TfrmDatasetSPC::DerivedDataChanged, this, [this, slot] { Q_EMIT DatasetDerivedDataChanged(slot); });
  return window;
}

void TfrmMain::SaveCurrent(bool askName) {
  CurrentSlotCommand([this, askName](int slot) {
    TfrmDatasetSPC* window = DatasetWindow(slot);
    if (window && !askName) {
      window->Save();
      return;
    }
    if (window) window->TakeFields();
    if (m_shell.SaveDataset(slot, askName) && (window = DatasetWindow(slot))) {
      window->Logic().Saved();
      window->RefreshState();
    }
  });
}

void TfrmMain::Refresh() {
  OpenDatasetList& list = m_shell.Datasets();
  {
    // Re-ordering the pages moves the tab widget's current page; the list's current one counts.
    const bool listInFront = m_pages->currentIndex() == 0;
    const QSignalBlocker blocker(m_pages);
    // A dataset keeps its window while it is open; the windows of closed ones go.
    std::map<int, WindowEntry> windows;
    for (int i = 0; i < list.Count(); ++i) {
      const int slot = list.Entry(i)->slot;
      auto found = m_windows.find(slot);
      if (found != m_windows.end() && found->second.dataset == list.At(i)) {
        windows[slot] = found->second;
        m_windows.erase(found);
      } else {
        windows[slot] = {MakeDatasetWindow(i), list.At(i)};
      }
    }
    for (auto& [slot, entry] : m_windows) {
      entry.window->Detach();
      entry.window->hide();
      entry.window->deleteLater();
    }
    m_windows = std::move(windows);
    // The pages are put in again only when the datasets or their order changed: a page that
    // stays keeps the focus it has.
    bool samePages = m_pages->count() == list.Count() + 1;
    for (int i = 0; samePages && i < list.Count(); ++i) {
      samePages = m_pages->widget(i + 1) == m_windows[list.Entry(i)->slot].window;
    }
    if (!samePages) {
      while (m_pages->count() > 1) m_pages->removeTab(1);
      for (int i = 0; i < list.Count(); ++i) m_pages->addTab(m_windows[list.Entry(i)->slot].window, QString());
    }
    m_list->setRowCount(list.Count());
    for (int i = 0; i < list.Count(); ++i) {
      const std::string name = list.DisplayName(i);
      m_windows[list.Entry(i)->slot].window->RefreshState();
      m_pages->setTabText(i + 1, Q(DatasetTabText(name)));
      m_pages->setTabToolTip(i + 1, Q(name));
      m_pages->tabBar()->setTabTextColor(i + 1, QColor());
      const QString cells[] = {QString::number(list.Entry(i)->slot), Q(list.StatusText(i)),
                               Q(DatasetTabText(name)), Q(name)};
      for (int c = 0; c < 4; ++c) m_list->setItem(i, c, new QTableWidgetItem(cells[c]));
      if (list.At(i)->IsExample()) {
        m_pages->tabBar()->setTabTextColor(i + 1, ExampleColour());
        m_list->item(i, 2)->setForeground(ExampleColour());
        m_list->item(i, 2)->setToolTip(Q(DatasetTypeText(*list.At(i))));
      }
    }
    // The list page stays in front unless another dataset became current or one came or went.
    const bool keepList = listInFront && list.CurrentIndex() == m_shownCurrent &&
                          list.Count() == m_shownCount;
    m_pages->setCurrentIndex(keepList ? 0 : list.CurrentIndex() + 1);
    m_shownCurrent = list.CurrentIndex();
    m_shownCount = list.Count();
  }
  ShowCurrent();
}

void TfrmMain::ShowCurrent() {
  const OpenDatasetList& list = m_shell.Datasets();
  const int page = m_pages->currentIndex();
  const TDatasetSPC* ds = page > 0 ? list.At(page - 1) : nullptr;
  setWindowTitle(Q(MainWindowTitle(ds ? list.DisplayName(page - 1) : std::string())) + Q(m_titleSuffix));
  m_contents->setText(ds ? Q(ds->ContentsText()) : QString());
  for (QAction* action : m_datasetCommands) action->setEnabled(ds != nullptr);
  m_emptyHint->setVisible(list.Count() == 0);
}

void TfrmMain::ShowAbout() {
  QMessageBox::about(this, QStringLiteral("О программе"),
                     kProgramName + QStringLiteral(" ") + kVersion +
                         QStringLiteral("\nСтатистическое управление качеством"));
}

}  // namespace mv::ui
