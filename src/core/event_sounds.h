#pragma once
// Application events and the sounds the user chose for them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/core_list.h"

namespace mv {

// Application events (codes stored in configuration files; keep the values).
enum class AppEvent : std::int16_t {
  Start = 1,
  Exit = 2,
  Error = 100,
  Warning = 101,
  InfoPopup = 102,
  Question = 103,
  SampleEntryStart = 20001,
  SampleEntryEnd = 20002,
  ValueInTolerance = 20010,
  ValueOutOfTolerance = 20011,
  ValueInadmissible = 20012,
};

// The registry of application events with their Russian titles: at most 100 events; a
// registration with code 0, a known code or a full registry is ignored. The program's
// registry starts with the standard events.
class AppEventRegistry {
 public:
  static constexpr std::size_t kCapacity = 100;
  struct Event {
    std::int16_t code;
    std::string title;
  };
  bool Register(std::int16_t code, std::string_view title);
  std::string Title(std::int16_t code) const;  // "" for an unknown code
  const std::vector<Event>& Events() const { return m_events; }

 private:
  std::vector<Event> m_events;
};

AppEventRegistry& AppEvents();

// Default sounds: 0 none, 1 the built-in "default" sound, 2 "ok", 3 "error".
inline constexpr std::uint8_t kNoSound = 0;

// Sound kinds of an event.
enum class SoundKind : std::uint8_t { Default = 0, Silent = 1, File = 2 };

class TEventSound : public TCoreListItem {
 public:
  TEventSound() = default;

  std::int16_t eventCode = 0;
  std::uint8_t defaultSound = kNoSound;
  std::uint8_t soundKind = static_cast<std::uint8_t>(SoundKind::Default);
  std::string soundFile;  // relative to the sound folder, '\' as separator

  std::string ClassName() const override { return "TEventSound"; }
  std::string GetLogDescr(bool detailed = false) const override;
  bool WriteItem(TUniStream& stream) const override;
  bool ReadItem(TUniStream& stream, std::uint16_t& errorCode) override;

  // Kind 0 with a default sound, or kind 2 with a file name.
  bool HasSound() const;
  // "По умолчанию" [" (без звука)"], "Без звука", or the file name.
  std::string DisplayText() const;
};

class TEventSoundSet : public TCoreList {
 public:
  TEventSoundSet();

  bool enabled = false;
  std::int16_t lastPlayed = 0;

  std::string ClassName() const override { return "TEventSoundSet"; }
  bool WriteHeader(TUniStream& stream) const override;
  bool ReadHeader(TUniStream& stream) override;

  TEventSound* Item(int position) const { return ItemAs<TEventSound>(*this, position); }
  // Position of the first item with that event code; 0 for code 0 or none.
  int IndexOfEvent(std::int16_t eventCode) const;
  // Adds the event with its default sound when no item has it yet.
  bool AddEventDefault(std::int16_t eventCode, std::uint8_t defaultSound);
  void SetEnabled(bool flag) { enabled = flag; }
  // Plays the event's sound (unless the set is disabled and force is false); true when a
  // sound was played, and then the event is remembered as the last played one.
  bool Play(std::int16_t eventCode, bool async, bool force = false);

 protected:
  std::unique_ptr<TCoreListItem> CreateItem() const override;
};

// Adds the standard events that have a default sound (kept when already present).
void AddStandardEventDefaults(TEventSoundSet& set);

// Where sound files live: Sys/Sound in the program folder.
std::string SoundFolder();

// Choosing a sound file for an event: the chosen file must lie inside the sound folder; what
// is stored is its name relative to the folder ('\' as separator), at most 200 characters.
// On refusal `warning` holds the text to show and the choice is repeated.
struct SoundFileChoice {
  bool accepted = false;
  std::string stored;
  std::string warning;
};
SoundFileChoice CheckSoundFileChoice(std::string_view soundFolder, std::string_view chosenFile);

// Plays the event's sound on request from the options; warns when the event has none.
bool TryEventSound(TEventSoundSet& set, int position);

}  // namespace mv
