#include "cli/filter_command.h"

#include <ostream>
#include <vector>

#include "cli/cli.h"
#include "core/date_time.h"
#include "core/json_writer.h"
#include "core/numbers.h"
#include "core/text.h"
#include "spc/derived_data.h"
#include "spc/sample_filter.h"
#include "spc/spc_file.h"

namespace mv::cli {
namespace {

// One --condition as typed, with the switches that follow it.
struct ConditionArg {
  std::string text;
  bool matchCase = false;
  bool inactive = false;
};

struct FilterArgs {
  std::string file;
  std::string kindText;
  std::string out;
  std::optional<std::string> name;
  std::optional<bool> active;
  bool clear = false;
  std::vector<ConditionArg> conditions;
  bool Writes() const { return !kindText.empty() || !out.empty(); }
};

bool ParseFilterArgs(Args args, FilterArgs& a, std::string& error) {
  static constexpr std::string_view kWithValue[] = {"--kind", "--out", "--name", "--condition"};
  static constexpr std::string_view kFlags[] = {"--off", "--on", "--clear", "--case", "--inactive"};
  const auto take = [&a](const std::string& option, const std::string& value, std::string& e) {
    if (option == "--kind") {
      if (value != "var" && value != "attr") return BadValue(option, "var or attr", value, e);
      a.kindText = value;
    } else if (option == "--out") {
      a.out = value;
    } else if (option == "--name") {
      a.name = value;
    } else if (option == "--condition") {
      a.conditions.push_back({value});
    } else if (option == "--off" || option == "--on") {
      if (a.active && *a.active != (option == "--on")) {
        e = "--off and --on exclude each other";
        return false;
      }
      a.active = option == "--on";
    } else if (option == "--clear") {
      a.clear = true;
    } else {  // --case, --inactive: for the condition before them
      if (a.conditions.empty()) {
        e = option + " applies to the --condition before it";
        return false;
      }
      (option == "--case" ? a.conditions.back().matchCase : a.conditions.back().inactive) = true;
    }
    return true;
  };
  if (!ParseCommandLine(args, kWithValue, kFlags, a.file, take, error)) return false;
  if (a.file.empty()) {
    error = "expected FILE.mvl";
    return false;
  }
  const bool changes = a.name || a.active || a.clear || !a.conditions.empty();
  if ((changes || a.Writes()) && (a.kindText.empty() || a.out.empty())) {
    error = "changing a filter needs --kind var|attr and --out OUT.mvl";
    return false;
  }
  if (a.conditions.size() > SampleFilter::kMaxConditions) {
    error = "a filter holds at most 5 conditions";
    return false;
  }
  return true;
}

// The property of a condition: a sample property by its code word or its text, else a parameter
// of the filter's kind as --param takes it.
bool TakeProperty(const TDatasetSPC& ds, DataKind kind, std::string_view text, SampleFilterCondition& c,
                  std::string& error) {
  static constexpr struct {
    const char* code;
    const char* name;
    FilterProperty property;
    FilterValueType type;
  } kSampleProperties[] = {
      {"date", "Дата", FilterProperty::Date, FilterValueType::Date},
      {"time", "Время", FilterProperty::Time, FilterValueType::Time},
      {"note", "Примечание", FilterProperty::Note, FilterValueType::Text},
      {"event", "Событие", FilterProperty::Event, FilterValueType::Text},
  };
  for (const auto& p : kSampleProperties) {
    if (SameText(Trim(text), p.code) || SameText(Trim(text), p.name)) {
      c.property = static_cast<std::uint8_t>(p.property);
      c.valueType = static_cast<std::uint8_t>(p.type);
      return true;
    }
  }
  const int position = FindParameterArg(ds, text);
  if (position == 0 || ds.Parameter(position)->kind != kind) {
    error = "the file has no parameter of " + std::string(KindStem(kind)) + "ных данных '" + SafeUtf8(text) +
            "' (date, time, note, event, or a parameter's name, short name or position)";
    return false;
  }
  c.property = static_cast<std::uint8_t>(FilterProperty::Parameter);
  c.valueType = static_cast<std::uint8_t>(FilterValueType::Number);
  c.paramId = ds.Parameter(position)->id;
  c.paramPosition = static_cast<std::uint8_t>(position);
  return true;
}

// "PROPERTY|SYMBOL|VALUE" split at its first two bars. A refusal of the condition window's
// checks gives its message and `refused`.
bool TakeCondition(const TDatasetSPC& ds, DataKind kind, const ConditionArg& arg, SampleFilterCondition& c,
                   std::string& error, bool& refused) {
  const std::string_view text = arg.text;
  const std::size_t bar1 = text.find('|');
  const std::size_t bar2 = bar1 == std::string_view::npos ? bar1 : text.find('|', bar1 + 1);
  if (bar2 == std::string_view::npos) {
    error = "--condition expects 'PROPERTY|SYMBOL|VALUE', got '" + SafeUtf8(text) + "'";
    return false;
  }
  if (!TakeProperty(ds, kind, text.substr(0, bar1), c, error)) return false;
  const std::string_view symbol = Trim(text.substr(bar1 + 1, bar2 - bar1 - 1));
  std::uint8_t code = FilterConditionBySymbol(symbol);
  if (code == 0) {
    if (const auto n = ParseInteger(symbol, 1, filter_cond::kCount)) code = static_cast<std::uint8_t>(*n);
  }
  if (code == 0) {
    error = "--condition: '" + SafeUtf8(symbol) +
            "' is no condition (=, <>, >, >=, <, <=, .., &, !&, @, !@, #, !# or its number 1..13)";
    return false;
  }
  c.condition = code;
  c.matchCase = arg.matchCase && c.valueType == static_cast<std::uint8_t>(FilterValueType::Text);
  c.active = !arg.inactive;
  const ConditionCheck check =
      CheckFilterCondition(c.valueType, code, CutToChars(text.substr(bar2 + 1), SampleFilterCondition::kTextMax));
  if (!check.Ok()) {
    error = check.message;
    refused = true;
    return false;
  }
  c.text = check.text;
  c.valueCount = check.valueCount;
  c.value1 = check.value1;
  c.value2 = check.value2;
  return true;
}

void WriteCondition(JsonWriter& w, const TDatasetSPC& ds, int number, const SampleFilterCondition& c) {
  w.BeginObject();
  w.Field("number", number);
  w.Field("active", c.active);
  w.Field("property", c.property);
  w.Field("propertyText", SafeUtf8(FilterPropertyText(ds, c)));
  w.Optional("parameterPosition", static_cast<int>(c.paramPosition),
             c.property == static_cast<std::uint8_t>(FilterProperty::Parameter));
  w.Field("condition", c.condition);
  const FilterConditionKind* kind = FilterConditionOf(c.condition);
  w.Field("conditionName", kind ? kind->name : "?");
  w.Field("symbol", kind ? kind->symbol : "?");
  w.Field("matchCase", c.matchCase);
  w.Field("text", SafeUtf8(c.text));
  w.Key("values");
  w.BeginArray();
  for (const FilterStoredValue* v : {&c.value1, &c.value2}) {
    if (v == &c.value2 && c.valueCount < 2) break;
    if (c.valueCount == 0) break;
    w.Value(v->value);
  }
  w.EndArray();
  w.EndObject();
}

void WriteFilters(JsonWriter& w, const TDatasetSPC& ds, const std::string& file) {
  w.BeginObject();
  w.Field("file", SafeUtf8(file));
  w.Key("filters");
  w.BeginArray();
  for (const DataKind kind : {DataKind::Var, DataKind::Attr}) {
    const SampleFilter f = ReadFilter(ds, kind);
    w.BeginObject();
    w.Field("kind", KindCode(kind));
    w.Field("active", f.active);
    w.Field("inForce", f.InForce());
    w.Field("name", SafeUtf8(f.name));
    w.Field("filterName", SafeUtf8(FilterName(f)));
    w.Field("description", SafeUtf8(FilterDescription(f)));
    w.Field("changedAt", f.changedAt != 0 ? DateTimeText(f.changedAt, true) : std::string());
    w.Key("conditions");
    w.BeginArray();
    for (std::size_t i = 0; i < f.conditions.size(); ++i) WriteCondition(w, ds, static_cast<int>(i + 1), f.conditions[i]);
    w.EndArray();
    w.Key("blocks");
    w.BeginArray();
    for (const int b : ds.BlockList(kind)) {
      const TSPCBlock& block = *ds.Block(b);
      const FilterMeeting meeting = CountMeeting(block);
      w.BeginObject();
      w.Field("position", b);
      w.Field("name", SafeUtf8(block.name));
      w.Field("samples", block.SampleCount());
      w.Field("points", block.stats.totalPoints);
      w.Field("samplesMeeting", meeting.samples);
      w.Field("pointsMeeting", meeting.points);
      w.EndObject();
    }
    w.EndArray();
    w.EndObject();
  }
  w.EndArray();
  w.EndObject();
  w.Done();
}

}  // namespace

const std::string_view kFilterDetails =
    "      Without --kind prints both sample filters: switch, name, conditions and, per block of\n"
    "      the kind, the samples and points that meet the filter.\n"
    "      With --kind var|attr --out OUT.mvl writes a copy (OUT may be FILE) whose filter of that\n"
    "      kind is changed:\n"
    "        --name TEXT                  the filter's name (trimmed, at most 60 characters)\n"
    "        --off | --on                 switch the filter off or on\n"
    "        --clear                      remove every condition\n"
    "        --condition 'PROP|SYM|VALUE' replaces the old conditions (at most 5, repeatable):\n"
    "                                     PROP date, time, note, event or a parameter of the\n"
    "                                     kind (name, short name or position); SYM =, <>, >, >=,\n"
    "                                     <, <=, .., &, !&, @, !@, #, !# or 1..13; VALUE as typed\n"
    "                                     in the condition window (dd.mm.yyyy, hh:mm, 1..3)\n"
    "        --case                       letter case counts (for the condition before it)\n"
    "        --inactive                   the condition before it is kept but not applied\n"
    "      A condition the condition window would refuse prints its message and writes nothing.\n";

int RunFilter(Args args, std::ostream& out, std::ostream& err) {
  FilterArgs a;
  std::string error;
  if (!ParseFilterArgs(args, a, error)) {
    err << "filter: " << error << "\n";
    return kExitUsage;
  }
  auto dataset = ReadDataFile("filter", a.file, err);
  if (!dataset) return kExitFailed;
  TDatasetSPC& ds = *dataset;
  if (!a.Writes()) {
    JsonWriter w(out);
    WriteFilters(w, ds, a.file);
    return kExitOk;
  }

  const DataKind kind = a.kindText == "var" ? DataKind::Var : DataKind::Attr;
  SampleFilter f = ReadFilter(ds, kind);
  if (a.clear) f.conditions.clear();
  if (!a.conditions.empty()) {
    std::vector<SampleFilterCondition> conditions;
    for (const ConditionArg& arg : a.conditions) {
      SampleFilterCondition c;
      bool refused = false;
      if (!TakeCondition(ds, kind, arg, c, error, refused)) {
        err << "filter: " << error << "\n";
        return refused ? kExitFailed : kExitUsage;
      }
      conditions.push_back(std::move(c));
    }
    f.conditions = std::move(conditions);
  }
  if (a.active) f.active = *a.active;
  if (a.name) f.name = CutToChars(Trim(*a.name), SampleFilter::kNameMax);
  f.changedAt = Now();
  WriteFilter(ds, kind, f);
  RefreshDerivedData(ds);
  if (!WriteSpcFile(ds, a.out, error)) {
    err << "filter: " << OneLine(error) << "\n";
    return kExitFailed;
  }
  JsonWriter w(out);
  WriteFilters(w, ds, a.out);
  return kExitOk;
}

}  // namespace mv::cli
