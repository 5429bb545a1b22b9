// The hold-to-repeat helper on a real window with real window timers: ticks counted after
// pumping (never timed: a reference timer of the test's own gives the order of events), every way
// a hold ends, re-entry, a tick that frees its control, an exception from a tick.
#include "framework/ui/PressRepeat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "framework/ui/ExtCtrls.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace {

// A windowed control with a repeat of its own, as the controls that use one keep it.
class THeld : public TPanel {
public:
  explicit THeld(TComponent* owner) : TPanel(owner) {}
  std::function<void()> onTick;
  std::function<void()> onLost;
  std::vector<WPARAM> timersSeen;  // WM_TIMER that reached the control itself
  TPressRepeat repeat{*this, [this] { if (onTick) onTick(); }, [this] { if (onLost) onLost(); }};

  void WndProc(TMessage& m) override {
    if (m.Msg == WM_TIMER) timersSeen.push_back(m.WParam);
    inherited::WndProc(m);
  }
};

// Counts the ticks of a window timer of the test, to let a number of them pass.
class TReference {
public:
  explicit TReference(unsigned interval) : timer_(nullptr) {
    timer_.SetInterval(interval);
    timer_.SetOnTimer([this](TObject*) { ++count; });
  }
  // Pumps until N more reference ticks have come.
  bool Pass(int n) {
    const int until = count + n;
    return uitest::PumpUntil([&] { return count >= until; });
  }
  int count = 0;

private:
  TTimer timer_;
};

class PressRepeatTest : public ::testing::Test {
public:
  PressRepeatTest() {
    panel = uitest::Place<TPanel>(shown.form, 10, 10, 200, 100);
    Make();
  }
  void Make() {
    held = uitest::Place<THeld>(panel, 10, 10, 60, 30);
    held->onTick = [this] { ++ticks; };
    held->onLost = [this] { ++lost; };
    SetCapture(held->Handle());  // the press holds the mouse
  }
  bool PumpUntilTicks(int n) {
    return uitest::PumpUntil([&] { return ticks >= n; });
  }
  ~PressRepeatTest() override { ReleaseCapture(); }

  uitest::TShownForm shown{260, 160};
  TPanel* panel;
  THeld* held = nullptr;
  int ticks = 0, lost = 0;
};

TEST_F(PressRepeatTest, TicksEveryIntervalUntilStopped) {
  held->repeat.Start({false, 0, 10});
  EXPECT_TRUE(held->repeat.Active());
  EXPECT_EQ(ticks, 0);  // the first tick comes one interval after the start
  ASSERT_TRUE(PumpUntilTicks(3));
  held->repeat.Start({true, 0, 10});  // already running: nothing, no tick at once either
  const int before = ticks;
  held->repeat.Stop();
  EXPECT_FALSE(held->repeat.Active());
  EXPECT_EQ(ticks, before);
  TReference reference(10);
  ASSERT_TRUE(reference.Pass(8));
  EXPECT_EQ(ticks, before);
  EXPECT_EQ(lost, 0);  // a stop asked for is no lost hold
  EXPECT_TRUE(held->timersSeen.empty());  // the repeat's own timer never reaches the control
}

// The order of events against a reference timer of 20 ms: no tick while it passes five times
// during a first delay of 400 ms, then ticks at the interval of 10 ms, not at the first delay.
TEST_F(PressRepeatTest, TheFirstDelayComesOnceThenTheInterval) {
  TReference reference(20);
  held->repeat.Start({false, 400, 10});
  ASSERT_TRUE(reference.Pass(5));
  EXPECT_EQ(ticks, 0);
  ASSERT_TRUE(PumpUntilTicks(1));
  const int atFirst = reference.count;
  ASSERT_TRUE(PumpUntilTicks(5));
  EXPECT_LT(reference.count - atFirst, 20);  // four first delays would be some eighty
  held->repeat.Stop();
}

TEST_F(PressRepeatTest, AtPressTicksAtOnceThenAfterTheDelay) {
  held->repeat.Start({true, 30, 10});
  EXPECT_EQ(ticks, 1);  // before any message was handled
  ASSERT_TRUE(PumpUntilTicks(3));
  held->repeat.Stop();
}

TEST_F(PressRepeatTest, AnIntervalOfZeroOrLessIsActiveAndNeverTicks) {
  for (int interval : {0, -5}) {
    held->repeat.Start({false, 0, interval});
    EXPECT_TRUE(held->repeat.Active());
    TReference reference(10);
    ASSERT_TRUE(reference.Pass(5));
    EXPECT_EQ(ticks, 0);
    held->repeat.Stop();
  }
}

TEST_F(PressRepeatTest, NoWindowNoRepeat) {
  THeld unplaced(nullptr);
  unplaced.repeat.Start({true, 0, 10});
  EXPECT_FALSE(unplaced.repeat.Active());
  EXPECT_FALSE(unplaced.HandleAllocated());
}

TEST_F(PressRepeatTest, EveryWayTheHoldEndsStopsIt) {
  using TEnd = std::function<void(PressRepeatTest&)>;
  const struct {
    const char* Name;
    TEnd End;
    bool FoundAtTick;  // nothing reaches the control: the next tick finds it out (ON_LOST)
  } cases[] = {
      {"left button released", [](PressRepeatTest& t) { SendMessageA(t.held->Handle(), WM_LBUTTONUP, 0, 0); }, false},
      {"released far outside",
       [](PressRepeatTest& t) { SendMessageA(t.held->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(900, 900)); }, false},
      {"capture taken elsewhere", [](PressRepeatTest& t) { SetCapture(t.panel->Handle()); }, false},
      {"capture released", [](PressRepeatTest&) { ReleaseCapture(); }, false},
      {"cancel mode", [](PressRepeatTest& t) { SendMessageA(t.held->Handle(), WM_CANCELMODE, 0, 0); }, false},
      {"disabled", [](PressRepeatTest& t) { t.held->SetEnabled(false); }, false},
      {"hidden", [](PressRepeatTest& t) { t.held->SetVisible(false); }, false},
      {"window re-created", [](PressRepeatTest& t) { t.held->RecreateWnd(); }, false},
      {"parent hidden", [](PressRepeatTest& t) { t.panel->SetVisible(false); }, true},
      {"parent disabled", [](PressRepeatTest& t) { t.panel->SetEnabled(false); }, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    ticks = lost = 0;
    held->repeat.Start({false, 0, 10});
    ASSERT_TRUE(PumpUntilTicks(2));
    c.End(*this);
    if (c.FoundAtTick) {
      EXPECT_TRUE(held->repeat.Active());
      EXPECT_TRUE(uitest::PumpUntil([&] { return !held->repeat.Active(); }));
    }
    EXPECT_FALSE(held->repeat.Active());
    const int stoppedAt = ticks;
    TReference reference(10);
    ASSERT_TRUE(reference.Pass(8));
    EXPECT_EQ(ticks, stoppedAt);
    EXPECT_EQ(lost, c.FoundAtTick ? 1 : 0);
    delete held;
    panel->SetVisible(true);
    panel->SetEnabled(true);
    Make();
  }
}

// Only the repeat's own WM_TIMER is taken, and one that was queued before the stop is no tick.
TEST_F(PressRepeatTest, AQueuedTimerMessageIsNoTickAndOtherTimersPassThrough) {
  held->repeat.Start({false, 0, 10});
  held->repeat.Stop();
  SendMessageA(held->Handle(), WM_TIMER, TPressRepeat::TimerId, 0);
  EXPECT_EQ(ticks, 0);
  SendMessageA(held->Handle(), WM_TIMER, 7, 0);
  EXPECT_EQ(held->timersSeen, (std::vector<WPARAM>{7}));
}

// A tick that runs a message loop sees no tick inside itself, however many timer messages come.
TEST_F(PressRepeatTest, ATickIsNeverEnteredFromInside) {
  uitest::TMessageLog timers(held, {WM_TIMER});
  int depth = 0, deepest = 0;
  held->onTick = [&] {
    ++ticks;
    deepest = std::max(deepest, ++depth);
    EXPECT_TRUE(held->repeat.Ticking());
    if (ticks == 1) {
      const size_t seen = timers.messages.size();
      EXPECT_TRUE(uitest::PumpUntil([&] { return timers.messages.size() >= seen + 3; }));
    }
    --depth;
  };
  held->repeat.Start({false, 0, 10});
  ASSERT_TRUE(PumpUntilTicks(3));  // and the repeat goes on after the long tick
  EXPECT_EQ(deepest, 1);
  EXPECT_FALSE(held->repeat.Ticking());
  held->repeat.Stop();
}

TEST_F(PressRepeatTest, ATickOrALostHoldMayFreeTheControl) {
  const struct {
    const char* Name;
    bool FreeInLost;
  } cases[] = {{"tick", false}, {"lost hold", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    THeld* doomed = held;
    const HWND window = doomed->Handle();
    bool freed = false;
    auto free = [&] {
      freed = true;
      delete doomed;  // last: the handler goes with the control
    };
    if (c.FreeInLost) {
      doomed->onLost = free;
      panel->SetVisible(false);
    } else {
      doomed->onTick = free;
    }
    doomed->repeat.Start({false, 0, 10});
    ASSERT_TRUE(uitest::PumpUntil([&] { return freed; }));
    EXPECT_FALSE(IsWindow(window));
    TReference reference(10);
    EXPECT_TRUE(reference.Pass(5));  // no timer left behind for a window that is gone
    panel->SetVisible(true);
    Make();
  }
}

TEST_F(PressRepeatTest, AnExceptionFromATickStopsTheRepeatAndGoesOn) {
  held->onTick = [] { throw Exception("tick failed"); };
  EXPECT_THROW(held->repeat.Start({true, 0, 10}), Exception);
  EXPECT_FALSE(held->repeat.Active());
  EXPECT_FALSE(held->repeat.Ticking());
  held->onTick = [this] { ++ticks; };
  held->repeat.Start({true, 0, 10});  // it can start again
  EXPECT_EQ(ticks, 1);
  held->repeat.Stop();
}

}  // namespace
