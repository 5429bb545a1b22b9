#include "skin/KYRPublic.h"

#include "framework/core/ScopeGuard.h"
#include "framework/graphics/ImgList.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr TColor kSkinKey = clFuchsia;

int WidthOf(const RECT& r) { return r.right - r.left; }
int HeightOf(const RECT& r) { return r.bottom - r.top; }

// ---- pixel helpers (bitmaps are 32-bit top-down DIBs) ----

std::vector<uint32_t> PixelsOf(const TBitmap& bitmap) {
  GdiFlush();  // pending GDI drawing must reach the DIB before it is read
  std::vector<uint32_t> pixels(static_cast<size_t>(bitmap.Width()) * bitmap.Height());
  for (int y = 0; y < bitmap.Height(); ++y)
    std::memcpy(&pixels[static_cast<size_t>(y) * bitmap.Width()], bitmap.ScanLine(y), bitmap.Width() * sizeof(uint32_t));
  return pixels;
}

void SetPixels(TBitmap& bitmap, int width, int height, const std::vector<uint32_t>& pixels) {
  bitmap.SetSize(width, height);
  if (bitmap.Empty()) return;
  GdiFlush();
  for (int y = 0; y < height; ++y)
    std::memcpy(bitmap.ScanLine(y), &pixels[static_cast<size_t>(y) * width], width * sizeof(uint32_t));
}

// Moves every pixel of BITMAP (W x H) to WHERE(x, y), in a result of RESULT_W x RESULT_H.
template <typename Where>
void Remap(TBitmap& bitmap, int resultWidth, int resultHeight, Where where) {
  const int w = bitmap.Width();
  const int h = bitmap.Height();
  const std::vector<uint32_t> source = PixelsOf(bitmap);
  std::vector<uint32_t> result(source.size());
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const POINT to = where(x, y, w, h);
      result[static_cast<size_t>(to.y) * resultWidth + to.x] = source[static_cast<size_t>(y) * w + x];
    }
  }
  SetPixels(bitmap, resultWidth, resultHeight, result);
}

// ---- nine-slice pieces ----

enum TCorner { cnTopLeft, cnBottomLeft, cnTopRight, cnBottomRight };

// Copies SOURCE_RECT of BITMAP, stretched, into a new bitmap of W x H.
std::unique_ptr<TBitmap> CopyPiece(TBitmap& bitmap, const RECT& sourceRect, int w, int h) {
  auto piece = std::make_unique<TBitmap>(w, h);
  piece->Canvas().CopyRect(RECT{0, 0, w, h}, bitmap.Canvas(), sourceRect);
  return piece;
}

// Draws one corner at its own size (cropped toward the outer corner to fit DEST) and returns
// the rectangle it covers; an empty rectangle when it was skipped.
RECT DrawCorner(TBitmap& bitmap, TCanvas& canvas, const RECT& rect, TCorner corner, RECT source, const RECT& dest,
                bool transparent) {
  const int w = std::max(0, std::min(WidthOf(source), WidthOf(dest)));
  const int h = std::max(0, std::min(HeightOf(source), HeightOf(dest)));
  if (w == 0 || h == 0) return RECT{};
  const bool right = corner == cnTopRight || corner == cnBottomRight;
  const bool bottom = corner == cnBottomLeft || corner == cnBottomRight;
  if (right) source.left = source.right - w; else source.right = source.left + w;
  if (bottom) source.top = source.bottom - h; else source.bottom = source.top + h;
  std::unique_ptr<TBitmap> piece = CopyPiece(bitmap, source, w, h);
  TImageList list(w, h);
  if (transparent) list.AddMasked(*piece, kSkinKey); else list.Add(*piece);
  const int x = right ? rect.right - w : 0;
  const int y = bottom ? rect.bottom - h : 0;
  list.Draw(canvas, x, y, 0);
  return RECT{x, y, x + w, y + h};
}

// Which part of a too-large source an edge keeps, across the direction it stretches in.
enum TEdgeCrop { ecNone, ecKeepLeft, ecKeepRight, ecKeepTop, ecKeepBottom };

// A source strip of no height or width (the left edge and the centre of an even-sized bitmap)
// would copy nothing and leave a black band: it is widened to the one row or column there.
RECT NonEmptySource(RECT source, const TBitmap& bitmap) {
  if (source.right <= source.left) source.right = std::min(source.left + 1, static_cast<LONG>(bitmap.Width()));
  if (source.bottom <= source.top) source.bottom = std::min(source.top + 1, static_cast<LONG>(bitmap.Height()));
  return source;
}

// An edge or the centre: SOURCE stretched over DEST, always keyed by the skin colour.
void DrawStretchedPiece(TBitmap& bitmap, TCanvas& canvas, RECT source, const RECT& dest, TEdgeCrop crop) {
  const int w = WidthOf(dest);
  const int h = HeightOf(dest);
  if (w <= 0 || h <= 0) return;
  if (crop == ecKeepLeft && WidthOf(source) > w) source.right = source.left + w;
  if (crop == ecKeepRight && WidthOf(source) > w) source.left = source.right - w;
  if (crop == ecKeepTop && HeightOf(source) > h) source.bottom = source.top + h;
  if (crop == ecKeepBottom && HeightOf(source) > h) source.top = source.bottom - h;
  std::unique_ptr<TBitmap> piece = CopyPiece(bitmap, NonEmptySource(source, bitmap), w, h);
  piece->SetTransparentColor(kSkinKey);
  piece->SetTransparent(true);
  canvas.StretchDraw(dest, *piece);
}

// Bitmaps or targets below 4 x 4 have no room for four corners: the whole bitmap is stretched.
void DrawWholeStretched(const TBitmap& bitmap, TCanvas& canvas, const RECT& rect, bool transparent) {
  TBitmap copy;
  copy.Assign(bitmap);
  copy.SetTransparentColor(kSkinKey);
  copy.SetTransparent(transparent);
  canvas.StretchDraw(rect, copy);
}

// The colour every bitmap routine keys on unless told to read it from a pixel.
TColor KeyOf(const TBitmap& bitmap, bool usePixelKey, bool keyFromTopRow) {
  if (!usePixelKey || bitmap.Empty()) return kSkinKey;
  GdiFlush();
  const uint32_t v = bitmap.ScanLine(keyFromTopRow ? 0 : bitmap.Height() - 1)[0];
  return static_cast<TColor>((v & 0xFF00u) | (v >> 16 & 0xFFu) | (v & 0xFFu) << 16);
}

}  // namespace

void DrawNineGrid(TBitmap& bitmap, TCanvas& canvas, const RECT& rect, bool transparent) {
  const int SW = bitmap.Width(), SH = bitmap.Height();
  const int W = WidthOf(rect), H = HeightOf(rect);
  if (SW <= 0 || SH <= 0 || W <= 0 || H <= 0) return;
  if (SW < 4 || SH < 4 || W < 4 || H < 4) return DrawWholeStretched(bitmap, canvas, rect, transparent);
  const int hw = SW / 2, hh = SH / 2, hW = W / 2, hH = H / 2;

  const RECT TL = DrawCorner(bitmap, canvas, rect, cnTopLeft, {0, 0, hw, hh}, {0, 0, hW, hH}, transparent);
  const RECT BL = DrawCorner(bitmap, canvas, rect, cnBottomLeft, {0, SH - hh + 1, hw, SH}, {0, H - hH + 1, hW, H},
                             transparent);
  DrawStretchedPiece(bitmap, canvas, {0, hh, hw, SH - hh}, {0, TL.bottom, TL.right, BL.top}, ecKeepLeft);
  const RECT TR = DrawCorner(bitmap, canvas, rect, cnTopRight, {SW - hw + 1, 0, SW, hh}, {W - hW + 1, 0, W, hH},
                             transparent);
  const RECT BR = DrawCorner(bitmap, canvas, rect, cnBottomRight, {SW - hw + 1, SH - hh + 1, SW, SH},
                             {W - hW + 1, H - hH + 1, W, H}, transparent);
  DrawStretchedPiece(bitmap, canvas, {SW - hw + 1, SH - hh, SW, hh + 2}, {TR.left, TR.bottom, TR.right, BR.top},
                     ecKeepRight);
  DrawStretchedPiece(bitmap, canvas, {hw, 0, SW - hw + 1, hh}, {TL.right, 0, TR.left, TL.bottom}, ecKeepTop);
  DrawStretchedPiece(bitmap, canvas, {hw, hh, SW - hw + 1, SH - hh}, {TL.right, TL.bottom, TR.left, BR.top - 1},
                     ecNone);
  DrawStretchedPiece(bitmap, canvas, {hw, SH - hh, SW - hw + 1, SH}, {TL.right - 1, BL.top - 1, BR.left, BR.bottom},
                     ecKeepBottom);
}

void DrawThreeSliceBar(TGraphic& graphic, TCanvas& canvas, const RECT& rect, bool usePixelKey, bool keyFromTopRow) {
  TBitmap* bitmap = dynamic_cast<TBitmap*>(&graphic);
  std::unique_ptr<TBitmap> rendered;
  if (!bitmap) {  // an icon or other graphic: drawn onto the key colour first
    rendered = std::make_unique<TBitmap>(graphic.Width(), graphic.Height());
    rendered->Canvas().Brush().SetColor(kSkinKey);
    rendered->Canvas().FillRect(RECT{0, 0, graphic.Width(), graphic.Height()});
    rendered->Canvas().Draw(0, 0, graphic);
    bitmap = rendered.get();
  }
  const int w = bitmap->Width() / 3;
  const int h = bitmap->Height();
  if (w <= 0 || h <= 0) return;
  TImageList list(w, h);
  list.AddMasked(*bitmap, KeyOf(*bitmap, usePixelKey, keyFromTopRow));
  list.Draw(canvas, rect.left, rect.top, 0);
  list.Draw(canvas, rect.right - w, rect.top, 2);
  if (rect.right - w <= rect.left + w) return;  // no room for the middle
  TBitmap middle;
  ExtractBitmapFrame(*bitmap, middle, 3, 2);
  canvas.StretchDraw(RECT{rect.left + w, rect.top, rect.right - w, rect.bottom}, middle);
}

void ExtractBitmapFrame(const TBitmap& source, TBitmap& dest, int frameCount, int frameIndex) {
  if (frameCount < 1 || frameIndex < 1 || frameIndex > frameCount) return;
  const int fw = source.Width() / frameCount;
  const int h = source.Height();
  if (fw == 0 || h == 0) return dest.SetSize(fw, h);  // a strip narrower than its frame count
  const std::vector<uint32_t> all = PixelsOf(source);
  std::vector<uint32_t> frame(static_cast<size_t>(fw) * h);
  for (int y = 0; y < h; ++y)
    std::memcpy(&frame[static_cast<size_t>(y) * fw], &all[static_cast<size_t>(y) * source.Width() + fw * (frameIndex - 1)],
                fw * sizeof(uint32_t));
  SetPixels(dest, fw, h, frame);
}

void RotateBitmapLeft(TBitmap& bitmap) {
  Remap(bitmap, bitmap.Height(), bitmap.Width(), [](int x, int y, int w, int) { return POINT{y, w - 1 - x}; });
}

// Result (x, y) comes from source (y, H - 1 - x): source (sx, sy) goes to (H - 1 - sy, sx).
void RotateBitmapRight(TBitmap& bitmap) {
  Remap(bitmap, bitmap.Height(), bitmap.Width(), [](int x, int y, int, int h) { return POINT{h - 1 - y, x}; });
}

void RotateBitmap180(TBitmap& bitmap) {
  Remap(bitmap, bitmap.Width(), bitmap.Height(), [](int x, int y, int w, int h) { return POINT{w - 1 - x, h - 1 - y}; });
}

void TileDrawPicture(TCanvas& canvas, const TPicture& picture, const RECT& rect) {
  if (picture.Empty()) return;  // a zero step would never end
  const int pw = picture.Width();
  const int ph = picture.Height();
  for (int x = 0; x < pw + WidthOf(rect); x += pw)
    for (int y = 0; y < ph + HeightOf(rect); y += ph) canvas.Draw(x, y, *picture.Graphic());
}

void DrawParentBackground(TCanvas& canvas, TControl& control) {
  TWinControl* parent = control.Parent();
  if (!parent) return;
  // A windowless control is painted by that same parent: without this guard its own paint
  // would ask for the background again, forever.
  static std::vector<const TControl*> painting;
  if (std::find(painting.begin(), painting.end(), &control) != painting.end()) return;
  painting.push_back(&control);
  auto done = OnScopeExit([] { painting.pop_back(); });
  HDC dc = canvas.Handle();
  TSaveDCGuard keep(dc);
  OffsetViewportOrgEx(dc, -control.Left(), -control.Top(), nullptr);
  IntersectClipRect(dc, 0, 0, parent->ClientWidth(), parent->ClientHeight());
  parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
}

void PaintWindowBorder(TWinControl& control, TColor outerColor, TColor innerColor, bool drawInner) {
  HWND window = control.Handle();
  TWindowDC dc(window, true);
  RECT r{};
  GetWindowRect(window, &r);
  OffsetRect(&r, -r.left, -r.top);
  TBrushHandle outer(CreateSolidBrush(ColorToRGB(outerColor)));
  FrameRect(dc.Get(), &r, outer.Get());
  if (!drawInner) return;
  InflateRect(&r, -1, -1);
  TBrushHandle inner(CreateSolidBrush(ColorToRGB(innerColor)));
  FrameRect(dc.Get(), &r, inner.Get());
}

bool InRect(POINT point, const RECT& rect) { return InRectXY(point.x, point.y, rect); }

bool InRectXY(int x, int y, const RECT& rect) {
  return rect.left <= x && x <= rect.right && rect.top <= y && y <= rect.bottom;
}

void GetWorkAreaRect(RECT& rect) {
  TCustomForm* mainForm = Application->MainForm();
  if (mainForm && mainForm->HandleAllocated()) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(MonitorFromWindow(mainForm->HandleIfAllocated(), MONITOR_DEFAULTTONEAREST), &info)) {
      rect = info.rcWork;
      return;
    }
  }
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &rect, 0);
}

void SetControlBoundsRect(TControl& control, const RECT& rect) {
  control.SetLeft(rect.left);
  control.SetTop(rect.top);
  control.SetWidth(rect.right - rect.left);
  control.SetHeight(rect.bottom - rect.top);
}

void PlaceControl(TControl& control, POINT point) {
  control.SetLeft(point.x);
  control.SetTop(point.y);
}

namespace {

// One of this process's windows is the foreground window.
bool ApplicationActive() {
  DWORD process = 0;
  HWND foreground = GetForegroundWindow();
  return foreground && GetWindowThreadProcessId(foreground, &process) && process == GetCurrentProcessId();
}

}  // namespace

bool IsFormActive(TCustomForm* form) {
  TCustomForm* mainForm = Application->MainForm();
  if (!mainForm) return form && form->Active();
  const bool mdiFrame = mainForm->FormStyle() == fsMDIForm;
  if (mdiFrame && form == mainForm) return true;
  if (!ApplicationActive()) return false;
  if (!form || form == mainForm) return true;
  // The active MDI child draws active; any other form, inside the frame or not, by its own flag.
  if (mdiFrame && mainForm->ActiveMDIChild() == form) return true;
  return form->Active();
}

bool HasProperty(const TComponent* component, const std::string& name) {
  return component && HasPublishedProperty(component, name);
}

void ApplyStyleToControls(TWinControl& container, TkyrUIStyle style, TComponent* fileTheme) {
  for (int i = 0; i < container.ControlCount(); ++i) {
    TControl* child = container.Controls(i);
    if (!HasProperty(child, "FileTheme") || !HasProperty(child, "UIStyle")) continue;
    SetComponentProp(*child, "FileTheme", fileTheme);
    SetOrdProp(*child, "UIStyle", style);
  }
}

TDynamicProc::~TDynamicProc() {
  if (library_) FreeLibrary(library_);
}

FARPROC TDynamicProc::Get() {
  if (proc_ || unavailable_) return proc_;
  ++lookups_;
  if (!library_) library_ = LoadLibraryA(module_);
  proc_ = library_ ? GetProcAddress(library_, name_) : nullptr;
  unavailable_ = proc_ == nullptr;
  return proc_;
}

bool DynGetScrollBarInfo(HWND window, LONG objectId, SCROLLBARINFO* info) {
  using TGetScrollBarInfo = BOOL(WINAPI*)(HWND, LONG, PSCROLLBARINFO);
  static TDynamicProc getScrollBarInfo("User32.dll", "GetScrollBarInfo");
  FARPROC proc = getScrollBarInfo.Get();
  if (!proc) return false;
  return reinterpret_cast<TGetScrollBarInfo>(reinterpret_cast<void*>(proc))(window, objectId, info) != FALSE;
}
