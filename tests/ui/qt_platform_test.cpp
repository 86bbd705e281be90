#include "ui/qt_platform.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>

#include "platform/clipboard.h"
#include "platform/file_dialogs.h"
#include "platform/instance_channel.h"
#include "platform/messages.h"
#include "platform/progress.h"
#include "platform/services.h"
#include "platform/shell_open.h"
#include "platform/sound.h"
#include "ui/qt_clipboard.h"
#include "ui/qt_file_dialogs.h"
#include "ui/qt_instance_channel.h"
#include "ui/qt_message_windows.h"
#include "ui/qt_progress.h"
#include "ui/qt_shell_open.h"
#include "ui_test_app.h"
#ifdef MV_HAVE_QT_MULTIMEDIA
#include "ui/qt_sound_player.h"
#endif

namespace mv {
namespace {

class QtPlatform : public ::testing::Test {
 protected:
  void SetUp() override { test::UiApp(); }
};

template <class Impl, class Interface>
bool Holds() {
  return dynamic_cast<Impl*>(&platform::Current<Interface>()) != nullptr;
}

TEST_F(QtPlatform, InstallFillsTheSlotsAndUninstallRestoresThem) {
  platform::IMessageWindows* before = &platform::Current<platform::IMessageWindows>();
  platform::IClock* clock = &platform::Current<platform::IClock>();
  ui::InstallQtPlatform();
  EXPECT_TRUE((Holds<ui::QtMessageWindows, platform::IMessageWindows>()));
  EXPECT_TRUE((Holds<ui::QtFileDialogs, platform::IFileDialogs>()));
  EXPECT_TRUE((Holds<ui::QtClipboard, platform::IClipboard>()));
  EXPECT_TRUE((Holds<ui::QtShellOpen, platform::IShellOpen>()));
  EXPECT_TRUE((Holds<ui::QtInstanceChannel, platform::IInstanceChannel>()));
  EXPECT_TRUE((Holds<ui::QtProgress, platform::IProgress>()));
#ifdef MV_HAVE_QT_MULTIMEDIA
  EXPECT_TRUE((Holds<ui::QtSoundPlayer, platform::ISoundPlayer>()));
#endif
  EXPECT_EQ(&platform::Current<platform::IClock>(), clock);  // the real clock stays
  ui::UninstallQtPlatform();
  EXPECT_EQ(&platform::Current<platform::IMessageWindows>(), before);
  EXPECT_FALSE((Holds<ui::QtProgress, platform::IProgress>()));
}

// The WAV header fields the players rely on, read by offset (canonical 44-byte header).
struct WavFormat {
  bool riff = false;
  quint16 format = 0, channels = 0, bits = 0;
  quint32 rate = 0, dataBytes = 0;
};

WavFormat ReadWav(const QByteArray& file) {
  WavFormat wav;
  if (file.size() < 44) return wav;
  QDataStream in(file);
  in.setByteOrder(QDataStream::LittleEndian);
  wav.riff = file.startsWith("RIFF") && file.mid(8, 8) == "WAVEfmt ";
  in.skipRawData(20);
  quint32 byteRate = 0;
  quint16 blockAlign = 0;
  in >> wav.format >> wav.channels >> wav.rate >> byteRate >> blockAlign >> wav.bits;
  if (file.mid(36, 4) == "data") {
    in.skipRawData(4);
    in >> wav.dataBytes;
  }
  return wav;
}

TEST_F(QtPlatform, BuiltInSoundsAreShortMonoWavsInsideTheProgram) {
  ui::InstallQtPlatform();  // registers the resources of the static library
  for (const char* name : {":/sounds/default.wav", ":/sounds/ok.wav", ":/sounds/error.wav"}) {
    SCOPED_TRACE(name);
    QFile file(QString::fromLatin1(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_LT(bytes.size(), 15 * 1024);
    const WavFormat wav = ReadWav(bytes);
    EXPECT_TRUE(wav.riff);
    EXPECT_EQ(wav.format, 1);  // PCM
    EXPECT_EQ(wav.channels, 1);
    EXPECT_EQ(wav.rate, 22050u);
    EXPECT_EQ(wav.bits, 16);
    const double seconds = wav.dataBytes / 2.0 / 22050.0;
    EXPECT_GE(seconds, 0.15);
    EXPECT_LE(seconds, 0.3);
  }
  // A missing file is refused whether or not sound is available.
  EXPECT_FALSE(platform::Current<platform::ISoundPlayer>().PlayFile("/nonexistent/x.wav", true));
  ui::UninstallQtPlatform();
}

TEST_F(QtPlatform, ClipboardCarriesUtf8BothWays) {
  ui::QtClipboard clipboard;
  QGuiApplication::clipboard()->setText(QStringLiteral("Ёжик\t10,5 мм"));
  EXPECT_EQ(clipboard.Text(), "Ёжик\t10,5 мм");
  clipboard.SetText("Щи «да»");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Щи «да»"));
}

TEST_F(QtPlatform, SaveDialogAddsTheDefaultExtensionOnlyWhenNoneIsTyped) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const struct {
    const char* typed;
    const char* chosen;  // nullptr: cancelled
  } kCases[] = {{"report", "report.mvl"}, {"report.txt", "report.txt"}, {"a.b.mvl", "a.b.mvl"},
                {nullptr, nullptr}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.typed ? c.typed : "cancelled");
    platform::FileDialogRequest request;
    request.title = "Сохранить как";
    request.filter = "Данные SPC (*.mvl);;Все файлы (*)";
    request.folder = dir.path().toStdString();
    request.defaultExt = "mvl";
    test::WhenModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Сохранить как"));
      EXPECT_EQ(QDir(dialog->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
      if (!c.typed) {
        dialog->reject();
        return;
      }
      // Typed as the user types it: selectFile() leaves a focused name field alone.
      auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      ASSERT_NE(name, nullptr);
      name->setText(QString::fromUtf8(c.typed));
      QDialog* asDialog = dialog;  // accept() is protected in QFileDialog, public in QDialog
      asDialog->accept();
    });
    ui::QtFileDialogs dialogs;
    const std::optional<std::string> chosen = dialogs.ChooseSave(request);
    if (!c.chosen) {
      EXPECT_FALSE(chosen.has_value());
      continue;
    }
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(QDir(dir.path()).relativeFilePath(QString::fromStdString(*chosen)),
              QString::fromUtf8(c.chosen));
  }
}

}  // namespace
}  // namespace mv
