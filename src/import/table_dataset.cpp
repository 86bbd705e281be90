#include "import/table_dataset.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <unordered_map>

#include "core/date_time.h"
#include "core/file_error.h"
#include "core/numbers.h"
#include "core/text.h"
#include "spc/derived_data.h"

namespace mv {
namespace {

enum class Role : std::uint8_t { Data = 0, Block = 1, Sample = 2, Date = 3, Time = 4, Size = 5, Note = 6, Event = 7 };

struct Column {
  Role role = Role::Data;
  std::string name;   // the heading; cut to a parameter name's length for data
  int parameter = 0;  // position, for data
  int decimalsSeen = 0;
};

constexpr std::int64_t kMaxSampleSize = 32767;  // a sample's size is a 16-bit count

// A cell or a name inside a one-line message: line breaks of quoted cells become blanks and a
// long text is shortened.
std::string Shown(std::string_view text) {
  constexpr std::size_t kMax = 40;
  std::string out = CutToChars(text, kMax);
  std::replace_if(
      out.begin(), out.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  if (CharCount(text) > kMax) out += "...";
  return "«" + out + "»";
}

// A heading or a block label as a name: a line break or tab of a quoted cell becomes a blank.
std::string NameText(std::string_view text, std::size_t maxChars) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;  // CR LF is one break
    out += c == '\r' || c == '\n' || c == '\t' ? ' ' : c;
  }
  return CutToChars(out, maxChars);
}

std::string LineText(int line) { return "Строка " + std::to_string(line); }

// dd.mm.yyyy or yyyy-mm-dd (day and month may have one digit).
std::optional<CalendarDate> ParseDate(std::string_view text) {
  const char separator = text.find('-') != std::string_view::npos ? '-' : '.';
  const std::size_t first = text.find(separator);
  const std::size_t second = first == std::string_view::npos ? first : text.find(separator, first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  const std::string_view a = text.substr(0, first);
  const std::string_view b = text.substr(first + 1, second - first - 1);
  const std::string_view c = text.substr(second + 1);
  const bool dayFirst = separator == '.';
  const std::string_view year = dayFirst ? c : a;
  const std::string_view day = dayFirst ? a : c;
  const auto digits = [](std::string_view part, std::size_t minSize, std::size_t maxSize) {
    return part.size() >= minSize && part.size() <= maxSize &&
           std::all_of(part.begin(), part.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
  };
  if (!digits(year, 4, 4) || !digits(b, 1, 2) || !digits(day, 1, 2)) return std::nullopt;
  CalendarDate date;
  date.year = static_cast<int>(*ParseInteger(year, 0, 9999));
  date.month = static_cast<int>(*ParseInteger(b, 0, 99));
  date.day = static_cast<int>(*ParseInteger(day, 0, 99));
  if (!EncodeDate(date.year, date.month, date.day)) return std::nullopt;
  return date;
}

// hh:mm or hh:mm:ss (the hour may have one digit).
std::optional<ClockTime> ParseTime(std::string_view text) {
  int parts[3] = {0, 0, 0};
  int count = 0;
  std::size_t pos = 0;
  for (;;) {
    const std::size_t end = std::min(text.find(':', pos), text.size());
    const std::string_view part = text.substr(pos, end - pos);
    const bool twoDigits = part.size() == 2 || (count == 0 && part.size() == 1);
    if (count == 3 || !twoDigits ||
        !std::all_of(part.begin(), part.end(), [](char ch) { return ch >= '0' && ch <= '9'; })) {
      return std::nullopt;
    }
    parts[count++] = static_cast<int>(*ParseInteger(part, 0, 99));
    if (end == text.size()) break;
    pos = end + 1;
  }
  if (count < 2) return std::nullopt;
  ClockTime time;
  time.hour = parts[0];
  time.minute = parts[1];
  time.second = parts[2];
  if (!EncodeTime(time.hour, time.minute, time.second)) return std::nullopt;
  return time;
}

class TableBuilder {
 public:
  TableBuilder(CsvTable& table, const TableDatasetOptions& options) : m_table(table), m_options(options) {}

  TableDatasetResult Run() {
    m_dataset = std::make_unique<TDatasetSPC>();
    if (!ReadHeadings() || !TakeOptions() || !AddParameters()) return Failed();
    CsvRow row;
    while (m_table.NextRow(row)) {
      if (!TakeRow(row)) return Failed();
    }
    if (!m_table.Error().empty()) {
      m_error = m_table.Error();
      return Failed();
    }
    if (m_dataset->BlockCount() == 0) {
      m_error = "В таблице нет строк с данными";
      return Failed();
    }
    Finish();
    return {std::move(m_dataset), {}};
  }

 private:
  TableDatasetResult Failed() { return {nullptr, std::move(m_error)}; }

  bool Fail(std::string text) {
    m_error = std::move(text);
    return false;
  }

  bool Attributes() const { return !m_options.attributes.empty(); }

  // The data column named `name` (as the headings are matched: letter case ignored, cut to a
  // parameter name's length), or nullptr.
  Column* DataColumn(std::string_view name) {
    const std::string key = NameText(Trim(name), TSPCParameter::kNameMax);
    for (Column& c : m_columns) {
      if (c.role == Role::Data && SameText(c.name, key)) return &c;
    }
    return nullptr;
  }

  const Column* ColumnOf(Role role) const {
    for (const Column& c : m_columns) {
      if (c.role == role) return &c;
    }
    return nullptr;
  }

  bool ReadHeadings() {
    CsvRow row;
    if (!m_table.NextRow(row)) {
      return Fail(m_table.Error().empty() ? "Таблица пуста: нет строки заголовков" : m_table.Error());
    }
    // Spreadsheet programs often end every line with a delimiter: empty headings at the end
    // are not columns.
    std::size_t count = row.cells.size();
    while (count > 0 && Trim(row.cells[count - 1]).empty()) --count;
    const std::string at = LineText(row.line) + ", столбец ";
    int dataCount = 0;
    for (std::size_t i = 0; i < count; ++i) {
      const std::string_view heading = Trim(row.cells[i]);
      const std::string number = std::to_string(i + 1);
      if (heading.empty()) return Fail(at + number + ": нет заголовка");
      Column column;
      column.name = NameText(heading, TSPCParameter::kNameMax);
      if (SameText(heading, "block")) {
        column.role = Role::Block;
      } else if (SameText(heading, "sample")) {
        column.role = Role::Sample;
      } else if (SameText(heading, "date")) {
        column.role = Role::Date;
      } else if (SameText(heading, "time")) {
        column.role = Role::Time;
      } else if (SameText(heading, "size") && Attributes()) {
        column.role = Role::Size;
      } else if (SameText(heading, "note")) {
        column.role = Role::Note;
      } else if (SameText(heading, "event")) {
        column.role = Role::Event;
      } else {
        ++dataCount;
      }
      // Past the capacity the table fails anyway; only the count is still needed.
      if (dataCount <= static_cast<int>(kMaxParameters)) {
        for (const Column& earlier : m_columns) {
          if (SameText(earlier.name, column.name)) {
            return Fail(at + number + ": заголовок " + Shown(heading) + " повторяется");
          }
        }
      }
      m_columns.push_back(std::move(column));
    }
    if (dataCount == 0) return Fail("В таблице нет столбцов с данными (параметров)");
    if (dataCount > static_cast<int>(kMaxParameters)) {
      return Fail("Столбцов с данными " + std::to_string(dataCount) + ", а параметров может быть не больше " +
                  std::to_string(kMaxParameters));
    }
    m_date = ColumnOf(Role::Date) != nullptr;
    m_time = ColumnOf(Role::Time) != nullptr;
    if (m_time && !m_date) return Fail("Столбец time есть, а столбца date нет: время задаётся только вместе с датой");
    if (Attributes()) {
      if (ColumnOf(Role::Size) == nullptr) {
        return Fail("Нет столбца size: у альтернативных данных каждая выборка имеет объём");
      }
    }
    return true;
  }

  bool TakeOptions() {
    for (const TableAttribute& a : m_options.attributes) {
      if (!DataColumn(a.name))
        return Fail("Альтернативный параметр " + Shown(a.name) + ": такого столбца в таблице нет");
    }
    if (Attributes()) {
      for (const Column& c : m_columns) {
        if (c.role != Role::Data) continue;
        const bool named = std::any_of(m_options.attributes.begin(), m_options.attributes.end(),
                                       [&](const TableAttribute& a) { return DataColumn(a.name) == &c; });
        if (!named) {
          return Fail("Столбец " + Shown(c.name) +
                      " не назван альтернативным параметром, а в альтернативном блоке все параметры альтернативные");
        }
      }
      if (m_options.individual) return Fail("Индивидуальные значения бывают только у количественных данных");
      if (!m_options.tolerances.empty() || !m_options.decimals.empty()) {
        return Fail("Допуск и число знаков задаются только количественным параметрам");
      }
    }
    if (m_options.sampleSize != 0) {
      if (m_options.sampleSize < 1 || m_options.sampleSize > static_cast<int>(kMaxPoints)) {
        return Fail("Объём выборки " + std::to_string(m_options.sampleSize) + " (допустимо от 1 до " +
                    std::to_string(kMaxPoints) + ")");
      }
      if (Attributes()) return Fail("Объём выборки не задаётся альтернативным данным: каждая строка - выборка");
      if (ColumnOf(Role::Sample) != nullptr) {
        return Fail("Объём выборки задан, а выборки уже размечены столбцом sample");
      }
      m_rowsPerSample = m_options.sampleSize;
    } else if (m_options.individual) {
      m_rowsPerSample = static_cast<int>(kMaxPoints);
    }
    if (ColumnOf(Role::Block) == nullptr && Trim(m_options.blockName).empty()) return Fail("Не задано имя блока");
    for (const TableTolerance& t : m_options.tolerances) {
      if (!DataColumn(t.name)) return Fail("Допуск задан для столбца " + Shown(t.name) + ", которого в таблице нет");
      if (!t.lsl && !t.usl) return Fail("Допуск " + Shown(t.name) + ": не задана ни одна граница");
      if (t.lsl && t.usl && !(*t.usl > *t.lsl)) {
        return Fail("Допуск " + Shown(t.name) + ": верхняя граница " + FormatTrimmed(*t.usl, 10) +
                    " не больше нижней " + FormatTrimmed(*t.lsl, 10));
      }
    }
    for (const TableDecimals& d : m_options.decimals) {
      if (!DataColumn(d.name))
        return Fail("Число знаков задано для столбца " + Shown(d.name) + ", которого в таблице нет");
      if (d.decimals < 0 || d.decimals > kMaxDecimals) {
        return Fail("Число знаков " + Shown(d.name) + ": " + std::to_string(d.decimals) + " (допустимо от 0 до " +
                    std::to_string(kMaxDecimals) + ")");
      }
    }
    for (const TableUnit& u : m_options.units) {
      if (!DataColumn(u.name)) return Fail("Единица задана для столбца " + Shown(u.name) + ", которого в таблице нет");
    }
    return true;
  }

  bool AddParameters() {
    for (Column& c : m_columns) {
      if (c.role != Role::Data) continue;
      TSPCParameter props;
      props.name = c.name;
      props.kind = Attributes() ? DataKind::Attr : DataKind::Var;
      for (const TableAttribute& a : m_options.attributes) {
        if (DataColumn(a.name) == &c) props.SetFlag(param_flag::kNonconformities, a.type == AttrType::Nonconformities);
      }
      for (const TableUnit& u : m_options.units) {
        if (DataColumn(u.name) == &c) props.unit = u.unit;
      }
      c.parameter = m_dataset->SetParameter(0, 0, props);
      if (c.parameter == 0) return Fail("Не удалось добавить параметр " + Shown(c.name));  // unreachable: at most 20
    }
    return true;
  }

  // The cell without the blanks around it (as Trim takes them, without a search per byte).
  static std::string_view TrimCell(std::string_view cell) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::size_t first = 0;
    std::size_t last = cell.size();
    while (first < last && blank(cell[first])) ++first;
    while (last > first && blank(cell[last - 1])) --last;
    return cell.substr(first, last - first);
  }

  // The trimmed cells of a row, one for every column ("" past the end of a short row).
  void TrimCells(const CsvRow& row) {
    m_cells.assign(m_columns.size(), std::string_view());
    for (std::size_t i = 0; i < m_columns.size() && i < row.cells.size(); ++i) m_cells[i] = TrimCell(row.cells[i]);
  }

  std::string At(int line, const Column& column) const {
    return LineText(line) + ", столбец " + Shown(column.name) + ": ";
  }

  bool TakeRow(const CsvRow& row) {
    for (std::size_t i = m_columns.size(); i < row.cells.size(); ++i) {
      if (!TrimCell(row.cells[i]).empty()) {
        return Fail(LineText(row.line) + ", столбец " + std::to_string(i + 1) + ": значение в столбце без заголовка");
      }
    }
    TrimCells(row);
    if (std::all_of(m_cells.begin(), m_cells.end(), [](std::string_view cell) { return cell.empty(); })) return true;

    std::string_view blockLabel;
    std::string_view sampleLabel;
    const Column* dateColumn = nullptr;
    const Column* timeColumn = nullptr;
    std::string_view dateCell;
    std::string_view timeCell;
    std::string_view sizeCell;
    const Column* sizeColumn = nullptr;
    std::string_view noteCell;
    std::string_view eventCell;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
      const Column& c = m_columns[i];
      const std::string_view cell = m_cells[i];
      switch (c.role) {
        case Role::Block:
          if (cell.empty()) return Fail(At(row.line, c) + "нет имени блока");
          blockLabel = cell;
          break;
        case Role::Sample:
          if (cell.empty()) return Fail(At(row.line, c) + "нет метки выборки");
          sampleLabel = cell;
          break;
        case Role::Date:
          dateColumn = &c;
          dateCell = cell;
          break;
        case Role::Time:
          timeColumn = &c;
          timeCell = cell;
          break;
        case Role::Size:
          sizeColumn = &c;
          sizeCell = cell;
          break;
        case Role::Note: noteCell = cell; break;
        case Role::Event: eventCell = cell; break;
        case Role::Data: break;
      }
    }

    const bool hasBlockColumn = ColumnOf(Role::Block) != nullptr;
    const bool newBlock = m_block == 0 || (hasBlockColumn && blockLabel != m_blockLabel);
    if (newBlock && !StartBlock(row.line, hasBlockColumn ? blockLabel : std::string_view(m_options.blockName))) {
      return false;
    }
    TSPCBlock& block = *m_dataset->Block(m_block);

    // Consecutive rows with one label form a sample; without labels the rows fill samples of
    // m_rowsPerSample points in order. Alternative data have a sample in every row, which a
    // label only names: one that comes again would merge two samples, so it is refused.
    const bool labelled = ColumnOf(Role::Sample) != nullptr;
    if (labelled && Attributes()) {
      if (newBlock) m_labelLines.clear();
      const auto [earlier, added] = m_labelLines.emplace(std::string(sampleLabel), row.line);
      if (!added) {
        return Fail(LineText(row.line) + ": выборка " + Shown(sampleLabel) + " уже была в строке " +
                    std::to_string(earlier->second) + ", а у альтернативных данных каждая строка - выборка");
      }
    }
    const bool byLabel = labelled && !Attributes();
    const bool newSample =
        newBlock || (byLabel ? sampleLabel != m_sampleLabel : block.Samples().back().PointCount() >= m_rowsPerSample);
    std::optional<TDateTime> when;
    if (dateColumn && (newSample || m_options.individual)) {
      if (m_whenRead && dateCell == m_dateCell && timeCell == m_timeCell) {
        when = m_when;
      } else {
        when = ReadDateTime(row.line, *dateColumn, dateCell, timeColumn, timeCell);
        if (!when) return false;
        m_whenRead = true;
        m_dateCell = dateCell;
        m_timeCell = timeCell;
        m_when = *when;
      }
    }
    if (newSample) {
      // An individual-values block keeps its points together in large samples: a new sample
      // starts only when the current one is full (or its label changes). Keyboard entry of
      // individual values must add points to the block's current sample the same way instead
      // of making a sample of every point.
      // Samples without a date of their own are dated when the import made them: the clock is
      // read once, not for every sample.
      if (!m_addedAt) m_addedAt = Now();
      if (!block.AddSample(noteCell, eventCell, true, *m_addedAt)) {
        return Fail(LineText(row.line) + ": в блоке " + Shown(block.name) + " больше " + std::to_string(kMaxSamples) +
                    " выборок");
      }
      m_sampleLabel = sampleLabel;
      TSPCSample& sample = block.Samples().back();
      if (when) sample.dateTime = *when;
      if (sizeColumn) {
        if (sizeCell.empty()) return Fail(At(row.line, *sizeColumn) + "нет объёма выборки");
        const auto size = ParseInteger(sizeCell, 1, kMaxSampleSize);
        if (!size) {
          return Fail(At(row.line, *sizeColumn) + Shown(sizeCell) + " - не целое число от 1 до " +
                      std::to_string(kMaxSampleSize));
        }
        sample.sampleSize = static_cast<std::int16_t>(*size);
      }
    }
    TSPCSample& sample = block.Samples().back();
    if (!sample.AddPoint()) {
      return Fail(LineText(row.line) + ": в выборке " + Shown(sampleLabel) + " больше " + std::to_string(kMaxPoints) +
                  " точек");
    }
    TFileSmpPoint point = sample.Point(sample.PointCount());
    // Individual values were each measured at their own time: the point keeps its row's.
    if (when && m_options.individual) {
      point.SetDateTime(*when);
      point.SetFlags(static_cast<std::uint16_t>(point.Flags() | point_flag::kOwnDate | (timeColumn ? point_flag::kOwnTime : 0)));
    }
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
      Column& c = m_columns[i];
      if (c.role != Role::Data) continue;
      const std::string_view cell = m_cells[i];
      int decimals = 0;
      const TypedNumber number = ParseImportedNumber(cell, decimals);
      if (number.status == TypedNumberStatus::Empty) continue;
      if (number.status == TypedNumberStatus::Invalid) return Fail(At(row.line, c) + Shown(cell) + " - не число");
      if (Attributes()) {
        if (number.value < 0 || number.value != std::floor(number.value)) {
          return Fail(At(row.line, c) + Shown(cell) + " - не целое неотрицательное число");
        }
        const TSPCParameter& p = *m_dataset->Parameter(c.parameter);
        if (p.Type() == AttrType::Units && number.value > sample.sampleSize) {
          return Fail(At(row.line, c) + "несоответствующих единиц " + FormatTrimmed(number.value, 0) +
                      " больше объёма выборки " + std::to_string(sample.sampleSize));
        }
      } else {
        c.decimalsSeen = std::max(c.decimalsSeen, std::min(decimals, static_cast<int>(kMaxDecimals)));
      }
      point.SetValue(c.parameter, number.value);
    }
    return true;
  }

  bool StartBlock(int line, std::string_view label) {
    const std::string name = NameText(label, TSPCBlock::kNameMax);
    if (m_dataset->FindBlock(name) != 0) {
      return Fail(LineText(line) + ": блок " + Shown(label) + " уже был выше, а строки блока должны идти подряд");
    }
    std::uint16_t flags = 0;
    if (m_date) flags |= block_flag::kDates;
    if (m_time) flags |= block_flag::kTimes;
    const SamplingMode mode = m_options.individual ? SamplingMode::Individual : SamplingMode::Samples;
    const DataKind kind = Attributes() ? DataKind::Attr : DataKind::Var;
    m_block = m_dataset->AddBlock(0, name, mode, flags, 0, kind, "", "");
    if (m_block == 0) return Fail(LineText(line) + ": блоков больше " + std::to_string(kMaxBlocks));
    m_dataset->NumberBlock(m_block);
    m_blockLabel = label;
    return true;
  }

  // The date and time cells of a row as one value; nothing after setting the error.
  std::optional<TDateTime> ReadDateTime(int line, const Column& dateColumn, std::string_view dateCell,
                                        const Column* timeColumn, std::string_view timeCell) {
    if (dateCell.empty()) {
      Fail(At(line, dateColumn) + "нет даты");
      return std::nullopt;
    }
    const auto date = ParseDate(dateCell);
    if (!date) {
      Fail(At(line, dateColumn) + Shown(dateCell) + " - не дата (дд.мм.гггг или гггг-мм-дд)");
      return std::nullopt;
    }
    ClockTime time;
    if (timeColumn) {
      if (timeCell.empty()) {
        Fail(At(line, *timeColumn) + "нет времени");
        return std::nullopt;
      }
      const auto parsed = ParseTime(timeCell);
      if (!parsed) {
        Fail(At(line, *timeColumn) + Shown(timeCell) + " - не время (чч:мм или чч:мм:сс)");
        return std::nullopt;
      }
      time = *parsed;
    }
    // Both parts were checked on their own, so they combine.
    return EncodeDateTime(*date, time).value_or(0);
  }

  void Finish() {
    TDatasetSPC& ds = *m_dataset;
    ds.processName = CutToChars(m_options.processName, TDatasetSPC::kProcessNameMax);
    for (const Column& c : m_columns) {
      if (c.role != Role::Data || Attributes()) continue;
      TSPCParameter& p = *ds.Parameter(c.parameter);
      p.decimals = static_cast<std::uint8_t>(c.decimalsSeen);
      // Later entries win, as the last of repeated options does.
      for (const TableDecimals& d : m_options.decimals) {
        if (DataColumn(d.name) == &c) p.decimals = static_cast<std::uint8_t>(d.decimals);
      }
      for (const TableTolerance& t : m_options.tolerances) {
        if (DataColumn(t.name) == &c) p.SetTolerance(t.lsl, t.usl, t.nominal);
      }
    }
    // A new dataset has no marks: without a tolerance there are none to set.
    if (!m_options.tolerances.empty()) {
      for (int b = 1; b <= ds.BlockCount(); ++b) {
        for (TSPCSample& sample : ds.Block(b)->Samples()) ds.UpdateToleranceMarks(sample);
      }
    }
    RefreshDerivedData(ds);
  }

  CsvTable& m_table;
  const TableDatasetOptions& m_options;
  std::unique_ptr<TDatasetSPC> m_dataset;
  std::string m_error;
  std::vector<Column> m_columns;
  bool m_date = false;
  bool m_time = false;
  int m_rowsPerSample = 1;  // without a sample column
  int m_block = 0;          // position of the block being filled
  std::string m_blockLabel;
  std::string m_sampleLabel;
  std::unordered_map<std::string, int> m_labelLines;  // alternative data: label, its row's line
  std::vector<std::string_view> m_cells;              // the row being taken, trimmed, by column
  // The last date and time read, with their cells: neighbouring rows mostly repeat them.
  bool m_whenRead = false;
  std::string m_dateCell;
  std::string m_timeCell;
  TDateTime m_when = 0;
  std::optional<TDateTime> m_addedAt;  // the date of the samples made, read at the first
};

}  // namespace

std::optional<TDateTime> ParseTableDateTime(std::string_view text) {
  const std::size_t blank = text.find(' ');
  const auto date = ParseDate(text.substr(0, blank));
  if (!date) return std::nullopt;
  ClockTime time;
  if (blank != std::string_view::npos) {
    const auto parsed = ParseTime(text.substr(blank + 1));
    if (!parsed) return std::nullopt;
    time = *parsed;
  }
  return EncodeDateTime(*date, time);
}

TableDatasetResult BuildTableDataset(CsvTable& table, const TableDatasetOptions& options) {
  // The table decides how much the dataset takes: a failed allocation is an error like any
  // other, and the dataset built so far is dropped.
  try {
    return TableBuilder(table, options).Run();
  } catch (const std::bad_alloc&) {
    return {nullptr, FileErrorText(kOutOfMemoryCode)};
  }
}

}  // namespace mv
