#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/ui/ExtCtrls.h"
#include "framework/ui/StdCtrls.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace {

constexpr UINT kProbe = WM_APP + 7;

// A form whose own procedure answers kProbe, so the chain's end can be seen.
class TProbeForm : public TForm {
public:
  explicit TProbeForm(std::vector<std::string>& log) : TForm(nullptr), log_(log) {}
  void WndProc(TMessage& m) override {
    static constexpr TMessageEntry<TProbeForm> kTable[] = {{kProbe, &TProbeForm::WMProbe}};
    if (!DispatchMessageTable(*this, kTable, m)) TForm::WndProc(m);
  }

private:
  void WMProbe(TMessage& m) {
    log_.push_back("form");
    m.Result = 42;
  }
  std::vector<std::string>& log_;
};

// A panel that takes its host form's window procedure over, as a skinned frame does, and gives
// it back when it goes.
class TTakeoverPanel : public TCustomPanel {
public:
  TTakeoverPanel(TCustomForm* host, std::vector<std::string>& log) : TCustomPanel(host), log_(log) {
    SetParent(host);
    hook_.Install(host, [this](TMessage& m) {
      if (m.Msg == kProbe) log_.push_back("panel");
      hook_.CallPrevious(m);
    });
  }

private:
  std::vector<std::string>& log_;
  TWindowProcHook hook_;
};

TEST(WindowProcTakeover, ChainsToTheSavedProcedureAndRestoresOnDestroy) {
  std::vector<std::string> log;
  TProbeForm form(log);
  HWND window = form.Handle();
  auto* panel = new TTakeoverPanel(&form, log);
  EXPECT_EQ(SendMessageA(window, kProbe, 0, 0), 42);
  EXPECT_EQ(log, (std::vector<std::string>{"panel", "form"}));

  log.clear();
  delete panel;
  EXPECT_EQ(form.WindowProcTag(), nullptr);  // the original procedure is back
  EXPECT_EQ(SendMessageA(window, kProbe, 0, 0), 42);
  EXPECT_EQ(log, (std::vector<std::string>{"form"}));
}

TEST(WindowProcTakeover, HooksChainInInstallOrderAndSurviveOutOfOrderRemoval) {
  std::vector<std::string> log;
  TProbeForm form(log);
  auto* first = new TWindowProcHook();
  TWindowProcHook second;
  first->Install(&form, [&](TMessage& m) {
    if (m.Msg == kProbe) log.push_back("first");
    first->CallPrevious(m);
  });
  second.Install(&form, [&](TMessage& m) {
    if (m.Msg == kProbe) log.push_back("second");
    second.CallPrevious(m);
  });
  form.Perform(kProbe);
  EXPECT_EQ(log, (std::vector<std::string>{"second", "first", "form"}));

  log.clear();
  delete first;  // not on top: it becomes a pass-through and the later hook keeps working
  form.Perform(kProbe);
  EXPECT_EQ(log, (std::vector<std::string>{"second", "form"}));

  log.clear();
  second.Uninstall();
  form.Perform(kProbe);
  EXPECT_EQ(log, (std::vector<std::string>{"form"}));
  EXPECT_EQ(form.WindowProcTag(), nullptr);
}

TEST(WindowProcTakeover, HostDestroyedWithThePanelStillInstalled) {
  std::vector<std::string> log;
  auto* form = new TProbeForm(log);
  form->HandleNeeded();
  new TTakeoverPanel(form, log);
  delete form;  // the panel goes first and puts the procedure back on a still-whole form
  SUCCEED();
}

// ---- reflected notifications ----
class TReflectingMemo : public TMemo {
public:
  using TMemo::TMemo;
  std::vector<UINT> reflected;
  void WndProc(TMessage& m) override {
    if (m.Msg >= CN_BASE && m.Msg < CN_BASE + 0x400) reflected.push_back(m.Msg);
    TMemo::WndProc(m);
  }
};

TEST(ReflectedNotifications, CommandAndColourReachTheChild) {
  uitest::TShownForm form;
  auto* button = new TButton(form.form);
  button->SetParent(form.form);
  int clicks = 0;
  button->SetOnClick([&](TObject* sender) {
    EXPECT_EQ(sender, button);
    ++clicks;
  });
  uitest::TMessageLog parentLog(form.form, {WM_COMMAND});
  uitest::TMessageLog buttonLog(button, {CN_COMMAND});
  SendMessageA(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  // The button sends its notification to the parent, which hands it on with the same parameters.
  const WPARAM clicked = MAKEWPARAM(GetDlgCtrlID(button->Handle()), BN_CLICKED);
  const LPARAM from = reinterpret_cast<LPARAM>(button->Handle());
  EXPECT_EQ(parentLog.records,
            (std::vector<uitest::TLoggedMessage>{{WM_COMMAND, clicked, from, uitest::TDelivery::Sent}}));
  EXPECT_EQ(buttonLog.records,
            (std::vector<uitest::TLoggedMessage>{{CN_COMMAND, clicked, from, uitest::TDelivery::Performed}}));

  auto* memo = new TReflectingMemo(form.form);
  memo->SetParent(form.form);
  memo->SetColor(clTeal);
  int changes = 0;
  memo->SetOnChange([&](TObject*) { ++changes; });
  memo->SetText("abc");  // multi-line EDIT sends no EN_CHANGE for WM_SETTEXT: the memo reports it
  EXPECT_EQ(changes, 1);
  SendMessageA(memo->Handle(), WM_CHAR, 'x', 0);  // typing: EN_CHANGE through the parent's WM_COMMAND
  EXPECT_EQ(changes, 2);
  HDC dc = GetDC(memo->Handle());
  const auto brush = reinterpret_cast<HBRUSH>(
      SendMessageA(form->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(memo->Handle())));
  LOGBRUSH lb{};
  GetObjectA(brush, sizeof lb, &lb);
  ReleaseDC(memo->Handle(), dc);
  EXPECT_EQ(lb.lbColor, static_cast<COLORREF>(clTeal));
  EXPECT_NE(std::find(memo->reflected.begin(), memo->reflected.end(), CN_CTLCOLOREDIT), memo->reflected.end());
  EXPECT_NE(std::find(memo->reflected.begin(), memo->reflected.end(), CN_COMMAND), memo->reflected.end());
}

// ---- framework notifications ----
TEST(FrameworkNotifications, SettersSendTheirNotifications) {
  uitest::TShownForm form;
  auto* panel = new TPanel(form.form);
  panel->SetParent(form.form);
  uitest::TMessageLog log(panel, {CM_ENABLEDCHANGED, CM_FONTCHANGED, CM_TEXTCHANGED, CM_COLORCHANGED,
                                  CM_VISIBLECHANGED});
  panel->SetEnabled(false);
  panel->Font()->SetHeight(-20);
  panel->SetCaption("x");
  panel->SetColor(clRed);
  panel->Hide();
  EXPECT_EQ(log.messages, (std::vector<UINT>{CM_ENABLEDCHANGED, CM_FONTCHANGED, CM_TEXTCHANGED, CM_COLORCHANGED,
                                             CM_VISIBLECHANGED}));
  EXPECT_EQ(CM_ENABLEDCHANGED, 0xB00Cu);
  EXPECT_EQ(CM_FONTCHANGED, 0xB00Eu);
  EXPECT_EQ(CM_TEXTCHANGED, 0xB012u);
  EXPECT_FALSE(IsWindowEnabled(panel->Handle()));
  EXPECT_FALSE(IsWindowVisible(panel->Handle()));
}

TEST(FrameworkNotifications, ParentFontAndColourFlowToChildren) {
  TPanel parent(nullptr);
  auto* child = new TPanel(&parent);
  child->SetParent(&parent);
  child->SetParentColor(true);
  parent.Font()->SetName("Tahoma");
  parent.SetColor(clYellow);
  EXPECT_EQ(child->Font()->Name(), "Tahoma");
  EXPECT_EQ(child->Color(), clYellow);
  child->Font()->SetHeight(-30);  // an own font stops following the parent
  EXPECT_FALSE(child->ParentFont());
  parent.Font()->SetName("Arial");
  EXPECT_EQ(child->Font()->Name(), "Tahoma");
}

TEST(FrameworkNotifications, FocusChangeIsBroadcastWithTheFocusedControl) {
  uitest::TShownForm form;
  auto* a = new TButton(form.form);
  a->SetParent(form.form);
  auto* b = new TButton(form.form);
  b->SetLeft(100);
  b->SetParent(form.form);
  std::vector<LPARAM> seen;
  TWindowProcHook hook;
  hook.Install(a, [&](TMessage& m) {
    if (m.Msg == CM_FOCUSCHANGED) seen.push_back(m.LParam);
    hook.CallPrevious(m);
  });
  b->SetFocus();
  EXPECT_EQ(form->ActiveControl(), b);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), reinterpret_cast<LPARAM>(b));
}

// A shown form with a default button; ProcessMessages runs keys through the dialog-key path.
class DialogKeys : public ::testing::Test {
protected:
  void SetUp() override {
    ok->SetDefault(true);
    ok->SetParent(form.form);
    ok->SetOnClick([this](TObject*) { clicks.push_back("ok"); });
  }
  // Posts a key-down (DOWN) or key-up of KEY to CONTROL and handles it.
  void Key(TWinControl* control, WORD key, bool down) {
    PostMessageA(control->Handle(), down ? WM_KEYDOWN : WM_KEYUP, key, down ? 0x001C0001 : 0xC01C0001);
    app.ProcessMessages();
  }
  template <class T>
  T* Add(int top) {
    auto* control = new T(form.form);
    control->SetTop(top);
    control->SetParent(form.form);
    return control;
  }

  TApplication app{nullptr};
  uitest::TShownForm form;
  TButton* ok = new TButton(form.form);
  std::vector<std::string> clicks;
};

TEST_F(DialogKeys, EnterClicksTheDefaultButtonAndTabMovesFocus) {
  auto* memo = Add<TMemo>(100);
  memo->SetWantReturns(false);  // Return in a memo that does not want it goes to the form
  memo->SetFocus();
  Key(memo, VK_RETURN, true);
  EXPECT_EQ(clicks, std::vector<std::string>{"ok"});
  EXPECT_EQ(CM_DIALOGKEY, 0xB005u);

  Key(memo, VK_TAB, true);  // the memo does not want tabs
  EXPECT_EQ(GetFocus(), ok->Handle());
}

// A focused push button takes Return itself, as Space: pressed on key-down, clicked on key-up;
// the form's default button is not asked.
TEST_F(DialogKeys, FocusedButtonPressesOnReturnDownAndClicksOnUp) {
  auto* other = Add<TButton>(40);
  other->SetOnClick([this](TObject*) { clicks.push_back("other"); });
  other->SetFocus();
  uitest::TMessageLog log(other, {WM_KEYDOWN, WM_KEYUP, CM_DIALOGKEY});
  Key(other, VK_RETURN, true);
  EXPECT_TRUE(SendMessageA(other->Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED);
  EXPECT_TRUE(clicks.empty());
  Key(other, VK_RETURN, false);
  EXPECT_EQ(log.messages, (std::vector<UINT>{WM_KEYDOWN, WM_KEYUP}));
  EXPECT_EQ(clicks, std::vector<std::string>{"other"});
  EXPECT_FALSE(SendMessageA(other->Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED);
}

// A custom-drawn control (a skinned button) that asks for every key gets Return too.
class TAllKeysControl : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_GETDLGCODE) {
      m.Result = DLGC_WANTALLKEYS;
      return;
    }
    TCustomControl::WndProc(m);
  }
};

TEST_F(DialogKeys, ControlThatWantsAllKeysGetsReturn) {
  auto* custom = Add<TAllKeysControl>(40);
  custom->SetBounds(0, 40, 50, 20);
  custom->SetFocus();
  uitest::TMessageLog log(custom, {WM_KEYDOWN, CM_DIALOGKEY});
  Key(custom, VK_RETURN, true);
  EXPECT_EQ(log.messages, std::vector<UINT>{WM_KEYDOWN});
  EXPECT_TRUE(clicks.empty());
}

}  // namespace
