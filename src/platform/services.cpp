#include "platform/services.h"

#include "platform/headless.h"

namespace mv::platform {
namespace {

template <class Interface, class Default>
struct Slot {
  static Default& Fallback() {
    static Default fallback;
    return fallback;
  }
  static Interface*& Ptr() {
    static Interface* current = &Fallback();
    return current;
  }
};

}  // namespace

#define MV_PLATFORM_SERVICE(Interface, Default)                                   \
  template <>                                                                     \
  Interface& Current<Interface>() {                                               \
    return *Slot<Interface, Default>::Ptr();                                      \
  }                                                                               \
  template <>                                                                     \
  Interface* Install<Interface>(Interface * impl) {                               \
    Interface*& slot = Slot<Interface, Default>::Ptr();                           \
    Interface* previous = slot;                                                   \
    slot = impl ? impl : &Slot<Interface, Default>::Fallback();                   \
    return previous;                                                              \
  }

MV_PLATFORM_SERVICE(IMessageWindows, HeadlessMessageWindows)
MV_PLATFORM_SERVICE(IFileDialogs, HeadlessFileDialogs)
MV_PLATFORM_SERVICE(IClipboard, HeadlessClipboard)
MV_PLATFORM_SERVICE(ISoundPlayer, HeadlessSoundPlayer)
MV_PLATFORM_SERVICE(IShellOpen, HeadlessShellOpen)
MV_PLATFORM_SERVICE(IInstanceChannel, HeadlessInstanceChannel)
MV_PLATFORM_SERVICE(IClock, SystemClock)
MV_PLATFORM_SERVICE(IIdSource, RandomIdSource)
MV_PLATFORM_SERVICE(ILog, MemoryLog)
MV_PLATFORM_SERVICE(IProgress, HeadlessProgress)
MV_PLATFORM_SERVICE(IPrompts, HeadlessPrompts)
MV_PLATFORM_SERVICE(IFileAssociations, HeadlessFileAssociations)
MV_PLATFORM_SERVICE(IProgramStart, HeadlessProgramStart)

#undef MV_PLATFORM_SERVICE

}  // namespace mv::platform
