#include "spc/point.h"

#include <algorithm>

namespace mv {

void TFileSmpPoint::Set(int parameter, const PointValue& slot) {
  if (!Valid(parameter)) return;
  const auto i = static_cast<std::size_t>(parameter - 1);
  m_valueFlags[i] = slot.flags;
  m_values[i] = slot.value;
}

void TFileSmpPoint::SetValue(int parameter, double x) {
  if (!Valid(parameter)) return;
  const auto i = static_cast<std::size_t>(parameter - 1);
  m_values[i] = x;
  m_valueFlags[i] &= static_cast<std::uint16_t>(~(value_flag::kEmpty | value_flag::kNotEntered));
}

void TFileSmpPoint::SetEmpty(int parameter, bool empty) { SetValueFlag(parameter, value_flag::kEmpty, empty); }

void TFileSmpPoint::SetValueFlag(int parameter, std::uint16_t flag, bool on) {
  if (!Valid(parameter)) return;
  std::uint16_t& slotFlags = m_valueFlags[static_cast<std::size_t>(parameter - 1)];
  slotFlags = on ? static_cast<std::uint16_t>(slotFlags | flag) : static_cast<std::uint16_t>(slotFlags & ~flag);
}

void TFileSmpPoint::RemoveSlot(int parameter) {
  if (!Valid(parameter)) return;
  const auto first = static_cast<std::ptrdiff_t>(parameter - 1);
  std::move(m_values.begin() + first + 1, m_values.end(), m_values.begin() + first);
  std::move(m_valueFlags.begin() + first + 1, m_valueFlags.end(), m_valueFlags.begin() + first);
  m_values.back() = 0;
  m_valueFlags.back() = value_flag::kEmpty;
}

}  // namespace mv
