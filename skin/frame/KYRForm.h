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
//   case KYR_MSG_SIDE_BORDER_WIDTH:   // KYRMgr.h
//     m.Result = borders.SideWidth();
//
// and after every size change calls UpdateWindowRegion(host, RoundCorner, RoundCornerBottom,
// TitleBarVisible). A maximised host (not an MDI child) gets MaximizedFrameBounds(work area).
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

#include "framework/graphics/Graphics.h"
#include "skin/KYRMgr.h"
#include "skin/frame/KYRTitleBar.h"

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

// ---- the skinned form panel ----
//
// TkyrForm: the panel that turns the form owning it into a skinned window. The first TkyrForm
// made on a form takes it over: it fills the client area, strips the caption bits (again after
// every re-creation of the window), turns single and borderless frames into dialog frames, hooks
// the form's window procedure (TWindowProcHook, chained to the saved one) to answer the frame
// messages with the functions above, keeps a maximised form on the work area, and puts a
// TkyrTitleBar at its top. Removing the panel gives the form back its caption, its procedure and
// a plain rectangular shape.
//
//   auto* skin = new TkyrForm(form);   // takes the form over and places itself on it
//   skin->SetUIStyle(MacOS);           // border, colours, corners, title pictures
//   skin->SetCaption("Corvane Vantor"); // the title bar's and the form's caption
//
// A second TkyrForm on the same form is refused ("Sorry, You can create only one TkyrForm
// component in one form!") and stays a plain panel that never touches the form; so does one whose
// owner is not a form. Such a panel has no title bar: the properties that forward to the bar read
// empty, false or 0 and ignore writes.
//
// The menu bar under the title bar belongs to the menu-bar unit (Menu, SetMenu, CreateMenuBar,
// UpdateMenuBar...). Until it exists the panel has no menu: MenuBarColor and MenuBarHeight are
// stored for it, the frame is painted without a menu strip (MenuBarLook) and key presses run no
// menu short-cut (HandleMenuShortCut).
class TkyrForm : public TkyrStyled<TCustomPanel, IkyrFramePanel> {
  VANTOR_CLASS(TkyrForm, TkyrStyled<TCustomPanel, IkyrFramePanel>)
public:
  explicit TkyrForm(TComponent* owner);
  ~TkyrForm() override;

  // The form taken over; nullptr for a panel that took nothing over.
  TCustomForm* HostForm() const override { return host_; }
  TkyrTitleBar* TitleBar() const { return titleBar_; }

  // Published, in streaming order (inherited: BiDiMode, Color, PopupMenu and the mouse events).
  bool TitleBarCustom() const;
  void SetTitleBarCustom(bool value);
  bool UIStyleAutoUpdateSub() const { return uiStyleAutoUpdateSub_; }
  void SetUIStyleAutoUpdateSub(bool value) { uiStyleAutoUpdateSub_ = value; }
  TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(TColor value);
  // The frame's border, not the framework's inner border of a windowed control (which the panel
  // keeps at 0): it hides TWinControl::BorderWidth on purpose.
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int value);
  bool TitleBarVisible() const;
  void SetTitleBarVisible(bool value);
  // The title bar's caption; writing sets the form's caption too.
  std::string Caption() const;
  void SetCaption(const std::string& value);
  // A panel given the rest of the window: aligned to the client area, a plain TPanel loses its
  // bevels, border and caption, a skinned panel its caption. The panel itself is refused.
  TCustomPanel* FormPanel() const { return formPanel_; }
  void SetFormPanel(TCustomPanel* value);
  TkyrTitleBarButtons* TitleBarButtons() const;
  TkyrTitleBarSections* TitleBarSections() const;
  bool TitleBarDrawAppIcon() const;
  void SetTitleBarDrawAppIcon(bool value);
  // The title bar's font (the panel's own without a title bar).
  TFont* TitleFont();
  TColor MenuBarColor() const { return menuBarColor_; }
  void SetMenuBarColor(TColor value) { menuBarColor_ = value; }
  int MenuBarHeight() const { return menuBarHeight_; }
  void SetMenuBarHeight(int value) { menuBarHeight_ = value; }
  // The title bar's corners; 0 while it is hidden. Writing rebuilds the window region.
  int RoundCorner() const;
  void SetRoundCorner(int value);
  int RoundCornerBottom() const;
  void SetRoundCornerBottom(int value);
  std::string Version() const { return "5.8"; }
  void SetVersion(const std::string&) {}
  const TkyrTitleBarButtonClickEvent& OnTitleBarCustomBtnsClick() const;
  void SetOnTitleBarCustomBtnsClick(TkyrTitleBarButtonClickEvent e);
  const TkyrTitleBarButtonClickEvent& OnTitleBarHelpBtnClick() const;
  void SetOnTitleBarHelpBtnClick(TkyrTitleBarButtonClickEvent e);

  // The title bar's height while it is visible, else 0.
  int TitleBarHeight() const;
  // The frame with the panel's current look; false, painting nothing, without a form window or
  // while it is minimised.
  bool PaintFrame();
  // The window region for the form's current size (which repaints the frame); false when
  // none was set (no window yet, design mode, refused).
  bool UpdateWindowRegion();
  // The border images in use (bitmap mode while a file theme supplies them).
  const TkyrFrameBorders& Borders() const { return borders_; }
  // Everything the frame painter is given.
  TkyrFrameLook FrameLook() const;

  static void DeclarePublished(TPublished<TkyrForm>& p);
  void WndProc(TMessage& m) override;

protected:
  void ApplyUIStyle(const TkyrStyleSource& source) override;
  void Notification(TComponent* component, TOperation operation) override;
  // The MacOS and Protein background pattern tiled over the client area, else Color.
  void Paint() override;
  void Resize() override;

private:
  bool TakeOver(TCustomForm* form);
  void GiveBack();
  void HostWndProc(TMessage& m);
  void HostNCPaint(TMessage& m);
  void HostNCActivate(TMessage& m);
  void HostSized();
  void StripCaption();
  void SetHostBounds(const RECT& bounds);
  void ApplicationMessage(MSG& msg, bool& handled);
  void PopupWindowMenu();
  // The menu-bar seam: no menu bar, no short-cuts yet.
  TkyrFrameMenuBar MenuBarLook() const { return {}; }
  bool HandleMenuShortCut(const MSG&) const { return false; }
  HWND HostWindow() const;
  void LoadBackgroundPattern(TkyrUIStyle style);
  void CMColorChanged(TMessage& m);

  TCustomForm* host_ = nullptr;
  TkyrTitleBar* titleBar_ = nullptr;
  TWindowProcHook hook_;
  std::unique_ptr<TApplicationEvents> appEvents_;
  TkyrFrameBorders borders_;
  std::unique_ptr<TBitmap> pattern_;  // the client's background pattern, null for a plain colour
  TColor borderColor_ = clBlack;
  TCustomPanel* formPanel_ = nullptr;
  int borderWidth_ = 1;
  TColor menuBarColor_ = clBtnFace;
  int menuBarHeight_ = 22;
  bool uiStyleAutoUpdateSub_ = false;
  bool destroying_ = false;
  bool applyingStyle_ = false;  // one frame and one client repaint at the end, not per value
  bool sizing_ = false;         // our own SetWindowPos inside WM_SIZE
  RECT restoreBounds_{};
  bool startMaximized_ = false;
};
