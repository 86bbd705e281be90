#pragma once
// The system clipboard: plain text (UTF-8) and pictures.

#include <string>

namespace mv::platform {

class IClipboard {
 public:
  virtual ~IClipboard() = default;
  virtual std::string Text() = 0;
  virtual void SetText(const std::string& text) = 0;
  // Puts a picture on the clipboard, given as the bytes of a PNG file.
  virtual void SetPicture(const std::string& png) = 0;
};

}  // namespace mv::platform
