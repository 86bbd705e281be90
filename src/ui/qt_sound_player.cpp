#include "ui/qt_sound_player.h"

#include <QAudioDevice>
#include <QEventLoop>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

namespace mv::ui {

QtSoundPlayer::QtSoundPlayer() = default;
QtSoundPlayer::~QtSoundPlayer() = default;

bool QtSoundPlayer::PlayBuiltin(platform::BuiltinSound sound, bool async) {
  const auto number = static_cast<std::size_t>(sound);
  if (number < 1 || number > m_builtin.size()) return false;
  std::unique_ptr<QSoundEffect>& effect = m_builtin[number - 1];
  if (!effect) {
    effect = std::make_unique<QSoundEffect>();
    effect->setSource(QUrl(QStringLiteral("qrc") + QLatin1String(kBuiltinSoundPaths[number - 1])));
  }
  return Play(*effect, async);
}

bool QtSoundPlayer::PlayFile(const std::string& path, bool async) {
  const QString file = QString::fromStdString(path);
  const QFileInfo info(file);
  if (file.isEmpty() || !info.isFile()) return false;
  if (!m_file) m_file = std::make_unique<QSoundEffect>();
  const QString source = info.absoluteFilePath();
  // Setting the same source again would not reload a file changed on disk, but it also keeps
  // the decoded sound of a file played over and over, which is the usual case.
  if (source != m_fileSource) {
    m_file->stop();
    m_file->setSource(QUrl::fromLocalFile(source));
    m_fileSource = source;
  }
  return Play(*m_file, async);
}

bool QtSoundPlayer::Play(QSoundEffect& effect, bool async) {
  // Without an audio output QSoundEffect still reports itself playing for seconds, which would
  // stall every synchronous sound; a machine without sound stays silent at once instead.
  if (QMediaDevices::defaultAudioOutput().isNull()) return false;
  if (effect.status() == QSoundEffect::Error) return false;
  effect.stop();
  if (async) {
    effect.play();  // plays as soon as the sound is loaded
    return true;
  }
  QEventLoop loop;
  bool started = false;
  bool finished = false;
  const auto check = [&] {
    if (effect.status() == QSoundEffect::Error) {
      loop.quit();
    } else if (effect.isPlaying()) {
      started = true;
    } else if (started) {
      finished = true;
      loop.quit();
    }
  };
  QObject::connect(&effect, &QSoundEffect::playingChanged, &loop, check);
  QObject::connect(&effect, &QSoundEffect::statusChanged, &loop, check);
  QTimer::singleShot(kSyncPlaybackCapMs, &loop, &QEventLoop::quit);
  effect.play();
  check();
  if (!finished && effect.status() != QSoundEffect::Error) {
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
  if (!finished) effect.stop();
  return finished;
}

}  // namespace mv::ui
