// Windows only, under Wine: the host's sqlite3 program run on a database file, so that what a
// test wrote through ODBC is read back by something other than ODBC.
#pragma once

#ifdef _WIN32
#include <string>
#include <vector>

// The host's path of a Windows path in the test folder: Wine's drive Z: is the host's root.
std::string HostPath(std::string path);

// Runs SQL on FILE with the host's sqlite3 and returns its output lines ("|" between columns).
// Scratch files go beside FILE.
std::vector<std::string> HostSqlite(const std::string& file, const std::string& sql);
#endif
