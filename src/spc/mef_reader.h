#pragma once
// Reading exchange files (.mef) into commands: lines, comments, continuations, tokens and the
// command table. What the commands mean for a dataset is the import's business; this only
// splits the text.
//
// A line: tabs expanded to stops every 8 columns, trailing blanks removed, trimmed, and from
// the first ";" outside double quotes on a comment. An empty line is skipped; a line beginning
// with "*" continues the command before it with at most kMefContinuationMax characters
// (trimmed, joined with one blank); any other line starts a command.
//
// A command's text splits into tokens at blanks. A token beginning with a double quote or an
// apostrophe runs to the next same quote (or the end) and keeps its letters; any other token
// ends at a blank or at "=", and is put in upper case (Cyrillic included). "=" itself is a
// separator, so "K=V", "K = V", "K =V", "K= V" and "K V" all pair the key K with V.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

// The characters of a "*" line that are kept: room for the longest fixed-length text with its
// key, "=" and quotes.
inline constexpr std::size_t kMefContinuationMax = 300;
// Characters of a key that are kept (an alias of up to 15 characters included).
inline constexpr std::size_t kMefKeyMax = 15;
// Pairs of one command, and values of one ADD POINT.
inline constexpr std::size_t kMefMaxPairs = 45;
inline constexpr std::size_t kMefMaxPointValues = 20;
// The error of a command with more pairs than these.
inline constexpr const char* kMefTooManyValues = "слишком много значений в команде";

// The commands in the order their words are matched.
enum class MefCommandKind : std::uint8_t {
  Unknown = 0,
  Format = 1,             // MORVALEN EXCHANGE FORMAT
  Version = 2,            // VERSION n
  Codepage = 3,           // CODEPAGE n
  CreateDataset = 4,      // CREATE DATASET
  UseCurrentDataset = 5,  // USE CURRENT DATASET
  CreateParameter = 6,    // CREATE PARAMETER name
  UseParameter = 7,       // USE PARAMETER name
  CreateBlock = 8,        // CREATE BLOCK name
  UseBlock = 9,           // USE BLOCK name
  AddSample = 10,         // ADD SAMPLE
  AddPoint = 11,          // ADD POINT
  End = 12,               // END
};

// The command words ("CREATE PARAMETER"); "" for Unknown.
std::string_view MefCommandWords(MefCommandKind kind);

struct MefPair {
  std::string key;  // at most kMefKeyMax characters
  std::string value;
};

struct MefCommand {
  MefCommandKind kind = MefCommandKind::Unknown;
  std::string text;  // the joined text of its lines, comments removed
  int firstLine = 0;  // 1-based line numbers of the file
  int lastLine = 0;
  std::optional<std::string> positional;  // for the commands that take one, when given
  std::vector<MefPair> pairs;
  std::string error;  // not empty: the command cannot be used (kMefTooManyValues)
};

// The file's bytes as lines of UTF-8 text: Windows-1251, or UTF-8 after a byte-order mark
// (which is dropped); lines end in CR LF, LF or a lone CR.
std::vector<std::string> SplitMefLines(std::string_view bytes);

// The commands of the lines, up to and including END.
std::vector<MefCommand> ReadMefCommands(const std::vector<std::string>& lines);

// One token of a command's text (exposed for the tests and the fuzz target).
struct MefToken {
  enum class Kind : std::uint8_t { Word, Quoted, Equals };
  Kind kind = Kind::Word;
  std::string text;
};
std::vector<MefToken> TokenizeMefText(std::string_view text);

}  // namespace mv
