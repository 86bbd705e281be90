#pragma once
// Messages between running instances of the program: a 128-byte header and a payload.
//
//   0 chunk header ("[UDB" ... "]", content code 1, content size 96)
//   32 sender's message number  36 argument  44 sender's run number  52 sender's window
//   60 target's window  68 message code (i16)  70 payload size (i16)  72..127 reserved, but
//   a request to terminate names its requester at 83 (short text of 44)
//
// Codes: 1 terminate, 2 ask for the session's information, 3 the session's information
// (371-byte payload), 4 open a file (256-byte payload: the full file name as a short text).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace mv {

enum class InstanceCode : std::int16_t { Terminate = 1, AskSession = 2, SessionInfo = 3, OpenFile = 4 };

inline constexpr std::size_t kInstanceHeaderSize = 128;
inline constexpr std::size_t kSessionInfoPayload = 371;
inline constexpr std::size_t kOpenFilePayload = 256;

struct InstanceMessage {
  std::int32_t sequence = 0;
  std::int32_t argument = 0;
  std::int32_t session = 0;
  std::int32_t senderWindow = 0;
  std::int32_t targetWindow = 0;
  InstanceCode code = InstanceCode::Terminate;
  std::string requester;  // who asks a code-1 message (header offset 83, at most 44 characters)
  std::string payload;  // bytes
};

// What an instance tells about itself (code 3).
struct InstanceSessionInfo {
  TDateTime started = 0;
  std::string program;        // name and version, at most 50 characters
  TDateTime programFileTime = 0;
  std::string programPath;    // at most 150
  std::string dataFolder;     // at most 150
  std::int16_t argument = 0;
};

std::string EncodeInstanceMessage(const InstanceMessage& message);

// The message in the bytes, or nothing when they are to be ignored: fewer than 128 bytes, a
// header without "[UDB", the closing "]" or content code 1, an unknown code, a payload size
// that is negative, larger than what arrived, or not the size its code needs.
std::optional<InstanceMessage> DecodeInstanceMessage(std::string_view bytes);

InstanceMessage OpenFileMessage(std::string_view fileName);
// The file name of a code-4 message.
std::optional<std::string> OpenFileName(const InstanceMessage& message);

InstanceMessage SessionInfoMessage(const InstanceSessionInfo& info);
std::optional<InstanceSessionInfo> SessionInfoOf(const InstanceMessage& message);

}  // namespace mv
