#include "ui/spc_editors.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include <algorithm>

#include "app/config_file.h"
#include "app/history_lists.h"
#include "mnemonics.h"
#include "spc/gages.h"
#include "spc/input_profiles.h"
#include "support/fake_platform.h"
#include "support/sample_dataset.h"
#include "ui/block_editor.h"
#include "ui/parameter_editor.h"
#include "ui/scale_class_editors.h"
#include "ui_test_app.h"

namespace mv {
namespace {

template <class W>
W* Child(QWidget* parent, const char* name) {
  W* w = parent->findChild<W*>(QLatin1String(name));
  EXPECT_NE(w, nullptr) << name;
  return w;
}

// Types `text` over what a field holds, as the user would (the test keyboard knows only Latin
// letters: other text is inserted as the keyboard's input method would).
void TypeInto(QWidget* dialog, const char* name, const QString& text) {
  QWidget* field = Child<QWidget>(dialog, name);
  ASSERT_NE(field, nullptr);
  QLineEdit* line = qobject_cast<QLineEdit*>(field);
  if (auto* combo = qobject_cast<QComboBox*>(field)) line = combo->lineEdit();
  ASSERT_NE(line, nullptr) << name;
  line->selectAll();
  QTest::keyClick(line, Qt::Key_Delete);
  bool latin = true;
  for (QChar c : text) latin = latin && c.unicode() < 0x80;
  if (latin) {
    QTest::keyClicks(line, text);
  } else {
    line->insert(text);
  }
}

// Enter in a field: the dialog's OK.
void PressEnter(QWidget* dialog, const char* inField) {
  QWidget* field = Child<QWidget>(dialog, inField);
  if (auto* combo = qobject_cast<QComboBox*>(field)) field = combo->lineEdit();
  QTest::keyClick(field, Qt::Key_Return);
}

bool HasFocus(QWidget* dialog, const char* name) {
  QWidget* field = Child<QWidget>(dialog, name);
  QWidget* focus = dialog->focusWidget();
  return field && focus && (focus == field || field->isAncestorOf(focus));
}

class SpcEditors : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UiApp();
    ds = test::SampleDataset();
    ds->Block(1)->frequency = "раз в смену";
    ds->MarkSaved();
    context.config = &config;
    RememberValue(History(config, HistoryList::ParameterUnit), "мкм");
  }
  test::FakePlatform fake;
  TEventSoundSet sounds;
  TInputProfileSet profiles;
  ConfigFile config{"/nonexistent", sounds, profiles};
  std::unique_ptr<TDatasetSPC> ds;
  ui::EditContext context;
};

TEST_F(SpcEditors, ARefusedFieldGetsTheFocusWithTheMessage) {
  struct Case {
    const char* field;
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"cbName", "", "Не указано название параметра"},
      {"cbShortName", "длина", "Такое название (длина) уже носит один из количественных параметров"},
      {"edtDefault", "1..2", "Начальное значение указано неверно - 1..2"},
      {"edtLsl", "абв", "Нижняя граница допуска указана неверно - абв"},
      {"edtUsl", "9,8", "Верхняя граница допуска должна быть больше нижней"},
      {"edtNominal", "--1", "Номинал указан неверно - --1"},
      {"edtUrl", "x", "Верхняя граница регулирования указана неверно - x"},
      {"edtBase", "1e", "Базовое значение указано неверно - 1e"},
      {"edtMinPossible", "11", "Максимально возможное значение должно быть больше минимально возможного"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    fake.messages.shown.clear();
    ui::VarParameterDialog dialog(*ds, 1, &config);
    dialog.show();
    TypeInto(&dialog, "edtMaxPossible", "11");
    TypeInto(&dialog, c.field, QString::fromUtf8(c.text));
    PressEnter(&dialog, "cbName");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(fake.messages.Texts(), std::vector<std::string>{c.message});
    const char* focused = std::string_view(c.field) == "edtMinPossible" ? "edtMaxPossible" : c.field;
    EXPECT_TRUE(HasFocus(&dialog, focused)) << dialog.focusWidget()->objectName().toStdString();
  }
  EXPECT_FALSE(ds->IsChanged());
  EXPECT_TRUE(fake.log.lines.empty());

  ui::BlockEditorDialog block(*ds, DataKind::Var, 1, &config);
  block.show();
  TypeInto(&block, "edtSampleSize", "300");
  PressEnter(&block, "cbName");
  EXPECT_EQ(fake.messages.shown.back().text, "Допустимый объем выборки - от 0 до 200");
  EXPECT_TRUE(HasFocus(&block, "edtSampleSize"));

  ui::AltParameterDialog alt(*ds, 0, &config);
  alt.show();
  TypeInto(&alt, "cbName", "Сколы");
  TypeInto(&alt, "edtPpm", "-5");
  PressEnter(&alt, "cbName");
  EXPECT_EQ(fake.messages.shown.back().text, "Предельный уровень указан неверно - -5");
  EXPECT_TRUE(HasFocus(&alt, "edtPpm"));
  EXPECT_EQ(ds->ParameterCount(), 3);
}

TEST_F(SpcEditors, OkStoresEveryFieldOfANewQuantitativeParameter) {
  bool done = false;
  test::WhenModal([&](QWidget* modal) {
    EXPECT_EQ(modal->windowTitle(), "Новый количественный параметр");
    EXPECT_EQ(Child<QComboBox>(modal, "cbUnit")->count(), 1);  // the recently typed unit offered
    TypeInto(modal, "cbName", "Ширина");
    TypeInto(modal, "cbShortName", "Шир");
    TypeInto(modal, "cbUnit", "мм");
    Child<QSpinBox>(modal, "spnDecimals")->setValue(3);
    TypeInto(modal, "cbNote", "по чертежу 12-04");
    TypeInto(modal, "edtDefault", "20");
    TypeInto(modal, "edtLsl", "19,85");
    TypeInto(modal, "edtUsl", "20.15");
    QTest::mouseClick(Child<QPushButton>(modal, "btnMiddle"), Qt::LeftButton);
    EXPECT_EQ(Child<QLineEdit>(modal, "edtNominal")->text(), "20.0000");
    TypeInto(modal, "edtLrl", "19.9");
    TypeInto(modal, "edtUrl", "20.1");
    auto* multiplier = Child<QComboBox>(modal, "cbMultiplier");
    EXPECT_FALSE(multiplier->isEnabled());
    Child<QCheckBox>(modal, "chkRelative")->setChecked(true);
    EXPECT_TRUE(multiplier->isEnabled());
    multiplier->setCurrentIndex(3);
    Child<QCheckBox>(modal, "chkNegate")->setChecked(true);
    TypeInto(modal, "edtBase", "20");
    TypeInto(modal, "edtMaxPossible", "25");
    TypeInto(modal, "edtMinPossible", "15");
    Child<QCheckBox>(modal, "chkNoSkip")->setChecked(false);
    Child<QCheckBox>(modal, "chkExplain")->setChecked(true);
    PressEnter(modal, "edtMinPossible");
    done = true;
  });
  EXPECT_TRUE(ui::EditParameter(nullptr, *ds, DataKind::Var, 0, context));
  ASSERT_TRUE(done);
  ASSERT_EQ(ds->ParameterCount(), 4);
  const TSPCParameter& p = *ds->Parameter(4);
  EXPECT_EQ(p.name, "Ширина");
  EXPECT_EQ(p.shortName, "Шир");
  EXPECT_EQ(p.unit, "мм");
  EXPECT_EQ(p.decimals, 3);
  EXPECT_EQ(p.note, "по чертежу 12-04");
  EXPECT_EQ(p.dataLimits.Get(ValueRange::kTarget), 20.0);
  EXPECT_EQ(p.Lsl(), 19.85);
  EXPECT_EQ(p.Usl(), 20.15);
  EXPECT_EQ(p.Nominal(), 20.0);
  EXPECT_EQ(p.Lrl(), 19.9);
  EXPECT_EQ(p.Url(), 20.1);
  EXPECT_EQ(p.Base(), 20.0);
  EXPECT_EQ(p.multiplierCode, 3);
  EXPECT_TRUE(p.HasFlag(param_flag::kRelative));
  EXPECT_TRUE(p.HasFlag(param_flag::kNegate));
  EXPECT_EQ(p.dataLimits.Get(ValueRange::kUpper), 25.0);
  EXPECT_EQ(p.dataLimits.Get(ValueRange::kLower), 15.0);
  EXPECT_FALSE(p.HasFlag(param_flag::kNoSkip));
  EXPECT_TRUE(p.HasFlag(param_flag::kExplainOutOfTolerance));
  EXPECT_TRUE(ds->IsChanged());
  EXPECT_EQ(fake.log.lines.back().rfind("Add var parameter 4 [", 0), 0u);
  EXPECT_EQ(History(config, HistoryList::ParameterName).front(), "Ширина");
  EXPECT_EQ(History(config, HistoryList::ParameterUnit), (std::vector<std::string>{"мм", "мкм"}));
}

TEST_F(SpcEditors, OkStoresEveryFieldOfAnAlternativeParameter) {
  test::WhenModal([](QWidget* modal) {
    EXPECT_EQ(modal->windowTitle(), "Свойства альтернативного параметра #1");
    TypeInto(modal, "cbName", "Сколы");
    TypeInto(modal, "cbShortName", "Ск");
    Child<QComboBox>(modal, "cbType")->setCurrentIndex(1);
    TypeInto(modal, "edtPpm", "1 500");
    TypeInto(modal, "cbNote", "кромка");
    Child<QCheckBox>(modal, "chkNoSkip")->setChecked(false);
    PressEnter(modal, "edtPpm");
  });
  EXPECT_TRUE(ui::EditParameter(nullptr, *ds, DataKind::Attr, 2, context));
  const TSPCParameter& p = *ds->Parameter(2);
  EXPECT_EQ(p.kind, DataKind::Attr);
  EXPECT_EQ(p.name, "Сколы");
  EXPECT_EQ(p.shortName, "Ск");
  EXPECT_EQ(p.note, "кромка");
  EXPECT_EQ(p.Usl(), 0.0015);
  EXPECT_TRUE(p.HasFlag(param_flag::kNonconformities));
  EXPECT_FALSE(p.HasFlag(param_flag::kNoSkip));
  EXPECT_EQ(ds->ParameterCount(), 3);
  EXPECT_EQ(fake.log.lines.back(), "Change alt parameter 2 [" + p.LogText() + "]");
  EXPECT_EQ(History(config, HistoryList::ParameterNote).front(), "кромка");
}

TEST_F(SpcEditors, EscapeChangesNothingNotEvenAScaleAddedMeanwhile) {
  const std::string before = ds->Parameter(1)->LogText();
  ui::VarParameterDialog dialog(*ds, 1, &config);
  dialog.show();
  TypeInto(&dialog, "cbName", "Другое");
  TypeInto(&dialog, "edtUsl", "12");
  test::WhenModal([](QWidget* modal) {
    TypeInto(modal, "edtScaleName", "Размеры");
    PressEnter(modal, "edtScaleName");
  });
  QTest::mouseClick(Child<QPushButton>(&dialog, "btnNewScale"), Qt::LeftButton);
  EXPECT_EQ(Child<QComboBox>(&dialog, "cbScale")->currentText(), "Размеры");
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(ds->Parameter(1)->LogText(), before);
  EXPECT_EQ(ds->scales.Count(), 0);
  EXPECT_FALSE(ds->IsChanged());
  EXPECT_TRUE(fake.log.lines.empty());
  EXPECT_TRUE(History(config, HistoryList::ParameterName).empty());
}

TEST_F(SpcEditors, TheScaleAndClassEditorsAddAnEntryTheParameterThenUses) {
  ui::VarParameterDialog dialog(*ds, 3, &config);
  dialog.show();
  auto* scale = Child<QComboBox>(&dialog, "cbScale");
  auto* unit = Child<QComboBox>(&dialog, "cbUnit");
  EXPECT_EQ(scale->currentText(), "<Собственный>");
  EXPECT_FALSE(Child<QPushButton>(&dialog, "btnEditScale")->isEnabled());
  test::WhenModal([](QWidget* modal) {
    EXPECT_EQ(modal->windowTitle(), "Новый масштаб");
    TypeInto(modal, "edtScaleName", "Линейные размеры");
    TypeInto(modal, "edtScaleUnit", "мкм");
    PressEnter(modal, "edtScaleUnit");
  });
  QTest::mouseClick(Child<QPushButton>(&dialog, "btnNewScale"), Qt::LeftButton);
  EXPECT_EQ(scale->currentText(), "Линейные размеры (мкм)");
  EXPECT_EQ(unit->currentText(), "мкм");
  EXPECT_FALSE(unit->isEnabled());

  test::WhenModal([](QWidget* modal) {
    PressEnter(modal, "edtClassName");  // an empty name is refused and the editor stays
    EXPECT_TRUE(modal->isVisible());
    TypeInto(modal, "edtClassName", "Основной");
    PressEnter(modal, "edtClassName");
  });
  QTest::mouseClick(Child<QPushButton>(&dialog, "btnNewClass"), Qt::LeftButton);
  EXPECT_EQ(fake.messages.Texts(), std::vector<std::string>{"Укажите название класса"});
  EXPECT_EQ(Child<QComboBox>(&dialog, "cbClass")->currentText(), "Основной");

  PressEnter(&dialog, "cbName");
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  const TSPCParameter& p = *ds->Parameter(3);
  ASSERT_EQ(ds->scales.Count(), 1);
  ASSERT_EQ(ds->classes.Count(), 1);
  EXPECT_EQ(p.scaleId, ds->scales.Get(1)->id);
  EXPECT_EQ(p.classId, ds->classes.Get(1)->id);
  EXPECT_EQ(p.unit, "мкм");
  EXPECT_TRUE(ds->IsChanged());
}

TEST_F(SpcEditors, ADeletedScaleLeavesTheParameterWithItsOwnUnitAndTheRelativeTextFollows) {
  ds->scales.Add("Размеры", "мкм");
  ds->Parameter(1)->scaleId = ds->scales.Get(1)->id;
  ds->Parameter(1)->unit = "мкм";
  ds->ResolveScalesAndClasses();
  ui::VarParameterDialog dialog(*ds, 1, &config);
  dialog.show();
  auto* unit = Child<QComboBox>(&dialog, "cbUnit");
  EXPECT_FALSE(unit->isEnabled());
  fake.messages.answers.push_back(true);
  QTest::mouseClick(Child<QToolButton>(&dialog, "btnDeleteScale"), Qt::LeftButton);
  EXPECT_EQ(Child<QComboBox>(&dialog, "cbScale")->currentText(), "<Собственный>");
  EXPECT_TRUE(unit->isEnabled());
  EXPECT_FALSE(Child<QToolButton>(&dialog, "btnDeleteScale")->isEnabled());

  auto* relative = Child<QLabel>(&dialog, "lblRelative");
  EXPECT_EQ(relative->text(), "Абсолютное значение");
  Child<QCheckBox>(&dialog, "chkRelative")->setChecked(true);
  TypeInto(&dialog, "edtBase", "10");
  Child<QComboBox>(&dialog, "cbMultiplier")->setCurrentIndex(1);
  EXPECT_EQ(relative->text(), "Относительное значение: y=10.00000+x*0.1");

  PressEnter(&dialog, "cbName");
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(ds->scales.Count(), 0);
  EXPECT_EQ(ds->Parameter(1)->scaleId, 0);
  EXPECT_EQ(ds->Parameter(1)->RelativeText(), "Относительное значение: y=10.00000+x*0.1");
}

TEST_F(SpcEditors, ANewBlockTakesTheLastBlocksFrequency) {
  int created = 0;
  test::WhenModal([](QWidget* modal) {
    EXPECT_EQ(modal->windowTitle(), "Новый блок количественных данных");
    EXPECT_EQ(Child<QComboBox>(modal, "cbFrequency")->currentText(), "раз в смену");
    EXPECT_TRUE(Child<QCheckBox>(modal, "chkDates")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>(modal, "chkTimes")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(modal, "chkProtectView")->isEnabled());
    TypeInto(modal, "cbName", "Смена 3");
    TypeInto(modal, "edtSampleSize", "5");
    PressEnter(modal, "cbName");
  });
  EXPECT_TRUE(ui::EditBlock(nullptr, *ds, DataKind::Var, 0, context, &created));
  ASSERT_EQ(created, 3);
  const TSPCBlock& b = *ds->Block(3);
  EXPECT_EQ(b.name, "Смена 3");
  EXPECT_EQ(b.frequency, "раз в смену");
  EXPECT_EQ(b.fixedSampleSize, 5);
  EXPECT_EQ(b.kind, DataKind::Var);
  EXPECT_EQ(History(config, HistoryList::BlockName).front(), "Смена 3");

  // Escape on an existing block leaves it as it was.
  test::WhenModal([](QWidget* modal) {
    TypeInto(modal, "cbName", "Другое");
    QTest::keyClick(modal, Qt::Key_Escape);
  });
  EXPECT_FALSE(ui::EditBlock(nullptr, *ds, DataKind::Var, 3, context));
  EXPECT_EQ(ds->Block(3)->name, "Смена 3");
}

TEST_F(SpcEditors, TabTravelsTheParameterFieldsInTheirOrder) {
  ui::VarParameterDialog dialog(*ds, 1, &config);
  dialog.show();
  std::vector<QWidget*> expected;
  for (EditorField f : kVarParameterFieldOrder) expected.push_back(dialog.FieldWidget(f));
  std::vector<QWidget*> met;
  QWidget* w = dialog.FieldWidget(EditorField::Name);
  for (int step = 0; step < 200 && met.size() < expected.size(); ++step, w = w->nextInFocusChain()) {
    if (std::find(expected.begin(), expected.end(), w) != expected.end() &&
        std::find(met.begin(), met.end(), w) == met.end()) {
      met.push_back(w);
    }
  }
  EXPECT_EQ(met, expected);
}

TEST_F(SpcEditors, EveryEditorHasItsOwnMnemonics) {
  // The picture shows a parameter with its scale, class and note.
  ds->scales.Add("Линейные размеры", "мм");
  ds->classes.Add("Основной", "Влияет на собираемость");
  TSPCParameter& p = *ds->Parameter(1);
  p.shortName = "D";
  p.note = "Наружный диаметр втулки, черт. 12-04";
  p.scaleId = ds->scales.Get(1)->id;
  p.classId = ds->classes.Get(1)->id;
  p.SetFlag(param_flag::kExplainOutOfTolerance, true);
  ds->ResolveScalesAndClasses();
  ui::VarParameterDialog var(*ds, 1, &config);
  ui::AltParameterDialog alt(*ds, 2, &config);
  ui::BlockEditorDialog block(*ds, DataKind::Var, 1, &config);
  ui::ScaleEditorDialog scale(ds->scales, 0);
  ui::ClassEditorDialog cls(ds->classes, 0);
  for (QWidget* dialog : std::initializer_list<QWidget*>{&var, &alt, &block, &scale, &cls}) {
    test::ExpectOwnMnemonics(dialog);
  }
  EXPECT_EQ(Child<QComboBox>(&alt, "cbName")->currentText(), "Брак");
  var.show();
  QApplication::processEvents();
  for (QPushButton* button : var.findChildren<QPushButton*>()) {
    EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
  }
  // The lists show their longest entry whole.
  for (QDialog* dialog : std::initializer_list<QDialog*>{&alt, &block}) {
    dialog->show();
    QApplication::processEvents();
    for (QComboBox* list : dialog->findChildren<QComboBox*>()) {
      if (list->isEditable()) continue;
      EXPECT_GE(list->width(), list->sizeHint().width()) << list->objectName().toStdString();
    }
  }
  test::SaveScreenshot(var, "parameter_editor.png");
}

}  // namespace
}  // namespace mv
