#pragma once
// New identifiers: signed 32-bit, drawn uniformly from 110000000 up to but not including
// 999000000 by one generator seeded once per run (platform::IIdSource), so identifiers made in
// the same instant differ.

#include <cstdint>

namespace mv {

std::int32_t NewIdentifier();

}  // namespace mv
