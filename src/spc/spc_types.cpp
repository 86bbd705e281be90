#include "spc/spc_types.h"

namespace mv {
namespace {

// One row per multiplier code. The factors are written as literals, not computed as powers of
// ten, so each is the nearest double to the decimal the user sees.
struct MultiplierRow {
  double factor;
  std::uint8_t decimals;
  const char* text;
};

constexpr MultiplierRow kMultipliers[kMaxMultiplierCode + 1] = {
    {1, 0, "1"},           {0.1, 1, "0.1"},         {0.01, 2, "0.01"},
    {0.001, 3, "0.001"},   {0.0001, 4, "0.0001"},   {0.00001, 5, "0.00001"},
};

// A code read from a file may be anything; out-of-range codes behave as code 0.
const MultiplierRow& MultiplierOf(std::uint8_t code) {
  return kMultipliers[code <= kMaxMultiplierCode ? code : 0];
}

}  // namespace

const char* KindStem(DataKind kind) {
  return kind == DataKind::Attr ? "альтернатив" : "количествен";
}

const char* KindCode(DataKind kind) { return kind == DataKind::Attr ? "Attr" : "Var"; }

const char* AttrTypeName(AttrType type) {
  return type == AttrType::Nonconformities ? "Число несоответствий" : "Число несоответствующих единиц";
}

const char* AttrTypeShortName(AttrType type) {
  return type == AttrType::Nonconformities ? "ЧН" : "ЧНЕ";
}

const char* AttrTypeCode(AttrType type) {
  return type == AttrType::Nonconformities ? "nonconf" : "units";
}

double Multiplier(std::uint8_t code) { return MultiplierOf(code).factor; }

std::uint8_t MultiplierDecimals(std::uint8_t code) { return MultiplierOf(code).decimals; }

std::string MultiplierText(std::uint8_t code) { return MultiplierOf(code).text; }

const char* SamplingModeText(SamplingMode mode) {
  return mode == SamplingMode::Individual ? "Индивидуальные значения" : "Выборочные данные";
}

}  // namespace mv
