#include "cli/cli_support.h"

#include <algorithm>
#include <ostream>

#include "core/cp1251.h"
#include "core/numbers.h"
#include "core/text.h"
#include "platform/services.h"
#include "spc/sample_filter.h"
#include "spc/spc_file.h"
#include "spc/spc_types.h"

namespace mv::cli {

std::string SafeUtf8(std::string_view text) { return Cp1251ToUtf8(Utf8ToCp1251(text)); }

std::string OneLine(std::string_view text) {
  std::string out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
    const std::string_view line = Trim(text.substr(pos, end - pos));
    if (!line.empty()) {
      // A line that ends its sentence is followed by a blank; any other by ": ".
      if (!out.empty()) out += (out.back() == ':' || out.back() == '.' || out.back() == '!' || out.back() == '?') ? " " : ": ";
      out += line;
    }
    pos = end + 1;
  }
  return SafeUtf8(out);
}

std::string OneLine(std::string_view text, std::string_view details) {
  std::string line = OneLine(text);
  if (!details.empty()) line += " (" + OneLine(details) + ")";
  return line;
}

void WriteOptional(JsonWriter& w, std::string_view key, const std::optional<double>& value) {
  w.Optional(key, value.value_or(0), value.has_value());
}

void WriteTolerance(JsonWriter& w, const TSPCParameter& parameter) {
  w.BeginObject();
  WriteOptional(w, "lsl", parameter.Lsl());
  WriteOptional(w, "usl", parameter.Usl());
  WriteOptional(w, "nominal", parameter.Nominal());
  w.EndObject();
}

MessageCapture::MessageCapture() : m_previous(platform::Install<platform::IMessageWindows>(this)) {}

MessageCapture::~MessageCapture() { platform::Install<platform::IMessageWindows>(m_previous); }

bool MessageCapture::Show(platform::TMsgWinParams& request) {
  m_texts.push_back(request.text);
  request.result = platform::MsgResult::Ok;
  return request.kind != platform::MsgKind::Question;
}

std::string MessageCapture::First(std::string_view fallback) const {
  return OneLine(m_texts.empty() ? fallback : std::string_view(m_texts.front()));
}

// --- the command line ---

bool ParseCommandLine(Args args, std::span<const std::string_view> withValue, std::span<const std::string_view> flags,
                      std::string& positional, const OptionTaker& take, std::string& error) {
  const auto listed = [](std::span<const std::string_view> list, const std::string& arg) {
    return std::find(list.begin(), list.end(), arg) != list.end();
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!arg.starts_with("--")) {
      if (!positional.empty()) {
        error = "unexpected argument '" + SafeUtf8(arg) + "'";
        return false;
      }
      positional = arg;
      continue;
    }
    if (listed(flags, arg)) {
      if (!take(arg, std::string(), error)) return false;
      continue;
    }
    if (!listed(withValue, arg)) {
      error = "unknown option '" + SafeUtf8(arg) + "' (see --help)";
      return false;
    }
    if (i + 1 >= args.size()) {
      error = arg + " needs a value";
      return false;
    }
    if (!take(arg, args[++i], error)) return false;
  }
  return true;
}

bool BadValue(std::string_view option, std::string_view form, std::string_view value, std::string& error) {
  error = std::string(option) + " expects " + std::string(form) + ", got '" + SafeUtf8(value) + "'";
  return false;
}

// --- the data file ---

std::unique_ptr<TDatasetSPC> ReadDataFile(std::string_view command, const std::string& file, std::ostream& err) {
  SpcReadResult read = ReadSpcFile(file);
  if (!read.Ok()) err << command << ": " << OneLine(read.message, read.details) << "\n";
  return std::move(read.dataset);
}

// --- the selection ---

namespace {

// "1,3,7": block positions, no repeats.
bool ParseBlockList(std::string_view text, std::vector<int>& blocks) {
  std::size_t pos = 0;
  for (;;) {
    const std::size_t end = std::min(text.find(',', pos), text.size());
    const auto n = ParseInteger(text.substr(pos, end - pos), 1, kMaxBlocks);
    if (!n || std::find(blocks.begin(), blocks.end(), *n) != blocks.end()) return false;
    blocks.push_back(static_cast<int>(*n));
    if (end == text.size()) return true;
    pos = end + 1;
  }
}

}  // namespace

bool IsSelectionOption(std::string_view option) {
  return std::find(std::begin(kSelectionOptions), std::end(kSelectionOptions), option) != std::end(kSelectionOptions);
}

bool TakeSelectionOption(const std::string& option, const std::string& value, SelectionArgs& a, std::string& error) {
  if (option == "--param") {
    if (Trim(value).empty()) return BadValue(option, "a parameter's name or position", value, error);
    a.param = value;
  } else if (option == "--block" || option == "--blocks") {
    if (!a.blocks.empty()) {
      error = "give the blocks once (--block N or --blocks N,M,...)";
      return false;
    }
    a.oneBlock = option == "--block";
    if (!ParseBlockList(value, a.blocks) || (a.oneBlock && a.blocks.size() != 1)) {
      a.blocks.clear();
      return BadValue(option, a.oneBlock ? "a block position" : "block positions separated by commas", value, error);
    }
  } else {  // --samples
    const std::size_t dash = value.find('-');
    if (a.sampleCheck == SampleRangeCheck::kSelectionDialog) {
      if (dash == std::string::npos) return BadValue(option, "FROM-TO", value, error);
    } else {
      const auto from = dash == std::string::npos ? std::nullopt : ParseInteger(value.substr(0, dash), 1, kMaxSamples);
      const auto to = dash == std::string::npos ? std::nullopt : ParseInteger(value.substr(dash + 1), 1, kMaxSamples);
      if (!from || !to || *from > *to) return BadValue(option, "FROM-TO with 1 <= FROM <= TO", value, error);
    }
    a.samples = std::make_pair(value.substr(0, dash), value.substr(dash + 1));
    a.samplesText = value;
  }
  return true;
}

int FindParameterArg(const TDatasetSPC& ds, std::string_view text) {
  if (const auto n = ParseInteger(text, 1, ds.ParameterCount())) return static_cast<int>(*n);
  const std::string_view name = Trim(text);
  if (name.empty()) return 0;
  // A name goes before a short name that happens to be written the same.
  for (int i = 1; i <= ds.ParameterCount(); ++i) {
    if (SameText(ds.Parameter(i)->name, name)) return i;
  }
  for (int i = 1; i <= ds.ParameterCount(); ++i) {
    if (SameText(ds.Parameter(i)->shortName, name)) return i;
  }
  return 0;
}

std::string NoParameterText(const std::string& file, const std::string& text) {
  return SafeUtf8(file) + " has no parameter '" + SafeUtf8(text) + "'";
}

bool ResolveSelection(const TDatasetSPC& ds, const std::string& file, const TSPCParameter& param,
                      const SelectionArgs& a, SampleSelection& selection, std::string& error) {
  selection = SampleSelection{};
  selection.dataset = &ds;
  selection.blocks = a.blocks;
  if (selection.blocks.empty()) {
    for (int b = 1; b <= ds.BlockCount(); ++b) {
      if (ds.Block(b)->kind == param.kind) selection.blocks.push_back(b);
    }
    if (selection.blocks.empty()) {
      error = SafeUtf8(file) + " has no block of " + KindCode(param.kind) + " data";
      return false;
    }
  }
  for (const int b : selection.blocks) {
    const TSPCBlock* block = ds.Block(b);
    if (!block) {
      error = SafeUtf8(file) + " has no block " + std::to_string(b) + " (it has " + std::to_string(ds.BlockCount()) +
              ")";
      return false;
    }
    if (block->kind != param.kind) {
      error = "block " + std::to_string(b) + " holds " + KindCode(block->kind) + " data, parameter '" +
              SafeUtf8(param.name) + "' is " + KindCode(param.kind);
      return false;
    }
  }
  if (!a.samples) return true;
  const int b = selection.blocks.front();
  const int count = ds.Block(b)->SampleCount();
  const auto range = ParseSampleRange(a.samples->first, a.samples->second, count);
  if (!range) {
    const std::string where = "block " + std::to_string(b) + " has " + std::to_string(count) + " samples";
    error = a.sampleCheck == SampleRangeCheck::kCommandLine
                ? "--samples " + SafeUtf8(a.samplesText) + ": " + where
                : SafeUtf8(kBadSampleRange) + ": '" + SafeUtf8(a.samplesText) + "' (" + where + ")";
    return false;
  }
  selection.wholeBlocks = false;
  selection.from = range->from;
  selection.to = range->to;
  return true;
}

// The records stay as they are, so the output still names the filter that was left aside.
void SwitchFiltersOff(TDatasetSPC& ds) {
  for (int b = 1; b <= ds.BlockCount(); ++b) {
    for (TSPCSample& s : ds.Block(b)->Samples()) {
      for (int p = 1; p <= s.PointCount(); ++p) {
        TFileSmpPoint point = s.Point(p);
        point.SetFlags(static_cast<std::uint16_t>(point.Flags() & ~point_flag::kFiltered));
      }
    }
  }
  ds.ComputeAllStats();
}

void WriteFilterField(JsonWriter& w, const TDatasetSPC& ds, DataKind kind, bool noFilter) {
  const SampleFilter f = ReadFilter(ds, kind);
  w.Key("filter");
  w.BeginObject();
  w.Field("inForce", f.InForce());
  w.Field("applied", f.InForce() && !noFilter);
  w.Field("name", SafeUtf8(FilterName(f)));
  w.Field("description", SafeUtf8(FilterDescription(f)));
  w.EndObject();
}

void WriteNormality(JsonWriter& w, const TNormality& n) {
  w.BeginObject();
  w.Field("computed", n.computed);
  w.Field("enoughData", n.enoughData);
  w.Field("normal", n.normal);
  w.Optional("statistic", n.statistic, n.computed && n.enoughData);
  w.Optional("criticalValue", n.critical, n.computed && n.enoughData);
  w.Field("text", NormalityText(n, Lang::Ru, true));
  w.EndObject();
}

namespace {

void WriteWhisker(JsonWriter& w, std::string_view key, const BoxPlotWhisker& whisker) {
  w.Key(key);
  w.BeginObject();
  w.Field("end", whisker.end);
  w.Field("fence", whisker.fence);
  w.Field("length", whisker.length);
  w.Key("outliers");
  w.BeginArray();
  for (const BoxPlotOutlier& o : whisker.outliers) {
    w.BeginObject();
    w.Field("value", o.value);
    w.Field("count", o.multiplicity);
    w.EndObject();
  }
  w.EndArray();
  w.EndObject();
}

}  // namespace

void WriteBoxPlot(JsonWriter& w, const TBoxPlot& b, int decimals) {
  w.BeginObject();
  w.Field("computed", b.computed);
  w.Field("text", BoxPlotText(b, decimals));
  if (b.computed) {
    w.Field("valueCount", b.count);
    w.Field("mean", b.mean);
    w.Field("q1", b.q1);
    w.Field("median", b.median);
    w.Field("q3", b.q3);
    w.Field("interquartileRange", b.iqr);
    w.Field("outlierCount", b.outlierCount);
    WriteWhisker(w, "lowerWhisker", b.lower);
    WriteWhisker(w, "upperWhisker", b.upper);
  }
  w.EndObject();
}

}  // namespace mv::cli
