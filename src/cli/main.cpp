#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
  try {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return mv::cli::RunCli(args, std::cout, std::cerr);
  } catch (const std::bad_alloc&) {
    // Every command catches its own; this is for the command line itself (a literal, so that
    // telling it needs no memory).
    std::cerr << "morvalen-cli: недостаточно памяти (#8)\n";
    return mv::cli::kExitFailed;
  }
}
