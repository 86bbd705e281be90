#include "platform/headless.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace mv::platform {
namespace {

template <class T>
void Remember(std::deque<T>& list, T item) {
  if (list.size() >= kRecorded) list.pop_front();
  list.push_back(std::move(item));
}

}  // namespace

bool HeadlessMessageWindows::Show(TMsgWinParams& request) {
  // With nobody to answer, a question is declined and everything else is acknowledged.
  const bool yes = request.kind != MsgKind::Question;
  request.result = yes ? MsgResult::Ok : MsgResult::Cancelled;
  Remember(shown, request);
  return yes;
}

std::optional<std::string> HeadlessFileDialogs::ChooseOpen(const FileDialogRequest& request) {
  Remember(asked, request);
  return std::nullopt;
}

std::optional<std::string> HeadlessFileDialogs::ChooseSave(const FileDialogRequest& request) {
  Remember(asked, request);
  return std::nullopt;
}

bool HeadlessSoundPlayer::PlayBuiltin(BuiltinSound, bool) { return false; }
bool HeadlessSoundPlayer::PlayFile(const std::string&, bool) { return false; }

bool HeadlessShellOpen::Open(const std::string& path) {
  Remember(opened, path);
  return false;
}

bool HeadlessInstanceChannel::SendToFirst(std::span<const std::uint8_t>) { return false; }
std::optional<IInstanceChannel::Record> HeadlessInstanceChannel::AskFirst(std::span<const std::uint8_t>) {
  return std::nullopt;
}
bool HeadlessInstanceChannel::Listen(Receiver) { return true; }

TDateTime SystemClock::Now() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t secs = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&secs, &local);
  const auto micros = duration_cast<microseconds>(now.time_since_epoch()).count() % 1000000;
  // Seconds since 1970-01-01 as the local wall clock reads them, then days since 1899-12-30.
  const double localSeconds = static_cast<double>(secs) + static_cast<double>(local.tm_gmtoff);
  TDateTime value = 25569.0 + (localSeconds + static_cast<double>(micros) / 1e6) / 86400.0;
  // Never repeat or go back (clock adjustments, two calls in one tick).
  if (value <= m_last) value = std::nextafter(m_last, m_last + 1.0);
  m_last = value;
  return value;
}

RandomIdSource::RandomIdSource() {
  std::random_device device;
  std::seed_seq seed{device(), device(), device(), device()};
  m_engine.seed(seed);
}

std::int32_t RandomIdSource::NewId() { return m_dist(m_engine); }

void MemoryLog::Keep(std::string line) { Remember(lines, std::move(line)); }
void MemoryLog::LogLine(std::string_view text, int) { Keep(std::string(text)); }
void MemoryLog::LogError(std::string_view text, int) { Keep("[ERR] " + std::string(text)); }

FileTypeAssociation HeadlessFileAssociations::Query(const std::string& mimeType) {
  Remember(queried, mimeType);
  return {};
}

bool HeadlessFileAssociations::SetDefault(const std::string& mimeType, const std::string& handlerId) {
  Remember(setRequests, mimeType + " " + handlerId);
  return false;
}

bool HeadlessProgramStart::StartDetached(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<std::string> call{program};
  call.insert(call.end(), arguments.begin(), arguments.end());
  Remember(started, std::move(call));
  return false;
}

}  // namespace mv::platform
