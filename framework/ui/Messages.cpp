#include "framework/ui/Messages.h"

#include <set>

#include "framework/ui/Controls.h"
#include "framework/ui/WindowClasses.h"

void RedrawFrame(HWND window) { SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_FRAMEONLY); }

// ---- TWindowProcHook ----
namespace {
// Hook states by the tag they install, so an uninstall can skip pass-throughs left below it.
std::set<const void*>& HookStates() {
  static std::set<const void*> states;
  return states;
}
}  // namespace

TWindowProcHook::TState::TState() { HookStates().insert(this); }
TWindowProcHook::TState::~TState() { HookStates().erase(this); }

void TWindowProcHook::Install(TControl* control, TWndMethod hook) {
  Uninstall();
  control_ = control;
  state_ = std::make_shared<TState>();
  state_->hook = std::move(hook);
  state_->previous = control->WindowProc();
  state_->previousTag = control->WindowProcTag();
  std::shared_ptr<TState> s = state_;
  control->SetWindowProc([s](TMessage& m) { s->active ? s->hook(m) : s->previous(m); }, s.get());
}

void TWindowProcHook::Uninstall() {
  if (!control_) return;
  state_->active = false;
  if (control_->WindowProcTag() == state_.get()) {
    // On top: put back the first procedure below that is not a pass-through.
    TWndMethod restore = state_->previous;
    const void* tag = state_->previousTag;
    while (HookStates().count(tag) && !static_cast<const TState*>(tag)->active) {
      const auto* below = static_cast<const TState*>(tag);
      tag = below->previousTag;
      restore = below->previous;  // copied before the old value (which may own BELOW) goes
    }
    control_->SetWindowProc(std::move(restore), tag);
  }
  control_ = nullptr;
  state_.reset();
}

void TWindowProcHook::CallPrevious(TMessage& m) const {
  if (state_) state_->previous(m);
}

// ---- TUtilityWindow ----
TUtilityWindow::TUtilityWindow(THandler handler, const TUtilityWindowParams& params) : handler_(std::move(handler)) {
  static const char* cls = RegisterWindowClass("VantorUtilityWindow", 0, &TUtilityWindow::Proc);
  const RECT& r = params.Bounds;
  window_ = CreateWindowExA(params.ExStyle, cls, params.Caption.c_str(), params.Style, r.left, r.top, r.right - r.left,
                            r.bottom - r.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!window_) throw Exception("Error creating a utility window");
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TUtilityWindow::~TUtilityWindow() {
  SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
}

LRESULT CALLBACK TUtilityWindow::Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TUtilityWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  TMessage m{msg, wParam, lParam, 0};
  try {
    if (self && self->handler_(m)) return m.Result;
  } catch (...) {
    HandleEventException();
    return 0;
  }
  return DefWindowProcA(window, msg, wParam, lParam);
}
