#pragma once
// "Now" as the system's date-time.

namespace mv {

// Days since 30 December 1899; the fraction is the time of day (local time).
using TDateTime = double;

namespace platform {

class IClock {
 public:
  virtual ~IClock() = default;
  // Local date-time now. Strictly increasing from call to call, so that a change made in the
  // same tick as a save still counts as later than the save.
  virtual TDateTime Now() = 0;
};

}  // namespace platform
}  // namespace mv
