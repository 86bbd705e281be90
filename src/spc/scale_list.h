#pragma once
// Scales (parameters that share an axis on charts of several parameters) and classes
// (parameters grouped by importance) of an SPC dataset.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"

namespace mv {

struct Scale {
  static constexpr std::size_t kNameMax = 40;
  static constexpr std::size_t kUnitMax = 10;
  std::int32_t id = 0;
  std::string name;
  std::string unit;
  // The name, then the unit in parentheses when there is one.
  std::string Text() const;
};

class ScaleList {
 public:
  static constexpr std::size_t kCapacity = 20;

  int Count() const { return static_cast<int>(m_scales.size()); }
  const Scale* Get(int position) const;  // nullptr outside 1..Count()
  Scale* Get(int position);
  // Appends a scale with the next identifier (largest + 1); 0 when the list is full.
  int Add(std::string_view name, std::string_view unit);
  // As read from a file: the identifier is the position.
  int AddRead(std::string_view name, std::string_view unit);
  void Delete(int position);
  void Clear() { m_scales.clear(); }
  int IndexOfID(std::int32_t id) const;  // 0 for id 0 or none
  int Find(std::string_view name, int exceptPosition = 0) const;  // letter case ignored
  // "<Собственный>" for no scale.
  std::string ChoiceText(int position) const;

 private:
  std::vector<Scale> m_scales;
};

struct ParamClass {
  static constexpr std::size_t kNameMax = 40;
  static constexpr std::size_t kNoteMax = 150;
  std::int16_t id = 0;
  std::string name;
  std::string note;
};

class ParamClassList {
 public:
  static constexpr std::size_t kCapacity = 20;

  std::int16_t lastId = 0;  // the last identifier given
  TDateTime changedAt = 0;

  int Count() const { return static_cast<int>(m_classes.size()); }
  const ParamClass* Get(int position) const;
  ParamClass* Get(int position);
  // Appends a class with identifier lastId + 1; 0 when full.
  int Add(std::string_view name, std::string_view note);
  // As read from a file, with its stored identifier; 0 when full.
  int AddRead(std::int16_t id, std::string_view name, std::string_view note);
  void Delete(int position);
  void Clear() { m_classes.clear(); }
  int IndexOfID(std::int16_t id) const;
  int Find(std::string_view name, int exceptPosition = 0) const;
  // "<не выбран>" for no class.
  std::string ChoiceText(int position) const;

 private:
  std::vector<ParamClass> m_classes;
};

}  // namespace mv
