#pragma once
// Starting another program: found on the PATH by its name, started on its own (it outlives
// this one) with its arguments as a list, each handed over as it is, never through a shell.

#include <string>
#include <vector>

namespace mv::platform {

class IProgramStart {
 public:
  virtual ~IProgramStart() = default;
  // The full path of the executable `name` on the PATH; empty when there is none.
  virtual std::string FindProgram(const std::string& name) = 0;
  // Starts program with the arguments; true when it was started.
  virtual bool StartDetached(const std::string& program, const std::vector<std::string>& arguments) = 0;
};

}  // namespace mv::platform
