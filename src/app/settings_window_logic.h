#pragma once
// The settings window "Настройки системы ..." without its widgets: the values its pages edit, the
// checks of the fonts and the sound files, the folders and their defaults, the file types of
// the desktop and the command that makes this program their handler, the information text, and
// OK and Cancel. The window shows what this says and forwards every command here.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/config_file.h"
#include "core/event_sounds.h"
#include "platform/file_associations.h"
#include "spc/gages.h"
#include "spc/input_profiles.h"

namespace mv {

class SettingsWindowLogic {
 public:
  struct Options {
    std::string appName = "Morvalen";
    std::string version{};
    bool additionalInstance = false;  // a second running instance saves no settings
    bool debugMode = false;           // the administration page is shown
    std::string programFolder{};
    std::string soundFolder{};  // where sound files may be chosen; SoundFolder() when empty
    // Writes the program's desktop entry and file types for the desktop; called before a type is
    // assigned when the entry is not among the type's handlers. Absent: the entry is taken as there.
    std::function<bool()> registerDesktopEntry{};
  };

  SettingsWindowLogic(ConfigFile& config, TEventSoundSet& sounds, TGageSet& gages, TInputProfileSet& profiles,
                      Options options);

  std::string Title() const;  // "Настройки системы Morvalen"
  // "Настройки дополнительного сеанса не сохраняются !" in an additional instance, else "".
  std::string AdditionalSessionNote() const;
  bool AdministrationShown() const { return m_options.debugMode; }

  // What the general, folders, calculations and appearance pages edit.
  ConfigFile::SystemSetup setup;

  // --- folders ---
  static constexpr const char* kNextSessionNote = "(*)  Вступит в действие только в следующем сеансе работы";
  const std::string& ProgramFolder() const { return m_options.programFolder; }
  std::string LogFolder() const;
  // "Установить значения по умолчанию": the data, report and temporary folders.
  void SetDefaultFolders();
  // "Открыть": 0 the program folder, 1..4 the folder as typed now, expanded; opened through the
  // platform's shell. False when it could not be opened.
  bool OpenFolder(int index) const;
  std::string ExpandedFolder(int index) const;

  // --- appearance: fonts ---
  // Checks (size, then the character set's question) and takes the font; false when refused.
  bool ChooseSystemFont(const TFontDescr& font);
  bool ChooseGraphicsFont(const TFontDescr& font);
  // "Восстановить шрифты по умолчанию / Restore default fonts": both become the default font.
  void RestoreDefaultFonts();
  // "Segoe UI, 9 пт" and the like, for the sample lines.
  static std::string FontText(const TFontDescr& font);

  // --- appearance: event sounds ---
  int SoundCount() const { return m_sounds.Count(); }
  // The event's title and its sound's display text.
  std::array<std::string, 2> SoundRow(int position) const;
  // The file dialog, repeated while the chosen file is refused; true when a file was taken.
  bool ChooseSoundFile(int position);
  void SetSoundDefault(int position);
  void SetSoundSilent(int position);
  bool TrySound(int position);

  // --- file types ---
  static constexpr std::array<const char*, 4> kFileTypeColumns{" Расширение", " Назначение", " К-во приложений",
                                                                " Текущее приложение"};
  struct FileTypeRow {
    std::string extension;
    std::string mime;
    std::string purpose;
    platform::FileTypeAssociation association;
    std::array<std::string, 4> Cells() const;
    std::string CurrentName() const;  // the default handler's name, "" when none is set
  };
  const std::vector<FileTypeRow>& FileTypes() const { return m_fileTypes; }
  // Asks the desktop again.
  void RefreshFileTypes();
  std::string AssignCommandText() const;
  // The command: makes this program the handler of every type that has another one, with the
  // information, the confirmation and the failures it reports. The number of types assigned.
  int AssignFileTypes();
  // The details of a type (double click), as the information window shows them.
  std::string FileTypeDetails(int row) const;

  // --- information and administration ---
  std::string InformationText() const;
  // "Начальные значения ширин столбцов таблиц": every table's column widths to their defaults.
  void ResetColumnWidths();

  // --- OK and Cancel ---
  struct Applied {
    bool foldersChanged = false;
    bool systemFontChanged = false;
    bool graphicsFontChanged = false;
  };
  Applied Accept();
  // The sound choices made meanwhile are undone.
  void Cancel();

  TGageSet& Gages() { return m_gages; }
  TInputProfileSet& Profiles() { return m_profiles; }

 private:
  ConfigFile& m_config;
  TEventSoundSet& m_sounds;
  TGageSet& m_gages;
  TInputProfileSet& m_profiles;
  Options m_options;
  struct SoundChoice {
    std::uint8_t kind;
    std::string file;
  };
  std::vector<SoundChoice> m_soundsBefore;
  std::vector<FileTypeRow> m_fileTypes;
};

}  // namespace mv
