#include "spc/sample_filter.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>
#include <utility>

#include "core/byte_order.h"
#include "core/cp1251.h"
#include "core/numbers.h"
#include "core/short_text.h"
#include "core/text.h"
#include "platform/log_sink.h"
#include "platform/services.h"
#include "spc/value_parsers.h"

namespace mv {
namespace {

// Record layout.
constexpr std::size_t kMarker = 0;
constexpr std::size_t kActive = 4;
constexpr std::size_t kChangedAt = 5;
constexpr std::size_t kCount = 13;
constexpr std::size_t kActiveCount = 14;
constexpr std::size_t kConditions = 15;
constexpr std::size_t kName = 430;
constexpr std::size_t kReserved = 491;
static_assert(kConditions + SampleFilter::kMaxConditions * SampleFilterCondition::kRecordSize == kName);
static_assert(kName + 1 + SampleFilter::kNameMax == kReserved && kReserved + 20 == SampleFilter::kRecordSize);

// Condition layout.
constexpr std::size_t kcActive = 0;
constexpr std::size_t kcProperty = 1;
constexpr std::size_t kcParamId = 2;
constexpr std::size_t kcParamPosition = 6;
constexpr std::size_t kcValueType = 7;
constexpr std::size_t kcCondition = 8;
constexpr std::size_t kcMatchCase = 9;
constexpr std::size_t kcText = 10;
constexpr std::size_t kcValueCount = 61;
constexpr std::size_t kcValue1 = 62;
constexpr std::size_t kcValue2 = 71;
constexpr std::size_t kcReserved = 80;
static_assert(kcText + 1 + SampleFilterCondition::kTextMax == kcValueCount && kcValue2 + 9 == kcReserved);
static_assert(kcReserved + 3 == SampleFilterCondition::kRecordSize);

constexpr std::string_view kMarkerText = "SFLT";

constexpr FilterConditionKind kKinds[] = {
    {1, "Равно", "=", 7},
    {2, "Не равно", "<>", 7},
    {3, "Больше", ">", 7},
    {4, "Больше или равно", ">=", 7},
    {5, "Меньше", "<", 7},
    {6, "Меньше или равно", "<=", 7},
    {7, "В интервале", "..", 6},
    {8, "Содержит", "&", 1},
    {9, "Не содержит", "!&", 1},
    {10, "Начинается с", "@", 1},
    {11, "Не начинается с", "!@", 1},
    {12, "Пустое", "#", 15},
    {13, "Непустое", "!#", 15},
};

std::size_t KindIndex(DataKind kind) { return kind == DataKind::Var ? 0 : 1; }

// The value type each property has.
std::uint8_t PropertyType(std::uint8_t property) {
  switch (property) {
    case 1: return static_cast<std::uint8_t>(FilterValueType::Date);
    case 2: return static_cast<std::uint8_t>(FilterValueType::Time);
    case 3:
    case 4: return static_cast<std::uint8_t>(FilterValueType::Text);
    case 5: return static_cast<std::uint8_t>(FilterValueType::Number);
    default: return 0;
  }
}

void PutValue(std::string& b, std::size_t off, const FilterStoredValue& v) {
  PutU8(b, off, v.type);
  PutF64(b, off + 1, v.type == filter_value::kEmpty ? 0.0 : v.value);
}

// False for a type byte this program does not know.
bool GetValue(std::string_view b, std::size_t off, FilterStoredValue& v) {
  const std::uint8_t type = GetU8(b, off);
  switch (type) {
    case filter_value::kEmpty: v = {}; return true;
    case filter_value::kNumber:
    case filter_value::kDateTime: v = {type, GetF64(b, off + 1)}; return true;
    // Older writers kept small whole numbers in the first bytes.
    case 2:
    case 4: v = {filter_value::kNumber, static_cast<double>(GetU16(b, off + 1))}; return true;
    case 6: v = {filter_value::kNumber, static_cast<double>(GetI32(b, off + 1))}; return true;
    default: v = {}; return false;
  }
}

std::string TextKey(std::string_view utf8, bool matchCase) {
  return Utf8ToCp1251(matchCase ? std::string(utf8) : UpperCase(utf8));
}

// Days and seconds as whole numbers, so that a date-time's limited resolution cannot make
// "10:31" differ from 10:31.
// Values from a file may be anything: beyond ±1e15 days (or not a number) they saturate, so
// that the conversion stays defined.
constexpr double kWholeLimit = 1e15;
std::int64_t Saturated(double x) {
  if (std::isnan(x)) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(std::clamp(x, -kWholeLimit, kWholeLimit));
}
std::int64_t WholeDays(double x) { return Saturated(std::floor(x)); }
std::int64_t WholeSeconds(double dayFraction) { return Saturated(std::round(dayFraction * 86400.0)); }

// A condition prepared once for many values: its value in the form the values are compared in.
struct Prepared {
  const SampleFilterCondition* c = nullptr;
  std::uint8_t type = 0;
  double a = 0, b = 0;            // numbers
  std::int64_t ia = 0, ib = 0;    // dates (days), times (seconds)
  std::string key;                // texts (Windows-1251)

  explicit Prepared(const SampleFilterCondition& cond) : c(&cond), type(cond.valueType) {
    a = cond.valueCount >= 1 ? cond.value1.value : 0;
    b = cond.valueCount >= 2 ? cond.value2.value : 0;
    if (type == static_cast<std::uint8_t>(FilterValueType::Date)) {
      ia = WholeDays(a);
      ib = WholeDays(b);
    } else if (type == static_cast<std::uint8_t>(FilterValueType::Time)) {
      ia = WholeSeconds(a - std::floor(a));
      ib = WholeSeconds(b - std::floor(b));
    } else if (type == static_cast<std::uint8_t>(FilterValueType::Text)) {
      key = TextKey(cond.text, cond.matchCase);
    }
  }

  template <class T, class Eq>
  bool Ordered(const T& x, const T& va, const T& vb, Eq eq) const {
    switch (c->condition) {
      case filter_cond::kEqual: return eq(x, va);
      case filter_cond::kNotEqual: return !eq(x, va);
      case filter_cond::kGreater: return x > va && !eq(x, va);
      case filter_cond::kGreaterOrEqual: return x > va || eq(x, va);
      case filter_cond::kLess: return x < va && !eq(x, va);
      case filter_cond::kLessOrEqual: return x < va || eq(x, va);
      case filter_cond::kInterval: return (va <= x && x <= vb) || eq(x, va) || eq(x, vb);
      default: return false;
    }
  }

  // A number, or for dates and times the whole days or seconds of the value.
  bool TestNumber(double x) const {
    if (c->condition == filter_cond::kEmpty) return SameValue(x, 0);
    if (c->condition == filter_cond::kNotEmpty) return !SameValue(x, 0);
    return Ordered(x, a, b, [](double u, double v) { return SameValue(u, v); });
  }
  bool TestWhole(std::int64_t x) const {
    if (c->condition == filter_cond::kEmpty) return x == 0;
    if (c->condition == filter_cond::kNotEmpty) return x != 0;
    return Ordered(x, ia, ib, [](std::int64_t u, std::int64_t v) { return u == v; });
  }
  bool TestDate(double dateTime) const { return TestWhole(WholeDays(dateTime)); }
  bool TestTime(double dateTime) const { return TestWhole(WholeSeconds(dateTime - std::floor(dateTime))); }

  bool TestText(std::string_view utf8) const {
    const std::string x = TextKey(utf8, c->matchCase);
    const std::string_view xv = x;
    switch (c->condition) {
      case filter_cond::kContains: return xv.find(key) != std::string_view::npos;
      case filter_cond::kNotContains: return xv.find(key) == std::string_view::npos;
      case filter_cond::kBegins: return xv.starts_with(key);
      case filter_cond::kNotBegins: return !xv.starts_with(key);
      case filter_cond::kEmpty: return xv.empty();
      case filter_cond::kNotEmpty: return !xv.empty();
      case filter_cond::kInterval: return false;
      default: {
        // Byte values as unsigned, whatever the signedness of char.
        const int order = xv.compare(key);
        return Ordered(order, 0, 0, [](int u, int v) { return u == v; });
      }
    }
  }

  bool TestValue(double x) const {
    switch (type) {
      case static_cast<std::uint8_t>(FilterValueType::Date): return TestDate(x);
      case static_cast<std::uint8_t>(FilterValueType::Time): return TestTime(x);
      case static_cast<std::uint8_t>(FilterValueType::Number): return TestNumber(x);
      default: return false;
    }
  }
};

void SetFlag(std::uint16_t& pointFlags) { pointFlags = static_cast<std::uint16_t>(pointFlags | point_flag::kFiltered); }

// The active conditions of a filter in force, split into sample and parameter conditions.
struct PreparedFilter {
  bool inForce = false;
  std::vector<Prepared> sampleConditions;
  std::vector<Prepared> paramConditions;

  explicit PreparedFilter(const SampleFilter& f) : inForce(f.InForce()) {
    if (!inForce) return;
    for (const auto& c : f.conditions) {
      if (!c.active) continue;
      (c.property == static_cast<std::uint8_t>(FilterProperty::Parameter) ? paramConditions : sampleConditions)
          .emplace_back(c);
    }
  }

  // Column by column: the points' flags, and each condition's parameter values.
  void Filter(TSPCSample& sample) const {
    const std::span<std::uint16_t> flags = sample.PointFlagsColumn();
    for (std::uint16_t& f : flags) f = static_cast<std::uint16_t>(f & ~point_flag::kFiltered);
    if (!inForce) return;
    const bool hasDate = (sample.flags & sample_flag::kHasDate) != 0;
    const bool hasTime = (sample.flags & sample_flag::kHasTime) != 0;
    for (const Prepared& c : sampleConditions) {
      bool pass = true;
      switch (c.c->property) {
        case 1: pass = !hasDate || c.TestDate(sample.dateTime); break;
        case 2: pass = !hasTime || c.TestTime(sample.dateTime); break;
        case 3: pass = c.TestText(sample.Note()); break;
        case 4: pass = c.TestText(sample.Event()); break;
        default: pass = true; break;
      }
      if (!pass) {
        for (std::uint16_t& f : flags) SetFlag(f);
        return;
      }
    }
    // A point fails when any condition fails on it: an empty slot, or a slot the sample does not
    // store (which reads as empty), fails too. A point one condition has failed is not tested
    // again (the marks were all cleared above).
    for (const Prepared& c : paramConditions) {
      const int parameter = c.c->paramPosition;
      const std::span<const double> values = std::as_const(sample).Values(parameter);
      const std::span<const std::uint16_t> slotFlags = std::as_const(sample).SlotFlags(parameter);
      if (values.empty()) {
        for (std::uint16_t& f : flags) SetFlag(f);
        return;
      }
      for (std::size_t i = 0; i < flags.size(); ++i) {
        if ((flags[i] & point_flag::kFiltered) != 0) continue;
        if ((slotFlags[i] & value_flag::kEmpty) != 0 || !c.TestNumber(values[i])) SetFlag(flags[i]);
      }
    }
  }
};

// Positions of the parameters of active parameter conditions; conditions whose parameter is
// gone become inactive. True when the record changed.
bool ResolveParameters(const TDatasetSPC& ds, DataKind kind, SampleFilter& f, int& deactivated) {
  bool changed = false;
  for (auto& c : f.conditions) {
    if (!c.active || c.property != static_cast<std::uint8_t>(FilterProperty::Parameter)) continue;
    std::uint8_t position = 0;
    for (int k = 1; k <= ds.ParameterCount(); ++k) {
      const TSPCParameter* p = ds.Parameter(k);
      if (p->id == c.paramId && p->kind == kind) {
        position = static_cast<std::uint8_t>(k);
        break;
      }
    }
    if (position == 0) {
      c.active = false;
      ++deactivated;
    }
    changed = changed || position != c.paramPosition || position == 0;
    c.paramPosition = position;
  }
  return changed;
}

std::string ParseFailure(std::uint8_t valueType, std::string_view text) {
  const char* form = valueType == static_cast<std::uint8_t>(FilterValueType::Date)   ? "даты (31.12.2021)"
                     : valueType == static_cast<std::uint8_t>(FilterValueType::Time) ? "времени (23:59)"
                                                                                     : "дробного числа";
  return "Указанное значение (" + std::string(text) + ") не соответствует формату " + form;
}

std::optional<double> ParseValue(std::uint8_t valueType, std::string_view text) {
  if (valueType == static_cast<std::uint8_t>(FilterValueType::Date)) return ParseDayFirstDate(text);
  if (valueType == static_cast<std::uint8_t>(FilterValueType::Time)) return ParseClockTime(text);
  const TypedNumber n = ParseTypedNumber(text);
  if (n.status != TypedNumberStatus::Ok) return std::nullopt;
  return n.value;
}

std::uint8_t StoredType(std::uint8_t valueType) {
  return valueType == static_cast<std::uint8_t>(FilterValueType::Number) ? filter_value::kNumber : filter_value::kDateTime;
}

// b greater than a in the way the values compare.
bool Greater(std::uint8_t valueType, double a, double b) {
  if (valueType == static_cast<std::uint8_t>(FilterValueType::Date)) return WholeDays(b) > WholeDays(a);
  if (valueType == static_cast<std::uint8_t>(FilterValueType::Time)) return WholeSeconds(b) > WholeSeconds(a);
  return b > a && !SameValue(a, b);
}

}  // namespace

const FilterConditionKind* FilterConditionOf(std::uint8_t code) {
  return code >= 1 && code <= filter_cond::kCount ? &kKinds[code - 1] : nullptr;
}

std::uint8_t FilterConditionBySymbol(std::string_view symbol) {
  for (const auto& k : kKinds) {
    if (symbol == k.symbol) return k.code;
  }
  return 0;
}

std::uint8_t FilterTypeMask(std::uint8_t valueType) {
  switch (valueType) {
    case static_cast<std::uint8_t>(FilterValueType::Text): return filter_applies::kText;
    case static_cast<std::uint8_t>(FilterValueType::Number): return filter_applies::kNumber;
    case static_cast<std::uint8_t>(FilterValueType::Date):
    case static_cast<std::uint8_t>(FilterValueType::Time): return filter_applies::kDateTime;
    default: return 0;
  }
}

int SampleFilter::ActiveCount() const {
  return static_cast<int>(std::count_if(conditions.begin(), conditions.end(), [](const auto& c) { return c.active; }));
}

SampleFilter NewSampleFilter(TDateTime now) {
  SampleFilter f;
  f.changedAt = now;
  return f;
}

std::string EncodeSampleFilter(const SampleFilter& filter) {
  std::string b(SampleFilter::kRecordSize, '\0');
  b.replace(kMarker, 4, kMarkerText);
  const std::size_t count = std::min(filter.conditions.size(), SampleFilter::kMaxConditions);
  PutU8(b, kActive, filter.active ? 1 : 0);
  PutF64(b, kChangedAt, filter.changedAt);
  PutU8(b, kCount, static_cast<std::uint8_t>(count));
  int active = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const SampleFilterCondition& c = filter.conditions[i];
    const std::size_t at = kConditions + i * SampleFilterCondition::kRecordSize;
    active += c.active ? 1 : 0;
    PutU8(b, at + kcActive, c.active ? 1 : 0);
    PutU8(b, at + kcProperty, c.property);
    PutI32(b, at + kcParamId, c.paramId);
    PutU8(b, at + kcParamPosition, c.paramPosition);
    PutU8(b, at + kcValueType, c.valueType);
    PutU8(b, at + kcCondition, c.condition);
    PutU8(b, at + kcMatchCase, c.matchCase ? 1 : 0);
    PutShortText(b, at + kcText, c.text, SampleFilterCondition::kTextMax);
    PutU8(b, at + kcValueCount, std::min<std::uint8_t>(c.valueCount, 2));
    PutValue(b, at + kcValue1, c.value1);
    PutValue(b, at + kcValue2, c.value2);
    for (std::size_t r = 0; r < c.reserved.size(); ++r) PutU8(b, at + kcReserved + r, c.reserved[r]);
  }
  PutU8(b, kActiveCount, static_cast<std::uint8_t>(active));
  PutShortText(b, kName, filter.name, SampleFilter::kNameMax);
  for (std::size_t r = 0; r < filter.reserved.size(); ++r) PutU8(b, kReserved + r, filter.reserved[r]);
  return b;
}

SampleFilter DecodeSampleFilter(std::string_view b) {
  SampleFilter f;
  if (b.size() < SampleFilter::kRecordSize || b.substr(kMarker, 4) != kMarkerText) return f;
  f.active = GetU8(b, kActive) != 0;
  f.changedAt = GetF64(b, kChangedAt);
  const std::size_t count = std::min<std::size_t>(GetU8(b, kCount), SampleFilter::kMaxConditions);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = kConditions + i * SampleFilterCondition::kRecordSize;
    SampleFilterCondition c;
    c.active = GetU8(b, at + kcActive) != 0;
    c.property = GetU8(b, at + kcProperty);
    c.paramId = GetI32(b, at + kcParamId);
    c.paramPosition = GetU8(b, at + kcParamPosition);
    c.valueType = GetU8(b, at + kcValueType);
    c.condition = GetU8(b, at + kcCondition);
    c.matchCase = GetU8(b, at + kcMatchCase) != 0;
    c.text = GetShortText(b, at + kcText, SampleFilterCondition::kTextMax);
    c.valueCount = GetU8(b, at + kcValueCount);
    bool known = GetValue(b, at + kcValue1, c.value1);
    known = GetValue(b, at + kcValue2, c.value2) && known;
    for (std::size_t r = 0; r < c.reserved.size(); ++r) c.reserved[r] = GetU8(b, at + kcReserved + r);
    known = known && PropertyType(c.property) != 0 && PropertyType(c.property) == c.valueType &&
            FilterConditionOf(c.condition) != nullptr && c.valueCount <= 2;
    if (c.paramPosition > kMaxParameters) c.paramPosition = 0;
    if (c.valueCount > 2) c.valueCount = 2;
    if (!known) c.active = false;
    f.conditions.push_back(std::move(c));
  }
  f.name = GetShortText(b, kName, SampleFilter::kNameMax);
  for (std::size_t r = 0; r < f.reserved.size(); ++r) f.reserved[r] = GetU8(b, kReserved + r);
  return f;
}

SampleFilter ReadFilter(const TDatasetSPC& ds, DataKind kind) {
  if (!ds.settings.hasFilters) return SampleFilter{};
  const auto& area = ds.settings.filters;
  const std::string_view bytes(reinterpret_cast<const char*>(area.data()), area.size());
  return DecodeSampleFilter(bytes.substr(KindIndex(kind) * SampleFilter::kRecordSize, SampleFilter::kRecordSize));
}

void WriteFilter(TDatasetSPC& ds, DataKind kind, const SampleFilter& filter) {
  auto& set = ds.settings;
  if (!set.hasFilters) SetDefaultFilters(set, 0);
  const std::string record = EncodeSampleFilter(filter);
  std::copy(record.begin(), record.end(), set.filters.begin() + static_cast<std::ptrdiff_t>(KindIndex(kind) * SampleFilter::kRecordSize));
}

void SetDefaultFilters(DatasetSettingAreas& settings, TDateTime now) {
  const std::string record = EncodeSampleFilter(NewSampleFilter(now));
  settings.filters.fill(0);
  std::copy(record.begin(), record.end(), settings.filters.begin());
  std::copy(record.begin(), record.end(), settings.filters.begin() + static_cast<std::ptrdiff_t>(SampleFilter::kRecordSize));
  settings.hasFilters = true;
}

std::string FilterDescription(const SampleFilter& filter) {
  const int count = static_cast<int>(filter.conditions.size());
  const int active = filter.ActiveCount();
  std::string text = std::string("act=") + (filter.active ? "Y" : "N") + ", name=" + Quoted(filter.name) +
                     ", #cond=" + std::to_string(count);
  if (active != count) text += ", #actcond=" + std::to_string(active);
  return text;
}

std::string FilterName(const SampleFilter& filter) {
  if (!filter.name.empty()) return filter.name;
  for (const auto& c : filter.conditions) {
    if (c.active) return c.text;
  }
  return {};
}

std::string FilterPropertyText(const TDatasetSPC& ds, const SampleFilterCondition& condition) {
  switch (condition.property) {
    case 1: return "Дата";
    case 2: return "Время";
    case 3: return "Примечание";
    case 4: return "Событие";
    case 5:
      for (int k = 1; k <= ds.ParameterCount(); ++k) {
        if (ds.Parameter(k)->id == condition.paramId) return "Параметр - " + ds.Parameter(k)->name;
      }
      return "Параметр - ?";
    default: return "?";
  }
}

bool TestCondition(const SampleFilterCondition& condition, double x) { return Prepared(condition).TestValue(x); }

bool TestCondition(const SampleFilterCondition& condition, std::string_view text) {
  if (condition.valueType != static_cast<std::uint8_t>(FilterValueType::Text)) return false;
  return Prepared(condition).TestText(text);
}

void FilterSampleMarks(TDatasetSPC& ds, int block, int sample) {
  TSPCBlock* b = ds.Block(block);
  TSPCSample* s = b ? b->Sample(sample) : nullptr;
  if (!s) return;
  SampleFilter f = ReadFilter(ds, b->kind);
  int deactivated = 0;
  ResolveParameters(ds, b->kind, f, deactivated);
  PreparedFilter(f).Filter(*s);
}

void FilterSample(TDatasetSPC& ds, int block, int sample) {
  TSPCBlock* b = ds.Block(block);
  TSPCSample* s = b ? b->Sample(sample) : nullptr;
  if (!s) return;
  FilterSampleMarks(ds, block, sample);
  // Only this sample's statistics can have changed; the block's are summed up from its
  // samples' statistics, so an edit in a block of 1000 samples does not recompute the others.
  s->ComputeStats(ds.ParameterCount());
  ds.SumUpBlockStats(block);
}

void ApplyFilters(TDatasetSPC& ds) {
  ApplyFilterMarks(ds);
  ds.ComputeAllStats();
}

void ApplyFilterMarks(TDatasetSPC& ds) {
  for (const DataKind kind : {DataKind::Var, DataKind::Attr}) {
    SampleFilter f = ReadFilter(ds, kind);
    int deactivated = 0;
    if (ResolveParameters(ds, kind, f, deactivated) && ds.settings.hasFilters) WriteFilter(ds, kind, f);
    if (deactivated > 0) {
      platform::Current<platform::ILog>().LogLine(std::string("SPC Filter (") + KindCode(kind) +
                                                      "): conditions on deleted parameters made inactive: " +
                                                      std::to_string(deactivated),
                                                  ds.slot);
    }
    const PreparedFilter prepared(f);
    for (int b = 1; b <= ds.BlockCount(); ++b) {
      TSPCBlock* block = ds.Block(b);
      if (block->kind != kind) continue;
      for (TSPCSample& s : block->Samples()) prepared.Filter(s);
    }
  }
}

ConditionCheck CheckFilterCondition(std::uint8_t valueType, std::uint8_t condition, std::string_view text) {
  ConditionCheck r;
  const FilterConditionKind* kind = FilterConditionOf(condition);
  if (!kind || (kind->applies & FilterTypeMask(valueType)) == 0) {
    r.message = "Данный тип условия неприменим к выбранному свойству";
    return r;
  }
  if ((kind->applies & filter_applies::kNoValue) != 0) return r;
  if (Trim(text).empty()) {
    r.message = "Не указано значение для проверки условия";
    return r;
  }
  r.text = CutToChars(text, SampleFilterCondition::kTextMax);
  if (valueType == static_cast<std::uint8_t>(FilterValueType::Text)) return r;
  if (condition == filter_cond::kInterval) {
    const std::size_t at = text.find("..");
    const std::string_view first = at == std::string_view::npos ? std::string_view{} : Trim(text.substr(0, at));
    const std::string_view second = at == std::string_view::npos ? std::string_view{} : Trim(text.substr(at + 2));
    if (first.empty() || second.empty()) {
      r.message = "Неверно указан интервал значений (x1..x2)";
      return r;
    }
    const auto a = ParseValue(valueType, first);
    if (!a) {
      r.message = ParseFailure(valueType, first);
      return r;
    }
    const auto b = ParseValue(valueType, second);
    if (!b) {
      r.message = ParseFailure(valueType, second);
      return r;
    }
    if (!Greater(valueType, *a, *b)) {
      r.message = "Второе значение в интервале должно быть больше первого";
      return r;
    }
    r.valueCount = 2;
    r.value1 = {StoredType(valueType), *a};
    r.value2 = {StoredType(valueType), *b};
    return r;
  }
  const auto a = ParseValue(valueType, Trim(text));
  if (!a) {
    r.message = ParseFailure(valueType, Trim(text));
    return r;
  }
  r.valueCount = 1;
  r.value1 = {StoredType(valueType), *a};
  return r;
}

FilterMeeting CountMeeting(const TSPCBlock& block) {
  FilterMeeting m;
  for (const TSPCSample& s : block.Samples()) {
    int points = 0;
    for (const TFileSmpPoint& p : s.Points()) points += (p.Flags() & point_flag::kFiltered) == 0 ? 1 : 0;
    m.points += points;
    m.samples += points > 0 ? 1 : 0;
  }
  return m;
}

}  // namespace mv
