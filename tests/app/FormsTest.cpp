// The four windows as their stored descriptions and the start-up make them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit4.h"
#include "tests/app/AppTestHelpers.h"
#include "tests/support/TestSupport.h"

namespace {

using apptest::WindowText;

class StartUp : public apptest::TVantorTest {};

// A skinned window keeps the outer size its stored client size gave it as a dialog with a
// caption; without the caption those rows are client area too, all but the skin's frame of 3
// pixels (1 at the bottom).
void ExpectSkinnedClientSize(TCustomForm* form, int storedWidth, int storedHeight) {
  SCOPED_TRACE(form->Caption());
  EXPECT_EQ(form->Width(), storedWidth + 6);
  EXPECT_EQ(form->Height(), storedHeight + GetSystemMetrics(SM_CYCAPTION) + 6);
  EXPECT_EQ(form->ClientWidth(), form->Width() - 6);
  EXPECT_EQ(form->ClientHeight(), form->Height() - 4);
}

TEST_F(StartUp, FormsExistInOrderAndOnlyTheMainWindowIsVisible) {
  ASSERT_NE(Form1, nullptr);
  ASSERT_NE(Form4, nullptr);
  EXPECT_EQ(Application->MainForm(), Form1);
  const std::vector<TCustomForm*>& forms = AllForms();
  std::vector<std::string> names;
  for (TCustomForm* f : forms) names.push_back(f->ClassName());
  EXPECT_EQ(names, (std::vector<std::string>{"TForm1", "TForm2", "TForm3", "TForm4"}));
  EXPECT_TRUE(IsWindowVisible(Form1->Handle()));
  EXPECT_FALSE(Form2->Visible());
  EXPECT_FALSE(Form3->Visible());
  EXPECT_FALSE(Form4->Visible());
  EXPECT_EQ(Application->Title(), "Corvane Vantor");
}

TEST_F(StartUp, SaveDialogStartsWithoutFilterOrDefaultExtension) {
  EXPECT_EQ(Form1->SD1->Filter(), "");
  EXPECT_EQ(Form1->SD1->DefaultExt(), "");
  EXPECT_EQ(Form1->SD1->Title(), "Convert to .....");
  EXPECT_EQ(Form1->SD1->Options(), DefaultOpenOptions);
  EXPECT_EQ(Form1->OD1->Filter(), "Flash(*.exe)|*.exe|Flash(*.swf)|*.swf");
  EXPECT_EQ(Form1->OD1->Title(), "Select exe or swf to convert each other");
  EXPECT_EQ(Form1->OD1->FilterIndex(), 1);
}

TEST_F(StartUp, MainWindowLayoutFromItsDescription) {
  // The stored values themselves are compared with the layout in MainWindowTest.
  EXPECT_EQ(WindowText(Form1->Handle()), "Vantor");
  ExpectSkinnedClientSize(Form1, 163, 99);
  // The description stores 130; the skinned title bar then gives the form its style's minimum.
  EXPECT_EQ(Form1->Constraints()->MinWidth(), GetBuiltinInt(MacOS, KYR_THEME_FORM_MIN_WIDTH_INT));
  EXPECT_EQ(Form1->Constraints()->MinHeight(), 50);
  // Skinned: no caption bits.
  EXPECT_EQ(GetWindowLongA(Form1->Handle(), GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_EQ(Form1->kyrForm1->HostForm(), Form1);
  ASSERT_EQ(Form1->kyrPopupMenu1->Items()->Count(), 1);
  EXPECT_EQ(Form1->kyrPopupMenu1->Items()->Items(0), Form1->About1);
  // Drops are accepted: FormCreate ran after the description was read.
  EXPECT_TRUE(GetWindowLongA(Form1->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

// The stored colours come after UIStyle, so they are the ones that stay (MainWindowTest compares
// them with the layout); the menu is the skinned one, with its routines on the stored item.
TEST_F(StartUp, MainWindowMenuIsSkinnedWithItsStoredValues) {
  const TkyrPopupMenu& menu = *Form1->kyrPopupMenu1;
  EXPECT_TRUE(menu.TMenu::OwnerDraw());
  EXPECT_EQ(menu.FileTheme(), nullptr);
  EXPECT_EQ(menu.Color(), clBlack);
  // Loaded gave the stored item the menu's routines.
  EXPECT_TRUE(Form1->About1->OnMeasureItem() && Form1->About1->OnDrawItem());
  EXPECT_TRUE(static_cast<bool>(Form1->About1->OnClick()));
}

TEST_F(StartUp, SecondaryWindowsKeepTheirOwnProperties) {
  struct Case {
    TCustomForm* form;
    const char* caption;
    int left, top, clientWidth, clientHeight;
    TFormBorderStyle border;
  } cases[] = {
      {Form2, "About Vantor", 457, 234, 305, 172, bsDialog},
      {Form3, "Message", 530, 404, 182, 74, bsDialog},  // skinned: a dialog frame without caption
      {Form4, "Donation", 647, 123, 238, 289, bsNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.form->Caption(), c.caption);
    EXPECT_EQ(c.form->Left(), c.left) << c.caption;
    EXPECT_EQ(c.form->Top(), c.top) << c.caption;
    if (c.form == Form4) {
      EXPECT_EQ(c.form->ClientWidth(), c.clientWidth) << c.caption;
      EXPECT_EQ(c.form->ClientHeight(), c.clientHeight) << c.caption;
    } else {
      ExpectSkinnedClientSize(c.form, c.clientWidth, c.clientHeight);
    }
    EXPECT_EQ(c.form->BorderStyle(), c.border) << c.caption;
    EXPECT_EQ(c.form->Constraints()->MinWidth(), 130) << c.caption;
    EXPECT_EQ(c.form->Font()->Name(), "MS Sans Serif") << c.caption;
    EXPECT_FALSE(c.form->Scaled()) << c.caption;
  }
}

// The About text, line by line: the blanks after "flash", at the end of line 4 and before line 5
// are part of it.
const std::vector<std::string> kAboutLines = {
    "Vantor Features:",
    std::string(90, '-'),
    "1. Easy to convert flash  between SWF and EXE.",
    "2. Easy to release your flash cards in EXE format to your friends, ",
    "    they can view it without flash player.",
    "3. Support drag-drop method.",
    std::string(90, '-'),
    "http://www.corvane.example/",
    "Email:support@corvane.example",
};

std::vector<std::string> MemoLines(TCustomMemo& memo) {
  std::vector<std::string> lines;
  for (int i = 0; i < memo.Lines().Count(); ++i) lines.push_back(memo.Lines().Strings(i));
  return lines;
}

// A skinned, read-only memo holding exactly the nine lines: keys typed into it change nothing,
// and the window shows the same text again after its close button hid it.
TEST_F(StartUp, AboutTextIsExactReadOnlyAndKeptAcrossClose) {
  TkyrMemo* memo = Form2->kyrMemo1;
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(MemoLines(*memo), kAboutLines);
  EXPECT_TRUE(memo->ReadOnly());
  EXPECT_TRUE(memo->WordWrap());
  EXPECT_EQ(memo->UIStyle(), MacOS);
  EXPECT_EQ(memo->BorderColor(), clHighlight);
  EXPECT_EQ(memo->Font()->Color(), clTeal);

  Form1->About1->Click();
  memo->SetFocus();
  for (const char c : std::string("typed\r"))
    SendMessageA(memo->Handle(), WM_CHAR, static_cast<WPARAM>(c), 0);
  SendMessageA(memo->Handle(), WM_KEYDOWN, VK_DELETE, 0);
  SendMessageA(memo->Handle(), WM_PASTE, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(MemoLines(*memo), kAboutLines);

  Form2->Hide();
  Application->ProcessMessages();
  Form1->About1->Click();
  EXPECT_TRUE(IsWindowVisible(Form2->Handle()));
  EXPECT_EQ(MemoLines(*memo), kAboutLines);
  Form2->Hide();
}

TEST_F(StartUp, MainAboutAndDonationWindowsCarryTheProgramIcon) {
  for (TCustomForm* form : std::initializer_list<TCustomForm*>{Form1, Form2, Form4}) {
    ASSERT_NE(form->Icon()->Handle(), nullptr) << form->Caption();
    EXPECT_EQ(form->Icon()->Width(), 48);
    EXPECT_FALSE(form->Icon()->WriteData().empty()) << "read from the description";
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(form->Handle(), WM_GETICON, ICON_BIG, 0)), form->Icon()->Handle());
  }
  // The message window has none of its own: it shows the application's.
  EXPECT_EQ(Form3->Icon()->Handle(), nullptr);
  ASSERT_NE(Application->Icon()->Handle(), nullptr);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(Form3->Handle(), WM_GETICON, ICON_BIG, 0)), Application->Icon()->Handle());
}

TEST_F(StartUp, AboutEntryShowsTheAboutWindowOnce) {
  Form1->About1->Click();
  EXPECT_TRUE(Form2->Visible());
  EXPECT_TRUE(IsWindowVisible(Form2->Handle()));
  Form1->About1->Click();
  EXPECT_TRUE(Form2->Visible());
  Form2->Hide();
}

}  // namespace

// Each skinned window closes through its title bar's close button: the secondary windows hide.
TEST_F(StartUp, SecondaryWindowsHideThroughTheirTitleBarsCloseButton) {
  for (TForm* form : std::initializer_list<TForm*>{Form2, Form3}) {
    SCOPED_TRACE(form->Caption());
    TkyrForm* panel = form == Form2 ? Form2->kyrForm1 : Form3->kyrForm1;
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->HostForm(), form);
    TkyrTitleBarButton* close = nullptr;
    for (int i = 0; i < panel->TitleBarButtons()->Count(); ++i)
      if (panel->TitleBarButtons()->Items(i)->ButtonType() == kyrClose) close = panel->TitleBarButtons()->Items(i);
    ASSERT_NE(close, nullptr);
    form->Show();
    Application->ProcessMessages();
    close->ClickAction();
    Application->ProcessMessages();
    EXPECT_FALSE(form->Visible());
    EXPECT_TRUE(Form1->Visible());
  }
}
