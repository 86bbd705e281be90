#include "app/instance_message.h"

#include <gtest/gtest.h>

#include "core/byte_order.h"
#include "core/check_value.h"
#include "support/bytes.h"

namespace mv {
namespace {

TEST(InstanceMessage, OpenFileRoundTripAndLayout) {
  InstanceMessage message = OpenFileMessage("/d/x.mvl");
  message.sequence = 3;
  message.session = 42;
  message.senderWindow = 1234;
  const std::string bytes = EncodeInstanceMessage(message);
  ASSERT_EQ(bytes.size(), 128u + 256u);
  EXPECT_EQ(bytes.substr(0, 4), "[UDB");
  EXPECT_EQ(bytes[31], ']');
  EXPECT_EQ(GetI32(bytes, 6), 1);    // content code
  EXPECT_EQ(GetI32(bytes, 10), 96);  // content size
  EXPECT_EQ(GetU16(bytes, 14), CheckValue(std::string_view(bytes).substr(32, 96)));
  EXPECT_EQ(GetI32(bytes, 32), 3);
  EXPECT_EQ(GetI32(bytes, 44), 42);
  EXPECT_EQ(GetI16(bytes, 68), 4);
  EXPECT_EQ(GetI16(bytes, 70), 256);
  const auto back = DecodeInstanceMessage(bytes);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->senderWindow, 1234);
  EXPECT_EQ(OpenFileName(*back), "/d/x.mvl");
}

TEST(InstanceMessage, SessionInformationRoundTrip) {
  InstanceSessionInfo info;
  info.started = 45352.5;
  info.program = "Morvalen 0.1.0";
  info.programPath = "/opt/morvalen/morvalen";
  info.dataFolder = "/home/инженер/Samples";
  info.argument = 7;
  const auto back = DecodeInstanceMessage(EncodeInstanceMessage(SessionInfoMessage(info)));
  ASSERT_TRUE(back.has_value());
  const auto read = SessionInfoOf(*back);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->started, 45352.5);
  EXPECT_EQ(read->program, info.program);
  EXPECT_EQ(read->dataFolder, info.dataFolder);
  EXPECT_EQ(read->argument, 7);
  EXPECT_FALSE(OpenFileName(*back).has_value());
}

TEST(InstanceMessage, MalformedMessagesAreIgnored) {
  const std::string good = EncodeInstanceMessage(OpenFileMessage("/d/x.mvl"));
  const auto changed = [&](std::size_t at, std::string_view with) {
    std::string bytes = good;
    bytes.replace(at, with.size(), with);
    return bytes;
  };
  std::string wrongContent = good;
  PutI32(wrongContent, 6, 2);
  std::string bigPayload = good;
  PutI16(bigPayload, 70, 300);
  std::string negativePayload = good;
  PutI16(negativePayload, 70, -1);
  std::string wrongSize = EncodeInstanceMessage(OpenFileMessage("/d/x.mvl"));
  PutI16(wrongSize, 70, 100);
  std::string unknownCode = good;
  PutI16(unknownCode, 68, 9);
  const struct {
    const char* what;
    std::string bytes;
  } kCases[] = {
      {"127 bytes", good.substr(0, 127)},
      {"no [UDB", changed(0, "[UDX")},
      {"no closing mark", changed(31, ")")},
      {"content code 2", wrongContent},
      {"payload beyond what arrived", bigPayload},
      {"negative payload", negativePayload},
      {"payload of the wrong size for its code", wrongSize},
      {"unknown code", unknownCode},
      {"payload cut short", good.substr(0, 200)},
  };
  for (const auto& c : kCases) EXPECT_FALSE(DecodeInstanceMessage(c.bytes).has_value()) << c.what;

  InstanceMessage terminate;
  terminate.code = InstanceCode::Terminate;
  EXPECT_TRUE(DecodeInstanceMessage(EncodeInstanceMessage(terminate)).has_value());
}

}  // namespace
}  // namespace mv
