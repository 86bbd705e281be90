#pragma once
// The progress window of long operations, with a button that stops them.

#include <string_view>

namespace mv::platform {

class IProgress {
 public:
  virtual ~IProgress() = default;
  // Shows the window with a title and the number of steps to come.
  virtual void Begin(std::string_view title, int steps) = 0;
  virtual void Step() = 0;
  // True once the user asked to stop ("Прервать").
  virtual bool Aborted() = 0;
  virtual void End() = 0;
};

}  // namespace mv::platform
