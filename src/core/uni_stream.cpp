#include "core/uni_stream.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "core/cp1251.h"

namespace mv {
namespace {

constexpr std::uint8_t kStrEmpty = 0;
constexpr std::uint8_t kStrShort = 1;
constexpr std::uint8_t kStrLong = 4;

}  // namespace

TUniStream::TUniStream(std::string bytes) : m_data(std::move(bytes)) {}

void TUniStream::Put(const void* bytes, std::size_t n) {
  ErrorCode = kOk;
  if (m_pos == m_data.size()) {
    m_data.append(static_cast<const char*>(bytes), n);
  } else {
    if (m_pos + n > m_data.size()) m_data.resize(m_pos + n);
    std::memcpy(m_data.data() + m_pos, bytes, n);
  }
  m_pos += n;
}

bool TUniStream::Take(void* bytes, std::size_t n) {
  ErrorCode = kOk;
  if (BytesLeft() < n) {
    std::memset(bytes, 0, n);
    ErrorCode = kReadError;
    return false;
  }
  std::memcpy(bytes, m_data.data() + m_pos, n);
  m_pos += n;
  return true;
}

void TUniStream::WriteByte(std::uint8_t value) { Put(&value, 1); }

void TUniStream::WriteBool(bool value) { WriteByte(value ? 1 : 0); }

void TUniStream::WriteWord(std::int16_t value) {
  const auto u = static_cast<std::uint16_t>(value);
  const unsigned char bytes[2] = {static_cast<unsigned char>(u & 0xFF), static_cast<unsigned char>(u >> 8)};
  Put(bytes, 2);
}

void TUniStream::WriteLong(std::int32_t value) {
  const auto u = static_cast<std::uint32_t>(value);
  const unsigned char bytes[4] = {static_cast<unsigned char>(u & 0xFF), static_cast<unsigned char>((u >> 8) & 0xFF),
                                  static_cast<unsigned char>((u >> 16) & 0xFF), static_cast<unsigned char>(u >> 24)};
  Put(bytes, 4);
}

void TUniStream::WriteID(std::int32_t value) { WriteLong(value); }

void TUniStream::WriteStr(std::string_view utf8) {
  const std::string bytes = Utf8ToCp1251(utf8);
  if (bytes.empty()) {
    WriteByte(kStrEmpty);
  } else if (bytes.size() <= 255) {
    WriteByte(kStrShort);
    WriteByte(static_cast<std::uint8_t>(bytes.size()));
    Put(bytes.data(), bytes.size());
  } else {
    WriteByte(kStrLong);
    // Texts in memory never approach 2 GB; the cap keeps the length field honest anyway.
    const std::size_t n = std::min<std::size_t>(bytes.size(), 0x7FFFFFFF);
    WriteLong(static_cast<std::int32_t>(n));
    Put(bytes.data(), n);
  }
}

void TUniStream::WriteBytes(std::string_view bytes) { Put(bytes.data(), bytes.size()); }

std::uint8_t TUniStream::ReadByte() {
  unsigned char b = 0;
  Take(&b, 1);
  return b;
}

bool TUniStream::ReadBool() { return ReadByte() != 0; }

std::int16_t TUniStream::ReadWord() {
  unsigned char b[2] = {0, 0};
  Take(b, 2);
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(b[0] | b[1] << 8));
}

std::uint32_t TUniStream::ReadMarker() {
  unsigned char b[4] = {0, 0, 0, 0};
  Take(b, 4);
  return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
         static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

std::int32_t TUniStream::ReadLong() { return static_cast<std::int32_t>(ReadMarker()); }

std::int32_t TUniStream::ReadID() { return ReadLong(); }

std::string TUniStream::ReadStr() {
  const std::uint8_t kind = ReadByte();
  if (ErrorCode != kOk) return {};
  std::int64_t length = 0;
  switch (kind) {
    case kStrEmpty:
      return {};
    case kStrShort:
      length = ReadByte();
      break;
    case kStrLong:
      length = ReadLong();
      break;
    default:
      ErrorCode = kBadData;
      return {};
  }
  if (ErrorCode != kOk) return {};
  if (length < 0) {
    ErrorCode = kBadData;
    return {};
  }
  if (static_cast<std::uint64_t>(length) > BytesLeft()) {
    ErrorCode = kReadError;
    return {};
  }
  const std::string_view bytes(m_data.data() + m_pos, static_cast<std::size_t>(length));
  m_pos += bytes.size();
  return Cp1251ToUtf8(bytes);
}

void TUniStream::Seek(std::size_t position) { m_pos = std::min(position, m_data.size()); }

std::string TUniStream::ErrorText() const { return ErrorText(ErrorCode); }

std::string TUniStream::ErrorText(std::uint8_t code) {
  switch (code) {
    case kOk:
      return {};
    case kWriteError:
      return "Ошибка записи в поток";
    case kReadError:
      return "Ошибка чтения из потока";
    case kBadData:
      return "Неверные данные в потоке";
    case kBadParams:
      return "Неверные параметры функции потока";
    default:
      return "Ошибка #" + std::to_string(code);
  }
}

}  // namespace mv
