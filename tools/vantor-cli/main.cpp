#include <iostream>

#include "tools/vantor-cli/VantorCli.h"

int main(int argc, char** argv) {
  return RunVantorCli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
