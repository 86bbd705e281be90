#include "app/command_line.h"

#include "core/text.h"

namespace mv {
namespace {

// "-x" always; "/x" only as short as a switch can be (a letter and a modifier), because "/"
// also begins every absolute path here.
bool IsSwitch(const std::string& argument) {
  if (argument[0] == '-') return true;
  return argument[0] == '/' && argument.size() <= 3 && argument.find('/', 1) == std::string::npos;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  for (const std::string& argument : arguments) {
    if (argument.empty() || argument[0] == ';' || argument.rfind("//", 0) == 0) continue;
    if (!IsSwitch(argument)) {
      line.files.push_back(argument);
      continue;
    }
    const std::string rest = UpperCase(argument.substr(1));
    if (rest.empty() || rest[0] == ' ') {
      line.errors.push_back("Неизвестный параметр командной строки\r\n\"" + argument + "\"");
      continue;
    }
    const char letter = rest[0];
    const char modifier = rest.size() > 1 ? rest[1] : ' ';
    if (letter == '?') break;
    switch (letter) {
      case 'X': line.noConfiguration = true; break;
      case 'Y': line.noPreviousDatasets = true; break;
      case 'I':
        if (modifier == 'C' || modifier == 'D') line.importOption = modifier;
        break;
      case 'M': line.multiLaunch = true; break;
      case 'R':
        if (modifier == 'D') line.registryDisabled = true;
        break;
      case 'D':
        if (modifier == ' ') line.debugMode = true;
        break;
      case 'U':
        if (modifier == ' ') line.justUpdated = true;
        break;
      default: break;  // switches of other facilities
    }
  }
  return line;
}

std::string CommandLineText(const std::vector<std::string>& arguments) {
  std::string text;
  for (const std::string& argument : arguments) {
    if (!text.empty()) text += ' ';
    const bool quoted = argument.empty() || argument.find_first_of(" \t") != std::string::npos;
    text += quoted ? '"' + argument + '"' : argument;
  }
  return text;
}

}  // namespace mv
