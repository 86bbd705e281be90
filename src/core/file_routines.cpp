#include "core/file_routines.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <system_error>

#include "core/file_error.h"
#include "core/unique_fd.h"
#include "core/messages.h"
#include "core/text.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kBlock = 4096;
// FileErrorText: "файл или диск защищен от записи".
constexpr int kWriteProtected = 150;
// The hidden temporary a save writes beside its target.
constexpr std::string_view kTempPrefix = ".mvtmp-";

void ShowFileFailure(bool quiet, const char* what, const std::string& fileName, int code, const char* place) {
  if (quiet) return;
  ShowError(std::string(what) + "\r\n" + fileName + "\r\n\r\n" + FileErrorText(code), 0, place);
}


// ".mvtmp-<pid>-<n>": short whatever the target is called, so that a name close to the file
// system's limit still leaves room for its temporary beside it.
fs::path TempNameBeside(const fs::path& target) {
  static std::atomic<unsigned> counter{0};
  return TemporaryNameFor(target.string(), ::getpid(), counter.fetch_add(1));
}

// "<digits>-<digits>" at the end of name from `at`: the first number, or 0 when it is not that.
pid_t PidAndNumber(std::string_view name, std::size_t at) {
  const std::string_view rest = name.substr(std::min(at, name.size()));
  const std::size_t dash = rest.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash + 1 == rest.size()) return 0;
  const auto digits = [](std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (!digits(rest.substr(0, dash)) || !digits(rest.substr(dash + 1))) return 0;
  pid_t pid = 0;
  const auto [end, ec] = std::from_chars(rest.data(), rest.data() + dash, pid);
  return ec == std::errc() && end == rest.data() + dash ? pid : 0;
}

// A process that exists, ours or another user's (EPERM), counts as running.
bool ProcessRuns(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

// Creates a new temporary beside target. A name already taken (left by an earlier process that
// had the same pid) is passed over for the next one.
// The descriptor, or -1 with errno set.
int CreateTempBeside(const fs::path& target, mode_t mode, fs::path& temp) {
  constexpr int kAttempts = 64;
  for (int attempt = 0;; ++attempt) {
    temp = TempNameBeside(target);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST || attempt + 1 == kAttempts) return fd;
  }
}

// Makes the rename itself durable; a failure here loses nothing already written.
void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::string TemporaryNameFor(const std::string& target, int processId, unsigned number) {
  const std::string name = std::string(kTempPrefix) + std::to_string(processId) + "-" + std::to_string(number);
  return (fs::path(target).parent_path() / name).string();
}

int ReplaceRefusal(const std::string& fileName) {
  struct stat info {};
  if (::stat(fileName.c_str(), &info) != 0) return errno == ENOENT ? 0 : FileErrorCode(errno, FileOp::Write, fileName);
  if (S_ISDIR(info.st_mode)) return FileErrorCode(EISDIR, FileOp::Write, fileName);
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return kWriteProtected;
  if (::faccessat(AT_FDCWD, fileName.c_str(), W_OK, AT_EACCESS) != 0) {
    return errno == EACCES || errno == EPERM ? kWriteProtected : FileErrorCode(errno, FileOp::Write, fileName);
  }
  return 0;
}

// Earlier builds named the temporary of a data file ".<name>.mvl.tmp-<pid>-<n>"; those are
// recognised as well, for data files only, which are the large ones.
int TemporaryOwner(std::string_view name) {
  if (name.starts_with(kTempPrefix)) return PidAndNumber(name, kTempPrefix.size());
  constexpr std::string_view kOldMark = ".tmp-";
  const std::size_t mark = name.rfind(kOldMark);
  if (!name.starts_with('.') || mark == std::string_view::npos || mark < 5) return 0;
  const std::string_view ext = name.substr(mark - 4, 4);
  if (!SameText(ext, ".mvl") && !SameText(ext, ".msa")) return 0;
  return PidAndNumber(name, mark + kOldMark.size());
}

int RemoveStaleTemporaries(const std::string& folder) {
  const fs::path where = folder.empty() ? fs::path(".") : fs::path(folder);
  std::error_code ec;
  fs::directory_iterator it(where, ec);
  int removed = 0;
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const fs::path path = it->path();
    const pid_t pid = TemporaryOwner(path.filename().string());
    if (pid <= 0 || pid == ::getpid() || ProcessRuns(pid)) continue;
    // Not through a link, never blocking on a special file; and a save that still holds it (a
    // process of the same id on another machine writing into a shared folder) keeps it.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!fd.ok() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) continue;
    if (::unlink(path.c_str()) == 0) ++removed;
  }
  return removed;
}

std::string FileTooLargeText(const std::string& fileName, std::uint64_t amount) {
  return "Размер файла " + fileName + " слишком велик - " + std::to_string(amount);
}

bool LoadFileToString(const std::string& fileName, std::string& text, bool quiet, std::int32_t offset,
                      std::uint16_t maxLength) {
  static constexpr const char* kPlace = "LoadFileToString";
  static constexpr const char* kWhat = "Сбой при загрузке файла";
  text.clear();
  if (offset < 0) return false;
  std::uint64_t size = 0;
  int code = 0;
  UniqueFd fd(OpenRegularFile(fileName, size, code));
  if (!fd.ok()) {
    ShowFileFailure(quiet, kWhat, fileName, code, kPlace);
    return false;
  }
  if (size < static_cast<std::uint64_t>(offset)) return false;
  std::uint64_t amount = size - static_cast<std::uint64_t>(offset);
  if (maxLength != 0 && maxLength < amount) amount = maxLength;
  if (amount > kMaxFileStringSize) {
    if (!quiet) ShowError(FileTooLargeText(fileName, amount), 0, kPlace);
    return false;
  }
  text.resize(static_cast<std::size_t>(amount));
  std::size_t done = 0;
  while (done < text.size()) {
    const std::size_t want = std::min(kBlock, text.size() - done);
    const ssize_t got = ::pread(fd.get(), text.data() + done, want, static_cast<off_t>(offset) + static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      // A file that shrank under us reads short: report it as a read failure.
      const int err = got < 0 ? errno : EIO;
      text.clear();
      ShowFileFailure(quiet, kWhat, fileName, FileErrorCode(err, FileOp::Read, fileName), kPlace);
      return false;
    }
    done += static_cast<std::size_t>(got);
  }
  return true;
}

bool WriteFileAtomically(const std::string& fileName, std::string_view bytes, int& errorCode) {
  return WriteFileAtomically(fileName, bytes, errorCode, {});
}

bool WriteFileAtomically(const std::string& fileName, std::string_view bytes, int& errorCode,
                         const WriteProgress& progress) {
  errorCode = 0;
  fs::path target(fileName);
  std::error_code ec;
  // Replace what a symbolic link points to, not the link.
  if (fs::is_symlink(target, ec)) {
    const fs::path resolved = fs::canonical(target, ec);
    if (!ec) target = resolved;
  }
  if (const int refusal = ReplaceRefusal(target.string()); refusal != 0) {
    errorCode = refusal;
    return false;
  }
  mode_t mode = 0644;
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists) mode = old.st_mode & 07777;
  RemoveStaleTemporaries(target.parent_path().string());
  fs::path temp;
  int err = 0;
  {
    UniqueFd fd(CreateTempBeside(target, mode, temp));
    if (!fd.ok()) {
      errorCode = FileErrorCode(errno, FileOp::Write, target);
      return false;
    }
    // Held until the temporary is renamed or removed: a save elsewhere that finds it in the
    // folder leaves it alone.
    ::flock(fd.get(), LOCK_EX);
    // A file of another owner or group (a shared folder) stays theirs as far as we may give it
    // away: the owner only for the administrator, the group for one of its members.
    if (exists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
        ::fchown(fd.get(), old.st_uid, old.st_gid) != 0 && ::fchown(fd.get(), static_cast<uid_t>(-1), old.st_gid) != 0) {
      // the temporary stays ours
    }
    ::fchmod(fd.get(), mode);  // the umask may have narrowed it; after fchown, which may clear set-id bits
    std::size_t done = 0;
    while (err == 0 && done < bytes.size()) {
      if (progress && (err = progress(done)) != 0) break;
      const std::size_t want = std::min(kWritePieceSize, bytes.size() - done);
      const ssize_t put = ::write(fd.get(), bytes.data() + done, want);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        err = put < 0 ? errno : EIO;
        break;
      }
      done += static_cast<std::size_t>(put);
    }
    if (err == 0 && progress) err = progress(done);
    if (err == 0 && ::fsync(fd.get()) != 0) err = errno;
    if (!fd.Close() && err == 0) err = errno;
  }
  if (err == 0 && ::rename(temp.c_str(), target.c_str()) != 0) err = errno;
  if (err != 0) {
    ::unlink(temp.c_str());
    errorCode = FileErrorCode(err, FileOp::Write, target);
    return false;
  }
  SyncFolder(target.parent_path());
  return true;
}

bool ReadWholeFile(const std::string& fileName, std::string& bytes, int& errorCode, std::uint64_t maxSize) {
  errorCode = 0;
  bytes.clear();
  std::uint64_t size = 0;
  UniqueFd fd(OpenRegularFile(fileName, size, errorCode));
  if (!fd.ok()) return false;
  if (size > maxSize) {
    errorCode = FileErrorCode(ENOMEM, FileOp::Read, fileName);
    return false;
  }
  bytes.resize(static_cast<std::size_t>(size));
  std::size_t done = 0;
  if (!ReadFileAt(fd.get(), 0, bytes.data(), bytes.size(), done, errorCode, fileName)) {
    bytes.clear();
    return false;
  }
  bytes.resize(done);  // the file shrank while we read: take what is there
  return true;
}

int OpenRegularFile(const std::string& fileName, std::uint64_t& size, int& errorCode) {
  errorCode = 0;
  size = 0;
  const auto notRegular = [&] {
    errorCode = FileErrorCode(EISDIR, FileOp::Read, fileName);
    return -1;
  };
  struct stat info {};
  if (::stat(fileName.c_str(), &info) != 0) {
    errorCode = FileErrorCode(errno, FileOp::Read, fileName);
    return -1;
  }
  // Opening a pipe waits for a writer, and reading a device may never end.
  if (!S_ISREG(info.st_mode)) return notRegular();
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    errorCode = FileErrorCode(errno, FileOp::Read, fileName);
    return -1;
  }
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const int err = errno;
    ::close(fd);
    if (S_ISREG(info.st_mode)) {
      errorCode = FileErrorCode(err, FileOp::Read, fileName);
      return -1;
    }
    return notRegular();
  }
  size = static_cast<std::uint64_t>(info.st_size);
  return fd;
}

bool ReadFileAt(int fd, std::uint64_t offset, char* out, std::size_t n, std::size_t& got, int& errorCode,
                const std::string& fileName) {
  errorCode = 0;
  got = 0;
  while (got < n) {
    const ssize_t part = ::pread(fd, out + got, n - got, static_cast<off_t>(offset + got));
    if (part < 0 && errno == EINTR) continue;
    if (part < 0) {
      errorCode = FileErrorCode(errno, FileOp::Read, fileName);
      return false;
    }
    if (part == 0) break;
    got += static_cast<std::size_t>(part);
  }
  return true;
}

bool KeepCopyAs(const std::string& file, const std::string& copy) {
  std::error_code ec;
  fs::remove(copy, ec);
  if (::link(file.c_str(), copy.c_str()) == 0) return true;
  return fs::copy_file(file, copy, fs::copy_options::overwrite_existing, ec);
}

bool SaveStringToFile(const std::string& fileName, const std::string& text, bool quiet) {
  int code = 0;
  if (WriteFileAtomically(fileName, text, code)) return true;
  ShowFileFailure(quiet, "Сбой при записи файла", fileName, code, "SaveStringToFile");
  return false;
}

}  // namespace mv
