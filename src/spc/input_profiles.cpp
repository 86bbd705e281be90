#include "spc/input_profiles.h"

#include "core/list_item_record.h"
#include "spc/gages.h"
#include "spc/parameter.h"

namespace mv {
namespace {

constexpr char kListMarker[5] = "-IPS";
constexpr char kItemMarker[5] = "[IPR";

// Property codes of a profile record.
enum : std::uint8_t {
  kPropId = 1,
  kPropName = 2,
  kPropNote = 3,
  kPropSource = 4,
  kPropGage = 5,
  kPropReserved16 = 6,
  kPropReservedFlag = 7,
};

// Property codes of the list header.
enum : std::uint8_t { kHeaderEnd = 0, kHeaderCurrentId = 1 };

}  // namespace

std::string InputSourceText(std::uint8_t source) {
  switch (source) {
    case 1: return "Клавиатура";
    case 2: return "Средство измерения";
    default: return {};
  }
}

std::string InputSourceLogCode(std::uint8_t source) {
  switch (source) {
    case 1: return "Keybd";
    case 2: return "Gage";
    default: return std::to_string(source);
  }
}

std::string TInputProfile::GetLogDescr(bool detailed) const {
  return TCoreListItem::GetLogDescr(detailed) + ", src=" + InputSourceLogCode(source);
}

bool TInputProfile::WriteItem(TUniStream& stream) const {
  WriteItemStart(stream, kItemMarker);
  stream.WriteByte(kPropId);
  stream.WriteID(id);
  stream.WriteByte(kPropName);
  stream.WriteStr(name);
  if (!note.empty()) {
    stream.WriteByte(kPropNote);
    stream.WriteStr(note);
  }
  stream.WriteByte(kPropSource);
  stream.WriteByte(source);
  stream.WriteByte(kPropGage);
  stream.WriteID(gageId);
  stream.WriteByte(kPropReserved16);
  stream.WriteWord(reserved16);
  stream.WriteByte(kPropReservedFlag);
  stream.WriteBool(reservedFlag);
  WriteItemEnd(stream);
  return stream.ErrorCode == TUniStream::kOk;
}

bool TInputProfile::ReadItem(TUniStream& stream, std::uint16_t& errorCode) {
  errorCode = ReadItemRecord(stream, kItemMarker, [&](std::uint8_t code) {
    switch (code) {
      case kPropId: id = stream.ReadID(); return true;
      case kPropName: name = stream.ReadStr(); return true;
      case kPropNote: note = stream.ReadStr(); return true;
      case kPropSource: source = stream.ReadByte(); return true;
      case kPropGage: gageId = stream.ReadID(); return true;
      case kPropReserved16: reserved16 = stream.ReadWord(); return true;
      case kPropReservedFlag: reservedFlag = stream.ReadBool(); return true;
      default: return false;
    }
  });
  return errorCode == kItemOk;
}

TInputProfileSet::TInputProfileSet() : TCoreList(100, 5, 5) {}

std::unique_ptr<TCoreListItem> TInputProfileSet::CreateItem() const { return std::make_unique<TInputProfile>(); }

std::string TInputProfileSet::GetLogDescr(bool) const { return "#iprof=" + std::to_string(Count()); }

bool TInputProfileSet::WriteHeader(TUniStream& stream) const {
  WriteListHeader(stream, kListMarker);
  stream.WriteByte(kHeaderCurrentId);
  stream.WriteID(currentId);
  stream.WriteByte(kHeaderEnd);
  return stream.ErrorCode == TUniStream::kOk;
}

bool TInputProfileSet::ReadHeader(TUniStream& stream) {
  if (!ReadListHeader(stream, kListMarker, *this)) return false;
  for (;;) {
    const std::uint8_t code = stream.ReadByte();
    if (stream.ErrorCode != TUniStream::kOk) return false;
    if (code == kHeaderEnd) return true;
    if (code != kHeaderCurrentId) {
      LastError = "Неизвестный код свойства списка (" + std::to_string(code) + ")";
      return false;
    }
    currentId = stream.ReadID();
    if (stream.ErrorCode != TUniStream::kOk) return false;
  }
}

bool TInputProfileSet::AddDefaultProfile() {
  if (!AddNew()) return false;
  TInputProfile* profile = Item(Count());
  profile->name = "Обычный";
  profile->note = "Ввод с клавиатуры";
  profile->source = static_cast<std::uint8_t>(InputSource::Keyboard);
  profile->gageId = 0;
  return true;
}

std::uint16_t TInputProfileSet::CurrentPosition() {
  const int found = IndexOfID(currentId);
  currentPosition = static_cast<std::uint16_t>(found == 0 ? 1 : found);
  return currentPosition;
}

void TInputProfileSet::SetCurrent(int position) {
  if (!IsValidIndex(position)) position = 1;
  currentPosition = static_cast<std::uint16_t>(position);
  const TCoreListItem* item = GetItem(position);
  currentId = item ? item->id : 0;
}

TGage* ProfileGage(const TInputProfile& profile, const TGageSet& gages) {
  if (profile.source != static_cast<std::uint8_t>(InputSource::Gage)) return nullptr;
  return gages.Item(gages.IndexOfID(profile.gageId));
}

std::string ProfileText(const TInputProfile& profile, const TGageSet& gages) {
  std::string text = InputSourceText(profile.source);
  if (const TGage* gage = ProfileGage(profile, gages)) {
    text += " (" + gage->name + "; пределы изм. " + RangeText(*gage, true) + ")";
  }
  return text;
}

std::string GageRangeWarning(const TGage& gage, std::span<const TSPCParameter* const> parameters) {
  if (!gage.range.Get(ValueRange::kLower) && !gage.range.Get(ValueRange::kUpper)) return {};
  for (const TSPCParameter* parameter : parameters) {
    if (!parameter) continue;
    for (const ValueRange::Slot slot : {ValueRange::kLower, ValueRange::kUpper}) {
      const std::optional<double> limit = parameter->dataLimits.Get(slot);
      if (limit && !gage.range.Contains(*limit)) {
        return " Пределы измерений данного СИ не соответствуют пределам возможных значений некоторых параметров (" +
               parameter->name + ") ";
      }
    }
  }
  return {};
}

}  // namespace mv
