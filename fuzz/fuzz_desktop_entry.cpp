// Desktop entries are read from folders other programs write: any bytes must parse without
// fault, and what is kept is bounded by what was given.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/xdg_file_associations.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const mv::platform::DesktopEntryFacts facts = mv::platform::ParseDesktopEntry(text);
  std::size_t kept = facts.name.size() + facts.comment.size() + facts.exec.size();
  for (const auto& type : facts.mimeTypes) kept += type.size();
  if (kept > size) __builtin_trap();
  return 0;
}
