#pragma once
// Where the program keeps its files.
//
// The program folder holds what ships with the program (Sys/Sound, icons) and is found next
// to the executable. The application folder holds what the program writes (configuration,
// logs, gages.ggs, Samples, Reports, Tmp): MORVALEN_HOME when set, else the program folder
// when it is writable (a portable install), else the per-user data folder
// ($XDG_DATA_HOME/morvalen, by default ~/.local/share/morvalen).

#include <filesystem>
#include <string>

namespace mv::platform {

std::filesystem::path ProgramFolder();
std::filesystem::path AppFolder();

// A path as stored by the system (it may use '\' as separator) turned into a usable one.
std::filesystem::path NativePath(std::string_view stored);

}  // namespace mv::platform
