#include "spc/gages.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "support/bytes.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

using test::ByteBuilder;
using test::FromHex;
using test::ToHex;

void Fill(TGageSet& list, int count, std::string_view note = {}) {
  for (int i = 1; i <= count; ++i) {
    EXPECT_TRUE(list.AddNew());
    list.Item(i)->name = "СИ " + std::to_string(i);
    list.Item(i)->note = std::string(note);
  }
}

// One gauge record laid out by hand: identifier 7, short name, the given extra properties.
std::string GageRecord(std::string_view name, std::string_view extra = {}, std::uint8_t version = 1) {
  return ByteBuilder().Raw("[GAG").U8(version).U8(1).I32(7).U8(2).Str(name).Raw(extra).U8(0).Raw("#]").bytes();
}

std::string ListOf(std::string_view records, std::int16_t count) {
  return ByteBuilder().Raw("<LST-GAG").U8(1).I16(count).Raw(records).Raw("LST>").bytes();
}

TEST(Gages, EmptyListIsFifteenBytes) {
  test::FakePlatform fake;
  TGageSet list;
  const std::string text = list.SaveToString();
  EXPECT_EQ(ToHex(text), "3C 4C 53 54 2D 47 41 47 01 00 00 4C 53 54 3E");
  list.SetModified(true);
  EXPECT_TRUE(list.LoadFromString(text)) << list.LastError;
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.LastError, "");
}

TEST(Gages, RecordBytesAndRoundTrip) {
  test::FakePlatform fake;
  TGageSet list;
  ASSERT_TRUE(list.AddNew());
  TGage& g = *list.Item(1);
  g.id = 7;
  g.name = "Микрометр";
  g.fullName = "Микрометр гладкий МК-25";
  g.serialNumber = "12345";
  g.unit = "мм";
  g.decimals = 3;
  g.range.defaultDecimals = 3;
  g.range.Set(3, 0.0, 25.0, std::nullopt);
  const std::string expected =
      ListOf(GageRecord("Микрометр", ByteBuilder()
                                         .U8(3).Str("Микрометр гладкий МК-25")
                                         .U8(5).Str("12345")
                                         .U8(7).Str("мм")
                                         .U8(8).U8(3)
                                         .U8(9).Str("FMT=SL1|DCM=3|L1=0|L2=25|L3=12.5")
                                         .bytes()),
             1);
  const std::string text = list.SaveToString();
  EXPECT_EQ(ToHex(text), ToHex(expected));

  TGageSet copy;
  ASSERT_TRUE(copy.LoadFromString(text)) << copy.LastError;
  const TGage& c = *copy.Item(1);
  EXPECT_EQ(c.id, 7);
  EXPECT_EQ(c.name, g.name);
  EXPECT_EQ(c.fullName, g.fullName);
  EXPECT_EQ(c.serialNumber, "12345");
  EXPECT_EQ(c.deviceId, "");
  EXPECT_EQ(c.unit, "мм");
  EXPECT_EQ(c.decimals, 3);
  // The stored form keeps values and the default decimals; every slot reads back with those.
  EXPECT_EQ(c.range.Get(ValueRange::kLower), 0.0);
  EXPECT_EQ(c.range.Get(ValueRange::kUpper), 25.0);
  EXPECT_EQ(c.range.slots[ValueRange::kUpper].decimals, 3);
  EXPECT_EQ(c.range.BoundsText(), "от 0.000 до 25.000");
}

TEST(Gages, RangeWithoutValuesIsNotWrittenAndReadsBackEmpty) {
  test::FakePlatform fake;
  TGageSet list;
  ASSERT_TRUE(list.AddNew());
  list.Item(1)->id = 7;
  list.Item(1)->name = "";
  EXPECT_EQ(list.SaveToString(), ListOf(GageRecord("", ByteBuilder().U8(8).U8(0).bytes()), 1));
  TGageSet copy;
  ASSERT_TRUE(copy.LoadFromString(list.SaveToString()));
  EXPECT_TRUE(copy.Item(1)->range.IsEmpty());
}

TEST(Gages, DamagedItemsAreReportedWithTheirCode) {
  test::FakePlatform fake;
  const struct {
    const char* what;
    std::string bytes;
    const char* error;
  } kCases[] = {
      {"record version 2", ListOf(GageRecord("a", {}, 2), 1), "Элемент #1, ошибка 02A2h"},
      {"record version 0", ListOf(GageRecord("a", {}, 0), 1), "Элемент #1, ошибка 00A2h"},
      {"unknown property 10", ListOf(GageRecord("a", ByteBuilder().U8(10).U8(0).bytes()), 1),
       "Элемент #1, ошибка 0AA3h"},
      {"unknown property 200", ListOf(GageRecord("a", ByteBuilder().U8(200).bytes()), 1), "Элемент #1, ошибка C8A3h"},
      {"wrong item marker", ListOf(GageRecord("a") + "[IPR", 2), "Элемент #2, ошибка 00A0h"},
      {"wrong end mark", ListOf(ByteBuilder().Raw("[GAG").U8(1).U8(0).Raw("#}").bytes(), 1),
       "Элемент #1, ошибка 00A1h"},
      {"data ends inside an item", ListOf("", 1).substr(0, 11) + "[GAG\x01\x01", "Элемент #1, ошибка 0001h / Ошибка чтения из потока"},
      {"wrong list marker", ByteBuilder().Raw("<LST-IPS").U8(1).I16(0).Raw("LST>").bytes(),
       "Неверный маркер формата списка"},
      {"list version 2", ByteBuilder().Raw("<LST-GAG").U8(2).I16(0).Raw("LST>").bytes(),
       "Неверная версия формата списка (2 вместо 1)"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    TGageSet list;
    EXPECT_FALSE(list.LoadFromString(c.bytes));
    EXPECT_EQ(list.LastError, c.error);
    EXPECT_TRUE(list.IsEmpty());
  }
}

TEST(Gages, MoreItemsThanTheCapacityFailAtTheEndMarker) {
  test::FakePlatform fake;
  std::string records;
  for (int i = 0; i < 101; ++i) records += GageRecord("g" + std::to_string(i));
  TGageSet list;
  EXPECT_FALSE(list.LoadFromString(ListOf(records, 101)));
  EXPECT_EQ(list.LastError, "Неверный маркер конца списка (4741475Bh)");
  EXPECT_TRUE(list.IsEmpty());
}

TEST(Gages, LogTexts) {
  TGageSet list;
  ASSERT_TRUE(list.AddNew());
  TGage& g = *list.Item(1);
  g.id = 123;
  g.name = "Щуп";
  g.deviceId = "A1";
  EXPECT_EQ(g.GetLogDescr(), "name=\"Щуп\", ID=123, conn=Wireless, GID=\"A1\"");
  g.connectionType = 0;
  EXPECT_EQ(g.GetLogDescr(), "name=\"Щуп\", ID=123, conn=None");
  EXPECT_EQ(list.GetLogDescr(), "#gages=1");
}

TEST(Gages, FileTooLargeToReadBackIsNotWritten) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string path = dir.Path(kGageFileName);
  TGageSet small;
  Fill(small, 2);
  ASSERT_TRUE(small.SaveToFile(path, false));
  const std::string before = test::ReadFileBytes(path);

  TGageSet big;
  Fill(big, 100, std::string(700, 'n'));  // about 70 KB of stream
  EXPECT_FALSE(big.SaveToFile(path, false));
  EXPECT_EQ(test::ReadFileBytes(path), before);
  EXPECT_EQ(big.LastError.rfind("Размер файла " + path + " слишком велик - ", 0), 0u);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, big.LastError);
}

TEST(Gages, OversizedFileIsRefusedOnLoad) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string path = dir.Path(kGageFileName);
  test::WriteFileBytes(path, std::string(65521, '\0'));
  TGageSet list;
  EXPECT_FALSE(list.LoadFromFile(path, false));
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, "Размер файла " + path + " слишком велик - 65521");
}

TEST(Gages, DamagedFileIsNotRewrittenWhenNothingChanged) {
  // Start of a run: the gauge file is damaged (or written by a newer version).
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string path = dir.Path(kGageFileName);
  const std::string damaged = ByteBuilder().Raw("<LST-GAG").U8(2).I16(0).Raw("LST>").bytes();
  test::WriteFileBytes(path, damaged);
  TGageSet list;
  EXPECT_FALSE(list.LoadFromFile(path, false));
  // End of the run: only a modified list is saved.
  EXPECT_FALSE(list.IsModified());
  if (list.IsModified()) (void)list.SaveToFile(path, false);
  EXPECT_EQ(test::ReadFileBytes(path), damaged);

  // Once the user edits the list, it counts as changed again.
  ASSERT_TRUE(list.AddNew());
  list.SetModified(true);
  EXPECT_TRUE(list.IsModified());
}

TEST(Gages, FileRoundTrip) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string path = dir.Path(kGageFileName);
  TGageSet list;
  Fill(list, 3, "примечание");
  ASSERT_TRUE(list.SaveToFile(path, false));
  TGageSet copy;
  ASSERT_TRUE(copy.LoadFromFile(path, false)) << copy.LastError;
  ASSERT_EQ(copy.Count(), 3);
  EXPECT_EQ(copy.Item(3)->name, "СИ 3");
  EXPECT_EQ(copy.Item(3)->note, "примечание");
}

}  // namespace
}  // namespace mv

namespace mv {
namespace {

TEST(GageTexts, ConnectionTextAndLogTextFollowTheConnectionType) {
  struct Case {
    std::uint8_t type;
    std::uint8_t start;
    std::string deviceId;
    const char* connection;
    const char* logEnd;
  };
  const Case cases[] = {
      {1, 2, "", "Беспроводное (автоматически)", ", conn=Wireless, GID=\"\""},
      {1, 1, "", "Беспроводное (по нажатию кнопки)", ", conn=Wireless, GID=\"\""},
      {0, 2, "A1", "Без подключения", ", conn=None"},
      {2, 1, "A1", "Проводное (по нажатию кнопки)", ", conn=Wire, GID=\"A1\""},
  };
  for (const Case& c : cases) {
    TGage g;
    g.name = "Щуп";
    g.connectionType = c.type;
    g.transmissionStart = c.start;
    g.deviceId = c.deviceId;
    EXPECT_EQ(ConnectionText(g), c.connection) << int(c.type);
    const std::string log = g.GetLogDescr();
    EXPECT_TRUE(log.ends_with(c.logEnd)) << log;
  }
}

TEST(GageTexts, RangeTextShowsThePresentBoundsAndTheUnitOnlyWithABound) {
  struct Case {
    std::optional<double> min, max;
    std::uint8_t decimals;
    const char* unit;
    bool withUnit;
    const char* text;
  };
  const Case cases[] = {
      {0.0, 25.0, 0, "мм", true, "от 0 до 25 мм"},
      {0.0, 25.0, 0, "мм", false, "от 0 до 25"},
      {std::nullopt, 25.0, 0, "мм", true, "до 25 мм"},
      {-1.5, std::nullopt, 1, "", true, "от -1.5"},
      {std::nullopt, std::nullopt, 0, "мм", true, ""},
  };
  for (const Case& c : cases) {
    TGage g;
    g.unit = c.unit;
    g.range.Set(c.decimals, c.min, c.max, std::nullopt);
    EXPECT_EQ(RangeText(g, c.withUnit), c.text);
  }
}

TEST(GageTexts, FormatCodesOutsideTheTableCountAsPositionOne) {
  EXPECT_EQ(TransmissionFormats().size(), 7u);
  EXPECT_STREQ(TransmissionFormats()[0].text, "<Определяется интерфейсом>");
  EXPECT_STREQ(TransmissionFormats()[6].text, "ID + @ + Data + Enter");
  const std::pair<std::int16_t, int> positions[] = {{0, 0}, {1, 1}, {6, 6}, {9, 1}, {-1, 1}};
  for (const auto& [code, position] : positions) EXPECT_EQ(TransmissionFormatPosition(code), position) << code;
  EXPECT_STREQ(TransmissionFormats()[static_cast<std::size_t>(TransmissionFormatPosition(9))].text, "Data + Enter");
  const std::pair<int, std::int16_t> codes[] = {{0, 0}, {4, 4}, {7, 1}, {-1, 1}};
  for (const auto& [position, code] : codes) EXPECT_EQ(TransmissionFormatCode(position), code) << position;
}

TEST(SetGage, AnUnconnectedGaugeTakesNoStartFormatOrDeviceIdAndSameGageIgnoresThem) {
  TGage g;
  g.deviceId = "OLD";
  GageFields f = GageFieldsOf(g);
  EXPECT_TRUE(SameGage(g, f));
  f.name = "Микрометр";
  f.connectionType = 0;
  f.start = 2;
  f.format = 5;
  f.deviceId = "NEW";
  EXPECT_FALSE(SameGage(g, f));
  SetGage(g, f);
  EXPECT_EQ(g.name, "Микрометр");
  EXPECT_EQ(g.deviceId, "OLD");
  EXPECT_EQ(g.transmissionStart, 1);
  EXPECT_EQ(g.transmissionFormat, 1);
  EXPECT_TRUE(SameGage(g, f));  // the unused fields do not count
  EXPECT_EQ(g.GetLogDescr().find("GID"), std::string::npos);

  f.connectionType = 2;
  EXPECT_FALSE(SameGage(g, f));
  SetGage(g, f);
  EXPECT_EQ(g.deviceId, "NEW");
  EXPECT_EQ(g.transmissionFormat, 5);
  EXPECT_TRUE(SameGage(g, f));
}

TEST(SameGage, EveryFieldCounts) {
  TGage g;
  g.connectionType = 1;
  g.range.Set(2, 0.0, 25.0, std::nullopt);
  const GageFields same = GageFieldsOf(g);
  const std::function<void(GageFields&)> changes[] = {
      [](GageFields& f) { f.name = "x"; },         [](GageFields& f) { f.fullName = "x"; },
      [](GageFields& f) { f.serialNumber = "x"; }, [](GageFields& f) { f.note = "x"; },
      [](GageFields& f) { f.unit = "мм"; },        [](GageFields& f) { f.decimals = 3; },
      [](GageFields& f) { f.connectionType = 2; }, [](GageFields& f) { f.start = 2; },
      [](GageFields& f) { f.format = 0; },         [](GageFields& f) { f.deviceId = "x"; },
      [](GageFields& f) { f.range.Set(2, 0.0, 25.5, std::nullopt); },
      [](GageFields& f) { f.range.Set(3, 0.0, 25.0, std::nullopt); },
      [](GageFields& f) { f.range.emptyText = "-"; },
  };
  int i = 0;
  for (const auto& change : changes) {
    GageFields f = same;
    change(f);
    EXPECT_FALSE(SameGage(g, f)) << i++;
  }
  GageFields tiny = same;
  tiny.range.slots[1].value += 1e-13;
  EXPECT_TRUE(SameGage(g, tiny));
}

}  // namespace
}  // namespace mv
