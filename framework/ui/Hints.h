// Hints: the tooltip that shows the short hint of the control the pointer rests on.
//
// A hint may have two parts, "short|long": the tooltip shows the short one (the long one is for a
// status line). The application owns one THintWindow: when the pointer enters a control whose
// ShowHint is on (its parent's, with ParentShowHint) and whose hint has a short part, the tip
// appears under the pointer after the application's HintPause; it goes after HintHidePause,
// when the pointer enters another control or leaves the program's windows, and on a click or a
// key (TApplication::CancelHint). After that it comes back only once the pointer entered
// another control.
//
// The tip is a tooltip control of COMCTL32 (TOOLTIPS_CLASS) with one tracking tool, placed by
// the program: no mouse messages need relaying to it.
#pragma once

#include <memory>
#include <string>

#include "framework/graphics/GdiHandles.h"
#include "framework/ui/Messages.h"

class TControl;

// The part before the first '|' (all of HINT when it has none).
std::string GetShortHint(const std::string& hint);
// The part after the first '|' (all of HINT when it has none).
std::string GetLongHint(const std::string& hint);

class THintWindow {
public:
  THintWindow();
  ~THintWindow();
  THintWindow(const THintWindow&) = delete;
  THintWindow& operator=(const THintWindow&) = delete;

  // The pointer entered CONTROL (nullptr: no control of ours); the tip for it comes after PAUSE
  // milliseconds and stays HIDE_PAUSE milliseconds.
  void MouseEntered(TControl* control, unsigned pause, unsigned hidePause);
  // Hides the tip until the pointer enters another control.
  void Cancel();
  bool Showing() const { return showing_; }
  // The tooltip window, nullptr until a tip was first shown.
  HWND Handle() const { return tip_.Get(); }
  const std::string& Text() const { return text_; }

private:
  bool Timer(UINT_PTR id);
  void Show();
  void Hide();
  void CreateTip();

  TControl* armed_ = nullptr;  // only compared with ControlUnderMouse(), never dereferenced
  unsigned hidePause_ = 0;
  std::unique_ptr<TUtilityWindow> timers_;
  TWindowHandle tip_;
  std::string text_;
  bool showing_ = false;
};
