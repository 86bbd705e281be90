#include "ui/frm_main.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTabBar>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QProgressDialog>
#include <QUrl>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include <filesystem>

#include "app/dataset_outline.h"
#include "app/dataset_window_logic.h"
#include "app/instance_message.h"
#include "app/password.h"
#include "platform/prompts.h"
#include "spc/spc_file.h"
#include "ui/dataset_window.h"
#include "ui/qt_message_windows.h"
#include "ui/qt_progress.h"
#include "ui/qt_prompts.h"
#include "support/bytes.h"
#include "support/fake_platform.h"
#include "support/sample_dataset.h"
#include "ui_test_app.h"

namespace mv {
namespace {

class FrmMain : public ::testing::Test {
 protected:
  void SetUp() override { test::UiApp(); }
};

// An action's text as shown, without its mnemonic mark.
QString Shown(const QAction& action) { return QString(action.text()).remove(QLatin1Char('&')); }

QStringList EntriesOf(const QMenu& menu) {
  QStringList entries;
  for (const QAction* action : menu.actions()) entries << (action->isSeparator() ? QStringLiteral("-") : Shown(*action));
  return entries;
}

TEST_F(FrmMain, TitleNamesProgramAndVersion) {
  ui::TfrmMain frmMain;
  EXPECT_EQ(frmMain.windowTitle(), QStringLiteral("Morvalen " MV_VERSION));
  auto* status = frmMain.statusBar()->findChild<QLabel*>(QStringLiteral("lblStatus"));
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status->text(), QStringLiteral("Готово"));
}

TEST_F(FrmMain, MenusOfferOnlyWhatWorks) {
  ui::TfrmMain frmMain;
  QStringList titles;
  for (const QAction* action : frmMain.menuBar()->actions()) titles << Shown(*action);
  EXPECT_EQ(titles, QStringList({"Файл", "Сервис", "Справка"}));

  auto* file = frmMain.findChild<QMenu*>(QStringLiteral("mnuFile"));
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(EntriesOf(*file),
            QStringList({"Создать набор данных SPC", "Создать набор данных MSA", "Открыть...",
                         "История наборов данных...", "-", "Сохранить",
                         "Сохранить как...", "Закрыть", "-", "Пароль набора данных...", "-", "Выход"}));
  // With no dataset open only creating, opening and leaving make sense; MSA datasets come later.
  const QStringList enabled = {"Создать набор данных SPC", "Открыть...", "История наборов данных...", "Выход"};
  const QStringList withoutKey = {"Создать набор данных MSA", "Пароль набора данных..."};
  for (const QAction* action : file->actions()) {
    if (action->isSeparator()) continue;
    SCOPED_TRACE(action->text().toStdString());
    EXPECT_EQ(action->isEnabled(), enabled.contains(Shown(*action)));
    EXPECT_EQ(action->shortcut().isEmpty(), withoutKey.contains(Shown(*action)));
  }

  auto* help = frmMain.findChild<QMenu*>(QStringLiteral("mnuHelp"));
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(EntriesOf(*help), QStringList({"О программе..."}));
}

TEST_F(FrmMain, SettingsCommandOpensTheSettingsOnceTheRunsListsAreGiven) {
  test::FakePlatform fake;
  test::TempFolder dir;
  TEventSoundSet sounds;
  TInputProfileSet profiles;
  TGageSet gages;
  ConfigFile config{dir.path(), sounds, profiles};
  ui::TfrmMain frmMain;
  auto* settings = frmMain.findChild<QAction*>(QStringLiteral("actSettings"));
  ASSERT_NE(settings, nullptr);
  EXPECT_EQ(EntriesOf(*frmMain.findChild<QMenu*>(QStringLiteral("mnuTools"))),
            QStringList({"Калькулятор качества", "-", "Настройки..."}));
  EXPECT_FALSE(settings->isEnabled());
  frmMain.SetSettingsSources({&config, &sounds, &gages, &profiles, {}});
  EXPECT_TRUE(settings->isEnabled());
  test::WhenModal([](QWidget* window) {
    EXPECT_EQ(window->windowTitle(), "Настройки системы Morvalen");
    window->findChild<QCheckBox*>(QStringLiteral("chkSwitch4"))->setChecked(true);
    QTest::keyClick(window, Qt::Key_Return);
  });
  settings->trigger();
  EXPECT_TRUE(config.autoSaveDatasets);
  EXPECT_TRUE(frmMain.autoSaveAtEnd);
}

// The menu bar and every menu: each entry has one mnemonic, a letter no other entry beside it
// uses.
TEST_F(FrmMain, EveryMenuAndCommandHasItsOwnMnemonic) {
  ui::TfrmMain frmMain;
  std::vector<std::pair<QString, QList<QAction*>>> groups{{"menu bar", frmMain.menuBar()->actions()}};
  for (QAction* title : frmMain.menuBar()->actions()) {
    ASSERT_NE(title->menu(), nullptr);
    groups.emplace_back(Shown(*title), title->menu()->actions());
  }
  for (const auto& [group, actions] : groups) {
    SCOPED_TRACE(group.toStdString());
    QString letters;
    for (const QAction* action : actions) {
      if (action->isSeparator()) continue;
      const QString text = action->text();
      const qsizetype mark = text.indexOf(QLatin1Char('&'));
      ASSERT_TRUE(mark >= 0 && mark + 1 < text.size() && text.count(QLatin1Char('&')) == 1) << text.toStdString();
      const QChar letter = text[mark + 1].toLower();
      EXPECT_TRUE(letter.isLetter()) << text.toStdString();
      EXPECT_FALSE(letters.contains(letter)) << text.toStdString();
      letters += letter;
    }
  }
}

// Shows the window and waits until it has the keyboard.
bool ShownActive(QWidget& window) {
  window.show();
  window.activateWindow();
  return QTest::qWaitForWindowActive(&window);
}

// A key press as the keyboard delivers it, with the character it types (mnemonics are matched
// by the character).
void Key(QWidget* to, QChar typed, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  ASSERT_NE(to, nullptr);
  QTest::sendKeyEvent(QTest::Click, to, static_cast<Qt::Key>(typed.toUpper().unicode()),
                      modifiers & Qt::AltModifier ? QString() : QString(typed), modifiers);
}

void Key(QWidget* to, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  ASSERT_NE(to, nullptr);
  QTest::keyClick(to, key, modifiers);
}

// Where the keys go: the open menu, else the widget with the focus.
QWidget* KeyTarget() {
  if (QWidget* popup = QApplication::activePopupWidget()) return popup;
  return QApplication::focusWidget();
}

// The quality calculator and "О программе" without a mouse: Alt or F10 reach the menu bar, the
// mnemonics and the arrows do the rest.
TEST_F(FrmMain, MenusWorkFromTheKeyboard) {
  const struct {
    const char* how;
    std::function<void(QWidget& window)> keys;
    const char* opens;  // the caption of the modal window the last key opens
  } kCases[] = {
      {"Alt alone, then the mnemonics",
       [](QWidget& window) {
         Key(&window, Qt::Key_Alt, Qt::AltModifier);
         Key(KeyTarget(), QChar(u'е'));
         Key(KeyTarget(), QChar(u'к'));
       },
       "Калькулятор качества"},
      {"Alt with the menu's mnemonic",
       [](QWidget& window) {
         Key(&window, QChar(u'с'), Qt::AltModifier);
         Key(KeyTarget(), QChar(u'о'));
       },
       "О программе"},
      {"F10 and the arrows",
       [](QWidget& window) {
         Key(&window, Qt::Key_F10);
         Key(KeyTarget(), Qt::Key_Right);
         Key(KeyTarget(), Qt::Key_Right);
         Key(KeyTarget(), Qt::Key_Return);
       },
       "О программе"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.how);
    ui::TfrmMain frmMain;
    ASSERT_TRUE(ShownActive(frmMain));
    QString opened = QStringLiteral("nothing");
    test::WhenModal([&](QWidget* modal) {
      opened = modal->windowTitle();
      modal->close();
    });
    c.keys(frmMain);
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened != QStringLiteral("nothing"); }, 6000));
    EXPECT_EQ(opened, QString::fromUtf8(c.opens));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  }
}

QStringList Row(const QTableWidget& table, int row) {
  QStringList cells;
  for (int c = 0; c < table.columnCount(); ++c) cells << (table.item(row, c) ? table.item(row, c)->text() : QString());
  return cells;
}

QStringList Headings(const QTableWidget& table) {
  QStringList cells;
  for (int c = 0; c < table.columnCount(); ++c) cells << table.horizontalHeaderItem(c)->text();
  return cells;
}

// Opening through the menu shows the dataset on its page; closing takes it away again.
TEST_F(FrmMain, ShowsTheListOfDatasetsAndAPagePerDataset) {
  test::FakePlatform fake;
  test::PictureFolder dir;
  const std::string first = dir.Path("вал.mvl");
  const std::string second = dir.Path("втулка.mvl");
  ASSERT_TRUE(test::WriteSampleDataset(first, "Токарная обработка"));
  ASSERT_TRUE(test::WriteSampleDataset(second, "Расточка"));

  ui::TfrmMain frmMain;
  auto* pages = frmMain.findChild<QTabWidget*>(QStringLiteral("tabPages"));
  auto* list = frmMain.findChild<QTableWidget*>(QStringLiteral("tblDatasets"));
  auto* contents = frmMain.statusBar()->findChild<QLabel*>(QStringLiteral("lblContents"));
  ASSERT_TRUE(pages && list && contents);
  EXPECT_EQ(Headings(*list), QStringList({" #", " Статус", " Окно", " Имя файла"}));
  const auto action = [&](const char* name) { return frmMain.findChild<QAction*>(QLatin1String(name)); };

  fake.fileDialogs.choices = {first};
  action("actOpen")->trigger();
  ASSERT_EQ(fake.fileDialogs.asked.size(), 1u);
  EXPECT_EQ(fake.fileDialogs.asked[0].title, "Открыть файл данных");
  ASSERT_EQ(pages->count(), 2);
  EXPECT_EQ(pages->currentIndex(), 1);
  EXPECT_EQ(frmMain.windowTitle(), QString::fromStdString("Morvalen " MV_VERSION " - " + first));
  EXPECT_EQ(contents->text(), QStringLiteral("3 параметра, 2 (колич.), 1 (альт.), процесс \"Токарная обработка\""));
  auto* page = qobject_cast<ui::TfrmDatasetSPC*>(pages->currentWidget());
  ASSERT_TRUE(page);
  auto* nameField = page->findChild<QLineEdit*>(QStringLiteral("edName"));
  ASSERT_TRUE(nameField);
  EXPECT_EQ(nameField->text(), QStringLiteral("Токарная обработка"));
  // Every row as the window's logic gives it, on the page of its kind.
  const DatasetWindowLogic& logic = page->Logic();
  for (const DataKind kind : {DataKind::Var, DataKind::Attr}) {
    const QTableView* params = page->ParameterView(kind);
    ASSERT_EQ(params->model()->rowCount(), logic.ParameterRows(kind));
    for (int r = 0; r < params->model()->rowCount(); ++r) {
      QStringList expected, shown;
      for (const std::string& cell : logic.ParameterRow(kind, r + 1)) expected << QString::fromStdString(cell);
      for (int c = 0; c < params->model()->columnCount(); ++c) shown << params->model()->index(r, c).data().toString();
      EXPECT_EQ(shown, expected);
    }
    EXPECT_EQ(page->BlockView(kind)->model()->rowCount(), 1);
  }
  EXPECT_EQ(page->ParameterView(DataKind::Var)->model()->index(0, 3).data().toString(),
            QString::fromStdString(frmMain.Shell().Datasets().Current()->Parameter(1)->ToleranceText()));
  for (const char* name : {"actSave", "actSaveAs", "actClose", "actPassword"}) {
    EXPECT_TRUE(action(name)->isEnabled()) << name;
  }

  // A second dataset gets its own page; the first again is only switched to, not read twice.
  frmMain.OpenFiles({second, first});
  frmMain.resize(1000, 600);
  test::SaveScreenshot(frmMain, "dataset_page.png");
  ASSERT_EQ(pages->count(), 3);
  EXPECT_EQ(pages->widget(1), page);  // the first dataset's window stays
  EXPECT_EQ(frmMain.DatasetWindow(1), page);
  EXPECT_EQ(pages->tabText(1), QStringLiteral("вал.mvl"));
  EXPECT_EQ(pages->tabText(2), QStringLiteral("втулка.mvl"));
  EXPECT_EQ(pages->currentIndex(), 1);
  ASSERT_EQ(list->rowCount(), 2);
  EXPECT_EQ(Row(*list, 1), QStringList({"2", "Сохранен", "втулка.mvl", QString::fromStdString(second)}));
  frmMain.Shell().Datasets().At(1)->Touch();
  pages->setCurrentIndex(2);
  EXPECT_EQ(frmMain.windowTitle(), QString::fromStdString("Morvalen " MV_VERSION " - " + second));
  // The list page: no dataset commands; a row opens its dataset's page.
  pages->setCurrentIndex(0);
  EXPECT_FALSE(action("actSave")->isEnabled());
  frmMain.DatasetsChanged();  // a refresh keeps the list in front
  EXPECT_EQ(pages->currentIndex(), 0);
  EXPECT_EQ(Row(*list, 1)[1], QStringLiteral("Изменен"));
  test::SaveScreenshot(frmMain, "main_window.png");
  Q_EMIT list->cellActivated(0, 0);
  EXPECT_EQ(pages->currentIndex(), 1);

  action("actClose")->trigger();
  EXPECT_EQ(pages->count(), 2);
  fake.prompts.choices = {2};  // "Не сохранять"
  action("actClose")->trigger();
  EXPECT_EQ(pages->count(), 1);
  EXPECT_EQ(frmMain.windowTitle(), QStringLiteral("Morvalen " MV_VERSION));
  for (const char* name : {"actSave", "actSaveAs", "actClose"}) EXPECT_FALSE(action(name)->isEnabled()) << name;
  EXPECT_TRUE(fake.messages.shown.empty());
}

// An example dataset says so after its type, and its tab and its name in the list stand out.
TEST_F(FrmMain, AnExampleDatasetIsMarkedOnItsPageAndTab) {
  test::FakePlatform fake;
  test::PictureFolder dir;
  const std::string plain = dir.Path("вал.mvl");
  const std::string example = dir.Path("пример.mvl");
  ASSERT_TRUE(test::WriteSampleDataset(plain));
  {
    auto ds = test::SampleDataset("Пример");
    ds->accessFlags |= access_flag::kExample;
    std::string error;
    ASSERT_TRUE(WriteSpcFile(*ds, example, error)) << error;
  }
  ui::TfrmMain frmMain;
  frmMain.OpenFiles({plain, example});
  auto* pages = frmMain.findChild<QTabWidget*>(QStringLiteral("tabPages"));
  auto* list = frmMain.findChild<QTableWidget*>(QStringLiteral("tblDatasets"));
  ASSERT_TRUE(pages && list);
  ASSERT_EQ(pages->count(), 3);
  const auto typeOn = [&](int page) {
    auto* type = pages->widget(page)->findChild<QLabel*>(QStringLiteral("lblType"));
    return type ? type->text() : QStringLiteral("no type shown");
  };
  EXPECT_EQ(typeOn(1), QStringLiteral("Набор данных SPC"));
  EXPECT_EQ(typeOn(2), QStringLiteral("Набор данных SPC (пример)"));
  const QColor usual = pages->tabBar()->tabTextColor(1);
  const QColor marked = pages->tabBar()->tabTextColor(2);
  EXPECT_TRUE(marked.isValid());
  EXPECT_NE(marked, usual);
  EXPECT_NE(marked, pages->tabBar()->palette().color(QPalette::WindowText));
  EXPECT_EQ(list->item(1, 2)->foreground().color(), marked);
  EXPECT_NE(list->item(0, 2)->foreground().color(), marked);
  EXPECT_EQ(list->item(1, 2)->toolTip(), QStringLiteral("Набор данных SPC (пример)"));
  pages->setCurrentIndex(2);
  frmMain.resize(1000, 600);
  test::SaveScreenshot(frmMain, "example_dataset.png");
}

// A dataset's window lives as long as the dataset is open: other datasets coming and going and
// the shell's changes leave it (and what is selected in it) as it is.
TEST_F(FrmMain, ADatasetKeepsItsWindowWhileItIsOpen) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string first = dir.Path("вал.mvl");
  const std::string second = dir.Path("втулка.mvl");
  ASSERT_TRUE(test::WriteSampleDataset(first));
  ASSERT_TRUE(test::WriteSampleDataset(second, "Расточка"));
  ui::TfrmMain frmMain;
  frmMain.OpenFiles({first});
  QPointer<ui::TfrmDatasetSPC> window = frmMain.DatasetWindow(1);
  ASSERT_TRUE(window);
  QTableView* params = window->ParameterView(DataKind::Var);
  params->selectRow(1);
  window->ShowKind(DataKind::Attr);

  frmMain.OpenFiles({second});
  frmMain.Shell().Datasets().At(0)->Touch();
  frmMain.DatasetsChanged();
  EXPECT_EQ(frmMain.DatasetWindow(1), window.data());
  EXPECT_EQ(window->CurrentKind(), DataKind::Attr);
  EXPECT_EQ(params->selectionModel()->selectedRows().size(), 1);
  EXPECT_EQ(params->selectionModel()->selectedRows().front().row(), 1);
  EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("lblState"))->text().left(1), QStringLiteral("*"));

  // Saving through the main window takes the name over first; closing takes the window away.
  window->findChild<QLineEdit*>(QStringLiteral("edName"))->setText(QStringLiteral("Шлифовка"));
  auto* pages = frmMain.findChild<QTabWidget*>(QStringLiteral("tabPages"));
  pages->setCurrentIndex(1);
  frmMain.findChild<QAction*>(QStringLiteral("actSave"))->trigger();
  EXPECT_EQ(LoadDatasetFile(first)->processName, "Шлифовка");
  EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("lblLastAction"))->text(), QStringLiteral("Файл сохранен"));
  ui::TfrmDatasetSPC* other = frmMain.DatasetWindow(2);
  frmMain.findChild<QAction*>(QStringLiteral("actClose"))->trigger();
  EXPECT_EQ(frmMain.DatasetWindow(1), nullptr);
  EXPECT_EQ(frmMain.DatasetWindow(2), other);
  EXPECT_EQ(frmMain.Shell().Edits().Count(), 1);  // only the open dataset's fields
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
}

// The window closes only when every dataset could be closed.
TEST_F(FrmMain, ClosingTheWindowKeepsItOpenWhileChangesCannotBeSaved) {
  const struct {
    const char* what;
    int choice;
    bool folderRemoved;  // saving fails
    bool windowClosed;
  } kCases[] = {{"saved", 0, false, true},
                {"save fails", 0, true, false},
                {"continue working", 4, false, false},
                {"not saved", 2, false, true}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    test::FakePlatform fake;
    test::TempFolder dir;
    const std::string file = dir.Path("data.mvl");
    ASSERT_TRUE(test::WriteSampleDataset(file));
    ui::TfrmMain frmMain;
    std::vector<std::string> kept{"nothing yet"};
    frmMain.onRunEnding = [&kept](const std::vector<std::string>& files) { kept = files; };
    frmMain.OpenFiles({file});
    ASSERT_EQ(frmMain.Shell().Datasets().Count(), 1);
    frmMain.Shell().Datasets().Current()->Touch();
    if (c.folderRemoved) std::filesystem::remove_all(dir.path());
    frmMain.show();
    fake.prompts.choices = {c.choice};
    EXPECT_EQ(frmMain.close(), c.windowClosed);
    ASSERT_EQ(fake.prompts.questions.size(), 1u);
    EXPECT_EQ(fake.prompts.questions[0].caption, "Нужно ли сохранить файл ?");
    EXPECT_EQ(frmMain.isVisible(), !c.windowClosed);
    EXPECT_EQ(frmMain.Shell().Datasets().Count(), c.windowClosed ? 0 : 1);
    EXPECT_EQ(kept, c.windowClosed ? std::vector<std::string>{file} : std::vector<std::string>{"nothing yet"});
  }
}

// Files from another instance are opened by the idle timer, not while a modal window is up.
TEST_F(FrmMain, QueuedFilesOpenWhenTheWindowIsIdle) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string file = dir.Path("x.mvl");
  ASSERT_TRUE(test::WriteSampleDataset(file));
  ui::TfrmMain frmMain;
  frmMain.show();
  const std::string record = EncodeInstanceMessage(OpenFileMessage(file));
  frmMain.Shell().HandleInstanceMessage(std::vector<std::uint8_t>(record.begin(), record.end()));
  EXPECT_EQ(frmMain.Shell().Datasets().Count(), 0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return frmMain.Shell().Datasets().Count() == 1; }, 3000));
  EXPECT_EQ(frmMain.findChild<QTabWidget*>(QStringLiteral("tabPages"))->count(), 2);
}

TEST_F(FrmMain, DroppedDataFilesAreOpened) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string file = dir.Path("вал.mvl");
  ASSERT_TRUE(test::WriteSampleDataset(file));
  ui::TfrmMain frmMain;
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(file)), QUrl(QStringLiteral("https://example.org/x.mvl"))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&frmMain, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&frmMain, &drop);
  EXPECT_TRUE(QTest::qWaitFor([&] { return frmMain.Shell().Datasets().Count() == 1; }, 2000));
  EXPECT_EQ(frmMain.Shell().Datasets().At(0)->fileName, file);
  // Nothing but web addresses: not taken.
  QMimeData web;
  web.setUrls({QUrl(QStringLiteral("https://example.org/x.mvl"))});
  QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
  refused.setAccepted(false);
  QApplication::sendEvent(&frmMain, &refused);
  EXPECT_FALSE(refused.isAccepted());
}

TEST_F(FrmMain, TheCloseQuestionHasFiveButtons) {
  test::UiApp();
  ui::QtPrompts prompts;
  platform::ChoiceRequest request;
  request.caption = "Нужно ли сохранить файл ?";
  request.text = "Вы хотите сохранить файл\r\n/данные/вал.mvl";
  request.buttons = {"Сохранить", "Сохранить все", "Не сохранять", "Не сохранять все", "Продолжить работу"};
  request.cancelButton = 4;
  QStringList shown;
  test::WhenModal([&](QWidget* modal) {
    test::SaveScreenshot(*modal, "close_question.png");
    for (const QPushButton* button : modal->findChildren<QPushButton*>()) shown << button->text();
    modal->findChild<QPushButton*>(QStringLiteral("btnChoice3"))->click();
  });
  EXPECT_EQ(prompts.Choose(request), 3);
  shown.sort();
  QStringList expected{"Сохранить", "Сохранить все", "Не сохранять", "Не сохранять все", "Продолжить работу"};
  expected.sort();
  EXPECT_EQ(shown, expected);
  // Escape is "Продолжить работу".
  test::WhenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
  EXPECT_EQ(prompts.Choose(request), 4);
}

TEST_F(FrmMain, PasswordPromptStaysOpenUntilThePasswordIsRight) {
  test::FakePlatform fake;
  ui::QtPrompts prompts;
  platform::PasswordRequest request;
  request.caption = "Укажите пароль";
  request.text = "Для доступа к файлу \"x.mvl\" требуется указать пароль";
  std::vector<std::string> tried;
  request.check = [&tried](const std::string& typed) {
    tried.push_back(typed);
    return typed == "верный";
  };
  test::WhenModal([](QWidget* modal) {
    auto* edit = modal->findChild<QLineEdit*>(QStringLiteral("edtPassword"));
    auto* buttons = modal->findChild<QDialogButtonBox*>();
    edit->setText(QStringLiteral("неверный"));
    buttons->button(QDialogButtonBox::Ok)->click();
    EXPECT_TRUE(modal->isVisible());
    edit->setText(QStringLiteral("верный"));
    buttons->button(QDialogButtonBox::Ok)->click();
  });
  EXPECT_TRUE(prompts.AskPassword(request));
  EXPECT_EQ(tried, (std::vector<std::string>{"неверный", "верный"}));
}

TEST_F(FrmMain, ExitClosesTheWindowFromMenuAndKeyboard) {
  const struct {
    const char* how;
    std::function<void(ui::TfrmMain&)> exit;
  } kCases[] = {
      {"menu", [](ui::TfrmMain& w) { w.findChild<QAction*>(QStringLiteral("actExit"))->trigger(); }},
      {"Ctrl+Q", [](ui::TfrmMain& w) { QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier); }},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.how);
    ui::TfrmMain frmMain;
    ASSERT_TRUE(ShownActive(frmMain));
    c.exit(frmMain);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !frmMain.isVisible(); }, 2000));
  }
}

// The windows that follow a load (the password prompt of a protected file, the error of a
// damaged one) stay in front: the load's progress window, ended before them, never comes up over
// them, however long they stay open.
TEST_F(FrmMain, NoProgressWindowOverThePromptOrTheErrorAfterALoad) {
  test::FakePlatform fake;
  ui::QtProgress progress;
  ui::QtPrompts prompts;
  ui::QtMessageWindows messages;
  test::ScopedService<platform::IProgress> useProgress(&progress);
  test::ScopedService<platform::IPrompts> usePrompts(&prompts);
  test::ScopedService<platform::IMessageWindows> useMessages(&messages);
  test::TempFolder dir;
  const std::string secret = dir.Path("secret.mvl");
  {
    auto ds = test::SampleDataset("Секрет");
    ds->responsible = "Иванов И.И.";
    ds->passwordHash = *PasswordHash("abcde");
    ds->accessFlags |= access_flag::kPasswordOnOpen;
    std::string error;
    ASSERT_TRUE(WriteSpcFile(*ds, secret, error)) << error;
  }
  const std::string damaged = dir.Path("damaged.mvl");
  ASSERT_TRUE(test::WriteSampleDataset(damaged));
  const std::string whole = test::ReadFileBytes(damaged);
  test::WriteFileBytes(damaged, whole.substr(0, whole.size() - 9));

  const struct {
    const char* what;
    std::string file;
    QStringList windows;  // the modal windows the opening shows, in order
  } kCases[] = {
      {"protected", secret, {"frmPassword", "messageWindow"}},
      {"damaged", damaged, {"messageWindow"}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    ui::TfrmMain frmMain;
    frmMain.show();
    QStringList seen;
    QList<int> progressShown;
    // Each window is looked at well after the progress window's delay, then closed; the next
    // one is waited for meanwhile.
    std::function<void(QWidget*)> look = [&](QWidget* modal) {
      QTest::qWait(ui::kProgressShowDelayMs * 2);
      seen << modal->objectName();
      int shown = 0;
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QProgressDialog*>(widget) && widget->isVisible()) ++shown;
      }
      progressShown << shown;
      EXPECT_EQ(QApplication::activeModalWidget(), modal);
      if (seen.size() < c.windows.size()) test::WhenModal(look);
      modal->close();
    };
    test::WhenModal(look);
    test::RunInEventLoop([&] { frmMain.OpenFiles({c.file}); });
    EXPECT_EQ(seen, c.windows);
    EXPECT_EQ(progressShown, QList<int>(c.windows.size(), 0));
    EXPECT_EQ(frmMain.Shell().Datasets().Count(), 0);
  }
}

TEST_F(FrmMain, AboutNamesProgramAndVersion) {
  ui::TfrmMain frmMain;
  QString caption, text;
  test::WhenModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    caption = box->windowTitle();
    text = box->text();
    box->accept();
  });
  frmMain.findChild<QAction*>(QStringLiteral("actAbout"))->trigger();
  EXPECT_EQ(caption, QStringLiteral("О программе"));
  EXPECT_TRUE(text.startsWith(QStringLiteral("Morvalen " MV_VERSION))) << text.toStdString();
}

}  // namespace
}  // namespace mv
