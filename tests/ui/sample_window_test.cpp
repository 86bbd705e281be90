// The sample windows: points typed by keyboard only are stored, a value still in edit is
// committed before a save, refused values keep the entry, leaving is checked, and the
// alternative window checks its fields in order.

#include "ui/sample_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/config_file.h"
#include "app/history_lists.h"
#include "app/pending_edits.h"
#include "app/shell.h"
#include "core/event_sounds.h"
#include "core/messages.h"
#include "spc/editing_options.h"
#include "spc/gages.h"
#include "spc/input_profiles.h"
#include "spc/spc_file.h"
#include "support/bytes.h"
#include "support/fake_platform.h"
#include "support/sample_dataset.h"
#include "mnemonics.h"
#include "ui/point_grid.h"
#include "ui_test_app.h"

namespace mv {
namespace {

class SampleWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UiApp();
    m_ds->MarkSaved();
    m_ds->Block(1)->fixedSampleSize = 0;
    AddStandardEventDefaults(m_sounds);
    m_sounds.enabled = true;
    m_previousContext = SetMessageContext({nullptr, &m_sounds});
  }
  void TearDown() override { SetMessageContext(m_previousContext); }

  template <class W>
  static W* Child(QWidget* d, const char* name) {
    W* w = d->findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  // Types a value into the grid as a keyboard (or a gauge that types like one) does.
  static void Type(QWidget* grid, const char* text, bool enter = true) {
    QTest::keyClicks(grid, QString::fromUtf8(text));
    if (enter) QTest::keyClick(grid, Qt::Key_Return);
  }
  static void Ok(QWidget* w) {
    auto* box = w->findChild<QDialogButtonBox*>();
    ASSERT_TRUE(box);
    box->button(QDialogButtonBox::Ok)->click();
  }
  void SetOptions(std::uint16_t flags) {
    EditingOptions options = ReadEditingOptions(*m_ds);
    options.flags = flags;
    WriteEditingOptions(*m_ds, options);
  }

  test::FakePlatform m_fake;
  std::unique_ptr<TDatasetSPC> m_ds = test::SampleDataset();
  TEventSoundSet m_sounds;
  MessageContext m_previousContext;
};

TEST_F(SampleWindowTest, ASampleTypedByKeyboardOnlyIsStored) {
  SetOptions(editing_flag::kSound);
  QString title;
  test::WhenModal([&](QWidget* w) {
    title = w->windowTitle();
    test::ExpectOwnMnemonics(w);
    auto* grid = Child<ui::PointGrid>(w, "grdPoints");
    ASSERT_TRUE(grid);
    // Diameter and length of three points, Enter (or Tab, as some gauges send) after every value.
    const std::pair<const char*, Qt::Key> kTyped[] = {{"10,01", Qt::Key_Return}, {"50,1", Qt::Key_Return},
                                                      {"9,99", Qt::Key_Tab},     {"50,2", Qt::Key_Tab},
                                                      {"1 234,5", Qt::Key_Enter}, {"50.3", Qt::Key_Return}};
    for (const auto& [value, key] : kTyped) {
      Type(grid, value, false);
      QTest::keyClick(grid, key);
    }
    EXPECT_EQ(grid->currentIndex().row(), 3);  // the next point
    EXPECT_EQ(grid->currentIndex().column(), 0);
    EXPECT_EQ(w->windowTitle(), "Выборка 4 (новая) в блоке \"Смена 1\"");
    Ok(w);
  });
  const int shown = ui::EditSample(nullptr, *m_ds, 1, 0, ui::EditContext{});
  EXPECT_EQ(title, "Выборка 4 (новая) в блоке \"Смена 1\"");
  EXPECT_EQ(shown, 4);
  const TSPCSample& s = *m_ds->Block(1)->Sample(4);
  ASSERT_EQ(s.PointCount(), 3);
  const double kExpected[3][2] = {{10.01, 50.1}, {9.99, 50.2}, {1234.5, 50.3}};
  for (int p = 0; p < 3; ++p) {
    EXPECT_DOUBLE_EQ(s.Point(p + 1)->Value(1), kExpected[p][0]) << p;
    EXPECT_DOUBLE_EQ(s.Point(p + 1)->Value(3), kExpected[p][1]) << p;
  }
  EXPECT_NE(s.flags & sample_flag::kOutOfTolerance, 0);
  EXPECT_TRUE(s.changed);
  EXPECT_TRUE(m_ds->IsChanged());
  EXPECT_EQ(m_ds->Block(1)->stats.totalPoints, 18);
  // A sound for every value stored: in the tolerance, and out of it for 1234.5.
  const std::string in = "builtin:2";
  EXPECT_EQ(m_fake.sound.played, (std::vector<std::string>{in, in, in, in, "builtin:3", in}));
  EXPECT_TRUE(m_fake.messages.Texts().empty()) << m_fake.messages.Texts().front();
}

}  // namespace
}  // namespace mv

namespace mv {
namespace {

// The cell still in edit when the dataset is saved through the shell (Ctrl+S in the window)
// is in the saved file; the window's commit goes when the window does.
TEST_F(SampleWindowTest, AValueInEditWhenTheDatasetIsSavedIsInTheFile) {
  test::TempFolder dir;
  const std::string path = dir.Path("данные.mvl");
  ASSERT_TRUE(test::WriteSampleDataset(path));
  Shell shell;
  ASSERT_TRUE(shell.OpenDatasetFile(path, kFromDialog));
  TDatasetSPC& ds = *shell.Datasets().At(0);
  ui::EditContext context;
  context.slot = shell.Datasets().Entry(0)->slot;
  context.pending = &shell.Edits();
  context.saveDataset = [&] { return shell.SaveDataset(context.slot, false); };
  int pendingWhileOpen = 0;
  test::WhenModal([&](QWidget* w) {
    pendingWhileOpen = shell.Edits().Count();
    auto* grid = Child<ui::PointGrid>(w, "grdPoints");
    ASSERT_TRUE(grid);
    grid->GoTo(1, 1);
    Type(grid, "50,45", false);
    ASSERT_TRUE(grid->Editing());
    // The window's shortcuts work while it is the active one, as it is when the user types.
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    QTest::keyClick(grid->Entry(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(grid->Editing());
    QTest::keyClick(grid, Qt::Key_Escape);
  });
  EXPECT_EQ(ui::EditSample(nullptr, ds, 1, 2, context), 2);
  EXPECT_EQ(pendingWhileOpen, 1);
  EXPECT_EQ(shell.Edits().Count(), 0);
  EXPECT_TRUE(m_fake.messages.Texts().empty()) << m_fake.messages.Texts().front();
  const auto saved = LoadDatasetFile(path);
  ASSERT_TRUE(saved);
  EXPECT_DOUBLE_EQ(saved->Block(1)->Sample(2)->Point(2)->Value(3), 50.45);
}

// A refused value keeps the entry open with the text as typed; Escape then reverts it.
TEST_F(SampleWindowTest, ARefusedValueKeepsTheEntry) {
  m_ds->Parameter(3)->SetDataLimits(0, 100, std::nullopt);
  const double before = m_ds->Block(1)->Sample(1)->Point(1)->Value(3);
  const struct {
    const char* typed;
    int row;  // 5: the next point's row
    std::uint16_t fixedSize;
    const char* message;
  } kCases[] = {
      {"abc", 0, 0, "Значение параметра Длина указано неверно - abc"},
      {"1 000", 0, 0, "Значение параметра Длина (1000.00) выходит за пределы возможных значений (от 0.00 до 100.00)"},
      {"50", 5, 5,
       "Достигнут предел количества замеров в выборке (5),\r\nустановленный для текущего блока данных.\r\n\r\n"
       "Новый замер добавить невозможно. Создайте новую выборку"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.typed);
    m_fake.messages.shown.clear();
    m_ds->Block(1)->fixedSampleSize = c.fixedSize;
    test::WhenModal([&](QWidget* w) {
      auto* grid = Child<ui::PointGrid>(w, "grdPoints");
      ASSERT_TRUE(grid);
      grid->GoTo(c.row, 1);
      Type(grid, c.typed);
      EXPECT_EQ(m_fake.messages.Texts(), std::vector<std::string>{c.message});
      EXPECT_TRUE(grid->Editing());
      EXPECT_EQ(grid->Entry()->text(), QString::fromUtf8(c.typed));
      EXPECT_EQ(w->focusWidget(), grid->Entry());
      EXPECT_TRUE(grid->Entry()->isVisible());
      EXPECT_EQ(grid->currentIndex().row(), c.row);
      EXPECT_EQ(grid->currentIndex().column(), 1);
      // Leaving is refused as long as the value is.
      Ok(w);
      EXPECT_TRUE(w->isVisible());
      QTest::keyClick(grid->Entry(), Qt::Key_Escape);
      EXPECT_FALSE(grid->Editing());
      Ok(w);
    });
    EXPECT_EQ(ui::EditSample(nullptr, *m_ds, 1, 1, ui::EditContext{}), 1);
    EXPECT_EQ(m_ds->Block(1)->Sample(1)->Point(1)->Value(3), before);
    EXPECT_EQ(m_ds->Block(1)->Sample(1)->PointCount(), 5);
    EXPECT_FALSE(m_ds->IsChanged());
  }
}

// Leaving a sample: a new one with no point is refused by OK and removed when the window is
// closed; a value out of the tolerance of a parameter that asks for a reason needs a note.
TEST_F(SampleWindowTest, LeavingTheSampleIsChecked) {
  test::WhenModal([&](QWidget* w) {
    Ok(w);
    EXPECT_EQ(m_fake.messages.Texts(), std::vector<std::string>{"Выборка должна содержать хотя бы один замер"});
    EXPECT_TRUE(w->isVisible());
    QTest::keyClick(Child<ui::PointGrid>(w, "grdPoints"), Qt::Key_Escape);
  });
  EXPECT_EQ(ui::EditSample(nullptr, *m_ds, 1, 0, ui::EditContext{}), 0);
  EXPECT_EQ(m_ds->Block(1)->SampleCount(), 3);

  m_fake.messages.shown.clear();
  m_ds->Parameter(1)->SetFlag(param_flag::kExplainOutOfTolerance, true);
  SetOptions(editing_flag::kShowPosition | editing_flag::kHighlight);
  test::PictureFolder pictures;
  TInputProfileSet profiles;
  ConfigFile config(pictures.path(), m_sounds, profiles);
  ui::EditContext context;
  context.config = &config;
  context.profiles = &profiles;
  if (profiles.Count() == 0) profiles.AddDefaultProfile();
  test::WhenModal([&](QWidget* w) {
    auto* grid = Child<ui::PointGrid>(w, "grdPoints");
    auto* note = Child<QComboBox>(w, "cbNote");
    ASSERT_TRUE(grid && note);
    grid->GoTo(2, 0);
    Type(grid, "10,25");
    EXPECT_EQ(grid->model()->data(grid->model()->index(2, 0)).toString(), QString::fromUtf8("\u25B2 10.25"));
    test::SaveScreenshot(*w, "sample_window.png");
    m_fake.sound.played.clear();
    Ok(w);
    EXPECT_EQ(m_fake.messages.Texts(),
              std::vector<std::string>{"Пожалуйста, укажите в примечании выборки причину выхода некоторых значений за допуск\r\n"
                                       "(это условие параметра \"Диаметр\")"});
    EXPECT_EQ(m_fake.sound.played.front(), "builtin:3");  // the out-of-tolerance event first
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->focusWidget() == note || w->focusWidget() == note->lineEdit());
    note->setEditText(QStringLiteral("Износ резца"));
    Ok(w);
  });
  EXPECT_EQ(ui::EditSample(nullptr, *m_ds, 1, 2, context), 2);
  EXPECT_EQ(m_ds->Block(1)->Sample(2)->Note(), "Износ резца");
  EXPECT_DOUBLE_EQ(m_ds->Block(1)->Sample(2)->Point(3)->Value(1), 10.25);
  EXPECT_EQ(History(config, HistoryList::SampleNote).front(), "Износ резца");
}

// Ctrl+Delete deletes the selected points after the question; previous and next move within
// the block, leaving each sample through its checks.
TEST_F(SampleWindowTest, PointsAreDeletedAndSamplesBrowsed) {
  m_fake.messages.answers = {true};
  std::vector<QString> titles;
  test::WhenModal([&](QWidget* w) {
    auto* grid = Child<ui::PointGrid>(w, "grdPoints");
    ASSERT_TRUE(grid);
    grid->GoTo(1, 0);
    QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    titles.push_back(w->windowTitle());
    // The previous sample's date, with this sample's own time.
    Child<QPushButton>(w, "btnPrevDate")->click();
    EXPECT_EQ(Child<QDateEdit>(w, "edtDate")->date(), QDate(2024, 3, 1));
    EXPECT_EQ(Child<QPushButton>(w, "btnPrevTime")->toolTip(), "Время предыдущей выборки: 08:00:00");
    Child<QPushButton>(w, "btnPrevious")->click();
    titles.push_back(w->windowTitle());
    Child<QPushButton>(w, "btnNext")->click();
    Child<QPushButton>(w, "btnNext")->click();
    titles.push_back(w->windowTitle());
    EXPECT_EQ(Child<QPushButton>(w, "btnNext")->text(), "Нова&я выборка");
    Ok(w);
  });
  EXPECT_EQ(ui::EditSample(nullptr, *m_ds, 1, 2, ui::EditContext{}), 3);
  EXPECT_EQ(m_fake.messages.Texts(), std::vector<std::string>{"Вы действительно хотите удалить замеры с #2 по #3 ?"});
  EXPECT_EQ(m_ds->Block(1)->Sample(2)->PointCount(), 3);
  EXPECT_EQ(m_ds->Block(1)->Sample(2)->Text(), "01.03.2024 08:00");
  EXPECT_EQ(titles, (std::vector<QString>{"Выборка 2/3 в блоке \"Смена 1\"", "Выборка 1/3 в блоке \"Смена 1\"",
                                          "Выборка 3/3 в блоке \"Смена 1\""}));
}

// The alternative window checks the size, then each count, in that order, and stays on the
// field at fault; a sample that passes is appended.
TEST_F(SampleWindowTest, TheAlternativeWindowChecksInOrder) {
  m_ds->Block(2)->fixedSampleSize = 50;
  m_ds->Parameter(2)->SetFlag(param_flag::kNoSkip, true);
  const struct {
    const char* size;
    const char* value;
    const char* message;  // "" : saved
    const char* focus;
  } kSteps[] = {
      {"", "", "Не указан объем выборки", "edtSize"},
      {"0", "", "Неверно указан объем выборки (0)", "edtSize"},
      {"40000", "", "Неверно указан объем выборки (40000)", "edtSize"},
      {"40", "", "В текущем блоке объем выборки должен быть равен 50", "edtSize"},
      {"50", "", "Не указано значение параметра Брак", "edtValue1"},
      {"50", "x", " Недопустимое значение параметра Брак  (x)", "edtValue1"},
      {"50", "70", "Значение параметра Брак (70&) не должно превышать объема выборки (50)", "edtValue1"},
      {"50", "7", "", ""},
  };
  QString title;
  test::WhenModal([&](QWidget* w) {
    title = w->windowTitle();
    test::ExpectOwnMnemonics(w);
    EXPECT_EQ(Child<QLineEdit>(w, "edtSize")->text(), "50");  // the block's fixed size
    EXPECT_TRUE(Child<QWidget>(w, "edtDate")->isVisible());
    EXPECT_FALSE(Child<QWidget>(w, "edtTime")->isVisible());
    for (const auto& step : kSteps) {
      SCOPED_TRACE(step.size);
      m_fake.messages.shown.clear();
      Child<QLineEdit>(w, "edtSize")->setText(QString::fromUtf8(step.size));
      Child<QLineEdit>(w, "edtValue1")->setText(QString::fromUtf8(step.value));
      Ok(w);
      if (*step.message == '\0') {
        EXPECT_TRUE(m_fake.messages.Texts().empty());
        break;
      }
      EXPECT_EQ(m_fake.messages.Texts(), std::vector<std::string>{step.message});
      EXPECT_TRUE(w->isVisible());
      EXPECT_EQ(w->focusWidget(), Child<QWidget>(w, step.focus));
    }
  });
  EXPECT_EQ(ui::EditSample(nullptr, *m_ds, 2, 0, ui::EditContext{}), 1);
  EXPECT_EQ(title, "Выборка 1 (новая) в блоке \"Смена 2\"");
  ASSERT_EQ(m_ds->Block(2)->SampleCount(), 1);
  const TSPCSample& s = *m_ds->Block(2)->Sample(1);
  EXPECT_EQ(s.sampleSize, 50);
  EXPECT_DOUBLE_EQ(s.Point(1)->Value(2), 7);
  EXPECT_TRUE(m_ds->IsChanged());

  // Without the edit switch the window only shows.
  m_ds->blockEditingAllowed = false;
  test::WhenModal([&](QWidget* w) {
    EXPECT_FALSE(Child<QWidget>(w, "edtSize")->isEnabled());
    EXPECT_TRUE(Child<QLineEdit>(w, "edtValue1")->isReadOnly());
    EXPECT_EQ(Child<QLineEdit>(w, "edtValue1")->text(), "7");
    EXPECT_FALSE(Child<QPushButton>(w, "btnNext")->isVisible());
    Ok(w);
  });
  EXPECT_EQ(ui::EditSample(nullptr, *m_ds, 2, 1, ui::EditContext{}), 1);
  EXPECT_EQ(ui::EditSample(nullptr, *m_ds, 2, 0, ui::EditContext{}), 0);
}

}  // namespace
}  // namespace mv

namespace mv {
namespace {

// The input profile chosen in the window becomes the current one and governs the instruction
// and the warning about a gauge whose range does not cover a parameter's possible values.
TEST_F(SampleWindowTest, TheInputProfileGovernsTheInstruction) {
  m_ds->Parameter(3)->SetDataLimits(0, 100, std::nullopt);
  TGageSet gages;
  ASSERT_TRUE(gages.AddNew());
  TGage& gage = *gages.Item(1);
  gage.name = "Микрометр";
  gage.range.Set(2, 0, 25, std::nullopt);
  TInputProfileSet profiles;
  ASSERT_TRUE(profiles.AddDefaultProfile());
  ASSERT_TRUE(profiles.AddNew());
  TInputProfile& byGage = *profiles.Item(profiles.Count());
  byGage.name = "Микрометр";
  byGage.source = static_cast<std::uint8_t>(InputSource::Gage);
  byGage.gageId = gage.id;
  profiles.SetCurrent(1);
  ui::EditContext context;
  context.profiles = &profiles;
  context.gages = &gages;
  test::WhenModal([&](QWidget* w) {
    auto* chooser = Child<QComboBox>(w, "cbProfile");
    auto* instruction = Child<QLabel>(w, "lblInstruction");
    auto* warning = Child<QLabel>(w, "lblRangeWarning");
    ASSERT_TRUE(chooser && instruction && warning);
    test::ExpectOwnMnemonics(w);
    EXPECT_EQ(chooser->count(), profiles.Count());
    EXPECT_EQ(instruction->text(), "Используйте клавиатуру для ввода исходных данных");
    EXPECT_FALSE(warning->isVisible());
    chooser->setCurrentIndex(profiles.Count() - 1);
    EXPECT_EQ(instruction->text(), "Используйте СИ для ввода исходных данных, нажимая кнопку на приборе");
    EXPECT_TRUE(warning->isVisible());
    EXPECT_EQ(warning->toolTip(),
              " Пределы измерений данного СИ не соответствуют пределам возможных значений некоторых параметров (Длина) ");
    Ok(w);
  });
  EXPECT_EQ(ui::EditSample(nullptr, *m_ds, 1, 1, context), 1);
  EXPECT_EQ(profiles.CurrentPosition(), profiles.Count());
}

}  // namespace
}  // namespace mv

namespace mv {
namespace {

// Without the edit switch the quantitative window only shows: nothing opens for typing, no new
// sample is offered or made.
TEST_F(SampleWindowTest, WithoutTheEditSwitchTheSampleOnlyShows) {
  m_ds->blockEditingAllowed = false;
  const double before = m_ds->Block(1)->Sample(3)->Point(1)->Value(1);
  test::WhenModal([&](QWidget* w) {
    auto* grid = Child<ui::PointGrid>(w, "grdPoints");
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->model()->rowCount(), 5);  // no row for a next point
    grid->GoTo(0, 0);
    Type(grid, "10,3");
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_FALSE(grid->Editing());
    EXPECT_FALSE(Child<QWidget>(w, "cbNote")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(w, "btnNext")->isVisible());
    Ok(w);
  });
  EXPECT_EQ(ui::EditSample(nullptr, *m_ds, 1, 3, ui::EditContext{}), 3);
  EXPECT_EQ(m_ds->Block(1)->Sample(3)->Point(1)->Value(1), before);
  EXPECT_FALSE(m_ds->IsChanged());
  EXPECT_EQ(ui::EditSample(nullptr, *m_ds, 1, 0, ui::EditContext{}), 0);
  EXPECT_EQ(m_ds->Block(1)->SampleCount(), 3);
}

}  // namespace
}  // namespace mv

namespace mv {
namespace {

// Arrows, Home/End and PgUp/PgDn move the cursor over the points and the next point's row.
TEST_F(SampleWindowTest, TheKeysMoveOverTheGrid) {
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int row, column;
  } kMoves[] = {
      {Qt::Key_Home, Qt::NoModifier, 2, 0},      {Qt::Key_End, Qt::NoModifier, 2, 1},
      {Qt::Key_Up, Qt::NoModifier, 1, 1},        {Qt::Key_Left, Qt::NoModifier, 1, 0},
      {Qt::Key_Home, Qt::ControlModifier, 0, 0}, {Qt::Key_End, Qt::ControlModifier, 5, 1},
      {Qt::Key_PageUp, Qt::NoModifier, 0, 1},    {Qt::Key_PageDown, Qt::NoModifier, 5, 1},
  };
  test::WhenModal([&](QWidget* w) {
    auto* grid = Child<ui::PointGrid>(w, "grdPoints");
    ASSERT_TRUE(grid);
    grid->GoTo(2, 1);
    for (const auto& m : kMoves) {
      QTest::keyClick(grid, m.key, m.modifiers);
      EXPECT_EQ(grid->currentIndex().row(), m.row) << m.key;
      EXPECT_EQ(grid->currentIndex().column(), m.column) << m.key;
    }
    Ok(w);
  });
  EXPECT_EQ(ui::EditSample(nullptr, *m_ds, 1, 1, ui::EditContext{}), 1);
  EXPECT_FALSE(m_ds->IsChanged());
}

}  // namespace
}  // namespace mv
