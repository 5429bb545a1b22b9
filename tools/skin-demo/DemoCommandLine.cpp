#include "tools/skin-demo/DemoCommandLine.h"

#include <windows.h>

#include <shellapi.h>

namespace {

std::string Utf8(const wchar_t* text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? static_cast<size_t>(n) : 1, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  out.resize(out.size() - 1);  // the terminator
  return out;
}

}  // namespace

std::vector<std::string> SplitDemoCommandLine(const std::wstring& commandLine) {
  std::vector<std::string> args;
  int count = 0;
  // An empty line would give the running program's own name as the only argument.
  if (commandLine.find_first_not_of(L" \t") == std::wstring::npos) return args;
  LPWSTR* argv = CommandLineToArgvW(commandLine.c_str(), &count);
  if (!argv) return args;
  for (int i = 1; i < count; ++i) args.push_back(Utf8(argv[i]));
  LocalFree(argv);
  return args;
}

TDemoCommandLine ParseDemoArguments(const std::vector<std::string>& args, TDemoRecordsSource records) {
  TDemoCommandLine parsed;
  const struct {
    const char* option;
    std::string TDemoRecordsSource::*value;
  } options[] = {{"--csv", &TDemoRecordsSource::CsvFile},
                 {"--odbc", &TDemoRecordsSource::Odbc},
                 {"--table", &TDemoRecordsSource::Table}};
  for (size_t i = 0; i < args.size(); ++i) {
    bool known = false;
    for (const auto& option : options) {
      if (args[i] != option.option) continue;
      known = true;
      if (i + 1 < args.size())
        records.*option.value = args[++i];
      else if (parsed.Error.empty())
        parsed.Error = std::string(option.option) + " needs a value";
    }
    if (!known && parsed.Error.empty()) parsed.Error = "Unknown argument " + args[i];
  }
  if (records.UsesOdbc() && records.Table.empty() && parsed.Error.empty())
    parsed.Error = "--odbc needs --table with the name of the table to open";
  parsed.Records = std::move(records);
  return parsed;
}
