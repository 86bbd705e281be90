#include "app/sample_window_logic.h"

#include <gtest/gtest.h>

#include "core/date_time.h"
#include "support/fake_platform.h"
#include "support/sample_dataset.h"

namespace mv {
namespace {

// The sample dataset: "Диаметр" (1, tolerance 9.9..10.1), "Брак" (2, alternative), "Длина"
// (3, up to 50.5); block 1 of three samples of 5 points (fixed size 5, dates and times),
// block 2 alternative with dates and no samples.
struct Fixture {
  test::FakePlatform fake;
  std::unique_ptr<TDatasetSPC> ds = test::SampleDataset();
  Fixture() {
    ds->MarkSaved();
    ds->Block(1)->fixedSampleSize = 0;
    for (TSPCSample& s : ds->Block(1)->Samples()) s.changed = false;
  }
  TSPCBlock& Quant() { return *ds->Block(1); }
  TSPCBlock& Alt() { return *ds->Block(2); }
};

TEST(SampleWindowLogic, Texts) {
  EXPECT_EQ(SampleWindowTitle(3, 5, false, "Смена 1"), "Выборка 3/5 в блоке \"Смена 1\"");
  EXPECT_EQ(SampleWindowTitle(6, 5, true, "Смена 1"), "Выборка 6 (новая) в блоке \"Смена 1\"");
  EXPECT_EQ(DeletePointsQuestion(3, 3), "Вы действительно хотите удалить замер #3 ?");
  EXPECT_EQ(DeletePointsQuestion(2, 5), "Вы действительно хотите удалить замеры с #2 по #5 ?");
  const TDateTime jan1900 = *EncodeDate(1900, 1, 1);
  const TDateTime kept = *EncodeDate(2024, 3, 1) + 0.5;
  for (const auto& [value, shown] : std::vector<std::pair<TDateTime, TDateTime>>{
           {0, jan1900}, {-3, jan1900}, {1e9, jan1900}, {std::nan(""), jan1900}, {kept, kept}}) {
    EXPECT_EQ(ShownDateTime(value), shown) << value;
  }
}

TEST(SampleWindowLogic, ANewSampleIsDatedByThePreviousOne) {
  const struct {
    bool firstOfBlock;
    std::uint8_t newSampleDate;
    double expected;  // days after the previous sample, or the clock's time for the first
  } kCases[] = {{false, 0, 0}, {false, 1, 1}, {true, 1, 0}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.firstOfBlock << " " << int(c.newSampleDate));
    Fixture fx;
    fx.fake.clock.Freeze(45400.25);
    if (c.firstOfBlock) {
      while (fx.Quant().SampleCount() > 0) fx.Quant().DeleteSample(1);
    }
    EditingOptions options;
    options.newSampleDate = c.newSampleDate;
    const TDateTime previous = c.firstOfBlock ? 0 : fx.Quant().Sample(fx.Quant().SampleCount())->dateTime;
    const int position = AddNewSample(*fx.ds, 1, options);
    ASSERT_EQ(position, fx.Quant().SampleCount());
    const TSPCSample& s = *fx.Quant().Sample(position);
    EXPECT_DOUBLE_EQ(s.dateTime, c.firstOfBlock ? 45400.25 : previous + c.expected);
    EXPECT_EQ(s.PointCount(), 0);
    EXPECT_TRUE(s.IsActive());
    EXPECT_NE(s.flags & sample_flag::kHasDate, 0);
    EXPECT_TRUE(fx.ds->IsChanged());
  }
  Fixture full;
  while (full.Quant().SampleCount() < static_cast<int>(kMaxSamples)) full.Quant().AddSample("", "", true);
  EXPECT_EQ(AddNewSample(*full.ds, 1, EditingOptions{}), 0);
}

TEST(SampleWindowLogic, EnterMovesAlongThePointThenToTheNextPoint) {
  Fixture fx;
  const struct {
    std::uint8_t entryStart;
    int enteredFrom;  // the column where entry of row 1 began
    std::pair<int, int> after0, after1;
  } kCases[] = {
      {0, 0, {1, 1}, {2, 0}},
      {0, 1, {1, 1}, {2, 0}},
      {1, 1, {1, 1}, {2, 1}},
      {1, 0, {1, 1}, {2, 0}},
  };
  for (const auto& c : kCases) {
    EditingOptions options;
    options.entryStart = c.entryStart;
    PointGridLogic grid(*fx.ds, 1, 2, options);
    ASSERT_EQ(grid.Columns(), 2);
    grid.NoteEntered(1, c.enteredFrom);
    grid.NoteEntered(1, 0);  // later entries in the same point do not move the start
    EXPECT_EQ(grid.NextCell(1, 0), c.after0);
    EXPECT_EQ(grid.NextCell(1, 1), c.after1);
  }
}

TEST(SampleWindowLogic, TheNextPointRowBecomesAPointOnlyWithAValueTaken) {
  Fixture fx;
  TSPCParameter& length = *fx.ds->Parameter(3);
  length.SetDataLimits(0, 100, 50.25);
  PointGridLogic grid(*fx.ds, 1, 2, EditingOptions{});
  EXPECT_EQ(grid.Rows(), 6);
  EXPECT_TRUE(grid.IsNextPointRow(5));
  EXPECT_EQ(grid.CellText(5, 1), "50.25");  // the default the point will get
  EXPECT_EQ(grid.Heading(0), "Диаметр, мм");

  ValueConfirmation r = grid.Confirm(5, 0, "abc");
  EXPECT_EQ(r.message, "Значение параметра Диаметр указано неверно - abc");
  EXPECT_EQ(fx.Quant().Sample(2)->PointCount(), 5);
  r = grid.Confirm(5, 1, "200");
  EXPECT_FALSE(r.Ok());
  EXPECT_EQ(fx.Quant().Sample(2)->PointCount(), 5);

  r = grid.Confirm(5, 0, "10,2");
  ASSERT_TRUE(r.Ok());
  EXPECT_TRUE(r.outOfTolerance);
  const TSPCSample& s = *fx.Quant().Sample(2);
  ASSERT_EQ(s.PointCount(), 6);
  EXPECT_DOUBLE_EQ(s.Point(6)->Value(1), 10.2);
  EXPECT_DOUBLE_EQ(s.Point(6)->Value(3), 50.25);
  EXPECT_EQ(grid.Place(5, 0), TolerancePlace::Above);
  EXPECT_EQ(grid.Place(0, 0), TolerancePlace::Inside);
  EXPECT_TRUE(grid.OutOfTolerance(5, 0));
  EXPECT_EQ(fx.Quant().stats.totalPoints, 16);
  EXPECT_TRUE(s.changed);
  EXPECT_TRUE(fx.ds->IsChanged());
}

TEST(SampleWindowLogic, RelativeParametersShowAndTakeTheRelativeValue) {
  Fixture fx;
  TSPCParameter& d = *fx.ds->Parameter(1);
  d.SetFlag(param_flag::kRelative, true);
  d.SetFlag(param_flag::kBase, true);
  d.baseValue = 10;
  d.multiplierCode = 2;  // 0.01
  PointGridLogic grid(*fx.ds, 1, 1, EditingOptions{});
  EXPECT_EQ(grid.Heading(0), "Диаметр, мм\n" + d.RelativeText());
  ASSERT_TRUE(grid.Confirm(0, 0, "3").Ok());
  EXPECT_NEAR(fx.Quant().Sample(1)->Point(1)->Value(1), 10.03, 1e-12);
  EXPECT_EQ(grid.CellText(0, 0), "3");
}

TEST(SampleWindowLogic, PointsAndLeavingTheSample) {
  Fixture fx;
  fx.Quant().fixedSampleSize = 6;
  PointGridLogic grid(*fx.ds, 1, 1, EditingOptions{});
  EXPECT_EQ(grid.AddPoint(), "");
  EXPECT_EQ(grid.CheckLeave(5), "Не указано значение параметра Диаметр");
  EXPECT_EQ(grid.CheckLeave(6), "");  // the next point row
  EXPECT_NE(grid.AddPoint().find("Достигнут предел количества замеров в выборке (6),"), std::string::npos);
  int row = -1;
  LeaveCheck leave = grid.CheckLeaveSample(&row);
  EXPECT_EQ(leave.message, "Не указано значение параметра Диаметр");
  EXPECT_EQ(row, 5);

  fx.fake.messages.answers = {false, true};
  EXPECT_FALSE(grid.DeletePoints(5, 5));
  EXPECT_TRUE(grid.DeletePoints(4, 5));
  EXPECT_EQ(fx.fake.messages.Texts(), (std::vector<std::string>{"Вы действительно хотите удалить замер #6 ?",
                                                                "Вы действительно хотите удалить замеры с #5 по #6 ?"}));
  EXPECT_EQ(fx.Quant().Sample(1)->PointCount(), 4);
  EXPECT_TRUE(grid.CheckLeaveSample().Ok());

  fx.fake.messages.answers = {true};
  ASSERT_TRUE(grid.DeletePoints(0, 3));
  EXPECT_EQ(grid.CheckLeaveSample().message, "Выборка должна содержать хотя бы один замер");
  EXPECT_EQ(fx.Quant().stats.totalPoints, 10);

  fx.ds->blockEditingAllowed = false;
  EXPECT_EQ(grid.Rows(), 0);
  EXPECT_FALSE(grid.Confirm(0, 0, "10").stored);
}

TEST(SampleWindowLogic, TheAlternativeSampleIsWrittenOnlyWhenItDiffers) {
  Fixture fx;
  TSPCParameter& defects = *fx.ds->Parameter(2);
  AltSampleForm form = LoadAltSample(*fx.ds, 2, 0);
  EXPECT_TRUE(form.active);
  EXPECT_EQ(form.entry.sizeText, "");
  ASSERT_EQ(form.entry.values.size(), 1u);

  form.entry.values = {"7"};
  form.entry.sizeText = "5";
  AltSaveResult r = SaveAltSample(*fx.ds, 2, 0, form);
  EXPECT_EQ(r.message, "Значение параметра Брак (7&) не должно превышать объема выборки (5)");
  EXPECT_EQ(fx.Alt().SampleCount(), 0);

  form.entry.values = {"3"};
  form.note = " причина ";
  form.date = 45400.75;  // the block carries dates, not times
  r = SaveAltSample(*fx.ds, 2, 0, form);
  ASSERT_TRUE(r.Ok()) << r.message;
  EXPECT_TRUE(r.written);
  ASSERT_EQ(r.position, 1);
  const TSPCSample& s = *fx.Alt().Sample(1);
  EXPECT_EQ(s.sampleSize, 5);
  EXPECT_EQ(s.Note(), "причина");
  EXPECT_DOUBLE_EQ(s.dateTime, 45400);
  EXPECT_EQ(s.flags & (sample_flag::kHasDate | sample_flag::kHasTime), sample_flag::kHasDate);
  ASSERT_EQ(s.PointCount(), 1);
  EXPECT_DOUBLE_EQ(s.Point(1)->Value(2), 3);
  EXPECT_EQ(s.Point(1)->ValueFlags(2) & (value_flag::kEdited | value_flag::kNotEntered), value_flag::kEdited);
  EXPECT_EQ(fx.Alt().stats.totalPoints, 1);
  EXPECT_TRUE(fx.ds->IsChanged());

  // Loaded back, saved unchanged: nothing is written.
  fx.ds->MarkSaved();
  const_cast<TSPCSample&>(s).changed = false;
  const AltSampleForm loaded = LoadAltSample(*fx.ds, 2, 1);
  EXPECT_EQ(loaded.entry.sizeText, "5");
  EXPECT_EQ(loaded.entry.values, std::vector<std::string>{"3"});
  r = SaveAltSample(*fx.ds, 2, 1, loaded);
  EXPECT_TRUE(r.Ok());
  EXPECT_FALSE(r.written);
  EXPECT_FALSE(fx.ds->IsChanged());

  // A nonconformities count may exceed the size; an emptied value leaves the slot empty.
  defects.SetFlag(param_flag::kNonconformities, true);
  AltSampleForm more = loaded;
  more.entry.values = {"9"};
  EXPECT_TRUE(SaveAltSample(*fx.ds, 2, 1, more).written);
  EXPECT_DOUBLE_EQ(fx.Alt().Sample(1)->Point(1)->Value(2), 9);
  defects.SetFlag(param_flag::kNoSkip, false);
  more.entry.values = {""};
  EXPECT_TRUE(SaveAltSample(*fx.ds, 2, 1, more).written);
  EXPECT_FALSE(fx.Alt().Sample(1)->Point(1)->HasValue(2));
}

TEST(SampleWindowLogic, TheNextButton) {
  Fixture fx;
  EXPECT_EQ(NextSampleButtonText(*fx.ds, 1, 2), "Следующая выборка");
  EXPECT_EQ(NextSampleButtonText(*fx.ds, 1, 3), "Новая выборка");
  fx.ds->blockEditingAllowed = false;
  EXPECT_EQ(NextSampleButtonText(*fx.ds, 1, 2), "Следующая выборка");
  EXPECT_EQ(NextSampleButtonText(*fx.ds, 1, 3), "");
}

}  // namespace
}  // namespace mv
