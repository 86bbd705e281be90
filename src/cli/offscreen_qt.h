#pragma once
// Qt for the batch commands that draw (builds with the GUI only).

#include <QGuiApplication>

#include <memory>

namespace mv::cli {

// Qt on the offscreen platform, whatever the environment asks for: the commands never need a
// display. A program that already runs Qt keeps its own (nullptr then). The toolkit gets the
// user's private runtime folder, as the program does, instead of complaining on the error
// stream.
std::unique_ptr<QGuiApplication> StartOffscreenQt();

}  // namespace mv::cli
