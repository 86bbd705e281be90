#include "core/msg_countdown.h"

namespace mv {

MsgCountdown::MsgCountdown(int seconds) : m_remaining(seconds > 0 ? seconds : 0) {}

bool MsgCountdown::Tick() {
  if (!Running()) return false;
  if (--m_remaining > 0) return false;
  m_expired = true;
  return true;
}

std::string MsgCountdown::Text() const {
  if (!Active() || m_remaining > kVisibleSeconds) return {};
  // The leading blanks are part of the text as the window has always shown it.
  return "      Окно будет закрыто через " + std::to_string(m_remaining) + " сек";
}

}  // namespace mv
