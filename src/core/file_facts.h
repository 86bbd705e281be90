#pragma once
// A file's directory entry as the system shows it: size in bytes and time of the last change
// as a local date-time.

#include <cstdint>
#include <string>

#include "platform/clock.h"

namespace mv {

// False (size and time untouched) when the path is not a regular file that can be looked up.
bool FileFacts(const std::string& path, std::uint64_t& size, TDateTime& time);

// A moment given as seconds since 1970-01-01 UTC, as the local date-time.
TDateTime LocalDateTime(std::int64_t unixSeconds, std::int64_t nanoseconds = 0);

}  // namespace mv
