#include "spc/mef_reader.h"

#include <algorithm>
#include <array>
#include <climits>

#include "core/cp1251.h"
#include "core/text.h"

namespace mv {
namespace {

constexpr std::array<std::string_view, 13> kWords = {
    "",
    "MORVALEN EXCHANGE FORMAT",
    "VERSION",
    "CODEPAGE",
    "CREATE DATASET",
    "USE CURRENT DATASET",
    "CREATE PARAMETER",
    "USE PARAMETER",
    "CREATE BLOCK",
    "USE BLOCK",
    "ADD SAMPLE",
    "ADD POINT",
    "END",
};

bool IsBlank(char c) { return c == ' '; }

// Upper case: most words are ASCII, which needs no table.
std::string UpperWord(std::string_view word) {
  for (const char c : word) {
    if ((static_cast<unsigned char>(c) & 0x80) != 0) return UpperCase(word);
  }
  std::string out(word);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

bool TakesPositional(MefCommandKind kind) {
  switch (kind) {
    case MefCommandKind::Version:
    case MefCommandKind::Codepage:
    case MefCommandKind::CreateParameter:
    case MefCommandKind::UseParameter:
    case MefCommandKind::CreateBlock:
    case MefCommandKind::UseBlock:
      return true;
    default:
      return false;
  }
}

// Tabs to blanks with stops every 8 characters (at least one blank each).
std::string ExpandTabs(std::string_view line) {
  std::string out;
  out.reserve(line.size() + 16);
  std::size_t column = 0;
  for (const char c : line) {
    if (c == '\t') {
      const std::size_t blanks = 8 - column % 8;
      out.append(blanks, ' ');
      column += blanks;
      continue;
    }
    out.push_back(c);
    // A UTF-8 continuation byte belongs to the character before it.
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++column;
  }
  return out;
}

// The line without its comment: from the first ";" outside double quotes on.
std::string_view DropComment(std::string_view line) {
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') {
      quoted = !quoted;
    } else if (line[i] == ';' && !quoted) {
      return line.substr(0, i);
    }
  }
  return line;
}

// The text of a command's words, matched against the table in its order.
MefCommandKind MatchCommand(const std::vector<MefToken>& tokens, std::size_t& used) {
  for (std::size_t k = 1; k < kWords.size(); ++k) {
    std::string_view words = kWords[k];
    std::size_t t = 0;
    bool match = true;
    while (!words.empty()) {
      const std::size_t blank = words.find(' ');
      const std::string_view word = words.substr(0, blank);
      if (t >= tokens.size() || tokens[t].kind == MefToken::Kind::Equals || tokens[t].text != word) {
        match = false;
        break;
      }
      ++t;
      words = blank == std::string_view::npos ? std::string_view{} : words.substr(blank + 1);
    }
    if (match) {
      used = t;
      return static_cast<MefCommandKind>(k);
    }
  }
  used = 0;
  return MefCommandKind::Unknown;
}

void Interpret(MefCommand& command) {
  std::vector<MefToken> tokens = TokenizeMefText(command.text);
  std::size_t t = 0;
  command.kind = MatchCommand(tokens, t);
  if (command.kind == MefCommandKind::Unknown) return;
  const auto skipEquals = [&] {
    while (t < tokens.size() && tokens[t].kind == MefToken::Kind::Equals) ++t;
  };
  if (TakesPositional(command.kind)) {
    skipEquals();
    if (t < tokens.size()) command.positional = std::move(tokens[t++].text);
  }
  const std::size_t capacity =
      command.kind == MefCommandKind::AddPoint ? kMefMaxPointValues : kMefMaxPairs;
  command.pairs.reserve(std::min(capacity, (tokens.size() - t) / 2));
  for (;;) {
    skipEquals();
    if (t >= tokens.size()) break;
    const std::size_t key = t++;
    skipEquals();
    if (t >= tokens.size()) break;  // a key without a value is ignored
    if (command.pairs.size() == capacity) {
      command.error = kMefTooManyValues;
      command.pairs.clear();
      return;
    }
    std::string& keyText = tokens[key].text;
    if (keyText.size() > kMefKeyMax) keyText = CutToChars(keyText, kMefKeyMax);
    command.pairs.push_back({std::move(keyText), std::move(tokens[t++].text)});
  }
}

}  // namespace

std::string_view MefCommandWords(MefCommandKind kind) {
  const auto k = static_cast<std::size_t>(kind);
  return k < kWords.size() ? kWords[k] : std::string_view{};
}

std::vector<std::string> SplitMefLines(std::string_view bytes) {
  std::string text;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    text.assign(bytes.substr(3));
  } else {
    text = Cp1251ToUtf8(bytes);
  }
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text, start, i - start);
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text, start, text.size() - start);
  return lines;
}

std::vector<MefToken> TokenizeMefText(std::string_view text) {
  std::vector<MefToken> tokens;
  tokens.reserve(text.size() / 6 + 2);
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (IsBlank(c)) {
      ++i;
      continue;
    }
    if (c == '"' || c == '\'') {
      const std::size_t close = text.find(c, i + 1);
      const std::size_t end = close == std::string_view::npos ? text.size() : close;
      tokens.push_back({MefToken::Kind::Quoted, std::string(text.substr(i + 1, end - i - 1))});
      i = close == std::string_view::npos ? text.size() : close + 1;
      continue;
    }
    if (c == '=') {
      tokens.push_back({MefToken::Kind::Equals, "="});
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && !IsBlank(text[end]) && text[end] != '=') ++end;
    tokens.push_back({MefToken::Kind::Word, UpperWord(text.substr(i, end - i))});
    i = end;
  }
  return tokens;
}

std::vector<MefCommand> ReadMefCommands(const std::vector<std::string>& lines) {
  std::vector<MefCommand> commands;
  const auto finish = [&commands]() -> bool {
    if (commands.empty()) return false;
    Interpret(commands.back());
    return commands.back().kind == MefCommandKind::End;
  };
  // Line numbers are ints: a file of more lines than that (far beyond what an import takes)
  // is read up to there.
  const std::size_t lineCount = std::min(lines.size(), static_cast<std::size_t>(INT_MAX));
  for (std::size_t n = 0; n < lineCount; ++n) {
    const std::string& raw = lines[n];
    std::string expanded;
    std::string_view line = raw;
    if (raw.find('\t') != std::string::npos) {
      expanded = ExpandTabs(raw);
      line = expanded;
    }
    line = Trim(DropComment(Trim(line)));
    if (line.empty()) continue;
    const int number = static_cast<int>(n + 1);
    if (line.front() == '*' && !commands.empty()) {
      const std::string kept = CutToChars(line.substr(1), kMefContinuationMax);
      const std::string_view rest = Trim(kept);
      MefCommand& command = commands.back();
      if (!rest.empty()) {
        command.text.push_back(' ');
        command.text.append(rest);
      }
      command.lastLine = number;
      continue;
    }
    if (finish()) return commands;
    MefCommand command;
    command.text.assign(line);
    command.firstLine = number;
    command.lastLine = number;
    commands.push_back(std::move(command));
  }
  finish();
  return commands;
}

}  // namespace mv
