#include "core/event_sounds.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/list_item_record.h"
#include "core/messages.h"
#include "core/text.h"
#include "platform/app_folders.h"
#include "platform/services.h"
#include "platform/sound.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

constexpr char kListMarker[5] = "-SND";
constexpr char kItemMarker[5] = "[SND";

// Property codes of an event sound record.
enum : std::uint8_t { kPropId = 1, kPropName = 2, kPropEvent = 3, kPropDefault = 4, kPropKind = 5, kPropFile = 6 };

constexpr std::size_t kStoredNameCut = 250;
constexpr std::size_t kStoredNameMax = 200;

struct StandardEvent {
  AppEvent code;
  const char* title;
  std::optional<std::uint8_t> defaultSound;
};

const StandardEvent kStandardEvents[] = {
    {AppEvent::Start, "Запуск приложения", std::nullopt},
    {AppEvent::Exit, "Завершение работы приложения", std::nullopt},
    {AppEvent::Error, "Ошибка в работе приложения", 3},
    {AppEvent::Warning, "Предупреждение о возможной проблеме", 3},
    {AppEvent::InfoPopup, "Всплывающее окно с информацией", std::nullopt},
    {AppEvent::Question, "Запрос пользователю (предложение выбора действия)", std::nullopt},
    {AppEvent::SampleEntryStart, "Начало ввода замера выборки", 1},
    {AppEvent::SampleEntryEnd, "Завершение ввода замера", 0},
    {AppEvent::ValueInTolerance, "Введено значение параметра: В допуске", 2},
    {AppEvent::ValueOutOfTolerance, "Введено значение параметра: Не в допуске", 3},
    {AppEvent::ValueInadmissible, "Введено значение параметра: Недопустимое значение", 3},
};

std::string WithBackslashes(std::string text) {
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

}  // namespace

bool AppEventRegistry::Register(std::int16_t code, std::string_view title) {
  if (code == 0 || m_events.size() >= kCapacity) return false;
  if (std::any_of(m_events.begin(), m_events.end(), [&](const Event& e) { return e.code == code; })) return false;
  m_events.push_back({code, std::string(title)});
  return true;
}

std::string AppEventRegistry::Title(std::int16_t code) const {
  for (const Event& e : m_events) {
    if (e.code == code) return e.title;
  }
  return {};
}

AppEventRegistry& AppEvents() {
  static AppEventRegistry registry = [] {
    AppEventRegistry r;
    for (const StandardEvent& e : kStandardEvents) r.Register(static_cast<std::int16_t>(e.code), e.title);
    return r;
  }();
  return registry;
}

std::string TEventSound::GetLogDescr(bool detailed) const {
  return TCoreListItem::GetLogDescr(detailed) + ", event=" + std::to_string(eventCode);
}

bool TEventSound::WriteItem(TUniStream& stream) const {
  WriteItemStart(stream, kItemMarker);
  stream.WriteByte(kPropId);
  stream.WriteID(id);
  if (!name.empty()) {
    stream.WriteByte(kPropName);
    stream.WriteStr(name);
  }
  stream.WriteByte(kPropEvent);
  stream.WriteWord(eventCode);
  stream.WriteByte(kPropDefault);
  stream.WriteByte(defaultSound);
  stream.WriteByte(kPropKind);
  stream.WriteByte(soundKind);
  if (!soundFile.empty()) {
    stream.WriteByte(kPropFile);
    stream.WriteStr(soundFile);
  }
  WriteItemEnd(stream);
  return stream.ErrorCode == TUniStream::kOk;
}

bool TEventSound::ReadItem(TUniStream& stream, std::uint16_t& errorCode) {
  errorCode = ReadItemRecord(stream, kItemMarker, [&](std::uint8_t code) {
    switch (code) {
      case kPropId: id = stream.ReadID(); return true;
      case kPropName: name = stream.ReadStr(); return true;
      case kPropEvent: eventCode = stream.ReadWord(); return true;
      case kPropDefault: defaultSound = stream.ReadByte(); return true;
      case kPropKind: soundKind = stream.ReadByte(); return true;
      case kPropFile: soundFile = stream.ReadStr(); return true;
      default: return false;
    }
  });
  return errorCode == kItemOk;
}

bool TEventSound::HasSound() const {
  return (soundKind == static_cast<std::uint8_t>(SoundKind::Default) && defaultSound != kNoSound) ||
         (soundKind == static_cast<std::uint8_t>(SoundKind::File) && !soundFile.empty());
}

std::string TEventSound::DisplayText() const {
  switch (static_cast<SoundKind>(soundKind)) {
    case SoundKind::Default:
      return defaultSound == kNoSound ? "По умолчанию (без звука)" : "По умолчанию";
    case SoundKind::Silent:
      return "Без звука";
    case SoundKind::File:
      return soundFile;
  }
  return {};  // an unknown kind read from a file shows nothing
}

TEventSoundSet::TEventSoundSet() : TCoreList(100, 5, 5) {}

std::unique_ptr<TCoreListItem> TEventSoundSet::CreateItem() const { return std::make_unique<TEventSound>(); }

bool TEventSoundSet::WriteHeader(TUniStream& stream) const {
  WriteListHeader(stream, kListMarker);
  return stream.ErrorCode == TUniStream::kOk;
}

bool TEventSoundSet::ReadHeader(TUniStream& stream) { return ReadListHeader(stream, kListMarker, *this); }

int TEventSoundSet::IndexOfEvent(std::int16_t eventCode) const {
  if (eventCode == 0) return 0;
  for (int i = 1; i <= Count(); ++i) {
    if (const TEventSound* sound = Item(i); sound && sound->eventCode == eventCode) return i;
  }
  return 0;
}

bool TEventSoundSet::AddEventDefault(std::int16_t eventCode, std::uint8_t defaultSound) {
  if (IndexOfEvent(eventCode) != 0 || !AddNew()) return false;
  TEventSound* sound = Item(Count());
  sound->eventCode = eventCode;
  sound->defaultSound = defaultSound;
  sound->soundKind = static_cast<std::uint8_t>(SoundKind::Default);
  sound->soundFile.clear();
  return true;
}

bool TEventSoundSet::Play(std::int16_t eventCode, bool async, bool force) {
  if (!force && !enabled) return false;
  const TEventSound* sound = Item(IndexOfEvent(eventCode));
  if (!sound || !sound->HasSound()) return false;
  auto& player = platform::Current<platform::ISoundPlayer>();
  bool played = false;
  if (sound->soundKind == static_cast<std::uint8_t>(SoundKind::Default)) {
    if (sound->defaultSound > 3) return false;  // no such built-in sound
    played = player.PlayBuiltin(static_cast<platform::BuiltinSound>(sound->defaultSound), async);
  } else {
    const fs::path file = fs::path(SoundFolder()) / platform::NativePath(sound->soundFile);
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return false;
    played = player.PlayFile(file.string(), async);
  }
  if (played) lastPlayed = eventCode;
  return played;
}

void AddStandardEventDefaults(TEventSoundSet& set) {
  for (const StandardEvent& e : kStandardEvents) {
    if (e.defaultSound) set.AddEventDefault(static_cast<std::int16_t>(e.code), *e.defaultSound);
  }
}

std::string SoundFolder() { return (platform::ProgramFolder() / "Sys" / "Sound").string(); }

SoundFileChoice CheckSoundFileChoice(std::string_view soundFolder, std::string_view chosenFile) {
  SoundFileChoice choice;
  // Compare normalised paths as a prefix ending at a separator, so neither "Sound2" nor
  // "Sound/../x" passes for the folder "Sound".
  std::string folder = fs::path(soundFolder).lexically_normal().string();
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  const std::string file = fs::path(chosenFile).lexically_normal().string();
  const std::string prefix = UpperCase(folder) + "/";
  if (file.size() <= folder.size() + 1 || UpperCase(file.substr(0, folder.size() + 1)) != prefix) {
    choice.warning = "Можно выбирать звуковые файлы только в папке " + Quoted(soundFolder) +
                     "\r\n\r\nСейчас выбран файл\r\n" + Quoted(chosenFile);
    return choice;
  }
  const std::string stored = WithBackslashes(CutToChars(file.substr(folder.size() + 1), kStoredNameCut));
  if (CharCount(stored) > kStoredNameMax) {
    choice.warning = "Имя файла слишком длинное\r\n" + Quoted(stored);
    return choice;
  }
  choice.accepted = true;
  choice.stored = stored;
  return choice;
}

bool TryEventSound(TEventSoundSet& set, int position) {
  const TEventSound* sound = set.Item(position);
  if (!sound || !sound->HasSound()) {
    ShowWarning("Звук не выбран для текущего события");
    return false;
  }
  return set.Play(sound->eventCode, true, true);
}

}  // namespace mv
