#pragma once
// Message windows on QMessageBox. An interim form: the system's own message window (text area
// sized by the text length, "Подробнее..." link, diagnostic line) replaces it later; the request
// and what is written back into it stay the same.

#include "platform/messages.h"

namespace mv::ui {

// Seconds before the time-out from which the countdown text is shown.
inline constexpr int kCountdownVisibleSeconds = 20;

class QtMessageWindows final : public platform::IMessageWindows {
 public:
  // Modal over the active window. The icon and buttons follow the kind (a question has "Да" and
  // "Нет", every other kind OK); a non-zero background is 0xRRGGBB; details go behind the box's
  // details button. With a time-out the box closes itself with MsgResult::TimedOut, and for the
  // last kCountdownVisibleSeconds the text ends with "Окно будет закрыто через N сек".
  bool Show(platform::TMsgWinParams& request) override;
};

}  // namespace mv::ui
