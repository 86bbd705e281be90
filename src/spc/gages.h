#pragma once
// The list of gauges (measuring instruments that can pass their readings to the computer),
// kept in "gages.ggs" in the application folder.

#include <cstdint>
#include <string>

#include "core/core_list.h"
#include "core/value_range.h"

namespace mv {

// How a gauge is connected.
enum class GageConnection : std::uint8_t { None = 0, Wireless = 1, Wire = 2 };

class TGage : public TCoreListItem {
 public:
  static constexpr std::size_t kUnitMax = 8;

  TGage() = default;

  // `name` is the short name under which the gauge stands in the list.
  std::string fullName;
  std::string deviceId;
  std::string serialNumber;
  std::string note;
  std::string unit;  // at most 8 characters
  std::uint8_t decimals = 0;
  ValueRange range;  // lower = minimum reading, upper = maximum reading
  // Held in memory only; not part of the stream.
  std::uint8_t connectionType = static_cast<std::uint8_t>(GageConnection::Wireless);
  std::uint8_t transmissionStart = 1;
  std::int16_t transmissionFormat = 1;

  std::string ClassName() const override { return "TGage"; }
  // Item text + ", conn=" + None/Wireless/Wire [+ ", GID=\"<device id>\"" when connected].
  std::string GetLogDescr(bool detailed = false) const override;
  bool WriteItem(TUniStream& stream) const override;
  bool ReadItem(TUniStream& stream, std::uint16_t& errorCode) override;

  bool IsConnected() const { return connectionType != 0; }
};

class TGageSet : public TCoreList {
 public:
  TGageSet();

  std::string ClassName() const override { return "TGageSet"; }
  std::string GetLogDescr(bool detailed = false) const override;  // "#gages=" + count
  bool WriteHeader(TUniStream& stream) const override;
  bool ReadHeader(TUniStream& stream) override;

  TGage* Item(int position) const { return ItemAs<TGage>(*this, position); }

 protected:
  std::unique_ptr<TCoreListItem> CreateItem() const override;
};

// The gauge file's name in the application folder.
inline constexpr const char* kGageFileName = "gages.ggs";

}  // namespace mv
