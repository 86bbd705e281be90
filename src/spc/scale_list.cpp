#include "spc/scale_list.h"

#include <algorithm>

#include "core/date_time.h"
#include "core/text.h"

namespace mv {
namespace {

template <class List>
auto* At(List& items, int position) {
  return position >= 1 && position <= static_cast<int>(items.size()) ? &items[static_cast<std::size_t>(position - 1)]
                                                                       : nullptr;
}

template <class List>
int FindName(const List& items, std::string_view name, int exceptPosition) {
  if (name.empty()) return 0;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const int position = static_cast<int>(i + 1);
    if (position != exceptPosition && SameText(items[i].name, name)) return position;
  }
  return 0;
}

}  // namespace

std::string Scale::Text() const { return unit.empty() ? name : name + " (" + unit + ")"; }

const Scale* ScaleList::Get(int position) const { return At(m_scales, position); }
Scale* ScaleList::Get(int position) { return At(m_scales, position); }

int ScaleList::Add(std::string_view name, std::string_view unit) {
  if (m_scales.size() >= kCapacity) return 0;
  // A new scale never takes the identifier of one deleted before it while parameters may
  // still refer to that one.
  std::int32_t next = 1;
  for (const Scale& s : m_scales) next = std::max(next, s.id + 1);
  m_scales.push_back({next, CutToChars(name, Scale::kNameMax), CutToChars(unit, Scale::kUnitMax)});
  return Count();
}

int ScaleList::AddRead(std::string_view name, std::string_view unit) {
  if (m_scales.size() >= kCapacity) return 0;
  m_scales.push_back({Count() + 1, CutToChars(name, Scale::kNameMax), CutToChars(unit, Scale::kUnitMax)});
  return Count();
}

void ScaleList::Delete(int position) {
  if (Get(position)) m_scales.erase(m_scales.begin() + (position - 1));
}

int ScaleList::IndexOfID(std::int32_t id) const {
  if (id == 0) return 0;
  for (std::size_t i = 0; i < m_scales.size(); ++i) {
    if (m_scales[i].id == id) return static_cast<int>(i + 1);
  }
  return 0;
}

int ScaleList::Find(std::string_view name, int exceptPosition) const { return FindName(m_scales, name, exceptPosition); }

std::string ScaleList::ChoiceText(int position) const {
  const Scale* scale = Get(position);
  return scale ? scale->Text() : "<Собственный>";
}

const ParamClass* ParamClassList::Get(int position) const { return At(m_classes, position); }
ParamClass* ParamClassList::Get(int position) { return At(m_classes, position); }

int ParamClassList::Add(std::string_view name, std::string_view note) {
  if (m_classes.size() >= kCapacity) return 0;
  lastId = static_cast<std::int16_t>(lastId + 1);
  m_classes.push_back({lastId, CutToChars(name, ParamClass::kNameMax), CutToChars(note, ParamClass::kNoteMax)});
  changedAt = Now();
  return Count();
}

int ParamClassList::AddRead(std::int16_t id, std::string_view name, std::string_view note) {
  if (m_classes.size() >= kCapacity) return 0;
  m_classes.push_back({id, CutToChars(name, ParamClass::kNameMax), CutToChars(note, ParamClass::kNoteMax)});
  return Count();
}

void ParamClassList::Delete(int position) {
  if (!Get(position)) return;
  m_classes.erase(m_classes.begin() + (position - 1));
  changedAt = Now();
}

int ParamClassList::IndexOfID(std::int16_t id) const {
  if (id == 0) return 0;
  for (std::size_t i = 0; i < m_classes.size(); ++i) {
    if (m_classes[i].id == id) return static_cast<int>(i + 1);
  }
  return 0;
}

int ParamClassList::Find(std::string_view name, int exceptPosition) const {
  return FindName(m_classes, name, exceptPosition);
}

std::string ParamClassList::ChoiceText(int position) const {
  const ParamClass* cls = Get(position);
  return cls ? cls->name : "<не выбран>";
}

}  // namespace mv
