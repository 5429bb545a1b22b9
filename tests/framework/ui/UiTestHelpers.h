// Helpers for the windowing tests: message pumping, pixel capture, message recording.
#pragma once

#include <windows.h>

#include <dlgs.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

#include "framework/core/ScopeGuard.h"
#include "framework/graphics/GdiHandles.h"
#include "framework/ui/Controls.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"

namespace uitest {

// Dispatches every queued message of this thread.
inline void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// Dispatches this thread's messages until none is left (true) or LIMIT have gone (false): a
// window that never validates keeps WM_PAINT coming for ever, which Pump would never leave.
inline bool PumpsDry(int limit = 1000) {
  MSG msg;
  for (int i = 0; i < limit; ++i) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return true;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return false;
}

// Pumps until DONE holds; gives up after a generous bound so a broken build fails instead of
// hanging (the bound is a safety net, never an expectation).
inline bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 5000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > limitMs) return false;
    Pump();
    Sleep(1);
  }
  return true;
}

// A 32-bit top-down DIB selected into a memory DC, for WM_PRINTCLIENT captures.
class TCapture {
public:
  TCapture(int width, int height) : width_(width), dc_(nullptr) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap_.Reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<uint32_t*>(bits);
    old_ = SelectObject(dc_.Get(), bitmap_.Get());
  }
  ~TCapture() { SelectObject(dc_.Get(), old_); }
  TCapture(const TCapture&) = delete;
  TCapture& operator=(const TCapture&) = delete;
  HDC DC() const { return dc_.Get(); }
  // The pixel as a TColor ($00BBGGRR).
  TColor Pixel(int x, int y) const {
    GdiFlush();
    const uint32_t v = bits_[y * width_ + x];
    return static_cast<TColor>(((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF));
  }
  void Fill(TColor color) {
    TBrushHandle brush(CreateSolidBrush(static_cast<COLORREF>(color)));
    RECT r{0, 0, width_, 1 << 15};
    FillRect(dc_.Get(), &r, brush.Get());
  }

private:
  int width_;
  TMemoryDC dc_;
  TBitmapHandle bitmap_;
  uint32_t* bits_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// CONTROL's client area as it paints now (WM_PRINTCLIENT over magenta), read by pixel.
struct TClientShot {
  explicit TClientShot(TWinControl& control) : capture(control.Width(), control.Height()) {
    capture.Fill(clFuchsia);
    SendMessageA(control.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(capture.DC()), PRF_CLIENT);
  }
  TColor operator()(int x, int y) const { return capture.Pixel(x, y); }
  TCapture capture;
};

// How a logged message reached the control.
enum class TDelivery {
  Sent,       // SendMessage: the window procedure was called for it
  Posted,     // taken from the thread's queue and dispatched: posted messages, input, WM_PAINT, WM_TIMER
  Performed,  // handed to the control directly: Perform, reflected notifications, windowless controls
};

struct TLoggedMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  TDelivery Delivery = TDelivery::Performed;
  bool operator==(const TLoggedMessage&) const = default;
};

inline void PrintTo(const TLoggedMessage& m, std::ostream* os) {
  static const char* const kDelivery[] = {"sent", "posted", "performed"};
  *os << std::hex << "{0x" << m.Msg << ", 0x" << m.WParam << ", 0x" << m.LParam << std::dec << ", "
      << kDelivery[static_cast<int>(m.Delivery)] << "}";
}

// What this thread's message hooks see being delivered, so that a message log can tell a sent
// message from a queued one and both from a direct call. InSendMessage cannot: it is true only
// for messages sent from another thread, and the tests send from their own. WH_CALLWNDPROC is
// called before the window procedure of every sent message, same thread included, and
// WH_CALLWNDPROCRET after it, so the sends in progress form a stack; WH_GETMESSAGE sees each
// message GetMessage/PeekMessage take off the queue, just before DispatchMessage calls the
// window procedure without either send hook (both on Windows and under Wine). A message that
// reaches the control with neither is a direct call.
//
// A delivery is claimed by the first TMessage the framework makes of it; every log in the same
// hook chain sees that same object, and a Perform of an equal message during the delivery
// makes another one, so it is not taken for the delivery.
class TDeliveryWatch {
public:
  // Keeps the hooks installed while it lives.
  class TUser {
  public:
    TUser() { ThisThread().AddUser(); }
    ~TUser() { ThisThread().RemoveUser(); }
    TUser(const TUser&) = delete;
    TUser& operator=(const TUser&) = delete;
  };

  static TDeliveryWatch& ThisThread() {
    thread_local TDeliveryWatch watch;
    return watch;
  }

  // How M came to WINDOW's control (WINDOW nullptr: a windowless control).
  TDelivery Claim(HWND window, const TMessage& m) {
    if (!window) return TDelivery::Performed;
    if (!sending_.empty() && Takes(sending_.back(), window, m)) return TDelivery::Sent;
    if (retrieved_.window && Takes(retrieved_, window, m)) return TDelivery::Posted;
    return TDelivery::Performed;
  }
  // The control is done with M: a queued message it claimed is over.
  void Release(const TMessage& m) {
    if (retrieved_.claimedBy == &m) retrieved_ = {};
  }

private:
  struct TDelivering {
    HWND window = nullptr;
    UINT msg = 0;
    WPARAM wParam = 0;
    const TMessage* claimedBy = nullptr;
  };

  // LParam is left out: Windows may hand the hook a converted copy of a pointer parameter.
  static bool Takes(TDelivering& d, HWND window, const TMessage& m) {
    if (d.window != window || d.msg != m.Msg || d.wParam != m.WParam) return false;
    if (d.claimedBy && d.claimedBy != &m) return false;
    d.claimedBy = &m;
    return true;
  }

  void AddUser() {
    retrieved_ = {};  // taken off the queue before this log existed: never its to claim
    if (users_++) return;
    const DWORD thread = GetCurrentThreadId();
    callHook_ = SetWindowsHookExA(WH_CALLWNDPROC, &CallWndProc, nullptr, thread);
    returnHook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, &CallWndProcRet, nullptr, thread);
    getHook_ = SetWindowsHookExA(WH_GETMESSAGE, &GetMessageProc, nullptr, thread);
  }
  void RemoveUser() {
    if (--users_) return;
    UnhookWindowsHookEx(callHook_);
    UnhookWindowsHookEx(returnHook_);
    UnhookWindowsHookEx(getHook_);
    sending_.clear();
    retrieved_ = {};
  }

  static LRESULT CALLBACK CallWndProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
      const auto* s = reinterpret_cast<const CWPSTRUCT*>(lParam);
      ThisThread().sending_.push_back({s->hwnd, s->message, s->wParam, nullptr});
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static LRESULT CALLBACK CallWndProcRet(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
      // A send that began before the hooks were installed has no entry to take off.
      const auto* s = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
      std::vector<TDelivering>& sending = ThisThread().sending_;
      if (!sending.empty() && sending.back().window == s->hwnd && sending.back().msg == s->message)
        sending.pop_back();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static LRESULT CALLBACK GetMessageProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE) {
      const auto* msg = reinterpret_cast<const MSG*>(lParam);
      ThisThread().retrieved_ = {msg->hwnd, msg->message, msg->wParam, nullptr};
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  int users_ = 0;
  HHOOK callHook_ = nullptr, returnHook_ = nullptr, getHook_ = nullptr;
  std::vector<TDelivering> sending_;  // innermost last
  TDelivering retrieved_;             // the queued message being dispatched (window nullptr: none)
};

// Records the messages of interest that reach a control, through a window-procedure hook: their
// numbers in MESSAGES, and in RECORDS with their parameters and how each was delivered.
class TMessageLog {
public:
  TMessageLog(TControl* control, std::vector<UINT> interesting)
      : control_(control), interesting_(std::move(interesting)), hook_(control, [this](TMessage& m) { Receive(m); }) {}
  std::vector<UINT> messages;
  std::vector<TLoggedMessage> records;
  void Clear() {
    messages.clear();
    records.clear();
  }

private:
  void Receive(TMessage& m) {
    if (std::find(interesting_.begin(), interesting_.end(), m.Msg) == interesting_.end()) return hook_.CallPrevious(m);
    TDeliveryWatch& watch = TDeliveryWatch::ThisThread();
    const auto* windowed = dynamic_cast<const TWinControl*>(control_);
    const TDelivery delivery = watch.Claim(windowed ? windowed->HandleIfAllocated() : nullptr, m);
    messages.push_back(m.Msg);
    records.push_back({m.Msg, m.WParam, m.LParam, delivery});
    auto release = OnScopeExit([&] { watch.Release(m); });
    hook_.CallPrevious(m);
  }

  TControl* control_;
  std::vector<UINT> interesting_;
  TDeliveryWatch::TUser watching_;
  TWindowProcHook hook_;
};

// Message boxes recorded instead of shown, while the object lives.
class TMessageBoxRecorder {
public:
  struct TBox {
    std::string text, caption;
    UINT flags;
  };
  TMessageBoxRecorder() {
    previous_ = SetMessageBoxHook([this](HWND, const std::string& text, const std::string& caption, UINT flags) {
      boxes.push_back({text, caption, flags});
      return IDOK;
    });
  }
  ~TMessageBoxRecorder() { SetMessageBoxHook(previous_); }
  std::vector<TBox> boxes;

private:
  TMessageBoxHook previous_;
};

// Moves the pointer with an absolute SendInput move (relative moves are accelerated).
inline void MovePointerTo(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

inline void MouseButton(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  SendInput(1, &in, sizeof in);
}

inline void PressKey(WORD key) {
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = key;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof in[0]);
}

// The popup menus shown now (the system's #32768 windows).
inline int MenuWindowsShown() {
  int shown = 0;
  for (HWND w = FindWindowExA(nullptr, nullptr, "#32768", nullptr); w; w = FindWindowExA(nullptr, w, "#32768", nullptr))
    shown += IsWindowVisible(w) != FALSE;
  return shown;
}

// Steps run from a thread timer, which the menu loop dispatches while it blocks the test. A
// step returns true when done; the script gives up after a bound and closes any open menu (and
// whatever else CLOSE closes) on every tick from then on, so a failing step cannot leave the test
// hanging.
class TMenuScript {
public:
  explicit TMenuScript(std::vector<std::function<bool()>> steps, std::function<void()> close = [] { EndMenu(); })
      : steps_(std::move(steps)), close_(std::move(close)) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 15, &TMenuScript::Tick);
  }
  ~TMenuScript() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  TMenuScript(const TMenuScript&) = delete;
  TMenuScript& operator=(const TMenuScript&) = delete;
  // Every step done; Over also when the script gave up on a step that never came true.
  bool Over() const { return next_ >= steps_.size(); }
  bool Done() const { return Over() && !stuck_; }
  // The step given up on.
  size_t Step() const { return stuckAt_; }

private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    TMenuScript* s = current_;
    if (!s) return;
    if (!s->Over() && ++s->ticks_ > 400) {
      s->stuck_ = true;
      s->stuckAt_ = s->next_;
      s->next_ = s->steps_.size();
    }
    if (s->Over()) {
      s->close_();
      return;
    }
    if (s->steps_[s->next_]()) ++s->next_;
  }
  static inline TMenuScript* current_ = nullptr;
  std::vector<std::function<bool()>> steps_;
  std::function<void()> close_;
  size_t next_ = 0;
  int ticks_ = 0;
  bool stuck_ = false;
  size_t stuckAt_ = 0;
  UINT_PTR timer_ = 0;
};

// A new control of class T owned by PARENT and placed on it at LEFT, TOP with
// WIDTH x HEIGHT (a label keeps that size instead of fitting its text).
template <class T>
T* Place(TWinControl* parent, int left, int top, int width, int height) {
  auto* control = new T(parent);
  if constexpr (std::is_base_of_v<TCustomLabel, T>) control->SetAutoSize(false);
  control->SetBounds(left, top, width, height);
  control->SetParent(parent);
  return control;
}

// A form shown at a fixed place, deleted with the object.
class TShownForm {
public:
  explicit TShownForm(int width = 300, int height = 200) : form(new TForm(nullptr)) {
    form->SetBorderStyle(bsNone);
    form->SetBounds(40, 40, width, height);
    form->Show();
    SetForegroundWindow(form->Handle());
    Pump();
  }
  ~TShownForm() { delete form; }
  TShownForm(const TShownForm&) = delete;
  TShownForm& operator=(const TShownForm&) = delete;
  TForm* operator->() const { return form; }
  TForm* form;
};

// While it lives, a 50 ms thread timer looks for the file dialog titled TITLE (the system's
// #32770 window), types NAME into its file-name field and confirms it: the real open and save
// dialogs driven as a person would. One at a time (a timer procedure has no context).
class TFileDialogFiller {
public:
  TFileDialogFiller(const std::string& title, const std::string& name) {
    state_ = {title, name, false};
    timer_ = SetTimer(nullptr, 0, 50, &TFileDialogFiller::Tick);
  }
  ~TFileDialogFiller() { KillTimer(nullptr, timer_); }
  TFileDialogFiller(const TFileDialogFiller&) = delete;
  TFileDialogFiller& operator=(const TFileDialogFiller&) = delete;
  // Whether the dialog was found and filled.
  bool Seen() const { return state_.seen; }

private:
  struct TState {
    std::string title, name;
    bool seen;
  };
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = FindWindowA("#32770", state_.title.c_str());
    if (!dialog || state_.seen) return;
    HWND field = GetDlgItem(dialog, edt1);         // the old-style name field
    if (!field) field = GetDlgItem(dialog, cmb13);  // the explorer-style one
    if (!field) return;
    state_.seen = true;
    SetWindowTextA(field, state_.name.c_str());
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  }
  static inline TState state_;
  UINT_PTR timer_ = 0;
};

}  // namespace uitest
