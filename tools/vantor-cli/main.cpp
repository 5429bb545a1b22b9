#include <iostream>

#include "VantorVersion.h"
#include "tools/vantor-cli/VantorCli.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--version") {
    std::cout << "vantor-cli " VANTOR_VERSION "\n";
    return CliOk;
  }
  return RunVantorCli(args, std::cout, std::cerr);
}
