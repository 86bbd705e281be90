#pragma once
// Messages between running instances of the program: fixed-size records sent by a later
// instance to the first one.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace mv::platform {

class IInstanceChannel {
 public:
  using Receiver = std::function<void(std::vector<std::uint8_t> record)>;
  virtual ~IInstanceChannel() = default;
  // Sends one record to the first running instance; false when there is none or it failed.
  virtual bool SendToFirst(std::span<const std::uint8_t> record) = 0;
  // Makes this instance the one that receives; false when another instance already does.
  virtual bool Listen(Receiver receiver) = 0;
};

}  // namespace mv::platform
