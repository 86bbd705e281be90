#include "cli/samples_command.h"

#include <optional>
#include <ostream>
#include <string>

#include "cli/cli.h"
#include "core/numbers.h"
#include "core/text.h"
#include "platform/prompts.h"
#include "platform/services.h"
#include "spc/sample_operations.h"
#include "spc/spc_file.h"

namespace mv::cli {
namespace {

enum class Operation : std::uint8_t { None = 0, Delete = 1, Exchange = 2, Separate = 3, Merge = 4 };

struct SamplesArgs {
  std::string file;
  std::string out;
  std::optional<int> block;
  Operation operation = Operation::None;
  std::string operationText;  // as typed
  int first = 0;
  int second = 0;
  std::optional<std::string> size;  // --size as typed
  bool copyNote = false;
  std::optional<MergeMode> mode;
  std::string byText;  // --by as typed
  bool notes = false;
  bool keepNotes = false;
};

constexpr std::int64_t kPositionMax = static_cast<std::int64_t>(kMaxSamples);

// "A-B" or "A,B" of two positions.
bool TakePair(std::string_view text, char separator, int& a, int& b) {
  const std::size_t at = text.find(separator);
  if (at == std::string_view::npos) return false;
  const auto x = ParseInteger(text.substr(0, at), 1, kPositionMax);
  const auto y = ParseInteger(text.substr(at + 1), 1, kPositionMax);
  if (!x || !y) return false;
  a = static_cast<int>(*x);
  b = static_cast<int>(*y);
  return true;
}

bool TakeOption(const std::string& option, const std::string& value, SamplesArgs& a, std::string& error) {
  const auto bad = [&](std::string_view form) { return BadValue(option, form, value, error); };
  const auto operation = [&](Operation op) {
    if (a.operation != Operation::None) {
      error = "give one of --delete, --exchange, --separate, --merge";
      return false;
    }
    a.operation = op;
    a.operationText = value;
    return true;
  };
  const auto mode = [&](MergeMode m) {
    if (a.mode) {
      error = "give one of --all, --by, --dates";
      return false;
    }
    a.mode = m;
    return true;
  };
  if (option == "--block") {
    const auto n = ParseInteger(value, 1, static_cast<std::int64_t>(kMaxBlocks));
    if (!n) return bad("N from 1 to 200");
    a.block = static_cast<int>(*n);
  } else if (option == "--out") {
    a.out = value;
  } else if (option == "--delete" || option == "--merge") {
    if (!operation(option == "--delete" ? Operation::Delete : Operation::Merge)) return false;
    if (!TakePair(value, '-', a.first, a.second) || a.first > a.second) return bad("FROM-TO with 1 <= FROM <= TO");
  } else if (option == "--exchange") {
    if (!operation(Operation::Exchange)) return false;
    if (!TakePair(value, ',', a.first, a.second) || a.first == a.second) return bad("I,J of two positions");
  } else if (option == "--separate") {
    if (!operation(Operation::Separate)) return false;
    const auto n = ParseInteger(value, 1, kPositionMax);
    if (!n) return bad("POS from 1 to 1000");
    a.first = static_cast<int>(*n);
  } else if (option == "--size") {
    a.size = value;
  } else if (option == "--copy-note") {
    a.copyNote = true;
  } else if (option == "--all") {
    return mode(MergeMode::All);
  } else if (option == "--by") {
    a.byText = value;
    return mode(MergeMode::ByN);
  } else if (option == "--dates") {
    return mode(MergeMode::EqualDates);
  } else if (option == "--notes") {
    a.notes = true;
  } else {  // --keep-notes
    a.keepNotes = true;
  }
  return true;
}

bool ParseSamplesArgs(Args args, SamplesArgs& a, std::string& error) {
  static constexpr std::string_view kWithValue[] = {"--block", "--out",  "--delete", "--exchange",
                                                    "--separate", "--size", "--merge", "--by"};
  static constexpr std::string_view kFlags[] = {"--copy-note", "--all", "--dates", "--notes", "--keep-notes"};
  const auto take = [&a](const std::string& option, const std::string& value, std::string& e) {
    return TakeOption(option, value, a, e);
  };
  if (!ParseCommandLine(args, kWithValue, kFlags, a.file, take, error)) return false;
  if (a.file.empty() || !a.block || a.out.empty() || a.operation == Operation::None) {
    error = "expected FILE.mvl --block N --out OUT.mvl and one of --delete, --exchange, --separate, --merge";
    return false;
  }
  if ((a.size || a.copyNote) && a.operation != Operation::Separate) {
    error = "--size and --copy-note belong to --separate";
    return false;
  }
  if ((a.mode || a.keepNotes || a.notes) && a.operation != Operation::Merge) {
    error = "--all, --by, --dates, --notes and --keep-notes belong to --merge";
    return false;
  }
  if (a.operation == Operation::Merge && !a.mode) {
    error = "--merge needs one of --all, --by N, --dates";
    return false;
  }
  if (a.notes && a.mode != MergeMode::EqualDates) {
    error = "--notes belongs to --dates";
    return false;
  }
  return true;
}

// Questions are answered "Да"; nothing else is offered to a batch run.
class YesPrompts final : public platform::IPrompts {
 public:
  YesPrompts() : m_previous(platform::Install<platform::IPrompts>(this)) {}
  ~YesPrompts() override { platform::Install<platform::IPrompts>(m_previous); }
  YesPrompts(const YesPrompts&) = delete;
  YesPrompts& operator=(const YesPrompts&) = delete;

  int Choose(const platform::ChoiceRequest& request) override {
    for (std::size_t i = 0; i < request.buttons.size(); ++i) {
      if (request.buttons[i] == "Да") return static_cast<int>(i);
    }
    return request.cancelButton;
  }
  bool AskPassword(const platform::PasswordRequest&) override { return false; }
  bool SetPassword(const platform::SetPasswordRequest&) override { return false; }

 private:
  platform::IPrompts* m_previous;
};

// The message a password the program would ask for gives when it is not given; "" when none
// would be asked.
std::string AccessRefusal(const TDatasetSPC& ds, const TSPCBlock& block) {
  if (ds.passwordHash == 0) return {};
  if ((ds.accessFlags & access_flag::kPasswordOnOpen) != 0) {
    return "Доступ к файлу " + Quoted(ds.fileName) + " невозможен без указания пароля";
  }
  const bool viewToo = (block.flags & block_flag::kProtectedView) != 0;
  if ((block.flags & block_flag::kProtected) != 0 && (ds.blockEditingAllowed || viewToo)) {
    return "Доступ к блоку " + Quoted(block.name) + " невозможен без указания пароля" +
           (viewToo ? "" : " (только в режиме редактирования блока)");
  }
  return {};
}

const char* OperationName(Operation op) {
  switch (op) {
    case Operation::Delete: return "delete";
    case Operation::Exchange: return "exchange";
    case Operation::Separate: return "separate";
    case Operation::Merge: return "merge";
    case Operation::None: break;
  }
  return "";
}

const char* ModeName(MergeMode mode) {
  switch (mode) {
    case MergeMode::All: return "all";
    case MergeMode::ByN: return "by";
    case MergeMode::EqualDates: return "dates";
    case MergeMode::None: break;
  }
  return "";
}

void WriteTexts(JsonWriter& w, std::string_view key, const EditingTalk& talk, EditingTalk::Kind kind) {
  w.Key(key);
  w.BeginArray();
  for (const std::string& text : talk.Texts(kind)) w.Value(SafeUtf8(text));
  w.EndArray();
}

}  // namespace

const std::string_view kSamplesDetails =
    "      One operation of the block window on block N, its questions answered yes:\n"
    "        --delete FROM-TO             delete samples FROM..TO\n"
    "        --exchange I,J               exchange samples I and J\n"
    "        --separate POS               separate sample POS into samples of --size S points\n"
    "                                     (default: the file's separation options); --copy-note\n"
    "                                     gives the new samples its note\n"
    "        --merge FROM-TO              merge samples FROM..TO: --all into one, --by N (2..200)\n"
    "                                     by N, or --dates those of equal dates (--notes: and\n"
    "                                     equal notes); --keep-notes lets a sample without a note\n"
    "                                     take a merged sample's note\n"
    "      Writes OUT (which may be FILE) as the program saves and prints the question,\n"
    "      information and log lines with the block's samples afterwards. A refusal prints the\n"
    "      program's message and writes nothing.\n";

int RunSamples(Args args, std::ostream& out, std::ostream& err) {
  SamplesArgs a;
  std::string error;
  if (!ParseSamplesArgs(args, a, error)) {
    err << "samples: " << error << "\n";
    return kExitUsage;
  }
  auto dataset = ReadDataFile("samples", a.file, err);
  if (!dataset) return kExitFailed;
  TDatasetSPC& ds = *dataset;
  if (*a.block > ds.BlockCount()) {
    err << "samples: " << SafeUtf8(a.file) << " has " << ds.BlockCount() << " blocks, not block " << *a.block << "\n";
    return kExitUsage;
  }
  TSPCBlock& block = *ds.Block(*a.block);
  // What the program refuses before the block window offers anything.
  std::string refusal = ds.blockEditingAllowed ? AccessRefusal(ds, block) : EditSwitchText(ds);
  if (refusal.empty() && block.kind != DataKind::Var &&
      (a.operation == Operation::Separate || a.operation == Operation::Merge)) {
    err << "samples: separating and merging apply to blocks of quantitative data\n";
    return kExitUsage;
  }
  if (!refusal.empty()) {
    err << "samples: " << OneLine(refusal) << "\n";
    return kExitFailed;
  }
  const int count = block.SampleCount();
  const int highest = a.operation == Operation::Separate ? a.first : std::max(a.first, a.second);
  if (highest > count) {
    err << "samples: --" << OperationName(a.operation) << " " << SafeUtf8(a.operationText) << ": block " << *a.block
        << " has " << count << " samples\n";
    return kExitUsage;
  }
  if (a.operation == Operation::Merge && a.mode == MergeMode::EqualDates) {
    for (int i = a.first; i <= a.second; ++i) {
      if ((block.Sample(i)->flags & sample_flag::kHasDate) == 0) {
        err << "samples: --dates needs a date in every sample of the range (sample " << i << " has none)\n";
        return kExitUsage;
      }
    }
  }

  MessageCapture messages;
  YesPrompts prompts;
  BlockEditing editing(ds, *a.block);
  editing.LogOpened();
  SampleMergingOptions merging = ReadMergingOptions(ds);
  bool changed = false;
  switch (a.operation) {
    case Operation::Delete: changed = editing.DeleteSamples(a.first, a.second); break;
    case Operation::Exchange: changed = editing.ExchangeSamples(a.first, a.second); break;
    case Operation::Separate: {
      const std::string size = a.size ? *a.size : FormatInt(ReadSeparationOptions(ds).Size());
      changed = editing.SeparateSample(a.first, size, a.copyNote);
      break;
    }
    case Operation::Merge: {
      merging.mode = *a.mode;
      merging.flags = static_cast<std::uint16_t>((a.keepNotes ? merge_flag::kKeepNotes : 0) |
                                                 (a.notes ? merge_flag::kEqualNotes : 0));
      if (merging.mode == MergeMode::ByN) {
        const auto n = ParseInteger(Trim(a.byText), 2, SampleMergingOptions::kMaxN);
        if (!n) {
          err << "samples: " << OneLine(BlockEditing::MergeCountError()) << "\n";
          return kExitFailed;
        }
        merging.n = static_cast<std::uint16_t>(*n);
      }
      changed = editing.MergeSamples(a.first, a.second, merging);
      break;
    }
    case Operation::None: break;
  }
  editing.LogClosed();
  const EditingTalk& talk = editing.Talk();
  if (const std::string shown = talk.LastError(); !shown.empty()) {
    err << "samples: " << OneLine(shown) << "\n";
    return kExitFailed;
  }
  if (!WriteSpcFile(ds, a.out, error)) {
    err << "samples: " << OneLine(error) << "\n";
    return kExitFailed;
  }

  JsonWriter w(out);
  w.BeginObject();
  w.Field("file", SafeUtf8(a.out));
  w.Key("operation");
  w.BeginObject();
  w.Field("name", OperationName(a.operation));
  w.Field("block", *a.block);
  if (a.operation == Operation::Separate) {
    w.Field("position", a.first);
    w.Field("size", ReadSeparationOptions(ds).Size());
    w.Field("copyNote", a.copyNote);
  } else {
    w.Field("first", a.first);
    w.Field("second", a.second);
  }
  if (a.operation == Operation::Merge) {
    w.Field("mode", ModeName(merging.mode));
    w.Field("summary", SafeUtf8(MergingSummary(merging)));
    if (merging.mode == MergeMode::ByN) w.Field("n", merging.N());
    w.Field("keepNotes", merging.KeepNotes());
  }
  w.Field("changed", changed);
  w.EndObject();
  WriteTexts(w, "questions", talk, EditingTalk::Kind::Question);
  WriteTexts(w, "information", talk, EditingTalk::Kind::Information);
  WriteTexts(w, "log", talk, EditingTalk::Kind::Log);
  w.Key("block");
  w.BeginObject();
  w.Field("position", *a.block);
  w.Field("name", SafeUtf8(block.name));
  w.Field("samples", block.SampleCount());
  w.Field("points", block.stats.totalPoints);
  w.Key("sampleList");
  w.BeginArray();
  for (int i = 1; i <= block.SampleCount(); ++i) {
    const TSPCSample& s = *block.Sample(i);
    w.BeginObject();
    w.Field("position", i);
    w.Field("points", s.PointCount());
    w.Field("dateTime", s.Text());
    w.Field("note", SafeUtf8(s.Note()));
    w.Field("event", SafeUtf8(s.Event()));
    w.Field("active", s.IsActive());
    w.EndObject();
  }
  w.EndArray();
  w.EndObject();
  w.EndObject();
  w.Done();
  return kExitOk;
}

}  // namespace mv::cli
