// Subclassing a window that is not one of our controls (a system control, the MDI client):
// its messages go to a handler first, which passes on what it does not answer.
//
//   TWindowSubclass client(clientWindow, [this](TMessage& m) {
//     client.CallPrevious(m);                       // the window's own handling first
//     if (m.Msg == WM_MDIMAXIMIZE) ShowChildButtons();
//   });
//
// Built on comctl32's subclass chain (SetWindowSubclass, DefSubclassProc, RemoveWindowSubclass)
// rather than on swapping GWLP_WNDPROC: with several subclasses on one window each can go in any
// order without cutting off the ones above or below it, which a saved-and-restored procedure
// pointer cannot promise. A procedure swapped in the old way above the chain stays working too:
// the subclass then stays behind as a pass-through until the window goes.
//
// The subclass goes with the object (or Remove()): from then on the window never calls into the
// handler again, even when the object is freed while one of its own messages is being handled.
// When the window is destroyed first, WM_NCDESTROY is passed on, ON_DESTROYED (if any) is told,
// and the subclass removes itself; the object is then no longer Installed() and its destructor
// touches no window. Exceptions never leave the handler: they go to the application's error
// report.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "framework/ui/Messages.h"

class TWindowSubclass {
public:
  TWindowSubclass() = default;
  TWindowSubclass(HWND window, TWndMethod handler, std::function<void()> onDestroyed = {}) {
    Install(window, std::move(handler), std::move(onDestroyed));
  }
  ~TWindowSubclass() { Remove(); }
  TWindowSubclass(const TWindowSubclass&) = delete;
  TWindowSubclass& operator=(const TWindowSubclass&) = delete;

  // Subclasses WINDOW (removing any earlier subclass of this object first); false, installing
  // nothing, when the system refuses (no such window, or one of another thread).
  bool Install(HWND window, TWndMethod handler, std::function<void()> onDestroyed = {});
  void Remove();
  bool Installed() const { return state_ && state_->window; }
  HWND Window() const { return state_ ? state_->window : nullptr; }
  // Passes M to the procedures below this subclass and takes their result. Only while M is being
  // handled: comctl32 knows which subclass is running from the call in progress.
  void CallPrevious(TMessage& m) const;

private:
  struct TState {
    HWND window = nullptr;
    TWndMethod handler;
    std::function<void()> onDestroyed;
    std::weak_ptr<TState> self;  // a running message keeps the state alive through its end
    LONG_PTR chainProc = 0;      // the window's procedure once subclassed (comctl32's)
  };
  static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data);

  std::shared_ptr<TState> state_;
};
