#include "analysis/value_list.h"

#include <algorithm>
#include <limits>
#include <new>
#include <stdexcept>

namespace mv {

bool TValueList::Allocate(std::int64_t n) {
  m_values.clear();
  m_values.shrink_to_fit();
  m_capacity = 0;
  m_sorted = false;
  if (n <= 0 || n > std::numeric_limits<std::uint32_t>::max()) return false;
  try {
    m_values.reserve(static_cast<std::size_t>(n));
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  m_capacity = static_cast<std::uint32_t>(n);
  return true;
}

bool TValueList::Add(double x) {
  if (m_values.size() >= m_capacity) return false;
  m_values.push_back(x);  // within the reserved room: no allocation
  m_sorted = false;
  return true;
}

std::span<const double> TValueList::Sorted() {
  if (!m_sorted) {
    std::sort(m_values.begin(), m_values.end());
    m_sorted = true;
  }
  return m_values;
}

}  // namespace mv
