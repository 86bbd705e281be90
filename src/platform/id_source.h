#pragma once
// Random identifiers for new objects.

#include <cstdint>

namespace mv::platform {

inline constexpr std::int32_t kIdentifierMin = 110000000;   // inclusive
inline constexpr std::int32_t kIdentifierEnd = 999000000;   // exclusive

class IIdSource {
 public:
  virtual ~IIdSource() = default;
  // A value drawn uniformly from [kIdentifierMin, kIdentifierEnd).
  virtual std::int32_t NewId() = 0;
};

}  // namespace mv::platform
