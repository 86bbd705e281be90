#include "app/dataset_history.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>

#include "core/byte_order.h"
#include "core/date_time.h"
#include "core/text.h"
#include "spc/dataset_spc.h"
#include "support/bytes.h"
#include "support/fake_platform.h"
#include "support/sample_dataset.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

// An SPC entry with a distinct value in every field.
DatasetHistoryEntry FullEntry() {
  DatasetHistoryEntry e;
  e.flags = 0x0003;
  e.id = 123456789;
  e.type = 1;
  e.storage = 1;
  e.name = "Вал.mvl";
  e.folder = "/данные/цех 2/";
  e.contents = "3 параметра, 2 (колич.), 1 (альт.)";
  e.opened = test::At(2024, 3, 1, 8, 30);
  e.closed = test::At(2024, 3, 1, 17, 45);
  e.fileTime = DosFileTime(test::At(2024, 2, 29, 23, 59, 58));
  e.fileSize = 40960;
  e.saveCounter = 17;
  e.texts = {"Комментарий", "Цех 2", "Вал", "Токарная"};
  e.counts = {3, 2, 30, 150};
  e.runNumber = 42;
  e.buildNumber = 133;
  return e;
}

std::string Text(std::string_view record, std::size_t off) {
  return std::string(record.substr(off + 1, static_cast<unsigned char>(record[off])));
}

TEST(DatasetHistoryCodec, FieldsLieWhereTheRecordSaysAndRoundTrip) {
  const DatasetHistoryEntry e = FullEntry();
  const std::string r = DatasetHistory::EncodeEntry(e);
  ASSERT_EQ(r.size(), 1012u);
  EXPECT_EQ(GetU8(r, 0), 1);
  EXPECT_EQ(GetU16(r, 1), 0x0003);
  EXPECT_EQ(GetI32(r, 4), 123456789);
  EXPECT_EQ(GetU8(r, 8), 1);
  EXPECT_EQ(GetU8(r, 9), 1);
  EXPECT_EQ(GetU8(r, 10), 0);
  EXPECT_EQ(Text(r, 15), "\xC2\xE0\xEB.mvl");  // Windows-1251
  EXPECT_EQ(GetU8(r, 116), 14);
  EXPECT_EQ(GetU8(r, 367), CharCount(e.contents));
  EXPECT_DOUBLE_EQ(GetF64(r, 518), e.opened);
  EXPECT_DOUBLE_EQ(GetF64(r, 526), e.closed);
  EXPECT_EQ(GetU32(r, 534), e.fileTime);
  EXPECT_EQ(GetI32(r, 538), 40960);
  EXPECT_EQ(GetI32(r, 542), 17);
  const std::size_t textOffsets[] = {546, 607, 668, 729};
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(GetU8(r, textOffsets[i]), CharCount(e.texts[i])) << i;
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(GetI32(r, 546 + 244 + 4 * i), e.counts[i]) << i;
  EXPECT_EQ(GetI16(r, 992), 42);
  EXPECT_EQ(GetI16(r, 998), 133);
  // Every byte not named is zero.
  for (std::size_t off : {std::size_t{3}, std::size_t{11}, std::size_t{14}, std::size_t{878}, std::size_t{991},
                          std::size_t{994}, std::size_t{997}, std::size_t{1000}, std::size_t{1011}}) {
    EXPECT_EQ(r[off], '\0') << off;
  }
  const std::optional<DatasetHistoryEntry> back = DatasetHistory::DecodeEntry(r);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, e);

  DatasetHistoryEntry msa;
  msa.type = 2;
  msa.storage = 3;
  msa.name = "Обследования.msa";
  msa.texts = {"Приемка", "Персонал, Приборы", "", ""};
  msa.studies = 7;
  const std::string m = DatasetHistory::EncodeEntry(msa);
  EXPECT_EQ(GetU16(m, 546 + 122), 7);
  EXPECT_EQ(GetU8(m, 546 + 61), CharCount(msa.texts[1]));
  EXPECT_EQ(DatasetHistory::DecodeEntry(m), msa);
}

TEST(DatasetHistoryCodec, RecordsOutOfBoundsAreDroppedWithALogLine) {
  test::FakePlatform fake;
  const std::string good = DatasetHistory::EncodeEntry(FullEntry());
  const auto with = [&](std::size_t off, std::string_view bytes) {
    std::string r = good;
    r.replace(off, bytes.size(), bytes);
    return r;
  };
  const auto f64 = [](double v) {
    std::string b(8, '\0');
    PutF64(b, 0, v);
    return b;
  };
  const auto i32 = [](std::int32_t v) {
    std::string b(4, '\0');
    PutI32(b, 0, v);
    return b;
  };
  const struct {
    const char* what;
    std::string record;
    const char* problem;
  } kCases[] = {
      {"short", good.substr(0, 1011), "size 1011"},
      {"long", good + '\0', "size 1013"},
      {"not used", with(0, std::string_view("\0", 1)), "not used (0)"},
      {"used 2", with(0, "\x02"), "not used (2)"},
      {"type 3", with(8, "\x03"), "data type 3"},
      {"storage 5", with(9, "\x05"), "storage 5"},
      {"database 2", with(10, "\x02"), "database mark 2"},
      {"name 101", with(15, "\x65"), "name length 101"},
      {"folder 251", with(116, "\xFB"), "folder length 251"},
      {"contents 151", with(367, "\x97"), "contents length 151"},
      {"operation 61", with(546 + 183, "\x3D"), "summary text length 61"},
      {"opened NaN", with(518, f64(std::nan(""))), "time out of range"},
      {"closed infinite", with(526, f64(std::numeric_limits<double>::infinity())), "time out of range"},
      {"closed after 9999", with(526, f64(3e6)), "time out of range"},
      {"size negative", with(538, i32(-1)), "file size -1"},
      {"save counter negative", with(542, i32(-5)), "save counter -5"},
      {"21 parameters", with(546 + 244, i32(21)), "count 21"},
      {"negative points", with(546 + 256, i32(-1)), "count -1"},
  };
  std::vector<std::string> records;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    std::string problem;
    EXPECT_FALSE(DatasetHistory::DecodeEntry(c.record, &problem));
    EXPECT_EQ(problem, c.problem);
    records.push_back(c.record);
  }
  // The lengths at their limits and an MSA entry's texts beyond 60 in the SPC places are fine.
  EXPECT_TRUE(DatasetHistory::DecodeEntry(with(15, "\x64")));
  EXPECT_TRUE(DatasetHistory::DecodeEntry(with(546 + 244, i32(20))));
  DatasetHistoryEntry msa;
  msa.type = 2;
  std::string m = DatasetHistory::EncodeEntry(msa);
  m[546 + 183] = '\xFF';
  EXPECT_TRUE(DatasetHistory::DecodeEntry(m));

  records.insert(records.begin() + 3, good);
  DatasetHistory history;
  history.Load(records);
  ASSERT_EQ(history.Count(), 1);
  EXPECT_EQ(*history.At(0), FullEntry());
  ASSERT_EQ(fake.log.lines.size(), std::size(kCases));
  EXPECT_EQ(fake.log.lines[0], "Dataset history: record 1 skipped - size 1011");
  EXPECT_EQ(fake.log.lines[3], "Dataset history: record 5 skipped - not used (2)");

  // At most 35 are taken.
  history.Load(std::vector<std::string>(40, good));
  EXPECT_EQ(history.Count(), 35);
  EXPECT_EQ(history.Records().size(), 35u);
}

TEST(DatasetHistoryCodec, WindowAreaRoundTripsAndRefusesNegativeSizes) {
  HistoryWindowArea area;
  area.left = -20;
  area.top = 40;
  area.width = 900;
  area.height = 500;
  area.columns = {50, 160, 220, 200, 180};
  const std::string bytes = EncodeHistoryWindowArea(area);
  ASSERT_EQ(bytes.size(), 20u);
  EXPECT_EQ(DecodeHistoryWindowArea(bytes), area);
  EXPECT_FALSE(DecodeHistoryWindowArea("").Placed());
  std::string bad = bytes;
  PutI16(bad, 4, -900);
  PutI16(bad, 10, -1);
  const HistoryWindowArea read = DecodeHistoryWindowArea(bad);
  EXPECT_FALSE(read.Placed());
  EXPECT_EQ(read.columns[1], 0);
  EXPECT_EQ(read.left, -20);  // a window may start left of the screen
}

TEST(AgoText, CountsWholeUnitsBackFromNow) {
  const TDateTime now = test::At(2024, 3, 1, 12, 0);
  const double second = 1.0 / 86400.0;
  const struct {
    double ago;  // days
    const char* text;
  } kCases[] = {
      {-10.0, "0 секунд назад"},  // in the future
      {0, "0 секунд назад"},
      {1 * second, "1 секунда назад"},
      {5 * second, "5 секунд назад"},
      {59 * second, "59 секунд назад"},
      {61 * second, "1 минута назад"},
      {22 * 60 * second, "22 минуты назад"},
      {3.0 / 24, "3 часа назад"},
      {21.0 / 24, "21 час назад"},
      {1, "1 день назад"},
      {45, "45 дней назад"},
      {60, "60 дней назад"},
      {61, "2 месяца назад"},
      {749, "24 месяца назад"},
      {750, "2 года назад"},
      {3650, "10 лет назад"},
  };
  for (const auto& c : kCases) EXPECT_EQ(AgoText(now - c.ago, now), c.text) << c.ago;
  EXPECT_EQ(AgoText(std::nan(""), now), "0 секунд назад");
}

TEST(DosFileTime, PacksLocalTimeWithHalvedSecondsWithinItsYears) {
  const struct {
    TDateTime local;
    std::uint32_t packed;
    const char* text;
  } kCases[] = {
      {test::At(1980, 1, 1), (1u << 21) | (1u << 16), "01.01.1980 00:00"},
      {test::At(2024, 2, 29, 23, 59, 59), (44u << 25) | (2u << 21) | (29u << 16) | (23u << 11) | (59u << 5) | 29u,
       "29.02.2024 23:59"},
      {test::At(1979, 12, 31, 23, 59, 59), 0, ""},
      {test::At(2200, 1, 1), (127u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u,
       "31.12.2107 23:59"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(DosFileTime(c.local), c.packed) << c.text;
    EXPECT_EQ(DosFileTimeText(c.packed), c.text);
  }
  EXPECT_EQ(FromDosFileTime(DosFileTime(test::At(2024, 3, 5, 14, 7, 9))), test::At(2024, 3, 5, 14, 7, 8));
  EXPECT_FALSE(FromDosFileTime((44u << 25) | (13u << 21) | (1u << 16)));  // month 13
  EXPECT_FALSE(FromDosFileTime((44u << 25) | (2u << 21) | (30u << 16)));  // 30 February
  EXPECT_FALSE(FromDosFileTime((44u << 25) | (1u << 21) | (1u << 16) | (24u << 11)));
}

class DatasetHistoryTest : public ::testing::Test {
 protected:
  // A dataset as read from `path`, with its identifier.
  std::unique_ptr<TDatasetSPC> Dataset(const std::string& path, std::int32_t id) {
    auto ds = test::SampleDataset();
    ds->fileName = path;
    ds->id = id;
    ds->fileSize = 1000 + static_cast<std::uint64_t>(id % 100);
    ds->fileTime = test::At(2024, 2, 1, 10, 0);
    ds->loadedAt = m_fake.clock.Now();
    return ds;
  }
  // Opens and closes one dataset per path (identifiers 1, 2, ...).
  void OpenAndClose(int first, int last) {
    for (int i = first; i <= last; ++i) {
      auto ds = Dataset("/data/f" + std::to_string(i) + ".mvl", i);
      m_history.AddOnOpen(*ds, m_fake.clock.Now(), 7, 133);
      m_history.MarkClosed(*ds, m_fake.clock.Now());
    }
  }
  std::vector<std::int32_t> Ids() const {
    std::vector<std::int32_t> ids;
    for (const auto& e : m_history.Entries()) ids.push_back(e.id);
    return ids;
  }

  test::FakePlatform m_fake;
  DatasetHistory m_history;
};

TEST_F(DatasetHistoryTest, OpeningFillsTheTopEntryAndGivesTheDatasetItsKey) {
  auto ds = Dataset("/data/цех/Вал.mvl", 5);
  ds->comment = std::string(70, 'k');
  ds->department = "Цех 2";
  ds->passwordHash = 99;
  ds->accessFlags = 0x00000002;
  const TDateTime loaded = ds->loadedAt;
  m_history.AddOnOpen(*ds, loaded + 1, 9, 133);
  ASSERT_EQ(m_history.Count(), 1);
  const DatasetHistoryEntry& e = *m_history.At(0);
  EXPECT_EQ(e.name, "Вал.mvl");
  EXPECT_EQ(e.folder, "/data/цех/");
  EXPECT_EQ(e.Location(), "/data/цех/Вал.mvl");
  EXPECT_EQ(e.flags, 0x0003);
  EXPECT_EQ(e.id, 5);
  EXPECT_EQ(e.type, 1);
  EXPECT_EQ(e.storage, 1);
  EXPECT_EQ(e.contents, ds->ContentsText());
  EXPECT_EQ(e.texts[0], std::string(60, 'k'));
  EXPECT_EQ(e.texts[1], "Цех 2");
  EXPECT_EQ(e.counts, (std::array<std::int32_t, 4>{3, 2, 3, 15}));
  EXPECT_EQ(e.fileSize, 1005);
  EXPECT_EQ(e.fileTime, DosFileTime(test::At(2024, 2, 1, 10, 0)));
  EXPECT_EQ(e.opened, loaded);  // the loading time, not now
  EXPECT_EQ(e.runNumber, 9);
  EXPECT_EQ(e.buildNumber, 133);
  EXPECT_NE(e.key, 0);
  EXPECT_EQ(ds->historyKey, e.key);
  EXPECT_TRUE(e.IsOpen());
  // What is kept in memory is what the record gives back.
  EXPECT_EQ(DatasetHistory::DecodeEntry(DatasetHistory::EncodeEntry(e))->name, e.name);

  // A dataset never loaded opens now.
  auto fresh = Dataset("/data/b.mvl", 6);
  fresh->loadedAt = 0;
  m_history.AddOnOpen(*fresh, loaded + 2, 9, 133);
  EXPECT_EQ(m_history.At(0)->opened, loaded + 2);

  m_history.MarkClosed(*ds, loaded + 3);
  EXPECT_EQ(ds->historyKey, 0);
  EXPECT_EQ(m_history.At(1)->closed, loaded + 3);
  EXPECT_EQ(m_history.At(1)->key, 0);
  EXPECT_FALSE(m_history.At(1)->IsOpen());
}

TEST_F(DatasetHistoryTest, ThirtySixthDatasetDropsTheOldestAndReopeningMovesToTheTop) {
  OpenAndClose(1, 36);
  ASSERT_EQ(m_history.Count(), 35);
  EXPECT_EQ(m_history.At(0)->id, 36);
  EXPECT_EQ(m_history.At(34)->id, 2);  // the first one opened is gone

  auto fifth = Dataset("/data/f32.mvl", 32);
  ASSERT_EQ(m_history.At(4)->id, 32);
  m_history.AddOnOpen(*fifth, m_fake.clock.Now(), 7, 133);
  EXPECT_EQ(m_history.Count(), 35);
  std::vector<std::int32_t> expected = {32, 36, 35, 34, 33};
  for (int id = 31; id >= 2; --id) expected.push_back(id);
  EXPECT_EQ(Ids(), expected);
  EXPECT_TRUE(m_history.At(0)->IsOpen());
  EXPECT_GT(m_history.At(0)->opened, m_history.At(0)->closed);
}

TEST_F(DatasetHistoryTest, AfterARestartAMovedFileIsFoundByItsIdentifier) {
  OpenAndClose(1, 3);
  DatasetHistory restarted;
  restarted.Load(m_history.Records());
  for (const auto& e : restarted.Entries()) EXPECT_EQ(e.key, 0);

  const struct {
    const char* what;
    std::string path;
    std::int32_t id;
    std::vector<std::int32_t> order;
  } kCases[] = {
      {"moved to another folder", "/elsewhere/f2.mvl", 2, {2, 3, 1}},
      {"renamed and moved", "/elsewhere/renamed.mvl", 1, {1, 2, 3}},
      // An identifier the history does not know: found by its name and folder.
      {"same name and folder", "/data/f3.mvl", 999, {999, 1, 2}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    auto ds = Dataset(c.path, c.id);
    restarted.AddOnOpen(*ds, m_fake.clock.Now(), 8, 133);
    restarted.MarkClosed(*ds, m_fake.clock.Now());
    EXPECT_EQ(restarted.Count(), 3);
    EXPECT_EQ(restarted.At(0)->Location(), c.path);
    EXPECT_EQ(restarted.At(0)->id, c.id);
    std::vector<std::int32_t> ids;
    for (const auto& e : restarted.Entries()) ids.push_back(e.id);
    EXPECT_EQ(ids, c.order);
  }
}

TEST_F(DatasetHistoryTest, TheKeyFindsFirstAndAnEntryHeldByAnotherOpenDatasetStaysWithIt) {
  auto original = Dataset("/data/a.mvl", 10);
  m_history.AddOnOpen(*original, m_fake.clock.Now(), 7, 133);
  // A copy of the file carries the same identifier: it gets an entry of its own.
  auto copy = Dataset("/data/a copy.mvl", 10);
  m_history.AddOnOpen(*copy, m_fake.clock.Now(), 7, 133);
  ASSERT_EQ(m_history.Count(), 2);
  EXPECT_NE(original->historyKey, copy->historyKey);
  EXPECT_EQ(m_history.Find(*original), 1);
  EXPECT_EQ(m_history.Find(*copy), 0);

  // Saved under another name, the original keeps its entry by the key.
  original->fileName = "/data/b.mvl";
  m_history.UpdateOnSave(*original, m_fake.clock.Now(), 7, 133);
  EXPECT_EQ(m_history.Count(), 2);
  EXPECT_EQ(m_history.At(1)->name, "b.mvl");
  m_history.MarkClosed(*original, m_fake.clock.Now());
  EXPECT_FALSE(m_history.At(1)->IsOpen());
  EXPECT_TRUE(m_history.At(0)->IsOpen());  // the copy is still open
}

TEST_F(DatasetHistoryTest, SavingRefillsTheEntryAndKeepsItsTimesRunAndKey) {
  auto ds = Dataset("/data/a.mvl", 10);
  m_history.AddOnOpen(*ds, m_fake.clock.Now(), 7, 133);
  OpenAndClose(1, 2);
  const DatasetHistoryEntry before = *m_history.At(2);
  ds->comment = "после сохранения";
  ds->saveCounter = 4;
  ds->fileSize = 5555;
  m_history.UpdateOnSave(*ds, m_fake.clock.Now(), 8, 134);
  ASSERT_EQ(m_history.Count(), 3);
  const DatasetHistoryEntry& after = *m_history.At(2);  // saving does not move it
  EXPECT_EQ(after.texts[0], "после сохранения");
  EXPECT_EQ(after.saveCounter, 4);
  EXPECT_EQ(after.fileSize, 5555);
  EXPECT_EQ(after.opened, before.opened);
  EXPECT_EQ(after.closed, before.closed);
  EXPECT_EQ(after.runNumber, 7);
  EXPECT_EQ(after.key, before.key);
  EXPECT_EQ(ds->historyKey, before.key);

  // A new dataset saved for the first time enters the history as if opened.
  auto created = std::make_unique<TDatasetSPC>();
  created->fileName = "/data/new.mvl";
  m_history.UpdateOnSave(*created, m_fake.clock.Now(), 8, 133);
  EXPECT_EQ(m_history.Count(), 4);
  EXPECT_EQ(m_history.At(0)->name, "new.mvl");
  EXPECT_NE(created->historyKey, 0);
  // Saved over a file an earlier (closed) entry names: that entry is its own now, at the top
  // and open.
  auto over = std::make_unique<TDatasetSPC>();
  over->fileName = "/data/f1.mvl";
  m_history.UpdateOnSave(*over, m_fake.clock.Now(), 8, 133);
  EXPECT_EQ(m_history.Count(), 4);
  EXPECT_EQ(m_history.At(0)->name, "f1.mvl");
  EXPECT_TRUE(m_history.At(0)->IsOpen());
  EXPECT_EQ(m_history.At(0)->key, over->historyKey);
}

TEST_F(DatasetHistoryTest, EveryFifthRunCollapsesRepeatsIntoTheEarlierEntryAndChecksFiles) {
  test::TempFolder dir;
  const std::string present = dir.Path("есть.mvl");
  ASSERT_TRUE(test::WriteSampleDataset(present));
  const auto entry = [&](std::int32_t id, std::string name, bool database = false) {
    DatasetHistoryEntry e;
    e.type = 1;
    e.storage = database ? 2 : 1;
    e.inDatabase = database;
    e.id = id;
    e.name = std::move(name);
    e.folder = dir.path() + "/";
    return e;
  };
  const std::vector<DatasetHistoryEntry> list = {
      entry(1, "есть.mvl"), entry(2, "b.mvl"), entry(1, "есть.mvl"), entry(1, "другое.mvl"),
      entry(3, "db", true), entry(3, "db", true), entry(2, "b.mvl"),
  };
  const struct {
    std::int32_t run;
    bool tidied;
    std::vector<std::string> names;
  } kCases[] = {
      {10, true, {"есть.mvl", "b.mvl", "другое.mvl", "db", "db"}},
      {5, true, {"есть.mvl", "b.mvl", "другое.mvl", "db", "db"}},
      {11, false, {"есть.mvl", "b.mvl", "есть.mvl", "другое.mvl", "db", "db", "b.mvl"}},
      {0, false, {"есть.mvl", "b.mvl", "есть.mvl", "другое.mvl", "db", "db", "b.mvl"}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.run);
    m_history.Assign(list);
    EXPECT_EQ(m_history.Tidy(c.run), c.tidied);
    std::vector<std::string> names;
    for (const auto& e : m_history.Entries()) names.push_back(e.name);
    EXPECT_EQ(names, c.names);
    EXPECT_EQ(m_history.At(0)->found, c.tidied);
    EXPECT_FALSE(m_history.At(1)->found);
  }
  m_history.Assign(list);
  ASSERT_TRUE(m_history.CheckFile(0));
  EXPECT_EQ(m_history.At(0)->foundSize, fs::file_size(present));
  EXPECT_NE(m_history.At(0)->foundTime, 0u);
  EXPECT_FALSE(m_history.CheckFile(1));
  EXPECT_FALSE(m_history.CheckFile(4));  // a database entry has no file
  EXPECT_FALSE(m_history.CheckFile(99));
  m_history.RemoveEntry(0);
  m_history.RemoveEntry(99);
  EXPECT_EQ(m_history.Count(), 6);
  EXPECT_EQ(m_history.At(0)->name, "b.mvl");
}

TEST_F(DatasetHistoryTest, APathWindows1251CannotHoldIsStoredWithQuestionMarksAndIsNotFound) {
  test::TempFolder dir;
  const std::string path = dir.Path("数据.mvl");
  ASSERT_TRUE(test::WriteSampleDataset(path));
  auto ds = Dataset(path, 3);
  m_history.AddOnOpen(*ds, m_fake.clock.Now(), 7, 133);
  EXPECT_EQ(m_history.At(0)->name, "??.mvl");
  // The open dataset still finds its entry (by key, then by identifier).
  EXPECT_EQ(m_history.Find(*ds), 0);
  EXPECT_FALSE(m_history.CheckFile(0));
}

}  // namespace
}  // namespace mv
