// The Convert button and shell drops, with scripted dialogs and recorded error boxes.
#include <gtest/gtest.h>

#include "app/Unit1.h"
#include "app/Unit3.h"
#include "tests/app/AppTestHelpers.h"

namespace {

using apptest::TRecordedBoxes;
using apptest::TScriptedDialogs;

TEST(ConvertNames, ExtensionTestsAndNameRules) {
  struct Case {
    const char* name;
    const char* dropExt;
  } cases[] = {
      {"C:\\films\\intro.swf", ".swf"}, {"movie.SWF", ".swf"},   {"x.EXE ", ".exe"},
      {"\t y.Exe\r\n", ".exe"},         {"noext", "oext"},       {"ab", "ab"},
      {"", ""},                         {"a.swf.txt", ".txt"},   {" \x01 ", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(DropExtension(c.name), c.dropExt) << c.name;
  EXPECT_EQ(LastChars("movie.SWF", 3), "SWF");
  EXPECT_EQ(LastChars("ab", 3), "ab");
  EXPECT_EQ(WithoutExtension("C:\\films\\intro.swf"), "C:\\films\\intro");
  EXPECT_EQ(WithoutExtension("abc"), "");
  EXPECT_EQ(WithSuffix("out", ".swf"), "out.swf");
  EXPECT_EQ(WithSuffix("out.SWF", ".swf"), "out.SWF.swf");
  EXPECT_EQ(WithSuffix("out.swf", ".swf"), "out.swf");
}

class ConvertFlow : public apptest::TVantorTest {
protected:
  void SetUp() override {
    TVantorTest::SetUp();
    apptest::InstallStub(stub);
    WriteFileBytes(dir / "intro.swf", movie);
    WriteFileBytes(dir / "film.exe", apptest::ProjectorBytes(PatternBytes(300, 9), movie));
  }
  // A real click on the skinned button, through the mouse.
  void ClickConvert() { ASSERT_TRUE(apptest::ClickWithMouse(*Form1->kyrButton1)); }
  void Drop(const std::vector<std::string>& names) {
    SendMessageA(Form1->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(apptest::MakeDrop(names)), 0);
  }

  TempDir dir;
  const Bytes stub = PatternBytes(1000, 1);
  const Bytes movie = apptest::MovieBytes(777, 2);
  TRecordedBoxes boxes;
};

TEST_F(ConvertFlow, ButtonBuildsAProjectorFromAMovie) {
  TScriptedDialogs dialogs({{true, dir / "intro.swf", 2}, {true, dir / "out", 1}});
  ClickConvert();
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_FALSE(dialogs.shown[0].Save);
  EXPECT_EQ(dialogs.shown[0].Title, "Select exe or swf to convert each other");
  const TFileDialogRequest& save = dialogs.shown[1];
  EXPECT_TRUE(save.Save);
  EXPECT_EQ(save.Filter, "Flash exe(*.exe)|*.exe");
  EXPECT_EQ(save.DefaultExt, ".exe");
  EXPECT_EQ(save.FileName, dir / "intro");  // path and base name of the input
  EXPECT_EQ(save.Title, "Convert to .....");
  EXPECT_EQ(ReadFileBytes(dir / "out.exe"), apptest::ProjectorBytes(stub, movie));
  EXPECT_TRUE(Form3->Visible());
  EXPECT_EQ(Form3->Label1->Caption(), "Convert Success.");
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(ConvertFlow, ButtonExtractsAMovieAndKeepsTheDefaultExtension) {
  Form1->SD1->SetDefaultExt(".exe");  // as an earlier movie-to-projector save leaves it
  TScriptedDialogs dialogs({{true, dir / "film.exe", 1}, {true, dir / "out.SWF", 1}});
  ClickConvert();
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[1].Filter, "SWF(*.SWF)|*.swf");
  EXPECT_EQ(dialogs.shown[1].DefaultExt, ".exe");
  EXPECT_EQ(dialogs.shown[1].FileName, dir / "film");
  EXPECT_EQ(ReadFileBytes(dir / "out.SWF.swf"), movie);
  EXPECT_FALSE(PathExists(dir / "out.SWF"));
  EXPECT_EQ(Form3->Label1->Caption(), "Convert Success.");
}

TEST_F(ConvertFlow, ButtonTestIsCaseSensitiveAndCancelStops) {
  WriteFileBytes(dir / "movie.SWF", movie);
  {
    TScriptedDialogs dialogs({{true, dir / "movie.SWF", 1}});
    ClickConvert();
    EXPECT_EQ(dialogs.shown.size(), 1u);  // no save dialog
  }
  {
    TScriptedDialogs dialogs({{false, "", 1}});
    ClickConvert();
    EXPECT_EQ(dialogs.shown.size(), 1u);
  }
  {
    TScriptedDialogs dialogs({{true, dir / "intro.swf", 1}, {false, "", 1}});
    ClickConvert();
    EXPECT_EQ(dialogs.shown.size(), 2u);
  }
  EXPECT_EQ(ListFolder(dir.Path()).size(), 3u);  // nothing written
  EXPECT_FALSE(Form3->Visible());
}

TEST_F(ConvertFlow, NotAProjectorIsReportedThenASuccessReplacesIt) {
  WriteFileBytes(dir / "plain.exe", PatternBytes(100, 5));
  {
    TScriptedDialogs dialogs({{true, dir / "plain.exe", 1}, {true, dir / "a.swf", 1}});
    ClickConvert();
  }
  EXPECT_TRUE(Form3->Visible());
  EXPECT_EQ(Form3->Label1->Caption(), "Not Flash EXE.");
  {
    TScriptedDialogs dialogs({{true, dir / "intro.swf", 1}, {true, dir / "b.exe", 1}});
    ClickConvert();
  }
  EXPECT_EQ(Form3->Label1->Caption(), "Convert Success.");
  EXPECT_TRUE(IsWindowVisible(Form3->Handle()));
}

TEST_F(ConvertFlow, MissingInputReachesTheErrorBox) {
  TScriptedDialogs dialogs({{true, dir / "gone.swf", 1}, {true, dir / "x.exe", 1}});
  ClickConvert();
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].caption, "Corvane Vantor");
  EXPECT_EQ(boxes.boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_EQ(boxes.boxes[0].text, "Cannot open file " + (dir / "gone.swf") + ".");
  // Owned by one of the program's windows, so the box adds no taskbar entry of its own.
  ASSERT_NE(boxes.boxes[0].owner, nullptr);
  EXPECT_TRUE(boxes.boxes[0].owner == Application->Handle() ||
              GetWindow(boxes.boxes[0].owner, GW_OWNER) == Application->Handle());
}

TEST_F(ConvertFlow, DropOfThreeFilesAsksThreeTimesInOrder) {
  WriteFileBytes(dir / "LOUD.SWF", movie);
  TScriptedDialogs dialogs({{true, dir / "one", 1}, {true, dir / "two", 1}, {true, dir / "three", 1}});
  Drop({dir / "intro.swf", dir / "film.exe", dir / "LOUD.SWF"});
  EXPECT_EQ(apptest::WindowText(Form1->Handle()), "3");
  ASSERT_EQ(dialogs.shown.size(), 3u);
  EXPECT_EQ(dialogs.shown[0].FileName, dir / "intro");
  EXPECT_EQ(dialogs.shown[0].Filter, "Flash exe(*.exe)|*.exe");
  EXPECT_EQ(dialogs.shown[1].FileName, dir / "film");
  EXPECT_EQ(dialogs.shown[1].Filter, "SWF(*.SWF)|*.swf");
  EXPECT_EQ(dialogs.shown[1].DefaultExt, ".exe");  // set by the first file, kept
  EXPECT_EQ(dialogs.shown[2].FileName, dir / "LOUD");
  EXPECT_EQ(ReadFileBytes(dir / "one.exe"), apptest::ProjectorBytes(stub, movie));
  EXPECT_EQ(ReadFileBytes(dir / "two.swf"), movie);
  EXPECT_EQ(ReadFileBytes(dir / "three.exe"), apptest::ProjectorBytes(stub, movie));
  EXPECT_TRUE(Form3->Visible());
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(ConvertFlow, CancelledSaveSkipsOnlyThatFile) {
  TScriptedDialogs dialogs({{false, "", 1}, {true, dir / "second", 1}});
  Drop({dir / "intro.swf", dir / "film.exe", dir / "readme.txt"});
  EXPECT_EQ(apptest::WindowText(Form1->Handle()), "3");
  EXPECT_EQ(dialogs.shown.size(), 2u);  // the .txt is skipped silently
  EXPECT_EQ(ReadFileBytes(dir / "second.swf"), movie);
}

TEST_F(ConvertFlow, FailingConversionEndsTheDropWithTheErrorBox) {
  apptest::RemoveStub();
  TScriptedDialogs dialogs({{true, dir / "p1", 1}, {true, dir / "p2", 1}});
  Drop({dir / "intro.swf", dir / "film.exe"});
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, std::string("Cannot open file ") + DropStubPath + ".");
  EXPECT_EQ(dialogs.shown.size(), 1u);  // film.exe was not processed
  EXPECT_FALSE(PathExists(dir / "p2.swf"));
  EXPECT_EQ(apptest::WindowText(Form1->Handle()), "2");
}

TEST_F(ConvertFlow, DroppedNamesKeepTrailingBlanksAndFullLength) {
  const std::string longName = dir / (std::string(280, 'n') + ".swf");
  TScriptedDialogs dialogs({{false, "", 1}, {false, "", 1}});
  Drop({dir / "x.EXE ", longName});
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[0].Filter, "SWF(*.SWF)|*.swf");
  EXPECT_EQ(dialogs.shown[0].FileName, dir / "x.");  // untrimmed name less its last 4
  EXPECT_EQ(dialogs.shown[1].FileName, WithoutExtension(longName));
  EXPECT_GT(dialogs.shown[1].FileName.size(), 254u);
}

TEST_F(ConvertFlow, AnOutputPathOfTheLongestLengthIsWritten) {
  // 259 characters, the most a path may have, as long dropped names lead to.
  const std::string output = dir / (std::string(259 - dir.Path().size() - 1 - 4, 'o') + ".exe");
  ASSERT_EQ(output.size(), 259u);
  TScriptedDialogs dialogs({{true, output, 1}});
  Drop({dir / "intro.swf"});
  EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes[0].text;
  EXPECT_EQ(ReadFileBytes(output), apptest::ProjectorBytes(stub, movie));
  EXPECT_EQ(Form3->Label1->Caption(), "Convert Success.");
}

TEST_F(ConvertFlow, TwoConversionsLeaveOneMessageWindowWithTheLastResult) {
  WriteFileBytes(dir / "plain.exe", PatternBytes(50, 3));
  TScriptedDialogs dialogs({{true, dir / "m", 1}, {true, dir / "n", 1}});
  Drop({dir / "intro.swf", dir / "plain.exe"});
  EXPECT_EQ(Form3->Label1->Caption(), "Not Flash EXE.");
  int visibleMessageWindows = 0;
  for (HWND w = FindWindowExA(nullptr, nullptr, nullptr, "Message"); w; w = FindWindowExA(nullptr, w, nullptr, "Message"))
    if (IsWindowVisible(w) && GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId()) ++visibleMessageWindows;
  EXPECT_EQ(visibleMessageWindows, 1);
}

}  // namespace
