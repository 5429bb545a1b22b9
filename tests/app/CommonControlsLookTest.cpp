// Common controls v6 must not change how the program's windows look. Each window of Vantor.exe
// (which carries the manifest) is shown, captured from the screen and compared pixel for pixel
// with the same window of the same program linked without the manifest.
//
// Children of the system classes that v6 replaces with its own (Button, Edit) are left out of
// the comparison: v6 gives them its look on purpose (on Windows, the visual styles; under Wine a
// flat push button and a flat client edge), and the tests that draw them carry the manifest.
// Everything the program and the skin draw themselves must come out the same.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "framework/core/StrUtils.h"
#include "framework/graphics/GdiHandles.h"
#include "framework/graphics/Graphics.h"
#include "tests/support/ProgramWindows.h"
#include "tests/support/TestSupport.h"

namespace {

const char* const kWindows[] = {"Vantor", "About Vantor", "Message"};

// A window's pixels as on the screen, with the rectangles of its system-class children blanked.
struct TCapture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  int distinctColours = 0;
};

std::vector<RECT> SystemControlRects(HWND window) {
  struct Search {
    HWND top;
    std::vector<RECT> rects;
  } search{window, {}};
  EnumChildWindows(
      window,
      [](HWND child, LPARAM l) -> BOOL {
        auto* s = reinterpret_cast<Search*>(l);
        char cls[64] = {};
        GetClassNameA(child, cls, sizeof cls);
        const std::string name = LowerCase(cls);
        if (name != "button" && name != "edit") return TRUE;
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, s->top, reinterpret_cast<POINT*>(&r), 2);
        s->rects.push_back(r);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.rects;
}

TCapture CaptureFromScreen(HWND window) {
  RECT frame, client;
  GetWindowRect(window, &frame);
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  TCapture capture;
  capture.width = frame.right - frame.left;
  capture.height = frame.bottom - frame.top;
  if (capture.width <= 0 || capture.height <= 0) return capture;
  TBitmap bitmap;
  bitmap.SetSize(capture.width, capture.height);
  {
    TWindowDC screen(nullptr);
    BitBlt(bitmap.Canvas().Handle(), 0, 0, capture.width, capture.height, screen.Get(), frame.left, frame.top,
           SRCCOPY);
  }
  std::vector<RECT> blanks = SystemControlRects(window);
  const int dx = client.left - frame.left, dy = client.top - frame.top;  // child rects are client-relative
  std::vector<uint32_t> seen;
  for (int y = 0; y < capture.height; ++y) {
    for (int x = 0; x < capture.width; ++x) {
      uint32_t pixel = bitmap.ScanLine(y)[x] & 0xFFFFFF;
      for (const RECT& r : blanks)
        if (x - dx >= r.left && x - dx < r.right && y - dy >= r.top && y - dy < r.bottom) pixel = 0xFF000000u;
      capture.pixels.push_back(pixel);
      if (seen.size() < 16 && std::find(seen.begin(), seen.end(), pixel) == seen.end()) seen.push_back(pixel);
    }
  }
  capture.distinctColours = static_cast<int>(seen.size());
  return capture;
}

// Shows the window TEXT of the running program on top of everything and captures it once two
// captures in a row agree (the program has finished painting).
TCapture ShowAndCapture(const TRunningProgram& program, const std::string& text) {
  const auto found = FindTopWindow(TopWindowsOf(program.Id()), text);
  if (!found) return {};
  const HWND window = found->window;
  ShowWindow(window, SW_SHOWNOACTIVATE);
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // A message sent to the program returns once it has handled what came before (the
  // deactivation); the redraw then paints every window in its final state.
  SendMessageA(window, WM_NULL, 0, 0);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  TCapture last, now;
  WaitFor([&] {
    last = std::move(now);
    now = CaptureFromScreen(window);
    return !last.pixels.empty() && last.pixels == now.pixels;
  });
  SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (text != "Vantor") ShowWindow(window, SW_HIDE);
  return now;
}

// A small window of this process, away from the program's windows, that takes the activation:
// every window of the program is then captured inactive, whatever Wine activated at start-up.
class TForegroundThief {
public:
  TForegroundThief()
      : window_(CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 8, 8, nullptr, nullptr,
                                nullptr, nullptr)) {
    SetForegroundWindow(window_);
  }
  ~TForegroundThief() { DestroyWindow(window_); }
  TForegroundThief(const TForegroundThief&) = delete;
  TForegroundThief& operator=(const TForegroundThief&) = delete;

private:
  HWND window_;
};

std::vector<TCapture> CaptureEveryWindow(const std::string& program) {
  // Earlier tests click the Convert button with the real mouse: a pointer left over it would light
  // the button in one program and not in the other. The screen's far corner is clear of every window.
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
  TRunningProgram running(program);
  std::vector<TCapture> captures;
  if (!running.Started() || !WaitFor([&] {
        const std::vector<TTopWindow> windows = TopWindowsOf(running.Id());
        const auto main = FindTopWindow(windows, "Vantor");
        return main && main->visible && FindTopWindow(windows, "Message");
      }))
    return captures;
  TForegroundThief thief;
  for (const char* text : kWindows) captures.push_back(ShowAndCapture(running, text));
  running.CloseAndWait("Vantor");
  return captures;
}

TEST(CommonControlsV6, ChangesNothingTheProgramDrawsItself) {
  const std::vector<TCapture> withManifest = CaptureEveryWindow(BuiltProgramPath("app/Vantor"));
  const std::vector<TCapture> without = CaptureEveryWindow(BuiltProgramPath("app/VantorWithoutManifest"));
  ASSERT_EQ(withManifest.size(), std::size(kWindows));
  ASSERT_EQ(without.size(), std::size(kWindows));
  for (size_t i = 0; i < std::size(kWindows); ++i) {
    const TCapture &a = withManifest[i], &b = without[i];
    ASSERT_GT(a.width, 0) << kWindows[i];
    ASSERT_EQ(a.width, b.width) << kWindows[i];
    ASSERT_EQ(a.height, b.height) << kWindows[i];
    EXPECT_GE(a.distinctColours, 3) << kWindows[i] << ": nothing was captured";
    int differing = 0, firstX = -1, firstY = -1;
    for (size_t p = 0; p < a.pixels.size(); ++p) {
      if (a.pixels[p] == b.pixels[p]) continue;
      if (differing++ == 0) firstX = static_cast<int>(p) % a.width, firstY = static_cast<int>(p) / a.width;
    }
    EXPECT_EQ(differing, 0) << kWindows[i] << ": first difference at (" << firstX << ", " << firstY << ")";
  }
}

}  // namespace
