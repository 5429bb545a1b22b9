// vantor-theme: packs a folder into a theme file, unpacks one, lists one, and exports a
// built-in style. Exit 0 on success, 1 when a file is refused or cannot be used, 2 on a
// usage error; --help and --version print to standard output and exit 0.
#include <iostream>
#include <string>
#include <vector>

#include "VantorVersion.h"
#include "tools/vantor-theme/ThemeTool.h"

namespace {

const char kUsage[] =
    "usage: vantor-theme pack DIR -o FILE     folder of KEY.bmp files and theme.txt -> theme file\n"
    "       vantor-theme unpack FILE -o DIR   theme file -> folder\n"
    "       vantor-theme export STYLE -o FILE built-in style (MacOS, WinXP, DeepBlue, Protein, BlueGlass)\n"
    "       vantor-theme dump FILE            list the entries and every element's value\n"
    "       vantor-theme --help | --version\n";

struct Command {
  std::string Name, Input, Output;
};

// False when ARGS are not one of the forms of kUsage.
bool ParseCommand(const std::vector<std::string>& args, Command& command) {
  if (args.empty()) return false;
  command.Name = args[0];
  if (command.Name == "dump") {
    if (args.size() != 2) return false;
    command.Input = args[1];
    return true;
  }
  if (command.Name != "pack" && command.Name != "unpack" && command.Name != "export") return false;
  if (args.size() != 4 || args[2] != "-o") return false;
  command.Input = args[1];
  command.Output = args[3];
  return true;
}

void Run(const Command& c) {
  if (c.Name == "pack") PackTheme(c.Input, c.Output);
  if (c.Name == "unpack") UnpackTheme(c.Input, c.Output, std::cerr);
  if (c.Name == "export") ExportStyle(c.Input, c.Output);
  if (c.Name == "dump") DumpTheme(c.Input, std::cout);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << kUsage;
    return 0;
  }
  if (args.size() == 1 && args[0] == "--version") {
    std::cout << "vantor-theme " VANTOR_VERSION "\n";
    return 0;
  }
  Command command;
  if (!ParseCommand(args, command)) {
    std::cerr << kUsage;
    return 2;
  }
  try {
    Run(command);
  } catch (const std::exception& e) {
    std::cerr << "vantor-theme: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
