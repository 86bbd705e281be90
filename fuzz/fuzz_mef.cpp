// Arbitrary bytes as an exchange file: split into lines, read into commands, and every value
// handed to the value parsers. The reader must keep its contract: commands in line order
// within the file, keys of at most 15 characters, no command beyond its capacity of pairs,
// nothing after END.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/text.h"
#include "spc/mef_reader.h"
#include "spc/value_parsers.h"

namespace {

volatile int g_sink = 0;  // what the parsers give, kept from the optimizer

void Check(bool ok) {
  if (!ok) std::abort();
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
  return 0;
}
