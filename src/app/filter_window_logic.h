#pragma once
// What the filter window and the condition window decide, without the widgets: the window edits
// a copy of one kind's filter record; OK writes it back into the dataset, logs it, marks the
// dataset changed and refreshes its derived data.

#include <string>
#include <string_view>
#include <vector>

#include "spc/dataset_spc.h"
#include "spc/sample_filter.h"

namespace mv {

// The condition window ("Добавление" / "Изменение" + " условия фильтра SPC").
class ConditionWindowLogic {
 public:
  // The property list: the sample's date, time, note and event, then every parameter of the kind
  // in order.
  struct Property {
    std::string text;  // "Дата", ..., or the parameter's name
    std::string note;  // "Примечание выборки", ..., or the parameter's description
    std::uint8_t property = 0;
    std::uint8_t valueType = 0;
    std::int32_t paramId = 0;
    int position = 0;  // the parameter's dataset position
  };

  // A new condition: the note, "Равно", no value, letter case ignored, active.
  ConditionWindowLogic(const TDatasetSPC& ds, DataKind kind);
  // Editing `condition`.
  ConditionWindowLogic(const TDatasetSPC& ds, DataKind kind, const SampleFilterCondition& condition);

  std::string Title() const;
  const std::vector<Property>& Properties() const { return m_properties; }
  int PropertyIndex() const { return m_propertyIndex; }  // 0-based
  void SetPropertyIndex(int index);
  // The 13 conditions' names, in code order.
  static std::vector<std::string> ConditionNames();
  std::uint8_t Condition() const { return m_condition.condition; }
  void SetCondition(std::uint8_t code);
  const std::string& Text() const { return m_text; }
  void SetText(std::string_view text);  // cut to 50 characters
  bool MatchCase() const { return m_condition.matchCase; }
  void SetMatchCase(bool on) { m_condition.matchCase = on; }
  bool Active() const { return m_condition.active; }
  void SetActive(bool on) { m_condition.active = on; }

  // "С учетом регистра символов" only for text properties.
  bool CaseVisible() const;
  // The note under the value for an interval: "Граничные значения разделяются символами ".."."
  bool IntervalNoteVisible() const { return m_condition.condition == filter_cond::kInterval; }
  static const char* IntervalNote();

  // The checks of OK: empty when accepted (then Result() is the condition), else the message.
  std::string Accept();
  const SampleFilterCondition& Result() const { return m_condition; }

 private:
  void Fill(const TDatasetSPC& ds, DataKind kind);
  bool m_editing = false;
  std::vector<Property> m_properties;
  int m_propertyIndex = 2;
  std::string m_text;
  SampleFilterCondition m_condition;
};

// The filter window ("Фильтр SPC (количественные данные)").
class FilterWindowLogic {
 public:
  static constexpr int kColumns = 4;

  FilterWindowLogic(TDatasetSPC& ds, DataKind kind);

  std::string Title() const;
  static std::vector<std::string> ColumnTitles();  // " Акт.", " Свойство", " Вид условия", " Значение"
  static const char* Caption();

  bool Active() const { return m_filter.active; }
  void SetActive(bool on) { m_filter.active = on; }
  const std::string& Name() const { return m_name; }
  void SetName(std::string_view name) { m_name = name; }

  int Count() const { return static_cast<int>(m_filter.conditions.size()); }
  const SampleFilterCondition& At(int row) const { return m_filter.conditions.at(static_cast<std::size_t>(row)); }
  // The texts of a row (0-based): the active mark ("+" or ""), the property, the condition, the value.
  std::vector<std::string> RowTexts(int row) const;
  std::string StatusText() const;

  // The conditions and the name can be edited only while the filter is on.
  bool Editable() const { return m_filter.active; }
  bool CanAdd() const { return Editable() && Count() < static_cast<int>(SampleFilter::kMaxConditions); }
  bool CanChange() const { return Editable() && Count() > 0; }
  bool CanDelete() const { return CanChange(); }
  bool CanMove() const { return Editable() && Count() > 1; }

  // Row positions are 0-based; each returns the row to select afterwards (-1: none).
  int Add(const SampleFilterCondition& condition);
  int Change(int row, const SampleFilterCondition& condition);
  int Delete(int row);
  int MoveUp(int row);
  int MoveDown(int row);
  void ToggleActive(int row);

  // OK: the name trimmed and cut to 60, the switch and the time of change stored, the record
  // written into the dataset, "Edit SPC Filter is done - " + FilterDescription logged, the
  // dataset marked changed and its derived data refreshed; `history` gets the name.
  void Accept(std::vector<std::string>* history = nullptr);

  const TDatasetSPC& Dataset() const { return m_ds; }
  DataKind Kind() const { return m_kind; }

 private:
  TDatasetSPC& m_ds;
  DataKind m_kind;
  SampleFilter m_filter;
  std::string m_name;
};

// The dataset page's command for a kind: pressed while its filter is in force, with the hint
// " Фильтр "name" " or " Фильтр (неактивен) ".
struct FilterCommandState {
  std::string text;  // "Фильтр SPC (количественные данные)"
  bool pressed = false;
  std::string hint;
};
FilterCommandState FilterCommand(const TDatasetSPC& ds, DataKind kind);

}  // namespace mv
