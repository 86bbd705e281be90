#include "app/dataset_history_window_logic.h"

#include <gtest/gtest.h>

#include "support/bytes.h"
#include "support/fake_platform.h"
#include "support/sample_dataset.h"

namespace mv {
namespace {

class HistoryWindowLogicTest : public ::testing::Test {
 protected:
  // Five entries: 1 "a.mvl" (its file exists), 2 "b.mvl" open, 3 "c.mvl" (no file), 4 "d.mvl"
  // open, 5 "e" in a database.
  void SetUp() override {
    ASSERT_TRUE(test::WriteSampleDataset(m_dir.Path("a.mvl")));
    std::vector<DatasetHistoryEntry> entries;
    for (const char* name : {"a.mvl", "b.mvl", "c.mvl", "d.mvl", "e"}) {
      DatasetHistoryEntry e;
      e.type = 1;
      e.storage = 1;
      e.id = 100 + static_cast<int>(entries.size());
      e.name = name;
      e.folder = m_dir.path() + "/";
      e.contents = "3 параметра";
      e.opened = test::At(2024, 2, 20, 9, 0);
      e.closed = test::At(2024, 2, 20, 17, 30);
      entries.push_back(e);
    }
    for (const int open : {1, 3}) {
      entries[open].closed = 0;
      entries[open].key = 777 + open;
    }
    entries[4].inDatabase = true;
    entries[4].storage = 2;
    entries[4].folder = "Сервер";
    m_history.Assign(entries);
  }

  test::FakePlatform m_fake;
  test::TempFolder m_dir;
  DatasetHistory m_history;
  const TDateTime m_now = test::At(2024, 3, 1, 12, 0);
};

TEST_F(HistoryWindowLogicTest, AnEmptyHistorySaysSoAndTheWindowDoesNotOpen) {
  DatasetHistory empty;
  EXPECT_FALSE(HistoryWindowMayOpen(empty));
  ASSERT_EQ(m_fake.messages.shown.size(), 1u);
  EXPECT_EQ(m_fake.messages.shown[0].kind, platform::MsgKind::Info);
  EXPECT_EQ(m_fake.messages.shown[0].text, "История использования наборов данных пока пуста");
  EXPECT_EQ(m_fake.messages.shown[0].timeout, 25);
  EXPECT_TRUE(HistoryWindowMayOpen(m_history));
  EXPECT_EQ(m_fake.messages.shown.size(), 1u);
}

TEST_F(HistoryWindowLogicTest, OpenEntriesAreListedOnlyWhenAskedAndTheCaptionCountsThem) {
  DatasetHistoryWindowLogic logic(m_history);
  EXPECT_EQ(logic.RowCount(), 3);
  EXPECT_EQ(logic.Caption(), "Ранее открывавшиеся наборы данных (3 из 5):");
  EXPECT_EQ(logic.EntryOf(1), 2);
  EXPECT_EQ(logic.RowTexts(1, m_now),
            (std::vector<std::string>{"3", "c.mvl", m_dir.path() + "/", "3 параметра",
                                      "20.02.2024 17:30  (9 дней назад)"}));
  logic.SetShowOpen(true);
  EXPECT_TRUE(m_history.showOpen);
  EXPECT_EQ(logic.RowCount(), 5);
  EXPECT_EQ(logic.Caption(), "Ранее открывавшиеся наборы данных (5):");
  EXPECT_EQ(logic.RowTexts(1, m_now)[4], "Открыт сейчас");
  EXPECT_EQ(logic.EntryOf(5), -1);
  EXPECT_EQ(logic.RowTexts(5, m_now), std::vector<std::string>(5));

  // An entry a run left open without closing it (no key now) counts as closed.
  std::vector<DatasetHistoryEntry> entries = m_history.Entries();
  entries[1].key = 0;
  m_history.Assign(entries);
  logic.SetShowOpen(false);
  EXPECT_EQ(logic.Caption(), "Ранее открывавшиеся наборы данных (4 из 5):");
}

TEST_F(HistoryWindowLogicTest, OpeningRefusesOpenDatabaseAndMissingEntries) {
  DatasetHistoryWindowLogic logic(m_history);
  logic.SetShowOpen(true);
  const std::string c = m_dir.Path("c.mvl");
  const struct {
    int row;
    std::optional<int> opened;
    platform::MsgKind kind;
    std::string text;
    int timeout;
  } kCases[] = {
      {0, 0, platform::MsgKind::Info, "", 0},
      {1, std::nullopt, platform::MsgKind::Info, "Выбранный набор данных уже открыт", 30},
      {2, std::nullopt, platform::MsgKind::Warning,
       "Не найден файл выбранного набора данных\r\n\r\n" + c +
           "\r\n\r\nВозможно, он был перемещен, переименован или удален вне Morvalen",
       30},
      {4, std::nullopt, platform::MsgKind::Info,
       "Приложение Morvalen не работает с наборами базы данных, только с файлами", 0},
      {9, std::nullopt, platform::MsgKind::Info, "", 0},
  };
  for (const auto& k : kCases) {
    SCOPED_TRACE(k.row);
    m_fake.messages.shown.clear();
    EXPECT_EQ(logic.Open(k.row), k.opened);
    if (k.text.empty()) {
      EXPECT_TRUE(m_fake.messages.shown.empty());
      continue;
    }
    ASSERT_EQ(m_fake.messages.shown.size(), 1u);
    EXPECT_EQ(m_fake.messages.shown[0].kind, k.kind);
    EXPECT_EQ(m_fake.messages.shown[0].text, k.text);
    EXPECT_EQ(m_fake.messages.shown[0].timeout, k.timeout);
  }
  EXPECT_TRUE(m_history.At(0)->found);
  EXPECT_FALSE(m_history.At(2)->found);
}

TEST_F(HistoryWindowLogicTest, DeletingRefusesAnOpenEntryAndAsksAboutTheOthers) {
  DatasetHistoryWindowLogic logic(m_history);
  logic.SetShowOpen(true);
  EXPECT_FALSE(logic.Delete(1));
  ASSERT_EQ(m_fake.messages.Texts(),
            std::vector<std::string>{"Нельзя удалить из списка набор данных, открытый в настоящий момент"});
  EXPECT_EQ(m_fake.messages.shown[0].timeout, 25);

  const struct {
    int row;
    bool answer;
    const char* why;
    std::vector<std::string> left;
  } kCases[] = {
      {2, false, "файл набора данных на диске сейчас отсутствует", {"a.mvl", "b.mvl", "c.mvl", "d.mvl", "e"}},
      {2, true, "файл набора данных на диске сейчас отсутствует", {"a.mvl", "b.mvl", "d.mvl", "e"}},
      {0, true, "сам набор данных при этом удален не будет, но Вы потеряете возможность его легко найти и открыть",
       {"b.mvl", "d.mvl", "e"}},
  };
  for (const auto& k : kCases) {
    SCOPED_TRACE(k.row);
    m_fake.messages.shown.clear();
    m_fake.messages.answers.push_back(k.answer);
    const std::string name = logic.EntryAt(k.row)->name;
    EXPECT_EQ(logic.Delete(k.row), k.answer);
    ASSERT_EQ(m_fake.messages.shown.size(), 1u);
    EXPECT_EQ(m_fake.messages.shown[0].kind, platform::MsgKind::Question);
    EXPECT_EQ(m_fake.messages.shown[0].text, "Для удаления выбран элемент списка истории\r\n\"" + name + "\"\r\n(" +
                                                 k.why + ")\r\n\r\nУдалить из списка ?");
    std::vector<std::string> names;
    for (const auto& e : m_history.Entries()) names.push_back(e.name);
    EXPECT_EQ(names, k.left);
    EXPECT_EQ(logic.RowCount(), m_history.Count());
  }
}

TEST_F(HistoryWindowLogicTest, TheEntryTextAndTheDetailsDescribeTheEntry) {
  std::vector<DatasetHistoryEntry> entries = m_history.Entries();
  DatasetHistoryEntry& e = entries[0];
  e.texts = {"Пробная партия", "Цех 2", "Вал", "Токарная"};
  e.fileSize = 4096;
  e.fileTime = DosFileTime(test::At(2024, 2, 20, 17, 29, 40));
  DatasetHistoryEntry msa;
  msa.type = 2;
  msa.storage = 3;
  msa.name = "Обследования.msa";
  msa.folder = "/msa/";
  msa.contents = "2 обследования";
  msa.texts = {"Приемка", "Персонал, Приборы", "", ""};
  msa.studies = 2;
  msa.fileSize = 900;
  msa.fileTime = DosFileTime(test::At(2024, 2, 1, 8, 59));
  msa.opened = test::At(2024, 2, 1, 8, 0);
  msa.closed = test::At(2024, 2, 1, 9, 0);
  entries.push_back(msa);
  m_history.Assign(entries);
  DatasetHistoryWindowLogic logic(m_history);
  const std::string folder = m_dir.path() + "/";
  EXPECT_EQ(logic.EntryText(0), folder + "a.mvl\r\n3 параметра\r\nЦех 2, Вал, Токарная. Комментарий: Пробная партия\r\n"
                                         "Время сохранения файла: 20.02.2024 17:29, размер 4096 байт");
  EXPECT_EQ(logic.EntryText(2), "Сервер / e\r\n3 параметра\r\n\r\ne");
  EXPECT_EQ(logic.EntryText(3), "/msa/Обследования.msa\r\n2 обследования\r\nСписки: Персонал, Приборы\r\n"
                                "Время сохранения файла: 01.02.2024 08:59, размер 900 байт");
  EXPECT_EQ(logic.DetailsTitle(0), "Информация о наборе данных a.mvl");
  EXPECT_EQ(logic.DetailsText(0, m_now),
            "Общие сведения\r\n\r\n"
            "Название   : a.mvl\r\n"
            "Путь       : " + folder + "\r\n"
            "Файл       : время сохранения 20.02.2024 17:29, размер 4096 байт\r\n"
            "Идентиф.   : 100\r\n"
            "Состояние  : Закрыт 9 дней назад\r\n"
            "Открытие   : 20.02.2024 09:00\r\n"
            "Закрытие   : 20.02.2024 17:30\r\n"
            "Содержимое набора данных\r\n\r\n"
            "Краткая сводка : 3 параметра\r\n"
            "Производство   : Цех 2\r\n"
            "Изделие        : Вал\r\n"
            "Операция       : Токарная\r\n"
            "Комментарий    : Пробная партия");
  logic.SetShowOpen(true);
  const std::string open = logic.DetailsText(1, m_now);
  EXPECT_NE(open.find("Состояние  : Открыт\r\nОткрытие   : 20.02.2024 09:00\r\nСодержимое"), std::string::npos) << open;
  EXPECT_NE(logic.DetailsText(4, m_now).find("База данных: e\r\n"), std::string::npos);
  EXPECT_TRUE(logic.DetailsText(5, m_now).ends_with("Содержимое набора данных\r\n\r\n"
                                                    "Назначение НД     : Приемка\r\n"
                                                    "К-во обследований : 2"));
}

}  // namespace
}  // namespace mv
