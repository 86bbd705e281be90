#pragma once
// The message window: the icon of its kind, the message in a text area as wide as its length
// asks for, up to two check boxes, the countdown text, the details link beside the buttons and,
// for errors and warnings, the diagnostic line at the bottom. What it shows and when it closes
// by itself is decided by core/messages.h and core/msg_countdown.h; the window draws it and
// forwards the user's clicks.
//
//   MessageDialog dialog(request, parent);
//   dialog.exec();
//   dialog.WriteBack(request);  // check-box states and the result

#include <QDialog>
#include <QString>

#include <array>

#include "core/msg_countdown.h"
#include "platform/messages.h"

class QCheckBox;
class QLabel;
class QTimer;

namespace mv::ui {

class MessageDialog final : public QDialog {
  Q_OBJECT

 public:
  // One countdown second, in milliseconds.
  static constexpr int kTickMs = 1000;

  // tickMs: the length of a countdown second (tests make it short or never fire it).
  explicit MessageDialog(const platform::TMsgWinParams& request, QWidget* parent = nullptr, int tickMs = kTickMs);

  // The check-box states (of the boxes shown) and how the window was closed.
  void WriteBack(platform::TMsgWinParams& request) const;
  platform::MsgResult Result() const { return m_result; }

  // One second of the countdown: shows the new text, or closes the window as timed out.
  void Tick();
  // The countdown text was clicked: the countdown stops and its text goes away.
  void CancelCountdown();
  // The details link: opens the read-only details window modally, the countdown paused
  // meanwhile. Returns when that window is closed.
  void OpenDetails();

  const MsgCountdown& Countdown() const { return m_countdown; }
  // The text of the details window, as DetailsText assembles it.
  const QString& DetailsText() const { return m_detailsText; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowCountdown();

  platform::MsgResult m_result = platform::MsgResult::Cancelled;
  MsgCountdown m_countdown;
  QString m_detailsText;  // empty: no details link
  QTimer* m_timer = nullptr;
  QLabel* m_countdownLabel = nullptr;
  std::array<QCheckBox*, 2> m_checks{};
};

}  // namespace mv::ui
