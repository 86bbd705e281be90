#include "ui/scale_class_editors.h"

#include <QFormLayout>
#include <QVBoxLayout>

#include "ui/editor_fields.h"

namespace mv::ui {

ScaleEditorDialog::ScaleEditorDialog(ScaleList& scales, int position, QWidget* parent)
    : QDialog(parent), m_logic(scales, position) {
  setObjectName(QStringLiteral("dlgScaleEditor"));
  setWindowTitle(ToQ(m_logic.Title()));
  m_name = TextField("edtScaleName", m_logic.name, Scale::kNameMax);
  m_unit = TextField("edtScaleUnit", m_logic.unit, Scale::kUnitMax);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Название:"), m_name);
  form->addRow(QStringLiteral("&Единица измерения:"), m_unit);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(EditorButtons(this));
  resize(380, sizeHint().height());
}

void ScaleEditorDialog::accept() {
  m_logic.name = FieldText(m_name);
  m_logic.unit = FieldText(m_unit);
  if (m_logic.Accept().Ok()) {
    QDialog::accept();
  } else {
    FocusField(m_name);
  }
}

bool ScaleEditorDialog::Edit(ScaleList& scales, int position, QWidget* parent, int* edited) {
  ScaleEditorDialog dialog(scales, position, parent);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  if (edited) *edited = dialog.m_logic.Position();
  return accepted;
}

ClassEditorDialog::ClassEditorDialog(ParamClassList& classes, int position, QWidget* parent)
    : QDialog(parent), m_logic(classes, position) {
  setObjectName(QStringLiteral("dlgClassEditor"));
  setWindowTitle(ToQ(m_logic.Title()));
  m_name = TextField("edtClassName", m_logic.name, ParamClass::kNameMax);
  m_note = TextField("edtClassNote", m_logic.note, ParamClass::kNoteMax);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Название:"), m_name);
  form->addRow(QStringLiteral("&Примечание:"), m_note);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(EditorButtons(this));
  resize(460, sizeHint().height());
}

void ClassEditorDialog::accept() {
  m_logic.name = FieldText(m_name);
  m_logic.note = FieldText(m_note);
  if (m_logic.Accept().Ok()) {
    QDialog::accept();
  } else {
    FocusField(m_name);
  }
}

bool ClassEditorDialog::Edit(ParamClassList& classes, int position, QWidget* parent, int* edited) {
  ClassEditorDialog dialog(classes, position, parent);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  if (edited) *edited = dialog.m_logic.Position();
  return accepted;
}

}  // namespace mv::ui
