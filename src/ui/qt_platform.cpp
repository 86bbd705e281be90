#include "ui/qt_platform.h"

#include <QtGlobal>

#include <memory>

#include "platform/headless.h"
#include "platform/prompts.h"
#include "platform/services.h"
#include "platform/xdg_file_associations.h"
#include "reports/report_fonts.h"
#include "ui/qt_clipboard.h"
#include "ui/qt_file_dialogs.h"
#include "ui/qt_instance_channel.h"
#include "ui/qt_message_windows.h"
#include "ui/qt_progress.h"
#include "ui/report_font_dialog.h"
#include "ui/qt_prompts.h"
#include "ui/qt_shell_open.h"
#ifdef MV_HAVE_QT_MULTIMEDIA
#include "ui/qt_sound_player.h"
#endif

// The resources of a static library are registered by hand: nothing else refers to their
// object file, so the linker would leave it out. Q_INIT_RESOURCE must be used outside any
// namespace.
static void InitUiResources() { Q_INIT_RESOURCE(ui); }

namespace mv::ui {
namespace {

template <class Interface>
class Installed {
 public:
  explicit Installed(std::unique_ptr<Interface> impl)
      : m_impl(std::move(impl)), m_previous(platform::Install<Interface>(m_impl.get())) {}
  ~Installed() { platform::Install<Interface>(m_previous); }
  Installed(const Installed&) = delete;
  Installed& operator=(const Installed&) = delete;

 private:
  std::unique_ptr<Interface> m_impl;
  Interface* m_previous;
};

#ifdef MV_HAVE_QT_MULTIMEDIA
using SoundPlayer = QtSoundPlayer;
#else
using SoundPlayer = platform::HeadlessSoundPlayer;  // no Qt Multimedia: silent
#endif

// DefaultUiFont asks the screen's fonts while the Qt implementations are installed.
class InstalledFontCheck {
 public:
  InstalledFontCheck() : m_previous(SetFontInstalledCheck(FontInstalledOnScreen)) {}
  ~InstalledFontCheck() { SetFontInstalledCheck(std::move(m_previous)); }
  InstalledFontCheck(const InstalledFontCheck&) = delete;
  InstalledFontCheck& operator=(const InstalledFontCheck&) = delete;

 private:
  FontInstalledCheck m_previous;
};

struct QtPlatform {
  Installed<platform::IMessageWindows> messages{std::make_unique<QtMessageWindows>()};
  Installed<platform::IFileDialogs> fileDialogs{std::make_unique<QtFileDialogs>()};
  Installed<platform::IClipboard> clipboard{std::make_unique<QtClipboard>()};
  Installed<platform::ISoundPlayer> sound{std::make_unique<SoundPlayer>()};
  Installed<platform::IShellOpen> shellOpen{std::make_unique<QtShellOpen>()};
  Installed<platform::IInstanceChannel> instances{std::make_unique<QtInstanceChannel>()};
  Installed<platform::IProgress> progress{std::make_unique<QtProgress>()};
  Installed<platform::IPrompts> prompts{std::make_unique<QtPrompts>()};
  Installed<platform::IFileAssociations> fileTypes{std::make_unique<platform::XdgFileAssociations>()};
  InstalledFontCheck fontCheck;
};

std::unique_ptr<QtPlatform>& Installation() {
  static std::unique_ptr<QtPlatform> current;
  return current;
}

}  // namespace

void InstallQtPlatform() {
  if (Installation()) return;
  InitUiResources();
  Installation() = std::make_unique<QtPlatform>();
}

void UninstallQtPlatform() { Installation().reset(); }

}  // namespace mv::ui
