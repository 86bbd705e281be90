#include "app/spc_editor_logic.h"

#include <charconv>
#include <optional>

#include "app/config_file.h"
#include "app/history_lists.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "core/text.h"
#include "core/date_time.h"
#include "platform/log_sink.h"
#include "platform/services.h"
#include "spc/sample_filter.h"

namespace mv {
namespace {

void Log(const TDatasetSPC& ds, const std::string& line) { platform::Current<platform::ILog>().LogLine(line, ds.slot); }

EditorOutcome Refuse(std::string message, EditorField field) {
  ShowError(message);
  return {std::move(message), field};
}

void Remember(ConfigFile* config, HistoryList list, std::string_view value) {
  if (config) RememberValue(History(*config, list), value);
}

std::string OptionalText(const std::optional<double>& value, std::uint8_t decimals) {
  return value ? ValueFieldText(*value, decimals) : std::string();
}

// Whether storing `after` over `before` changes anything the editors show.
// What the tolerance marks and the filters of the stored values may depend on.
bool SameValueRules(const TSPCParameter& a, const TSPCParameter& b) {
  return a.kind == b.kind && a.decimals == b.decimals && a.Flags() == b.Flags() && a.Lsl() == b.Lsl() &&
         a.Usl() == b.Usl() && a.Nominal() == b.Nominal() &&
         a.dataLimits.Get(ValueRange::kLower) == b.dataLimits.Get(ValueRange::kLower) &&
         a.dataLimits.Get(ValueRange::kUpper) == b.dataLimits.Get(ValueRange::kUpper) &&
         a.dataLimits.Get(ValueRange::kTarget) == b.dataLimits.Get(ValueRange::kTarget) &&
         a.baseValue == b.baseValue && a.multiplierCode == b.multiplierCode && a.lrl == b.lrl && a.url == b.url;
}

// Whether storing `b` over `a` changes anything the editors show.
bool SameParameter(const TSPCParameter& a, const TSPCParameter& b) {
  return SameValueRules(a, b) && a.name == b.name && a.shortName == b.shortName && a.note == b.note &&
         a.unit == b.unit && a.scaleId == b.scaleId && a.classId == b.classId;
}

bool SameScales(const ScaleList& a, const ScaleList& b) {
  if (a.Count() != b.Count()) return false;
  for (int i = 1; i <= a.Count(); ++i) {
    const Scale& x = *a.Get(i);
    const Scale& y = *b.Get(i);
    if (x.id != y.id || x.name != y.name || x.unit != y.unit) return false;
  }
  return true;
}

bool SameClasses(const ParamClassList& a, const ParamClassList& b) {
  if (a.Count() != b.Count() || a.lastId != b.lastId) return false;
  for (int i = 1; i <= a.Count(); ++i) {
    const ParamClass& x = *a.Get(i);
    const ParamClass& y = *b.Get(i);
    if (x.id != y.id || x.name != y.name || x.note != y.note) return false;
  }
  return true;
}

// After a parameter changed: its tolerance decides the marks of every value, and the filters
// (which may test values against it) and with them the statistics are renewed.
void RenewDerived(TDatasetSPC& ds) {
  for (int b = 1; b <= ds.BlockCount(); ++b) {
    for (TSPCSample& s : ds.Block(b)->Samples()) ds.UpdateToleranceMarks(s);
  }
  ApplyFilters(ds);
}

const char* KindAdjective(DataKind kind, bool genitive) {
  if (kind == DataKind::Var) return genitive ? "количественного" : "количественный";
  return genitive ? "альтернативного" : "альтернативный";
}

}  // namespace

EditorField FieldOfMessage(std::string_view message, std::string_view typedName, std::string_view typedShortName) {
  static constexpr struct {
    std::string_view start;
    EditorField field;
  } kStarts[] = {
      {"Не указано название параметра", EditorField::Name},
      {"Начальное значение указано неверно", EditorField::DefaultValue},
      {"Нижняя граница допуска", EditorField::Lsl},
      {"Верхняя граница допуска", EditorField::Usl},
      {"Номинал указан неверно", EditorField::Nominal},
      {"Нижняя граница регулирования", EditorField::Lrl},
      {"Верхняя граница регулирования", EditorField::Url},
      {"Базовое значение", EditorField::Base},
      {"Максимально возможное значение", EditorField::MaxPossible},
      {"Минимально возможное значение", EditorField::MinPossible},
      {"Предельный уровень", EditorField::Ppm},
      {"Сбой при записи", EditorField::Name},
      {"Укажите название", EditorField::Name},
      {"Другой блок", EditorField::Name},
      {"Такое название уже имеет", EditorField::Name},
      {"Неверно указан объем выборки", EditorField::SampleSize},
      {"Допустимый объем выборки", EditorField::SampleSize},
  };
  // "Такое название (<name>) уже носит ...": the name is checked before the short name.
  constexpr std::string_view kClash = "Такое название (";
  if (message.starts_with(kClash)) {
    const std::string name = CutToChars(Trim(typedName), TSPCParameter::kNameMax);
    if (!name.empty() && message.substr(kClash.size()).starts_with(name + ")")) return EditorField::Name;
    return Trim(typedShortName).empty() ? EditorField::Name : EditorField::ShortName;
  }
  for (const auto& s : kStarts) {
    if (message.starts_with(s.start)) return s.field;
  }
  return EditorField::None;
}

std::string ValueFieldText(double value, std::uint8_t decimals) {
  std::string text = FormatFixed(value, std::min(decimals, kMaxDecimals));
  // A typed number keeps 30 characters: a longer text would be cut in its field.
  const TypedNumber back = ParseTypedNumber(text);
  if (text.size() <= 30 && back.status == TypedNumberStatus::Ok && back.value == value) return text;
  char buffer[40];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return ec == std::errc() ? std::string(buffer, end) : text;
}

ParameterForm VarFormOf(const TSPCParameter& p) {
  const std::uint8_t d = p.decimals;
  ParameterForm f;
  f.name = p.name;
  f.shortName = p.shortName;
  f.note = p.note;
  f.unit = p.unit;
  f.defaultValue = OptionalText(p.dataLimits.Get(ValueRange::kTarget), d);
  f.lsl = OptionalText(p.Lsl(), d);
  f.usl = OptionalText(p.Usl(), d);
  f.nominal = OptionalText(p.Nominal(), d);
  f.lrl = OptionalText(p.Lrl(), d);
  f.url = OptionalText(p.Url(), d);
  f.base = OptionalText(p.Base(), d);
  f.minPossible = OptionalText(p.dataLimits.Get(ValueRange::kLower), d);
  f.maxPossible = OptionalText(p.dataLimits.Get(ValueRange::kUpper), d);
  f.decimals = std::min(d, kMaxDecimals);
  f.multiplierCode = std::min(p.multiplierCode, kMaxMultiplierCode);
  f.scaleId = p.scaleId;
  f.classId = p.classId;
  f.tag = p.IsTag();
  f.relative = p.HasFlag(param_flag::kRelative);
  f.negate = p.HasFlag(param_flag::kNegate);
  f.noSkip = p.HasFlag(param_flag::kNoSkip);
  f.explain = p.HasFlag(param_flag::kExplainOutOfTolerance);
  return f;
}

AltParameterForm AltFormOf(const TSPCParameter& p) {
  AltParameterForm f;
  f.name = p.name;
  f.shortName = p.shortName;
  f.note = p.note;
  if (const auto limit = p.Usl()) f.ppm = FormatTrimmed(*limit * 1e6, 6);
  f.type = p.HasFlag(param_flag::kNonconformities) ? AttrType::Nonconformities : AttrType::Units;
  f.noSkip = p.HasFlag(param_flag::kNoSkip);
  return f;
}

BlockForm BlockFormOf(const TSPCBlock& b) {
  BlockForm f;
  f.name = b.name;
  f.note = b.note;
  f.frequency = b.frequency;
  f.sampleSize = b.fixedSampleSize ? FormatInt(b.fixedSampleSize) : std::string();
  f.kind = b.kind;
  f.mode = b.mode;
  f.dates = (b.flags & block_flag::kDates) != 0;
  f.times = f.dates && (b.flags & block_flag::kTimes) != 0;
  f.protect = (b.flags & block_flag::kProtected) != 0;
  f.protectView = (b.flags & block_flag::kProtectedView) != 0;
  return f;
}

BlockForm NewBlockForm(const TDatasetSPC& ds, DataKind kind) {
  BlockForm f;
  f.kind = kind;
  const std::vector<int>& blocks = ds.BlockList(kind);
  if (!blocks.empty()) {
    if (const TSPCBlock* last = ds.Block(blocks.back())) f.frequency = last->frequency;
  }
  return f;
}

std::string BlockLogLine(bool added, int position, const TSPCBlock& block) {
  return std::string(added ? "Add" : "Change") + " block " + FormatInt(position) + " [" + block.LogText() + "]";
}

// --- parameters ---

ParameterEditor::ParameterEditor(TDatasetSPC& ds, DataKind kind, int position, ConfigFile* config)
    : scales(ds.scales), classes(ds.classes), m_ds(ds), m_kind(kind), m_position(position), m_config(config) {
  const TSPCParameter* p = ds.Parameter(position);
  if (!p) {
    m_position = 0;
    return;
  }
  m_kind = p->kind;
  if (m_kind == DataKind::Var) {
    form = VarFormOf(*p);
  } else {
    altForm = AltFormOf(*p);
  }
}

std::string ParameterEditor::Title() const {
  if (IsNew()) return std::string("Новый ") + KindAdjective(m_kind, false) + " параметр";
  return std::string("Свойства ") + KindAdjective(m_kind, true) + " параметра #" +
         FormatInt(m_ds.Parameter(m_position)->position);
}

EditorOutcome ParameterEditor::SetNominalToMiddle() {
  const NominalResult middle = MiddleOfTolerance(form);
  if (!middle.message.empty()) return Refuse(middle.message, FieldOfMessage(middle.message));
  form.nominal = middle.nominal;
  return {};
}

std::string ParameterEditor::ScaleUnit(std::int32_t scaleId) const {
  const Scale* s = scales.Get(scales.IndexOfID(scaleId));
  return s ? s->unit : std::string();
}

std::string ParameterEditor::RelativeText() const {
  TSPCParameter p;
  p.multiplierCode = std::min(form.multiplierCode, kMaxMultiplierCode);
  const bool relative = form.relative && !form.tag;
  p.SetFlag(param_flag::kRelative, relative);
  p.SetFlag(param_flag::kNegate, relative && form.negate);
  if (const auto base = TypedNumberValue(form.base)) {
    p.baseValue = *base;
    p.SetFlag(param_flag::kBase, true);
  }
  return p.RelativeText();
}

namespace {

// "... used by 2 parameters": how many parameters of the dataset use a scale or a class.
template <class Uses>
int CountUses(const TDatasetSPC& ds, Uses uses) {
  int n = 0;
  for (int i = 1; i <= ds.ParameterCount(); ++i) n += uses(*ds.Parameter(i)) ? 1 : 0;
  return n;
}

std::string DeleteQuestion(const char* what, std::string_view name, int uses) {
  std::string text = std::string("Вы действительно желаете удалить ") + what + " " + Quoted(name) + " ?";
  if (uses > 0) text += "\r\nИспользующие его параметры (" + FormatInt(uses) + ") останутся без него";
  return text;
}

}  // namespace

bool ParameterEditor::DeleteScale(int position) {
  const Scale* s = scales.Get(position);
  if (!s) return false;
  const std::int32_t id = s->id;
  const int uses = CountUses(m_ds, [id](const TSPCParameter& p) { return p.scaleId == id; });
  if (!Ask(DeleteQuestion("масштаб", s->name, uses))) return false;
  scales.Delete(position);
  if (form.scaleId == id) form.scaleId = 0;
  return true;
}

bool ParameterEditor::DeleteClass(int position) {
  const ParamClass* c = classes.Get(position);
  if (!c) return false;
  const std::int16_t id = c->id;
  const int uses = CountUses(m_ds, [id](const TSPCParameter& p) { return p.classId == id; });
  if (!Ask(DeleteQuestion("класс", c->name, uses))) return false;
  classes.Delete(position);
  if (form.classId == id) form.classId = 0;
  return true;
}

bool ParameterEditor::StoreLists() {
  const bool same = SameScales(scales, m_ds.scales) && SameClasses(classes, m_ds.classes);
  if (same) return false;
  m_ds.scales = scales;
  m_ds.classes = classes;
  // A parameter with a scale shows the scale's unit.
  for (int i = 1; i <= m_ds.ParameterCount(); ++i) {
    TSPCParameter& p = *m_ds.Parameter(i);
    if (const Scale* s = scales.Get(scales.IndexOfID(p.scaleId))) p.unit = s->unit;
  }
  m_ds.ResolveScalesAndClasses();
  m_ds.Touch();
  return true;
}

EditorOutcome ParameterEditor::Accept() {
  TSPCParameter props;
  if (const TSPCParameter* p = m_ds.Parameter(m_position)) props = *p;
  const TSPCParameter before = props;
  std::string name;
  std::string shortName;
  if (m_kind == DataKind::Var) {
    if (scales.IndexOfID(form.scaleId) == 0) {
      form.scaleId = 0;
    } else {
      form.unit = ScaleUnit(form.scaleId);
    }
    if (classes.IndexOfID(form.classId) == 0) form.classId = 0;
    const ParameterCheck check = CheckVarParameter(m_ds, m_position, form);
    if (!check.Passed()) return Refuse(check.message, FieldOfMessage(check.message, form.name, form.shortName));
    StoreVarParameter(form, check.values, props);
    name = check.values.name;
    shortName = check.values.shortName;
  } else {
    const AltParameterCheck check = CheckAltParameter(m_ds, m_position, altForm);
    if (!check.Passed()) {
      return Refuse(check.message, FieldOfMessage(check.message, altForm.name, altForm.shortName));
    }
    StoreAltParameter(altForm, check.values, props);
    name = check.values.name;
    shortName = check.values.shortName;
  }
  const bool added = IsNew();
  if (added && m_ds.ParameterCount() >= static_cast<int>(kMaxParameters)) {
    const std::string failure = m_kind == DataKind::Var ? VarParameterWriteFailure(name) : AltParameterWriteFailure(name);
    return Refuse(failure, EditorField::Name);
  }
  const bool listsChanged = StoreLists();
  if (added || !SameParameter(before, props)) {
    if (added) props.position = 0;  // follows the last parameter of its kind
    const int position = m_ds.SetParameter(m_position, props.id, props);
    if (position == 0) {
      const std::string failure =
          m_kind == DataKind::Var ? VarParameterWriteFailure(name) : AltParameterWriteFailure(name);
      return Refuse(failure, EditorField::Name);
    }
    m_position = position;
    const TSPCParameter& stored = *m_ds.Parameter(position);
    Log(m_ds, m_kind == DataKind::Var ? VarParameterLogLine(added, position, stored)
                                      : AltParameterLogLine(added, position, stored));
    m_changed = true;
  }
  // A new parameter has no values yet, and names, notes, units, scales and classes decide no
  // mark: only a changed rule of the values renews the dataset's derived data.
  if (!added && m_changed && !SameValueRules(before, props)) RenewDerived(m_ds);
  m_changed = m_changed || listsChanged;
  const std::string& note = m_kind == DataKind::Var ? form.note : altForm.note;
  Remember(m_config, HistoryList::ParameterName, name);
  Remember(m_config, HistoryList::ParameterShortName, shortName);
  if (m_kind == DataKind::Var) Remember(m_config, HistoryList::ParameterUnit, form.unit);
  Remember(m_config, HistoryList::ParameterNote, note);
  return {};
}

// --- blocks ---

BlockEditor::BlockEditor(TDatasetSPC& ds, DataKind kind, int position, ConfigFile* config)
    : m_ds(ds), m_position(position), m_config(config) {
  if (const TSPCBlock* b = ds.Block(position)) {
    form = BlockFormOf(*b);
  } else {
    m_position = 0;
    form = NewBlockForm(ds, kind);
  }
}

std::string BlockEditor::Title() const {
  const std::string data = std::string(KindStem(form.kind)) + "ных данных";
  if (IsNew()) return "Новый блок " + data;
  return "Свойства блока " + data + " #" + FormatInt(m_position);
}

EditorOutcome BlockEditor::Accept() {
  const BlockCheck check = CheckBlock(m_ds, m_position, form);
  if (!check.Passed()) return Refuse(check.message, FieldOfMessage(check.message));
  const BlockValues& v = check.values;
  const std::string note = CutToChars(form.note, TSPCBlock::kNoteMax);
  const std::string frequency = CutToChars(Trim(form.frequency), TSPCBlock::kFrequencyMax);
  if (IsNew()) {
    const int position = m_ds.AddBlock(0, v.name, form.mode, v.flags, v.fixedSampleSize, form.kind, frequency, note);
    if (position == 0) return Refuse("Общее количество блоков достигло предела (" + FormatInt(kMaxBlocks) + ")", EditorField::None);
    m_ds.NumberBlock(position);
    m_position = position;
    Log(m_ds, BlockLogLine(true, position, *m_ds.Block(position)));
    m_changed = true;
  } else {
    TSPCBlock& b = *m_ds.Block(m_position);
    const bool same = b.name == v.name && b.note == note && b.frequency == frequency && b.mode == form.mode &&
                      b.flags == v.flags && b.fixedSampleSize == v.fixedSampleSize;
    if (!same) {
      b.name = v.name;
      b.SetNote(note);
      b.frequency = frequency;
      b.mode = form.mode;
      b.flags = v.flags;
      b.fixedSampleSize = v.fixedSampleSize;
      b.modified = Now();
      b.changed = true;
      b.changedAt = b.modified;
      m_ds.Touch();
      Log(m_ds, BlockLogLine(false, m_position, b));
      m_changed = true;
    }
  }
  Remember(m_config, HistoryList::BlockName, v.name);
  Remember(m_config, HistoryList::BlockNote, note);
  Remember(m_config, HistoryList::BlockFrequency, frequency);
  return {};
}

// --- scales and classes ---

ScaleEditor::ScaleEditor(ScaleList& scales, int position) : m_scales(scales), m_position(position) {
  if (const Scale* s = scales.Get(position)) {
    name = s->name;
    unit = s->unit;
  } else {
    m_position = 0;
  }
}

std::string ScaleEditor::Title() const {
  return m_position == 0 ? "Новый масштаб" : "Масштаб #" + FormatInt(m_position);
}

EditorOutcome ScaleEditor::Accept() {
  const std::string message = CheckScaleName(m_scales, m_position, name);
  if (!message.empty()) return Refuse(message, EditorField::Name);
  const std::string clean = CutToChars(Trim(name), Scale::kNameMax);
  const std::string cleanUnit = CutToChars(Trim(unit), Scale::kUnitMax);
  if (m_position == 0) {
    const int position = m_scales.Add(clean, cleanUnit);
    if (position == 0) {
      return Refuse("Количество масштабов достигло предела (" + FormatInt(ScaleList::kCapacity) + ")", EditorField::Name);
    }
    m_position = position;
    return {};
  }
  Scale& s = *m_scales.Get(m_position);
  s.name = clean;
  s.unit = cleanUnit;
  return {};
}

ClassEditor::ClassEditor(ParamClassList& classes, int position) : m_classes(classes), m_position(position) {
  if (const ParamClass* c = classes.Get(position)) {
    name = c->name;
    note = c->note;
  } else {
    m_position = 0;
  }
}

std::string ClassEditor::Title() const {
  return m_position == 0 ? "Новый класс параметров" : "Класс параметров #" + FormatInt(m_position);
}

EditorOutcome ClassEditor::Accept() {
  const std::string message = CheckClassName(name);
  if (!message.empty()) return Refuse(message, EditorField::Name);
  const std::string clean = CutToChars(Trim(name), ParamClass::kNameMax);
  const std::string cleanNote = CutToChars(Trim(note), ParamClass::kNoteMax);
  if (m_position == 0) {
    const int position = m_classes.Add(clean, cleanNote);
    if (position == 0) {
      return Refuse("Количество классов достигло предела (" + FormatInt(ParamClassList::kCapacity) + ")", EditorField::Name);
    }
    m_position = position;
    return {};
  }
  ParamClass& c = *m_classes.Get(m_position);
  c.name = clean;
  c.note = cleanNote;
  m_classes.changedAt = Now();
  return {};
}

}  // namespace mv
