// The command-line front end of the converters: argument parsing, default output names,
// and the four commands (extract, build, stub, info). main() only hands argv to RunVantorCli.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "convert/PeFace.h"
#include "convert/ProjectorLayout.h"
#include "framework/core/SysUtils.h"

// Exit statuses.
constexpr int CliOk = 0;           // every file converted (or described as a projector)
constexpr int CliFailed = 1;       // some file failed or was not a projector
constexpr int CliUsageError = 2;   // the command line itself was wrong

class ECliUsage : public Exception {
public:
  using Exception::Exception;
};

struct TCliRequest {
  std::string command;  // "extract", "build", "stub", "info" or "help"
  std::vector<std::string> files;
  std::string output;   // -o; empty = the default name per input
  std::string stub;     // --stub; empty = DefaultStubPath()
  std::optional<TProjectorLayout> layout;  // --layout; none = the one the stub calls for
  TProjectorFace face;  // --icon, --version-string, --file-version, --product-version
};

// Raises ECliUsage with a one-line reason for anything malformed.
TCliRequest ParseCliArgs(const std::vector<std::string>& args);

// INPUT without its last 4 characters, then EXTENSION: "C:\films\intro.exe" -> "C:\films\intro.swf".
std::string DefaultOutputName(const std::string& input, const std::string& extension);

// Where the installed projector stub lives; empty where there is no such place (non-Windows).
std::string DefaultStubPath();

// Runs the command line ARGS (without the program name); returns the exit status.
int RunVantorCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
