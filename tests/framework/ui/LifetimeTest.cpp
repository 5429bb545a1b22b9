#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "framework/ui/ExtCtrls.h"
#include "framework/ui/StdCtrls.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace {

// While a container goes, its children's removal must not lay the rest out again.
TEST(ControlDestruction, NoRealignWhileTheParentIsDestroyed) {
  auto* parent = new TPanel(nullptr);
  parent->SetBounds(0, 0, 100, 100);
  auto* filler = new TPanel(parent);
  filler->SetAlign(alClient);
  filler->SetParent(parent);
  auto* band = new TPanel(parent);  // freed first: the last owned component goes first
  band->SetHeight(20);
  band->SetAlign(alTop);
  band->SetParent(parent);
  ASSERT_EQ(filler->Top(), band->Top() + band->Height());
  int resizes = 0;
  filler->SetOnResize([&](TObject*) { ++resizes; });
  delete parent;
  EXPECT_EQ(resizes, 0);
}

// A click handler may free the control that was clicked; the mouse-up handling that delivered
// the click must not touch it afterwards.
TEST(ControlDestruction, AControlMayBeFreedByItsOwnClick) {
  uitest::TShownForm form;
  auto* button = new TButton(form.form);
  button->SetParent(form.form);
  auto* label = new TLabel(form.form);
  label->SetCaption("free me");
  label->SetBounds(10, 100, 80, 20);
  label->SetParent(form.form);
  int clicks = 0;
  const TNotifyEvent freeSender = [&clicks](TObject* sender) {
    ++clicks;
    delete sender;
  };
  button->SetOnClick(freeSender);
  label->SetOnClick(freeSender);
  button->SetOnMouseUp([](TObject*, TMouseButton, TShiftState, int, int) { ADD_FAILURE() << "freed button"; });
  label->SetOnMouseUp([](TObject*, TMouseButton, TShiftState, int, int) { ADD_FAILURE() << "freed label"; });

  SendMessageA(button->Handle(), BM_CLICK, 0, 0);  // the system button clicks inside WM_LBUTTONUP
  EXPECT_EQ(clicks, 1);
  HWND window = form->Handle();
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 110));
  SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(20, 110));
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(form->ControlCount(), 0);
}

}  // namespace

namespace {

// The first control asking for a window on a form that has none makes the form's window, which
// makes its children's: the control must end with that one window, not a second beside it.
TEST(ControlWindows, AChildAskingFirstMakesTheParentsWindowAndOnlyOneOfItsOwn) {
  TForm form(nullptr);
  form.SetBounds(40, 40, 300, 200);
  auto* first = uitest::Place<TMemo>(&form, 10, 10, 100, 60);
  auto* second = uitest::Place<TButton>(&form, 10, 80, 100, 24);
  const HWND window = first->Handle();
  EXPECT_EQ(GetParent(window), form.Handle());
  std::vector<HWND> children;
  EnumChildWindows(
      form.Handle(),
      [](HWND child, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  std::vector<HWND> expected{window, second->Handle()};
  std::sort(children.begin(), children.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(children, expected);
  // Every window is painted once shown: none is left asking for paint forever.
  form.Show();
  EXPECT_TRUE(uitest::PumpsDry());
}

}  // namespace
