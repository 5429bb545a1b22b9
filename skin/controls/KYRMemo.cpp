#include "skin/controls/KYRMemo.h"

#include <algorithm>
#include <cstdlib>

#include "framework/core/ScopeGuard.h"
#include "skin/KYRPublic.h"

namespace {

// The bars stand on the left where a right-to-left memo reads on a Middle-East system.
bool BarsOnTheLeft(TBiDiMode mode) {
  return mode != bdLeftToRight && mode != bdRightToLeftNoAlign && MiddleEastLocale();
}

int32_t Saturate(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

TkyrMemo::TkyrMemo(TComponent* owner) : TkyrStyled(owner) {
  TControlStyle style = ControlStyle();
  style.Include(csOpaque);
  SetControlStyle(style);
  SetBorderStyle(bsNone);
  SetBorderWidth(2);
  InitUIStyle();
}

// A bar outlives the memo more often than not: its change handler must not point in here.
TkyrMemo::~TkyrMemo() {
  Destroying();
  for (TComponentRef<TkyrScrollBar>* slot : {&hBar_, &vBar_}) {
    TkyrScrollBar* bar = *slot;
    *slot = nullptr;
    if (bar) Release(bar);
  }
}

// ---- properties ----

void TkyrMemo::SetBorderColor(TColor value) {
  borderColor_ = value;
  InvalidateFrame();
}

void TkyrMemo::ApplyUIStyle(const TkyrStyleSource& source) {
  borderColor_ = source.Color(KYR_THEME_CONTROL_BORDER_COLOR);
  // The bars take the memo's theme and its effective style, and read the images it shares.
  const TkyrStyleSource handed = source.HandedDown(source.EffectiveStyle());
  for (TkyrScrollBar* bar : {hBar_.Get(), vBar_.Get()})
    if (bar) bar->ApplyStyle(handed);
  InvalidateFrame();
}

void TkyrMemo::DeclarePublished(TPublished<TkyrMemo>& p) {
  p.Component("FileTheme", &TkyrMemo::FileTheme, &TkyrMemo::SetFileTheme);
  p.Enumeration("UIStyle", TkyrUIStyleInfo, &TkyrMemo::UIStyle, &TkyrMemo::SetUIStyle);
  p.Color("BorderColor", &TkyrMemo::BorderColor, &TkyrMemo::SetBorderColor);
  p.Component("VScrollBar", &TkyrMemo::VScrollBar, &TkyrMemo::SetVScrollBar);
  p.Component("HScrollBar", &TkyrMemo::HScrollBar, &TkyrMemo::SetHScrollBar);
}

// ---- binding ----

void TkyrMemo::Bind(TComponentRef<TkyrScrollBar>& slot, TkyrScrollBar* value, TkyrProgressBarOrientation orientation) {
  if (slot == value) return;
  TkyrScrollBar* old = slot;
  slot = value;
  if (old) Release(old);
  if (value) {
    value->SetOrientation(orientation);
    value->SetOnChange([this, value](TObject*) { BarChanged(*value); });
    value->BringToFront();
  }
  UpdateNativeBars();
  if (value) PlaceBars();
}

void TkyrMemo::Release(TkyrScrollBar* bar) {
  bar->SetOnChange(nullptr);
  bar->SetLineButton(0);
  bar->SetMax(100);
  bar->SetEnabled(true);
}

// The EDIT control's own bars follow the binding (a change re-creates the window).
void TkyrMemo::UpdateNativeBars() {
  if (IsDestroying() || (Owner() && Owner()->IsDestroying())) return;
  static constexpr TScrollStyle kStyles[2][2] = {{ssNone, ssHorizontal}, {ssVertical, ssBoth}};
  SetScrollBars(kStyles[vBar_ != nullptr][hBar_ != nullptr]);
}

// ---- the bars follow the memo ----

void TkyrMemo::PlaceBars() {
  const int l = Left(), t = Top(), w = Width(), h = Height();
  const bool left = BarsOnTheLeft(BiDiMode());
  if (TkyrScrollBar* b = hBar_) {
    b->SetVisible(Visible() && b->Height() <= h);
    const int vw = vBar_ ? vBar_->Width() : 0;
    const int bl = left && vBar_ ? l + vw + 1 : l + 1;
    const int bw = !left ? w - 1 - vw : vBar_ ? w - vw - 2 : w - 2;
    b->SetBounds(bl, t + h - b->Height() - 2, std::max(bw, 0), b->Height());
  }
  if (TkyrScrollBar* v = vBar_) {
    v->SetVisible(Visible() && v->Width() <= w);
    const int vh = h - 2 - (hBar_ ? hBar_->Height() : 0);
    v->SetBounds(left ? l + 2 : l + w - v->Width() - 2, t + 1, v->Width(), std::max(vh, 0));
  }
  SyncBars();
}

void TkyrMemo::SyncBars() {
  if (scrollingFromBar_ || !HandleAllocated()) return;
  TRestoreOnExit<bool> updating(updatingBars_, true);
  if (hBar_) SyncBar(*hBar_.Get(), OBJID_HSCROLL, SB_HORZ);
  if (vBar_) SyncBar(*vBar_.Get(), OBJID_VSCROLL, SB_VERT);
}

// The native thumb's length becomes the bar's LineButton, so both thumbs look alike.
void TkyrMemo::SyncBar(TkyrScrollBar& bar, LONG objectId, int which) {
  const HWND window = HandleIfAllocated();
  SCROLLBARINFO info{};
  info.cbSize = sizeof info;
  // Wine fails the call while the EDIT control has not set any scroll state yet (a window not
  // yet shown): nothing to scroll. Systems without the function are not supported.
  const bool known = DynGetScrollBarInfo(window, objectId, &info);
  if (known && info.rgstate[0] != STATE_SYSTEM_INVISIBLE && info.rgstate[0] != STATE_SYSTEM_UNAVAILABLE && Enabled()) {
    bar.SetLineButton(std::abs(info.xyThumbBottom - info.xyThumbTop));
    if (which == SB_HORZ) bar.SetSmallChange(Saturate(int64_t{bar.PageSize()} * 3));
    bar.SetEnabled(true);
    bar.SetThumbVisible(true);
  } else {
    bar.SetLineButton(0);
    bar.SetEnabled(false);
    bar.SetThumbVisible(false);
  }
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
  GetScrollInfo(window, which, &si);
  bar.SetMax(Saturate(int64_t{si.nMax} - int64_t{si.nPage} + 1));
  bar.SetMin(si.nMin);
  bar.SetPosition(si.nPos);
}

// ---- the memo follows the bars ----

void TkyrMemo::BarChanged(TkyrScrollBar& bar) {
  if (updatingBars_ || !HandleAllocated()) return;
  TRestoreOnExit<bool> scrolling(scrollingFromBar_, true);
  if (&bar == vBar_) {
    ScrollVertically(bar.Position());
  } else {
    const WORD position = static_cast<WORD>(std::clamp<int32_t>(bar.Position(), 0, 0xFFFF));
    SendMessageA(HandleIfAllocated(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position), 0);
  }
  Invalidate();
}

// SB_THUMBPOSITION has 16 bits for the position; beyond them the EDIT control is scrolled by
// the difference in lines, its vertical position being its first visible line.
void TkyrMemo::ScrollVertically(int32_t position) {
  const HWND window = HandleIfAllocated();
  if (position >= 0 && position <= 0xFFFF) {
    SendMessageA(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position), 0);
    return;
  }
  const auto first = static_cast<int32_t>(SendMessageA(window, EM_GETFIRSTVISIBLELINE, 0, 0));
  SendMessageA(window, EM_LINESCROLL, 0, static_cast<LPARAM>(int64_t{position} - first));
}

// ---- the frame ----

void TkyrMemo::PaintFrame() {
  if (HandleAllocated()) PaintWindowBorder(*this, borderColor_, Color(), true);
}

void TkyrMemo::InvalidateFrame() {
  if (HandleAllocated() && !IsDestroying())
    RedrawWindow(HandleIfAllocated(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

// ---- messages ----

void TkyrMemo::WndProc(TMessage& m) {
  static constexpr TMessageEntry<TkyrMemo> kTable[] = {
      {WM_SIZE, &TkyrMemo::WMSizeOrMove},          {WM_MOVE, &TkyrMemo::WMSizeOrMove},
      {CM_VISIBLECHANGED, &TkyrMemo::CMVisibleChanged},
      {CM_ENABLEDCHANGED, &TkyrMemo::SyncAfterDefault},
      {WM_CUT, &TkyrMemo::SyncAfterDefault},       {WM_PASTE, &TkyrMemo::SyncAfterDefault},
      {WM_CLEAR, &TkyrMemo::SyncAfterDefault},     {WM_UNDO, &TkyrMemo::SyncAfterDefault},
      {WM_SETTEXT, &TkyrMemo::SyncAfterDefault},   {WM_KEYDOWN, &TkyrMemo::SyncAfterDefault},
      {WM_CHAR, &TkyrMemo::SyncAfterDefault},      {WM_MOUSEWHEEL, &TkyrMemo::SyncAfterDefault},
      {EM_REPLACESEL, &TkyrMemo::SyncAfterDefault}, {EM_LINESCROLL, &TkyrMemo::SyncAfterDefault},
      {EM_SCROLL, &TkyrMemo::SyncAfterDefault},    {EM_SCROLLCARET, &TkyrMemo::SyncAfterDefault},
      {WM_LBUTTONDOWN, &TkyrMemo::WMLButtonDown},  {WM_LBUTTONUP, &TkyrMemo::WMLButtonUp},
      {WM_MOUSEMOVE, &TkyrMemo::WMMouseMove},
      {WM_HSCROLL, &TkyrMemo::WMScroll},           {WM_VSCROLL, &TkyrMemo::WMScroll},
      {WM_PAINT, &TkyrMemo::WMPaintFrame},         {WM_NCPAINT, &TkyrMemo::WMPaintFrame},
      {WM_SETFONT, &TkyrMemo::WMSetFont},
  };
  if (!DispatchMessageTable(*this, kTable, m)) inherited::WndProc(m);
}

// Typed characters (WM_CHAR) and the EM_ scrolls and replacements a program sends change the
// text or its scroll position as much as the messages of the table do.
void TkyrMemo::SyncAfterDefault(TMessage& m) {
  inherited::WndProc(m);
  SyncBars();
}

// Text set before the window existed is in it now, with the scroll state that goes with it.
void TkyrMemo::CreateWindowHandle(const TCreateParams& params) {
  inherited::CreateWindowHandle(params);
  SetTextMargins();
  PlaceBars();
}

// Without the sunken edge the EDIT control puts its text against the skinned border, which
// swallows the first column of pixels; a small margin keeps the text clear of it. A new font
// resets the margins to the font's own, so they are set again after every WM_SETFONT.
void TkyrMemo::SetTextMargins() {
  constexpr WORD kTextMargin = 2;
  SendMessageA(HandleIfAllocated(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
               MAKELPARAM(kTextMargin, kTextMargin));
}

void TkyrMemo::WMSetFont(TMessage& m) {
  inherited::WndProc(m);
  SetTextMargins();
}

// Windows made for a form being shown can come out with the memo above its bars (bound before
// any window existed); the first paint finds the bars' windows made and lifts them.
void TkyrMemo::RaiseBars() {
  for (TkyrScrollBar* bar : {hBar_.Get(), vBar_.Get()}) {
    if (!bar || !bar->HandleAllocated()) continue;
    HWND above = GetWindow(HandleIfAllocated(), GW_HWNDPREV);
    while (above && above != bar->HandleIfAllocated()) above = GetWindow(above, GW_HWNDPREV);
    if (!above) bar->BringToFront();
  }
}

void TkyrMemo::WMSizeOrMove(TMessage& m) {
  inherited::WndProc(m);
  PlaceBars();
}

void TkyrMemo::WMLButtonDown(TMessage& m) {
  inherited::WndProc(m);
  leftButtonDown_ = true;
  SyncBars();
}

void TkyrMemo::WMLButtonUp(TMessage& m) {
  inherited::WndProc(m);
  leftButtonDown_ = false;
}

// A selection dragged past the edge scrolls the text.
void TkyrMemo::WMMouseMove(TMessage& m) {
  inherited::WndProc(m);
  if (leftButtonDown_) SyncBars();
}

void TkyrMemo::WMScroll(TMessage& m) {
  inherited::WndProc(m);
  if (!scrollingFromBar_) SyncBars();
}

void TkyrMemo::WMPaintFrame(TMessage& m) {
  inherited::WndProc(m);
  PaintFrame();
  if (m.Msg == WM_PAINT) RaiseBars();
}

// A bar is shown only with its memo; moving or sizing a hidden memo leaves it hidden.
void TkyrMemo::CMVisibleChanged(TMessage& m) {
  inherited::WndProc(m);
  if (Visible()) return PlaceBars();
  for (TkyrScrollBar* bar : {hBar_.Get(), vBar_.Get()})
    if (bar) bar->SetVisible(false);
}
