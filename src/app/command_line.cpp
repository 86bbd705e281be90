#include "app/command_line.h"

#include <filesystem>
#include <system_error>

#include "core/text.h"

namespace mv {

std::vector<std::string> FilesToOpen(const std::vector<std::string>& arguments) {
  std::vector<std::string> files;
  for (const std::string& argument : arguments) {
    if (argument.empty()) continue;
    std::error_code ec;
    const bool isFile = std::filesystem::is_regular_file(argument, ec);
    const bool isDataFile = LowerCase(std::filesystem::path(argument).extension().string()) == ".mvl";
    if (isFile || isDataFile) files.push_back(argument);
  }
  return files;
}

}  // namespace mv
