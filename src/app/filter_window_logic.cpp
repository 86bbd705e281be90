#include "app/filter_window_logic.h"

#include <algorithm>

#include "app/history_lists.h"
#include "core/date_time.h"
#include "core/text.h"
#include "platform/log_sink.h"
#include "platform/services.h"
#include "spc/derived_data.h"

namespace mv {
namespace {

// "Фильтр SPC (количественные данные)", as the dataset page's commands name the windows.
std::string KindTitle(DataKind kind) { return std::string("Фильтр SPC (") + KindStem(kind) + "ные данные)"; }

}  // namespace

// --- the condition window ---

ConditionWindowLogic::ConditionWindowLogic(const TDatasetSPC& ds, DataKind kind) {
  Fill(ds, kind);
  SetPropertyIndex(2);
}

ConditionWindowLogic::ConditionWindowLogic(const TDatasetSPC& ds, DataKind kind, const SampleFilterCondition& condition)
    : m_editing(true), m_text(condition.text), m_condition(condition) {
  Fill(ds, kind);
  int index = 2;
  for (std::size_t i = 0; i < m_properties.size(); ++i) {
    const Property& p = m_properties[i];
    if (p.property == condition.property && (p.property != 5 || p.paramId == condition.paramId)) {
      index = static_cast<int>(i);
      break;
    }
  }
  const std::uint8_t kept = m_condition.condition;
  SetPropertyIndex(index);
  m_condition.condition = kept;
}

void ConditionWindowLogic::Fill(const TDatasetSPC& ds, DataKind kind) {
  m_properties = {
      {"Дата", "", 1, static_cast<std::uint8_t>(FilterValueType::Date), 0, 0},
      {"Время", "", 2, static_cast<std::uint8_t>(FilterValueType::Time), 0, 0},
      {"Примечание", "Примечание выборки", 3, static_cast<std::uint8_t>(FilterValueType::Text), 0, 0},
      {"Событие", "Событие выборки", 4, static_cast<std::uint8_t>(FilterValueType::Text), 0, 0},
  };
  for (const int position : ds.OrderList(kind)) {
    const TSPCParameter* p = ds.Parameter(position);
    if (!p) continue;
    m_properties.push_back({p->name, p->note, 5, static_cast<std::uint8_t>(FilterValueType::Number), p->id, position});
  }
}

std::string ConditionWindowLogic::Title() const {
  return std::string(m_editing ? "Изменение" : "Добавление") + " условия фильтра SPC";
}

void ConditionWindowLogic::SetPropertyIndex(int index) {
  if (index < 0 || index >= static_cast<int>(m_properties.size())) return;
  m_propertyIndex = index;
  const Property& p = m_properties[static_cast<std::size_t>(index)];
  m_condition.property = p.property;
  m_condition.valueType = p.valueType;
  m_condition.paramId = p.paramId;
  m_condition.paramPosition = static_cast<std::uint8_t>(p.position);
}

std::vector<std::string> ConditionWindowLogic::ConditionNames() {
  std::vector<std::string> names;
  for (std::uint8_t c = 1; c <= filter_cond::kCount; ++c) names.emplace_back(FilterConditionOf(c)->name);
  return names;
}

void ConditionWindowLogic::SetCondition(std::uint8_t code) {
  if (FilterConditionOf(code)) m_condition.condition = code;
}

void ConditionWindowLogic::SetText(std::string_view text) { m_text = CutToChars(text, SampleFilterCondition::kTextMax); }

bool ConditionWindowLogic::CaseVisible() const {
  return m_condition.valueType == static_cast<std::uint8_t>(FilterValueType::Text);
}

const char* ConditionWindowLogic::IntervalNote() { return "Граничные значения разделяются символами \"..\"."; }

std::string ConditionWindowLogic::Accept() {
  const ConditionCheck check = CheckFilterCondition(m_condition.valueType, m_condition.condition, m_text);
  if (!check.Ok()) return check.message;
  m_text = check.text;
  m_condition.text = check.text;
  m_condition.valueCount = check.valueCount;
  m_condition.value1 = check.value1;
  m_condition.value2 = check.value2;
  if (!CaseVisible()) m_condition.matchCase = false;
  return {};
}

// --- the filter window ---

FilterWindowLogic::FilterWindowLogic(TDatasetSPC& ds, DataKind kind)
    : m_ds(ds), m_kind(kind), m_filter(ReadFilter(ds, kind)), m_name(m_filter.name) {}

std::string FilterWindowLogic::Title() const { return KindTitle(m_kind); }

std::vector<std::string> FilterWindowLogic::ColumnTitles() { return {" Акт.", " Свойство", " Вид условия", " Значение"}; }

const char* FilterWindowLogic::Caption() {
  return "Условия фильтра (замер должен удовлетворять каждому из активных условий):";
}

std::vector<std::string> FilterWindowLogic::RowTexts(int row) const {
  const SampleFilterCondition& c = At(row);
  const FilterConditionKind* kind = FilterConditionOf(c.condition);
  std::string property = FilterPropertyText(m_ds, c);
  return {c.active ? "+" : "", property, kind ? kind->name : "?", c.text};
}

std::string FilterWindowLogic::StatusText() const {
  if (m_filter.conditions.empty()) return "Добавьте условия фильтра";
  return m_filter.ActiveCount() > 0 ? "Фильтр может применяться" : "Нет активных условий фильтра";
}

int FilterWindowLogic::Add(const SampleFilterCondition& condition) {
  if (!CanAdd()) return -1;
  m_filter.conditions.push_back(condition);
  return Count() - 1;
}

int FilterWindowLogic::Change(int row, const SampleFilterCondition& condition) {
  if (!CanChange() || row < 0 || row >= Count()) return -1;
  m_filter.conditions[static_cast<std::size_t>(row)] = condition;
  return row;
}

int FilterWindowLogic::Delete(int row) {
  if (!CanDelete() || row < 0 || row >= Count()) return -1;
  m_filter.conditions.erase(m_filter.conditions.begin() + row);
  return Count() == 0 ? -1 : std::min(row, Count() - 1);
}

int FilterWindowLogic::MoveUp(int row) {
  if (!CanMove() || row < 1 || row >= Count()) return row;
  std::swap(m_filter.conditions[static_cast<std::size_t>(row)], m_filter.conditions[static_cast<std::size_t>(row - 1)]);
  return row - 1;
}

int FilterWindowLogic::MoveDown(int row) {
  if (!CanMove() || row < 0 || row + 1 >= Count()) return row;
  std::swap(m_filter.conditions[static_cast<std::size_t>(row)], m_filter.conditions[static_cast<std::size_t>(row + 1)]);
  return row + 1;
}

void FilterWindowLogic::ToggleActive(int row) {
  if (!Editable() || row < 0 || row >= Count()) return;
  auto& c = m_filter.conditions[static_cast<std::size_t>(row)];
  c.active = !c.active;
}

void FilterWindowLogic::Accept(std::vector<std::string>* history) {
  m_filter.name = CutToChars(Trim(m_name), SampleFilter::kNameMax);
  m_name = m_filter.name;
  m_filter.changedAt = Now();
  WriteFilter(m_ds, m_kind, m_filter);
  platform::Current<platform::ILog>().LogLine("Edit SPC Filter is done - " + FilterDescription(m_filter), m_ds.slot);
  m_ds.Touch();
  RefreshDerivedData(m_ds);
  if (history) RememberValue(*history, m_filter.name);
}

FilterCommandState FilterCommand(const TDatasetSPC& ds, DataKind kind) {
  const SampleFilter f = ReadFilter(ds, kind);
  FilterCommandState state;
  state.text = KindTitle(kind);
  state.pressed = f.InForce();
  state.hint = state.pressed ? " Фильтр " + Quoted(FilterName(f)) + " " : " Фильтр (неактивен) ";
  return state;
}

}  // namespace mv
