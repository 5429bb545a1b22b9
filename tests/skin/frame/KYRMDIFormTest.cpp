// The skinned MDI frame on real MDI windows under Wine: taking the main form over and giving it
// (and its client) back, the menu shown in the bar (the active child's), the child buttons of a
// maximised child and their clicks, and the frame's own cascade and tile.
#include "skin/frame/KYRMDIForm.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/SysUtils.h"
#include "framework/ui/ExtCtrls.h"
#include "skin/frame/KYRForm.h"
#include "tests/framework/ui/UiTestHelpers.h"
#include "tests/skin/frame/KYRFrameTestSupport.h"

namespace {

class TFrameForm : public TForm {
public:
  explicit TFrameForm(TComponent* owner) : TForm(owner) {
    SetFormStyle(fsMDIForm);
    SetBorderStyle(bsSizeable);
    SetBounds(30, 30, 560, 420);
    SetCaption("Frame");
  }
};

TMenuItem* AddItem(TMenuItem* parent, const std::string& caption, TComponent* owner) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

std::vector<std::string> Captions(const TToolBar& bar) {
  std::vector<std::string> captions;
  for (int i = 0; i < bar.ButtonCount(); ++i) captions.push_back(bar.Buttons(i)->Text());
  return captions;
}

RECT BoundsInClient(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

class SkinnedMDI : public ::testing::Test {
protected:
  void SetUp() override {
    app.Initialize();
    app.CreateForm(frame);
    skin = new TkyrMDIForm(frame);
    mainMenu = new TkyrMainMenu(frame);
    AddItem(AddItem(mainMenu->Items(), "&File", frame), "&Open", frame);
    AddItem(AddItem(mainMenu->Items(), "&Window", frame), "&Cascade", frame);
    skin->SetMenu(mainMenu);
    frame->Show();
    SetForegroundWindow(frame->Handle());
    Pump();
  }
  void Pump() { app.ProcessMessages(); }

  // A shown skinned child; with a menu "&Child" when MENU.
  TForm* NewChild(const std::string& caption, bool menu = false) {
    auto* child = new TForm(&app);
    child->SetFormStyle(fsMDIChild);
    child->SetBorderStyle(bsSizeable);
    child->SetCaption(caption);
    child->SetBounds(10, 10, 220, 160);
    new TkyrForm(child);
    if (menu) AddItem(AddItem((new TkyrMainMenu(child))->Items(), "&Child", child), "&Say hello", child);
    child->Show();
    Pump();
    return child;
  }

  TApplication app{nullptr};
  TFrameForm* frame = nullptr;
  TkyrMDIForm* skin = nullptr;
  TkyrMainMenu* mainMenu = nullptr;
};

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
  TForm* withMenu = NewChild("With menu", true);
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
  TkyrForm* panel = nullptr;
  for (int i = 0; i < child->ControlCount() && !panel; ++i) panel = dynamic_cast<TkyrForm*>(child->Controls(i));
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

TEST_F(SkinnedMDI, RemovingTheComponentGivesTheFormAndItsClientBack) {
  NewChild("One");
  NewChild("Two");
  const LONG_PTR frameProc = GetWindowLongPtrA(frame->Handle(), GWLP_WNDPROC);
  delete skin;
  skin = nullptr;
  EXPECT_NE(GetWindowLongA(frame->Handle(), GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_EQ(frame->MenuBarControl(), nullptr);
  EXPECT_EQ(mainMenu->Host(), nullptr);
  (void)frameProc;
  // The client works on without calling into the freed component.
  SendMessageA(frame->ClientHandle(), WM_MDICASCADE, 0, 0);
  SendMessageA(frame->ClientHandle(), WM_MDITILE, MDITILE_HORIZONTAL, 0);
  SendMessageA(frame->ClientHandle(), WM_MDIREFRESHMENU, 0, 0);
  Pump();
  EXPECT_EQ(frame->MDIChildCount(), 2);
}

TEST_F(SkinnedMDI, Screenshots) {
  if (EnvOr("VANTOR_SHOT_DIR", "").empty()) GTEST_SKIP() << "VANTOR_SHOT_DIR not set";
  for (TkyrUIStyle style : {MacOS, WinXP}) {
    skin->SetUIStyle(style);
    std::vector<TForm*> children;
    for (const char* name : {"Child 1", "Child 2", "Child 3"}) {
      children.push_back(NewChild(name));
      SetOrdProp(*children.back()->Controls(0), "UIStyle", style);
    }
    skin->CascadeChildren();
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
    frametest::SaveShot(std::string("mdi-cascade-") + TkyrUIStyleInfo.NameOf(style), shot);
    children.back()->SetWindowState(wsMaximized);
    Pump();
    Sleep(100);
    Pump();
    {
      TWindowDC dc(nullptr);
      BitBlt(shot.Canvas().Handle(), 0, 0, shot.Width(), shot.Height(), dc.Get(), b.left, b.top, SRCCOPY);
    }
    frametest::SaveShot(std::string("mdi-maximized-") + TkyrUIStyleInfo.NameOf(style), shot);
    for (TForm* child : children) delete child;
    Pump();
  }
}
