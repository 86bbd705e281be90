// Opening and saving SPC data files as the user experiences it: the questions, the messages,
// the backup file and the log lines.

#include <filesystem>
#include <system_error>

#include "core/date_time.h"
#include "core/file_error.h"
#include "core/file_routines.h"
#include "core/messages.h"
#include "core/options.h"
#include "core/text.h"
#include "platform/file_dialogs.h"
#include "platform/log_sink.h"
#include "platform/services.h"
#include "spc/spc_file.h"
#include "spc/spc_file_internal.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSavePlace = "SPC file";

platform::ILog& Log() { return platform::Current<platform::ILog>(); }

std::string FactsText(std::uint64_t size, TDateTime time, const char* unit) {
  return std::to_string(size) + unit + DateTimeText(time, true);
}

void ShowReadFailure(const SpcReadResult& result) {
  if (result.aborted) {
    ShowInfo(result.message);
  } else {
    ShowError(result.message, 0, result.place, 0, result.details);
  }
}

bool Exists(const std::string& fileName) {
  std::error_code ec;
  return fs::is_regular_file(fileName, ec);
}

// The save dialog; a name ending in ".smp" is turned into ".mvl".
std::optional<std::string> AskFileName(const TDatasetSPC& ds) {
  platform::FileDialogRequest request;
  request.title = "Сохранение файла " + ds.fileName;
  request.filter = "Файл данных SPC (*.mvl)";
  request.defaultExt = "mvl";
  request.folder = ds.folder;
  request.fileName = fs::path(ds.fileName).filename().string();
  auto chosen = platform::Current<platform::IFileDialogs>().ChooseSave(request);
  if (chosen) {
    fs::path path(*chosen);
    if (SameText(path.extension().string(), ".smp")) path.replace_extension(".mvl");
    *chosen = path.string();
  }
  return chosen;
}

// The name to save under without asking, or nothing when the user is to choose one.
std::optional<std::string> CurrentName(const TDatasetSPC& ds) {
  const std::string& name = ds.fileName;
  if (name.empty() || !HasSpcExtension(name)) return std::nullopt;
  if (!Exists(name)) return name;
  std::uint64_t size = 0;
  TDateTime time = 0;
  FileFacts(name, size, time);
  if (!ds.isNew && !ds.fromBackup && time != ds.fileTime) {
    Log().LogLine("File is changed since loading: " + FactsText(size, time, " bt, "), ds.slot);
    const bool keep = Ask("Файл " + name + "\r\n был кем-то изменен после загрузки в данном сеансе Morvalen.\r\n" +
                          "Время изменения - " + DateTimeText(time, true) +
                          "\r\nВы можете сохранить файл под другим именем или продолжить сохранение под текущим "
                          "именем, уничтожив при этом чужие изменения.\r\n\r\nСохранить под текущим именем?");
    return keep ? std::optional<std::string>(name) : std::nullopt;
  }
  if (ds.isNew && !ds.loaded && !ds.replaceAllowed) {
    const bool keep = Ask("Файл " + name + "\r\n уже существует.\r\n\r\nСохранить набор данных под этиим именем?");
    return keep ? std::optional<std::string>(name) : std::nullopt;
  }
  return name;
}

}  // namespace

std::unique_ptr<TDatasetSPC> LoadDatasetFile(const std::string& fileName, std::string* loadLine) {
  SpcReadResult result = ReadSpcFile(fileName);
  bool fromBackup = false;
  if (!result.Ok()) {
    ShowReadFailure(result);
    const std::string backup = BackupName(fileName);
    if (result.aborted || !Exists(backup)) return nullptr;
    std::uint64_t size = 0;
    TDateTime time = 0;
    FileFacts(backup, size, time);
    if (!Ask("Неудачно завершилась попытка открытия файла\r\n" + fileName + ",\r\nно существует прежняя версия "
             "данного файла\r\n" + backup + "\r\n" + FactsText(size, time, " байт, ") +
             "\r\n\r\nЗагрузить прежнюю версию?")) {
      return nullptr;
    }
    Log().LogLine("Try to load BAK file " + backup + ", " + FactsText(size, time, " bt, "));
    result = ReadSpcFile(backup);
    if (!result.Ok()) {
      ShowReadFailure(result);
      return nullptr;
    }
    fromBackup = true;
    // The dataset keeps the name the user opened; saving under it leaves the backup alone.
    std::error_code ec;
    result.dataset->fileName = fs::absolute(fileName, ec).string();
    result.dataset->fromBackup = true;
  }
  TDatasetSPC& ds = *result.dataset;
  std::string line = "Load DS from file: " + ds.LogDetails() + ", ver=" + std::to_string(ds.formatVersion) +
                     ", count=" + std::to_string(ds.saveCounter) + (fromBackup ? ", from BAK" : "");
  if (loadLine) {
    *loadLine = std::move(line);
  } else {
    Log().LogLine(line);
  }
  return std::move(result.dataset);
}

bool SaveDatasetFile(TDatasetSPC& ds, bool askName, const std::function<bool(const std::string&)>& nameAllowed) {
  std::optional<std::string> name;
  if (!askName) name = CurrentName(ds);
  if (!name) name = AskFileName(ds);
  if (!name) return false;
  std::error_code ec;
  const std::string target = fs::absolute(*name, ec).string();
  if (nameAllowed && !nameAllowed(target)) return false;
  // A file that may not be written is refused before anything is done to it or beside it.
  if (const int refusal = ReplaceRefusal(target); refusal != 0) {
    ShowError(WriteFailureText(target, refusal), 0, kSavePlace);
    return false;
  }
  const bool sameName = !ds.fileName.empty() && fs::absolute(ds.fileName, ec).string() == target;
  // A save that does not happen leaves the dataset as it was, its identity included: an example
  // that failed to save under another name is still the example of its own file.
  const std::int32_t previousId = ds.id;
  const std::uint32_t previousFlags = ds.accessFlags;
  const auto unsaved = [&] {
    ds.id = previousId;
    ds.accessFlags = previousFlags;
    return false;
  };
  if (ds.isNew || !sameName) ds.SetNewIdentifier();
  bool keptBackup = false;
  if (Options().keepPreviousDataFile && Exists(target) && !(ds.fromBackup && sameName)) {
    keptBackup = KeepCopyAs(target, BackupName(target));
  }
  Log().LogLine("Save " + target + ", " + ds.LogDetails() + ", count=" + std::to_string(NextSaveCounter(ds.saveCounter)) +
                    (keptBackup ? ", BAK preserved" : ""),
                ds.slot);
  std::string error;
  bool aborted = false;
  if (!WriteSpcFile(ds, target, error, &aborted)) {
    if (aborted) {
      Log().LogLine("Save aborted by user: " + target, ds.slot);
      ShowInfo(error);
    } else {
      ShowError(error, 0, kSavePlace);
    }
    return unsaved();
  }
  ds.fileName = target;
  ds.folder = fs::path(target).parent_path().string();
  ds.saveCounter = NextSaveCounter(ds.saveCounter);
  ds.fromBackup = false;
  ds.formatVersion = kSpcFileVersion;
  FileFacts(target, ds.fileSize, ds.fileTime);
  ds.MarkSaved();
  return true;
}

}  // namespace mv
