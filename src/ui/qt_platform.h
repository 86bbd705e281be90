#pragma once
// Puts the Qt implementations into the platform slots (platform/services.h). The clock, the
// identifier source and the log keep their defaults, which are already the real ones.

namespace mv::ui {

// Call once the QApplication exists. Message windows, file dialogs, clipboard, sound (silent
// without Qt Multimedia), "open with the registered program", the instance channel and the
// progress window.
// A second call does nothing.
void InstallQtPlatform();

// Puts back what the slots held before InstallQtPlatform and destroys the Qt implementations.
// Call before the QApplication is destroyed (they own Qt objects). Does nothing when nothing
// is installed.
void UninstallQtPlatform();

}  // namespace mv::ui
