// The skin demo under Wine: its windows against their stored descriptions (the MDI frame, the
// Controls child, the numbered children, About), the style commands reaching every skinned
// component of every window, children included (by component and by pixels), theme files
// written by vantor-theme, the open dialog for real once, About and Exit.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "framework/graphics/GdiHandles.h"
#include "skin/KYRStyled.h"
#include "tests/app/DescriptionTable.h"
#include "tests/framework/ui/UiTestHelpers.h"
#include "tests/support/TestSupport.h"
#include "tests/tools/skin-demo/DemoTestSupport.h"
#include "tools/skin-demo/DemoAbout.h"
#include "tools/skin-demo/DemoChild.h"
#include "tools/skin-demo/DemoControls.h"
#include "tools/skin-demo/DemoMain.h"

namespace {

using apptest::TBounds;

// The client height of a stored one once the skinned panel has taken the window's caption
// away: the window keeps its size, so the caption's height (and the frame's 2 pixels) comes to
// the client, as on the program's own windows.
int SkinnedClientHeight(int stored) { return stored + GetSystemMetrics(SM_CYCAPTION) + 2; }
using apptest::TComponentRow;


using demotest::ChildCalled;
using demotest::ItemCaptions;
using demotest::SkinDemo;

TDemoControlsForm& Controls() { return *dynamic_cast<TDemoControlsForm*>(ChildCalled("Controls")); }
TDemoChildForm& Child(const char* caption) { return *dynamic_cast<TDemoChildForm*>(ChildCalled(caption)); }

// Every window of the demo: the frame, its children, About.
std::vector<TCustomForm*> DemoWindows() { return AllForms(); }

// The skinned components a window owns, by name.
std::vector<std::pair<std::string, IkyrSkinned*>> SkinnedOf(TCustomForm& form) {
  std::vector<std::pair<std::string, IkyrSkinned*>> found;
  for (int i = 0; i < form.ComponentCount(); ++i)
    if (IkyrSkinned* skinned = AsSkinned(form.Components(i))) found.emplace_back(form.Components(i)->Name(), skinned);
  return found;
}

// The pixels CONTROL paints for WM_PRINTCLIENT.
std::vector<TColor> Pixels(TWinControl& control) {
  uitest::TCapture capture(control.Width(), control.Height());
  capture.Fill(clFuchsia);
  SendMessageA(control.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(capture.DC()), PRF_CLIENT);
  std::vector<TColor> pixels;
  for (int y = 0; y < control.Height(); ++y)
    for (int x = 0; x < control.Width(); ++x) pixels.push_back(capture.Pixel(x, y));
  return pixels;
}

// BAR's first arrow button.
TWinControl* FirstArrow(TkyrScrollBar& bar) {
  for (int i = 0; i < bar.ControlCount(); ++i)
    if (auto* arrow = dynamic_cast<TkyrImageButton*>(bar.Controls(i))) return arrow;
  return nullptr;
}

// What the probed controls of the windows paint, by "window.control": the frame's and panels'
// title bars, the frame's toolbar, buttons, track bars and a scroll bar's arrow (its own child window), whose looks
// every style draws differently.
std::map<std::string, std::vector<TColor>> Looks() {
  TDemoControlsForm& controls = Controls();
  TDemoChildForm& child = Child("Child 2");
  TDemoAboutForm& about = *DemoAboutForm;
  const std::pair<const char*, TWinControl*> probes[] = {
      {"frame.titleBar", DemoMainForm->kyrMDIForm1->TitleBar()},
      {"frame.kyrToolBar1", DemoMainForm->kyrToolBar1},
      {"controls.titleBar", controls.kyrForm1->TitleBar()},
      {"controls.kyrButton1", controls.kyrButton1},
      {"controls.kyrTrackBar1", controls.kyrTrackBar1},
      {"controls.kyrScrollBar3.arrow", FirstArrow(*controls.kyrScrollBar3)},
      {"child2.kyrTrackBar1", child.kyrTrackBar1},
      {"about.titleBar", about.kyrForm1->TitleBar()},
      {"about.kyrButton1", about.kyrButton1},
  };
  std::map<std::string, std::vector<TColor>> looks;
  for (const auto& [name, control] : probes) {
    EXPECT_NE(control, nullptr) << name;
    if (control) looks[name] = Pixels(*control);
  }
  return looks;
}

// Every skinned component of every window has STYLE and THEME (an image button, whose pictures
// are its look, always reads FromThemeFile); only the Style item of STYLE is checked.
void ExpectStyle(TkyrUIStyle style, TkyrFileTheme* theme) {
  const std::string styleName = TkyrUIStyleInfo.NameOf(style);
  for (TCustomForm* form : DemoWindows())
    for (const auto& [name, skinned] : SkinnedOf(*form)) {
      const bool pictures = dynamic_cast<TkyrImageButton*>(skinned) != nullptr;
      EXPECT_EQ(TkyrUIStyleInfo.NameOf(skinned->UIStyle()), pictures ? "FromThemeFile" : styleName)
          << form->Name() << "." << name;
      EXPECT_EQ(skinned->FileTheme(), theme) << form->Name() << "." << name;
    }
  for (TMenuItem* item : DemoMainForm->StyleItems())
    EXPECT_EQ(item->Checked(), item->Tag() == style) << item->Name() << " with " << styleName;
  EXPECT_EQ(DemoMainForm->CurrentStyle(), style);
}

// A theme file written by vantor-theme from built-in STYLE.
std::string ExportTheme(const TempDir& dir, const char* style) {
  const std::string path = dir / (std::string(style) + ".thm");
  const TProgramRun run = RunBuiltProgram("tools/vantor-theme/vantor-theme", {"export", style, "-o", path});
  EXPECT_EQ(run.ExitCode, 0) << run.Err;
  return path;
}

// Answers the file dialogs with ANSWER while it lives, recording what they asked.
class TDialogAnswer {
public:
  explicit TDialogAnswer(TFileDialogAnswer answer)
      : previous_(SetFileDialogHook([this, answer](const TFileDialogRequest& request) {
          shown.push_back(request);
          return answer;
        })) {}
  ~TDialogAnswer() { SetFileDialogHook(previous_); }
  TDialogAnswer(const TDialogAnswer&) = delete;
  TDialogAnswer& operator=(const TDialogAnswer&) = delete;
  std::vector<TFileDialogRequest> shown;

private:
  TFileDialogHook previous_;
};

// ---- the windows as their descriptions store them ----

TEST_F(SkinDemo, TheFrameIsWhatItsDescriptionStores) {
  EXPECT_EQ(Main().FormStyle(), fsMDIForm);
  ASSERT_NE(Main().ClientHandle(), nullptr);
  EXPECT_EQ(Main().kyrMDIForm1->HostForm(), &Main()) << "the skinned MDI frame frames the window";
  EXPECT_EQ(GetWindowLongPtrA(Main().Handle(), GWL_STYLE) & WS_CAPTION, 0) << "the frame draws the caption";
  EXPECT_EQ(Main().kyrMDIForm1->TitleBar()->Caption(), "Skin Demo");
  const std::vector<TComponentRow> rows = {
      {"DemoMainForm", "TDemoMainForm", "", {},
       {{"Caption", "Skin Demo"}, {"FormStyle", "fsMDIForm"}, {"BorderStyle", "bsSizeable"}, {"Font.Name", "Tahoma"},
        {"Scaled", "False"}}},
      {"kyrMDIForm1", "TkyrMDIForm", "", {},
       {{"UIStyle", "MacOS"}, {"FileTheme", "nil"}, {"Menu", "kyrMainMenu1"}, {"Caption", "Skin Demo"},
        {"TitleBarDrawAppIcon", "True"}, {"TitleBarDrawChildMenus", "True"}, {"RoundCorner", "2"}}},
      {"ImageList1", "TImageList", "", {}, {{"Width", "16"}, {"Height", "16"}}},
      {"kyrPopupMenu1", "TkyrPopupMenu", "", {}, {{"UIStyle", "MacOS"}, {"FileTheme", "nil"}}},
      {"MacOS2", "TMenuItem", "kyrPopupMenu1", {},
       {{"Caption", "&MacOS"}, {"Tag", "1"}, {"RadioItem", "True"}, {"Checked", "True"}, {"OnClick", "assigned"}}},
      {"WinXP2", "TMenuItem", "kyrPopupMenu1", {},
       {{"Caption", "&WinXP"}, {"Tag", "2"}, {"RadioItem", "True"}, {"Checked", "False"}, {"OnClick", "assigned"}}},
      {"DeepBlue2", "TMenuItem", "kyrPopupMenu1", {},
       {{"Caption", "&DeepBlue"}, {"Tag", "3"}, {"RadioItem", "True"}, {"Checked", "False"}, {"OnClick", "assigned"}}},
      {"Protein2", "TMenuItem", "kyrPopupMenu1", {},
       {{"Caption", "P&rotein"}, {"Tag", "4"}, {"RadioItem", "True"}, {"Checked", "False"}, {"OnClick", "assigned"}}},
      {"BlueGlass2", "TMenuItem", "kyrPopupMenu1", {},
       {{"Caption", "&BlueGlass"}, {"Tag", "5"}, {"RadioItem", "True"}, {"Checked", "False"}, {"OnClick", "assigned"}}},
      {"kyrToolBar1", "TkyrToolBar", "DemoMainForm", {},
       {{"Align", "alTop"}, {"AutoSize", "True"}, {"ShowCaptions", "True"}, {"List", "True"}, {"Flat", "True"},
        {"Images", "ImageList1"}, {"HotImages", "nil"}, {"ShowHint", "True"}, {"UIStyle", "MacOS"},
        {"Transparent", "True"}}},
      {"NewChildButton", "TToolButton", "kyrToolBar1", {},
       {{"Caption", "New child"}, {"Style", "tbsButton"}, {"ImageIndex", "0"}, {"Hint", "Opens a new child window"}, {"OnClick", "assigned"}}},
      {"CascadeButton", "TToolButton", "kyrToolBar1", {},
       {{"Caption", "Cascade"}, {"Style", "tbsButton"}, {"ImageIndex", "1"}, {"Hint", "Cascades the child windows"}, {"OnClick", "assigned"}}},
      {"ToolSeparator1", "TToolButton", "kyrToolBar1", {}, {{"Style", "tbsSeparator"}}},
      {"LockButton", "TToolButton", "kyrToolBar1", {},
       {{"Caption", "Lock"}, {"Style", "tbsCheck"}, {"ImageIndex", "2"}, {"Hint", "Locks the arrangement of the child windows"}, {"Down", "False"}, {"OnClick", "assigned"}}},
      {"StyleButton", "TToolButton", "kyrToolBar1", {},
       {{"Caption", "Style"}, {"Style", "tbsDropDown"}, {"ImageIndex", "3"}, {"Hint", "Chooses the style of every window"}, {"DropdownMenu", "kyrPopupMenu1"}, {"OnClick", "assigned"}}},
      {"kyrFileTheme1", "TkyrFileTheme", "", {}, {{"ThemeFile", ""}}},
      {"OpenDialog1", "TOpenDialog", "", {},
       {{"Filter", "Theme files (*.thm)|*.thm|All files (*.*)|*.*"}, {"Title", "Open theme file"},
        {"Options", "[ofHideReadOnly,ofFileMustExist,ofEnableSizing]"}}},
      {"kyrMainMenu1", "TkyrMainMenu", "", {}, {{"UIStyle", "MacOS"}, {"FileTheme", "nil"}}},
      {"File1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "&File"}}},
      {"OpenThemeFile1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "&Open theme file..."}, {"OnClick", "assigned"}}},
      {"N1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "-"}}},
      {"Exit1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "E&xit"}, {"OnClick", "assigned"}}},
      {"Style1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "&Style"}}},
      {"MacOS1", "TMenuItem", "kyrMainMenu1", {},
       {{"Caption", "&MacOS"}, {"Tag", "1"}, {"RadioItem", "True"}, {"Checked", "True"}, {"OnClick", "assigned"}}},
      {"WinXP1", "TMenuItem", "kyrMainMenu1", {},
       {{"Caption", "&WinXP"}, {"Tag", "2"}, {"RadioItem", "True"}, {"Checked", "False"}, {"OnClick", "assigned"}}},
      {"DeepBlue1", "TMenuItem", "kyrMainMenu1", {},
       {{"Caption", "&DeepBlue"}, {"Tag", "3"}, {"RadioItem", "True"}, {"Checked", "False"}, {"OnClick", "assigned"}}},
      {"Protein1", "TMenuItem", "kyrMainMenu1", {},
       {{"Caption", "P&rotein"}, {"Tag", "4"}, {"RadioItem", "True"}, {"Checked", "False"}, {"OnClick", "assigned"}}},
      {"BlueGlass1", "TMenuItem", "kyrMainMenu1", {},
       {{"Caption", "&BlueGlass"}, {"Tag", "5"}, {"RadioItem", "True"}, {"Checked", "False"}, {"OnClick", "assigned"}}},
      {"N2", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "-"}}},
      {"FromThemeFile1", "TMenuItem", "kyrMainMenu1", {},
       {{"Caption", "From &theme file"}, {"Tag", "0"}, {"RadioItem", "True"}, {"Checked", "False"},
        {"OnClick", "assigned"}}},
      {"Window1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "&Window"}}},
      {"NewChild1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "&New child"}, {"OnClick", "assigned"}}},
      {"NewMenuChild1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "New &menu child"}, {"OnClick", "assigned"}}},
      {"Records1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "&Records"}, {"OnClick", "assigned"}}},
      {"N3", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "-"}}},
      {"Cascade1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "&Cascade"}, {"OnClick", "assigned"}}},
      {"TileHorizontally1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "Tile &horizontally"}, {"OnClick", "assigned"}}},
      {"TileVertically1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "Tile &vertically"}, {"OnClick", "assigned"}}},
      {"CloseAll1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "Close a&ll"}, {"OnClick", "assigned"}}},
      {"Help1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "&Help"}}},
      {"AboutSkinDemo1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "&About Skin Demo"}, {"OnClick", "assigned"}}},
  };
  apptest::ExpectComponents(Main(), rows);
  // The menu: the bar shows it for a child without one, never as the window's own menu.
  EXPECT_EQ(Main().kyrMDIForm1->Menu(), Main().kyrMainMenu1);
  EXPECT_EQ(GetMenu(Main().Handle()), nullptr) << "never the window's own menu";
  EXPECT_EQ(ItemCaptions(Main().kyrMainMenu1->Items()),
            (std::vector<std::string>{"&File", "&Style", "&Window", "&Help"}));
  EXPECT_EQ(ItemCaptions(Main().File1), (std::vector<std::string>{"&Open theme file...", "-", "E&xit"}));
  EXPECT_EQ(ItemCaptions(Main().Style1), (std::vector<std::string>{"&MacOS", "&WinXP", "&DeepBlue", "P&rotein",
                                                                   "&BlueGlass", "-", "From &theme file"}));
  EXPECT_EQ(ItemCaptions(Main().Window1),
            (std::vector<std::string>{"&New child", "New &menu child", "&Records", "-", "&Cascade",
                                      "Tile &horizontally", "Tile &vertically", "Close a&ll"}));
  EXPECT_EQ(ItemCaptions(Main().Help1), (std::vector<std::string>{"&About Skin Demo"}));
}

// The page of every control, as it stood on the single window before, now in the Controls child.
TEST_F(SkinDemo, TheControlsChildIsWhatItsDescriptionStores) {
  TDemoControlsForm& controls = Controls();
  EXPECT_EQ(controls.FormStyle(), fsMDIChild);
  EXPECT_EQ(controls.kyrForm1->HostForm(), &controls) << "the panel frames the child";
  EXPECT_EQ(controls.kyrForm1->MenuBar(), nullptr) << "the frame's bar carries the menus";
  // The stored name, numbered: every window of the application has a name of its own.
  EXPECT_EQ(controls.Name().rfind("DemoControlsForm", 0), 0u) << controls.Name();
  const char* formName = controls.Name().c_str();
  const std::string heading = "[fsBold]";
  const auto label = [&](const char* name, TBounds bounds, const char* caption, bool bold) {
    return TComponentRow{name, "TLabel", "kyrForm1", bounds,
                         {{"Caption", caption}, {"Transparent", "True"}, {"Font.Style", bold ? heading : "[]"}}};
  };
  const auto styled = [](apptest::TValues values) {
    values.insert(values.begin(), {"UIStyle", "MacOS"});
    values.insert(values.begin() + 1, {"FileTheme", "nil"});
    return values;
  };
  const std::vector<TComponentRow> rows = {
      {formName, "TDemoControlsForm", "", {},
       {{"Caption", "Controls"}, {"FormStyle", "fsMDIChild"}, {"BorderStyle", "bsSizeable"}, {"Font.Name", "Tahoma"},
        {"Scaled", "False"}, {"OnClose", "assigned"}}},
      {"kyrForm1", "TkyrForm", formName, {},
       styled({{"Align", "alClient"}, {"Caption", "Controls"}, {"BorderWidth", "1"},
               {"TitleBarDrawAppIcon", "True"}, {"Font.Style", "[fsBold]"}, {"PopupMenu", "nil"}})},
      label("ButtonsLabel", {16, 52, 120, 13}, "Buttons", true),
      {"kyrButton1", "TkyrButton", "kyrForm1", TBounds{16, 72, 90, 27},
       styled({{"Caption", "Normal"}, {"Enabled", "True"}, {"Default", "False"}})},
      {"kyrButton2", "TkyrButton", "kyrForm1", TBounds{114, 72, 90, 27},
       styled({{"Caption", "Default"}, {"Enabled", "True"}, {"Default", "True"}})},
      {"kyrButton3", "TkyrButton", "kyrForm1", TBounds{212, 72, 90, 27},
       styled({{"Caption", "Disabled"}, {"Enabled", "False"}, {"Default", "False"}})},
      {"kyrImageButton1", "TkyrImageButton", "kyrForm1", TBounds{16, 110, 36, 22},
       {{"UIStyle", "FromThemeFile"}, {"Transparent", "True"}, {"AutoSize", "False"}}},
      label("ImageButtonLabel", {60, 114, 230, 13}, "An image button: its own four pictures", false),
      label("LinkLabel", {16, 146, 120, 13}, "Link label", true),
      {"kyrURLLabel1", "TkyrURLLabel", "kyrForm1", TBounds{16, 166, 280, 13},
       {{"Caption", "The skin library on the web"}, {"URL", "http://www.corvane.example/"},
        {"FontLinkColor", "clBlue"}, {"FontHoverColor", "clRed"}, {"Cursor", "crHandPoint"}}},
      label("TrackBarsLabel", {16, 196, 120, 13}, "Track bars", true),
      {"kyrTrackBar1", "TkyrTrackBar", "kyrForm1", TBounds{16, 216, 230, 20},
       styled({{"Orientation", "kyrHorizontal"}, {"Max", "10"}, {"Position", "3"}, {"ShowTick", "True"}})},
      {"kyrTrackBar2", "TkyrTrackBar", "kyrForm1", TBounds{16, 262, 230, 20},
       styled({{"Orientation", "kyrHorizontal"}, {"Max", "100"}, {"Position", "70"}, {"ShowTick", "False"}})},
      {"kyrTrackBar3", "TkyrTrackBar", "kyrForm1", TBounds{262, 212, 19, 110},
       styled({{"Orientation", "kyrVertical"}, {"Max", "10"}, {"Position", "6"}, {"Frequency", "2"}})},
      label("ImagePanelsLabel", {16, 336, 290, 13}, "Image panels: normal, stretched, tiled", true),
      {"kyrImagePanel1", "TkyrImagePanel", "kyrForm1", TBounds{16, 356, 90, 96},
       {{"DrawStyle", "kyrNormal"}, {"Transparent", "False"}}},
      {"kyrImagePanel2", "TkyrImagePanel", "kyrForm1", TBounds{114, 356, 90, 96},
       {{"DrawStyle", "kyrStretch"}, {"Transparent", "False"}}},
      {"kyrImagePanel3", "TkyrImagePanel", "kyrForm1", TBounds{212, 356, 90, 96},
       {{"DrawStyle", "kyrTile"}, {"Transparent", "False"}}},
      label("CaptionPanelLabel", {328, 336, 290, 13}, "An image panel with a caption", true),
      {"kyrImagePanel4", "TkyrImagePanel", "kyrForm1", TBounds{328, 356, 296, 96},
       {{"DrawStyle", "kyrStretch"}, {"Caption", "A caption over the picture"}, {"Font.Color", "clNavy"}}},
      label("MemoLabel", {328, 52, 280, 13}, "Memo with skinned scroll bars", true),
      // The memo's bars lie where the memo lays them (over its own scroll bars, checked below).
      {"kyrScrollBar1", "TkyrScrollBar", "kyrForm1", {},
       styled({{"Orientation", "kyrVertical"}})},
      {"kyrScrollBar2", "TkyrScrollBar", "kyrForm1", {},
       styled({{"Orientation", "kyrHorizontal"}})},
      {"kyrMemo1", "TkyrMemo", "kyrForm1", TBounds{328, 72, 296, 200},
       styled({{"VScrollBar", "kyrScrollBar1"}, {"HScrollBar", "kyrScrollBar2"}, {"WordWrap", "False"}})},
      label("ScrollBarLabel", {328, 286, 280, 13}, "A scroll bar on its own", true),
      {"kyrScrollBar3", "TkyrScrollBar", "kyrForm1", TBounds{328, 306, 296, 16},
       styled({{"Orientation", "kyrHorizontal"}, {"Max", "100"}, {"Position", "40"}, {"PageSize", "20"}})},
  };
  apptest::ExpectComponents(controls, rows);
  // The memo's bars along its right and bottom edges, inside it.
  TkyrMemo& memo = *controls.kyrMemo1;
  const TkyrScrollBar& down = *controls.kyrScrollBar1;
  const TkyrScrollBar& across = *controls.kyrScrollBar2;
  EXPECT_TRUE(down.Visible() && across.Visible());
  EXPECT_LE(memo.Left() + memo.Width() - 3, down.Left() + down.Width());
  EXPECT_LE(down.Left() + down.Width(), memo.Left() + memo.Width());
  EXPECT_GE(down.Top(), memo.Top());
  EXPECT_LE(memo.Top() + memo.Height() - 3, across.Top() + across.Height());
  EXPECT_LE(across.Top() + across.Height(), memo.Top() + memo.Height());
  EXPECT_GE(across.Left(), memo.Left());
  // Its lines as stored, the empty ones too.
  EXPECT_EQ(memo.Lines().Count(), 29);
  EXPECT_EQ(memo.Lines().Strings(3), "");
  EXPECT_EQ(memo.Lines().Strings(4), "The frame's menu bar, a skinned main menu:");
  // The pictures stored with the window.
  EXPECT_EQ(controls.kyrImageButton1->PicNormal()->Width(), 36);
  EXPECT_EQ(controls.kyrImageButton1->PicDisabled()->Height(), 22);
  for (TkyrImagePanel* panel : {controls.kyrImagePanel1, controls.kyrImagePanel2, controls.kyrImagePanel3, controls.kyrImagePanel4})
    EXPECT_EQ(panel->Picture()->Width(), 48) << panel->Name();
}

// The numbered children: a panel with a button, a track bar and a memo; the menu child has its
// own menu with Child and the frame's Window commands.
TEST_F(SkinDemo, TheChildrenAreWhatTheirDescriptionsStore) {
  const auto styled = [](apptest::TValues values) {
    values.insert(values.begin(), {"UIStyle", "MacOS"});
    return values;
  };
  const auto childRows = [&](const char* name, const char* className) {
    return std::vector<TComponentRow>{
        {name, className, "", {},
         {{"Caption", std::string(className) == "TDemoChildForm" ? "Child 1" : "Child 2"}, {"FormStyle", "fsMDIChild"},
          {"BorderStyle", "bsSizeable"}, {"OnClose", "assigned"}}},
        {"kyrForm1", "TkyrForm", name, {}, styled({{"Align", "alClient"}, {"TitleBarDrawAppIcon", "True"}})},
        {"kyrButton1", "TkyrButton", "kyrForm1", TBounds{12, 36, 90, 27}, styled({{"Caption", "Button"}})},
        {"kyrTrackBar1", "TkyrTrackBar", "kyrForm1", TBounds{114, 40, 190, 20},
         styled({{"Orientation", "kyrHorizontal"}, {"Max", "10"}, {"Position", "5"}})},
        {"kyrMemo1", "TkyrMemo", "kyrForm1", TBounds{12, 74, 292, 100},
         styled({{"WordWrap", "True"}, {"ScrollBars", "ssNone"}})},
    };
  };
  TDemoChildForm& plain = Child("Child 1");
  ASSERT_EQ(plain.ClassName(), std::string("TDemoChildForm"));
  EXPECT_EQ(plain.Name().rfind("DemoChildForm", 0), 0u) << plain.Name();
  apptest::ExpectComponents(plain, childRows(plain.Name().c_str(), "TDemoChildForm"));
  EXPECT_EQ(plain.kyrForm1->TitleBar()->Caption(), "Child 1") << "the panel's title too";

  auto* menuChild = dynamic_cast<TDemoMenuChildForm*>(ChildCalled("Child 2"));
  ASSERT_NE(menuChild, nullptr);
  EXPECT_EQ(menuChild->Name().rfind("DemoMenuChildForm", 0), 0u) << menuChild->Name();
  EXPECT_NE(menuChild->Name(), plain.Name());
  std::vector<TComponentRow> rows = childRows(menuChild->Name().c_str(), "TDemoMenuChildForm");
  const std::vector<TComponentRow> menu = {
      {"kyrMainMenu1", "TkyrMainMenu", "", {}, {{"UIStyle", "MacOS"}}},
      {"Child1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "&Child"}}},
      {"SayHello1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "&Say hello"}, {"OnClick", "assigned"}}},
      {"Window1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "&Window"}}},
      {"NewChild1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "&New child"}, {"OnClick", "assigned"}}},
      {"NewMenuChild1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "New &menu child"}, {"OnClick", "assigned"}}},
      {"Records1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "&Records"}, {"OnClick", "assigned"}}},
      {"N1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "-"}}},
      {"Cascade1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "&Cascade"}, {"OnClick", "assigned"}}},
      {"TileHorizontally1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "Tile &horizontally"}, {"OnClick", "assigned"}}},
      {"TileVertically1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "Tile &vertically"}, {"OnClick", "assigned"}}},
      {"CloseAll1", "TMenuItem", "kyrMainMenu1", {}, {{"Caption", "Close a&ll"}, {"OnClick", "assigned"}}},
  };
  rows.insert(rows.end(), menu.begin(), menu.end());
  apptest::ExpectComponents(*menuChild, rows);
  EXPECT_EQ(ItemCaptions(menuChild->kyrMainMenu1->Items()), (std::vector<std::string>{"&Child", "&Window"}));
  EXPECT_EQ(ItemCaptions(menuChild->Window1), ItemCaptions(Main().Window1)) << "the same Window items";
  EXPECT_EQ(menuChild->kyrForm1->MenuBar(), nullptr) << "the frame's bar shows a child's menu";
}

TEST_F(SkinDemo, AboutWindowIsWhatItsDescriptionStores) {
  TDemoAboutForm& about = *DemoAboutForm;
  EXPECT_FALSE(about.Visible()) << "hidden until asked for";
  RECT client{};
  GetClientRect(about.Handle(), &client);
  EXPECT_EQ(client.right, 360);
  EXPECT_EQ(client.bottom, SkinnedClientHeight(220));
  const std::vector<TComponentRow> rows = {
      {"DemoAboutForm", "TDemoAboutForm", "", {}, {{"Caption", "About Skin Demo"}, {"BorderStyle", "bsDialog"}}},
      {"kyrForm1", "TkyrForm", "DemoAboutForm", TBounds{0, 0, 360, SkinnedClientHeight(220)},
       {{"UIStyle", "MacOS"}, {"Caption", "About Skin Demo"}, {"Align", "alClient"}}},
      {"kyrMemo1", "TkyrMemo", "kyrForm1", TBounds{12, 36, 336, 132},
       {{"UIStyle", "MacOS"}, {"ReadOnly", "True"}, {"WordWrap", "True"}, {"ScrollBars", "ssNone"}}},
      {"kyrButton1", "TkyrButton", "kyrForm1", TBounds{258, 180, 90, 27},
       {{"UIStyle", "MacOS"}, {"Caption", "Close"}, {"Default", "True"}, {"Cancel", "True"}, {"OnClick", "assigned"}}},
  };
  apptest::ExpectComponents(about, rows);
  EXPECT_EQ(about.kyrMemo1->Lines().Strings(0), "Skin Demo");
}

// ---- styles ----

TEST_F(SkinDemo, EveryStyleReachesEverySkinnedComponentOfEveryWindow) {
  TempDir dir;
  Main().kyrFileTheme1->SetThemeFile(ExportTheme(dir, "WinXP"));
  ASSERT_TRUE(Main().kyrFileTheme1->IsThemeLoaded());
  DemoAboutForm->Show();  // open too: every window is restyled, shown or not
  ASSERT_NE(Main().OpenRecords(), nullptr);  // and the navigator of Records
  Main().NewChild()->SetWindowState(wsMinimized);  // a minimised child too
  Main().LockButton->Click();  // down, so the toolbar shows a box in the style's ButtonColor
  uitest::Pump();
  ASSERT_EQ(SkinnedOf(Main()).size(), 4u) << "the MDI frame, the toolbar, its drop-down menu and the main menu";
  ASSERT_GE(SkinnedOf(Controls()).size(), 15u);
  ASSERT_EQ(SkinnedOf(Child("Child 1")).size(), 4u);
  ASSERT_EQ(SkinnedOf(Child("Child 2")).size(), 5u) << "with its main menu";
  ASSERT_EQ(SkinnedOf(*Main().RecordsForm()).size(), 2u) << "the panel and the navigator";
  ASSERT_EQ(SkinnedOf(*DemoAboutForm).size(), 3u);
  ExpectStyle(MacOS, nullptr);
  std::map<std::string, std::vector<TColor>> previous = Looks();
  // Each step to a style another than the last one changes what every probed control paints.
  for (TkyrUIStyle style : {WinXP, DeepBlue, Protein, BlueGlass, FromThemeFile, MacOS}) {
    SCOPED_TRACE(TkyrUIStyleInfo.NameOf(style));
    TMenuItem* item = nullptr;
    for (TMenuItem* candidate : Main().StyleItems())
      if (candidate->Tag() == style) item = candidate;
    ASSERT_NE(item, nullptr);
    item->Click();
    uitest::Pump();
    ExpectStyle(style, style == FromThemeFile ? Main().kyrFileTheme1 : nullptr);
    const std::map<std::string, std::vector<TColor>> looks = Looks();
    for (const auto& [name, pixels] : looks) EXPECT_NE(pixels, previous[name]) << name << " kept its look";
    previous = looks;
  }
}

// A window opened after a style was chosen comes up in that style.
TEST_F(SkinDemo, ChildrenOpenedLaterTakeTheChosenStyle) {
  TempDir dir;
  Main().kyrFileTheme1->SetThemeFile(ExportTheme(dir, "BlueGlass"));
  for (TMenuItem* item : {Main().WinXP1, Main().FromThemeFile1}) {
    SCOPED_TRACE(item->Caption());
    item->Click();
    Main().NewChild1->Click();
    Main().NewMenuChild1->Click();
    Main().Records1->Click();
    uitest::Pump();
    ASSERT_NE(Main().RecordsForm(), nullptr);
    ExpectStyle(static_cast<TkyrUIStyle>(item->Tag()), item == Main().FromThemeFile1 ? Main().kyrFileTheme1 : nullptr);
    Main().CloseAll1->Click();
    uitest::Pump();
  }
}

TEST_F(SkinDemo, AThemeFileFromVantorThemeDrawsAsTheStyleItWasExportedFrom) {
  TempDir dir;
  // WinXP: a style without the built-in background pattern that MacOS and Protein tile over
  // the panel (theme files carry no pattern), so every probed pixel is the file's.
  const std::string file = ExportTheme(dir, "WinXP");
  Main().StyleClick(Main().WinXP1);
  const std::map<std::string, std::vector<TColor>> builtin = Looks();
  Main().StyleClick(Main().MacOS1);
  TDialogAnswer dialog({true, file, 1});
  Main().OpenThemeFileClick(Main().OpenThemeFile1);
  ASSERT_EQ(dialog.shown.size(), 1u);
  EXPECT_FALSE(dialog.shown[0].Save);
  EXPECT_EQ(dialog.shown[0].Title, "Open theme file");
  EXPECT_EQ(dialog.shown[0].Filter, "Theme files (*.thm)|*.thm|All files (*.*)|*.*");
  EXPECT_EQ(Main().kyrFileTheme1->ThemeFile(), file);
  ExpectStyle(FromThemeFile, Main().kyrFileTheme1);
  const std::map<std::string, std::vector<TColor>> fromFile = Looks();
  for (const auto& [name, pixels] : fromFile) EXPECT_EQ(pixels, builtin.at(name)) << name;
}

TEST_F(SkinDemo, FromThemeFileWithoutAFileAsksForOneAndACancelChangesNothing) {
  Main().StyleClick(Main().DeepBlue1);
  {
    TDialogAnswer cancelled({false, "", 1});
    Main().StyleClick(Main().FromThemeFile1);
    EXPECT_EQ(cancelled.shown.size(), 1u) << "the open dialog asks for a theme file";
  }
  ExpectStyle(DeepBlue, nullptr);
  // A file that is no theme is refused by the theme component (an exception, which the message
  // loop reports in its error box); the style stays too.
  TempDir dir;
  const std::string notATheme = dir / "notes.thm";
  WriteFileText(notATheme, "not a theme file at all");
  TDialogAnswer dialog({true, notATheme, 1});
  try {
    Main().StyleClick(Main().FromThemeFile1);
    ADD_FAILURE() << "the file was taken";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Invalid skin file for Tessarn!");
  }
  EXPECT_FALSE(Main().kyrFileTheme1->IsThemeLoaded());
  ExpectStyle(DeepBlue, nullptr);
}

TEST_F(SkinDemo, ANameFoundNowhereKeepsTheStyleAndTheThemeLoadedBefore) {
  TempDir dir;
  const std::string theme = ExportTheme(dir, "WinXP");
  Main().kyrFileTheme1->SetThemeFile(theme);
  Main().StyleClick(Main().Protein1);
  TDialogAnswer dialog({true, dir / "gone.thm", 1});
  Main().OpenThemeFileClick(Main().OpenThemeFile1);
  EXPECT_EQ(Main().kyrFileTheme1->ThemeFile(), theme);
  ExpectStyle(Protein, nullptr);
}

// The real open dialog: a timer finds it by its title, types the theme file's name and confirms.
TEST_F(SkinDemo, OpenThemeFileThroughTheRealOpenDialog) {
  TempDir dir;
  const std::string theme = ExportTheme(dir, "BlueGlass");
  {
    uitest::TFileDialogFiller filler("Open theme file", theme);
    Main().OpenThemeFile1->Click();
    EXPECT_TRUE(filler.Seen());
  }
  // The dialog answers with the full name (the drive added to a rooted one).
  char full[MAX_PATH] = {};
  GetFullPathNameA(theme.c_str(), MAX_PATH, full, nullptr);
  EXPECT_EQ(Main().kyrFileTheme1->ThemeFile(), full);
  ExpectStyle(FromThemeFile, Main().kyrFileTheme1);
}

// Through the frame's Style menu, with the three children, Records and About open.
TEST_F(SkinDemo, AHundredStyleSwitchesLeaveTheLiveHandleCountsAsTheyWere) {
  ASSERT_TRUE(HandleCountsEnabled());
  TempDir dir;
  Main().kyrFileTheme1->SetThemeFile(ExportTheme(dir, "DeepBlue"));
  DemoAboutForm->Show();
  ASSERT_NE(Main().OpenRecords(), nullptr);
  const auto counts = demotest::LiveHandleCounts;
  // One round first: what a style keeps while it is on (its images) is then in the baseline.
  const std::vector<TMenuItem*> items = Main().StyleItems();
  for (TMenuItem* item : items) item->Click();
  uitest::Pump();
  const std::vector<int> before = counts();
  for (int i = 0; i < 100; ++i) {
    items[static_cast<size_t>(i) % items.size()]->Click();
    uitest::Pump();  // and painted
  }
  items.back()->Click();  // where the first round ended
  uitest::Pump();
  EXPECT_EQ(counts(), before) << "pen, brush, font, bitmap, region, DC, icon, image list, menu, window";
}

// ---- About and Exit ----

TEST_F(SkinDemo, AboutOpensASkinnedWindowWhoseCloseButtonClosesIt) {
  TDemoAboutForm& about = *DemoAboutForm;
  Main().StyleClick(Main().WinXP1);
  Main().AboutSkinDemo1->Click();
  uitest::Pump();
  ASSERT_TRUE(IsWindowVisible(about.Handle()));
  EXPECT_EQ(about.kyrForm1->HostForm(), &about) << "a skinned window";
  EXPECT_EQ(about.kyrForm1->UIStyle(), WinXP) << "in the demo's style";
  EXPECT_EQ(GetWindowLongPtrA(about.Handle(), GWL_STYLE) & WS_CAPTION, 0) << "the panel draws the caption";
  EXPECT_TRUE(about.kyrMemo1->ReadOnly());
  // The Close button, clicked with the pointer.
  SetForegroundWindow(about.Handle());
  uitest::Pump();
  const POINT centre = about.kyrButton1->ClientToScreen({about.kyrButton1->Width() / 2, about.kyrButton1->Height() / 2});
  uitest::MovePointerTo(centre);
  uitest::PumpUntil([&] { return about.kyrButton1->MouseInControl(); });
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  EXPECT_TRUE(uitest::PumpUntil([&] { return !IsWindowVisible(about.Handle()); })) << "Close closes the window";
  EXPECT_TRUE(IsWindowVisible(Main().Handle())) << "and only it";
}

TEST_F(SkinDemo, ExitClosesTheMainWindowAndEndsTheProgram) {
  EXPECT_FALSE(Application->Terminated());
  Main().Exit1->Click();
  EXPECT_TRUE(Application->Terminated()) << "the main window's close ends the message loop";
  MSG quit;
  EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace
