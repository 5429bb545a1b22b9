#include "tests/support/HostSqlite.h"

#ifdef _WIN32
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <sstream>

#include "framework/core/SysUtils.h"
#include "tests/support/TestSupport.h"

std::string HostPath(std::string path) {
  if (path.size() >= 2 && path[1] == ':') {
    EXPECT_TRUE(path[0] == 'Z' || path[0] == 'z') << path;
    path.erase(0, 2);
  }
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::vector<std::string> HostSqlite(const std::string& file, const std::string& sql) {
  std::string folder = file;
  folder.erase(folder.find_last_of("\\/") + 1);
  const std::string script = folder + "query.sql", out = folder + "out.tmp", done = folder + "out.txt";
  WriteFileText(script, ".separator |\n" + sql + "\n");
  // Wine starts a host program by its Unix path but has no process handle to wait on: the
  // output appears under its final name once it is complete.
  std::string command = "/bin/sh -c \"/usr/bin/sqlite3 -batch '" + HostPath(file) + "' < '" + HostPath(script) +
                        "' > '" + HostPath(out) + "' 2>&1; mv '" + HostPath(out) + "' '" + HostPath(done) + "'\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    ADD_FAILURE() << "cannot start the host's sqlite3";
    return {};
  }
  if (process.hProcess) CloseHandle(process.hProcess);
  if (process.hThread) CloseHandle(process.hThread);
  // Waiting for the result, not timing it: the limit only keeps a broken host from hanging the test.
  for (int i = 0; i < 3000 && !FileExists(done); ++i) Sleep(10);
  const std::string text = ReadTextFile(done);
  RemoveFileQuietly(done);
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}
#endif
