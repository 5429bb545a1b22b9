// The skin demo's toolbar under Wine, used with the pointer as a person would: where it sits on
// the frame, New child and Cascade running the Window commands, Lock holding the arrangement in
// every Window menu, the Style drop-down choosing the style of every window, the hints, the
// style reaching the bar, and the live handle counts over many drop-downs.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/core/Streams.h"
#include "framework/graphics/GdiHandles.h"
#include "framework/graphics/Graphics.h"
#include "framework/ui/Hints.h"
#include "tests/framework/ui/UiTestHelpers.h"
#include "tests/support/TestSupport.h"
#include "tests/tools/skin-demo/DemoTestSupport.h"
#include "tools/skin-demo/DemoChild.h"
#include "tools/skin-demo/DemoMain.h"

namespace {

using demotest::ChildCalled;
using demotest::ChildPlaces;
using demotest::SkinDemo;
using uitest::MenuWindowsShown;
using uitest::TMenuScript;
using Places = std::vector<demotest::TPlace>;

TkyrToolBar& Bar() { return *DemoMainForm->kyrToolBar1; }

// A point of BUTTON on the screen, DX from its left, half way down.
POINT PointOf(const TToolButton& button, int dx = 8) {
  return Bar().ClientToScreen({button.Left() + dx, button.Top() + button.Height() / 2});
}

void Click(const TToolButton& button) { demotest::ClickAt(PointOf(button)); }

// The children's places after the frame's own cascade from a scrambled start.
Places FramesCascade() {
  demotest::Scramble();
  DemoMainForm->kyrMDIForm1->CascadeChildren();
  uitest::Pump();
  return ChildPlaces();
}

// Cascade and both tiles of the frame's Window menu and of every menu child's.
std::vector<TMenuItem*> ArrangementItems() {
  TDemoMainForm& main = *DemoMainForm;
  std::vector<TMenuItem*> items{main.Cascade1, main.TileHorizontally1, main.TileVertically1};
  for (int i = 0; i < main.MDIChildCount(); ++i)
    if (auto* child = dynamic_cast<TDemoMenuChildForm*>(main.MDIChildren(i)))
      items.insert(items.end(), {child->Cascade1, child->TileHorizontally1, child->TileVertically1});
  return items;
}

// The Style button pressed at DX (the arrow part near its right edge, the main part near its
// left); STEPS run while its menu is open (the first waits for it). Returns whether the menu
// came up and the script ran to its end.
bool DropStyleMenu(int dx, std::vector<std::function<bool()>> steps) {
  steps.insert(steps.begin(), [] { return MenuWindowsShown() > 0; });
  TMenuScript script(std::move(steps));
  demotest::ClickAt(PointOf(*DemoMainForm->StyleButton, dx));
  const bool over = uitest::PumpUntil([&] { return script.Over() && MenuWindowsShown() == 0; }, 10000);
  uitest::Pump();
  return over && script.Done();
}

int ArrowDx() { return DemoMainForm->StyleButton->Width() - TToolBar::kDropDownWidth / 2; }

TEST_F(SkinDemo, TheToolBarSitsUnderTheMenuBarAndTheChildrenUnderIt) {
  const TControl& menuPanel = *Main().kyrMDIForm1->MenuBar()->Parent();
  EXPECT_EQ(Bar().Parent(), &Main());
  EXPECT_EQ(Bar().Top(), menuPanel.Top() + menuPanel.Height()) << "right under the menu bar";
  EXPECT_EQ(Bar().Width(), Main().ClientWidth());
  EXPECT_EQ(Bar().Height(), Bar().LaidOutHeight()) << "the bar fits its buttons";
  const RECT client = demotest::BoundsInParent(Main().ClientHandle());
  EXPECT_EQ(client.top, Bar().Top() + Bar().Height()) << "the children's area starts under the bar";
  EXPECT_EQ(Main().ImageList1->Count(), 4);
  // Left to right, captions shown beside their images; the separator keeps Lock apart.
  const std::vector<TToolButton*> buttons{Main().NewChildButton, Main().CascadeButton, Main().ToolSeparator1,
                                          Main().LockButton, Main().StyleButton};
  ASSERT_EQ(Bar().ButtonCount(), 5);
  for (int i = 0; i < 5; ++i) {
    TToolButton* button = buttons[static_cast<size_t>(i)];
    EXPECT_EQ(Bar().Buttons(i), button) << i;
    if (i > 0) {
      EXPECT_EQ(button->Left(), Bar().Buttons(i - 1)->Left() + Bar().Buttons(i - 1)->Width()) << i;
    }
    if (button->IsSpacer()) continue;
    EXPECT_TRUE(button->ShowHint()) << button->Caption();
    EXPECT_FALSE(GetShortHint(button->Hint()).empty()) << button->Caption();
  }
}

TEST_F(SkinDemo, NewChildAndCascadeClickedOnTheBarRunTheWindowCommands) {
  Click(*Main().NewChildButton);
  ASSERT_EQ(Main().MDIChildCount(), 4);
  ASSERT_NE(ChildCalled("Child 3"), nullptr);
  EXPECT_EQ(Main().ActiveMDIChild(), ChildCalled("Child 3"));
  const Places cascaded = FramesCascade();
  demotest::Scramble();
  Click(*Main().CascadeButton);
  EXPECT_EQ(ChildPlaces(), cascaded);
}

TEST_F(SkinDemo, LockHoldsTheArrangementInEveryWindowMenuAndOnTheBarUntilItComesUp) {
  const Places cascaded = FramesCascade();
  Click(*Main().LockButton);
  ASSERT_TRUE(Main().LockButton->Down());
  EXPECT_TRUE(Main().ArrangementLocked());
  EXPECT_FALSE(Main().CascadeButton->Enabled());
  EXPECT_TRUE(Main().NewChildButton->Enabled());
  Main().NewMenuChild();  // a menu child opened while locked comes locked too
  uitest::Pump();
  const std::vector<TMenuItem*> items = ArrangementItems();
  ASSERT_EQ(items.size(), 9u) << "the frame's and two menu children's";
  for (TMenuItem* item : items) EXPECT_FALSE(item->Enabled()) << item->Owner()->Name() << "." << item->Name();
  EXPECT_TRUE(Main().NewChild1->Enabled());
  // Nothing arranges: not the disabled button, nor a handler reached another way.
  demotest::Scramble();
  const Places scrambled = ChildPlaces();
  Click(*Main().CascadeButton);
  Main().CascadeClick(nullptr);
  Main().TileVerticallyClick(nullptr);
  dynamic_cast<TDemoMenuChildForm*>(ChildCalled("Child 2"))->TileHorizontallyClick(nullptr);
  uitest::Pump();
  EXPECT_EQ(ChildPlaces(), scrambled);
  // Up again, everything arranges as before.
  Click(*Main().LockButton);
  EXPECT_FALSE(Main().LockButton->Down());
  for (TMenuItem* item : ArrangementItems()) EXPECT_TRUE(item->Enabled()) << item->Name();
  EXPECT_TRUE(Main().CascadeButton->Enabled());
  const Places withFourth = FramesCascade();
  EXPECT_NE(withFourth, cascaded) << "four children now";
  demotest::Scramble();
  Click(*Main().CascadeButton);
  EXPECT_EQ(ChildPlaces(), withFourth);
}

TEST_F(SkinDemo, TheStyleDropDownOpensUnderTheButtonAndItsChoiceRestylesEveryWindow) {
  RECT shown{};
  POINT corner{};  // while it is open: the new style may move the bar
  const TToolButton& style = *Main().StyleButton;
  // DOWN twice: past MacOS (checked) to WinXP.
  ASSERT_TRUE(DropStyleMenu(ArrowDx(), {[&] {
                                         GetWindowRect(FindWindowA("#32768", nullptr), &shown);
                                         corner = Bar().ClientToScreen({style.Left(), style.Top() + style.Height()});
                                         return true;
                                       },
                                       [] {
                                         uitest::PressKey(VK_DOWN);
                                         uitest::PressKey(VK_DOWN);
                                         uitest::PressKey(VK_RETURN);
                                         return true;
                                       }}));
  EXPECT_EQ(shown.left, corner.x);
  EXPECT_EQ(shown.top, corner.y);
  EXPECT_EQ(Main().CurrentStyle(), WinXP);
  EXPECT_EQ(Bar().UIStyle(), WinXP);
  EXPECT_EQ(Main().kyrMDIForm1->UIStyle(), WinXP);
  EXPECT_EQ(Main().kyrPopupMenu1->UIStyle(), WinXP);
  EXPECT_EQ(dynamic_cast<TDemoChildForm*>(ChildCalled("Child 1"))->kyrForm1->UIStyle(), WinXP);
  for (TMenuItem* item : Main().DropdownStyleItems()) EXPECT_EQ(item->Checked(), item == Main().WinXP2) << item->Name();
  for (TMenuItem* item : Main().StyleItems()) EXPECT_EQ(item->Checked(), item == Main().WinXP1) << item->Name();
  EXPECT_EQ(style.Width(), Bar().LaidOutWidth(&style)) << "the button keeps its arrow part";
  // The main part opens the same menu; closing it chooses nothing. A Style menu choice checks
  // the drop-down's item too.
  ASSERT_TRUE(DropStyleMenu(8, {[] {
                                 uitest::PressKey(VK_ESCAPE);
                                 return true;
                               }}));
  EXPECT_EQ(Main().CurrentStyle(), WinXP);
  Main().Protein1->Click();
  for (TMenuItem* item : Main().DropdownStyleItems())
    EXPECT_EQ(item->Checked(), item == Main().Protein2) << item->Name();
}

// Transparent in MacOS and Protein, where the frame's background shows through the bar; opaque,
// in the bar's Color, in the others.
TEST_F(SkinDemo, EveryStyleReachesTheBarAndOnlyMacOSAndProteinSeeThroughIt) {
  for (TMenuItem* item : Main().DropdownStyleItems()) {
    SCOPED_TRACE(item->Name());
    item->Click();
    uitest::Pump();
    const bool seeThrough = item == Main().MacOS2 || item == Main().Protein2;
    EXPECT_EQ(static_cast<int>(Bar().UIStyle()), item->Tag());
    EXPECT_EQ(Bar().Transparent(), seeThrough);
    // Past the last button, where only the background is.
    const uitest::TClientShot shot(Bar());
    const TToolButton& last = *Main().StyleButton;
    const TColor background = shot(last.Left() + last.Width() + 20, Bar().Height() / 2);
    EXPECT_EQ(background, ColorToRGB(seeThrough ? Main().Color() : Bar().Color()));
  }
}

TEST_F(SkinDemo, ThePointerRestingOnAButtonShowsItsHint) {
  for (const TToolButton* button : {Main().NewChildButton, Main().StyleButton}) {
    SCOPED_TRACE(button->Caption());
    uitest::MovePointerTo(PointOf(*button));
    ASSERT_TRUE(uitest::PumpUntil([&] {
      const THintWindow* tip = Application->HintWindow();
      return tip && tip->Showing() && tip->Text() == button->Hint();
    }));
    EXPECT_TRUE(IsWindowVisible(Application->HintWindow()->Handle()));
  }
  uitest::MovePointerTo({2, 2});
  uitest::Pump();
}

// Each drop-down paints the pressed and the selected look and builds the skinned menu.
TEST_F(SkinDemo, FiftyStyleDropDownsLeaveTheLiveHandleCountsAsTheyWere) {
  ASSERT_TRUE(HandleCountsEnabled());
  const auto escape = [] {
    uitest::PressKey(VK_ESCAPE);
    return true;
  };
  ASSERT_TRUE(DropStyleMenu(ArrowDx(), {escape}));  // what the first one makes to keep is in the baseline
  uitest::MovePointerTo({2, 2});
  uitest::Pump();
  const std::vector<int> before = demotest::LiveHandleCounts();
  for (int i = 0; i < 50; ++i) ASSERT_TRUE(DropStyleMenu(i % 2 ? 8 : ArrowDx(), {escape})) << i;
  uitest::MovePointerTo({2, 2});
  uitest::Pump();
  EXPECT_EQ(demotest::LiveHandleCounts(), before) << "pen, brush, font, bitmap, region, DC, icon, image list, menu, window";
}

// Screenshots for a reviewer (VANTOR_SHOT_DIR), read from the screen: the Style drop-down open
// under its button in MacOS and WinXP, and a button's hint.
TEST_F(SkinDemo, ToolBarScreenshots) {
  const std::string dir = EnvOr("VANTOR_SHOT_DIR", "");
  if (dir.empty()) GTEST_SKIP() << "VANTOR_SHOT_DIR not set";
  const auto shootScreen = [&](const std::string& name) {
    const POINT origin = Bar().ClientToScreen({0, 0});
    TBitmap shot(480, 200);
    TWindowDC screen(nullptr);
    BitBlt(shot.Canvas().Handle(), 0, 0, 480, 200, screen.Get(), origin.x, origin.y - 50, SRCCOPY);
    TFileStream file(dir + PathSeparator() + name + ".bmp", fmCreate);
    shot.SaveToStream(file);
    return true;
  };
  for (TMenuItem* item : {Main().MacOS2, Main().WinXP2}) {
    item->Click();
    uitest::Pump();
    const std::string name = "demo-toolbar-dropdown-" + std::string(TkyrUIStyleInfo.NameOf(Main().CurrentStyle()));
    ASSERT_TRUE(DropStyleMenu(ArrowDx(), {[&] { return shootScreen(name); },
                                          [] {
                                            uitest::PressKey(VK_ESCAPE);
                                            return true;
                                          }}));
  }
  uitest::MovePointerTo(PointOf(*Main().LockButton));
  ASSERT_TRUE(uitest::PumpUntil([] { return Application->HintWindow() && Application->HintWindow()->Showing(); }));
  uitest::Pump();
  shootScreen("demo-toolbar-hint");
  uitest::MovePointerTo({2, 2});
  uitest::Pump();
}

}  // namespace
