#pragma once
// A file descriptor closed on every path out of a scope.

#include <unistd.h>

namespace mv {

class UniqueFd {
 public:
  explicit UniqueFd(int fd) : m_fd(fd) {}
  ~UniqueFd() {
    if (m_fd >= 0) ::close(m_fd);
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int get() const { return m_fd; }
  bool ok() const { return m_fd >= 0; }
  // Closes now; false with errno set when the system reports a failure (a write-back failure
  // can surface only here).
  bool Close() {
    const int fd = m_fd;
    m_fd = -1;
    return ::close(fd) == 0;
  }

 private:
  int m_fd;
};

}  // namespace mv
