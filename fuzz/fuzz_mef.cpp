// Arbitrary bytes as an exchange file: split into lines, read into commands, and every value
// handed to the value parsers. The reader must keep its contract: commands in line order
// within the file, keys of at most 15 characters, no command beyond its capacity of pairs,
// nothing after END.
// The same bytes also make a small dataset (texts cut from them as Windows-1251, values as
// doubles), which is exported and read back: every name and text must come back as written
// (line breaks as " / ", tabs as blanks, double quotes as apostrophes where they must be) and
// every finite value exactly.

#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/cp1251.h"
#include "core/text.h"
#include "spc/dataset_spc.h"
#include "spc/mef_reader.h"
#include "spc/mef_writer.h"
#include "spc/value_parsers.h"

namespace {

volatile int g_sink = 0;  // what the parsers give, kept from the optimizer

void Check(bool ok) {
  if (!ok) std::abort();
}

// What the writer makes of a text: one line, tabs as blanks.
std::string Flat(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      out += " / ";
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out.push_back(text[i] == '\t' ? ' ' : text[i]);
    }
  }
  return out;
}

std::string Apostrophes(std::string text) {
  for (char& c : text) {
    if (c == '"') c = '\'';
  }
  return text;
}

std::string NameAsRead(std::string_view name) {
  std::string flat = Flat(name);
  if (flat.find('"') != std::string::npos && flat.find_first_of("';") != std::string::npos) return Apostrophes(flat);
  return flat;
}

// Reads the next piece of the input: a length byte, then that many bytes as Windows-1251.
std::string Piece(std::string_view& rest, std::size_t max) {
  if (rest.empty()) return {};
  const std::size_t n = std::min<std::size_t>(static_cast<unsigned char>(rest.front()) % (max + 1), rest.size() - 1);
  std::string text = mv::Cp1251ToUtf8(rest.substr(1, n));
  rest.remove_prefix(1 + n);
  return text;
}

void RoundTrip(std::string_view bytes) {
  mv::TDatasetSPC ds;
  std::string_view rest = bytes;
  ds.processName = Piece(rest, 100);
  ds.note = Piece(rest, 255);
  mv::TSPCParameter p;
  p.name = Piece(rest, 80);
  p.note = Piece(rest, 250);
  p.decimals = rest.empty() ? 0 : static_cast<std::uint8_t>(static_cast<unsigned char>(rest.front()) % 6);
  if (ds.SetParameter(0, 123456789, p) != 1) std::abort();
  const std::string blockName = Piece(rest, 80);
  const int b = ds.AddBlock(0, blockName, mv::SamplingMode::Samples, mv::block_flag::kDates, 0, mv::DataKind::Var, "", "");
  mv::TSPCBlock& block = *ds.Block(b);
  Check(block.AddSample(Piece(rest, 150), "", true, 45352.5));
  std::vector<double> values;
  while (rest.size() >= sizeof(double) && values.size() < mv::kMaxPoints) {
    double x = 0;
    std::memcpy(&x, rest.data(), sizeof x);
    rest.remove_prefix(sizeof x);
    Check(block.Sample(1)->AddPoint());
    block.Sample(1)->Point(static_cast<int>(values.size()) + 1)->SetValue(1, x);
    values.push_back(x);
  }
  mv::MefExportOptions options;
  options.now = 45352.5;
  mv::MefExportResult result;
  const auto commands = mv::ReadMefCommands(mv::SplitMefLines(mv::BuildMefText(ds, options, result)));
  const auto value = [](const mv::MefCommand& c, std::string_view key) -> std::string {
    for (const mv::MefPair& pair : c.pairs) {
      if (pair.key == key) return pair.value;
    }
    return {};
  };
  const auto cut = [&result](std::string_view place) {
    for (const mv::MefTextChange& change : result.changes) {
      if (change.place == place) return true;
    }
    return false;
  };
  // A text read back: as written, or its beginning where the writer reported a cut.
  const auto same = [&cut](std::string_view place, const std::string& held, const std::string& read) {
    const std::string written = Apostrophes(Flat(held));
    Check(cut(place) ? written.starts_with(read) && read.size() < written.size() : read == written);
  };
  Check(commands.size() >= 8);
  Check(commands[3].kind == mv::MefCommandKind::CreateDataset);
  same("dataset process", ds.processName, value(commands[3], "PROCESS"));
  same("dataset note", ds.note, value(commands[3], "NOTE"));
  const mv::MefCommand& parameter = commands[4];
  Check(parameter.kind == mv::MefCommandKind::CreateParameter);
  Check(parameter.positional && *parameter.positional == NameAsRead(ds.Parameter(1)->name));
  same("parameter 1 note", ds.Parameter(1)->note, value(parameter, "NOTE"));
  Check(value(parameter, "ALIAS") == "#123'456'789");
  const mv::MefCommand& blockCommand = commands[5];
  Check(blockCommand.kind == mv::MefCommandKind::CreateBlock);
  Check(blockCommand.positional && *blockCommand.positional == NameAsRead(ds.Block(1)->name));
  Check(commands[6].kind == mv::MefCommandKind::AddSample);
  same("block 1 sample 1 note", block.Sample(1)->Note(), value(commands[6], "NOTE"));
  std::size_t v = 0;
  for (std::size_t i = 7; i < commands.size() && commands[i].kind == mv::MefCommandKind::AddPoint; ++i, ++v) {
    Check(v < values.size());
    const std::string text = value(commands[i], "#123'456'789");
    if (!std::isfinite(values[v])) {
      Check(text.empty());
      continue;
    }
    const mv::TypedNumber back = mv::ParseExchangeNumber(text);
    Check(back.status == mv::TypedNumberStatus::Ok && back.value == values[v]);
  }
  Check(v == values.size());
  Check(commands.back().kind == mv::MefCommandKind::End);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = mv::SplitMefLines(bytes);
  Check(lines.size() <= size + 1);
  const std::vector<mv::MefCommand> commands = mv::ReadMefCommands(lines);
  int lastLine = 0;
  for (std::size_t i = 0; i < commands.size(); ++i) {
    const mv::MefCommand& c = commands[i];
    Check(c.firstLine > lastLine && c.firstLine <= c.lastLine);
    Check(c.lastLine <= static_cast<int>(lines.size()));
    lastLine = c.lastLine;
    Check(c.kind != mv::MefCommandKind::End || i + 1 == commands.size());
    const std::size_t capacity =
        c.kind == mv::MefCommandKind::AddPoint ? mv::kMefMaxPointValues : mv::kMefMaxPairs;
    Check(c.pairs.size() <= capacity);
    Check(c.error.empty() || c.pairs.empty());
    for (const mv::MefPair& pair : c.pairs) {
      Check(mv::CharCount(pair.key) <= mv::kMefKeyMax);
      int n = 0;
      n += mv::ParseExchangeInteger(pair.value).value_or(0) & 1;
      n += mv::ParseExchangeNumber(pair.value).status == mv::TypedNumberStatus::Ok ? 1 : 0;
      n += mv::ParseExchangeBoolean(pair.value).value_or(false) ? 1 : 0;
      n += mv::ParseDayFirstDate(pair.value) ? 1 : 0;
      n += mv::ParseClockTime(pair.value) ? 1 : 0;
      n += mv::ParseMultiplier(pair.value).value_or(0);
      n += mv::ParseSampleDates(pair.value).value_or(0);
      g_sink = g_sink + n;
    }
  }
  RoundTrip(bytes);
  return 0;
}
