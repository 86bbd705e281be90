#pragma once
// The questions with their own buttons, the password prompt and the set-password window.

#include "platform/prompts.h"

namespace mv::ui {

class QtPrompts final : public platform::IPrompts {
 public:
  int Choose(const platform::ChoiceRequest& request) override;
  bool AskPassword(const platform::PasswordRequest& request) override;
  bool SetPassword(const platform::SetPasswordRequest& request) override;
};

}  // namespace mv::ui
