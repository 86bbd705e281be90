#pragma once
// Input profiles: the ways the operator enters measured values (by keyboard or with a gauge).
// The list travels inside the configuration file.

#include <cstdint>
#include <span>
#include <string>

#include "core/core_list.h"

namespace mv {

class TGage;
class TGageSet;
class TSPCParameter;

enum class InputSource : std::uint8_t { Keyboard = 1, Gage = 2 };

// "Клавиатура" / "Средство измерения"; "" for an unknown source.
std::string InputSourceText(std::uint8_t source);
// "Keybd" / "Gage" for the log.
std::string InputSourceLogCode(std::uint8_t source);

class TInputProfile : public TCoreListItem {
 public:
  TInputProfile() = default;

  std::string note;
  std::uint8_t source = static_cast<std::uint8_t>(InputSource::Keyboard);
  std::int32_t gageId = 0;  // 0: none
  std::int16_t reserved16 = 0;
  bool reservedFlag = false;

  std::string ClassName() const override { return "TInputProfile"; }
  // Item text + ", src=" + Keybd/Gage.
  std::string GetLogDescr(bool detailed = false) const override;
  bool WriteItem(TUniStream& stream) const override;
  bool ReadItem(TUniStream& stream, std::uint16_t& errorCode) override;
};

class TInputProfileSet : public TCoreList {
 public:
  TInputProfileSet();

  std::uint16_t currentPosition = 0;
  std::int32_t currentId = 0;

  std::string ClassName() const override { return "TInputProfileSet"; }
  std::string GetLogDescr(bool detailed = false) const override;  // "#iprof=" + count
  bool WriteHeader(TUniStream& stream) const override;
  bool ReadHeader(TUniStream& stream) override;

  TInputProfile* Item(int position) const { return ItemAs<TInputProfile>(*this, position); }

  // Adds the profile every installation starts with: "Обычный", keyboard input.
  bool AddDefaultProfile();
  // Position of the profile with the current identifier, 1 when none has it; also stored.
  std::uint16_t CurrentPosition();
  // An invalid position is replaced by 1; stores the position and that profile's identifier.
  void SetCurrent(int position);

 protected:
  std::unique_ptr<TCoreListItem> CreateItem() const override;
};

// The gauge of a profile that enters values with a gauge (source 2) whose gauge identifier is
// in the list; nullptr otherwise (keyboard profiles keep a gauge identifier they do not use).
TGage* ProfileGage(const TInputProfile& profile, const TGageSet& gages);
// The source's text; with the profile's gauge (ProfileGage) followed by
// " (" + the gauge's name + "; пределы изм. " + its range text with unit + ")".
std::string ProfileText(const TInputProfile& profile, const TGageSet& gages);

// The warning shown while a gauge enters values: "" when the gauge's range has no bound or when
// every present data limit of every parameter lies inside it (bounds inclusive, a missing
// gauge bound does not limit); otherwise the hint naming the first parameter outside it.
std::string GageRangeWarning(const TGage& gage, std::span<const TSPCParameter* const> parameters);

}  // namespace mv
