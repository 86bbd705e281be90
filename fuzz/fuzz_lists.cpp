// Arbitrary bytes as a list stream, for each list kind. What loads must save, and what was saved
// must load again and from then on save to the same bytes. (The first save may differ from a
// second one: a measuring range whose decimals came after its values is written with the
// decimals first, and reads back with them.)

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
  const std::string first = list.SaveToString();
  List again;
  if (!again.LoadFromString(first)) std::abort();
  const std::string second = again.SaveToString();
  List third;
  if (!third.LoadFromString(second)) std::abort();
  if (third.SaveToString() != second) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  Exercise<mv::TGageSet>(bytes);
  Exercise<mv::TInputProfileSet>(bytes);
  Exercise<mv::TEventSoundSet>(bytes);
  return 0;
}
