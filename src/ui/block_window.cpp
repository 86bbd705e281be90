#include "ui/block_window.h"

#include <algorithm>

#include <QAbstractTableModel>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "ui/editor_fields.h"
#include "ui/gauge_windows.h"
#include "ui/sample_window.h"
#include "ui/ui_text.h"

namespace mv::ui {

// The rows of the logic; inactive samples in the disabled text colour.
class BlockSampleModel final : public QAbstractTableModel {
 public:
  BlockSampleModel(BlockWindowLogic& logic, QObject* parent) : QAbstractTableModel(parent), m_logic(logic) {}

  int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : m_logic.RowCount(); }
  int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : m_logic.ColumnCount(); }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole) return ToQ(m_logic.CellText(index.row(), index.column()));
    if (role == Qt::TextAlignmentRole && index.column() < 3) {
      return static_cast<int>(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role == Qt::ForegroundRole && !m_logic.RowActive(index.row())) {
      return QApplication::palette().color(QPalette::Disabled, QPalette::Text);
    }
    return {};
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    const std::vector<std::string> titles = m_logic.ColumnTitles();
    return section >= 0 && section < static_cast<int>(titles.size()) ? ToQ(titles[static_cast<std::size_t>(section)])
                                                                     : QVariant();
  }
  void Reload() {
    beginResetModel();
    m_logic.ReadOptions();
    endResetModel();
  }

 private:
  BlockWindowLogic& m_logic;
};

namespace {

QPushButton* CommandButton(const char* name, const QString& text) {
  auto* button = new QPushButton(text);
  button->setObjectName(QLatin1String(name));
  button->setAutoDefault(false);  // Enter belongs to the list
  return button;
}

QCheckBox* Check(const char* name, const QString& text, bool on) {
  auto* box = new QCheckBox(text);
  box->setObjectName(QLatin1String(name));
  box->setChecked(on);
  return box;
}

QRadioButton* Radio(const char* name, const QString& text, bool on) {
  auto* button = new QRadioButton(text);
  button->setObjectName(QLatin1String(name));
  button->setChecked(on);
  return button;
}

QLabel* Description(const std::string& text) {
  auto* label = new QLabel(LinesToQ(text));
  label->setObjectName(QStringLiteral("lblDescription"));
  QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  label->setFont(mono);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

}  // namespace

// ---- the block window ----

BlockWindow::BlockWindow(TDatasetSPC& ds, int position, const EditContext& context, QWidget* parent)
    : QDialog(parent), m_logic(ds, position), m_context(context) {
  setObjectName(QStringLiteral("frmBlock"));
  setWindowTitle(ToQ(m_logic.Title()));
  editSample = EditSample;

  m_model = new BlockSampleModel(m_logic, this);
  m_table = new QTableView;
  m_table->setObjectName(QStringLiteral("tblSamples"));
  m_table->setModel(m_model);
  m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_table->setSelectionMode(QAbstractItemView::ContiguousSelection);
  m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_table->setTabKeyNavigation(false);
  m_table->setWordWrap(false);
  m_table->verticalHeader()->hide();
  m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
  m_table->verticalHeader()->setResizeContentsPrecision(50);  // widths from the first rows
  m_table->horizontalHeader()->setStretchLastSection(true);
  m_table->installEventFilter(this);
  connect(m_table, &QTableView::doubleClicked, this, [this] { OpenSample(); });
  connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { ShowState(); });

  m_caption = new QLabel;
  m_caption->setObjectName(QStringLiteral("lblCaption"));
  m_caption->setBuddy(m_table);
  m_switch = new QLabel;
  m_switch->setObjectName(QStringLiteral("lblEditSwitch"));
  m_status = new QLabel;
  m_status->setObjectName(QStringLiteral("lblStatus"));

  m_add = CommandButton("btnAdd", QStringLiteral("&Добавить"));
  m_open = CommandButton("btnOpen", QStringLiteral("&Открыть"));
  m_delete = CommandButton("btnDelete", QStringLiteral("&Удалить"));
  m_up = CommandButton("btnUp", QStringLiteral("Ввер&х"));
  m_down = CommandButton("btnDown", QStringLiteral("Вн&из"));
  m_separate = CommandButton("btnSeparate", QStringLiteral("&Разделить..."));
  m_merge = CommandButton("btnMerge", QStringLiteral("Объ&единить..."));
  m_settings = CommandButton("btnSettings", QStringLiteral("&Настройки редактирования данных..."));
  auto* close = CommandButton("btnClose", QStringLiteral("&Закрыть"));
  m_add->setToolTip(QStringLiteral("Insert"));
  m_open->setToolTip(QStringLiteral("Enter"));
  m_delete->setToolTip(QStringLiteral("Delete"));
  m_up->setToolTip(QStringLiteral("Ctrl+Up"));
  m_down->setToolTip(QStringLiteral("Ctrl+Down"));
  connect(m_add, &QPushButton::clicked, this, &BlockWindow::AddSample);
  connect(m_open, &QPushButton::clicked, this, &BlockWindow::OpenSample);
  connect(m_delete, &QPushButton::clicked, this, &BlockWindow::DeleteSelection);
  connect(m_up, &QPushButton::clicked, this, &BlockWindow::MoveUp);
  connect(m_down, &QPushButton::clicked, this, &BlockWindow::MoveDown);
  connect(m_separate, &QPushButton::clicked, this, &BlockWindow::SeparateCurrent);
  connect(m_merge, &QPushButton::clicked, this, &BlockWindow::MergeSelection);
  connect(m_settings, &QPushButton::clicked, this, &BlockWindow::EditSettings);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  if (m_context.saveDataset) {
    auto* save = new QShortcut(QKeySequence::Save, this);
    connect(save, &QShortcut::activated, this, [this] { m_context.saveDataset(); });
  }

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_switch);
  auto* middle = new QHBoxLayout;
  auto* list = new QVBoxLayout;
  list->addWidget(m_caption);
  list->addWidget(m_table, 1);
  list->addWidget(m_status);
  middle->addLayout(list, 1);
  auto* commands = new QVBoxLayout;
  for (QPushButton* b : {m_add, m_open, m_delete, m_up, m_down, m_separate, m_merge}) commands->addWidget(b);
  commands->addSpacing(12);
  commands->addWidget(m_settings);
  commands->addStretch(1);
  commands->addWidget(close);
  middle->addLayout(commands);
  layout->addLayout(middle, 1);
  setTabOrder(m_table, m_add);

  m_logic.Opened();
  const int count = m_logic.RowCount();
  Reload(count > 0 ? SelectedSamples{1, 1} : SelectedSamples{});
  resize(900, 560);
  m_table->setFocus();
}

BlockWindow::~BlockWindow() {
  if (!m_closed) m_logic.Closed();  // a window that goes without being closed still logs its end
}

SelectedSamples BlockWindow::Selection() const {
  std::vector<int> rows;
  for (const QModelIndex& index : m_table->selectionModel()->selectedRows()) rows.push_back(index.row());
  return RangeOfRows(rows, m_logic.RowCount());
}

void BlockWindow::Select(SelectedSamples range) {
  QItemSelectionModel* selection = m_table->selectionModel();
  const int count = m_logic.RowCount();
  if (range.Empty() || count == 0) {
    selection->clearSelection();
    ShowState();
    return;
  }
  const int first = std::min(range.first, count) - 1;
  const int last = std::min(range.last, count) - 1;
  const QModelIndex current = m_model->index(first, 0);
  selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
  selection->select(QItemSelection(current, m_model->index(last, m_model->columnCount({}) - 1)),
                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  m_table->scrollTo(current);
  ShowState();
}

void BlockWindow::Reload(SelectedSamples select) {
  const int columns = m_model->columnCount({});
  m_model->Reload();
  // The widths fit the contents when the columns came or changed; then they are the user's.
  if (!m_sized || columns != m_model->columnCount({})) {
    m_sized = true;
    // The values' columns get a width of their own: laying out their long texts to measure
    // them would cost more than the rest of the window.
    const int valueWidth = m_table->fontMetrics().horizontalAdvance(QStringLiteral("0000.000; ")) * 3;
    for (int c = 0; c < m_model->columnCount({}); ++c) {
      if (c < BlockWindowLogic::kFixedColumns) {
        m_table->resizeColumnToContents(c);
        m_table->setColumnWidth(c, std::min(std::max(m_table->columnWidth(c), 40), 320));
      } else {
        m_table->setColumnWidth(c, valueWidth);
      }
    }
  }
  Select(select);
}

void BlockWindow::ShowState() {
  setWindowTitle(ToQ(m_logic.Title()));
  m_caption->setText(QStringLiteral("&") + ToQ(m_logic.Caption()));
  m_switch->setText(ToQ(m_logic.SwitchText()));
  m_status->setText(ToQ(m_logic.StatusText()));
  const SelectedSamples s = Selection();
  using C = BlockWindowLogic::Command;
  const std::pair<QPushButton*, C> commands[] = {{m_add, C::Add},         {m_open, C::Open},   {m_delete, C::Delete},
                                                 {m_up, C::Up},           {m_down, C::Down},   {m_separate, C::Separate},
                                                 {m_merge, C::Merge},     {m_settings, C::Settings}};
  for (const auto& [button, command] : commands) button->setEnabled(m_logic.Enabled(command, s));
}

void BlockWindow::AddSample() {
  if (!m_logic.Enabled(BlockWindowLogic::Command::Add, Selection())) return;
  if (!m_logic.CheckAdd().empty()) return;
  const int shown = editSample(this, m_logic.Dataset(), m_logic.Position(), 0, m_context);
  m_logic.SampleEdited();
  Reload(shown > 0 ? SelectedSamples{shown, shown} : SelectedSamples{m_logic.RowCount(), m_logic.RowCount()});
}

void BlockWindow::OpenSample() {
  const SelectedSamples s = Selection();
  if (!m_logic.Enabled(BlockWindowLogic::Command::Open, s)) return;
  const int shown = editSample(this, m_logic.Dataset(), m_logic.Position(), s.first, m_context);
  m_logic.SampleEdited();
  Reload(shown > 0 ? SelectedSamples{shown, shown} : s);
}

void BlockWindow::DeleteSelection() {
  const SelectedSamples s = Selection();
  if (!m_logic.Enabled(BlockWindowLogic::Command::Delete, s)) return;
  if (m_logic.Delete(s)) Reload({s.first, s.first});
}

void BlockWindow::MoveUp() {
  const int moved = m_logic.MoveUp(Selection());
  if (moved > 0) Reload({moved, moved});
}

void BlockWindow::MoveDown() {
  const int moved = m_logic.MoveDown(Selection());
  if (moved > 0) Reload({moved, moved});
}

void BlockWindow::SeparateCurrent() {
  const SelectedSamples s = Selection();
  if (!m_logic.Enabled(BlockWindowLogic::Command::Separate, s)) return;
  const int position = s.first;
  SeparationDialog dialog(
      m_logic.SeparationFormOf(position),
      [this, position](const SeparationForm& form) { return m_logic.Separate(position, form); }, this);
  if (dialog.exec() == QDialog::Accepted) Reload({position, position});
}

void BlockWindow::MergeSelection() {
  const SelectedSamples s = Selection();
  if (!m_logic.Enabled(BlockWindowLogic::Command::Merge, s)) return;
  const SelectedSamples range = m_logic.MergeRangeOf(s);
  MergingDialog dialog(
      m_logic.MergingFormOf(range), [this, range](const MergingForm& form) { return m_logic.Merge(range, form); },
      this);
  dialog.exec();
  Reload({range.first, range.first});  // a merge by groups may have changed the block and then stopped
}

void BlockWindow::EditSettings() {
  EditingSettingsDialog dialog(m_logic, m_context, this);
  if (dialog.exec() == QDialog::Accepted) Reload(Selection());
}

void BlockWindow::done(int result) {
  if (!m_closed) {
    m_closed = true;
    m_logic.Closed();
  }
  QDialog::done(result);
}

bool BlockWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_table && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier) {
      switch (key->key()) {
        case Qt::Key_Insert: AddSample(); return true;
        case Qt::Key_Return:
        case Qt::Key_Enter: OpenSample(); return true;
        case Qt::Key_Delete: DeleteSelection(); return true;
        default: break;
      }
    } else if (mods == Qt::ControlModifier) {
      if (key->key() == Qt::Key_Up) {
        MoveUp();
        return true;
      }
      if (key->key() == Qt::Key_Down) {
        MoveDown();
        return true;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

void OpenBlockWindow(QWidget* parent, TDatasetSPC& ds, int position, const EditContext& context) {
  if (!ds.Block(position)) return;
  BlockWindow window(ds, position, context, parent);
  window.exec();
}

// ---- separation ----

SeparationDialog::SeparationDialog(const SeparationForm& form, std::function<bool(const SeparationForm&)> separate,
                                   QWidget* parent)
    : QDialog(parent), m_form(form), m_separate(std::move(separate)) {
  setObjectName(QStringLiteral("dlgSeparation"));
  setWindowTitle(ToQ(form.caption));
  m_size = new QLineEdit(ToQ(form.sizeText));
  m_size->setObjectName(QStringLiteral("edtSize"));
  m_size->setMaxLength(10);
  auto* sizeLabel = new QLabel(QStringLiteral("&Объем новых выборок:"));
  sizeLabel->setBuddy(m_size);
  m_copyNote = Check("chkCopyNote", QStringLiteral("&Копировать примечание в новые выборки из разделяемой"), form.copyNote);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Description(form.text));
  auto* size = new QHBoxLayout;
  size->addWidget(sizeLabel);
  size->addWidget(m_size);
  size->addStretch(1);
  layout->addLayout(size);
  layout->addWidget(m_copyNote);
  layout->addWidget(EditorButtons(this));
  m_size->setFocus();
  m_size->selectAll();
}

void SeparationDialog::accept() {
  m_form.sizeText = FromQ(m_size->text());
  m_form.copyNote = m_copyNote->isChecked();
  if (m_separate(m_form)) {
    QDialog::accept();
    return;
  }
  m_size->setFocus();
  m_size->selectAll();
}

// ---- merging ----

MergingDialog::MergingDialog(const MergingForm& form, std::function<bool(const MergingForm&)> merge, QWidget* parent)
    : QDialog(parent), m_form(form), m_merge(std::move(merge)) {
  setObjectName(QStringLiteral("dlgMerging"));
  setWindowTitle(QStringLiteral("Объединение выборок"));
  m_all = Radio("rbAll", QStringLiteral("Объединить &все выборки в одну"), form.mode == MergeMode::All);
  m_byN = Radio("rbByN", QStringLiteral("Объединить &по"), form.mode == MergeMode::ByN);
  m_dates = Radio("rbDates", QStringLiteral("Объединить выборки с одинаковыми &датами"),
                  form.mode == MergeMode::EqualDates);
  m_dates->setEnabled(form.datesOffered);
  auto* modes = new QButtonGroup(this);
  for (QRadioButton* b : {m_all, m_byN, m_dates}) modes->addButton(b);
  m_n = new QLineEdit(ToQ(form.nText));
  m_n->setObjectName(QStringLiteral("edtN"));
  m_n->setMaxLength(5);
  m_n->setMaximumWidth(m_n->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
  m_equalNotes = Check("chkEqualNotes", QStringLiteral("и одинаковыми п&римечаниями"), form.equalNotes);
  m_keepNotes = Check("chkKeepNotes", QStringLiteral("&Сохранять примечания объединяемых выборок"), form.keepNotes);
  for (QRadioButton* b : {m_all, m_byN, m_dates}) connect(b, &QRadioButton::toggled, this, [this] { ShowState(); });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Description(form.text));
  auto* group = new QGroupBox;
  auto* g = new QVBoxLayout(group);
  g->addWidget(m_all);
  auto* byN = new QHBoxLayout;
  byN->addWidget(m_byN);
  byN->addWidget(m_n);
  byN->addWidget(new QLabel(QStringLiteral("выборок")));
  byN->addStretch(1);
  g->addLayout(byN);
  g->addWidget(m_dates);
  auto* notes = new QHBoxLayout;
  notes->addSpacing(24);
  notes->addWidget(m_equalNotes);
  g->addLayout(notes);
  layout->addWidget(group);
  layout->addWidget(m_keepNotes);
  layout->addWidget(EditorButtons(this));
  ShowState();
}

void MergingDialog::ShowState() {
  m_n->setEnabled(m_byN->isChecked());
  m_equalNotes->setEnabled(m_dates->isChecked());
}

void MergingDialog::accept() {
  m_form.mode = m_byN->isChecked() ? MergeMode::ByN : m_dates->isChecked() ? MergeMode::EqualDates : MergeMode::All;
  m_form.nText = FromQ(m_n->text());
  m_form.equalNotes = m_equalNotes->isChecked();
  m_form.keepNotes = m_keepNotes->isChecked();
  if (m_merge(m_form)) {
    QDialog::accept();
  } else if (m_form.mode == MergeMode::ByN && !BlockWindowLogic::MergeCountValid(m_form.nText)) {
    m_n->setFocus();  // the count is the form's to mend
    m_n->selectAll();
  } else {
    QDialog::reject();  // refused or declined as a whole
  }
}

// ---- the editing settings ----

EditingSettingsDialog::EditingSettingsDialog(BlockWindowLogic& logic, const EditContext& context, QWidget* parent)
    : QDialog(parent), m_logic(logic), m_settings(logic.Settings()) {
  setObjectName(QStringLiteral("dlgEditingSettings"));
  setWindowTitle(QStringLiteral("Настройки редактирования данных"));
  m_pages = new QTabWidget;
  m_pages->setObjectName(QStringLiteral("tabPages"));
  m_pages->addTab(BlockPage(), QStringLiteral(" Блок "));
  m_pages->addTab(SamplePage(), QStringLiteral(" Выборка "));
  if (logic.Quantitative()) {
    m_pages->addTab(PointPage(), QStringLiteral(" Замер "));
    if (context.profiles && context.gages) {
      auto* profiles = new ProfileListPage(*context.profiles, *context.gages);
      profiles->setObjectName(QStringLiteral("pgProfiles"));
      m_pages->addTab(profiles, QStringLiteral(" Профили ввода "));
    }
  }
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pages, 1);
  layout->addWidget(EditorButtons(this));
}

QWidget* EditingSettingsDialog::BlockPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("pgBlock"));
  auto* layout = new QVBoxLayout(page);
  auto* values = Check("chkShowValues", QStringLiteral("Показывать &значения параметов в списке выборок"),
                       m_settings.editing.showValues);
  connect(values, &QCheckBox::toggled, this, [this](bool on) { m_settings.editing.showValues = on; });
  layout->addWidget(values);

  auto* separation = new QGroupBox(QStringLiteral("Разделение выборок"));
  auto* s = new QFormLayout(separation);
  m_size = new QLineEdit(ToQ(m_settings.separationSizeText));
  m_size->setObjectName(QStringLiteral("edtSeparationSize"));
  m_size->setMaxLength(5);
  auto* sizeLabel = new QLabel(QStringLiteral("&Объем новых выборок:"));
  sizeLabel->setBuddy(m_size);
  s->addRow(sizeLabel, m_size);
  auto* copyNote = Check("chkCopyNote", QStringLiteral("&Копировать примечание в новые выборки из разделяемой"),
                         m_settings.separation.CopyNote());
  connect(copyNote, &QCheckBox::toggled, this, [this](bool on) {
    m_settings.separation.flags = static_cast<std::uint16_t>(on ? m_settings.separation.flags | separation_flag::kCopyNote
                                                                : m_settings.separation.flags & ~separation_flag::kCopyNote);
  });
  s->addRow(copyNote);
  layout->addWidget(separation);

  auto* merging = new QGroupBox(QStringLiteral("Объединение выборок"));
  auto* m = new QFormLayout(merging);
  m_n = new QLineEdit(ToQ(m_settings.mergeNText));
  m_n->setObjectName(QStringLiteral("edtMergeN"));
  m_n->setMaxLength(5);
  auto* nLabel = new QLabel(QStringLiteral("Объединять &по (выборок):"));
  nLabel->setBuddy(m_n);
  m->addRow(nLabel, m_n);
  auto* keepNotes = Check("chkKeepNotes", QStringLiteral("&Сохранять примечания объединяемых выборок"),
                          m_settings.merging.KeepNotes());
  connect(keepNotes, &QCheckBox::toggled, this, [this](bool on) {
    m_settings.merging.flags = static_cast<std::uint16_t>(on ? m_settings.merging.flags | merge_flag::kKeepNotes
                                                             : m_settings.merging.flags & ~merge_flag::kKeepNotes);
  });
  m->addRow(keepNotes);
  layout->addWidget(merging);
  layout->addStretch(1);
  return page;
}

QWidget* EditingSettingsDialog::SamplePage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("pgSample"));
  auto* layout = new QVBoxLayout(page);
  auto* date = new QGroupBox(QStringLiteral("Дата новой выборки"));
  auto* d = new QVBoxLayout(date);
  auto* previous = Radio("rbPreviousDate", QStringLiteral("Дата &предыдущей выборки"), m_settings.editing.newSampleDate == 0);
  auto* next = Radio("rbNextDate", QStringLiteral("Дата, следующая за &датой предыдущей выборки"),
                     m_settings.editing.newSampleDate != 0);
  connect(next, &QRadioButton::toggled, this, [this](bool on) { m_settings.editing.newSampleDate = on ? 1 : 0; });
  d->addWidget(previous);
  d->addWidget(next);
  layout->addWidget(date);
  auto* colours = Check("chkColourColumns", QStringLiteral("Разделять &цветом столбцы разных замеров"),
                        m_settings.editing.Has(editing_flag::kColourColumns));
  connect(colours, &QCheckBox::toggled, this, [this](bool on) {
    m_settings.editing.flags = static_cast<std::uint16_t>(on ? m_settings.editing.flags | editing_flag::kColourColumns
                                                             : m_settings.editing.flags & ~editing_flag::kColourColumns);
  });
  layout->addWidget(colours);
  layout->addStretch(1);
  return page;
}

QWidget* EditingSettingsDialog::PointPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("pgPoint"));
  auto* layout = new QVBoxLayout(page);
  auto* start = new QGroupBox(QStringLiteral("Ввод нового замера начинать с"));
  auto* st = new QVBoxLayout(start);
  auto* first = Radio("rbFirstParameter", QStringLiteral("Пе&рвый параметр в списке"), m_settings.editing.entryStart == 0);
  auto* last = Radio("rbLastParameter", QStringLiteral("Последний редак&тированный параметр"),
                     m_settings.editing.entryStart != 0);
  connect(last, &QRadioButton::toggled, this, [this](bool on) { m_settings.editing.entryStart = on ? 1 : 0; });
  st->addWidget(first);
  st->addWidget(last);
  layout->addWidget(start);
  const struct {
    const char* name;
    const char* text;
    std::uint16_t flag;
  } flags[] = {
      {"chkSound", "Звуковое сопро&вождение ввода", editing_flag::kSound},
      {"chkShowPosition", "Показывать поло&жение введенного значения относительно допуска на параметр ",
       editing_flag::kShowPosition},
      {"chkHighlight", "Выделение цвето&м", editing_flag::kHighlight},
      {"chkEnlargeFont", "Увеличение размера &шрифта", editing_flag::kEnlargeFont},
  };
  for (const auto& f : flags) {
    auto* box = Check(f.name, QString::fromUtf8(f.text), m_settings.editing.Has(f.flag));
    const std::uint16_t flag = f.flag;
    connect(box, &QCheckBox::toggled, this, [this, flag](bool on) {
      m_settings.editing.flags =
          static_cast<std::uint16_t>(on ? m_settings.editing.flags | flag : m_settings.editing.flags & ~flag);
    });
    layout->addWidget(box);
  }
  layout->addStretch(1);
  return page;
}

void EditingSettingsDialog::accept() {
  m_settings.separationSizeText = FromQ(m_size->text());
  m_settings.mergeNText = FromQ(m_n->text());
  if (m_logic.StoreSettings(m_settings)) {
    QDialog::accept();
    return;
  }
  m_pages->setCurrentIndex(0);
}

}  // namespace mv::ui
