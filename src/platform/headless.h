#pragma once
// The headless defaults that sit in every service slot until something else is installed.
// They record what they were asked (the last kRecorded entries) and answer safely: questions
// are answered "Нет", dialogs are cancelled, nothing is played or opened.

#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <random>
#include <string>

#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/file_associations.h"
#include "platform/file_dialogs.h"
#include "platform/id_source.h"
#include "platform/instance_channel.h"
#include "platform/log_sink.h"
#include "platform/messages.h"
#include "platform/program_start.h"
#include "platform/progress.h"
#include "platform/prompts.h"
#include "platform/shell_open.h"
#include "platform/sound.h"

namespace mv::platform {

inline constexpr std::size_t kRecorded = 1000;

class HeadlessMessageWindows final : public IMessageWindows {
 public:
  bool Show(TMsgWinParams& request) override;
  std::deque<TMsgWinParams> shown;
};

class HeadlessFileDialogs final : public IFileDialogs {
 public:
  std::optional<std::string> ChooseOpen(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseSave(const FileDialogRequest& request) override;
  std::deque<FileDialogRequest> asked;
};

class HeadlessClipboard final : public IClipboard {
 public:
  std::string Text() override { return m_text; }
  void SetText(const std::string& text) override { m_text = text; }
  void SetPicture(const std::string& png) override { m_picture = png; }
  // The last picture put there (PNG bytes); empty when none was.
  const std::string& Picture() const { return m_picture; }

 private:
  std::string m_text;
  std::string m_picture;
};

class HeadlessSoundPlayer final : public ISoundPlayer {
 public:
  bool PlayBuiltin(BuiltinSound sound, bool async) override;
  bool PlayFile(const std::string& path, bool async) override;
};

class HeadlessShellOpen final : public IShellOpen {
 public:
  bool Open(const std::string& path) override;
  std::deque<std::string> opened;
};

class HeadlessInstanceChannel final : public IInstanceChannel {
 public:
  bool SendToFirst(std::span<const std::uint8_t> record) override;
  std::optional<Record> AskFirst(std::span<const std::uint8_t> record) override;
  bool Listen(Receiver receiver) override;
};

// The real clock: local time with microsecond resolution, strictly increasing.
class SystemClock final : public IClock {
 public:
  TDateTime Now() override;

 private:
  TDateTime m_last = 0;
};

// The real identifier source: one generator per run, seeded once from std::random_device.
class RandomIdSource final : public IIdSource {
 public:
  RandomIdSource();
  std::int32_t NewId() override;

 private:
  std::mt19937 m_engine;
  std::uniform_int_distribution<std::int32_t> m_dist{kIdentifierMin, kIdentifierEnd - 1};
};

// Shows nothing and never stops the work.
class HeadlessProgress final : public IProgress {
 public:
  void Begin(std::string_view, int) override {}
  void Step() override {}
  bool Aborted() override { return false; }
  void End() override {}
};

// Questions take their cancel button; prompts are cancelled.
class HeadlessPrompts final : public IPrompts {
 public:
  int Choose(const ChoiceRequest& request) override { return request.cancelButton; }
  bool AskPassword(const PasswordRequest&) override { return false; }
  bool SetPassword(const SetPasswordRequest&) override { return false; }
};

// Knows no associations (every type shows "<не выбрано>") and changes none; records what it
// was asked.
class HeadlessFileAssociations final : public IFileAssociations {
 public:
  FileTypeAssociation Query(const std::string& mimeType) override;
  bool SetDefault(const std::string& mimeType, const std::string& handlerId) override;
  std::deque<std::string> queried;
  std::deque<std::string> setRequests;  // mime type + " " + handler
};

// Finds no program and starts none; records what it was asked to start.
class HeadlessProgramStart final : public IProgramStart {
 public:
  std::string FindProgram(const std::string&) override { return {}; }
  bool StartDetached(const std::string& program, const std::vector<std::string>& arguments) override;
  std::deque<std::vector<std::string>> started;  // the program, then its arguments
};

class MemoryLog final : public ILog {
 public:
  void LogLine(std::string_view text, int slot) override;
  void LogError(std::string_view text, int slot) override;
  std::deque<std::string> lines;  // errors carry the "[ERR] " prefix

 private:
  void Keep(std::string line);
};

}  // namespace mv::platform
