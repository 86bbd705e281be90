#pragma once
// A named pipe for tests of readers that must never wait on one. Should a reader block in
// opening it, the watch opens the other end after a while, so the test ends (and fails)
// instead of hanging.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace mv::test {

class PipeWatch {
 public:
  explicit PipeWatch(std::string path) : m_path(std::move(path)) {
    m_made = ::mkfifo(m_path.c_str(), 0600) == 0;
    m_thread = std::thread([this] { Watch(); });
  }
  ~PipeWatch() { Stop(); }
  PipeWatch(const PipeWatch&) = delete;
  PipeWatch& operator=(const PipeWatch&) = delete;

  bool made() const { return m_made; }
  const std::string& path() const { return m_path; }
  // Ends the watch; true when a reader had to be released from waiting on the pipe.
  bool Stop() {
    m_done = true;
    if (m_thread.joinable()) m_thread.join();
    return m_released;
  }

 private:
  void Watch() {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!m_done) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      if (std::chrono::steady_clock::now() < until) continue;
      // Succeeds only while someone has the pipe open for reading.
      const int fd = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (fd >= 0) {
        m_released = true;
        ::close(fd);
      }
    }
  }

  std::string m_path;
  bool m_made = false;
  std::atomic<bool> m_done{false};
  std::atomic<bool> m_released{false};
  std::thread m_thread;
};

}  // namespace mv::test
