#pragma once
// Windows that ask the user for more than yes or no: a question with several buttons, the
// password prompt and the set-password window. The decisions behind them live in app/; the
// windows only collect the answer and hand each try back for checking.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace mv::platform {

// A question with its own buttons, in order. Closing the window picks cancelButton.
struct ChoiceRequest {
  std::string caption;
  std::string text;
  std::vector<std::string> buttons;
  int defaultButton = 0;
  int cancelButton = 0;
};

// The password prompt. Each typed password goes to `check`; the window closes when it says
// yes, and stays open (after `check` has told the user why) when it says no.
struct PasswordRequest {
  std::string caption;
  std::string text;
  std::string note;
  std::function<bool(const std::string& typed)> check;
};

// The set-password window. `set` gets both entries and returns "" when they were taken (the
// window closes) or the message to show (the window stays open). `reset` is offered only when
// a password exists; it asks its own confirmation and returns true when the password was
// removed (the window closes).
struct SetPasswordRequest {
  std::string caption;
  std::string note;
  bool passwordExists = false;
  std::function<std::string(const std::string& entry, const std::string& repeat)> set;
  std::function<bool()> reset;
};

class IPrompts {
 public:
  virtual ~IPrompts() = default;
  // The index of the button chosen.
  virtual int Choose(const ChoiceRequest& request) = 0;
  // True when a password was accepted; false when the prompt was cancelled.
  virtual bool AskPassword(const PasswordRequest& request) = 0;
  // True when the password was set or removed; false when the window was cancelled.
  virtual bool SetPassword(const SetPasswordRequest& request) = 0;
};

}  // namespace mv::platform
