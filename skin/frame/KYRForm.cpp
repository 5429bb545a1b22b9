#include "skin/frame/KYRForm.h"

#include <algorithm>

#include "framework/core/ScopeGuard.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/Forms.h"
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
TRegionHandle FrameRegion(int width, int height, int roundCorner, int roundCornerBottom) {
  const int W = width, H = height, M = height / 2;
  const int R = Size(roundCorner), RB = Size(roundCornerBottom);
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

// ---- the skinned form panel ----

namespace {

// SetWindowPos flags that make a changed frame take effect: no size, no move, no Z-order, no
// activation, frame changed (0x37).
constexpr UINT kFrameChanged = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;

const TkyrTitleBarButtonClickEvent kNoClickEvent;

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

bool AnotherPanelTookOver(const TCustomForm& form, const TkyrForm* self) {
  for (int i = 0; i < form.ComponentCount(); ++i) {
    const auto* panel = dynamic_cast<const TkyrForm*>(form.Components(i));
    if (panel && panel != self && panel->HostForm() == &form) return true;
  }
  return false;
}

}  // namespace

TkyrForm::TkyrForm(TComponent* owner) : TkyrStyled(owner) {
  auto* form = dynamic_cast<TCustomForm*>(owner);
  if (!form) return;
  if (AnotherPanelTookOver(*form, this)) {
    ShowMessage("Sorry, You can create only one TkyrForm component in one form!");
    return;
  }
  TakeOver(form);
}

bool TkyrForm::TakeOver(TCustomForm* form) {
  host_ = form;
  for (TSizeConstraints* c : {form->Constraints(), Constraints()}) {
    c->SetMinHeight(50);
    c->SetMinWidth(125);
  }
  form->SetBorderWidth(0);
  restoreBounds_ = {form->Left(), form->Top(), form->Left() + form->Width(), form->Top() + form->Height()};
  startMaximized_ = form->WindowState() == wsMaximized;
  titleBar_ = new TkyrTitleBar(this);
  titleBar_->SetParent(this);
  menuBarColor_ = Color();
  SetBevelOuter(bvNone);
  SetBevelInner(bvNone);
  TCustomPanel::SetBorderStyle(bsNone);
  SetAlign(alClient);
  SetParent(form);
  titleBar_->SetCaption(form->Caption());
  SetText(" ");
  // Hooked before the form's frame changes, so a re-creation they cause is seen and stripped.
  hook_.Install(form, [this](TMessage& m) { HostWndProc(m); });
  form->SetScaled(false);
  form->SetBorderStyle(SkinnedBorderStyle(form->BorderStyle()));
  form->SetAutoScroll(false);
  appEvents_ = std::make_unique<TApplicationEvents>(nullptr);
  appEvents_->SetOnMessage([this](MSG& msg, bool& handled) { ApplicationMessage(msg, handled); });
  SetUIStyle(DeepBlue);
  StripCaption();
  return true;
}

TkyrForm::~TkyrForm() {
  destroying_ = true;
  GiveBack();
}

// The form becomes an ordinary window again: its own procedure, caption and rectangular shape.
// Not while the form itself is going: its window goes with it.
void TkyrForm::GiveBack() {
  if (!host_) return;
  hook_.Uninstall();
  appEvents_.reset();
  const HWND window = host_->HandleIfAllocated();
  if (!window || host_->InState(csDestroying)) return;
  SetWindowLongA(window, GWL_STYLE, GetWindowLongA(window, GWL_STYLE) | WS_CAPTION);
  SetWindowRgn(window, nullptr, TRUE);
  SetWindowPos(window, nullptr, 0, 0, 0, 0, kFrameChanged);
}

HWND TkyrForm::HostWindow() const { return host_ ? host_->HandleIfAllocated() : nullptr; }

// ---- the form's messages ----

// Answered here instead of by the form's procedure: the frame is the panel's. Everything else
// goes to the form first; the panel then follows activation, size and re-creation.
void TkyrForm::HostWndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_NCCALCSIZE:
      m.Result = FrameNCCalcSize(m.WParam, m.LParam, borders_.SideWidth(), borders_.BottomHeight());
      return;
    case KYR_MSG_SIDE_BORDER_WIDTH:
      m.Result = borders_.SideWidth();
      return;
    case WM_NCPAINT:
      return HostNCPaint(m);
    case WM_NCACTIVATE:
      return HostNCActivate(m);
    default:
      break;
  }
  hook_.CallPrevious(m);
  switch (m.Msg) {
    case WM_ACTIVATE:
      titleBar_->SetFormActive(LOWORD(m.WParam) != WA_INACTIVE);
      break;
    case WM_SHOWWINDOW:  // menus appear only in the skinned menu bar, never as a system one
      if (host_->Menu()) host_->SetMenu(nullptr);
      break;
    case CM_WNDCREATED:
    case CM_RECREATEWND:
      StripCaption();
      break;
    case WM_SIZE:
      HostSized();
      break;
    default:
      break;
  }
}

// A minimised form shows its icon, which is the system's to draw.
void TkyrForm::HostNCPaint(TMessage& m) {
  if (!PaintFrame()) return hook_.CallPrevious(m);
  m.Result = 0;
}

// Left to the system, activation would draw a standard caption over the frame (Wine does).
void TkyrForm::HostNCActivate(TMessage& m) {
  if (IsIconic(HostWindow())) return hook_.CallPrevious(m);
  PaintFrame();
  m.Result = TRUE;
}

// The framework re-creates a window with its class's styles, caption bits included.
void TkyrForm::StripCaption() {
  const HWND window = HostWindow();
  if (!window) return;
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  if (style & WS_CAPTION) {
    SetWindowLongA(window, GWL_STYLE, style & ~WS_CAPTION);
    SetWindowPos(window, nullptr, 0, 0, 0, 0, kFrameChanged);
  }
  UpdateWindowRegion();
}

void TkyrForm::SetHostBounds(const RECT& bounds) {
  RECT now{};
  GetWindowRect(HostWindow(), &now);
  if (EqualRect(&now, &bounds)) return;
  SetWindowPos(HostWindow(), nullptr, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// A maximised form covers the work area with its frame pushed off the screen; a form that
// was maximised when the panel came returns to its stored bounds the first time it is shown
// not maximised (the sizes a window reports while it is created and still hidden do not count).
// Our own SetWindowPos sends WM_SIZE again: that one only passes through.
void TkyrForm::HostSized() {
  if (sizing_ || destroying_) return;
  sizing_ = true;
  auto done = OnScopeExit([this] { sizing_ = false; });
  const bool maximized = IsZoomed(HostWindow()) != FALSE;
  if (maximized && InState(csDesigning)) return;
  if (startMaximized_ && !maximized && !IsIconic(HostWindow()) && IsWindowVisible(HostWindow())) {
    SetHostBounds(restoreBounds_);
    startMaximized_ = false;
  }
  if (maximized) {
    RECT workArea{};
    GetWorkAreaRect(workArea);
    SetHostBounds(MaximizedFrameBounds(workArea));
  }
  PaintFrame();
  titleBar_->UpdateMaxButtons();
  UpdateWindowRegion();
}

// ---- keyboard: the application's message loop ----

// Every panel sees every queued message; Alt+Space is for the active skinned window only, and
// what another panel handled stays handled.
void TkyrForm::ApplicationMessage(MSG& msg, bool& handled) {
  if (destroying_) return;
  if (msg.message == WM_SYSCHAR && msg.wParam == ' ' && HostWindow() && GetActiveWindow() == HostWindow()) {
    PopupWindowMenu();
    handled = true;
  } else if (msg.message == WM_KEYDOWN) {
    handled = HandleMenuShortCut(msg) || handled;
  }
}

// At the window's own top-left, below its title bar.
void TkyrForm::PopupWindowMenu() {
  RECT window{};
  GetWindowRect(HostWindow(), &window);
  titleBar_->SystemMenu()->Popup(window.left, window.top + TitleBarHeight());
}

// ---- painting ----

TkyrFrameLook TkyrForm::FrameLook() const {
  TkyrFrameLook look;
  look.BorderWidth = borderWidth_;
  look.BorderColor = borderColor_;
  look.FillColor = Color();
  look.TitleBarVisible = TitleBarVisible();
  look.TopHeight = TitleBarHeight();
  if (titleBar_ && titleBar_->HasThreeSections())
    look.Title = {titleBar_->LeftPicture(), titleBar_->RightPicture(), titleBar_->ClientPicture()};
  look.RoundCorner = RoundCorner();
  look.Designing = InState(csDesigning);
  look.MenuBar = MenuBarLook();
  look.HostColor = host_ ? host_->Color() : Color();
  look.Borders = &borders_;
  return look;
}

bool TkyrForm::PaintFrame() {
  if (destroying_ || !HostWindow()) return false;
  if (applyingStyle_) return true;  // the style change re-frames the window once it is done
  return ::PaintFrame(HostWindow(), FrameLook());
}

bool TkyrForm::UpdateWindowRegion() {
  if (destroying_ || applyingStyle_ || !HostWindow() || InState(csDesigning)) return false;
  return ::UpdateWindowRegion(HostWindow(), RoundCorner(), RoundCornerBottom(), TitleBarVisible());
}

// The frame is painted on its own (WM_NCPAINT) and no longer overlaps the client area, so the
// client paint does not repaint it as well.
void TkyrForm::Paint() {
  if (destroying_ || !pattern_) return;  // the buffer starts filled with Color
  TCanvas& canvas = Canvas();
  canvas.Brush().SetBitmap(pattern_.get());
  canvas.FillRect(ClientRect());
  canvas.Brush().SetBitmap(nullptr);
}

void TkyrForm::LoadBackgroundPattern(TkyrUIStyle style) {
  const char* name = style == MacOS ? "MACOS_FORM_BACKGROUND" : style == Protein ? "PROTEIN_FORM_BACKGROUND" : nullptr;
  if (!name) return pattern_.reset();
  pattern_ = std::make_unique<TBitmap>();
  pattern_->LoadFromResourceName(GetModuleHandleA(nullptr), name);
  if (pattern_->Width() == 0 || pattern_->Height() == 0) pattern_.reset();  // nothing to tile
}

void TkyrForm::Resize() {
  inherited::Resize();
  if (titleBar_) titleBar_->SetAlign(alTop);
}

void TkyrForm::WndProc(TMessage& m) {
  static constexpr TMessageEntry<TkyrForm> kTable[] = {{CM_COLORCHANGED, &TkyrForm::CMColorChanged}};
  if (!DispatchMessageTable(*this, kTable, m)) inherited::WndProc(m);
}

// Color is also the frame's fill.
void TkyrForm::CMColorChanged(TMessage& m) {
  inherited::WndProc(m);
  PaintFrame();
}

// ---- style ----

// The values are stored without their setters' repaints; the frame is then changed once and
// the client invalidated once. A new window region re-frames the window itself (SetWindowRgn is a
// frame-changing SetWindowPos, flagged as one that keeps the client area); when border images
// came or went the client area does move, so SetWindowPos 0x37 is called as well.
void TkyrForm::ApplyUIStyle(const TkyrStyleSource& s) {
  if (!host_) return;
  const TkyrFrameInsets before = FrameInsets(borders_.SideWidth(), borders_.BottomHeight());
  {
    applyingStyle_ = true;
    auto done = OnScopeExit([this] { applyingStyle_ = false; });
    borderColor_ = static_cast<TColor>(s.Color(KYR_THEME_FORM_BORDER_COLOR));
    borderWidth_ = s.Int(KYR_THEME_FORM_BORDER_WIDTH_INT);
    SetColor(static_cast<TColor>(s.Color(KYR_THEME_FORM_BACKGROUND_COLOR)));
    if (!s.FromFile()) menuBarColor_ = Color();
    titleBar_->SetRoundCorner(s.Int(KYR_THEME_FORM_ROUND_CORNER_INT));
    titleBar_->SetRoundCornerBottom(s.FromFile() ? s.Int(KYR_THEME_FORM_BOTTOM_ROUND_CORNER_INT) : 0);
    borders_.Load(s);
    LoadBackgroundPattern(UIStyle());
    titleBar_->ApplyStyle(s);  // the panel's own style and theme, with what it decoded
    if (uiStyleAutoUpdateSub_) ApplyStyleToControls(*this, UIStyle(), FileTheme());
  }
  const bool reframed = UpdateWindowRegion();
  const bool clientMoved = !(FrameInsets(borders_.SideWidth(), borders_.BottomHeight()) == before);
  if (HostWindow() && (!reframed || clientMoved)) SetWindowPos(HostWindow(), nullptr, 0, 0, 0, 0, kFrameChanged);
}

void TkyrForm::Notification(TComponent* component, TOperation operation) {
  const bool themeGoes = operation == opRemove && component && component == FileTheme();
  inherited::Notification(component, operation);
  if (operation != opRemove || !component) return;
  if (component == formPanel_) formPanel_ = nullptr;
  if (themeGoes) ApplyStyleToControls(*this, DeepBlue, nullptr);
}

// ---- properties ----

bool TkyrForm::TitleBarCustom() const { return titleBar_ && titleBar_->Custom(); }
void TkyrForm::SetTitleBarCustom(bool value) {
  if (titleBar_) titleBar_->SetCustom(value);
}

void TkyrForm::SetBorderColor(TColor value) {
  borderColor_ = value;
  PaintFrame();
}

void TkyrForm::SetBorderWidth(int value) {
  borderWidth_ = value;
  PaintFrame();
}

bool TkyrForm::TitleBarVisible() const { return titleBar_ && titleBar_->Visible(); }
void TkyrForm::SetTitleBarVisible(bool value) {
  if (!titleBar_) return;
  titleBar_->SetVisible(value);
  titleBar_->SetTop(0);
  PaintFrame();
  UpdateWindowRegion();  // a hidden bar squares the corners
}

std::string TkyrForm::Caption() const { return titleBar_ ? titleBar_->Caption() : std::string(); }
void TkyrForm::SetCaption(const std::string& value) {
  if (!titleBar_) return;
  titleBar_->SetCaption(value);
  host_->SetCaption(value);
}

void TkyrForm::SetFormPanel(TCustomPanel* value) {
  if (value == this) {
    ShowMessage("Sorry, you can't select the Form assign to FormPanel property");
    return;
  }
  if (formPanel_ && formPanel_ != value) formPanel_->RemoveFreeNotification(this);
  formPanel_ = value;
  if (!value) return;
  value->FreeNotification(this);
  value->SetAlign(alClient);
  if (auto* panel = dynamic_cast<TPanel*>(value)) {
    panel->SetBevelOuter(bvNone);
    panel->SetBevelInner(bvNone);
    panel->SetBorderStyle(bsNone);
    panel->SetText("");
  } else if (AsSkinned(value)) {
    value->SetText("");
  }
}

TkyrTitleBarButtons* TkyrForm::TitleBarButtons() const { return titleBar_ ? titleBar_->Buttons() : nullptr; }
TkyrTitleBarSections* TkyrForm::TitleBarSections() const { return titleBar_ ? titleBar_->Sections() : nullptr; }

bool TkyrForm::TitleBarDrawAppIcon() const { return titleBar_ && titleBar_->DrawAppIcon(); }
void TkyrForm::SetTitleBarDrawAppIcon(bool value) {
  if (titleBar_) titleBar_->SetDrawAppIcon(value);
}

TFont* TkyrForm::TitleFont() { return titleBar_ ? titleBar_->Font() : Font(); }

int TkyrForm::RoundCorner() const { return TitleBarVisible() ? titleBar_->RoundCorner() : 0; }
void TkyrForm::SetRoundCorner(int value) {
  if (!titleBar_) return;
  titleBar_->SetRoundCorner(value);
  UpdateWindowRegion();
}

int TkyrForm::RoundCornerBottom() const { return TitleBarVisible() ? titleBar_->RoundCornerBottom() : 0; }
void TkyrForm::SetRoundCornerBottom(int value) {
  if (!titleBar_) return;
  titleBar_->SetRoundCornerBottom(value);
  UpdateWindowRegion();
}

const TkyrTitleBarButtonClickEvent& TkyrForm::OnTitleBarCustomBtnsClick() const {
  return titleBar_ ? titleBar_->OnCustomBtnsClick() : kNoClickEvent;
}
void TkyrForm::SetOnTitleBarCustomBtnsClick(TkyrTitleBarButtonClickEvent e) {
  if (titleBar_) titleBar_->SetOnCustomBtnsClick(std::move(e));
}
const TkyrTitleBarButtonClickEvent& TkyrForm::OnTitleBarHelpBtnClick() const {
  return titleBar_ ? titleBar_->OnHelpBtnClick() : kNoClickEvent;
}
void TkyrForm::SetOnTitleBarHelpBtnClick(TkyrTitleBarButtonClickEvent e) {
  if (titleBar_) titleBar_->SetOnHelpBtnClick(std::move(e));
}

int TkyrForm::TitleBarHeight() const { return TitleBarVisible() ? titleBar_->Height() : 0; }

void TkyrForm::DeclarePublished(TPublished<TkyrForm>& p) {
  p.Boolean("TitleBarCustom", &TkyrForm::TitleBarCustom, &TkyrForm::SetTitleBarCustom);
  p.Component("FileTheme", &TkyrForm::FileTheme, &TkyrForm::SetFileTheme);
  p.Enumeration("UIStyle", TkyrUIStyleInfo, &TkyrForm::UIStyle, &TkyrForm::SetUIStyle);
  p.Boolean("UIStyleAutoUpdateSub", &TkyrForm::UIStyleAutoUpdateSub, &TkyrForm::SetUIStyleAutoUpdateSub);
  p.Color("BorderColor", &TkyrForm::BorderColor, &TkyrForm::SetBorderColor);
  p.Integer("BorderWidth", &TkyrForm::BorderWidth, &TkyrForm::SetBorderWidth);
  p.Boolean("TitleBarVisible", &TkyrForm::TitleBarVisible, &TkyrForm::SetTitleBarVisible);
  p.String("Caption", &TkyrForm::Caption, &TkyrForm::SetCaption);
  p.Component("FormPanel", &TkyrForm::FormPanel, &TkyrForm::SetFormPanel);
  p.Object("TitleBarButtons", &TkyrForm::TitleBarButtons);
  p.Object("TitleBarSections", &TkyrForm::TitleBarSections);
  p.Boolean("TitleBarDrawAppIcon", &TkyrForm::TitleBarDrawAppIcon, &TkyrForm::SetTitleBarDrawAppIcon);
  p.Object("Font", &TkyrForm::TitleFont);
  p.Color("MenuBarColor", &TkyrForm::MenuBarColor, &TkyrForm::SetMenuBarColor);
  p.Integer("MenuBarHeight", &TkyrForm::MenuBarHeight, &TkyrForm::SetMenuBarHeight);
  p.Integer("RoundCorner", &TkyrForm::RoundCorner, &TkyrForm::SetRoundCorner);
  p.Integer("RoundCornerBottom", &TkyrForm::RoundCornerBottom, &TkyrForm::SetRoundCornerBottom);
  p.String("Version", &TkyrForm::Version, &TkyrForm::SetVersion);
  p.Event("OnTitleBarCustomBtnsClick", &TkyrForm::OnTitleBarCustomBtnsClick, &TkyrForm::SetOnTitleBarCustomBtnsClick);
  p.Event("OnTitleBarHelpBtnClick", &TkyrForm::OnTitleBarHelpBtnClick, &TkyrForm::SetOnTitleBarHelpBtnClick);
}
