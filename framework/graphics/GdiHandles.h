// Move-only owners and borrowers of GDI/USER handles, and scope guards for device-context state.
//
// Owned wrappers (TPenHandle, TBrushHandle, TFontHandle, TBitmapHandle, TRegionHandle, TIconHandle,
// TImageListHandle, TMenuHandle, TWindowHandle, TMemoryDC) free their handle in the destructor; TBorrowedHandle<H>
// only carries a handle someone else owns (stock objects, system handles). None can be copied.
// TWindowDC releases a GetDC/GetWindowDC context, TPaintDC ends a BeginPaint.
//
// When VANTOR_HANDLE_COUNTS is defined (Debug windows builds) every owned wrapper counts itself per
// kind; LiveHandleCount(kind) lets a test prove that a window painted many times leaks nothing:
//     const int pens = LiveHandleCount(THandleKind::Pen);
//     { TPenHandle pen(CreatePen(PS_SOLID, 1, 0)); ... }
//     EXPECT_EQ(LiveHandleCount(THandleKind::Pen), pens);
//
// Guards store the DC and the previous state in their constructor and put it back when they go:
//     TSelectObjectGuard keepPen(dc, pen.Get());   TTextColorGuard keepText(dc, RGB(255, 0, 0));
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

enum class THandleKind { Pen, Brush, Font, Bitmap, Region, DC, Icon, ImageList, Menu, Window, Count };

// True when this build counts live handles (otherwise LiveHandleCount is always 0).
bool HandleCountsEnabled();
// Owned handles of KIND currently alive in this process.
int LiveHandleCount(THandleKind kind);
// Adjusts the count of KIND; used by the wrappers (and by code that adopts handles itself).
void NoteHandleCreated(THandleKind kind);
void NoteHandleDestroyed(THandleKind kind);

// How each kind of handle is freed.
struct TGdiObjectFree {
  static void Free(HGDIOBJ h) { DeleteObject(h); }
};
struct TIconFree {
  static void Free(HICON h) { DestroyIcon(h); }
};
struct TImageListFree {
  static void Free(HIMAGELIST h) { ImageList_Destroy(h); }
};
struct TMenuFree {
  static void Free(HMENU h) { DestroyMenu(h); }
};
struct TWindowFree {
  static void Free(HWND h) { DestroyWindow(h); }
};
struct TMemoryDCFree {
  static void Free(HDC h) { DeleteDC(h); }
};

// Owns H: frees it once, in the destructor or on Reset. Move-only.
template <typename H, THandleKind Kind, typename FreePolicy>
class TOwnedHandle {
public:
  TOwnedHandle() = default;
  explicit TOwnedHandle(H handle) : handle_(handle) {
    if (handle_) NoteHandleCreated(Kind);
  }
  ~TOwnedHandle() { Reset(); }
  TOwnedHandle(TOwnedHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  TOwnedHandle& operator=(TOwnedHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  TOwnedHandle(const TOwnedHandle&) = delete;
  TOwnedHandle& operator=(const TOwnedHandle&) = delete;

  H Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  // Frees the current handle and takes ownership of HANDLE.
  void Reset(H handle = nullptr) {
    if (handle_ == handle) return;
    if (handle_) {
      FreePolicy::Free(handle_);
      NoteHandleDestroyed(Kind);
    }
    handle_ = handle;
    if (handle_) NoteHandleCreated(Kind);
  }
  // Gives up ownership without freeing; the caller now owns the handle.
  H Release() {
    if (handle_) NoteHandleDestroyed(Kind);
    return std::exchange(handle_, nullptr);
  }

private:
  H handle_ = nullptr;
};

// Carries a handle owned elsewhere; never frees it. Move-only like the owners, so a borrowed
// handle is not spread around by accident.
template <typename H>
class TBorrowedHandle {
public:
  TBorrowedHandle() = default;
  explicit TBorrowedHandle(H handle) : handle_(handle) {}
  TBorrowedHandle(TBorrowedHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  TBorrowedHandle& operator=(TBorrowedHandle&& other) noexcept {
    handle_ = std::exchange(other.handle_, nullptr);
    return *this;
  }
  TBorrowedHandle(const TBorrowedHandle&) = delete;
  TBorrowedHandle& operator=(const TBorrowedHandle&) = delete;

  H Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

private:
  H handle_ = nullptr;
};

using TPenHandle = TOwnedHandle<HPEN, THandleKind::Pen, TGdiObjectFree>;
using TBrushHandle = TOwnedHandle<HBRUSH, THandleKind::Brush, TGdiObjectFree>;
using TFontHandle = TOwnedHandle<HFONT, THandleKind::Font, TGdiObjectFree>;
using TBitmapHandle = TOwnedHandle<HBITMAP, THandleKind::Bitmap, TGdiObjectFree>;
using TRegionHandle = TOwnedHandle<HRGN, THandleKind::Region, TGdiObjectFree>;
using TIconHandle = TOwnedHandle<HICON, THandleKind::Icon, TIconFree>;
using TImageListHandle = TOwnedHandle<HIMAGELIST, THandleKind::ImageList, TImageListFree>;
using TMenuHandle = TOwnedHandle<HMENU, THandleKind::Menu, TMenuFree>;
// A window this code created and no framework object is bound to (a tooltip, say).
using TWindowHandle = TOwnedHandle<HWND, THandleKind::Window, TWindowFree>;

// A memory DC (CreateCompatibleDC), deleted with DeleteDC.
class TMemoryDC : public TOwnedHandle<HDC, THandleKind::DC, TMemoryDCFree> {
public:
  TMemoryDC() = default;
  // A memory DC compatible with REFERENCE (nullptr: the screen).
  explicit TMemoryDC(HDC reference);
};

// The DC of a window from GetDC (or GetWindowDC when WHOLE_WINDOW), released with ReleaseDC.
class TWindowDC {
public:
  explicit TWindowDC(HWND window, bool wholeWindow = false);
  ~TWindowDC();
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  HDC Get() const { return dc_; }

private:
  HWND window_;
  HDC dc_;
};

// BeginPaint/EndPaint around a WM_PAINT handler.
class TPaintDC {
public:
  explicit TPaintDC(HWND window);
  ~TPaintDC();
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;
  HDC Get() const { return dc_; }
  const PAINTSTRUCT& Paint() const { return paint_; }

private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// ---- device-context state guards ----

// Selects OBJECT into DC; the previously selected object goes back in the destructor.
class TSelectObjectGuard {
public:
  TSelectObjectGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~TSelectObjectGuard() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  TSelectObjectGuard(const TSelectObjectGuard&) = delete;
  TSelectObjectGuard& operator=(const TSelectObjectGuard&) = delete;

private:
  HDC dc_;
  HGDIOBJ previous_;
};

// Sets one value of DC through SETTER (SetTextColor, SetBkMode ...) and puts the previous value
// back, which each of these setters returns.
template <typename V, V(WINAPI* Setter)(HDC, V)>
class TDCValueGuard {
public:
  TDCValueGuard(HDC dc, V value) : dc_(dc), previous_(Setter(dc, value)) {}
  ~TDCValueGuard() { Setter(dc_, previous_); }
  TDCValueGuard(const TDCValueGuard&) = delete;
  TDCValueGuard& operator=(const TDCValueGuard&) = delete;

private:
  HDC dc_;
  V previous_;
};

using TTextColorGuard = TDCValueGuard<COLORREF, SetTextColor>;
using TBkColorGuard = TDCValueGuard<COLORREF, SetBkColor>;
// TRANSPARENT or OPAQUE.
using TBkModeGuard = TDCValueGuard<int, SetBkMode>;
using TStretchBltModeGuard = TDCValueGuard<int, SetStretchBltMode>;
using TROP2Guard = TDCValueGuard<int, SetROP2>;

// Remembers the clip region of DC (or that there was none) and restores it; between the two the
// caller may narrow the clip freely (IntersectClipRect, SelectClipRgn, ExtSelectClipRgn).
class TClipRegionGuard {
public:
  explicit TClipRegionGuard(HDC dc);
  ~TClipRegionGuard();
  TClipRegionGuard(const TClipRegionGuard&) = delete;
  TClipRegionGuard& operator=(const TClipRegionGuard&) = delete;

private:
  HDC dc_;
  TRegionHandle saved_;  // empty: the DC had no clip region
};

// Sets the viewport origin of DC to (X, Y) and puts the old origin back.
class TViewportOrgGuard {
public:
  TViewportOrgGuard(HDC dc, int x, int y) : dc_(dc) { SetViewportOrgEx(dc, x, y, &previous_); }
  ~TViewportOrgGuard() { SetViewportOrgEx(dc_, previous_.x, previous_.y, nullptr); }
  TViewportOrgGuard(const TViewportOrgGuard&) = delete;
  TViewportOrgGuard& operator=(const TViewportOrgGuard&) = delete;

private:
  HDC dc_;
  POINT previous_{};
};

// SaveDC now, RestoreDC to exactly that level in the destructor.
class TSaveDCGuard {
public:
  explicit TSaveDCGuard(HDC dc) : dc_(dc), level_(SaveDC(dc)) {}
  ~TSaveDCGuard() {
    if (level_ > 0) RestoreDC(dc_, level_);
  }
  TSaveDCGuard(const TSaveDCGuard&) = delete;
  TSaveDCGuard& operator=(const TSaveDCGuard&) = delete;

private:
  HDC dc_;
  int level_;
};
