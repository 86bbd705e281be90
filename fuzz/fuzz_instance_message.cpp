// Arbitrary bytes as a message from another instance. What decodes must encode to the same
// header fields and payload.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/instance_message.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const auto message = mv::DecodeInstanceMessage(bytes);
  if (!message) return 0;
  (void)mv::OpenFileName(*message);
  (void)mv::SessionInfoOf(*message);
  const auto again = mv::DecodeInstanceMessage(mv::EncodeInstanceMessage(*message));
  if (!again || again->payload != message->payload || again->code != message->code ||
      again->sequence != message->sequence) {
    std::abort();
  }
  return 0;
}
