#include "import/csv_table.h"

#include <algorithm>
#include <array>

#include "core/cp1251.h"
#include "core/utf8.h"

namespace mv {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
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
}

bool CsvTable::Fail(std::string text) {
  m_error = std::move(text);
  m_pos = m_text.size();
  return false;
}

bool CsvTable::NextRow(CsvRow& row) {
  row.cells.clear();
  if (!m_error.empty()) return false;
  const std::size_t size = m_text.size();
  // Consumes one line break at m_pos (CR LF counts once).
  const auto takeLineEnd = [&] {
    if (m_text[m_pos] == '\r' && m_pos + 1 < size && m_text[m_pos + 1] == '\n') ++m_pos;
    ++m_pos;
    ++m_line;
  };
  while (m_pos < size && IsLineEnd(m_text[m_pos])) takeLineEnd();
  if (m_pos >= size) return false;

  row.line = m_line;
  const char stops[] = {'\r', '\n', m_delimiter};
  const std::string_view stopSet(stops, m_delimiter != '\0' ? 3 : 2);
  std::string cell;
  for (;;) {
    cell.clear();
    if (m_pos < size && m_text[m_pos] == '"') {
      const int startLine = m_line;
      ++m_pos;
      for (;;) {
        if (m_pos >= size) return Fail("Строка " + std::to_string(startLine) + ": нет закрывающей кавычки");
        const char c = m_text[m_pos];
        if (c == '"') {
          if (m_pos + 1 < size && m_text[m_pos + 1] == '"') {
            cell += '"';
            m_pos += 2;
            continue;
          }
          ++m_pos;
          break;
        }
        // A line break inside quotes belongs to the cell but still counts as a line.
        if (c == '\n' || (c == '\r' && (m_pos + 1 >= size || m_text[m_pos + 1] != '\n'))) ++m_line;
        cell += c;
        ++m_pos;
      }
    }
    const std::size_t end = std::min(m_text.find_first_of(stopSet, m_pos), size);
    cell.append(m_text, m_pos, end - m_pos);
    m_pos = end;
    if (row.cells.size() >= kMaxCells) {
      return Fail("Строка " + std::to_string(row.line) + ": больше " + std::to_string(kMaxCells) + " ячеек");
    }
    row.cells.push_back(cell);
    if (m_pos >= size) break;
    if (m_delimiter != '\0' && m_text[m_pos] == m_delimiter) {
      ++m_pos;
      continue;
    }
    takeLineEnd();
    break;
  }
  return true;
}

}  // namespace mv
