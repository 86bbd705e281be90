// Arbitrary bytes as a CSV table: read row by row, then built into a dataset four ways (as it
// is; as individual values with a tolerance and decimals on the first parameter, in samples of
// 200 and of 3 rows; as alternative data counting every column). The reader must keep its row
// contract, the builder must give either a dataset within the capacities or an error, and every
// dataset it gives must be written and read back with the same counts.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/text.h"
#include "import/csv_table.h"
#include "import/table_dataset.h"
#include "spc/spc_file.h"

namespace {

volatile unsigned char g_sink = 0;  // what reading the cells' bytes gives, kept from the optimizer

void Check(bool ok) {
  if (!ok) std::abort();
}

// The headings that would become parameters.
std::vector<std::string> DataHeadings(std::string_view bytes) {
  std::vector<std::string> names;
  mv::CsvTable table(bytes);
  mv::CsvRow row;
  if (!table.NextRow(row)) return names;
  for (const std::string_view cell : row.cells) {
    const std::string_view name = mv::Trim(cell);
    bool special = false;
    for (const char* word : {"block", "sample", "date", "time", "size", "note", "event"}) special = special || mv::SameText(name, word);
    if (!special && !name.empty()) names.emplace_back(name);
  }
  return names;
}

void Build(std::string_view bytes, const mv::TableDatasetOptions& options) {
  mv::CsvTable table(bytes);
  const mv::TableDatasetResult result = mv::BuildTableDataset(table, options);
  Check(result.Ok() == result.error.empty());
  if (!result.Ok()) return;
  const mv::TDatasetSPC& ds = *result.dataset;
  Check(ds.ParameterCount() >= 1 && ds.ParameterCount() <= static_cast<int>(mv::kMaxParameters));
  Check(ds.BlockCount() >= 1 && ds.BlockCount() <= static_cast<int>(mv::kMaxBlocks));
  std::vector<int> samples;
  for (int b = 1; b <= ds.BlockCount(); ++b) {
    const mv::TSPCBlock& block = *ds.Block(b);
    Check(block.SampleCount() >= 1 && block.SampleCount() <= static_cast<int>(mv::kMaxSamples));
    for (const mv::TSPCSample& sample : block.Samples()) {
      Check(sample.PointCount() >= 1 && sample.PointCount() <= static_cast<int>(mv::kMaxPoints));
    }
    samples.push_back(block.SampleCount());
  }
  const mv::SpcReadResult again = mv::ReadSpcBytes(mv::EncodeSpcFile(ds, "fuzz.mvl", 45352.5), "fuzz.mvl");
  Check(again.Ok());
  Check(again.dataset->ParameterCount() == ds.ParameterCount());
  Check(again.dataset->BlockCount() == ds.BlockCount());
  for (int b = 1; b <= ds.BlockCount(); ++b) {
    Check(again.dataset->Block(b)->SampleCount() == samples[static_cast<std::size_t>(b - 1)]);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  mv::CsvTable table(bytes);
  mv::CsvRow row;
  int line = 0;
  while (table.NextRow(row)) {
    Check(!row.cells.empty() && row.cells.size() <= mv::CsvTable::kMaxCells);
    Check(row.line > line);
    // Every cell is a view: all its bytes must still be there to read (the sanitizer looks),
    // and together they are never more than the text (at most three bytes for each byte taken
    // as Windows-1251).
    std::size_t bytesInCells = 0;
    for (const std::string_view cell : row.cells) {
      for (const char c : cell) g_sink = static_cast<unsigned char>(g_sink + static_cast<unsigned char>(c));
      bytesInCells += cell.size();
    }
    Check(bytesInCells <= 3 * size);
    line = row.line;
  }
  Check(!table.NextRow(row));

  Build(bytes, {});
  const std::vector<std::string> names = DataHeadings(bytes);
  if (names.empty()) return 0;
  mv::TableDatasetOptions individual;
  individual.individual = true;
  individual.tolerances.push_back({names[0], 0.0, 10.0, 5.0});
  individual.decimals.push_back({names[0], 2});
  Build(bytes, individual);
  // Rows filling small samples, where the table has no sample column.
  individual.sampleSize = 3;
  Build(bytes, individual);
  mv::TableDatasetOptions attributes;
  for (std::size_t i = 0; i < names.size(); ++i) {
    attributes.attributes.push_back({names[i], i % 2 == 0 ? mv::AttrType::Units : mv::AttrType::Nonconformities});
  }
  Build(bytes, attributes);
  return 0;
}
