#include "spc/parameter.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace mv {
namespace {

using std::nullopt;

// A relative parameter: y = base (+|-) x * multiplier.
TSPCParameter Relative(std::optional<double> base, std::uint8_t code, bool negate) {
  TSPCParameter p;
  p.decimals = 2;
  p.multiplierCode = code;
  if (base) p.baseValue = *base;
  p.SetFlag(param_flag::kBase, base.has_value());
  p.SetFlag(param_flag::kRelative, true);
  p.SetFlag(param_flag::kNegate, negate);
  return p;
}

TEST(Parameter, RelativeEntryConvertsBothWays) {
  const TSPCParameter absolute;
  const struct {
    const char* what;
    TSPCParameter p;
    double entered;
    double stored;
  } kCases[] = {
      {"absolute", absolute, 5, 5},
      {"base 10, 0.01, sign changed", Relative(10, 2, true), 5, 9.95},
      {"base 10, 0.01", Relative(10, 2, false), 5, 10.05},
      {"base 10, 1, sign changed", Relative(10, 0, true), -2.5, 12.5},
      // Without a base the values count from 0.
      {"no base, 0.001, sign changed", Relative(nullopt, 3, true), 40, -0.04},
      {"base -3.5, 0.1", Relative(-3.5, 1, false), -12, -4.7},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_NEAR(c.p.ToAbsolute(c.entered), c.stored, 1e-12);
    EXPECT_NEAR(c.p.ToRelative(c.stored), c.entered, 1e-12);
  }
}

TEST(Parameter, RelativeText) {
  const struct {
    TSPCParameter p;
    const char* expected;
  } kCases[] = {
      {TSPCParameter{}, "Абсолютное значение"},
      {Relative(10, 2, true), "Относительное значение: y=10.00000-x*0.01"},
      {Relative(-0.5, 0, false), "Относительное значение: y=-0.50000+x"},
      {Relative(nullopt, 5, true), "Относительное значение: y=-x*0.00001"},
      {Relative(nullopt, 1, false), "Относительное значение: y=x*0.1"},
      // A damaged code shows no multiplier, as it counts as 1.
      {Relative(nullopt, 9, false), "Относительное значение: y=x"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(c.p.RelativeText(), c.expected);
  }
}

TEST(Parameter, NewParameterMayNotSkipValues) {
  const TSPCParameter p;
  EXPECT_EQ(p.Flags(), param_flag::kNoSkip);
  EXPECT_FALSE(p.HasTolerance());
  EXPECT_EQ(p.Base(), nullopt);
}

TEST(Parameter, EveryFlagBitSurvivesSetFlags) {
  TSPCParameter p;
  for (std::uint32_t flags = 0; flags <= 0xFFFF; ++flags) {
    p.SetFlags(static_cast<std::uint16_t>(flags));
    ASSERT_EQ(p.Flags(), flags);
  }
}

TEST(Parameter, PresenceFlagsAreTheRangeSlots) {
  TSPCParameter p;
  p.decimals = 2;
  p.SetTolerance(9.9, 10.1, 10);
  p.SetDataLimits(0, nullopt, 10);
  EXPECT_EQ(p.Flags(), param_flag::kNoSkip | param_flag::kLsl | param_flag::kUsl | param_flag::kNominal |
                           param_flag::kMin | param_flag::kDefault);

  // Clearing the bits hides the values; setting them again brings the same values back.
  p.SetFlags(param_flag::kNoSkip);
  EXPECT_TRUE(p.tolerance.IsEmpty());
  EXPECT_TRUE(p.dataLimits.IsEmpty());
  p.SetFlags(param_flag::kLsl | param_flag::kUsl | param_flag::kDefault);
  EXPECT_EQ(p.Lsl(), 9.9);
  EXPECT_EQ(p.Usl(), 10.1);
  EXPECT_EQ(p.Nominal(), nullopt);
  EXPECT_EQ(p.DefaultOr(-1), 10);
  EXPECT_FALSE(p.HasFlag(param_flag::kNoSkip));
  // The middle follows the bounds as SetTolerance would have made it.
  EXPECT_EQ(p.tolerance.Text(), "от 9.90 до 10.10");
  EXPECT_NEAR(p.tolerance.Get(ValueRange::kMiddle).value_or(0), 10.0, 1e-12);
  p.SetFlag(param_flag::kUsl, false);
  EXPECT_EQ(p.tolerance.Get(ValueRange::kMiddle), nullopt);

  // A slot that was never set comes into use with the parameter's decimals.
  p.decimals = 3;
  p.SetFlag(param_flag::kMax, true);
  EXPECT_EQ(p.dataLimits.BoundsText(), "до 0.000");

  // Base and regulation limits are present by their own bits.
  p.baseValue = 4;
  p.lrl = 1;
  p.url = 2;
  EXPECT_EQ(p.Base(), nullopt);
  p.SetFlags(param_flag::kBase | param_flag::kUrl);
  EXPECT_EQ(p.Base(), 4);
  EXPECT_EQ(p.Lrl(), nullopt);
  EXPECT_EQ(p.Url(), 2);
}

TEST(Parameter, DerivedValues) {
  const struct {
    std::uint8_t decimals;
    std::uint8_t code;
    double step;
    std::uint8_t relativeDecimals;
  } kCases[] = {
      {0, 0, 1, 0}, {3, 2, 0.001, 1}, {1, 4, 0.1, 0}, {5, 5, 0.00001, 0}, {5, 0, 0.00001, 5},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << int{c.decimals} << " decimals, code " << int{c.code});
    TSPCParameter p;
    p.decimals = c.decimals;
    p.multiplierCode = c.code;
    EXPECT_EQ(p.Step(), c.step);  // the double of the decimal literal, not a computed power
    EXPECT_EQ(p.RelativeDecimals(), c.relativeDecimals);
  }
}

TEST(Parameter, ToleranceAndLimitQueries) {
  const struct {
    std::optional<double> lsl;
    std::optional<double> usl;
    bool oneSided;
    bool twoSided;
  } kCases[] = {
      {nullopt, nullopt, false, false},
      {nullopt, 10.1, true, false},
      {9.9, nullopt, true, false},
      {9.9, 10.1, true, true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.lsl.has_value() << c.usl.has_value());
    TSPCParameter p;
    p.SetTolerance(c.lsl, c.usl, nullopt);
    EXPECT_EQ(p.HasTolerance(), c.oneSided);
    EXPECT_EQ(p.HasTolerance(true), c.twoSided);
  }

  TSPCParameter p;
  EXPECT_EQ(p.MinPossible(), -1e17);
  EXPECT_EQ(p.MaxPossible(), 1e17);
  EXPECT_EQ(p.DefaultOr(7.5), 7.5);
  p.SetDataLimits(-2, 3, 0);
  EXPECT_EQ(p.MinPossible(), -2);
  EXPECT_EQ(p.MaxPossible(), 3);
  EXPECT_EQ(p.DefaultOr(7.5), 0);
  EXPECT_TRUE(p.IsInDataLimits(3));
  EXPECT_FALSE(p.IsInDataLimits(3.0001));
}

TEST(Parameter, TextsOfValuesAndTolerance) {
  TSPCParameter p;
  p.decimals = 2;
  p.SetTolerance(9.9, 10.1, 10);
  EXPECT_EQ(p.ToleranceText(), "номинал 10.00, от 9.90 до 10.10");
  EXPECT_EQ(p.ToleranceText(Lang::En), "target 10.00, from 9.90 upto 10.10");
  p.SetFlag(param_flag::kTag, true);
  EXPECT_TRUE(p.IsTag());
  EXPECT_EQ(p.ToleranceText(), "<признак>");

  EXPECT_EQ(p.FormatValue(9.949, true), "9.95");  // no unit, no blank
  p.unit = "мм";
  EXPECT_EQ(p.FormatValue(9.949, true), "9.95 мм");
  EXPECT_EQ(p.FormatValue(-0.001, false), "0.00");
}

TEST(Parameter, LogText) {
  TSPCParameter var = Relative(10, 2, true);
  var.id = 7;
  var.name = "Диаметр вала";
  var.position = 2;
  var.scaleId = 3;
  var.classId = 1;
  var.unit = "мм";
  var.note = "ручной замер";
  var.SetTolerance(9.9, 10.1, nullopt);
  var.SetDataLimits(0, nullopt, 10);
  EXPECT_EQ(var.LogText(),
            "ID=7, Kind=Var, Name=\"Диаметр вала\", Pos=2, Dcm=2, Scale=#3, Class=#1, UOM=\"мм\", "
            "LSL=9.90, USL=10.10, Min=0.00, Def=10.00, Base=10.00, MulCode=2, Neg=1, Flags=03DBh, "
            "Note=\"ручной замер\"");

  const TSPCParameter bare;
  EXPECT_EQ(bare.LogText(),
            "ID=0, Kind=Var, Name=\"\", Pos=0, Dcm=0, Scale=#0, Class=#0, UOM=\"\", MulCode=0, Neg=0, "
            "Flags=0040h, Note=\"\"");

  // An alternative parameter shows none of the quantitative details, its quality limit neither.
  TSPCParameter attr;
  attr.id = 12;
  attr.kind = DataKind::Attr;
  attr.name = "Царапины";
  attr.position = 1;
  attr.unit = "шт";
  attr.SetTolerance(nullopt, 0.0027, nullopt);
  attr.SetFlag(param_flag::kNonconformities, true);
  EXPECT_EQ(attr.Type(), AttrType::Nonconformities);
  EXPECT_EQ(attr.LogText(), "ID=12, Kind=Attr, Name=\"Царапины\", Pos=1, Flags=1042h, Note=\"\"");
}

}  // namespace
}  // namespace mv
