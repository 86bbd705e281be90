// Arbitrary bytes as a process picture file. The first four bytes give the width and height
// the picture reader would report, the rest is the file. A picture the dataset takes must come
// back byte for byte, with its name, after the data file is written and read again; one it
// refuses leaves the dataset as it was.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/dataset_window_logic.h"
#include "core/byte_order.h"
#include "platform/log_sink.h"
#include "platform/messages.h"
#include "platform/services.h"
#include "spc/spc_file.h"

namespace {

class QuietWindows final : public mv::platform::IMessageWindows {
 public:
  bool Show(mv::platform::TMsgWinParams&) override { return false; }
};

class QuietLog final : public mv::platform::ILog {
 public:
  void LogLine(std::string_view, int) override {}
  void LogError(std::string_view, int) override {}
};

void Exercise(const std::string& input) {
  if (input.size() < 4) return;
  const int width = mv::GetU16(input, 0);
  const int height = mv::GetU16(input, 2);
  std::string file = input.substr(4);

  mv::TDatasetSPC ds;
  ds.AddParameter();
  ds.picture.fileName = "1,1,before.png";
  ds.picture.data = "before";
  mv::DatasetWindowLogic logic(ds);
  const bool taken = logic.TakePicture("/data/picture.png", file, width, height);
  if (!taken) {
    if (ds.picture.data != "before" || ds.picture.fileName != "1,1,before.png") std::abort();
    return;
  }
  if (file.size() > mv::DatasetWindowLogic::kMaxPictureBytes) std::abort();
  const std::string saved = mv::EncodeSpcFile(ds, "fuzz.mvl", 0);
  const mv::SpcReadResult again = mv::ReadSpcBytes(saved, "fuzz.mvl");
  if (!again.Ok() || again.dataset->picture.data != file || again.dataset->picture.fileName != ds.picture.fileName ||
      again.dataset->ParameterCount() != 1) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static QuietWindows windows;
  static QuietLog log;
  static const bool installed = [] {
    mv::platform::Install<mv::platform::IMessageWindows>(&windows);
    mv::platform::Install<mv::platform::ILog>(&log);
    return true;
  }();
  (void)installed;
  Exercise(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
