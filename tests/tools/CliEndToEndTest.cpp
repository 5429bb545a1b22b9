// vantor-cli as a user runs it: the built executable in a child process (under Wine in
// the Windows build, started with CreateProcessA), its output and exit status.
#include <gtest/gtest.h>

#include <algorithm>

#include "convert/Projector.h"
#include "VantorVersion.h"
#include "framework/core/Streams.h"
#include "tests/support/ExecutableImages.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

const char kCli[] = "tools/vantor-cli/vantor-cli";

class Cli : public ::testing::Test {
protected:
  TempDir dir;
  const Bytes stub = MinimalPe(1500);
  Bytes movie = PatternBytes(20000, 2);

  void SetUp() override {
    ASSERT_TRUE(PathExists(BuiltProgramPath(kCli))) << BuiltProgramPath(kCli);
    movie[0] = 'C', movie[1] = 'W', movie[2] = 'S', movie[3] = 10;
    WriteFileBytes(dir / "s.dll", stub);
    WriteFileBytes(dir / "m.swf", movie);
  }
  static TProgramRun Run(const std::vector<std::string>& args) { return RunBuiltProgram(kCli, args); }
  std::string P(const std::string& name) const { return dir / name; }
};

TEST_F(Cli, BuildThenExtractWithDefaultAndExplicitOutputs) {
  TProgramRun build = Run({"build", P("m.swf"), "--stub", P("s.dll")});
  EXPECT_EQ(build.ExitCode, 0) << build.Err;
  EXPECT_EQ(build.Out, P("m.swf") + " -> " + P("m.exe") + ": Convert Success.\n");
  EXPECT_EQ(build.Err, "");
  ASSERT_EQ(ReadFileBytes(P("m.exe")).size(), stub.size() + movie.size() + 8);

  TProgramRun extract = Run({"extract", "-o", P("back.swf"), P("m.exe")});
  EXPECT_EQ(extract.ExitCode, 0) << extract.Err;
  EXPECT_EQ(extract.Out, P("m.exe") + " -> " + P("back.swf") + ": Convert Success.\n");
  EXPECT_EQ(ReadFileBytes(P("back.swf")), movie);
}

TEST_F(Cli, SeveralInputsConvertEachAndAnyFailureGivesOne) {
  Run({"build", P("m.swf"), "--stub", P("s.dll"), "-o", P("a.exe")});
  Run({"build", P("s.dll"), "--stub", P("m.swf"), "--layout", "windows", "-o", P("b.exe")});
  WriteFileBytes(P("plain.exe"), PatternBytes(300, 3));
  TProgramRun run = Run({"extract", P("a.exe"), P("plain.exe"), P("gone.exe"), P("b.exe")});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Out, P("a.exe") + " -> " + P("a.swf") + ": Convert Success.\n" +
                     P("plain.exe") + " -> " + P("plain.swf") + ": Not Flash EXE.\n" +
                     P("b.exe") + " -> " + P("b.swf") + ": Convert Success.\n");
  EXPECT_EQ(run.Err, P("gone.exe") + ": Cannot open file " + P("gone.exe") + ".\n");
  EXPECT_EQ(ReadFileBytes(P("a.swf")), movie);
  EXPECT_EQ(ReadFileBytes(P("b.swf")), stub);
  EXPECT_FALSE(PathExists(P("plain.swf")));
  EXPECT_EQ(Run({"extract", P("a.exe"), P("b.exe")}).ExitCode, 0);
  EXPECT_EQ(Run({"extract", P("a.exe"), P("plain.exe")}).ExitCode, 1);  // not a projector: no error, still a failure
}

TEST_F(Cli, ConverterErrorsArePrintedAsTheErrorBoxWouldShowThem) {
  TProgramRun run = Run({"build", P("m.swf"), "--stub", P("none.dll")});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Err, P("m.swf") + ": Cannot open file " + P("none.dll") + ".\n");
  EXPECT_EQ(run.Out, "");
  EXPECT_FALSE(PathExists(P("m.exe")));
#ifdef _WIN32
  // The installed stub is the default; other suites of this prefix may leave one there, so
  // this test puts it in place and takes it away itself.
  const std::string installed = "C:\\Program Files\\Common Files\\Vantor\\SAF.dll";
  for (const char* folder : {"C:\\Program Files", "C:\\Program Files\\Common Files", "C:\\Program Files\\Common Files\\Vantor"})
    CreateDirectoryA(folder, nullptr);
  WriteFileBytes(installed, MinimalPe(100));
  EXPECT_EQ(Run({"build", P("m.swf")}).ExitCode, 0);
  EXPECT_EQ(ReadFileBytes(P("m.exe")).size(), 100 + movie.size() + 8);
  DeleteFileA(installed.c_str());
  run = Run({"build", P("m.swf"), "-o", P("n.exe")});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Err, P("m.swf") + ": Cannot open file " + installed + ".\n");
#else
  EXPECT_EQ(Run({"build", P("m.swf")}).ExitCode, 2);  // no installed stub to fall back on
#endif
}

TEST_F(Cli, FilesHeldOpenByAnotherProcessAreRefusedAndKept) {
  Run({"build", P("m.swf"), "--stub", P("s.dll")});
  const Bytes container = ReadFileBytes(P("m.exe"));
  WriteFileBytes(P("keep.swf"), PatternBytes(99, 4));
  {
    TFileStream held(P("m.exe"), fmOpenRead);
    TProgramRun run = Run({"extract", P("m.exe")});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Err, P("m.exe") + ": Cannot open file " + P("m.exe") + ".\n");
  }
  {
    TFileStream held(P("keep.swf"), fmOpenRead);
    TProgramRun run = Run({"extract", P("m.exe"), "-o", P("keep.swf")});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Err, P("m.exe") + ": Cannot create file " + P("keep.swf") + ".\n");
  }
  EXPECT_EQ(ReadFileBytes(P("keep.swf")), PatternBytes(99, 4));
  EXPECT_EQ(ReadFileBytes(P("m.exe")), container);
}

TEST_F(Cli, InfoDescribesProjectorsAndExplainsTheRest) {
  Run({"build", P("m.swf"), "--stub", P("s.dll")});
  Run({"build", P("s.dll"), "--stub", P("s.dll"), "-o", P("nohead.exe")});
  WriteFileBytes(P("short.bin"), {1, 2, 3});
  WriteFileBytes(P("liar.exe"), {9, 9, 0x56, 0x34, 0x12, 0xFA, 3, 0, 0, 0});
  TProgramRun run = Run({"info", P("m.exe"), P("nohead.exe"), P("m.swf"), P("short.bin"), P("liar.exe"), P("gone")});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Out, P("m.exe") + ": windows projector; stub 1500 bytes; movie 20000 bytes; SWF header CWS version 10\n" +
                     P("nohead.exe") + ": windows projector; stub 1500 bytes; movie 1500 bytes\n" +
                     P("m.swf") + ": not a projector (no projector trailer)\n" +
                     P("short.bin") + ": not a projector (3 bytes, too short for a trailer)\n" +
                     P("liar.exe") + ": not a projector (trailer gives a movie of 3 bytes, the file holds 2 before its trailer)\n");
  EXPECT_EQ(run.Err, P("gone") + ": Cannot open file " + P("gone") + ".\n");
  EXPECT_EQ(Run({"info", P("m.exe"), P("nohead.exe")}).ExitCode, 0);
}

// The built vantor-cli serves as a real player: an ELF natively, a PE in the Windows build.
TEST_F(Cli, LinuxLayoutsFromTheStubOrAsToldWithInfoAndStubExtraction) {
  const Bytes player = ReadFileBytes(BuiltProgramPath(kCli));
  WriteFileBytes(P("player"), player);
  WriteFileBytes(P("elf32"), SmallElf(32));
#ifdef _WIN32
  const char* playerLayout = "windows";
#else
  const char* playerLayout = "linux64";
#endif
  struct Case {
    const char* stub;
    std::vector<std::string> layoutOption;
    std::string layout;
    size_t stubSize;
  } cases[] = {
      {"player", {}, playerLayout, player.size()},
      {"elf32", {}, "linux32", 0x2C0},
      {"elf32", {"--layout", "linux64"}, "linux64", 0x2C0},
      {"s.dll", {"--layout", "windows"}, "windows", stub.size()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stub + (" " + c.layout));
    std::vector<std::string> args{"build", P("m.swf"), "--stub", P(c.stub), "-o", P("p")};
    args.insert(args.end(), c.layoutOption.begin(), c.layoutOption.end());
    EXPECT_EQ(Run(args).ExitCode, 0);
    // Its first line; a windows player's icon and version information follow it.
    const std::string info = Run({"info", P("p")}).Out;
    EXPECT_EQ(info.substr(0, info.find('\n') + 1), P("p") + ": " + c.layout + " projector; stub " + std::to_string(c.stubSize) +
                                             " bytes; movie 20000 bytes; SWF header CWS version 10\n");
    EXPECT_EQ(Run({"stub", P("p"), "-o", P("p.stub")}).ExitCode, 0);
    EXPECT_EQ(ReadFileBytes(P("p.stub")), ReadFileBytes(P(c.stub)));
    EXPECT_EQ(Run({"extract", P("p"), "-o", P("p.swf")}).ExitCode, 0);
    EXPECT_EQ(ReadFileBytes(P("p.swf")), movie);
  }
  TProgramRun refused = Run({"build", P("m.swf"), "--stub", P("m.swf"), "-o", P("q")});
  EXPECT_EQ(refused.ExitCode, 1);
  EXPECT_EQ(refused.Err, P("m.swf") + ": Cannot tell the projector layout of " + P("m.swf") +
                             ": neither a PE nor a measurable ELF program.\n");
  TProgramRun notProjector = Run({"stub", P("player"), "-o", P("q")});
  EXPECT_EQ(notProjector.ExitCode, 1);
  EXPECT_EQ(notProjector.Out, P("player") + " -> " + P("q") + ": Not Flash EXE.\n");
  EXPECT_FALSE(PathExists(P("q")));
}

TEST_F(Cli, HelpAndUsageErrors) {
  TProgramRun help = Run({"--help"});
  EXPECT_EQ(help.ExitCode, 0);
  EXPECT_NE(help.Out.find("Usage:"), std::string::npos);
  EXPECT_EQ(help.Err, "");
  TProgramRun version = Run({"--version"});
  EXPECT_EQ(version.ExitCode, 0);
  EXPECT_EQ(version.Out, "vantor-cli " VANTOR_VERSION "\n");
  EXPECT_EQ(version.Err, "");
  EXPECT_EQ(Run({"--version", P("m.swf")}).ExitCode, 2);
  TProgramRun bad = Run({"extract", P("a.exe"), P("b.exe"), "-o", P("c.swf")});
  EXPECT_EQ(bad.ExitCode, 2);
  EXPECT_NE(bad.Err.find("-o names one output"), std::string::npos);
  EXPECT_EQ(Run({}).ExitCode, 2);
  EXPECT_FALSE(PathExists(P("c.swf")));
}

}  // namespace
