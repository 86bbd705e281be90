#include "platform/instance_frame_reader.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace mv {
namespace {

using Bytes = std::vector<std::uint8_t>;
using platform::InstanceFrameReader;
using platform::kMaxInstanceRecord;

Bytes Pattern(std::size_t size, std::uint8_t seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
  return bytes;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

std::vector<Bytes> TakeAll(InstanceFrameReader& reader) {
  std::vector<Bytes> records;
  while (auto record = reader.Next()) records.push_back(std::move(*record));
  return records;
}

TEST(InstanceFrames, FrameIsLittleEndianLengthThenRecord) {
  EXPECT_EQ(platform::FrameInstanceRecord(Bytes{0x41, 0x42, 0x43}), (Bytes{3, 0, 0, 0, 0x41, 0x42, 0x43}));
  const Bytes largest = platform::FrameInstanceRecord(Bytes(kMaxInstanceRecord, 0xEE));
  ASSERT_EQ(largest.size(), 4 + kMaxInstanceRecord);
  EXPECT_EQ(Bytes(largest.begin(), largest.begin() + 4), (Bytes{0x00, 0x00, 0x01, 0x00}));
  EXPECT_TRUE(platform::FrameInstanceRecord(Bytes{}).empty());
  EXPECT_TRUE(platform::FrameInstanceRecord(Bytes(kMaxInstanceRecord + 1, 0)).empty());
}

TEST(InstanceFrames, RecordsComeOutWholeAndInOrderHoweverTheBytesArrive) {
  const std::vector<Bytes> sent = {Pattern(1, 1), Pattern(128, 2), Pattern(kMaxInstanceRecord, 3),
                                   Pattern(200, 4)};
  Bytes stream;
  for (const Bytes& record : sent) {
    const Bytes frame = platform::FrameInstanceRecord(record);
    stream.insert(stream.end(), frame.begin(), frame.end());
  }
  for (const std::size_t piece : {std::size_t{1}, std::size_t{3}, std::size_t{4}, std::size_t{5},
                                  std::size_t{131}, std::size_t{4096}, stream.size()}) {
    SCOPED_TRACE(piece);
    InstanceFrameReader reader;
    std::vector<Bytes> received;
    for (std::size_t at = 0; at < stream.size(); at += piece) {
      const std::size_t size = std::min(piece, stream.size() - at);
      ASSERT_TRUE(reader.Feed(std::span(stream).subspan(at, size)));
      for (Bytes& record : TakeAll(reader)) received.push_back(std::move(record));
    }
    EXPECT_EQ(received, sent);
  }
}

TEST(InstanceFrames, RecordIsHeldBackUntilItsLastByte) {
  const Bytes frame = platform::FrameInstanceRecord(Pattern(kMaxInstanceRecord, 9));
  InstanceFrameReader reader;
  ASSERT_TRUE(reader.Feed(std::span(frame).first(frame.size() - 1)));
  EXPECT_FALSE(reader.Next().has_value());
  ASSERT_TRUE(reader.Feed(std::span(frame).last(1)));
  EXPECT_EQ(reader.Next(), Pattern(kMaxInstanceRecord, 9));
}

TEST(InstanceFrames, BadLengthBreaksTheConnectionForGood) {
  const Bytes good = platform::FrameInstanceRecord(Pattern(10, 5));
  const struct {
    const char* name;
    Bytes length;
  } kCases[] = {
      {"zero", {0, 0, 0, 0}},
      {"one over the limit", {0x01, 0x00, 0x01, 0x00}},
      {"largest", {0xFF, 0xFF, 0xFF, 0xFF}},
      {"sign bit", {0x00, 0x00, 0x00, 0x80}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    InstanceFrameReader reader;
    // A good record, then the bad length in the same piece: nothing of the piece is handed out.
    EXPECT_FALSE(reader.Feed(Concat({good, c.length, Bytes(16, 0x55)})));
    EXPECT_TRUE(reader.Broken());
    EXPECT_FALSE(reader.Next().has_value());
    EXPECT_FALSE(reader.Feed(good));
    EXPECT_FALSE(reader.Next().has_value());
  }
}

}  // namespace
}  // namespace mv
