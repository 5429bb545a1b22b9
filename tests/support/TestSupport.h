// Helpers shared by the tests: a private temporary folder per test, file contents, runs of
// the built programs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A fresh folder under the build's test-tmp folder (VANTOR_TEST_TMP), removed with its
// contents when the object goes. Paths use the platform's separator.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  // PATH joined with NAME.
  std::string operator/(const std::string& name) const;

private:
  std::string path_;
};

char PathSeparator();
void WriteFileBytes(const std::string& path, const Bytes& bytes);
void WriteFileText(const std::string& path, const std::string& text);
// Contents of PATH; fails the current test if it cannot be read.
Bytes ReadFileBytes(const std::string& path);
bool PathExists(const std::string& path);
// Names in FOLDER (files and folders, without "." and "..").
std::vector<std::string> ListFolder(const std::string& folder);
// LENGTH bytes of a deterministic pseudo-random pattern that depends on SEED.
Bytes PatternBytes(size_t length, uint32_t seed);
// The value of environment variable NAME, or FALLBACK.
std::string EnvOr(const char* name, const std::string& fallback);
// The text in PATH; in the Windows build "\r\n" reads as "\n", since a Windows program
// writes text mode.
std::string ReadTextFile(const std::string& path);

// What a run of a built program gave: its exit status and what it wrote, as text.
struct TProgramRun {
  int ExitCode = -1;
  std::string Out, Err;
};

// The built program RELATIVE_PATH ("tools/vantor-cli/vantor-cli", without ".exe") under
// VANTOR_BIN_DIR, as the platform names it.
std::string BuiltProgramPath(const std::string& relativePath);
// Runs that program with ARGS (each passed as one argument, whatever it holds) and waits for
// it; ExitCode is -1 when it could not be started or did not exit normally.
TProgramRun RunBuiltProgram(const std::string& relativePath, const std::vector<std::string>& args);
