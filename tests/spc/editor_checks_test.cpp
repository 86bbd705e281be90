#include "spc/editor_checks.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "spc/dataset_spc.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

using std::nullopt;

// A dataset with the quantitative parameter "Диаметр" ("Д1") at position 1, the alternative
// parameter "Брак" ("БР") at position 2, and the quantitative block "Смена 1".
class EditorChecks : public testing::Test {
 protected:
  EditorChecks() {
    AddParameter(DataKind::Var, "Диаметр", "Д1");
    AddParameter(DataKind::Attr, "Брак", "БР");
    EXPECT_EQ(ds.AddBlock(0, "Смена 1", SamplingMode::Samples, 0, 0, DataKind::Var, "", ""), 1);
  }

  void AddParameter(DataKind kind, const char* name, const char* shortName) {
    TSPCParameter props;
    props.kind = kind;
    props.name = name;
    props.shortName = shortName;
    EXPECT_NE(ds.SetParameter(0, 0, props), 0);
  }

  test::FakePlatform fake;
  TDatasetSPC ds;
};

// A form that passes: the cases below change one or two fields of it.
ParameterForm VarForm(ParameterForm form) {
  if (form.name.empty()) form.name = "Длина";
  return form;
}

TEST_F(EditorChecks, VarParameterMessages) {
  const struct {
    ParameterForm form;
    const char* message;
  } kCases[] = {
      {{.name = " \t"}, "Не указано название параметра"},
      {{.name = "диаметр"}, "Такое название (диаметр) уже носит один из количественных параметров"},
      // The short name clashes with an alternative parameter's; the stem is the edited kind's.
      {VarForm({.shortName = " бр "}), "Такое название (бр) уже носит один из количественных параметров"},
      {VarForm({.defaultValue = "1.2.3"}), "Начальное значение указано неверно - 1.2.3"},
      {VarForm({.lsl = "1,2,3"}), "Нижняя граница допуска указана неверно - 1,2,3"},
      {VarForm({.usl = "1e999"}), "Верхняя граница допуска указана неверно - 1e999"},
      {VarForm({.lsl = "5", .usl = "5"}), "Верхняя граница допуска должна быть больше нижней"},
      {VarForm({.lsl = "5", .usl = "4,99"}), "Верхняя граница допуска должна быть больше нижней"},
      {VarForm({.nominal = "10 мм"}), "Номинал указан неверно - 10 мм"},
      {VarForm({.lrl = "inf"}), "Нижняя граница регулирования указана неверно - inf"},
      {VarForm({.url = "0x10"}), "Верхняя граница регулирования указана неверно - 0x10"},
      {VarForm({.lrl = "2", .url = "2"}), "Верхняя граница регулирования должна быть больше нижней"},
      {VarForm({.base = "nan"}), "Базовое значение указано неверно - nan"},
      {VarForm({.maxPossible = "1e"}), "Максимально возможное значение указано неверно - 1e"},
      {VarForm({.minPossible = "--1"}), "Минимально возможное значение указано неверно - --1"},
      {VarForm({.minPossible = "0", .maxPossible = "-0"}),
       "Максимально возможное значение должно быть больше минимально возможного"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.message);
    EXPECT_EQ(CheckVarParameter(ds, 0, c.form).message, c.message);
  }
}

TEST_F(EditorChecks, VarParameterReportsTheEarlierOfTwoFaults) {
  const struct {
    ParameterForm form;
    const char* message;
  } kCases[] = {
      {{.name = "", .defaultValue = "x"}, "Не указано название параметра"},
      {{.name = "Д1", .defaultValue = "x"}, "Такое название (Д1) уже носит один из количественных параметров"},
      {VarForm({.defaultValue = "x", .lsl = "y"}), "Начальное значение указано неверно - x"},
      {VarForm({.lsl = "y", .usl = "z"}), "Нижняя граница допуска указана неверно - y"},
      {VarForm({.lsl = "2", .usl = "1", .nominal = "z"}), "Верхняя граница допуска должна быть больше нижней"},
      {VarForm({.nominal = "z", .lrl = "w"}), "Номинал указан неверно - z"},
      {VarForm({.lrl = "2", .url = "1", .base = "b"}), "Верхняя граница регулирования должна быть больше нижней"},
      {VarForm({.base = "b", .maxPossible = "m"}), "Базовое значение указано неверно - b"},
      {VarForm({.minPossible = "n", .maxPossible = "m"}), "Максимально возможное значение указано неверно - m"},
      // A tag does not read the tolerance, regulation and base fields; the rest still counts.
      {VarForm({.lsl = "y", .url = "u", .base = "b", .tag = true}), ""},
      {VarForm({.defaultValue = "x", .lsl = "y", .tag = true}), "Начальное значение указано неверно - x"},
      {VarForm({.usl = "u", .maxPossible = "m", .tag = true}), "Максимально возможное значение указано неверно - m"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.message);
    EXPECT_EQ(CheckVarParameter(ds, 0, c.form).message, c.message);
  }
}

TEST_F(EditorChecks, VarParameterMayKeepItsOwnNames) {
  const ParameterForm form{.name = "ДИАМЕТР", .shortName = "д1"};
  EXPECT_EQ(CheckVarParameter(ds, 1, form).message, "");
  EXPECT_NE(CheckVarParameter(ds, 2, form).message, "");
}

TEST_F(EditorChecks, VarParameterValuesAreStored) {
  const ParameterForm form{.name = "  Длина вала ",
                           .shortName = "",
                           .note = "по чертежу",
                           .unit = "мм",
                           .defaultValue = "",
                           .lsl = "1 249,5",
                           .usl = "1'250.5",
                           .nominal = "1250",
                           .lrl = "",
                           .url = "1250,3",
                           .base = "1250",
                           .minPossible = "0",
                           .maxPossible = "",
                           .decimals = 1,
                           .multiplierCode = 1,
                           .scaleId = 4,
                           .classId = 2,
                           .relative = true,
                           .negate = true,
                           .noSkip = false,
                           .explain = true};
  const ParameterCheck check = CheckVarParameter(ds, 0, form);
  ASSERT_TRUE(check.Passed()) << check.message;
  EXPECT_EQ(check.values.name, "Длина вала");

  TSPCParameter props;
  StoreVarParameter(form, check.values, props);
  const int position = ds.SetParameter(0, 77, props);
  ASSERT_EQ(position, 3);
  const TSPCParameter& p = *ds.Parameter(position);
  EXPECT_EQ(VarParameterLogLine(true, position, p),
            "Add var parameter 3 [ID=77, Kind=Var, Name=\"Длина вала\", Pos=2, Dcm=1, Scale=#4, Class=#2, "
            "UOM=\"мм\", LSL=1249.5, USL=1250.5, Nom=1250.0, Min=0.0, Base=1250.0, MulCode=1, Neg=1, "
            "Flags=499Fh, Note=\"по чертежу\"]");
  EXPECT_EQ(p.Lrl(), nullopt);
  EXPECT_EQ(p.Url(), 1250.3);
  EXPECT_NEAR(p.ToAbsolute(2), 1249.8, 1e-9);

  // Made a tag, the parameter drops its tolerance, regulation, base and relative entry.
  ParameterForm tag = form;
  tag.tag = true;
  const ParameterCheck tagCheck = CheckVarParameter(ds, position, tag);
  ASSERT_TRUE(tagCheck.Passed()) << tagCheck.message;
  StoreVarParameter(tag, tagCheck.values, props);
  EXPECT_EQ(props.Flags(), param_flag::kTag | param_flag::kMin | param_flag::kExplainOutOfTolerance);
  EXPECT_EQ(props.multiplierCode, 0);
  EXPECT_EQ(props.ToleranceText(), "<признак>");
}

TEST(EditorCheckTexts, WriteFailures) {
  EXPECT_EQ(VarParameterWriteFailure("Длина"), "Сбой при записи количественного параметра \"Длина\"");
  EXPECT_EQ(AltParameterWriteFailure("Брак"), "Сбой при записи альтернативного параметра \"Брак\"");
}

TEST(EditorCheckTexts, NominalInTheMiddleOfTheTolerance) {
  const struct {
    const char* lsl;
    const char* usl;
    std::uint8_t decimals;
    const char* message;
    const char* nominal;
  } kCases[] = {
      {"9,9", "10,2", 1, "", "10.05"},
      {"-1", "2", 0, "", "0.5"},
      {"", "10", 2, "Для использования выбранной функции должен быть указан двусторонний допуск", ""},
      {"10", " ", 2, "Для использования выбранной функции должен быть указан двусторонний допуск", ""},
      {"10", "10", 2, "Верхняя граница допуска должна быть больше нижней", ""},
      {"a", "", 2, "Нижняя граница допуска указана неверно - a", ""},
      {"1", "b", 2, "Верхняя граница допуска указана неверно - b", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.lsl << " .. " << c.usl);
    const NominalResult result = MiddleOfTolerance({.lsl = c.lsl, .usl = c.usl, .decimals = c.decimals});
    EXPECT_EQ(result.message, c.message);
    EXPECT_EQ(result.nominal, c.nominal);
  }
}

TEST_F(EditorChecks, AltParameter) {
  const struct {
    int position;
    AltParameterForm form;
    const char* message;
    std::optional<double> qualityLimit;
  } kCases[] = {
      {0, {.name = ""}, "Не указано название параметра", nullopt},
      {0, {.name = "брак"}, "Такое название (брак) уже носит один из альтернативных параметров", nullopt},
      {0, {.name = "Царапины", .shortName = "д1"}, "Такое название (д1) уже носит один из альтернативных параметров",
       nullopt},
      {2, {.name = "БРАК", .shortName = "бр"}, "", nullopt},
      {0, {.name = "Царапины", .ppm = "-1"}, "Предельный уровень указан неверно - -1", nullopt},
      {0, {.name = "Царапины", .ppm = "1/2"}, "Предельный уровень указан неверно - 1/2", nullopt},
      {0, {.name = "", .ppm = "x"}, "Не указано название параметра", nullopt},
      {0, {.name = "Царапины", .ppm = "0"}, "", 0.0},
      {0, {.name = "Царапины", .ppm = "2 700"}, "", 0.0027},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.form.name + " / " + c.form.ppm);
    const AltParameterCheck check = CheckAltParameter(ds, c.position, c.form);
    EXPECT_EQ(check.message, c.message);
    EXPECT_NEAR(check.values.qualityLimit.value_or(-1), c.qualityLimit.value_or(-1), 1e-15);  // -1: none
  }
}

TEST_F(EditorChecks, AltParameterValuesAreStored) {
  const AltParameterForm form{
      .name = "Царапины", .note = "визуально", .ppm = "500", .type = AttrType::Nonconformities, .noSkip = false};
  const AltParameterCheck check = CheckAltParameter(ds, 0, form);
  ASSERT_TRUE(check.Passed()) << check.message;
  // Whatever the properties held before, only the alternative editor's choices stay.
  TSPCParameter props;
  props.SetTolerance(1, 2, 1.5);
  props.SetDataLimits(0, 10, 5);
  props.SetFlags(0xFFFF);
  StoreAltParameter(form, check.values, props);
  const int position = ds.SetParameter(0, 78, props);
  ASSERT_EQ(position, 3);
  const TSPCParameter& p = *ds.Parameter(position);
  EXPECT_EQ(p.Type(), AttrType::Nonconformities);
  EXPECT_NEAR(p.Usl().value_or(0), 0.0005, 1e-15);
  EXPECT_EQ(AltParameterLogLine(true, position, p),
            "Add alt parameter 3 [ID=78, Kind=Attr, Name=\"Царапины\", Pos=2, Flags=1002h, Note=\"визуально\"]");
  EXPECT_EQ(AltParameterLogLine(false, 2, *ds.Parameter(2)),
            "Change alt parameter 2 [ID=" + std::to_string(ds.Parameter(2)->id) +
                ", Kind=Attr, Name=\"Брак\", Pos=1, Flags=0040h, Note=\"\"]");

  AltParameterForm units = form;
  units.type = AttrType::Units;
  units.ppm = "";
  StoreAltParameter(units, CheckAltParameter(ds, position, units).values, props);
  EXPECT_EQ(props.Flags(), 0);
}

TEST_F(EditorChecks, Block) {
  ASSERT_EQ(ds.AddBlock(0, "Партия", SamplingMode::Samples, 0, 0, DataKind::Attr, "", ""), 2);
  const struct {
    int position;
    BlockForm form;
    const char* message;
  } kCases[] = {
      {0, {.name = "  "}, "Укажите название блока"},
      {0, {.name = "смена 1"},
       "Другой блок количественных данных уже имеет такое же название \"смена 1\". Измените введенное название"},
      {0, {.name = "ПАРТИЯ", .kind = DataKind::Attr},
       "Другой блок альтернативных данных уже имеет такое же название \"ПАРТИЯ\". Измените введенное название"},
      {1, {.name = "СМЕНА 1"}, ""},
      {0, {.name = "Смена 2", .sampleSize = "5,0"}, "Неверно указан объем выборки"},
      {0, {.name = "Смена 2", .sampleSize = "201"}, "Допустимый объем выборки - от 0 до 200"},
      {0, {.name = "Смена 2", .sampleSize = "-1"}, "Допустимый объем выборки - от 0 до 200"},
      {0, {.name = "Смена 2", .sampleSize = " 200 "}, ""},
      {2, {.name = "Партия", .sampleSize = "5000", .kind = DataKind::Attr}, ""},
      {2, {.name = "Партия", .sampleSize = "32768", .kind = DataKind::Attr}, "Неверно указан объем выборки"},
      {2, {.name = "Партия", .sampleSize = "-1", .kind = DataKind::Attr}, "Неверно указан объем выборки"},
      // Order: the name before the size, the size before the dataset's refusals.
      {0, {.name = "", .sampleSize = "x"}, "Укажите название блока"},
      {0, {.name = "смена 1", .sampleSize = "x"},
       "Другой блок количественных данных уже имеет такое же название \"смена 1\". Измените введенное название"},
      {0, {.name = "Партия 2", .sampleSize = "x", .kind = DataKind::Attr}, "Неверно указан объем выборки"},
      {0, {.name = "Партия 2", .kind = DataKind::Attr}, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.form.name + " / " + c.form.sampleSize);
    EXPECT_EQ(CheckBlock(ds, c.position, c.form).message, c.message);
  }

  ds.DeleteParameter(2);  // no alternative parameters any more
  EXPECT_EQ(CheckBlock(ds, 0, {.name = "Партия 2", .kind = DataKind::Attr}).message,
            "Нельзя создавать блоки, пока не определены параметры");
  EXPECT_EQ(CheckBlock(ds, 2, {.name = "Партия", .kind = DataKind::Attr}).message, "");
}

TEST_F(EditorChecks, BlockLimitOnlyStopsNewBlocks) {
  for (int i = ds.BlockCount(); i < 200; ++i) {
    ASSERT_NE(ds.AddBlock(0, "Б" + std::to_string(i), SamplingMode::Samples, 0, 0, DataKind::Var, "", ""), 0);
  }
  EXPECT_EQ(CheckBlock(ds, 0, {.name = "Смена 2"}).message, "Общее количество блоков достигло предела (200)");
  EXPECT_EQ(CheckBlock(ds, 0, {.name = "Смена 2", .sampleSize = "201"}).message,
            "Допустимый объем выборки - от 0 до 200");
  EXPECT_EQ(CheckBlock(ds, 200, {.name = "Смена 2"}).message, "");
}

TEST_F(EditorChecks, BlockValues) {
  const struct {
    BlockForm form;
    std::uint16_t size;
    std::uint16_t flags;
  } kCases[] = {
      {{.name = "Б", .sampleSize = ""}, 0, block_flag::kDates | block_flag::kTimes},
      {{.name = "Б", .sampleSize = "+5", .dates = false, .times = true}, 5, 0},
      {{.name = "Б", .mode = SamplingMode::Individual, .times = false, .protect = true, .protectView = true},
       0, block_flag::kDates | block_flag::kProtected | block_flag::kProtectedView | block_flag::kIndividual},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.flags);
    const BlockCheck check = CheckBlock(ds, 0, c.form);
    ASSERT_TRUE(check.Passed()) << check.message;
    EXPECT_EQ(check.values.fixedSampleSize, c.size);
    EXPECT_EQ(check.values.flags, c.flags);
  }
}

TEST(EditorCheckTexts, ScaleAndClassNames) {
  ScaleList scales;
  ASSERT_EQ(scales.Add("Длина", "мм"), 1);
  const struct {
    int position;
    const char* name;
    const char* message;
  } kCases[] = {
      {0, " ", "Укажите название масштаба"},
      {0, "ДЛИНА ", "Такое название уже имеет один из масштабов\r\n"},
      {1, "длина", ""},
      {0, "Масса", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CheckScaleName(scales, c.position, c.name), c.message);
  }
  EXPECT_EQ(CheckClassName("\t"), "Укажите название класса");
  EXPECT_EQ(CheckClassName("Основные"), "");
}

}  // namespace
}  // namespace mv
