// The skinned MDI frame on real MDI windows under Wine: taking the main form over and giving it
// (and its client) back, the menu shown in the bar (the active child's) and its pixels per style,
// the child buttons of a maximised child and their clicks, the system's MDI keys through the
// message loop, and the frame's own cascade and tile.
#include "skin/frame/KYRMDIForm.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/SysUtils.h"
#include "framework/ui/ExtCtrls.h"
#include "skin/frame/KYRForm.h"
#include "tests/framework/ui/UiTestHelpers.h"
#include "tests/skin/frame/KYRFrameTestSupport.h"
#include "tests/skin/frame/KYRMDITestSupport.h"
#include "tests/skin/frame/KYRMenuBarTestSupport.h"

namespace {

using bartest::Captions;
using mditest::BoundsInClient;
using mditest::PanelOn;
using mditest::TFrameForm;
using SkinnedMDI = mditest::TSkinnedMDIFixture;

}  // namespace

TEST(SkinnedMDIConstruction, RefusedUnlessPlacedOnAForm) {
  TComponent notAForm(nullptr);
  try {
    TkyrMDIForm refused(&notAForm);
    FAIL() << "constructed";
  } catch (const Exception& e) {
    EXPECT_EQ(std::string(e.what()), "Sorry, TkyrMDIForm must be placed on a form");
  }
  EXPECT_EQ(notAForm.ComponentCount(), 0);
}

TEST_F(SkinnedMDI, TitleBarMenuPanelAndClientFromTheTopDown) {
  EXPECT_EQ(GetWindowLongA(frame->Handle(), GWL_STYLE) & WS_CAPTION, 0);
  ASSERT_NE(skin->TitleBar(), nullptr);
  EXPECT_EQ(skin->TitleBar()->Top(), 0);
  ASSERT_TRUE(skin->MenuPanel()->Visible());
  EXPECT_EQ(skin->MenuPanel()->Top(), skin->TitleBar()->Height());
  EXPECT_EQ(Captions(*skin->MenuBar()), (std::vector<std::string>{"&File", "&Window"}));
  EXPECT_EQ(skin->CurrentMenu(), mainMenu);
  EXPECT_EQ(frame->MenuBarControl(), skin->MenuBar());
  const RECT client = BoundsInClient(frame->ClientHandle());
  EXPECT_EQ(client.top, skin->MenuPanel()->Top() + skin->MenuPanel()->Height());
  for (int tag : {kyrMDICloseTag, kyrMDIRestoreTag, kyrMDIMinimizeTag}) {
    ASSERT_NE(skin->MDIButton(tag), nullptr) << tag;
    EXPECT_FALSE(skin->MDIButton(tag)->Visible());
  }
  EXPECT_GT(skin->MDIButton(kyrMDICloseTag)->Left(), skin->MDIButton(kyrMDIMinimizeTag)->Left());
}

TEST_F(SkinnedMDI, TheBarShowsTheActiveChildsMenuOrTheFramesOwn) {
  TForm* plain = NewChild("Plain");
  TForm* withMenu = NewChild("With menu", "&Child");
  Pump();
  EXPECT_EQ(Captions(*skin->MenuBar()), std::vector<std::string>{"&Child"});
  SendMessageA(frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(plain->Handle()), 0);
  Pump();
  ASSERT_EQ(frame->ActiveMDIChild(), plain);
  EXPECT_EQ(skin->CurrentMenu(), mainMenu);
  EXPECT_EQ(Captions(*skin->MenuBar()), (std::vector<std::string>{"&File", "&Window"}));
  skin->SetTitleBarDrawChildMenus(false);
  SendMessageA(frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(withMenu->Handle()), 0);
  Pump();
  EXPECT_EQ(skin->CurrentMenu(), mainMenu);
  skin->SetTitleBarDrawChildMenus(true);
  Pump();
  EXPECT_EQ(Captions(*skin->MenuBar()), std::vector<std::string>{"&Child"});
  delete withMenu;  // the menu it showed goes with it: the bar never holds it
  Pump();
  EXPECT_EQ(skin->CurrentMenu(), mainMenu);
  EXPECT_EQ(Captions(*skin->MenuBar()), (std::vector<std::string>{"&File", "&Window"}));
}

TEST_F(SkinnedMDI, AMaximisedChildShowsTheButtonsOfItsTitleBarAndTheirClicksAct) {
  TForm* child = NewChild("Child");
  TkyrForm* panel = PanelOn(child);
  ASSERT_NE(panel, nullptr);
  for (int i = panel->TitleBarButtons()->Count() - 1; i >= 0; --i)  // no minimise button on this child
    if (panel->TitleBarButtons()->Items(i)->ButtonType() == kyrMin) delete panel->TitleBarButtons()->Items(i);
  child->SetWindowState(wsMaximized);
  Pump();
  EXPECT_TRUE(IsZoomed(child->Handle()));
  EXPECT_TRUE(skin->MDIButton(kyrMDICloseTag)->Visible());
  EXPECT_TRUE(skin->MDIButton(kyrMDIRestoreTag)->Visible());
  EXPECT_FALSE(skin->MDIButton(kyrMDIMinimizeTag)->Visible());
  EXPECT_FALSE(panel->TitleBarVisible());  // the frame's title bar stands for it
  char text[256] = {};
  GetWindowTextA(frame->Handle(), text, sizeof text);
  EXPECT_EQ(skin->TitleBar()->Caption(), text);
  for (int i = 0; i < 3; ++i) SendMessageA(frame->ClientHandle(), WM_MDIREFRESHMENU, 0, 0);
  EXPECT_EQ(skin->TitleBar()->Caption(), text);  // the composed caption never grows

  skin->MDIButtonClick(skin->MDIButton(kyrMDIRestoreTag));
  Pump();
  EXPECT_FALSE(IsZoomed(child->Handle()));
  EXPECT_FALSE(skin->MDIButton(kyrMDICloseTag)->Visible());
  EXPECT_TRUE(panel->TitleBarVisible());
  EXPECT_EQ(skin->TitleBar()->Caption(), "Frame");

  skin->MDIButtonClick(skin->MDIButton(kyrMDIMinimizeTag));
  Pump();
  EXPECT_TRUE(IsIconic(child->Handle()));
  skin->MDIButtonClick(frame);  // not a child button: nothing
  Pump();
  EXPECT_TRUE(IsIconic(child->Handle()));

  child->SetWindowState(wsMaximized);  // freed while maximised: the buttons go with it
  Pump();
  ASSERT_TRUE(skin->MDIButton(kyrMDICloseTag)->Visible());
  delete child;
  Pump();
  EXPECT_FALSE(skin->MDIButton(kyrMDICloseTag)->Visible());
  EXPECT_EQ(skin->TitleBar()->Caption(), "Frame");
}

TEST_F(SkinnedMDI, CascadeIsTheFramesOwn) {
  for (const char* name : {"One", "Two", "Three"}) NewChild(name);
  SendMessageA(frame->ClientHandle(), WM_MDICASCADE, 0, 0);
  Pump();
  const int width = static_cast<int>(frame->ClientWidth() * 0.8);
  const int height = static_cast<int>(frame->ClientHeight() * 0.6);
  std::vector<RECT> places;
  for (int i = frame->MDIChildCount() - 1; i >= 0; --i) places.push_back(BoundsInClient(frame->MDIChildren(i)->Handle()));
  ASSERT_EQ(places.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(places[i].left, 22 * i) << i;
    EXPECT_EQ(places[i].top, 22 * i) << i;
    EXPECT_EQ(places[i].right - places[i].left, width) << i;
    EXPECT_EQ(places[i].bottom - places[i].top, height) << i;
  }
}

TEST_F(SkinnedMDI, HorizontalTileOfTwoInAThreeHundredPixelClient) {
  skin->SetTitleBarVisible(false);
  skin->SetMenu(nullptr);
  Pump();
  frame->SetClientSize(500, 300);
  Pump();
  ASSERT_EQ(frame->ClientHeight(), 300);
  NewChild("One");
  NewChild("Two");
  skin->TileChildren();
  Pump();
  std::vector<RECT> places;
  for (int i = frame->MDIChildCount() - 1; i >= 0; --i) places.push_back(BoundsInClient(frame->MDIChildren(i)->Handle()));
  ASSERT_EQ(places.size(), 2u);
  EXPECT_EQ(places[0].top, 0);
  EXPECT_EQ(places[1].top, 148);
  for (const RECT& r : places) EXPECT_EQ(r.bottom - r.top, 148);
  frame->SetClientSize(40, 10);  // a tiny client: never a negative size
  Pump();
  skin->TileChildren();
  frame->SetTileMode(tbVertical);
  skin->TileChildren();
  for (int i = 0; i < frame->MDIChildCount(); ++i) {
    const RECT r = BoundsInClient(frame->MDIChildren(i)->Handle());
    EXPECT_GE(r.right - r.left, 0);
    EXPECT_GE(r.bottom - r.top, 0);
  }
}

// A panel aligned to the top of the host at Top 0 lands among the frame's own (under the title
// bar, above the menu panel); the next component inserted puts both back above it.
TEST_F(SkinnedMDI, AfterAnInsertionTheTitleBarAndTheMenuPanelAreOnTopAgain) {
  auto* tools = new TPanel(frame);
  tools->SetBounds(0, 0, 100, 30);
  tools->SetAlign(alTop);
  tools->SetParent(frame);
  Pump();
  ASSERT_LT(tools->Top(), skin->MenuPanel()->Top());
  new TComponent(frame);
  Pump();
  EXPECT_EQ(skin->TitleBar()->Top(), 0);
  EXPECT_EQ(skin->MenuPanel()->Top(), skin->TitleBar()->Height());
  EXPECT_EQ(tools->Top(), skin->MenuPanel()->Top() + skin->MenuPanel()->Height());
  EXPECT_EQ(BoundsInClient(frame->ClientHandle()).top, tools->Top() + tools->Height());
}

// ---- the bar's pixels ----

TEST_F(SkinnedMDI, MacOSBarPictureAndTheSelectionPictureUnderThePointer) {
  skin->SetUIStyle(MacOS);
  Pump();
  bartest::ExpectMacOSBarPictures(*skin->MenuBar(), 1, 0);
}

// The MDI frame writes a disabled top-level item like the others (the form panel greys it).
TEST_F(SkinnedMDI, OtherStylesDrawAFramedBoxAndDisabledCaptionsInTheBarsInk) {
  mainMenu->Items()->Items(1)->SetEnabled(false);
  for (TkyrUIStyle style : {WinXP, DeepBlue, Protein, BlueGlass}) {
    SCOPED_TRACE(static_cast<int>(style));
    skin->SetUIStyle(style);
    Pump();
    auto shot = bartest::ExpectFramedBox(*skin->MenuBar(), style, 0);
    ASSERT_NE(shot, nullptr);
    const RECT off = skin->MenuBar()->Buttons(1)->BoundsRect();
    const TColor ink = bartest::Solid(GetBuiltinColor(style, KYR_THEME_MENU_FONT_COLOR));
    EXPECT_GT(bartest::CountColour(*shot, off, ink), 3);
    EXPECT_EQ(bartest::CountColour(*shot, off, 0x808080), 0);
    EXPECT_EQ(bartest::CountColour(*shot, off, bartest::Solid(GetBuiltinColor(style, KYR_THEME_MENU_SELECTED_BORDER_COLOR))), 0);
  }
}

// ---- the system's MDI keys ----

// Typed for real: the application's loop hands them to the client (TranslateMDISysAccel) past
// the frame's own short-cut test, which knows neither.
TEST_F(SkinnedMDI, CtrlF6AndCtrlF4ThroughTheMessageLoop) {
  NewChild("One", "&One");
  NewChild("Two", "&Two");
  TForm* three = NewChild("Three", "&Three");
  ASSERT_EQ(frame->ActiveMDIChild(), three);
  ASSERT_EQ(GetActiveWindow(), frame->Handle());
  EXPECT_EQ(BarCaptions(), std::vector<std::string>{"&Three"});

  mditest::PressChord({VK_CONTROL, VK_F6});
  ASSERT_TRUE(uitest::PumpUntil([&] { Pump(); return frame->ActiveMDIChild() != three; }));
  Pump();
  TCustomForm* next = frame->ActiveMDIChild();
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(skin->CurrentMenu(), mditest::MenuOf(next));
  EXPECT_EQ(BarCaptions(), bartest::TopLevelCaptions(*skin->CurrentMenu()));
  EXPECT_EQ(frame->MDIChildCount(), 3);

  mditest::PressChord({VK_CONTROL, VK_F4});  // closes (frees) the active child
  ASSERT_TRUE(uitest::PumpUntil([&] { Pump(); return frame->MDIChildCount() == 2; }));
  Pump();
  ASSERT_NE(frame->ActiveMDIChild(), nullptr);
  EXPECT_NE(frame->ActiveMDIChild(), next);
  EXPECT_EQ(BarCaptions(), bartest::TopLevelCaptions(*skin->CurrentMenu()));
}

// ---- removal ----

// Before the component goes, the client is subclassed and the form's frame is the skin's; after,
// the client's procedure is its class's again, the form's frame the system's with a caption, and
// the client goes on working: its cascade is the system's, and activating a child sends the
// children their WM_MDIACTIVATE. A rebuild still queued for the freed component reaches nobody.
TEST_F(SkinnedMDI, RemovingTheComponentGivesTheFormAndItsClientBack) {
  TForm* one = NewChild("One");
  TForm* two = NewChild("Two");
  const HWND client = frame->ClientHandle();
  const LONG_PTR classProc = GetClassLongPtrW(client, GCLP_WNDPROC);
  ASSERT_NE(GetWindowLongPtrW(client, GWLP_WNDPROC), classProc);  // subclassed while the skin lives
  auto frameInsets = [&] {
    RECT c{}, w{};
    GetClientRect(frame->Handle(), &c);
    GetWindowRect(frame->Handle(), &w);
    return std::pair{(w.right - w.left) - c.right, (w.bottom - w.top) - c.bottom};
  };
  EXPECT_EQ(frameInsets(), (std::pair<LONG, LONG>{6, 4}));  // the skin's frame: 3 pixels, 1 at the bottom

  bartest::AddItem(mainMenu->Items(), "&Help", frame);  // a rebuild posted for the skin
  delete skin;
  skin = nullptr;
  EXPECT_NE(GetWindowLongA(frame->Handle(), GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_EQ(GetWindowLongPtrW(client, GWLP_WNDPROC), classProc);
  EXPECT_EQ(frame->MenuBarControl(), nullptr);
  EXPECT_EQ(mainMenu->Host(), nullptr);
  RECT system{0, 0, 0, 0};
  AdjustWindowRectEx(&system, static_cast<DWORD>(GetWindowLongA(frame->Handle(), GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(frame->Handle(), GWL_EXSTYLE)));
  EXPECT_EQ(frameInsets(), (std::pair<LONG, LONG>{system.right - system.left, system.bottom - system.top}));
  Pump();

  uitest::TMessageLog logOne(one, {WM_MDIACTIVATE}), logTwo(two, {WM_MDIACTIVATE});
  SendMessageA(client, WM_MDICASCADE, 0, 0);
  const RECT placed = BoundsInClient(one->Handle());
  EXPECT_FALSE(placed.right - placed.left == static_cast<int>(frame->ClientWidth() * 0.8) &&
               placed.bottom - placed.top == static_cast<int>(frame->ClientHeight() * 0.6))
      << "the skin's cascade ran";
  ASSERT_EQ(frame->ActiveMDIChild(), two);
  SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(one->Handle()), 0);
  EXPECT_EQ(frame->ActiveMDIChild(), one);
  EXPECT_EQ(logTwo.messages, std::vector<UINT>{WM_MDIACTIVATE});  // deactivated
  EXPECT_EQ(logOne.messages, std::vector<UINT>{WM_MDIACTIVATE});  // activated
  SendMessageA(client, WM_MDITILE, MDITILE_HORIZONTAL, 0);
  SendMessageA(client, WM_MDIREFRESHMENU, 0, 0);
  SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(one->Handle()), 0);
  PostMessageA(frame->Handle(), WM_KEYDOWN, 'O', 1);
  Pump();
  EXPECT_TRUE(IsZoomed(one->Handle()));
  EXPECT_EQ(frame->MDIChildCount(), 2);
}

// Screenshots for a reviewer (VANTOR_SHOT_DIR): the frame at rest, its children cascaded and
// tiled, one maximised, per style, read back from the screen.
TEST_F(SkinnedMDI, Screenshots) {
  if (EnvOr("VANTOR_SHOT_DIR", "").empty()) GTEST_SKIP() << "VANTOR_SHOT_DIR not set";
  auto shoot = [&](const std::string& name) {
    Pump();
    Sleep(100);
    Pump();
    RECT b{};
    GetWindowRect(frame->Handle(), &b);
    TBitmap shot(b.right - b.left, b.bottom - b.top);
    {
      TWindowDC dc(nullptr);
      BitBlt(shot.Canvas().Handle(), 0, 0, shot.Width(), shot.Height(), dc.Get(), b.left, b.top, SRCCOPY);
    }
    frametest::SaveShot(name, shot);
  };
  for (TkyrUIStyle style : {MacOS, WinXP}) {
    const std::string suffix = std::string("-") + TkyrUIStyleInfo.NameOf(style);
    skin->SetUIStyle(style);
    shoot("mdi-rest" + suffix);
    std::vector<TForm*> children;
    for (const char* name : {"Child 1", "Child 2", "Child 3"}) {
      children.push_back(NewChild(name, name == std::string("Child 3") ? "&Child menu" : ""));
      PanelOn(children.back())->SetUIStyle(style);
    }
    frame->Cascade();
    shoot("mdi-cascade" + suffix);
    frame->Tile();
    shoot("mdi-tile" + suffix);
    children.back()->SetWindowState(wsMaximized);
    shoot("mdi-maximized" + suffix);
    for (TForm* child : children) delete child;
    Pump();
  }
}
