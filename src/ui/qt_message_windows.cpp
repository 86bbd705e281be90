#include "ui/qt_message_windows.h"

#include <QApplication>

#include "ui/message_dialog.h"

namespace mv::ui {

bool QtMessageWindows::Show(platform::TMsgWinParams& request) {
  MessageDialog dialog(request, QApplication::activeWindow(), m_tickMs);
  dialog.exec();
  dialog.WriteBack(request);
  return request.result == platform::MsgResult::Ok;
}

}  // namespace mv::ui
