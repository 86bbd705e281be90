#include "app/dataset_window_logic.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "app/config_file.h"
#include "app/history_lists.h"
#include "app/shell.h"
#include "core/date_time.h"
#include "core/messages.h"
#include "core/text.h"
#include "spc/derived_data.h"
#include "platform/log_sink.h"
#include "platform/progress.h"
#include "platform/services.h"

namespace mv {
namespace {

void LogLine(const TDatasetSPC& ds, const std::string& text) {
  platform::Current<platform::ILog>().LogLine(text, ds.slot);
}


std::string WithId(const std::string& name, std::int32_t id, bool debug) {
  return debug ? name + " (#" + std::to_string(id) + ")" : name;
}

}  // namespace

DatasetWindowLogic::DatasetWindowLogic(TDatasetSPC& ds, bool debugMode) : m_ds(&ds), m_debug(debugMode) {}

std::string DatasetWindowLogic::KindWord(DataKind kind) const {
  return kind == DataKind::Attr ? "альтернатив" : "количествен";
}

// --- lists ---

std::string DatasetWindowLogic::ParameterCaption(DataKind kind) const {
  return std::string(kind == DataKind::Attr ? "Параметры альтернативные  (" : "Параметры количественные  (") +
         std::to_string(ParameterRows(kind)) + "):";
}

std::string DatasetWindowLogic::BlockCaption(DataKind kind) const {
  return "Блоки данных  (" + std::to_string(BlockRows(kind)) + "):";
}

std::vector<std::string> DatasetWindowLogic::ParameterColumns(DataKind kind) {
  if (kind == DataKind::Attr) return {"№", "Название", "Тип", "Примечание"};
  return {"№", "Название", "Ед. изм.", "Допуск", "Примечание"};
}

std::vector<std::string> DatasetWindowLogic::BlockColumns() { return {"№", "Название", "Выборки", "Примечание"}; }

int DatasetWindowLogic::ParameterRows(DataKind kind) const {
  return static_cast<int>(m_ds->OrderList(kind).size());
}

int DatasetWindowLogic::BlockRows(DataKind kind) const { return static_cast<int>(m_ds->BlockList(kind).size()); }

int DatasetWindowLogic::ParameterAt(DataKind kind, int row) const {
  const std::vector<int>& order = m_ds->OrderList(kind);
  return row >= 1 && row <= static_cast<int>(order.size()) ? order[static_cast<std::size_t>(row - 1)] : 0;
}

int DatasetWindowLogic::BlockAt(DataKind kind, int row) const {
  const std::vector<int>& list = m_ds->BlockList(kind);
  return row >= 1 && row <= static_cast<int>(list.size()) ? list[static_cast<std::size_t>(row - 1)] : 0;
}

int DatasetWindowLogic::ParameterRowOf(int position) const {
  const TSPCParameter* p = m_ds->Parameter(position);
  if (!p) return 0;
  const std::vector<int>& order = m_ds->OrderList(p->kind);
  const auto found = std::find(order.begin(), order.end(), position);
  return found == order.end() ? 0 : static_cast<int>(found - order.begin()) + 1;
}

int DatasetWindowLogic::BlockRowOf(int position) const {
  const TSPCBlock* b = m_ds->Block(position);
  if (!b) return 0;
  const std::vector<int>& list = m_ds->BlockList(b->kind);
  const auto found = std::find(list.begin(), list.end(), position);
  return found == list.end() ? 0 : static_cast<int>(found - list.begin()) + 1;
}

std::vector<std::string> DatasetWindowLogic::ParameterRow(DataKind kind, int row) const {
  const TSPCParameter* p = m_ds->Parameter(ParameterAt(kind, row));
  if (!p) return {};
  const std::string name = WithId(p->name, p->id, m_debug);
  if (kind == DataKind::Attr) return {std::to_string(row), name, AttrTypeName(p->Type()), p->note};
  return {std::to_string(row), name, p->unit, p->ToleranceText(), p->note};
}

std::string DatasetWindowLogic::SampleDescription(const TSPCBlock& block) {
  std::string text = block.kind == DataKind::Attr ? "Альтернативные данные" : SamplingModeText(block.mode);
  text += ": " + PluralRu(block.SampleCount(), " выбор", "ка", "ки", "ок");
  if (block.kind == DataKind::Attr) {
    if (block.fixedSampleSize > 0) text += ", объем " + std::to_string(block.fixedSampleSize);
  } else {
    int points = 0;
    for (const TSPCSample& sample : block.Samples()) points += sample.PointCount();
    text += ", " + PluralRu(points, " замер", "", "а", "ов");
  }
  return text;
}

std::vector<std::string> DatasetWindowLogic::BlockRow(DataKind kind, int row) const {
  const TSPCBlock* b = m_ds->Block(BlockAt(kind, row));
  if (!b) return {};
  return {std::to_string(row), WithId(b->name, b->id, m_debug), SampleDescription(*b), b->note};
}

DatasetWindowLogic::Commands DatasetWindowLogic::Enabling(DataKind kind) const {
  Commands c;
  const int parameters = ParameterRows(kind);
  c.addParameter = parameters < static_cast<int>(kMaxParameters);
  c.deleteParameter = parameters > 1;
  c.moveParameter = parameters > 1;
  c.addBlock = m_ds->BlockCount() < static_cast<int>(kMaxBlocks);
  c.deleteBlocks = BlockRows(kind) > 0;
  c.selectAllBlocks = c.deleteBlocks;
  return c;
}

// --- access ---

bool DatasetWindowLogic::PasswordNeeded() const { return m_ds->passwordHash != 0 && !m_ds->unlocked; }

bool DatasetWindowLogic::ParameterAccess() {
  if ((m_ds->accessFlags & access_flag::kPasswordOnParameters) == 0 || !PasswordNeeded()) return true;
  if (Shell::AskPassword(*m_ds, "параметрам набора данных")) return true;
  ShowError("Доступ к параметрам набора данных невозможен без указания пароля");
  return false;
}

bool DatasetWindowLogic::BlockListAccess(bool adding) {
  if ((m_ds->accessFlags & access_flag::kPasswordOnBlocks) == 0 || !PasswordNeeded()) return true;
  if (Shell::AskPassword(*m_ds, adding ? "созданию нового блока" : "удалению блока")) return true;
  ShowError(adding ? "Создание нового блока невозможно без указания пароля"
                   : "Удаление блока невозможно без указания пароля");
  return false;
}

bool DatasetWindowLogic::BlockAccess(int position) {
  const TSPCBlock* block = m_ds->Block(position);
  if (!block) return false;
  const bool protectsView = (block->flags & block_flag::kProtectedView) != 0;
  if ((block->flags & block_flag::kProtected) == 0 || !(m_ds->blockEditingAllowed || protectsView)) return true;
  if (!PasswordNeeded()) return true;
  const std::string name = block->name;
  if (Shell::AskPassword(*m_ds, "блоку \"" + name + "\"")) return true;
  ShowError("Доступ к блоку \"" + name + "\" невозможен без указания пароля" +
            (protectsView ? "" : " (только в режиме редактирования блока)"));
  return false;
}

// --- parameters ---

bool DatasetWindowLogic::MayAddParameter() {
  if (m_ds->ParameterCount() >= static_cast<int>(kMaxParameters)) {
    ShowError("Количество параметров достигло максимально возможного (" + std::to_string(kMaxParameters) +
              ") для текущего набора данных. Новый параметр добавить нельзя");
    return false;
  }
  return ParameterAccess();
}

bool DatasetWindowLogic::DeleteParameter(DataKind kind, int row) {
  const int position = ParameterAt(kind, row);
  const TSPCParameter* p = m_ds->Parameter(position);
  if (!p) return false;
  if (m_ds->ParameterCount() == 1) {
    ShowError("Недопустимо удалять единственный параметр.\r\nЕсли необходимо, измените его свойства");
    return false;
  }
  if (!Ask("Вы действительно желаете удалить параметр " + Quoted(p->name) + " ?")) return false;
  if (!ParameterAccess()) return false;
  LogLine(*m_ds, "Delete parameter " + std::to_string(position) + " [" + p->LogText() + "]");
  m_ds->DeleteParameter(position);
  m_ds->RebuildOrderLists();
  m_lastAction = "Удален параметр";
  return true;
}

int DatasetWindowLogic::MoveParameter(DataKind kind, int row, int direction) {
  const int target = row + (direction < 0 ? -1 : 1);
  TSPCParameter* moved = m_ds->Parameter(ParameterAt(kind, row));
  TSPCParameter* other = m_ds->Parameter(ParameterAt(kind, target));
  if (!moved || !other) return 0;
  if (!ParameterAccess()) return 0;
  std::swap(moved->position, other->position);
  LogLine(*m_ds, "Move parameter from pos " + std::to_string(row) + " to " + std::to_string(target) + " [" +
                     moved->LogText() + "]");
  m_ds->RebuildOrderLists();
  platform::IProgress& progress = platform::Current<platform::IProgress>();
  progress.Begin("Пересчет данных...", 1);
  RefreshDerivedData(*m_ds);
  progress.Step();
  progress.End();
  m_ds->Touch();
  m_lastAction = "Перемещен параметр";
  return target;
}

// --- blocks ---

int DatasetWindowLogic::DeleteBlocks(DataKind kind, std::vector<int> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::vector<int> positions;
  for (const int row : rows) {
    if (const int position = BlockAt(kind, row)) positions.push_back(position);
  }
  if (positions.empty()) return 0;
  const std::string kindText = KindWord(kind) + "ных данных";
  const std::string question =
      positions.size() == 1
          ? "Вы желаете удалить блок " + kindText + " \"" + m_ds->Block(positions.front())->name + "\" ?"
          : "Вы желаете удалить " + PluralRu(static_cast<std::int64_t>(positions.size()), " блок", "", "а", "ов") +
                " " + kindText + "?";
  if (!Ask(question)) return 0;
  if (!Ask("После удаления блока восстановление данных из него будет НЕВОЗМОЖНО!\r\nДействительно хотите удалить ?")) {
    return 0;
  }
  if (!BlockListAccess(false)) return 0;
  // From the last to the first: the positions before the one deleted stay as they are.
  int deleted = 0;
  for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
    if (!BlockAccess(*it)) break;
    m_ds->DeleteBlock(*it);
    ++deleted;
  }
  m_ds->RebuildBlockLists();
  if (deleted > 0) m_lastAction = "Удалено блоков: " + std::to_string(deleted);
  return deleted;
}

void DatasetWindowLogic::ToggleBlockEditing() {
  m_ds->blockEditingAllowed = !m_ds->blockEditingAllowed;
  m_ds->Touch();
  ShowInfo(std::string("Теперь редактирование (изменение) блоков ") +
           (m_ds->blockEditingAllowed ? "разрешено" : "запрещено. Возможен просмотр содержимого"));
}

std::string DatasetWindowLogic::BlockEditingCommandText() const {
  return m_ds->blockEditingAllowed ? "Запретить редактирование блоков" : "Разрешить редактирование блоков";
}

// --- analysis ---

bool DatasetWindowLogic::AnalysisAvailable(DataKind kind) const {
  if (BlockRows(kind) > 0) return true;
  ShowError("Функция недоступна, т.к. нет ни одного " + KindWord(kind) + "ного блока", 0, kNoLogTag);
  return false;
}

std::vector<int> DatasetWindowLogic::SelectedBlocks(DataKind kind, std::vector<int> rows) const {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::vector<int> positions;
  for (const int row : rows) {
    if (const int position = BlockAt(kind, row)) positions.push_back(position);
  }
  return positions;
}

std::vector<int> DatasetWindowLogic::ChartBlocks(DataKind kind, std::vector<int> rows) const {
  std::vector<int> positions = SelectedBlocks(kind, std::move(rows));
  constexpr std::size_t kMaxChartBlocks = 20;
  if (positions.size() > kMaxChartBlocks) positions.resize(kMaxChartBlocks);
  return positions;
}

// --- name and comment ---

bool DatasetWindowLogic::TakeName(std::string_view text) {
  const std::string name = CutToChars(Trim(text), TDatasetSPC::kProcessNameMax);
  if (name == m_ds->processName) return false;
  m_ds->processName = name;
  m_ds->Touch();
  return true;
}

bool DatasetWindowLogic::TakeComment(std::string_view text) {
  const std::string comment = CutToChars(Trim(text), TDatasetSPC::kCommentMax);
  if (comment == m_ds->comment) return false;
  m_ds->comment = comment;
  m_ds->Touch();
  return true;
}

// --- picture ---

std::string DatasetWindowLogic::IconName(const std::string& fileName, int width, int height) {
  const std::string bare = std::filesystem::path(fileName).filename().string();
  return CutToChars(std::to_string(width) + "," + std::to_string(height) + "," + bare, ProcessPicture::kFileNameMax);
}

void DatasetWindowLogic::PictureFailed(const std::string& error) {
  LogLine(*m_ds, "*Error load picture: " + error);
  ShowError(error);
}

bool DatasetWindowLogic::TakePicture(const std::string& fileName, std::string bytes, int width, int height) {
  if (bytes.empty() || width <= 0 || height <= 0) {
    PictureFailed("Не удалось загрузить рисунок из файла " + Quoted(fileName));
    return false;
  }
  if (bytes.size() > kMaxPictureBytes) {
    PictureFailed("Файл рисунка " + Quoted(fileName) + " слишком велик (" + std::to_string(bytes.size()) +
                  " байт): допускается не более " + std::to_string(kMaxPictureBytes) + " байт");
    return false;
  }
  m_ds->picture.data = std::move(bytes);
  m_ds->picture.fileName = IconName(fileName, width, height);
  m_ds->Touch();
  LogLine(*m_ds, "Load picture " + fileName + " (" + std::to_string(width) + "x" + std::to_string(height) + ")");
  m_lastAction = "Загружен рисунок";
  return true;
}

// --- status bar ---

std::string DatasetWindowLogic::StateHint() const {
  std::string text = "Состояние изменения и защиты текущего набора данных: ";
  text += m_ds->IsChanged() ? "Имеются несохраненные изменения" : "Нет несохраненных изменений";
  text += "; ";
  if (m_ds->passwordHash == 0) {
    text += "защита не установлена";
  } else {
    text += m_ds->unlocked ? "доступ разрешен" : "доступ к некоторым свойствам НД запрещен";
  }
  return text;
}

std::string DatasetWindowLogic::StateMarks() const {
  std::string marks = m_ds->IsChanged() ? "*" : " ";
  if (m_ds->passwordHash != 0) marks += m_ds->unlocked ? " открыт" : " защищен";
  return marks;
}

std::string DatasetWindowLogic::DisplayName() const {
  if (!Trim(m_ds->processName).empty()) return m_ds->processName;
  return std::filesystem::path(m_ds->fileName).filename().string();
}

// --- additional properties ---

DatasetPropertiesLogic::DatasetPropertiesLogic(TDatasetSPC& ds, bool debugMode)
    : m_ds(&ds), m_debug(debugMode), m_hadPassword(ds.passwordHash != 0), m_entered(ds.unlocked) {
  form.department = ds.department;
  form.detail = ds.detail;
  form.operation = ds.operation;
  form.responsible = ds.responsible;
  form.note = ds.note;
  form.iconShow = ds.picture.show;
  form.iconEnlarge = ds.picture.enlarge;
  form.iconKeepProportions = ds.picture.keepProportions;
  form.iconTransparent = ds.picture.transparent;
  form.attachments = ds.attachments;
  form.passwordHash = ds.passwordHash;
  form.askOnOpen = (ds.accessFlags & access_flag::kPasswordOnOpen) != 0;
  form.askOnParameters = (ds.accessFlags & access_flag::kPasswordOnParameters) != 0;
  form.askOnBlocks = (ds.accessFlags & access_flag::kPasswordOnBlocks) != 0;
  form.example = ds.IsExample();
  form.idText = std::to_string(ds.id);
}

std::string DatasetPropertiesLogic::PasswordStateText() const {
  return form.passwordHash != 0 ? "  установлен" : "  не установлен";
}

bool DatasetPropertiesLogic::ProtectionEditable() const {
  return form.passwordHash != 0 && (!m_hadPassword || m_entered);
}

bool DatasetPropertiesLogic::EnterPassword() {
  if (!m_hadPassword || m_entered) return true;
  m_entered = Shell::AskPassword(*m_ds, "настройкам защиты набора");
  return m_entered;
}

bool DatasetPropertiesLogic::ChangePassword() {
  if (m_hadPassword && !EnterPassword()) return false;
  // The window works on the dataset: it is given the responsible person as typed and the
  // form's password, and everything it changes is taken back into the form.
  TDatasetSPC& ds = *m_ds;
  const std::string responsible = ds.responsible;
  const std::uint32_t hash = ds.passwordHash;
  const std::uint32_t flags = ds.accessFlags;
  const bool unlocked = ds.unlocked;
  const TDateTime changedAt = ds.changedAt;
  ds.responsible = std::string(Trim(form.responsible));
  ds.passwordHash = form.passwordHash;
  const bool changed = Shell::SetPassword(ds);
  if (changed) {
    if (ds.passwordHash != 0 && form.passwordHash == 0) form.askOnOpen = true;
    form.passwordHash = ds.passwordHash;
  }
  ds.responsible = responsible;
  ds.passwordHash = hash;
  ds.accessFlags = flags;
  ds.unlocked = unlocked;
  ds.changedAt = changedAt;
  return changed;
}

void DatasetPropertiesLogic::AddAttachment(const std::string& path, std::uint64_t size, TDateTime fileTime,
                                           const std::string* content) {
  const std::filesystem::path file(path);
  TDatasetImage image;
  std::string extension = LowerCase(file.extension().string());
  const bool picture = extension == ".bmp" || extension == ".jpg" || extension == ".jpeg" || extension == ".png" ||
                       extension == ".gif";
  image.type = picture ? 1 : 2;
  image.fileSize = static_cast<std::int32_t>(std::min<std::uint64_t>(size, 0x7FFFFFFF));
  image.fileTime = fileTime;
  image.title = CutToChars(file.filename().string(), TDatasetImage::kTitleMax);
  image.folder = file.parent_path().string();
  image.fileName = file.filename().string();
  if (content && content->size() <= kMaxEmbeddedBytes) {
    image.content = *content;
    image.flags = TDatasetImage::kEmbedded;
  }
  form.attachments.push_back(std::move(image));
}

bool DatasetPropertiesLogic::RenameAttachment(std::size_t index, std::string_view title) {
  const std::string trimmed(Trim(title));
  if (index >= form.attachments.size() || trimmed.empty()) return false;
  form.attachments[index].title = CutToChars(trimmed, TDatasetImage::kTitleMax);
  return true;
}

std::string DatasetPropertiesLogic::AttachmentPath(std::size_t index) const {
  if (index >= form.attachments.size()) return {};
  const TDatasetImage& image = form.attachments[index];
  return (std::filesystem::path(image.folder) / image.fileName).string();
}

bool DatasetPropertiesLogic::DeleteAttachment(std::size_t index) {
  if (index >= form.attachments.size()) return false;
  if (!Ask("Вы действительно желаете удалить рисунок \"" + form.attachments[index].title + "\" ?")) return false;
  form.attachments.erase(form.attachments.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

std::string DatasetPropertiesLogic::InformationText() const {
  const TDatasetSPC& ds = *m_ds;
  std::string text = "Идентификатор: " + std::to_string(ds.id) + "\n";
  text += "Файл: " + (ds.fileName.empty() ? std::string("(не сохранен)") : ds.fileName) + "\n";
  text += "Создан: " + DateTimeText(ds.created, true) + "\n";
  if (!ds.creationNote.empty()) text += "Создан в: " + ds.creationNote + "\n";
  if (ds.savedAt > 0) text += "Сохранен: " + DateTimeText(ds.savedAt, true) + "\n";
  text += "Количество сохранений: " + std::to_string(ds.saveCounter) + "\n";
  text += "Содержимое: " + ds.ContentsText() + "\n";
  text += "Рисунков и документов: " + std::to_string(ds.attachments.size());
  return text;
}

namespace {

bool SameImages(const std::vector<TDatasetImage>& a, const std::vector<TDatasetImage>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].title != b[i].title || a[i].fileName != b[i].fileName || a[i].folder != b[i].folder ||
        a[i].content != b[i].content || a[i].flags != b[i].flags || a[i].type != b[i].type ||
        a[i].shortText != b[i].shortText) {
      return false;
    }
  }
  return true;
}

template <class T>
void Store(T& target, const T& value, bool& changed) {
  if (target == value) return;
  target = value;
  changed = true;
}

}  // namespace

DatasetPropertiesLogic::Field DatasetPropertiesLogic::Accept(ConfigFile* config) {
  const std::string responsible(Trim(form.responsible));
  if (form.passwordHash != 0 && responsible.empty()) {
    ShowError(
        "При установленном пароле необходимо указать ответственного за набор данных (рекомендуется указать имя и "
        "координаты для связи)");
    return Field::Responsible;
  }
  std::int32_t id = m_ds->id;
  if (m_debug) {
    const std::optional<double> typed = ValidateNumber("Идентификатор НД", form.idText, TDatasetBasic::kEditedIdMin,
                                                       TDatasetBasic::kEditedIdMax);
    if (!typed) return Field::Identifier;
    if (*typed != std::floor(*typed)) {
      ShowError("Значение для \"Идентификатор НД\" должно быть целым числом");
      return Field::Identifier;
    }
    id = static_cast<std::int32_t>(*typed);
  }

  TDatasetSPC& ds = *m_ds;
  bool changed = false;
  Store(ds.department, CutToChars(Trim(form.department), TDatasetSPC::kProcessNameMax), changed);
  Store(ds.detail, CutToChars(Trim(form.detail), TDatasetSPC::kProcessNameMax), changed);
  Store(ds.operation, CutToChars(Trim(form.operation), TDatasetSPC::kProcessNameMax), changed);
  Store(ds.responsible, CutToChars(responsible, TDatasetBasic::kResponsibleMax), changed);
  Store(ds.note, form.note, changed);
  Store(ds.picture.show, form.iconShow, changed);
  Store(ds.picture.enlarge, form.iconEnlarge, changed);
  Store(ds.picture.keepProportions, form.iconKeepProportions, changed);
  Store(ds.picture.transparent, form.iconTransparent, changed);
  if (!SameImages(ds.attachments, form.attachments)) {
    ds.attachments = form.attachments;
    changed = true;
  }
  if (form.passwordHash != 0 && ds.passwordHash == 0) ds.unlocked = true;  // set here: entered for the run
  Store(ds.passwordHash, form.passwordHash, changed);
  std::uint32_t flags = ds.accessFlags;
  const auto setFlag = [&flags](std::uint32_t flag, bool on) { flags = on ? (flags | flag) : (flags & ~flag); };
  if (ProtectionEditable() || form.passwordHash == 0) {
    setFlag(access_flag::kPasswordOnOpen, form.passwordHash != 0 && form.askOnOpen);
    setFlag(access_flag::kPasswordOnParameters, form.passwordHash != 0 && form.askOnParameters);
    setFlag(access_flag::kPasswordOnBlocks, form.passwordHash != 0 && form.askOnBlocks);
  }
  if (m_debug) setFlag(access_flag::kExample, form.example);
  Store(ds.accessFlags, flags, changed);
  if (m_debug) Store(ds.id, id, changed);
  if (changed) ds.Touch();

  if (config) {
    RememberValue(History(*config, HistoryList::Department), ds.department);
    RememberValue(History(*config, HistoryList::Detail), ds.detail);
    RememberValue(History(*config, HistoryList::Operation), ds.operation);
    RememberValue(History(*config, HistoryList::Responsible), ds.responsible);
  }
  return Field::None;
}

}  // namespace mv
