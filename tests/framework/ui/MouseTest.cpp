#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ui/ExtCtrls.h"
#include "framework/ui/StdCtrls.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace {

class TMouseFixture : public ::testing::Test {
protected:
  void SetUp() override {
    a = Add(new TPanel(form.form), 10, 10, "a");
    b = Add(new TPanel(form.form), 120, 10, "b");
    auto* spot = new TLabel(form.form);
    spot->SetAutoSize(false);
    spot->SetParent(form.form);
    label = Add(spot, 10, 120, "label");
    uitest::MovePointerTo({5, 5});  // outside the form
    uitest::Pump();
    events.clear();
  }
  TControl* Add(TControl* c, int left, int top, const std::string& name) {
    c->SetBounds(left, top, 80, 60);
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->SetParent(form.form);
    c->SetOnMouseEnter([this, name](TObject*) { events.push_back("enter " + name); });
    c->SetOnMouseLeave([this, name](TObject*) { events.push_back("leave " + name); });
    return c;
  }
  void MoveOver(TControl* c) {
    uitest::MovePointerTo(c->ClientToScreen({40, 30}));
  }
  bool WaitFor(const std::string& event) {
    return uitest::PumpUntil([&] { return !events.empty() && events.back() == event; });
  }

  uitest::TShownForm form{300, 200};
  TControl* a = nullptr;
  TControl* b = nullptr;
  TControl* label = nullptr;
  std::vector<std::string> events;
};

TEST_F(TMouseFixture, EnterAndLeaveFollowThePointer) {
  MoveOver(a);
  ASSERT_TRUE(WaitFor("enter a"));
  MoveOver(b);
  ASSERT_TRUE(WaitFor("enter b"));
  MoveOver(label);  // windowless: tracked by its parent form
  ASSERT_TRUE(WaitFor("enter label"));
  EXPECT_TRUE(label->MouseInControl());
  uitest::MovePointerTo({5, 5});
  ASSERT_TRUE(WaitFor("leave label"));
  EXPECT_EQ(events, (std::vector<std::string>{"enter a", "leave a", "enter b", "leave b", "enter label", "leave label"}));
  EXPECT_EQ(CM_MOUSEENTER, 0xB013u);
  EXPECT_EQ(CM_MOUSELEAVE, 0xB014u);
}

TEST_F(TMouseFixture, CursorOfTheControlUnderThePointer) {
  label->SetCursor(crHandPoint);
  MoveOver(label);
  ASSERT_TRUE(WaitFor("enter label"));
  SendMessageA(form->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form->Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
  MoveOver(a);  // a plain panel: the system arrow
  ASSERT_TRUE(WaitFor("enter a"));
  SendMessageA(form->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form->Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_NE(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
}

TEST_F(TMouseFixture, ClickOnAWindowlessControlIsRoutedToIt) {
  std::vector<std::string> clicks;
  label->SetOnClick([&](TObject*) { clicks.push_back("label"); });
  label->SetOnMouseDown([&](TObject*, TMouseButton button, TShiftState, int x, int y) {
    EXPECT_EQ(button, mbLeft);
    EXPECT_EQ(x, 40);  // in the label's own coordinates
    EXPECT_EQ(y, 30);
    clicks.push_back("down");
  });
  form->SetOnClick([&](TObject*) { clicks.push_back("form"); });
  MoveOver(label);
  ASSERT_TRUE(WaitFor("enter label"));
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(uitest::PumpUntil([&] { return clicks.size() >= 2; }));
  EXPECT_EQ(clicks, (std::vector<std::string>{"down", "label"}));
}

TEST_F(TMouseFixture, MessageSequenceOfAClick) {
  uitest::TMessageLog log(a, {CM_MOUSEENTER, WM_LBUTTONDOWN, WM_LBUTTONUP, CM_MOUSELEAVE});
  int clicks = 0;
  a->SetOnClick([&](TObject*) { ++clicks; });
  MoveOver(a);
  ASSERT_TRUE(WaitFor("enter a"));
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(uitest::PumpUntil([&] { return clicks == 1; }));
  uitest::MovePointerTo({5, 5});
  ASSERT_TRUE(WaitFor("leave a"));
  // The button comes from the queue at the pointer's place in the panel; enter and leave are the
  // framework's own notifications.
  using uitest::TDelivery;
  const LPARAM at = MAKELPARAM(40, 30);
  EXPECT_EQ(log.records, (std::vector<uitest::TLoggedMessage>{{CM_MOUSEENTER, 0, 0, TDelivery::Performed},
                                                              {WM_LBUTTONDOWN, MK_LBUTTON, at, TDelivery::Posted},
                                                              {WM_LBUTTONUP, 0, at, TDelivery::Posted},
                                                              {CM_MOUSELEAVE, 0, 0, TDelivery::Performed}}));
}

}  // namespace
