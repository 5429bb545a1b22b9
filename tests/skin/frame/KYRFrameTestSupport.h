// Helpers of the frame tests: coordinate-coded pictures and a captionless top-level window whose
// procedure answers the frame messages with the functions under test.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "framework/core/Streams.h"
#include "framework/graphics/Graphics.h"
#include "skin/frame/KYRForm.h"
#include "tests/framework/graphics/GraphicsTestSupport.h"
#include "tests/support/TestSupport.h"

namespace frametest {

// A W x H bitmap whose pixel (x, y) is RGB(10 x, 10 y, TAG): a probe names the picture (TAG) and
// the source pixel it shows.
inline std::unique_ptr<TBitmap> CodedBitmap(int w, int h, int tag) {
  auto bitmap = std::make_unique<TBitmap>(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bitmap->Canvas().SetPixel(x, y, static_cast<TColor>(RGB(x * 10, y * 10, tag)));
  return bitmap;
}
inline TColor Coded(int x, int y, int tag) { return static_cast<TColor>(RGB(x * 10, y * 10, tag)); }
inline int TagOf(TColor c) { return GetBValue(c); }
inline int CodedX(TColor c) { return GetRValue(c) / 10; }
inline int CodedY(TColor c) { return GetGValue(c) / 10; }

// RECT equality that names both rectangles on failure.
inline ::testing::AssertionResult SameRect(const RECT& actual, const RECT& expected) {
  if (EqualRect(&actual, &expected)) return ::testing::AssertionSuccess();
  auto text = [](const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ")";
  };
  return ::testing::AssertionFailure() << text(actual) << " is not " << text(expected);
}

// Saves BITMAP as NAME.bmp in $VANTOR_SHOT_DIR when that is set (screenshots for a reviewer).
inline void SaveShot(const std::string& name, const TBitmap& bitmap) {
  const std::string dir = EnvOr("VANTOR_SHOT_DIR", "");
  if (dir.empty()) return;
  TFileStream file(dir + PathSeparator() + name + ".bmp", fmCreate);
  bitmap.SaveToStream(file);
}

// A skinned host as the form panel leaves it: WS_POPUP | WS_CAPTION with WS_EX_DLGMODALFRAME, the
// caption bits stripped, SetWindowPos 0x37. Its procedure answers WM_NCCALCSIZE with
// FrameNCCalcSize, WM_NCPAINT with PaintFrame (a minimised window: DefWindowProc),
// WM_NCACTIVATE itself, the side-border query with the borders' side width, and paints its
// client area in ClientColor.
class TFrameHost {
public:
  static constexpr TColor ClientColor = 0x00FF00;

  TFrameHost(int width, int height, const TkyrFrameBorders* borders = nullptr) : borders_(borders) {
    look.Borders = borders;
    static const ATOM atom = [] {
      WNDCLASSA wc{};
      wc.lpfnWndProc = &TFrameHost::Proc;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = "VantorFrameHost";
      wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
      return RegisterClassA(&wc);
    }();
    (void)atom;
    window_ = CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE, "VantorFrameHost", "host",
                              WS_POPUP | WS_CAPTION | WS_SYSMENU, 60, 60, width, height, nullptr, nullptr,
                              GetModuleHandleA(nullptr), this);
    SetWindowLongA(window_, GWL_STYLE, GetWindowLongA(window_, GWL_STYLE) & ~WS_CAPTION);
    SetWindowPos(window_, nullptr, 0, 0, 0, 0, SWP_FRAMEONLY);
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    UpdateWindow(window_);
  }
  ~TFrameHost() { DestroyWindow(window_); }
  TFrameHost(const TFrameHost&) = delete;
  TFrameHost& operator=(const TFrameHost&) = delete;

  HWND Handle() const { return window_; }
  int Width() const { return WindowRect().right - WindowRect().left; }
  int Height() const { return WindowRect().bottom - WindowRect().top; }
  RECT WindowRect() const {
    RECT r{};
    GetWindowRect(window_, &r);
    return r;
  }
  // The client area in window coordinates.
  RECT ClientInWindow() const {
    RECT c{};
    GetClientRect(window_, &c);
    MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&c), 2);
    const RECT w = WindowRect();
    OffsetRect(&c, -w.left, -w.top);
    return c;
  }
  // Recomputes the frame (SWP_FRAMECHANGED) and paints frame and client now.
  void Redraw() {
    SetWindowPos(window_, nullptr, 0, 0, 0, 0, SWP_FRAMEONLY);
    RedrawWindow(window_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  }
  // The whole window as its DC holds it.
  std::unique_ptr<TBitmap> Capture() const {
    auto shot = std::make_unique<TBitmap>(Width(), Height());
    TWindowDC dc(window_, true);
    BitBlt(shot->Canvas().Handle(), 0, 0, Width(), Height(), dc.Get(), 0, 0, SRCCOPY);
    return shot;
  }

  TkyrFrameLook look;
  // Paint the client area as a skinned form would look (FillColor, the title pictures shifted up
  // and left by the frame as the title bar draws them) instead of ClientColor: for screenshots.
  bool titleInClient = false;
  int ncPaints = 0;
  int painted = 0;  // WM_NCPAINT messages PaintFrame painted

private:
  static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
      auto* self = static_cast<TFrameHost*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TFrameHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, msg, wParam, lParam);
    const int side = self->borders_ ? self->borders_->SideWidth() : 0;
    const int bottom = self->borders_ ? self->borders_->BottomHeight() : 0;
    switch (msg) {
      case WM_NCCALCSIZE:
        return FrameNCCalcSize(wParam, lParam, side, bottom);
      case WM_NCPAINT:
        ++self->ncPaints;
        if (!PaintFrame(window, self->look)) break;
        ++self->painted;
        return 0;
      case WM_NCACTIVATE:
        return TRUE;
      case KYR_MSG_SIDE_BORDER_WIDTH:
        return side;
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT: {
        TPaintDC dc(window);
        self->PaintClient(dc.Get());
        return 0;
      }
    }
    return DefWindowProcA(window, msg, wParam, lParam);
  }

  void PaintClient(HDC dc) {
    RECT client{};
    GetClientRect(window_, &client);
    TCanvas canvas(dc);
    canvas.Brush().SetColor(titleInClient ? look.FillColor : ClientColor);
    canvas.FillRect(client);
    const TkyrTitlePictures& t = look.Title;
    if (!titleInClient || !t.Left || !t.Right || !t.Client) return;
    const int f = KYR_FRAME_WIDTH, rightX = client.right + f - t.Right->Width();
    canvas.StretchDraw(RECT{t.Left->Width() - f, -f, rightX, t.Client->Height() - f}, *t.Client);
    canvas.Draw(-f, -f, *t.Left);
    canvas.Draw(rightX, -f, *t.Right);
  }

  const TkyrFrameBorders* borders_;
  HWND window_ = nullptr;
};

}  // namespace frametest
