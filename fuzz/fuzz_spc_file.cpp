// Arbitrary bytes as an SPC data file. Each input is read twice: as it is, and with the
// header's check value made to fit, so that mutations reach the records behind the header.
// What loads must save and load again to the same content.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/check_value.h"
#include "spc/spc_file.h"

namespace {

void Exercise(const std::string& bytes) {
  mv::SpcReadResult result = mv::ReadSpcBytes(bytes, "fuzz.mvl");
  if (!result.Ok()) {
    if (result.message.empty()) std::abort();  // every refusal says why
    return;
  }
  const std::string saved = mv::EncodeSpcFile(*result.dataset, "fuzz.mvl", 0);
  mv::SpcReadResult again = mv::ReadSpcBytes(saved, "fuzz.mvl");
  if (!again.Ok()) std::abort();
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
