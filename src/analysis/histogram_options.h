#pragma once
// The options of the histogram windows ("Настройки гистограмм") and their record in the
// configuration's histogram-options area (821 bytes). The record is ours: a marker, a version
// and one field per option, every field checked on reading; a field that is out of range takes
// its default, and a record without the marker or of another version gives the defaults.
//
// Layout (little-endian, offsets in bytes):
//    0  4  marker "HGOP"          4  2  version (1)
//    6 .. 14  one byte each (0/1): 3D bars, bin numbers, bin counts, bin edges, bar colours,
//             value spectrum, statistics, unique-value count, box plot
//   15  2  box-plot options (bits 1, 2, 4)
//   17 .. 23  one byte each: tolerance in full, LSL/USL, nominal, mean, tolerance centre,
//             normal curve, sigma levels
//   24  1  sigma level k (1..9)
//   25 .. 28  one byte each: levels in full, thick line, tail analysis, keep parameter scale
//   29  2  window width, 31  2  window height (0: automatic; else 200..10000 pixels)
//   33, 34  add the dataset's name, number the histograms
//   35  1  count of statistic indicators (0..32), 36  32  their numbers (1..26)
//   68  251 title: a length byte and 250 characters (Windows-1251)
//  319  251 print header, 570 251 print caption, as the title (version 2; version 1 kept
//           319..820 reserved and reads with empty print texts)

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/box_plot.h"

namespace mv {

struct HistogramOptions {
  static constexpr std::size_t kRecordSize = 821;
  static constexpr std::uint16_t kVersion = 2;
  static constexpr std::size_t kMaxIndicators = 32;
  static constexpr int kIndicatorCount = 26;  // columns of the parameter table, numbered 1..26
  static constexpr std::size_t kTitleMax = 250;
  static constexpr std::uint16_t kMinWindowSide = 200;
  static constexpr std::uint16_t kMaxWindowSide = 10000;
  // The statistic indicators shown until the user chooses: columns 7, 14, 15 and 22.
  static std::vector<std::uint8_t> DefaultIndicators();

  // Column look.
  bool bars3d = false;       // "Трехмерные столбцы"
  bool binNumbers = false;   // "Номера столбцов (интервалов)"
  bool binCounts = true;     // "Количество попаданий в интервалы"
  bool binEdges = false;     // "Границы интервалов"
  bool barColours = true;    // "Цвета столбцов"
  // Elements.
  bool valueSpectrum = true;  // "Спектр значений"
  bool statistics = true;     // "Статистика"
  std::vector<std::uint8_t> indicators = DefaultIndicators();  // σ P, Pp, Ppk, Q
  bool uniqueCount = true;    // "Количество уникальных значений"
  bool boxPlot = false;       // "Усатая диаграмма (Box plot)"
  std::uint16_t boxPlotOptions = box_plot_option::kDefault;
  // Limits and values.
  bool toleranceInFull = true;   // "Показывать допуск полностью"
  bool toleranceLimits = true;   // "Границы допуска (LSL и USL)"
  bool nominal = true;           // "Номинал"
  bool mean = true;              // "Среднее значение"
  bool toleranceCentre = false;  // "Центр допуска"
  // Distribution.
  bool normalCurve = true;    // "Кривая плотности нормального распределения"
  bool sigmaLevels = false;   // "Уровни +/-" k "сигма"
  std::uint8_t sigmaLevel = 3;
  bool levelsInFull = false;  // "Показывать уровни полностью"
  bool thickLine = false;     // "Толстая линия"
  bool tailAnalysis = false;  // "Анализ хвостов распределения (оценка УН)"
  // All histograms.
  bool keepParameterScale = false;  // "Соблюдать масштаб параметров"
  std::uint16_t windowWidth = 0;    // 0: automatic
  std::uint16_t windowHeight = 0;
  // Titles.
  std::string title;             // "Заголовок отдельной гистограммы:", may hold metasymbols
  bool addDatasetName = true;    // "Автоматически добавлять имя набора данных"
  bool numberHistograms = false; // "Указывать порядковые номера гистограмм"
  // Printing ("Печать гистограммы"): the header above the histograms and the caption under them.
  std::string printHeader;
  std::string printCaption;

  bool operator==(const HistogramOptions&) const = default;
};

// The record of the options, kRecordSize bytes.
std::string EncodeHistogramOptions(const HistogramOptions& options);
// Reads a record of any length (a short one is taken as missing): the defaults unless the
// marker and version match; each field outside its range keeps its default.
HistogramOptions DecodeHistogramOptions(std::string_view record);
// The record of the default options: the configuration's default image of the area.
std::string DefaultHistogramOptionsImage();

// "Статистика:  3 показателя" (ь / я / ей).
std::string StatisticsChoiceText(std::size_t indicatorCount);

}  // namespace mv
