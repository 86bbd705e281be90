#include "ui/alt_sample_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "app/history_lists.h"
#include "app/pending_edits.h"
#include "app/sample_window_logic.h"
#include "core/messages.h"
#include "core/text.h"
#include "ui/sample_fields.h"
#include "ui/ui_text.h"

namespace mv::ui {
namespace {

constexpr int kValueMaxLength = 20;

bool SameForm(const AltSampleForm& a, const AltSampleForm& b) {
  return a.active == b.active && a.date == b.date && a.time == b.time && a.note == b.note && a.event == b.event &&
         a.entry.sizeText == b.entry.sizeText && a.entry.values == b.entry.values;
}

class AltSampleWindow final : public QDialog {
 public:
  AltSampleWindow(QWidget* parent, TDatasetSPC& ds, int block, const EditContext& context);
  ~AltSampleWindow() override;
  void Show(int position);  // 0: a new sample
  int Position() const { return m_position; }
  void accept() override;

 private:
  TSPCBlock& Block() { return *m_ds.Block(m_block); }
  bool Editable() const { return m_ds.blockEditingAllowed; }
  AltSampleForm Form() const;
  // Writes the form; false (with the message shown and the focus on the field) when refused.
  // An untouched new sample is left without a word when `untouchedNewOk`.
  bool Save(bool untouchedNewOk = false);
  bool CommitPending();

  TDatasetSPC& m_ds;
  int m_block;
  EditContext m_context;
  int m_position = 0;  // 0 while a new sample is shown
  AltSampleForm m_initial;
  int m_pending = 0;

  QCheckBox* m_active;
  QLabel* m_dateLabel;
  QDateEdit* m_date;
  QLabel* m_timeLabel;
  QTimeEdit* m_time;
  QLineEdit* m_size;
  QTableWidget* m_table;
  std::vector<QLineEdit*> m_values;
  QComboBox* m_note;
  QComboBox* m_event;
  QPushButton* m_previous;
  QPushButton* m_next;
};

AltSampleWindow::AltSampleWindow(QWidget* parent, TDatasetSPC& ds, int block, const EditContext& context)
    : QDialog(parent), m_ds(ds), m_block(block), m_context(context) {
  setObjectName(QStringLiteral("frmAltSample"));
  m_active = new QCheckBox(QStringLiteral("Выборка &активна"));
  m_active->setObjectName(QStringLiteral("chkActive"));
  m_dateLabel = new QLabel(QStringLiteral("&Дата:"));
  m_date = new QDateEdit;
  m_date->setObjectName(QStringLiteral("edtDate"));
  m_date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
  m_date->setCalendarPopup(true);
  m_dateLabel->setBuddy(m_date);
  m_timeLabel = new QLabel(QStringLiteral("&Время:"));
  m_time = new QTimeEdit;
  m_time->setObjectName(QStringLiteral("edtTime"));
  m_time->setDisplayFormat(QStringLiteral("HH:mm:ss"));
  m_timeLabel->setBuddy(m_time);
  auto* sizeLabel = new QLabel(QStringLiteral("&Объем выборки:"));
  m_size = new QLineEdit;
  m_size->setObjectName(QStringLiteral("edtSize"));
  m_size->setMaxLength(kValueMaxLength);
  sizeLabel->setBuddy(m_size);

  const std::vector<int>& order = ds.OrderList(DataKind::Attr);
  auto* valuesLabel = new QLabel(QStringLiteral("&Значения:"));
  m_table = new QTableWidget(static_cast<int>(order.size()), 3);
  m_table->setObjectName(QStringLiteral("tblValues"));
  m_table->setHorizontalHeaderLabels({QStringLiteral("Параметр"), QStringLiteral("Тип измер."), QStringLiteral("Значение")});
  m_table->verticalHeader()->hide();
  m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_table->setTabKeyNavigation(false);
  m_table->setFocusPolicy(Qt::NoFocus);
  m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  m_table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  for (int r = 0; r < static_cast<int>(order.size()); ++r) {
    const TSPCParameter& p = *ds.Parameter(order[static_cast<std::size_t>(r)]);
    m_table->setItem(r, 0, new QTableWidgetItem(ToQ(p.name)));
    m_table->setItem(r, 1, new QTableWidgetItem(ToQ(AttrTypeShortName(p.Type()))));
    auto* value = new QLineEdit;
    value->setObjectName(QStringLiteral("edtValue%1").arg(r + 1));
    value->setMaxLength(kValueMaxLength);
    value->setFrame(false);
    m_table->setCellWidget(r, 2, value);
    m_values.push_back(value);
  }
  valuesLabel->setBuddy(m_values.empty() ? static_cast<QWidget*>(m_table) : m_values.front());

  std::vector<std::string>* notes = m_context.config ? &History(*m_context.config, HistoryList::SampleNote) : nullptr;
  std::vector<std::string>* events = m_context.config ? &History(*m_context.config, HistoryList::SampleEvent) : nullptr;
  m_note = NewTextField(QStringLiteral("cbNote"), notes);
  m_event = NewTextField(QStringLiteral("cbEvent"), events);
  auto* noteLabel = new QLabel(QStringLiteral("&Примечание:"));
  noteLabel->setBuddy(m_note);
  auto* eventLabel = new QLabel(QStringLiteral("&Событие:"));
  eventLabel->setBuddy(m_event);

  auto* grid = new QGridLayout;
  grid->addWidget(m_active, 0, 0, 1, 2);
  grid->addWidget(m_dateLabel, 1, 0);
  grid->addWidget(m_date, 1, 1);
  grid->addWidget(m_timeLabel, 2, 0);
  grid->addWidget(m_time, 2, 1);
  grid->addWidget(noteLabel, 3, 0);
  grid->addWidget(m_note, 3, 1);
  grid->addWidget(eventLabel, 4, 0);
  grid->addWidget(m_event, 4, 1);
  grid->addWidget(sizeLabel, 5, 0);
  grid->addWidget(m_size, 5, 1);
  grid->setColumnStretch(1, 1);

  m_previous = new QPushButton(QStringLiteral("Предыдущая в&ыборка"));
  m_previous->setObjectName(QStringLiteral("btnPrevious"));
  m_next = new QPushButton;
  m_next->setObjectName(QStringLiteral("btnNext"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("О&тмена"));
  buttons->addButton(m_previous, QDialogButtonBox::ActionRole);
  buttons->addButton(m_next, QDialogButtonBox::ActionRole);
  for (QPushButton* b : {m_previous, m_next}) b->setAutoDefault(false);
  connect(buttons, &QDialogButtonBox::accepted, this, &AltSampleWindow::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(m_previous, &QPushButton::clicked, this, [this] {
    const int previous = m_position == 0 ? Block().SampleCount() : m_position - 1;
    if (previous >= 1 && Save(true)) Show(previous);
  });
  connect(m_next, &QPushButton::clicked, this, [this] {
    const int shown = m_position;
    if (shown >= 1 && shown < Block().SampleCount()) {
      if (Save()) Show(shown + 1);
      return;
    }
    const std::string full = CheckNextSample(shown);
    if (!full.empty()) {
      ShowError(full);
      return;
    }
    if (Editable() && Save()) Show(0);
  });

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(valuesLabel);
  layout->addWidget(m_table, 1);
  layout->addWidget(buttons);
  setTabOrder(m_active, m_date);
  setTabOrder(m_date, m_time);
  setTabOrder(m_time, m_note);
  setTabOrder(m_note, m_event);
  setTabOrder(m_event, m_size);
  QWidget* last = m_size;
  for (QLineEdit* value : m_values) {
    setTabOrder(last, value);
    last = value;
  }
  if (m_context.saveDataset) {
    auto* save = new QShortcut(QKeySequence::Save, this);
    connect(save, &QShortcut::activated, this, [this] { m_context.saveDataset(); });
  }
  if (m_context.pending) m_pending = m_context.pending->Add(m_context.slot, [this] { return CommitPending(); });
  resize(560, 480);
}

AltSampleWindow::~AltSampleWindow() {
  if (m_context.pending && m_pending != 0) m_context.pending->Remove(m_pending);
}

void AltSampleWindow::Show(int position) {
  const TSPCBlock& b = Block();
  m_position = b.Sample(position) ? position : 0;
  m_initial = LoadAltSample(m_ds, m_block, m_position);
  const bool dates = (b.flags & block_flag::kDates) != 0;
  const bool times = dates && (b.flags & block_flag::kTimes) != 0;
  m_active->setChecked(m_initial.active);
  m_date->setDate(ToQDate(ShownDateTime(m_initial.date + m_initial.time)));
  m_time->setTime(ToQTime(m_initial.time));
  for (QWidget* w : std::initializer_list<QWidget*>{m_dateLabel, m_date}) w->setVisible(dates);
  for (QWidget* w : std::initializer_list<QWidget*>{m_timeLabel, m_time}) w->setVisible(times);
  m_note->setEditText(ToQ(m_initial.note));
  m_event->setEditText(ToQ(m_initial.event));
  m_size->setText(ToQ(m_initial.entry.sizeText));
  for (std::size_t i = 0; i < m_values.size(); ++i) {
    m_values[i]->setText(i < m_initial.entry.values.size() ? ToQ(m_initial.entry.values[i]) : QString());
    m_values[i]->setReadOnly(!Editable());
  }
  // What the form shows is what it started with (the fields round dates and times to seconds).
  m_initial = Form();
  for (QWidget* w : std::initializer_list<QWidget*>{m_active, m_date, m_time, m_note, m_event, m_size}) {
    w->setEnabled(Editable());
  }

  const bool isNew = m_position == 0;
  setWindowTitle(ToQ(SampleWindowTitle(isNew ? b.SampleCount() + 1 : m_position, b.SampleCount(), isNew, b.name)));
  m_previous->setVisible(m_position > 1 || (isNew && b.SampleCount() > 0));
  const std::string next = isNew ? std::string() : NextSampleButtonText(m_ds, m_block, m_position);
  m_next->setVisible(!next.empty());
  m_next->setText(next == "Новая выборка" ? QStringLiteral("Нова&я выборка") : QStringLiteral("Следу&ющая выборка"));
  if (Editable()) {
    m_size->setFocus();
    m_size->selectAll();
  } else if (!m_values.empty()) {
    m_values.front()->setFocus();
  }
}

AltSampleForm AltSampleWindow::Form() const {
  AltSampleForm form;
  form.active = m_active->isChecked();
  form.date = FromQDate(m_date->date());
  form.time = FromQTime(m_time->time());
  form.note = FromQ(m_note->currentText());
  form.event = FromQ(m_event->currentText());
  form.entry.sizeText = FromQ(m_size->text());
  for (const QLineEdit* value : m_values) form.entry.values.push_back(FromQ(value->text()));
  return form;
}

bool AltSampleWindow::Save(bool untouchedNewOk) {
  if (!Editable()) return true;
  const AltSampleForm form = Form();
  if (untouchedNewOk && m_position == 0 && SameForm(form, m_initial)) {
    // An untouched new sample: nothing to keep, so nothing is refused either.
    return true;
  }
  const AltSaveResult r = SaveAltSample(m_ds, m_block, m_position, form);
  if (!r.Ok()) {
    ShowError(r.message);
    QWidget* field = m_size;
    const std::vector<int>& order = m_ds.OrderList(DataKind::Attr);
    for (std::size_t i = 0; i < order.size() && i < m_values.size(); ++i) {
      const std::string named = "параметра " + m_ds.Parameter(order[i])->name;
      const std::size_t at = r.message.find(named);
      if (at == std::string::npos) continue;
      const std::size_t end = at + named.size();
      if (end == r.message.size() || r.message[end] == ' ') {
        field = m_values[i];
        break;
      }
    }
    field->setFocus();
    return false;
  }
  if (r.position != 0) m_position = r.position;
  m_initial = Form();
  if (m_context.config && r.written) {
    RememberValue(History(*m_context.config, HistoryList::SampleNote), Trim(form.note));
    RememberValue(History(*m_context.config, HistoryList::SampleEvent), Trim(form.event));
  }
  return true;
}

bool AltSampleWindow::CommitPending() {
  if (SameForm(Form(), m_initial)) return true;
  return Save(true);
}

void AltSampleWindow::accept() {
  if (Save()) QDialog::accept();
}

}  // namespace

int EditAltSample(QWidget* parent, TDatasetSPC& ds, int block, int sample, const EditContext& context) {
  TSPCBlock* b = ds.Block(block);
  if (!b || b->kind != DataKind::Attr) return 0;
  if (!b->Sample(sample)) {
    // A new sample only while editing is allowed and the block has room.
    if (!ds.blockEditingAllowed) return 0;
    if (const std::string full = CheckNextSample(b->SampleCount()); !full.empty()) {
      ShowError(full);
      return 0;
    }
    sample = 0;
  }
  AltSampleWindow window(parent, ds, block, context);
  window.Show(sample);
  window.exec();
  return window.Position();
}

}  // namespace mv::ui
