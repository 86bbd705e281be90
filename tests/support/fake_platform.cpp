#include "support/fake_platform.h"

#include "core/date_time.h"

namespace mv::test {

bool FakeMessageWindows::Show(platform::TMsgWinParams& request) {
  bool yes = true;
  if (request.kind == platform::MsgKind::Question) {
    yes = !answers.empty() && answers.front();
    if (!answers.empty()) answers.pop_front();
  }
  request.result = yes ? platform::MsgResult::Ok : platform::MsgResult::Cancelled;
  shown.push_back(request);
  return yes;
}

std::vector<std::string> FakeMessageWindows::Texts() const {
  std::vector<std::string> texts;
  for (const auto& r : shown) texts.push_back(r.text);
  return texts;
}

namespace {
std::optional<std::string> NextChoice(std::deque<std::optional<std::string>>& choices) {
  if (choices.empty()) return std::nullopt;
  auto choice = choices.front();
  choices.pop_front();
  return choice;
}
}  // namespace

std::optional<std::string> FakeFileDialogs::ChooseOpen(const platform::FileDialogRequest& request) {
  asked.push_back(request);
  return NextChoice(choices);
}

std::optional<std::string> FakeFileDialogs::ChooseSave(const platform::FileDialogRequest& request) {
  asked.push_back(request);
  return NextChoice(choices);
}

bool FakeSoundPlayer::PlayBuiltin(platform::BuiltinSound sound, bool) {
  played.push_back("builtin:" + std::to_string(static_cast<int>(sound)));
  return succeed;
}

bool FakeSoundPlayer::PlayFile(const std::string& path, bool) {
  played.push_back("file:" + path);
  return succeed;
}

bool FakeShellOpen::Open(const std::string& path) {
  opened.push_back(path);
  return true;
}

bool FakeInstanceChannel::SendToFirst(std::span<const std::uint8_t> record) {
  if (!otherInstance) return false;
  sent.emplace_back(record.begin(), record.end());
  return true;
}

std::optional<platform::IInstanceChannel::Record> FakeInstanceChannel::AskFirst(std::span<const std::uint8_t> record) {
  if (!otherInstance) return std::nullopt;
  sent.emplace_back(record.begin(), record.end());
  return answer;
}

bool FakeInstanceChannel::Listen(Receiver r) {
  if (otherInstance) return false;
  receiver = std::move(r);
  return true;
}

TDateTime FakeClock::Now() {
  now += step;
  return now;
}

std::int32_t FakeIdSource::NewId() {
  if (!scripted.empty()) {
    const std::int32_t id = scripted.front();
    scripted.pop_front();
    return id;
  }
  return next++;
}

void FakeLog::LogLine(std::string_view text, int) { lines.emplace_back(text); }
void FakeLog::LogError(std::string_view text, int) { lines.push_back("[ERR] " + std::string(text)); }

void FakeProgress::Begin(std::string_view title, int planned) {
  titles.emplace_back(title);
  plannedSteps = planned;
  steps = 0;
  ended = false;
}

TDateTime At(int year, int month, int day, int hour, int minute, int second) {
  return EncodeDateTime(CalendarDate{year, month, day}, ClockTime{hour, minute, second, 0}).value_or(0);
}

int FakePrompts::Choose(const platform::ChoiceRequest& request) {
  questions.push_back(request);
  if (choices.empty()) return request.cancelButton;
  const int choice = choices.front();
  choices.pop_front();
  return choice;
}

bool FakePrompts::AskPassword(const platform::PasswordRequest& request) {
  passwordPrompts.push_back(request);
  while (!passwords.empty()) {
    const std::string typed = passwords.front();
    passwords.pop_front();
    if (request.check(typed)) return true;
  }
  return false;
}

bool FakePrompts::SetPassword(const platform::SetPasswordRequest& request) {
  if (resetPassword && request.passwordExists) {
    resetPassword = false;
    if (request.reset()) return true;
  }
  while (!newPasswords.empty()) {
    const auto [entry, repeat] = newPasswords.front();
    newPasswords.pop_front();
    const std::string message = request.set(entry, repeat);
    if (message.empty()) return true;
    setPasswordMessages.push_back(message);
  }
  return false;
}

}  // namespace mv::test
