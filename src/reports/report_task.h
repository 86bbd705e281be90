#pragma once
// What a report hands the report viewer, and the one place the viewer window is reached from
// the logic: a report assembles its document, fills a TReportTask and calls ShowReport. The
// windows install the real viewer; until then (and in tests) a headless one only loads the
// document.

#include <cstdint>
#include <functional>
#include <string>

namespace mv {

// The request codes a viewer sends to its report's callback.
inline constexpr int kReportRequestEmail = 3;

// How the viewer shows the document.
enum class ReportMode : std::uint8_t {
  Show = 0,        // the window, modal, until the user closes it
  PrintDialog = 1, // printed through the print dialog, the window never shown
  PrintAtOnce = 2, // printed at once without any dialog
};

// What the viewer gives back when its window closes.
enum class ReportResult : int { Closed = 0, Recreate = 1, Settings = 2 };

struct TReportTask {
  std::string document;       // full path of the HTML document
  std::string reportsFolder;  // the root of permanent copies; empty: none can be made
  std::string caption;        // the window's caption
  ReportMode mode = ReportMode::Show;
  bool emailButton = true;
  bool wordButton = true;
  bool settingsButton = false;
  bool recreateButton = false;
  // Takes a request code (kReportRequestEmail) and tells whether it did something. The e-mail
  // command is offered only when the task asks for it and gives this.
  std::function<bool(int code)> callback;
  std::string printTitle;     // logged when printing; the caption when empty
  std::int32_t logNumber = 0; // the dataset number the viewer's log lines carry
  std::string extraInfo;      // shown by "Информация об отчете"
  // Some reports (the study reports) cannot be handed to the word processor: the command then
  // only says so.
  bool wordExportUnsupported = false;
};

// Shows a report; gives the viewer's result (Closed after printing in the print modes).
class IReportWindow {
 public:
  virtual ~IReportWindow() = default;
  virtual ReportResult Show(const TReportTask& task) = 0;
};

// Puts window (not owned; nullptr: the headless one) in place and gives the previous one.
IReportWindow* InstallReportWindow(IReportWindow* window);

// Shows the task through the installed window.
ReportResult ShowReport(const TReportTask& task);

}  // namespace mv
