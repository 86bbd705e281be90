#pragma once
// "Open with the registered program": a document in its viewer, a folder in the file manager.

#include <string>

namespace mv::platform {

class IShellOpen {
 public:
  virtual ~IShellOpen() = default;
  virtual bool Open(const std::string& path) = 0;
};

}  // namespace mv::platform
