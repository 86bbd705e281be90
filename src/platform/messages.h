#pragma once
// The message-window request and the interface that shows it. The five kinds, their captions
// and sounds are filled in by core/messages.h; the window itself belongs to the shell.

#include <array>
#include <cstdint>
#include <string>

namespace mv::platform {

enum class MsgKind : std::uint8_t { Error = 1, Info = 2, Question = 3, Warning = 4, Debug = 5 };

// How the window was closed: 1 by OK or "Да", 3 by the time-out, anything else cancelled.
enum class MsgResult : std::uint8_t { None = 0, Ok = 1, Cancelled = 2, TimedOut = 3 };

struct MsgCheckBox {
  bool shown = false;
  std::string caption;
  bool state = false;  // given by the caller, written back when the window closes
};

// The request a caller fills and gets back (check-box states and result written back).
struct TMsgWinParams {
  MsgKind kind = MsgKind::Info;
  std::string caption;  // at most 99 characters
  std::string text;
  std::string sourceTag;  // "nolog": never copy into the log
  std::string details;
  std::string detailsCaption;  // caption of the details link; empty = "Подробнее..."
  std::int16_t number = 0;     // shown in the diagnostic line
  std::int16_t sound = 0;      // application event whose sound is played
  std::int16_t timeout = 0;    // seconds; 0 = waits for the user
  std::array<MsgCheckBox, 2> checks{};
  std::uint32_t background = 0;  // 0xRRGGBB; 0 = the standard colour
  MsgResult result = MsgResult::None;
};

class IMessageWindows {
 public:
  virtual ~IMessageWindows() = default;
  // Shows the window modally; true when it was closed by OK or "Да".
  virtual bool Show(TMsgWinParams& request) = 0;
};

}  // namespace mv::platform
