#include "core/file_routines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "core/file_error.h"
#include "core/unique_fd.h"
#include "core/messages.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kBlock = 4096;
// Large files are written in bigger pieces; the size does not change what ends up on disk.
constexpr std::size_t kWriteBlock = 1 << 20;

void ShowFileFailure(bool quiet, const char* what, const std::string& fileName, int code, const char* place) {
  if (quiet) return;
  ShowError(std::string(what) + "\r\n" + fileName + "\r\n\r\n" + FileErrorText(code), 0, place);
}


fs::path TempNameBeside(const fs::path& target) {
  static std::atomic<unsigned> counter{0};
  const std::string name = "." + target.filename().string() + ".tmp-" + std::to_string(::getpid()) + "-" +
                           std::to_string(counter.fetch_add(1));
  return target.parent_path() / name;
}

// Makes the rename itself durable; a failure here loses nothing already written.
void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

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
  errorCode = 0;
  fs::path target(fileName);
  std::error_code ec;
  // Replace what a symbolic link points to, not the link.
  if (fs::is_symlink(target, ec)) {
    const fs::path resolved = fs::canonical(target, ec);
    if (!ec) target = resolved;
  }
  mode_t mode = 0644;
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) {
    if (S_ISDIR(old.st_mode)) {
      errorCode = FileErrorCode(EISDIR, FileOp::Write, target);
      return false;
    }
    mode = old.st_mode & 07777;
  }
  const fs::path temp = TempNameBeside(target);
  int err = 0;
  {
    UniqueFd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    if (!fd.ok()) {
      errorCode = FileErrorCode(errno, FileOp::Write, target);
      return false;
    }
    ::fchmod(fd.get(), mode);  // the umask may have narrowed it
    std::size_t done = 0;
    while (err == 0 && done < bytes.size()) {
      const std::size_t want = std::min(kWriteBlock, bytes.size() - done);
      const ssize_t put = ::write(fd.get(), bytes.data() + done, want);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        err = put < 0 ? errno : EIO;
        break;
      }
      done += static_cast<std::size_t>(put);
    }
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
