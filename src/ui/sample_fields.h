#pragma once
// What the two sample windows share: the note and event fields with their recently typed
// values, and the system's date-time in the date and time fields.

#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QTime>

#include <string>
#include <vector>

#include "core/date_time.h"
#include "spc/sample.h"
#include "ui/ui_text.h"

namespace mv::ui {

// An editable field of at most 150 characters offering `recent` (nullptr: nothing offered).
inline QComboBox* NewTextField(const QString& name, const std::vector<std::string>* recent) {
  auto* field = new QComboBox;
  field->setObjectName(name);
  field->setEditable(true);
  field->setInsertPolicy(QComboBox::NoInsert);
  field->lineEdit()->setMaxLength(static_cast<int>(TSPCSample::kTextMax));
  if (recent) {
    for (const std::string& text : *recent) field->addItem(ToQ(text));
  }
  field->setCurrentIndex(-1);
  return field;
}

inline QDate ToQDate(TDateTime value) {
  const CalendarDate d = DecodeDate(value);
  return QDate(d.year, d.month, d.day);
}
inline QTime ToQTime(TDateTime value) {
  const ClockTime t = DecodeTime(value);
  return QTime(t.hour, t.minute, t.second);
}
inline TDateTime FromQDate(const QDate& date) {
  return date.isValid() ? EncodeDate(date.year(), date.month(), date.day()).value_or(0) : 0;
}
inline TDateTime FromQTime(const QTime& time) {
  return time.isValid() ? EncodeTime(time.hour(), time.minute(), time.second()).value_or(0) : 0;
}

}  // namespace mv::ui
