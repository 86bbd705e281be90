#include "analysis/correlation_settings.h"

#include <algorithm>
#include <cmath>

#include "analysis/correlation.h"
#include "core/byte_order.h"
#include "core/text.h"
#include "spc/dataset_spc.h"

namespace mv {
namespace {

constexpr std::size_t kMarker = 0;
constexpr std::size_t kVersionField = 4;
constexpr std::size_t kManualField = 6;
constexpr std::size_t kCriticalField = 7;
constexpr std::size_t kFirstSwitch = 15;  // 7 switches, 15..21
constexpr std::size_t kReportTolerance = 22;
constexpr std::size_t kReportDiagram = 23;
constexpr std::size_t kPictureWidth = 24;
constexpr std::size_t kPictureHeight = 26;
constexpr std::size_t kFonts = 28;
constexpr std::size_t kReserved = kFonts + CorrelationSettings::kFontCount * TFontDescr::kSize;

static_assert(kCriticalField + 8 == kFirstSwitch);
static_assert(kFirstSwitch + 7 == kReportTolerance);
static_assert(kPictureHeight + 2 == kFonts);
static_assert(kReserved == 274 && kReserved <= CorrelationSettings::kRecordSize);
static_assert(CorrelationSettings::kRecordSize == std::tuple_size_v<decltype(DatasetSettingAreas::correlation)>);

constexpr std::string_view kMarkerText = "CRMX";
constexpr std::uint8_t kFontStyleMask = 1 | 2 | 4 | 8;

template <class Settings>
auto Switches(Settings& s) {
  return std::array{&s.inactivePoints, &s.axisLimits, &s.tolerances, &s.toleranceInFull,
                    &s.nominal,        &s.joinPoints, &s.boxPlots};
}

void ReadSwitch(std::string_view r, std::size_t off, bool& value) {
  const std::uint8_t b = GetU8(r, off);
  if (b <= 1) value = b == 1;
}

bool SideValid(std::uint16_t v) {
  return v >= CorrelationSettings::kMinPictureSide && v <= CorrelationSettings::kMaxPictureSide;
}

}  // namespace

std::array<TFontDescr, CorrelationSettings::kFontCount> CorrelationSettings::DefaultCorrelationReportFonts() {
  return NewReportKindFonts();
}

bool CorrelationFontValid(const TFontDescr& font) {
  const std::size_t chars = CharCount(font.name);
  return chars >= 1 && chars <= TFontDescr::kNameMax && font.size >= 1 &&
         font.size <= CorrelationSettings::kMaxFontSize && (font.style & ~kFontStyleMask) == 0;
}

std::string EncodeCorrelationSettings(const CorrelationSettings& s) {
  const CorrelationSettings defaults;
  std::string r(CorrelationSettings::kRecordSize, '\0');
  r.replace(kMarker, kMarkerText.size(), kMarkerText);
  PutU16(r, kVersionField, CorrelationSettings::kVersion);
  PutU8(r, kManualField, s.manualCritical ? 1 : 0);
  PutF64(r, kCriticalField, ManualCriticalValid(s.critical) ? s.critical : defaults.critical);
  std::size_t off = kFirstSwitch;
  for (const bool* b : Switches(s)) PutU8(r, off++, *b ? 1 : 0);
  PutU8(r, kReportTolerance, s.reportTolerance ? 1 : 0);
  PutU8(r, kReportDiagram, s.reportDiagram ? 1 : 0);
  PutU16(r, kPictureWidth, SideValid(s.pictureWidth) ? s.pictureWidth : defaults.pictureWidth);
  PutU16(r, kPictureHeight, SideValid(s.pictureHeight) ? s.pictureHeight : defaults.pictureHeight);
  for (std::size_t i = 0; i < CorrelationSettings::kFontCount; ++i) {
    const TFontDescr& font = CorrelationFontValid(s.reportFonts[i]) ? s.reportFonts[i] : defaults.reportFonts[i];
    r.replace(kFonts + i * TFontDescr::kSize, TFontDescr::kSize, font.Encode());
  }
  return r;
}

CorrelationSettings DecodeCorrelationSettings(std::string_view r) {
  CorrelationSettings s;
  if (r.size() < CorrelationSettings::kRecordSize) return s;
  if (r.substr(kMarker, kMarkerText.size()) != kMarkerText) return s;
  if (GetU16(r, kVersionField) != CorrelationSettings::kVersion) return s;
  ReadSwitch(r, kManualField, s.manualCritical);
  const double critical = GetF64(r, kCriticalField);
  if (ManualCriticalValid(critical)) s.critical = critical;
  std::size_t off = kFirstSwitch;
  for (bool* b : Switches(s)) ReadSwitch(r, off++, *b);
  ReadSwitch(r, kReportTolerance, s.reportTolerance);
  ReadSwitch(r, kReportDiagram, s.reportDiagram);
  if (SideValid(GetU16(r, kPictureWidth))) s.pictureWidth = GetU16(r, kPictureWidth);
  if (SideValid(GetU16(r, kPictureHeight))) s.pictureHeight = GetU16(r, kPictureHeight);
  for (std::size_t i = 0; i < CorrelationSettings::kFontCount; ++i) {
    const std::string_view bytes = r.substr(kFonts + i * TFontDescr::kSize, TFontDescr::kSize);
    TFontDescr font;
    // A name longer than the record holds marks a damaged font, not one to cut.
    if (GetU8(bytes, 0) <= TFontDescr::kNameMax && font.Decode(bytes) && CorrelationFontValid(font)) {
      s.reportFonts[i] = font;
    }
  }
  return s;
}

CorrelationSettings ReadCorrelationSettings(const TDatasetSPC& dataset) {
  const auto& area = dataset.settings.correlation;
  return DecodeCorrelationSettings(std::string_view(reinterpret_cast<const char*>(area.data()), area.size()));
}

bool WriteCorrelationSettings(TDatasetSPC& dataset, const CorrelationSettings& settings) {
  const std::string record = EncodeCorrelationSettings(settings);
  auto& area = dataset.settings.correlation;
  if (std::equal(record.begin(), record.end(), area.begin(), [](char a, std::uint8_t b) {
        return static_cast<std::uint8_t>(a) == b;
      })) {
    return false;
  }
  std::transform(record.begin(), record.end(), area.begin(), [](char c) { return static_cast<std::uint8_t>(c); });
  dataset.Touch();
  return true;
}

}  // namespace mv
