// vantor-cli as a user runs it: the built executable in a child process (under Wine in
// the Windows build, started with CreateProcessA), its output and exit status.
#include <gtest/gtest.h>

#include "convert/Projector.h"
#include "framework/core/Streams.h"
#include "tests/support/TestSupport.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <fcntl.h>
#endif

namespace {

struct CliRun {
  int status = -1;
  std::string out, err;
};

// The child's output; a Windows console program writes text mode, "\r\n" for "\n".
std::string TextOf(const std::string& path) {
  const Bytes bytes = ReadFileBytes(path);
  std::string text;
  for (size_t i = 0; i < bytes.size(); ++i) {
#ifdef _WIN32
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
#endif
    text += char(bytes[i]);
  }
  return text;
}

#ifdef _WIN32

std::string CliPath() { return EnvOr("VANTOR_BIN_DIR", ".") + "\\tools\\vantor-cli\\vantor-cli.exe"; }

// Quoting as the C runtime parses it: backslashes are literal except before a quote.
std::string Quoted(const std::string& arg) {
  std::string q = "\"";
  size_t slashes = 0;
  for (char c : arg) {
    if (c == '\\') { ++slashes; q += c; continue; }
    if (c == '"') q.append(slashes + 1, '\\');
    slashes = 0;
    q += c;
  }
  return q.append(slashes, '\\') + "\"";
}

HANDLE InheritableFile(const std::string& path) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

int Spawn(const std::vector<std::string>& args, const std::string& outPath, const std::string& errPath) {
  std::string commandLine = Quoted(CliPath());
  for (const std::string& a : args) commandLine += " " + Quoted(a);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = InheritableFile(outPath);
  si.hStdError = InheritableFile(errPath);
  PROCESS_INFORMATION pi{};
  DWORD code = DWORD(-1);
  if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
    WaitForSingleObject(pi.hProcess, INFINITE);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  CloseHandle(si.hStdOutput);
  CloseHandle(si.hStdError);
  return int(code);
}

#else

std::string CliPath() { return EnvOr("VANTOR_BIN_DIR", ".") + "/tools/vantor-cli/vantor-cli"; }

int Spawn(const std::vector<std::string>& args, const std::string& outPath, const std::string& errPath) {
  std::vector<std::string> argv{CliPath()};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (std::string& a : argv) pointers.push_back(a.data());
  pointers.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid;
  int status = -1;
  if (posix_spawn(&pid, pointers[0], &actions, nullptr, pointers.data(), environ) == 0) waitpid(pid, &status, 0);
  posix_spawn_file_actions_destroy(&actions);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

#endif

class Cli : public ::testing::Test {
protected:
  TempDir dir, logs;
  const Bytes stub = PatternBytes(1500, 1);
  Bytes movie = PatternBytes(20000, 2);

  void SetUp() override {
    ASSERT_TRUE(PathExists(CliPath())) << CliPath();
    movie[0] = 'C', movie[1] = 'W', movie[2] = 'S', movie[3] = 10;
    WriteFileBytes(dir / "s.dll", stub);
    WriteFileBytes(dir / "m.swf", movie);
  }
  CliRun Run(const std::vector<std::string>& args) {
    CliRun run;
    run.status = Spawn(args, logs / "out.txt", logs / "err.txt");
    run.out = TextOf(logs / "out.txt");
    run.err = TextOf(logs / "err.txt");
    return run;
  }
  std::string P(const std::string& name) const { return dir / name; }
};

TEST_F(Cli, BuildThenExtractWithDefaultAndExplicitOutputs) {
  CliRun build = Run({"build", P("m.swf"), "--stub", P("s.dll")});
  EXPECT_EQ(build.status, 0) << build.err;
  EXPECT_EQ(build.out, P("m.swf") + " -> " + P("m.exe") + ": Convert Success.\n");
  EXPECT_EQ(build.err, "");
  ASSERT_EQ(ReadFileBytes(P("m.exe")).size(), stub.size() + movie.size() + 8);

  CliRun extract = Run({"extract", "-o", P("back.swf"), P("m.exe")});
  EXPECT_EQ(extract.status, 0) << extract.err;
  EXPECT_EQ(extract.out, P("m.exe") + " -> " + P("back.swf") + ": Convert Success.\n");
  EXPECT_EQ(ReadFileBytes(P("back.swf")), movie);
}

TEST_F(Cli, SeveralInputsConvertEachAndAnyFailureGivesOne) {
  Run({"build", P("m.swf"), "--stub", P("s.dll"), "-o", P("a.exe")});
  Run({"build", P("s.dll"), "--stub", P("m.swf"), "-o", P("b.exe")});
  WriteFileBytes(P("plain.exe"), PatternBytes(300, 3));
  CliRun run = Run({"extract", P("a.exe"), P("plain.exe"), P("gone.exe"), P("b.exe")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, P("a.exe") + " -> " + P("a.swf") + ": Convert Success.\n" +
                     P("plain.exe") + " -> " + P("plain.swf") + ": Not Flash EXE.\n" +
                     P("b.exe") + " -> " + P("b.swf") + ": Convert Success.\n");
  EXPECT_EQ(run.err, P("gone.exe") + ": Cannot open file " + P("gone.exe") + ".\n");
  EXPECT_EQ(ReadFileBytes(P("a.swf")), movie);
  EXPECT_EQ(ReadFileBytes(P("b.swf")), stub);
  EXPECT_FALSE(PathExists(P("plain.swf")));
  EXPECT_EQ(Run({"extract", P("a.exe"), P("b.exe")}).status, 0);
  EXPECT_EQ(Run({"extract", P("a.exe"), P("plain.exe")}).status, 1);  // not a projector: no error, still a failure
}

TEST_F(Cli, ConverterErrorsArePrintedAsTheErrorBoxWouldShowThem) {
  CliRun run = Run({"build", P("m.swf"), "--stub", P("none.dll")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, P("m.swf") + ": Cannot open file " + P("none.dll") + ".\n");
  EXPECT_EQ(run.out, "");
  EXPECT_FALSE(PathExists(P("m.exe")));
#ifdef _WIN32
  run = Run({"build", P("m.swf")});  // the installed stub, absent from the test prefix
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, P("m.swf") + ": Cannot open file C:\\Program Files\\Common Files\\Vantor\\SAF.dll.\n");
#else
  EXPECT_EQ(Run({"build", P("m.swf")}).status, 2);  // no installed stub to fall back on
#endif
}

TEST_F(Cli, FilesHeldOpenByAnotherProcessAreRefusedAndKept) {
  Run({"build", P("m.swf"), "--stub", P("s.dll")});
  const Bytes container = ReadFileBytes(P("m.exe"));
  WriteFileBytes(P("keep.swf"), PatternBytes(99, 4));
  {
    TFileStream held(P("m.exe"), fmOpenRead);
    CliRun run = Run({"extract", P("m.exe")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, P("m.exe") + ": Cannot open file " + P("m.exe") + ".\n");
  }
  {
    TFileStream held(P("keep.swf"), fmOpenRead);
    CliRun run = Run({"extract", P("m.exe"), "-o", P("keep.swf")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, P("m.exe") + ": Cannot create file " + P("keep.swf") + ".\n");
  }
  EXPECT_EQ(ReadFileBytes(P("keep.swf")), PatternBytes(99, 4));
  EXPECT_EQ(ReadFileBytes(P("m.exe")), container);
}

TEST_F(Cli, InfoDescribesProjectorsAndExplainsTheRest) {
  Run({"build", P("m.swf"), "--stub", P("s.dll")});
  Run({"build", P("s.dll"), "--stub", P("s.dll"), "-o", P("nohead.exe")});
  WriteFileBytes(P("short.bin"), {1, 2, 3});
  WriteFileBytes(P("liar.exe"), {9, 9, 0x56, 0x34, 0x12, 0xFA, 3, 0, 0, 0});
  CliRun run = Run({"info", P("m.exe"), P("nohead.exe"), P("m.swf"), P("short.bin"), P("liar.exe"), P("gone")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, P("m.exe") + ": projector; stub 1500 bytes; movie 20000 bytes; SWF header CWS version 10\n" +
                     P("nohead.exe") + ": projector; stub 1500 bytes; movie 1500 bytes\n" +
                     P("m.swf") + ": not a projector (no projector trailer)\n" +
                     P("short.bin") + ": not a projector (3 bytes, too short for a trailer)\n" +
                     P("liar.exe") + ": not a projector (trailer gives a movie of 3 bytes, the file holds 2 before its trailer)\n");
  EXPECT_EQ(run.err, P("gone") + ": Cannot open file " + P("gone") + ".\n");
  EXPECT_EQ(Run({"info", P("m.exe"), P("nohead.exe")}).status, 0);
}

TEST_F(Cli, HelpAndUsageErrors) {
  CliRun help = Run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage:"), std::string::npos);
  CliRun bad = Run({"extract", P("a.exe"), P("b.exe"), "-o", P("c.swf")});
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("-o names one output"), std::string::npos);
  EXPECT_EQ(Run({}).status, 2);
  EXPECT_FALSE(PathExists(P("c.swf")));
}

}  // namespace
