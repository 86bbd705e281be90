#pragma once
// Sound playback for application events.

#include <cstdint>
#include <string>

namespace mv::platform {

// The three sounds carried inside the program.
enum class BuiltinSound : std::uint8_t { Default = 1, Ok = 2, Error = 3 };

class ISoundPlayer {
 public:
  virtual ~ISoundPlayer() = default;
  // Each returns true when playback started (async) or finished (sync).
  virtual bool PlayBuiltin(BuiltinSound sound, bool async) = 0;
  virtual bool PlayFile(const std::string& path, bool async) = 0;
};

}  // namespace mv::platform
