// Messages: the window-procedure idiom every framework window follows, the framework's own
// notifications, replacing a control's window procedure, and windows of no control.
//
// One window-procedure idiom: Perform/WindowProc() -> the virtual WndProc, which looks the message
// up in the class's own table and otherwise calls the parent class's WndProc; what no table takes
// reaches DefaultHandler (the saved window procedure, DefWindowProcA for our own classes). A class
// adds handlers like this:
//     void TMyControl::WndProc(TMessage& m) {
//       static constexpr TMessageEntry<TMyControl> kTable[] = {{WM_SIZE, &TMyControl::WMSize}};
//       if (!DispatchMessageTable(*this, kTable, m)) inherited::WndProc(m);
//     }
//     void TMyControl::WMSize(TMessage& m) { inherited::WndProc(m); PlaceBars(); }  // "after"
// WindowProc can be replaced (SetWindowProc) by another object that saves the old one and
// chains to it; TWindowProcHook does this and puts the saved procedure back when it goes.
//
// Child notifications that Windows sends to a parent (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM,
// WM_MEASUREITEM, WM_CTLCOLOR*, WM_HSCROLL/WM_VSCROLL with a control handle) are reflected to the
// child they concern as CN_BASE + the message number; unhandled, they fall back to the parent.
// Exceptions never leave a window procedure: they go to the application's error report.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

class TControl;

// ---- framework notifications ----
inline constexpr UINT CM_BASE = 0xB000;
inline constexpr UINT CM_ACTIVATE = CM_BASE + 0;
inline constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
inline constexpr UINT CM_DIALOGKEY = CM_BASE + 5;       // WParam: virtual key; Result != 0 when used
inline constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;      // WParam: character; Result != 0 when used
inline constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;    // LParam: the control that got the focus
inline constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
inline constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
inline constexpr UINT CM_VISIBLECHANGED = CM_BASE + 0x0B;  // WParam: the new Visible
inline constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 0x0C;
inline constexpr UINT CM_COLORCHANGED = CM_BASE + 0x0D;
inline constexpr UINT CM_FONTCHANGED = CM_BASE + 0x0E;
inline constexpr UINT CM_CURSORCHANGED = CM_BASE + 0x0F;
inline constexpr UINT CM_TEXTCHANGED = CM_BASE + 0x12;
inline constexpr UINT CM_MOUSEENTER = CM_BASE + 0x13;
inline constexpr UINT CM_MOUSELEAVE = CM_BASE + 0x14;
inline constexpr UINT CM_RECREATEWND = CM_BASE + 0x33;   // sent after the window was re-created
inline constexpr UINT CM_WNDCREATED = CM_BASE + 0x34;    // sent after every creation of the window
// Reflected child notifications: CN_BASE + the original message number.
inline constexpr UINT CN_BASE = 0xBC00;
inline constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
inline constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
inline constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
inline constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
inline constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
inline constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
inline constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
inline constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
inline constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;

// SetWindowPos flags that change nothing but make Windows recompute and redraw the frame
// (WM_NCCALCSIZE, WM_NCPAINT): no size, no move, no Z-order, no activation, frame changed.
inline constexpr UINT SWP_FRAMEONLY = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
static_assert(SWP_FRAMEONLY == 0x37);
// SetWindowPos(WINDOW, SWP_FRAMEONLY): the non-client area is computed and painted anew in place.
void RedrawFrame(HWND window);

// ---- messages ----
struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};
using TWndMethod = std::function<void(TMessage&)>;

template <class T>
struct TMessageEntry {
  UINT Msg;
  void (T::*Handler)(TMessage&);
};

// Runs the handler of M in TABLE on SELF; false when the table has none.
template <class T, std::size_t N>
bool DispatchMessageTable(T& self, const TMessageEntry<T> (&table)[N], TMessage& m) {
  for (const TMessageEntry<T>& entry : table) {
    if (entry.Msg == m.Msg) {
      (self.*entry.Handler)(m);
      return true;
    }
  }
  return false;
}

// ---- replacing a control's window procedure ----
// Installs HOOK as CONTROL's WindowProc, keeping the procedure it replaced; Previous() is what
// the hook chains to. Uninstall (or the destructor) puts the saved procedure back; a hook taken
// off while a later one still sits on top of it turns into a plain pass-through, so the chain
// stays intact. The hook must go before the control does.
class TWindowProcHook {
public:
  TWindowProcHook() = default;
  TWindowProcHook(TControl* control, TWndMethod hook) { Install(control, std::move(hook)); }
  ~TWindowProcHook() { Uninstall(); }
  TWindowProcHook(const TWindowProcHook&) = delete;
  TWindowProcHook& operator=(const TWindowProcHook&) = delete;

  void Install(TControl* control, TWndMethod hook);
  void Uninstall();
  bool Installed() const { return control_ != nullptr; }
  // Passes M on to the saved procedure.
  void CallPrevious(TMessage& m) const;

private:
  struct TState {
    TState();
    ~TState();
    TState(const TState&) = delete;
    TState& operator=(const TState&) = delete;
    TWndMethod hook;
    TWndMethod previous;
    const void* previousTag = nullptr;
    bool active = true;
  };
  TControl* control_ = nullptr;
  std::shared_ptr<TState> state_;
};

// Reports the exception being handled to the application's error report (never throws).
void HandleEventException();

// How a TUtilityWindow is created: by default hidden, without a taskbar button, at no size.
struct TUtilityWindowParams {
  DWORD Style = WS_POPUP;
  DWORD ExStyle = WS_EX_TOOLWINDOW;
  RECT Bounds{0, 0, 0, 0};  // screen coordinates
  std::string Caption;
};

// A top-level window whose messages go to HANDLER (timers, popup menus, the application
// window); HANDLER returns false for messages it leaves to DefWindowProcA. Exceptions go to the
// error report.
class TUtilityWindow {
public:
  using THandler = std::function<bool(TMessage&)>;
  explicit TUtilityWindow(THandler handler, const TUtilityWindowParams& params = {});
  ~TUtilityWindow();
  TUtilityWindow(const TUtilityWindow&) = delete;
  TUtilityWindow& operator=(const TUtilityWindow&) = delete;
  HWND Handle() const { return window_; }

private:
  static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  THandler handler_;
  HWND window_ = nullptr;
};
