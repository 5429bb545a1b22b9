#include "tools/skin-showcase/WindowCapture.h"

#include <algorithm>

#include "framework/core/Streams.h"
#include "framework/graphics/GdiHandles.h"
#include "framework/graphics/Graphics.h"

void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

namespace {

// The window's pixels as on the screen.
void CaptureWindow(HWND window, TBitmap& into) {
  RECT r;
  GetWindowRect(window, &r);
  into.SetSize(r.right - r.left, r.bottom - r.top);
  TWindowDC screen(nullptr);
  BitBlt(into.Canvas().Handle(), 0, 0, into.Width(), into.Height(), screen.Get(), r.left, r.top, SRCCOPY);
  GdiFlush();
}

bool SamePixels(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    if (!std::equal(a.ScanLine(y), a.ScanLine(y) + a.Width(), b.ScanLine(y))) return false;
  return true;
}

}  // namespace

void SaveSettledWindow(HWND window, const std::string& path) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  // Wine hands what a window painted to the X server from its message loop, a little later:
  // keep the loop running between captures.
  TBitmap last, now;
  for (int attempt = 0; attempt < 100; ++attempt) {
    for (int i = 0; i < 5; ++i) {
      PumpMessages();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    last.Assign(now);
    CaptureWindow(window, now);
    if (attempt >= 2 && SamePixels(last, now)) break;
  }
  now.SetPixelFormat(pf24bit);  // the screen's fourth byte is no alpha channel
  TFileStream out(path, fmCreate);
  now.SaveToStream(out);
}
