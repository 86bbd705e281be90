// Arbitrary bytes as an SPC data file. Each input is read twice: as it is, and with the
// header's check value made to fit, so that mutations reach the records behind the header.
// What loads must hold as many parameters and blocks as its header counts, and save and load
// again to the same content with the same counts of blocks, samples and points.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/byte_order.h"
#include "core/check_value.h"
#include "spc/spc_file.h"

namespace {

// The blocks' sample counts and the samples' point counts, in order.
std::vector<int> Counts(const mv::TDatasetSPC& ds) {
  std::vector<int> counts{ds.ParameterCount(), ds.BlockCount()};
  for (int b = 1; b <= ds.BlockCount(); ++b) {
    const mv::TSPCBlock& block = *ds.Block(b);
    counts.push_back(block.SampleCount());
    for (int s = 1; s <= block.SampleCount(); ++s) counts.push_back(block.Sample(s)->PointCount());
  }
  return counts;
}

void Exercise(const std::string& bytes) {
  mv::SpcReadResult result = mv::ReadSpcBytes(bytes, "fuzz.mvl");
  if (!result.Ok()) {
    if (result.message.empty()) std::abort();  // every refusal says why
    return;
  }
  const mv::TDatasetSPC& ds = *result.dataset;
  // The counts it read: the header's, and each block's own.
  if (ds.ParameterCount() != mv::GetI16(bytes, mv::kSpcPrefixSize + 242) ||
      ds.BlockCount() != mv::GetI16(bytes, mv::kSpcPrefixSize + 244)) {
    std::abort();
  }
  for (int b = 1; b <= ds.BlockCount(); ++b) {
    if (ds.Block(b)->SampleCount() != ds.Block(b)->declaredSamples) std::abort();
  }
  const std::string saved = mv::EncodeSpcFile(ds, "fuzz.mvl", 0);
  mv::SpcReadResult again = mv::ReadSpcBytes(saved, "fuzz.mvl");
  if (!again.Ok() || Counts(*again.dataset) != Counts(ds)) std::abort();
  again.dataset->saveCounter = result.dataset->saveCounter;
  if (mv::EncodeSpcFile(*again.dataset, "fuzz.mvl", 0) != saved) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  Exercise(bytes);
  constexpr std::size_t kHeaderEnd = mv::kSpcPrefixSize + mv::kSpcHeaderSize;
  if (bytes.size() >= kHeaderEnd) {
    const std::uint16_t check = mv::CheckValue(std::string_view(bytes).substr(mv::kSpcPrefixSize, mv::kSpcHeaderSize));
    bytes[6] = static_cast<char>(check & 0xFF);
    bytes[7] = static_cast<char>(check >> 8);
    Exercise(bytes);
  }
  return 0;
}
