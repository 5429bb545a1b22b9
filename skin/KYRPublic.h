// Drawing and window helpers shared by the skinned controls: nine- and three-slice drawing of
// skin bitmaps, frames cut out of bitmap strips, rotations, tiling, the parent's background
// behind a see-through control, 1-pixel window borders, hit tests, bounds, form activity and
// the run-time-type helpers that push a style onto child controls. Menu drawing helpers
// (FrameRectColor, FillRectColor, GetMenuFont, DrawMenuSeparator, ...) are in KYRMenu.h.
//
// The skin bitmaps' transparent key is clFuchsia ($FF00FF). Frame strips count frames from 1:
//     ExtractBitmapFrame(strip, frame, 18, 18);         // the last of 18 frames
//     DrawNineGrid(buttonFace, canvas, clientRect, true);
// Nothing here keeps state except the lazily bound GetScrollBarInfo (DynGetScrollBarInfo).
#pragma once

#include "framework/graphics/Graphics.h"
#include "framework/ui/Controls.h"
#include "framework/ui/Forms.h"
#include "skin/KYRThemes.h"

#include <string>

// Nine-slice drawing of a frame bitmap into RECT (a client rectangle: left and top 0): corners at
// their own size (opaque unless TRANSPARENT, then masked by the key colour), edges and centre
// stretched and always keyed. Below 4 x 4 (bitmap or target) the corners would not all exist:
// the whole bitmap is then stretched over RECT instead.
void DrawNineGrid(TBitmap& bitmap, TCanvas& canvas, const RECT& rect, bool transparent);

// Left cap and right cap (a third of GRAPHIC's width each, keyed) at their own size, the middle
// third stretched opaque between them. The key is clFuchsia, or with USE_PIXEL_KEY the pixel at
// column 0 of the top (KEY_FROM_TOP_ROW) or bottom row.
void DrawThreeSliceBar(TGraphic& graphic, TCanvas& canvas, const RECT& rect, bool usePixelKey, bool keyFromTopRow);

// Copies frame FRAME_INDEX (from 1) of FRAME_COUNT equal-width frames of SOURCE into DEST, which
// takes the frame's size. An index outside 1..FRAME_COUNT (or FRAME_COUNT < 1) leaves DEST alone.
void ExtractBitmapFrame(const TBitmap& source, TBitmap& dest, int frameCount, int frameIndex);

// In place: 90 degrees counter-clockwise (pixel (x, y) goes to (y, W - 1 - x)), clockwise
// (result (x, y) comes from (y, H - 1 - x)), and 180 degrees.
void RotateBitmapLeft(TBitmap& bitmap);
void RotateBitmapRight(TBitmap& bitmap);
void RotateBitmap180(TBitmap& bitmap);

// Tiles PICTURE from the canvas origin (not RECT's corner) until one tile past RECT's width and
// height; an empty picture draws nothing.
void TileDrawPicture(TCanvas& canvas, const TPicture& picture, const RECT& rect);

// Lets CONTROL's parent paint (WM_ERASEBKGND then WM_PAINT with the canvas's DC) into CANVAS,
// shifted so that the part under the control lands at (0, 0). Nothing without a parent.
void DrawParentBackground(TCanvas& canvas, TControl& control);

// 1-pixel frames round CONTROL's whole window (non-client area included).
void PaintWindowBorder(TWinControl& control, TColor outerColor, TColor innerColor, bool drawInner);

// Hit tests with the right and bottom edges inside.
bool InRect(POINT point, const RECT& rect);
bool InRectXY(int x, int y, const RECT& rect);

// The work area of the monitor nearest to the main form, or the primary work area.
void GetWorkAreaRect(RECT& rect);
// Left, Top, Width, Height through the control's setters, in that order.
void SetControlBoundsRect(TControl& control, const RECT& rect);
// Left then Top.
void PlaceControl(TControl& control, POINT point);

// Whether FORM's caption is drawn active (main form, MDI frame and application activity).
bool IsFormActive(TCustomForm* form);

// Whether COMPONENT's class publishes property NAME (false for nullptr).
bool HasProperty(const TComponent* component, const std::string& name);
// Sets "FileTheme" then "UIStyle" on every direct child control of CONTAINER that publishes
// both; the others (and grandchildren) are left alone.
void ApplyStyleToControls(TWinControl& container, TkyrUIStyle style, TComponent* fileTheme);

// A function of a system DLL looked up on first use, once per process object; the DLL is
// released with the object. Get() is nullptr when the DLL or the function is missing.
class TDynamicProc {
public:
  TDynamicProc(const char* module, const char* name) : module_(module), name_(name) {}
  ~TDynamicProc();
  TDynamicProc(const TDynamicProc&) = delete;
  TDynamicProc& operator=(const TDynamicProc&) = delete;
  FARPROC Get();
  // How often the function was looked up (at most once).
  int Lookups() const { return lookups_; }

private:
  const char* module_;
  const char* name_;
  HMODULE library_ = nullptr;
  FARPROC proc_ = nullptr;
  bool unavailable_ = false;
  int lookups_ = 0;
};

// GetScrollBarInfo from "User32.dll", bound at the first call; false when it does not exist.
// OBJECT_ID is OBJID_VSCROLL (-5), OBJID_HSCROLL (-6) or OBJID_CLIENT.
bool DynGetScrollBarInfo(HWND window, LONG objectId, SCROLLBARINFO* info);
