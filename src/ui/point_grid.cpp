#include "ui/point_grid.h"

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPalette>

#include <algorithm>

#include "core/event_sounds.h"
#include "core/messages.h"
#include "ui/ui_text.h"

namespace mv::ui {
namespace {

constexpr int kEntryMaxLength = 60;  // the typed-number rule keeps 30 of them

QString PlaceMark(TolerancePlace place) {
  switch (place) {
    case TolerancePlace::Below:
      return QStringLiteral("\u25BC ");
    case TolerancePlace::Above:
      return QStringLiteral("\u25B2 ");
    case TolerancePlace::Inside:
    case TolerancePlace::None:
      break;
  }
  return {};
}

}  // namespace

// --- the model ---

void PointModel::SetLogic(PointGridLogic* logic) {
  beginResetModel();
  m_logic = logic;
  m_rows = logic ? logic->Rows() : 0;
  endResetModel();
}

void PointModel::Refresh() {
  if (!m_logic) return;
  if (m_logic->Rows() != m_rows) {
    beginResetModel();
    m_rows = m_logic->Rows();
    endResetModel();
    return;
  }
  if (m_rows > 0 && columnCount() > 0) Q_EMIT dataChanged(index(0, 0), index(m_rows - 1, columnCount() - 1));
  Q_EMIT headerDataChanged(Qt::Vertical, 0, std::max(0, m_rows - 1));
}

int PointModel::rowCount(const QModelIndex& parent) const { return parent.isValid() || !m_logic ? 0 : m_rows; }

int PointModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() || !m_logic ? 0 : m_logic->Columns();
}

QVariant PointModel::data(const QModelIndex& index, int role) const {
  if (!m_logic || !index.isValid()) return {};
  const int row = index.row();
  const int column = index.column();
  const bool nextPoint = m_logic->IsNextPointRow(row);
  const EditingOptions& options = m_logic->Options();
  switch (role) {
    case Qt::DisplayRole: {
      QString text = ToQ(m_logic->CellText(row, column));
      if (!nextPoint && options.Has(editing_flag::kShowPosition)) text.prepend(PlaceMark(m_logic->Place(row, column)));
      return text;
    }
    case Qt::TextAlignmentRole:
      return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::ForegroundRole:
      if (nextPoint) return QBrush(QColor(0x90, 0x90, 0x90));
      if (m_logic->OutOfTolerance(row, column)) return QBrush(QColor(0xC0, 0x00, 0x00));
      return {};
    case Qt::BackgroundRole:
      if (!nextPoint && options.Has(editing_flag::kColourColumns) && row % 2 == 1) return QBrush(QColor(0xEE, 0xF3, 0xFA));
      return {};
    case Qt::ToolTipRole:
      return ToQ(m_logic->ParameterOf(column).ToleranceText());
    default:
      return {};
  }
}

QVariant PointModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (!m_logic || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  if (orientation == Qt::Horizontal) return ToQ(m_logic->Heading(section));
  return m_logic->IsNextPointRow(section) ? QStringLiteral("*") : QString::number(section + 1);
}

// --- the grid ---

PointGrid::PointGrid(QWidget* parent) : QTableView(parent), m_model(new PointModel(this)), m_entry(new QLineEdit(viewport())) {
  setObjectName(QStringLiteral("grdPoints"));
  setModel(m_model);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTabKeyNavigation(false);
  horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setMinimumSectionSize(70);
  verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
  m_entry->setObjectName(QStringLiteral("edtCell"));
  m_entry->setMaxLength(kEntryMaxLength);
  m_entry->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  m_entry->hide();
  m_entry->installEventFilter(this);
}

void PointGrid::SetLogic(PointGridLogic* logic) {
  m_editRow = m_editColumn = -1;
  m_entry->hide();
  m_logic = logic;
  m_model->SetLogic(logic);
  if (!logic) return;
  const EditingOptions& options = logic->Options();
  QFont font = QApplication::font();
  if (options.Has(editing_flag::kEnlargeFont)) font.setPointSizeF(font.pointSizeF() * 1.5);
  m_entry->setFont(font);
  m_entry->setStyleSheet(options.Has(editing_flag::kHighlight) ? QStringLiteral("QLineEdit { background: #FFF4B0; }")
                                                               : QString());
  // The parameter's own column width, or wider so that its heading shows whole.
  for (int c = 0; c < logic->Columns(); ++c) {
    const int heading = horizontalHeader()->sectionSizeHint(c);
    setColumnWidth(c, std::max(std::clamp<int>(logic->ParameterOf(c).pointsColumnWidth, 70, 300), heading));
  }
  GoTo(logic->Editable() ? logic->Sample().PointCount() : 0, 0);
}

void PointGrid::Refresh() {
  const QModelIndex current = currentIndex();
  const int row = current.row();
  const int column = current.column();
  m_model->Refresh();
  GoTo(row, column);
}

void PointGrid::GoTo(int row, int column) {
  if (m_model->rowCount() == 0 || m_model->columnCount() == 0) return;
  row = std::clamp(row, 0, m_model->rowCount() - 1);
  column = std::clamp(column, 0, m_model->columnCount() - 1);
  const QModelIndex index = m_model->index(row, column);
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  scrollTo(index);
}

void PointGrid::StartEdit(const QString& text, bool selectAll) {
  if (!m_logic || !m_logic->Editable() || !currentIndex().isValid()) return;
  m_editRow = currentIndex().row();
  m_editColumn = currentIndex().column();
  m_entry->setText(text);
  PlaceEntry();
  m_entry->show();
  m_entry->setFocus();
  if (selectAll) {
    m_entry->selectAll();
  } else {
    m_entry->end(false);
  }
}

void PointGrid::CancelEdit() {
  if (!Editing()) return;
  m_editRow = m_editColumn = -1;
  m_entry->hide();
  setFocus();
}

void PointGrid::PlaceEntry() {
  if (!Editing()) return;
  QRect cell = visualRect(m_model->index(m_editRow, m_editColumn));
  const int height = std::max(cell.height(), m_entry->sizeHint().height());
  cell.setTop(cell.center().y() - height / 2);
  cell.setHeight(height);
  m_entry->setGeometry(cell);
}

void PointGrid::Play(std::int16_t event) const {
  if (event == 0 || !m_logic || !m_logic->Options().Has(editing_flag::kSound)) return;
  if (TEventSoundSet* sounds = CurrentMessageContext().sounds) sounds->Play(event, true);
}

bool PointGrid::CommitEdit() {
  if (!Editing() || !m_logic) return true;
  const int row = m_editRow;
  const int column = m_editColumn;
  const ValueConfirmation r = m_logic->Confirm(row, column, FromQ(m_entry->text()));
  if (!r.Ok()) {
    Play(r.event);
    m_model->Refresh();
    ShowError(r.message);
    GoTo(row, column);
    PlaceEntry();
    m_entry->setFocus();
    return false;
  }
  m_editRow = m_editColumn = -1;
  m_entry->hide();
  if (r.stored) {
    m_logic->NoteEntered(row, column);
    Play(r.event);
  }
  m_model->Refresh();
  GoTo(row, column);
  if (QApplication::focusWidget() == m_entry || QApplication::focusWidget() == nullptr) setFocus();
  if (r.stored) Q_EMIT Changed();
  return true;
}

void PointGrid::Advance() {
  if (!m_logic || !currentIndex().isValid()) return;
  if (!CommitEdit()) return;
  const int row = currentIndex().row();
  const int column = currentIndex().column();
  if (m_logic->IsNextPointRow(row)) {
    // Enter in the row of the next point takes the point with its default values.
    if (!m_logic->Editable()) return;
    const std::string refusal = m_logic->AddPoint();
    if (!refusal.empty()) {
      ShowError(refusal);
      setFocus();
      return;
    }
    m_logic->NoteEntered(row, column);
    m_model->Refresh();
    Q_EMIT Changed();
  }
  const auto [nextRow, nextColumn] = m_logic->NextCell(row, column);
  if (nextRow != row) {
    const std::string refusal = m_logic->CheckLeave(row);
    if (!refusal.empty()) {
      ShowError(refusal);
      GoTo(row, column);
      setFocus();
      return;
    }
    if (nextRow >= m_model->rowCount()) return;  // read-only: the last point
  }
  GoTo(nextRow, nextColumn);
}

void PointGrid::ClearCurrent() {
  if (!m_logic || !m_logic->Editable() || !currentIndex().isValid()) return;
  const int row = currentIndex().row();
  if (m_logic->IsNextPointRow(row)) return;
  m_editRow = row;
  m_editColumn = currentIndex().column();
  m_entry->clear();
  CommitEdit();
}

void PointGrid::DeleteSelectedPoints() {
  if (!m_logic || !m_logic->Editable()) return;
  int first = currentIndex().row();
  int last = first;
  for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
    first = std::min(first, index.row());
    last = std::max(last, index.row());
  }
  last = std::min(last, m_logic->Sample().PointCount() - 1);
  if (first < 0 || first > last) return;
  if (!m_logic->DeletePoints(first, last)) return;
  const int column = std::max(0, currentIndex().column());
  m_model->Refresh();
  GoTo(first, column);
  Q_EMIT Changed();
}

bool PointGrid::event(QEvent* e) {
  // Tab confirms and moves on inside the grid, as Enter does; Ctrl+Tab leaves the grid.
  if (e->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(e);
    if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::NoModifier) {
      Advance();
      return true;
    }
    if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::ControlModifier) {
      focusNextChild();
      return true;
    }
  }
  return QTableView::event(e);
}

void PointGrid::keyPressEvent(QKeyEvent* e) {
  if (Editing()) {
    // Keys sent to the grid while a cell is in edit belong to its entry field; what the field
    // leaves comes back up here and goes on to the window.
    if (m_forwarding) {
      e->ignore();
      return;
    }
    m_forwarding = true;
    QApplication::sendEvent(m_entry, e);
    m_forwarding = false;
    return;
  }
  switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Advance();
      return;
    case Qt::Key_Delete:
      if (e->modifiers() & Qt::ControlModifier) {
        DeleteSelectedPoints();
      } else {
        ClearCurrent();
      }
      return;
    case Qt::Key_F2:
      if (m_logic && currentIndex().isValid()) {
        StartEdit(ToQ(m_logic->CellText(currentIndex().row(), currentIndex().column())), true);
      }
      return;
    case Qt::Key_Escape:
      e->ignore();  // the window's
      return;
    default:
      break;
  }
  const QString text = e->text();
  if (!text.isEmpty() && text.at(0).isPrint() && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    StartEdit(text);
    return;
  }
  QTableView::keyPressEvent(e);
}

bool PointGrid::eventFilter(QObject* watched, QEvent* e) {
  if (watched == m_entry && e->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(e);
    switch (key->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
        Advance();
        return true;
      case Qt::Key_Tab:
        if (key->modifiers() == Qt::NoModifier) {
          Advance();
          return true;
        }
        break;
      case Qt::Key_Escape:
        CancelEdit();
        return true;
      case Qt::Key_Up:
      case Qt::Key_Down: {
        const int row = m_editRow;
        const int column = m_editColumn;
        if (CommitEdit()) GoTo(row + (key->key() == Qt::Key_Up ? -1 : 1), column);
        return true;
      }
      default:
        break;
    }
  }
  return QTableView::eventFilter(watched, e);
}

void PointGrid::mousePressEvent(QMouseEvent* e) {
  // Another cell is taken only once the value in edit is.
  if (Editing() && !CommitEdit()) return;
  QTableView::mousePressEvent(e);
}

void PointGrid::mouseDoubleClickEvent(QMouseEvent* e) {
  QTableView::mouseDoubleClickEvent(e);
  if (!m_logic || !currentIndex().isValid() || Editing()) return;
  StartEdit(ToQ(m_logic->CellText(currentIndex().row(), currentIndex().column())), true);
}

void PointGrid::scrollContentsBy(int dx, int dy) {
  QTableView::scrollContentsBy(dx, dy);
  PlaceEntry();
}

void PointGrid::updateGeometries() {
  QTableView::updateGeometries();
  PlaceEntry();
}

}  // namespace mv::ui
