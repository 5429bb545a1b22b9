// The skinned buttons' behaviour: the state machine as message sequences, keys, Default and
// Cancel, accelerators, the repeat timer and every way its press ends, ModalResult, buttons
// freed by their own handlers, defaults, published properties, references that go away.
#include "skin/controls/KYRButton.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Menus.h"
#include "framework/ui/StdCtrls.h"
#include "skin/KYRClasses.h"
#include "skin/KYRStyled.h"
#include "tests/skin/KYRStandIns.h"
#include "tests/skin/controls/KYRButtonTestSupport.h"

using namespace kyrtest;

namespace {

class ButtonTest : public ::testing::Test {
protected:
  template <class T = TkyrButton>
  T* Add(int left, int top, const std::string& caption = "Go") {
    auto* b = uitest::Place<T>(form.form, left, top, 80, 27);
    b->SetCaption(caption);
    return b;
  }
  uitest::TShownForm form{320, 200};
};

// ---- the state machine, as the pointer drives it ----

TEST_F(ButtonTest, PointerEntersPressesReleasesInsideAndLeaves) {
  TkyrButton* b = Add(20, 20);
  TEventLog log;
  log.Watch(*b);
  uitest::TMessageLog messages(b, {CM_MOUSEENTER, WM_LBUTTONDOWN, WM_LBUTTONUP, CM_MOUSELEAVE});
  uitest::MovePointerTo({5, 5});
  uitest::Pump();
  log.events.clear();

  uitest::MovePointerTo(b->ClientToScreen({40, 13}));
  ASSERT_TRUE(uitest::PumpUntil([&] { return b->MouseIn(); }));
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(uitest::PumpUntil([&] { return b->Pressed(); }));
  EXPECT_TRUE(b->RepeatTimerActive());
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(uitest::PumpUntil([&] { return log.Count("click") == 1; }));
  EXPECT_FALSE(b->Pressed());
  EXPECT_FALSE(b->RepeatTimerActive());
  uitest::MovePointerTo({5, 5});
  ASSERT_TRUE(uitest::PumpUntil([&] { return !b->MouseIn(); }));
  EXPECT_EQ(log.events, (std::vector<std::string>{"enter", "down", "click", "up", "exit"}));
  EXPECT_EQ(messages.messages, (std::vector<UINT>{CM_MOUSEENTER, WM_LBUTTONDOWN, WM_LBUTTONUP, CM_MOUSELEAVE}));
}

TEST_F(ButtonTest, PressedPointerThatLeavesReleasesWithoutAClick) {
  TkyrButton* b = Add(20, 20);
  TEventLog log;
  log.Watch(*b);
  uitest::MovePointerTo(b->ClientToScreen({40, 13}));
  ASSERT_TRUE(uitest::PumpUntil([&] { return b->MouseIn(); }));
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(uitest::PumpUntil([&] { return b->Pressed(); }));
  uitest::MovePointerTo(b->ClientToScreen({200, 100}));  // still held: the capture keeps the messages coming
  ASSERT_TRUE(uitest::PumpUntil([&] { return !b->MouseIn(); }));
  EXPECT_FALSE(b->Pressed());
  EXPECT_FALSE(b->RepeatTimerActive());
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(uitest::PumpUntil([&] { return log.Count("up") == 1; }));
  EXPECT_EQ(log.events, (std::vector<std::string>{"enter", "down", "exit", "up"}));
  EXPECT_EQ(GetCapture(), nullptr);
}

// Moving outside 0..Width x 0..Height (the far edges count as inside) unpresses.
TEST_F(ButtonTest, MovesOutsideTheBoundsUnpressTheFarEdgesAreInside) {
  TkyrButton* b = Add(20, 20);
  struct TMove {
    int x, y;
    bool inside;
  } moves[] = {{80, 27, true}, {0, 0, true}, {81, 10, false}, {10, 28, false}, {-1, 10, false}, {10, -1, false}};
  for (const TMove& move : moves) {
    SCOPED_TRACE(std::to_string(move.x) + "," + std::to_string(move.y));
    b->Perform(CM_MOUSEENTER);
    LeftDown(*b);
    MoveTo(*b, move.x, move.y);
    EXPECT_EQ(b->Pressed(), move.inside);
    EXPECT_EQ(b->MouseIn(), move.inside);
    LeftUp(*b, -50, -50);
  }
}

// ---- keys ----

TEST_F(ButtonTest, SpaceAndReturnPressOnKeyDownAndClickOnKeyUp) {
  for (WORD key : {WORD(VK_SPACE), WORD(VK_RETURN)}) {
    SCOPED_TRACE(key);
    TkyrButton* b = Add(20, 20);
    TEventLog log;
    log.Watch(*b);
    b->SetFocus();
    PostKey(*b, key, true);
    PumpApp();
    EXPECT_TRUE(b->Pressed());
    EXPECT_EQ(log.Count("click"), 0);
    EXPECT_FALSE(b->RepeatTimerActive());  // keys never start the timer
    PostKey(*b, key, false);
    PumpApp();
    EXPECT_FALSE(b->Pressed());
    EXPECT_EQ(log.Count("click"), 1);
    delete b;
  }
}

TEST_F(ButtonTest, ADisabledButtonIgnoresThePressAndLosingTheFocusUnpresses) {
  TkyrButton* b = Add(20, 20);
  TEventLog log;
  log.Watch(*b);
  b->SetFocus();
  PostKey(*b, VK_SPACE, true);
  PumpApp();
  ASSERT_TRUE(b->Pressed());
  b->SetEnabled(false);  // mid-press
  EXPECT_FALSE(b->Pressed());
  PostKey(*b, VK_SPACE, false);
  PumpApp();
  EXPECT_EQ(log.Count("click"), 0);

  b->SetEnabled(true);
  b->SetFocus();
  PostKey(*b, VK_SPACE, true);
  PumpApp();
  form->SetFocus();  // the focus goes elsewhere while the key is down
  PumpApp();
  EXPECT_FALSE(b->Pressed());
  PostKey(*b, VK_SPACE, false);
  PumpApp();
  EXPECT_EQ(log.Count("click"), 0);
}

class DefaultCancelTest : public ButtonTest {
protected:
  void SetUp() override {
    edit = uitest::Place<TMemo>(form.form, 200, 20, 100, 40);
    edit->SetWantReturns(false);
    ok = Add(20, 20, "OK");
    ok->SetDefault(true);
    cancel = Add(20, 60, "Cancel");
    cancel->SetCancel(true);
    other = Add(20, 100, "Other");
    for (auto* b : {ok, cancel, other}) logs[b].Watch(*b);
  }
  // Types KEY into FOCUS (down only, or down and up) with the modifiers in MODIFIERS held.
  void Type(TWinControl& focus, WORD key, bool up = true, std::initializer_list<int> modifiers = {}) {
    BYTE state[256]{};
    GetKeyboardState(state);
    BYTE held[256];
    std::copy(std::begin(state), std::end(state), held);
    for (int vk : modifiers) held[vk] = 0x80;
    SetKeyboardState(held);
    PostKey(focus, key, true);
    PumpApp();
    if (up) {
      PostKey(focus, key, false);
      PumpApp();
    }
    SetKeyboardState(state);
  }
  int Clicks(TkyrButton* b) { return logs[b].Count("click"); }

  TMemo* edit = nullptr;
  TkyrButton *ok = nullptr, *cancel = nullptr, *other = nullptr;
  std::map<TkyrButton*, TEventLog> logs;
};

TEST_F(DefaultCancelTest, ReturnGoesToTheDefaultButtonWhileAnEditHasTheFocus) {
  edit->SetFocus();
  PumpApp();
  EXPECT_TRUE(ok->DefaultActive());
  EXPECT_FALSE(other->DefaultActive());
  Type(*edit, VK_RETURN, false);  // the default button clicks on the key-down
  EXPECT_EQ(Clicks(ok), 1);
  EXPECT_EQ(Clicks(other), 0);
}

TEST_F(DefaultCancelTest, TheFocusedButtonTakesReturnInsteadOfTheDefaultOne) {
  other->SetFocus();
  PumpApp();
  EXPECT_FALSE(ok->DefaultActive());
  EXPECT_TRUE(other->DefaultActive());
  Type(*other, VK_RETURN, false);
  EXPECT_TRUE(other->Pressed());
  EXPECT_EQ(Clicks(other), 0);
  PostKey(*other, VK_RETURN, false);
  PumpApp();
  EXPECT_EQ(Clicks(other), 1);
  EXPECT_EQ(Clicks(ok), 0);
  edit->SetFocus();  // back on a control that is not a button: the default answers again
  PumpApp();
  EXPECT_TRUE(ok->DefaultActive());
  EXPECT_FALSE(other->DefaultActive());
}

TEST_F(DefaultCancelTest, SettingDefaultMovesItAtOnce) {
  edit->SetFocus();
  PumpApp();
  ok->SetDefault(false);
  other->SetDefault(true);
  EXPECT_FALSE(ok->DefaultActive());
  EXPECT_TRUE(other->DefaultActive());
  Type(*edit, VK_RETURN);
  EXPECT_EQ(Clicks(other), 1);
  EXPECT_EQ(Clicks(ok), 0);
}

// The multi-line edit wants Escape itself, so Escape is typed on a focused button.
TEST_F(DefaultCancelTest, ModifiersKeepReturnAndEscapeFromTheButtons) {
  struct TCase {
    TWinControl* focus;
    WORD key;
    TkyrButton* answers;
  } cases[] = {{edit, VK_RETURN, ok}, {other, VK_ESCAPE, cancel}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.key);
    c.focus->SetFocus();
    PumpApp();
    for (int modifier : {VK_CONTROL, VK_SHIFT, VK_MENU}) Type(*c.focus, c.key, true, {modifier});
    EXPECT_EQ(Clicks(c.answers), 0);
    Type(*c.focus, c.key);
    EXPECT_EQ(Clicks(c.answers), 1);
  }
}

TEST_F(DefaultCancelTest, DefaultAndCancelButtonsThatCannotTakeTheFocusIgnoreTheirKeys) {
  ok->SetEnabled(false);
  cancel->SetVisible(false);
  edit->SetFocus();
  PumpApp();
  Type(*edit, VK_RETURN);
  other->SetFocus();
  PumpApp();
  Type(*other, VK_ESCAPE);
  EXPECT_EQ(Clicks(ok), 0);
  EXPECT_EQ(Clicks(cancel), 0);
}

// An accelerator clicks only a button that could take the focus: enabled, visible, and on a
// visible parent.
TEST_F(ButtonTest, AnAcceleratorClicksOnlyAButtonThatCanTakeTheFocus) {
  TkyrButton* focus = Add(20, 100, "Focus");
  auto* panel = uitest::Place<TPanel>(form.form, 120, 20, 150, 60);
  struct TCase {
    const char* name;
    std::function<void(TkyrButton&)> prepare;
    int clicks;
  } cases[] = {
      {"enabled and visible", [](TkyrButton&) {}, 1},
      {"disabled", [](TkyrButton& b) { b.SetEnabled(false); }, 0},
      {"hidden", [](TkyrButton& b) { b.SetVisible(false); }, 0},
      {"on a hidden panel", [panel](TkyrButton& b) { b.SetParent(panel); panel->SetVisible(false); }, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    panel->SetVisible(true);
    TkyrButton* b = Add(20, 20, "&Go");
    TEventLog log;
    log.Watch(*b);
    c.prepare(*b);
    focus->SetFocus();
    PostMessageA(focus->Handle(), WM_CHAR, 'g', 1);
    PumpApp();
    PostMessageA(focus->Handle(), WM_SYSCHAR, 'G', 1 | (1 << 29));  // Alt+G
    PumpApp();
    EXPECT_EQ(log.Count("click"), 2 * c.clicks);
    delete b;
  }
}

TEST(ButtonAccelerator, TheCharacterAfterASingleAmpersandInUpperCase) {
  struct TCase {
    const char* caption;
    char accelerator;
  } cases[] = {{"&Go", 'G'}, {"Save &as", 'A'}, {"A && B", 0}, {"A && &B", 'B'}, {"Trailing&", 0}, {"None", 0}};
  for (const TCase& c : cases) EXPECT_EQ(CaptionAccelerator(c.caption), c.accelerator) << c.caption;
}

// ---- the repeat timer ----

class RepeatTimerTest : public ButtonTest {
protected:
  TkyrButton* Held() {
    TkyrButton* b = Add(20, 20);
    b->SetMouseContinuouslyDownInterval(10);
    log.Watch(*b);
    LeftDown(*b);
    return b;
  }
  TEventLog log;
};

TEST_F(RepeatTimerTest, TicksWhileHeld) {
  TkyrButton* b = Held();
  EXPECT_TRUE(b->RepeatTimerActive());
  EXPECT_EQ(log.Count("tick"), 0);  // the first tick comes one interval after the press
  ASSERT_TRUE(PumpAppUntil([&] { return log.Count("tick") >= 3; }));
  LeftUp(*b);
  EXPECT_EQ(log.Count("click"), 1);
}

TEST_F(RepeatTimerTest, EveryEndOfThePressStopsIt) {
  auto* elsewhere = uitest::Place<TPanel>(form.form, 200, 100, 50, 50);
  struct TCase {
    const char* name;
    std::function<void(TkyrButton*&)> end;
    int clicks;
  } cases[] = {
      {"release inside", [](TkyrButton*& b) { LeftUp(*b); }, 1},
      {"release outside", [](TkyrButton*& b) { LeftUp(*b, -30, 60); }, 0},
      {"pointer leaves", [](TkyrButton*& b) { b->Perform(CM_MOUSELEAVE); }, 0},
      {"capture taken", [elsewhere](TkyrButton*&) { SetCapture(elsewhere->Handle()); }, 0},
      {"capture released", [](TkyrButton*&) { ReleaseCapture(); }, 0},
      {"cancel mode", [](TkyrButton*& b) { SendMessageA(b->Handle(), WM_CANCELMODE, 0, 0); }, 0},
      {"disabled", [](TkyrButton*& b) { b->SetEnabled(false); }, 0},
      {"hidden", [](TkyrButton*& b) { b->SetVisible(false); }, 0},
      {"window re-created", [](TkyrButton*& b) { b->RecreateWnd(); }, 0},
      {"destroyed", [](TkyrButton*& b) {
         delete b;
         b = nullptr;
       }, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    log.events.clear();
    TkyrButton* b = Held();
    ASSERT_TRUE(PumpAppUntil([&] { return log.Count("tick") >= 2; }));
    c.end(b);
    if (b) {  // at once, not at the next tick
      EXPECT_FALSE(b->RepeatTimerActive());
      EXPECT_FALSE(b->Pressed());
    }
    const int ticks = log.Count("tick");
    PumpFor(80);  // eight intervals
    EXPECT_EQ(log.Count("tick"), ticks);
    EXPECT_EQ(log.Count("click"), c.clicks);
    ReleaseCapture();
    delete b;
  }
}

// A parent hidden or disabled sends the button nothing: the next tick finds the hold lost and
// ends the press, capture and all.
TEST_F(RepeatTimerTest, AParentHiddenOrDisabledEndsThePressAtTheNextTick) {
  const struct {
    const char* Name;
    std::function<void(TPanel*, bool)> Set;
  } cases[] = {{"parent hidden", [](TPanel* p, bool on) { p->SetVisible(on); }},
               {"parent disabled", [](TPanel* p, bool on) { p->SetEnabled(on); }}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* panel = uitest::Place<TPanel>(form.form, 10, 10, 200, 100);
    auto* b = uitest::Place<TkyrButton>(panel, 10, 10, 80, 27);
    b->SetMouseContinuouslyDownInterval(10);
    log.events.clear();
    log.Watch(*b);
    LeftDown(*b);
    ASSERT_TRUE(PumpAppUntil([&] { return log.Count("tick") >= 1; }));
    c.Set(panel, false);
    ASSERT_TRUE(PumpAppUntil([&] { return !b->RepeatTimerActive(); }));
    EXPECT_FALSE(b->Pressed());
    EXPECT_NE(GetCapture(), b->Handle());
    delete panel;
  }
}

TEST_F(RepeatTimerTest, AnIntervalOfZeroOrLessNeverTicks) {
  for (int interval : {0, -5}) {
    TkyrButton* b = Add(20, 20);
    b->SetMouseContinuouslyDownInterval(interval);
    log.Watch(*b);
    LeftDown(*b);
    EXPECT_TRUE(b->RepeatTimerActive());
    PumpFor(50);
    EXPECT_EQ(log.Count("tick"), 0);
    LeftUp(*b);
    delete b;
  }
}

// A lead at the press (what a scroll arrow uses) fires before any message is pumped, and its
// handler may free the button.
TEST_F(RepeatTimerTest, ALeadAtThePressFiresAtOnceAndMayFreeTheButton) {
  TkyrButton* b = Add(20, 20);
  b->SetMouseContinuouslyDownInterval(10);
  b->SetRepeatLead(true, 30);
  log.Watch(*b);
  LeftDown(*b);
  EXPECT_EQ(log.Count("tick"), 1);
  EXPECT_TRUE(b->Pressed());
  ASSERT_TRUE(PumpAppUntil([&] { return log.Count("tick") >= 3; }));
  LeftUp(*b);
  EXPECT_EQ(log.Count("click"), 1);

  TkyrButton* doomed = Add(20, 60);
  doomed->SetRepeatLead(true, 0);
  const HWND window = doomed->Handle();
  doomed->SetOnMouseContinuouslyDown([&](TObject*) { delete doomed; });
  LeftDown(*doomed);
  EXPECT_FALSE(IsWindow(window));
  PumpApp();
}

// A tick that runs a message loop sees no tick inside itself, however many timer messages come.
TEST_F(RepeatTimerTest, ATickIsNeverEnteredAgainFromInside) {
  TkyrButton* b = Held();
  uitest::TMessageLog timers(b, {WM_TIMER});
  int depth = 0, deepest = 0, ticks = 0;
  b->SetOnMouseContinuouslyDown([&](TObject*) {
    ++ticks;
    deepest = std::max(deepest, ++depth);
    if (ticks == 1) {
      const size_t seen = timers.messages.size();
      EXPECT_TRUE(PumpAppUntil([&] { return timers.messages.size() >= seen + 3; }));
    }
    --depth;
  });
  ASSERT_TRUE(PumpAppUntil([&] { return ticks >= 2; }));
  EXPECT_EQ(deepest, 1);
  LeftUp(*b);
}

// A dialog opened from a tick: the tick is not entered again while the dialog runs, and the
// release of the button that happens meanwhile (the capture brings it to the button, whose
// form is disabled) ends the press, so no tick follows the dialog.
TEST_F(RepeatTimerTest, ADialogOpenedFromATickEndsThePressWhenTheButtonIsReleased) {
  TkyrButton* b = Add(20, 20);
  b->SetMouseContinuouslyDownInterval(10);
  int ticks = 0;
  TModalResult result = mrNone;
  b->SetOnMouseContinuouslyDown([&](TObject*) {
    if (++ticks > 1) return;
    TForm dialog(nullptr);
    dialog.SetBounds(200, 200, 120, 80);
    TTimer user(&dialog);
    user.SetInterval(30);
    int step = 0;
    user.SetOnTimer([&](TObject*) {
      if (++step == 1) return uitest::MouseButton(MOUSEEVENTF_LEFTUP);  // released over the dialog
      dialog.SetModalResult(mrOk);
    });
    result = dialog.ShowModal();
  });
  uitest::MovePointerTo(b->ClientToScreen({40, 13}));
  ASSERT_TRUE(PumpAppUntil([&] { return b->MouseIn(); }));
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(PumpAppUntil([&] { return result == mrOk; }));
  EXPECT_FALSE(b->RepeatTimerActive());
  EXPECT_FALSE(b->Pressed());
  EXPECT_EQ(GetCapture(), nullptr);
  PumpFor(80);
  EXPECT_EQ(ticks, 1);
  uitest::MovePointerTo({5, 5});
}

// ---- clicks ----

TEST_F(ButtonTest, EveryClickHandsModalResultToTheForm) {
  TkyrButton* b = Add(20, 20);
  b->SetModalResult(mrOk);
  b->Click();
  EXPECT_EQ(form->ModalResult(), mrOk);
  b->SetModalResult(mrNone);  // also 0, which clears a pending result
  LeftDown(*b);
  LeftUp(*b);
  EXPECT_EQ(form->ModalResult(), mrNone);
}

TEST(ButtonModalResult, EscapeOnACancelButtonEndsAModalForm) {
  TForm dialog(nullptr);
  dialog.SetBounds(60, 60, 200, 120);
  auto* cancel = uitest::Place<TkyrButton>(&dialog, 10, 10, 80, 27);
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  TTimer typist(&dialog);
  typist.SetInterval(20);
  typist.SetOnTimer([&](TObject*) {
    typist.SetEnabled(false);
    PostKey(*cancel, VK_ESCAPE, true);
  });
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
}

// Whatever route the click takes, a handler that frees the button leaves it untouched after.
TEST_F(ButtonTest, AButtonFreedByItsOwnHandlerIsNotTouchedAfterwards) {
  using TDoomed = TPoisoned<TkyrButton>;
  TkyrButton* focus = Add(200, 100, "Focus");
  struct TCase {
    const char* name;
    std::function<void(TDoomed*)> arm;  // sets the handler that deletes
    std::function<void(TDoomed*)> act;
  };
  auto onClick = [](TDoomed* b) { b->SetOnClick([b](TObject*) { delete b; }); };
  TCase cases[] = {
      {"mouse click", onClick, [](TDoomed* b) { LeftDown(*b); LeftUp(*b); }},
      {"space", onClick, [](TDoomed* b) {
         b->SetFocus();
         PostKey(*b, VK_SPACE, true);
         PostKey(*b, VK_SPACE, false);
         PumpApp();
       }},
      {"default button", onClick, [focus](TDoomed* b) {
         b->SetDefault(true);
         focus->SetFocus();  // a TkyrButton: the default is not active...
         b->SetFocus();      // ...until the button has the focus
         PostKey(*b, VK_RETURN, true);
         PostKey(*b, VK_RETURN, false);
         PumpApp();
       }},
      {"escape", onClick, [focus](TDoomed* b) {
         b->SetCancel(true);
         focus->SetFocus();
         PostKey(*focus, VK_ESCAPE, true);
         PumpApp();
       }},
      {"accelerator", onClick, [focus](TDoomed* b) {
         b->SetCaption("&Doom");
         focus->SetFocus();
         PostMessageA(focus->Handle(), WM_CHAR, 'd', 1);
         PumpApp();
       }},
      {"repeat tick", [](TDoomed* b) { b->SetOnMouseContinuouslyDown([b](TObject*) { delete b; }); },
       [](TDoomed* b) {
         b->SetMouseContinuouslyDownInterval(10);
         LeftDown(*b);
         PumpFor(60);
       }},
      {"key up handler", [](TDoomed* b) { b->SetOnKeyUp([b](TObject*, WORD&, TShiftState) { delete b; }); },
       [](TDoomed* b) {
         b->SetFocus();
         PostKey(*b, VK_SPACE, true);
         PostKey(*b, VK_SPACE, false);
         PumpApp();
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto* b = uitest::Place<TDoomed>(form.form, 20, 20, 80, 27);
    const int before = form->ControlCount();
    c.arm(b);
    c.act(b);
    PumpFor(20);
    EXPECT_EQ(form->ControlCount(), before - 1);  // it really went
    EXPECT_TRUE(TDoomed::UntouchedSinceFreed());
  }
}

TEST_F(ButtonTest, AClickWithoutOnClickRunsTheAction) {
  TkyrButton* b = Add(20, 20);
  TAction action(form.form);
  int executed = 0;
  action.SetOnExecute([&](TObject*) { ++executed; });
  b->SetAction(&action);
  b->Click();
  EXPECT_EQ(executed, 1);
  int clicked = 0;
  b->SetOnClick([&](TObject*) { ++clicked; });
  b->Click();
  EXPECT_EQ(executed, 1);
  EXPECT_EQ(clicked, 1);
}

// ---- creation and properties ----

TEST(ButtonDefaults, ANewButtonTakesItsOwnerFormsStyle) {
  TForm plain(nullptr);
  TkyrButton a(&plain);
  EXPECT_EQ(a.UIStyle(), DeepBlue);
  EXPECT_FALSE(a.Transparent());
  EXPECT_EQ(a.Width(), 80);
  EXPECT_EQ(a.Height(), 27);
  EXPECT_TRUE(a.TabStop());
  EXPECT_TRUE(a.ParentColor());
  EXPECT_FALSE(a.AutoSize() || a.Cancel() || a.Default() || a.MouseIn() || a.Pressed());
  EXPECT_EQ(a.ModalResult(), mrNone);
  EXPECT_EQ(a.FocusedRectMargin(), 2);
  EXPECT_EQ(a.MouseContinuouslyDownInterval(), 100);
  EXPECT_EQ(a.Spacing(), 4);
  EXPECT_EQ(a.Layout(), blGlyphLeft);
  EXPECT_TRUE(a.Glyph()->Empty());
  EXPECT_EQ(a.ResHandle(), 0u);

  TForm skinned(nullptr);
  auto* panel = new TkyrPanelStandIn(&skinned, MacOS);
  panel->SetParent(&skinned);
  TkyrButton b(&skinned);
  EXPECT_EQ(b.UIStyle(), MacOS);
  EXPECT_TRUE(b.Transparent());
  EXPECT_TRUE(b.ImageTransparent());

  TkyrImageButton image(&skinned);
  EXPECT_EQ(image.UIStyle(), FromThemeFile);  // always, whatever is written
  image.SetUIStyle(WinXP);
  EXPECT_EQ(GetEnumProp(image, "UIStyle"), "FromThemeFile");
  EXPECT_FALSE(image.Transparent());
  TkyrToolBarSpeedButton speed(&skinned);
  EXPECT_EQ(speed.Width(), 18);
  EXPECT_EQ(speed.Height(), 18);
  EXPECT_EQ(speed.Color(), clBtnFace);
}

TEST(ButtonDefaults, TheStyleWinsOverAnEarlierTransparentAndLosesToALaterOne) {
  TkyrButton b(nullptr);
  b.SetTransparent(true);
  b.SetUIStyle(WinXP);
  EXPECT_FALSE(b.Transparent());
  b.SetUIStyle(BlueGlass);
  EXPECT_TRUE(b.Transparent());
  SetPropText(b, "Transparent", "False");
  EXPECT_FALSE(b.Transparent());
  EXPECT_FALSE(b.ImageTransparent());
  SetPropText(b, "ResHandle", "0");  // stored descriptions carry it
}

TEST(ButtonAutoSize, ThirdOfTheStylesButtonBitmap) {
  struct TCase {
    TkyrUIStyle style;
    int width, height;
  } cases[] = {{MacOS, 84, 23}, {WinXP, 18, 21}, {DeepBlue, 74, 21}, {Protein, 74, 21}, {BlueGlass, 77, 27},
               {FromThemeFile, 24, 21}};
  for (const TCase& c : cases) {
    TkyrButton b(nullptr);
    b.SetUIStyle(c.style);
    b.SetAutoSize(true);
    EXPECT_EQ(b.Width(), c.width) << int(c.style);
    EXPECT_EQ(b.Height(), c.height) << int(c.style);
    b.SetAutoSize(false);
    b.SetUIStyle(MacOS);  // a style change alone does not resize
    EXPECT_EQ(b.Width(), c.width) << int(c.style);
  }
}

TEST_F(ButtonTest, AnImageButtonSizesToItsNormalPicture) {
  auto* b = Add<TkyrImageButton>(20, 20);
  b->SetAutoSize(true);
  EXPECT_EQ(b->Width(), 80);  // no picture yet
  b->PicNormal()->Bitmap().SetSize(16, 12);
  EXPECT_EQ(b->Width(), 16);
  EXPECT_EQ(b->Height(), 12);
  TkyrImageButton loose(nullptr);  // without a parent nothing is sized
  loose.SetAutoSize(true);
  loose.PicNormal()->Bitmap().SetSize(16, 12);
  EXPECT_EQ(loose.Width(), 0);
}

// References to components that may live elsewhere are dropped when those go.
TEST(ButtonReferences, ThemeActionAndActionListThatGoAreForgotten) {
  TComponent elsewhere(nullptr);
  TkyrButton b(nullptr);
  auto* theme = new TkyrFileTheme(&elsewhere);
  b.SetFileTheme(theme);
  b.SetUIStyle(WinXP);
  auto* images = new TImageList(&elsewhere);
  auto* list = new TActionList(&elsewhere);
  list->SetImages(images);
  auto* action = new TAction(&elsewhere);
  action->SetActionList(list);
  b.SetAction(action);
  delete theme;
  EXPECT_EQ(b.FileTheme(), nullptr);
  EXPECT_EQ(b.UIStyle(), DeepBlue);
  delete list;
  EXPECT_EQ(action->ActionList(), nullptr);
  delete action;
  EXPECT_EQ(b.Action(), nullptr);
  b.Click();  // no action to run
}

TEST(ButtonAction, CaptionStateAndPictureFollowTheAction) {
  TComponent owner(nullptr);
  TImageList images(&owner);
  images.SetWidth(8);
  images.SetHeight(8);
  TBitmap strip(16, 8);
  strip.Canvas().Brush().SetColor(clFuchsia);
  strip.Canvas().FillRect(RECT{0, 0, 16, 8});
  strip.Canvas().Brush().SetColor(clRed);
  strip.Canvas().FillRect(RECT{10, 2, 14, 6});  // image 1: a red square
  images.AddMasked(strip, clFuchsia);
  TActionList list(&owner);
  list.SetImages(&images);
  TAction action(&owner);
  action.SetActionList(&list);
  action.SetCaption("&Open");
  action.SetImageIndex(1);
  TkyrButton b(&owner);
  b.SetAction(&action);
  EXPECT_EQ(b.Caption(), "&Open");
  ASSERT_EQ(b.Glyph()->Width(), 8);
  EXPECT_EQ(b.Glyph()->Canvas().Pixel(4, 4), clRed);
  action.SetEnabled(false);
  action.SetCaption("Shut");
  EXPECT_FALSE(b.Enabled());
  EXPECT_EQ(b.Caption(), "Shut");
}

std::vector<std::string> OwnNames(const TClassInfo& info) {
  std::vector<std::string> names;
  for (const TPropInfo& p : const_cast<TClassInfo&>(info).OwnProperties()) names.push_back(p.Name);
  return names;
}

TEST(ButtonPublished, EachClassDeclaresItsPropertiesInTheOrderDescriptionsWriteThem) {
  const std::vector<std::string> events = {"OnClick",  "OnMouseMove", "OnMouseDown",  "OnMouseUp",
                                           "OnKeyDown", "OnKeyUp",    "OnKeyPress",   "OnMouseEnter",
                                           "OnMouseExit", "OnMouseContinuouslyDown"};
  auto with = [](std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  EXPECT_EQ(OwnNames(TkyrCustomButton::StaticClassInfo()),
            (std::vector<std::string>{"BiDiMode", "Anchors", "ParentColor", "Font", "PopupMenu", "ShowHint", "Caption",
                                      "AutoSize", "Visible", "ParentShowHint", "ParentBiDiMode", "ParentFont",
                                      "TabStop", "OnEnter", "OnExit"}));
  EXPECT_EQ(OwnNames(TkyrButton::StaticClassInfo()),
            with(with({"FileTheme", "UIStyle", "Cancel", "Default", "Action", "Caption", "Font", "Enabled", "TabOrder",
                       "Transparent", "ModalResult", "AutoSize", "FocusedRectMargin", "Glyph", "Layout", "Spacing",
                       "MouseContinuouslyDownInterval"},
                      events),
                 {"ResHandle"}));
  EXPECT_EQ(OwnNames(TkyrImageButton::StaticClassInfo()),
            with({"UIStyle", "DrawFocused", "FocusedRectMargin", "PicNormal", "PicMouseOn", "PicMouseDown",
                  "PicDisabled", "Stretch", "Cancel", "Default", "MouseContinuouslyDownInterval", "Action", "Caption",
                  "Font", "Enabled", "TabOrder", "Transparent", "ModalResult", "AutoSize"},
                 events));
  EXPECT_EQ(OwnNames(TkyrToolBarSpeedButton::StaticClassInfo()), (std::vector<std::string>{"Glyph", "Color", "OnClick"}));
  TkyrImageButton image(nullptr);
  EXPECT_FALSE(HasPublishedProperty(&image, "FileTheme"));  // the theme rules pass it by
}

TEST(ButtonPublished, StoredDescriptionsCreateThemByClassName) {
  RegisterSkinClasses();
  TComponent owner(nullptr);
  for (const char* name : {"TkyrButton", "TkyrImageButton", "TkyrToolBarSpeedButton", "TkyrURLLabel"}) {
    TComponent* c = CreateComponentByClassName(name, &owner);
    EXPECT_STREQ(c->ClassName(), name);
  }
}

// ---- the toolbar speed button ----

TEST_F(ButtonTest, TheSpeedButtonHoversAndClicks) {
  auto* b = uitest::Place<TkyrToolBarSpeedButton>(form.form, 20, 20, 18, 18);
  int clicks = 0;
  b->SetOnClick([&](TObject*) { ++clicks; });
  b->Perform(CM_MOUSEENTER);
  EXPECT_TRUE(b->Hover());
  LeftDown(*b);
  LeftUp(*b);
  EXPECT_EQ(clicks, 1);
  b->Perform(CM_MOUSELEAVE);
  EXPECT_FALSE(b->Hover());
}

}  // namespace
