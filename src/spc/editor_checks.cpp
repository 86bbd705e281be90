#include "spc/editor_checks.h"

#include <algorithm>
#include <limits>

#include "core/numbers.h"
#include "core/text.h"
#include "spc/dataset_spc.h"
#include "spc/parameter.h"
#include "spc/scale_list.h"

namespace mv {
namespace {

// The text to store and look up: trimmed and cut as the dataset would cut it, so the lookup
// sees the same name that will be stored.
std::string CleanText(std::string_view typed, std::size_t maxChars) {
  return CutToChars(Trim(typed), maxChars);
}

// Reads one optional numeric field. A field that does not parse gives its message followed by
// " - " and the text as typed.
bool ReadNumber(std::string_view typed, const char* fieldMessage, std::optional<double>& out,
                std::string& message) {
  const TypedNumber number = ParseTypedNumber(typed);
  if (number.status == TypedNumberStatus::Invalid) {
    message = std::string(fieldMessage) + " - " + std::string(typed);
    return false;
  }
  out = number.status == TypedNumberStatus::Ok ? std::optional<double>(number.value) : std::nullopt;
  return true;
}

bool BothAndNotAbove(const std::optional<double>& lower, const std::optional<double>& upper) {
  return lower && upper && *upper <= *lower;
}

// The name checks shared by both parameter editors; fills the cleaned names.
std::string CheckNames(const TDatasetSPC& dataset, int position, DataKind kind, std::string_view name,
                       std::string_view shortName, std::string& cleanName, std::string& cleanShort) {
  cleanName = CleanText(name, TSPCParameter::kNameMax);
  cleanShort = CleanText(shortName, TSPCParameter::kShortNameMax);
  if (cleanName.empty()) return "Не указано название параметра";  // no parameter name
  // The stem is the edited parameter's kind, whatever the kind of the one that clashes.
  for (const std::string* text : {&cleanName, &cleanShort}) {
    if (text->empty() || dataset.FindParameter(*text, position) == 0) continue;
    // "this name is already carried by one of the ... parameters"
    return "Такое название (" + *text + ") уже носит один из " + KindStem(kind) + "ных параметров";
  }
  return {};
}

std::string LogLine(bool added, const char* kindWord, int position, const TSPCParameter& parameter) {
  return std::string(added ? "Add " : "Change ") + kindWord + " parameter " + FormatInt(position) +
         " [" + parameter.LogText() + "]";
}

// The switches both editors share; the range presence bits are left to the ranges.
void StoreCommon(std::string_view name, std::string_view shortName, std::string_view note, bool noSkip,
                 TSPCParameter& target) {
  target.name = std::string(name);
  target.shortName = std::string(shortName);
  target.note = CutToChars(note, TSPCParameter::kNoteMax);
  target.SetFlag(param_flag::kNoSkip, noSkip);
}

constexpr const char* kUslNotAbove = "Верхняя граница допуска должна быть больше нижней";

}  // namespace

ParameterCheck CheckVarParameter(const TDatasetSPC& dataset, int position, const ParameterForm& form) {
  ParameterCheck check;
  ParameterValues& v = check.values;
  std::string& message = check.message;
  message = CheckNames(dataset, position, DataKind::Var, form.name, form.shortName, v.name, v.shortName);
  if (!message.empty()) return check;

  if (!ReadNumber(form.defaultValue, "Начальное значение указано неверно", v.defaultValue, message)) {
    return check;
  }
  if (!form.tag) {
    if (!ReadNumber(form.lsl, "Нижняя граница допуска указана неверно", v.lsl, message) ||
        !ReadNumber(form.usl, "Верхняя граница допуска указана неверно", v.usl, message)) {
      return check;
    }
    if (BothAndNotAbove(v.lsl, v.usl)) {
      message = kUslNotAbove;
      return check;
    }
    if (!ReadNumber(form.nominal, "Номинал указан неверно", v.nominal, message) ||
        !ReadNumber(form.lrl, "Нижняя граница регулирования указана неверно", v.lrl, message) ||
        !ReadNumber(form.url, "Верхняя граница регулирования указана неверно", v.url, message)) {
      return check;
    }
    if (BothAndNotAbove(v.lrl, v.url)) {
      message = "Верхняя граница регулирования должна быть больше нижней";
      return check;
    }
    if (!ReadNumber(form.base, "Базовое значение указано неверно", v.base, message)) return check;
  }
  // The maximum is read before the minimum, as the editor shows them.
  if (!ReadNumber(form.maxPossible, "Максимально возможное значение указано неверно", v.maxPossible, message) ||
      !ReadNumber(form.minPossible, "Минимально возможное значение указано неверно", v.minPossible, message)) {
    return check;
  }
  if (BothAndNotAbove(v.minPossible, v.maxPossible)) {
    message = "Максимально возможное значение должно быть больше минимально возможного";
  }
  return check;
}

void StoreVarParameter(const ParameterForm& form, const ParameterValues& values, TSPCParameter& target) {
  target.kind = DataKind::Var;
  StoreCommon(values.name, values.shortName, form.note, form.noSkip, target);
  target.unit = CutToChars(form.unit, TSPCParameter::kUnitMax);
  target.decimals = std::min(form.decimals, kMaxDecimals);
  target.scaleId = form.scaleId;
  target.classId = form.classId;
  // The ranges take the decimals just set.
  target.SetTolerance(values.lsl, values.usl, values.nominal);
  target.SetDataLimits(values.minPossible, values.maxPossible, values.defaultValue);

  const bool relative = form.relative && !form.tag;
  target.multiplierCode =
      relative && form.multiplierCode <= kMaxMultiplierCode ? form.multiplierCode : 0;
  target.baseValue = values.base.value_or(0);
  target.lrl = values.lrl.value_or(0);
  target.url = values.url.value_or(0);
  const struct {
    std::uint16_t flag;
    bool on;
  } kSwitches[] = {
      {param_flag::kTag, form.tag},
      {param_flag::kRelative, relative},
      {param_flag::kNegate, relative && form.negate},
      {param_flag::kExplainOutOfTolerance, form.explain},
      {param_flag::kBase, values.base.has_value()},
      {param_flag::kLrl, values.lrl.has_value()},
      {param_flag::kUrl, values.url.has_value()},
      {param_flag::kNonconformities, false},
  };
  for (const auto& s : kSwitches) target.SetFlag(s.flag, s.on);
}

NominalResult MiddleOfTolerance(const ParameterForm& form) {
  NominalResult result;
  std::optional<double> lsl;
  std::optional<double> usl;
  if (!ReadNumber(form.lsl, "Нижняя граница допуска указана неверно", lsl, result.message) ||
      !ReadNumber(form.usl, "Верхняя граница допуска указана неверно", usl, result.message)) {
    return result;
  }
  if (!lsl || !usl) {
    // "a two-sided tolerance is needed for this function"
    result.message = "Для использования выбранной функции должен быть указан двусторонний допуск";
    return result;
  }
  if (*usl <= *lsl) {
    result.message = kUslNotAbove;
    return result;
  }
  const int decimals = std::min(form.decimals, kMaxDecimals) + 1;
  result.nominal = FormatFixed((*lsl + *usl) / 2, decimals);
  return result;
}

std::string VarParameterWriteFailure(std::string_view name) {
  return "Сбой при записи количественного параметра " + Quoted(name);
}

std::string VarParameterLogLine(bool added, int position, const TSPCParameter& parameter) {
  return LogLine(added, "var", position, parameter);
}

AltParameterCheck CheckAltParameter(const TDatasetSPC& dataset, int position, const AltParameterForm& form) {
  AltParameterCheck check;
  AltParameterValues& v = check.values;
  check.message = CheckNames(dataset, position, DataKind::Attr, form.name, form.shortName, v.name, v.shortName);
  if (!check.message.empty()) return check;

  const TypedNumber ppm = ParseTypedNumber(form.ppm);
  if (ppm.status == TypedNumberStatus::Invalid || (ppm.status == TypedNumberStatus::Ok && ppm.value < 0)) {
    check.message = "Предельный уровень указан неверно - " + form.ppm;  // wrong quality limit
    return check;
  }
  if (ppm.status == TypedNumberStatus::Ok) v.qualityLimit = ppm.value / 1e6;
  return check;
}

void StoreAltParameter(const AltParameterForm& form, const AltParameterValues& values, TSPCParameter& target) {
  target.kind = DataKind::Attr;
  StoreCommon(values.name, values.shortName, form.note, form.noSkip, target);
  target.SetTolerance(std::nullopt, values.qualityLimit, std::nullopt);
  target.SetDataLimits(std::nullopt, std::nullopt, std::nullopt);
  target.baseValue = 0;
  target.multiplierCode = 0;
  target.lrl = 0;
  target.url = 0;
  // Nothing of the quantitative editor's switches stays on an alternative parameter.
  const std::uint16_t kept = target.Flags() & param_flag::kNoSkip;
  target.SetFlags(static_cast<std::uint16_t>(kept | (values.qualityLimit ? param_flag::kUsl : 0) |
                                             (form.type == AttrType::Nonconformities ? param_flag::kNonconformities : 0)));
}

std::string AltParameterWriteFailure(std::string_view name) {
  return "Сбой при записи альтернативного параметра " + Quoted(name);
}

std::string AltParameterLogLine(bool added, int position, const TSPCParameter& parameter) {
  return LogLine(added, "alt", position, parameter);
}

BlockCheck CheckBlock(const TDatasetSPC& dataset, int position, const BlockForm& form) {
  BlockCheck check;
  BlockValues& v = check.values;
  v.name = CleanText(form.name, TSPCBlock::kNameMax);
  if (v.name.empty()) {
    check.message = "Укажите название блока";  // give the block's name
    return check;
  }
  if (dataset.FindBlock(v.name, position) != 0) {
    // "another block of ... data already has the same name; change the name typed"
    check.message = std::string("Другой блок ") + KindStem(form.kind) + "ных данных уже имеет такое же название " +
                    Quoted(v.name) + ". Измените введенное название";
    return check;
  }
  std::int64_t size = 0;
  if (!Trim(form.sampleSize).empty()) {
    // Any whole number parses here, so that a quantitative block can be told its range; an
    // alternative block refuses what does not fit a sample's size as not a valid number.
    const auto parsed = ParseInteger(form.sampleSize, std::numeric_limits<std::int64_t>::min(),
                                     std::numeric_limits<std::int64_t>::max());
    const bool fits = parsed && (form.kind == DataKind::Var || (*parsed >= 0 && *parsed <= kMaxAttrSampleSize));
    if (!fits) {
      check.message = "Неверно указан объем выборки";  // wrong sample size
      return check;
    }
    size = *parsed;
  }
  if (form.kind == DataKind::Var && (size < 0 || size > static_cast<std::int64_t>(kMaxFixedSampleSize))) {
    check.message = "Допустимый объем выборки - от 0 до " + FormatInt(kMaxFixedSampleSize);
    return check;
  }
  v.fixedSampleSize = static_cast<std::uint16_t>(size);
  if (position == 0) {
    if (dataset.CountOfKind(form.kind) == 0) {
      check.message = "Нельзя создавать блоки, пока не определены параметры";  // no parameters yet
      return check;
    }
    if (dataset.BlockCount() >= static_cast<int>(kMaxBlocks)) {
      check.message = "Общее количество блоков достигло предела (" + FormatInt(kMaxBlocks) + ")";
      return check;
    }
  }
  std::uint16_t flags = 0;
  if (form.dates) flags |= block_flag::kDates;
  if (form.dates && form.times) flags |= block_flag::kTimes;
  if (form.protect) flags |= block_flag::kProtected;
  if (form.protectView) flags |= block_flag::kProtectedView;
  if (form.mode == SamplingMode::Individual) flags |= block_flag::kIndividual;
  v.flags = flags;
  return check;
}

std::string CheckScaleName(const ScaleList& scales, int position, std::string_view name) {
  const std::string clean = CleanText(name, Scale::kNameMax);
  if (clean.empty()) return "Укажите название масштаба";  // give the scale's name
  if (scales.Find(clean, position) != 0) return "Такое название уже имеет один из масштабов\r\n";
  return {};
}

std::string CheckClassName(std::string_view name) {
  if (Trim(name).empty()) return "Укажите название класса";  // give the class's name
  return {};
}

}  // namespace mv
