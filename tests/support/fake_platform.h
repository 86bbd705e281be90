#pragma once
// Scripted fakes of the platform interfaces and a guard that installs them for one test.
//
//   mv::test::FakePlatform fake;                 // installs every fake, restores on scope exit
//   fake.messages.answers.push_back(true);       // the next question is answered "Да"
//   ...code under test...
//   EXPECT_EQ(fake.messages.shown.at(0).text, "...");

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/headless.h"
#include "platform/services.h"

namespace mv::test {

// Installs impl into its slot for the lifetime of the guard.
template <class Interface>
class ScopedService {
 public:
  explicit ScopedService(Interface* impl) : m_previous(platform::Install<Interface>(impl)) {}
  ~ScopedService() { platform::Install<Interface>(m_previous); }
  ScopedService(const ScopedService&) = delete;
  ScopedService& operator=(const ScopedService&) = delete;

 private:
  Interface* m_previous;
};

// Records every window; questions take their answers from `answers` (front first, "Нет" when
// it is empty); other kinds are closed with OK.
class FakeMessageWindows final : public platform::IMessageWindows {
 public:
  bool Show(platform::TMsgWinParams& request) override;
  std::vector<platform::TMsgWinParams> shown;
  std::deque<bool> answers;
  // Texts of the windows shown so far, in order.
  std::vector<std::string> Texts() const;
};

class FakeFileDialogs final : public platform::IFileDialogs {
 public:
  std::optional<std::string> ChooseOpen(const platform::FileDialogRequest& request) override;
  std::optional<std::string> ChooseSave(const platform::FileDialogRequest& request) override;
  std::vector<platform::FileDialogRequest> asked;
  std::deque<std::optional<std::string>> choices;  // empty: cancelled
};

class FakeSoundPlayer final : public platform::ISoundPlayer {
 public:
  bool PlayBuiltin(platform::BuiltinSound sound, bool async) override;
  bool PlayFile(const std::string& path, bool async) override;
  std::vector<std::string> played;  // "builtin:1", "file:/path"
  bool succeed = true;
};

class FakeShellOpen final : public platform::IShellOpen {
 public:
  bool Open(const std::string& path) override;
  std::vector<std::string> opened;
};

class FakeInstanceChannel final : public platform::IInstanceChannel {
 public:
  bool SendToFirst(std::span<const std::uint8_t> record) override;
  // Records what was asked and gives `answer` (with another instance running).
  std::optional<Record> AskFirst(std::span<const std::uint8_t> record) override;
  bool Listen(Receiver receiver) override;
  std::vector<std::vector<std::uint8_t>> sent;
  bool otherInstance = false;
  std::optional<Record> answer;
  Receiver receiver;
};

// Starts at 01.03.2024 12:00 and moves one millisecond forward at every call.
class FakeClock final : public platform::IClock {
 public:
  TDateTime Now() override;
  // Stops the clock at `when`, so everything that follows carries the same time.
  void Freeze(TDateTime when) {
    now = when;
    step = 0;
  }
  TDateTime now = 45352.5;
  TDateTime step = 1.0 / 86400000.0;
};

// Hands out next, next + 1, ... (or the scripted values first).
class FakeIdSource final : public platform::IIdSource {
 public:
  std::int32_t NewId() override;
  std::deque<std::int32_t> scripted;
  std::int32_t next = 200000001;
};

class FakeLog final : public platform::ILog {
 public:
  void LogLine(std::string_view text, int slot) override;
  void LogError(std::string_view text, int slot) override;
  std::vector<std::string> lines;   // error lines carry "[ERR] "
};

// Counts steps; reports an abort once `abortAfterSteps` steps were made (never when negative).
class FakeProgress final : public platform::IProgress {
 public:
  void Begin(std::string_view title, int steps) override;
  void Step() override { ++steps; }
  bool Aborted() override { return abortAfterSteps >= 0 && steps >= abortAfterSteps; }
  void End() override { ended = true; }
  std::vector<std::string> titles;
  int plannedSteps = 0;
  int steps = 0;
  int abortAfterSteps = -1;
  bool ended = false;
};

// Questions take their answers from `choices` (front first; the cancel button when empty).
// The password prompt tries each of `passwords` until one is accepted, and is cancelled when
// they run out. The set-password window tries each pair of `newPasswords` ("" "" with
// `resetPassword` first meaning the reset button).
class FakePrompts final : public platform::IPrompts {
 public:
  int Choose(const platform::ChoiceRequest& request) override;
  bool AskPassword(const platform::PasswordRequest& request) override;
  bool SetPassword(const platform::SetPasswordRequest& request) override;
  std::vector<platform::ChoiceRequest> questions;
  std::deque<int> choices;
  std::vector<platform::PasswordRequest> passwordPrompts;
  std::deque<std::string> passwords;
  std::vector<std::string> setPasswordMessages;  // what the set-password window was told
  std::deque<std::pair<std::string, std::string>> newPasswords;
  bool resetPassword = false;
};

// A date and time, for tests that need exact ones.
TDateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// Every fake, installed for the lifetime of the object.
class FakePlatform {
 public:
  FakeMessageWindows messages;
  FakeFileDialogs fileDialogs;
  platform::HeadlessClipboard clipboard;
  FakeSoundPlayer sound;
  FakeShellOpen shellOpen;
  FakeInstanceChannel instances;
  FakeClock clock;
  FakeIdSource ids;
  FakeLog log;
  FakeProgress progress;
  FakePrompts prompts;

 private:
  ScopedService<platform::IMessageWindows> m_g1{&messages};
  ScopedService<platform::IFileDialogs> m_g2{&fileDialogs};
  ScopedService<platform::IClipboard> m_g3{&clipboard};
  ScopedService<platform::ISoundPlayer> m_g4{&sound};
  ScopedService<platform::IShellOpen> m_g5{&shellOpen};
  ScopedService<platform::IInstanceChannel> m_g6{&instances};
  ScopedService<platform::IClock> m_g7{&clock};
  ScopedService<platform::IIdSource> m_g8{&ids};
  ScopedService<platform::ILog> m_g9{&log};
  ScopedService<platform::IProgress> m_g10{&progress};
  ScopedService<platform::IPrompts> m_g11{&prompts};
};

}  // namespace mv::test
