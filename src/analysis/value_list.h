#pragma once
// A list of values for the normality test and the box plot: owned doubles, sorted in place the
// first time an order-dependent result is asked for, and the mean and sigma to test against,
// which the caller sets (they are not computed from the list).
//
// The list reorders itself: a caller that still needs the original order (pairs of values by
// row, say) gives the test its own copy.

#include <cstdint>
#include <span>
#include <vector>

namespace mv {

class TValueList {
 public:
  // Room for n values; the list becomes empty. False when n <= 0 or the memory cannot be had
  // (the list is then empty with capacity 0).
  [[nodiscard]] bool Allocate(std::int64_t n);
  // False when the list is full.
  bool Add(double x);
  void SetMeanAndSigma(double listMean, double listSigma) {
    m_mean = listMean;
    m_sigma = listSigma;
  }

  std::uint32_t Capacity() const { return m_capacity; }
  std::uint32_t Count() const { return static_cast<std::uint32_t>(m_values.size()); }
  double Mean() const { return m_mean; }
  double Sigma() const { return m_sigma; }
  bool IsSorted() const { return m_sorted; }
  // The values ascending (sorted now when they were not).
  std::span<const double> Sorted();
  std::span<const double> Values() const { return m_values; }

 private:
  std::vector<double> m_values;
  std::uint32_t m_capacity = 0;
  bool m_sorted = false;
  double m_mean = 0;
  double m_sigma = 0;
};

}  // namespace mv
