#pragma once
// What the editors of a dataset's parameters, blocks, scales and classes do, without their
// windows: the form an editor opens with, the field that a refusal puts the focus on, and OK
// with its checks (spc/editor_checks.h), its change of the dataset, its log line and the
// recently typed lists. The dialogs hold one of these objects, fill its form from their fields
// and forward OK to it.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "spc/dataset_spc.h"
#include "spc/editor_checks.h"
#include "spc/scale_list.h"

namespace mv {

class ConfigFile;

// The fields of the editors that a refusal can put the focus on.
enum class EditorField : std::uint8_t {
  None = 0,
  Name,
  ShortName,
  Unit,
  Decimals,
  Scale,
  Class,
  Note,
  DefaultValue,
  Lsl,
  Usl,
  Nominal,
  Lrl,
  Url,
  Base,
  MinPossible,
  MaxPossible,
  Ppm,
  Frequency,
  SampleSize,
};

// The quantitative parameter editor's text fields in the order they are shown and travelled
// with Tab (the switches and lists sit between them in the window).
inline constexpr std::array<EditorField, 16> kVarParameterFieldOrder{
    EditorField::Name,         EditorField::ShortName, EditorField::Unit,    EditorField::Decimals,
    EditorField::Scale,        EditorField::Class,     EditorField::Note,    EditorField::DefaultValue,
    EditorField::Lsl,          EditorField::Usl,       EditorField::Nominal, EditorField::Lrl,
    EditorField::Url,          EditorField::Base,      EditorField::MaxPossible, EditorField::MinPossible,
};

// The field whose check gave `message` (a message of CheckVarParameter, CheckAltParameter or
// CheckBlock, or a refusal to write); None for a message of no single field.
EditorField FieldOfMessage(std::string_view message, std::string_view typedName = {},
                           std::string_view typedShortName = {});

// A stored value as a field shows it: with the parameter's decimals when they show it exactly,
// else with as many digits as it needs.
std::string ValueFieldText(double value, std::uint8_t decimals);

// The forms an editor opens with.
ParameterForm VarFormOf(const TSPCParameter& parameter);
AltParameterForm AltFormOf(const TSPCParameter& parameter);
BlockForm BlockFormOf(const TSPCBlock& block);
// A new block: dates and times, no protection, sample data of any size, and the sampling
// frequency of the last block of its kind.
BlockForm NewBlockForm(const TDatasetSPC& ds, DataKind kind);

// "Add block 3 [<log text>]" or "Change block ...".
std::string BlockLogLine(bool added, int position, const TSPCBlock& block);

// What OK gave: the refusal shown and the field it concerns, or success.
struct EditorOutcome {
  std::string message;  // empty: accepted
  EditorField field = EditorField::None;
  bool Ok() const { return message.empty(); }
};

// --- parameters (both kinds) ---

class ParameterEditor {
 public:
  // position 0 edits a new parameter of `kind`, added on OK. config: the recently typed lists
  // (nullptr: none). Works on copies of the scale and class lists, stored on OK.
  ParameterEditor(TDatasetSPC& ds, DataKind kind, int position, ConfigFile* config);

  DataKind Kind() const { return m_kind; }
  bool IsNew() const { return m_position == 0; }
  int Position() const { return m_position; }  // after a new parameter's OK, its position
  // "Новый количественный параметр", "Количественный параметр 2 (из 3)" and the like.
  std::string Title() const;

  ParameterForm form;        // the quantitative editor
  AltParameterForm altForm;  // the alternative editor
  ScaleList scales;
  ParamClassList classes;

  // The nominal button: the middle of the tolerance into form.nominal, or the refusal shown.
  EditorOutcome SetNominalToMiddle();
  // The unit a scale gives its parameters ("" for none or no such scale).
  std::string ScaleUnit(std::int32_t scaleId) const;
  // How values of the form are entered: TSPCParameter::RelativeText of the form's relative
  // switches, base and multiplier (a base that does not parse counts as none).
  std::string RelativeText() const;

  // Deletes a scale or a class from the lists after the question (true when deleted). The form
  // loses it when it had chosen it; parameters that use it lose it with the parameter's OK.
  bool DeleteScale(int position);
  bool DeleteClass(int position);

  // OK: checks the form of the editor's kind and shows the first refusal; otherwise stores the
  // parameter (a new one only now), logs, puts the typed texts into the recently typed lists,
  // renews the tolerance marks, filters and statistics, and marks the dataset changed when
  // anything changed.
  EditorOutcome Accept();
  bool Changed() const { return m_changed; }

 private:
  bool StoreLists();

  TDatasetSPC& m_ds;
  DataKind m_kind;
  int m_position;
  ConfigFile* m_config;
  bool m_changed = false;
};

// --- blocks ---

class BlockEditor {
 public:
  // position 0 edits a new block of `kind`, added on OK.
  BlockEditor(TDatasetSPC& ds, DataKind kind, int position, ConfigFile* config);

  bool IsNew() const { return m_position == 0; }
  int Position() const { return m_position; }
  std::string Title() const;

  BlockForm form;

  EditorOutcome Accept();
  bool Changed() const { return m_changed; }

 private:
  TDatasetSPC& m_ds;
  int m_position;
  ConfigFile* m_config;
  bool m_changed = false;
};

// --- scales and classes (the parameter editor's lists) ---

class ScaleEditor {
 public:
  // position 0 adds a scale on OK.
  ScaleEditor(ScaleList& scales, int position);
  std::string Title() const;
  std::string name;
  std::string unit;
  EditorOutcome Accept();
  int Position() const { return m_position; }

 private:
  ScaleList& m_scales;
  int m_position;
};

class ClassEditor {
 public:
  ClassEditor(ParamClassList& classes, int position);
  std::string Title() const;
  std::string name;
  std::string note;
  EditorOutcome Accept();
  int Position() const { return m_position; }

 private:
  ParamClassList& m_classes;
  int m_position;
};

}  // namespace mv
