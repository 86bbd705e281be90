#pragma once
// Where log lines go. The application log implements this; until it is opened the headless
// default keeps the most recent lines in memory.

#include <string_view>

namespace mv::platform {

class ILog {
 public:
  virtual ~ILog() = default;
  // slot: the open dataset's slot the line is about, 0 for none.
  virtual void LogLine(std::string_view text, int slot = 0) = 0;
  // An error line ("[ERR] " is added by the log).
  virtual void LogError(std::string_view text, int slot = 0) = 0;
};

}  // namespace mv::platform
