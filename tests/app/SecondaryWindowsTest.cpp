// The About and message windows as their stored descriptions make them, in one table each (as
// the main window's in MainWindowTest): the window, its skinned panel with the title-bar items,
// the memo and the label.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Unit2.h"
#include "app/Unit3.h"
#include "framework/core/TypInfo.h"
#include "framework/graphics/GdiHandles.h"
#include "tests/app/AppTestHelpers.h"
#include "tests/app/DescriptionTable.h"

namespace {

using apptest::TBounds;
using apptest::TValues;

// The skinned panel fills the client area, which takes in the caption rows the skin frees.
int PanelHeight(int storedClientHeight) { return storedClientHeight + GetSystemMetrics(SM_CYCAPTION) + 2; }

const std::string kLightGrey = std::to_string(RGB(231, 231, 231));

// The values both windows give their skinned panel.
TValues PanelValues(const char* caption, TValues own) {
  TValues values = {{"Align", "alClient"},       {"UIStyle", "MacOS"},          {"UIStyleAutoUpdateSub", "False"},
                    {"TitleBarCustom", "False"}, {"Caption", caption},          {"Color", kLightGrey},
                    {"BorderWidth", "1"},        {"RoundCornerBottom", "0"},    {"Font.Name", "Tahoma"},
                    {"Font.Height", "-11"},      {"Font.Style", "[fsBold]"},    {"Font.Color", "clBlack"},
                    {"MenuBarColor", kLightGrey}, {"MenuBarHeight", "22"},      {"PopupMenu", "nil"}};
  values.insert(values.end(), own.begin(), own.end());
  return values;
}

TValues FormValues(const char* caption, int left, int top, TValues own) {
  TValues values = {{"Left", std::to_string(left)}, {"Top", std::to_string(top)}, {"Caption", caption},
                    {"BorderStyle", "bsDialog"},    {"Color", "clBtnFace"},       {"Font.Name", "MS Sans Serif"},
                    {"Font.Height", "-11"},         {"Constraints.MinWidth", "130"}, {"Scaled", "False"}};
  values.insert(values.end(), own.begin(), own.end());
  return values;
}

const TValues kCloseButton = {
    {"ButtonType", "kyrClose"}, {"UIStyle", "MacOS"}, {"Top", "4"}, {"Visible", "True"}, {"Transparent", "False"}};

class SecondaryWindows : public apptest::TVantorTest {};

TEST_F(SecondaryWindows, TheAboutWindowIsItsDescription) {
  const std::vector<apptest::TComponentRow> rows = {
      {"Form2", "TForm2", "", {}, FormValues("About Vantor", 457, 234, {{"Constraints.MinHeight", "50"}})},
      {"kyrForm1", "TkyrForm", "Form2", TBounds{0, 0, 305, PanelHeight(172)},
       PanelValues("About Vantor", {{"BorderColor", std::to_string(RGB(127, 127, 127))},
                                    {"RoundCorner", "2"},
                                    {"TitleBarDrawAppIcon", "True"}})},
      {"kyrMemo1", "TkyrMemo", "kyrForm1", TBounds{0, 24, 305, 169},
       {{"UIStyle", "MacOS"}, {"BorderColor", "clHighlight"}, {"Font.Name", "MS Sans Serif"}, {"Font.Height", "-11"},
        {"Font.Color", "clTeal"}, {"ParentFont", "False"}, {"ReadOnly", "True"}, {"TabOrder", "1"},
        {"ScrollBars", "ssNone"}, {"WordWrap", "True"}}},
  };
  apptest::ExpectComponents(*Form2, rows);
  apptest::ExpectTitleBar(*Form2->kyrForm1, apptest::MainTitleBarButtons(), apptest::MainTitleBarSections());
}

TEST_F(SecondaryWindows, TheMessageWindowIsItsDescription) {
  // Stored without a border; the skinned panel gives it the dialog frame.
  const std::vector<apptest::TComponentRow> rows = {
      {"Form3", "TForm3", "", {}, FormValues("Message", 530, 404, {})},
      {"kyrForm1", "TkyrForm", "Form3", TBounds{0, 0, 182, PanelHeight(74)},
       PanelValues("Message", {{"BorderColor", "clBackground"}, {"RoundCorner", "0"}, {"TitleBarDrawAppIcon", "False"}})},
      // Sized to its text: its width and height are looked at below.
      {"Label1", "TLabel", "kyrForm1", {},
       {{"Left", "8"}, {"Top", "31"}, {"Caption", "Convert Success."}, {"AutoSize", "True"}, {"Transparent", "True"},
        {"Font.Name", "Times New Roman"}, {"Font.Height", "-24"}, {"Font.Color", "clTeal"},
        {"Font.Charset", "ANSI_CHARSET"}, {"Font.Style", "[]"}, {"ParentFont", "False"}}},
  };
  apptest::ExpectComponents(*Form3, rows);
  apptest::ExpectTitleBar(*Form3->kyrForm1, {kCloseButton}, apptest::MainTitleBarSections());
}

// Measured with a font made here from the description's face, height and character set, so a
// label that kept another font (its parent's, say) cannot agree.
SIZE TextExtent(const char* face, int height, BYTE charset, const std::string& text) {
  LOGFONTA logFont{};
  logFont.lfHeight = height;
  logFont.lfCharSet = charset;
  lstrcpynA(logFont.lfFaceName, face, LF_FACESIZE);
  TMemoryDC dc(nullptr);
  TFontHandle font(CreateFontIndirectA(&logFont));
  TSelectObjectGuard selected(dc.Get(), font.Get());
  SIZE size{};
  GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

TEST_F(SecondaryWindows, TheMessageLabelIsSizedToItsTextInItsOwnFont) {
  const TLabel& label = *Form3->Label1;
  const SIZE own = TextExtent("Times New Roman", -24, ANSI_CHARSET, label.Caption());
  const SIZE parents = TextExtent("Tahoma", -11, DEFAULT_CHARSET, label.Caption());
  ASSERT_NE(own.cx, parents.cx);
  EXPECT_EQ(label.Width(), own.cx);
  EXPECT_EQ(label.Height(), own.cy);
  // Each report resizes it to the new text.
  Form3->SetReportText("Not Flash EXE.");
  EXPECT_EQ(label.Width(), TextExtent("Times New Roman", -24, ANSI_CHARSET, "Not Flash EXE.").cx);
}

// The panel's Version is the library's: the message window's description stores "4.30", and
// what a description or a program writes there is accepted and changes nothing.
TEST_F(SecondaryWindows, AStoredVersionIsAcceptedAndReadsAsTheLibrarys) {
  TkyrForm& panel = *Form3->kyrForm1;
  EXPECT_EQ(GetStrProp(panel, "Version"), "5.8");
  SetStrProp(panel, "Version", "4.30");
  EXPECT_EQ(GetStrProp(panel, "Version"), "5.8");
}

}  // namespace
