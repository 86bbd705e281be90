#include "ui/qt_progress.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>

#include <algorithm>

namespace mv::ui {

QtProgress::QtProgress() = default;

QtProgress::~QtProgress() { End(); }

void QtProgress::Begin(std::string_view title, int steps) {
  End();
  const QString text = QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
  auto* dialog = new QProgressDialog(QApplication::activeWindow());
  dialog->setWindowModality(Qt::ApplicationModal);
  dialog->setWindowTitle(text);
  dialog->setLabelText(text);
  // Our own button, so its text does not depend on Qt's translations.
  auto* cancel = new QPushButton(QStringLiteral("Прервать"), dialog);  // "Abort"
  cancel->setObjectName(QStringLiteral("btnAbort"));
  dialog->setCancelButton(cancel);
  // The window stays at the full bar until End: the work may still have a tail to do.
  dialog->setAutoReset(false);
  dialog->setAutoClose(false);
  dialog->setRange(0, std::max(steps, 0));
  dialog->setMinimumDuration(kProgressShowDelayMs);
  // The button and the window's close button end in canceled(), the escape key in rejected().
  QObject::connect(dialog, &QProgressDialog::canceled, dialog, [this] { m_aborted = true; });
  QObject::connect(dialog, &QDialog::rejected, dialog, [this] { m_aborted = true; });
  dialog->setValue(0);  // starts the delay before the window appears

  m_dialog = dialog;
  m_value = 0;
  m_aborted = false;
  m_sinceUpdate.start();
}

void QtProgress::Step() {
  if (!m_dialog || m_aborted) return;
  ++m_value;
  if (m_sinceUpdate.elapsed() < kProgressUpdateMs) return;
  Update();
}

bool QtProgress::Aborted() { return m_aborted; }

void QtProgress::End() {
  if (!m_dialog) return;
  QProgressDialog* dialog = m_dialog;
  m_dialog = nullptr;
  QObject::disconnect(dialog, nullptr, nullptr, nullptr);
  // The delay before the window appears runs on a timer of the dialog's own, which hiding does
  // not stop: left running, it would bring the window up over whatever comes next (an error, a
  // password prompt), where a nested event loop keeps the deletion below from happening.
  for (QTimer* timer : dialog->findChildren<QTimer*>()) timer->stop();
  dialog->reset();
  dialog->hide();
  // Deleted later, not now: End may be reached from code that the event loop runs inside this
  // dialog's own setValue.
  dialog->deleteLater();
}

void QtProgress::Update() {
  // A step made by something the event loop below runs does not run it again.
  if (m_updating) return;
  const QScopedValueRollback<bool> updating(m_updating, true);
  m_sinceUpdate.start();
  m_dialog->setValue(std::min(m_value, m_dialog->maximum()));  // may show the window
  if (!m_dialog) return;
  // The delay's timer and the repaints need the event loop. User input is let through only once
  // the modal window is up and keeps it from the other windows; until then it waits in the queue.
  QCoreApplication::processEvents(m_dialog->isVisible() ? QEventLoop::AllEvents
                                                        : QEventLoop::ExcludeUserInputEvents);
}

}  // namespace mv::ui
