#pragma once
// The settings of the correlation matrix that a dataset keeps ("Настройки корреляционной
// матрицы" and "Настройки отчета о корреляции") and their record in the dataset's 468-byte
// correlation area. The record is ours: a marker, a version and one field per setting, every
// field checked on reading; a field out of its range takes its default, and a record without
// the marker or of another version gives the defaults. The byte that follows the area in the
// file is not ours and stays as read.
//
// Layout (little-endian, offsets in bytes):
//    0  4  marker "CRMX"         4  2  version (1)
//    6  1  critical value by hand (0/1)      7  8  the manual critical value (0.1..0.9)
//   15 .. 21  one byte each (0/1) for the scatter diagram: inactive points, limit values on
//             the axes, tolerances, tolerance in full, nominal, points joined by lines, box plots
//   22  1  report: tolerance column (0/1)   23  1  report: the scatter diagram (0/1)
//   24  2  picture width, 26  2  picture height (200..4000 pixels)
//   28  246  the report fonts: six fonts of 41 bytes one after the other, as the report fonts
//            record lays them (name 1..30 characters, size 1..200, style bits 1, 2, 4, 8); a
//            font out of range takes the default of its place
//  274 .. 467  reserved, written as zeros

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/font_descr.h"

namespace mv {

class TDatasetSPC;

struct CorrelationSettings {
  static constexpr std::size_t kRecordSize = 468;
  static constexpr std::uint16_t kVersion = 1;
  static constexpr std::size_t kFontCount = kReportFontCount;
  static constexpr std::uint16_t kMinPictureSide = 200;
  static constexpr std::uint16_t kMaxPictureSide = 4000;
  static constexpr std::int32_t kMaxFontSize = 200;

  // " Критическое значение коэффициента корреляции ": automatic unless given by hand.
  bool manualCritical = false;  // "Указывается вручную (0.1-0.9)"
  double critical = 0.5;
  // "Диаграмма рассеяния:"
  bool inactivePoints = true;    // "Неактивные точки"
  bool axisLimits = false;       // "Граничные значения на осях"
  bool tolerances = true;        // "Допуски параметров"
  bool toleranceInFull = false;  // "Показывать допуск полностью"
  bool nominal = true;           // "Номинал"
  bool joinPoints = false;       // "Соединение точек линиями"
  bool boxPlots = true;          // by individual values only
  // "Настройки отчета о корреляции"
  bool reportTolerance = true;
  bool reportDiagram = true;
  std::uint16_t pictureWidth = 640;
  std::uint16_t pictureHeight = 480;
  // "Шрифты отчета о корреляции": those a new report kind starts with.
  std::array<TFontDescr, kFontCount> reportFonts = DefaultCorrelationReportFonts();

  static std::array<TFontDescr, kFontCount> DefaultCorrelationReportFonts();

  bool operator==(const CorrelationSettings&) const = default;
};

// A font the record can hold: a name of 1..30 characters, size 1..200, style bits 1..8 only.
bool CorrelationFontValid(const TFontDescr& font);

// The 468-byte record; settings out of range are written as their defaults.
std::string EncodeCorrelationSettings(const CorrelationSettings& settings);
// Fewer than 468 bytes, another marker or version: the defaults. Otherwise each field as read
// when it is within its range, else its default.
CorrelationSettings DecodeCorrelationSettings(std::string_view record);

// The settings as the dataset keeps them.
CorrelationSettings ReadCorrelationSettings(const TDatasetSPC& dataset);
// Stores the settings into the dataset's area; when the record changes, the dataset is marked
// changed and true is returned.
bool WriteCorrelationSettings(TDatasetSPC& dataset, const CorrelationSettings& settings);

}  // namespace mv
