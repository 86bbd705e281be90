#pragma once
// The message windows of the program: each request is shown in a MessageDialog, modal over the
// active window, and the check-box states and the result are written back into it.

#include "platform/messages.h"

namespace mv::ui {

class QtMessageWindows final : public platform::IMessageWindows {
 public:
  // tickMs: the length of a countdown second (tests shorten it).
  explicit QtMessageWindows(int tickMs = 1000) : m_tickMs(tickMs) {}

  // True when the window was closed by OK or "Да"; false for "Нет", Escape, the title bar's
  // close button (MsgResult::Cancelled) and the time-out (MsgResult::TimedOut).
  bool Show(platform::TMsgWinParams& request) override;

 private:
  int m_tickMs;
};

}  // namespace mv::ui
