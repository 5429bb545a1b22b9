#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/SysUtils.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/StdCtrls.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace {

// Sets the global title for one test and puts the old one back.
class TTitleScope {
public:
  explicit TTitleScope(const std::string& title) : saved_(Application->Title()) { Application->SetTitle(title); }
  ~TTitleScope() { Application->SetTitle(saved_); }

private:
  std::string saved_;
};

TButton* ThrowingButton(TForm* form, const std::string& message) {
  auto* button = new TButton(form);
  button->SetParent(form);
  button->SetOnClick([message](TObject*) { throw EFOpenError(message); });
  return button;
}

TEST(ErrorReport, ExceptionInAHandlerGivesOneErrorBox) {
  TTitleScope title("Corvane Vantor");
  uitest::TShownForm form;
  TButton* button = ThrowingButton(form.form, "C:\\missing.swf");
  uitest::TMessageBoxRecorder boxes;
  // BM_CLICK -> BN_CLICKED -> OnClick throws inside the form's window procedure.
  SendMessageA(button->Handle(), BM_CLICK, 0, 0);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Cannot open file C:\\missing.swf.");
  EXPECT_EQ(boxes.boxes[0].caption, "Corvane Vantor");
  EXPECT_EQ(boxes.boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_TRUE(IsWindow(button->Handle()));  // the window survived the exception
}

TEST(ErrorReport, MessagesEndingInPunctuationGetNoExtraDot) {
  uitest::TShownForm form;
  uitest::TMessageBoxRecorder boxes;
  auto* button = new TButton(form.form);
  button->SetParent(form.form);
  button->SetOnClick([](TObject*) { throw Exception("Stream read error!"); });
  SendMessageA(button->Handle(), BM_CLICK, 0, 0);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Stream read error!");
}

TEST(ErrorReport, OnExceptionReplacesTheBox) {
  uitest::TShownForm form;
  uitest::TMessageBoxRecorder boxes;
  std::string seen;
  Application->SetOnException([&](TObject*, const std::exception& e) { seen = e.what(); });
  SendMessageA(ThrowingButton(form.form, "a")->Handle(), BM_CLICK, 0, 0);
  Application->SetOnException(nullptr);
  EXPECT_EQ(seen, "Cannot open file a");
  EXPECT_TRUE(boxes.boxes.empty());
}

// The real MessageBoxA: a CBT hook reads the box as it is activated and presses OK.
struct TRealBox {
  std::string caption, text;
  int seen = 0;
};
TRealBox gRealBox;
HHOOK gCbtHook = nullptr;

LRESULT CALLBACK ReadAndCloseBox(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND box = reinterpret_cast<HWND>(wParam);
    char cls[32] = {}, buffer[512] = {};
    GetClassNameA(box, cls, sizeof cls);
    if (std::string(cls) == "#32770") {
      GetWindowTextA(box, buffer, sizeof buffer);
      gRealBox.caption = buffer;
      GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
      gRealBox.text = buffer;
      ++gRealBox.seen;
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
  }
  return CallNextHookEx(gCbtHook, code, wParam, lParam);
}

TEST(ErrorReport, RealMessageBoxEndToEnd) {
  TTitleScope title("Corvane Vantor");
  uitest::TShownForm form;
  TButton* button = ThrowingButton(form.form, "x");
  gRealBox = {};
  gCbtHook = SetWindowsHookExA(WH_CBT, ReadAndCloseBox, nullptr, GetCurrentThreadId());
  ASSERT_NE(gCbtHook, nullptr);
  SendMessageA(button->Handle(), BM_CLICK, 0, 0);  // returns once the box is closed
  UnhookWindowsHookEx(gCbtHook);
  EXPECT_EQ(gRealBox.seen, 1);
  EXPECT_EQ(gRealBox.caption, "Corvane Vantor");
  EXPECT_EQ(gRealBox.text, "Cannot open file x.");
}

// ---- application object ----
TEST(ApplicationObject, FirstFormIsMainAndClosingItEndsRun) {
  TApplication app(nullptr);
  app.Initialize();
  app.SetTitle("Corvane Vantor");
  char text[64] = {};
  GetWindowTextA(app.Handle(), text, sizeof text);
  EXPECT_STREQ(text, "Corvane Vantor");

  TForm* first = nullptr;
  TForm* second = nullptr;
  app.CreateForm(first);
  app.CreateForm(second);
  EXPECT_EQ(app.MainForm(), first);
  EXPECT_TRUE(first->HandleAllocated());
  EXPECT_FALSE(IsWindowVisible(second->Handle()));

  // Closing a secondary form hides it; closing the main form ends the loop.
  second->Show();
  second->Close();
  EXPECT_FALSE(second->Visible());
  PostMessageA(first->Handle(), WM_CLOSE, 0, 0);
  app.Run();  // shows the main form, returns when it closes
  EXPECT_TRUE(app.Terminated());
  EXPECT_TRUE(first->Visible());
}

TEST(ApplicationObject, EveryEventsObjectSeesQueuedMessagesBeforeDispatch) {
  TApplication app(nullptr);
  uitest::TShownForm form;
  constexpr UINT kPing = WM_APP + 3;
  std::vector<std::string> order;
  TWindowProcHook hook;
  hook.Install(form.form, [&](TMessage& m) {
    if (m.Msg == kPing) order.push_back("window");
    hook.CallPrevious(m);
  });
  TApplicationEvents first(nullptr), second(nullptr);
  bool swallow = false;
  first.SetOnMessage([&](MSG& msg, bool& handled) {
    if (msg.message != kPing) return;
    order.push_back("first");
    handled = swallow;
  });
  second.SetOnMessage([&](MSG& msg, bool&) {
    if (msg.message == kPing) order.push_back("second");
  });
  PostMessageA(form->Handle(), kPing, 0, 0);
  app.ProcessMessages();
  EXPECT_EQ(order, (std::vector<std::string>{"first", "second", "window"}));

  order.clear();
  swallow = true;  // handled: every events object still sees it, the window does not
  PostMessageA(form->Handle(), kPing, 0, 0);
  app.ProcessMessages();
  EXPECT_EQ(order, (std::vector<std::string>{"first", "second"}));
}

TEST(ApplicationObject, ShowModalEndsWithTheButtonsModalResult) {
  TApplication app(nullptr);
  auto* dialog = new TForm(&app);
  dialog->SetBorderStyle(bsDialog);
  auto* ok = new TButton(dialog);
  ok->SetModalResult(mrOk);
  ok->SetParent(dialog);
  PostMessageA(ok->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_FALSE(dialog->Visible());
  PostMessageA(dialog->Handle(), WM_CLOSE, 0, 0);  // closing a modal form cancels it
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
}

// ---- the application window ----
// A started application with a shown main form, a shown second form and a hidden third.
class ApplicationWindow : public ::testing::Test {
protected:
  void SetUp() override {
    app.SetTitle("Corvane Vantor");
    app.Initialize();
    for (TForm** form : {&main, &second, &third}) app.CreateForm(*form);
    main->Show();
    second->Show();
    SetForegroundWindow(main->Handle());
    uitest::Pump();
  }
  HWND Window() const { return app.Handle(); }

  TApplication app{nullptr};
  TForm* main = nullptr;
  TForm* second = nullptr;
  TForm* third = nullptr;
};

TEST_F(ApplicationWindow, IsAZeroSizedCaptionedWindowThatOwnsTheForms) {
  const LONG_PTR style = GetWindowLongPtrA(Window(), GWL_STYLE);
  const LONG_PTR wanted = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  EXPECT_EQ(style & wanted, wanted);
  EXPECT_EQ(style & WS_THICKFRAME, 0);
  EXPECT_EQ(GetWindowLongPtrA(Window(), GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_APPWINDOW), 0);
  EXPECT_EQ(GetWindow(Window(), GW_OWNER), nullptr);
  RECT r;
  GetWindowRect(Window(), &r);
  EXPECT_EQ(r.right - r.left, 0);
  EXPECT_EQ(r.bottom - r.top, 0);
  char text[64] = {};
  GetWindowTextA(Window(), text, sizeof text);
  EXPECT_STREQ(text, "Corvane Vantor");
  for (TForm* form : {main, second, third}) EXPECT_EQ(GetWindow(form->Handle(), GW_OWNER), Window());
}

TEST_F(ApplicationWindow, IsShownWhileAnyOfItsFormsIs) {
  const struct {
    const char* step;
    std::function<void()> act;
    bool shown;
  } steps[] = {
      {"two forms shown", [] {}, true},
      {"main hidden", [&] { main->Hide(); }, true},
      {"both hidden", [&] { second->Hide(); }, false},
      {"third shown", [&] { third->Show(); }, true},
      {"the visible form deleted", [&] { delete third; }, false},
  };
  for (const auto& s : steps) {
    s.act();
    EXPECT_EQ(IsWindowVisible(Window()) != FALSE, s.shown) << s.step;
  }
}

TEST_F(ApplicationWindow, TheMainFormsMinimiseTakesTheVisibleFormsAlongAndRestoreBringsThemBack) {
  SendMessageA(main->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(Window()));
  EXPECT_TRUE(IsWindowVisible(Window()));  // the taskbar entry stays
  for (TForm* form : {main, second, third}) EXPECT_FALSE(IsWindowVisible(form->Handle()));
  EXPECT_TRUE(main->Visible());  // gone with the application, not hidden by the program
  EXPECT_EQ(main->WindowState(), wsNormal);

  SendMessageA(Window(), WM_SYSCOMMAND, SC_RESTORE, 0);  // what the taskbar sends
  EXPECT_FALSE(IsIconic(Window()));
  EXPECT_TRUE(IsWindowVisible(main->Handle()));
  EXPECT_TRUE(IsWindowVisible(second->Handle()));
  EXPECT_FALSE(IsWindowVisible(third->Handle()));
}

TEST_F(ApplicationWindow, AnotherFormsMinimiseIsItsOwn) {
  SendMessageA(second->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(second->Handle()));
  EXPECT_FALSE(IsIconic(Window()));
  EXPECT_TRUE(IsWindowVisible(main->Handle()));
}

TEST_F(ApplicationWindow, TheActivationItGetsGoesOnToTheFormInFront) {
  // Windows activates a hidden popup's owner, here the application window.
  second->Hide();
  second->SetBorderStyle(bsDialog);  // WS_POPUP
  second->Show();
  SetForegroundWindow(second->Handle());
  uitest::Pump();
  ASSERT_EQ(GetActiveWindow(), second->Handle());
  second->Hide();
  EXPECT_TRUE(uitest::PumpUntil([&] { return GetActiveWindow() == main->Handle(); }));
  // Activated directly, as by a click on its taskbar entry.
  SetActiveWindow(Window());
  EXPECT_TRUE(uitest::PumpUntil([&] { return GetActiveWindow() == main->Handle(); }));
  EXPECT_EQ(app.DialogOwner(), main->Handle());
}

TEST_F(ApplicationWindow, ClosingItClosesTheMainForm) {
  PostMessageA(Window(), WM_CLOSE, 0, 0);
  app.Run();  // returns once the main form closed
  EXPECT_TRUE(app.Terminated());
  EXPECT_TRUE(IsWindow(Window()));
}

// ---- timers ----
TEST(Timers, TicksThroughTheMessageLoopAndStops) {
  TTimer timer(nullptr);
  int ticks = 0;
  timer.SetInterval(15);
  EXPECT_FALSE(timer.Running());  // no handler yet
  timer.SetOnTimer([&](TObject* sender) {
    EXPECT_EQ(sender, &timer);
    ++ticks;
  });
  EXPECT_TRUE(timer.Running());
  EXPECT_TRUE(uitest::PumpUntil([&] { return ticks >= 3; }));
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Running());
  const int stopped = ticks;
  Sleep(60);
  uitest::Pump();
  EXPECT_EQ(ticks, stopped);
}

TEST(Timers, ExceptionInOnTimerIsReported) {
  uitest::TMessageBoxRecorder boxes;
  TTimer timer(nullptr);
  timer.SetInterval(10);
  timer.SetOnTimer([&](TObject*) {
    timer.SetEnabled(false);
    throw Exception("tick failed");
  });
  EXPECT_TRUE(uitest::PumpUntil([&] { return !boxes.boxes.empty(); }));
  EXPECT_EQ(boxes.boxes[0].text, "tick failed.");
}

}  // namespace
