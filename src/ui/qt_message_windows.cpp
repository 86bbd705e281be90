#include "ui/qt_message_windows.h"

#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QGridLayout>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QTimer>

#include <array>
#include <vector>

namespace mv::ui {
namespace {

using platform::MsgKind;
using platform::MsgResult;

QMessageBox::Icon IconOf(MsgKind kind) {
  switch (kind) {
    case MsgKind::Error: return QMessageBox::Critical;
    case MsgKind::Question: return QMessageBox::Question;
    case MsgKind::Warning: return QMessageBox::Warning;
    case MsgKind::Info:
    case MsgKind::Debug: break;
  }
  return QMessageBox::Information;
}

QString CountdownText(int remaining) {
  // "The window will close in N s"; the leading blanks are part of the system's text.
  return QStringLiteral("      Окно будет закрыто через %1 сек").arg(remaining);
}

// QGridLayout cannot insert a row: move every item at or below `row` one row down, then put
// the widget into the freed row.
void InsertGridRow(QGridLayout& grid, int row, QWidget* widget, int column, int columnSpan) {
  struct Placed {
    QLayoutItem* item;
    int row, column, rowSpan, columnSpan;
  };
  std::vector<Placed> moved;
  for (int i = grid.count() - 1; i >= 0; --i) {
    Placed p{nullptr, 0, 0, 0, 0};
    grid.getItemPosition(i, &p.row, &p.column, &p.rowSpan, &p.columnSpan);
    if (p.row < row) continue;
    p.item = grid.takeAt(i);
    moved.push_back(p);
  }
  for (const Placed& p : moved) {
    grid.addItem(p.item, p.row + 1, p.column, p.rowSpan, p.columnSpan, p.item->alignment());
  }
  grid.addWidget(widget, row, column, 1, columnSpan, Qt::AlignLeft);
}

}  // namespace

bool QtMessageWindows::Show(platform::TMsgWinParams& request) {
  QMessageBox box(QApplication::activeWindow());
  box.setWindowTitle(QString::fromStdString(request.caption));
  box.setIcon(IconOf(request.kind));
  // Message texts quote file contents and user input: never let them be read as HTML.
  box.setTextFormat(Qt::PlainText);
  const QString text = QString::fromStdString(request.text);
  box.setText(text);

  QPushButton* okButton = nullptr;
  if (request.kind == MsgKind::Question) {
    okButton = box.addButton(QMessageBox::Yes);
    okButton->setText(QStringLiteral("Да"));
    QPushButton* noButton = box.addButton(QMessageBox::No);
    noButton->setText(QStringLiteral("Нет"));
    box.setDefaultButton(okButton);
    box.setEscapeButton(noButton);
  } else {
    okButton = box.addButton(QMessageBox::Ok);
    box.setDefaultButton(okButton);
  }

  if (request.background != 0) {
    const auto rgb = static_cast<QRgb>(request.background & 0xFFFFFFu);
    QPalette palette = box.palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(rgb));
    box.setPalette(palette);
    box.setAutoFillBackground(true);
  }

  if (!request.details.empty()) box.setDetailedText(QString::fromStdString(request.details));

  // QMessageBox has room for one check box of its own; a second one goes into its grid right
  // below it. The box rebuilds that grid whenever its icon, check box, details or informative
  // text change, so the second one is placed after all of them and the countdown below changes
  // only the main text.
  std::array<QCheckBox*, 2> checks{};
  for (std::size_t i = 0; i < checks.size(); ++i) {
    if (!request.checks[i].shown) continue;
    checks[i] = new QCheckBox(QString::fromStdString(request.checks[i].caption), &box);
    checks[i]->setChecked(request.checks[i].state);
  }
  QCheckBox* first = checks[0] ? checks[0] : checks[1];
  QCheckBox* second = checks[0] ? checks[1] : nullptr;
  if (first) box.setCheckBox(first);
  if (second) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    const int index = grid ? grid->indexOf(first) : -1;
    if (index >= 0) {
      int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
      grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
      InsertGridRow(*grid, row + rowSpan, second, column, columnSpan);
    } else {
      // A Qt whose message box is laid out differently: the second box is left out rather
      // than drawn over something else; its state comes back unchanged.
      second->hide();
    }
  }

  bool timedOut = false;
  int remaining = request.timeout;
  const auto showRemaining = [&box, &text, &remaining] {
    if (remaining <= kCountdownVisibleSeconds) {
      box.setText(text + QStringLiteral("\n\n") + CountdownText(remaining));
    }
  };
  if (request.timeout > 0) {
    showRemaining();
    auto* countdown = new QTimer(&box);
    countdown->setInterval(1000);
    QObject::connect(countdown, &QTimer::timeout, &box, [&] {
      if (--remaining > 0) {
        showRemaining();
        return;
      }
      timedOut = true;
      box.done(QDialog::Rejected);
    });
    countdown->start();
  }

  box.exec();

  for (std::size_t i = 0; i < checks.size(); ++i) {
    if (checks[i]) request.checks[i].state = checks[i]->isChecked();
  }
  if (timedOut) {
    request.result = MsgResult::TimedOut;
    return false;
  }
  const bool confirmed = box.clickedButton() == okButton;
  request.result = confirmed ? MsgResult::Ok : MsgResult::Cancelled;
  return confirmed;
}

}  // namespace mv::ui
