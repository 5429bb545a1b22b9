// The skinned form's menu bar on real windows under Wine: the buttons follow the main menu
// (built, rebuilt after the current message, renamed, disabled), pixels per style under the
// pointer and while a drop-down is open, the frame's strip beside the bar, the style and font
// passed on, short-cuts for the active window only, and live handle counts.
#include "skin/frame/KYRMenuBar.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/GdiHandles.h"
#include "framework/ui/ComCtrls.h"
#include "skin/KYRMenu.h"
#include "skin/controls/KYRMainMenu.h"
#include "skin/frame/KYRForm.h"
#include "tests/framework/ui/UiTestHelpers.h"
#include "tests/skin/KYRThemeFileTestSupport.h"
#include "tests/skin/frame/KYRFrameTestSupport.h"
#include "tests/skin/frame/KYRMenuBarTestSupport.h"

namespace {

using bartest::AddItem;
using bartest::CountColour;
using bartest::Solid;
using bartest::Stretched;

// A shown skinned window of STYLE with a main menu "&File" (Open, -, Exit), "&Edit" (Copy),
// "&Help" (About).
struct TMenuWindow {
  TForm* form;
  TkyrForm* panel;
  TkyrMainMenu* menu;
  TMenuItem *file, *open, *edit, *copy, *help;
  int opened = 0;

  explicit TMenuWindow(TkyrUIStyle style = MacOS) : form(new TForm(nullptr)) {
    form->SetBorderStyle(bsSingle);
    form->SetBounds(80, 60, 360, 240);
    form->SetCaption("menus");
    panel = new TkyrForm(form);
    panel->SetUIStyle(style);
    menu = new TkyrMainMenu(form);
    file = AddItem(menu->Items(), "&File", form);
    open = AddItem(file, "&Open", form);
    open->SetShortCut(ShortCut('O', TShiftState{ssCtrl}));
    open->SetOnClick([this](TObject*) { ++opened; });
    AddItem(file, "-", form);
    AddItem(file, "E&xit", form);
    edit = AddItem(menu->Items(), "&Edit", form);
    copy = AddItem(edit, "&Copy", form);
    help = AddItem(menu->Items(), "&Help", form);
    AddItem(help, "&About", form);
    form->Show();
    SetForegroundWindow(form->Handle());
    uitest::Pump();
  }
  ~TMenuWindow() { delete form; }
  TMenuWindow(const TMenuWindow&) = delete;
  TMenuWindow& operator=(const TMenuWindow&) = delete;

  TkyrMenuBar* Bar() const { return panel->MenuBar(); }
  std::vector<std::string> Captions() const { return bartest::Captions(*Bar()); }
  std::unique_ptr<uitest::TCapture> CaptureBar() const { return bartest::CaptureBar(*Bar()); }
  POINT ButtonCentre(int index) const { return bartest::ButtonCentre(*Bar(), index); }
};

}  // namespace

// ---- the buttons follow the menu ----
TEST(SkinnedMenuBar, OneButtonPerTopLevelItemUnderTheTitleBar) {
  TMenuWindow w;
  ASSERT_NE(w.Bar(), nullptr);
  EXPECT_EQ(w.panel->Menu(), w.menu);
  EXPECT_EQ(w.form->Menu(), nullptr);  // never the native menu
  EXPECT_EQ(w.Captions(), (std::vector<std::string>{"&File", "&Edit", "&Help"}));
  EXPECT_EQ(w.Bar()->Top(), w.panel->TitleBarHeight());
  EXPECT_EQ(w.panel->TitleBar()->Top(), 0);
  EXPECT_EQ(w.Bar()->Height(), 22);
  EXPECT_TRUE(w.Bar()->Flat());
  EXPECT_TRUE(w.Bar()->ShowCaptions());
  EXPECT_TRUE(w.Bar()->EdgeBorders().Empty());
  EXPECT_EQ(w.form->MenuBarControl(), w.Bar());
  for (int i = 0; i < w.Bar()->ButtonCount(); ++i) {
    EXPECT_TRUE(w.Bar()->Buttons(i)->Grouped());
    EXPECT_EQ(w.Bar()->Buttons(i)->Height(), 22);
  }
  EXPECT_EQ(w.Bar()->Buttons(0)->MenuItem(), w.file);
  EXPECT_EQ(w.Bar()->Buttons(2)->MenuItem(), w.help);
}

TEST(SkinnedMenuBar, RunTimeChangesOfTheItemsAreFollowed) {
  TMenuWindow w;
  TMenuItem* tools = AddItem(w.menu->Items(), "&Tools", w.form);
  AddItem(tools, "&Options", w.form);
  EXPECT_EQ(w.Bar()->ButtonCount(), 3);  // rebuilt after the current message, not inside it
  uitest::Pump();
  EXPECT_EQ(w.Captions(), (std::vector<std::string>{"&File", "&Edit", "&Help", "&Tools"}));
  w.edit->SetCaption("&Change");
  w.help->SetEnabled(false);
  EXPECT_EQ(w.Bar()->Buttons(1)->Text(), "&Change");  // item changes at once
  EXPECT_FALSE(w.Bar()->Buttons(2)->Enabled());
  delete w.edit;  // a freed item: its button is unbound at once and gone after the rebuild
  EXPECT_EQ(w.Bar()->Buttons(1)->MenuItem(), nullptr);
  uitest::Pump();
  EXPECT_EQ(w.Captions(), (std::vector<std::string>{"&File", "&Help", "&Tools"}));
  w.menu->Items()->Remove(tools);
  w.menu->Items()->Insert(0, tools);
  uitest::Pump();
  EXPECT_EQ(w.Captions(), (std::vector<std::string>{"&Tools", "&File", "&Help"}));
}

TEST(SkinnedMenuBar, AHandlerThatChangesTheTopLevelListNeverRunsOnAFreedButton) {
  TMenuWindow w;
  const int buttonsBefore = w.Bar()->ButtonCount();
  TToolButton* first = w.Bar()->Buttons(0);
  w.open->SetOnClick([&](TObject*) {
    AddItem(w.menu->Items(), "&More", w.form);
    // Still the same buttons while the handler runs.
    EXPECT_EQ(w.Bar()->ButtonCount(), buttonsBefore);
    EXPECT_EQ(w.Bar()->Buttons(0), first);
  });
  PostMessageA(w.form->Handle(), WM_KEYDOWN, 'O', 1);  // Ctrl+O is not held: no short-cut
  w.open->Click();
  uitest::Pump();
  EXPECT_EQ(w.Bar()->ButtonCount(), buttonsBefore + 1);
}

TEST(SkinnedMenuBar, FreeingTheMenuOrTheBarLeavesNothingBehind) {
  TMenuWindow w;
  delete w.menu;
  EXPECT_EQ(w.panel->Menu(), nullptr);
  EXPECT_EQ(w.panel->MenuBar(), nullptr);
  EXPECT_EQ(w.form->MenuBarControl(), nullptr);
  EXPECT_FALSE(w.panel->FrameLook().MenuBar.Exists);
  auto* again = new TkyrMainMenu(w.form);  // attaches itself to the panel
  AddItem(again->Items(), "&Again", w.form);
  uitest::Pump();
  ASSERT_NE(w.Bar(), nullptr);
  EXPECT_EQ(w.Captions(), std::vector<std::string>{"&Again"});
  delete w.panel;  // the menu loses its host; the form is a plain window again
  EXPECT_EQ(again->Host(), nullptr);
  AddItem(again->Items(), "&Later", w.form);
  uitest::Pump();
}

// ---- pixels ----
TEST(SkinnedMenuBar, MacOSBarPictureAndTheSelectionPictureUnderThePointer) {
  TMenuWindow w(MacOS);
  bartest::ExpectMacOSBarPictures(*w.Bar(), 1, 0);
}

TEST(SkinnedMenuBar, OtherStylesDrawAFramedBoxAndGreyDisabledCaptions) {
  for (TkyrUIStyle style : {WinXP, DeepBlue, Protein, BlueGlass}) {
    SCOPED_TRACE(static_cast<int>(style));
    TMenuWindow w(style);
    w.help->SetEnabled(false);
    auto shot = bartest::ExpectFramedBox(*w.Bar(), style, 0);
    ASSERT_NE(shot, nullptr);
    const RECT off = w.Bar()->Buttons(2)->BoundsRect();
    EXPECT_GT(CountColour(*shot, off, 0x808080), 3);  // the disabled caption's ink
    EXPECT_EQ(CountColour(*shot, off, Solid(GetBuiltinColor(style, KYR_THEME_MENU_SELECTED_BORDER_COLOR))), 0);
  }
}

// Captures the bar from inside the open drop-down's loop, then closes it.
TEST(SkinnedMenuBar, TheOpenDropDownsButtonIsSelectedAndNarrowerByTwoEachSide) {
  TMenuWindow w(WinXP);
  static TMenuWindow* window;
  static std::unique_ptr<uitest::TCapture> shot;
  static TCustomDrawState state;
  window = &w;
  shot.reset();
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    state = window->Bar()->ButtonState(window->Bar()->Buttons(1));
    shot = window->CaptureBar();
    EndMenu();
  });
  w.Bar()->DropDownButton(w.Bar()->Buttons(1));
  KillTimer(nullptr, timer);
  ASSERT_NE(shot, nullptr);
  EXPECT_TRUE(state & cdsSelected);
  const RECT r = w.Bar()->Buttons(1)->BoundsRect();
  const TColor border = Solid(GetBuiltinColor(WinXP, KYR_THEME_MENU_SELECTED_BORDER_COLOR));
  EXPECT_EQ(shot->Pixel(r.left, r.top + 5), border);
  EXPECT_EQ(shot->Pixel(r.right - 3, r.top + 5), border);  // the right edge 2 pixels in
  EXPECT_NE(shot->Pixel(r.right - 1, r.top + 5), border);
  EXPECT_FALSE(w.Bar()->InMenuMode());
}

TEST(SkinnedMenuBar, TheFrameBesideTheBarTakesTheBarsColour) {
  TMenuWindow w(DeepBlue);
  ASSERT_EQ(w.panel->BorderWidth(), 1);  // the frame's fill shows at x = 1 and 2
  w.panel->SetMenuBarColor(0x3366CC);
  EXPECT_EQ(w.Bar()->Color(), 0x3366CC);
  const TkyrFrameMenuBar strip = w.panel->FrameLook().MenuBar;
  EXPECT_TRUE(strip.Exists && strip.Visible);
  EXPECT_EQ(strip.Top, w.panel->TitleBar()->Height() + 3);
  EXPECT_EQ(strip.Height, w.Bar()->Height());
  RedrawWindow(w.form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  TWindowDC dc(w.form->Handle(), true);
  RECT window{};
  GetWindowRect(w.form->Handle(), &window);
  const int right = window.right - window.left - 2;
  for (int x : {1, 2, right}) {
    EXPECT_EQ(static_cast<TColor>(GetPixel(dc.Get(), x, strip.Top + 5)), 0x3366CC) << x;
    EXPECT_EQ(static_cast<TColor>(GetPixel(dc.Get(), x, strip.Top + strip.Height - 1)), 0x3366CC) << x;
    EXPECT_NE(static_cast<TColor>(GetPixel(dc.Get(), x, strip.Top + strip.Height + 8)), 0x3366CC) << x;
  }
}

// ---- style and font ----
TEST(SkinnedMenuBar, ThePanelsStyleReachesTheMenuAndTheBar) {
  TMenuWindow w(MacOS);
  EXPECT_EQ(w.menu->UIStyle(), MacOS);
  w.panel->SetUIStyle(BlueGlass);
  EXPECT_EQ(w.menu->UIStyle(), BlueGlass);
  EXPECT_EQ(w.menu->Color(), GetBuiltinColor(BlueGlass, KYR_THEME_MENU_BACKGROUND_COLOR));
  EXPECT_EQ(w.panel->MenuBarColor(), w.panel->Color());
  EXPECT_EQ(w.Bar()->Color(), w.panel->Color());
}

TEST(SkinnedMenuBar, AThemeFileWithoutAMenuBarColourPicksOneByItsKind) {
  TempDir dir;
  struct TCase {
    int32_t kind;
    TColor expected;
  };
  for (const TCase& c : {TCase{0x20000, 0xAC5B3B}, TCase{0x30000, 0x996733}, TCase{0x123, 0x445566}}) {
    WriteFileBytes(dir / "t.thm", ThemeFileBytes().Int("ControlFontColor", c.kind).Int("FormBackgroundColor", 0x445566).Build());
    TMenuWindow w(WinXP);
    auto* theme = new TkyrFileTheme(w.form);
    theme->SetThemeFile(dir / "t.thm");
    w.panel->SetFileTheme(theme);
    w.panel->SetUIStyle(FromThemeFile);
    EXPECT_EQ(w.panel->MenuBarColor(), c.expected) << c.kind;
  }
}

TEST(SkinnedMenuBar, TheMenusFontFieldsReachTheBarAtRunTime) {
  TMenuWindow w(WinXP);
  const int widthBefore = w.Bar()->Buttons(0)->Width();
  w.menu->SetUseSystemFont(false);
  w.menu->SetFontName("Tahoma");
  w.menu->SetFontSize(20);
  EXPECT_EQ(w.Bar()->Font()->Name(), "Tahoma");
  EXPECT_EQ(w.Bar()->Font()->Size(), 20);
  EXPECT_GT(w.Bar()->Buttons(0)->Width(), widthBefore);  // auto-sized to the larger caption
  w.menu->SetUseSystemFont(true);
  TFont system;
  GetMenuFont(system);
  EXPECT_EQ(w.Bar()->Font()->Name(), system.Name());
}

// ---- short-cuts ----
TEST(SkinnedMenuBar, ShortCutsRunOnlyForTheActiveSkinnedWindow) {
  TMenuWindow active(WinXP), other(MacOS);
  other.form->SetBounds(460, 320, 300, 200);
  SetForegroundWindow(active.form->Handle());
  SetActiveWindow(active.form->Handle());
  uitest::Pump();
  ASSERT_EQ(GetActiveWindow(), active.form->Handle());
  INPUT in[4]{};
  for (INPUT& i : in) i.type = INPUT_KEYBOARD;
  in[0].ki.wVk = VK_CONTROL;
  in[1].ki.wVk = 'O';
  in[2].ki.wVk = 'O';
  in[2].ki.dwFlags = KEYEVENTF_KEYUP;
  in[3].ki.wVk = VK_CONTROL;
  in[3].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(4, in, sizeof in[0]);
  uitest::PumpUntil([&] { return active.opened > 0; }, 2000);
  Application->ProcessMessages();
  EXPECT_EQ(active.opened, 1);
  EXPECT_EQ(other.opened, 0);
}

// The key reaches the panel either way: from the application's loop before it is dispatched, or
// through the form's procedure when it was sent, not queued. Each path runs the item once.
TEST(SkinnedMenuBar, ShortCutsThroughTheLoopAndThroughTheFormsProcedure) {
  TMenuWindow w(WinXP);
  w.open->SetShortCut(ShortCut(VK_F5, TShiftState{}));
  SetForegroundWindow(w.form->Handle());
  SetActiveWindow(w.form->Handle());
  uitest::Pump();
  ASSERT_EQ(GetActiveWindow(), w.form->Handle());
  EXPECT_NE(SendMessageA(w.form->Handle(), WM_KEYDOWN, VK_F5, 1), 0);
  EXPECT_EQ(w.opened, 1);
  PostMessageA(w.form->Handle(), WM_KEYDOWN, VK_F5, 1);
  Application->ProcessMessages();
  EXPECT_EQ(w.opened, 2);
  EXPECT_EQ(SendMessageA(w.form->Handle(), WM_KEYDOWN, VK_F6, 1), 0);
  TForm other(nullptr);  // another window active: the panel's short-cuts rest
  other.SetBounds(500, 400, 200, 150);
  other.Show();
  SetForegroundWindow(other.Handle());
  SetActiveWindow(other.Handle());
  uitest::Pump();
  PostMessageA(w.form->Handle(), WM_KEYDOWN, VK_F5, 1);
  Application->ProcessMessages();
  EXPECT_EQ(w.opened, 2);
}

// ---- handles ----
TEST(SkinnedMenuBar, LiveCountsUnchangedOverDropDownsAndStyleSwitches) {
  TMenuWindow w(MacOS);
  static int closes;
  closes = 0;
  auto dropOnce = [&](int index) {
    const UINT_PTR timer = SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      ++closes;
      EndMenu();
    });
    w.Bar()->DropDownButton(w.Bar()->Buttons(index));
    KillTimer(nullptr, timer);
  };
  const TkyrUIStyle styles[] = {MacOS, WinXP, DeepBlue, Protein, BlueGlass};
  dropOnce(0);
  w.panel->SetUIStyle(WinXP);
  w.panel->SetUIStyle(MacOS);
  uitest::Pump();
  constexpr THandleKind kinds[] = {THandleKind::Pen, THandleKind::Brush, THandleKind::Font, THandleKind::Bitmap,
                                   THandleKind::DC, THandleKind::Region, THandleKind::Menu};
  int counts[std::size(kinds)];
  for (size_t i = 0; i < std::size(kinds); ++i) counts[i] = LiveHandleCount(kinds[i]);
  for (int i = 0; i < 200; ++i) dropOnce(i % 3);
  for (int i = 0; i < 100; ++i) w.panel->SetUIStyle(styles[(i + 1) % 5]);
  w.panel->SetUIStyle(MacOS);
  uitest::Pump();
  EXPECT_EQ(closes, 201);
  for (size_t i = 0; i < std::size(kinds); ++i)
    EXPECT_EQ(LiveHandleCount(kinds[i]), counts[i]) << static_cast<int>(kinds[i]);
}

// ---- screenshots for a reviewer ----
TEST(SkinnedMenuBarShots, Screenshots) {
  if (EnvOr("VANTOR_SHOT_DIR", "").empty()) GTEST_SKIP() << "VANTOR_SHOT_DIR not set";
  for (TkyrUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
    TMenuWindow w(style);
    uitest::MovePointerTo(w.ButtonCentre(1));
    uitest::PumpUntil([&] { return (w.Bar()->ButtonState(w.Bar()->Buttons(1)) & cdsHot) != 0; });
    Sleep(50);
    uitest::Pump();
    RECT b{};
    GetWindowRect(w.form->Handle(), &b);
    TBitmap shot(b.right - b.left, b.bottom - b.top);
    TWindowDC dc(w.form->Handle(), true);
    BitBlt(shot.Canvas().Handle(), 0, 0, shot.Width(), shot.Height(), dc.Get(), 0, 0, SRCCOPY);
    frametest::SaveShot(std::string("menubar-") + TkyrUIStyleInfo.NameOf(style), shot);
    uitest::MovePointerTo({5, 5});
  }
}
