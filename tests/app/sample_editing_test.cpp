#include "app/sample_editing.h"

#include <gtest/gtest.h>

#include "support/fake_platform.h"
#include "support/sample_dataset.h"

namespace mv {
namespace {

// The sample dataset: "Диаметр" (1, tolerance 9.9..10.1), "Брак" (2, alternative), "Длина"
// (3, up to 50.5); block 1 of three samples of 5 points, block 2 alternative.
struct Fixture {
  test::FakePlatform fake;
  std::unique_ptr<TDatasetSPC> ds = test::SampleDataset();
  Fixture() {
    ds->MarkSaved();
    for (TSPCSample& s : ds->Block(1)->Samples()) s.changed = false;
  }
  TSPCParameter& Diameter() { return *ds->Parameter(1); }
  TSPCSample& Sample(int s) { return *ds->Block(1)->Sample(s); }
};

TEST(SampleEditing, ConfirmingAValue) {
  const struct {
    const char* typed;
    bool relative;
    bool limits;  // data limits 0..100
    const char* message;
    double stored;
    bool outOfTolerance;
  } kCases[] = {
      {"10,05", false, false, "", 10.05, false},
      {"1 234,5", false, false, "", 1234.5, true},
      {"1'000", false, false, "", 1000, true},
      {" 9.95 ", false, false, "", 9.95, false},
      {"-5e-1", false, false, "", -0.5, true},
      {"abc", false, false, "Значение параметра Диаметр указано неверно - abc", 0, false},
      {"1,2,3", false, false, "Значение параметра Диаметр указано неверно - 1,2,3", 0, false},
      {"101", false, true, "Значение параметра Диаметр (101.00) выходит за пределы возможных значений (от 0.00 до 100.00)", 0,
       false},
      // Relative entry: base 10 + x * 0.01.
      {"5", true, false, "", 10.05, false},
      {"20000", true, true, "Значение параметра Диаметр (210.00) выходит за пределы возможных значений (от 0.00 до 100.00)", 0,
       false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.typed);
    Fixture fx;
    if (c.relative) {
      fx.Diameter().SetFlag(param_flag::kRelative, true);
      fx.Diameter().multiplierCode = 2;
      fx.Diameter().SetFlag(param_flag::kBase, true);
      fx.Diameter().baseValue = 10;
    }
    if (c.limits) fx.Diameter().SetDataLimits(0, 100, std::nullopt);
    const double before = fx.Sample(2).Point(3)->Value(1);
    const ValueConfirmation r = ConfirmValue(*fx.ds, 1, 2, 3, 1, c.typed);
    EXPECT_EQ(r.message, c.message);
    if (!r.Ok()) {
      EXPECT_FALSE(r.stored);
      EXPECT_EQ(r.event, kEventValueInadmissible);
      EXPECT_EQ(fx.Sample(2).Point(3)->Value(1), before);
      EXPECT_FALSE(fx.ds->IsChanged());
      continue;
    }
    EXPECT_TRUE(r.stored);
    EXPECT_NEAR(fx.Sample(2).Point(3)->Value(1), c.stored, 1e-9);
    EXPECT_NE(fx.Sample(2).Point(3)->ValueFlags(1) & value_flag::kEdited, 0);
    EXPECT_EQ(r.outOfTolerance, c.outOfTolerance);
    EXPECT_EQ(r.event, c.outOfTolerance ? kEventValueOutOfTolerance : kEventValueInTolerance);
    EXPECT_EQ((fx.Sample(2).flags & sample_flag::kOutOfTolerance) != 0, c.outOfTolerance);
    EXPECT_TRUE(fx.Sample(2).changed);
    EXPECT_FALSE(fx.Sample(1).changed);
    EXPECT_TRUE(fx.ds->IsChanged());
    // The sample's and the block's figures follow at once.
    const double expectedMax = std::max(c.stored, 9.95 + 0.02 * 5);
    EXPECT_NEAR(fx.Sample(2).Stats(1).max, std::max(expectedMax, c.stored), 1e-9);
    EXPECT_NEAR(fx.ds->Block(1)->stats.params[0].max, expectedMax, 1e-9);
  }
}

// The entry keeps the other samples' figures and gives, after every value, the statistics a
// full recomputation gives, also when this sample held the block's extreme and gives it up.
TEST(SampleEditing, EntryKeepsTheBlockFiguresOfAFullRecomputation) {
  Fixture fx;
  SampleEntry entry(*fx.ds, 1, 2);
  const struct {
    int point;
    int parameter;
    const char* typed;
  } kSteps[] = {{1, 1, "12"}, {2, 1, "8"}, {1, 1, "10"}, {2, 1, "10"}, {3, 3, ""}, {4, 3, "49"}, {5, 1, "9.97"}};
  for (const auto& step : kSteps) {
    SCOPED_TRACE(step.typed);
    ASSERT_TRUE(entry.Confirm(step.point, step.parameter, step.typed).Ok());
    const BlockStats kept = fx.ds->Block(1)->stats;
    fx.ds->ComputeBlockStats(1);
    const BlockStats full = fx.ds->Block(1)->stats;
    EXPECT_EQ(kept.totalPoints, full.totalPoints);
    EXPECT_EQ(kept.countedPoints, full.countedPoints);
    EXPECT_EQ(kept.activeSamples, full.activeSamples);
    EXPECT_EQ(kept.minPoints, full.minPoints);
    EXPECT_EQ(kept.maxPoints, full.maxPoints);
    for (const int k : {1, 3}) {
      const auto i = static_cast<std::size_t>(k - 1);
      EXPECT_NEAR(kept.params[i].mean, full.params[i].mean, 1e-12);
      EXPECT_EQ(kept.params[i].min, full.params[i].min);
      EXPECT_EQ(kept.params[i].max, full.params[i].max);
    }
  }
  EXPECT_EQ(fx.ds->Block(1)->stats.params[0].max, 9.95 + 0.02 * 5);
  entry.Finish();
  EXPECT_TRUE(fx.Sample(2).changed);
}

TEST(SampleEditing, AnEmptyFieldRemovesTheValueAndTheFigures) {
  Fixture fx;
  const ValueConfirmation r = ConfirmValue(*fx.ds, 1, 1, 5, 1, "  ");
  EXPECT_TRUE(r.Ok());
  EXPECT_TRUE(r.cleared);
  EXPECT_FALSE(fx.Sample(1).Point(5)->HasValue(1));
  EXPECT_EQ(fx.Sample(1).Stats(1).n, 4);
  EXPECT_NEAR(fx.Sample(1).Stats(1).max, 9.95 + 0.08, 1e-9);
  // The block's figures are summed from the samples: 4 + 5 + 5 values.
  EXPECT_NEAR(fx.ds->Block(1)->stats.params[0].mean, (4 * (9.95 + 0.05) + 10 * (9.95 + 0.06)) / 14, 1e-9);
}

TEST(SampleEditing, ConfirmingRefusesWhatIsNotThere) {
  Fixture fx;
  EXPECT_FALSE(ConfirmValue(*fx.ds, 1, 4, 1, 1, "1").stored);  // no sample 4
  EXPECT_FALSE(ConfirmValue(*fx.ds, 1, 1, 6, 1, "1").stored);  // no point 6
  EXPECT_FALSE(ConfirmValue(*fx.ds, 1, 1, 1, 2, "1").stored);  // an alternative parameter
  EXPECT_FALSE(ConfirmValue(*fx.ds, 3, 1, 1, 1, "1").stored);  // no block 3
  EXPECT_FALSE(fx.ds->IsChanged());
}

TEST(SampleEditing, ThePointLimitIsTheBlocksSizeOr200) {
  Fixture fx;
  TSPCBlock& block = *fx.ds->Block(1);
  EXPECT_EQ(CheckAddPoint(block, fx.Sample(1)),
            "Достигнут предел количества замеров в выборке (5),\r\nустановленный для текущего блока данных.\r\n\r\n"
            "Новый замер добавить невозможно. Создайте новую выборку");
  block.fixedSampleSize = 0;
  EXPECT_EQ(CheckAddPoint(block, fx.Sample(1)), "");
  fx.Sample(1).AddPoints(195);
  EXPECT_EQ(CheckAddPoint(block, fx.Sample(1)),
            "Количество замеров в этой выборке достигло предела.\r\nСледует создать новую выборку");
  EXPECT_EQ(CheckNextSample(999), "");
  EXPECT_EQ(CheckNextSample(1000), "Количество выборок в текущем блоке достигло максимально возможного");
}

TEST(SampleEditing, LeavingASample) {
  const struct {
    int points;           // of a new sample in block 1
    double diameter;      // the value of its first point
    bool explain;         // "Диаметр" asks for an explanation out of tolerance
    const char* note;
    const char* message;
  } kCases[] = {
      {0, 0, true, "", "Выборка должна содержать хотя бы один замер"},
      {0, 0, false, "причина", "Выборка должна содержать хотя бы один замер"},
      {2, 10.5, true, "",
       "Пожалуйста, укажите в примечании выборки причину выхода некоторых значений за допуск\r\n(это условие параметра "
       "\"Диаметр\")"},
      {2, 10.5, true, "резец", ""},
      {2, 10.5, false, "", ""},
      {2, 10.0, true, "", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.message) + "/" + c.note);
    Fixture fx;
    fx.Diameter().SetFlag(param_flag::kExplainOutOfTolerance, c.explain);
    TSPCBlock& block = *fx.ds->Block(1);
    ASSERT_TRUE(block.AddSample(c.note, "", true));
    TSPCSample& s = *block.Sample(4);
    if (c.points > 0) s.AddPoints(c.points);
    if (c.points > 0) fx.ds->SetValue(1, 4, 1, 1, c.diameter);
    const LeaveCheck r = CheckLeaveSample(*fx.ds, s);
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(r.event, std::string(c.message).rfind("Пожалуйста", 0) == 0 ? kEventValueOutOfTolerance : 0);
  }
}

TEST(SampleEditing, LeavingAPointWithAValueThatMayNotBeSkipped) {
  Fixture fx;
  TSPCSample& s = fx.Sample(1);
  EXPECT_EQ(CheckLeavePoint(*fx.ds, s, 1), "");
  s.Point(1)->SetEmpty(3, true);
  // New parameters may not be skipped; "Длина" is the quantitative parameter missing.
  EXPECT_EQ(CheckLeavePoint(*fx.ds, s, 1), "Не указано значение параметра Длина");
  fx.ds->Parameter(3)->SetFlag(param_flag::kNoSkip, false);
  EXPECT_EQ(CheckLeavePoint(*fx.ds, s, 1), "");
}

TEST(SampleEditing, TheAlternativeSampleIsCheckedInOrder) {
  const struct {
    std::uint16_t fixedSize;
    bool nonconformities;  // "Брак" counts nonconformities instead of units
    bool mayBeSkipped;
    const char* size;
    const char* value;
    const char* message;
  } kCases[] = {
      {0, false, true, "", "1", "Не указан объем выборки"},
      {0, false, true, "  ", "x", "Не указан объем выборки"},
      {0, false, true, "0", "x", "Неверно указан объем выборки (0)"},
      {0, false, true, "-3", "x", "Неверно указан объем выборки (-3)"},
      {0, false, true, "2.5", "x", "Неверно указан объем выборки (2.5)"},
      {0, false, true, "40000", "x", "Неверно указан объем выборки (40000)"},
      {0, false, true, "32767", "1", ""},
      {50, false, true, "40", "x", "В текущем блоке объем выборки должен быть равен 50"},
      {50, false, true, "50", "1", ""},
      {0, false, false, "5", "", "Не указано значение параметра Брак"},
      {0, false, true, "5", "", ""},
      {0, false, true, "5", "-1", " Недопустимое значение параметра Брак  (-1)"},
      {0, false, true, "5", "1.5", " Недопустимое значение параметра Брак  (1.5)"},
      {0, false, true, "5", "7", "Значение параметра Брак (7&) не должно превышать объема выборки (5)"},
      {0, true, true, "5", "7", ""},
      {0, false, true, "5", " 5 ", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.size) + "/" + c.value);
    Fixture fx;
    TSPCBlock& block = *fx.ds->Block(2);
    block.fixedSampleSize = c.fixedSize;
    TSPCParameter& scrap = *fx.ds->Parameter(2);
    scrap.SetFlag(param_flag::kNonconformities, c.nonconformities);
    scrap.SetFlag(param_flag::kNoSkip, !c.mayBeSkipped);
    const AltSampleCheck r = CheckAltSample(*fx.ds, block, {c.size, {c.value}});
    EXPECT_EQ(r.message, c.message);
    if (r.Ok()) {
      EXPECT_EQ(r.size, std::stoi(c.size));
      ASSERT_EQ(r.counts.size(), 1u);
      EXPECT_EQ(r.counts[0].has_value(), std::string(c.value) != "");
    }
  }
}

}  // namespace
}  // namespace mv
