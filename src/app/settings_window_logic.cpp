#include "app/settings_window_logic.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <thread>

#include "app/desktop_integration.h"
#include "core/messages.h"
#include "core/text.h"
#include "platform/file_dialogs.h"
#include "platform/log_sink.h"
#include "platform/services.h"
#include "platform/shell_open.h"

namespace mv {
namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kNotChosen = "<не выбрано>";

}  // namespace

SettingsWindowLogic::SettingsWindowLogic(ConfigFile& config, TEventSoundSet& sounds, TGageSet& gages,
                                         TInputProfileSet& profiles, Options options)
    : setup(config.Setup()),
      m_config(config),
      m_sounds(sounds),
      m_gages(gages),
      m_profiles(profiles),
      m_options(std::move(options)) {
  if (m_options.soundFolder.empty()) m_options.soundFolder = SoundFolder();
  for (int i = 1; i <= m_sounds.Count(); ++i) {
    m_soundsBefore.push_back({m_sounds.Item(i)->soundKind, m_sounds.Item(i)->soundFile});
  }
  RefreshFileTypes();
}

std::string SettingsWindowLogic::Title() const { return "Настройки системы " + m_options.appName; }

std::string SettingsWindowLogic::AdditionalSessionNote() const {
  return m_options.additionalInstance ? "Настройки дополнительного сеанса не сохраняются !" : "";
}

std::string SettingsWindowLogic::LogFolder() const { return m_config.Folder(ConfigFile::kLogFolder); }

void SettingsWindowLogic::SetDefaultFolders() {
  const auto defaults = ConfigFile::DefaultFolders();
  // The log folder is shown, not edited.
  for (int i : {ConfigFile::kDataFolder, ConfigFile::kReportFolder, ConfigFile::kTempFolder}) {
    setup.folders[static_cast<std::size_t>(i - 1)] = defaults[static_cast<std::size_t>(i - 1)];
  }
}

std::string SettingsWindowLogic::ExpandedFolder(int index) const {
  if (index == 0) return m_options.programFolder;
  if (index < 1 || index > static_cast<int>(ConfigFile::kFolders)) return {};
  if (index == ConfigFile::kLogFolder) return LogFolder();
  return m_config.ExpandPath(Trim(setup.folders[static_cast<std::size_t>(index - 1)]), true);
}

bool SettingsWindowLogic::OpenFolder(int index) const {
  const std::string folder = ExpandedFolder(index);
  return !folder.empty() && platform::Current<platform::IShellOpen>().Open(folder);
}

bool SettingsWindowLogic::ChooseSystemFont(const TFontDescr& font) {
  const std::string refusal = CheckSystemFontSize(font.size);
  if (!refusal.empty()) {
    ShowError(refusal);
    return false;
  }
  if (font.charset != TFontDescr::kCyrillic && !Ask(NonCyrillicFontQuestion())) return false;
  setup.systemFont = font;
  return true;
}

bool SettingsWindowLogic::ChooseGraphicsFont(const TFontDescr& font) {
  if (font.charset != TFontDescr::kCyrillic && !Ask(NonCyrillicFontQuestion())) return false;
  setup.graphicsFont = font;
  return true;
}

void SettingsWindowLogic::RestoreDefaultFonts() {
  setup.systemFont = TFontDescr{};
  setup.graphicsFont = TFontDescr{};
}

std::string SettingsWindowLogic::FontText(const TFontDescr& font) {
  return font.name + ", " + std::to_string(font.size) + " пт";
}

std::array<std::string, 2> SettingsWindowLogic::SoundRow(int position) const {
  const TEventSound* sound = m_sounds.Item(position);
  if (!sound) return {};
  std::string title = AppEvents().Title(sound->eventCode);
  if (title.empty()) title = sound->name;
  return {title, sound->DisplayText()};
}

bool SettingsWindowLogic::ChooseSoundFile(int position) {
  TEventSound* sound = m_sounds.Item(position);
  if (!sound) return false;
  platform::FileDialogRequest request;
  request.title = "Выбор звукового файла";
  request.filter = "Звуковые файлы (*.wav);;Все файлы (*)";
  request.folder = m_options.soundFolder;
  for (;;) {
    const std::optional<std::string> chosen = platform::Current<platform::IFileDialogs>().ChooseOpen(request);
    if (!chosen) return false;
    const SoundFileChoice choice = CheckSoundFileChoice(m_options.soundFolder, *chosen);
    if (choice.accepted) {
      sound->soundFile = choice.stored;
      sound->soundKind = static_cast<std::uint8_t>(SoundKind::File);
      return true;
    }
    ShowWarning(choice.warning);
  }
}

void SettingsWindowLogic::SetSoundDefault(int position) {
  if (TEventSound* sound = m_sounds.Item(position)) sound->soundKind = static_cast<std::uint8_t>(SoundKind::Default);
}

void SettingsWindowLogic::SetSoundSilent(int position) {
  if (TEventSound* sound = m_sounds.Item(position)) sound->soundKind = static_cast<std::uint8_t>(SoundKind::Silent);
}

bool SettingsWindowLogic::TrySound(int position) { return TryEventSound(m_sounds, position); }

std::array<std::string, 4> SettingsWindowLogic::FileTypeRow::Cells() const {
  const std::string current = CurrentName();
  return {extension, purpose, std::to_string(association.handlers.size()), current.empty() ? kNotChosen : current};
}

std::string SettingsWindowLogic::FileTypeRow::CurrentName() const {
  if (association.defaultHandler.empty()) return {};
  for (const platform::FileTypeHandler& handler : association.handlers) {
    if (handler.id == association.defaultHandler && !handler.name.empty()) return handler.name;
  }
  return association.defaultHandler;
}

void SettingsWindowLogic::RefreshFileTypes() {
  m_fileTypes.clear();
  for (const DataFileType& type : DataFileTypes()) {
    m_fileTypes.push_back(
        {type.extension, type.mime, type.comment, platform::Current<platform::IFileAssociations>().Query(type.mime)});
  }
}

std::string SettingsWindowLogic::AssignCommandText() const {
  return "Назначить \"" + m_options.appName + "\" текущим приложением для открытия этих типов файлов";
}

int SettingsWindowLogic::AssignFileTypes() {
  const std::string& name = m_options.appName;
  const auto ours = [](const FileTypeRow& row) { return row.association.defaultHandler == kDesktopEntryId; };
  bool all = true;
  for (const FileTypeRow& row : m_fileTypes) all = all && ours(row);
  if (all) {
    ShowInfo("Приложение " + name + " уже является текущим для открытия всех используемых типов файлов");
    return 0;
  }
  if (!Ask("Данное действие может повлиять на удобство открытия этих файлов другими приложениями." + std::string(kCrLf) +
           "Это действие нельзя будет отменить в " + name + ", но в системе (например, в файловом менеджере) " +
           "всегда можно выбрать нужное приложение для открытия любого типа файлов" + kCrLf + kCrLf + "Назначить " +
           name + " текущим приложением для открытия файлов?")) {
    return 0;
  }
  platform::ILog& log = platform::Current<platform::ILog>();
  platform::IFileAssociations& desktop = platform::Current<platform::IFileAssociations>();
  bool entryWritten = false;
  int assigned = 0;
  for (const FileTypeRow& row : m_fileTypes) {
    if (ours(row)) continue;
    bool listed = false;
    for (const platform::FileTypeHandler& handler : row.association.handlers) listed = listed || handler.id == kDesktopEntryId;
    bool ok = true;
    if (!listed && !entryWritten && m_options.registerDesktopEntry) {
      ok = m_options.registerDesktopEntry();
      if (ok) {
        entryWritten = true;
      } else {
        log.LogError("Fault to create desktop entry " + Quoted(kDesktopEntryId));
      }
    }
    if (ok && !desktop.SetDefault(row.mime, kDesktopEntryId)) {
      ok = false;
      log.LogError("Fault to setup " + Quoted(kDesktopEntryId) + " as default for " + Quoted(row.extension));
    }
    if (ok) {
      ++assigned;
    } else {
      ShowError(name + " не удалось назначить текущим для открытия файлов *." + row.extension);
    }
  }
  RefreshFileTypes();
  if (assigned > 0) {
    ShowInfo(name + " установлено в качестве текущего для открытия " + PluralRu(assigned, " тип", "а", "ов", "ов") +
             " файлов");
  }
  return assigned;
}

std::string SettingsWindowLogic::FileTypeDetails(int row) const {
  if (row < 0 || row >= static_cast<int>(m_fileTypes.size())) return {};
  const FileTypeRow& type = m_fileTypes[static_cast<std::size_t>(row)];
  const std::string current = type.CurrentName();
  std::string text = "Тип файла:  " + type.purpose + " (" + type.mime + ")" + kCrLf + "Расширение:  " +
                     type.extension + kCrLf + "Текущее приложение-обработчик:  " +
                     (current.empty() ? "<не установлено>" : current) + kCrLf + kCrLf + "Приложения-обработчики:";
  int number = 0;
  for (const platform::FileTypeHandler& handler : type.association.handlers) {
    text += kCrLf + std::to_string(++number) + ". Название: " + handler.name +
            (handler.id == type.association.defaultHandler ? " (текущее)" : "") + kCrLf +
            "   Описание: " + handler.description + kCrLf + "   Команда открытия: " + handler.command;
  }
  return text;
}

std::string SettingsWindowLogic::InformationText() const {
  std::string text = m_options.appName + " " + m_options.version + kCrLf + "Статистическое управление качеством" +
                     kCrLf + kCrLf + "Папка программы: " + m_options.programFolder + kCrLf;
  utsname system{};
  if (uname(&system) == 0) {
    text += std::string("Система: ") + system.sysname + " " + system.release + " (" + system.machine + ")" + kCrLf +
            "Компьютер: " + system.nodename + kCrLf;
  }
  text += "Процессоров: " + std::to_string(std::thread::hardware_concurrency());
  return text;
}

void SettingsWindowLogic::ResetColumnWidths() {
  m_config.ResetArea(OwnedArea::kColumnWidths);
}

SettingsWindowLogic::Applied SettingsWindowLogic::Accept() {
  Applied applied;
  applied.systemFontChanged = !(setup.systemFont == m_config.systemFont);
  applied.graphicsFontChanged = !(setup.graphicsFont == m_config.graphicsFont);
  applied.foldersChanged = m_config.ApplySetup(setup);
  return applied;
}

void SettingsWindowLogic::Cancel() {
  for (int i = 1; i <= m_sounds.Count() && i <= static_cast<int>(m_soundsBefore.size()); ++i) {
    m_sounds.Item(i)->soundKind = m_soundsBefore[static_cast<std::size_t>(i - 1)].kind;
    m_sounds.Item(i)->soundFile = m_soundsBefore[static_cast<std::size_t>(i - 1)].file;
  }
}

}  // namespace mv
