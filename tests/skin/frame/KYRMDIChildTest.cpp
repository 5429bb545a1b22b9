// The skinned MDI frame and its skinned children over their lives, on real MDI windows under
// Wine: children closed one by one (the bar never holds a freed menu), the client and the form
// hooks while the frame goes, a frame whose client comes later or never, the menu references,
// short-cuts, the composed caption, the child buttons' clicks, arranging with hidden and
// minimised children, two frames, a maximised child's place, the host's stored menu, and live
// handle counts over many cycles.
#include "skin/frame/KYRMDIForm.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/core/FormReader.h"
#include "framework/graphics/GdiHandles.h"
#include "framework/ui/Subclass.h"
#include "skin/KYRClasses.h"
#include "skin/frame/KYRForm.h"
#include "tests/framework/ui/UiTestHelpers.h"
#include "tests/skin/frame/KYRFrameTestSupport.h"
#include "tests/skin/frame/KYRMDITestSupport.h"
#include "tests/skin/frame/KYRMenuBarTestSupport.h"

namespace {

using bartest::AddItem;
using bartest::TopLevelCaptions;
using mditest::BoundsInClient;
using mditest::MenuOf;
using mditest::PanelOn;
using mditest::TFrameForm;
using SkinnedMDIChildren = mditest::TSkinnedMDIFixture;

constexpr UINT kMarker = WM_APP + 17;

// Dispatches one queued message at a time until DONE holds (true) or the queue runs dry.
bool DispatchUntil(const std::function<bool()>& done) {
  MSG msg;
  for (int i = 0; i < 10000 && !done(); ++i) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return done();
}

bool ButtonShown(TkyrMDIForm& skin, int tag) { return skin.MDIButton(tag) && skin.MDIButton(tag)->Visible(); }

// An MDI main form whose window exists, with nothing on it yet: what a test puts on it before
// the skinned frame lies below the frame's hooks.
struct TBareFrame {
  TBareFrame() {
    app.Initialize();
    app.CreateForm(frame);
  }
  void Show() {
    frame->Show();
    SetForegroundWindow(frame->Handle());
    app.ProcessMessages();
  }
  TApplication app{nullptr};
  TFrameForm* frame = nullptr;
};

}  // namespace

// ---- children closing one by one ----

// Each child with its own menu; each closed as a user would (the close button while maximised,
// else Close), the last one maximised. The moment a child has gone the bar holds nothing of its
// menu (the references read nullptr, the buttons are unbound); after that message the bar shows
// the next active child's menu, at last the frame's own.
TEST_F(SkinnedMDIChildren, ClosedOneByOneTheBarNeverHoldsAFreedMenu) {
  NewChild("One", "&One");
  NewChild("Two", "&Two");
  TForm* three = NewChild("Three", "&Three");
  three->SetWindowState(wsMaximized);
  Pump();
  for (int left = 3; left > 0; --left) {
    SCOPED_TRACE(left);
    TCustomForm* active = frame->ActiveMDIChild();
    ASSERT_NE(active, nullptr);
    if (left == 1 && !IsZoomed(active->Handle())) {
      active->SetWindowState(wsMaximized);
      Pump();
    }
    ASSERT_EQ(skin->CurrentMenu(), MenuOf(active));
    ASSERT_EQ(BarCaptions(), TopLevelCaptions(*MenuOf(active)));
    if (IsZoomed(active->Handle())) {
      ASSERT_TRUE(ButtonShown(*skin, kyrMDICloseTag));
      skin->MDIButtonClick(skin->MDIButton(kyrMDICloseTag));
    } else {
      active->Close();
    }
    ASSERT_TRUE(DispatchUntil([&] { return frame->MDIChildCount() == left - 1; }));
    EXPECT_EQ(skin->CurrentMenu(), nullptr);
    for (int i = 0; i < skin->MenuBar()->ButtonCount(); ++i) EXPECT_EQ(skin->MenuBar()->Buttons(i)->MenuItem(), nullptr);
    Pump();
    TCustomForm* next = frame->ActiveMDIChild();
    TMainMenu* shown = next ? MenuOf(next) : mainMenu;
    EXPECT_EQ(skin->CurrentMenu(), shown);
    EXPECT_EQ(BarCaptions(), TopLevelCaptions(*shown));
    EXPECT_EQ(ButtonShown(*skin, kyrMDICloseTag), next && IsZoomed(next->Handle()));
  }
  EXPECT_EQ(skin->TitleBar()->Caption(), "Frame");
  EXPECT_FALSE(ButtonShown(*skin, kyrMDIRestoreTag));
}

// ---- handles ----

TEST_F(SkinnedMDIChildren, LiveCountsUnchangedOverChildCyclesAndStyleSwitches) {
  if (!HandleCountsEnabled()) GTEST_SKIP() << "handle counts are kept in debug builds";
  auto counts = [] {
    std::vector<int> c;
    for (int k = 0; k < static_cast<int>(THandleKind::Count); ++k) c.push_back(LiveHandleCount(static_cast<THandleKind>(k)));
    return c;
  };
  auto cycle = [&] {
    TForm* child = NewChild("Cycle", "&Cycle");
    child->SetWindowState(wsMaximized);
    Pump();
    child->SetWindowState(wsNormal);
    Pump();
    child->Close();
    Pump();
  };
  const TkyrUIStyle styles[] = {MacOS, WinXP, Protein, BlueGlass, DeepBlue};
  cycle();  // what is made once for good (check marks, cached pictures) is made now
  for (TkyrUIStyle style : styles) skin->SetUIStyle(style);
  Pump();
  const std::vector<int> before = counts();
  for (int i = 0; i < 50; ++i) cycle();
  EXPECT_EQ(frame->MDIChildCount(), 0);
  EXPECT_EQ(counts(), before) << "child cycles";
  NewChild("Stays", "&Stays")->SetWindowState(wsMaximized);
  Pump();
  const std::vector<int> withChild = counts();
  for (int i = 0; i < 50; ++i) {
    skin->SetUIStyle(styles[i % 5]);
    Pump();
  }
  EXPECT_EQ(counts(), withChild) << "style switches";
}

// ---- going away ----

// Marked as going (as when its owner goes), the frame's follow-ups stop but both hooks still
// pass every message on: the client cascades and maximises its own way, the form's procedure
// gets its keys and sizes, and no short-cut runs.
TEST(SkinnedMDIGoing, WhileGoingBothHooksPassMessagesOn) {
  TBareFrame bare;
  TFrameForm* frame = bare.frame;
  frame->HandleNeeded();
  const HWND client = frame->ClientHandle();
  std::vector<UINT> clientSeen;
  TWindowSubclass below;
  below.Install(client, [&](TMessage& m) {
    if (m.Msg >= WM_MDICREATE && m.Msg <= WM_MDIREFRESHMENU) clientSeen.push_back(m.Msg);
    below.CallPrevious(m);
  });
  uitest::TMessageLog hostSeen(frame, {WM_KEYDOWN, WM_SIZE});
  auto* skin = new TkyrMDIForm(frame);
  auto* menu = new TkyrMainMenu(frame);
  int runs = 0;
  TMenuItem* item = AddItem(AddItem(menu->Items(), "&File", frame), "&Run", frame);
  item->SetShortCut(ShortCut(VK_F5, TShiftState{}));
  item->SetOnClick([&](TObject*) { ++runs; });
  skin->SetMenu(menu);
  bare.Show();
  TForm* one = mditest::NewSkinnedChild(bare.app, "One");
  mditest::NewSkinnedChild(bare.app, "Two");
  bare.app.ProcessMessages();
  ASSERT_EQ(skin->SubclassedClient(), client);
  ASSERT_EQ(GetActiveWindow(), frame->Handle());
  EXPECT_NE(SendMessageA(frame->Handle(), WM_KEYDOWN, VK_F5, 1), 0);  // alive: the short-cut runs
  EXPECT_EQ(runs, 1);

  skin->Destroying();
  clientSeen.clear();
  hostSeen.Clear();
  SendMessageA(client, WM_MDICASCADE, 0, 0);
  const RECT placed = BoundsInClient(one->Handle());
  EXPECT_NE(placed.right - placed.left, static_cast<int>(frame->ClientWidth() * 0.8)) << "the skin's cascade ran";
  SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(one->Handle()), 0);
  EXPECT_TRUE(IsZoomed(one->Handle()));
  EXPECT_FALSE(ButtonShown(*skin, kyrMDICloseTag));
  EXPECT_EQ(SendMessageA(frame->Handle(), WM_KEYDOWN, VK_F5, 1), 0);
  frame->SetBounds(frame->Left(), frame->Top(), frame->Width() + 10, frame->Height());
  EXPECT_EQ(runs, 1);
  ASSERT_GE(clientSeen.size(), 2u);  // then what the child's own panel tells the client
  EXPECT_EQ(clientSeen[0], static_cast<UINT>(WM_MDICASCADE));
  EXPECT_EQ(clientSeen[1], static_cast<UINT>(WM_MDIMAXIMIZE));
  EXPECT_EQ(hostSeen.messages, (std::vector<UINT>{WM_KEYDOWN, WM_SIZE}));
  delete skin;
  bare.app.ProcessMessages();
}

// ---- the client comes later, or never ----

// Read from a description before the host's window exists: nothing is subclassed until the
// client is made with it. The host's own menu, put back by the description after the frame
// cleared it, goes when the window is shown.
TEST(SkinnedMDIClient, ReadBeforeTheWindowExistsTheClientIsSubclassedWhenItComes) {
  TApplication app(nullptr);
  app.Initialize();
  RegisterSkinClasses();
  auto* frame = new TForm(&app);
  ReadComponentText(R"(object Frame: TForm
  Left = 40
  Top = 40
  Width = 400
  Height = 300
  Caption = 'Stored'
  FormStyle = fsMDIForm
  Menu = HostMenu
  object Skin: TkyrMDIForm
    UIStyle = MacOS
  end
  object HostMenu: TMainMenu
    object Stored1: TMenuItem
      Caption = '&Stored'
    end
  end
end
)",
                    *frame);
  auto* skin = dynamic_cast<TkyrMDIForm*>(frame->FindComponent("Skin"));
  ASSERT_NE(skin, nullptr);
  EXPECT_FALSE(frame->HandleAllocated());
  EXPECT_EQ(skin->SubclassedClient(), nullptr);
  EXPECT_EQ(skin->UIStyle(), MacOS);
  ASSERT_NE(frame->Menu(), nullptr);  // put back after the frame cleared it

  frame->Show();
  app.ProcessMessages();
  ASSERT_NE(frame->ClientHandle(), nullptr);
  EXPECT_EQ(skin->SubclassedClient(), frame->ClientHandle());
  EXPECT_EQ(frame->Menu(), nullptr);
  EXPECT_EQ(GetMenu(frame->Handle()), nullptr);
  EXPECT_EQ(GetWindowLongA(frame->Handle(), GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_EQ(skin->TitleBar()->Caption(), "Stored");
}

// A form that is no MDI form has no client: nothing is subclassed and arranging does nothing.
TEST(SkinnedMDIClient, AHostThatIsNoMDIFormGetsNoSubclass) {
  TApplication app(nullptr);
  app.Initialize();
  auto* form = new TForm(&app);
  form->SetBounds(40, 40, 300, 200);
  auto* skin = new TkyrMDIForm(form);
  form->Show();
  app.ProcessMessages();
  EXPECT_EQ(form->ClientHandle(), nullptr);
  EXPECT_EQ(skin->SubclassedClient(), nullptr);
  skin->CascadeChildren();
  skin->TileChildren();
  skin->MDIButtonClick(skin->MDIButton(kyrMDICloseTag));
  EXPECT_EQ(GetWindowLongA(form->Handle(), GWL_STYLE) & WS_CAPTION, 0);
  delete skin;
  EXPECT_NE(GetWindowLongA(form->Handle(), GWL_STYLE) & WS_CAPTION, 0);
}

// ---- the menu references ----

// Both clear themselves when their menu goes; the bar is rebuilt after the current message,
// never inside the free.
TEST_F(SkinnedMDIChildren, TheMenuReferencesClearThemselvesAndTheBarIsRebuiltAfterwards) {
  TForm* child = NewChild("Child", "&Child");
  ASSERT_EQ(skin->CurrentMenu(), MenuOf(child));
  delete MenuOf(child);
  EXPECT_EQ(skin->CurrentMenu(), nullptr);
  EXPECT_EQ(BarCaptions(), std::vector<std::string>{"&Child"});  // not yet rebuilt
  EXPECT_EQ(skin->MenuBar()->Buttons(0)->MenuItem(), nullptr);
  Pump();
  EXPECT_EQ(skin->CurrentMenu(), mainMenu);
  EXPECT_EQ(BarCaptions(), TopLevelCaptions(*mainMenu));
  delete mainMenu;
  EXPECT_EQ(skin->Menu(), nullptr);
  EXPECT_EQ(skin->CurrentMenu(), nullptr);
  Pump();
  EXPECT_FALSE(skin->MenuPanel()->Visible());
}

// ---- short-cuts ----

// Only while the frame is the active window; what an earlier listener of the loop handled stays
// handled, and a key the frame runs is not dispatched as well.
TEST(SkinnedMDIShortCuts, OnlyWhileTheFrameIsActiveAndHandledIsOred) {
  TBareFrame bare;
  TFrameForm* frame = bare.frame;
  TApplicationEvents earlier(nullptr);
  earlier.SetOnMessage([](MSG& msg, bool& handled) {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_F7) handled = true;
  });
  auto* skin = new TkyrMDIForm(frame);
  bool laterSaw = false;
  TApplicationEvents later(nullptr);
  later.SetOnMessage([&](MSG& msg, bool& handled) {
    if (msg.message == WM_KEYDOWN) laterSaw = handled;
  });
  auto* menu = new TkyrMainMenu(frame);
  int runs = 0;
  TMenuItem* item = AddItem(AddItem(menu->Items(), "&File", frame), "&Run", frame);
  item->SetShortCut(ShortCut(VK_F5, TShiftState{}));
  item->SetOnClick([&](TObject*) { ++runs; });
  skin->SetMenu(menu);
  bare.Show();
  uitest::TMessageLog keys(frame, {WM_KEYDOWN});
  ASSERT_EQ(GetActiveWindow(), frame->Handle());

  PostMessageA(frame->Handle(), WM_KEYDOWN, VK_F7, 1);  // handled before the frame: stays so
  bare.app.ProcessMessages();
  EXPECT_TRUE(laterSaw);
  PostMessageA(frame->Handle(), WM_KEYDOWN, VK_F5, 1);  // the frame's: run once, not dispatched
  bare.app.ProcessMessages();
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(laterSaw);
  EXPECT_TRUE(keys.messages.empty());

  TForm other(nullptr);  // another window active: the frame's short-cuts rest
  other.SetBounds(500, 400, 200, 150);
  other.Show();
  SetForegroundWindow(other.Handle());
  SetActiveWindow(other.Handle());
  bare.app.ProcessMessages();
  ASSERT_NE(GetActiveWindow(), frame->Handle());
  PostMessageA(frame->Handle(), WM_KEYDOWN, VK_F5, 1);
  bare.app.ProcessMessages();
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(laterSaw);
  EXPECT_EQ(SendMessageA(frame->Handle(), WM_KEYDOWN, VK_F5, 1), 0);
  EXPECT_EQ(runs, 1);
}

// ---- the composed caption ----

TEST_F(SkinnedMDIChildren, TheComposedCaptionGoesToTheTitleBarOnly) {
  TForm* child = NewChild("Child");
  for (int round = 0; round < 2; ++round) {
    child->SetWindowState(wsMaximized);
    Pump();
    for (int i = 0; i < 3; ++i) SendMessageA(frame->ClientHandle(), WM_MDIREFRESHMENU, 0, 0);
    Pump();
    EXPECT_EQ(frame->Caption(), "Frame - [Child]");
    EXPECT_EQ(skin->TitleBar()->Caption(), "Frame - [Child]");
    child->SetWindowState(wsNormal);
    Pump();
    EXPECT_EQ(frame->Caption(), "Frame");
    EXPECT_EQ(skin->TitleBar()->Caption(), "Frame");
  }
}

// ---- the child buttons ----

// The click acts and returns: what follows from it comes from the loop, after the click.
TEST_F(SkinnedMDIChildren, AChildButtonClickPumpsNoMessages) {
  TForm* child = NewChild("Child");
  child->SetWindowState(wsMaximized);
  Pump();
  MSG msg;
  PostMessageA(frame->Handle(), kMarker, 0, 0);
  skin->MDIButtonClick(skin->MDIButton(kyrMDIRestoreTag));
  EXPECT_FALSE(IsZoomed(child->Handle()));
  EXPECT_TRUE(PeekMessageA(&msg, frame->Handle(), kMarker, kMarker, PM_NOREMOVE));
  Pump();
  child->SetWindowState(wsMaximized);
  Pump();
  PostMessageA(frame->Handle(), kMarker, 0, 0);
  skin->MDIButtonClick(skin->MDIButton(kyrMDICloseTag));
  EXPECT_EQ(frame->MDIChildCount(), 1);  // freed from the loop, after the click
  EXPECT_TRUE(PeekMessageA(&msg, frame->Handle(), kMarker, kMarker, PM_NOREMOVE));
  Pump();
  EXPECT_EQ(frame->MDIChildCount(), 0);
}

// A child without minimise and maximise buttons of its own gets only the close button.
TEST_F(SkinnedMDIChildren, AChildWithoutMinimiseAndMaximiseButtonsShowsOnlyClose) {
  TForm* child = NewChild("Child");
  TkyrTitleBarButtons* buttons = PanelOn(child)->TitleBarButtons();
  for (int i = buttons->Count() - 1; i >= 0; --i)
    if (buttons->Items(i)->ButtonType() == kyrMin || buttons->Items(i)->ButtonType() == kyrMax) delete buttons->Items(i);
  child->SetWindowState(wsMaximized);
  Pump();
  ASSERT_TRUE(IsZoomed(child->Handle()));
  EXPECT_TRUE(ButtonShown(*skin, kyrMDICloseTag));
  EXPECT_FALSE(ButtonShown(*skin, kyrMDIRestoreTag));
  EXPECT_FALSE(ButtonShown(*skin, kyrMDIMinimizeTag));
  child->SetWindowState(wsNormal);
  Pump();
  EXPECT_FALSE(ButtonShown(*skin, kyrMDICloseTag));
}

// ---- arranging ----

// Hidden children keep their place; minimised ones too, with 25 pixels kept for their icons.
TEST_F(SkinnedMDIChildren, TileAndCascadeSkipHiddenAndMinimisedChildren) {
  TForm* one = NewChild("One");
  TForm* hidden = NewChild("Hidden");
  TForm* three = NewChild("Three");
  hidden->SetBounds(100, 90, 150, 120);
  hidden->Hide();
  Pump();
  const RECT kept = BoundsInClient(hidden->Handle());
  SendMessageA(frame->ClientHandle(), WM_MDICASCADE, 0, 0);
  EXPECT_EQ(BoundsInClient(one->Handle()).left, 0);
  EXPECT_EQ(BoundsInClient(three->Handle()).left, 22);
  EXPECT_TRUE(frametest::SameRect(BoundsInClient(hidden->Handle()), kept));

  skin->TileChildren();  // horizontal: two rows
  const int avail = frame->ClientHeight() - skin->TitleBar()->Height() - skin->MenuPanel()->Height();
  EXPECT_EQ(BoundsInClient(one->Handle()).top, 0);
  EXPECT_EQ(BoundsInClient(three->Handle()).top, avail / 2 - 2);
  EXPECT_EQ(BoundsInClient(three->Handle()).bottom - BoundsInClient(three->Handle()).top, avail / 2 - 2);
  EXPECT_TRUE(frametest::SameRect(BoundsInClient(hidden->Handle()), kept));

  one->SetWindowState(wsMinimized);
  Pump();
  const RECT icon = BoundsInClient(one->Handle());
  skin->TileChildren();  // one row, 25 pixels less
  EXPECT_EQ(BoundsInClient(three->Handle()).bottom - BoundsInClient(three->Handle()).top, avail - 25 - 2);
  EXPECT_TRUE(frametest::SameRect(BoundsInClient(one->Handle()), icon));
}

// ---- two frames ----

// What a maximised child told its frame is its own and that frame's: a second skinned MDI frame
// keeps its buttons hidden, and moving the maximised state from one child to another keeps the
// buttons up and each child's title bar right.
TEST_F(SkinnedMDIChildren, TwoFramesAndTwoChildrenKeepTheirOwnMaximisedState) {
  auto* second = new TFrameForm(&app);
  second->SetBounds(620, 30, 400, 300);
  auto* otherSkin = new TkyrMDIForm(second);
  second->Show();
  Pump();
  TForm* one = NewChild("One");
  TForm* two = NewChild("Two");
  two->SetWindowState(wsMaximized);
  Pump();
  EXPECT_TRUE(ButtonShown(*skin, kyrMDICloseTag));
  EXPECT_FALSE(ButtonShown(*otherSkin, kyrMDICloseTag));
  SendMessageA(second->ClientHandle(), WM_MDIREFRESHMENU, 0, 0);
  SendMessageA(second->ClientHandle(), WM_MDIRESTORE, 0, 0);
  Pump();
  EXPECT_TRUE(ButtonShown(*skin, kyrMDICloseTag));
  EXPECT_FALSE(ButtonShown(*otherSkin, kyrMDICloseTag));

  SendMessageA(frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(one->Handle()), 0);
  Pump();
  ASSERT_EQ(frame->ActiveMDIChild(), one);
  EXPECT_TRUE(IsZoomed(one->Handle()));  // the client keeps a child maximised
  EXPECT_FALSE(IsZoomed(two->Handle()));
  EXPECT_TRUE(ButtonShown(*skin, kyrMDICloseTag));
  EXPECT_FALSE(PanelOn(one)->TitleBarVisible());
  EXPECT_TRUE(PanelOn(two)->TitleBarVisible());
  one->SetWindowState(wsNormal);
  Pump();
  EXPECT_FALSE(ButtonShown(*skin, kyrMDICloseTag));
  EXPECT_TRUE(PanelOn(one)->TitleBarVisible());
  two->SetWindowState(wsMaximized);
  Pump();
  EXPECT_TRUE(ButtonShown(*skin, kyrMDICloseTag));
  EXPECT_FALSE(ButtonShown(*otherSkin, kyrMDICloseTag));
}

// ---- a maximised child's place ----

// The client places it over its own area; the frame's work-area rule is for top-level hosts.
TEST_F(SkinnedMDIChildren, AMaximisedChildStaysOverItsClient) {
  TForm* child = NewChild("Child");
  child->SetWindowState(wsMaximized);
  Pump();
  ASSERT_TRUE(IsZoomed(child->Handle()));
  RECT client{};
  GetClientRect(frame->ClientHandle(), &client);
  const RECT placed = BoundsInClient(child->Handle());
  EXPECT_LE(placed.left, 0);
  EXPECT_LE(placed.top, 0);
  EXPECT_GE(placed.right, client.right);
  EXPECT_GE(placed.bottom, client.bottom);
  EXPECT_GT(placed.left, -10);  // only the child's own frame beyond the client's edges
  EXPECT_GT(placed.top, -10);
  EXPECT_LT(placed.right - client.right, 10);
  EXPECT_LT(placed.bottom - client.bottom, 10);
}

// ---- a child's title bar when the child grows ----

// The screen shows what the bar paints: its buttons move with the right edge, none is left
// behind where they stood (the system alone would repaint only the strip the bar gained).
TEST_F(SkinnedMDIChildren, AWidenedChildsTitleBarIsPaintedAgainWhole) {
  TForm* child = NewChild("Child");
  bartest::ParkPointer();
  TkyrTitleBar* bar = PanelOn(child)->TitleBar();
  const int before = bar->Width();
  child->SetWidth(child->Width() + 150);
  Pump();
  ASSERT_EQ(bar->Width(), before + 150);
  uitest::TCapture painted(bar->Width(), bar->Height());
  SendMessageA(bar->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(painted.DC()), PRF_CLIENT);
  TWindowDC screen(bar->Handle());
  int differing = 0;
  for (int x = before - 70; x < before; ++x)
    for (int y = 2; y < bar->Height() - 2; y += 3)
      differing += static_cast<TColor>(GetPixel(screen.Get(), x, y)) != painted.Pixel(x, y);
  EXPECT_EQ(differing, 0);
}
