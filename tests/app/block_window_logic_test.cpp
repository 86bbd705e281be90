#include "app/block_window_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "spc/sample_filter.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

constexpr double kDay = 45352;  // 01.03.2024

using Command = BlockWindowLogic::Command;

// Two quantitative parameters ("Диаметр" with two decimals, "Длина") and an alternative one,
// a quantitative block "Партия 1" whose samples have the given numbers of points (point p of
// sample s holds s + p / 100 for "Диаметр"; sample s dated kDay + s - 1 at 06:00), and an
// alternative block "Брак" with one sample of size 50 and a count of 3.
struct Fixture {
  test::FakePlatform fake;
  TDatasetSPC ds;
  int block = 0;
  int alt = 0;

  explicit Fixture(const std::vector<int>& points) {
    TSPCParameter props;
    props.kind = DataKind::Var;
    props.name = "Диаметр";
    props.decimals = 2;
    ds.SetParameter(0, 0, props);
    props.name = "Длина";
    ds.SetParameter(0, 0, props);
    props.kind = DataKind::Attr;
    props.name = "Брак";
    props.decimals = 0;
    ds.SetParameter(0, 0, props);
    block = ds.AddBlock(0, "Партия 1", SamplingMode::Samples, block_flag::kDates | block_flag::kTimes, 0, DataKind::Var,
                        "", "");
    for (std::size_t i = 0; i < points.size(); ++i) {
      const int s = static_cast<int>(i + 1);
      EXPECT_TRUE(Block().AddSample("", "", true));
      TSPCSample& sample = *Block().Sample(s);
      sample.dateTime = kDay + s - 1 + 0.25;
      if (points[i] > 0) {
        EXPECT_TRUE(sample.AddPoints(points[i]));
      }
      for (int p = 1; p <= points[i]; ++p) ds.SetValue(block, s, p, 1, s + p / 100.0);
    }
    alt = ds.AddBlock(0, "Брак", SamplingMode::Samples, block_flag::kDates, 0, DataKind::Attr, "", "");
    TSPCBlock& a = *ds.Block(alt);
    EXPECT_TRUE(a.AddSample("", "", true));
    a.Sample(1)->sampleSize = 50;
    EXPECT_TRUE(a.Sample(1)->AddPoint());
    ds.SetValue(alt, 1, 1, 3, 3);
    ds.ComputeAllStats();
    ds.MarkSaved();
  }
  TSPCBlock& Block() { return *ds.Block(block); }
  std::vector<int> Sizes() {
    std::vector<int> out;
    for (const TSPCSample& s : Block().Samples()) out.push_back(s.PointCount());
    return out;
  }
};

TEST(BlockWindowLogic, TheRangeOfASelectionRunsFromItsLowestToItsHighestRow) {
  const struct {
    std::vector<int> rows;
    SelectedSamples range;
  } kCases[] = {
      {{}, {}},
      {{2}, {3, 3}},
      {{4, 0, 2}, {1, 5}},
      {{-1, 7, 5, 3}, {4, 4}},  // rows outside the list of 5 are ignored
      {{9}, {}},
  };
  for (const auto& c : kCases) {
    const SelectedSamples r = RangeOfRows(c.rows, 5);
    EXPECT_EQ(r, c.range) << c.rows.size();
    EXPECT_EQ(r.Count(), c.range.Empty() ? 0 : c.range.last - c.range.first + 1);
  }
}

TEST(BlockWindowLogic, CommandsFollowTheSelectionTheKindAndTheEditSwitch) {
  Fixture fx({4, 1, 3});
  BlockWindowLogic logic(fx.ds, fx.block);
  BlockWindowLogic altLogic(fx.ds, fx.alt);
  const Command kCommands[] = {Command::Add,  Command::Open,     Command::Delete, Command::Up,
                               Command::Down, Command::Separate, Command::Merge,  Command::Settings};
  const auto offered = [&](const BlockWindowLogic& l, SelectedSamples r) {
    std::string e;
    for (const Command c : kCommands) e += l.Enabled(c, r) ? '1' : '0';
    return e;
  };
  const struct {
    bool alternative;
    bool editable;
    SelectedSamples selection;
    const char* offered;  // add open delete up down separate merge settings
  } kCases[] = {
      {false, true, {}, "10000001"},
      {false, true, {1, 1}, "11101111"},  // a single sample merges the whole block
      {false, true, {2, 2}, "11111011"},  // one point: nothing to separate
      {false, true, {3, 3}, "11110111"},
      {false, true, {2, 3}, "10100011"},
      {false, true, {3, 4}, "10000001"},  // beyond the list
      {false, false, {1, 1}, "01000001"},
      {false, false, {1, 3}, "00000001"},
      {true, true, {1, 1}, "11100001"},  // no separating or merging of alternative samples
      {true, false, {1, 1}, "01000001"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::to_string(c.selection.first) + ".." + std::to_string(c.selection.last));
    fx.ds.blockEditingAllowed = c.editable;
    EXPECT_EQ(offered(c.alternative ? altLogic : logic, c.selection), c.offered);
  }
}

TEST(BlockWindowLogic, TextsAndCells) {
  Fixture fx({4, 2});
  fx.Block().Sample(2)->SetNote("Наладка");
  fx.Block().Sample(2)->SetEvent("Смена резца");
  fx.Block().Sample(2)->SetActive(false);
  BlockWindowLogic logic(fx.ds, fx.block);
  EXPECT_EQ(logic.Title(), "Блок данных \"Партия 1\"");
  EXPECT_EQ(logic.Caption(), "Выборки (2):");
  EXPECT_EQ(logic.SwitchText(), "Редактирование блока разрешено");
  EXPECT_EQ(logic.StatusText(), "Замеров: 6");
  EXPECT_EQ(logic.ColumnTitles(),
            (std::vector<std::string>{"#", "Объем выборки", "К-во замеров", "Дата и время", "Примечание", "Событие"}));
  const std::vector<std::string> row2 = {"2", "2", "2", "02.03.2024 06:00", "Наладка", "Смена резца"};
  for (int c = 0; c < logic.ColumnCount(); ++c) EXPECT_EQ(logic.CellText(1, c), row2[static_cast<std::size_t>(c)]);
  EXPECT_EQ(logic.CellText(2, 0), "");
  EXPECT_EQ(logic.CellText(0, 6), "");
  EXPECT_TRUE(logic.RowActive(0));
  EXPECT_FALSE(logic.RowActive(1));

  // The parameters' values as columns, in their order, once the options ask for them.
  EditingSettings settings = logic.Settings();
  settings.editing.showValues = true;
  ASSERT_TRUE(logic.StoreSettings(settings));
  ASSERT_EQ(logic.ColumnCount(), 8);
  EXPECT_EQ(logic.ColumnTitles()[6], "Диаметр");
  EXPECT_EQ(logic.ColumnTitles()[7], "Длина");
  EXPECT_EQ(logic.CellText(1, 6), "2.01; 2.02");
  EXPECT_EQ(logic.CellText(1, 7), "");
  BlockWindowLogic altLogic(fx.ds, fx.alt);
  ASSERT_EQ(altLogic.ColumnCount(), 7);
  EXPECT_EQ(altLogic.ColumnTitles()[6], "Брак");
  EXPECT_EQ(altLogic.CellText(0, 1), "50");  // the units inspected
  EXPECT_EQ(altLogic.CellText(0, 6), "3");

  fx.ds.blockEditingAllowed = false;
  EXPECT_EQ(logic.Title(), "Блок данных \"Партия 1\" - только просмотр");
  EXPECT_EQ(logic.SwitchText(), "Редактирование блока запрещено, т.к. снят флаг \"Редактировать\"");
}

TEST(BlockWindowLogic, AValueCellListsTheFirstValuesOnly) {
  Fixture fx({12, 13});
  BlockWindowLogic logic(fx.ds, fx.block);
  EditingSettings settings = logic.Settings();
  settings.editing.showValues = true;
  ASSERT_TRUE(logic.StoreSettings(settings));
  std::string twelve;
  for (int p = 1; p <= 12; ++p) twelve += (p > 1 ? "; " : "") + std::string(p < 10 ? "1.0" : "1.") + std::to_string(p);
  EXPECT_EQ(logic.CellText(0, 6), twelve);
  EXPECT_EQ(logic.CellText(1, 6).substr(0, 4), "2.01");
  EXPECT_TRUE(logic.CellText(1, 6).ends_with("2.12; …")) << logic.CellText(1, 6);
}

TEST(BlockWindowLogic, TheStatusNamesAFilterInForceWithWhatMeetsIt) {
  Fixture fx({4, 2, 3});
  fx.Block().Sample(1)->SetNote("Наладка");
  fx.Block().Sample(3)->SetNote("Наладка");
  SampleFilter filter = NewSampleFilter(kDay);
  filter.name = "С примечанием";
  SampleFilterCondition condition;
  condition.property = static_cast<std::uint8_t>(FilterProperty::Note);
  condition.valueType = static_cast<std::uint8_t>(FilterValueType::Text);
  condition.condition = filter_cond::kNotEmpty;
  filter.conditions.push_back(condition);
  WriteFilter(fx.ds, DataKind::Var, filter);
  ApplyFilters(fx.ds);
  BlockWindowLogic logic(fx.ds, fx.block);
  EXPECT_EQ(logic.StatusText(), "Замеров: 9,  фильтр \"С примечанием\" - выборок: 2, замеров: 7");
  EXPECT_EQ(logic.CellText(1, 2), "0");  // no point of sample 2 counts
  filter.active = false;
  WriteFilter(fx.ds, DataKind::Var, filter);
  EXPECT_EQ(logic.StatusText(), "Замеров: 9");
}

TEST(BlockWindowLogic, MovingExchangesWithTheNeighbourAndGivesTheNewPosition) {
  Fixture fx({1, 2, 3});
  BlockWindowLogic logic(fx.ds, fx.block);
  EXPECT_EQ(logic.MoveUp({1, 1}), 0);
  EXPECT_EQ(logic.MoveDown({3, 3}), 0);
  EXPECT_EQ(logic.MoveUp({1, 2}), 0);
  EXPECT_EQ(fx.Sizes(), (std::vector<int>{1, 2, 3}));
  EXPECT_FALSE(fx.ds.IsChanged());
  EXPECT_EQ(logic.MoveDown({1, 1}), 2);
  EXPECT_EQ(fx.Sizes(), (std::vector<int>{2, 1, 3}));
  EXPECT_EQ(logic.MoveUp({3, 3}), 2);
  EXPECT_EQ(fx.Sizes(), (std::vector<int>{2, 3, 1}));
  EXPECT_EQ(fx.fake.log.lines, (std::vector<std::string>{"Exchange samples from pos 1 to 2",
                                                         "Exchange samples from pos 3 to 2"}));
  EXPECT_TRUE(fx.ds.IsChanged());
}

TEST(BlockWindowLogic, DeletingAsksAboutTheRangeAndRenewsTheStatistics) {
  Fixture fx({4, 1, 3, 2});
  BlockWindowLogic logic(fx.ds, fx.block);
  EXPECT_FALSE(logic.Delete({2, 3}));  // "Нет"
  fx.fake.prompts.choices.push_back(0);
  EXPECT_TRUE(logic.Delete({2, 3}));
  ASSERT_EQ(fx.fake.prompts.questions.size(), 2u);
  EXPECT_EQ(fx.fake.prompts.questions[1].text, "Вы действительно хотите удалить выборки с #2 по #3 ?");
  EXPECT_EQ(fx.Sizes(), (std::vector<int>{4, 2}));
  EXPECT_EQ(fx.Block().stats.totalPoints, 6);
  EXPECT_EQ(logic.Caption(), "Выборки (2):");
  EXPECT_EQ(fx.fake.log.lines, std::vector<std::string>{"Del smp #2..3 in block #1"});
  EXPECT_FALSE(logic.Delete({2, 5}));  // beyond the list: nothing asked
  EXPECT_EQ(fx.fake.prompts.questions.size(), 2u);
}

TEST(BlockWindowLogic, AddingIsRefusedAtTheBlocksLimit) {
  Fixture fx(std::vector<int>(1000, 1));
  BlockWindowLogic logic(fx.ds, fx.block);
  EXPECT_EQ(logic.CheckAdd(), "Количество выборок в данном блоке достигло предела");
  EXPECT_EQ(fx.fake.messages.Texts(), std::vector<std::string>{"Количество выборок в данном блоке достигло предела"});
  fx.Block().DeleteSample(1000);
  EXPECT_EQ(logic.CheckAdd(), "");
}

TEST(BlockWindowLogic, SeparationFormTakesTheStoredOptions) {
  Fixture fx({12});
  fx.Block().Sample(1)->SetNote("Наладка");
  BlockWindowLogic logic(fx.ds, fx.block);
  SeparationForm form = logic.SeparationFormOf(1);
  EXPECT_EQ(form.caption, "Разделение выборки 1");
  EXPECT_EQ(form.text, "     Объем:  12\r\nДата/время:  01.03.2024 06:00\r\nПримечание:  Наладка\r\n   Событие:  ");
  EXPECT_EQ(form.sizeText, "5");  // 0 in a new dataset's record
  EXPECT_FALSE(form.copyNote);
  form.sizeText = "4";
  form.copyNote = true;
  fx.fake.prompts.choices.push_back(0);
  ASSERT_TRUE(logic.Separate(1, form));
  EXPECT_EQ(fx.Sizes(), (std::vector<int>{4, 4, 4}));
  const SeparationForm again = logic.SeparationFormOf(2);
  EXPECT_EQ(again.sizeText, "4");
  EXPECT_TRUE(again.copyNote);
}

TEST(BlockWindowLogic, MergingFormAndItsChecks) {
  Fixture fx({2, 3, 1, 4, 2});
  fx.Block().Sample(4)->flags = static_cast<std::uint16_t>(fx.Block().Sample(4)->flags & ~sample_flag::kHasDate);
  BlockWindowLogic logic(fx.ds, fx.block);
  EXPECT_EQ(logic.MergeRangeOf({3, 3}), (SelectedSamples{1, 5}));
  EXPECT_EQ(logic.MergeRangeOf({2, 4}), (SelectedSamples{2, 4}));
  MergingForm form = logic.MergingFormOf({1, 3});
  EXPECT_EQ(form.text,
            "Кол-во выборок :  3\r\nНомера выборок :  с 1 по 3\r\nОбщий объем    :  6\r\n"
            "Период времени :  01.03.2024 06:00 - 03.03.2024 06:00");
  EXPECT_TRUE(form.datesOffered);
  EXPECT_EQ(form.mode, MergeMode::All);  // a new dataset's mode 0 is not offered
  EXPECT_EQ(form.nText, "5");
  EXPECT_TRUE(form.keepNotes);
  EXPECT_FALSE(logic.MergingFormOf({3, 5}).datesOffered);  // sample 4 has no date

  // Mode 3 where it is not offered does nothing; a bad N is refused before anything changes.
  form = logic.MergingFormOf({1, 5});
  form.mode = MergeMode::EqualDates;
  EXPECT_FALSE(logic.Merge({1, 5}, form));
  form.mode = MergeMode::ByN;
  for (const char* n : {"", "1", "201", "2,5"}) {
    form.nText = n;
    EXPECT_FALSE(logic.Merge({1, 5}, form)) << n;
  }
  EXPECT_EQ(fx.fake.messages.Texts(), std::vector<std::string>(4, "Количество выборок для объединения указано неверно (2..200)"));
  EXPECT_EQ(fx.Sizes(), (std::vector<int>{2, 3, 1, 4, 2}));
  EXPECT_FALSE(fx.ds.IsChanged());

  form.nText = " 2 ";
  form.keepNotes = false;
  ASSERT_TRUE(logic.Merge({1, 5}, form));
  EXPECT_EQ(fx.Sizes(), (std::vector<int>{5, 5, 2}));
  const SampleMergingOptions stored = ReadMergingOptions(fx.ds);
  EXPECT_EQ(stored.mode, MergeMode::ByN);
  EXPECT_EQ(stored.N(), 2);
  EXPECT_FALSE(stored.KeepNotes());
  const MergingForm next = logic.MergingFormOf({1, 3});
  EXPECT_EQ(next.mode, MergeMode::ByN);
  EXPECT_EQ(next.nText, "2");
}

TEST(BlockWindowLogic, SettingsAreCheckedThenStoredInTheirThreeRecords) {
  Fixture fx({3});
  BlockWindowLogic logic(fx.ds, fx.block);
  const EditingSettings before = logic.Settings();
  EXPECT_EQ(before.separationSizeText, "5");
  EXPECT_EQ(before.mergeNText, "5");
  const struct {
    const char* size;
    const char* n;
    const char* error;
  } kRefusals[] = {
      {"0", "5", "Объем новых выборок указан неверно"},
      {"201", "5", "Объем новых выборок указан неверно"},
      {"", "5", "Объем новых выборок указан неверно"},
      {"5", "1", "Количество выборок для объединения указано неверно (2..200)"},
      {"5", "x", "Количество выборок для объединения указано неверно (2..200)"},
  };
  for (const auto& c : kRefusals) {
    EditingSettings s = before;
    s.separationSizeText = c.size;
    s.mergeNText = c.n;
    fx.fake.messages.shown.clear();
    EXPECT_FALSE(logic.StoreSettings(s));
    EXPECT_EQ(fx.fake.messages.Texts(), std::vector<std::string>{c.error});
  }
  EXPECT_FALSE(fx.ds.IsChanged());
  // Storing what is there changes nothing.
  EXPECT_TRUE(logic.StoreSettings(before));
  EXPECT_FALSE(fx.ds.IsChanged());

  EditingSettings s = before;
  s.editing.newSampleDate = 1;
  s.editing.entryStart = 1;
  s.editing.flags = editing_flag::kSound | editing_flag::kEnlargeFont;
  s.separation.flags = separation_flag::kCopyNote;
  s.separationSizeText = "8";
  s.merging.flags = merge_flag::kEqualNotes;
  s.mergeNText = "12";
  ASSERT_TRUE(logic.StoreSettings(s));
  EXPECT_TRUE(fx.ds.IsChanged());
  EXPECT_EQ(fx.ds.settings.editingOptions, (std::array<std::uint8_t, 10>{1, 1, 0, 0x12, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(fx.ds.settings.separationOptions, (std::array<std::uint8_t, 8>{1, 0, 8, 0, 0, 0, 0, 0}));
  const SampleMergingOptions merging = ReadMergingOptions(fx.ds);
  EXPECT_EQ(merging.mode, MergeMode::None);  // the mode is the merging window's
  EXPECT_EQ(merging.flags, merge_flag::kEqualNotes);
  EXPECT_EQ(merging.N(), 12);
}

}  // namespace
}  // namespace mv
