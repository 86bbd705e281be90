#include "import/csv_table.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "core/cp1251.h"
#include "core/utf8.h"

namespace mv {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    // Eight bytes of ASCII at a time: most tables are numbers.
    std::uint64_t word = 0;
    if (text.size() - pos >= sizeof word) {
      std::memcpy(&word, text.data() + pos, sizeof word);
      if ((word & 0x8080808080808080ull) == 0) {
        pos += sizeof word;
        continue;
      }
    }
    if (static_cast<unsigned char>(text[pos]) < 0x80) {
      ++pos;
      continue;
    }
    const Utf8Char c = NextUtf8Char(text, pos);
    if (!c.valid) return false;
    pos += c.size;
  }
  return true;
}

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// The delimiter of the first row. Quotes are taken as the reader takes them, at the start of a
// cell, where a cell may start after any of the candidates.
char DetectDelimiter(std::string_view text, std::size_t pos) {
  constexpr std::array<char, 3> kCandidates = {'\t', ';', ','};  // the order breaks ties
  std::array<std::size_t, 3> counts{};
  bool quoted = false;
  bool cellStart = true;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (quoted) {
      if (c != '"') continue;
      if (pos + 1 < text.size() && text[pos + 1] == '"') {
        ++pos;
      } else {
        quoted = false;
      }
      continue;
    }
    if (c == '"' && cellStart) {
      quoted = true;
      cellStart = false;
      continue;
    }
    if (IsLineEnd(c)) break;
    const auto k = static_cast<std::size_t>(std::find(kCandidates.begin(), kCandidates.end(), c) - kCandidates.begin());
    cellStart = k < kCandidates.size();
    if (cellStart) ++counts[k];
  }
  // No candidate at all: one column, and a decimal comma in it stays a decimal comma.
  char best = '\0';
  std::size_t bestCount = 0;
  for (std::size_t k = 0; k < kCandidates.size(); ++k) {
    if (counts[k] > bestCount) {
      best = kCandidates[k];
      bestCount = counts[k];
    }
  }
  return best;
}

}  // namespace

CsvTable::CsvTable(std::string_view bytes) {
  if (bytes.size() > kMaxBytes) {
    Fail("Файл CSV больше 64 МБ (" + std::to_string(bytes.size()) + " байт)");
    return;
  }
  const bool bom = bytes.starts_with(kBom);
  if (bom) bytes.remove_prefix(kBom.size());
  // A byte-order mark declares UTF-8; without one, a text that is not UTF-8 is taken as the
  // Windows encoding that spreadsheet programs use for Russian.
  if (!bom && !IsValidUtf8(bytes)) {
    m_converted = Cp1251ToUtf8(bytes);
    bytes = m_converted;
  }
  m_text = bytes;
  m_delimiter = DetectDelimiter(m_text, 0);
  m_stops['\r'] = m_stops['\n'] = true;
  if (m_delimiter != '\0') m_stops[static_cast<unsigned char>(m_delimiter)] = true;
}

bool CsvTable::Fail(std::string text) {
  m_error = std::move(text);
  m_pos = m_text.size();
  return false;
}

bool CsvTable::ReadQuoted(CsvRow& row) {
  const std::size_t size = m_text.size();
  const char* const text = m_text.data();
  const int startLine = m_line;
  std::size_t pos = m_pos + 1;
  std::size_t run = pos;  // the first byte not yet copied
  for (;; ++pos) {
    if (pos >= size) return Fail("Строка " + std::to_string(startLine) + ": нет закрывающей кавычки");
    const char c = text[pos];
    if (c == '"') {
      row.m_unquoted.append(text + run, pos - run);
      if (pos + 1 < size && text[pos + 1] == '"') {
        row.m_unquoted += '"';
        ++pos;  // the loop steps over the second quote
        run = pos + 1;
        continue;
      }
      ++pos;
      break;
    }
    // A line break inside quotes belongs to the cell but still counts as a line.
    if (c == '\n' || (c == '\r' && (pos + 1 >= size || text[pos + 1] != '\n'))) ++m_line;
  }
  std::size_t end = pos;
  while (end < size && !m_stops[static_cast<unsigned char>(text[end])]) ++end;
  row.m_unquoted.append(text + pos, end - pos);
  m_pos = end;
  return true;
}

bool CsvTable::NextRow(CsvRow& row) {
  row.cells.clear();
  row.m_unquoted.clear();
  row.m_unquotedCells.clear();
  if (!m_error.empty()) return false;
  const std::size_t size = m_text.size();
  const char* const text = m_text.data();
  // Consumes one line break at m_pos (CR LF counts once).
  const auto takeLineEnd = [&] {
    if (text[m_pos] == '\r' && m_pos + 1 < size && text[m_pos + 1] == '\n') ++m_pos;
    ++m_pos;
    ++m_line;
  };
  while (m_pos < size && IsLineEnd(text[m_pos])) takeLineEnd();
  if (m_pos >= size) return false;

  row.line = m_line;
  for (;;) {
    std::string_view cell;
    const bool quoted = m_pos < size && text[m_pos] == '"';
    if (quoted) {
      const std::size_t start = row.m_unquoted.size();
      if (!ReadQuoted(row)) return false;
      cell = std::string_view(row.m_unquoted).substr(start);  // placed for good below
    } else {
      std::size_t end = m_pos;
      while (end < size && !m_stops[static_cast<unsigned char>(text[end])]) ++end;
      cell = m_text.substr(m_pos, end - m_pos);
      m_pos = end;
    }
    if (row.cells.size() >= kMaxCells) {
      return Fail("Строка " + std::to_string(row.line) + ": больше " + std::to_string(kMaxCells) + " ячеек");
    }
    if (quoted) row.m_unquotedCells.push_back(row.cells.size());
    row.cells.push_back(cell);
    if (m_pos >= size) break;
    if (m_delimiter != '\0' && text[m_pos] == m_delimiter) {
      ++m_pos;
      continue;
    }
    takeLineEnd();
    break;
  }
  // The copies of quoted cells may have moved while the row grew: they lie in order.
  std::size_t offset = 0;
  for (const std::size_t i : row.m_unquotedCells) {
    const std::size_t length = row.cells[i].size();
    row.cells[i] = std::string_view(row.m_unquoted).substr(offset, length);
    offset += length;
  }
  return true;
}

}  // namespace mv
