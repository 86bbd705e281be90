#include "core/core_list.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/headless.h"
#include "support/bytes.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

std::unique_ptr<TCoreListItem> Named(const char* name) { return std::make_unique<TCoreListItem>(name); }

std::vector<std::string> Names(const TCoreList& list) {
  std::vector<std::string> names;
  for (int i = 1; i <= list.Count(); ++i) names.push_back(list.GetItemName(i));
  return names;
}

TEST(CoreList, InsertPlacesOrAppendsAndRefusesWhenFull) {
  test::FakePlatform fake;
  TCoreList list(3, 1, 1);
  for (const char* n : {"b", "c"}) {
    auto item = Named(n);
    ASSERT_TRUE(list.Insert(item, 0));
    EXPECT_EQ(item, nullptr);  // taken
  }
  auto first = Named("a");
  ASSERT_TRUE(list.Insert(first, 1));
  EXPECT_EQ(Names(list), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_FALSE(list.CanAdd());
  auto extra = Named("d");
  EXPECT_FALSE(list.Insert(extra, 1));
  ASSERT_NE(extra, nullptr);  // given back to the caller
  EXPECT_FALSE(list.AddNew());
  EXPECT_FALSE(list.IsModified());  // Insert and AddNew leave marking to the editors

  TCoreList wide(10, 1, 1);
  for (int position : {0, 1, 2, 99, 5}) {  // 0 and past the end append; 1..count insert there
    auto item = Named(std::to_string(position).c_str());
    ASSERT_TRUE(wide.Insert(item, position));
  }
  EXPECT_EQ(Names(wide), (std::vector<std::string>{"1", "2", "0", "99", "5"}));
  EXPECT_EQ(wide.GetItem(0), nullptr);
  EXPECT_EQ(wide.GetItem(6), nullptr);
  EXPECT_EQ(wide.GetItemName(6), "");
  EXPECT_EQ(wide.Last()->name, "5");
}

TEST(CoreList, CapacityIsAtLeastTwo) {
  TCoreList list(0, 0, 0);
  EXPECT_EQ(list.MaxCount(), 2);
  EXPECT_TRUE(list.AddNew());
  EXPECT_TRUE(list.AddNew());
  EXPECT_FALSE(list.AddNew());
}

TEST(CoreList, LookupByNameIgnoresCaseAndSkipsThePositionGiven) {
  TCoreList list(10, 1, 1);
  for (const char* n : {"Микрометр", "датчик", "ЁЛКА", "датчик"}) {
    auto item = Named(n);
    ASSERT_TRUE(list.Insert(item, 0));
  }
  EXPECT_EQ(list.IndexOfName("ДАТЧИК", 0), 2);
  EXPECT_EQ(list.IndexOfName("ДАТЧИК", 2), 4);
  EXPECT_EQ(list.IndexOfName("ёлка", 0), 3);
  EXPECT_EQ(list.IndexOfName("микрометр", 1), 0);
  EXPECT_EQ(list.IndexOfName("", 0), 0);
  EXPECT_EQ(list.IndexOfName("штангенциркуль", 0), 0);
}

TEST(CoreList, LookupByIdNeverFindsZero) {
  TCoreList list(10, 1, 1);
  auto a = Named("a");
  a->id = 0;
  auto b = Named("b");
  b->id = 555;
  ASSERT_TRUE(list.Insert(a, 0));
  ASSERT_TRUE(list.Insert(b, 0));
  EXPECT_EQ(list.IndexOfID(0), 0);
  EXPECT_EQ(list.IndexOfID(555), 2);
  EXPECT_EQ(list.IndexOfID(556), 0);
}

TEST(CoreList, DeleteShiftsAndMarksChanged) {
  test::FakePlatform fake;
  TCoreList list(10, 1, 1);
  for (const char* n : {"a", "b", "c"}) {
    auto item = Named(n);
    ASSERT_TRUE(list.Insert(item, 0));
  }
  list.Delete(0);
  list.Delete(4);
  EXPECT_FALSE(list.IsModified());  // invalid positions do nothing
  list.Delete(2);
  EXPECT_EQ(Names(list), (std::vector<std::string>{"a", "c"}));
  EXPECT_TRUE(list.IsModified());
}

TEST(CoreList, ChangeTrackingFollowsTheClock) {
  test::FakePlatform fake;
  TCoreList list(10, 1, 1);
  EXPECT_FALSE(list.IsModified());
  list.SetModified(true);
  EXPECT_TRUE(list.IsModified());
  list.MarkSynced();
  EXPECT_FALSE(list.IsModified());
  list.SetModified(true);  // a change right after a save still counts
  EXPECT_TRUE(list.IsModified());
  list.SetModified(false);
  EXPECT_EQ(list.changedAt, 0);
  EXPECT_FALSE(list.IsModified());
}

TEST(CoreList, ChangeRightAfterSaveCountsWithTheRealClock) {
  // No fake clock: the system clock must still order a save and an immediate change.
  TCoreList list(10, 1, 1);
  for (int i = 0; i < 100; ++i) {
    list.MarkSynced();
    list.SetModified(true);
    ASSERT_TRUE(list.IsModified());
  }
}

TEST(CoreList, NewItemsInOneInstantGetDistinctIdentifiers) {
  // The real source: seven items made in one loop.
  TCoreList list(10, 1, 1);
  for (int i = 0; i < 7; ++i) ASSERT_TRUE(list.AddNew());
  std::set<std::int32_t> ids;
  for (int i = 1; i <= 7; ++i) {
    const std::int32_t id = list.GetItem(i)->id;
    EXPECT_GE(id, 110000000);
    EXPECT_LT(id, 999000000);
    ids.insert(id);
  }
  EXPECT_EQ(ids.size(), 7u);

  // A source that repeats itself: the list draws again rather than hold an identifier twice.
  test::FakePlatform fake;
  fake.ids.scripted = {300000001, 300000001, 300000001, 300000002};
  TCoreList other(10, 1, 1);
  ASSERT_TRUE(other.AddNew());
  ASSERT_TRUE(other.AddNew());
  EXPECT_EQ(other.GetItem(1)->id, 300000001);
  EXPECT_EQ(other.GetItem(2)->id, 300000002);
}

TEST(CoreList, LogTexts) {
  test::FakePlatform fake;
  fake.ids.next = 123456789;
  TCoreList list(10, 1, 1);
  ASSERT_TRUE(list.AddNew());
  list.GetItem(1)->name = "Щуп";
  EXPECT_EQ(list.GetLogDescr(), "#items=1");
  EXPECT_EQ(list.GetItem(1)->GetLogDescr(), "name=\"Щуп\", ID=123456789");
  EXPECT_EQ(TCoreObject().GetLogDescr(), "TCoreObject");
}

TEST(CoreList, BaseStreamRoundTripsItems) {
  test::FakePlatform fake;
  TCoreList list(10, 1, 1);
  ASSERT_TRUE(list.AddNew());
  list.GetItem(1)->name = "Первый";
  list.GetItem(1)->id = 42;
  const std::string text = list.SaveToString();
  EXPECT_EQ(text, test::ByteBuilder().Raw("<LST").I16(1).I32(42).Str("Первый").Raw("LST>").bytes());
  TCoreList copy(10, 1, 1);
  ASSERT_TRUE(copy.LoadFromString(text)) << copy.LastError;
  EXPECT_EQ(copy.GetItem(1)->name, "Первый");
  EXPECT_EQ(copy.GetItem(1)->id, 42);
}

TEST(CoreList, DamagedStreamsLeaveTheListEmptyWithTheReason) {
  test::FakePlatform fake;
  const struct {
    const char* what;
    std::string bytes;
    const char* error;
  } kCases[] = {
      {"empty", "", "Неверный маркер начала списка (00000000h) / Ошибка чтения из потока"},
      {"two bytes", "ab", "Неверный маркер начала списка (00000000h) / Ошибка чтения из потока"},
      {"foreign", "<XML>", "Неверный маркер начала списка (4C4D583Ch)"},
      {"no count", "<LST", "Ошибка чтения из потока"},
      {"no end marker", test::ByteBuilder().Raw("<LST").I16(0).Raw("LST").bytes(),
       "Неверный маркер конца списка (00000000h) / Ошибка чтения из потока"},
      {"item cut short", test::ByteBuilder().Raw("<LST").I16(1).I32(5).bytes(),
       "Элемент #1, ошибка 0001h / Ошибка чтения из потока"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    TCoreList list(10, 1, 1);
    ASSERT_TRUE(list.AddNew());
    EXPECT_FALSE(list.LoadFromString(c.bytes));
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.LastError, c.error);
    EXPECT_FALSE(list.IsModified());  // a failed load is not a change to be saved
  }
}

TEST(CoreList, BytesAfterTheEndMarkerAreIgnored) {
  TCoreList list(10, 1, 1);
  EXPECT_TRUE(list.LoadFromString(test::ByteBuilder().Raw("<LST").I16(0).Raw("LST>garbage").bytes()));
  EXPECT_EQ(list.LastError, "");
}

}  // namespace
}  // namespace mv
