#pragma once
// The program's command line.

#include <string>
#include <vector>

namespace mv {

// The data files to open at start-up, in the given order: every argument (the program's name
// not included) that names an existing file or ends with ".mvl" in any letter case. A named
// .mvl that does not exist is kept, so the user is told it was not found.
std::vector<std::string> FilesToOpen(const std::vector<std::string>& arguments);

}  // namespace mv
