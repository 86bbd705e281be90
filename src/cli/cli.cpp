#include "cli/cli.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <new>
#include <optional>
#include <ostream>
#include <random>
#include <string_view>

#include "cli/capability_command.h"
#include "cli/correlation_command.h"
#include "cli/chart_command.h"
#include "cli/export_command.h"
#ifdef MV_HAVE_PICTURE
#include "cli/pdf_command.h"
#include "cli/picture_command.h"
#endif
#include "cli/cli_support.h"
#include "cli/filter_command.h"
#include "cli/params_command.h"
#include "cli/samples_command.h"
#include "core/file_error.h"
#include "core/file_routines.h"
#include "core/numbers.h"
#include "core/text.h"
#include "import/csv_table.h"
#include "import/table_dataset.h"
#include "platform/clock.h"
#include "platform/id_source.h"
#include "platform/services.h"
#include "spc/gages.h"
#include "spc/spc_file.h"

namespace mv::cli {
namespace {

struct Command {
  std::string_view name;
  std::string_view usage;
  std::string_view summary;
  int (*run)(Args args, std::ostream& out, std::ostream& err);
  std::string_view details = {};  // further lines of --help, indented as they are
};

int RunGages(Args args, std::ostream& out, std::ostream& err) {
  if (args.size() != 1) {
    err << "gages: expected one file name\n";
    return kExitUsage;
  }
  std::string bytes;
  if (!LoadFileToString(args[0], bytes, true)) {
    err << "gages: cannot read " << args[0] << " (missing, unreadable or larger than " << kMaxFileStringSize
        << " bytes)\n";
    return kExitFailed;
  }
  TGageSet list;
  if (!list.LoadFromString(bytes)) {
    err << "gages: " << args[0] << ": " << list.LastError << "\n";
    return kExitFailed;
  }
  JsonWriter w(out);
  w.BeginObject();
  w.Field("file", SafeUtf8(args[0]));
  w.Field("count", list.Count());
  w.Key("gauges");
  w.BeginArray();
  for (int i = 1; i <= list.Count(); ++i) {
    const TGage& g = *list.Item(i);
    w.BeginObject();
    w.Field("id", g.id);
    w.Field("name", SafeUtf8(g.name));
    w.Field("fullName", SafeUtf8(g.fullName));
    w.Field("serialNumber", SafeUtf8(g.serialNumber));
    w.Field("deviceId", SafeUtf8(g.deviceId));
    w.Field("unit", SafeUtf8(g.unit));
    w.Field("decimals", g.decimals);
    w.Field("note", SafeUtf8(g.note));
    w.Key("range");
    w.BeginObject();
    if (const auto lower = g.range.Get(ValueRange::kLower)) w.Field("min", *lower);
    if (const auto upper = g.range.Get(ValueRange::kUpper)) w.Field("max", *upper);
    w.EndObject();
    w.Field("rangeText", SafeUtf8(g.range.BoundsText()));
    // As the gauge list and the profiles show it: with the unit.
    w.Field("measuringRange", SafeUtf8(RangeText(g, true)));
    w.EndObject();
  }
  w.EndArray();
  w.EndObject();
  w.Done();
  return kExitOk;
}

// --- info ---

void WriteParameter(JsonWriter& w, int position, const TSPCParameter& p) {
  w.BeginObject();
  w.Field("position", position);
  w.Field("kind", KindCode(p.kind));
  w.Field("order", p.position);
  w.Field("name", SafeUtf8(p.name));
  w.Field("shortName", SafeUtf8(p.shortName));
  w.Field("unit", SafeUtf8(p.unit));
  w.Field("decimals", p.decimals);
  if (p.kind == DataKind::Attr) w.Field("attrType", AttrTypeCode(p.Type()));
  w.Key("tolerance");
  WriteTolerance(w, p);
  w.Key("dataLimits");
  w.BeginObject();
  WriteOptional(w, "min", p.dataLimits.Get(ValueRange::kLower));
  WriteOptional(w, "max", p.dataLimits.Get(ValueRange::kUpper));
  WriteOptional(w, "default", p.dataLimits.Get(ValueRange::kTarget));
  w.EndObject();
  w.Key("regulationLimits");
  w.BeginObject();
  WriteOptional(w, "lrl", p.Lrl());
  WriteOptional(w, "url", p.Url());
  w.EndObject();
  w.Field("flags", p.Flags());
  w.Field("flagsHex", HexUpper(p.Flags(), 4) + "h");
  w.EndObject();
}

void WriteBlock(JsonWriter& w, int position, const TSPCBlock& b) {
  w.BeginObject();
  w.Field("position", position);
  w.Field("id", b.id);
  w.Field("name", SafeUtf8(b.name));
  w.Field("kind", KindCode(b.kind));
  w.Field("samplingMode", static_cast<int>(b.mode));
  w.Field("fixedSampleSize", b.fixedSampleSize);
  w.Field("samples", b.SampleCount());
  w.Field("points", b.stats.totalPoints);
  w.Field("activeSamples", b.stats.activeSamples);
  w.Field("period", SafeUtf8(b.PeriodText(1, b.SampleCount())));
  w.EndObject();
}

int RunInfo(Args args, std::ostream& out, std::ostream& err) {
  if (args.size() != 1) {
    err << "info: expected one file name\n";
    return kExitUsage;
  }
  const auto dataset = ReadDataFile("info", args[0], err);
  if (!dataset) return kExitFailed;
  const TDatasetSPC& ds = *dataset;
  int samples = 0;
  int points = 0;
  for (int i = 1; i <= ds.BlockCount(); ++i) {
    samples += ds.Block(i)->SampleCount();
    points += ds.Block(i)->stats.totalPoints;
  }
  JsonWriter w(out);
  w.BeginObject();
  w.Field("file", SafeUtf8(args[0]));
  w.Field("id", ds.id);
  w.Field("example", ds.IsExample());
  w.Field("passwordProtected", ds.passwordHash != 0);
  w.Key("process");
  w.BeginObject();
  w.Field("name", SafeUtf8(ds.processName));
  w.Field("comment", SafeUtf8(ds.comment));
  w.Field("department", SafeUtf8(ds.department));
  w.Field("detail", SafeUtf8(ds.detail));
  w.Field("operation", SafeUtf8(ds.operation));
  w.Field("note", SafeUtf8(ds.note));
  w.Field("responsible", SafeUtf8(ds.responsible));
  w.EndObject();
  w.Key("counts");
  w.BeginObject();
  w.Field("parameters", ds.ParameterCount());
  w.Field("varParameters", ds.CountOfKind(DataKind::Var));
  w.Field("attrParameters", ds.CountOfKind(DataKind::Attr));
  w.Field("blocks", ds.BlockCount());
  w.Field("samples", samples);
  w.Field("points", points);
  w.EndObject();
  w.Key("parameters");
  w.BeginArray();
  for (int i = 1; i <= ds.ParameterCount(); ++i) WriteParameter(w, i, *ds.Parameter(i));
  w.EndArray();
  w.Key("blocks");
  w.BeginArray();
  for (int i = 1; i <= ds.BlockCount(); ++i) WriteBlock(w, i, *ds.Block(i));
  w.EndArray();
  w.EndObject();
  w.Done();
  return kExitOk;
}

#ifndef MV_HAVE_PICTURE
// Printing a report needs the toolkit's layout, which builds without the GUI leave out.
int RunPdf(Args, std::ostream&, std::ostream& err) {
  err << "pdf: this build of morvalen-cli has no GUI and cannot print reports\n";
  return kExitFailed;
}
constexpr std::string_view kPdfDetails = "      Only in builds with the GUI.\n";
#endif

// --- create ---

// The whole file, when it is a regular file of at most maxBytes.
bool ReadWholeFile(const std::string& path, std::uintmax_t maxBytes, std::string& bytes, std::string& error) {
  std::error_code code;
  const auto status = std::filesystem::status(path, code);
  if (code || !std::filesystem::is_regular_file(status)) {
    error = "cannot read " + path + " (missing or not a file)";
    return false;
  }
  const std::uintmax_t size = std::filesystem::file_size(path, code);
  if (code || size > maxBytes) {
    error = code ? "cannot read " + path : path + " is larger than " + std::to_string(maxBytes) + " bytes";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  bytes.assign(static_cast<std::size_t>(size), '\0');
  if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(size))) {
    error = "cannot read " + path;
    return false;
  }
  return true;
}

// "NAME=VALUE" at the last '=' (values hold none; a heading might).
bool SplitNamed(std::string_view text, std::string& name, std::string& value) {
  const std::size_t eq = text.rfind('=');
  if (eq == std::string_view::npos || eq == 0) return false;
  name = std::string(text.substr(0, eq));
  value = std::string(text.substr(eq + 1));
  return true;
}

// "LSL:USL[:NOMINAL]", each part a typed number or empty.
bool ParseTolerance(std::string_view text, TableTolerance& t) {
  std::string value;
  if (!SplitNamed(text, t.name, value)) return false;
  std::optional<double>* parts[] = {&t.lsl, &t.usl, &t.nominal};
  std::size_t count = 0;
  std::size_t pos = 0;
  for (;;) {
    const std::size_t end = std::min(value.find(':', pos), value.size());
    if (count == 3) return false;
    const TypedNumber number = ParseTypedNumber(std::string_view(value).substr(pos, end - pos));
    if (number.status == TypedNumberStatus::Invalid) return false;
    if (number.status == TypedNumberStatus::Ok) *parts[count] = number.value;
    ++count;
    if (end == value.size()) break;
    pos = end + 1;
  }
  return count >= 2;
}

// The command line of create, checked on its own (the table is checked by the builder).
struct CreateArgs {
  std::string out;
  std::string csv;
  TableDatasetOptions options;
  bool example = false;    // marked as an example: the program never saves it under its own name
  bool overwrite = false;  // an existing output file may be replaced
  std::optional<TDateTime> fixedTime;  // every time the file carries
  std::optional<std::int32_t> id;      // the dataset's identifier, the seed of the others
};

// Time that stands still at a given moment: each call a step as small as a double allows, so
// the clock still never repeats and every stamp shows that moment.
class FixedClock final : public platform::IClock {
 public:
  explicit FixedClock(TDateTime when) : m_next(when), m_previous(platform::Install<platform::IClock>(this)) {}
  ~FixedClock() override { platform::Install<platform::IClock>(m_previous); }
  FixedClock(const FixedClock&) = delete;
  FixedClock& operator=(const FixedClock&) = delete;

  TDateTime Now() override {
    const TDateTime now = m_next;
    m_next = std::nextafter(m_next, m_next + 1.0);
    return now;
  }

 private:
  TDateTime m_next;
  platform::IClock* m_previous;
};

// Identifiers drawn from a generator seeded by the dataset's own, so they come out the same
// every time.
class SeededIds final : public platform::IIdSource {
 public:
  explicit SeededIds(std::int32_t seed)
      : m_engine(static_cast<std::mt19937::result_type>(seed)),
        m_previous(platform::Install<platform::IIdSource>(this)) {}
  ~SeededIds() override { platform::Install<platform::IIdSource>(m_previous); }
  SeededIds(const SeededIds&) = delete;
  SeededIds& operator=(const SeededIds&) = delete;

  std::int32_t NewId() override { return m_dist(m_engine); }

 private:
  std::mt19937 m_engine;
  std::uniform_int_distribution<std::int32_t> m_dist{platform::kIdentifierMin, platform::kIdentifierEnd - 1};
  platform::IIdSource* m_previous;
};

// The range an identifier given by hand must lie in.
constexpr std::int64_t kGivenIdMin = 100000000;
constexpr std::int64_t kGivenIdMax = 999999999;

// One option of create.
bool TakeCreateOption(const std::string& option, const std::string& value, CreateArgs& a, std::string& error) {
  const auto bad = [&](std::string_view form) { return BadValue(option, form, value, error); };
  if (option == "--individual") {
    a.options.individual = true;
  } else if (option == "--example") {
    a.example = true;
  } else if (option == "--overwrite") {
    a.overwrite = true;
  } else if (option == "--from-csv") {
    if (!a.csv.empty()) {
      error = "--from-csv given twice";
      return false;
    }
    a.csv = value;
  } else if (option == "--fixed-time") {
    a.fixedTime = ParseTableDateTime(value);
    if (!a.fixedTime) return bad("dd.mm.yyyy|yyyy-mm-dd [hh:mm[:ss]]");
  } else if (option == "--id") {
    const auto n = ParseInteger(value, kGivenIdMin, kGivenIdMax);
    if (!n) return bad("N from " + std::to_string(kGivenIdMin) + " to " + std::to_string(kGivenIdMax));
    a.id = static_cast<std::int32_t>(*n);
  } else if (option == "--sample-size") {
    const auto n = ParseInteger(value, 1, static_cast<std::int64_t>(kMaxPoints));
    if (!n) return bad("N from 1 to " + std::to_string(kMaxPoints));
    a.options.sampleSize = static_cast<int>(*n);
  } else if (option == "--block") {
    a.options.blockName = value;
  } else if (option == "--process") {
    a.options.processName = value;
  } else if (option == "--tolerance") {
    TableTolerance t;
    if (!ParseTolerance(value, t)) return bad("NAME=LSL:USL[:NOMINAL]");
    a.options.tolerances.push_back(std::move(t));
  } else if (option == "--decimals") {
    TableDecimals d;
    std::string number;
    if (!SplitNamed(value, d.name, number)) return bad("NAME=N");
    const auto n = ParseInteger(number, 0, kMaxDecimals);
    if (!n) return bad("NAME=N with N from 0 to 5");
    d.decimals = static_cast<int>(*n);
    a.options.decimals.push_back(std::move(d));
  } else if (option == "--unit") {
    TableUnit u;
    if (!SplitNamed(value, u.name, u.unit)) return bad("NAME=UNIT");
    a.options.units.push_back(std::move(u));
  } else {  // --attribute
    TableAttribute attribute;
    std::string type;
    if (!SplitNamed(value, attribute.name, type)) return bad("NAME=units|nonconf");
    if (type == AttrTypeCode(AttrType::Units)) {
      attribute.type = AttrType::Units;
    } else if (type == AttrTypeCode(AttrType::Nonconformities)) {
      attribute.type = AttrType::Nonconformities;
    } else {
      return bad("NAME=units|nonconf");
    }
    a.options.attributes.push_back(std::move(attribute));
  }
  return true;
}

bool ParseCreateArgs(Args args, CreateArgs& a, std::string& error) {
  static constexpr std::string_view kWithValue[] = {"--from-csv",   "--block", "--process",   "--tolerance",
                                                    "--decimals",   "--unit",  "--attribute", "--sample-size",
                                                    "--fixed-time", "--id"};
  static constexpr std::string_view kFlags[] = {"--individual", "--example", "--overwrite"};
  const auto take = [&a](const std::string& option, const std::string& value, std::string& e) {
    return TakeCreateOption(option, value, a, e);
  };
  if (!ParseCommandLine(args, kWithValue, kFlags, a.out, take, error)) return false;
  if (a.out.empty() || a.csv.empty()) {
    error = "expected OUT.mvl --from-csv IN.csv";
    return false;
  }
  return true;
}

// The output may be written: never over the table it is made from, and over another file
// only when asked to.
bool OutputAllowed(const CreateArgs& a, std::string& error) {
  std::error_code code;
  if (std::filesystem::equivalent(a.out, a.csv, code)) {
    error = SafeUtf8(a.out) + " is the table itself: give another name for the data file";
    return false;
  }
  // A dangling link counts as something there as well.
  const auto status = std::filesystem::symlink_status(a.out, code);
  if (!code && std::filesystem::exists(status) && !a.overwrite) {
    error = SafeUtf8(a.out) + " already exists (--overwrite replaces it)";
    return false;
  }
  return true;
}

int RunCreate(Args args, std::ostream& out, std::ostream& err) {
  CreateArgs a;
  std::string error;
  if (!ParseCreateArgs(args, a, error)) {
    err << "create: " << error << "\n";
    return kExitUsage;
  }
  if (!OutputAllowed(a, error)) {
    err << "create: " << error << "\n";
    return kExitFailed;
  }
  // A file that must come out the same every time (the demo dataset of a build) fixes the
  // times and identifiers it would otherwise take from the clock and the random source.
  std::optional<FixedClock> clock;
  if (a.fixedTime) clock.emplace(*a.fixedTime);
  std::optional<SeededIds> ids;
  if (a.id) ids.emplace(*a.id);
  std::string bytes;
  if (!ReadWholeFile(a.csv, CsvTable::kMaxBytes, bytes, error)) {
    err << "create: " << SafeUtf8(error) << "\n";
    return kExitFailed;
  }
  CsvTable table(bytes);
  const TableDatasetResult built = BuildTableDataset(table, a.options);
  if (!built.Ok()) {
    err << "create: " << SafeUtf8(a.csv) << ": " << OneLine(built.error) << "\n";
    return kExitFailed;
  }
  TDatasetSPC& ds = *built.dataset;
  if (a.example) ds.accessFlags |= access_flag::kExample;
  if (a.id) ds.id = *a.id;
  // Everything is checked before this point: a failure leaves no file, and the safe write
  // leaves an existing file as it was.
  if (!WriteSpcFile(ds, a.out, error, nullptr, a.fixedTime)) {
    err << "create: " << OneLine(error) << "\n";
    return kExitFailed;
  }
  int samples = 0;
  int points = 0;
  for (int i = 1; i <= ds.BlockCount(); ++i) {
    samples += ds.Block(i)->SampleCount();
    points += ds.Block(i)->stats.totalPoints;
  }
  JsonWriter w(out);
  w.BeginObject();
  w.Field("file", SafeUtf8(a.out));
  w.Field("parameters", ds.ParameterCount());
  w.Field("blocks", ds.BlockCount());
  w.Field("samples", samples);
  w.Field("points", points);
  w.EndObject();
  w.Done();
  return kExitOk;
}

constexpr std::string_view kCreateDetails =
    "      The table: UTF-8 (or Windows-1251), delimiter ',', ';' or tab, first row the headings.\n"
    "      Columns with a meaning of their own: block (consecutive rows with the same label form\n"
    "      one block, named by the label), sample (consecutive rows with the same label form one\n"
    "      sample; without it the rows fill samples in order: 200 points each with --individual,\n"
    "      one otherwise, or --sample-size), date (dd.mm.yyyy or yyyy-mm-dd) and time (hh:mm[:ss])\n"
    "      of the sample's first row (with --individual of every point too), and with --attribute,\n"
    "      size (units inspected), note and event (the sample's texts, from its first row).\n"
    "      Every other column is a parameter named by its heading.\n"
    "      Options:\n"
    "        --block NAME                 the block's name without a block column (\"Блок 1\")\n"
    "        --process TEXT               the process name\n"
    "        --tolerance NAME=LSL:USL[:NOMINAL]   either bound may be empty; repeatable\n"
    "        --decimals NAME=N            0..5; default: the most decimals written in the column\n"
    "        --unit NAME=UNIT             the parameter's unit\n"
    "        --individual                 sampling mode: individual values (large samples)\n"
    "        --sample-size N              1..200: the points of each sample without a sample column\n"
    "        --example                    mark it as an example, never saved under its own name\n"
    "        --overwrite                  replace OUT when it exists (never the table itself)\n"
    "        --fixed-time \"DATE [hh:mm]\"  every time the file carries (dd.mm.yyyy or yyyy-mm-dd)\n"
    "        --id N                       the dataset's identifier (100000000..999999999), which\n"
    "                                     also seeds the others: with --fixed-time the same table\n"
    "                                     and options give the same bytes\n"
    "        --attribute NAME=units|nonconf   an alternative parameter counting nonconforming\n"
    "                                     units or nonconformities; then every parameter column\n"
    "                                     must be one, each row is a sample (a sample column\n"
    "                                     names it, each label once a block), and size is required\n";

const Command kCommands[] = {
    {"gages", "gages <file.ggs>", "list the gauges of a gauge file", RunGages},
    {"info", "info <file.mvl>", "describe a data file: process, parameters, blocks", RunInfo},
    {"create", "create <out.mvl> --from-csv <in.csv> [options]", "make a data file from a table of measurements",
     RunCreate, kCreateDetails},
    {"capability",
     "capability <file.mvl> --param NAME|POSITION [--block N [--samples FROM-TO] | --blocks N,M] [--bins K] "
     "[--no-filter]",
     "a parameter's statistics, capability indices, normality, box plot and histogram", RunCapability,
     kCapabilityDetails},
    {"correlation",
     "correlation <file.mvl> [--params 1,2,3] [--block N [--samples FROM-TO] | --blocks N,M] "
     "[--mode values|means] [--critical R]",
     "the correlation matrix of the quantitative parameters: r, significance, regression lines", RunCorrelation,
     kCorrelationDetails},
    {"quality", "quality --ppm Q [--width W]", "the quality calculator: the index and sigma a target level needs",
     RunQuality, kQualityDetails},
    {"params",
     "params <file.mvl> [--kind var|attr] [--block N [--samples FROM-TO] | --blocks N,M] [--columns 1,2,12] "
     "[--lang ru|en] [--scale share|percent|ppm] [--no-filter]",
     "the parameter table: the chosen columns' texts for every parameter of one data kind", RunParams,
     kParamsDetails},
    {"chart", "chart <file.mvl> --param NAME|POSITION --kind KIND [options]",
     "a control chart: limits, zones, points and the tests for special causes", RunChart, kChartDetails},
    {"filter",
     "filter <file.mvl> [--kind var|attr --out OUT.mvl [--name TEXT] [--off|--on] [--clear] "
     "[--condition 'PROPERTY|SYMBOL|VALUE' [--case] [--inactive]]...]",
     "the sample filters of a data file, or a copy with one filter changed", RunFilter, kFilterDetails},
    {"samples",
     "samples <file.mvl> --block N --out OUT.mvl (--delete FROM-TO | --exchange I,J | --separate POS [--size S] "
     "[--copy-note] | --merge FROM-TO (--all | --by N | --dates [--notes]) [--keep-notes])",
     "one operation of the block window on the samples of a block, written to a copy", RunSamples, kSamplesDetails},
    {"export", "export <file.mvl> --mef OUT.mef [--blocks N,M]",
     "the dataset written as an exchange file, every block or the ones listed", RunExport, kExportDetails},
    {"pdf", "pdf <REPORT.htm> <OUT.pdf> [--page A4|Letter] [--landscape]",
     "a saved report printed to a PDF file as the report viewer prints it", RunPdf, kPdfDetails},
#ifdef MV_HAVE_PICTURE
    {"picture", "picture <file.mvl> --param NAME|POSITION --kind KIND --out PICTURE [options]",
     "the chart pair drawn into a PNG, JPEG or BMP picture", RunPicture, kPictureDetails},
#endif
};

bool IsHelp(std::string_view arg) { return arg == "--help" || arg == "-h"; }

// One command's usage, as the full help shows it.
void PrintCommandHelp(const Command& c, std::ostream& out) {
  out << "Usage: morvalen-cli " << c.usage << "\n      " << c.summary << "\n" << c.details;
}

void PrintHelp(std::ostream& out) {
  out << "Usage: morvalen-cli <command> [arguments]\n"
         "       morvalen-cli --version | --help\n\n"
         "Batch commands of Morvalen, statistical quality control. Each prints JSON.\n\n"
         "Commands:\n";
  for (const Command& c : kCommands) out << "  " << c.usage << "\n      " << c.summary << "\n" << c.details;
  out << "\nExit codes: 0 done; 2 bad input: a wrong command line, or a file or table that cannot\n"
         "be used (missing, unreadable, damaged, a bad cell, more than the memory holds), with the\n"
         "reason on the error stream.\n";
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    PrintHelp(err);
    return kExitUsage;
  }
  const std::string& first = args[0];
  if (IsHelp(first)) {
    PrintHelp(out);
    return kExitOk;
  }
  if (first == "--version") {
    out << "morvalen-cli " << MV_VERSION << "\n";
    return kExitOk;
  }
  for (const Command& c : kCommands) {
    if (first != c.name) continue;
    const Args rest = Args(args).subspan(1);
    // "--help" or "-h" anywhere after the command asks for its usage instead of running it.
    if (std::any_of(rest.begin(), rest.end(), IsHelp)) {
      PrintCommandHelp(c, out);
      return kExitOk;
    }
    // Sizes from outside make the commands allocate: a failed allocation is told like any
    // other reason the input cannot be used, never an abort.
    try {
      return c.run(rest, out, err);
    } catch (const std::bad_alloc&) {
      err << c.name << ": " << FileErrorText(kOutOfMemoryCode) << "\n";
      return kExitFailed;
    }
  }
  err << "morvalen-cli: unknown command '" << SafeUtf8(first) << "' (see --help)\n";
  return kExitUsage;
}

}  // namespace mv::cli
