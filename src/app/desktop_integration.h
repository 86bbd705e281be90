#pragma once
// The data file types on the desktop: a shared-mime-info package for mvl, msa and mef files, a
// desktop entry that opens them with the program, and their icons, written into the user's
// data folder. Making the program the default handler is left to the user's own choice.

#include <span>
#include <string>

namespace mv {

// The data file types of the system, in the order the settings list them: SPC data "mvl", MSA
// data "msa" and the exchange file "mef".
struct DataFileType {
  const char* extension;
  const char* mime;
  const char* comment;  // what the type is for: "Файл данных SPC"
};
std::span<const DataFileType> DataFileTypes();
// The desktop entry written for the program, as the desktop names its handlers.
inline constexpr const char* kDesktopEntryId = "morvalen.desktop";

// The package of the three file types (packaging/morvalen-mime.xml is the same text).
std::string MimePackageXml();
// The desktop entry; exec is the program to start ("morvalen" when empty).
std::string DesktopEntry(const std::string& exec);
// Scalable icons: the program's, and a data file's with its extension written on it.
std::string ProgramIconSvg();
std::string FileIconSvg(const std::string& extension);

// Writes the package, the desktop entry and the icons under dataHome (when empty:
// $XDG_DATA_HOME, else ~/.local/share) where they differ from what is there, then refreshes
// the desktop's databases of what changed when their tools are installed. False, with the problem, when a file
// could not be written.
bool RegisterFileTypes(const std::string& dataHome, const std::string& programPath, std::string& problem);

}  // namespace mv
