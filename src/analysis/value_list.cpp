#include "analysis/value_list.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
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

namespace {

// Below this many values a comparison sort is as quick as the radix passes.
constexpr std::size_t kRadixFrom = 4096;

// The bits of a double as an unsigned key in the same order: negative numbers have every bit
// flipped, the others only the sign bit.
std::uint64_t KeyOf(double x) {
  const auto bits = std::bit_cast<std::uint64_t>(x);
  return (bits & 0x8000000000000000ULL) ? ~bits : bits | 0x8000000000000000ULL;
}
double ValueOf(std::uint64_t key) {
  return std::bit_cast<double>((key & 0x8000000000000000ULL) ? key & ~0x8000000000000000ULL : ~key);
}

// Ascending in time linear in the count: least-significant-digit radix sort on the keys, one
// byte per pass, skipping the bytes that all keys share (the leading bytes of values of one
// magnitude). False when the working memory cannot be had.
bool RadixSort(std::vector<double>& values) {
  std::vector<std::uint64_t> keys, other;
  try {
    keys.resize(values.size());
    other.resize(values.size());
  } catch (const std::bad_alloc&) {
    return false;
  }
  std::array<std::array<std::size_t, 256>, 8> counts{};
  for (std::size_t i = 0; i < values.size(); ++i) {
    keys[i] = KeyOf(values[i]);
    for (std::size_t d = 0; d < 8; ++d) ++counts[d][(keys[i] >> (8 * d)) & 0xFF];
  }
  for (std::size_t d = 0; d < 8; ++d) {
    auto& count = counts[d];
    if (std::find(count.begin(), count.end(), values.size()) != count.end()) continue;  // one byte value
    std::size_t start = 0;
    for (std::size_t& c : count) {
      const std::size_t n = c;
      c = start;
      start += n;
    }
    for (const std::uint64_t k : keys) other[count[(k >> (8 * d)) & 0xFF]++] = k;
    keys.swap(other);
  }
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = ValueOf(keys[i]);
  return true;
}

}  // namespace

std::span<const double> TValueList::Sorted() {
  if (!m_sorted) {
    if (m_values.size() < kRadixFrom || !RadixSort(m_values)) std::sort(m_values.begin(), m_values.end());
    m_sorted = true;
  }
  return m_values;
}

}  // namespace mv
