#pragma once
// The countdown of a message window with a time-out. The window ticks it once a second and
// shows Text() under the message; the text appears only in the last kVisibleSeconds. Reading
// the details pauses it, clicking its text stops it for good, and at zero the window closes
// with the time-out result (MsgResult::TimedOut, not confirmed).
//
//   MsgCountdown countdown(request.timeout);
//   every second:  if (countdown.Tick()) close the window as timed out; else show countdown.Text()

#include <cstdint>
#include <string>

namespace mv {

class MsgCountdown {
 public:
  // Seconds before the end from which the countdown text is shown.
  static constexpr int kVisibleSeconds = 20;

  // seconds <= 0: no countdown; the window waits for the user.
  explicit MsgCountdown(int seconds);

  // One second has passed. True exactly once: when the count reaches zero. Does nothing while
  // paused, after Cancel and after the end.
  bool Tick();

  // While the details window is open. Pausing twice needs one Resume.
  void Pause() { m_paused = true; }
  void Resume() { m_paused = false; }
  // The user clicked the countdown text: it stops and hides for good.
  void Cancel() { m_cancelled = true; }

  // Counting down now (a countdown that neither ended nor was cancelled nor is paused).
  bool Running() const { return Active() && !m_paused; }
  // Neither ended nor cancelled: a paused countdown is still active and keeps its text.
  bool Active() const { return m_remaining > 0 && !m_cancelled; }
  bool Expired() const { return m_expired; }
  bool Paused() const { return m_paused; }
  int Remaining() const { return m_remaining; }

  // "      Окно будет закрыто через N сек" (the window will close in N s) while active with at
  // most kVisibleSeconds left; empty otherwise.
  std::string Text() const;

 private:
  int m_remaining;
  bool m_paused = false;
  bool m_cancelled = false;
  bool m_expired = false;
};

}  // namespace mv
