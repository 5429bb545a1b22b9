// Times the skinned track bar and memo against the system's own controls doing the same work,
// each followed by its repaint: a track bar's position change, a memo's caret walking down one
// line (the bars kept in step), and a memo scrolled to a line by its vertical bar. Prints the
// ratios. Runs under Wine with the skin's resources linked in (`make bench-skin`); not a test.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "bench/BenchTiming.h"
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"
#include "skin/controls/KYRMemo.h"
#include "skin/controls/KYRScrollBar.h"
#include "skin/controls/KYRTrackBar.h"

namespace {

using bench::MicrosecondsPer;
using bench::Pump;

constexpr int kLines = 2000;

std::string NumberedLines() {
  std::string text;
  for (int i = 1; i <= kLines; ++i) text += "Line " + std::to_string(i) + " of the text\r\n";
  return text;
}

// WINDOW and its children painted now.
void PaintNow(HWND window) { RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

void Report(const char* what, double systemUs, double skinnedUs) {
  std::printf("%-34s system %8.1f us   skinned %8.1f us   (%.2fx)\n", what, systemUs, skinnedUs, skinnedUs / systemUs);
}

// The memo's caret back on the first line at the first call, then down one line per call.
void WalkDown(HWND memo, int i) {
  if (i == 0) {
    SendMessageA(memo, EM_SETSEL, 0, 0);
    SendMessageA(memo, EM_SCROLLCARET, 0, 0);
  }
  SendMessageA(memo, WM_KEYDOWN, VK_DOWN, 0);
  SendMessageA(memo, WM_KEYUP, VK_DOWN, 0);
}

}  // namespace

int main() {
  const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES};
  InitCommonControlsEx(&classes);
  TForm form(nullptr);
  form.SetBounds(20, 20, 700, 300);
  form.Show();

  // Track bars, 0..10, 300 pixels long.
  auto* skinnedBar = new TkyrTrackBar(&form);
  skinnedBar->SetUIStyle(DeepBlue);
  skinnedBar->SetBounds(10, 10, 300, skinnedBar->Height());
  skinnedBar->SetParent(&form);
  const HWND systemBar = CreateWindowExA(0, TRACKBAR_CLASSA, "", WS_CHILD | WS_VISIBLE | TBS_AUTOTICKS, 340, 10, 300,
                                         30, form.Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(systemBar, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));

  // Memos of 2,000 lines, 300 x 200, both bars.
  const std::string text = NumberedLines();
  auto* skinnedMemo = new TkyrMemo(&form);
  skinnedMemo->SetBounds(10, 60, 300, 200);
  skinnedMemo->SetParent(&form);
  skinnedMemo->SetWordWrap(false);
  skinnedMemo->SetText(text);
  auto* vBar = new TkyrScrollBar(&form);
  vBar->SetParent(&form);
  auto* hBar = new TkyrScrollBar(&form);
  hBar->SetParent(&form);
  skinnedMemo->SetVScrollBar(vBar);
  skinnedMemo->SetHScrollBar(hBar);
  auto* systemMemo = new TMemo(&form);
  systemMemo->SetBounds(340, 60, 300, 200);
  systemMemo->SetParent(&form);
  systemMemo->SetWordWrap(false);
  systemMemo->SetScrollBars(ssBoth);
  systemMemo->SetText(text);
  Pump();

  const HWND window = form.Handle();
  Report("track bar position + repaint",
         MicrosecondsPer(200, [&](int i) {
           SendMessageA(systemBar, TBM_SETPOS, TRUE, i % 11);
           PaintNow(systemBar);
         }),
         MicrosecondsPer(200, [&](int i) {
           skinnedBar->SetPosition(i % 11);
           PaintNow(skinnedBar->Handle());
         }));
  Report("memo caret down a line + repaint",
         MicrosecondsPer(400, [&](int i) {
           WalkDown(systemMemo->Handle(), i);
           PaintNow(systemMemo->Handle());
         }),
         MicrosecondsPer(400, [&](int i) {
           WalkDown(skinnedMemo->Handle(), i);
           PaintNow(window);  // the bars are the memo's siblings
         }));
  Report("memo scrolled by its bar + repaint",
         MicrosecondsPer(200, [&](int i) {
           SendMessageA(systemMemo->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, i * 7 % kLines), 0);
           PaintNow(systemMemo->Handle());
         }),
         MicrosecondsPer(200, [&](int i) {
           vBar->SetPosition(i * 7 % kLines);
           PaintNow(window);
         }));
  return 0;
}
