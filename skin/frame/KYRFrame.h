// The skinned window frame: non-client geometry, the frame painter and the window
// region that the skinned form panel (TkyrForm) and the MDI form share. Each is a small function
// over plain values, a window size in and rectangles, pixels or a region out, so each can be
// tested on its own; the owner keeps its state and hands it over as a TkyrFrameLook.
//
// A skinned host is a captionless window (WS_CAPTION stripped, a dialog or sizing frame left)
// whose non-client area the system never paints. Its owner answers three messages itself:
//
//   case WM_NCCALCSIZE:   // answered in full: do not pass it on
//     m.Result = FrameNCCalcSize(m.WParam, m.LParam, borders.SideWidth(), borders.BottomHeight());
//   case WM_NCPAINT:      // false for a minimised host: pass the message on then
//     if (!PaintFrame(host, look)) CallPrevious(m);
//   case KYR_MSG_SIDE_BORDER_WIDTH:   // KYRStyled.h
//     m.Result = borders.SideWidth();
//
// and after every size change calls UpdateWindowRegion(host, RoundCorner, RoundCornerBottom,
// TitleBarVisible). A maximised host (not an MDI child) gets MaximizedFrameBounds(work area).
// TkyrFrameHost (at the end) does all of this for an owner that implements IkyrFrameOwner.
//
// Two modes. Built-in: BorderWidth pixels of BorderColor at the left, right and bottom edges, the
// rest of the 3-pixel frame in FillColor, the title bar's pictures continued into the frame (with
// a border under 4 pixels), quarter arcs outlining 11-pixel corners of a 1-pixel border. Bitmap
// (a file theme with a FormLeftBorderImage, TkyrFrameBorders): the left image, its 180-degree
// rotation on the right and the FormBottomBorderImage as a three-slice bar, with the title
// pictures continued over the side images. Whatever the steps leave untouched is FillColor, so
// no frame pixel keeps stale screen contents.
//
// Theme values that read -1 (missing) count as 0 wherever they are sizes or corners.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/core/ScopeGuard.h"
#include "framework/graphics/Graphics.h"
#include "framework/ui/Forms.h"
#include "skin/KYRStyled.h"

// The frame the painter fills on every side: the dialog frame of a captionless window.
inline constexpr int KYR_FRAME_WIDTH = 3;

// ---- non-client geometry ----

// How far the client area lies inside the window on each side.
struct TkyrFrameInsets {
  int Left, Top, Right, Bottom;
  bool operator==(const TkyrFrameInsets&) const = default;
};

// Built-in mode (SIDE_WIDTH 0): 3, 3, 3 and 1 (the frame's last two bottom rows lie in the
// client area, which the owner's client painting covers). Bitmap mode: SIDE_WIDTH + 1 at the
// sides, 3 at the top, BOTTOM_HEIGHT + 1 at the bottom.
TkyrFrameInsets FrameInsets(int sideWidth, int bottomHeight);
// The client rectangle of a window whose outer rectangle is WINDOW (never inside out).
RECT FrameClientRect(const RECT& window, int sideWidth, int bottomHeight);
// Answers WM_NCCALCSIZE in full, for both values of WPARAM: the client rectangle becomes
// FrameClientRect of the window rectangle; with WPARAM non-zero rgrc[1] := rgrc[0] and the result
// is WVR_VALIDRECTS, with WPARAM zero the result is 0. The message is not to be passed on: the
// frame is 3 pixels whatever the host's border style and the system's frame metrics.
LRESULT FrameNCCalcSize(WPARAM wParam, LPARAM lParam, int sideWidth, int bottomHeight);
// The bounds of a maximised host on WORK_AREA: 4 pixels beyond it at the left, top and right (the
// frame and one pixel off the screen), 1 pixel above its bottom.
RECT MaximizedFrameBounds(const RECT& workArea);

// ---- the file theme's border images ----

// FormLeftBorderImage, its 180-degree rotation (the right border, whose presence selects bitmap
// mode and whose width is the side width) and FormBottomBorderImage, loaded once per style
// change rather than on every paint.
class TkyrFrameBorders {
public:
  TkyrFrameBorders();
  ~TkyrFrameBorders();
  TkyrFrameBorders(const TkyrFrameBorders&) = delete;
  TkyrFrameBorders& operator=(const TkyrFrameBorders&) = delete;

  // From SOURCE's file theme; a built-in style has no border images (everything cleared). An
  // empty left image leaves built-in mode.
  void Load(const TkyrStyleSource& source);
  void Clear();

  bool BitmapMode() const { return right_ != nullptr; }
  // SW: the right border's width, 0 in built-in mode; the answer to KYR_MSG_SIDE_BORDER_WIDTH.
  int SideWidth() const;
  // BB: the bottom image's height in bitmap mode, else 0 (built-in mode never draws it).
  int BottomHeight() const;
  // Null when absent.
  TBitmap* Left() const { return left_.get(); }
  TBitmap* Right() const { return right_.get(); }
  TBitmap* Bottom() const { return bottom_.get(); }

private:
  std::unique_ptr<TBitmap> left_, right_, bottom_;
};

// ---- the frame painter ----

// The title bar's pictures (sections 0, 1 and 2), continued into the frame only when all three
// are given: the owner leaves them null unless the bar has exactly three sections.
struct TkyrTitlePictures {
  TBitmap* Left = nullptr;
  TBitmap* Right = nullptr;
  TBitmap* Client = nullptr;
};

// The menu bar under the title bar.
struct TkyrFrameMenuBar {
  bool Exists = false;
  bool Visible = false;  // exists and is shown
  int Top = 0;           // G: top of the frame beside it (TkyrForm: title bar height + 3)
  int Height = 0;        // MH
  TColor Color = clBtnFace;
};

// Everything the painter reads of its owner, as plain values.
struct TkyrFrameLook {
  int BorderWidth = 1;           // BW
  TColor BorderColor = clBlack;
  TColor FillColor = clBtnFace;  // F: the frame's rest (built-in), the inner lines (bitmap)
  bool TitleBarVisible = true;
  int TopHeight = 0;             // T: the title bar's height while visible, else 0 (MDI: + menu)
  TkyrTitlePictures Title;
  int RoundCorner = 0;           // the corner value of the arcs (read through the owner)
  bool Designing = false;        // no arcs in design mode
  TkyrFrameMenuBar MenuBar;
  TColor HostColor = clBtnFace;  // bitmap mode: the top band when there is no menu bar
  const TkyrFrameBorders* Borders = nullptr;  // bitmap mode when it has a right border
};

// Whether LOOK draws the corner arcs: built-in mode, the title bar visible and continued, a
// border of exactly 1 pixel, a corner value of exactly 11, not in design mode.
bool FrameDrawsCornerArcs(const TkyrFrameLook& look);
// Paints the frame of a WIDTH x HEIGHT window onto CANVAS in window coordinates. Only the frame
// is meant: what lands in the client area is for the caller to clip away.
void PaintFrameTo(TCanvas& canvas, int width, int height, const TkyrFrameLook& look);
// Paints WINDOW's frame on its whole-window DC through one off-screen bitmap and one copy, with
// the client area excluded. False, painting nothing, without a window or while it is minimised.
bool PaintFrame(HWND window, const TkyrFrameLook& look);

// ---- the window region ----

// The region of a WIDTH x HEIGHT window: the upper half (rows 0 to HEIGHT div 2) with its top
// corners rounded by ROUND_CORNER-sized ellipses, the lower half with its bottom corners rounded
// by ROUND_CORNER_BOTTOM; 0 (or -1) gives square corners.
TRegionHandle FrameRegion(int width, int height, int roundCorner, int roundCornerBottom);
// Gives WINDOW the region for its current size (SetWindowRgn, redrawn); a hidden title bar
// squares all four corners. False, with the region freed, when the window refuses it.
bool UpdateWindowRegion(HWND window, int roundCorner, int roundCornerBottom, bool titleBarVisible);


// ---- the frame host ----

// The corners of the window region as the owner reads them now (0 while its title bar is hidden).
struct TkyrFrameCorners {
  int Top = 0;     // R: the upper corners' ellipse
  int Bottom = 0;  // RB: the lower corners'; -1 counts as 0
};

// What a frame host asks of the component whose frame it is (the skinned form panel; the MDI
// form implements it the same way), and what it tells it.
class IkyrFrameOwner {
public:
  // Everything the painter is given, as the owner looks now.
  virtual TkyrFrameLook FrameLook() const = 0;
  // The file theme's border images in use (built-in mode: none); their sizes are the geometry.
  virtual const TkyrFrameBorders& FrameBorders() const = 0;
  virtual TkyrFrameCorners FrameCorners() const = 0;
  // The host window was activated (true) or deactivated: the title bar's active look.
  virtual void FrameActivated(bool active) = 0;
  // The host changed size or window state and its frame and bounds have been seen to: the
  // maximise buttons' pictures follow the state. The region is rebuilt right after.
  virtual void FrameSized() = 0;
  // Every other host message once the host's own procedure has handled it (M.Result is its
  // answer): the owner's own follow-ups (menu short-cuts, MDI activation).
  virtual void FrameHostMessage(TMessage&) {}

protected:
  ~IkyrFrameOwner() = default;
};

// Takes a form over for its owner: hooks its window procedure (chained to the saved one),
// answers WM_NCCALCSIZE, WM_NCPAINT, WM_NCACTIVATE and KYR_MSG_SIDE_BORDER_WIDTH with the
// functions above and the owner's values, strips the caption bits at take-over and again after
// every creation or re-creation of the window, keeps a maximised form (not an MDI child) on the
// work area with its frame off the screen, puts a form that was maximised at take-over back on its earlier bounds the
// first time it is shown not maximised, removes a system menu bar when the form is shown, and
// gives the form back its procedure, caption and rectangular shape on GiveBack (or when the host
// goes).
//
//   class TMyFrame : public TComponent, public IkyrFrameOwner {
//     TkyrFrameHost frame_{*this};
//     TMyFrame(TCustomForm* form) : TComponent(form) { frame_.TakeOver(form); frame_.FrameChanged(); }
//   };
//
// Single and borderless frames become dialog frames (the painter counts on the 3-pixel frame a
// captionless dialog keeps); sizing frames stay.
class TkyrFrameHost {
public:
  explicit TkyrFrameHost(IkyrFrameOwner& owner) : owner_(owner) {}
  ~TkyrFrameHost() { GiveBack(); }
  TkyrFrameHost(const TkyrFrameHost&) = delete;
  TkyrFrameHost& operator=(const TkyrFrameHost&) = delete;

  // Size constraints (at least 125 x 50), no framework border, the bounds and window state to
  // come back to, the hook, unscaled, a dialog frame for a single or borderless form, no auto
  // scrolling. The caption bits go with StripCaption, once the owner has set itself up.
  void TakeOver(TCustomForm* form);
  // The hook off; unless the form itself is being destroyed, its caption bits back, no region
  // and the frame recomputed. Then the host is idle: every call below does nothing.
  void GiveBack();
  TCustomForm* Form() const { return form_; }
  // The form's window, nullptr before it exists or after GiveBack.
  HWND Window() const;

  // Clears both WS_CAPTION bits when set (SetWindowPos 0x37 then) and rebuilds the region.
  void StripCaption();
  // SetWindowPos 0x37: the frame geometry asked again, the frame repainted.
  void FrameChanged();
  // The owner's look on the window now; false, painting nothing, without a window, while it is
  // minimised or held (a held frame counts as painted: whoever holds it repaints).
  bool PaintFrame();
  // The owner's corners on the window's current size; false when none was set (no window,
  // design mode, held, refused).
  bool UpdateWindowRegion();
  // While the returned guard lives, PaintFrame and UpdateWindowRegion do nothing: an owner
  // changing many values at once repaints once at the end.
  [[nodiscard]] auto Hold() {
    ++holds_;
    return OnScopeExit([this] { --holds_; });
  }
  bool Held() const { return holds_ > 0; }

private:
  void HostWndProc(TMessage& m);
  void NCPaint(TMessage& m);
  void NCActivate(TMessage& m);
  void AfterMessage(TMessage& m);
  void Sized();
  void SetBounds(const RECT& bounds);

  IkyrFrameOwner& owner_;
  TCustomForm* form_ = nullptr;
  TWindowProcHook hook_;
  int holds_ = 0;
  bool sizing_ = false;  // our own SetWindowPos inside WM_SIZE
  RECT restoreBounds_{};
  bool startMaximized_ = false;
  std::shared_ptr<char> life_ = std::make_shared<char>();  // expires with the host
};
