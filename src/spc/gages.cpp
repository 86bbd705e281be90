#include "spc/gages.h"

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

}  // namespace

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
