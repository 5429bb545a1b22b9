// The skin demo's command line: where the Records child takes its rows from.
//
//   skin-demo.exe [--csv FILE] [--odbc "CONNECTION STRING" --table NAME]
//
// Arguments are split as Windows splits them (CommandLineToArgvW: quotes group, backslashes
// before a quote escape it) and taken as UTF-8.
#pragma once

#include <string>
#include <vector>

#include "tools/skin-demo/DemoRecords.h"

struct TDemoCommandLine {
  TDemoRecordsSource Records;
  // What was wrong with the arguments ("" when nothing); the rest was still taken.
  std::string Error;
};

// The arguments of COMMANDLINE after the program's name, split the Windows way.
std::vector<std::string> SplitDemoCommandLine(const std::wstring& commandLine);
// The options in ARGS; RECORDS gives what is not said there.
TDemoCommandLine ParseDemoArguments(const std::vector<std::string>& args, TDemoRecordsSource records);
