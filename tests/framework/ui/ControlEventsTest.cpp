// Events and notifications of controls: resizes that may be refused, the context-popup request,
// the notice of a window's creation, automatic dragging, the application's icon.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Menus.h"
#include "framework/ui/StdCtrls.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace {

// OnCanResize may change the size or refuse it, for windowless and windowed controls alike and
// for sizes Windows decides.
TEST(ControlEvents, CanResizeChangesOrRefusesTheNewSize) {
  struct Case {
    const char* what;
    bool windowed;
    bool throughWindows;  // SetWindowPos from outside instead of SetBounds
    int askedWidth;
    int expectedWidth, expectedHeight;
  } cases[] = {
      {"windowless, accepted", false, false, 90, 90, 40},
      {"windowless, refused", false, false, 200, 50, 30},
      {"windowless, halved", false, false, 120, 60, 40},
      {"windowed, accepted", true, false, 90, 90, 40},
      {"windowed, refused", true, false, 200, 50, 30},
      {"windowed, halved", true, false, 120, 60, 40},
      {"by Windows, refused", true, true, 200, 50, 30},
      {"by Windows, halved", true, true, 120, 60, 40},
  };
  uitest::TShownForm form;
  for (const Case& c : cases) {
    TControl* control = c.windowed ? static_cast<TControl*>(new TPanel(form.form)) : new TLabel(form.form);
    if (auto* label = dynamic_cast<TLabel*>(control)) label->SetAutoSize(false);
    control->SetBounds(5, 5, 50, 30);
    if (auto* w = dynamic_cast<TWinControl*>(control)) w->SetParent(form.form);
    control->SetOnCanResize([](TObject*, int& width, int& height, bool& resize) {
      if (width >= 200) resize = false;
      if (width > 100) width /= 2;
      height = 40;
    });
    if (c.throughWindows)
      SetWindowPos(static_cast<TWinControl*>(control)->Handle(), nullptr, 5, 5, c.askedWidth, 80,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    else
      control->SetBounds(5, 5, c.askedWidth, 80);
    EXPECT_EQ(control->Width(), c.expectedWidth) << c.what;
    EXPECT_EQ(control->Height(), c.expectedHeight) << c.what;
    delete control;
  }
}

// Minimising and maximising are changes of state, not sizes a handler chooses.
TEST(ControlEvents, CanResizeIsNotAskedToMinimiseOrMaximise) {
  uitest::TShownForm form;
  form->SetBorderStyle(bsSizeable);
  form->SetBorderIcons({biSystemMenu, biMinimize, biMaximize});
  int asked = 0;
  form->SetOnCanResize([&](TObject*, int&, int&, bool& resize) {
    ++asked;
    resize = false;
  });
  ShowWindow(form->Handle(), SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(form->Handle()));
  ShowWindow(form->Handle(), SW_RESTORE);
  ShowWindow(form->Handle(), SW_MAXIMIZE);
  EXPECT_TRUE(IsZoomed(form->Handle()));
  ShowWindow(form->Handle(), SW_RESTORE);
  EXPECT_EQ(asked, 0);
  SetWindowPos(form->Handle(), nullptr, 0, 0, 123, 77, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(asked, 1);
  EXPECT_NE(form->Width(), 123);
}

class TRecordingPopup : public TPopupMenu {
public:
  using TPopupMenu::TPopupMenu;
  int shown = 0;
  void Popup(int, int) override { ++shown; }
};

TEST(ControlEvents, ContextPopupComesFirstAndMayKeepTheMenuClosed) {
  uitest::TShownForm form;
  auto* menu = new TRecordingPopup(form.form);
  auto* label = uitest::Place<TLabel>(form.form, 10, 10, 60, 20);
  label->SetPopupMenu(menu);
  std::vector<POINT> asked;
  bool handle = true;
  label->SetOnContextPopup([&](TObject* sender, POINT at, bool& handled) {
    EXPECT_EQ(sender, label);
    asked.push_back(at);
    handled = handle;
  });
  const POINT screen = label->ClientToScreen({7, 5});
  SendMessageA(form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form->Handle()), MAKELPARAM(screen.x, screen.y));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].x, 7);
  EXPECT_EQ(asked[0].y, 5);
  EXPECT_EQ(menu->shown, 0);
  handle = false;
  SendMessageA(form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form->Handle()), MAKELPARAM(screen.x, screen.y));
  EXPECT_EQ(menu->shown, 1);
}

// A hook on a form sees its window come to exist, the first time and at every re-creation.
TEST(ControlEvents, WindowCreationIsAnnouncedEveryTime) {
  TForm form(nullptr);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  uitest::TMessageLog formLog(&form, {CM_WNDCREATED, CM_RECREATEWND});
  uitest::TMessageLog panelLog(panel, {CM_WNDCREATED});
  std::vector<bool> existed;
  TWindowProcHook hook(&form, [&](TMessage& m) {
    if (m.Msg == CM_WNDCREATED) existed.push_back(IsWindow(form.HandleIfAllocated()) != FALSE);
    hook.CallPrevious(m);
  });
  form.HandleNeeded();
  EXPECT_EQ(formLog.messages, std::vector<UINT>{CM_WNDCREATED});
  EXPECT_EQ(panelLog.messages, std::vector<UINT>{CM_WNDCREATED});
  form.SetBorderStyle(bsToolWindow);
  EXPECT_EQ(formLog.messages, (std::vector<UINT>{CM_WNDCREATED, CM_WNDCREATED, CM_RECREATEWND}));
  EXPECT_EQ(panelLog.messages, (std::vector<UINT>{CM_WNDCREATED, CM_WNDCREATED}));
  EXPECT_EQ(existed, (std::vector<bool>{true, true}));
}

// DragMode dmAutomatic: a press starts a drag; the target under the pointer decides, the drop
// reaches it and the source hears where it ended.
TEST(ControlEvents, AutomaticDragDropsOnAnAcceptingTarget) {
  uitest::TShownForm form;
  auto* source = uitest::Place<TPanel>(form.form, 10, 10, 60, 40);
  auto* target = uitest::Place<TPanel>(form.form, 150, 10, 60, 40);
  auto* refusing = uitest::Place<TLabel>(form.form, 80, 100, 60, 40);
  source->SetDragMode(dmAutomatic);
  std::vector<std::string> events;
  source->SetOnMouseDown([&](TObject*, TMouseButton, TShiftState, int, int) { events.push_back("mouse down"); });
  source->SetOnStartDrag([&](TObject*) { events.push_back("start"); });
  target->SetOnDragOver([&](TObject*, TObject* from, int, int, TDragState state, bool& accept) {
    EXPECT_EQ(from, source);
    if (state != dsDragMove) events.push_back(state == dsDragEnter ? "enter target" : "leave target");
    accept = true;
  });
  refusing->SetOnDragOver([&](TObject*, TObject*, int, int, TDragState state, bool& accept) {
    if (state != dsDragMove) events.push_back(state == dsDragEnter ? "enter refusing" : "leave refusing");
    accept = false;
  });
  target->SetOnDragDrop([&](TObject*, TObject* from, int x, int y) {
    EXPECT_EQ(from, source);
    events.push_back("drop at " + std::to_string(x) + "," + std::to_string(y));
  });
  TObject* endedOn = source;
  source->SetOnEndDrag([&](TObject*, TObject* on, int, int) { endedOn = on; events.push_back("end"); });

  uitest::MovePointerTo(source->ClientToScreen({5, 5}));
  uitest::Pump();
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(uitest::PumpUntil([&] { return source->Dragging(); }));
  uitest::MovePointerTo(refusing->ClientToScreen({5, 5}));
  ASSERT_TRUE(uitest::PumpUntil([&] { return events.back() == "enter refusing"; }));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_NO));
  uitest::MovePointerTo(target->ClientToScreen({12, 8}));
  ASSERT_TRUE(uitest::PumpUntil([&] { return events.back() == "enter target"; }));
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(uitest::PumpUntil([&] { return events.back() == "end"; }));
  EXPECT_EQ(events, (std::vector<std::string>{"start", "enter refusing", "leave refusing", "enter target",
                                              "drop at 12,8", "end"}));
  EXPECT_EQ(endedOn, target);
  EXPECT_FALSE(source->Dragging());
  EXPECT_EQ(GetCapture(), nullptr);

  // Released over a control that refuses: no drop, the drag ends on nothing.
  source->BeginDrag();
  uitest::MovePointerTo(refusing->ClientToScreen({5, 5}));
  uitest::Pump();
  source->EndDrag(true);
  EXPECT_EQ(endedOn, nullptr);
}

TEST(ControlEvents, FormsWithoutAnIconShowTheApplications) {
  TIcon& appIcon = *Application->Icon();
  TForm own(nullptr);
  own.Icon()->SetHandle(CopyIcon(LoadIconA(nullptr, IDI_WARNING)));
  TForm plain(nullptr);
  own.HandleNeeded();
  plain.HandleNeeded();
  appIcon.SetHandle(CopyIcon(LoadIconA(nullptr, IDI_INFORMATION)));
  auto shown = [](TForm& f) { return reinterpret_cast<HICON>(SendMessageA(f.Handle(), WM_GETICON, ICON_BIG, 0)); };
  EXPECT_EQ(shown(plain), appIcon.Handle());
  EXPECT_EQ(shown(own), own.Icon()->Handle());
  TForm later(nullptr);
  EXPECT_EQ(shown(later), appIcon.Handle());
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(Application->Handle(), WM_GETICON, ICON_BIG, 0)),
            Application->Handle() ? appIcon.Handle() : nullptr);
  appIcon.SetHandle(nullptr);
  EXPECT_EQ(shown(plain), nullptr);
}

}  // namespace
