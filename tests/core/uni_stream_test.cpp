#include "core/uni_stream.h"

#include <gtest/gtest.h>

#include <string>

#include "support/bytes.h"

namespace mv {
namespace {

using test::FromHex;
using test::ToHex;

TEST(UniStream, StringKindsByLength) {
  const struct {
    std::size_t chars;
    std::string header;  // hex of the bytes before the characters
  } kCases[] = {
      {0, "00"},
      {1, "01 01"},
      {255, "01 FF"},
      {256, "04 00 01 00 00"},
      {70000, "04 70 11 01 00"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.chars);
    const std::string text(c.chars, 'x');
    TUniStream out;
    out.WriteStr(text);
    EXPECT_EQ(out.DataString(), FromHex(c.header) + text);
    TUniStream in(out.DataString());
    EXPECT_EQ(in.ReadStr(), text);
    EXPECT_EQ(in.ErrorCode, TUniStream::kOk);
    EXPECT_EQ(in.BytesLeft(), 0u);
  }
}

TEST(UniStream, CyrillicTakesOneBytePerCharacter) {
  TUniStream out;
  out.WriteStr("Ёжик №5");
  EXPECT_EQ(ToHex(out.DataString()), "01 07 A8 E6 E8 EA 20 B9 35");
  TUniStream in(out.DataString());
  EXPECT_EQ(in.ReadStr(), "Ёжик №5");
}

TEST(UniStream, DamagedStringsYieldEmptyWithCode) {
  const struct {
    const char* what;
    std::string bytes;
    std::uint8_t code;
  } kCases[] = {
      {"unknown kind 2", FromHex("02 03 41 42 43"), TUniStream::kBadData},
      {"negative long length", FromHex("04 FF FF FF FF 41"), TUniStream::kBadData},
      {"long length beyond the data", FromHex("04 00 00 00 40 41 42"), TUniStream::kReadError},
      {"short length beyond the data", FromHex("01 05 41 42"), TUniStream::kReadError},
      {"length field cut", FromHex("04 05 00"), TUniStream::kReadError},
      {"nothing at all", "", TUniStream::kReadError},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    TUniStream in(c.bytes);
    EXPECT_EQ(in.ReadStr(), "");
    EXPECT_EQ(in.ErrorCode, c.code);
  }
}

TEST(UniStream, TypedValuesAreLittleEndianAndShortReadsGiveZero) {
  TUniStream out;
  out.WriteByte(0xAB);
  out.WriteBool(true);
  out.WriteWord(-2);
  out.WriteLong(123456789);
  out.WriteID(-1);
  EXPECT_EQ(ToHex(out.DataString()), "AB 01 FE FF 15 CD 5B 07 FF FF FF FF");

  TUniStream in(out.DataString() + FromHex("01 02"));
  EXPECT_EQ(in.ReadByte(), 0xAB);
  EXPECT_TRUE(in.ReadBool());
  EXPECT_EQ(in.ReadWord(), -2);
  EXPECT_EQ(in.ReadLong(), 123456789);
  EXPECT_EQ(in.ReadID(), -1);
  EXPECT_EQ(in.ReadLong(), 0);  // two bytes left, four wanted
  EXPECT_EQ(in.ErrorCode, TUniStream::kReadError);
  EXPECT_EQ(in.ReadByte(), 1);  // the failed read consumed nothing; the code is per operation
  EXPECT_EQ(in.ErrorCode, TUniStream::kOk);
  TUniStream flag(FromHex("07"));
  EXPECT_TRUE(flag.ReadBool());  // any non-zero byte
}

TEST(UniStream, ErrorTexts) {
  const struct {
    std::uint8_t code;
    const char* text;
  } kCases[] = {
      {0, ""},
      {1, "Ошибка записи в поток"},
      {2, "Ошибка чтения из потока"},
      {3, "Неверные данные в потоке"},
      {4, "Неверные параметры функции потока"},
      {77, "Ошибка #77"},
  };
  for (const auto& c : kCases) EXPECT_EQ(TUniStream::ErrorText(c.code), c.text);
}

}  // namespace
}  // namespace mv
