// Runs the built vantor-theme program on real folders and files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "framework/core/BmpCodec.h"
#include "skin/KYRThemeFile.h"
#include "skin/KYRThemes.h"
#include "VantorVersion.h"
#include "tests/support/TestSupport.h"

namespace {

const char kTool[] = "tools/vantor-theme/vantor-theme";

class VantorThemeTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(PathExists(BuiltProgramPath(kTool))) << BuiltProgramPath(kTool) << " is not built";
  }
  static TProgramRun Run(const std::vector<std::string>& args) { return RunBuiltProgram(kTool, args); }
  std::string Folder(const std::string& name) {
    const std::string path = dir_ / name;
    std::filesystem::create_directories(path);
    return path;
  }
  static std::string In(const std::string& folder, const std::string& name) { return folder + PathSeparator() + name; }

  // A theme folder with two bitmaps and every kind of text value.
  std::string SampleFolder() {
    const std::string folder = Folder("in");
    TBmpImage left = MakeBmpImage(3, 2, 0xFF00FF);
    left.Pixel(1, 1) = 0x123456;
    leftBmp_ = EncodeBmp(left, 24);
    buttonBmp_ = EncodeBmp(MakeBmpImage(5, 4, 0x00FF00), 8);
    WriteFileBytes(In(folder, "TitleBarLeftImage.bmp"), leftBmp_);
    WriteFileBytes(In(folder, "buttonimage.bmp"), buttonBmp_);  // keys ignore letter case
    WriteFileText(In(folder, "theme.txt"),
                  "# a comment\n"
                  "FormMinWidthInt = 200\n"
                  "\n"
                  "TitleBarButtonRightOffsetInt=-3\n"
                  "FormBackgroundColor = #EFEBDE\n"
                  "menubarcolor = $00CED3D6\n"
                  "ButtonTransparentBool = true\n"
                  "TitleBarButtonTransparentBool = 2\r\n");
    return folder;
  }

  TempDir dir_;
  Bytes leftBmp_, buttonBmp_;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST_F(VantorThemeTest, PackWritesWhatTheReaderLoads) {
  TProgramRun run = Run({"pack", SampleFolder(), "-o", dir_ / "a.thm"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  ASSERT_TRUE(IsValidThemeFile(dir_ / "a.thm"));
  TkyrThemeFileReader reader(dir_ / "a.thm");
  EXPECT_EQ(reader.Entries().size(), 8u);
  EXPECT_EQ(reader.GetInteger("FormMinWidthInt"), 200);
  EXPECT_EQ(reader.GetInteger("TitleBarButtonRightOffsetInt"), -3);
  EXPECT_EQ(reader.GetInteger("FormBackgroundColor"), 0xDEEBEF);  // #RRGGBB stored as $00BBGGRR
  EXPECT_EQ(reader.GetInteger("MenuBarColor"), 0xCED3D6);
  EXPECT_TRUE(reader.GetBool("ButtonTransparentBool"));
  TStream* left = reader.GetStream("TitleBarLeftImage");
  ASSERT_NE(left, nullptr);
  EXPECT_EQ(static_cast<TMemoryStream*>(left)->Bytes(), leftBmp_);
  // Entries come in element order with their keys' own spelling.
  EXPECT_EQ(reader.Entries()[0].Name, "ButtonImage");
  EXPECT_EQ(reader.Entries()[1].Name, "ButtonTransparentBool");
  EXPECT_EQ(reader.Entries()[7].Name, "MenuBarColor");
}

TEST_F(VantorThemeTest, DumpListsEntriesThenEveryElement) {
  ASSERT_EQ(Run({"pack", SampleFolder(), "-o", dir_ / "a.thm"}).ExitCode, 0);
  TProgramRun run = Run({"dump", dir_ / "a.thm"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  const std::vector<std::string> lines = Lines(run.Out);
  ASSERT_EQ(lines.size(), 8u + KYR_THEME_ELEMENT_COUNT);
  EXPECT_EQ(lines[0], "image \"ButtonImage\" 5x4@8");
  EXPECT_EQ(lines[1], "bool \"ButtonTransparentBool\" 1");
  EXPECT_EQ(lines[2], "bool \"TitleBarButtonTransparentBool\" 2");
  EXPECT_EQ(lines[3], "int \"TitleBarButtonRightOffsetInt\" -3");
  EXPECT_EQ(lines[4], "image \"TitleBarLeftImage\" 3x2@24");
  EXPECT_EQ(lines[6], "int \"FormBackgroundColor\" 14609391");
  EXPECT_EQ(lines[8], "ButtonImage int=-1 bool=false image=5x4@8");
  EXPECT_EQ(lines[8 + KYR_THEME_BUTTON_TRANSPARENT_BOOL - 1], "ButtonTransparentBool int=-1 bool=true image=none");
  EXPECT_EQ(lines[8 + KYR_THEME_FORM_MIN_WIDTH_INT - 1], "FormMinWidthInt int=200 bool=false image=none");
  EXPECT_EQ(lines[8 + KYR_THEME_MENU_MENU_BAR_COLOR - 1], "MenuMenuBarColor int=-1 bool=false image=none");
}

TEST_F(VantorThemeTest, UnpackAndPackAgainGiveTheSameFile) {
  ASSERT_EQ(Run({"pack", SampleFolder(), "-o", dir_ / "a.thm"}).ExitCode, 0);
  TProgramRun unpack = Run({"unpack", dir_ / "a.thm", "-o", dir_ / "out"});
  ASSERT_EQ(unpack.ExitCode, 0) << unpack.Err;
  EXPECT_EQ(ReadFileBytes(In(dir_ / "out", "TitleBarLeftImage.bmp")), leftBmp_);
  EXPECT_EQ(ReadFileBytes(In(dir_ / "out", "ButtonImage.bmp")), buttonBmp_);
  EXPECT_EQ(ReadTextFile(In(dir_ / "out", "theme.txt")),
            "ButtonTransparentBool = 1\n"
            "TitleBarButtonTransparentBool = 2\n"
            "TitleBarButtonRightOffsetInt = -3\n"
            "FormMinWidthInt = 200\n"
            "FormBackgroundColor = $00DEEBEF\n"
            "MenuBarColor = $00CED3D6\n");
  ASSERT_EQ(Run({"pack", dir_ / "out", "-o", dir_ / "b.thm"}).ExitCode, 0);
  EXPECT_EQ(ReadFileBytes(dir_ / "b.thm"), ReadFileBytes(dir_ / "a.thm"));
}

TEST_F(VantorThemeTest, PackRefusesWhatIsNoThemeElement) {
  const struct {
    const char* File;
    std::string Content;
    std::string Message;
  } cases[] = {
      {"theme.txt", "FormMinWidth = 3\n", "theme.txt line 1: unknown theme element \"FormMinWidth\""},
      {"theme.txt", "\nFormMinWidthInt 3\n", "theme.txt line 2: expected \"Key = value\""},
      {"theme.txt", "FormMinWidthInt = 3x\n", "theme.txt line 1: \"3x\" is not an integer for FormMinWidthInt"},
      {"theme.txt", "MenuBarColor = #12345\n",
       "theme.txt line 1: \"#12345\" is not a colour ($00BBGGRR or #RRGGBB) for MenuBarColor"},
      {"theme.txt", "ButtonTransparentBool = 256\n",
       "theme.txt line 1: \"256\" is not a boolean (true, false or 0..255) for ButtonTransparentBool"},
      {"theme.txt", "ButtonImage = 1\n", "theme.txt line 1: ButtonImage is an image element; give it as ButtonImage.bmp"},
      {"theme.txt", "FormMinWidthInt = 1\nformminwidthint = 2\n", "theme.txt line 2: FormMinWidthInt is given twice"},
      {"Button.bmp", "", "Button.bmp: unknown theme element \"Button\""},
      {"MenuBarColor.bmp", "", "MenuBarColor.bmp: MenuBarColor is not an image element; give it in theme.txt"},
      {"ButtonImage.bmp", "not a bitmap", "ButtonImage.bmp: "},
      {"notes.md", "", "notes.md: not a theme element (expected theme.txt and KEY.bmp files)"},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Message);
    const std::string folder = Folder("bad" + std::to_string(n++));
    WriteFileText(In(folder, c.File), c.Content);
    TProgramRun run = Run({"pack", folder, "-o", dir_ / "x.thm"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_NE(run.Err.find("vantor-theme: " + c.Message), std::string::npos) << run.Err;
    EXPECT_FALSE(PathExists(dir_ / "x.thm"));
  }
}

TEST_F(VantorThemeTest, RefusedFilesPrintTheirErrorAndExitOne) {
  WriteFileText(dir_ / "plain.txt", "hello, this is no theme file at all");
  Bytes header(24, 0);
  const std::string magic = "Tessarn_TB";
  std::copy(magic.begin(), magic.end(), header.begin());
  header[12] = 30;  // header size 30
  WriteFileBytes(dir_ / "bad.thm", header);
  const struct {
    std::string File, Message;
  } cases[] = {
      {dir_ / "missing.thm", "Cannot open file " + (dir_ / "missing.thm")},
      {dir_ / "plain.txt", (dir_ / "plain.txt") + " is not a theme file: its magic is not \"Tessarn_TB\""},
      {dir_ / "bad.thm", "Theme file " + (dir_ / "bad.thm") + " cannot be read safely: its header size is 30, not 24"},
  };
  for (const auto& c : cases) {
    for (const char* command : {"dump", "unpack"}) {
      SCOPED_TRACE(std::string(command) + " " + c.File);
      TProgramRun run = std::string(command) == "dump" ? Run({"dump", c.File}) : Run({"unpack", c.File, "-o", dir_ / "o"});
      EXPECT_EQ(run.ExitCode, 1);
      EXPECT_EQ(run.Err, "vantor-theme: " + c.Message + "\n");
      EXPECT_EQ(run.Out, "");
    }
  }
}

TEST_F(VantorThemeTest, UnpackWritesOnlyThemeElements) {
  // Names from a file must never become paths outside the folder.
  Bytes image = EncodeBmp(MakeBmpImage(1, 1), 24);
  std::vector<std::pair<uint8_t, std::string>> records = {
      {0, "../escaped"}, {3, "Author"}, {1, "ButtonImage"}, {0, "ButtonImage"}, {0, "BUTTONIMAGE"}};
  Bytes file = {'T', 'e', 's', 's', 'a', 'r', 'n', '_', 'T', 'B', 0, 0, 24, 0, 0, 0, 0, 0, 0, 0, 24, 0, 0, 0};
  const uint32_t dataAt = 24 + 77 * uint32_t(records.size() + 1);
  for (size_t i = 0; i <= records.size(); ++i) {
    std::string name = i < records.size() ? records[i].second : "";
    name.resize(64, '\0');
    file.insert(file.end(), name.begin(), name.end());
    file.push_back(i < records.size() ? records[i].first : 0);
    const uint8_t kind = i < records.size() ? records[i].first : 0;
    const uint32_t length = i == records.size() ? 0 : kind == 1 ? 4 : kind == 3 ? 1 : uint32_t(image.size());
    const uint32_t next = i < records.size() ? 24 + 77 * uint32_t(i + 1) : 0;
    for (uint32_t v : {dataAt, length, next}) {
      for (int s = 0; s < 32; s += 8) file.push_back(uint8_t(v >> s));
    }
  }
  file.insert(file.end(), image.begin(), image.end());
  WriteFileBytes(dir_ / "odd.thm", file);
  const std::string out = Folder("deep") + PathSeparator() + "out";
  TProgramRun run = Run({"unpack", dir_ / "odd.thm", "-o", out});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(run.Err,
            "skipped entry \"../escaped\": it is no theme element\n"
            "skipped entry \"Author\": it is a text\n"
            "skipped entry \"ButtonImage\": it is stored as int\n"
            "skipped entry \"BUTTONIMAGE\": an earlier entry has that name\n");
  std::vector<std::string> written = ListFolder(out);
  std::sort(written.begin(), written.end());
  EXPECT_EQ(written, (std::vector<std::string>{"ButtonImage.bmp", "theme.txt"}));
  EXPECT_FALSE(PathExists(In(dir_ / "deep", "escaped")));
}

// --help and --version answer on standard output with status 0; usage errors go to standard
// error with status 2.
TEST_F(VantorThemeTest, HelpAndVersionPrintToStandardOutput) {
  TProgramRun help = Run({"--help"});
  EXPECT_EQ(help.ExitCode, 0);
  EXPECT_EQ(help.Err, "");
  EXPECT_NE(help.Out.find("usage: vantor-theme pack DIR -o FILE"), std::string::npos);
  TProgramRun version = Run({"--version"});
  EXPECT_EQ(version.ExitCode, 0);
  EXPECT_EQ(version.Err, "");
  EXPECT_EQ(version.Out, "vantor-theme " VANTOR_VERSION "\n");
}

TEST_F(VantorThemeTest, UsageErrorsExitTwo) {
  const std::vector<std::vector<std::string>> cases = {
      {}, {"frob"}, {"dump"}, {"dump", "a", "b"}, {"pack", "dir"}, {"pack", "dir", "-x", "f"}, {"unpack", "f", "-o"},
      {"--help", "dump"}, {"--version", "x"}};
  for (const auto& args : cases) {
    TProgramRun run = Run(args);
    EXPECT_EQ(run.ExitCode, 2) << args.size();
    EXPECT_NE(run.Err.find("usage: vantor-theme pack DIR -o FILE"), std::string::npos);
    EXPECT_EQ(run.Out, "");
  }
}

// Both builds carry the built-in bitmaps: export writes each as the .bmp file in skin/res.
TEST_F(VantorThemeTest, ExportWritesABuiltinStyle) {
  TProgramRun run = Run({"export", "macos", "-o", dir_ / "mac.thm"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  TkyrThemeFileReader reader(dir_ / "mac.thm");
  for (int e = 1; e <= KYR_THEME_ELEMENT_COUNT; ++e) {
    const std::string key = GetThemeElementKey(e);
    switch (GetThemeElementKind(e)) {
      case kyrThemeInt: EXPECT_EQ(reader.GetInteger(key), GetBuiltinInt(MacOS, e)) << key; break;
      case kyrThemeColor: EXPECT_EQ(reader.GetInteger(key), GetBuiltinColor(MacOS, e)) << key; break;
      case kyrThemeBool: EXPECT_EQ(reader.GetBool(key), GetBuiltinBool(MacOS, e)) << key; break;
      case kyrThemeImage: EXPECT_EQ(reader.GetStream(key) != nullptr, *GetBuiltinImageName(MacOS, e) != 0) << key; break;
    }
  }
  const Bytes& button = static_cast<TMemoryStream*>(reader.GetStream("TitleBarButtonImage"))->Bytes();
  EXPECT_EQ(button, ReadFileBytes(EnvOr("VANTOR_SOURCE_DIR", ".") + "/skin/res/MACOS_TITLEBTN.bmp"));
  const TBmpImage image = DecodeBmp(button);
  EXPECT_EQ(image.Width, 306);
  EXPECT_EQ(image.Height, 17);
  EXPECT_EQ(Run({"export", "Plaid", "-o", dir_ / "x.thm"}).ExitCode, 1);
  EXPECT_FALSE(PathExists(dir_ / "x.thm"));
}

// Every style exports, and the same style twice gives the same file.
TEST_F(VantorThemeTest, EveryBuiltinStyleExports) {
  for (const char* style : {"MacOS", "WinXP", "DeepBlue", "Protein", "BlueGlass"}) {
    const std::string a = dir_ / (std::string(style) + "-a.thm"), b = dir_ / (std::string(style) + "-b.thm");
    TProgramRun run = Run({"export", style, "-o", a});
    ASSERT_EQ(run.ExitCode, 0) << style << ": " << run.Err;
    Run({"export", style, "-o", b});
    EXPECT_TRUE(IsValidThemeFile(a)) << style;
    EXPECT_EQ(ReadFileBytes(a), ReadFileBytes(b)) << style;
  }
}

}  // namespace
