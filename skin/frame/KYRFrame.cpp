#include "skin/frame/KYRFrame.h"

#include <algorithm>

#include "skin/KYRPublic.h"

namespace {

// A size or corner from a theme reads -1 when the file lacks it.
int Size(int value) { return std::max(0, value); }

// FillRect would paint an inside-out rectangle normalised (PatBlt does), so empty ones are skipped.
void Fill(TCanvas& canvas, const RECT& r, TColor color) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(color);
  canvas.FillRect(r);
}

// PICTURE at (X, Y), or stretched over DEST, showing only what falls inside CLIP: the pieces of the
// title pictures that continue into the frame, without a temporary bitmap for each.
void DrawClipped(TCanvas& canvas, TBitmap& picture, int x, int y, const RECT& clip) {
  TClipRegionGuard keep(canvas.Handle());
  canvas.IntersectClipRect(clip);
  canvas.Draw(x, y, picture);
}

void StretchClipped(TCanvas& canvas, TBitmap& picture, const RECT& dest, const RECT& clip) {
  TClipRegionGuard keep(canvas.Handle());
  canvas.IntersectClipRect(clip);
  canvas.StretchDraw(dest, picture);
}

bool HasTitlePictures(const TkyrFrameLook& look) {
  return look.TitleBarVisible && look.Title.Left && look.Title.Right && look.Title.Client;
}

bool BitmapMode(const TkyrFrameLook& look) { return look.Borders && look.Borders->BitmapMode(); }

// The title pictures over the top of the frame: left picture at LEFT_X, the right one ending at
// the window's right edge, the client picture stretched between them, all cut to the top
// KYR_FRAME_WIDTH rows between STRIP_LEFT and STRIP_RIGHT.
void ContinueTitleStrip(TCanvas& canvas, int width, const TkyrTitlePictures& t, int leftX, int stripLeft,
                        int stripRight) {
  const RECT strip{stripLeft, 0, stripRight, KYR_FRAME_WIDTH};
  const int rightX = width - t.Right->Width();
  DrawClipped(canvas, *t.Left, leftX, 0, strip);
  DrawClipped(canvas, *t.Right, rightX, 0, strip);
  StretchClipped(canvas, *t.Client, RECT{t.Left->Width(), 0, rightX, t.Client->Height()}, strip);
}

// The right picture into the frame's right-hand piece CLIP: at its own size ending at X_END, or
// stretched over the piece when it is narrower than STRETCH_BELOW.
void ContinueTitleRightEdge(TCanvas& canvas, TBitmap& right, const RECT& clip, int xEnd, int stretchBelow) {
  if (right.Width() < stretchBelow) return StretchClipped(canvas, right, clip, clip);
  DrawClipped(canvas, right, xEnd - right.Width(), 0, clip);
}

void DrawCornerArcs(TCanvas& canvas, int width, TColor color) {
  constexpr int R = 11;
  canvas.Pen().SetStyle(psSolid);
  canvas.Pen().SetWidth(1);
  canvas.Pen().SetColor(color);
  canvas.Arc(width - 2 * R + 1, -1, width + 1, 2 * R - 1, width + 1, R - 1, width - R + 1, -1);
  canvas.Arc(-1, -1, 2 * R - 1, 2 * R - 1, R - 1, -1, -1, R - 1);
}

// Built-in mode: border, menu-bar gaps, title continuation or the hidden bar's top line.
void PaintBuiltinFrame(TCanvas& canvas, int W, int H, const TkyrFrameLook& look) {
  const int BW = Size(look.BorderWidth);
  const int F = KYR_FRAME_WIDTH;
  Fill(canvas, RECT{0, 0, BW, H}, look.BorderColor);
  Fill(canvas, RECT{0, H - BW, W, H}, look.BorderColor);
  Fill(canvas, RECT{W - BW, 0, W, H}, look.BorderColor);
  const TkyrFrameMenuBar& menu = look.MenuBar;
  if (menu.Exists && menu.Visible) {
    const int G = Size(menu.Top), MH = Size(menu.Height);
    Fill(canvas, RECT{BW, G, F, G + MH}, menu.Color);
    Fill(canvas, RECT{W - F, G, W - BW, G + MH}, menu.Color);
  }
  if (!look.TitleBarVisible) return Fill(canvas, RECT{0, 0, W, 1}, look.BorderColor);
  if (BW >= 4 || !HasTitlePictures(look)) return;
  const TkyrTitlePictures& t = look.Title;
  DrawClipped(canvas, *t.Left, BW, 0, RECT{BW, 0, F, t.Left->Height()});
  ContinueTitleRightEdge(canvas, *t.Right, RECT{W - F, 0, W - BW, t.Right->Height()}, W - 1, F);
  ContinueTitleStrip(canvas, W, t, 0, 2, W - F);
  if (FrameDrawsCornerArcs(look)) DrawCornerArcs(canvas, W, look.BorderColor);
}

// Bitmap mode: bottom bar, side images, inner lines, menu-bar gaps, title continuation.
void PaintBitmapFrame(TCanvas& canvas, int W, int H, const TkyrFrameLook& look) {
  const TkyrFrameBorders& borders = *look.Borders;
  const int SW = borders.SideWidth();
  const int BB = borders.BottomHeight();
  const int T = Size(look.TopHeight);
  if (BB > 0) DrawThreeSliceBar(*borders.Bottom(), canvas, RECT{0, H - BB, W, H}, false, true);
  canvas.StretchDraw(RECT{0, T, SW, H - BB}, *borders.Left());
  canvas.StretchDraw(RECT{W - SW, T, W, H - BB}, *borders.Right());
  Fill(canvas, RECT{SW, T, SW + 1, H - BB}, look.FillColor);
  Fill(canvas, RECT{SW + 1, H - BB - 1, W - SW - 1, H - BB}, look.FillColor);
  Fill(canvas, RECT{W - SW - 1, T, W - SW, H - BB}, look.FillColor);
  const TkyrFrameMenuBar& menu = look.MenuBar;
  if (menu.Exists && menu.Visible) {
    const int MH = Size(menu.Height);
    Fill(canvas, RECT{SW, T, SW + 1, T + MH + 3}, menu.Color);
    Fill(canvas, RECT{W - SW - 1, T + 3, W - SW, T + MH + 3}, menu.Color);
  }
  if (!HasTitlePictures(look))
    return Fill(canvas, RECT{SW, 0, W - SW, KYR_FRAME_WIDTH}, menu.Exists ? menu.Color : look.HostColor);
  const TkyrTitlePictures& t = look.Title;
  DrawClipped(canvas, *t.Left, 0, 0, RECT{0, 0, SW + 2, t.Left->Height()});
  ContinueTitleRightEdge(canvas, *t.Right, RECT{W - SW - 2, 0, W, t.Right->Height()}, W, SW + 2);
  ContinueTitleStrip(canvas, W, t, 1, SW, W - SW);
}

// The client area of WINDOW in window coordinates.
RECT ClientInWindow(HWND window, const RECT& windowRect) {
  RECT client{};
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&client, -windowRect.left, -windowRect.top);
  return client;
}

}  // namespace

// ---- non-client geometry ----

TkyrFrameInsets FrameInsets(int sideWidth, int bottomHeight) {
  const int SW = Size(sideWidth);
  if (SW == 0) return {KYR_FRAME_WIDTH, KYR_FRAME_WIDTH, KYR_FRAME_WIDTH, 1};
  return {SW + 1, KYR_FRAME_WIDTH, SW + 1, Size(bottomHeight) + 1};
}

RECT FrameClientRect(const RECT& window, int sideWidth, int bottomHeight) {
  const TkyrFrameInsets in = FrameInsets(sideWidth, bottomHeight);
  RECT client{window.left + in.Left, window.top + in.Top, window.right - in.Right, window.bottom - in.Bottom};
  client.right = std::max(client.right, client.left);
  client.bottom = std::max(client.bottom, client.top);
  return client;
}

// On input rgrc[0] is the new window rectangle (what lppos says, already settled for
// SWP_NOMOVE/SWP_NOSIZE), rgrc[2] the old client rectangle.
LRESULT FrameNCCalcSize(WPARAM wParam, LPARAM lParam, int sideWidth, int bottomHeight) {
  if (!lParam) return 0;
  if (!wParam) {
    auto* rect = reinterpret_cast<RECT*>(lParam);
    *rect = FrameClientRect(*rect, sideWidth, bottomHeight);
    return 0;
  }
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
  params->rgrc[0] = FrameClientRect(params->rgrc[0], sideWidth, bottomHeight);
  params->rgrc[1] = params->rgrc[0];
  return WVR_VALIDRECTS;
}

RECT MaximizedFrameBounds(const RECT& workArea) {
  return RECT{workArea.left - 4, workArea.top - 4, workArea.right + 4, workArea.bottom - 1};
}

// ---- TkyrFrameBorders ----

TkyrFrameBorders::TkyrFrameBorders() = default;
TkyrFrameBorders::~TkyrFrameBorders() = default;

void TkyrFrameBorders::Clear() {
  left_.reset();
  right_.reset();
  bottom_.reset();
}

void TkyrFrameBorders::Load(const TkyrStyleSource& source) {
  Clear();
  if (!source.FromFile()) return;
  auto left = std::make_unique<TBitmap>();
  source.Bitmap(KYR_THEME_FORM_LEFT_BORDER_IMAGE, left.get());
  if (!left->Empty()) {
    right_ = std::make_unique<TBitmap>();
    right_->Assign(*left);
    RotateBitmap180(*right_);
    left_ = std::move(left);
  }
  auto bottom = std::make_unique<TBitmap>();
  source.Bitmap(KYR_THEME_FORM_BOTTOM_BORDER_IMAGE, bottom.get());
  if (!bottom->Empty()) bottom_ = std::move(bottom);
}

int TkyrFrameBorders::SideWidth() const { return right_ ? right_->Width() : 0; }

int TkyrFrameBorders::BottomHeight() const { return right_ && bottom_ ? bottom_->Height() : 0; }

// ---- the frame painter ----

bool FrameDrawsCornerArcs(const TkyrFrameLook& look) {
  return !BitmapMode(look) && HasTitlePictures(look) && look.BorderWidth == 1 && look.RoundCorner == 11 &&
         !look.Designing;
}

// Everything starts as FillColor: rows no step paints (the top band beside a border of 4 or
// more, or under a title bar without three pictures) show it instead of whatever the screen held.
void PaintFrameTo(TCanvas& canvas, int width, int height, const TkyrFrameLook& look) {
  if (width <= 0 || height <= 0) return;
  Fill(canvas, RECT{0, 0, width, height}, look.FillColor);
  if (BitmapMode(look)) return PaintBitmapFrame(canvas, width, height, look);
  PaintBuiltinFrame(canvas, width, height, look);
}

bool PaintFrame(HWND window, const TkyrFrameLook& look) {
  if (!window || !IsWindow(window) || IsIconic(window)) return false;
  RECT bounds{};
  GetWindowRect(window, &bounds);
  const int W = bounds.right - bounds.left, H = bounds.bottom - bounds.top;
  if (W <= 0 || H <= 0) return false;
  TBitmap buffer(W, H);
  PaintFrameTo(buffer.Canvas(), W, H, look);
  TWindowDC dc(window, true);
  const RECT client = ClientInWindow(window, bounds);
  // The client area is the owner's to paint: drawing the frame's bottom rows over it would flash
  // before the client paint covers them again.
  ExcludeClipRect(dc.Get(), client.left, client.top, client.right, client.bottom);
  BitBlt(dc.Get(), 0, 0, W, H, buffer.Canvas().Handle(), 0, 0, SRCCOPY);
  return true;
}

// ---- the window region ----

// Each half's inner corners are squared off with 2R squares; on a window lower than about 5R (a
// WinXP window of the least height, 50) such squares would reach into the rounding of the outer
// corners and square them too, so they stop R rows short of the outer edges.
//
// A corner wider than the window rounds no more than one as wide as the window (the system
// shrinks the ellipse to the rectangle, and the squares stay empty), so corners are bounded by
// the window's size first: a theme's integer doubled in 32 bits cannot overflow then.
TRegionHandle FrameRegion(int width, int height, int roundCorner, int roundCornerBottom) {
  const int W = Size(width), H = Size(height), M = H / 2;
  const int largest = std::max(W, H) + 1;
  const int R = std::min(Size(roundCorner), largest), RB = std::min(Size(roundCornerBottom), largest);
  TRegionHandle upper = CreateRoundRectRegion(RECT{0, 0, W + 1, M + 1}, R, R);
  const int upperTop = std::max(M - 2 * R, R);
  TRegionHandle upperLeft = CreateRectRegion(RECT{0, upperTop, 2 * R, M});
  TRegionHandle upperRight = CreateRectRegion(RECT{W - 2 * R, upperTop, W, M});
  TRegionHandle lower = CreateRoundRectRegion(RECT{0, M, W + 1, H + 1}, RB, RB);
  const int lowerBottom = std::min(M + 2 * RB, H - RB);
  TRegionHandle lowerLeft = CreateRectRegion(RECT{0, M, 2 * RB, lowerBottom});
  TRegionHandle lowerRight = CreateRectRegion(RECT{W - 2 * RB, M, W, lowerBottom});
  TRegionHandle top = CombineRegions(upper.Get(), upperLeft.Get(), RGN_OR);
  top = CombineRegions(top.Get(), upperRight.Get(), RGN_OR);
  TRegionHandle bottom = CombineRegions(lower.Get(), lowerLeft.Get(), RGN_OR);
  bottom = CombineRegions(bottom.Get(), lowerRight.Get(), RGN_OR);
  return CombineRegions(top.Get(), bottom.Get(), RGN_OR);
}

bool UpdateWindowRegion(HWND window, int roundCorner, int roundCornerBottom, bool titleBarVisible) {
  if (!window || !IsWindow(window)) return false;
  RECT bounds{};
  GetWindowRect(window, &bounds);
  TRegionHandle region = FrameRegion(bounds.right - bounds.left, bounds.bottom - bounds.top,
                                     titleBarVisible ? roundCorner : 0, titleBarVisible ? roundCornerBottom : 0);
  if (!SetWindowRgn(window, region.Get(), TRUE)) return false;  // the handle frees it
  region.Release();  // the window owns it from now on
  return true;
}


// ---- the frame host ----

namespace {

// SetWindowPos flags that make a changed frame take effect: no size, no move, no Z-order, no
// activation, frame changed (0x37).
constexpr UINT kFrameChanged = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;

// Single and borderless frames become dialog frames: the painter counts on a 3-pixel frame
// that the system leaves as non-client area once the caption is gone. Sizing frames stay.
TFormBorderStyle SkinnedBorderStyle(TFormBorderStyle style) {
  switch (style) {
    case bsNone:
    case bsSingle:
    case bsToolWindow:
      return bsDialog;
    default:
      return style;
  }
}

}  // namespace

void TkyrFrameHost::TakeOver(TCustomForm* form) {
  form_ = form;
  form->Constraints()->SetMinHeight(50);
  form->Constraints()->SetMinWidth(125);
  form->SetBorderWidth(0);
  restoreBounds_ = {form->Left(), form->Top(), form->Left() + form->Width(), form->Top() + form->Height()};
  startMaximized_ = form->WindowState() == wsMaximized;
  // Hooked before the form's frame changes, so a re-creation they cause is seen and stripped.
  hook_.Install(form, [this](TMessage& m) { HostWndProc(m); });
  form->SetScaled(false);
  form->SetBorderStyle(SkinnedBorderStyle(form->BorderStyle()));
  form->SetAutoScroll(false);
}

// Not while the form itself is going: its window goes with it.
void TkyrFrameHost::GiveBack() {
  if (!form_) return;
  TCustomForm* form = form_;
  form_ = nullptr;
  hook_.Uninstall();
  const HWND window = form->HandleIfAllocated();
  if (!window || form->IsDestroying()) return;
  SetWindowLongA(window, GWL_STYLE, GetWindowLongA(window, GWL_STYLE) | WS_CAPTION);
  SetWindowRgn(window, nullptr, TRUE);
  SetWindowPos(window, nullptr, 0, 0, 0, 0, kFrameChanged);
}

HWND TkyrFrameHost::Window() const { return form_ ? form_->HandleIfAllocated() : nullptr; }

// The framework re-creates a window with its class's styles, caption bits included.
void TkyrFrameHost::StripCaption() {
  const HWND window = Window();
  if (!window) return;
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  if (style & WS_CAPTION) {
    SetWindowLongA(window, GWL_STYLE, style & ~WS_CAPTION);
    FrameChanged();
  }
  UpdateWindowRegion();
}

void TkyrFrameHost::FrameChanged() {
  if (const HWND window = Window()) SetWindowPos(window, nullptr, 0, 0, 0, 0, kFrameChanged);
}

bool TkyrFrameHost::PaintFrame() {
  if (!Window()) return false;
  if (Held()) return true;
  return ::PaintFrame(Window(), owner_.FrameLook());
}

bool TkyrFrameHost::UpdateWindowRegion() {
  if (Held() || !Window() || owner_.FrameLook().Designing) return false;
  const TkyrFrameCorners corners = owner_.FrameCorners();
  return ::UpdateWindowRegion(Window(), corners.Top, corners.Bottom, true);
}

// Answered here instead of by the form's procedure: the frame is the owner's. Everything else
// goes to the form first; the host then follows size and re-creation, the owner the rest.
void TkyrFrameHost::HostWndProc(TMessage& m) {
  const TkyrFrameBorders& borders = owner_.FrameBorders();
  switch (m.Msg) {
    case WM_NCCALCSIZE:
      m.Result = FrameNCCalcSize(m.WParam, m.LParam, borders.SideWidth(), borders.BottomHeight());
      return;
    case KYR_MSG_SIDE_BORDER_WIDTH:
      m.Result = borders.SideWidth();
      return;
    case WM_NCPAINT:
      return NCPaint(m);
    case WM_NCACTIVATE:
      return NCActivate(m);
    default:
      break;
  }
  const std::weak_ptr<char> alive = life_;
  hook_.CallPrevious(m);
  if (alive.expired()) return;  // the form freed itself in its own message (a released form), and its owner with it
  AfterMessage(m);
}

// A minimised form shows its icon, which is the system's to draw.
void TkyrFrameHost::NCPaint(TMessage& m) {
  if (!PaintFrame()) return hook_.CallPrevious(m);
  m.Result = 0;
}

// Left to the system, activation would draw a standard caption over the frame (Wine does).
void TkyrFrameHost::NCActivate(TMessage& m) {
  if (IsIconic(Window())) return hook_.CallPrevious(m);
  PaintFrame();
  m.Result = TRUE;
}

void TkyrFrameHost::AfterMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_ACTIVATE:
      owner_.FrameActivated(LOWORD(m.WParam) != WA_INACTIVE);
      break;
    case WM_SHOWWINDOW:  // menus appear only in the skinned menu bar, never as a system one
      if (form_ && form_->Menu()) form_->SetMenu(nullptr);
      break;
    case CM_WNDCREATED:
    case CM_RECREATEWND:
      StripCaption();
      break;
    case WM_SIZE:
      Sized();
      break;
    default:
      break;
  }
  if (form_) owner_.FrameHostMessage(m);
}

void TkyrFrameHost::SetBounds(const RECT& bounds) {
  RECT now{};
  GetWindowRect(Window(), &now);
  if (EqualRect(&now, &bounds)) return;
  SetWindowPos(Window(), nullptr, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// A maximised form covers the work area with its frame pushed off the screen; a form that
// was maximised at take-over returns to its earlier bounds the first time it is shown not
// maximised (the sizes a window reports while it is created and still hidden do not count).
// Our own SetWindowPos sends WM_SIZE again: that one only passes through.
void TkyrFrameHost::Sized() {
  if (sizing_ || !Window()) return;
  sizing_ = true;
  auto done = OnScopeExit([this] { sizing_ = false; });
  const HWND window = Window();
  const bool maximized = IsZoomed(window) != FALSE;
  if (maximized && owner_.FrameLook().Designing) return;
  if (startMaximized_ && !maximized && !IsIconic(window) && IsWindowVisible(window)) {
    SetBounds(restoreBounds_);
    startMaximized_ = false;
  }
  if (maximized && form_->FormStyle() != fsMDIChild) {  // an MDI child is its client's to place
    RECT workArea{};
    GetWorkAreaRect(workArea);
    SetBounds(MaximizedFrameBounds(workArea));
  }
  PaintFrame();
  owner_.FrameSized();
  UpdateWindowRegion();
}
