#pragma once
// What the editors of a quantitative parameter, an alternative parameter, a block, a scale and
// a class check before they store what the user typed. Each check takes the form as typed and
// gives the first failing message ("" when everything passes) together with the values read
// from it, which the dialog stores only when the message is empty.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "spc/spc_types.h"

namespace mv {

class ScaleList;
class TDatasetSPC;
class TSPCParameter;

// --- quantitative parameter ---

// The quantitative parameter editor as the user left it. Numeric fields are typed numbers
// (ParseTypedNumber); an empty field means the value is absent. Every member of a form has an
// initialiser, so a form may be written with designated initialisers naming only some fields.
struct ParameterForm {
  std::string name{};
  std::string shortName{};  // optional
  std::string note{};
  std::string unit{};
  std::string defaultValue{};
  std::string lsl{};
  std::string usl{};
  std::string nominal{};
  std::string lrl{};
  std::string url{};
  std::string base{};
  std::string minPossible{};
  std::string maxPossible{};
  std::uint8_t decimals = 0;        // 0..5
  std::uint8_t multiplierCode = 0;  // 0..5
  std::int32_t scaleId = 0;
  std::int16_t classId = 0;
  bool tag = false;       // "Параметр является признаком"
  bool relative = false;  // values are entered relative to the base
  bool negate = false;    // "Изменять знак ( + на - )"
  bool noSkip = true;     // values may not be skipped on entry
  bool explain = false;   // an explanation is required outside the tolerance
};

struct ParameterValues {
  std::string name;       // trimmed and cut to TSPCParameter::kNameMax characters
  std::string shortName;  // trimmed and cut to kShortNameMax; empty when not given
  std::optional<double> defaultValue;
  // Always absent for a tag: its tolerance, regulation and base fields are not read.
  std::optional<double> lsl;
  std::optional<double> usl;
  std::optional<double> nominal;
  std::optional<double> lrl;
  std::optional<double> url;
  std::optional<double> base;
  std::optional<double> minPossible;
  std::optional<double> maxPossible;
};

struct ParameterCheck {
  std::string message;  // the first failing check; empty when all pass
  ParameterValues values;
  bool Passed() const { return message.empty(); }
};

// Checks the form in the editor's order and stops at the first failure. `position` is the
// edited parameter's position in the dataset (0 for a new one): its own names do not clash.
ParameterCheck CheckVarParameter(const TDatasetSPC& dataset, int position, const ParameterForm& form);

// Puts the form and its checked values into `target`, which becomes quantitative; identifier,
// order number, creation time, column widths and alias stay. A tag keeps no tolerance,
// regulation limits, base or relative entry. The result is what TDatasetSPC::SetParameter takes.
void StoreVarParameter(const ParameterForm& form, const ParameterValues& values, TSPCParameter& target);

struct NominalResult {
  std::string message;  // empty when the nominal could be set
  std::string nominal;  // (LSL + USL) / 2 with decimals + 1, for the nominal field
};

// "Set the nominal to the middle of the tolerance": needs a valid two-sided tolerance in the
// form's LSL and USL fields.
NominalResult MiddleOfTolerance(const ParameterForm& form);

// "Сбой при записи количественного параметра "<name>"": the dataset refused the parameter.
std::string VarParameterWriteFailure(std::string_view name);

// "Add var parameter 3 [<log text>]", or "Change var parameter ..." for an existing one.
std::string VarParameterLogLine(bool added, int position, const TSPCParameter& parameter);

// --- alternative parameter ---

struct AltParameterForm {
  std::string name{};
  std::string shortName{};  // optional
  std::string note{};
  std::string ppm{};  // the quality limit in PPM, a typed number >= 0; empty: none
  AttrType type = AttrType::Units;
  bool noSkip = true;  // "Запрещено пропускать значения при вводе"
};

struct AltParameterValues {
  std::string name;       // trimmed and cut as for the quantitative parameter
  std::string shortName;
  std::optional<double> qualityLimit;  // a fraction: the PPM divided by one million
};

struct AltParameterCheck {
  std::string message;
  AltParameterValues values;
  bool Passed() const { return message.empty(); }
};

AltParameterCheck CheckAltParameter(const TDatasetSPC& dataset, int position, const AltParameterForm& form);

// Puts the form into `target`, which becomes alternative; the quality limit goes into the
// tolerance's upper bound. Identifier, order number, creation time, widths and alias stay.
void StoreAltParameter(const AltParameterForm& form, const AltParameterValues& values, TSPCParameter& target);

// "Сбой при записи альтернативного параметра "<name>"".
std::string AltParameterWriteFailure(std::string_view name);

// "Add alt parameter 2 [<log text>]", or "Change alt parameter ...".
std::string AltParameterLogLine(bool added, int position, const TSPCParameter& parameter);

// --- block ---

struct BlockForm {
  std::string name{};
  std::string note{};
  std::string frequency{};
  std::string sampleSize{};  // a whole number; empty: 0, samples of any size
  DataKind kind = DataKind::Var;
  SamplingMode mode = SamplingMode::Samples;
  bool dates = true;
  bool times = true;  // only together with dates
  bool protect = false;
  bool protectView = false;
};

struct BlockValues {
  std::string name;  // trimmed and cut to TSPCBlock::kNameMax
  std::uint16_t fixedSampleSize = 0;
  std::uint16_t flags = 0;  // block_flag: times only with dates, kIndividual from the mode
};

struct BlockCheck {
  std::string message;
  BlockValues values;
  bool Passed() const { return message.empty(); }
};

// The largest fixed sample size of an alternative block: a sample's size is a signed 16-bit
// number of units.
inline constexpr std::int64_t kMaxAttrSampleSize = 32767;

// `position` is the edited block's position, 0 when a block is being created.
BlockCheck CheckBlock(const TDatasetSPC& dataset, int position, const BlockForm& form);

// --- scale and class ---

// "" when the name may be stored for the scale at `position` (0 for a new one).
std::string CheckScaleName(const ScaleList& scales, int position, std::string_view name);
std::string CheckClassName(std::string_view name);

}  // namespace mv
