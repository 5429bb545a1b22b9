// Times one title-bar repaint (WM_PAINT through the control's off-screen buffer: sections,
// buttons, the application's icon, the caption, one BitBlt) and one style switch, each against
// a plain FillRect of the bar's size on the bar's own window DC, and prints the ratios. Runs
// under Wine with the skin's resources linked in (`make bench-skin`); not a test.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "bench/BenchTiming.h"
#include "framework/ui/Forms.h"
#include "skin/frame/KYRTitleBar.h"

using bench::MicrosecondsPer;
using bench::Pump;

int main() {
  Application->Icon()->SetHandle(CopyIcon(LoadIcon(nullptr, IDI_APPLICATION)));
  TForm form(nullptr);
  form.SetBorderStyle(bsNone);
  form.SetBounds(40, 40, 400, 200);
  auto* bar = new TkyrTitleBar(&form);
  bar->SetParent(&form);
  bar->SetUIStyle(MacOS);
  bar->SetDrawAppIcon(true);
  bar->SetCaption("Corvane Vantor");
  // The framework's own cost: an empty custom-drawn control of the bar's size.
  auto* empty = new TCustomControl(&form);
  empty->SetBounds(0, 100, 400, bar->Height());
  empty->SetParent(&form);
  form.Show();
  Pump();
  const int width = bar->Width(), height = bar->Height();
  const POINT close = bar->ClientToScreen({bar->Width() - 12, 10});
  SetCursorPos(close.x, close.y);

  HWND window = bar->Handle();
  HDC dc = GetDC(window);
  HBRUSH brush = CreateSolidBrush(RGB(0x40, 0x80, 0xC0));
  const RECT all{0, 0, bar->Width(), bar->Height()};
  const double fill = MicrosecondsPer(2000, [&](int) { FillRect(dc, &all, brush); });
  const double repaint = MicrosecondsPer(2000, [&](int) {
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
  });
  HWND emptyWindow = empty->Handle();
  const double emptyRepaint = MicrosecondsPer(2000, [&](int) {
    InvalidateRect(emptyWindow, nullptr, FALSE);
    UpdateWindow(emptyWindow);
  });
  // The bar's own drawing, off the screen: its paint into a memory DC against a FillRect there.
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP target = CreateCompatibleBitmap(dc, width, height);
  HGDIOBJ previous = SelectObject(memory, target);
  const double memoryFill = MicrosecondsPer(2000, [&](int) { FillRect(memory, &all, brush); });
  const double offScreen = MicrosecondsPer(2000, [&](int) { bar->PaintTo(memory); });
  SelectObject(memory, previous);
  DeleteObject(target);
  DeleteDC(memory);
  const TkyrUIStyle styles[] = {MacOS, WinXP, DeepBlue, Protein, BlueGlass};
  const double restyle = MicrosecondsPer(100, [&](int i) { bar->SetUIStyle(styles[i % 5]); });
  const double restyleAndPaint = MicrosecondsPer(100, [&](int i) {
    bar->SetUIStyle(styles[i % 5]);
    UpdateWindow(window);
  });
  DeleteObject(brush);
  ReleaseDC(window, dc);

  std::printf("title bar %d x %d, MacOS, application icon, pointer over the close button\n", width, height);
  std::printf("%-40s %10s %12s\n", "on the bar's window", "us/op", "x FillRect");
  const auto row = [](const char* name, double us, double base) { std::printf("%-40s %10.2f %12.1f\n", name, us, us / base); };
  row("FillRect of the bar's size", fill, fill);
  row("repaint (WM_PAINT)", repaint, fill);
  row("empty custom control repaint (framework)", emptyRepaint, fill);
  row("style switch", restyle, fill);
  row("style switch and repaint", restyleAndPaint, fill);
  std::printf("%-40s %10s %12s\n", "off the screen (memory DC)", "us/op", "x FillRect");
  row("FillRect of the bar's size", memoryFill, memoryFill);
  row("paint (PaintTo)", offScreen, memoryFill);
  return 0;
}
