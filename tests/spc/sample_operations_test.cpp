#include "spc/sample_operations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/fake_platform.h"

namespace mv {
namespace {

constexpr double kDay = 45352;  // 01.03.2024

// One quantitative parameter (tolerance 0..10000) and one block "Партия 1" whose samples have
// the given numbers of points. Point p of sample s holds s * 1000 + p, so every move of a
// point shows; sample s is dated kDay + dayOf[s] when days are given, else kDay + s.
struct Fixture {
  test::FakePlatform fake;
  TDatasetSPC ds;
  int block = 0;

  explicit Fixture(const std::vector<int>& points, const std::vector<int>& days = {}) {
    TSPCParameter props;
    props.kind = DataKind::Var;
    props.name = "Диаметр";
    ds.SetParameter(0, 0, props);
    ds.Parameter(1)->SetTolerance(0, 10000, std::nullopt);
    block = ds.AddBlock(0, "Партия 1", SamplingMode::Samples, block_flag::kDates | block_flag::kTimes, 0, DataKind::Var,
                        "", "");
    for (std::size_t i = 0; i < points.size(); ++i) {
      const int s = static_cast<int>(i + 1);
      EXPECT_TRUE(Block().AddSample("", "", true));
      TSPCSample& sample = *Block().Sample(s);
      sample.dateTime = kDay + (days.empty() ? s : days[i]) + 0.25;
      if (points[i] > 0) {
        EXPECT_TRUE(sample.AddPoints(points[i]));
      }
      for (int p = 1; p <= points[i]; ++p) ds.SetValue(block, s, p, 1, s * 1000 + p);
    }
    ds.ComputeAllStats();
    ds.MarkSaved();
    for (TSPCSample& s : Block().Samples()) s.changed = false;
  }
  TSPCBlock& Block() { return *ds.Block(block); }
  TSPCSample& Sample(int s) { return *Block().Sample(s); }
  void Yes(int times = 1) {
    for (int i = 0; i < times; ++i) fake.prompts.choices.push_back(0);
  }
  std::vector<int> Sizes() {
    std::vector<int> out;
    for (const TSPCSample& s : Block().Samples()) out.push_back(s.PointCount());
    return out;
  }
  // The values of each sample, in point order.
  std::vector<std::vector<double>> Values() {
    std::vector<std::vector<double>> out;
    for (const TSPCSample& s : Block().Samples()) {
      out.emplace_back();
      for (const TFileSmpPoint p : s.Points()) out.back().push_back(p.Value(1));
    }
    return out;
  }
  std::vector<std::string> Questions() {
    std::vector<std::string> out;
    for (const auto& q : fake.prompts.questions) out.push_back(q.text);
    return out;
  }
};

std::vector<double> Series(double from, double to) {
  std::vector<double> out;
  for (double v = from; v <= to; ++v) out.push_back(v);
  return out;
}

TEST(SampleOperations, SeparatingSplitsIntoSamplesOfTheGivenSize) {
  const struct {
    const char* size;
    std::vector<int> sizes;
    const char* question;
    const char* log;
    const char* information;
  } kCases[] = {
      {"5", {5, 5, 2, 3},
       "Выборка #1 будет разделена на 3 выборки по 5 замеров.\r\nОбъем последней выборки - 2.\r\n\r\nРазделить выборку?",
       "Separate sample #1 (12 points) into 3 by 5 points", "Выборка #1 успешно разделена на 3 выборки"},
      {" 4 ", {4, 4, 4, 3}, "Выборка #1 будет разделена на 3 выборки по 4 замера.\r\n\r\nРазделить выборку?",
       "Separate sample #1 (12 points) into 3 by 4 points", "Выборка #1 успешно разделена на 3 выборки"},
      {"1", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 3},
       "Выборка #1 будет разделена на 12 выборок по 1 замеру.\r\n\r\nРазделить выборку?",
       "Separate sample #1 (12 points) into 12 by 1 points", "Выборка #1 успешно разделена на 12 выборок"},
      {"11", {11, 1, 3},
       "Выборка #1 будет разделена на 2 выборки по 11 замеров.\r\nОбъем последней выборки - 1.\r\n\r\nРазделить выборку?",
       "Separate sample #1 (12 points) into 2 by 11 points", "Выборка #1 успешно разделена на 2 выборки"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.size);
    Fixture fx({12, 3});
    fx.Sample(1).SetNote("Наладка");
    fx.Sample(1).SetEvent("Смена резца");
    fx.Yes();
    ASSERT_TRUE(BlockEditing(fx.ds, 1).SeparateSample(1, c.size, false));
    EXPECT_EQ(fx.Sizes(), c.sizes);
    EXPECT_EQ(fx.Questions(), std::vector<std::string>{c.question});
    EXPECT_EQ(fx.fake.log.lines, std::vector<std::string>{c.log});
    EXPECT_EQ(fx.fake.messages.Texts(), std::vector<std::string>{c.information});
    // The points move in order; the sample after the separated one is untouched.
    std::vector<double> joined;
    const auto values = fx.Values();
    for (std::size_t i = 0; i + 1 < values.size(); ++i) joined.insert(joined.end(), values[i].begin(), values[i].end());
    EXPECT_EQ(joined, Series(1001, 1012));
    EXPECT_EQ(values.back(), Series(2001, 2003));
    for (int s = 2; s < fx.Block().SampleCount(); ++s) {
      const TSPCSample& added = fx.Sample(s);
      EXPECT_EQ(added.dateTime, fx.Sample(1).dateTime);
      EXPECT_EQ(added.flags, fx.Sample(1).flags);
      EXPECT_EQ(added.Note(), "");  // only with the copy-note choice
      EXPECT_EQ(added.Event(), "");  // never
      EXPECT_TRUE(added.changed);
    }
    EXPECT_EQ(fx.Sample(1).Note(), "Наладка");
    EXPECT_EQ(fx.Block().stats.totalPoints, 15);
    EXPECT_EQ(fx.Block().stats.maxPoints, *std::max_element(c.sizes.begin(), c.sizes.end()));
    EXPECT_TRUE(fx.ds.IsChanged());
    EXPECT_EQ(ReadSeparationOptions(fx.ds).Size(), std::stoi(c.size));
  }
}

TEST(SampleOperations, SeparatingCopiesTheNoteOnlyWhenAskedAndStoresTheChoice) {
  Fixture fx({6});
  fx.Sample(1).SetNote("Наладка");
  fx.Sample(1).SetEvent("Смена резца");
  fx.Yes();
  ASSERT_TRUE(BlockEditing(fx.ds, 1).SeparateSample(1, "2", true));
  ASSERT_EQ(fx.Block().SampleCount(), 3);
  for (int s = 2; s <= 3; ++s) {
    EXPECT_EQ(fx.Sample(s).Note(), "Наладка");
    EXPECT_EQ(fx.Sample(s).Event(), "");
  }
  EXPECT_TRUE(ReadSeparationOptions(fx.ds).CopyNote());
  EXPECT_EQ(ReadSeparationOptions(fx.ds).Size(), 2);
}

// Each refusal shows its error and leaves the block and the options as they were.
TEST(SampleOperations, SeparatingRefusals) {
  const struct {
    int samples;  // in the block, the first of 12 points, the others of one
    const char* size;
    const char* error;
  } kCases[] = {
      {1, "", "Объем новых выборок указан неверно"},
      {1, "0", "Объем новых выборок указан неверно"},
      {1, "2,5", "Объем новых выборок указан неверно"},
      {1, "-3", "Объем новых выборок указан неверно"},
      {1, "12", "Объем новых выборок должен быть меньше текущего"},
      {1, "100000", "Объем новых выборок должен быть меньше текущего"},
      {999, "5", "Количество выборок в результате разделения превысит максимально возможное для блока"},
      // The block's samples plus all k, as the window counts: 997 + 3 = 1000 is still allowed.
      {998, "5", "Количество выборок в результате разделения превысит максимально возможное для блока"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.size) + " with " + std::to_string(c.samples) + " samples");
    std::vector<int> points(static_cast<std::size_t>(c.samples), 1);
    points[0] = 12;
    Fixture fx(points);
    const auto optionsBefore = fx.ds.settings.separationOptions;
    fx.Yes();
    EXPECT_FALSE(BlockEditing(fx.ds, 1).SeparateSample(1, c.size, true));
    EXPECT_EQ(fx.fake.messages.Texts(), std::vector<std::string>{c.error});
    EXPECT_TRUE(fx.fake.prompts.questions.empty());
    EXPECT_EQ(fx.Block().SampleCount(), c.samples);
    EXPECT_EQ(fx.Sample(1).PointCount(), 12);
    EXPECT_EQ(fx.ds.settings.separationOptions, optionsBefore);
    EXPECT_FALSE(fx.ds.IsChanged());
  }
  Fixture fx(std::vector<int>(997, 1));
  fx.Sample(1).AddPoints(11);
  fx.Yes();
  EXPECT_TRUE(BlockEditing(fx.ds, 1).SeparateSample(1, "5", false));
  EXPECT_EQ(fx.Block().SampleCount(), 999);
}

TEST(SampleOperations, AnsweringNoChangesNothing) {
  Fixture fx({12, 3, 4});
  EXPECT_FALSE(BlockEditing(fx.ds, 1).SeparateSample(1, "5", false));
  EXPECT_FALSE(BlockEditing(fx.ds, 1).DeleteSamples(1, 2));
  SampleMergingOptions all;
  all.mode = MergeMode::All;
  EXPECT_FALSE(BlockEditing(fx.ds, 1).MergeSamples(2, 3, all));
  EXPECT_EQ(fx.Sizes(), (std::vector<int>{12, 3, 4}));
  EXPECT_EQ(fx.fake.prompts.questions.size(), 3u);
  EXPECT_EQ(fx.Questions().back(), "Вы действительно желаете объединить выборки с 2 по 3 (2 шт), суммарный объем 7 ?");
}

TEST(SampleOperations, DeletingAsksAboutOneSampleOrARange) {
  const struct {
    int first;
    int last;
    const char* question;
    const char* log;
    std::vector<int> sizes;
  } kCases[] = {
      {4, 4, "Вы действительно хотите удалить выборку #4 ?", "Del smp #4 in block #1", {1, 2, 3, 5, 6}},
      {2, 5, "Вы действительно хотите удалить выборки с #2 по #5 ?", "Del smp #2..5 in block #1", {1, 6}},
      {1, 6, "Вы действительно хотите удалить выборки с #1 по #6 ?", "Del smp #1..6 in block #1", {}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.question);
    Fixture fx({1, 2, 3, 4, 5, 6});
    fx.Yes();
    ASSERT_TRUE(BlockEditing(fx.ds, 1).DeleteSamples(c.first, c.last));
    EXPECT_EQ(fx.Questions(), std::vector<std::string>{c.question});
    EXPECT_EQ(fx.fake.log.lines, std::vector<std::string>{c.log});
    EXPECT_EQ(fx.Sizes(), c.sizes);
    int total = 0;
    for (const int n : c.sizes) total += n;
    EXPECT_EQ(fx.Block().stats.totalPoints, total);
    EXPECT_TRUE(fx.ds.IsChanged());
  }
}

TEST(SampleOperations, ExchangingSwapsTwoSamplesAndLogs) {
  Fixture fx({1, 2, 3});
  ASSERT_TRUE(BlockEditing(fx.ds, 1).ExchangeSamples(3, 1));
  EXPECT_EQ(fx.Sizes(), (std::vector<int>{3, 2, 1}));
  EXPECT_EQ(fx.Values()[0], Series(3001, 3003));
  EXPECT_EQ(fx.fake.log.lines, std::vector<std::string>{"Exchange samples from pos 3 to 1"});
  EXPECT_TRUE(fx.Sample(1).changed);
  EXPECT_FALSE(fx.Sample(2).changed);
  EXPECT_TRUE(fx.Sample(3).changed);
  EXPECT_TRUE(fx.ds.IsChanged());
  // Out of the block, or with itself: nothing, and nothing said.
  EXPECT_FALSE(BlockEditing(fx.ds, 1).ExchangeSamples(3, 4));
  EXPECT_FALSE(BlockEditing(fx.ds, 1).ExchangeSamples(2, 2));
  EXPECT_EQ(fx.fake.log.lines.size(), 1u);
}

TEST(SampleOperations, WithoutTheEditSwitchEveryOperationIsRefused) {
  Fixture fx({12, 3, 4});
  fx.ds.blockEditingAllowed = false;
  fx.Yes(5);
  BlockEditing editing(fx.ds, 1);
  SampleMergingOptions all;
  all.mode = MergeMode::All;
  EXPECT_FALSE(editing.DeleteSamples(1, 1));
  EXPECT_FALSE(editing.ExchangeSamples(1, 2));
  EXPECT_FALSE(editing.SeparateSample(1, "5", false));
  EXPECT_FALSE(editing.MergeSamples(1, 3, all));
  const std::string refusal = "Редактирование блока запрещено, т.к. снят флаг \"Редактировать\"";
  EXPECT_EQ(fx.fake.messages.Texts(), std::vector<std::string>(4, refusal));
  EXPECT_EQ(EditSwitchText(fx.ds), refusal);
  EXPECT_EQ(fx.Sizes(), (std::vector<int>{12, 3, 4}));
  fx.ds.blockEditingAllowed = true;
  EXPECT_EQ(EditSwitchText(fx.ds), "Редактирование блока разрешено");
}

TEST(SampleOperations, MergingAllInOne) {
  Fixture fx({2, 3, 4, 1});
  fx.Sample(2).SetNote("вторая");
  fx.Sample(3).SetEvent("событие");
  fx.Yes();
  SampleMergingOptions all;
  all.mode = MergeMode::All;
  BlockEditing editing(fx.ds, 1);
  ASSERT_TRUE(editing.MergeSamples(1, 3, all));
  EXPECT_EQ(fx.Sizes(), (std::vector<int>{9, 1}));
  std::vector<double> expected = Series(1001, 1002);
  for (const double v : Series(2001, 2003)) expected.push_back(v);
  for (const double v : Series(3001, 3004)) expected.push_back(v);
  EXPECT_EQ(fx.Values()[0], expected);
  // The empty note and event are taken from the merged samples, the date-time is not.
  EXPECT_EQ(fx.Sample(1).Note(), "вторая");
  EXPECT_EQ(fx.Sample(1).Event(), "событие");
  EXPECT_EQ(fx.Sample(1).Date(), kDay + 1);
  EXPECT_EQ(fx.Questions(),
            std::vector<std::string>{"Вы действительно желаете объединить выборки с 1 по 3 (3 шт), суммарный объем 9 ?"});
  EXPECT_EQ(fx.fake.log.lines, (std::vector<std::string>{"Glue samples start: 1-3 all2one",
                                                         "Glue samples 1..3 (3 smp, 9 pnt)",
                                                         "Glue samples finish: 2 total"}));
  EXPECT_EQ(fx.fake.messages.Texts(), std::vector<std::string>{"Выборки с 1 по 3 (3 шт) успешно объединены в одну"});
  EXPECT_EQ(fx.Block().stats.totalPoints, 10);
  EXPECT_EQ(fx.Block().stats.maxPoints, 9);
  EXPECT_EQ(fx.ds.Block(1)->stats.params[0].max, 4001);
  EXPECT_EQ(fx.Sample(1).Stats(1).max, 3004);
  EXPECT_EQ(ReadMergingOptions(fx.ds).mode, MergeMode::All);
}

TEST(SampleOperations, AMergedSampleKeepsItsOwnNoteUnlessItWasEmpty) {
  const struct {
    const char* own;
    bool keepNotes;
    const char* result;
  } kCases[] = {
      {"своё", true, "своё"},
      {"своё", false, "своё"},
      {"", true, "чужое"},
      {"", false, ""},  // without the option a sample that had points takes no later note
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.own) + (c.keepNotes ? " keep" : ""));
    Fixture fx({2, 2});
    fx.Sample(1).SetNote(c.own);
    fx.Sample(2).SetNote("чужое");
    ASSERT_EQ(BlockEditing(fx.ds, 1).MergeRange(1, 2, false, c.keepNotes), BlockEditing::MergeResult::Merged);
    EXPECT_EQ(fx.Sample(1).Note(), c.result);
  }
}

TEST(SampleOperations, MergingMoreThan200PointsChangesNothing) {
  Fixture fx({100, 60, 50, 5});
  fx.Yes();
  SampleMergingOptions all;
  all.mode = MergeMode::All;
  EXPECT_FALSE(BlockEditing(fx.ds, 1).MergeSamples(1, 3, all));
  EXPECT_EQ(fx.fake.messages.Texts(),
            std::vector<std::string>{"Невозможно объединить выборки с 1 по 3 (3 шт), т.к. их суммарный объем (210) "
                                     "превышает максимально возможный для одной выборки (200)"});
  EXPECT_TRUE(fx.fake.prompts.questions.empty());
  EXPECT_EQ(fx.Sizes(), (std::vector<int>{100, 60, 50, 5}));
}

TEST(SampleOperations, MergingByN) {
  const struct {
    std::vector<int> points;
    int n;
    std::vector<int> sizes;
    std::vector<std::string> messages;
    const char* finish;
  } kCases[] = {
      {std::vector<int>(12, 1), 5, {5, 5, 2}, {"Выборки успешно объединены по 5 в одну"}, "Glue samples finish: 3 total"},
      {std::vector<int>(11, 1), 5, {5, 5, 1}, {"Выборки успешно объединены по 5 в одну"}, "Glue samples finish: 3 total"},
      {std::vector<int>(4, 1), 200, {4}, {"Выборки успешно объединены по 200 в одну"}, "Glue samples finish: 1 total"},
      // The second group would hold 210 points: the first stays merged, the rest is left.
      {{10, 10, 150, 60, 50, 7}, 2, {20, 150, 60, 50, 7},
       {"Невозможно объединить выборки с 2 по 3 (2 шт), т.к. их суммарный объем (210) превышает максимально возможный "
        "для одной выборки (200)"},
       "Glue samples finish: 5 total"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.finish);
    Fixture fx(c.points);
    SampleMergingOptions byN;
    byN.mode = MergeMode::ByN;
    byN.n = static_cast<std::uint16_t>(c.n);
    BlockEditing(fx.ds, 1).MergeSamples(1, fx.Block().SampleCount(), byN);
    EXPECT_EQ(fx.Sizes(), c.sizes);
    EXPECT_EQ(fx.fake.messages.Texts(), c.messages);
    EXPECT_TRUE(fx.fake.prompts.questions.empty());  // no confirmation in this mode
    EXPECT_EQ(fx.fake.log.lines.front(),
              "Glue samples start: 1-" + std::to_string(c.points.size()) + " by " + std::to_string(c.n));
    EXPECT_EQ(fx.fake.log.lines.back(), c.finish);
  }
}

TEST(SampleOperations, MergingByFiveKeepsThePointsInOrder) {
  Fixture fx(std::vector<int>(12, 1));
  SampleMergingOptions byN;
  byN.mode = MergeMode::ByN;
  BlockEditing(fx.ds, 1).MergeSamples(1, 12, byN);
  EXPECT_EQ(fx.Values(), (std::vector<std::vector<double>>{{1001, 2001, 3001, 4001, 5001},
                                                           {6001, 7001, 8001, 9001, 10001},
                                                           {11001, 12001}}));
  EXPECT_EQ(fx.fake.log.lines, (std::vector<std::string>{"Glue samples start: 1-12 by 5", "Glue samples 1..5 (5 smp, 5 pnt)",
                                                         "Glue samples 2..6 (5 smp, 5 pnt)",
                                                         "Glue samples 3..4 (2 smp, 2 pnt)", "Glue samples finish: 3 total"}));
}

TEST(SampleOperations, MergingByNRefusesACountOutside2To200) {
  for (const std::uint16_t n : {1, 201}) {
    Fixture fx({1, 1});
    SampleMergingOptions byN;
    byN.mode = MergeMode::ByN;
    byN.n = n;
    EXPECT_FALSE(BlockEditing(fx.ds, 1).MergeSamples(1, 2, byN));
    EXPECT_EQ(fx.fake.messages.Texts(),
              std::vector<std::string>{"Количество выборок для объединения указано неверно (2..200)"});
    EXPECT_TRUE(fx.fake.log.lines.empty());
  }
}

TEST(SampleOperations, MergingByEqualDates) {
  const struct {
    std::vector<int> days;
    std::vector<const char*> notes;
    bool equalNotes;
    std::vector<int> sizes;
    const char* message;
  } kCases[] = {
      {{1, 2, 3, 4}, {}, false, {1, 1, 1, 1}, "Выборки не объединялись, т.к. все они имеют разные даты"},
      {{1, 1, 2, 3, 3, 3}, {}, false, {2, 1, 3},
       "Успешно объединены выборки с одинаковыми датами, количество объединений - 2"},
      // Equal dates apart are not one run.
      {{1, 2, 1}, {}, false, {1, 1, 1}, "Выборки не объединялись, т.к. все они имеют разные даты"},
      // Equal notes, letter case aside: A a B A | B b.
      {{1, 1, 1, 1, 2, 2}, {"А", "а", "Б", "а", "Б", "б"}, true, {3, 1, 2},
       "Успешно объединены выборки с одинаковыми датами, количество объединений - 2"},
      {{1, 1}, {"А", "Б"}, true, {1, 1}, "Выборки не объединялись, т.к. все они имеют разные даты"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.message);
    Fixture fx(std::vector<int>(c.days.size(), 1), c.days);
    for (std::size_t i = 0; i < c.notes.size(); ++i) fx.Sample(static_cast<int>(i + 1)).SetNote(c.notes[i]);
    // Times differ within a day: only the date part counts.
    fx.Sample(1).dateTime += 0.1;
    SampleMergingOptions dates;
    dates.mode = MergeMode::EqualDates;
    dates.flags = static_cast<std::uint16_t>(merge_flag::kKeepNotes | (c.equalNotes ? merge_flag::kEqualNotes : 0));
    BlockEditing(fx.ds, 1).MergeSamples(1, fx.Block().SampleCount(), dates);
    EXPECT_EQ(fx.Sizes(), c.sizes);
    EXPECT_EQ(fx.fake.messages.Texts(), std::vector<std::string>{c.message});
    EXPECT_EQ(fx.fake.log.lines.front(), std::string("Glue samples start: 1-") + std::to_string(c.days.size()) +
                                             (c.equalNotes ? " by equal dates&notes" : " by equal dates"));
  }
}

TEST(SampleOperations, MergingByDatesNeedsADateInEverySample) {
  Fixture fx({1, 1});
  fx.Sample(2).flags &= static_cast<std::uint16_t>(~sample_flag::kHasDate);
  SampleMergingOptions dates;
  dates.mode = MergeMode::EqualDates;
  EXPECT_FALSE(BlockEditing(fx.ds, 1).MergeSamples(1, 2, dates));
  EXPECT_EQ(fx.Sizes(), (std::vector<int>{1, 1}));
}

TEST(SampleOperations, MergeIntoAppendsOrRefusesWhole) {
  test::FakePlatform fake;
  TSPCSample target;
  TSPCSample work;
  ASSERT_TRUE(target.AddPoints(150));
  ASSERT_TRUE(work.AddPoints(51));
  work.SetNote("n");
  work.dateTime = kDay;
  work.flags = sample_flag::kHasDate;
  EXPECT_FALSE(MergeInto(target, work, true, true));
  EXPECT_EQ(target.PointCount(), 150);
  EXPECT_EQ(work.PointCount(), 51);
  EXPECT_EQ(target.Note(), "");
  EXPECT_FALSE(target.changed);

  work.DeletePoint(1);
  EXPECT_TRUE(MergeInto(target, work, true, false));
  EXPECT_EQ(target.PointCount(), 200);
  EXPECT_EQ(work.PointCount(), 0);
  EXPECT_EQ(target.dateTime, 0);  // not asked for

  // The date-time only when asked and the work sample has a date.
  TSPCSample dated;
  TSPCSample undated;
  undated.dateTime = kDay + 3;
  EXPECT_TRUE(MergeInto(dated, undated, false, true));
  EXPECT_EQ(dated.dateTime, 0);
  EXPECT_TRUE(MergeInto(dated, work, false, true));
  EXPECT_EQ(dated.dateTime, kDay);
  EXPECT_EQ(dated.flags & sample_flag::kHasDate, sample_flag::kHasDate);
}

TEST(SampleOperations, WindowTexts) {
  Fixture fx({3, 2});
  fx.Sample(1).SetNote("Наладка");
  fx.Sample(1).SetEvent("Смена");
  BlockEditing editing(fx.ds, 1);
  EXPECT_EQ(BlockEditing::SeparationCaption(1), "Разделение выборки 1");
  EXPECT_EQ(editing.SeparationText(1),
            "     Объем:  3\r\nДата/время:  02.03.2024 06:00\r\nПримечание:  Наладка\r\n   Событие:  Смена");
  EXPECT_EQ(editing.MergingText(1, 2),
            "Кол-во выборок :  2\r\nНомера выборок :  с 1 по 2 (все)\r\nОбщий объем    :  5\r\nПериод времени :  "
            "02.03.2024 06:00 - 03.03.2024 06:00");
  editing.LogOpened();
  editing.LogClosed();
  ASSERT_EQ(fx.fake.log.lines.size(), 2u);
  EXPECT_EQ(fx.fake.log.lines[0].rfind("Start edit block #1 [Kind=Var, ID=", 0), 0u);
  EXPECT_EQ(fx.fake.log.lines[1].rfind("Finish edit block #1 [Kind=Var, ID=", 0), 0u);
}

}  // namespace
}  // namespace mv
