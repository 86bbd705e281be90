#include "ui/sample_window.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <memory>

#include "app/history_lists.h"
#include "app/pending_edits.h"
#include "app/sample_window_logic.h"
#include "core/date_time.h"
#include "core/event_sounds.h"
#include "core/messages.h"
#include "core/text.h"
#include "spc/gages.h"
#include "spc/input_profiles.h"
#include "ui/alt_sample_window.h"
#include "ui/point_grid.h"
#include "ui/sample_fields.h"
#include "ui/ui_text.h"

namespace mv::ui {
namespace {

class SampleWindow final : public QDialog {
 public:
  SampleWindow(QWidget* parent, TDatasetSPC& ds, int block, const EditContext& context);
  ~SampleWindow() override;
  // Shows sample `position` (0: a new one at the end); false when none could be made.
  bool Show(int position);
  int Position() const { return m_position; }

  void accept() override;
  void reject() override;

 private:
  TSPCBlock& Block() { return *m_ds.Block(m_block); }
  TSPCSample& Sample() { return *Block().Sample(m_position); }
  void BuildProfiles();
  void ProfileChosen(int index);
  void Renew();
  // Takes the note, event, date and time into the sample (marking it changed when they differ).
  void StoreFields();
  // The cell in edit and the fields, then the checks of leaving the sample.
  bool Leave();
  bool CommitPending();
  void GoPrevious();
  void GoNext();

  TDatasetSPC& m_ds;
  int m_block;
  EditContext m_context;
  EditingOptions m_options;
  int m_position = 0;
  bool m_new = false;  // made by this window and not yet left
  std::unique_ptr<PointGridLogic> m_logic;
  int m_pending = 0;

  QComboBox* m_profile = nullptr;
  QLabel* m_profileText = nullptr;
  QLabel* m_instruction = nullptr;
  QLabel* m_rangeWarning = nullptr;
  QLabel* m_dateLabel;
  QDateEdit* m_date;
  QPushButton* m_prevDate;
  QLabel* m_timeLabel;
  QTimeEdit* m_time;
  QPushButton* m_prevTime;
  PointGrid* m_grid;
  QLabel* m_status;
  QComboBox* m_note;
  QComboBox* m_event;
  QPushButton* m_previous;
  QPushButton* m_next;
};

SampleWindow::SampleWindow(QWidget* parent, TDatasetSPC& ds, int block, const EditContext& context)
    : QDialog(parent), m_ds(ds), m_block(block), m_context(context), m_options(ReadEditingOptions(ds)) {
  setObjectName(QStringLiteral("frmSample"));
  auto* layout = new QVBoxLayout(this);

  if (m_context.profiles && m_context.profiles->Count() > 0) BuildProfiles();
  if (m_profile) {
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("Про&филь ввода:"));
    label->setBuddy(m_profile);
    row->addWidget(label);
    row->addWidget(m_profile, 1);
    row->addWidget(m_rangeWarning);
    layout->addLayout(row);
    layout->addWidget(m_profileText);
    layout->addWidget(m_instruction);
  }

  auto* when = new QGridLayout;
  m_dateLabel = new QLabel(QStringLiteral("&Дата:"));
  m_date = new QDateEdit;
  m_date->setObjectName(QStringLiteral("edtDate"));
  m_date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
  m_date->setCalendarPopup(true);
  m_dateLabel->setBuddy(m_date);
  m_prevDate = new QPushButton(QStringLiteral("Дат&а предыдущей"));
  m_prevDate->setObjectName(QStringLiteral("btnPrevDate"));
  m_timeLabel = new QLabel(QStringLiteral("&Время:"));
  m_time = new QTimeEdit;
  m_time->setObjectName(QStringLiteral("edtTime"));
  m_time->setDisplayFormat(QStringLiteral("HH:mm:ss"));
  m_timeLabel->setBuddy(m_time);
  m_prevTime = new QPushButton(QStringLiteral("Время п&редыдущей"));
  m_prevTime->setObjectName(QStringLiteral("btnPrevTime"));
  when->addWidget(m_dateLabel, 0, 0);
  when->addWidget(m_date, 0, 1);
  when->addWidget(m_prevDate, 0, 2);
  when->addWidget(m_timeLabel, 0, 3);
  when->addWidget(m_time, 0, 4);
  when->addWidget(m_prevTime, 0, 5);
  when->setColumnStretch(6, 1);
  layout->addLayout(when);

  auto* gridLabel = new QLabel(QStringLiteral("&Замеры:"));
  m_grid = new PointGrid;
  gridLabel->setBuddy(m_grid);
  layout->addWidget(gridLabel);
  layout->addWidget(m_grid, 1);
  m_status = new QLabel;
  m_status->setObjectName(QStringLiteral("lblStatus"));
  layout->addWidget(m_status);

  std::vector<std::string>* notes = m_context.config ? &History(*m_context.config, HistoryList::SampleNote) : nullptr;
  std::vector<std::string>* events = m_context.config ? &History(*m_context.config, HistoryList::SampleEvent) : nullptr;
  m_note = NewTextField(QStringLiteral("cbNote"), notes);
  m_event = NewTextField(QStringLiteral("cbEvent"), events);
  auto* texts = new QGridLayout;
  auto* noteLabel = new QLabel(QStringLiteral("&Примечание:"));
  noteLabel->setBuddy(m_note);
  auto* eventLabel = new QLabel(QStringLiteral("&Событие:"));
  eventLabel->setBuddy(m_event);
  texts->addWidget(noteLabel, 0, 0);
  texts->addWidget(m_note, 0, 1);
  texts->addWidget(eventLabel, 1, 0);
  texts->addWidget(m_event, 1, 1);
  texts->setColumnStretch(1, 1);
  layout->addLayout(texts);

  m_previous = new QPushButton(QStringLiteral("Предыдущая в&ыборка"));
  m_previous->setObjectName(QStringLiteral("btnPrevious"));
  m_next = new QPushButton;
  m_next->setObjectName(QStringLiteral("btnNext"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&OK"));
  buttons->addButton(m_previous, QDialogButtonBox::ActionRole);
  buttons->addButton(m_next, QDialogButtonBox::ActionRole);
  for (QPushButton* b : {m_prevDate, m_prevTime, m_previous, m_next, buttons->button(QDialogButtonBox::Ok)}) {
    b->setAutoDefault(false);
    b->setDefault(false);
  }
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &SampleWindow::accept);
  connect(m_previous, &QPushButton::clicked, this, [this] { GoPrevious(); });
  connect(m_next, &QPushButton::clicked, this, [this] { GoNext(); });
  connect(m_grid, &PointGrid::Changed, this, [this] { Renew(); });
  connect(m_prevDate, &QPushButton::clicked, this, [this] {
    if (const TSPCSample* previous = Block().Sample(m_position - 1)) m_date->setDate(ToQDate(previous->dateTime));
  });
  connect(m_prevTime, &QPushButton::clicked, this, [this] {
    if (const TSPCSample* previous = Block().Sample(m_position - 1)) m_time->setTime(ToQTime(previous->dateTime));
  });
  if (m_context.saveDataset) {
    auto* save = new QShortcut(QKeySequence::Save, this);
    connect(save, &QShortcut::activated, this, [this] { m_context.saveDataset(); });
  }
  if (m_context.pending) m_pending = m_context.pending->Add(m_context.slot, [this] { return CommitPending(); });

  if (m_profile) setTabOrder(m_profile, m_date);
  setTabOrder(m_date, m_prevDate);
  setTabOrder(m_prevDate, m_time);
  setTabOrder(m_time, m_prevTime);
  setTabOrder(m_prevTime, m_grid);
  setTabOrder(m_grid, m_note);
  setTabOrder(m_note, m_event);
  resize(760, 560);
}

SampleWindow::~SampleWindow() {
  if (m_context.pending && m_pending != 0) m_context.pending->Remove(m_pending);
  m_grid->SetLogic(nullptr);
}

void SampleWindow::BuildProfiles() {
  TInputProfileSet& profiles = *m_context.profiles;
  m_profile = new QComboBox;
  m_profile->setObjectName(QStringLiteral("cbProfile"));
  for (int i = 1; i <= profiles.Count(); ++i) m_profile->addItem(ToQ(profiles.Item(i)->name));
  m_profileText = new QLabel;
  m_profileText->setObjectName(QStringLiteral("lblProfile"));
  m_instruction = new QLabel;
  m_instruction->setObjectName(QStringLiteral("lblInstruction"));
  m_rangeWarning = new QLabel(QStringLiteral("(!)"));
  m_rangeWarning->setObjectName(QStringLiteral("lblRangeWarning"));
  m_rangeWarning->setStyleSheet(QStringLiteral("QLabel { color: #C00000; font-weight: bold; }"));
  m_profile->setCurrentIndex(profiles.CurrentPosition() - 1);
  ProfileChosen(m_profile->currentIndex());
  connect(m_profile, &QComboBox::currentIndexChanged, this, [this](int index) { ProfileChosen(index); });
}

void SampleWindow::ProfileChosen(int index) {
  TInputProfileSet& profiles = *m_context.profiles;
  profiles.SetCurrent(index + 1);
  const TInputProfile* profile = profiles.Item(profiles.CurrentPosition());
  if (!profile) return;
  static const TGageSet kNoGages;
  const TGageSet& gages = m_context.gages ? *m_context.gages : kNoGages;
  m_profileText->setText(ToQ(ProfileText(*profile, gages)));
  m_instruction->setText(ToQ(ProfileInstruction(*profile, gages)));
  std::string warning;
  if (const TGage* gage = ProfileGage(*profile, gages)) {
    std::vector<const TSPCParameter*> shown;
    for (const int k : m_ds.OrderList(DataKind::Var)) shown.push_back(m_ds.Parameter(k));
    warning = GageRangeWarning(*gage, shown);
  }
  m_rangeWarning->setToolTip(ToQ(warning));
  m_rangeWarning->setVisible(!warning.empty());
}

bool SampleWindow::Show(int position) {
  m_grid->SetLogic(nullptr);
  m_logic.reset();
  m_new = false;
  if (position == 0) {
    position = AddNewSample(m_ds, m_block, m_options);
    if (position == 0) {
      ShowError(CheckNextSample(Block().SampleCount()));
      return false;
    }
    m_new = true;
  }
  if (!Block().Sample(position)) return false;
  m_position = position;
  m_logic = std::make_unique<PointGridLogic>(m_ds, m_block, m_position, m_options);
  m_grid->SetLogic(m_logic.get());

  const TSPCSample& s = Sample();
  const bool dates = (Block().flags & block_flag::kDates) != 0;
  const bool times = dates && (Block().flags & block_flag::kTimes) != 0;
  const TDateTime shown = ShownDateTime(s.dateTime);
  m_date->setDate(ToQDate(shown));
  m_time->setTime(ToQTime(shown));
  for (QWidget* w : std::initializer_list<QWidget*>{m_dateLabel, m_date, m_prevDate}) w->setVisible(dates);
  for (QWidget* w : std::initializer_list<QWidget*>{m_timeLabel, m_time, m_prevTime}) w->setVisible(times);
  const TSPCSample* previous = Block().Sample(m_position - 1);
  m_prevDate->setEnabled(previous != nullptr && m_ds.blockEditingAllowed);
  m_prevTime->setEnabled(previous != nullptr && m_ds.blockEditingAllowed);
  m_prevDate->setToolTip(previous ? ToQ("Дата предыдущей выборки: " + DateText(previous->dateTime)) : QString());
  m_prevTime->setToolTip(previous ? ToQ("Время предыдущей выборки: " + TimeText(previous->dateTime, true)) : QString());
  m_date->setReadOnly(!m_ds.blockEditingAllowed);
  m_time->setReadOnly(!m_ds.blockEditingAllowed);
  m_note->setEditText(ToQ(s.Note()));
  m_event->setEditText(ToQ(s.Event()));
  m_note->setEnabled(m_ds.blockEditingAllowed);
  m_event->setEnabled(m_ds.blockEditingAllowed);
  Renew();
  m_grid->setFocus();
  return true;
}

void SampleWindow::Renew() {
  if (!m_logic) return;
  setWindowTitle(ToQ(SampleWindowTitle(m_position, Block().SampleCount(), m_new, Block().name)));
  m_previous->setEnabled(m_position > 1);
  const std::string next = NextSampleButtonText(m_ds, m_block, m_position);
  m_next->setVisible(!next.empty());
  m_next->setText(next == "Новая выборка" ? QStringLiteral("Нова&я выборка") : QStringLiteral("Следу&ющая выборка"));
  const TSPCSample& s = Sample();
  m_status->setText(ToQ("Замеров: " + std::to_string(s.PointCount()) +
                        ((s.flags & sample_flag::kOutOfTolerance) != 0 ? ", есть значения вне допуска" : "")));
}

void SampleWindow::StoreFields() {
  if (!m_logic || !m_ds.blockEditingAllowed) return;
  TSPCSample& s = Sample();
  const std::string note = CutToChars(Trim(FromQ(m_note->currentText())), TSPCSample::kTextMax);
  const std::string event = CutToChars(Trim(FromQ(m_event->currentText())), TSPCSample::kTextMax);
  bool changed = false;
  if (s.Note() != note) {
    s.SetNote(note);
    changed = true;
  }
  if (s.Event() != event) {
    s.SetEvent(event);
    changed = true;
  }
  const TDateTime before = s.dateTime;
  if ((Block().flags & block_flag::kDates) != 0) {
    const TDateTime date = FromQDate(m_date->date());
    if (DateText(date) != DateText(ShownDateTime(s.dateTime))) s.SetDate(date);
    if ((Block().flags & block_flag::kTimes) != 0) {
      const TDateTime time = FromQTime(m_time->time());
      if (TimeText(time, true) != TimeText(ShownDateTime(s.dateTime), true)) s.SetTime(time);
    }
  }
  changed = changed || s.dateTime != before;
  if (!changed) return;
  s.changed = true;
  Block().changed = true;
  Block().changedAt = Now();
  m_ds.Touch();
}

bool SampleWindow::CommitPending() {
  if (!m_logic) return true;
  if (!m_grid->CommitEdit()) return false;
  StoreFields();
  return true;
}

bool SampleWindow::Leave() {
  if (!m_logic) return true;
  if (!CommitPending()) return false;
  if (!m_ds.blockEditingAllowed) return true;
  int row = -1;
  const LeaveCheck check = m_logic->CheckLeaveSample(&row);
  if (!check.Ok()) {
    if (check.event != 0) {
      if (TEventSoundSet* sounds = CurrentMessageContext().sounds) sounds->Play(check.event, true);
    }
    ShowError(check.message);
    if (row >= 0) {
      m_grid->GoTo(row, 0);
      m_grid->setFocus();
    } else if (check.event != 0) {
      m_note->setFocus();
    } else {
      m_grid->setFocus();
    }
    return false;
  }
  if (m_context.config) {
    RememberValue(History(*m_context.config, HistoryList::SampleNote), Sample().Note());
    RememberValue(History(*m_context.config, HistoryList::SampleEvent), Sample().Event());
  }
  m_new = false;
  return true;
}

void SampleWindow::GoPrevious() {
  if (m_position <= 1 || !Leave()) return;
  Show(m_position - 1);
}

void SampleWindow::GoNext() {
  if (m_position < Block().SampleCount()) {
    if (Leave()) Show(m_position + 1);
    return;
  }
  if (!m_ds.blockEditingAllowed) return;
  const std::string full = CheckNextSample(m_position);
  if (!full.empty()) {
    ShowError(full);
    return;
  }
  if (Leave()) Show(0);
}

void SampleWindow::accept() {
  if (Leave()) QDialog::accept();
}

void SampleWindow::reject() {
  // A new sample that got no point, with nothing in edit, goes again.
  const bool typed = m_grid->Editing() && !Trim(FromQ(m_grid->Entry()->text())).empty();
  if (m_logic && m_new && !typed && Sample().PointCount() == 0) {
    m_grid->CancelEdit();
    m_grid->SetLogic(nullptr);
    m_logic.reset();
    Block().DeleteSample(m_position);
    m_ds.SumUpBlockStats(m_block);
    m_position = 0;
    QDialog::reject();
    return;
  }
  if (Leave()) QDialog::reject();
}

}  // namespace

int EditSample(QWidget* parent, TDatasetSPC& ds, int block, int sample, const EditContext& context) {
  const TSPCBlock* b = ds.Block(block);
  if (!b) return 0;
  if (b->kind == DataKind::Attr) return EditAltSample(parent, ds, block, sample, context);
  // A new sample only while editing is allowed.
  if (!b->Sample(sample) && !ds.blockEditingAllowed) return 0;
  if (!b->Sample(sample)) sample = 0;
  SampleWindow window(parent, ds, block, context);
  if (!window.Show(sample)) return 0;
  window.exec();
  return window.Position();
}

}  // namespace mv::ui
