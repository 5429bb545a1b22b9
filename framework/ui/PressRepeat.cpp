#include "framework/ui/PressRepeat.h"

#include <utility>

TPressRepeat::TPressRepeat(TWinControl& control, std::function<void()> onTick, std::function<void()> onLost)
    : control_(control), onTick_(std::move(onTick)), onLost_(std::move(onLost)) {
  hook_.Install(&control, [this](TMessage& m) { Hook(m); });
}

// A member of the control: its window still exists here, so the timer is killed, not left to
// tick into a window whose object is gone.
TPressRepeat::~TPressRepeat() { Stop(); }

void TPressRepeat::Start(const TPressRepeatTiming& timing) {
  if (active_ || !control_.HandleAllocated()) return;
  timing_ = timing;
  window_ = control_.HandleIfAllocated();
  active_ = true;
  if (timing.Interval > 0) {
    const int first = timing.FirstDelay > 0 ? timing.FirstDelay : timing.Interval;
    SetTimer(window_, TimerId, static_cast<UINT>(first), nullptr);
    firstPending_ = true;
  }
  if (timing.AtPress) Tick(false);
}

void TPressRepeat::Stop() {
  if (!active_) return;
  active_ = false;
  firstPending_ = false;
  if (IsWindow(window_)) KillTimer(window_, TimerId);
  window_ = nullptr;
}

void TPressRepeat::Hook(TMessage& m) {
  static constexpr TMessageEntry<TPressRepeat> kTable[] = {
      {WM_TIMER, &TPressRepeat::WMTimer},
      {WM_CAPTURECHANGED, &TPressRepeat::WMCaptureChanged},
      {WM_LBUTTONUP, &TPressRepeat::StopAndPass},
      {WM_CANCELMODE, &TPressRepeat::StopAndPass},
      {WM_DESTROY, &TPressRepeat::StopAndPass},  // the window's timers die with it
      {CM_ENABLEDCHANGED, &TPressRepeat::CMStateChanged},
      {CM_VISIBLECHANGED, &TPressRepeat::CMStateChanged},
  };
  if (!DispatchMessageTable(*this, kTable, m)) hook_.CallPrevious(m);
}

// The first timed tick switches the timer from the first delay to the interval, also when it
// is dropped because a tick is still running.
void TPressRepeat::WMTimer(TMessage& m) {
  if (m.WParam != TimerId) return hook_.CallPrevious(m);
  if (!active_) return;  // queued before the repeat stopped
  if (std::exchange(firstPending_, false) && timing_.FirstDelay > 0 && timing_.FirstDelay != timing_.Interval)
    SetTimer(window_, TimerId, static_cast<UINT>(timing_.Interval), nullptr);
  if (!ticking_) Tick(true);
}

void TPressRepeat::WMCaptureChanged(TMessage& m) {
  if (reinterpret_cast<HWND>(m.LParam) != window_) Stop();
  hook_.CallPrevious(m);
}

void TPressRepeat::StopAndPass(TMessage& m) {
  Stop();
  hook_.CallPrevious(m);
}

void TPressRepeat::CMStateChanged(TMessage& m) {
  const std::weak_ptr<char> alive = life_;
  hook_.CallPrevious(m);
  if (!alive.expired() && (!control_.Enabled() || !control_.Visible())) Stop();
}

// IsWindowVisible covers every parent window; CanFocus every parent's Enabled (a parent that is
// disabled sends its children nothing).
bool TPressRepeat::HoldGoesOn() const {
  return GetCapture() == window_ && IsWindowVisible(window_) && control_.CanFocus();
}

void TPressRepeat::Tick(bool check) {
  if (check && !HoldGoesOn()) {
    Stop();
    if (onLost_) onLost_();  // may free the control
    return;
  }
  const std::weak_ptr<char> alive = life_;
  ticking_ = true;
  try {
    if (onTick_) onTick_();
  } catch (...) {
    if (!alive.expired()) {
      ticking_ = false;
      Stop();
    }
    throw;
  }
  if (!alive.expired()) ticking_ = false;
}
