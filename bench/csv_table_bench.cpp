// Reading a table of measurements as `create --from-csv` does, against one plain pass over the
// same bytes (counting its line breaks: what any reader must at least look at).
//
// Two tables of about 16 MB each:
//   - "dot": comma-delimited, decimal points, block and sample columns and five parameters;
//   - "comma": semicolon-delimited, decimal commas, block, sample, date and time columns and five
//     parameters, as spreadsheet programs write them for Russian.
// Each is read as rows only (the reader), as rows with every cell read as a number, and built
// into a dataset (the reader, the numbers, the dataset and its statistics).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "core/numbers.h"
#include "core/text.h"
#include "import/csv_table.h"
#include "import/table_dataset.h"

namespace {

constexpr std::size_t kTableBytes = 16u << 20;

// A value from a simple generator with three decimals after `point`.
void AppendValue(std::string& out, std::uint32_t& state, char point) {
  state = state * 1664525u + 1013904223u;
  const std::uint32_t thousandths = 19000 + (state >> 8) % 2000;  // 19.000 .. 20.999
  out += std::to_string(thousandths / 1000);
  out += point;
  const std::uint32_t frac = thousandths % 1000;
  out += static_cast<char>('0' + frac / 100);
  out += static_cast<char>('0' + frac / 10 % 10);
  out += static_cast<char>('0' + frac % 10);
}

std::string MakeTable(bool decimalComma) {
  const char delimiter = decimalComma ? ';' : ',';
  const char point = decimalComma ? ',' : '.';
  std::string out = decimalComma ? "block;sample;date;time;D1;D2;D3;D4;D5\r\n" : "block,sample,D1,D2,D3,D4,D5\n";
  std::uint32_t state = 1;
  for (std::uint32_t row = 0; out.size() < kTableBytes; ++row) {
    const std::uint32_t sample = row / 5 % 1000;
    const std::uint32_t block = row / 5000;  // 1000 samples of 5 points
    out += "B" + std::to_string(block) + delimiter + "S" + std::to_string(sample);
    if (decimalComma) {
      out += ";" + std::to_string(1 + sample % 28) + ".03.2024;" + std::to_string(8 + sample % 10) + ":15";
    }
    for (int p = 0; p < 5; ++p) {
      out += delimiter;
      AppendValue(out, state, point);
    }
    out += decimalComma ? "\r\n" : "\n";
  }
  return out;
}

const std::string& Table(bool decimalComma) {
  static const std::string dot = MakeTable(false);
  static const std::string comma = MakeTable(true);
  return decimalComma ? comma : dot;
}

void BM_LineCountBaseline(benchmark::State& state) {
  const std::string& bytes = Table(state.range(0) != 0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::count(bytes.begin(), bytes.end(), '\n'));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_LineCountBaseline)->ArgName("decimalComma")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_CsvRows(benchmark::State& state) {
  const std::string& bytes = Table(state.range(0) != 0);
  for (auto _ : state) {
    mv::CsvTable table(bytes);
    mv::CsvRow row;
    std::size_t cells = 0;
    while (table.NextRow(row)) cells += row.cells.size();
    benchmark::DoNotOptimize(cells);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_CsvRows)->ArgName("decimalComma")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The rows with every cell read by the imported-number rule, as the dataset takes its values.
void BM_CsvNumbers(benchmark::State& state) {
  const std::string& bytes = Table(state.range(0) != 0);
  for (auto _ : state) {
    mv::CsvTable table(bytes);
    mv::CsvRow row;
    double sum = 0;
    while (table.NextRow(row)) {
      for (const std::string_view cell : row.cells) {
        const mv::TypedNumber number = mv::ParseImportedNumber(mv::Trim(cell));
        if (number.status == mv::TypedNumberStatus::Ok) sum += number.value;
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_CsvNumbers)->ArgName("decimalComma")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_CsvDataset(benchmark::State& state) {
  const std::string& bytes = Table(state.range(0) != 0);
  mv::TableDatasetOptions options;
  options.blockName = "Блок 1";
  for (auto _ : state) {
    mv::CsvTable table(bytes);
    const mv::TableDatasetResult result = mv::BuildTableDataset(table, options);
    if (!result.Ok()) {
      state.SkipWithError(result.error.c_str());
      break;
    }
    benchmark::DoNotOptimize(result.dataset.get());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_CsvDataset)->ArgName("decimalComma")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
