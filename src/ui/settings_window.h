#pragma once
// The settings window "Настройки системы ...": general, folders, calculations, appearance, file
// types, information and (in the debug mode) administration pages. It holds the logic of
// app/settings_window_logic.h and forwards to it; OK stores the settings and applies the
// system font to the application at once.

#include <QDialog>

#include <functional>
#include <optional>

#include "app/settings_window_logic.h"

class QCheckBox;
class QComboBox;
class QFont;
class QLabel;
class QLineEdit;
class QTabWidget;
class QTableWidget;

namespace mv::ui {

class ProfileListPage;

// The font as the settings keep it, and back. The character set is Cyrillic when the family
// can write Cyrillic.
TFontDescr FontDescrOf(const QFont& font);
QFont QFontOf(const TFontDescr& font);

class SettingsWindow : public QDialog {
  Q_OBJECT

 public:
  enum Page : int { kGeneral = 0, kFolders = 1, kCalculations = 2, kAppearance = 5, kFileTypes = 6, kInformation = 7 };

  SettingsWindow(ConfigFile& config, TEventSoundSet& sounds, TGageSet& gages, TInputProfileSet& profiles,
                 SettingsWindowLogic::Options options, QWidget* parent = nullptr);
  SettingsWindowLogic& Logic() { return m_logic; }
  void ShowPage(int page);
  // What OK applied (empty while the window was not confirmed).
  const std::optional<SettingsWindowLogic::Applied>& Applied() const { return m_applied; }

  // The font dialog; tests replace it. Returns nothing when cancelled.
  static std::function<std::optional<QFont>(QWidget* parent, const QFont& initial, const QString& title)> chooseFont;

  void accept() override;
  void reject() override;

 private:
  QWidget* GeneralPage();
  QWidget* FoldersPage();
  QWidget* CalculationsPage();
  QWidget* AppearancePage();
  QWidget* FileTypesPage();
  QWidget* InformationPage();
  QWidget* AdministrationPage();
  void ShowFonts();
  void FillSounds();
  void FillFileTypes();
  void PickFont(bool system);
  int CurrentSound() const;

  SettingsWindowLogic m_logic;
  std::optional<SettingsWindowLogic::Applied> m_applied;
  QTabWidget* m_pages = nullptr;
  QCheckBox* m_switches[4] = {};
  std::array<QLineEdit*, 4> m_folders{};
  QComboBox* m_unit = nullptr;
  QLabel* m_systemFont = nullptr;
  QLabel* m_graphicsFont = nullptr;
  QTableWidget* m_sounds = nullptr;
  QTableWidget* m_fileTypes = nullptr;
  ProfileListPage* m_profiles = nullptr;
};

}  // namespace mv::ui
