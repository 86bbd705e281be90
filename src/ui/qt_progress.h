#pragma once
// The progress window of long operations on QProgressDialog.

#include <QElapsedTimer>
#include <QPointer>

#include "platform/progress.h"

class QProgressDialog;

namespace mv::ui {

// The window appears only for work that lasts, or by the pace of its steps so far is expected
// to last, longer than this (QProgressDialog's minimum duration), so quick loads do not flash.
inline constexpr int kProgressShowDelayMs = 400;
// Steps closer together than this neither repaint nor look at the user's input.
inline constexpr int kProgressUpdateMs = 50;

class QtProgress final : public platform::IProgress {
 public:
  QtProgress();
  ~QtProgress() override;
  QtProgress(const QtProgress&) = delete;
  QtProgress& operator=(const QtProgress&) = delete;

  // A modal window over the active window, titled `title` (the text as given), with `steps`
  // steps and the button "Прервать". A Begin while a window is up replaces it.
  void Begin(std::string_view title, int steps) override;
  // One step done. At most every kProgressUpdateMs it moves the bar and lets the event loop
  // run, so the window repaints and its button is seen. Until the window is up, user input
  // waits in the queue: the work's caller must not be re-entered from a click.
  void Step() override;
  // True once "Прервать" was pressed (or the window was closed) since Begin.
  bool Aborted() override;
  // Closes the window at once, and a window still waiting for its delay never appears; does
  // nothing when none is up.
  void End() override;

 private:
  void Update();

  QPointer<QProgressDialog> m_dialog;
  QElapsedTimer m_sinceUpdate;
  int m_value = 0;
  bool m_aborted = false;
  bool m_updating = false;
};

}  // namespace mv::ui
