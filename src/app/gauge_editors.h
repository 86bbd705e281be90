#pragma once
// What the gauge editor, the gauge list window, the input-profile editor and the profile list
// page do, without their windows: the checks of the editors (each returns the message to show,
// "" when the form passes), the titles, rows and captions, and the changes with their log lines.
// The windows hold one of these objects, show what it says and forward every command to it.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "spc/gages.h"
#include "spc/input_profiles.h"

namespace mv {

// --- gauge editor ---

// The gauge editor as the user left it. The minimum and the maximum are typed numbers; an empty
// one is absent.
struct GageForm {
  static constexpr std::size_t kNameMax = 100;
  static constexpr std::size_t kFullNameMax = 200;
  static constexpr std::size_t kSerialMax = 20;
  static constexpr std::size_t kNoteMax = 250;
  static constexpr std::uint8_t kDecimalsMax = 6;

  std::string name{};
  std::string fullName{};
  std::string serialNumber{};
  std::string note{};
  std::string unit{};
  std::uint8_t decimals = 0;
  std::string minimum{};
  std::string maximum{};
  std::uint8_t connectionType = static_cast<std::uint8_t>(GageConnection::Wireless);
  std::uint8_t start = 1;
  int formatPosition = 1;  // position in TransmissionFormats()
  std::string deviceId{};
};

inline constexpr const char* kGageMinimumLabel = "Минимальный предел измерения";
inline constexpr const char* kGageMaximumLabel = "Максимальный предел измерения";
inline constexpr double kGageBound = 1e12;

struct GageCheck {
  std::string message;      // the refusal; "" when the form passes or a number failed
  const char* numberLabel = nullptr;  // a typed bound that is not a number within ±1e12
  std::string numberText;             // ... and its text, for ValidateNumber to report
  GageFields fields;        // what SetGage stores when both are empty
  bool Passed() const { return message.empty() && numberLabel == nullptr; }
};
// The editor's OK checks in their order: the trimmed name given, no other gauge (skipping
// `position`) of that name ignoring letter case, each bound given a number within ±1e12, the
// maximum above the minimum. `range` is the gauge's range before the edit (its empty text is
// kept).
GageCheck CheckGageForm(const TGageSet& list, int position, const GageForm& form, const ValueRange& range = {});

class GageEditor {
 public:
  // position 0 creates a gauge.
  GageEditor(TGageSet& list, int position);

  // "Создание средства измерения" / "Изменение средства измерения (2/5)".
  std::string Title() const;
  // The start, format and device identifier with their note are shown only for a connected gauge.
  bool ConnectionFieldsShown() const { return form.connectionType != 0; }
  static const char* ConnectionNote();

  GageForm form;

  // OK: checks the form (showing the refusal), then adds or changes the gauge and logs it. True
  // when the editor may close; Changed() then tells whether the list changed.
  bool Accept();
  bool Changed() const { return m_changed; }
  int Position() const { return m_position; }

 private:
  TGageSet& m_list;
  int m_position;
  bool m_changed = false;
};

// --- gauge list window ---

class GageListLogic {
 public:
  static constexpr std::array<const char*, 7> kColumns{
      " #", " Название", " Серийный номер", " Ед.измерения", " Пределы измерения", " Подключение", " Примечание"};

  // Logs "Open gages: ..." . In select mode the window starts on the gauge with currentId.
  GageListLogic(TGageSet& list, bool selectMode, std::int32_t currentId);

  static const char* Title() { return "Средства измерений, подключаемые к компьютеру"; }
  std::string Caption() const;  // "Средства измерений (3):"
  std::vector<std::string> Row(int position) const;
  int Count() const { return m_list.Count(); }
  bool SelectMode() const { return m_selectMode; }

  int current = 0;  // the selected position, 0 for none
  bool CanAdd() const { return m_list.CanAdd(); }
  bool CanEdit() const { return !m_list.IsEmpty() && m_list.IsValidIndex(current); }
  bool CanDelete() const { return CanEdit(); }

  // After an editor closed on `position` (the new gauge's for an added one).
  void Edited(bool changed, int position);
  // Asks, logs "Delete gage: ..." and removes the current gauge. True when it was removed.
  bool DeleteCurrent();
  // The window closes: with OK or "Выбор" (accepted) or cancelled. Marks the list changed and
  // logs "Gages changed: ..." as the window's work asks.
  void Finish(bool accepted);
  bool Changed() const { return m_changed; }
  TGageSet& List() { return m_list; }

 private:
  TGageSet& m_list;
  bool m_selectMode;
  bool m_changed = false;
};

// --- input-profile editor ---

struct ProfileForm {
  static constexpr std::size_t kNameMax = 100;
  static constexpr std::size_t kNoteMax = 250;
  std::string name{};
  std::string note{};
  std::uint8_t source = static_cast<std::uint8_t>(InputSource::Keyboard);
  std::int32_t gageId = 0;
};

// "Укажите название" for an empty trimmed name, "Не выбрано средство измерения" for gauge input
// without a gauge of the list; "" when the form passes.
std::string CheckProfileForm(const ProfileForm& form, const TGageSet& gages);

class ProfileEditor {
 public:
  // position 0 creates a profile.
  ProfileEditor(TInputProfileSet& list, TGageSet& gages, int position);

  // "Создание профиля ввода данных" / "Изменение профиля ввода данных (1/2)".
  std::string Title() const;
  ProfileForm form;

  const TGage* Gage() const;     // the chosen gauge, nullptr when none is chosen or it is gone
  std::string GageName() const;  // its name, " <не выбрано>" when none
  // "Пределы измерения:  " + range with unit + CR LF + "Подключение:  " + connection; "" without a gauge.
  std::string GageDetails() const;
  // The gauge list in select mode chose this position.
  void ChooseGage(int position);

  // OK: checks (showing the refusal), then adds or changes the profile, marks the list changed
  // and logs it. True when the editor may close.
  bool Accept();
  int Position() const { return m_position; }
  TGageSet& Gages() { return m_gages; }

 private:
  TInputProfileSet& m_list;
  TGageSet& m_gages;
  int m_position;
};

// --- profile list page ---

class ProfileListLogic {
 public:
  static constexpr std::array<const char*, 3> kColumns{" #", " Название", " Способ ввода"};

  ProfileListLogic(TInputProfileSet& list, TGageSet& gages);

  std::string Caption() const;  // "Профили ввода исходных данных (2):"
  std::vector<std::string> Row(int position) const;
  int Count() const { return m_list.Count(); }

  int current = 0;
  bool CanAdd() const { return m_list.CanAdd(); }
  bool CanEdit() const { return m_list.IsValidIndex(current); }
  // A profile is always left: the last one cannot be deleted.
  bool CanDelete() const { return CanEdit() && m_list.Count() > 1; }
  // Asks, logs "Delete input profile: ..." and removes the current profile; the current input
  // profile is found again by its identifier (the first one when it was this one).
  bool DeleteCurrent();
  TInputProfileSet& List() { return m_list; }
  TGageSet& Gages() { return m_gages; }

 private:
  TInputProfileSet& m_list;
  TGageSet& m_gages;
};

}  // namespace mv
