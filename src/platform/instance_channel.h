#pragma once
// Messages between running instances of the program: fixed-size records sent by a later
// instance to the first one, which may answer each over the same connection.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace mv::platform {

class IInstanceChannel {
 public:
  using Record = std::vector<std::uint8_t>;
  // Takes a record from another instance. A record it returns (not empty) is the answer, sent
  // back to that instance over the connection the record came on.
  using Receiver = std::function<Record(Record record)>;
  virtual ~IInstanceChannel() = default;
  // Sends one record to the first running instance; false when there is none or it failed.
  // An answer is not waited for.
  virtual bool SendToFirst(std::span<const std::uint8_t> record) = 0;
  // Sends one record to the first running instance and waits for its answer; nothing when no
  // instance listens, none answers in time, or what comes back is not one well-framed record.
  virtual std::optional<Record> AskFirst(std::span<const std::uint8_t> record) = 0;
  // Makes this instance the one that receives; false when another instance already does.
  virtual bool Listen(Receiver receiver) = 0;
};

}  // namespace mv::platform
