#pragma once
// The page settings of the configuration's print-options area on a QPrinter and back.

#include "app/print_options.h"

class QPrinter;

namespace mv::ui {

// Paper, orientation, margins, colour, copies and the printer named (when it exists).
void ApplyPrintOptions(QPrinter& printer, const PrintOptions& options);
// What the print dialog left on the printer, kept for the next print; the contents stay.
void TakePrintOptions(const QPrinter& printer, PrintOptions& options);

}  // namespace mv::ui
