#include "app/spc_editor_logic.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/config_file.h"
#include "app/history_lists.h"
#include "core/numbers.h"
#include "spc/gages.h"
#include "spc/input_profiles.h"
#include "support/fake_platform.h"
#include "support/sample_dataset.h"

namespace mv {
namespace {

// The sample dataset (quantitative "Диаметр" 9.9..10.1 and "Длина" up to 50.5, alternative
// "Брак"; blocks "Смена 1" and "Смена 2"), saved, with a configuration for the typed lists.
class EditorLogic : public ::testing::Test {
 protected:
  void SetUp() override {
    ds = test::SampleDataset();
    ds->MarkSaved();
  }
  test::FakePlatform fake;
  TEventSoundSet sounds;
  TInputProfileSet profiles;
  ConfigFile config{"/nonexistent", sounds, profiles};
  std::unique_ptr<TDatasetSPC> ds;
};

// One text field of the quantitative form by the field it is.
std::string& VarField(ParameterForm& f, EditorField field) {
  switch (field) {
    case EditorField::ShortName: return f.shortName;
    case EditorField::DefaultValue: return f.defaultValue;
    case EditorField::Lsl: return f.lsl;
    case EditorField::Usl: return f.usl;
    case EditorField::Nominal: return f.nominal;
    case EditorField::Lrl: return f.lrl;
    case EditorField::Url: return f.url;
    case EditorField::Base: return f.base;
    case EditorField::MinPossible: return f.minPossible;
    case EditorField::MaxPossible: return f.maxPossible;
    default: return f.name;
  }
}

TEST_F(EditorLogic, AQuantitativeRefusalNamesItsFieldAndChangesNothing) {
  struct Case {
    ParameterForm form;
    EditorField field;
    const char* message;
  };
  const Case cases[] = {
      {{.name = "  "}, EditorField::Name, "Не указано название параметра"},
      {{.name = "ДЛИНА"}, EditorField::Name, "Такое название (ДЛИНА) уже носит один из количественных параметров"},
      {{.name = "Ширина", .shortName = "брак"}, EditorField::ShortName,
       "Такое название (брак) уже носит один из количественных параметров"},
      {{.name = "Ширина", .defaultValue = "1,2,3"}, EditorField::DefaultValue, "Начальное значение указано неверно - 1,2,3"},
      {{.name = "Ширина", .lsl = "a"}, EditorField::Lsl, "Нижняя граница допуска указана неверно - a"},
      {{.name = "Ширина", .usl = "b"}, EditorField::Usl, "Верхняя граница допуска указана неверно - b"},
      {{.name = "Ширина", .lsl = "5", .usl = "5"}, EditorField::Usl, "Верхняя граница допуска должна быть больше нижней"},
      {{.name = "Ширина", .nominal = "c"}, EditorField::Nominal, "Номинал указан неверно - c"},
      {{.name = "Ширина", .lrl = "d"}, EditorField::Lrl, "Нижняя граница регулирования указана неверно - d"},
      {{.name = "Ширина", .url = "e"}, EditorField::Url, "Верхняя граница регулирования указана неверно - e"},
      {{.name = "Ширина", .lrl = "2", .url = "1"}, EditorField::Url,
       "Верхняя граница регулирования должна быть больше нижней"},
      {{.name = "Ширина", .base = "f"}, EditorField::Base, "Базовое значение указано неверно - f"},
      {{.name = "Ширина", .minPossible = "g"}, EditorField::MinPossible, "Минимально возможное значение указано неверно - g"},
      {{.name = "Ширина", .maxPossible = "h"}, EditorField::MaxPossible, "Максимально возможное значение указано неверно - h"},
      {{.name = "Ширина", .minPossible = "3", .maxPossible = "3"}, EditorField::MaxPossible,
       "Максимально возможное значение должно быть больше минимально возможного"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    fake.messages.shown.clear();
    ParameterEditor editor(*ds, DataKind::Var, 0, &config);
    editor.form = c.form;
    const EditorOutcome outcome = editor.Accept();
    EXPECT_EQ(outcome.message, c.message);
    EXPECT_EQ(outcome.field, c.field);
    EXPECT_EQ(fake.messages.Texts(), std::vector<std::string>{c.message});
    EXPECT_EQ(ds->ParameterCount(), 3);
    EXPECT_FALSE(ds->IsChanged());
  }
  EXPECT_TRUE(fake.log.lines.empty());
  EXPECT_TRUE(History(config, HistoryList::ParameterName).empty());
}

TEST_F(EditorLogic, OfTwoWrongFieldsTheOneEarlierInTheFieldOrderIsReported) {
  const std::vector<EditorField> numeric = {EditorField::DefaultValue, EditorField::Lsl, EditorField::Usl,
                                            EditorField::Nominal,      EditorField::Lrl, EditorField::Url,
                                            EditorField::Base,         EditorField::MaxPossible,
                                            EditorField::MinPossible};
  const auto rank = [](EditorField f) {
    for (std::size_t i = 0; i < kVarParameterFieldOrder.size(); ++i) {
      if (kVarParameterFieldOrder[i] == f) return i;
    }
    ADD_FAILURE() << "a field out of the order";
    return kVarParameterFieldOrder.size();
  };
  for (EditorField a : numeric) {
    for (EditorField b : numeric) {
      if (a == b) continue;
      ParameterForm form{.name = "Ширина"};
      VarField(form, a) = "x";
      VarField(form, b) = "y";
      const EditorOutcome outcome = [&] {
        ParameterEditor editor(*ds, DataKind::Var, 0, nullptr);
        editor.form = form;
        return editor.Accept();
      }();
      EXPECT_EQ(outcome.field, rank(a) < rank(b) ? a : b) << outcome.message;
    }
  }
}

TEST_F(EditorLogic, AnAlternativeOrBlockRefusalNamesItsField) {
  struct Case {
    std::function<EditorOutcome()> accept;
    EditorField field;
    const char* message;
  };
  const auto alt = [this](AltParameterForm form) {
    return [this, form] {
      ParameterEditor editor(*ds, DataKind::Attr, 0, nullptr);
      editor.altForm = form;
      return editor.Accept();
    };
  };
  const auto block = [this](DataKind kind, int position, BlockForm form) {
    return [this, kind, position, form]() mutable {
      BlockEditor editor(*ds, kind, position, nullptr);
      form.kind = editor.form.kind;
      editor.form = form;
      return editor.Accept();
    };
  };
  const Case cases[] = {
      {alt({.name = "Диаметр"}), EditorField::Name, "Такое название (Диаметр) уже носит один из альтернативных параметров"},
      {alt({.name = "Сколы", .shortName = "ДЛИНА"}), EditorField::ShortName,
       "Такое название (ДЛИНА) уже носит один из альтернативных параметров"},
      {alt({.name = "Сколы", .ppm = "-1"}), EditorField::Ppm, "Предельный уровень указан неверно - -1"},
      {alt({.name = "Сколы", .ppm = "много"}), EditorField::Ppm, "Предельный уровень указан неверно - много"},
      {block(DataKind::Var, 0, {.name = ""}), EditorField::Name, "Укажите название блока"},
      {block(DataKind::Var, 0, {.name = "смена 2"}), EditorField::Name,
       "Другой блок количественных данных уже имеет такое же название \"смена 2\". Измените введенное название"},
      {block(DataKind::Var, 1, {.name = "Смена 1", .sampleSize = "5 шт"}), EditorField::SampleSize,
       "Неверно указан объем выборки"},
      {block(DataKind::Var, 1, {.name = "Смена 1", .sampleSize = "201"}), EditorField::SampleSize,
       "Допустимый объем выборки - от 0 до 200"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const EditorOutcome outcome = c.accept();
    EXPECT_EQ(outcome.message, c.message);
    EXPECT_EQ(outcome.field, c.field);
  }
  EXPECT_EQ(ds->ParameterCount(), 3);
  EXPECT_EQ(ds->BlockCount(), 2);
  EXPECT_EQ(ds->Block(1)->fixedSampleSize, 5);
  EXPECT_FALSE(ds->IsChanged());
  EXPECT_TRUE(fake.log.lines.empty());
}

TEST_F(EditorLogic, ANewQuantitativeParameterStoresEveryFieldLogsAndFillsTheTypedLists) {
  ParameterEditor editor(*ds, DataKind::Var, 0, &config);
  EXPECT_EQ(editor.Title(), "Новый количественный параметр");
  editor.form = {.name = " Ширина ", .shortName = "Шир", .note = "по чертежу", .unit = "мм",
                 .defaultValue = "20", .lsl = "19,8", .usl = "20.2", .nominal = "20", .lrl = "19.9", .url = "20.1",
                 .base = "20", .minPossible = "0", .maxPossible = "1 000", .decimals = 2, .multiplierCode = 2,
                 .relative = true, .negate = true, .noSkip = false, .explain = true};
  ASSERT_TRUE(editor.Accept().Ok());
  ASSERT_EQ(ds->ParameterCount(), 4);
  EXPECT_EQ(editor.Position(), 4);
  const TSPCParameter& p = *ds->Parameter(4);
  EXPECT_EQ(p.kind, DataKind::Var);
  EXPECT_EQ(p.position, 3);  // after "Диаметр" and "Длина"
  EXPECT_EQ(p.name, "Ширина");
  EXPECT_EQ(p.shortName, "Шир");
  EXPECT_EQ(p.note, "по чертежу");
  EXPECT_EQ(p.unit, "мм");
  EXPECT_EQ(p.decimals, 2);
  EXPECT_EQ(p.Lsl(), 19.8);
  EXPECT_EQ(p.Usl(), 20.2);
  EXPECT_EQ(p.Nominal(), 20.0);
  EXPECT_EQ(p.Lrl(), 19.9);
  EXPECT_EQ(p.Url(), 20.1);
  EXPECT_EQ(p.Base(), 20.0);
  EXPECT_EQ(p.multiplierCode, 2);
  EXPECT_EQ(p.dataLimits.Get(ValueRange::kLower), 0.0);
  EXPECT_EQ(p.dataLimits.Get(ValueRange::kUpper), 1000.0);
  EXPECT_EQ(p.dataLimits.Get(ValueRange::kTarget), 20.0);
  EXPECT_TRUE(p.HasFlag(param_flag::kRelative));
  EXPECT_TRUE(p.HasFlag(param_flag::kNegate));
  EXPECT_TRUE(p.HasFlag(param_flag::kExplainOutOfTolerance));
  EXPECT_FALSE(p.HasFlag(param_flag::kNoSkip));
  EXPECT_TRUE(ds->IsChanged());
  ASSERT_EQ(fake.log.lines.size(), 1u);
  EXPECT_EQ(fake.log.lines[0], "Add var parameter 4 [" + p.LogText() + "]");
  EXPECT_EQ(History(config, HistoryList::ParameterName), std::vector<std::string>{"Ширина"});
  EXPECT_EQ(History(config, HistoryList::ParameterShortName), std::vector<std::string>{"Шир"});
  EXPECT_EQ(History(config, HistoryList::ParameterUnit), std::vector<std::string>{"мм"});
  EXPECT_EQ(History(config, HistoryList::ParameterNote), std::vector<std::string>{"по чертежу"});

  // Opened again, the editor shows what was stored, and OK without a change changes nothing.
  ds->MarkSaved();
  ParameterEditor again(*ds, DataKind::Attr, 4, &config);
  EXPECT_EQ(again.Kind(), DataKind::Var);
  EXPECT_EQ(again.form.lsl, "19.80");
  EXPECT_EQ(again.form.maxPossible, "1000.00");
  EXPECT_TRUE(again.form.relative);
  ASSERT_TRUE(again.Accept().Ok());
  EXPECT_FALSE(again.Changed());
  EXPECT_FALSE(ds->IsChanged());
  EXPECT_EQ(fake.log.lines.size(), 1u);
}

TEST_F(EditorLogic, AChangedToleranceRenewsTheMarksOfTheValuesAlreadyStored) {
  const TSPCSample& sample = *ds->Block(1)->Sample(1);
  const std::int32_t id = ds->Parameter(1)->id;
  ASSERT_EQ(sample.flags & sample_flag::kOutOfTolerance, 0);
  ParameterEditor editor(*ds, DataKind::Var, 1, nullptr);
  EXPECT_EQ(editor.form.usl, "10.10");
  editor.form.usl = "10";  // the values run 9.97 .. 10.05
  ASSERT_TRUE(editor.Accept().Ok());
  EXPECT_NE(sample.flags & sample_flag::kOutOfTolerance, 0);
  EXPECT_EQ(fake.log.lines.back().rfind("Change var parameter 1 [", 0), 0u);
  EXPECT_TRUE(ds->IsChanged());
  EXPECT_EQ(ds->Parameter(1)->id, id);
  EXPECT_EQ(editor.Position(), 1);
}

TEST_F(EditorLogic, TheNominalButtonTakesTheMiddleOfATwoSidedTolerance) {
  ParameterEditor editor(*ds, DataKind::Var, 0, nullptr);
  editor.form = {.name = "Ширина", .lsl = "19.8", .usl = "20.3", .decimals = 1};
  ASSERT_TRUE(editor.SetNominalToMiddle().Ok());
  EXPECT_EQ(editor.form.nominal, "20.05");
  editor.form.usl = "";
  const EditorOutcome outcome = editor.SetNominalToMiddle();
  EXPECT_EQ(outcome.message, "Для использования выбранной функции должен быть указан двусторонний допуск");
  EXPECT_EQ(editor.form.nominal, "20.05");
}

TEST_F(EditorLogic, AnAlternativeParameterStoresItsLimitAsAFractionAndFollowsTheLastOfItsKind) {
  ParameterEditor editor(*ds, DataKind::Attr, 0, &config);
  EXPECT_EQ(editor.Title(), "Новый альтернативный параметр");
  editor.altForm = {.name = "Сколы", .note = "кромка", .ppm = "2 500", .type = AttrType::Nonconformities};
  ASSERT_TRUE(editor.Accept().Ok());
  const TSPCParameter& p = *ds->Parameter(4);
  EXPECT_EQ(p.kind, DataKind::Attr);
  EXPECT_EQ(p.position, 2);
  EXPECT_EQ(p.Usl(), 0.0025);
  EXPECT_TRUE(p.HasFlag(param_flag::kNonconformities));
  EXPECT_EQ(fake.log.lines.back(), "Add alt parameter 4 [" + p.LogText() + "]");
  EXPECT_EQ(AltFormOf(p).ppm, "2500");
  EXPECT_EQ(History(config, HistoryList::ParameterNote), std::vector<std::string>{"кромка"});
  EXPECT_TRUE(History(config, HistoryList::ParameterUnit).empty());
}

TEST_F(EditorLogic, TheTwentyFirstParameterIsRefusedAsAFailureToWrite) {
  while (ds->ParameterCount() < 20) ASSERT_TRUE(ds->AddParameter());
  ds->MarkSaved();
  for (DataKind kind : {DataKind::Var, DataKind::Attr}) {
    ParameterEditor editor(*ds, kind, 0, &config);
    editor.form.name = "Ширина";
    editor.altForm.name = "Ширина";
    const EditorOutcome outcome = editor.Accept();
    EXPECT_EQ(outcome.message, kind == DataKind::Var ? "Сбой при записи количественного параметра \"Ширина\""
                                                     : "Сбой при записи альтернативного параметра \"Ширина\"");
    EXPECT_EQ(outcome.field, EditorField::Name);
  }
  EXPECT_EQ(ds->ParameterCount(), 20);
  EXPECT_FALSE(ds->IsChanged());
  EXPECT_TRUE(History(config, HistoryList::ParameterName).empty());
}

TEST_F(EditorLogic, ANewBlockTakesTheFrequencyOfTheLastBlockOfItsKindAndTheNextNumber) {
  ds->Block(1)->frequency = "раз в смену";
  ds->Block(2)->frequency = "каждый час";
  ASSERT_EQ(ds->AddBlock(0, "Смена 3", SamplingMode::Samples, 0, 0, DataKind::Var, "дважды в смену", ""), 3);
  ds->nextBlockNumber = 7;
  ds->MarkSaved();
  EXPECT_EQ(NewBlockForm(*ds, DataKind::Var).frequency, "дважды в смену");
  EXPECT_EQ(NewBlockForm(*ds, DataKind::Attr).frequency, "каждый час");
  EXPECT_EQ(NewBlockForm(TDatasetSPC(), DataKind::Var).frequency, "");

  BlockEditor editor(*ds, DataKind::Var, 0, &config);
  EXPECT_EQ(editor.Title(), "Новый блок количественных данных");
  EXPECT_TRUE(editor.form.dates && editor.form.times);
  EXPECT_FALSE(editor.form.protect || editor.form.protectView);
  EXPECT_EQ(editor.form.mode, SamplingMode::Samples);
  EXPECT_EQ(editor.form.sampleSize, "");
  editor.form.name = "Смена 4";
  editor.form.note = "после наладки";
  editor.form.sampleSize = "5";
  editor.form.protect = true;
  ASSERT_TRUE(editor.Accept().Ok());
  ASSERT_EQ(editor.Position(), 4);
  const TSPCBlock& b = *ds->Block(4);
  EXPECT_EQ(b.id, 8);
  EXPECT_EQ(b.frequency, "дважды в смену");
  EXPECT_EQ(b.note, "после наладки");
  EXPECT_EQ(b.fixedSampleSize, 5);
  EXPECT_EQ(b.flags, block_flag::kDates | block_flag::kTimes | block_flag::kProtected);
  EXPECT_EQ(ds->BlockList(DataKind::Var).back(), 4);
  EXPECT_TRUE(ds->IsChanged());
  EXPECT_EQ(fake.log.lines.back(), "Add block 4 [" + b.LogText() + "]");
  EXPECT_EQ(History(config, HistoryList::BlockName), std::vector<std::string>{"Смена 4"});
  EXPECT_EQ(History(config, HistoryList::BlockNote), std::vector<std::string>{"после наладки"});
  EXPECT_EQ(History(config, HistoryList::BlockFrequency), std::vector<std::string>{"дважды в смену"});
}

TEST_F(EditorLogic, AChangedBlockKeepsItsSamplesAndAnUnchangedOneIsNotMarked) {
  {
    BlockEditor editor(*ds, DataKind::Attr, 1, nullptr);  // the block's own kind counts
    EXPECT_EQ(editor.form.kind, DataKind::Var);
    EXPECT_EQ(editor.form.sampleSize, "5");
    ASSERT_TRUE(editor.Accept().Ok());
    EXPECT_FALSE(editor.Changed());
    EXPECT_FALSE(ds->IsChanged());
  }
  BlockEditor editor(*ds, DataKind::Var, 1, nullptr);
  editor.form.name = "Смена 1А";
  editor.form.dates = false;  // takes the time with it
  editor.form.mode = SamplingMode::Individual;
  ASSERT_TRUE(editor.Accept().Ok());
  const TSPCBlock& b = *ds->Block(1);
  EXPECT_EQ(b.name, "Смена 1А");
  EXPECT_EQ(b.flags, block_flag::kIndividual);
  EXPECT_EQ(b.mode, SamplingMode::Individual);
  EXPECT_EQ(b.SampleCount(), 3);
  EXPECT_TRUE(b.changed);
  EXPECT_TRUE(ds->IsChanged());
  EXPECT_EQ(fake.log.lines.back(), "Change block 1 [" + b.LogText() + "]");
}

TEST_F(EditorLogic, ScalesAndClassesReachTheDatasetOnlyWithTheParameter) {
  ParameterEditor editor(*ds, DataKind::Var, 3, &config);
  {
    ScaleEditor scale(editor.scales, 0);
    scale.name = " Линейные размеры ";
    scale.unit = "мкм";
    ASSERT_TRUE(scale.Accept().Ok());
    ASSERT_EQ(scale.Position(), 1);
    ScaleEditor twin(editor.scales, 0);
    twin.name = "линейные РАЗМЕРЫ";
    EXPECT_EQ(twin.Accept().message, "Такое название уже имеет один из масштабов\r\n");
    ClassEditor empty(editor.classes, 0);
    EXPECT_EQ(empty.Accept().message, "Укажите название класса");
    ClassEditor cls(editor.classes, 0);
    cls.name = "Ответственный";
    ASSERT_TRUE(cls.Accept().Ok());
  }
  EXPECT_EQ(ds->scales.Count(), 0);  // not yet: the parameter may still be cancelled
  editor.form.scaleId = editor.scales.Get(1)->id;
  editor.form.classId = editor.classes.Get(1)->id;
  ASSERT_TRUE(editor.Accept().Ok());
  ASSERT_EQ(ds->scales.Count(), 1);
  ASSERT_EQ(ds->classes.Count(), 1);
  const TSPCParameter& p = *ds->Parameter(3);
  EXPECT_EQ(p.scaleId, ds->scales.Get(1)->id);
  EXPECT_EQ(p.scalePosition, 1);
  EXPECT_EQ(p.classPosition, 1);
  EXPECT_EQ(p.unit, "мкм");  // the scale's unit
  EXPECT_EQ(ds->scales.Get(1)->name, "Линейные размеры");

  // The scale's unit changed from another parameter's editor reaches every parameter of it.
  ParameterEditor other(*ds, DataKind::Var, 1, nullptr);
  ScaleEditor scale(other.scales, 1);
  EXPECT_EQ(scale.name, "Линейные размеры");
  scale.unit = "мм";
  ASSERT_TRUE(scale.Accept().Ok());
  ASSERT_TRUE(other.Accept().Ok());
  EXPECT_EQ(ds->Parameter(3)->unit, "мм");
}

TEST_F(EditorLogic, ADeletedScaleOrClassLeavesItsParametersWithoutItOnlyWithTheParametersOk) {
  ds->scales.Add("Размеры", "мм");
  ds->classes.Add("Основной", "");
  for (int position : {1, 3}) {
    ds->Parameter(position)->scaleId = ds->scales.Get(1)->id;
    ds->Parameter(position)->classId = ds->classes.Get(1)->id;
  }
  ds->ResolveScalesAndClasses();
  ds->MarkSaved();

  ParameterEditor editor(*ds, DataKind::Var, 1, nullptr);
  fake.messages.answers = {false, true, true};
  EXPECT_FALSE(editor.DeleteScale(1));  // "Нет"
  EXPECT_EQ(editor.scales.Count(), 1);
  EXPECT_TRUE(editor.DeleteScale(1));
  EXPECT_TRUE(editor.DeleteClass(1));
  EXPECT_FALSE(editor.DeleteClass(1));  // none left: nothing asked
  EXPECT_EQ(fake.messages.Texts(), (std::vector<std::string>{
                                       "Вы действительно желаете удалить масштаб \"Размеры\" ?\r\n"
                                       "Использующие его параметры (2) останутся без него",
                                       "Вы действительно желаете удалить масштаб \"Размеры\" ?\r\n"
                                       "Использующие его параметры (2) останутся без него",
                                       "Вы действительно желаете удалить класс \"Основной\" ?\r\n"
                                       "Использующие его параметры (2) останутся без него"}));
  EXPECT_EQ(editor.form.scaleId, 0);
  EXPECT_EQ(editor.form.classId, 0);
  EXPECT_EQ(ds->scales.Count(), 1);
  EXPECT_NE(ds->Parameter(3)->scaleId, 0);

  ASSERT_TRUE(editor.Accept().Ok());
  EXPECT_EQ(ds->scales.Count(), 0);
  EXPECT_EQ(ds->classes.Count(), 0);
  for (int position : {1, 3}) {
    EXPECT_EQ(ds->Parameter(position)->scaleId, 0);
    EXPECT_EQ(ds->Parameter(position)->classId, 0);
  }
  EXPECT_TRUE(ds->IsChanged());
}

TEST_F(EditorLogic, TheRelativeTextFollowsTheFormsSwitches) {
  ParameterEditor editor(*ds, DataKind::Var, 0, nullptr);
  const struct {
    bool tag, relative, negate;
    const char* base;
    std::uint8_t code;
    const char* text;
  } cases[] = {
      {false, false, true, "10", 2, "Абсолютное значение"},
      {true, true, false, "10", 2, "Абсолютное значение"},  // a tag has no relative entry
      {false, true, true, "10", 2, "Относительное значение: y=10.00000-x*0.01"},
      {false, true, false, "", 0, "Относительное значение: y=x"},
      {false, true, true, "abc", 0, "Относительное значение: y=-x"},
  };
  for (const auto& c : cases) {
    editor.form = {.name = "Ширина", .base = c.base, .multiplierCode = c.code, .tag = c.tag, .relative = c.relative,
                   .negate = c.negate};
    EXPECT_EQ(editor.RelativeText(), c.text) << c.text;
  }
}

TEST(ValueFieldText, TheParametersDecimalsWhenTheyShowTheValueExactly) {
  const struct {
    double value;
    std::uint8_t decimals;
    const char* text;
  } cases[] = {
      {10, 2, "10.00"}, {0.1, 0, "0.1"}, {1.23456789, 2, "1.23456789"}, {-2.5, 1, "-2.5"}, {1e-7, 3, "1e-07"},
      {1e30, 2, "1e+30"},  // "1000...000.00" would not fit the field
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ValueFieldText(c.value, c.decimals), c.text) << c.value;
    EXPECT_EQ(TypedNumberValue(ValueFieldText(c.value, c.decimals)), c.value);
  }
}

}  // namespace
}  // namespace mv
