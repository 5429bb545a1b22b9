// The skin demo's MDI frame under Wine: the children of start-up, the Window commands (numbering,
// the frame's own cascade and tiles, Close all), the bar showing the active child's menu, Say
// hello, a maximised child's buttons and caption, children freed when closed by their title bar's
// close button, and the live handle counts over many child cycles.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/framework/ui/UiTestHelpers.h"
#include "tests/tools/skin-demo/DemoTestSupport.h"
#include "tools/skin-demo/DemoChild.h"
#include "tools/skin-demo/DemoControls.h"
#include "tools/skin-demo/DemoMain.h"

namespace {

using demotest::Activate;
using demotest::BarCaptions;
using demotest::ChildCalled;
using demotest::ChildCaptions;
using demotest::ChildPlaces;
using demotest::SkinDemo;
using Captions = std::vector<std::string>;
using Places = std::vector<demotest::TPlace>;

const Captions kFrameBar{"&File", "&Style", "&Window", "&Help"};
const Captions kMenuChildBar{"&Child", "&Window"};

// Whether a form of class T captioned CAPTION exists at all (shown or not).
bool FormExists(const std::string& caption) {
  for (TCustomForm* form : AllForms())
    if (form->Caption() == caption) return true;
  return false;
}

TEST_F(SkinDemo, ThreeChildrenAreOpenAtStartCascadedAsTheFrameCascades) {
  EXPECT_EQ(Main().MDIChildCount(), 3);
  EXPECT_EQ(ChildCaptions(), (Captions{"Child 2", "Child 1", "Controls"})) << "top of the Z order first";
  EXPECT_NE(dynamic_cast<TDemoControlsForm*>(ChildCalled("Controls")), nullptr);
  EXPECT_EQ(ChildCalled("Child 1")->ClassName(), std::string("TDemoChildForm"));
  EXPECT_NE(dynamic_cast<TDemoMenuChildForm*>(ChildCalled("Child 2")), nullptr) << "a menu child";
  EXPECT_EQ(Main().ActiveMDIChild(), ChildCalled("Child 2"));
  for (int i = 0; i < Main().MDIChildCount(); ++i) EXPECT_TRUE(IsWindowVisible(Main().MDIChildren(i)->Handle()));
  // Cascaded: where the frame's own cascade puts them, each 22 pixels on from the one under it.
  const Places atStart = ChildPlaces();
  demotest::Scramble();
  Main().kyrMDIForm1->CascadeChildren();
  uitest::Pump();
  EXPECT_EQ(ChildPlaces(), atStart);
  ASSERT_EQ(atStart.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    const RECT& r = atStart[static_cast<size_t>(2 - i)].r;  // from the bottom up
    EXPECT_EQ(r.left, 22 * i);
    EXPECT_EQ(r.top, 22 * i);
  }
}

TEST_F(SkinDemo, NewChildrenAreNumberedOnFromOneAcrossBothKinds) {
  Main().NewChild1->Click();
  uitest::Pump();
  EXPECT_EQ(Main().ActiveMDIChild()->Caption(), "Child 3");
  EXPECT_EQ(Main().ActiveMDIChild()->ClassName(), std::string("TDemoChildForm"));
  Main().NewMenuChild1->Click();
  uitest::Pump();
  auto* menuChild = dynamic_cast<TDemoMenuChildForm*>(Main().ActiveMDIChild());
  ASSERT_NE(menuChild, nullptr);
  EXPECT_EQ(menuChild->Caption(), "Child 4");
  EXPECT_EQ(menuChild->kyrForm1->TitleBar()->Caption(), "Child 4") << "its panel's title too";
  // The menu child's own Window items are the frame's commands.
  menuChild->NewChild1->Click();
  uitest::Pump();
  EXPECT_EQ(Main().ActiveMDIChild()->Caption(), "Child 5");
  ASSERT_NE(Main().OpenRecords(), nullptr);
  uitest::Pump();
  Main().NewMenuChild1->Click();
  uitest::Pump();
  EXPECT_EQ(Main().ActiveMDIChild()->Caption(), "Child 6") << "Records is no numbered child";
  // A closed child's number is not given again.
  ChildCalled("Child 6")->Close();
  uitest::Pump();
  Main().NewChild1->Click();
  uitest::Pump();
  EXPECT_EQ(Main().ActiveMDIChild()->Caption(), "Child 7");
  EXPECT_EQ(ChildCaptions(), (Captions{"Child 7", "Records", "Child 5", "Child 4", "Child 3", "Child 2", "Child 1",
                                       "Controls"}));
}

TEST_F(SkinDemo, TheBarShowsTheMenuChildsMenuWhileItIsActiveAndTheFramesOtherwise) {
  ASSERT_EQ(Main().ActiveMDIChild(), ChildCalled("Child 2"));
  auto& menuChild = *dynamic_cast<TDemoMenuChildForm*>(ChildCalled("Child 2"));
  EXPECT_EQ(Main().kyrMDIForm1->CurrentMenu(), menuChild.kyrMainMenu1);
  EXPECT_EQ(BarCaptions(), kMenuChildBar);
  Activate(*ChildCalled("Child 1"));
  EXPECT_EQ(Main().kyrMDIForm1->CurrentMenu(), Main().kyrMainMenu1);
  EXPECT_EQ(BarCaptions(), kFrameBar);
  Activate(*ChildCalled("Controls"));
  EXPECT_EQ(BarCaptions(), kFrameBar);
  Activate(menuChild);
  EXPECT_EQ(BarCaptions(), kMenuChildBar);
  // Clicked where each shows, as a person activates them.
  for (TCustomForm* child : {ChildCalled("Child 1"), ChildCalled("Controls"), static_cast<TCustomForm*>(&menuChild)}) {
    SCOPED_TRACE(child->Caption());
    uitest::MovePointerTo(demotest::VisiblePointOf(*child));
    uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
    uitest::MouseButton(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(uitest::PumpUntil([&] { return Main().ActiveMDIChild() == child; }));
    uitest::Pump();
    EXPECT_EQ(BarCaptions(), child == &menuChild ? kMenuChildBar : kFrameBar);
  }
}

TEST_F(SkinDemo, SayHelloShowsAMessageFromItsChild) {
  auto& second = *dynamic_cast<TDemoMenuChildForm*>(ChildCalled("Child 2"));
  Main().NewMenuChild1->Click();
  auto& third = *dynamic_cast<TDemoMenuChildForm*>(ChildCalled("Child 3"));
  uitest::TMessageBoxRecorder boxes;
  second.SayHello1->Click();
  third.SayHello1->Click();
  ASSERT_EQ(boxes.boxes.size(), 2u);
  EXPECT_EQ(boxes.boxes[0].text, "Hello from Child 2!");
  EXPECT_EQ(boxes.boxes[1].text, "Hello from Child 3!");
  EXPECT_EQ(boxes.boxes[0].caption, "Skin Demo");
  EXPECT_EQ(boxes.boxes[0].flags & MB_ICONINFORMATION, static_cast<UINT>(MB_ICONINFORMATION));
}

// Each arrangement from the menu puts the children where the frame's own arrangement does.
TEST_F(SkinDemo, CascadeAndBothTilesPlaceTheChildrenAsTheFramesOwnArrangement) {
  Main().NewChild();
  Main().OpenRecords();
  uitest::Pump();
  struct TCase {
    TMenuItem* item;
    TTileMode mode;
    void (TkyrMDIForm::*arrange)();
  };
  const TCase cases[] = {
      {Main().TileHorizontally1, tbHorizontal, &TkyrMDIForm::TileChildren},
      {Main().TileVertically1, tbVertical, &TkyrMDIForm::TileChildren},
      {Main().Cascade1, tbVertical, &TkyrMDIForm::CascadeChildren},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.item->Caption());
    demotest::Scramble();
    c.item->Click();
    uitest::Pump();
    const Places fromMenu = ChildPlaces();
    EXPECT_EQ(Main().TileMode(), c.mode);
    demotest::Scramble();
    Main().SetTileMode(c.mode);
    (Main().kyrMDIForm1->*c.arrange)();
    uitest::Pump();
    EXPECT_EQ(ChildPlaces(), fromMenu);
  }
  // What each looks like: rows of the frame's width, columns of its height, a staircase.
  demotest::Scramble();
  Main().TileHorizontally1->Click();
  uitest::Pump();
  Places places = ChildPlaces();
  ASSERT_EQ(places.size(), 5u);
  for (const auto& [caption, r] : places) {
    EXPECT_EQ(r.left, 0) << caption;
    EXPECT_EQ(r.right - r.left, Main().ClientWidth() - 4) << caption;
  }
  Main().TileVertically1->Click();
  uitest::Pump();
  places = ChildPlaces();
  for (size_t i = 1; i < places.size(); ++i) {
    EXPECT_EQ(places[i].r.top, 0) << places[i].caption;
    EXPECT_EQ(places[i - 1].r.left - places[i].r.left, places[i].r.right - places[i].r.left)
        << "side by side";
  }
  // A minimised child stays out of the arrangements.
  TCustomForm& minimised = *ChildCalled("Child 1");
  minimised.SetWindowState(wsMinimized);
  uitest::Pump();
  const RECT icon = demotest::BoundsInParent(minimised.Handle());
  Main().Cascade1->Click();
  Main().TileHorizontally1->Click();
  uitest::Pump();
  const RECT after = demotest::BoundsInParent(minimised.Handle());
  EXPECT_TRUE(EqualRect(&after, &icon));
}

TEST_F(SkinDemo, CloseAllFreesEveryChildAndTheBarShowsTheFramesMenu) {
  Main().NewChild();
  ASSERT_NE(Main().OpenRecords(), nullptr);
  uitest::Pump();
  ASSERT_EQ(BarCaptions(), kFrameBar) << "Records is active";
  ChildCalled("Child 1")->SetWindowState(wsMinimized);
  Activate(*ChildCalled("Child 2"));
  ASSERT_EQ(BarCaptions(), kMenuChildBar);
  dynamic_cast<TDemoMenuChildForm*>(ChildCalled("Child 2"))->CloseAll1->Click();  // from the child's own menu
  EXPECT_TRUE(uitest::PumpUntil([&] { return Main().MDIChildCount() == 0; }));
  uitest::Pump();
  EXPECT_EQ(Main().MDIChildCount(), 0);
  for (const char* caption : {"Controls", "Child 1", "Child 2", "Child 3", "Records"})
    EXPECT_FALSE(FormExists(caption)) << caption << " is freed, not hidden";
  EXPECT_EQ(Main().RecordsForm(), nullptr);
  EXPECT_EQ(Main().kyrMDIForm1->CurrentMenu(), Main().kyrMainMenu1);
  EXPECT_EQ(BarCaptions(), kFrameBar);
  // The commands go on working on an empty frame.
  Main().Cascade1->Click();
  Main().TileVertically1->Click();
  Main().CloseAll1->Click();
  Main().NewChild1->Click();
  uitest::Pump();
  EXPECT_EQ(ChildCaptions(), Captions{"Child 4"});
}

// A maximised child: the three child buttons on the frame's bar and its caption composed into the
// frame's title bar; the bar's close button frees it.
TEST_F(SkinDemo, AMaximisedChildShowsItsButtonsOnTheBarAndItsCloseButtonFreesIt) {
  TkyrMDIForm& frame = *Main().kyrMDIForm1;
  TCustomForm& child = *ChildCalled("Child 1");
  Activate(child);
  child.SetWindowState(wsMaximized);
  uitest::Pump();
  ASSERT_TRUE(IsZoomed(child.Handle()));
  const TPanel& panel = *frame.MenuPanel();
  for (int tag : {kyrMDICloseTag, kyrMDIRestoreTag, kyrMDIMinimizeTag}) {
    SCOPED_TRACE(tag);
    TkyrToolBarSpeedButton* button = frame.MDIButton(tag);
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->Visible());
    EXPECT_GE(button->Left(), panel.Width() - 20 - 2 * 18) << "at the right end of the bar";
    EXPECT_LE(button->Left() + button->Width(), panel.Width());
    EXPECT_EQ(button->Parent(), &panel);
    EXPECT_TRUE(IsWindowVisible(button->Handle()));
    const POINT centre = button->ClientToScreen({button->Width() / 2, button->Height() / 2});
    EXPECT_EQ(WindowFromPoint(centre), button->Handle()) << "above the bar's window, where the pointer finds it";
  }
  EXPECT_EQ(frame.TitleBar()->Caption(), "Skin Demo - [Child 1]");
  // The close button, clicked with the pointer.
  TkyrToolBarSpeedButton& close = *frame.MDIButton(kyrMDICloseTag);
  uitest::MovePointerTo(close.ClientToScreen({close.Width() / 2, close.Height() / 2}));
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  EXPECT_TRUE(uitest::PumpUntil([&] { return !FormExists("Child 1"); })) << "closed and freed";
  uitest::Pump();
  EXPECT_EQ(ChildCaptions(), (Captions{"Child 2", "Controls"}));
  // The next child comes up maximised in its place, as MDI does; the bar's restore button restores it.
  ASSERT_TRUE(IsZoomed(ChildCalled("Child 2")->Handle()));
  EXPECT_EQ(frame.TitleBar()->Caption(), "Skin Demo - [Child 2]");
  EXPECT_EQ(BarCaptions(), kMenuChildBar);
  TkyrToolBarSpeedButton& restore = *frame.MDIButton(kyrMDIRestoreTag);
  ASSERT_TRUE(restore.Visible());
  uitest::MovePointerTo(restore.ClientToScreen({restore.Width() / 2, restore.Height() / 2}));
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  EXPECT_TRUE(uitest::PumpUntil([&] { return !IsZoomed(ChildCalled("Child 2")->Handle()); }));
  uitest::Pump();
  EXPECT_FALSE(frame.MDIButton(kyrMDICloseTag)->Visible());
  EXPECT_FALSE(restore.Visible());
  EXPECT_EQ(frame.TitleBar()->Caption(), "Skin Demo");
}

// The close button of a child's own title bar, clicked with the pointer, frees the child.
TEST_F(SkinDemo, AChildsTitleBarCloseButtonFreesIt) {
  auto& child = *dynamic_cast<TDemoChildForm*>(ChildCalled("Child 1"));
  Activate(child);
  TkyrTitleBar& bar = *child.kyrForm1->TitleBar();
  const TkyrTitleBarLayout layout = bar.Layout();
  POINT at{-1, -1};
  for (const auto& place : layout.places)
    if (bar.Buttons()->Items(place.index)->ButtonType() == kyrClose)
      at = {(place.rect.left + place.rect.right) / 2, (place.rect.top + place.rect.bottom) / 2};
  ASSERT_GE(at.x, 0) << "a close button";
  uitest::MovePointerTo(bar.ClientToScreen(at));
  uitest::PumpUntil([&] { return bar.HoverButton() >= 0; });
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  EXPECT_TRUE(uitest::PumpUntil([&] { return !FormExists("Child 1"); }));
  EXPECT_EQ(ChildCaptions(), (Captions{"Child 2", "Controls"}));
}

TEST_F(SkinDemo, FiftyChildCyclesLeaveTheLiveHandleCountsAsTheyWere) {
  ASSERT_TRUE(HandleCountsEnabled());
  const auto cycle = [&](int i) {
    TDemoChildForm* child = i % 2 ? static_cast<TDemoChildForm*>(Main().NewMenuChild()) : Main().NewChild();
    uitest::Pump();
    child->SetWindowState(wsMaximized);
    uitest::Pump();
    child->SetWindowState(wsNormal);
    uitest::Pump();
    child->Close();
    uitest::Pump();
  };
  // One cycle of each kind first: what the first child of a kind loads once is then in the baseline.
  cycle(0);
  cycle(1);
  const std::vector<int> before = demotest::LiveHandleCounts();
  for (int i = 0; i < 50; ++i) cycle(i);
  EXPECT_EQ(demotest::LiveHandleCounts(), before) << "pen, brush, font, bitmap, region, DC, icon, image list, menu, window";
  EXPECT_EQ(Main().MDIChildCount(), 3) << "every cycled child freed";
}

}  // namespace

namespace {

// The memo's skinned bars lie on its right and bottom edges, on the screen, whatever the child's
// window state (a maximised child's panel hides its title bar).
TEST_F(SkinDemo, TheControlsMemosBarsStayOnItsEdgesAsTheChildIsMaximisedAndRestored) {
  auto& controls = *dynamic_cast<TDemoControlsForm*>(ChildCalled("Controls"));
  const auto screenRect = [](TWinControl& c) {
    RECT r;
    GetWindowRect(c.Handle(), &r);
    return r;
  };
  const auto expectOnEdges = [&] {
    const RECT memo = screenRect(*controls.kyrMemo1);
    const RECT down = screenRect(*controls.kyrScrollBar1);
    const RECT across = screenRect(*controls.kyrScrollBar2);
    EXPECT_LE(memo.right - down.right, 3) << "the vertical bar at the right edge";
    EXPECT_GE(down.top, memo.top);
    EXPECT_LE(down.top - memo.top, 3);
    EXPECT_LE(memo.bottom - across.bottom, 3) << "the horizontal bar at the bottom edge";
    EXPECT_GE(across.left, memo.left);
  };
  Activate(controls);
  expectOnEdges();
  for (TWindowState state : {wsMaximized, wsNormal, wsMaximized}) {
    SCOPED_TRACE(state);
    controls.SetWindowState(state);
    uitest::Pump();
    expectOnEdges();
  }
}

}  // namespace
