#pragma once
// The list of gauges (measuring instruments that can pass their readings to the computer),
// kept in "gages.ggs" in the application folder.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

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

// "Без подключения" / "Беспроводное" / "Проводное"; "" for an unknown type.
std::string ConnectionTypeText(std::uint8_t type);
// "По нажатию кнопки" / "Автоматически"; "" for an unknown start.
std::string TransmissionStartText(std::uint8_t start);

// The transmission formats a gauge may send its readings in, by position 0..6.
struct TransmissionFormat {
  std::int16_t code;
  const char* text;
};
std::span<const TransmissionFormat> TransmissionFormats();
// The format's position in the table; a code not in it counts as position 1.
int TransmissionFormatPosition(std::int16_t code);
// The code at a position; a position outside the table gives code 1.
std::int16_t TransmissionFormatCode(int position);

// Every field of a gauge as an editor hands it over.
struct GageFields {
  std::string name{};
  std::string fullName{};
  std::int16_t format = 1;
  std::uint8_t start = 1;
  std::uint8_t connectionType = static_cast<std::uint8_t>(GageConnection::Wireless);
  ValueRange range{};
  std::uint8_t decimals = 0;
  std::string unit{};
  std::string note{};
  std::string serialNumber{};
  std::string deviceId{};
};
// The fields of a gauge.
GageFields GageFieldsOf(const TGage& gage);
// Assigns every field; the start, format and device identifier only for a connected gauge
// (an unconnected one keeps what it had, unused).
void SetGage(TGage& gage, const GageFields& fields);
// True when SetGage would change nothing: names, serial number, note, unit, decimals, range
// (ValueRange::SameAs) and connection type equal, and for a connected gauge also the start,
// format and device identifier.
bool SameGage(const TGage& gage, const GageFields& fields);
// The connection type's text, for a connected gauge followed by the start in small letters:
// "Беспроводное (автоматически)".
std::string ConnectionText(const TGage& gage);
// "от 0 до 25" (each bound only when present), with withUnit followed by a blank and the unit
// when a bound is present and the unit is not empty.
std::string RangeText(const TGage& gage, bool withUnit);

// The gauge file's name in the application folder.
inline constexpr const char* kGageFileName = "gages.ggs";

}  // namespace mv
