// Arbitrary bytes as the session file "mvl.ses". Each input is tried twice: as it is, and with
// every chunk's check value made to fit, so that mutations reach the content checks. The
// header and the listing must never read beyond what the file holds; a run appended to a file
// whose header reads must then list as the last record, first as started and after
// FinishSession as ended.

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/check_value.h"
#include "core/session_file.h"
#include "core/text.h"

namespace {

const std::string& FilePath() {
  static const std::string path = [] {
    const char* base = std::getenv("TMPDIR");
    std::string folder = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/fuzz_session_XXXXXX";
    if (mkdtemp(folder.data()) == nullptr) std::abort();
    return folder + "/mvl.ses";
  }();
  return path;
}

void Put(const std::string& bytes) {
  const int fd = ::open(FilePath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) std::abort();
  ::close(fd);
}

std::int32_t I32At(const std::string& b, std::size_t off) {
  std::int32_t v = 0;
  std::memcpy(&v, b.data() + off, 4);
  return v;
}

void FixChecks(std::string& b) {
  for (std::size_t pos = 0; pos + 32 <= b.size(); pos = pos == 0 ? 544 : pos + 800) {
    const std::int32_t size = I32At(b, pos + 10);
    const std::int32_t capacity = pos == 0 ? 512 : 768;
    if (size < 0 || size > capacity || pos + 32 + static_cast<std::size_t>(size) > b.size()) continue;
    const std::uint16_t check = mv::CheckValue(std::string_view(b).substr(pos + 32, static_cast<std::size_t>(size)));
    b[pos + 14] = static_cast<char>(check & 0xFF);
    b[pos + 15] = static_cast<char>(check >> 8);
  }
}

// The last record as listed now.
const mv::ListedSession* LastListed(mv::TSessFile& file) {
  mv::TSessFile header;
  header.fileName = FilePath();
  if (!mv::ReadSessionHeader(header)) return nullptr;
  file.fileName = FilePath();
  if (!mv::ReadSessions(file, header.header.sessions, 1) || file.sessions.size() != 1) return nullptr;
  return &file.sessions[0];
}

void Exercise(const std::string& bytes) {
  Put(bytes);
  mv::TSessFile file;
  file.fileName = FilePath();
  const bool headerRead = mv::ReadSessionHeader(file);
  if (headerRead != file.headerRead) std::abort();

  mv::TSessFile listing;
  listing.fileName = FilePath();
  const bool listed = mv::ReadSessions(listing, 1, 0);
  if (!headerRead && (listed || !listing.sessions.empty())) std::abort();
  if (listing.sessions.size() > mv::kMaxListedSessions) std::abort();
  if (headerRead && listing.sessions.size() > static_cast<std::size_t>(file.header.sessions > 0 ? file.header.sessions : 0)) {
    std::abort();
  }
  for (const auto& s : listing.sessions) {
    if (s.ordinal == 0 || mv::CharCount(s.record.summary) > 22 || mv::CharCount(s.record.parameters) > 30) std::abort();
  }
  mv::TSessFile part;
  part.fileName = FilePath();
  mv::ReadSessions(part, 2, 3);
  if (part.sessions.size() > 3) std::abort();

  mv::RunState run;
  run.runNumber = 77;
  run.started = 45356.5;
  run.flags = 256;
  run.program.title = "Morvalen fuzz";
  mv::TSessFile appended;
  appended.fileName = FilePath();
  const bool added = mv::AppendSession(appended, run, 1000);
  if (headerRead && !added) std::abort();  // a readable header always takes one more run
  if (!added) return;
  mv::TSessFile check;
  const mv::ListedSession* last = LastListed(check);
  if (last == nullptr || last->record.runNumber != 77 || last->record.state != 1) std::abort();
  if (!mv::FinishSession(appended, run, mv::SessionLogUsage{1000, 5, 1})) std::abort();
  mv::TSessFile again;
  last = LastListed(again);
  if (last == nullptr || last->record.state != 2 || last->record.logGrowth != 5) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  Exercise(bytes);
  FixChecks(bytes);
  Exercise(bytes);
  return 0;
}
