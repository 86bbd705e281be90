#include "platform/instance_frame_reader.h"

namespace mv::platform {
namespace {

std::size_t ReadLength(const std::uint8_t* p) {
  return static_cast<std::size_t>(p[0]) | static_cast<std::size_t>(p[1]) << 8 |
         static_cast<std::size_t>(p[2]) << 16 | static_cast<std::size_t>(p[3]) << 24;
}

}  // namespace

std::vector<std::uint8_t> FrameInstanceRecord(std::span<const std::uint8_t> record) {
  if (record.empty() || record.size() > kMaxInstanceRecord) return {};
  std::vector<std::uint8_t> frame;
  frame.reserve(kInstanceLengthSize + record.size());
  for (std::size_t i = 0; i < kInstanceLengthSize; ++i) {
    frame.push_back(static_cast<std::uint8_t>(record.size() >> (8 * i)));
  }
  frame.insert(frame.end(), record.begin(), record.end());
  return frame;
}

bool InstanceFrameReader::Feed(std::span<const std::uint8_t> bytes) {
  if (m_broken) return false;
  m_partial.insert(m_partial.end(), bytes.begin(), bytes.end());
  // Cut out every complete record, then drop the consumed bytes in one step, so a chunk with
  // many records costs one pass.
  std::size_t offset = 0;
  while (m_partial.size() - offset >= kInstanceLengthSize) {
    const std::size_t length = ReadLength(m_partial.data() + offset);
    if (length == 0 || length > kMaxInstanceRecord) {
      // Whatever else came on this connection is not trusted either.
      m_broken = true;
      m_partial = {};
      m_ready.clear();
      return false;
    }
    if (m_partial.size() - offset - kInstanceLengthSize < length) break;
    const auto begin = m_partial.begin() + static_cast<std::ptrdiff_t>(offset + kInstanceLengthSize);
    m_ready.emplace_back(begin, begin + static_cast<std::ptrdiff_t>(length));
    offset += kInstanceLengthSize + length;
  }
  m_partial.erase(m_partial.begin(), m_partial.begin() + static_cast<std::ptrdiff_t>(offset));
  return true;
}

std::optional<std::vector<std::uint8_t>> InstanceFrameReader::Next() {
  if (m_ready.empty()) return std::nullopt;
  std::vector<std::uint8_t> record = std::move(m_ready.front());
  m_ready.pop_front();
  return record;
}

}  // namespace mv::platform
