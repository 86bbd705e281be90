#include "spc/spc_types.h"

#include <gtest/gtest.h>

#include <string>

namespace mv {
namespace {

TEST(SpcTypes, MultipliersByCode) {
  // Codes above 5 come from damaged files and must behave as code 0.
  const struct {
    std::uint8_t code;
    double factor;
    std::uint8_t decimals;
    const char* text;
  } kCases[] = {
      {0, 1, 0, "1"},           {1, 0.1, 1, "0.1"},         {2, 0.01, 2, "0.01"},
      {3, 0.001, 3, "0.001"},   {4, 0.0001, 4, "0.0001"},   {5, 0.00001, 5, "0.00001"},
      {6, 1, 0, "1"},           {255, 1, 0, "1"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(static_cast<int>(c.code));
    EXPECT_EQ(Multiplier(c.code), c.factor);  // exactly the double of the decimal literal
    EXPECT_EQ(MultiplierDecimals(c.code), c.decimals);
    EXPECT_EQ(MultiplierText(c.code), c.text);
  }
}

TEST(SpcTypes, NamesAndCodes) {
  const struct {
    std::string actual;
    const char* expected;
  } kCases[] = {
      {KindStem(DataKind::Var), "количествен"},
      {KindStem(DataKind::Attr), "альтернатив"},
      {KindCode(DataKind::Var), "Var"},
      {KindCode(DataKind::Attr), "Attr"},
      {AttrTypeName(AttrType::Units), "Число несоответствующих единиц"},
      {AttrTypeName(AttrType::Nonconformities), "Число несоответствий"},
      {AttrTypeShortName(AttrType::Units), "ЧНЕ"},
      {AttrTypeShortName(AttrType::Nonconformities), "ЧН"},
      {AttrTypeCode(AttrType::Units), "units"},
      {AttrTypeCode(AttrType::Nonconformities), "nonconf"},
      {SamplingModeText(SamplingMode::Samples), "Выборочные данные"},
      {SamplingModeText(SamplingMode::Individual), "Индивидуальные значения"},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.actual, c.expected);
}

}  // namespace
}  // namespace mv
