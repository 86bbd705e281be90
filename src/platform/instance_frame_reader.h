#pragma once
// The framing of instance records on a local socket: a 4-byte little-endian length, then that
// many bytes. The receiving side reads bytes from whoever connected, so every length is checked
// before anything is kept. Plain C++ (no Qt), so it can be tested and fuzzed on its own.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

namespace mv::platform {

inline constexpr std::size_t kInstanceLengthSize = 4;
// Instance records are a 128-byte header and a short payload; anything longer is refused.
inline constexpr std::size_t kMaxInstanceRecord = 65536;

// The bytes to send for one record; empty when the record is empty or longer than
// kMaxInstanceRecord.
std::vector<std::uint8_t> FrameInstanceRecord(std::span<const std::uint8_t> record);

// Collects the bytes of one connection as they arrive, in pieces of any size, and cuts them
// into records.
class InstanceFrameReader {
 public:
  // False when the stream is broken: a length of 0 or above kMaxInstanceRecord. A broken reader
  // forgets the records not yet taken and takes nothing more; the caller drops the connection.
  [[nodiscard]] bool Feed(std::span<const std::uint8_t> bytes);
  // The next complete record, in the order sent; nothing when none is complete yet.
  std::optional<std::vector<std::uint8_t>> Next();
  bool Broken() const { return m_broken; }

 private:
  std::vector<std::uint8_t> m_partial;  // the start of a record not yet complete
  std::deque<std::vector<std::uint8_t>> m_ready;
  bool m_broken = false;
};

}  // namespace mv::platform
