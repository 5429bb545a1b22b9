#include "framework/ui/Subclass.h"

#include <commctrl.h>

// The subclass is told apart from others on the same window by its state's address, which is
// also its reference data.
bool TWindowSubclass::Install(HWND window, TWndMethod handler, std::function<void()> onDestroyed) {
  Remove();
  if (!window || !IsWindow(window)) return false;
  auto state = std::make_shared<TState>();
  state->window = window;
  state->handler = std::move(handler);
  state->onDestroyed = std::move(onDestroyed);
  state->self = state;
  const auto id = reinterpret_cast<UINT_PTR>(state.get());
  if (!SetWindowSubclass(window, &TWindowSubclass::Proc, id, reinterpret_cast<DWORD_PTR>(state.get()))) return false;
  state->chainProc = GetWindowLongPtrW(window, GWLP_WNDPROC);
  state_ = std::move(state);
  return true;
}

// Safe while the subclass's own message is running: comctl32 unlinks it and the running call
// still holds the state. When a procedure has been swapped in above the chain since (GWLP_WNDPROC
// changed), taking the last subclass off would make comctl32 put the window's original procedure
// back over that one (Wine does so unconditionally); the subclass then stays as a pass-through
// without reference data instead, and goes with the window.
void TWindowSubclass::Remove() {
  if (!state_) return;
  if (HWND window = state_->window) {
    const auto id = reinterpret_cast<UINT_PTR>(state_.get());
    if (GetWindowLongPtrW(window, GWLP_WNDPROC) == state_->chainProc)
      RemoveWindowSubclass(window, &TWindowSubclass::Proc, id);
    else
      SetWindowSubclass(window, &TWindowSubclass::Proc, id, 0);
  }
  state_->window = nullptr;
  state_->handler = nullptr;
  state_->onDestroyed = nullptr;
  state_.reset();
}

void TWindowSubclass::CallPrevious(TMessage& m) const {
  if (!Installed()) return;
  m.Result = DefSubclassProc(state_->window, m.Msg, m.WParam, m.LParam);
}

// WM_NCDESTROY is the window's last message: passed on, reported, and the subclass taken off
// (comctl32 asks every subclass to go by then).
LRESULT CALLBACK TWindowSubclass::Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR data) {
  if (!data) {  // a pass-through left above a swapped-in procedure
    const LRESULT result = DefSubclassProc(window, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(window, &TWindowSubclass::Proc, id);
    return result;
  }
  const std::shared_ptr<TState> state = reinterpret_cast<TState*>(data)->self.lock();
  if (!state || !state->handler) return DefSubclassProc(window, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    const LRESULT result = DefSubclassProc(window, msg, wParam, lParam);
    RemoveWindowSubclass(window, &TWindowSubclass::Proc, id);
    state->window = nullptr;
    state->handler = nullptr;
    if (const std::function<void()> told = std::move(state->onDestroyed)) told();
    return result;
  }
  TMessage m{msg, wParam, lParam, 0};
  try {
    const TWndMethod handler = state->handler;  // the handler may remove the subclass
    handler(m);
  } catch (...) {
    HandleEventException();
  }
  return m.Result;
}
