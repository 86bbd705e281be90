// The dataset window forwards to its logic: the lists and captions of both pages, the keys of
// the lists, the analysis over the selected blocks, name and comment taken over, the process
// picture, the additional properties.

#include "ui/dataset_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <fstream>

#include "app/password.h"
#include "app/pending_edits.h"
#include "spc/spc_file.h"
#include "support/fake_platform.h"
#include "support/sample_dataset.h"
#include "ui/chart_window.h"
#include "ui/dataset_properties_window.h"
#include "ui/histogram_window.h"
#include "ui/parameter_choice_dialog.h"
#include "ui/sample_range_dialog.h"
#include "mnemonics.h"
#include "ui_test_app.h"

namespace mv {
namespace {

template <class W>
W* TopLevel() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* found = qobject_cast<W*>(w); found && found->isVisible()) return found;
  }
  return nullptr;
}

// Checks the first parameter of the parameter choice and accepts it.
void ChooseFirstParameter(QWidget* modal) {
  auto* dialog = qobject_cast<ui::ParameterChoiceDialog*>(modal);
  ASSERT_NE(dialog, nullptr);
  dialog->findChild<QListWidget*>("parameters")->item(0)->setCheckState(Qt::Checked);
  dialog->accept();
}

QStringList Row(const QTableView& view, int row) {
  QStringList cells;
  for (int c = 0; c < view.model()->columnCount(); ++c) cells << view.model()->index(row, c).data().toString();
  return cells;
}

void SelectRows(QTableView& view, std::initializer_list<int> rows) {
  view.clearSelection();
  for (const int row : rows) {
    view.selectionModel()->select(view.model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
}

// What the window asked the editors and the block window for.
struct EditorCalls {
  std::vector<std::string> calls;  // "parameter Var 0", "block Attr 0", "open 3"
  bool confirm = true;
  ui::TfrmDatasetSPC::Options Hooks() {
    ui::TfrmDatasetSPC::Options options;
    options.editParameter = [this](QWidget*, TDatasetSPC& ds, DataKind kind, int position, const ui::EditContext&) {
      calls.push_back(std::string("parameter ") + (kind == DataKind::Var ? "Var " : "Attr ") + std::to_string(position));
      if (!confirm || position != 0) return confirm;
      TSPCParameter props;
      props.kind = kind;
      props.name = "Новый";
      return ds.SetParameter(0, 0, props) > 0;
    };
    options.editBlock = [this](QWidget*, TDatasetSPC& ds, DataKind kind, int position, const ui::EditContext&,
                               int* created) {
      calls.push_back(std::string("block ") + (kind == DataKind::Var ? "Var " : "Attr ") + std::to_string(position));
      if (!confirm) return false;
      const int added = ds.AddBlock(0, "Новый блок", SamplingMode::Samples, 0, 0, kind, "", "");
      if (created) *created = added;
      return added > 0;
    };
    options.openBlock = [this](QWidget*, TDatasetSPC&, int position, const ui::EditContext&) {
      calls.push_back("open " + std::to_string(position));
    };
    return options;
  }
};

class DatasetWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UiApp();
    m_ds->slot = 1;
    m_ds->MarkSaved();
  }
  std::unique_ptr<ui::TfrmDatasetSPC> Window(ui::EditContext context = {}) {
    auto window = std::make_unique<ui::TfrmDatasetSPC>(*m_ds, std::move(context), m_editors.Hooks());
    window->resize(900, 600);
    Activate(*window);
    return window;
  }
  // The window's keys work in the active window only.
  static void Activate(QWidget& window) {
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
  }
  static void Key(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    target->setFocus();
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
  }

  test::FakePlatform m_fake;
  std::unique_ptr<TDatasetSPC> m_ds = test::SampleDataset();
  EditorCalls m_editors;
};

TEST_F(DatasetWindowTest, OpensChartsAndHistogramsOverTheSelectedBlocks) {
  auto ds = LoadDatasetFile(std::string(MV_SOURCE_DIR) + "/examples/demo.mvl");
  ASSERT_TRUE(ds);
  ui::TfrmDatasetSPC page(*ds, {}, {});
  page.show();
  QTableView* blocks = page.BlockView(DataKind::Var);
  ASSERT_TRUE(blocks);
  SelectRows(*blocks, {0, 1});

  // Two rows: the blocks as they are, then the parameters; the default chart of sample blocks.
  test::WhenModal(ChooseFirstParameter);
  test::RunInEventLoop([&] { page.OpenChart(ChartKind::Mean, ChartKind::Range, true); });
  auto* chart = TopLevel<ui::ChartWindow>();
  ASSERT_NE(chart, nullptr);
  EXPECT_EQ(chart->Logic().Selection().blocks, (std::vector<int>{1, 2}));
  EXPECT_EQ(chart->Logic().Upper(), ChartKind::Mean);
  EXPECT_EQ(chart->Logic().Lower(), ChartKind::Range);
  chart->close();
  QApplication::processEvents();

  // One row: the blocks and samples are asked first.
  SelectRows(*blocks, {1});
  test::WhenModal([](QWidget* modal) {
    auto* range = qobject_cast<ui::SampleRangeDialog*>(modal);
    ASSERT_NE(range, nullptr);
    EXPECT_EQ(range->findChild<QRadioButton*>("all")->text(), "все (25 шт.)");
    test::WhenModal(ChooseFirstParameter);
    range->accept();
  });
  test::RunInEventLoop([&] { page.mnuAnalHistoClick(); });
  auto* histogram = TopLevel<ui::HistogramWindow>();
  ASSERT_NE(histogram, nullptr);
  EXPECT_EQ(histogram->Logic().Count(), 1U);
  EXPECT_EQ(histogram->Logic().Histograms()[0].task.selection.blocks, std::vector<int>{2});
  histogram->close();
  QApplication::processEvents();
}

// Each page's commands and lists, with the fields above and the page tabs, have letters of their
// own (the main window's menus keep theirs: Ф, Е, С).
TEST_F(DatasetWindowTest, EveryCommandOfAPageHasItsOwnMnemonic) {
  auto window = Window();
  std::vector<QString> header;
  for (const char* name : {"btnProperties", "imgPicture"}) {
    const QString text = window->findChild<QAbstractButton*>(name)->text();
    header.push_back(text.mid(text.indexOf(QLatin1Char('&')) + 1, 1).toLower());
  }
  for (QLineEdit* field : window->findChildren<QLineEdit*>()) {
    for (QLabel* label : window->findChildren<QLabel*>()) {
      if (label->buddy() == field) header.push_back(label->text().mid(label->text().indexOf('&') + 1, 1).toLower());
    }
  }
  auto* tabs = window->findChild<QTabWidget*>("tabKinds");
  for (int i = 0; i < tabs->count(); ++i) header.push_back(tabs->tabText(i).mid(tabs->tabText(i).indexOf('&') + 1, 1).toLower());
  for (const char* page : {"pgVar", "pgAttr"}) {
    test::ExpectOwnMnemonics(window->findChild<QWidget*>(page));
    std::vector<QString> letters = test::Mnemonics(window->findChild<QWidget*>(page));
    letters.insert(letters.end(), header.begin(), header.end());
    for (const QString& menu : {QStringLiteral("ф"), QStringLiteral("е"), QStringLiteral("с")}) letters.push_back(menu);
    std::sort(letters.begin(), letters.end());
    EXPECT_EQ(std::adjacent_find(letters.begin(), letters.end()), letters.end()) << page;
  }
}

TEST_F(DatasetWindowTest, ChartKindsHaveTheirKeysOnTheirPage) {
  auto window = Window();
  m_ds->AddBlock(0, "Смена 3", SamplingMode::Samples, 0, 0, DataKind::Var, "", "");
  window->Refresh();
  SelectRows(*window->BlockView(DataKind::Var), {0, 1});
  test::WhenModal(ChooseFirstParameter);
  test::RunInEventLoop([&] { Key(window->BlockView(DataKind::Var), Qt::Key_3, Qt::ControlModifier); });
  auto* chart = TopLevel<ui::ChartWindow>();
  ASSERT_NE(chart, nullptr);
  EXPECT_EQ(chart->Logic().Upper(), ChartKind::Mean);
  EXPECT_EQ(chart->Logic().Lower(), ChartKind::StdDev);
  EXPECT_EQ(chart->Logic().Selection().blocks, (std::vector<int>{1, 3}));
  chart->close();
  delete chart;
  QApplication::processEvents();
}

TEST_F(DatasetWindowTest, ShowsTheDemoDatasetOnTwoPages) {
  auto ds = LoadDatasetFile(std::string(MV_SOURCE_DIR) + "/examples/demo.mvl");
  ASSERT_TRUE(ds);
  ui::TfrmDatasetSPC window(*ds, {}, {});
  window.resize(1000, 640);
  window.show();
  const DatasetWindowLogic& logic = window.Logic();
  for (const DataKind kind : {DataKind::Var, DataKind::Attr}) {
    QTableView* params = window.ParameterView(kind);
    QTableView* blocks = window.BlockView(kind);
    ASSERT_EQ(params->model()->rowCount(), logic.ParameterRows(kind));
    ASSERT_EQ(blocks->model()->rowCount(), logic.BlockRows(kind));
    for (int r = 0; r < params->model()->rowCount(); ++r) {
      QStringList expected;
      for (const std::string& cell : logic.ParameterRow(kind, r + 1)) expected << QString::fromStdString(cell);
      EXPECT_EQ(Row(*params, r), expected);
    }
    for (int r = 0; r < blocks->model()->rowCount(); ++r) {
      EXPECT_EQ(Row(*blocks, r)[1].toStdString(), ds->Block(logic.BlockAt(kind, r + 1))->name);
    }
    EXPECT_EQ(blocks->selectionMode(), QAbstractItemView::ExtendedSelection);
  }
  EXPECT_EQ(window.findChild<QLabel*>("lblNumParams")->text().toStdString(), "&" + logic.ParameterCaption(DataKind::Var));
  EXPECT_EQ(window.findChild<QLabel*>("lblNumBlocks")->text().toStdString(), "&" + logic.BlockCaption(DataKind::Var));
  EXPECT_EQ(window.findChild<QLineEdit*>("edName")->text().toStdString(), ds->processName);
  EXPECT_EQ(window.findChild<QLabel*>("lblState")->toolTip().toStdString(), logic.StateHint());
  // The histogram is offered on the quantitative page only.
  EXPECT_NE(window.findChild<QWidget*>("pgVar")->findChild<QToolButton*>("btnHistogram"), nullptr);
  EXPECT_EQ(window.findChild<QWidget*>("pgAttr")->findChild<QToolButton*>("btnHistogram"), nullptr);
  SelectRows(*window.BlockView(DataKind::Var), {0});
  window.ParameterView(DataKind::Var)->selectRow(0);
  test::SaveScreenshot(window, "dataset_window.png");
}

TEST_F(DatasetWindowTest, InsertAddsWhereTheFocusIsAndANewBlockOpensWhenEditingIsOn) {
  auto window = Window();
  Key(window->ParameterView(DataKind::Var), Qt::Key_Insert);
  EXPECT_EQ(m_editors.calls, std::vector<std::string>{"parameter Var 0"});
  EXPECT_EQ(window->ParameterView(DataKind::Var)->model()->rowCount(), 3);
  EXPECT_EQ(window->ParameterView(DataKind::Var)->currentIndex().row(), 2);  // the new row

  m_editors.calls.clear();
  Key(window->BlockView(DataKind::Var), Qt::Key_Insert);
  const int created = m_ds->BlockCount();
  EXPECT_EQ(m_editors.calls, (std::vector<std::string>{"block Var 0", "open " + std::to_string(created)}));
  EXPECT_EQ(window->SelectedBlockRows(DataKind::Var), std::vector<int>{2});

  // With the switch off the new block is not opened; on the other page the kind follows.
  m_ds->blockEditingAllowed = false;
  m_editors.calls.clear();
  window->ShowKind(DataKind::Attr);
  Key(window->BlockView(DataKind::Attr), Qt::Key_Insert);
  Key(window->ParameterView(DataKind::Attr), Qt::Key_Insert);
  EXPECT_EQ(m_editors.calls, (std::vector<std::string>{"block Attr 0", "parameter Attr 0"}));
  EXPECT_EQ(window->BlockView(DataKind::Attr)->model()->rowCount(), 2);
  EXPECT_TRUE(m_ds->IsChanged());
}

TEST_F(DatasetWindowTest, EnterOpensAndDoubleClickBeyondTheLastRowAddsAParameter) {
  auto window = Window();
  QTableView* params = window->ParameterView(DataKind::Var);
  params->selectRow(1);
  Key(params, Qt::Key_Return);
  QTableView* blocks = window->BlockView(DataKind::Var);
  SelectRows(*blocks, {0});
  blocks->setCurrentIndex(blocks->model()->index(0, 0));
  Key(blocks, Qt::Key_Enter);
  EXPECT_EQ(m_editors.calls, (std::vector<std::string>{"parameter Var 3", "open 1"}));

  m_editors.calls.clear();
  const QPoint belowTheRows(20, params->viewport()->height() - 3);
  QTest::mouseDClick(params->viewport(), Qt::LeftButton, Qt::NoModifier, belowTheRows);
  EXPECT_EQ(m_editors.calls, std::vector<std::string>{"parameter Var 0"});

  // An empty quantitative list starts adding a block.
  m_ds->DeleteAllBlocks();
  window->Refresh();
  m_editors.calls.clear();
  m_editors.confirm = false;
  Key(blocks, Qt::Key_Return);
  EXPECT_EQ(m_editors.calls, std::vector<std::string>{"block Var 0"});
}

TEST_F(DatasetWindowTest, DeleteAndMoveFromTheKeyboard) {
  m_ds->DeleteAllBlocks();
  for (const char* name : {"Партия 1", "Партия 2", "Партия 3"}) {
    m_ds->AddBlock(0, name, SamplingMode::Samples, 0, 0, DataKind::Var, "", "");
  }
  auto window = Window();
  QTableView* params = window->ParameterView(DataKind::Var);
  params->selectRow(1);
  Key(params, Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(m_ds->OrderList(DataKind::Var), (std::vector<int>{3, 1}));
  EXPECT_EQ(params->currentIndex().row(), 0);  // the moved parameter stays selected
  EXPECT_EQ(Row(*params, 0)[1], "Длина");
  Key(params, Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(m_ds->OrderList(DataKind::Var), (std::vector<int>{1, 3}));

  // Ctrl+A selects every block; Delete asks twice and deletes them.
  QTableView* blocks = window->BlockView(DataKind::Var);
  Key(blocks, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(window->SelectedBlockRows(DataKind::Var), (std::vector<int>{1, 2, 3}));
  SelectRows(*blocks, {1, 2});
  m_fake.messages.answers = {true, true};
  Key(blocks, Qt::Key_Delete);
  EXPECT_EQ(m_fake.messages.Texts(),
            (std::vector<std::string>{"Вы желаете удалить 2 блока количественных данных?",
                                      "После удаления блока восстановление данных из него будет НЕВОЗМОЖНО!\r\n"
                                      "Действительно хотите удалить ?"}));
  ASSERT_EQ(blocks->model()->rowCount(), 1);
  EXPECT_EQ(Row(*blocks, 0)[1], "Партия 1");
  EXPECT_EQ(window->findChild<QLabel*>("lblNumBlocks")->text(), "&Блоки данных  (1):");

  // Delete on the parameters: the question, and "Нет" keeps it.
  m_fake.messages.shown.clear();
  params->selectRow(0);
  Key(params, Qt::Key_Delete);
  EXPECT_EQ(m_fake.messages.Texts(), std::vector<std::string>{"Вы действительно желаете удалить параметр \"Диаметр\" ?"});
  EXPECT_EQ(params->model()->rowCount(), 2);
}

TEST_F(DatasetWindowTest, ProtectedBlockAsksForThePasswordOnlyWhileEditing) {
  m_ds->Block(1)->name = "Партия 1";
  m_ds->Block(1)->flags |= block_flag::kProtected;
  m_ds->passwordHash = *PasswordHash("секрет1");
  m_ds->responsible = "Иванов";
  auto window = Window();
  QTableView* blocks = window->BlockView(DataKind::Var);
  SelectRows(*blocks, {0});
  blocks->setCurrentIndex(blocks->model()->index(0, 0));
  m_ds->blockEditingAllowed = false;
  Key(blocks, Qt::Key_Return);
  EXPECT_TRUE(m_fake.prompts.passwordPrompts.empty());
  m_ds->blockEditingAllowed = true;
  Key(blocks, Qt::Key_Return);
  EXPECT_EQ(m_fake.prompts.passwordPrompts.size(), 1u);
  EXPECT_EQ(m_editors.calls, std::vector<std::string>{"open 1"});
  EXPECT_EQ(m_fake.messages.Texts(),
            std::vector<std::string>{
                "Доступ к блоку \"Партия 1\" невозможен без указания пароля (только в режиме редактирования блока)"});
}

TEST_F(DatasetWindowTest, ToggleEditingAndAnalysisWithoutBlocks) {
  auto window = Window();
  Key(window->ParameterView(DataKind::Var), Qt::Key_E, Qt::ControlModifier);  // the window's key
  EXPECT_FALSE(m_ds->blockEditingAllowed);
  EXPECT_FALSE(window->findChild<QToolButton*>("tbtNumBlkEditAvl")->isChecked());
  EXPECT_EQ(m_fake.messages.Texts(),
            std::vector<std::string>{"Теперь редактирование (изменение) блоков запрещено. Возможен просмотр содержимого"});

  m_fake.messages.shown.clear();
  m_ds->DeleteAllBlocks();
  window->Refresh();
  window->mnuAnalHistoClick();
  window->OpenChart(ChartKind::P, std::nullopt, false);
  EXPECT_EQ(m_fake.messages.Texts(),
            (std::vector<std::string>{"Функция недоступна, т.к. нет ни одного количественного блока",
                                      "Функция недоступна, т.к. нет ни одного альтернативного блока"}));
}

TEST_F(DatasetWindowTest, NameAndCommentAreTakenOverWhenLeftAndBeforeEverySave) {
  PendingEdits pending;
  std::string savedName;
  ui::EditContext context;
  context.slot = 1;
  context.pending = &pending;
  context.saveDataset = [&] {
    savedName = m_ds->processName;
    m_ds->MarkSaved();
    return true;
  };
  auto window = std::make_unique<ui::TfrmDatasetSPC>(*m_ds, context, [] {
    ui::TfrmDatasetSPC::Options options;
    options.saveKey = true;
    return options;
  }());
  Activate(*window);
  auto* name = window->findChild<QLineEdit*>("edName");
  auto* comment = window->findChild<QLineEdit*>("edComment");
  ASSERT_TRUE(name && comment);
  EXPECT_EQ(name->text(), "Токарная обработка");

  // Left: taken over.
  name->setFocus();
  name->selectAll();
  name->insert("  Расточка ");
  comment->setFocus();
  EXPECT_EQ(m_ds->processName, "Расточка");
  EXPECT_TRUE(m_ds->IsChanged());

  // Still in edit when Ctrl+S comes: in the file.
  comment->insert("смена 2");
  QTest::keyClick(comment, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(m_ds->comment, "смена 2");
  EXPECT_EQ(savedName, "Расточка");
  EXPECT_EQ(window->findChild<QLabel*>("lblLastAction")->text(), "Файл сохранен");

  // A save by the shell commits the fields through the values in edit.
  name->setFocus();
  name->setText("Фрезерование");
  EXPECT_EQ(pending.Count(), 1);
  EXPECT_TRUE(pending.CommitAll(1));
  EXPECT_EQ(m_ds->processName, "Фрезерование");
  window.reset();
  EXPECT_EQ(pending.Count(), 0);
}

TEST_F(DatasetWindowTest, ProcessPictureIsLoadedUnlessTooBigForTheFile) {
  test::TempFolder dir;
  const std::string photo = dir.Path("photo.jpg");
  QImage image(640, 480, QImage::Format_RGB32);
  image.fill(QColor(40, 90, 160));
  ASSERT_TRUE(image.save(QString::fromStdString(photo), "JPG"));
  const std::string big = dir.Path("big.png");
  QImage noise(200, 200, QImage::Format_RGB32);
  for (int y = 0; y < noise.height(); ++y) {
    for (int x = 0; x < noise.width(); ++x) noise.setPixel(x, y, QRandomGenerator::global()->generate());
  }
  ASSERT_TRUE(noise.save(QString::fromStdString(big), "PNG"));
  ASSERT_GT(QFileInfo(QString::fromStdString(big)).size(), 65535);
  const std::string broken = dir.Path("broken.jpg");
  std::ofstream(broken) << "not a picture";

  auto window = Window();
  auto* picture = window->findChild<QToolButton*>("imgPicture");
  ASSERT_TRUE(picture);
  m_fake.fileDialogs.choices = {photo};
  QTest::mouseClick(picture, Qt::LeftButton);
  ASSERT_EQ(m_fake.fileDialogs.asked.size(), 1u);
  EXPECT_EQ(m_fake.fileDialogs.asked[0].title, "Выбор рисунка для набора данных");
  EXPECT_EQ(m_ds->picture.fileName, "640,480,photo.jpg");
  EXPECT_FALSE(m_ds->picture.data.empty());
  EXPECT_EQ(m_fake.log.lines, std::vector<std::string>{"Load picture " + photo + " (640x480)"});
  EXPECT_FALSE(picture->icon().isNull());

  m_ds->MarkSaved();
  const std::string before = m_ds->picture.data;
  m_fake.log.lines.clear();
  for (const std::string& file : {big, broken}) {
    m_fake.fileDialogs.choices = {file};
    QTest::mouseClick(picture, Qt::LeftButton);
    EXPECT_EQ(m_ds->picture.data, before) << file;
    EXPECT_EQ(m_ds->picture.fileName, "640,480,photo.jpg") << file;
    EXPECT_FALSE(m_ds->IsChanged()) << file;
  }
  ASSERT_EQ(m_fake.log.lines.size(), 2u);
  for (const std::string& line : m_fake.log.lines) EXPECT_EQ(line.rfind("*Error load picture: ", 0), 0u) << line;
  EXPECT_EQ(m_fake.messages.shown.size(), 2u);
}

TEST_F(DatasetWindowTest, PropertiesRefuseAPasswordWithoutTheResponsiblePerson) {
  m_ds->passwordHash = *PasswordHash("секрет1");
  m_ds->unlocked = true;
  m_ds->responsible = "Иванов";
  ui::DatasetPropertiesWindow window(*m_ds, false, nullptr);
  Activate(window);
  auto* tabs = window.findChild<QTabWidget*>("tabProperties");
  auto* responsible = window.findChild<QLineEdit*>("edResponsible");
  ASSERT_TRUE(tabs && responsible);
  QStringList pages;
  for (int i = 0; i < tabs->count(); ++i) pages << tabs->tabText(i);
  EXPECT_EQ(pages, QStringList({" Примечания ", " Рисунки ", " Защита ", " Информация "}));
  EXPECT_EQ(window.findChild<QLabel*>("lblPasswordState")->text(), "  установлен");
  responsible->clear();
  window.findChild<QLineEdit*>("edDetail")->setText("Вал");
  tabs->setCurrentIndex(2);
  window.accept();
  EXPECT_EQ(m_fake.messages.Texts(),
            std::vector<std::string>{"При установленном пароле необходимо указать ответственного за набор данных "
                                     "(рекомендуется указать имя и координаты для связи)"});
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(tabs->currentIndex(), 0);
  EXPECT_TRUE(responsible->hasFocus());
  EXPECT_EQ(m_ds->responsible, "Иванов");
  EXPECT_TRUE(m_ds->detail.empty());
  EXPECT_FALSE(m_ds->IsChanged());

  responsible->setText("Петров");
  window.accept();
  EXPECT_EQ(window.result(), QDialog::Accepted);
  EXPECT_EQ(m_ds->detail, "Вал");
  EXPECT_EQ(m_ds->responsible, "Петров");

  // In debug mode the administration page comes too.
  ui::DatasetPropertiesWindow debug(*m_ds, true, nullptr);
  EXPECT_EQ(debug.findChild<QTabWidget*>("tabProperties")->tabText(4), " Администрирование ");
}

TEST_F(DatasetWindowTest, PropertiesAttachAndViewFiles) {
  test::TempFolder dir;
  const std::string drawing = dir.Path("чертеж.png");
  std::ofstream(drawing) << "drawing";
  ui::DatasetPropertiesWindow window(*m_ds, false, nullptr);
  Activate(window);
  m_fake.fileDialogs.choices = {drawing};
  QTest::mouseClick(window.findChild<QPushButton*>("btnAddAttachment"), Qt::LeftButton);
  auto* list = window.findChild<QListWidget*>("lstAttachments");
  ASSERT_EQ(list->count(), 1);
  EXPECT_EQ(list->item(0)->text(), "чертеж.png");
  QTest::mouseClick(window.findChild<QPushButton*>("btnViewAttachment"), Qt::LeftButton);
  EXPECT_EQ(m_fake.shellOpen.opened, std::vector<std::string>{drawing});
  window.accept();
  ASSERT_EQ(m_ds->attachments.size(), 1u);
  EXPECT_EQ(m_ds->attachments[0].content, "drawing");
  EXPECT_EQ(m_ds->attachments[0].fileSize, 7);
}

TEST_F(DatasetWindowTest, AnExampleDatasetSaysSoInItsType) {
  m_ds->accessFlags |= access_flag::kExample;
  auto window = Window();
  auto* type = window->findChild<QLabel*>("lblType");
  ASSERT_TRUE(type);
  EXPECT_EQ(type->text(), "Набор данных SPC (пример)");
  EXPECT_EQ(type->palette().color(QPalette::WindowText), ui::ExampleColour());
}

}  // namespace
}  // namespace mv
