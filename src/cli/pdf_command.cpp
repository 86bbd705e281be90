#include "cli/pdf_command.h"

#include <filesystem>
#include <ostream>
#include <system_error>

#include "cli/cli.h"
#include "cli/cli_support.h"
#include "cli/offscreen_qt.h"
#include "core/file_error.h"
#include "reports/report_document.h"
#include "render/report_printer.h"

namespace mv::cli {
namespace {

namespace fs = std::filesystem;

struct PdfArgs {
  std::string report;
  std::string out;
  render::PdfPage page;
};

bool ParsePdfArgs(Args args, PdfArgs& a, std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--landscape") {
      a.page.landscape = true;
    } else if (arg == "--page") {
      if (i + 1 >= args.size()) {
        error = "--page needs a value";
        return false;
      }
      const std::string& value = args[++i];
      if (value != "A4" && value != "Letter") return BadValue(arg, "A4 or Letter", value, error);
      a.page.letter = value == "Letter";
    } else if (arg.starts_with("--")) {
      error = "unknown option '" + SafeUtf8(arg) + "' (see --help)";
      return false;
    } else if (a.report.empty()) {
      a.report = arg;
    } else if (a.out.empty()) {
      a.out = arg;
    } else {
      error = "unexpected argument '" + SafeUtf8(arg) + "'";
      return false;
    }
  }
  if (a.report.empty() || a.out.empty()) {
    error = "expected REPORT.htm OUT.pdf";
    return false;
  }
  return true;
}

// The output can be written: its folder exists, and it is not the report itself.
bool OutputUsable(const PdfArgs& a, std::string& error) {
  std::error_code ec;
  const fs::path folder = fs::path(a.out).parent_path();
  if (!folder.empty() && !fs::is_directory(folder, ec)) {
    error = "no folder " + SafeUtf8(folder.string()) + " for " + SafeUtf8(a.out);
    return false;
  }
  if (fs::equivalent(a.out, a.report, ec)) {
    error = SafeUtf8(a.out) + " is the report itself";
    return false;
  }
  return true;
}

}  // namespace

const std::string_view kPdfDetails =
    "      The report (an HTML document the program wrote, with its pictures in its folder) as the\n"
    "      report viewer prints it: in the charset it declares, on A4 (or Letter) pages with 15 mm\n"
    "      margins. OUT is replaced only by a complete PDF. Options:\n"
    "        --page A4|Letter             the paper (default A4)\n"
    "        --landscape                  landscape pages (default portrait)\n";

int RunPdf(Args args, std::ostream& out, std::ostream& err) {
  PdfArgs a;
  std::string error;
  if (!ParsePdfArgs(args, a, error)) {
    err << "pdf: " << error << "\n";
    return kExitUsage;
  }
  if (!OutputUsable(a, error)) {
    err << "pdf: " << error << "\n";
    return kExitFailed;
  }
  ReportDocument report;
  int code = 0;
  if (!ReadReportDocument(a.report, report, code)) {
    if (code == kOutOfMemoryCode) {
      err << "pdf: " << SafeUtf8(a.report) << " is larger than " << kMaxReportBytes << " bytes\n";
    } else {
      err << "pdf: cannot read " << SafeUtf8(a.report) << ": " << FileErrorText(code) << "\n";
    }
    return kExitFailed;
  }
  const auto qt = StartOffscreenQt();
  render::PdfFacts facts;
  const std::string document = fs::absolute(a.report).string();
  if (!render::WriteReportPdf(QString::fromStdString(report.html), document, a.out, a.page, facts, error)) {
    err << "pdf: " << SafeUtf8(error) << "\n";
    return kExitFailed;
  }
  JsonWriter w(out);
  w.BeginObject();
  w.Field("document", SafeUtf8(a.report));
  w.Field("pdf", SafeUtf8(a.out));
  w.Field("pages", facts.pages);
  w.Field("bytes", facts.bytes);
  w.EndObject();
  w.Done();
  return kExitOk;
}

}  // namespace mv::cli
