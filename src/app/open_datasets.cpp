#include "app/open_datasets.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

#include "core/date_time.h"
#include "core/file_facts.h"
#include "core/messages.h"
#include "core/text.h"
#include "platform/log_sink.h"
#include "platform/file_dialogs.h"
#include "platform/services.h"
#include "spc/spc_file.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

// One spelling per file: links and ".." resolved as far as the path exists.
fs::path SameFileKey(const std::string& fileName) {
  std::error_code ec;
  fs::path key = fs::weakly_canonical(fileName, ec);
  if (ec) key = fs::absolute(fileName, ec).lexically_normal();
  return key;
}

// "Сохранить изменения в наборе данных "Токарная обработка"?": the process name, or the file
// name for a dataset without one.
std::string SaveQuestion(const TDatasetSPC& ds) {
  const std::string& name = ds.processName.empty() ? ds.fileName : ds.processName;
  return "Сохранить изменения в наборе данных \"" + name + "\"?";
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// The extension this version cannot read, told as the system tells it.
std::string UnknownExtensionText(const std::string& fileName) {
  const std::string ext = fs::path(fileName).extension().string();
  return "Неизвестное расширение имени файла - " + Quoted(ext.empty() ? ext : ext.substr(1)) +
         "\r\n\r\nНе опознан тип загружаемого файла " + Quoted(fileName) +
         "\r\n\r\nДанная версия приложения Morvalen может работать только с файлами, имеющими расширения:\r\n"
         "mvl, smp, msa, mef\r\n\r\nЕсли Вы считаете, то текущее расширение файла указано неверно, то Вы можете "
         "изменить его средствами операционной системы и загрузить файл снова";
}

}  // namespace

OpenDatasets::OpenDatasets() = default;
OpenDatasets::~OpenDatasets() = default;

void OpenDatasets::SetCurrent(int index) {
  if (index >= 0 && index < Count()) m_current = index;
}

TDatasetSPC* OpenDatasets::At(int index) {
  return index >= 0 && index < Count() ? m_datasets[static_cast<std::size_t>(index)].get() : nullptr;
}

const TDatasetSPC* OpenDatasets::At(int index) const {
  return index >= 0 && index < Count() ? m_datasets[static_cast<std::size_t>(index)].get() : nullptr;
}

int OpenDatasets::IndexOfFile(const std::string& fileName) const {
  if (fileName.empty()) return -1;
  const fs::path key = SameFileKey(fileName);
  for (int i = 0; i < Count(); ++i) {
    const std::string& own = m_datasets[static_cast<std::size_t>(i)]->fileName;
    if (!own.empty() && SameFileKey(own) == key) return i;
  }
  return -1;
}

int OpenDatasets::Open(const std::string& fileName, int source) {
  m_status.clear();
  if (const int open = IndexOfFile(fileName); open >= 0) {
    m_current = open;
    m_status = "Запрошенный файл уже открыт " + Quoted(fileName);  // the file asked for is open already
    return open;
  }
  if (Count() >= kMaxOpenDatasets) {
    // The number of open datasets reached its maximum; close one to create or open another.
    ShowWarning("Количество открытых наборов данных достигло максимума - " + std::to_string(kMaxOpenDatasets) +
                ". Закройте один из них, чтобы создать или открыть новый");
    return -1;
  }
  std::uint64_t size = 0;
  TDateTime time = 0;
  if (FileFacts(fileName, size, time)) {
    platform::Current<platform::ILog>().LogLine("-Open." + std::to_string(source) + ": File " + Quoted(fileName) +
                                                ", " + std::to_string(size) + " bt, " + DateTimeText(time, true));
  }
  // The other kinds of file (old sample files, MSA datasets, exchange files) are read once
  // their readers exist; until then they get the message for an unknown extension.
  if (LowerCase(fs::path(fileName).extension().string()) != ".mvl") {
    ShowError(UnknownExtensionText(fileName));
    return -1;
  }
  std::unique_ptr<TDatasetSPC> ds = LoadDatasetFile(fileName);
  if (!ds) return -1;
  // The smallest slot number no open dataset has.
  for (int slot = 1;; ++slot) {
    const bool taken = std::any_of(m_datasets.begin(), m_datasets.end(),
                                   [slot](const auto& open) { return open->slot == slot; });
    if (!taken) {
      ds->slot = slot;
      break;
    }
  }
  m_datasets.push_back(std::move(ds));
  m_current = Count() - 1;
  return m_current;
}

int OpenDatasets::OpenWithDialog() {
  platform::FileDialogRequest request;
  request.title = "Открыть файл данных";  // "Open a data file"
  request.filter = "Файл данных SPC (*.mvl);;Все файлы (*)";
  if (const TDatasetSPC* ds = Current()) request.folder = ds->folder;
  const std::optional<std::string> chosen = platform::Current<platform::IFileDialogs>().ChooseOpen(request);
  return chosen ? Open(*chosen) : -1;
}

bool OpenDatasets::Save(int index, bool askName) {
  TDatasetSPC* ds = At(index);
  if (!ds) return false;
  if (ds->IsExample() && !debugMode && !askName) {
    ShowWarning("Набор данных\r\n" + ds->fileName +
                "\r\nне может быть сохранен под своим именем, т.к. он является файлом примера и не должен изменяться "
                "пользователем.\r\n\r\nОднако, если внесенные изменения нужны для дальнейшей работы, этот набор "
                "данных можно сохранить под другим именем через пункт меню \"Файл/Сохранить как...\"");
    return false;
  }
  if (!SaveDatasetFile(*ds, askName)) return false;
  m_status = "  Сохранен файл " + ds->fileName;
  return true;
}

bool OpenDatasets::Close(int index) {
  TDatasetSPC* ds = At(index);
  if (!ds) return false;
  if (ds->IsChanged() && Ask(SaveQuestion(*ds)) && !SaveDatasetFile(*ds, false)) return false;
  m_datasets.erase(m_datasets.begin() + index);
  if (m_current > index || m_current == Count()) --m_current;
  return true;
}

std::string OpenDatasets::SummaryText() const {
  if (Count() == 0) return "нет";  // none
  // Every open dataset is an SPC dataset until MSA datasets can be opened.
  return std::to_string(Count()) + " (SPC-" + std::to_string(Count()) + ", MSA-0)";
}

std::string OpenDatasets::StatusText(int index) const {
  const TDatasetSPC* ds = At(index);
  if (!ds) return {};
  if (ds->isNew) return "Новый";            // new
  return ds->IsChanged() ? "Изменен" : "Сохранен";  // changed / saved
}

bool OpenDatasets::CloseAll() {
  while (Count() > 0) {
    if (!Close(0)) return false;
  }
  return true;
}

}  // namespace mv
