#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#ifdef _WIN32
#include <windows.h>
static unsigned long ProcessId() { return GetCurrentProcessId(); }
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
static unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }
#endif

namespace fs = std::filesystem;

char PathSeparator() {
#ifdef _WIN32
  return '\\';
#else
  return '/';
#endif
}

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && *value ? value : fallback;
}

TempDir::TempDir() {
  static std::atomic<unsigned> serial{0};
  fs::path root = EnvOr("VANTOR_TEST_TMP", fs::temp_directory_path().string());
  fs::path dir = root / ("t" + std::to_string(ProcessId()) + "_" + std::to_string(serial++));
  fs::remove_all(dir);
  fs::create_directories(dir);
  path_ = dir.make_preferred().string();
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string TempDir::operator/(const std::string& name) const { return path_ + PathSeparator() + name; }

void WriteFileBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << "cannot write " << path;
}

void WriteFileText(const std::string& path, const std::string& text) {
  WriteFileBytes(path, Bytes(text.begin(), text.end()));
}

Bytes ReadFileBytes(const std::string& path) {
  // One read of the whole file: byte-wise iteration takes seconds on a test program of
  // several megabytes under the sanitizers.
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  EXPECT_TRUE(in.good()) << "cannot read " << path;
  Bytes bytes(in.good() ? size_t(in.tellg()) : 0);
  in.seekg(0);
  in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
  EXPECT_EQ(size_t(in.gcount()), bytes.size()) << "short read of " << path;
  return bytes;
}

bool PathExists(const std::string& path) { return fs::exists(path); }

std::vector<std::string> ListFolder(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  return names;
}

Bytes PatternBytes(size_t length, uint32_t seed) {
  Bytes bytes(length);
  uint32_t x = seed * 2654435761u + 1;
  for (auto& b : bytes) {
    x ^= x << 13, x ^= x >> 17, x ^= x << 5;
    b = static_cast<uint8_t>(x);
  }
  return bytes;
}

std::string ReadTextFile(const std::string& path) {
  const Bytes bytes = ReadFileBytes(path);
  std::string text(bytes.begin(), bytes.end());
#ifdef _WIN32
  for (size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;) text.erase(at, 1);
#endif
  return text;
}

#ifdef _WIN32

// Under Wine the build folder is a Unix path; Windows calls take it with backslashes.
std::string BuiltProgramPath(const std::string& relativePath) {
  std::string path = EnvOr("VANTOR_BIN_DIR", ".") + "/" + relativePath + ".exe";
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

// ARG quoted as the C runtime splits a command line: backslashes are literal except
// before a quote, where each of them and the quote itself are escaped.
static std::string QuotedArgument(const std::string& arg) {
  std::string quoted = "\"";
  size_t slashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++slashes;
      quoted += c;
      continue;
    }
    if (c == '"') quoted.append(slashes + 1, '\\');
    slashes = 0;
    quoted += c;
  }
  return quoted.append(slashes, '\\') + "\"";  // the closing quote must not be escaped
}

static HANDLE InheritableFile(const std::string& path) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

static int Spawn(const std::string& program, const std::vector<std::string>& args, const std::string& outPath,
                 const std::string& errPath) {
  std::string commandLine = QuotedArgument(program);
  for (const std::string& a : args) commandLine += " " + QuotedArgument(a);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = InheritableFile(outPath);
  si.hStdError = InheritableFile(errPath);
  PROCESS_INFORMATION pi{};
  DWORD code = DWORD(-1);
  if (CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
    WaitForSingleObject(pi.hProcess, INFINITE);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  CloseHandle(si.hStdOutput);
  CloseHandle(si.hStdError);
  return static_cast<int>(code);
}

#else

std::string BuiltProgramPath(const std::string& relativePath) {
  return EnvOr("VANTOR_BIN_DIR", ".") + "/" + relativePath;
}

static int Spawn(const std::string& program, const std::vector<std::string>& args, const std::string& outPath,
                 const std::string& errPath) {
  std::vector<std::string> argv{program};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (std::string& a : argv) pointers.push_back(a.data());
  pointers.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  int status = -1;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, pointers.data(), environ) == 0) waitpid(pid, &status, 0);
  posix_spawn_file_actions_destroy(&actions);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

#endif

TProgramRun RunBuiltProgram(const std::string& relativePath, const std::vector<std::string>& args) {
  // The output goes to files of a folder of its own, so a test's own folder sees none of them.
  const TempDir logs;
  TProgramRun run;
  run.ExitCode = Spawn(BuiltProgramPath(relativePath), args, logs / "out.txt", logs / "err.txt");
  run.Out = ReadTextFile(logs / "out.txt");
  run.Err = ReadTextFile(logs / "err.txt");
  return run;
}
