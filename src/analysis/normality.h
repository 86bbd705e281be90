#pragma once
// The Kolmogorov normality test of a value list against its caller-given mean and sigma, and
// the texts of its verdict.

#include <cstdint>
#include <string>

#include "core/text.h"

namespace mv {

class TValueList;

// The fewest values the test accepts.
inline constexpr std::uint32_t kNormalityMinValues = 20;

struct TNormality {
  bool computed = false;
  bool enoughData = false;
  bool normal = false;
  double statistic = 0;  // D
  double critical = 0;
};

// Critical value of the Kolmogorov-Smirnov test; level 1, 2, 3 = 0.10, 0.05, 0.01. Rows exist
// for n = 1..20 and 25, 30, ... 100: n in between takes the row of the largest listed n not
// above it, n above 100 the row of 100. n = 0 or another level gives 1.
double KsCriticalValue(std::uint32_t n, int level);

// Sorts the list. Fewer than 20 values: computed, not enough data, not normal. Sigma 0: D = 0.
// Otherwise D = the largest distance between Φ coarse and the empirical distribution, taken at
// the last value of every group of equal values; normal when D is below the 0.10 critical value.
// The mean and sigma are estimated from the same data, so the plain table is lenient here; that
// is the method chosen.
TNormality TestNormality(TValueList& list);

// "Не рассчитано", "Неизвестно (мало данных)", "Нормальное", "Не явл.нормальным", and with
// details the reason or the statistic and its critical value.
std::string NormalityText(const TNormality& result, Lang lang, bool withDetails);

}  // namespace mv
