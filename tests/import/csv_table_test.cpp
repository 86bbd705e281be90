#include "import/csv_table.h"

#include <gtest/gtest.h>

#include <string>

namespace mv {
namespace {

// Every row as "line:cell|cell", rows joined by " / ", then the error (if any) after " ! ".
struct Read {
  char delimiter = 0;
  std::string rows;
};

Read ReadAll(std::string_view bytes) {
  CsvTable table(bytes);
  Read read{table.Delimiter(), {}};
  CsvRow row;
  while (table.NextRow(row)) {
    if (!read.rows.empty()) read.rows += " / ";
    read.rows += std::to_string(row.line) + ":";
    for (std::size_t i = 0; i < row.cells.size(); ++i) read.rows += (i ? "|" : "") + std::string(row.cells[i]);
  }
  if (!table.Error().empty()) read.rows += " ! " + table.Error();
  return read;
}

TEST(CsvTable, DelimiterIsTheMostFrequentOutsideQuotesInTheFirstRow) {
  const struct {
    std::string_view text;
    char delimiter;
    std::string_view rows;
  } kCases[] = {
      {"a,b,c\n1,2,3\n", ',', "1:a|b|c / 2:1|2|3"},
      {"a;b\n1,5;2\n", ';', "1:a|b / 2:1,5|2"},  // decimal commas in the data do not count
      {"a\tb;c\td\n", '\t', "1:a|b;c|d"},
      {"\"x;y;z\",b\n", ',', "1:x;y;z|b"},             // inside quotes
      {"a;b,c\n", ';', "1:a|b,c"},                     // a tie: ';' before ','
      {"a\tb;c\n", '\t', "1:a|b;c"},                   // a tie: tab before ';'
      {"Длина\n120,1\n", '\0', "1:Длина / 2:120,1"},   // no delimiter: one column
      {"a;b\n\"1\nx;y\"\n", ';', "1:a|b / 2:1\nx;y"},  // only the first row decides
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    const Read read = ReadAll(c.text);
    EXPECT_EQ(read.delimiter, c.delimiter);
    EXPECT_EQ(read.rows, c.rows);
  }
}

TEST(CsvTable, CellsQuotesLineEndsAndLineNumbers) {
  const struct {
    std::string_view text;
    std::string_view rows;
  } kCases[] = {
      {"\"a \"\"q\"\" b\";c", "1:a \"q\" b|c"},   // "" is one quote
      {"ab\"c;\"\"", "1:ab\"c|"},                 // a quote inside a cell is a character; "" an empty cell
      {"\"ab\"c;d", "1:abc|d"},                   // text after the closing quote is kept
      {"a;b;\n1;;\n", "1:a|b| / 2:1||"},          // empty cells, trailing delimiters
      {" a ; b ", "1: a | b "},                   // no trimming
      {"a;b\r\n\r\n\n1;2\r\n", "1:a|b / 4:1|2"},  // CR LF, empty lines skipped but counted
      {"a;b\r1;2\r", "1:a|b / 2:1|2"},            // lone CR
      {"\"x\r\ny\";\"p\nq\"\nnext", "1:x\r\ny|p\nq / 4:next"},  // breaks inside quotes count as lines
      {"\xEF\xBB\xBF"
       "a;b\n1;2",
       "1:a|b / 2:1|2"},  // byte-order mark skipped
      {"", ""},
      {"\n\r\n", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ReadAll(c.text).rows, c.rows);
  }
}

TEST(CsvTable, TextThatIsNotUtf8IsReadAsWindows1251) {
  // "Длина;Ширина" in Windows-1251, as a spreadsheet program saves it for Russian.
  EXPECT_EQ(ReadAll("\xC4\xEB\xE8\xED\xE0;\xD8\xE8\xF0\xE8\xED\xE0\n1;2").rows, "1:Длина|Ширина / 2:1|2");
  // A byte-order mark declares UTF-8: the bytes stay as they are.
  EXPECT_EQ(ReadAll("\xEF\xBB\xBF\xC4;b").rows, "1:\xC4|b");
}

TEST(CsvTable, ErrorsNameTheLineAndStopTheReading) {
  std::string wide(999, ';');  // 1000 cells: the limit
  std::string wider(1000, ';');
  const struct {
    std::string text;
    std::string_view rows;
  } kCases[] = {
      {"a;b\n1;2\n\n\"open;3\n4;5\n", "1:a|b / 2:1|2 ! Строка 4: нет закрывающей кавычки"},
      {"a\n\"x\ny\nz", "1:a ! Строка 2: нет закрывающей кавычки"},
      {"a;b\n" + wider + "\nb\n", "1:a|b ! Строка 2: больше 1000 ячеек"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text.substr(0, 20));
    EXPECT_EQ(ReadAll(c.text).rows, c.rows);
  }

  CsvTable limit(wide);
  CsvRow row;
  ASSERT_TRUE(limit.NextRow(row));
  EXPECT_EQ(row.cells.size(), 1000u);

  CsvTable broken("\"a");
  EXPECT_FALSE(broken.NextRow(row));
  EXPECT_FALSE(broken.NextRow(row));  // stays at the error
  EXPECT_EQ(broken.Error(), "Строка 1: нет закрывающей кавычки");
}

TEST(CsvTable, InputOverTheSizeCapIsRefusedWhole) {
  const std::string big(CsvTable::kMaxBytes + 1, 'a');
  CsvTable table(big);
  CsvRow row;
  EXPECT_FALSE(table.NextRow(row));
  EXPECT_EQ(table.Error(), "Файл CSV больше 64 МБ (67108865 байт)");
}

}  // namespace
}  // namespace mv
