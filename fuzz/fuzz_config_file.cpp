// Arbitrary bytes as a configuration file. What reads must write and read again.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/config_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  mv::TEventSoundSet sounds;
  mv::TInputProfileSet profiles;
  mv::ConfigFile config("/nonexistent", sounds, profiles);
  if (config.Decode(bytes).kind != mv::ConfigFile::Problem::kNone) return 0;
  const std::string saved = config.Encode(0);
  mv::TEventSoundSet sounds2;
  mv::TInputProfileSet profiles2;
  mv::ConfigFile again("/nonexistent", sounds2, profiles2);
  if (again.Decode(saved).kind != mv::ConfigFile::Problem::kNone) std::abort();
  if (again.Encode(0) != saved) std::abort();
  return 0;
}
