#pragma once
// The system clipboard, as plain text (UTF-8).

#include <string>

namespace mv::platform {

class IClipboard {
 public:
  virtual ~IClipboard() = default;
  virtual std::string Text() = 0;
  virtual void SetText(const std::string& text) = 0;
};

}  // namespace mv::platform
