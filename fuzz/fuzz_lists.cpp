// Arbitrary bytes as a list stream, for each list kind. A stream that loads must save and load
// again to the same bytes (the writer is canonical for what the reader accepts, once loaded).

#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/event_sounds.h"
#include "spc/gages.h"
#include "spc/input_profiles.h"

namespace {

template <class List>
void Exercise(const std::string& bytes) {
  List list;
  if (!list.LoadFromString(bytes)) {
    if (!list.IsEmpty()) std::abort();  // a failed load leaves nothing behind
    return;
  }
  const std::string saved = list.SaveToString();
  List again;
  if (!again.LoadFromString(saved)) std::abort();
  if (again.SaveToString() != saved) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  Exercise<mv::TGageSet>(bytes);
  Exercise<mv::TInputProfileSet>(bytes);
  Exercise<mv::TEventSoundSet>(bytes);
  return 0;
}
