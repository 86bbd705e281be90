// Sample filters: the record, the conditions, filtering samples and whole datasets, the texts
// of the log, and the checks of the condition window.

#include "spc/sample_filter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/date_time.h"
#include "spc/derived_data.h"
#include "spc/spc_file.h"
#include "support/bytes.h"
#include "support/fake_platform.h"
#include "support/sample_dataset.h"

namespace mv {
namespace {

constexpr std::uint8_t kText = static_cast<std::uint8_t>(FilterValueType::Text);
constexpr std::uint8_t kNumber = static_cast<std::uint8_t>(FilterValueType::Number);
constexpr std::uint8_t kDate = static_cast<std::uint8_t>(FilterValueType::Date);
constexpr std::uint8_t kTime = static_cast<std::uint8_t>(FilterValueType::Time);

double At(std::string_view b, std::size_t off) {
  double v;
  std::memcpy(&v, b.data() + off, 8);
  return v;
}

// A condition as the condition window would store it (the value checked and parsed there).
SampleFilterCondition Condition(FilterProperty property, std::uint8_t condition, std::string_view text,
                                bool matchCase = false, std::int32_t paramId = 0) {
  static constexpr std::uint8_t kTypes[] = {0, kDate, kTime, kText, kText, kNumber};
  SampleFilterCondition c;
  c.property = static_cast<std::uint8_t>(property);
  c.valueType = kTypes[c.property];
  c.condition = condition;
  c.matchCase = matchCase;
  c.paramId = paramId;
  const ConditionCheck check = CheckFilterCondition(c.valueType, condition, text);
  EXPECT_TRUE(check.Ok()) << check.message;
  c.text = check.text;
  c.valueCount = check.valueCount;
  c.value1 = check.value1;
  c.value2 = check.value2;
  return c;
}

TEST(SampleFilterRecord, NewRecordLaysOutItsFields) {
  const std::string b = EncodeSampleFilter(NewSampleFilter(45352.5));
  ASSERT_EQ(b.size(), 511u);
  EXPECT_EQ(b.substr(0, 4), "SFLT");
  EXPECT_EQ(b[4], 1);
  EXPECT_EQ(At(b, 5), 45352.5);
  EXPECT_EQ(b.find_first_not_of('\0', 13), std::string::npos);
}

TEST(SampleFilterRecord, ConditionFieldsSitAtTheirOffsets) {
  SampleFilter f = NewSampleFilter(45000);
  f.name = "Смена 1";
  f.conditions.push_back(Condition(FilterProperty::Note, filter_cond::kContains, "брак"));
  SampleFilterCondition interval = Condition(FilterProperty::Parameter, filter_cond::kInterval, "1..3", false, 77);
  interval.active = false;
  f.conditions.push_back(interval);
  const std::string b = EncodeSampleFilter(f);
  EXPECT_EQ(b[13], 2);  // conditions
  EXPECT_EQ(b[14], 1);  // active ones, recounted
  const std::size_t c2 = 15 + 83;
  EXPECT_EQ(test::ToHex(b.substr(c2, 10)), "00 05 4D 00 00 00 00 09 07 00");
  EXPECT_EQ(test::ToHex(b.substr(c2 + 10, 5)), "04 31 2E 2E 33");  // "1..3"
  EXPECT_EQ(b[c2 + 61], 2);
  EXPECT_EQ(b[c2 + 62], 9);
  EXPECT_EQ(At(b, c2 + 63), 1.0);
  EXPECT_EQ(b[c2 + 71], 9);
  EXPECT_EQ(At(b, c2 + 72), 3.0);
  EXPECT_EQ(test::ToHex(b.substr(430, 2)), "07 D1");  // length 7, "С" in Windows-1251
  EXPECT_EQ(test::ToHex(b.substr(15 + 10, 5)), "04 E1 F0 E0 EA");  // "брак"
}

TEST(SampleFilterRecord, FiveConditionsOfEveryTypeRoundTripByteForByte) {
  SampleFilter f = NewSampleFilter(45352.25);
  f.active = false;
  f.name = "Пять условий";
  f.conditions = {Condition(FilterProperty::Date, filter_cond::kInterval, "01.03.2024..05.03.2024"),
                  Condition(FilterProperty::Time, filter_cond::kGreaterOrEqual, "08:00"),
                  Condition(FilterProperty::Note, filter_cond::kBegins, "Брак", true),
                  Condition(FilterProperty::Event, filter_cond::kNotEmpty, ""),
                  Condition(FilterProperty::Parameter, filter_cond::kLess, "10,05", false, 123456789)};
  f.conditions[3].active = false;
  const std::string b = EncodeSampleFilter(f);
  const SampleFilter back = DecodeSampleFilter(b);
  EXPECT_EQ(EncodeSampleFilter(back), b);
  ASSERT_EQ(back.conditions.size(), 5u);
  EXPECT_EQ(back.name, "Пять условий");
  EXPECT_FALSE(back.active);
  EXPECT_EQ(back.conditions[4].paramId, 123456789);
  EXPECT_EQ(back.conditions[4].value1.value, 10.05);
  EXPECT_EQ(FilterDescription(back), "act=N, name=\"Пять условий\", #cond=5, #actcond=4");
}

TEST(SampleFilterRecord, DamagedRecordsAreNotTrusted) {
  const std::string good = EncodeSampleFilter([] {
    SampleFilter f = NewSampleFilter(1);
    f.conditions.push_back(Condition(FilterProperty::Note, filter_cond::kEqual, "a"));
    return f;
  }());
  const auto damaged = [&](std::size_t off, std::uint8_t v) {
    std::string b = good;
    b[off] = static_cast<char>(v);
    return DecodeSampleFilter(b);
  };
  const std::size_t c1 = 15;
  EXPECT_EQ(damaged(13, 200).conditions.size(), 5u);  // clamped to 5; the extra slots are zero, so inactive
  EXPECT_FALSE(damaged(13, 200).conditions[1].active);
  EXPECT_EQ(damaged(c1 + 10, 255).conditions[0].text.size(), 50u);
  EXPECT_EQ(CharCount(damaged(430, 255).name), 60u);
  const struct {
    const char* what;
    std::size_t off;
    std::uint8_t v;
  } kInactive[] = {
      {"unknown property", c1 + 1, 6},   {"unknown condition", c1 + 8, 14}, {"condition 0", c1 + 8, 0},
      {"type of another property", c1 + 7, kNumber}, {"unknown stored-value type", c1 + 62, 7},
      {"three stored values", c1 + 61, 3},
  };
  for (const auto& c : kInactive) {
    SCOPED_TRACE(c.what);
    const SampleFilter f = damaged(c.off, c.v);
    ASSERT_EQ(f.conditions.size(), 1u);
    EXPECT_FALSE(f.conditions[0].active);
    EXPECT_FALSE(f.InForce());
  }
  // No marker, or cut short: the default record, which filters nothing.
  for (const std::string& b : {std::string(511, '\0'), good.substr(0, 510)}) {
    const SampleFilter f = DecodeSampleFilter(b);
    EXPECT_TRUE(f.active);
    EXPECT_TRUE(f.conditions.empty());
  }
  // Dates and times far outside the calendar, or not numbers, compare without overflow.
  for (const double far : {1e300, -1e300, std::nan("")}) {
    SampleFilterCondition c = Condition(FilterProperty::Date, filter_cond::kEqual, "01.01.2024");
    c.value1.value = far;
    EXPECT_FALSE(TestCondition(c, 45292.0));
    c.valueType = kTime;
    EXPECT_FALSE(TestCondition(c, 45292.5));
  }
  // Older value types: small whole numbers in the first bytes.
  std::string older = good;
  older[c1 + 62] = 6;
  older.replace(c1 + 63, 8, test::FromHex("FE FF FF FF 00 00 F0 7F"));
  EXPECT_EQ(DecodeSampleFilter(older).conditions[0].value1.value, -2.0);
}

TEST(SampleFilterCondition, TestsValuesByType) {
  const struct {
    const char* what;
    SampleFilterCondition c;
    const char* text;  // tested on this text, or on x when nullptr
    double x;
    bool pass;
  } kCases[] = {
      {"contains, case ignored", Condition(FilterProperty::Note, filter_cond::kContains, "брак"), "Брак партии", 0, true},
      {"contains, case counts", Condition(FilterProperty::Note, filter_cond::kContains, "брак", true), "Брак партии", 0, false},
      {"does not contain", Condition(FilterProperty::Note, filter_cond::kNotContains, "брак"), "Годные", 0, true},
      {"begins with", Condition(FilterProperty::Event, filter_cond::kBegins, "смена"), "Смена 2", 0, true},
      {"does not begin with", Condition(FilterProperty::Event, filter_cond::kNotBegins, "смена"), "Смена 2", 0, false},
      {"text greater", Condition(FilterProperty::Note, filter_cond::kGreater, "А"), "Б", 0, true},
      {"text less or equal", Condition(FilterProperty::Note, filter_cond::kLessOrEqual, "Б"), "б", 0, true},
      // By Windows-1251 codes "Ё" (A8h) comes before "А" (C0h), unlike in Unicode.
      {"Ё before А", Condition(FilterProperty::Note, filter_cond::kLess, "А"), "Ёж", 0, true},
      {"Latin before Cyrillic", Condition(FilterProperty::Note, filter_cond::kLess, "А"), "Z", 0, true},
      {"text empty", Condition(FilterProperty::Note, filter_cond::kEmpty, ""), "", 0, true},
      {"text not empty", Condition(FilterProperty::Note, filter_cond::kNotEmpty, ""), "", 0, false},
      {"interval 1", Condition(FilterProperty::Parameter, filter_cond::kInterval, "1..3"), nullptr, 1, true},
      {"interval 3", Condition(FilterProperty::Parameter, filter_cond::kInterval, "1..3"), nullptr, 3, true},
      {"interval 3.5", Condition(FilterProperty::Parameter, filter_cond::kInterval, "1..3"), nullptr, 3.5, false},
      {"interval 3 + 1e-13", Condition(FilterProperty::Parameter, filter_cond::kInterval, "1..3"), nullptr, 3 + 1e-13, true},
      {"empty number 0", Condition(FilterProperty::Parameter, filter_cond::kEmpty, ""), nullptr, 0, true},
      {"empty number 5", Condition(FilterProperty::Parameter, filter_cond::kEmpty, ""), nullptr, 5, false},
      {"not empty number 5", Condition(FilterProperty::Parameter, filter_cond::kNotEmpty, ""), nullptr, 5, true},
      {"greater is strict", Condition(FilterProperty::Parameter, filter_cond::kGreater, "2"), nullptr, 2 + 1e-13, false},
      {"not equal", Condition(FilterProperty::Parameter, filter_cond::kNotEqual, "2"), nullptr, 2.5, true},
      {"contains on a number fails", [] {
         SampleFilterCondition c = Condition(FilterProperty::Parameter, filter_cond::kEqual, "2");
         c.condition = filter_cond::kContains;
         return c;
       }(), nullptr, 2, false},
      {"date equal, any time", Condition(FilterProperty::Date, filter_cond::kEqual, "05.03.2024"), nullptr, 45356.99, true},
      {"date less", Condition(FilterProperty::Date, filter_cond::kLess, "05.03.2024"), nullptr, 45356.5, false},
      {"time equal", Condition(FilterProperty::Time, filter_cond::kEqual, "10:31"), nullptr, 45356 + (10 * 60 + 31) / 1440.0, true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.text ? TestCondition(c.c, std::string_view(c.text)) : TestCondition(c.c, c.x), c.pass);
  }
}

// One quantitative block of samples with the given notes, each of three points with the values
// of parameter 1 ("Диаметр") given; empty slots where a value is missing.
struct Fixture {
  std::unique_ptr<TDatasetSPC> ds = test::SampleDataset();
  TSPCBlock& block() { return *ds->Block(1); }
  std::int32_t diameterId() const { return ds->Parameter(1)->id; }
  void SetFilter(std::vector<SampleFilterCondition> conditions, bool active = true) {
    SampleFilter f = NewSampleFilter(1);
    f.active = active;
    f.conditions = std::move(conditions);
    WriteFilter(*ds, DataKind::Var, f);
  }
  std::vector<std::uint16_t> Flags(int sample) {
    std::vector<std::uint16_t> flags;
    for (const auto& p : block().Sample(sample)->Points()) flags.push_back(p.Flags() & 0x0005);
    return flags;
  }
};

TEST(FilterSample, SampleConditionsMarkWholeSamplesAndSwitchingOffRestores) {
  test::FakePlatform fake;
  Fixture fx;
  fx.block().Sample(1)->SetNote("Брак партии");
  fx.block().Sample(2)->SetNote("Годные");
  fx.block().Sample(2)->Point(2)->SetFlags(point_flag::kExcluded);
  fx.SetFilter({Condition(FilterProperty::Note, filter_cond::kNotContains, "брак")});
  ApplyFilters(*fx.ds);
  EXPECT_EQ(fx.Flags(1), (std::vector<std::uint16_t>{4, 4, 4, 4, 4}));
  EXPECT_EQ(fx.Flags(2), (std::vector<std::uint16_t>{0, 1, 0, 0, 0}));
  EXPECT_EQ(fx.block().Sample(1)->countedPoints, 0);
  EXPECT_EQ(fx.block().Sample(1)->Stats(1).n, 0);
  EXPECT_EQ(fx.block().stats.countedPoints, 4 + 5);
  const FilterMeeting meeting = CountMeeting(fx.block());
  EXPECT_EQ(meeting.samples, 2);
  EXPECT_EQ(meeting.points, 10);

  fx.SetFilter({Condition(FilterProperty::Note, filter_cond::kNotContains, "брак")}, false);
  FilterSample(*fx.ds, 1, 1);
  EXPECT_EQ(fx.Flags(1), (std::vector<std::uint16_t>{0, 0, 0, 0, 0}));
  EXPECT_EQ(fx.block().Sample(1)->countedPoints, 5);
  EXPECT_EQ(fx.block().stats.countedPoints, 5 + 4 + 5);  // FilterSample renews the block's statistics
  ApplyFilters(*fx.ds);
  EXPECT_EQ(fx.Flags(2), (std::vector<std::uint16_t>{0, 1, 0, 0, 0}));  // excluded stays excluded
}

TEST(FilterSample, DatesAndTimes) {
  test::FakePlatform fake;
  Fixture fx;
  // Samples: 01.03.2024 08:00, 02.03.2024 08:00, 03.03.2024 16:30; the second loses its date.
  fx.block().Sample(2)->flags &= static_cast<std::uint16_t>(~(sample_flag::kHasDate | sample_flag::kHasTime));
  fx.SetFilter({Condition(FilterProperty::Date, filter_cond::kEqual, "01.01.2024")});
  ApplyFilters(*fx.ds);
  EXPECT_EQ(fx.Flags(1)[0], 4);
  EXPECT_EQ(fx.Flags(2)[0], 0);  // without a date it passes
  fx.SetFilter({Condition(FilterProperty::Time, filter_cond::kInterval, "08:00..12:00")});
  ApplyFilters(*fx.ds);
  EXPECT_EQ(fx.Flags(1)[0], 0);
  EXPECT_EQ(fx.Flags(3)[0], 4);
}

TEST(FilterSample, TimesCompareAsWholeSecondsOnRealDateTimes) {
  test::FakePlatform fake;
  Fixture fx;
  // 05.03.2024 10:31 as the clock and the editors make it: the date plus the time of day.
  const TDateTime when = *EncodeDate(2024, 3, 5) + *EncodeTime(10, 31, 0);
  for (auto& s : fx.block().Samples()) s.dateTime = when;
  for (const char* text : {"10:31", "10:31..11:00", "10:00..10:31"}) {
    SCOPED_TRACE(text);
    fx.SetFilter({Condition(FilterProperty::Time, std::strchr(text, '.') ? filter_cond::kInterval : filter_cond::kEqual, text)});
    ApplyFilters(*fx.ds);
    EXPECT_EQ(fx.block().stats.countedPoints, 15);
  }
}

TEST(FilterSample, ParameterConditionsMarkPoints) {
  test::FakePlatform fake;
  Fixture fx;
  // Diameters of every sample: 9.97, 9.99, 10.01, 10.03, 10.05; the third point of sample 1 is empty.
  fx.block().Sample(1)->Point(3)->SetEmpty(1, true);
  fx.SetFilter({Condition(FilterProperty::Parameter, filter_cond::kGreater, "10", false, fx.diameterId())});
  ApplyFilters(*fx.ds);
  EXPECT_EQ(fx.Flags(1), (std::vector<std::uint16_t>{4, 4, 4, 0, 0}));
  EXPECT_EQ(fx.Flags(2), (std::vector<std::uint16_t>{4, 4, 0, 0, 0}));
  EXPECT_EQ(fx.block().Sample(1)->countedPoints, 2);
  EXPECT_NEAR(fx.block().Sample(1)->Stats(1).mean, 10.04, 1e-12);
  // "Пустое" on a missing value fails too.
  fx.SetFilter({Condition(FilterProperty::Parameter, filter_cond::kNotEmpty, "", false, fx.diameterId())});
  ApplyFilters(*fx.ds);
  EXPECT_EQ(fx.Flags(1), (std::vector<std::uint16_t>{0, 0, 4, 0, 0}));
  // All conditions inactive: nothing is filtered.
  auto inactive = Condition(FilterProperty::Parameter, filter_cond::kGreater, "10", false, fx.diameterId());
  inactive.active = false;
  fx.SetFilter({inactive});
  ApplyFilters(*fx.ds);
  EXPECT_EQ(fx.block().stats.countedPoints, 15);
}

TEST(ApplyFilters, ConditionsOnDeletedParametersBecomeInactive) {
  test::FakePlatform fake;
  Fixture fx;
  SampleFilter f = NewSampleFilter(1);
  f.name = "Смена 1";
  f.conditions = {Condition(FilterProperty::Note, filter_cond::kNotContains, "брак"),
                  Condition(FilterProperty::Parameter, filter_cond::kGreater, "50", false, fx.ds->Parameter(3)->id)};
  WriteFilter(*fx.ds, DataKind::Var, f);
  ApplyFilters(*fx.ds);
  EXPECT_EQ(ReadFilter(*fx.ds, DataKind::Var).conditions[1].paramPosition, 3);
  fx.ds->DeleteParameter(3);
  fx.ds->MarkSaved();
  ApplyFilters(*fx.ds);
  const SampleFilter back = ReadFilter(*fx.ds, DataKind::Var);
  EXPECT_FALSE(back.conditions[1].active);
  EXPECT_EQ(FilterDescription(back), "act=Y, name=\"Смена 1\", #cond=2, #actcond=1");
  EXPECT_FALSE(fx.ds->IsChanged());
  EXPECT_EQ(fx.block().stats.countedPoints, 15);
}

TEST(SampleFilterTexts, NameFallsBackToTheFirstActiveConditionsValue) {
  SampleFilter f = NewSampleFilter(1);
  EXPECT_EQ(FilterName(f), "");
  f.conditions = {Condition(FilterProperty::Note, filter_cond::kEqual, "первое"),
                  Condition(FilterProperty::Note, filter_cond::kEqual, "второе")};
  f.conditions[0].active = false;
  EXPECT_EQ(FilterName(f), "второе");
  EXPECT_EQ(FilterDescription(f), "act=Y, name=\"\", #cond=2, #actcond=1");
  f.name = "Своё";
  EXPECT_EQ(FilterName(f), "Своё");
}

TEST(ConditionWindowChecks, MessagesAndStoredValues) {
  const struct {
    std::uint8_t type;
    std::uint8_t condition;
    const char* text;
    const char* message;
    int values;
  } kCases[] = {
      {kNumber, filter_cond::kInterval, "5..3", "Второе значение в интервале должно быть больше первого", 0},
      {kNumber, filter_cond::kInterval, "5..", "Неверно указан интервал значений (x1..x2)", 0},
      {kNumber, filter_cond::kInterval, "5", "Неверно указан интервал значений (x1..x2)", 0},
      {kNumber, filter_cond::kInterval, " 1,5 .. 3 ", "", 2},
      {kNumber, filter_cond::kInterval, "1..x", "Указанное значение (x) не соответствует формату дробного числа", 0},
      {kDate, filter_cond::kEqual, "32.01.2024", "Указанное значение (32.01.2024) не соответствует формату даты (31.12.2021)", 0},
      {kDate, filter_cond::kInterval, "01.01.2024..01.01.2024", "Второе значение в интервале должно быть больше первого", 0},
      {kTime, filter_cond::kLess, "25:00", "Указанное значение (25:00) не соответствует формату времени (23:59)", 0},
      {kTime, filter_cond::kLess, "23:00", "", 1},
      {kNumber, filter_cond::kContains, "5", "Данный тип условия неприменим к выбранному свойству", 0},
      {kText, filter_cond::kInterval, "a..b", "Данный тип условия неприменим к выбранному свойству", 0},
      {kDate, filter_cond::kBegins, "01", "Данный тип условия неприменим к выбранному свойству", 0},
      {kNumber, filter_cond::kEqual, "  ", "Не указано значение для проверки условия", 0},
      {kText, filter_cond::kEqual, "", "Не указано значение для проверки условия", 0},
      {kText, filter_cond::kContains, "1..2", "", 0},
      {kNumber, filter_cond::kEmpty, "5", "", 0},
      {kNumber, 0, "5", "Данный тип условия неприменим к выбранному свойству", 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    const ConditionCheck check = CheckFilterCondition(c.type, c.condition, c.text);
    EXPECT_EQ(check.message, c.message);
    EXPECT_EQ(check.valueCount, c.values);
  }
  const ConditionCheck empty = CheckFilterCondition(kNumber, filter_cond::kEmpty, "5");
  EXPECT_EQ(empty.text, "");  // the value is cleared
  const ConditionCheck interval = CheckFilterCondition(kNumber, filter_cond::kInterval, " 1,5 .. 3 ");
  EXPECT_EQ(interval.value1.value, 1.5);
  EXPECT_EQ(interval.value2.value, 3.0);
  EXPECT_EQ(interval.value1.type, filter_value::kNumber);
  EXPECT_EQ(CheckFilterCondition(kDate, filter_cond::kEqual, "5.3.24").value1.type, filter_value::kDateTime);
}

TEST(SampleFilterFile, FiltersInForceOpenWithTheSameMarksAsApplied) {
  test::FakePlatform fake;
  test::TempFolder folder;
  Fixture fx;
  SampleFilter f = NewSampleFilter(45352.5);
  f.name = "Пять";
  f.conditions = {Condition(FilterProperty::Date, filter_cond::kGreaterOrEqual, "02.03.2024"),
                  Condition(FilterProperty::Time, filter_cond::kLess, "23:00"),
                  Condition(FilterProperty::Note, filter_cond::kNotContains, "брак"),
                  Condition(FilterProperty::Event, filter_cond::kEmpty, ""),
                  Condition(FilterProperty::Parameter, filter_cond::kLess, "10", false, fx.diameterId())};
  f.conditions[4].paramPosition = 1;  // as applying the filter finds it
  WriteFilter(*fx.ds, DataKind::Var, f);
  const std::string written = EncodeSampleFilter(ReadFilter(*fx.ds, DataKind::Var));
  const std::string path = folder.Path("f.mvl");
  std::string error;
  ASSERT_TRUE(WriteSpcFile(*fx.ds, path, error)) << error;
  ApplyFilters(*fx.ds);

  const auto loaded = LoadDatasetFile(path);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(test::ToHex(EncodeSampleFilter(ReadFilter(*loaded, DataKind::Var))), test::ToHex(written));
  const std::string_view area(reinterpret_cast<const char*>(loaded->settings.filters.data()), 1022);
  EXPECT_EQ(area.substr(0, 511), written);  // the record as stored, byte for byte
  for (int s = 1; s <= 3; ++s) {
    for (int p = 1; p <= 5; ++p) {
      EXPECT_EQ(loaded->Block(1)->Sample(s)->Point(p)->Flags(), fx.block().Sample(s)->Point(p)->Flags());
    }
  }
  // 02.03 08:00 and 03.03 16:30 pass the sample conditions; their diameters below 10 pass: 2 each.
  EXPECT_EQ(loaded->Block(1)->stats.countedPoints, 4);
  EXPECT_EQ(fx.block().stats.countedPoints, 4);
}

TEST(SampleFilterFile, NewDatasetsGetTheDefaultRecordsAndFilesWithoutThemReadAsDefault) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  ASSERT_TRUE(ds.settings.hasFilters);
  const std::string_view area(reinterpret_cast<const char*>(ds.settings.filters.data()), 1022);
  EXPECT_EQ(area.substr(0, 4), "SFLT");
  EXPECT_EQ(area.substr(511, 4), "SFLT");
  EXPECT_EQ(At(area, 5), ds.created);
  EXPECT_EQ(area[511 + 4], 1);
  TDatasetSPC none;
  none.settings.hasFilters = false;
  EXPECT_TRUE(ReadFilter(none, DataKind::Attr).active);
  EXPECT_TRUE(ReadFilter(none, DataKind::Attr).conditions.empty());
}

}  // namespace
}  // namespace mv
