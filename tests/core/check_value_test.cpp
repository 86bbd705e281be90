#include "core/check_value.h"

#include <gtest/gtest.h>

#include "support/bytes.h"

namespace mv {
namespace {

TEST(CheckValue, KnownValues) {
  EXPECT_EQ(CheckValue(""), 0);
  EXPECT_EQ(CheckValue("abc"), 0xF726);
  EXPECT_EQ(CheckValue("123456789"), 0x2E72);
  EXPECT_EQ(CheckTableEntry(1), 0x1021);
  EXPECT_EQ(CheckTableEntry(2), 0x2042);
  EXPECT_EQ(CheckTableEntry(0x80), 0x9188);
}

TEST(CheckValue, EverySingleByteChangeIsSeen) {
  std::string data(11836, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + 3);
  const std::uint16_t original = CheckValue(data);
  for (std::size_t i = 0; i < data.size(); i += 97) {
    for (int flip : {1, 0x80, 0xFF}) {
      std::string changed = data;
      changed[i] = static_cast<char>(changed[i] ^ flip);
      ASSERT_NE(CheckValue(changed), original) << i << "/" << flip;
    }
  }
}

TEST(ChunkHeader, LayoutAndRoundTrip) {
  ChunkHeader h;
  h.contentCode = 1110;
  h.contentSize = 288;
  h.check = 0xBEEF;
  h.written = 45352.5;
  const std::string bytes = h.Encode();
  ASSERT_EQ(bytes.size(), 32u);
  EXPECT_EQ(bytes.substr(0, 4), "[UDB");
  EXPECT_EQ(test::ToHex(bytes.substr(4, 12)), "01 01 56 04 00 00 20 01 00 00 EF BE");
  EXPECT_EQ(bytes[31], ']');
  ChunkHeader back;
  ASSERT_TRUE(ChunkHeader::Decode(bytes, back));
  EXPECT_EQ(back.contentCode, 1110);
  EXPECT_EQ(back.contentSize, 288);
  EXPECT_EQ(back.check, 0xBEEF);
  EXPECT_EQ(back.written, 45352.5);
  std::string broken = bytes;
  broken[31] = ')';
  EXPECT_FALSE(ChunkHeader::Decode(broken, back));
  EXPECT_FALSE(ChunkHeader::Decode(bytes.substr(0, 31), back));
}

}  // namespace
}  // namespace mv
