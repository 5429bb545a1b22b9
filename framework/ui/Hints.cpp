#include "framework/ui/Hints.h"

#include <commctrl.h>

#include "framework/ui/Controls.h"

namespace {

constexpr UINT_PTR kShowTimer = 1;
constexpr UINT_PTR kHideTimer = 2;
constexpr UINT_PTR kToolId = 1;
constexpr int kMaxTipWidth = 300;

// The tool's description; TTTOOLINFOA_V2_SIZE, because comctl32 before version 6 refuses the
// larger structure newer headers declare.
TOOLINFOA ToolInfo(HWND owner, const std::string& text) {
  TOOLINFOA info{};
  info.cbSize = TTTOOLINFOA_V2_SIZE;
  info.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  info.hwnd = owner;
  info.uId = kToolId;
  info.lpszText = const_cast<char*>(text.c_str());
  return info;
}

}  // namespace

std::string GetShortHint(const std::string& hint) { return hint.substr(0, hint.find('|')); }

std::string GetLongHint(const std::string& hint) {
  const size_t bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

THintWindow::THintWindow()
    : timers_(std::make_unique<TUtilityWindow>([this](TMessage& m) { return m.Msg == WM_TIMER && Timer(m.WParam); })) {}

THintWindow::~THintWindow() { Hide(); }

void THintWindow::MouseEntered(TControl* control, unsigned pause, unsigned hidePause) {
  if (control == armed_) return;
  Hide();
  armed_ = control;
  hidePause_ = hidePause;
  if (!control || !control->ShowHint() || GetShortHint(control->Hint()).empty()) return;
  SetTimer(timers_->Handle(), kShowTimer, pause, nullptr);
}

void THintWindow::Cancel() { Hide(); }

bool THintWindow::Timer(UINT_PTR id) {
  KillTimer(timers_->Handle(), id);
  if (id == kShowTimer)
    Show();
  else
    Hide();
  return true;
}

// The control may have gone or lost its hint while the pause ran.
void THintWindow::Show() {
  TControl* control = ControlUnderMouse();
  if (!control || control != armed_ || !control->ShowHint()) return;
  text_ = GetShortHint(control->Hint());
  if (text_.empty()) return;
  if (!tip_) CreateTip();
  TOOLINFOA info = ToolInfo(timers_->Handle(), text_);
  SendMessageA(tip_.Get(), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
  POINT at;
  GetCursorPos(&at);
  at.y += GetSystemMetrics(SM_CYCURSOR) * 2 / 3;  // below the arrow's tip, as tooltips sit
  SendMessageA(tip_.Get(), TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
  SendMessageA(tip_.Get(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
  showing_ = true;
  SetTimer(timers_->Handle(), kHideTimer, hidePause_, nullptr);
}

void THintWindow::Hide() {
  KillTimer(timers_->Handle(), kShowTimer);
  KillTimer(timers_->Handle(), kHideTimer);
  if (!showing_) return;
  showing_ = false;
  TOOLINFOA info = ToolInfo(timers_->Handle(), text_);
  SendMessageA(tip_.Get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
}

void THintWindow::CreateTip() {
  static const bool classesReady = [] {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_WIN95_CLASSES};
    return InitCommonControlsEx(&init) != FALSE;
  }();
  (void)classesReady;
  tip_.Reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, timers_->Handle(), nullptr,
                             GetModuleHandleA(nullptr), nullptr));
  if (!tip_) throw Exception("Cannot create the hint window");
  TOOLINFOA info = ToolInfo(timers_->Handle(), "");
  SendMessageA(tip_.Get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
  SendMessageA(tip_.Get(), TTM_SETMAXTIPWIDTH, 0, kMaxTipWidth);
}
