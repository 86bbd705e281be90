#include "spc/input_profiles.h"

#include <gtest/gtest.h>

#include <optional>

#include "spc/gages.h"
#include "spc/parameter.h"
#include "support/bytes.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

using test::ByteBuilder;
using test::FromHex;
using test::ToHex;

constexpr const char* kDefaultListHex =
    "3C 4C 53 54 2D 49 50 53 01 01 00 00 00 00 00 01 00 5B 49 50 52 01 01 15 CD 5B 07 02 01 07 CE E1 FB F7 ED FB E9 "
    "03 01 11 C2 E2 EE E4 20 F1 20 EA EB E0 E2 E8 E0 F2 F3 F0 FB 04 01 05 00 00 00 00 06 00 00 07 00 00 23 5D 4C 53 "
    "54 3E";

TEST(InputProfiles, DefaultListBytes) {
  test::FakePlatform fake;
  fake.ids.next = 123456789;
  TInputProfileSet list;
  ASSERT_TRUE(list.AddDefaultProfile());
  const std::string text = list.SaveToString();
  EXPECT_EQ(text.size(), 76u);
  EXPECT_EQ(ToHex(text), kDefaultListHex);
}

TEST(InputProfiles, PropertiesInAnyOrderLoadTheSame) {
  test::FakePlatform fake;
  const std::string reversed = ByteBuilder()
                                   .Raw("<LST-IPS").U8(1).U8(1).I32(0).U8(0)
                                   .I16(1)
                                   .Raw("[IPR").U8(1)
                                   .U8(7).U8(0)
                                   .U8(6).I16(0)
                                   .U8(5).I32(0)
                                   .U8(4).U8(1)
                                   .U8(3).Str("Ввод с клавиатуры")
                                   .U8(2).Str("Обычный")
                                   .U8(1).I32(123456789)
                                   .U8(0).Raw("#]")
                                   .Raw("LST>")
                                   .bytes();
  for (const std::string& text : {FromHex(kDefaultListHex), reversed}) {
    TInputProfileSet list;
    ASSERT_TRUE(list.LoadFromString(text)) << list.LastError;
    ASSERT_EQ(list.Count(), 1);
    const TInputProfile& p = *list.Item(1);
    EXPECT_EQ(p.id, 123456789);
    EXPECT_EQ(p.name, "Обычный");
    EXPECT_EQ(p.note, "Ввод с клавиатуры");
    EXPECT_EQ(p.source, 1);
    EXPECT_EQ(p.gageId, 0);
    EXPECT_EQ(list.SaveToString(), FromHex(kDefaultListHex));
  }
}

TEST(InputProfiles, HeaderPropertiesAndDamage) {
  test::FakePlatform fake;
  TInputProfileSet list;
  ASSERT_TRUE(list.LoadFromString(ByteBuilder().Raw("<LST-IPS").U8(1).U8(1).I32(99).U8(0).I16(0).Raw("LST>").bytes()));
  EXPECT_EQ(list.currentId, 99);
  EXPECT_FALSE(list.LoadFromString(ByteBuilder().Raw("<LST-IPS").U8(1).U8(9).U8(0).I16(0).Raw("LST>").bytes()));
  EXPECT_EQ(list.LastError, "Неизвестный код свойства списка (9)");
  EXPECT_FALSE(list.LoadFromString(ByteBuilder().Raw("<LST-IPS").U8(1).U8(1).I32(5).bytes()));
  EXPECT_EQ(list.LastError, "Ошибка чтения из потока");
}

TEST(InputProfiles, CurrentProfileIsRememberedByIdentifier) {
  test::FakePlatform fake;
  TInputProfileSet list;
  ASSERT_TRUE(list.AddDefaultProfile());
  ASSERT_TRUE(list.AddNew());
  ASSERT_TRUE(list.AddNew());
  EXPECT_EQ(list.CurrentPosition(), 1);  // identifier 0 is nobody's
  list.SetCurrent(3);
  EXPECT_EQ(list.currentId, list.Item(3)->id);
  list.Delete(1);
  EXPECT_EQ(list.CurrentPosition(), 2);  // the same profile, moved up
  list.SetCurrent(9);
  EXPECT_EQ(list.currentPosition, 1);
  EXPECT_EQ(list.currentId, list.Item(1)->id);
}

TEST(InputProfiles, SourceTextsAndLog) {
  TInputProfileSet list;
  ASSERT_TRUE(list.AddNew());
  TInputProfile& p = *list.Item(1);
  p.id = 5;
  p.name = "СИ";
  p.source = 2;
  EXPECT_EQ(p.GetLogDescr(), "name=\"СИ\", ID=5, src=Gage");
  EXPECT_EQ(InputSourceText(1), "Клавиатура");
  EXPECT_EQ(InputSourceText(2), "Средство измерения");
  EXPECT_EQ(list.GetLogDescr(), "#iprof=1");
}

}  // namespace
}  // namespace mv

namespace mv {
namespace {

// A gauge list with "Микрометр" (0..25 мм) and a profile that enters values with it.
struct GaugeProfile {
  GaugeProfile() {
    EXPECT_TRUE(gages.AddNew());
    TGage& g = *gages.Item(1);
    g.name = "Микрометр";
    g.unit = "мм";
    g.range.Set(0, 0.0, 25.0, std::nullopt);
    profile.source = 2;
    profile.gageId = g.id;
  }
  TGageSet gages;
  TInputProfile profile;
};

TEST(ProfileText, NamesTheGaugeWhileItExistsAndOnlyForGaugeInput) {
  test::FakePlatform fake;
  GaugeProfile f;
  EXPECT_EQ(ProfileGage(f.profile, f.gages), f.gages.Item(1));
  EXPECT_EQ(ProfileText(f.profile, f.gages), "Средство измерения (Микрометр; пределы изм. от 0 до 25 мм)");
  f.profile.source = 1;  // a keyboard profile keeps the identifier but shows no gauge
  EXPECT_EQ(ProfileGage(f.profile, f.gages), nullptr);
  EXPECT_EQ(ProfileText(f.profile, f.gages), "Клавиатура");
  f.profile.source = 2;
  f.gages.Delete(1);
  EXPECT_EQ(ProfileGage(f.profile, f.gages), nullptr);
  EXPECT_EQ(ProfileText(f.profile, f.gages), "Средство измерения");
}

TEST(GageRangeWarning, APresentDataLimitOutsideTheGaugeRangeNamesTheParameter) {
  struct Case {
    std::optional<double> gageMin, gageMax, paramMin, paramMax;
    bool warns;
  };
  const Case cases[] = {
      {0.0, 25.0, -1.0, 10.0, true},
      {0.0, 25.0, 0.0, 25.0, false},  // bounds inclusive
      {0.0, 25.0, 1.0, 26.0, true},
      {std::nullopt, 25.0, -100.0, std::nullopt, false},  // a missing gauge bound does not limit
      {0.0, 25.0, std::nullopt, std::nullopt, false},     // a parameter without limits
      {std::nullopt, std::nullopt, -100.0, 100.0, false},  // a gauge without a bound
  };
  for (const Case& c : cases) {
    TGage g;
    g.range.Set(0, c.gageMin, c.gageMax, std::nullopt);
    TSPCParameter inside;
    inside.name = "Ширина";
    TSPCParameter p;
    p.name = "Диаметр";
    p.dataLimits.Set(0, c.paramMin, c.paramMax, std::nullopt);
    const TSPCParameter* parameters[] = {&inside, &p};
    EXPECT_EQ(GageRangeWarning(g, parameters),
              c.warns ? " Пределы измерений данного СИ не соответствуют пределам возможных значений некоторых "
                        "параметров (Диаметр) "
                      : "");
  }
}

}  // namespace
}  // namespace mv
