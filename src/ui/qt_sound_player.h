#pragma once
// Sound playback on Qt Multimedia's QSoundEffect (WAV only). Compiled only when Qt Multimedia
// is present (MV_HAVE_QT_MULTIMEDIA); otherwise the program stays silent with the headless player.

#include <QString>

#include <array>
#include <memory>

#include "platform/sound.h"

class QSoundEffect;

namespace mv::ui {

// Resource paths of the three built-in sounds (ui.qrc), indexed by BuiltinSound - 1.
inline constexpr std::array<const char*, 3> kBuiltinSoundPaths = {
    ":/sounds/default.wav", ":/sounds/ok.wav", ":/sounds/error.wav"};

// Longest wait of a synchronous playback, whatever the file's length.
inline constexpr int kSyncPlaybackCapMs = 5000;

class QtSoundPlayer final : public platform::ISoundPlayer {
 public:
  QtSoundPlayer();
  ~QtSoundPlayer() override;
  QtSoundPlayer(const QtSoundPlayer&) = delete;
  QtSoundPlayer& operator=(const QtSoundPlayer&) = delete;

  // Async: true when playback was started (a sound the audio system rejects later stays
  // silent). Sync: waits until the sound ends, at most kSyncPlaybackCapMs, and is true when it
  // played to the end. User input is held back while waiting. False at once when the machine
  // has no audio output.
  bool PlayBuiltin(platform::BuiltinSound sound, bool async) override;
  // path: a local WAV file; false when it does not exist.
  bool PlayFile(const std::string& path, bool async) override;

 private:
  bool Play(QSoundEffect& effect, bool async);

  // Made on first use (the audio system starts only when a sound is wanted) and kept, so a
  // sound is decoded once and an asynchronous one is not cut off by its player's destruction.
  std::array<std::unique_ptr<QSoundEffect>, 3> m_builtin;
  std::unique_ptr<QSoundEffect> m_file;
  QString m_fileSource;
};

}  // namespace mv::ui
