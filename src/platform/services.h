#pragma once
// Every interface to the outside world sits in one replaceable slot. The slot starts with a
// headless default (records what it was asked, answers safely); ui/ installs the Qt
// implementations at start-up and tests install scripted fakes with a scoped guard.
//
//   platform::Current<IMessageWindows>().Show(request);
//   IMessageWindows* previous = platform::Install<IMessageWindows>(&mine);  // nullptr = default
//
// The slots are used from the user-interface thread only.

namespace mv::platform {

class IMessageWindows;
class IFileDialogs;
class IClipboard;
class ISoundPlayer;
class IShellOpen;
class IInstanceChannel;
class IClock;
class IIdSource;
class ILog;
class IProgress;
class IPrompts;
class IFileAssociations;
class IProgramStart;

template <class Interface>
Interface& Current();

// Puts impl (not owned; nullptr means the headless default) into the slot and returns what
// was there before, so the caller can put it back.
template <class Interface>
Interface* Install(Interface* impl);

#define MV_DECLARE_PLATFORM_SERVICE(Interface) \
  template <>                                  \
  Interface& Current<Interface>();             \
  template <>                                  \
  Interface* Install<Interface>(Interface * impl);

MV_DECLARE_PLATFORM_SERVICE(IMessageWindows)
MV_DECLARE_PLATFORM_SERVICE(IFileDialogs)
MV_DECLARE_PLATFORM_SERVICE(IClipboard)
MV_DECLARE_PLATFORM_SERVICE(ISoundPlayer)
MV_DECLARE_PLATFORM_SERVICE(IShellOpen)
MV_DECLARE_PLATFORM_SERVICE(IInstanceChannel)
MV_DECLARE_PLATFORM_SERVICE(IClock)
MV_DECLARE_PLATFORM_SERVICE(IIdSource)
MV_DECLARE_PLATFORM_SERVICE(ILog)
MV_DECLARE_PLATFORM_SERVICE(IProgress)
MV_DECLARE_PLATFORM_SERVICE(IPrompts)
MV_DECLARE_PLATFORM_SERVICE(IFileAssociations)
MV_DECLARE_PLATFORM_SERVICE(IProgramStart)

#undef MV_DECLARE_PLATFORM_SERVICE

}  // namespace mv::platform
