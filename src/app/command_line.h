#pragma once
// The program's command line.
//
// An argument that begins with "-" is a switch: the character after the mark is the switch
// letter (letter case ignored), the one after it the modifier. "/" marks a switch too, but only
// in an argument of at most three characters with no other "/", since on this system "/" also
// begins every absolute path. An argument that begins with ";" or "//" is ignored. Every other
// argument is a data file to open, in the order given.
//   X   start without reading the configuration       Y   do not reopen the previous datasets
//   IC / ID   imported exchange files: show the data first / delete the file afterwards
//   M   several instances may run                       RD  no registration of file types
//   D   debug mode                                      U   first run after an update
//   ?   stop reading the command line

#include <string>
#include <vector>

namespace mv {

struct CommandLine {
  std::vector<std::string> files;  // data files to open, in order
  bool noConfiguration = false;    // X
  bool noPreviousDatasets = false; // Y
  char importOption = 0;           // 'C' or 'D' from I
  bool multiLaunch = false;        // M
  bool registryDisabled = false;   // R with D
  bool debugMode = false;          // D without modifier
  bool justUpdated = false;        // U without modifier
  // Messages about arguments that could not be understood, to show once the window is up.
  std::vector<std::string> errors;
};

// The arguments without the program's name.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The command line as the log's "Prm:" line and the session record keep it: the arguments
// (without the program's name) joined by blanks, each one that is empty or holds a blank in
// double quotes, so that a file name with blanks reads as one argument.
std::string CommandLineText(const std::vector<std::string>& arguments);

}  // namespace mv
