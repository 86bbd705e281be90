#pragma once
// A CSV table read one row at a time from bytes that come from outside (a file the user picked,
// exported by any program).
//
//   - UTF-8, with or without a byte-order mark. Bytes that are not valid UTF-8 are taken as
//     Windows-1251, which is what spreadsheet programs write for Russian text on Windows.
//   - Lines end with LF, CR LF or a lone CR.
//   - The delimiter is the most frequent of ',', ';' and tab in the first row outside double
//     quotes (on a tie tab, then ';', then ','). A first row without any of them makes a table
//     of one column.
//   - A cell that starts with a double quote runs to the next lone quote, "" standing for one
//     quote; it may hold delimiters and line breaks. Text after the closing quote is kept as
//     it is. A quote inside an unquoted cell is an ordinary character.
//   - Empty lines are skipped. Cells are returned exactly as written (no trimming).
//
// Rows are not collected: a caller that stops early reads no further, and memory stays at one
// row whatever the size of the input. The text is read once, byte by byte; a cell is a view of
// the text itself unless quotes had to be taken out of it.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

struct CsvRow {
  int line = 0;  // the line the row starts on, 1-based
  // Views of the table's text, or of the row's own copy of cells that had quotes taken out:
  // valid until the row is read into again and while the table lives.
  std::vector<std::string_view> cells;

 private:
  friend class CsvTable;
  std::string m_unquoted;                    // quoted cells as their text, one after another
  std::vector<std::size_t> m_unquotedCells;  // the cells in m_unquoted, by position in `cells`
};

class CsvTable {
 public:
  static constexpr std::size_t kMaxBytes = 64u * 1024 * 1024;
  static constexpr std::size_t kMaxCells = 1000;  // per row

  // `bytes` must outlive the table (unless they had to be converted, which makes a copy).
  explicit CsvTable(std::string_view bytes);

  char Delimiter() const { return m_delimiter; }  // '\0' for a table of one column
  // The next row into `row` (its cell storage is reused). False at the end of the text, or on
  // an error, which Error() then describes with its line number.
  bool NextRow(CsvRow& row);
  // "" while the text reads well.
  const std::string& Error() const { return m_error; }

 private:
  bool Fail(std::string text);
  // The quoted cell starting at m_pos (on its opening quote) and the text after its closing
  // quote, appended to row.m_unquoted; false when the quote is never closed.
  bool ReadQuoted(CsvRow& row);

  std::string m_converted;  // the text as UTF-8 when it had to be converted
  std::string_view m_text;
  std::size_t m_pos = 0;
  int m_line = 1;
  char m_delimiter = '\0';
  std::array<bool, 256> m_stops{};  // the bytes that end an unquoted cell
  std::string m_error;
};

}  // namespace mv
