// The block window and its dialogs forward to their logic: the commands follow the selection
// and the edit switch, the keys run them, and the dialogs stay open on what their form must mend.

#include "ui/block_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "spc/gages.h"
#include "spc/input_profiles.h"
#include "spc/spc_file.h"
#include "support/fake_platform.h"
#include "support/sample_dataset.h"
#include "mnemonics.h"
#include "ui_test_app.h"

namespace mv {
namespace {

class BlockWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UiApp();
    m_ds->MarkSaved();
  }

  template <class W>
  static W* Child(QWidget& d, const char* name) {
    W* w = d.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  std::vector<int> Sizes(int block = 1) const {
    std::vector<int> out;
    for (const TSPCSample& s : m_ds->Block(block)->Samples()) out.push_back(s.PointCount());
    return out;
  }
  // Which of the commands are offered, in the order of the window's buttons.
  static std::string Offered(ui::BlockWindow& w) {
    std::string e;
    for (const char* name : {"btnAdd", "btnOpen", "btnDelete", "btnUp", "btnDown", "btnSeparate", "btnMerge",
                             "btnSettings"}) {
      e += Child<QPushButton>(w, name)->isEnabled() ? '1' : '0';
    }
    return e;
  }

  test::FakePlatform m_fake;
  std::unique_ptr<TDatasetSPC> m_ds = test::SampleDataset();
  ui::EditContext m_context;
};

TEST_F(BlockWindowTest, ListsTheSamplesAndLogsOpeningAndClosing) {
  ui::BlockWindow window(*m_ds, 1, m_context);
  window.show();
  auto* table = Child<QTableView>(window, "tblSamples");
  ASSERT_TRUE(table);
  EXPECT_EQ(window.windowTitle(), "Блок данных \"Смена 1\"");
  EXPECT_EQ(Child<QLabel>(window, "lblCaption")->text(), "&Выборки (3):");
  EXPECT_EQ(Child<QLabel>(window, "lblEditSwitch")->text(), "Редактирование блока разрешено");
  EXPECT_EQ(Child<QLabel>(window, "lblStatus")->text(), "Замеров: 15");
  ASSERT_EQ(table->model()->columnCount(), 6);
  EXPECT_EQ(table->model()->headerData(2, Qt::Horizontal).toString(), "К-во замеров");
  EXPECT_EQ(table->model()->index(2, 3).data().toString(), "03.03.2024 16:30");
  EXPECT_EQ(window.Selection(), (SelectedSamples{1, 1}));
  EXPECT_EQ(Offered(window), "11101111");
  test::ExpectOwnMnemonics(&window);
  ASSERT_EQ(m_fake.log.lines.size(), 1u);
  EXPECT_EQ(m_fake.log.lines[0].rfind("Start edit block #1 [", 0), 0u) << m_fake.log.lines[0];
  QTest::keyClick(table, Qt::Key_Escape);
  EXPECT_FALSE(window.isVisible());
  ASSERT_EQ(m_fake.log.lines.size(), 2u);
  EXPECT_EQ(m_fake.log.lines[1].rfind("Finish edit block #1 [", 0), 0u) << m_fake.log.lines[1];
}

TEST_F(BlockWindowTest, DeleteKeyDeletesTheSelectedRangeAfterItsQuestion) {
  ui::BlockWindow window(*m_ds, 1, m_context);
  window.show();
  auto* table = Child<QTableView>(window, "tblSamples");
  window.Select({2, 3});
  EXPECT_EQ(Offered(window), "10100011");
  m_fake.prompts.choices = {1, 0};  // "Нет", then "Да"
  QTest::keyClick(table, Qt::Key_Delete);
  EXPECT_EQ(Sizes(), (std::vector<int>{5, 5, 5}));
  EXPECT_FALSE(m_ds->IsChanged());
  QTest::keyClick(table, Qt::Key_Delete);
  ASSERT_EQ(m_fake.prompts.questions.size(), 2u);
  EXPECT_EQ(m_fake.prompts.questions[1].text, "Вы действительно хотите удалить выборки с #2 по #3 ?");
  EXPECT_EQ(Sizes(), std::vector<int>{5});
  EXPECT_TRUE(m_ds->IsChanged());
  EXPECT_EQ(m_ds->Block(1)->stats.totalPoints, 5);
  EXPECT_EQ(m_fake.log.lines.back(), "Del smp #2..3 in block #1");
  EXPECT_EQ(Child<QLabel>(window, "lblCaption")->text(), "&Выборки (1):");
  EXPECT_EQ(table->model()->rowCount(), 1);
  EXPECT_EQ(window.Selection(), (SelectedSamples{1, 1}));
}

TEST_F(BlockWindowTest, KeysOpenAddAndMoveThroughTheSampleWindow) {
  ui::BlockWindow window(*m_ds, 1, m_context);
  window.show();
  auto* table = Child<QTableView>(window, "tblSamples");
  std::vector<std::pair<int, int>> opened;
  window.editSample = [&](QWidget*, TDatasetSPC& ds, int block, int sample, const ui::EditContext&) {
    opened.emplace_back(block, sample);
    if (sample != 0) return sample;
    EXPECT_TRUE(ds.Block(block)->AddSample("Новая", "", true));
    return ds.Block(block)->SampleCount();
  };
  window.Select({2, 2});
  QTest::keyClick(table, Qt::Key_Return);
  QTest::keyClick(table, Qt::Key_Insert);
  EXPECT_EQ(opened, (std::vector<std::pair<int, int>>{{1, 2}, {1, 0}}));
  EXPECT_EQ(table->model()->rowCount(), 4);
  EXPECT_EQ(window.Selection(), (SelectedSamples{4, 4}));
  EXPECT_EQ(table->model()->index(3, 4).data().toString(), "Новая");
  QTest::keyClick(table, Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(m_ds->Block(1)->Sample(3)->Note(), "Новая");
  EXPECT_EQ(window.Selection(), (SelectedSamples{3, 3}));
  QTest::keyClick(table, Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(m_ds->Block(1)->Sample(4)->Note(), "Новая");
  EXPECT_EQ(m_fake.log.lines.back(), "Exchange samples from pos 3 to 4");
}

TEST_F(BlockWindowTest, ReadOnlyWithoutTheEditSwitch) {
  m_ds->blockEditingAllowed = false;
  ui::BlockWindow window(*m_ds, 1, m_context);
  window.show();
  auto* table = Child<QTableView>(window, "tblSamples");
  int opened = 0;
  window.editSample = [&](QWidget*, TDatasetSPC&, int, int sample, const ui::EditContext&) {
    ++opened;
    return sample;
  };
  EXPECT_EQ(Child<QLabel>(window, "lblEditSwitch")->text(),
            "Редактирование блока запрещено, т.к. снят флаг \"Редактировать\"");
  EXPECT_TRUE(window.windowTitle().endsWith(" - только просмотр"));
  EXPECT_EQ(Offered(window), "01000001");
  window.Select({1, 3});
  EXPECT_EQ(Offered(window), "00000001");
  m_fake.prompts.choices = {0, 0, 0};
  QTest::keyClick(table, Qt::Key_Delete);
  QTest::keyClick(table, Qt::Key_Insert);
  QTest::keyClick(table, Qt::Key_Down, Qt::ControlModifier);
  window.SeparateCurrent();
  window.MergeSelection();
  EXPECT_TRUE(m_fake.prompts.questions.empty());
  EXPECT_TRUE(m_fake.messages.shown.empty());
  EXPECT_EQ(opened, 0);
  EXPECT_EQ(Sizes(), (std::vector<int>{5, 5, 5}));
  EXPECT_FALSE(m_ds->IsChanged());
  window.Select({2, 2});
  QTest::keyClick(table, Qt::Key_Return);  // viewing stays
  EXPECT_EQ(opened, 1);
}

TEST_F(BlockWindowTest, SeparatingThroughItsDialog) {
  ui::BlockWindow window(*m_ds, 1, m_context);
  window.show();
  window.Select({2, 2});
  bool checked = false;
  test::WhenModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<ui::SeparationDialog*>(modal);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), "Разделение выборки 2");
    EXPECT_EQ(Child<QLabel>(*dialog, "lblDescription")->text(),
              "     Объем:  5\nДата/время:  02.03.2024 08:00\nПримечание:  \n   Событие:  ");
    test::ExpectOwnMnemonics(dialog);
    auto* size = Child<QLineEdit>(*dialog, "edtSize");
    EXPECT_EQ(size->text(), "5");
    QTest::keyClick(size, Qt::Key_Return);  // not below the sample's 5 points
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(m_fake.messages.Texts(), std::vector<std::string>{"Объем новых выборок должен быть меньше текущего"});
    size->setText(QStringLiteral("2"));
    Child<QCheckBox>(*dialog, "chkCopyNote")->setChecked(true);
    m_fake.prompts.choices = {0};
    QTest::keyClick(size, Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    checked = true;
  });
  QTest::mouseClick(Child<QPushButton>(window, "btnSeparate"), Qt::LeftButton);
  EXPECT_TRUE(checked);
  EXPECT_EQ(Sizes(), (std::vector<int>{5, 2, 2, 1, 5}));
  ASSERT_EQ(m_fake.prompts.questions.size(), 1u);
  EXPECT_EQ(m_fake.prompts.questions[0].text,
            "Выборка #2 будет разделена на 3 выборки по 2 замера.\r\nОбъем последней выборки - 1.\r\n\r\nРазделить выборку?");
  EXPECT_EQ(m_fake.messages.Texts().back(), "Выборка #2 успешно разделена на 3 выборки");
  EXPECT_EQ(Child<QTableView>(window, "tblSamples")->model()->rowCount(), 5);
  EXPECT_TRUE(ReadSeparationOptions(*m_ds).CopyNote());
  EXPECT_EQ(ReadSeparationOptions(*m_ds).Size(), 2);
}

TEST_F(BlockWindowTest, MergingThroughItsDialog) {
  ui::BlockWindow window(*m_ds, 1, m_context);
  window.show();
  window.Select({1, 1});  // one sample: the whole block
  bool checked = false;
  test::WhenModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<ui::MergingDialog*>(modal);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), "Объединение выборок");
    EXPECT_EQ(Child<QLabel>(*dialog, "lblDescription")->text(),
              "Кол-во выборок :  3\nНомера выборок :  с 1 по 3 (все)\nОбщий объем    :  15\n"
              "Период времени :  01.03.2024 08:00 - 03.03.2024 16:30");
    test::ExpectOwnMnemonics(dialog);
    auto* all = Child<QRadioButton>(*dialog, "rbAll");
    auto* byN = Child<QRadioButton>(*dialog, "rbByN");
    auto* n = Child<QLineEdit>(*dialog, "edtN");
    EXPECT_TRUE(all->isChecked());
    EXPECT_TRUE(Child<QRadioButton>(*dialog, "rbDates")->isEnabled());  // every sample has a date
    EXPECT_FALSE(n->isEnabled());
    EXPECT_FALSE(Child<QCheckBox>(*dialog, "chkEqualNotes")->isEnabled());
    byN->setChecked(true);
    EXPECT_TRUE(n->isEnabled());
    n->setText(QStringLiteral("1"));
    QTest::keyClick(n, Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(m_fake.messages.Texts(),
              std::vector<std::string>{"Количество выборок для объединения указано неверно (2..200)"});
    n->setText(QStringLiteral("2"));
    QTest::keyClick(n, Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    checked = true;
  });
  QTest::mouseClick(Child<QPushButton>(window, "btnMerge"), Qt::LeftButton);
  EXPECT_TRUE(checked);
  EXPECT_EQ(Sizes(), (std::vector<int>{10, 5}));
  EXPECT_EQ(m_fake.messages.Texts().back(), "Выборки успешно объединены по 2 в одну");
  EXPECT_EQ(m_fake.log.lines.back(), "Glue samples finish: 2 total");
  EXPECT_EQ(Child<QLabel>(window, "lblCaption")->text(), "&Выборки (2):");
  EXPECT_EQ(ReadMergingOptions(*m_ds).mode, MergeMode::ByN);
  EXPECT_EQ(ReadMergingOptions(*m_ds).N(), 2);
}

TEST_F(BlockWindowTest, TheSettingsDialogStoresTheThreeRecords) {
  TInputProfileSet profiles;
  ASSERT_TRUE(profiles.AddDefaultProfile());
  TGageSet gages;
  m_context.profiles = &profiles;
  m_context.gages = &gages;
  ui::BlockWindow window(*m_ds, 1, m_context);
  window.show();
  bool checked = false;
  test::WhenModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<ui::EditingSettingsDialog*>(modal);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), "Настройки редактирования данных");
    QTabWidget* pages = dialog->Pages();
    ASSERT_EQ(pages->count(), 4);
    const char* titles[] = {" Блок ", " Выборка ", " Замер ", " Профили ввода "};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(pages->tabText(i), QString::fromUtf8(titles[i]));
    for (int i = 0; i < 3; ++i) test::ExpectOwnMnemonics(pages->widget(i));
    auto* size = Child<QLineEdit>(*dialog, "edtSeparationSize");
    auto* n = Child<QLineEdit>(*dialog, "edtMergeN");
    EXPECT_EQ(size->text(), "5");
    EXPECT_EQ(n->text(), "5");
    Child<QCheckBox>(*dialog, "chkShowValues")->setChecked(true);
    Child<QRadioButton>(*dialog, "rbNextDate")->setChecked(true);
    Child<QRadioButton>(*dialog, "rbLastParameter")->setChecked(true);
    Child<QCheckBox>(*dialog, "chkSound")->setChecked(true);
    Child<QCheckBox>(*dialog, "chkShowPosition")->setChecked(true);
    Child<QCheckBox>(*dialog, "chkCopyNote")->setChecked(true);
    Child<QCheckBox>(*dialog, "chkKeepNotes")->setChecked(false);
    pages->setCurrentIndex(2);
    size->setText(QStringLiteral("0"));
    dialog->accept();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(pages->currentIndex(), 0);  // back to the wrong field's page
    EXPECT_EQ(m_fake.messages.Texts(), std::vector<std::string>{"Объем новых выборок указан неверно"});
    EXPECT_FALSE(m_ds->IsChanged());
    size->setText(QStringLiteral("7"));
    n->setText(QStringLiteral("9"));
    dialog->accept();
    EXPECT_FALSE(dialog->isVisible());
    checked = true;
  });
  QTest::mouseClick(Child<QPushButton>(window, "btnSettings"), Qt::LeftButton);
  EXPECT_TRUE(checked);
  EXPECT_TRUE(m_ds->IsChanged());
  EXPECT_EQ(m_ds->settings.editingOptions, (std::array<std::uint8_t, 10>{1, 1, 1, 0x06, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(m_ds->settings.separationOptions, (std::array<std::uint8_t, 8>{1, 0, 7, 0, 0, 0, 0, 0}));
  const SampleMergingOptions merging = ReadMergingOptions(*m_ds);
  EXPECT_FALSE(merging.KeepNotes());
  EXPECT_EQ(merging.N(), 9);
  // The values' columns came with the option: the block's kind has "Диаметр" and "Длина".
  auto* table = Child<QTableView>(window, "tblSamples");
  ASSERT_EQ(table->model()->columnCount(), 8);
  EXPECT_EQ(table->model()->headerData(7, Qt::Horizontal).toString(), "Длина");
}

TEST_F(BlockWindowTest, TheSettingsOfAlternativeDataLeaveOutPointEntry) {
  TInputProfileSet profiles;
  ASSERT_TRUE(profiles.AddDefaultProfile());
  TGageSet gages;
  m_context.profiles = &profiles;
  m_context.gages = &gages;
  BlockWindowLogic logic(*m_ds, 2);
  ui::EditingSettingsDialog dialog(logic, m_context);
  ASSERT_EQ(dialog.Pages()->count(), 2);
  EXPECT_EQ(dialog.findChild<QCheckBox*>("chkSound"), nullptr);
  EXPECT_NE(dialog.findChild<QCheckBox*>("chkColourColumns"), nullptr);
}

TEST_F(BlockWindowTest, Screenshot) {
  if (!test::MakingScreenshots()) GTEST_SKIP() << "MV_SCREENSHOT_DIR is not set";
  auto ds = LoadDatasetFile(std::string(MV_SOURCE_DIR) + "/examples/demo.mvl");
  ASSERT_TRUE(ds);
  ASSERT_GE(ds->BlockCount(), 1);
  EditingOptions options = ReadEditingOptions(*ds);
  options.showValues = true;
  WriteEditingOptions(*ds, options);
  ui::BlockWindow window(*ds, 1, m_context);
  window.resize(1000, 600);
  window.Select({3, 5});
  test::SaveScreenshot(window, "block_window.png");
}

}  // namespace
}  // namespace mv
