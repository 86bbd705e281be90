// Arbitrary bytes as a file name found in a folder a save cleans up: a name is this program's
// temporary only with a positive process id that the name spells, and every temporary name this
// program makes is recognised with its own process id.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/file_routines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view name(reinterpret_cast<const char*>(data), size);
  const int owner = mv::TemporaryOwner(name);
  if (owner < 0) std::abort();
  if (owner > 0 && name.find(std::to_string(owner)) == std::string_view::npos) std::abort();
  // The bytes read as a process id and a number make a name that is recognised as theirs.
  int pid = 1;
  unsigned number = 0;
  for (std::size_t i = 0; i < size; ++i) {
    if (i < 4) pid = pid * 31 + data[i];
    number = number * 7 + data[i];
  }
  pid = pid > 0 ? pid : 1;
  const std::string made = mv::TemporaryNameFor("/d/a.mvl", pid, number);
  if (mv::TemporaryOwner(made.substr(3)) != pid) std::abort();
  return 0;
}
