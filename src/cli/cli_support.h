#pragma once
// What the batch commands share: text made safe for JSON, the system's messages as one line,
// message windows caught for the error stream, the command line walk, reading a data file, and
// the options that choose a parameter, its blocks and samples.

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/box_plot.h"
#include "analysis/normality.h"
#include "analysis/sample_selection.h"
#include "core/json_writer.h"
#include "platform/messages.h"
#include "spc/dataset_spc.h"

namespace mv::cli {

using Args = std::span<const std::string>;

// Text read from files may hold anything; JSON output must stay valid UTF-8.
std::string SafeUtf8(std::string_view text);
// The system's messages break lines with CR LF (and may leave empty lines); the error stream
// gets them as one line, the lines joined by ": " (by " " after a colon or the end of a sentence).
std::string OneLine(std::string_view text);
// "MESSAGE (DETAILS)", each part as one line; without details just the message.
std::string OneLine(std::string_view text, std::string_view details);
// "key": the number, or null when there is none.
void WriteOptional(JsonWriter& w, std::string_view key, const std::optional<double>& value);
// {"lsl": ..., "usl": ..., "nominal": ...} of a parameter, null where there is none.
void WriteTolerance(JsonWriter& w, const TSPCParameter& parameter);

// {"computed", "enoughData", "normal", "statistic", "criticalValue", "text"} of a normality test.
void WriteNormality(JsonWriter& w, const TNormality& n);
// The box plot's figures and text ({"computed": false, "text": ...} without them).
void WriteBoxPlot(JsonWriter& w, const TBoxPlot& b, int decimals);

// Catches the message windows the logic shows while a command runs, so their texts reach the
// error stream instead of a window.
class MessageCapture final : public platform::IMessageWindows {
 public:
  MessageCapture();
  ~MessageCapture() override;
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  bool Show(platform::TMsgWinParams& request) override;
  // The first message as one line, or `fallback` when none was shown.
  std::string First(std::string_view fallback) const;

 private:
  platform::IMessageWindows* m_previous;
  std::vector<std::string> m_texts;
};

// --- the command line ---

// Takes one option and its value ("" for a flag); false after setting `error`.
using OptionTaker = std::function<bool(const std::string& option, const std::string& value, std::string& error)>;

// Walks "FILE --option VALUE --flag ...": the one argument that does not start with "--" goes
// to `positional`, every option of `withValue` (with the argument after it) or of `flags` to
// `take`. A second positional argument, an unknown option and a missing value are errors.
bool ParseCommandLine(Args args, std::span<const std::string_view> withValue, std::span<const std::string_view> flags,
                      std::string& positional, const OptionTaker& take, std::string& error);
// Sets `error` to "OPTION expects FORM, got 'VALUE'"; returns false.
bool BadValue(std::string_view option, std::string_view form, std::string_view value, std::string& error);

// --- the data file ---

// The dataset of a data file; nullptr after writing "COMMAND: " and the reader's message to `err`.
std::unique_ptr<TDatasetSPC> ReadDataFile(std::string_view command, const std::string& file, std::ostream& err);

// --- the sample filters ---

// chart, capability and picture take the dataset as loaded, so its own filters apply;
// --no-filter computes as if both filters were off (the file is not changed).
inline constexpr std::string_view kNoFilterOption = "--no-filter";
// Every filter mark cleared and the statistics renewed; the filter records stay as they are.
void SwitchFiltersOff(TDatasetSPC& ds);
// "filter": {"inForce": ..., "applied": ..., "name": ..., "description": ...} of the filter of a
// kind; applied is false under --no-filter.
void WriteFilterField(JsonWriter& w, const TDatasetSPC& ds, DataKind kind, bool noFilter);

// --- the selection: --param, --block N, --blocks N,M,..., --samples FROM-TO ---

// How the range of --samples is checked.
enum class SampleRangeCheck {
  // FROM and TO as whole numbers with FROM <= TO among the options, then against the block:
  // "--samples F-T: block B has N samples".
  kCommandLine,
  // Among the options only the dash; against the block as the sample selection dialog checks
  // it, with its message: "Номера выборок указаны неверно: 'F-T' (block B has N samples)".
  kSelectionDialog,
};

struct SelectionArgs {
  explicit SelectionArgs(SampleRangeCheck check) : sampleCheck(check) {}

  SampleRangeCheck sampleCheck;
  std::string param;        // a name, short name or position as typed
  std::vector<int> blocks;  // empty: every block of the parameter's kind
  bool oneBlock = false;    // given by --block N
  std::optional<std::pair<std::string, std::string>> samples;  // FROM, TO as typed
  std::string samplesText;                                      // FROM-TO as typed

  // A sample range belongs to one block given by --block.
  bool SamplesWithoutOneBlock() const { return samples && !oneBlock; }
};

inline constexpr std::string_view kSelectionOptions[] = {"--param", "--block", "--blocks", "--samples"};
bool IsSelectionOption(std::string_view option);
// Takes the value of one of kSelectionOptions; false with `error` when it is bad.
bool TakeSelectionOption(const std::string& option, const std::string& value, SelectionArgs& a, std::string& error);

// The parameter by position (a whole number), else by name, else by short name; letter case
// and surrounding blanks aside. 0 when there is none.
int FindParameterArg(const TDatasetSPC& ds, std::string_view text);
// "FILE has no parameter 'TEXT'".
std::string NoParameterText(const std::string& file, const std::string& text);

// The blocks and samples the options choose for `param`: the blocks listed (each must exist and
// hold data of the parameter's kind) or every block of its kind, all samples or the range of
// the one block. False with `error` (without the command's name) when they cannot be used.
bool ResolveSelection(const TDatasetSPC& ds, const std::string& file, const TSPCParameter& param,
                      const SelectionArgs& a, SampleSelection& selection, std::string& error);

}  // namespace mv::cli
