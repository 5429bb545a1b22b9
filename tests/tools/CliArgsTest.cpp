// The command functions of vantor-cli, called directly.
#include "tools/vantor-cli/VantorCli.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using Args = std::vector<std::string>;

std::string UsageErrorOf(const Args& args) {
  try {
    ParseCliArgs(args);
  } catch (const ECliUsage& e) {
    return e.Message();
  }
  return "(accepted)";
}

TEST(CliArgs, DefaultOutputDropsTheLastFourCharacters) {
  struct Case {
    const char *input, *extension, *output;
  } cases[] = {
      {"C:\\films\\intro.exe", ".swf", "C:\\films\\intro.swf"},
      {"intro.SWF", ".exe", "intro.exe"},
      {"a.b.c", ".swf", "a.swf"},      // four characters, whatever they are
      {"noext", ".exe", "n.exe"},
      {"abcd", ".swf", ".swf"},
      {"ab", ".swf", ".swf"},          // shorter than four: nothing is left of it
  };
  for (const Case& c : cases) EXPECT_EQ(DefaultOutputName(c.input, c.extension), c.output) << c.input;
}

TEST(CliArgs, RequestsCarryCommandFilesAndOptionsInAnyOrder) {
  TCliRequest r = ParseCliArgs({"build", "-o", "out.exe", "m.swf", "--stub", "s.dll"});
  EXPECT_EQ(r.command, "build");
  EXPECT_EQ(r.files, Args{"m.swf"});
  EXPECT_EQ(r.output, "out.exe");
  EXPECT_EQ(r.stub, "s.dll");
  EXPECT_FALSE(r.layout);
  EXPECT_EQ(ParseCliArgs({"build", "m.swf", "--stub", "s", "--layout", "linux64"}).layout, TProjectorLayout::Linux64);
  r = ParseCliArgs({"extract", "a.exe", "--", "-o", "b.exe"});
  EXPECT_EQ(r.files, (Args{"a.exe", "-o", "b.exe"}));
  EXPECT_TRUE(r.output.empty());
  EXPECT_EQ(ParseCliArgs({"info", "-", "x"}).files, (Args{"-", "x"}));
  r = ParseCliArgs({"build", "m.swf", "--stub", "s", "--version-string", "Comments=a=b", "--icon", "i.ico",
                    "--version-string", "ProductName=", "--file-version", "1.0.0.2", "--product-version", "3.4.5.6"});
  EXPECT_EQ(r.face.iconPath, "i.ico");
  EXPECT_EQ(r.face.strings, (TVersionStrings{{"Comments", "a=b"}, {"ProductName", ""}}));
  EXPECT_EQ(r.face.fileVersion->Text(), "1.0.0.2");
  EXPECT_EQ(r.face.productVersion->Text(), "3.4.5.6");
  EXPECT_TRUE(ParseCliArgs({"build", "m.swf", "--stub", "s"}).face.Empty());
  for (const char* help : {"--help", "-h", "help"}) EXPECT_EQ(ParseCliArgs({help}).command, "help");
}

TEST(CliArgs, MalformedCommandLinesAreUsageErrors) {
  struct Case {
    Args args;
    const char* reason;
  } cases[] = {
      {{}, "no command given"},
      {{"convert", "a.exe"}, "unknown command convert"},
      {{"extract"}, "extract needs at least one file"},
      {{"extract", "a.exe", "b.exe", "-o", "x.swf"}, "-o names one output, but 2 inputs were given"},
      {{"extract", "a.exe", "-o"}, "option -o needs a value"},
      {{"extract", "a.exe", "-o", "x", "--output", "y"}, "option --output given twice"},
      {{"extract", "a.exe", "--stub", "s"}, "unknown option --stub for extract"},
      {{"info", "a.exe", "-o", "x"}, "unknown option -o for info"},
      {{"build", "m.swf", "--stub", ""}, "option --stub needs a non-empty value"},
      {{"build", "m.swf", "-x"}, "unknown option -x for build"},
      {{"build", "m.swf", "--layout", "mac"}, "unknown layout mac (windows, linux32 or linux64)"},
      {{"build", "m.swf", "--layout", "linux32", "--layout", "linux32"}, "option --layout given twice"},
      {{"extract", "a", "--layout", "linux32"}, "unknown option --layout for extract"},
      {{"stub", "a"}, "stub needs -o STUB"},
      {{"extract", "a", "--icon", "i.ico"}, "unknown option --icon for extract"},
      {{"build", "m", "--stub", "s", "--icon", "a.ico", "--icon", "b.ico"}, "option --icon given twice"},
      {{"build", "m", "--stub", "s", "--file-version", "1.2.3"},
       "option --file-version needs A.B.C.D, four numbers up to 65535, not 1.2.3"},
      {{"build", "m", "--stub", "s", "--product-version", "1.2.3.99999"},
       "option --product-version needs A.B.C.D, four numbers up to 65535, not 1.2.3.99999"},
      {{"build", "m", "--stub", "s", "--file-version", "1.2.3.4", "--file-version", "1.2.3.4"},
       "option --file-version given twice"},
      {{"build", "m", "--stub", "s", "--version-string", "NoEquals"}, "option --version-string needs KEY=VALUE, not NoEquals"},
      {{"build", "m", "--stub", "s", "--version-string", "=x"}, "option --version-string needs KEY=VALUE, not =x"},
      {{"build", "m", "--stub", "s", "--version-string", "A=1", "--version-string", "A=2"}, "version string A given twice"},
      {{"stub", "a", "b", "-o", "s"}, "-o names one output, but 2 inputs were given"},
  };
  for (const Case& c : cases) EXPECT_EQ(UsageErrorOf(c.args), c.reason);
#ifdef _WIN32
  EXPECT_EQ(ParseCliArgs({"build", "m.swf"}).stub, "");
  EXPECT_EQ(DefaultStubPath(), "C:\\Program Files\\Common Files\\Vantor\\SAF.dll");
#else
  EXPECT_EQ(UsageErrorOf({"build", "m.swf"}), "build needs --stub STUB");
#endif
}

TEST(CliArgs, UsageErrorsExitWithTwoAndPointAtHelp) {
  std::ostringstream out, err;
  EXPECT_EQ(RunVantorCli({"extract"}, out, err), CliUsageError);
  EXPECT_EQ(err.str(), "vantor-cli: extract needs at least one file\nTry 'vantor-cli --help'.\n");
  EXPECT_TRUE(out.str().empty());
  std::ostringstream helpOut, helpErr;
  EXPECT_EQ(RunVantorCli({"--help"}, helpOut, helpErr), CliOk);
  EXPECT_NE(helpOut.str().find("vantor-cli extract PROJECTOR... [-o MOVIE]"), std::string::npos);
  EXPECT_TRUE(helpErr.str().empty());
}

}  // namespace
