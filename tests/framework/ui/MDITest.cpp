// MDI frames and children: real MDI windows of the system's MDI client, driven through the
// form's accessors, the client's messages and real keyboard input in the application's loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/core/FormReader.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/ComponentClasses.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/StdCtrls.h"
#include "framework/ui/Subclass.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace {

// The frame: created as the application's main form, so its children find it.
class TFrameForm : public TForm {
public:
  explicit TFrameForm(TComponent* owner) : TForm(owner) {
    SetFormStyle(fsMDIForm);
    SetBounds(30, 30, 520, 420);
    SetCaption("Frame");
  }
};

RECT WindowRectIn(HWND window, HWND parent) {
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

RECT ClientRectOf(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  return r;
}

std::string WindowText(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

void PressWithCtrl(WORD key) {
  INPUT in[4]{};
  for (INPUT& i : in) i.type = INPUT_KEYBOARD;
  in[0].ki.wVk = VK_CONTROL;
  in[1].ki.wVk = key;
  in[2].ki.wVk = key;
  in[2].ki.dwFlags = KEYEVENTF_KEYUP;
  in[3].ki.wVk = VK_CONTROL;
  in[3].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(4, in, sizeof in[0]);
}

// Every window of this thread, top-level windows and their descendants: the USER objects a
// leak of windows would show in (GetGuiResources reads 0 under Wine).
int ThreadWindowCount() {
  int count = 0;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) {
        ++*reinterpret_cast<int*>(data);
        EnumChildWindows(
            window,
            [](HWND, LPARAM inner) {
              ++*reinterpret_cast<int*>(inner);
              return TRUE;
            },
            data);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count;
}

class MDI : public ::testing::Test {
protected:
  void SetUp() override {
    app.Initialize();
    app.CreateForm(frame);
    titleBar = uitest::Place<TPanel>(frame, 0, 0, 100, 30);
    titleBar->SetAlign(alTop);
    status = uitest::Place<TPanel>(frame, 0, 300, 100, 20);
    status->SetAlign(alBottom);
    frame->Show();
    SetForegroundWindow(frame->Handle());
    Pump();
  }

  void Pump() { app.ProcessMessages(); }

  // A shown child with CAPTION at BOUNDS (client coordinates of the MDI client).
  TForm* NewChild(const std::string& caption, RECT bounds = {10, 10, 210, 160}) {
    auto* child = new TForm(&app);
    child->SetFormStyle(fsMDIChild);
    child->SetCaption(caption);
    child->SetBoundsRect(bounds);
    child->Show();
    Pump();
    return child;
  }

  std::vector<TCustomForm*> Children() const {
    std::vector<TCustomForm*> list;
    for (int i = 0; i < frame->MDIChildCount(); ++i) list.push_back(frame->MDIChildren(i));
    return list;
  }

  HWND Client() const { return frame->ClientHandle(); }

  TApplication app{nullptr};
  TFrameForm* frame = nullptr;
  TPanel* titleBar = nullptr;
  TPanel* status = nullptr;
};

// ---- the client window ----
TEST_F(MDI, TheClientFillsWhatTheAlignedPanelsLeaveAndFollows) {
  ASSERT_NE(Client(), nullptr);
  char cls[32] = {};
  GetClassNameA(Client(), cls, sizeof cls);
  EXPECT_EQ(lstrcmpiA(cls, "MDICLIENT"), 0) << cls;  // Wine names its class "MDIClient"
  EXPECT_EQ(GetParent(Client()), frame->Handle());
  EXPECT_TRUE(IsWindowVisible(Client()));
  const struct {
    const char* step;
    std::function<void()> act;
  } steps[] = {
      {"shown", [] {}},
      {"frame resized", [&] { frame->SetBounds(30, 30, 600, 460); }},
      {"top panel taller", [&] { titleBar->SetHeight(50); }},
      {"bottom panel hidden", [&] { status->Hide(); }},
      {"frame sized by Windows", [&] { SetWindowPos(frame->Handle(), nullptr, 0, 0, 480, 380, SWP_NOMOVE | SWP_NOZORDER); }},
  };
  for (const auto& s : steps) {
    s.act();
    Pump();
    const RECT client = ClientRectOf(frame->Handle());
    const int bottom = status->Visible() ? status->Top() : client.bottom;
    const RECT expected{0, titleBar->Top() + titleBar->Height(), client.right, bottom};
    const RECT r = WindowRectIn(Client(), frame->Handle());
    EXPECT_TRUE(EqualRect(&r, &expected)) << s.step << ": " << r.left << "," << r.top << "," << r.right << ","
                                          << r.bottom << " wanted bottom " << expected.bottom << " top "
                                          << expected.top;
  }
}

TEST_F(MDI, OtherFormsHaveNoClientAndAChildNeedsAnMDIMainForm) {
  uitest::TShownForm plain;
  EXPECT_EQ(plain->ClientHandle(), nullptr);
  EXPECT_EQ(plain->MDIChildCount(), 0);
  TApplication other(nullptr);
  TForm* main = nullptr;
  other.CreateForm(main);  // an ordinary main form
  auto* orphan = new TForm(&other);
  orphan->SetFormStyle(fsMDIChild);
  EXPECT_THROW(orphan->Show(), Exception);
  EXPECT_FALSE(orphan->HandleAllocated());
}

// ---- children ----
TEST_F(MDI, ChildrenAreMDIChildWindowsOfTheClientWithTheirCaptionAndBounds) {
  TForm* a = NewChild("Alpha", {12, 14, 212, 164});
  const HWND w = a->Handle();
  EXPECT_EQ(GetParent(w), Client());
  EXPECT_NE(GetWindowLongPtrA(w, GWL_EXSTYLE) & WS_EX_MDICHILD, 0);
  EXPECT_NE(GetWindowLongPtrA(w, GWL_STYLE) & WS_CHILD, 0);
  EXPECT_EQ(GetWindow(w, GW_OWNER), nullptr);
  EXPECT_GE(GetDlgCtrlID(w), static_cast<int>(kMDIFirstChildId));  // numbered by the client
  EXPECT_EQ(WindowText(w), "Alpha");
  const RECT r = WindowRectIn(w, Client());
  const RECT expected{12, 14, 212, 164};
  EXPECT_TRUE(EqualRect(&r, &expected));
  EXPECT_TRUE(IsWindowVisible(w));
  EXPECT_EQ(frame->MDIChildCount(), 1);
  EXPECT_EQ(frame->MDIChildren(0), a);
  EXPECT_EQ(frame->ActiveMDIChild(), a);
  EXPECT_THROW(frame->MDIChildren(1), Exception);

  a->SetCaption("Beta");
  a->SetBounds(30, 40, 180, 120);
  EXPECT_EQ(WindowText(w), "Beta");
  const RECT moved = WindowRectIn(w, Client());
  const RECT expectedMoved{30, 40, 210, 160};
  EXPECT_TRUE(EqualRect(&moved, &expectedMoved));
  a->Hide();
  EXPECT_FALSE(IsWindowVisible(w));
  a->Show();
  EXPECT_TRUE(IsWindowVisible(w));
}

TEST_F(MDI, ActivationFollowsWMMDIActivateWithEventsAndFocus) {
  TForm* a = NewChild("A");
  auto* aButton = uitest::Place<TButton>(a, 10, 10, 80, 24);
  a->SetActiveControl(aButton);
  TForm* b = NewChild("B", {40, 40, 240, 190});
  auto* bButton = uitest::Place<TButton>(b, 10, 10, 80, 24);
  b->SetActiveControl(bButton);
  ASSERT_EQ(frame->ActiveMDIChild(), b);
  std::vector<std::string> events;
  for (TForm* f : {a, b}) {
    f->SetOnActivate([&events, f](TObject*) { events.push_back(f->Caption() + " activate"); });
    f->SetOnDeactivate([&events, f](TObject*) { events.push_back(f->Caption() + " deactivate"); });
  }
  uitest::TMessageLog logA(a, {WM_MDIACTIVATE}), logB(b, {WM_MDIACTIVATE});

  SendMessageA(Client(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a->Handle()), 0);
  Pump();

  const WPARAM from = reinterpret_cast<WPARAM>(b->Handle());
  const LPARAM to = reinterpret_cast<LPARAM>(a->Handle());
  const std::vector<uitest::TLoggedMessage> expected{{WM_MDIACTIVATE, from, to, uitest::TDelivery::Sent}};
  EXPECT_EQ(logB.records, expected);
  EXPECT_EQ(logA.records, expected);
  EXPECT_EQ(events, (std::vector<std::string>{"B deactivate", "A activate"}));
  EXPECT_EQ(frame->ActiveMDIChild(), a);
  EXPECT_EQ(GetFocus(), aButton->Handle());
  EXPECT_TRUE(a->Active());
  EXPECT_FALSE(b->Active());
  EXPECT_EQ(Children(), (std::vector<TCustomForm*>{a, b}));

  // The focus given to the other child's control activates that child.
  bButton->SetFocus();
  Pump();
  EXPECT_EQ(frame->ActiveMDIChild(), b);
  EXPECT_EQ(Children(), (std::vector<TCustomForm*>{b, a}));
  EXPECT_EQ(a->ActiveControl(), aButton);  // kept for its next activation
}

TEST_F(MDI, ReactivatingTheFrameGivesTheFocusBackToTheActiveChildsControl) {
  auto* frameButton = uitest::Place<TButton>(titleBar, 2, 2, 60, 24);
  TForm* a = NewChild("A");
  auto* aButton = uitest::Place<TButton>(a, 10, 10, 80, 24);
  a->SetActiveControl(aButton);
  frameButton->SetFocus();  // the frame's own control had the focus once
  Pump();
  uitest::TShownForm other;
  ASSERT_EQ(GetActiveWindow(), other->Handle());
  SetForegroundWindow(frame->Handle());
  SetActiveWindow(frame->Handle());
  Pump();
  EXPECT_EQ(GetFocus(), aButton->Handle());
}

TEST_F(MDI, ChildrenListedInTheClientsZOrder) {
  TForm* a = NewChild("A");
  TForm* b = NewChild("B");
  TForm* c = NewChild("C");
  EXPECT_EQ(Children(), (std::vector<TCustomForm*>{c, b, a}));
  const struct {
    TForm* activate;
    std::vector<TCustomForm*> order;
  } steps[] = {{a, {a, c, b}}, {b, {b, a, c}}, {c, {c, b, a}}};
  for (const auto& s : steps) {
    SendMessageA(Client(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(s.activate->Handle()), 0);
    Pump();
    EXPECT_EQ(frame->ActiveMDIChild(), s.activate) << s.activate->Caption();
    EXPECT_EQ(Children(), s.order) << s.activate->Caption();
  }
}

// ---- arranging ----
TEST_F(MDI, TileAndCascadeMoveTheChildren) {
  std::vector<TForm*> children{NewChild("A"), NewChild("B"), NewChild("C")};
  const RECT area = ClientRectOf(Client());
  auto rects = [&] {
    std::vector<RECT> list;
    for (TForm* c : children) list.push_back(WindowRectIn(c->Handle(), Client()));
    return list;
  };
  // One row per tile mode: every child spans the client across, and they follow one another
  // along the other axis, a third of it each.
  struct TAxis {
    LONG RECT::*start;
    LONG RECT::*end;
  };
  const TAxis vertical{&RECT::top, &RECT::bottom}, horizontal{&RECT::left, &RECT::right};
  const struct {
    TTileMode mode;
    TAxis along, across;
    LONG alongExtent, acrossExtent;
  } modes[] = {
      {tbHorizontal, vertical, horizontal, area.bottom, area.right},
      {tbVertical, horizontal, vertical, area.right, area.bottom},
  };
  for (const auto& m : modes) {
    SCOPED_TRACE(m.mode == tbHorizontal ? "tbHorizontal" : "tbVertical");
    frame->SetTileMode(m.mode);
    frame->Tile();
    Pump();
    std::vector<LONG> starts;
    for (const RECT& r : rects()) {
      EXPECT_EQ(r.*m.across.start, 0);
      EXPECT_EQ(r.*m.across.end, m.acrossExtent);
      EXPECT_LE(r.*m.along.end - r.*m.along.start, m.alongExtent / 3 + 1);
      starts.push_back(r.*m.along.start);
    }
    std::sort(starts.begin(), starts.end());
    EXPECT_EQ(starts.front(), 0);
    EXPECT_TRUE(std::adjacent_find(starts.begin(), starts.end()) == starts.end()) << "children overlap";
  }
  // The framework's bounds follow the windows the client moved.
  for (TForm* c : children) {
    const RECT r = WindowRectIn(c->Handle(), Client());
    EXPECT_EQ(c->Left(), r.left);
    EXPECT_EQ(c->Width(), r.right - r.left);
  }

  frame->Cascade();
  Pump();
  std::vector<RECT> cascaded = rects();
  std::sort(cascaded.begin(), cascaded.end(), [](const RECT& x, const RECT& y) { return x.left < y.left; });
  EXPECT_EQ(cascaded[0].left, 0);
  EXPECT_EQ(cascaded[0].top, 0);
  for (size_t i = 1; i < cascaded.size(); ++i) {
    EXPECT_GT(cascaded[i].left, cascaded[i - 1].left);
    EXPECT_GT(cascaded[i].top, cascaded[i - 1].top);
    EXPECT_EQ(cascaded[i].left - cascaded[i - 1].left, cascaded[i].top - cascaded[i - 1].top);
  }
  // The active child is on top of the cascade, at its far end.
  EXPECT_EQ(frame->MDIChildren(0)->Left(), cascaded.back().left);
}

TEST_F(MDI, ArrangeIconsLinesTheMinimisedChildrenUpAtTheBottom) {
  TForm* a = NewChild("A");
  TForm* b = NewChild("B");
  TForm* open = NewChild("Open");
  for (TForm* f : {a, b}) f->SetWindowState(wsMinimized);
  Pump();
  ASSERT_TRUE(IsIconic(a->Handle()) && IsIconic(b->Handle()));
  SetWindowPos(a->Handle(), nullptr, 150, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_EQ(WindowRectIn(a->Handle(), Client()).top, 60);
  frame->ArrangeIcons();
  Pump();
  const RECT area = ClientRectOf(Client());
  const RECT ra = WindowRectIn(a->Handle(), Client()), rb = WindowRectIn(b->Handle(), Client());
  EXPECT_EQ(ra.bottom, area.bottom);
  EXPECT_EQ(rb.bottom, area.bottom);
  EXPECT_TRUE(ra.left == 0 || rb.left == 0);
  EXPECT_GE(std::abs(ra.left - rb.left), ra.right - ra.left) << "icons overlap";
  EXPECT_FALSE(IsIconic(open->Handle()));
  EXPECT_EQ(a->WindowState(), wsMinimized);
}

TEST_F(MDI, NextAndPreviousWalkTheChildren) {
  TForm* a = NewChild("A");
  TForm* b = NewChild("B");
  TForm* c = NewChild("C");
  std::vector<TCustomForm*> visited;
  for (int i = 0; i < 3; ++i) {
    frame->Next();
    Pump();
    visited.push_back(frame->ActiveMDIChild());
  }
  EXPECT_EQ(visited, (std::vector<TCustomForm*>{b, a, c}));  // each once, back to the start
  frame->Next();
  Pump();
  ASSERT_EQ(frame->ActiveMDIChild(), b);
  frame->Previous();
  Pump();
  EXPECT_EQ(frame->ActiveMDIChild(), c);
}

// ---- keys in the application's message loop ----
TEST_F(MDI, CtrlF6AndCtrlF4ThroughTheMessageLoop) {
  TForm* a = NewChild("A");
  TForm* b = NewChild("B");
  uitest::Place<TButton>(b, 10, 10, 80, 24)->SetFocus();
  Pump();
  ASSERT_EQ(GetForegroundWindow(), frame->Handle());
  ASSERT_EQ(frame->ActiveMDIChild(), b);

  PressWithCtrl(VK_F6);
  EXPECT_TRUE(uitest::PumpUntil([&] {
    Pump();
    return frame->ActiveMDIChild() == a;
  }));

  bool freed = false;
  a->SetOnClose([](TObject*, TCloseAction& action) { action = caFree; });
  a->SetOnDestroy([&freed](TObject*) { freed = true; });
  PressWithCtrl(VK_F4);  // closes the active child: this one frees itself
  EXPECT_TRUE(uitest::PumpUntil([&] {
    Pump();
    return freed;
  }));
  EXPECT_EQ(Children(), (std::vector<TCustomForm*>{b}));
  EXPECT_EQ(frame->ActiveMDIChild(), b);

  PressWithCtrl(VK_F4);  // by default a closed child is minimised
  EXPECT_TRUE(uitest::PumpUntil([&] {
    Pump();
    return IsIconic(b->Handle()) != FALSE;
  }));
  EXPECT_EQ(b->WindowState(), wsMinimized);
}

TEST_F(MDI, KeysOfAnotherWindowAreNotTheFrames) {
  TForm* a = NewChild("A");
  uitest::TShownForm other;
  auto* button = uitest::Place<TButton>(other.form, 10, 10, 80, 24);
  button->SetFocus();
  Pump();
  ASSERT_EQ(GetForegroundWindow(), other->Handle());
  PressWithCtrl(VK_F4);
  uitest::PumpUntil([&] {
    Pump();
    return (GetAsyncKeyState(VK_CONTROL) & 0x8000) == 0;
  });
  Pump();
  EXPECT_FALSE(IsIconic(a->Handle()));
}

// ---- closing and freeing ----
TEST_F(MDI, ClosingMinimisesByDefaultAndCaFreeFrees) {
  TForm* a = NewChild("A");
  TForm* b = NewChild("B");
  TForm* c = NewChild("C");
  b->Close();
  Pump();
  EXPECT_TRUE(IsIconic(b->Handle()));
  EXPECT_TRUE(b->Visible());
  EXPECT_EQ(frame->MDIChildCount(), 3);

  c->SetOnClose([](TObject*, TCloseAction& action) { action = caFree; });
  TComponentRef<TForm> ref(frame);
  ref = c;
  const HWND window = c->Handle();
  c->Close();
  ASSERT_TRUE(uitest::PumpUntil([&] {
    Pump();
    return !ref;
  }));
  EXPECT_FALSE(IsWindow(window));
  // The accessors forget the freed child at once, and the client activated another.
  EXPECT_EQ(frame->MDIChildCount(), 2);
  const std::vector<TCustomForm*> left = Children();
  EXPECT_EQ(std::count(left.begin(), left.end(), a), 1);
  EXPECT_EQ(std::count(left.begin(), left.end(), b), 1);
  ASSERT_NE(frame->ActiveMDIChild(), nullptr);
  EXPECT_EQ(frame->ActiveMDIChild(), left[0]);

  delete a;
  Pump();
  EXPECT_EQ(Children(), (std::vector<TCustomForm*>{b}));
  delete b;
  EXPECT_EQ(frame->MDIChildCount(), 0);
  EXPECT_EQ(frame->ActiveMDIChild(), nullptr);
}

TEST_F(MDI, CloseActionsOtherThanTheDefault) {
  TForm* other = NewChild("Other");
  TForm* a = NewChild("A");
  a->SetOnClose([](TObject*, TCloseAction& action) { action = caNone; });
  a->Close();
  Pump();
  EXPECT_FALSE(IsIconic(a->Handle()));
  a->SetOnClose([](TObject*, TCloseAction& action) { action = caHide; });
  SendMessageA(a->Handle(), WM_CLOSE, 0, 0);  // the child's close box: the same Close
  Pump();
  EXPECT_FALSE(a->Visible());
  EXPECT_FALSE(IsWindowVisible(a->Handle()));
  EXPECT_EQ(frame->ActiveMDIChild(), other);  // a hidden child is not left the active one
  a->Show();
  Pump();
  EXPECT_EQ(frame->ActiveMDIChild(), a);
}

// ---- maximise and restore ----
TEST_F(MDI, MaximiseAndRestoreGoThroughTheClient) {
  TForm* a = NewChild("Alpha", {20, 20, 220, 170});
  std::vector<UINT> clientMessages;
  TWindowSubclass watch;
  watch.Install(Client(), [&](TMessage& m) {
    if (m.Msg == WM_MDIMAXIMIZE || m.Msg == WM_MDIRESTORE) clientMessages.push_back(m.Msg);
    watch.CallPrevious(m);
  });

  a->SetWindowState(wsMaximized);
  Pump();
  EXPECT_EQ(clientMessages, (std::vector<UINT>{WM_MDIMAXIMIZE}));
  EXPECT_TRUE(IsZoomed(a->Handle()));
  EXPECT_EQ(a->WindowState(), wsMaximized);
  // Its client area covers the MDI client's; its caption and borders lie outside.
  RECT inner = ClientRectOf(a->Handle());
  MapWindowPoints(a->Handle(), Client(), reinterpret_cast<POINT*>(&inner), 2);
  const RECT area = ClientRectOf(Client());
  EXPECT_TRUE(EqualRect(&inner, &area));
  // The frame has no menu bar, and none appears for the child's buttons; the frame's caption
  // names the child, which is what a skinned frame's title bar reads.
  EXPECT_EQ(GetMenu(frame->Handle()), nullptr);
  EXPECT_EQ(WindowText(frame->Handle()), "Frame - [Alpha]");

  a->SetWindowState(wsNormal);
  Pump();
  EXPECT_EQ(clientMessages, (std::vector<UINT>{WM_MDIMAXIMIZE, WM_MDIRESTORE}));
  EXPECT_FALSE(IsZoomed(a->Handle()));
  EXPECT_EQ(a->WindowState(), wsNormal);
  const RECT r = WindowRectIn(a->Handle(), Client());
  const RECT expected{20, 20, 220, 170};
  EXPECT_TRUE(EqualRect(&r, &expected));
  EXPECT_EQ(WindowText(frame->Handle()), "Frame");
  EXPECT_EQ(GetMenu(frame->Handle()), nullptr);

  a->SetWindowState(wsMaximized);
  Pump();
  delete a;  // a maximised child that goes gives the frame its own caption back
  Pump();
  EXPECT_EQ(WindowText(frame->Handle()), "Frame");
}

TEST_F(MDI, AChildShownMaximisedOrMinimised) {
  const struct {
    TWindowState state;
    BOOL (*holds)(HWND);
  } cases[] = {{wsMaximized, [](HWND w) { return IsZoomed(w); }}, {wsMinimized, [](HWND w) { return IsIconic(w); }}};
  for (const auto& c : cases) {
    auto* child = new TForm(&app);
    child->SetFormStyle(fsMDIChild);
    child->SetWindowState(c.state);
    child->Show();
    Pump();
    EXPECT_TRUE(c.holds(child->Handle())) << c.state;
    EXPECT_EQ(child->WindowState(), c.state);
  }
}

// ---- re-creating the frame's window ----
TEST_F(MDI, RecreatingTheFramesWindowIsRefusedWhileItHasChildren) {
  TForm* a = NewChild("A");
  const HWND window = frame->Handle(), client = Client(), child = a->Handle();
  EXPECT_THROW(frame->RecreateWnd(), Exception);
  EXPECT_THROW(frame->SetBorderStyle(bsSingle), Exception);
  EXPECT_EQ(frame->BorderStyle(), bsSizeable);
  EXPECT_THROW(frame->SetFormStyle(fsNormal), Exception);
  EXPECT_EQ(frame->FormStyle(), fsMDIForm);
  EXPECT_EQ(frame->Handle(), window);
  EXPECT_EQ(Client(), client);
  EXPECT_TRUE(IsWindow(child));
  EXPECT_EQ(frame->MDIChildren(0), a);

  delete a;
  frame->SetBorderStyle(bsSingle);  // without children the window is re-created
  Pump();
  EXPECT_NE(frame->Handle(), window);
  ASSERT_NE(Client(), nullptr);
  EXPECT_NE(Client(), client);
  EXPECT_EQ(GetParent(Client()), frame->Handle());
  TForm* b = NewChild("B");
  EXPECT_EQ(GetParent(b->Handle()), Client());
  EXPECT_EQ(frame->ActiveMDIChild(), b);
}

TEST_F(MDI, ChangingTheStyleMakesTheRightWindow) {
  auto* f = new TForm(&app);
  f->Show();
  Pump();
  EXPECT_EQ(GetParent(f->Handle()), nullptr);
  f->SetFormStyle(fsMDIChild);
  Pump();
  EXPECT_EQ(GetParent(f->Handle()), Client());
  EXPECT_TRUE(IsWindowVisible(f->Handle()));
  EXPECT_EQ(frame->ActiveMDIChild(), f);
  f->SetFormStyle(fsNormal);
  Pump();
  EXPECT_EQ(GetParent(f->Handle()), nullptr);
  EXPECT_EQ(GetWindow(f->Handle(), GW_OWNER), app.Handle());
  EXPECT_EQ(frame->MDIChildCount(), 0);
}

// ---- stored descriptions: the style is read before the window is made ----
class TStoredFrame : public TForm {
public:
  explicit TStoredFrame(TComponent* owner) : TForm(owner) {
    ReadComponentText(R"(object Frame1: TForm
  Left = 40
  Top = 40
  Width = 480
  Height = 360
  Caption = 'Stored frame'
  FormStyle = fsMDIForm
  TileMode = tbVertical
  object Top1: TPanel
    Height = 26
    Align = alTop
  end
end
)",
                      *this);
  }
};

TEST(MDIStored, FormStyleInADescriptionMakesTheFrameAndItsChildren) {
  RegisterFrameworkClasses();
  TApplication app(nullptr);
  app.Initialize();
  TStoredFrame* frame = nullptr;
  app.CreateForm(frame);
  frame->Show();
  app.ProcessMessages();
  EXPECT_EQ(frame->FormStyle(), fsMDIForm);
  EXPECT_EQ(frame->TileMode(), tbVertical);
  ASSERT_NE(frame->ClientHandle(), nullptr);
  EXPECT_EQ(WindowRectIn(frame->ClientHandle(), frame->Handle()).top, 26);

  auto* child = new TForm(&app);
  ReadComponentText(R"(object Child1: TForm
  Left = 8
  Top = 6
  Width = 200
  Height = 150
  Caption = 'Stored child'
  FormStyle = fsMDIChild
end
)",
                    *child);
  EXPECT_FALSE(child->HandleAllocated());
  child->Show();
  app.ProcessMessages();
  EXPECT_EQ(GetParent(child->Handle()), frame->ClientHandle());
  EXPECT_EQ(WindowText(child->Handle()), "Stored child");
  const RECT r = WindowRectIn(child->Handle(), frame->ClientHandle());
  const RECT expected{8, 6, 208, 156};
  EXPECT_TRUE(EqualRect(&r, &expected));
  EXPECT_EQ(frame->ActiveMDIChild(), child);
}

// ---- nothing leaks ----
TEST_F(MDI, FiftyChildCyclesLeaveTheHandleCountsUnchanged) {
  NewChild("Warm-up")->Release();  // first-use allocations (classes, system menus) out of the way
  Pump();
  auto counts = [] {
    std::vector<int> list;
    for (int k = 0; k < static_cast<int>(THandleKind::Count); ++k) list.push_back(LiveHandleCount(static_cast<THandleKind>(k)));
    return list;
  };
  const std::vector<int> before = counts();
  const int windows = ThreadWindowCount();
  const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  for (int i = 0; i < 50; ++i) {
    TForm* child = NewChild("Cycle " + std::to_string(i));
    child->SetWindowState(wsMaximized);
    Pump();
    child->SetWindowState(wsNormal);
    Pump();
    child->SetOnClose([](TObject*, TCloseAction& action) { action = caFree; });
    child->Close();
    Pump();
  }
  EXPECT_EQ(frame->MDIChildCount(), 0);
  EXPECT_EQ(GetWindow(Client(), GW_CHILD), nullptr);
  EXPECT_EQ(counts(), before);
  EXPECT_EQ(ThreadWindowCount(), windows);
  if (user != 0) {
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), user + 2);
  }
  if (gdi != 0) {
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdi + 2);
  }
}

}  // namespace
// A maximised child freed leaves the client's own background where it was, also when it was the
// last child.
TEST_F(MDI, AFreedMaximisedChildLeavesNothingOnTheClient) {
  auto* child = NewChild("Green");
  child->SetColor(0x00FF00);
  child->SetWindowState(wsMaximized);
  Pump();
  ASSERT_TRUE(IsZoomed(child->Handle()));
  delete child;
  Pump();
  const RECT client = ClientRectOf(frame->ClientHandle());
  TWindowDC dc(frame->ClientHandle());
  int green = 0;
  for (int y = 5; y < client.bottom; y += 20)
    for (int x = 5; x < client.right; x += 20) green += GetPixel(dc.Get(), x, y) == 0x00FF00;
  EXPECT_EQ(green, 0);
}
