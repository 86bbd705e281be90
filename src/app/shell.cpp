#include "app/shell.h"

#include <algorithm>
#include <filesystem>
#include <new>
#include <optional>
#include <system_error>

#include "app/config_file.h"
#include "app/dataset_history.h"
#include "app/password.h"
#include "core/date_time.h"
#include "core/file_error.h"
#include "core/file_facts.h"
#include "core/messages.h"
#include "core/text.h"
#include "platform/clock.h"
#include "platform/file_dialogs.h"
#include "platform/instance_channel.h"
#include "platform/log_sink.h"
#include "platform/prompts.h"
#include "platform/services.h"
#include "spc/spc_file.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

platform::ILog& Log() { return platform::Current<platform::ILog>(); }

std::string LimitText() {
  return "Количество открытых наборов данных достигло максимума - " + std::to_string(kMaxOpenDatasets) +
         ". Закройте один из них, чтобы создать или открыть новый";
}

std::string ExampleSaveText(const std::string& fileName) {
  return "Набор данных\r\n" + fileName +
         "\r\nне может быть сохранен под своим именем, т.к. он является файлом примера и не должен изменяться "
         "пользователем.\r\n\r\nОднако, если внесенные изменения нужны для дальнейшей работы, этот набор данных "
         "можно сохранить под другим именем через пункт меню \"Файл/Сохранить как...\"";
}

}  // namespace

std::string UnknownExtensionText(const std::string& fileName) {
  const std::string ext = fs::path(fileName).extension().string();
  return "Неизвестное расширение имени файла - " + Quoted(ext.empty() ? ext : ext.substr(1)) +
         "\r\n\r\nНе опознан тип загружаемого файла " + Quoted(fileName) +
         "\r\n\r\nДанная версия приложения Morvalen может работать только с файлами, имеющими расширения:\r\n"
         "mvl, smp, msa, mef\r\n\r\nЕсли Вы считаете, то текущее расширение файла указано неверно, то Вы можете "
         "изменить его средствами операционной системы и загрузить файл снова";
}

std::optional<std::string> NotYetOpenedText(const std::string& fileName) {
  const std::string ext = LowerCase(fs::path(fileName).extension().string());
  const std::pair<const char*, const char*> kinds[] = {
      {".msa", "файл данных MSA"}, {".mef", "файл обмена данными"}, {".smp", "файл данных версии DOS"}};
  for (const auto& [known, kind] : kinds) {
    if (ext != known) continue;
    return "Файл " + Quoted(fileName) + " не открыт\r\n\r\nЭто " + kind + " (расширение " + (known + 1) +
           "), а данная версия приложения Morvalen пока не умеет открывать файлы этого типа";
  }
  return std::nullopt;
}

Shell::BusyScope::BusyScope(Shell& shell, std::string activity) : m_shell(shell), m_previous(shell.m_activity) {
  ++m_shell.m_busy;
  m_shell.m_activity = std::move(activity);
}

Shell::BusyScope::~BusyScope() {
  --m_shell.m_busy;
  m_shell.m_activity = m_previous;
}

Shell::Shell(ShellView* view) : m_view(view) {}

void Shell::SetView(ShellView* view) { m_view = view; }

void Shell::SetStatus(std::string text) {
  m_status = std::move(text);
  if (m_view) m_view->StatusChanged(m_status);
}

void Shell::Changed() {
  if (m_view) m_view->DatasetsChanged();
}

bool Shell::OpenDatasetFile(const std::string& fileName, int source) {
  BusyScope busy(*this, "opening " + fileName);
  // A file that is open already is only shown, even when no further dataset could be opened.
  if (const int open = m_list.IndexOfFile(fileName); open >= 0) {
    m_list.SetCurrent(open);
    SetStatus("Запрошенный файл уже открыт " + Quoted(fileName));  // the file asked for is open already
    Changed();
    return true;
  }
  if (m_list.Full()) {
    ShowWarning(LimitText());
    return false;
  }
  std::uint64_t size = 0;
  TDateTime time = 0;
  if (FileFacts(fileName, size, time)) {
    Log().LogLine("-Open." + std::to_string(source) + ": File " + Quoted(fileName) + ", " + std::to_string(size) +
                  " bt, " + DateTimeText(time, true));
  }
  // Old sample files, MSA datasets and exchange files are read once their readers exist; until
  // then the user is told so, and any other extension is unknown.
  if (!HasSpcExtension(fileName)) {
    if (const std::optional<std::string> notYet = NotYetOpenedText(fileName)) {
      ShowWarning(*notYet);
    } else {
      ShowError(UnknownExtensionText(fileName));
    }
    return false;
  }
  std::string loadLine;
  std::unique_ptr<TDatasetSPC> ds;
  try {
    ds = LoadDatasetFile(fileName, &loadLine);
  } catch (const std::bad_alloc&) {
    // Out of memory while loading: this file fails with the system's message, and the open
    // datasets stay as they are.
    ShowError("Сбой при загрузке файла\r\n" + fileName + "\r\n\r\n" + FileErrorText(kOutOfMemoryCode));
    return false;
  }
  if (!ds) return false;
  if (ds->passwordHash != 0 && (ds->accessFlags & access_flag::kPasswordOnOpen) != 0 &&
      !AskPassword(*ds, "файлу " + Quoted(ds->fileName))) {
    Log().LogLine("Access denied: password failed (owner - " + ds->responsible + ")");
    ShowError("Доступ к файлу " + Quoted(ds->fileName) + " невозможен без указания пароля");
    return false;
  }
  ds->MarkSaved();
  if (ds->id == 0) {
    ds->SetNewIdentifier();
    ds->Touch();
  }
  const std::string name = ds->fileName;
  m_lastOpenedFolder = fs::path(name).parent_path().string();
  const int index = m_list.Add(std::move(ds));
  Log().LogLine(loadLine, m_list.Entry(index)->slot);
  RecordHistory(index, HistoryEvent::Opened);
  SetStatus(TimeText(platform::Current<platform::IClock>().Now(), true) + "  Открыт файл " + Quoted(name));
  Changed();
  return true;
}

bool Shell::OpenWithDialog(bool msa) {
  platform::FileDialogRequest request;
  request.title = "Открыть файл данных";
  const std::string spc = "Файл данных SPC (*.mvl)";
  const std::string msaFiles = "Файл данных MSA (*.msa)";
  const std::string any = "Файл данных любого поддерживаемого формата (*.mvl *.smp *.msa)";
  // The filter of the command used comes first, so the dialog starts with it.
  request.filter = msa ? msaFiles + ";;" + spc + ";;" + any + ";;Все файлы (*)"
                       : spc + ";;" + msaFiles + ";;" + any + ";;Все файлы (*)";
  request.folder = m_lastOpenedFolder.empty() ? dataFolder : m_lastOpenedFolder;
  const std::optional<std::string> chosen = platform::Current<platform::IFileDialogs>().ChooseOpen(request);
  if (!chosen) return false;
  return OpenDatasetFile(*chosen, kFromDialog);
}

bool Shell::NewDataset(DatasetKind kind) {
  const std::string code = kind == DatasetKind::Msa ? "MSA" : "SPC";
  if (!Ask("Вы действительно хотите создать новый набор данных " + code + "?")) return false;
  Log().LogLine("-Create new " + code + " dataset");
  if (m_list.Full()) {
    ShowWarning(LimitText());
    return false;
  }
  // Only SPC datasets can be made until the MSA model exists; the command stays disabled.
  if (kind == DatasetKind::Msa) return false;
  auto ds = std::make_unique<TDatasetSPC>();
  m_list.Add(std::move(ds), "Новый " + code + " " + std::to_string(++m_newCount));
  Changed();
  return true;
}

bool Shell::SaveDataset(int slot, bool askName) {
  const int index = m_list.IndexOfSlot(slot);
  TDatasetSPC* ds = m_list.At(index);
  if (!ds) return false;
  if (!m_edits.CommitAll(slot)) return false;
  const bool exampleLocked = ds->IsExample() && !debugMode;
  if (exampleLocked && !askName && !ds->fileName.empty()) {
    ShowWarning(ExampleSaveText(ds->fileName));
    return false;
  }
  const auto nameAllowed = [&](const std::string& target) {
    if (exampleLocked && !ds->fileName.empty() && SameFile(target, ds->fileName)) {
      ShowWarning(ExampleSaveText(ds->fileName));
      return false;
    }
    // Two open datasets under one file name would overwrite each other's saves.
    const int other = m_list.IndexOfFile(target);
    if (other >= 0 && other != index) {
      ShowWarning("Файл " + Quoted(target) + " уже открыт как другой набор данных. Выберите другое имя файла");
      return false;
    }
    return true;
  };
  // The progress window lets the event loop run: queued files wait and the run does not end
  // while the file is written.
  BusyScope busy(*this, "saving " + (ds->fileName.empty() ? m_list.DisplayName(index) : ds->fileName));
  if (!SaveDatasetFile(*ds, askName, nameAllowed)) return false;
  RecordHistory(index, HistoryEvent::Saved);
  SetStatus("  Сохранен файл " + ds->fileName);
  Changed();
  return true;
}

void Shell::RecordHistory(int index, HistoryEvent event) {
  TDatasetSPC* ds = m_list.At(index);
  if (!history || !ds) return;
  const TDateTime now = platform::Current<platform::IClock>().Now();
  const auto runNumber = static_cast<std::int16_t>(run ? run->runNumber : sessionNumber);
  constexpr auto kBuild = static_cast<std::int16_t>(ConfigFile::kBuildNumber);
  switch (event) {
    case HistoryEvent::Opened: history->AddOnOpen(*ds, now, runNumber, kBuild); break;
    case HistoryEvent::Saved: history->UpdateOnSave(*ds, now, runNumber, kBuild); break;
    case HistoryEvent::Closing: history->MarkClosed(*ds, now); break;
  }
}

bool Shell::UnsavedChanges() const {
  for (int i = 0; i < m_list.Count(); ++i) {
    if (m_list.At(i)->IsChanged()) return true;
  }
  return false;
}

bool Shell::CloseIndex(int index) {
  TDatasetSPC* ds = m_list.At(index);
  if (!ds) return false;
  if (!m_edits.CommitAll(m_list.Entry(index)->slot)) return false;
  if (ds->IsChanged() && m_allChoice != AllChoice::DontSave) {
    // Saving automatically at the end still asks about a dataset that has no file yet.
    bool save = m_allChoice == AllChoice::Save || (m_allChoice == AllChoice::Auto && !ds->fileName.empty());
    if (!save) {
      m_list.SetCurrent(index);
      Changed();
      platform::ChoiceRequest question;
      question.caption = "Нужно ли сохранить файл ?";
      question.text = "Вы хотите сохранить файл\r\n" + m_list.DisplayName(index);
      question.buttons = {"Сохранить", "Сохранить все", "Не сохранять", "Не сохранять все", "Продолжить работу"};
      question.defaultButton = static_cast<int>(CloseChoice::Save);
      question.cancelButton = static_cast<int>(CloseChoice::Continue);
      const auto choice = static_cast<CloseChoice>(platform::Current<platform::IPrompts>().Choose(question));
      switch (choice) {
        case CloseChoice::Save: save = true; break;
        case CloseChoice::SaveAll: save = true; m_allChoice = AllChoice::Save; break;
        case CloseChoice::DontSave: break;
        case CloseChoice::DontSaveAll: m_allChoice = AllChoice::DontSave; break;
        default: return false;  // "Продолжить работу": nothing closes
      }
    }
    if (save && !SaveDataset(m_list.Entry(index)->slot, false)) {
      m_allChoice = AllChoice::None;
      return false;
    }
  }
  const int slot = m_list.Entry(index)->slot;
  const std::string name = m_list.DisplayName(index);
  RecordHistory(index, HistoryEvent::Closing);
  std::unique_ptr<TDatasetSPC> closed = m_list.Remove(index);
  Log().LogLine("-Close DS " + name + ", changes=" + closed->ChangesText(), slot);
  Changed();
  return true;
}

bool Shell::CloseDataset(int slot) {
  m_allChoice = AllChoice::None;
  const bool closed = CloseIndex(m_list.IndexOfSlot(slot));
  m_allChoice = AllChoice::None;
  return closed;
}

bool Shell::CloseAll(bool saveAll) {
  m_allChoice = saveAll ? AllChoice::Auto : AllChoice::None;
  bool all = true;
  while (m_list.Count() > 0) {
    if (!CloseIndex(0)) {
      all = false;
      break;
    }
  }
  m_allChoice = AllChoice::None;
  return all;
}

bool Shell::AskPassword(TDatasetBasic& dataset, const std::string& objectText) {
  platform::PasswordRequest request;
  request.caption = "Укажите пароль";
  request.text = "Для доступа к " + objectText + " требуется указать пароль";
  request.note = "Для информации: владелец набора данных - " + dataset.responsible;
  request.check = [&dataset](const std::string& typed) {
    if (PasswordMatches(typed, dataset.passwordHash)) return true;
    ShowError("Пароль указан неверно", 0, std::string(kNoLogTag));
    return false;
  };
  if (!platform::Current<platform::IPrompts>().AskPassword(request)) return false;
  dataset.unlocked = true;
  return true;
}

bool Shell::SetPassword(TDatasetBasic& dataset) {
  platform::SetPasswordRequest request;
  request.caption = "Установка пароля защиты набора данных";
  request.note = "Длина пароля - не менее " + std::to_string(kPasswordMin) + " символов. Регистр не учитывается";
  request.passwordExists = dataset.passwordHash != 0;
  request.set = [&dataset](const std::string& entry, const std::string& repeat) {
    const NewPassword checked = CheckNewPassword(entry, repeat);
    if (!checked.message.empty()) return checked.message;
    if (Trim(dataset.responsible).empty()) {
      return std::string(
          "При установленном пароле необходимо указать ответственного за набор данных (рекомендуется указать имя и "
          "координаты для связи)");
    }
    dataset.passwordHash = checked.hash;
    dataset.accessFlags |= access_flag::kPasswordOnOpen;
    dataset.unlocked = true;
    dataset.Touch();
    return std::string();
  };
  request.reset = [&dataset] {
    if (!Ask("Вы действительно желаете снять пароль?")) return false;
    dataset.passwordHash = 0;
    dataset.Touch();
    return true;
  };
  return platform::Current<platform::IPrompts>().SetPassword(request);
}

std::optional<std::string> Shell::HandleInstanceMessage(std::span<const std::uint8_t> record) {
  const std::string_view bytes(reinterpret_cast<const char*>(record.data()), record.size());
  const std::optional<InstanceMessage> message = DecodeInstanceMessage(bytes);
  if (!message) return std::nullopt;
  switch (message->code) {
    case InstanceCode::Terminate: {
      Log().LogLine("Request for terminate: " + message->requester);
      if (!Busy() && !UnsavedChanges()) {
        Log().LogLine("Terminate: " + message->requester);
        if (run) run->Set(RunFlag::Terminated);
        if (m_view) m_view->EndRun();
      } else {
        if (m_view) m_view->MarkTitle(" - ЗАКРОЙТЕ ЭТО ОКНО!");
        SetStatus(
            "Закройте этот экземпляр приложения (это окно) прямо сейчас, чтобы другой экземпляр мог выполнить важную "
            "операцию");
      }
      return std::nullopt;
    }
    case InstanceCode::AskSession: {
      InstanceMessage answer = SessionInfoMessage(sessionInfo);
      answer.session = sessionNumber;
      answer.targetWindow = message->senderWindow;
      return EncodeInstanceMessage(answer);
    }
    case InstanceCode::SessionInfo:
      m_peer = SessionInfoOf(*message);
      return std::nullopt;
    case InstanceCode::OpenFile:
      if (const std::optional<std::string> name = OpenFileName(*message); name && !name->empty()) {
        m_queue.Push(*name, kFromInstance);
        if (m_view) m_view->BringToFront();
      }
      return std::nullopt;
  }
  return std::nullopt;
}

bool Shell::AskFirstSession() {
  InstanceMessage ask;
  ask.code = InstanceCode::AskSession;
  ask.session = sessionNumber;
  const std::string record = EncodeInstanceMessage(ask);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(record.data());
  const std::optional<std::vector<std::uint8_t>> answer =
      platform::Current<platform::IInstanceChannel>().AskFirst(std::span<const std::uint8_t>(bytes, record.size()));
  if (!answer) return false;
  const std::optional<InstanceMessage> message =
      DecodeInstanceMessage(std::string_view(reinterpret_cast<const char*>(answer->data()), answer->size()));
  // Only session information is taken as the answer: whatever else comes back is no request
  // to this instance.
  if (!message || message->code != InstanceCode::SessionInfo) return false;
  m_peer = SessionInfoOf(*message);
  return m_peer.has_value();
}

bool Shell::OpenQueued() {
  if (Busy() || m_queue.Empty() || (m_view && m_view->ModalWindowUp())) return false;
  const std::optional<DatasetQueue::Item> item = m_queue.Pop();
  OpenDatasetFile(item->fileName, item->source);
  return true;
}

void Shell::OpenStartupDatasets(const std::vector<std::string>& previous, bool noPrevious,
                                const std::string& programName) {
  SetStatus("Загрузка файлов данных, указанных в командной строке");
  int fromCommandLine = 0;
  while (!m_queue.Empty()) {
    const DatasetQueue::Item item = *m_queue.Pop();
    const int before = m_list.Count();
    const bool opened = OpenDatasetFile(item.fileName, item.source) && m_list.Count() > before;
    if (opened && item.source == kFromCommandLine) ++fromCommandLine;
  }
  if (!noPrevious) {
    SetStatus("Загрузка наборов данных, открытых в предыдущем сеансе работы");
    std::vector<std::string> files;
    for (const std::string& file : previous) {
      if (!file.empty() && m_list.IndexOfFile(file) < 0) files.push_back(file);
    }
    const bool open =
        files.empty() || fromCommandLine == 0 ||
        Ask("При запуске приложения по запросу были открыты наборы данных (" + std::to_string(fromCommandLine) +
            ").\r\nНужно ли также открыть наборы данных (" + std::to_string(files.size()) +
            "), которые были в предыдущем сеансе работы ?");
    if (open) {
      for (const std::string& file : files) OpenDatasetFile(file, kFromPrevious);
    }
  }
  SetStatus("Настройка внешнего вида");
  Changed();
  Log().LogLine("Activation OK: Datasets - " + m_list.SummaryText());
  SetStatus("  Система " + programName + " успешно загружена");
}

std::optional<std::vector<std::string>> Shell::EndRun(bool autoSave) {
  if (Busy()) {
    Log().LogLine("Deny close app: process is active - " + m_activity);
    return std::nullopt;
  }
  // The files open now are the next run's previous session, whatever closing does to the list.
  std::vector<std::string> files = m_list.OpenFiles();
  if (!CloseAll(autoSave)) return std::nullopt;
  return files;
}

}  // namespace mv
