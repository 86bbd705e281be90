#include "app/history_lists.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace mv {
namespace {

TEST(HistoryLists, MostRecentFirstOnceIgnoringCaseAtMost25) {
  std::vector<std::string> list = {"Смена 1", "Брак"};
  RememberValue(list, "  БРАК ");
  EXPECT_EQ(list, (std::vector<std::string>{"БРАК", "Смена 1"}));
  RememberValue(list, "   ");
  EXPECT_EQ(list.size(), 2u);
  for (int i = 0; i < 30; ++i) RememberValue(list, "v" + std::to_string(i));
  ASSERT_EQ(list.size(), 25u);
  EXPECT_EQ(list.front(), "v29");
  EXPECT_EQ(list.back(), "v5");
}

TEST(HistoryLists, EveryListHasItsOwnIndexNameAndSlotInTheConfiguration) {
  TEventSoundSet sounds;
  TInputProfileSet profiles;
  ConfigFile config("/nonexistent", sounds, profiles);
  std::set<std::string> names;
  for (std::size_t i = 0; i < kHistoryListCount; ++i) {
    const auto list = static_cast<HistoryList>(i);
    SCOPED_TRACE(i);
    EXPECT_EQ(static_cast<std::size_t>(HistoryInfo(list).list), i);
    EXPECT_TRUE(names.insert(HistoryInfo(list).name).second);
    EXPECT_EQ(&History(config, list), &config.historyLists[i]);
  }
  RememberValue(History(config, HistoryList::FilterName), "Смена 1");
  EXPECT_EQ(config.historyLists[0], (std::vector<std::string>{"Смена 1"}));
}

}  // namespace
}  // namespace mv
