// Hold-to-repeat: a windowed control that does something again and again while the left button
// is held on it (a repeating button, a scroll arrow, paging on a track) keeps one TPressRepeat.
//
//   class TArrow : public TCustomControl {
//     TPressRepeat repeat_{*this, [this] { Step(); }, [this] { EndPress(); }};
//     void MouseDown(...) override { repeat_.Start({.AtPress = true, .FirstDelay = 200, .Interval = 100}); }
//   };
//
// The ticks are a window timer of the control's own window (WM_TIMER with TimerId, which the
// control never sees), and the repeat watches the control's messages through a window-procedure
// hook, so it ends by itself when the press cannot go on: a release of the left button
// (anywhere: the capture brings it to the control), the capture going to another window or to
// none, WM_CANCELMODE, the control disabled or hidden, its window destroyed (also when it is
// re-created). What sends the control nothing (a parent hidden or disabled, the capture lost
// unnoticed) a timed tick finds out: the repeat then stops and ON_LOST runs, so the control can
// end its press too. The control stops the repeat itself for what is its own business (the
// pointer leaving it, a click).
//
// A tick is never entered from inside itself: a handler that runs a message loop (a dialog)
// lets WM_TIMER through, and those are dropped. A WM_TIMER queued before the repeat stopped is
// no tick. ON_TICK may free the control, and this object with it: nothing is touched after
// that. An exception from ON_TICK stops the repeat and goes on to the caller.
//
// Declare it as a member of the control it serves (the hook must go before the control does).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "framework/ui/Controls.h"

struct TPressRepeatTiming {
  // One tick at once, from Start (a short click then does its step).
  bool AtPress = false;
  // Milliseconds from Start to the first timed tick; 0 or less: one Interval.
  int FirstDelay = 0;
  // Milliseconds between timed ticks; 0 or less: the repeat is active and never ticks.
  int Interval = 0;
};

class TPressRepeat {
public:
  static constexpr UINT_PTR TimerId = 0x4B59;

  TPressRepeat(TWinControl& control, std::function<void()> onTick, std::function<void()> onLost = {});
  ~TPressRepeat();
  TPressRepeat(const TPressRepeat&) = delete;
  TPressRepeat& operator=(const TPressRepeat&) = delete;

  // Starts repeating with TIMING; nothing while already active or when the control has no
  // window (there is nothing to hold).
  void Start(const TPressRepeatTiming& timing);
  // Ends the repeat (ON_LOST is not called); nothing when inactive.
  void Stop();
  // From Start to the end of the press.
  bool Active() const { return active_; }
  // A tick is running.
  bool Ticking() const { return ticking_; }

private:
  void WMTimer(TMessage& m);
  void WMCaptureChanged(TMessage& m);
  void StopAndPass(TMessage& m);
  void CMStateChanged(TMessage& m);
  void Hook(TMessage& m);
  // The capture is still the control's and it and every parent are shown and enabled.
  bool HoldGoesOn() const;
  // Runs ON_TICK under the guard; CHECK: first see that the hold goes on.
  void Tick(bool check);

  TWinControl& control_;
  std::function<void()> onTick_, onLost_;
  std::shared_ptr<char> life_ = std::make_shared<char>();
  TPressRepeatTiming timing_;
  HWND window_ = nullptr;  // the window the timer runs on
  bool active_ = false;
  bool ticking_ = false;
  bool firstPending_ = false;  // the next timer message is the first timed tick
  TWindowProcHook hook_;
};
