#pragma once
// The system clipboard through QClipboard (the QGuiApplication must exist).

#include "platform/clipboard.h"

namespace mv::ui {

class QtClipboard final : public platform::IClipboard {
 public:
  std::string Text() override;
  void SetText(const std::string& text) override;
  void SetPicture(const std::string& png) override;
};

}  // namespace mv::ui
