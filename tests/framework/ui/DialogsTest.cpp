#include <gtest/gtest.h>

#include <windows.h>

#include <commdlg.h>
#include <dlgs.h>

#include <string>
#include <vector>

#include "framework/ui/Dialogs.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace {

// Answers file dialogs from a script and records what each would have shown.
class TScriptedDialogs {
public:
  explicit TScriptedDialogs(std::vector<TFileDialogAnswer> answers) : answers_(std::move(answers)) {
    previous_ = SetFileDialogHook([this](const TFileDialogRequest& request) {
      shown.push_back(request);
      TFileDialogAnswer a = answers_.at(next_++);
      return a;
    });
  }
  ~TScriptedDialogs() { SetFileDialogHook(previous_); }
  std::vector<TFileDialogRequest> shown;

private:
  std::vector<TFileDialogAnswer> answers_;
  size_t next_ = 0;
  TFileDialogHook previous_;
};

TEST(FileDialogs, DefaultOptionsAndFlags) {
  TOpenDialog open(nullptr);
  EXPECT_EQ(open.Options(), DefaultOpenOptions);
  const DWORD flags = OpenOptionFlags(open.Options());
  EXPECT_TRUE(flags & OFN_HIDEREADONLY);
  EXPECT_TRUE(flags & OFN_ENABLESIZING);
  EXPECT_TRUE(flags & OFN_EXPLORER);
  EXPECT_FALSE(flags & OFN_FILEMUSTEXIST);
  EXPECT_FALSE(flags & OFN_OVERWRITEPROMPT);
  EXPECT_EQ(OpenOptionFlags({ofOverwritePrompt, ofOldStyleDialog}), static_cast<DWORD>(OFN_OVERWRITEPROMPT));
}

TEST(FileDialogs, FilterBecomesANulSeparatedList) {
  const std::string list = CommonDialogFilter("Flash(*.exe)|*.exe|Flash(*.swf)|*.swf");
  EXPECT_EQ(list, std::string("Flash(*.exe)\0*.exe\0Flash(*.swf)\0*.swf\0\0", 39));
  EXPECT_EQ(CommonDialogFilter(""), "");
}

TEST(FileDialogs, ScriptedAnswersAndValuesKeptBetweenUses) {
  TScriptedDialogs script({{true, "C:\\films\\intro.exe", 1}, {false, "ignored", 2}, {true, "C:\\b.swf", 2}});
  TSaveDialog save(nullptr);
  save.SetTitle("Convert to .....");
  save.SetFilter("Flash exe(*.exe)|*.exe");
  save.SetDefaultExt(".exe");
  save.SetFileName("C:\\films\\intro");
  ASSERT_TRUE(save.Execute());
  EXPECT_EQ(save.FileName(), "C:\\films\\intro.exe");

  save.SetFilter("SWF(*.SWF)|*.swf");
  EXPECT_FALSE(save.Execute());  // cancelled: the name stays
  EXPECT_EQ(save.FileName(), "C:\\films\\intro.exe");

  TOpenDialog open(nullptr);
  open.SetFilter("Flash(*.exe)|*.exe|Flash(*.swf)|*.swf");
  ASSERT_TRUE(open.Execute());
  EXPECT_EQ(open.FilterIndex(), 2);

  ASSERT_EQ(script.shown.size(), 3u);
  EXPECT_TRUE(script.shown[0].Save);
  EXPECT_EQ(script.shown[0].Title, "Convert to .....");
  EXPECT_EQ(script.shown[0].Filter, "Flash exe(*.exe)|*.exe");
  EXPECT_EQ(script.shown[0].DefaultExt, ".exe");
  EXPECT_EQ(script.shown[0].FileName, "C:\\films\\intro");
  EXPECT_EQ(script.shown[1].Filter, "SWF(*.SWF)|*.swf");
  EXPECT_EQ(script.shown[1].DefaultExt, ".exe");  // kept from the earlier use
  EXPECT_EQ(script.shown[1].FileName, "C:\\films\\intro.exe");
  EXPECT_FALSE(script.shown[2].Save);
}

// The real save dialog: a timer finds it by its title, types a name and confirms.
TEST(FileDialogs, RealSaveDialogEndToEnd) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string typed = std::string(temp) + "vantor_real_dialog";
  TSaveDialog save(nullptr);
  save.SetTitle("Real save test");
  save.SetFilter("Flash exe(*.exe)|*.exe");
  save.SetDefaultExt(".exe");
  uitest::TFileDialogFiller filler("Real save test", typed);
  const bool ok = save.Execute();
  EXPECT_TRUE(filler.Seen());
  ASSERT_TRUE(ok);
  EXPECT_EQ(save.FileName(), typed + ".exe");  // the dialog added the default extension
}

TEST(MessageBoxes, ShowMessageIsAnInformationBoxWithTheTitle) {
  const std::string saved = Application->Title();
  Application->SetTitle("Corvane Vantor");
  uitest::TMessageBoxRecorder boxes;
  ShowMessage("Sorry, no.");
  Application->SetTitle(saved);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Sorry, no.");
  EXPECT_EQ(boxes.boxes[0].caption, "Corvane Vantor");
  EXPECT_EQ(boxes.boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
}


TEST(MessageDialogs, TypesAndButtonsMapOntoTheMessageBox) {
  EXPECT_EQ(MessageDlgFlags(mtConfirmation, mbOKCancel), UINT(MB_OKCANCEL | MB_ICONQUESTION));
  EXPECT_EQ(MessageDlgFlags(mtWarning, mbYesNo), UINT(MB_YESNO | MB_ICONWARNING));
  EXPECT_EQ(MessageDlgFlags(mtError, {mbOK}), UINT(MB_OK | MB_ICONERROR));
  EXPECT_EQ(MessageDlgFlags(mtInformation, mbYesNoCancel), UINT(MB_YESNOCANCEL | MB_ICONINFORMATION));
  EXPECT_EQ(MessageDlgFlags(mtCustom, mbAbortRetryIgnore), UINT(MB_ABORTRETRYIGNORE));
  EXPECT_EQ(MessageDlgFlags(mtCustom, {mbRetry, mbCancel}), UINT(MB_RETRYCANCEL));
  EXPECT_EQ(MessageDlgFlags(mtCustom, {}), UINT(MB_OK));
  EXPECT_EQ(MessageDlgFlags(mtCustom, {mbCancel}), UINT(MB_OKCANCEL)) << "the first row holding the button";
  EXPECT_EQ(MessageDlgFlags(mtCustom, {mbYes, mbNoToAll}), UINT(MB_YESNO)) << "the single forms stand in";
  EXPECT_EQ(MessageDlgFlags(mtCustom, {mbYes, mbNo, mbOK}), UINT(MB_YESNO)) << "no row holds all: the one holding most";
  EXPECT_EQ(MessageDlgFlags(mtCustom, {mbOK, mbHelp}), UINT(MB_OK | MB_HELP));
  EXPECT_EQ(MessageDlgCaption(mtConfirmation), "Confirm");
  EXPECT_EQ(MessageDlgCaption(mtError), "Error");
}

TEST(MessageDialogs, TheAnswerComesBackAsAModalResultAndAFailedBoxNeverConfirms) {
  for (int answer : {IDYES, IDNO, IDCANCEL, IDOK, IDRETRY}) {
    std::vector<std::string> seen;
    TMessageBoxHook previous = SetMessageBoxHook([&](HWND owner, const std::string& text, const std::string& caption, UINT flags) {
      EXPECT_EQ(owner, Application->DialogOwner());
      seen.push_back(text + "|" + caption + "|" + std::to_string(flags));
      return answer;
    });
    EXPECT_EQ(MessageDlg("Delete record?", mtConfirmation, mbOKCancel, 0), answer);
    SetMessageBoxHook(previous);
    EXPECT_EQ(seen, std::vector<std::string>{"Delete record?|Confirm|" + std::to_string(MB_OKCANCEL | MB_ICONQUESTION)});
  }
  TMessageBoxHook previous = SetMessageBoxHook([](HWND, const std::string&, const std::string&, UINT) { return 0; });
  EXPECT_EQ(MessageDlg("Sure?", mtConfirmation, mbYesNo, 0), mrCancel);
  SetMessageBoxHook(previous);
}

// The real message box: a timer finds it by its caption and presses No.
void CALLBACK AnswerNo(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = FindWindowA("#32770", "Confirm");
  if (box) PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDNO)));
}

TEST(MessageDialogs, TheRealMessageBoxAnswers) {
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerNo);
  const int answer = MessageDlg("Keep the changes?", mtConfirmation, mbYesNo, 0);
  KillTimer(nullptr, timer);
  EXPECT_EQ(answer, mrNo);
}

}  // namespace
