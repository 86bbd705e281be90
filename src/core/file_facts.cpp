#include "core/file_facts.h"

#include <sys/stat.h>

#include <ctime>

namespace mv {

TDateTime LocalDateTime(std::int64_t unixSeconds, std::int64_t nanoseconds) {
  std::tm local{};
  const auto secs = static_cast<std::time_t>(unixSeconds);
  if (localtime_r(&secs, &local) == nullptr) return 0;
  // Seconds as the local wall clock reads them, then days since 30.12.1899 (1970-01-01 is day
  // 25569). Whole milliseconds only: the display rounds to the millisecond, and 09.9996 s must
  // still show as 09, as the file system lists it.
  const double seconds = static_cast<double>(unixSeconds) + static_cast<double>(local.tm_gmtoff) +
                         static_cast<double>(nanoseconds / 1000000) / 1000.0;
  return 25569.0 + seconds / 86400.0;
}

bool FileFacts(const std::string& path, std::uint64_t& size, TDateTime& time) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  size = static_cast<std::uint64_t>(info.st_size);
  time = LocalDateTime(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
  return true;
}

}  // namespace mv
