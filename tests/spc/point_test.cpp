#include "spc/point.h"
#include "spc/sample.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(Point, NewPointHasEverySlotEmptyAndCounts) {
  TSPCSample sample;  // a point lives in its sample
  ASSERT_TRUE(sample.AddPoint());
  const TFileSmpPoint p = sample.Point(1);
  EXPECT_TRUE(p.Counts());
  for (int k = 1; k <= static_cast<int>(kMaxParameters); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(p.ValueFlags(k), value_flag::kEmpty);
    EXPECT_FALSE(p.HasValue(k));
  }
}

TEST(Point, SetValueClearsOnlyTheEmptyAndNotEnteredMarks) {
  TSPCSample sample;  // a point lives in its sample
  ASSERT_TRUE(sample.AddPoint());
  TFileSmpPoint p = sample.Point(1);
  p.Set(3, {value_flag::kEmpty | value_flag::kNotEntered | value_flag::kEdited, 0});
  p.SetValue(3, 2.5);
  EXPECT_TRUE(p.HasValue(3));
  EXPECT_EQ(p.Value(3), 2.5);
  EXPECT_EQ(p.ValueFlags(3), value_flag::kEdited);
  p.SetEmpty(3, true);
  EXPECT_FALSE(p.HasValue(3));
  EXPECT_EQ(p.ValueFlags(3), value_flag::kEmpty | value_flag::kEdited);
}

TEST(Point, InvalidPositionsReadEmptyAndAreIgnored) {
  TSPCSample sample;  // a point lives in its sample
  ASSERT_TRUE(sample.AddPoint());
  TFileSmpPoint p = sample.Point(1);
  for (int k = 1; k <= static_cast<int>(kMaxParameters); ++k) p.SetValue(k, k);
  for (const int bad : {0, -1, 21}) {
    SCOPED_TRACE(bad);
    p.SetValue(bad, 99);
    p.Set(bad, {0, 99});
    p.SetValueFlag(bad, value_flag::kEdited, true);
    p.RemoveSlot(bad);
    EXPECT_FALSE(p.HasValue(bad));
    EXPECT_EQ(p.Value(bad), 0);
    EXPECT_EQ(p.Get(bad).flags, value_flag::kEmpty);
  }
  for (int k = 1; k <= static_cast<int>(kMaxParameters); ++k) {
    EXPECT_EQ(p.Get(k).value, k);
    EXPECT_EQ(p.Get(k).flags, 0);
  }
}

TEST(Point, CountsUnlessExcludedOrFiltered) {
  const struct {
    std::uint16_t flags;
    bool counts;
  } kCases[] = {
      {0, true},
      {point_flag::kExcluded, false},
      {point_flag::kFiltered, false},
      {point_flag::kExcluded | point_flag::kFiltered, false},
      {point_flag::kOwnDate | point_flag::kOwnTime | point_flag::kOutOfTolerance, true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.flags);
    TSPCSample sample;  // a point lives in its sample
    ASSERT_TRUE(sample.AddPoint());
    TFileSmpPoint p = sample.Point(1);
    p.SetFlags(c.flags);
    EXPECT_EQ(p.Counts(), c.counts);
  }
}

TEST(Point, RemoveSlotMovesLaterSlotsDown) {
  for (const int removed : {1, 7, 20}) {
    SCOPED_TRACE(removed);
    TSPCSample sample;  // a point lives in its sample
    ASSERT_TRUE(sample.AddPoint());
    TFileSmpPoint p = sample.Point(1);
    // Slot k holds k with flag bits that tell the slots apart.
    for (int k = 1; k <= 20; ++k) p.Set(k, {static_cast<std::uint16_t>(k << 4), static_cast<double>(k)});
    p.RemoveSlot(removed);
    for (int k = 1; k < 20; ++k) {
      const int from = k < removed ? k : k + 1;
      EXPECT_EQ(p.Value(k), from) << k;
      EXPECT_EQ(p.ValueFlags(k), from << 4) << k;
    }
    EXPECT_EQ(p.ValueFlags(20), value_flag::kEmpty);
    EXPECT_EQ(p.Value(20), 0);
  }
}

}  // namespace
}  // namespace mv
