#include "spc/mef_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "core/cp1251.h"
#include "core/date_time.h"
#include "core/file_error.h"
#include "core/file_routines.h"
#include "core/messages.h"
#include "core/text.h"
#include "platform/log_sink.h"
#include "platform/services.h"
#include "spc/dataset_spc.h"
#include "spc/mef_reader.h"
#include "spc/spc_file.h"
#include "spc/value_parsers.h"

namespace mv {
namespace {

// Fixed text of the largest double with 7 decimals, sign and point.
constexpr std::size_t kNumberBuffer = 400;
// The longest number text the reader takes.
constexpr std::size_t kNumberTextMax = 30;

constexpr std::string_view kCrLf = "\r\n";

// Below this a value times 10^decimals is a whole number of at most 52 bits, the decimals'
// step is wider than the value's spacing, and so a text of those decimals that reads back as
// the value is the correctly rounded one.
constexpr double kFastScaledMax = 4.5e15;
constexpr double kPowersOfTen[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7};

bool ReadsBackAs(const char* text, std::size_t n, double x) {
  double back = 0;
  const auto parsed = std::from_chars(text, text + n, back);
  return n <= kNumberTextMax && parsed.ec == std::errc() && parsed.ptr == text + n && back == x;
}

// The value rounded to `decimals` through a whole number, trailing zeros removed; 0 when that
// does not read back (or the value is too large for it).
std::size_t FormatScaled(double x, int decimals, char* buffer) {
  if (decimals < 0 || decimals > 7) return 0;
  const double scaled = std::nearbyint(x * kPowersOfTen[decimals]);
  if (!(std::fabs(scaled) < kFastScaledMax)) return 0;
  auto whole = static_cast<std::int64_t>(scaled);
  int kept = decimals;
  while (kept > 0 && whole % 10 == 0) {
    whole /= 10;
    --kept;
  }
  char digits[24];
  const std::uint64_t magnitude = whole < 0 ? static_cast<std::uint64_t>(-whole) : static_cast<std::uint64_t>(whole);
  const auto r = std::to_chars(digits, digits + sizeof digits, magnitude);
  std::size_t count = static_cast<std::size_t>(r.ptr - digits);
  std::size_t n = 0;
  if (whole < 0) buffer[n++] = '-';
  const auto fraction = static_cast<std::size_t>(kept);
  if (count <= fraction) {
    buffer[n++] = '0';
    buffer[n++] = '.';
    for (std::size_t i = count; i < fraction; ++i) buffer[n++] = '0';
    for (std::size_t i = 0; i < count; ++i) buffer[n++] = digits[i];
  } else {
    for (std::size_t i = 0; i < count; ++i) {
      if (i == count - fraction) buffer[n++] = '.';
      buffer[n++] = digits[i];
    }
  }
  return ReadsBackAs(buffer, n, x) ? n : 0;
}

std::size_t FormatNumber(double x, int decimals, char* buffer) {
  if (const std::size_t fast = FormatScaled(x, decimals, buffer)) return fast;
  char* const end = buffer + kNumberBuffer;
  auto r = std::to_chars(buffer, end, x, std::chars_format::fixed, decimals);
  std::size_t n = static_cast<std::size_t>(r.ptr - buffer);
  if (decimals > 0) {
    while (buffer[n - 1] == '0') --n;
    if (buffer[n - 1] == '.') --n;
  }
  if (n == 2 && buffer[0] == '-' && buffer[1] == '0') {
    buffer[0] = '0';
    n = 1;
  }
  if (ReadsBackAs(buffer, n, x)) return n;
  r = std::to_chars(buffer, end, x, std::chars_format::fixed);
  n = static_cast<std::size_t>(r.ptr - buffer);
  if (n <= kNumberTextMax) return n;
  r = std::to_chars(buffer, end, x, std::chars_format::scientific);
  return static_cast<std::size_t>(r.ptr - buffer);
}

// Line breaks (CR LF, CR, LF) as " / ", and tabs as blanks (the reader would widen them to
// the next tab stop).
std::string OneLine(std::string_view text) {
  if (text.find_first_of("\r\n\t") == std::string_view::npos) return std::string(text);
  std::string out;
  out.reserve(text.size() + 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      out += " / ";
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (text[i] == '\t') {
      out.push_back(' ');
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

std::string QuotesToApostrophes(std::string text) {
  for (char& c : text) {
    if (c == '"') c = '\'';
  }
  return text;
}

// The alias a parameter's values are keyed by: its own when the reader takes it back as one
// key (no blank, quote, "=" or ";", at most 15 characters), else "#" and the identifier in
// groups of three digits.
std::string IdentifierAlias(const TSPCParameter& p) {
  const std::int64_t id = p.id;
  const std::string digits = std::to_string(id < 0 ? -id : id);
  std::string out = id < 0 ? "#-" : "#";
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out.push_back('\'');
    out.push_back(digits[i]);
  }
  return out;
}

// An alias the reader takes back as one key (no blank, quote, "=", ";" or "*", at most 15
// characters) and no earlier parameter has: the parameter's own, in upper case as the reader
// gives it; else the identifier alias.
std::string AliasOf(const TSPCParameter& p, const std::vector<std::string>& taken) {
  const std::string_view alias = Trim(p.alias);
  if (!alias.empty() && alias.find_first_of(" \t\"'=;*") == std::string_view::npos &&
      CharCount(alias) <= kMefKeyMax) {
    std::string upper = UpperCase(alias);
    if (std::find(taken.begin(), taken.end(), upper) == taken.end()) return upper;
  }
  return IdentifierAlias(p);
}

class Writer {
 public:
  Writer(std::string& out, MefExportResult& result) : m_out(out), m_result(result) {}

  // Windows-1251 bytes of a UTF-8 text, noting characters the code page lacks.
  std::string Bytes(std::string_view utf8, const std::string& place) {
    if (!FitsCp1251(utf8)) m_result.changes.push_back({place, "characters outside Windows-1251 written as ?"});
    return Utf8ToCp1251(utf8);
  }

  // A line of ASCII or converted bytes, trailing blanks removed.
  void Line(std::string_view bytes) {
    while (!bytes.empty() && bytes.back() == ' ') bytes.remove_suffix(1);
    m_out.append(bytes);
    m_out.append(kCrLf);
  }

  // "* KEY=value" with a value that is not a text (quoted only when it holds a blank).
  void Pair(std::string_view key, std::string_view value) {
    if (value.empty()) return;
    m_out.append("* ");
    m_out.append(key);
    m_out.push_back('=');
    if (value.find(' ') != std::string_view::npos) {
      m_out.push_back('"');
      m_out.append(QuotesToApostrophes(std::string(value)));
      m_out.push_back('"');
    } else {
      m_out.append(value);
    }
    m_out.append(kCrLf);
  }

  // "* KEY="text"": on one line, its double quotes as apostrophes, cut so that the pair fits
  // the continuation line the reader keeps.
  void TextPair(std::string_view key, std::string_view utf8, const std::string& place) {
    std::string text = QuotesToApostrophes(OneLine(utf8));
    if (text.empty()) return;
    // After the "*": a blank, the key, "=" and two quotes.
    const std::size_t room = kMefContinuationMax - key.size() - 4;
    if (CharCount(text) > room) {
      text = CutToChars(text, room);
      m_result.changes.push_back({place, "cut to " + std::to_string(room) + " characters"});
    }
    m_out.append("* ");
    m_out.append(key);
    m_out.append("=\"");
    m_out.append(Bytes(text, place));
    m_out.append("\"");
    m_out.append(kCrLf);
  }

  void NumberPair(std::string_view key, std::optional<double> value, int decimals) {
    if (!value) return;
    Pair(key, MefNumberText(*value, decimals));
  }

  void BoolPair(std::string_view key, bool value) { Pair(key, value ? "Y" : "N"); }

  // A command with a name: in double quotes; in apostrophes when it holds a double quote (and
  // no apostrophe or ";", which apostrophes cannot carry); else its double quotes become
  // apostrophes.
  void NamedCommand(std::string_view words, std::string_view name, const std::string& place) {
    std::string text = OneLine(name);
    char quote = '"';
    if (text.find('"') != std::string::npos) {
      if (text.find_first_of("';") == std::string::npos) {
        quote = '\'';
      } else {
        text = QuotesToApostrophes(std::move(text));
      }
    }
    std::string line(words);
    line.push_back(' ');
    line.push_back(quote);
    line += Bytes(text, place);
    line.push_back(quote);
    Line(line);
  }

 private:
  std::string& m_out;
  MefExportResult& m_result;
};

std::string ParameterPlace(int p, const char* what) { return "parameter " + std::to_string(p) + " " + what; }
std::string BlockPlace(int b, const char* what) { return "block " + std::to_string(b) + " " + what; }

void WriteParameter(Writer& w, const TSPCParameter& p, int position, const std::string& alias) {
  w.NamedCommand("CREATE PARAMETER", p.name, ParameterPlace(position, "name"));
  w.TextPair("SHORTNAME", p.shortName, ParameterPlace(position, "short name"));
  w.Pair("ALIAS", alias);
  w.Pair("DATATYPE", KindCode(p.kind));
  w.BoolPair("NOSKIP", p.HasFlag(param_flag::kNoSkip));
  w.TextPair("NOTE", p.note, ParameterPlace(position, "note"));
  if (p.kind == DataKind::Attr) {
    w.Pair("TYPE", AttrTypeCode(p.Type()));
    return;
  }
  w.TextPair("UNIT", p.unit, ParameterPlace(position, "unit"));
  w.Pair("DECIMALS", std::to_string(p.decimals));
  const int limitDecimals = p.decimals + 2;
  w.NumberPair("LSL", p.Lsl(), limitDecimals);
  w.NumberPair("USL", p.Usl(), limitDecimals);
  w.NumberPair("NOMINAL", p.Nominal(), limitDecimals);
  w.NumberPair("LRL", p.Lrl(), limitDecimals);
  w.NumberPair("URL", p.Url(), limitDecimals);
  w.NumberPair("MINVAL", p.dataLimits.Get(ValueRange::kLower), limitDecimals);
  w.NumberPair("MAXVAL", p.dataLimits.Get(ValueRange::kUpper), limitDecimals);
  w.NumberPair("DEFVAL", p.dataLimits.Get(ValueRange::kTarget), limitDecimals);
  w.NumberPair("BASE", p.Base(), limitDecimals);
  const bool relative = p.HasFlag(param_flag::kRelative);
  if (relative) w.Pair("MUL", MultiplierText(p.multiplierCode));
  w.BoolPair("RELATIVE", relative);
  w.BoolPair("NEGATIVE", p.HasFlag(param_flag::kNegate));
}

void AppendInt(std::string& out, long long n) {
  char buffer[24];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, n);
  out.append(buffer, r.ptr);
}

}  // namespace

std::string MefNumberText(double x, int decimals) {
  if (!std::isfinite(x)) return {};
  char buffer[kNumberBuffer];
  return std::string(buffer, FormatNumber(x, decimals, buffer));
}

std::string BuildMefText(const TDatasetSPC& ds, const MefExportOptions& options, MefExportResult& result) {
  result = MefExportResult{};
  std::string out;
  Writer w(out, result);

  std::string source = "; Источник - " + OneLine(ds.fileName);
  if (ds.formatVersion != 0 && ds.formatVersion < kSpcFileVersion) source += "  [из прежней версии]";
  w.Line(w.Bytes(source, "source file name"));
  w.Line(Utf8ToCp1251("; Экспортировано " + DateTimeText(options.now ? *options.now : Now(), true)));
  w.Line("");
  w.Line("MORVALEN EXCHANGE FORMAT");
  w.Line("VERSION 3");
  w.Line("CODEPAGE 1251");

  w.Line("CREATE DATASET");
  w.TextPair("PROCESS", ds.processName, "dataset process");
  w.TextPair("COMMENT", ds.comment, "dataset comment");
  w.TextPair("RESPONSIBLE", ds.responsible, "dataset responsible");
  w.TextPair("UNIT", ds.department, "dataset unit");
  w.TextPair("DETAIL", ds.detail, "dataset detail");
  w.TextPair("OPERATION", ds.operation, "dataset operation");
  w.TextPair("NOTE", ds.note, "dataset note");

  // Each parameter's "  ALIAS=" as bytes, written before each of its values.
  std::vector<std::string> keys(static_cast<std::size_t>(ds.ParameterCount()) + 1);
  std::vector<int> decimals(keys.size(), 0);
  // The identifier aliases come first: a parameter's own alias may not take another's.
  std::vector<std::string> taken;
  for (int p = 1; p <= ds.ParameterCount(); ++p) taken.push_back(IdentifierAlias(*ds.Parameter(p)));
  for (int p = 1; p <= ds.ParameterCount(); ++p) {
    const TSPCParameter& parameter = *ds.Parameter(p);
    const std::string aliasText = AliasOf(parameter, taken);
    taken.push_back(aliasText);
    const std::string alias = Utf8ToCp1251(aliasText);
    WriteParameter(w, parameter, p, alias);
    keys[static_cast<std::size_t>(p)] = "  " + alias + "=";
    decimals[static_cast<std::size_t>(p)] = parameter.decimals;
    ++result.parameters;
  }

  std::vector<int> blocks = options.blocks;
  if (blocks.empty()) {
    for (int b = 1; b <= ds.BlockCount(); ++b) blocks.push_back(b);
  }
  std::vector<int> ofKind;
  char number[kNumberBuffer];
  for (const int b : blocks) {
    const TSPCBlock* block = ds.Block(b);
    if (block == nullptr) continue;
    ++result.blocks;
    w.NamedCommand("CREATE BLOCK", block->name, BlockPlace(b, "name"));
    w.Pair("DATATYPE", KindCode(block->kind));
    w.TextPair("NOTE", block->note, BlockPlace(b, "note"));
    if (block->fixedSampleSize != 0) w.Pair("SAMPLESIZE", std::to_string(block->fixedSampleSize));
    w.TextPair("SAMPLEFREQ", block->frequency, BlockPlace(b, "frequency"));
    w.Pair("SAMPLEDATE", SampleDatesCode(block->flags));
    const bool attr = block->kind == DataKind::Attr;
    ofKind.clear();
    for (int p = 1; p <= ds.ParameterCount(); ++p) {
      if (ds.Parameter(p)->kind == block->kind) ofKind.push_back(p);
    }
    int s = 0;
    for (const TSPCSample& sample : block->Samples()) {
      ++s;
      ++result.samples;
      out.append(kCrLf);
      out.append("ADD SAMPLE  ; ");
      AppendInt(out, s);
      out.append(kCrLf);
      if ((sample.flags & sample_flag::kHasDate) != 0) w.Pair("DATE", DateText(sample.Date()));
      if ((sample.flags & sample_flag::kHasTime) != 0) {
        const TDateTime time = sample.Time();
        w.Pair("TIME", TimeText(time, DecodeTime(time).second != 0));
      }
      const auto samplePlace = [&](const char* what) {
        return BlockPlace(b, "sample ") + std::to_string(s) + " " + what;
      };
      if (!sample.Note().empty()) w.TextPair("NOTE", sample.Note(), samplePlace("note"));
      if (!sample.Event().empty()) w.TextPair("EVENT", sample.Event(), samplePlace("event"));
      if (attr) w.Pair("SIZE", std::to_string(sample.sampleSize));
      if (!sample.IsActive()) out.append("* ACTIVE=\"N\"\r\n");
      const bool numbered = sample.PointCount() > 1;
      int n = 0;
      for (const TFileSmpPoint point : sample.Points()) {
        ++n;
        ++result.points;
        out.append("ADD POINT");
        for (const int p : ofKind) {
          if (!point.HasValue(p)) continue;
          const double x = point.Value(p);
          if (!std::isfinite(x)) {
            ++result.nonFiniteValues;
            continue;
          }
          out.append(keys[static_cast<std::size_t>(p)]);
          out.append(number, FormatNumber(x, decimals[static_cast<std::size_t>(p)], number));
          ++result.values;
        }
        if (numbered) {
          out.append("  ; ");
          AppendInt(out, n);
        }
        out.append(kCrLf);
      }
    }
  }
  w.Line("END");
  if (result.nonFiniteValues > 0) {
    result.changes.push_back({"values", std::to_string(result.nonFiniteValues) + " not finite, left out"});
  }
  result.size = out.size();
  return out;
}

bool ExportDataset(const TDatasetSPC& ds, const std::string& fileName, const MefExportOptions& options,
                   MefExportResult& result, bool quiet) {
  const std::string bytes = BuildMefText(ds, options, result);
  platform::ILog& log = platform::Current<platform::ILog>();
  for (const MefTextChange& change : result.changes) {
    if (change.change.starts_with("cut")) log.LogLine("Export: " + change.place + " " + change.change, ds.slot);
  }
  int code = 0;
  if (!WriteFileAtomically(fileName, bytes, code)) {
    log.LogError("Export to " + fileName + " failed, code " + std::to_string(code), ds.slot);
    if (!quiet) ShowError("Сбой при записи файла " + fileName, 0, {}, 0, FileErrorText(code));
    return false;
  }
  log.LogLine("Exported to " + fileName + ", " + std::to_string(result.size) + " bt", ds.slot);
  if (!quiet) ShowInfo("Набор данных \"" + ds.fileName + "\" экспортирован в файл " + fileName);
  return true;
}

bool ExportDataset(const TDatasetSPC& ds, const std::string& fileName) {
  MefExportResult result;
  return ExportDataset(ds, fileName, MefExportOptions{}, result, false);
}

}  // namespace mv
