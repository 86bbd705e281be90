#include "spc/gages.h"

#include <array>

#include "core/list_item_record.h"
#include "core/text.h"

namespace mv {
namespace {

constexpr char kListMarker[5] = "-GAG";
constexpr char kItemMarker[5] = "[GAG";

// Property codes of a gauge record.
enum : std::uint8_t {
  kPropId = 1,
  kPropName = 2,
  kPropFullName = 3,
  kPropDeviceId = 4,
  kPropSerial = 5,
  kPropNote = 6,
  kPropUnit = 7,
  kPropDecimals = 8,
  kPropRange = 9,
};

const char* ConnectionLogCode(std::uint8_t type) {
  switch (type) {
    case 0: return "None";
    case 1: return "Wireless";
    case 2: return "Wire";
    default: return "?";
  }
}

void WriteTextProperty(TUniStream& stream, std::uint8_t code, const std::string& text) {
  if (text.empty()) return;
  stream.WriteByte(code);
  stream.WriteStr(text);
}

constexpr std::array<TransmissionFormat, 7> kFormats{{
    {0, "<Определяется интерфейсом>"},
    {1, "Data + Enter"},
    {2, "Data + Tab"},
    {3, "Data"},
    {4, "Channel + Tab + Data + Enter"},
    {5, "ID + Tab + Data + Enter"},
    {6, "ID + @ + Data + Enter"},
}};

}  // namespace

std::string ConnectionTypeText(std::uint8_t type) {
  switch (type) {
    case 0: return "Без подключения";
    case 1: return "Беспроводное";
    case 2: return "Проводное";
    default: return {};
  }
}

std::string TransmissionStartText(std::uint8_t start) {
  switch (start) {
    case 1: return "По нажатию кнопки";
    case 2: return "Автоматически";
    default: return {};
  }
}

std::span<const TransmissionFormat> TransmissionFormats() { return kFormats; }

int TransmissionFormatPosition(std::int16_t code) {
  for (std::size_t i = 0; i < kFormats.size(); ++i) {
    if (kFormats[i].code == code) return static_cast<int>(i);
  }
  return 1;
}

std::int16_t TransmissionFormatCode(int position) {
  if (position < 0 || position >= static_cast<int>(kFormats.size())) return 1;
  return kFormats[static_cast<std::size_t>(position)].code;
}

GageFields GageFieldsOf(const TGage& gage) {
  return GageFields{gage.name,  gage.fullName, gage.transmissionFormat, gage.transmissionStart,
                    gage.connectionType, gage.range, gage.decimals, gage.unit, gage.note,
                    gage.serialNumber, gage.deviceId};
}

void SetGage(TGage& gage, const GageFields& fields) {
  gage.name = fields.name;
  gage.fullName = fields.fullName;
  gage.connectionType = fields.connectionType;
  gage.range = fields.range;
  gage.decimals = fields.decimals;
  gage.unit = fields.unit;
  gage.note = fields.note;
  gage.serialNumber = fields.serialNumber;
  if (fields.connectionType != 0) {
    gage.transmissionStart = fields.start;
    gage.transmissionFormat = fields.format;
    gage.deviceId = fields.deviceId;
  }
}

bool SameGage(const TGage& gage, const GageFields& fields) {
  if (gage.name != fields.name || gage.fullName != fields.fullName || gage.serialNumber != fields.serialNumber ||
      gage.note != fields.note || gage.unit != fields.unit || gage.decimals != fields.decimals ||
      !gage.range.SameAs(fields.range) || gage.connectionType != fields.connectionType) {
    return false;
  }
  if (fields.connectionType == 0) return true;
  return gage.transmissionStart == fields.start && gage.transmissionFormat == fields.format &&
         gage.deviceId == fields.deviceId;
}

std::string ConnectionText(const TGage& gage) {
  std::string text = ConnectionTypeText(gage.connectionType);
  if (gage.IsConnected()) text += " (" + LowerCase(TransmissionStartText(gage.transmissionStart)) + ")";
  return text;
}

std::string RangeText(const TGage& gage, bool withUnit) {
  std::string text = gage.range.BoundsText();
  const bool bounded = gage.range.Get(ValueRange::kLower) || gage.range.Get(ValueRange::kUpper);
  if (withUnit && bounded && !gage.unit.empty()) text += " " + gage.unit;
  return text;
}

std::string TGage::GetLogDescr(bool detailed) const {
  std::string text = TCoreListItem::GetLogDescr(detailed) + ", conn=" + ConnectionLogCode(connectionType);
  if (IsConnected()) text += ", GID=\"" + deviceId + "\"";
  return text;
}

bool TGage::WriteItem(TUniStream& stream) const {
  WriteItemStart(stream, kItemMarker);
  stream.WriteByte(kPropId);
  stream.WriteID(id);
  stream.WriteByte(kPropName);  // always, even when empty
  stream.WriteStr(name);
  WriteTextProperty(stream, kPropFullName, fullName);
  WriteTextProperty(stream, kPropDeviceId, deviceId);
  WriteTextProperty(stream, kPropSerial, serialNumber);
  WriteTextProperty(stream, kPropNote, note);
  WriteTextProperty(stream, kPropUnit, unit);
  stream.WriteByte(kPropDecimals);
  stream.WriteByte(decimals);
  if (!range.IsEmpty()) WriteTextProperty(stream, kPropRange, range.ToStoredText());
  WriteItemEnd(stream);
  return stream.ErrorCode == TUniStream::kOk;
}

bool TGage::ReadItem(TUniStream& stream, std::uint16_t& errorCode) {
  errorCode = ReadItemRecord(stream, kItemMarker, [&](std::uint8_t code) {
    switch (code) {
      case kPropId: id = stream.ReadID(); return true;
      case kPropName: name = stream.ReadStr(); return true;
      case kPropFullName: fullName = stream.ReadStr(); return true;
      case kPropDeviceId: deviceId = stream.ReadStr(); return true;
      case kPropSerial: serialNumber = stream.ReadStr(); return true;
      case kPropNote: note = stream.ReadStr(); return true;
      case kPropUnit: unit = CutToChars(stream.ReadStr(), kUnitMax); return true;
      case kPropDecimals: decimals = stream.ReadByte(); return true;
      case kPropRange: range.FromStoredText(stream.ReadStr()); return true;
      default: return false;
    }
  });
  return errorCode == kItemOk;
}

TGageSet::TGageSet() : TCoreList(100, 5, 5) {}

std::unique_ptr<TCoreListItem> TGageSet::CreateItem() const { return std::make_unique<TGage>(); }

std::string TGageSet::GetLogDescr(bool) const { return "#gages=" + std::to_string(Count()); }

bool TGageSet::WriteHeader(TUniStream& stream) const {
  WriteListHeader(stream, kListMarker);
  return stream.ErrorCode == TUniStream::kOk;
}

bool TGageSet::ReadHeader(TUniStream& stream) { return ReadListHeader(stream, kListMarker, *this); }

}  // namespace mv
