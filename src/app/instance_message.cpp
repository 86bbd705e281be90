#include "app/instance_message.h"

#include <algorithm>

#include "core/byte_order.h"
#include "core/check_value.h"
#include "core/short_text.h"

namespace mv {
namespace {

constexpr std::int32_t kContentCode = 1;
constexpr std::size_t kContentSize = kInstanceHeaderSize - ChunkHeader::kSize;  // 96

// Fields of the header.
constexpr std::size_t kSequence = 32;
constexpr std::size_t kArgument = 36;
constexpr std::size_t kSession = 44;
constexpr std::size_t kSenderWindow = 52;
constexpr std::size_t kTargetWindow = 60;
constexpr std::size_t kCode = 68;
constexpr std::size_t kPayloadSize = 70;
constexpr std::size_t kRequester = 83;
constexpr std::size_t kRequesterCapacity = 44;  // 83 + 1 + 44 = 128
static_assert(kPayloadSize + 2 <= kInstanceHeaderSize);

// Fields of the session information.
constexpr std::size_t kInfoStarted = 0;
constexpr std::size_t kInfoProgram = 8;        // short text 50
constexpr std::size_t kInfoProgramTime = 59;
constexpr std::size_t kInfoProgramPath = 67;   // short text 150
constexpr std::size_t kInfoDataFolder = 218;   // short text 150
constexpr std::size_t kInfoArgument = 369;
static_assert(kInfoArgument + 2 == kSessionInfoPayload);

std::optional<std::size_t> PayloadSizeFor(std::int16_t code) {
  switch (code) {
    case static_cast<std::int16_t>(InstanceCode::Terminate):
    case static_cast<std::int16_t>(InstanceCode::AskSession):
      return std::nullopt;  // any
    case static_cast<std::int16_t>(InstanceCode::SessionInfo):
      return kSessionInfoPayload;
    case static_cast<std::int16_t>(InstanceCode::OpenFile):
      return kOpenFilePayload;
    default:
      return std::nullopt;
  }
}

}  // namespace

std::string EncodeInstanceMessage(const InstanceMessage& message) {
  std::string out(kInstanceHeaderSize, '\0');
  PutI32(out, kSequence, message.sequence);
  PutI32(out, kArgument, message.argument);
  PutI32(out, kSession, message.session);
  PutI32(out, kSenderWindow, message.senderWindow);
  PutI32(out, kTargetWindow, message.targetWindow);
  PutI16(out, kCode, static_cast<std::int16_t>(message.code));
  if (message.code == InstanceCode::Terminate) PutShortText(out, kRequester, message.requester, kRequesterCapacity);
  const std::size_t size = std::min<std::size_t>(message.payload.size(), 0x7FFF);
  PutI16(out, kPayloadSize, static_cast<std::int16_t>(size));
  ChunkHeader header;
  header.contentCode = kContentCode;
  header.contentSize = static_cast<std::int32_t>(kContentSize);
  header.check = CheckValue(std::string_view(out).substr(ChunkHeader::kSize));
  const std::string chunk = header.Encode();
  out.replace(0, chunk.size(), chunk);
  return out + message.payload.substr(0, size);
}

std::optional<InstanceMessage> DecodeInstanceMessage(std::string_view bytes) {
  ChunkHeader header;
  if (bytes.size() < kInstanceHeaderSize || !ChunkHeader::Decode(bytes, header) || header.contentCode != kContentCode) {
    return std::nullopt;
  }
  const std::int16_t code = GetI16(bytes, kCode);
  const std::int16_t size = GetI16(bytes, kPayloadSize);
  if (code < 1 || code > 4 || size < 0 || kInstanceHeaderSize + static_cast<std::size_t>(size) > bytes.size()) {
    return std::nullopt;
  }
  if (const auto needed = PayloadSizeFor(code); needed && *needed != static_cast<std::size_t>(size)) return std::nullopt;
  InstanceMessage message;
  message.sequence = GetI32(bytes, kSequence);
  message.argument = GetI32(bytes, kArgument);
  message.session = GetI32(bytes, kSession);
  message.senderWindow = GetI32(bytes, kSenderWindow);
  message.targetWindow = GetI32(bytes, kTargetWindow);
  message.code = static_cast<InstanceCode>(code);
  if (message.code == InstanceCode::Terminate) message.requester = GetShortText(bytes, kRequester, kRequesterCapacity);
  message.payload = std::string(bytes.substr(kInstanceHeaderSize, static_cast<std::size_t>(size)));
  return message;
}

InstanceMessage OpenFileMessage(std::string_view fileName) {
  InstanceMessage message;
  message.code = InstanceCode::OpenFile;
  message.payload.assign(kOpenFilePayload, '\0');
  PutShortText(message.payload, 0, fileName, kOpenFilePayload - 1);
  return message;
}

std::optional<std::string> OpenFileName(const InstanceMessage& message) {
  if (message.code != InstanceCode::OpenFile || message.payload.size() != kOpenFilePayload) return std::nullopt;
  return GetShortText(message.payload, 0, kOpenFilePayload - 1);
}

InstanceMessage SessionInfoMessage(const InstanceSessionInfo& info) {
  InstanceMessage message;
  message.code = InstanceCode::SessionInfo;
  message.payload.assign(kSessionInfoPayload, '\0');
  std::string& p = message.payload;
  PutF64(p, kInfoStarted, info.started);
  PutShortText(p, kInfoProgram, info.program, 50);
  PutF64(p, kInfoProgramTime, info.programFileTime);
  PutShortText(p, kInfoProgramPath, info.programPath, 150);
  PutShortText(p, kInfoDataFolder, info.dataFolder, 150);
  PutI16(p, kInfoArgument, info.argument);
  return message;
}

std::optional<InstanceSessionInfo> SessionInfoOf(const InstanceMessage& message) {
  if (message.code != InstanceCode::SessionInfo || message.payload.size() != kSessionInfoPayload) return std::nullopt;
  const std::string_view p = message.payload;
  InstanceSessionInfo info;
  info.started = GetF64(p, kInfoStarted);
  info.program = GetShortText(p, kInfoProgram, 50);
  info.programFileTime = GetF64(p, kInfoProgramTime);
  info.programPath = GetShortText(p, kInfoProgramPath, 150);
  info.dataFolder = GetShortText(p, kInfoDataFolder, 150);
  info.argument = GetI16(p, kInfoArgument);
  return info;
}

}  // namespace mv
