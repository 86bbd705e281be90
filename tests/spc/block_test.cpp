#include "spc/block.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "core/text.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

constexpr DataKind kVar = DataKind::Var;
constexpr DataKind kAttr = DataKind::Attr;

// Appends a sample whose points carry the given values of parameter 1.
TSPCSample& AddValues(TSPCBlock& block, std::initializer_list<double> values) {
  EXPECT_TRUE(block.InsertSample(0));
  TSPCSample& s = *block.Sample(block.SampleCount());
  for (const double v : values) {
    EXPECT_TRUE(s.AddPoint());
    s.Point(s.PointCount())->SetValue(1, v);
  }
  return s;
}

std::string Repeat(std::string_view text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

TEST(Block, AddSampleTakesNowAndTheBlockDateFlags) {
  const struct {
    std::uint16_t blockFlags;
    bool active;
    std::uint16_t sampleFlags;
  } kCases[] = {
      {0, true, 0},
      {block_flag::kDates | block_flag::kProtected, true, sample_flag::kHasDate},
      {block_flag::kDates | block_flag::kTimes, true, sample_flag::kHasDate | sample_flag::kHasTime},
      {block_flag::kDates, false, sample_flag::kHasDate | sample_flag::kInactive},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.blockFlags);
    test::FakePlatform fake;
    TSPCBlock block;
    block.flags = c.blockFlags;
    ASSERT_TRUE(block.AddSample("примечание", "событие", c.active));
    const TSPCSample& s = *block.Sample(1);
    EXPECT_EQ(s.flags, c.sampleFlags);
    EXPECT_EQ(s.dateTime, fake.clock.now);
    EXPECT_EQ(s.Note(), "примечание");
    EXPECT_EQ(s.Event(), "событие");
    EXPECT_EQ(s.PointCount(), 0);
  }
}

TEST(Block, TextsAreCutToTheirLimits) {
  test::FakePlatform fake;
  TSPCBlock block;
  const std::string longText = Repeat("Ж", 160);
  ASSERT_TRUE(block.AddSample(longText, longText, true));
  EXPECT_EQ(block.Sample(1)->Note(), Repeat("Ж", 150));
  EXPECT_EQ(block.Sample(1)->Event(), Repeat("Ж", 150));
  block.SetNote(Repeat("й", 100));
  EXPECT_EQ(block.note, Repeat("й", 80));
}

TEST(Block, SampleCapacity) {
  test::FakePlatform fake;
  TSPCBlock block;
  for (int i = 0; i < 999; ++i) ASSERT_TRUE(block.AddSample({}, {}, true));
  ASSERT_TRUE(block.InsertSample(1));
  EXPECT_FALSE(block.AddSample("лишняя", {}, true));
  EXPECT_FALSE(block.InsertSample(1));
  EXPECT_FALSE(block.InsertSample(0));
  EXPECT_EQ(block.SampleCount(), 1000);
  EXPECT_EQ(block.Sample(1)->dateTime, 0);  // the inserted one is still first
  EXPECT_EQ(block.Sample(1000)->Note(), "");
  EXPECT_EQ(block.Sample(1001), nullptr);
}

TEST(Block, InsertAndDeleteSample) {
  // Position 1..count inserts there; anything else appends.
  const struct {
    int position;
    const char* order;
  } kCases[] = {{1, "-abc"}, {3, "ab-c"}, {4, "abc-"}, {0, "abc-"}, {-2, "abc-"}, {99, "abc-"}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.position);
    test::FakePlatform fake;
    TSPCBlock block;
    block.flags = block_flag::kDates | block_flag::kTimes;
    for (const char* note : {"a", "b", "c"}) ASSERT_TRUE(block.AddSample(note, {}, false));
    ASSERT_TRUE(block.InsertSample(c.position));
    std::string order;
    for (const TSPCSample& s : block.Samples()) {
      if (s.Note().empty()) {
        order += '-';
        EXPECT_EQ(s.flags, 0);  // an inserted sample is bare: no date, time or inactive mark
        EXPECT_EQ(s.dateTime, 0);
      } else {
        order += s.Note();
      }
    }
    EXPECT_EQ(order, c.order);
  }
  test::FakePlatform fake;
  TSPCBlock block;
  for (const char* note : {"a", "b", "c"}) ASSERT_TRUE(block.AddSample(note, {}, true));
  block.DeleteSample(0);
  block.DeleteSample(4);
  block.DeleteSample(2);
  ASSERT_EQ(block.SampleCount(), 2);
  EXPECT_EQ(block.Sample(2)->Note(), "c");
}

TEST(Block, MeanIsWeightedByTheValuesOfEachSample) {
  TSPCBlock block;
  // Sample 1: five points, the fifth excluded; the four counted values have mean 10.
  TSPCSample& first = AddValues(block, {8, 9, 11, 12, 100});
  first.Point(5)->SetFlags(point_flag::kExcluded);
  AddValues(block, {18, 19, 20, 21, 22});  // mean 20
  const DataKind kinds[] = {kVar};
  block.ComputeStats(kinds);
  // (4 * 10 + 5 * 20) / 9, where weighting by points would give (5 * 10 + 5 * 20) / 10 = 15.
  const double kMean = 140.0 / 9;
  EXPECT_NEAR(block.stats.params[0].mean, kMean, 1e-12);
  EXPECT_EQ(block.stats.params[0].min, 8);
  EXPECT_EQ(block.stats.params[0].max, 22);
  EXPECT_EQ(block.stats.params[0].range, 14);
  EXPECT_EQ(block.stats.totalPoints, 10);
  EXPECT_EQ(block.stats.countedPoints, 9);

  // A sample without points, and one whose points have no value of the parameter, change neither
  // the mean nor the extremes.
  ASSERT_TRUE(block.InsertSample(1));
  TSPCSample& blank = AddValues(block, {30, 40});
  blank.Point(1)->SetEmpty(1, true);
  blank.Point(2)->SetFlags(point_flag::kFiltered);
  block.Sample(3)->SetActive(false);
  block.ComputeStats(kinds);
  EXPECT_NEAR(block.stats.params[0].mean, kMean, 1e-12);
  EXPECT_EQ(block.stats.params[0].min, 8);
  EXPECT_EQ(block.stats.params[0].max, 22);
  EXPECT_EQ(block.stats.activeSamples, 3);
  EXPECT_EQ(block.stats.totalPoints, 12);
  EXPECT_EQ(block.stats.countedPoints, 10);
  EXPECT_EQ(block.stats.minPoints, 0);
  EXPECT_EQ(block.stats.maxPoints, 5);
}

TEST(Block, StatsOfAlternativeParametersAndBlocks) {
  TSPCBlock block;
  TSPCSample& s = AddValues(block, {3, 4});
  s.Point(1)->SetValue(2, 7);
  s.Point(2)->SetValue(2, 9);
  // Only quantitative parameters get a block mean; the sample statistics are there for both.
  const DataKind kinds[] = {kAttr, kVar};
  block.ComputeStats(kinds);
  EXPECT_EQ(block.stats.params[0].mean, 0);
  EXPECT_EQ(block.stats.params[0].max, 0);
  EXPECT_EQ(block.stats.params[1].mean, 8);
  EXPECT_EQ(s.Stats(1).mean, 3.5);

  // An alternative block measures its samples by the units inspected.
  block.kind = kAttr;
  s.sampleSize = 80;
  AddValues(block, {1}).sampleSize = 50;
  block.ComputeStats(kinds);
  EXPECT_EQ(block.stats.minPoints, 50);
  EXPECT_EQ(block.stats.maxPoints, 80);

  TSPCBlock empty;
  empty.stats.minPoints = 7;
  empty.ComputeStats(kinds);
  EXPECT_EQ(empty.stats.minPoints, 0);
  EXPECT_EQ(empty.stats.maxPoints, 0);
  EXPECT_EQ(empty.stats.totalPoints, 0);
}

TEST(Block, PeriodText) {
  constexpr std::uint16_t kD = sample_flag::kHasDate;
  constexpr std::uint16_t kT = sample_flag::kHasTime;
  TSPCBlock block;
  const struct {
    std::uint16_t flags;
    TDateTime value;
  } kSamples[] = {
      {kD | kT, 45356 + 8.0 / 24},          // 1: 05.03.2024 08:00
      {kD | kT, 45356 + 16.5 / 24},         // 2: 05.03.2024 16:30
      {kD, 45356 + 23.0 / 24},              // 3: 05.03.2024, its time not kept
      {kD | kT, 45357 + 9.25 / 24},         // 4: 06.03.2024 09:15
      {kD, 45358.5},                        // 5: 07.03.2024
      {kT, 45358.5},                        // 6: no date
  };
  for (const auto& s : kSamples) {
    ASSERT_TRUE(block.InsertSample(0));
    block.Sample(block.SampleCount())->flags = s.flags;
    block.Sample(block.SampleCount())->dateTime = s.value;
  }
  const struct {
    int first;
    int last;
    const char* text;
  } kCases[] = {
      {1, 2, "05.03.2024 08:00-16:30"},
      {1, 3, "05.03.2024 08:00"},  // same day, the last without a time: nothing follows
      {3, 3, "05.03.2024"},
      {3, 2, ""},
      {1, 4, "05.03.2024 08:00 - 06.03.2024 09:15"},
      {3, 4, "05.03.2024 - 06.03.2024 09:15"},
      {4, 5, "06.03.2024 09:15 - 07.03.2024"},
      {5, 6, ""},
      {6, 6, ""},
      {0, 2, ""},
      {5, 7, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::to_string(c.first) + ".." + std::to_string(c.last));
    EXPECT_EQ(block.PeriodText(c.first, c.last), c.text);
  }
}

TEST(Block, LogText) {
  const struct {
    DataKind kind;
    bool loaded;
    const char* note;
    const char* text;
  } kCases[] = {
      {kVar, true, "", "Kind=Var, ID=5, Name=\"Вал D1\", #samples=2, Flags=001Bh"},
      {kAttr, true, "смена 2", "Kind=Attr, ID=5, Name=\"Вал D1\", #samples=2, Flags=001Bh, Note=\"смена 2\""},
      {kVar, false, "", "Kind=Var, ID=5, Name=\"Вал D1\", #samples=12/pre, Flags=001Bh"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    TSPCBlock block;
    block.kind = c.kind;
    block.id = 5;
    block.name = "Вал D1";
    block.flags = 0x001B;
    block.SetNote(c.note);
    block.loaded = c.loaded;
    block.declaredSamples = 12;
    ASSERT_TRUE(block.InsertSample(0));
    ASSERT_TRUE(block.InsertSample(0));
    EXPECT_EQ(block.LogText(), c.text);
  }
}

}  // namespace
}  // namespace mv
