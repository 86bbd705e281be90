// Arbitrary bytes as they come from whoever connects to the instance socket. The first byte
// is the size of the pieces the rest arrives in (0: all at once), so the reader meets every
// way a stream can be split. The reader is checked against a plain reading of the whole
// stream: the same records in the same order, broken exactly in the piece that completes the
// first bad length, and nothing handed out from that piece on.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "platform/instance_frame_reader.h"

namespace {

using mv::platform::InstanceFrameReader;
using mv::platform::kInstanceLengthSize;
using mv::platform::kMaxInstanceRecord;

void Check(bool condition) {
  if (!condition) std::abort();
}

struct Reference {
  struct Record {
    std::size_t begin, end;  // the record's bytes in the stream
  };
  std::vector<Record> records;    // every record whose bytes are all there, in order
  std::size_t badLengthEnd = 0;   // the offset just after the first bad length; 0: none
};

Reference ReadWhole(std::span<const std::uint8_t> stream) {
  Reference ref;
  std::size_t at = 0;
  while (stream.size() - at >= kInstanceLengthSize) {
    std::size_t length = 0;
    for (std::size_t i = 0; i < kInstanceLengthSize; ++i) length |= std::size_t{stream[at + i]} << (8 * i);
    if (length == 0 || length > kMaxInstanceRecord) {
      ref.badLengthEnd = at + kInstanceLengthSize;
      break;
    }
    if (stream.size() - at - kInstanceLengthSize < length) break;
    ref.records.push_back({at + kInstanceLengthSize, at + kInstanceLengthSize + length});
    at += kInstanceLengthSize + length;
  }
  return ref;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t piece = data[0] == 0 ? size : data[0];
  const std::span<const std::uint8_t> stream(data + 1, size - 1);
  const Reference ref = ReadWhole(stream);

  InstanceFrameReader reader;
  std::size_t taken = 0;     // records handed out so far
  std::size_t complete = 0;  // records whose last byte has been fed
  for (std::size_t fed = 0; fed < stream.size();) {
    const std::size_t n = std::min(piece, stream.size() - fed);
    const bool accepted = reader.Feed(stream.subspan(fed, n));
    fed += n;
    const bool broken = ref.badLengthEnd != 0 && fed >= ref.badLengthEnd;
    Check(accepted == !broken);
    Check(reader.Broken() == broken);
    if (broken) {
      // Nothing more, not even the records completed in the same piece as the bad length.
      Check(!reader.Next().has_value());
      Check(!reader.Feed(stream.first(std::min<std::size_t>(stream.size(), 8))));
      Check(!reader.Next().has_value());
      break;
    }
    while (complete < ref.records.size() && ref.records[complete].end <= fed) ++complete;
    while (auto record = reader.Next()) {
      Check(taken < complete);
      const auto& expected = ref.records[taken++];
      const auto begin = stream.begin() + static_cast<std::ptrdiff_t>(expected.begin);
      Check(std::equal(record->begin(), record->end(), begin, stream.begin() + static_cast<std::ptrdiff_t>(expected.end)));
      // Framing the record again gives the bytes it came in.
      const std::vector<std::uint8_t> frame = mv::platform::FrameInstanceRecord(*record);
      Check(std::equal(frame.begin(), frame.end(), begin - static_cast<std::ptrdiff_t>(kInstanceLengthSize)));
    }
    Check(taken == complete);  // every complete record is handed out at once
  }
  return 0;
}
