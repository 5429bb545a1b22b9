// The skinned memo under Wine: bars laid over the EDIT control's own scroll bars and kept in
// step both ways (a 100,000-line text, typing, pasting, the wheel, text set by the program),
// bars hiding with the memo, releasing and dropping bars, the frame's pixels and handle counts.
#include "skin/controls/KYRMemo.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/graphics/GdiHandles.h"
#include "tests/framework/graphics/GraphicsTestSupport.h"
#include "skin/KYRClasses.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace {

// LINES lines "line 1", "line 2", ... joined by CR LF.
std::string NumberedLines(int lines) {
  std::string text;
  text.reserve(static_cast<size_t>(lines) * 12);
  for (int i = 1; i <= lines; ++i) {
    if (i > 1) text += "\r\n";
    text += "line " + std::to_string(i);
  }
  return text;
}

// A shown form with a memo at (10, 10, 200 x 120) and two bars bound to it.
class MemoWindow : public ::testing::Test {
public:
  MemoWindow() {
    memo = uitest::Place<TkyrMemo>(shown.form, 10, 10, 200, 120);
    memo->SetWordWrap(false);
    vBar = new TkyrScrollBar(shown.form);
    vBar->SetParent(shown.form);
    hBar = new TkyrScrollBar(shown.form);
    hBar->SetParent(shown.form);
    memo->SetVScrollBar(vBar);
    memo->SetHScrollBar(hBar);
    uitest::Pump();
  }

  HWND Edit() const { return memo->HandleIfAllocated(); }
  int FirstVisibleLine() const { return static_cast<int>(SendMessageA(Edit(), EM_GETFIRSTVISIBLELINE, 0, 0)); }
  SCROLLINFO Native(int which) const {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(Edit(), which, &si);
    return si;
  }
  // The bar shows the native state: range, position, enabled, thumb.
  void ExpectInStep(TkyrScrollBar* bar, int which) const {
    const SCROLLINFO si = Native(which);
    EXPECT_EQ(bar->Position(), si.nPos);
    EXPECT_EQ(bar->Max(), si.nMax - static_cast<int>(si.nPage) + 1);
    EXPECT_EQ(bar->Min(), si.nMin);
  }

  uitest::TShownForm shown{300, 200};
  TkyrMemo* memo;
  TkyrScrollBar* vBar;
  TkyrScrollBar* hBar;
};

TEST_F(MemoWindow, BarsCoverTheNativeOnesInsideTheFrame) {
  EXPECT_EQ(memo->ScrollBars(), ssBoth);
  EXPECT_EQ(vBar->Orientation(), kyrVertical);
  EXPECT_EQ(hBar->Orientation(), kyrHorizontal);
  EXPECT_EQ(vBar->Left(), 10 + 200 - vBar->Width() - 2);  // 2 pixels inside the right edge
  EXPECT_EQ(vBar->Top(), 11);                            // 1 below the top
  EXPECT_EQ(vBar->Height(), 120 - 2 - hBar->Height());
  EXPECT_EQ(hBar->Left(), 11);
  EXPECT_EQ(hBar->Top(), 10 + 120 - hBar->Height() - 2);
  EXPECT_EQ(hBar->Width(), 200 - 1 - vBar->Width());
  EXPECT_TRUE(vBar->Visible() && hBar->Visible());

  memo->SetHScrollBar(nullptr);  // released: a plain bar again, the native one off
  EXPECT_EQ(memo->ScrollBars(), ssVertical);
  EXPECT_FALSE(hBar->OnChange());
  EXPECT_EQ(hBar->Max(), 100);
  EXPECT_EQ(hBar->LineButton(), 0);
  EXPECT_TRUE(hBar->Enabled());
  memo->SetBounds(10, 10, 200, 100);
  EXPECT_EQ(vBar->Height(), 100 - 2);

  delete vBar;  // a bar that goes is dropped from the binding
  EXPECT_EQ(memo->VScrollBar(), nullptr);
  EXPECT_EQ(memo->ScrollBars(), ssNone);
}

TEST_F(MemoWindow, AHundredThousandLinesScrolledToTheEndShowTheLastLine) {
  memo->SetText(NumberedLines(100000));
  ExpectInStep(vBar, SB_VERT);
  ASSERT_GT(vBar->Max(), 0xFFFF);  // beyond what SB_THUMBPOSITION can carry
  EXPECT_TRUE(vBar->Enabled());
  EXPECT_TRUE(vBar->ThumbVisible());
  vBar->SetPosition(vBar->Max());
  EXPECT_EQ(FirstVisibleLine(), vBar->Max());
  EXPECT_EQ(Native(SB_VERT).nPos, vBar->Max());
  EXPECT_EQ(vBar->Position(), vBar->Max());  // not reset by the scroll it caused
  const int last = static_cast<int>(SendMessageA(Edit(), EM_GETLINECOUNT, 0, 0)) - 1;
  RECT client{};
  GetClientRect(Edit(), &client);
  const LRESULT bottomLeft = SendMessageA(Edit(), EM_CHARFROMPOS, 0, MAKELPARAM(2, client.bottom - 2));
  EXPECT_EQ(HIWORD(bottomLeft), last & 0xFFFF);  // the last line stands at the bottom

  vBar->SetPosition(70000);
  EXPECT_EQ(FirstVisibleLine(), 70000);
  vBar->SetPosition(12);  // within 16 bits: through WM_VSCROLL
  EXPECT_EQ(FirstVisibleLine(), 12);
  EXPECT_EQ(vBar->Position(), 12);
}

// A person with the real mouse: the thumb dragged to the bottom of its track, the wheel turned
// one notch back, the increase arrow clicked; the text follows each, the bar stays in step.
TEST_F(MemoWindow, TheRealMouseOnTheBarAndTheWheelScrollTheText) {
  memo->SetText(NumberedLines(500));
  SetForegroundWindow(shown->Handle());
  memo->SetFocus();
  uitest::Pump();
  const auto centre = [](TControl* control) {
    return control->ClientToScreen({control->Width() / 2, control->Height() / 2});
  };
  const auto settle = [] {
    for (int i = 0; i < 5; ++i) {
      uitest::Pump();
      Sleep(10);
    }
  };
  const POINT thumb = centre(vBar->Track()->Slider());
  uitest::MovePointerTo(thumb);
  settle();
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  settle();
  uitest::MovePointerTo({thumb.x, vBar->ClientToScreen({0, vBar->Height()}).y + 40});
  settle();
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  settle();
  ASSERT_EQ(vBar->Position(), vBar->Max());
  EXPECT_EQ(FirstVisibleLine(), vBar->Max());
  ExpectInStep(vBar, SB_VERT);

  uitest::MovePointerTo(centre(memo));
  INPUT wheel{};
  wheel.type = INPUT_MOUSE;
  wheel.mi.dwFlags = MOUSEEVENTF_WHEEL;
  wheel.mi.mouseData = WHEEL_DELTA;  // one notch away from the user: up
  SendInput(1, &wheel, sizeof wheel);
  settle();
  EXPECT_LT(FirstVisibleLine(), vBar->Max());
  EXPECT_EQ(vBar->Position(), FirstVisibleLine());
  ExpectInStep(vBar, SB_VERT);

  const int before = FirstVisibleLine();
  uitest::MovePointerTo(centre(vBar->IncButton()));
  settle();
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
  settle();
  EXPECT_EQ(FirstVisibleLine(), before + 1);
  EXPECT_EQ(vBar->Position(), before + 1);
}

// A bar's change scrolls the EDIT control once; a state copied into a bar is not sent back.
TEST_F(MemoWindow, TheEchoStopsInBothDirections) {
  memo->SetText(NumberedLines(200));
  uitest::TMessageLog log(memo, {WM_VSCROLL, EM_LINESCROLL});
  vBar->SetPosition(30);
  EXPECT_EQ(log.messages, std::vector<UINT>{WM_VSCROLL});
  EXPECT_EQ(FirstVisibleLine(), 30);
  log.messages.clear();
  memo->SetText(NumberedLines(20));  // shorter: the copied range clamps the bar's position first
  EXPECT_TRUE(log.messages.empty());
  ExpectInStep(vBar, SB_VERT);
}

TEST_F(MemoWindow, TypingPastingWheelAndTheProgramKeepTheBarsInStep) {
  memo->SetText(NumberedLines(3));
  EXPECT_FALSE(vBar->Enabled());  // nothing to scroll: disabled, no thumb
  EXPECT_FALSE(vBar->ThumbVisible());
  memo->SetFocus();
  SendMessageA(Edit(), EM_SETSEL, 1 << 20, 1 << 20);
  for (int i = 0; i < 20; ++i) uitest::PressKey(VK_RETURN);
  ASSERT_TRUE(uitest::PumpUntil([&] { return SendMessageA(Edit(), EM_GETLINECOUNT, 0, 0) >= 23; }));
  EXPECT_GT(FirstVisibleLine(), 0);
  ExpectInStep(vBar, SB_VERT);
  EXPECT_TRUE(vBar->Enabled());
  EXPECT_TRUE(vBar->ThumbVisible());
  SCROLLBARINFO info{};
  info.cbSize = sizeof info;
  GetScrollBarInfo(Edit(), OBJID_VSCROLL, &info);
  EXPECT_EQ(vBar->LineButton(), std::max(info.xyThumbBottom - info.xyThumbTop, 18));
  EXPECT_EQ(vBar->Track()->Slider()->Height(), vBar->LineButton());

  for (int i = 0; i < 6; ++i) uitest::PressKey('x');  // typed text widens the first line...
  SendMessageA(Edit(), EM_SETSEL, 0, 0);
  SendMessageA(Edit(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(std::string(200, 'w').c_str()));
  uitest::Pump();
  ExpectInStep(hBar, SB_HORZ);
  EXPECT_GT(hBar->Position(), 0);  // ...the program's text scrolled it sideways
  EXPECT_EQ(hBar->SmallChange(), std::min(hBar->PageSize() * 3, 32767));

  const std::string clip = NumberedLines(50);
  ASSERT_TRUE(OpenClipboard(Edit()));
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, clip.size() + 1);
  memcpy(GlobalLock(block), clip.c_str(), clip.size() + 1);
  GlobalUnlock(block);
  SetClipboardData(CF_TEXT, block);
  CloseClipboard();
  SendMessageA(Edit(), WM_PASTE, 0, 0);
  ExpectInStep(vBar, SB_VERT);
  EXPECT_GT(vBar->Max(), 40);

  SendMessageA(Edit(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
  ExpectInStep(vBar, SB_VERT);
  SendMessageA(Edit(), WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(vBar->Position(), 0);
  memo->Lines().Clear();  // no content: disabled, no thumb
  EXPECT_FALSE(vBar->Enabled());
  EXPECT_FALSE(vBar->ThumbVisible());
  EXPECT_EQ(vBar->LineButton(), 0);
}

TEST_F(MemoWindow, BarsHideWithTheMemoAndStayHiddenWhileItMoves) {
  memo->SetVisible(false);
  EXPECT_FALSE(vBar->Visible());
  EXPECT_FALSE(hBar->Visible());
  memo->SetBounds(20, 20, 220, 130);  // moved and sized while hidden
  EXPECT_FALSE(vBar->Visible());
  EXPECT_FALSE(hBar->Visible());
  memo->SetVisible(true);
  EXPECT_TRUE(vBar->Visible());
  EXPECT_EQ(vBar->Left(), 20 + 220 - vBar->Width() - 2);
  memo->SetBounds(20, 20, vBar->Width() - 1, 130);  // narrower than the bar
  EXPECT_FALSE(vBar->Visible());
}

TEST_F(MemoWindow, ADestroyedMemoReleasesItsBars) {
  memo->SetText(NumberedLines(200));
  ASSERT_TRUE(vBar->OnChange());
  delete memo;
  EXPECT_FALSE(vBar->OnChange());
  EXPECT_FALSE(hBar->OnChange());
  EXPECT_EQ(vBar->Max(), 100);
  EXPECT_EQ(vBar->LineButton(), 0);
  EXPECT_TRUE(vBar->Enabled());
  vBar->SetPosition(50);  // would have called into the freed memo
  EXPECT_EQ(vBar->Position(), 50);
}

TEST_F(MemoWindow, TheFrameIsTheBorderColourAroundTheBackground) {
  memo->SetUIStyle(MacOS);
  EXPECT_EQ(memo->BorderColor(), static_cast<TColor>(GetBuiltinColor(MacOS, KYR_THEME_CONTROL_BORDER_COLOR)));
  EXPECT_EQ(vBar->UIStyle(), MacOS);
  memo->SetBorderColor(clRed);  // set after the style: stays
  memo->SetColor(clYellow);
  RedrawWindow(Edit(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  uitest::Pump();
  HDC dc = GetWindowDC(Edit());
  const COLORREF outer = GetPixel(dc, 40, 0), inner = GetPixel(dc, 40, 1), left = GetPixel(dc, 0, 40);
  ReleaseDC(Edit(), dc);
  EXPECT_EQ(outer, RGB(255, 0, 0));
  EXPECT_EQ(left, RGB(255, 0, 0));
  EXPECT_EQ(inner, RGB(255, 255, 0));
  memo->SetUIStyle(WinXP);
  EXPECT_EQ(memo->BorderColor(), static_cast<TColor>(GetBuiltinColor(WinXP, KYR_THEME_CONTROL_BORDER_COLOR)));
}

// The EDIT control resets its margins to the font's own with every new font; the memo's margin
// keeps the first column of text clear of its border each time.
TEST_F(MemoWindow, TextKeepsClearOfTheBorderAfterEveryFontChange) {
  for (const char* name : {"MS Sans Serif", "Tahoma", "Times New Roman"}) {
    SCOPED_TRACE(name);
    memo->Font()->SetName(name);
    uitest::Pump();
    const auto margins = static_cast<DWORD>(SendMessageA(Edit(), EM_GETMARGINS, 0, 0));
    EXPECT_EQ(LOWORD(margins), 2);
    EXPECT_EQ(HIWORD(margins), 2);
  }
}

TEST(SkinnedMemo, IsRegisteredAndPublishesInOrder) {
  RegisterSkinClasses();
  ASSERT_NE(FindComponentClass("TkyrMemo"), nullptr);
  const std::vector<std::string> own = {"FileTheme", "UIStyle", "BorderColor", "VScrollBar", "HScrollBar"};
  std::vector<std::string> seen;
  for (const TPropInfo* p : TkyrMemo::StaticClassInfo().Properties())
    if (std::find(own.begin(), own.end(), p->Name) != own.end()) seen.push_back(p->Name);
  EXPECT_EQ(seen, own);
  TkyrMemo memo(nullptr);
  EXPECT_EQ(memo.BorderStyle(), bsNone);
  EXPECT_EQ(memo.BorderWidth(), 2);
  EXPECT_EQ(memo.ScrollBars(), ssNone);
}

TEST_F(MemoWindow, LiveGdiHandlesComeBackAfterRepaintsAndStyleSwitches) {
  if (!HandleCountsEnabled()) GTEST_SKIP() << "a build without handle counts";
  memo->SetText(NumberedLines(300));
  RedrawWindow(shown->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const THandleBaseline before;
  for (int i = 0; i < 40; ++i) {
    vBar->SetPosition(i * 2);
    memo->SetUIStyle(static_cast<TkyrUIStyle>(1 + i % 5));
    RedrawWindow(shown->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  memo->SetUIStyle(DeepBlue);
  RedrawWindow(shown->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  before.ExpectUnchanged();
}

}  // namespace

namespace {

// A hidden form with a memo of 60 lines at (12, 12, 300 x 130) and a vertical bar bound to it,
// before any window exists.
struct THiddenMemoForm {
  THiddenMemoForm() {
    form.SetBounds(40, 40, 400, 300);
    memo = uitest::Place<TkyrMemo>(&form, 12, 12, 300, 130);
    memo->SetText(NumberedLines(60));
    bar = uitest::Place<TkyrScrollBar>(&form, 0, 0, 20, 20);
    memo->SetVScrollBar(bar);
  }
  TForm form{nullptr};
  TkyrMemo* memo;
  TkyrScrollBar* bar;
};

// Bound before any window exists, on a form shown afterwards: the bar ends up above the memo.
TEST(SkinnedMemo, BarsBoundBeforeAnyWindowExistsLieAboveTheMemo) {
  THiddenMemoForm hidden;
  TkyrScrollBar* bar = hidden.bar;
  hidden.form.Show();
  uitest::Pump();
  EXPECT_TRUE(IsWindowVisible(bar->Handle()));
  EXPECT_EQ(bar->Left(), 12 + 300 - bar->Width() - 2);
  EXPECT_TRUE(bar->Enabled());
  HWND above = GetWindow(hidden.memo->Handle(), GW_HWNDPREV);
  while (above && above != bar->Handle()) above = GetWindow(above, GW_HWNDPREV);
  EXPECT_EQ(above, bar->Handle());
}

// Scrolled while its form is still hidden (its window the first one asked for): once shown, the
// memo and its bar agree on the line, and every window finishes painting.
TEST(SkinnedMemo, ScrolledBeforeItsFormIsShown) {
  THiddenMemoForm hidden;
  SendMessageA(hidden.memo->Handle(), EM_LINESCROLL, 0, 20);
  hidden.form.Show();
  EXPECT_TRUE(uitest::PumpsDry());
  EXPECT_EQ(SendMessageA(hidden.memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 20);
  EXPECT_EQ(hidden.bar->Position(), 20);
}

}  // namespace
