#include "framework/graphics/GdiHandles.h"

#include <atomic>

namespace {

#ifdef VANTOR_HANDLE_COUNTS
std::atomic<int> liveCounts[static_cast<int>(THandleKind::Count)];
#endif

}  // namespace

bool HandleCountsEnabled() {
#ifdef VANTOR_HANDLE_COUNTS
  return true;
#else
  return false;
#endif
}

int LiveHandleCount([[maybe_unused]] THandleKind kind) {
#ifdef VANTOR_HANDLE_COUNTS
  return liveCounts[static_cast<int>(kind)].load();
#else
  return 0;
#endif
}

void NoteHandleCreated([[maybe_unused]] THandleKind kind) {
#ifdef VANTOR_HANDLE_COUNTS
  ++liveCounts[static_cast<int>(kind)];
#endif
}

void NoteHandleDestroyed([[maybe_unused]] THandleKind kind) {
#ifdef VANTOR_HANDLE_COUNTS
  --liveCounts[static_cast<int>(kind)];
#endif
}

TMemoryDC::TMemoryDC(HDC reference)
    : TOwnedHandle<HDC, THandleKind::DC, TMemoryDCFree>(CreateCompatibleDC(reference)) {}

TWindowDC::TWindowDC(HWND window, bool wholeWindow)
    : window_(window), dc_(wholeWindow ? GetWindowDC(window) : GetDC(window)) {
  if (dc_) NoteHandleCreated(THandleKind::DC);
}

TWindowDC::~TWindowDC() {
  if (!dc_) return;
  ReleaseDC(window_, dc_);
  NoteHandleDestroyed(THandleKind::DC);
}

TPaintDC::TPaintDC(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {
  if (dc_) NoteHandleCreated(THandleKind::DC);
}

TPaintDC::~TPaintDC() {
  EndPaint(window_, &paint_);
  if (dc_) NoteHandleDestroyed(THandleKind::DC);
}

// GetClipRgn copies the clip into an existing region and answers 0 when the DC has none.
TClipRegionGuard::TClipRegionGuard(HDC dc) : dc_(dc) {
  TRegionHandle copy(CreateRectRgn(0, 0, 0, 0));
  if (GetClipRgn(dc, copy.Get()) == 1) saved_ = std::move(copy);
}

// SelectClipRgn copies the region, so the saved one is still ours to delete.
TClipRegionGuard::~TClipRegionGuard() { SelectClipRgn(dc_, saved_.Get()); }
