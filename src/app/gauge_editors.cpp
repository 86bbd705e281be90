#include "app/gauge_editors.h"

#include <algorithm>

#include "core/messages.h"
#include "core/numbers.h"
#include "core/text.h"
#include "platform/log_sink.h"
#include "platform/services.h"

namespace mv {
namespace {

void Log(const std::string& line) { platform::Current<platform::ILog>().LogLine(line); }

std::string Trimmed(std::string_view text, std::size_t maxChars) { return CutToChars(Trim(text), maxChars); }

// "(2/5)" after an editor's title for an existing item.
std::string PositionSuffix(int position, int count) {
  return " (" + std::to_string(position) + "/" + std::to_string(count) + ")";
}

// A bound as the editor shows it: with the gauge's decimals, trailing zeros cut after the point.
std::string BoundText(const ValueRange& range, ValueRange::Slot slot) {
  const std::optional<double> value = range.Get(slot);
  return value ? FormatTrimmed(*value, range.slots[slot].decimals) : std::string();
}

}  // namespace

GageCheck CheckGageForm(const TGageSet& list, int position, const GageForm& form, const ValueRange& range) {
  GageCheck check;
  GageFields& f = check.fields;
  f.name = Trimmed(form.name, GageForm::kNameMax);
  if (f.name.empty()) {
    check.message = "Укажите название для списка";
    return check;
  }
  if (const int other = list.IndexOfName(f.name, position)) {
    check.message = "Такое название уже имеет одно из средств измерения (#" + std::to_string(other) + ") - " +
                    list.GetItemName(other);
    return check;
  }
  std::optional<double> bounds[2];
  const std::string* texts[2] = {&form.minimum, &form.maximum};
  const char* labels[2] = {kGageMinimumLabel, kGageMaximumLabel};
  for (int i = 0; i < 2; ++i) {
    const TypedNumber number = ParseTypedNumber(Trim(*texts[i]));
    if (number.status == TypedNumberStatus::Empty) continue;
    if (number.status != TypedNumberStatus::Ok || number.value < -kGageBound || number.value > kGageBound) {
      check.numberLabel = labels[i];
      check.numberText = *texts[i];
      return check;
    }
    bounds[i] = number.value;
  }
  const std::uint8_t decimals = std::min(form.decimals, GageForm::kDecimalsMax);
  f.range = range;
  f.range.Set(decimals, bounds[0], bounds[1], std::nullopt);
  if (!f.range.IsValid()) {
    check.message = "Максимальный предел измерения должен быть больше минимального";
    return check;
  }
  f.fullName = Trimmed(form.fullName, GageForm::kFullNameMax);
  f.serialNumber = Trimmed(form.serialNumber, GageForm::kSerialMax);
  f.note = Trimmed(form.note, GageForm::kNoteMax);
  f.unit = Trimmed(form.unit, TGage::kUnitMax);
  f.decimals = decimals;
  f.connectionType = form.connectionType;
  f.start = form.start;
  f.format = TransmissionFormatCode(form.formatPosition);
  f.deviceId = std::string(Trim(form.deviceId));
  return check;
}

GageEditor::GageEditor(TGageSet& list, int position)
    : m_list(list), m_position(list.IsValidIndex(position) ? position : 0) {
  if (m_position == 0) return;
  const TGage& g = *m_list.Item(m_position);
  form.name = g.name;
  form.fullName = g.fullName;
  form.serialNumber = g.serialNumber;
  form.note = g.note;
  form.unit = g.unit;
  form.decimals = g.decimals;
  form.minimum = BoundText(g.range, ValueRange::kLower);
  form.maximum = BoundText(g.range, ValueRange::kUpper);
  form.connectionType = g.connectionType;
  form.start = g.transmissionStart;
  form.formatPosition = TransmissionFormatPosition(g.transmissionFormat);
  form.deviceId = g.deviceId;
}

std::string GageEditor::Title() const {
  if (m_position == 0) return "Создание средства измерения";
  return "Изменение средства измерения" + PositionSuffix(m_position, m_list.Count());
}

const char* GageEditor::ConnectionNote() {
  return "Если в списках нет нужного варианта, обратитесь в службу техподдержки приложения";
}

bool GageEditor::Accept() {
  const ValueRange before = m_position ? m_list.Item(m_position)->range : ValueRange{};
  const GageCheck check = CheckGageForm(m_list, m_position, form, before);
  if (check.numberLabel) {
    ValidateNumber(check.numberLabel, check.numberText, -kGageBound, kGageBound);
    return false;
  }
  if (!check.message.empty()) {
    ShowError(check.message);
    return false;
  }
  const char* verb = "Change";
  if (m_position == 0) {
    if (!m_list.AddNew()) return false;
    m_position = m_list.Count();
    verb = "Add";
  } else if (SameGage(*m_list.Item(m_position), check.fields)) {
    return true;
  }
  TGage& gage = *m_list.Item(m_position);
  SetGage(gage, check.fields);
  m_changed = true;
  Log(std::string(verb) + " gage #" + std::to_string(m_position) + ": " + gage.GetLogDescr());
  return true;
}

GageListLogic::GageListLogic(TGageSet& list, bool selectMode, std::int32_t currentId)
    : m_list(list), m_selectMode(selectMode) {
  current = m_list.IndexOfID(currentId);
  if (current == 0 && !m_list.IsEmpty()) current = 1;
  Log("Open gages: " + m_list.GetLogDescr());
}

std::string GageListLogic::Caption() const { return "Средства измерений (" + std::to_string(m_list.Count()) + "):"; }

std::vector<std::string> GageListLogic::Row(int position) const {
  const TGage* g = m_list.Item(position);
  if (!g) return {};
  return {std::to_string(position), g->name, g->serialNumber, g->unit, RangeText(*g, false), ConnectionText(*g),
          g->note};
}

void GageListLogic::Edited(bool changed, int position) {
  if (changed) m_changed = true;
  if (m_list.IsValidIndex(position)) current = position;
}

bool GageListLogic::DeleteCurrent() {
  if (!CanDelete()) return false;
  const TGage& g = *m_list.Item(current);
  if (!Ask("Вы действительно желаете удалить средство измерений " + Quoted(g.name) + " ?")) return false;
  Log("Delete gage: " + g.GetLogDescr());
  m_list.Delete(current);
  m_changed = true;
  if (current > m_list.Count()) current = m_list.Count();
  return true;
}

void GageListLogic::Finish(bool accepted) {
  if (m_changed) m_list.SetModified(true);
  if (m_changed || accepted) Log("Gages changed: " + m_list.GetLogDescr());
}

std::string CheckProfileForm(const ProfileForm& form, const TGageSet& gages) {
  if (Trim(form.name).empty()) return "Укажите название";
  if (form.source == static_cast<std::uint8_t>(InputSource::Gage) && gages.IndexOfID(form.gageId) == 0) {
    return "Не выбрано средство измерения";
  }
  return {};
}

ProfileEditor::ProfileEditor(TInputProfileSet& list, TGageSet& gages, int position)
    : m_list(list), m_gages(gages), m_position(list.IsValidIndex(position) ? position : 0) {
  if (m_position == 0) return;
  const TInputProfile& p = *m_list.Item(m_position);
  form.name = p.name;
  form.note = p.note;
  form.source = p.source;
  form.gageId = p.gageId;
}

std::string ProfileEditor::Title() const {
  if (m_position == 0) return "Создание профиля ввода данных";
  return "Изменение профиля ввода данных" + PositionSuffix(m_position, m_list.Count());
}

const TGage* ProfileEditor::Gage() const { return m_gages.Item(m_gages.IndexOfID(form.gageId)); }

std::string ProfileEditor::GageName() const {
  const TGage* g = Gage();
  return g ? g->name : " <не выбрано>";
}

std::string ProfileEditor::GageDetails() const {
  const TGage* g = Gage();
  if (!g) return {};
  return "Пределы измерения:  " + RangeText(*g, true) + "\r\nПодключение:  " + ConnectionText(*g);
}

void ProfileEditor::ChooseGage(int position) {
  if (const TGage* g = m_gages.Item(position)) form.gageId = g->id;
}

bool ProfileEditor::Accept() {
  const std::string message = CheckProfileForm(form, m_gages);
  if (!message.empty()) {
    ShowError(message);
    return false;
  }
  const char* verb = "Change";
  if (m_position == 0) {
    if (!m_list.AddNew()) return false;
    m_position = m_list.Count();
    verb = "Add";
  }
  TInputProfile& p = *m_list.Item(m_position);
  p.name = Trimmed(form.name, ProfileForm::kNameMax);
  p.note = Trimmed(form.note, ProfileForm::kNoteMax);
  p.source = form.source;
  p.gageId = form.gageId;
  m_list.SetModified(true);
  Log(std::string(verb) + " input profile #" + std::to_string(m_position) + ": " + p.GetLogDescr());
  return true;
}

ProfileListLogic::ProfileListLogic(TInputProfileSet& list, TGageSet& gages) : m_list(list), m_gages(gages) {
  current = m_list.IsEmpty() ? 0 : m_list.CurrentPosition();
}

std::string ProfileListLogic::Caption() const {
  return "Профили ввода исходных данных (" + std::to_string(m_list.Count()) + "):";
}

std::vector<std::string> ProfileListLogic::Row(int position) const {
  const TInputProfile* p = m_list.Item(position);
  if (!p) return {};
  return {std::to_string(position), p->name, ProfileText(*p, m_gages)};
}

bool ProfileListLogic::DeleteCurrent() {
  if (!CanDelete()) return false;
  const TInputProfile& p = *m_list.Item(current);
  if (!Ask("Вы действительно желаете удалить профиль ввода " + Quoted(p.name) + " ?")) return false;
  Log("Delete input profile: " + p.GetLogDescr());
  m_list.Delete(current);
  if (current > m_list.Count()) current = m_list.Count();
  m_list.CurrentPosition();  // by identifier: the first profile when the current one went
  return true;
}

}  // namespace mv
