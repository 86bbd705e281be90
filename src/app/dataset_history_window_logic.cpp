#include "app/dataset_history_window_logic.h"

#include "core/date_time.h"
#include "core/messages.h"
#include "core/text.h"

namespace mv {
namespace {

constexpr const char* kProgramName = "Morvalen";

std::string Join(const std::vector<std::string>& parts, const std::string& separator) {
  std::string text;
  for (const std::string& part : parts) {
    if (part.empty()) continue;
    if (!text.empty()) text += separator;
    text += part;
  }
  return text;
}

std::string FileText(const DatasetHistoryEntry& e) {
  return DosFileTimeText(e.fileTime) + ", размер " + std::to_string(e.fileSize) + " байт";
}

}  // namespace

DatasetHistoryWindowLogic::DatasetHistoryWindowLogic(DatasetHistory& history) : m_history(history) { Refresh(); }

const char* DatasetHistoryWindowLogic::Title() { return "История наборов данных"; }

std::vector<std::string> DatasetHistoryWindowLogic::ColumnTitles() {
  return {" Номер", " Название", " Папка (путь)", " Содержимое набора данных", " Время закрытия"};
}

const char* DatasetHistoryWindowLogic::ShowOpenText() { return "Показывать в списке наборы данных, открытые сейчас"; }

const char* DatasetHistoryWindowLogic::Note() {
  return "Список наборов данных, недавно открывавшихся на ЭТОМ КОМПЬЮТЕРЕ. Сведения соответствуют состоянию набора "
         "данных при его последнем сохранении. Внимание! В настоящий момент набор может содержать другие данные либо "
         "отсутствовать.";
}

void DatasetHistoryWindowLogic::SetShowOpen(bool on) {
  m_history.showOpen = on;
  Refresh();
}

void DatasetHistoryWindowLogic::Refresh() {
  m_rows.clear();
  for (int i = 0; i < m_history.Count(); ++i) {
    if (m_history.showOpen || !m_history.At(i)->IsOpen()) m_rows.push_back(i);
  }
}

int DatasetHistoryWindowLogic::EntryOf(int row) const {
  return row >= 0 && row < RowCount() ? m_rows[static_cast<std::size_t>(row)] : -1;
}

std::string DatasetHistoryWindowLogic::Caption() const {
  const std::string count = std::to_string(m_history.Count());
  const bool omitted = RowCount() < m_history.Count();
  return "Ранее открывавшиеся наборы данных (" + (omitted ? std::to_string(RowCount()) + " из " : std::string()) +
         count + "):";
}

std::vector<std::string> DatasetHistoryWindowLogic::RowTexts(int row, TDateTime now) const {
  const DatasetHistoryEntry* e = EntryAt(row);
  if (!e) return std::vector<std::string>(kColumns);
  std::string closed;
  if (e->IsOpen()) {
    closed = "Открыт сейчас";
  } else if (e->closed > 0) {
    closed = DateTimeText(e->closed) + "  (" + AgoText(e->closed, now) + ")";
  }
  return {std::to_string(EntryOf(row) + 1), e->name, e->folder, e->contents, closed};
}

std::string DatasetHistoryWindowLogic::EntryText(int row) const {
  const DatasetHistoryEntry* e = EntryAt(row);
  if (!e) return {};
  std::string summary;
  if (e->type == 1) {
    summary = Join({e->texts[1], e->texts[2], e->texts[3]}, ", ");
    if (!e->texts[0].empty()) summary += (summary.empty() ? "" : ". ") + std::string("Комментарий: ") + e->texts[0];
  } else if (e->type == 2) {
    summary = "Списки: " + e->texts[1];
  }
  const std::string storage = e->IsFile() ? "Время сохранения файла: " + FileText(*e) : e->name;
  return e->Location() + "\r\n" + e->contents + "\r\n" + summary + "\r\n" + storage;
}

std::optional<int> DatasetHistoryWindowLogic::Open(int row) {
  const int index = EntryOf(row);
  const DatasetHistoryEntry* e = m_history.At(index);
  if (!e) return std::nullopt;
  if (e->IsOpen()) {
    ShowInfo("Выбранный набор данных уже открыт", 30);
    return std::nullopt;
  }
  if (e->inDatabase) {
    ShowInfo(std::string("Приложение ") + kProgramName + " не работает с наборами базы данных, только с файлами");
    return std::nullopt;
  }
  if (!m_history.CheckFile(index)) {
    ShowWarning("Не найден файл выбранного набора данных\r\n\r\n" + e->Location() +
                    "\r\n\r\nВозможно, он был перемещен, переименован или удален вне " + kProgramName,
                0, {}, 30);
    return std::nullopt;
  }
  return index;
}

std::string DatasetHistoryWindowLogic::DetailsTitle(int row) const {
  const DatasetHistoryEntry* e = EntryAt(row);
  return e ? "Информация о наборе данных " + e->name : std::string();
}

std::string DatasetHistoryWindowLogic::DetailsText(int row, TDateTime now) const {
  const DatasetHistoryEntry* e = EntryAt(row);
  if (!e) return {};
  const bool open = e->IsOpen();
  std::string t = "Общие сведения\r\n\r\n";
  t += "Название   : " + e->name + "\r\n";
  t += "Путь       : " + e->folder + "\r\n";
  t += e->IsFile() ? "Файл       : время сохранения " + FileText(*e) : "База данных: " + e->name;
  t += "\r\n";
  t += "Идентиф.   : " + std::to_string(e->id) + "\r\n";
  t += "Состояние  : " + (open ? std::string("Открыт") : "Закрыт " + AgoText(e->closed, now)) + "\r\n";
  t += "Открытие   : " + DateTimeText(e->opened) + "\r\n";
  if (!open) t += "Закрытие   : " + DateTimeText(e->closed) + "\r\n";
  t += "Содержимое набора данных\r\n\r\n";
  if (e->type == 1) {
    t += "Краткая сводка : " + e->contents + "\r\n";
    t += "Производство   : " + e->texts[1] + "\r\n";
    t += "Изделие        : " + e->texts[2] + "\r\n";
    t += "Операция       : " + e->texts[3] + "\r\n";
    t += "Комментарий    : " + e->texts[0];
  } else if (e->type == 2) {
    t += "Назначение НД     : " + e->texts[0] + "\r\n";
    t += "К-во обследований : " + std::to_string(e->studies);
  } else {
    t += "Краткая сводка : " + e->contents;
  }
  return t;
}

bool DatasetHistoryWindowLogic::Delete(int row) {
  const int index = EntryOf(row);
  const DatasetHistoryEntry* e = m_history.At(index);
  if (!e) return false;
  if (e->IsOpen()) {
    ShowInfo("Нельзя удалить из списка набор данных, открытый в настоящий момент", 25);
    return false;
  }
  const bool found = m_history.CheckFile(index);
  const std::string why = found ? "сам набор данных при этом удален не будет, но Вы потеряете возможность его легко "
                                  "найти и открыть"
                                : "файл набора данных на диске сейчас отсутствует";
  if (!Ask("Для удаления выбран элемент списка истории\r\n" + Quoted(e->name) + "\r\n(" + why +
           ")\r\n\r\nУдалить из списка ?")) {
    return false;
  }
  m_history.RemoveEntry(index);
  Refresh();
  return true;
}

bool HistoryWindowMayOpen(const DatasetHistory& history) {
  if (!history.Empty()) return true;
  ShowInfo("История использования наборов данных пока пуста", 25);
  return false;
}

}  // namespace mv
