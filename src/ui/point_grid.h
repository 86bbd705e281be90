#pragma once
// The point grid of the sample window: one row per point (and the row of the next point), one
// column per quantitative parameter, over a PointGridLogic. Typing in a cell opens its entry
// field; Enter and Tab confirm and move on, Escape reverts, Delete clears a value, Ctrl+Delete
// deletes the selected points.

#include <QAbstractTableModel>
#include <QTableView>

#include <cstdint>

#include "app/sample_window_logic.h"

class QLineEdit;

namespace mv::ui {

class PointModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit PointModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}
  void SetLogic(PointGridLogic* logic);
  // The cells changed; a changed number of rows resets the model.
  void Refresh();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  PointGridLogic* m_logic = nullptr;
  int m_rows = 0;
};

class PointGrid final : public QTableView {
  Q_OBJECT

 public:
  explicit PointGrid(QWidget* parent = nullptr);
  // The sample's grid (nullptr: none); the cursor goes to the first cell of the next point.
  void SetLogic(PointGridLogic* logic);
  PointGridLogic* Logic() const { return m_logic; }

  bool Editing() const { return m_editRow >= 0; }
  QLineEdit* Entry() const { return m_entry; }
  // Confirms what the entry field holds: true when nothing is in edit or the value was taken;
  // a refusal is shown and the entry stays open with the text as typed.
  bool CommitEdit();
  // Reverts the cell being edited.
  void CancelEdit();
  // The cell as typed (starts the entry field with `text`).
  void StartEdit(const QString& text, bool selectAll = false);
  void GoTo(int row, int column);
  void Refresh();

 Q_SIGNALS:
  // Something was stored: the window renews its title and fields.
  void Changed();

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void updateGeometries() override;

 private:
  void PlaceEntry();
  // Enter or Tab: confirm, then the next cell (the point is left only when its checks allow).
  void Advance();
  void ClearCurrent();
  void DeleteSelectedPoints();
  void Play(std::int16_t event) const;

  PointGridLogic* m_logic = nullptr;
  PointModel* m_model;
  QLineEdit* m_entry;
  int m_editRow = -1;
  int m_editColumn = -1;
  bool m_forwarding = false;
};

}  // namespace mv::ui
