// Times a repaint of a skinned toolbar with its first button hot against the same framework
// toolbar unskinned (same buttons, images and captions), side by side in one window, and
// prints the ratio. The pointer is really over the button (absolute SendInput), so both bars
// work out the hot state as they do for a person. Runs under Wine with the skin's resources
// linked in (`make bench-skin`); not a test.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "bench/BenchTiming.h"
#include "framework/graphics/ImgList.h"
#include "framework/ui/ComCtrls.h"
#include "framework/ui/Forms.h"
#include "framework/ui/Menus.h"
#include "skin/controls/KYRToolBar.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace {

using bench::MicrosecondsPer;
using bench::Pump;

constexpr int kRepaints = 200;
// Rounds taken alternately on each bar: a burst of other work on the shared cores then spoils
// one bar's round, not all of one bar's.
constexpr int kAlternations = 4;

// Four 16 x 16 images, keyed on magenta.
void FillImages(TImageList& list) {
  const TColor colours[] = {clRed, clLime, clBlue, clTeal};
  TBitmap strip(16 * 4, 16);
  strip.Canvas().Brush().SetColor(clFuchsia);
  strip.Canvas().FillRect(RECT{0, 0, strip.Width(), 16});
  for (int i = 0; i < 4; ++i) {
    strip.Canvas().Brush().SetColor(colours[i]);
    strip.Canvas().FillRect(RECT{16 * i + 2, 2, 16 * i + 14, 14});
  }
  list.AddMasked(strip, clFuchsia);
}

// Six captioned buttons with images (a check button down, a drop-down among them).
void Populate(TToolBar& bar, TImageList& images, int top) {
  bar.SetAlign(alNone);
  bar.SetBounds(10, top, 400, 44);
  bar.SetImages(&images);
  bar.SetShowCaptions(true);
  bar.SetFlat(true);
  bar.SetButtonWidth(48);
  bar.SetButtonHeight(40);
  const char* captions[] = {"&Open", "Save", "Print", "Bold", "More", "Help"};
  for (int i = 0; i < 6; ++i) {
    auto* b = new TToolButton(&bar);
    b->SetCaption(captions[i]);
    b->SetImageIndex(i % 4);
    if (i == 3) {
      b->SetStyle(tbsCheck);
      b->SetDown(true);
    }
    if (i == 4) b->SetStyle(tbsDropDown);
    b->SetParent(&bar);
  }
}

// Puts the pointer over BAR's first button; false when the bar never reports it hot.
bool MakeFirstButtonHot(TToolBar& bar) {
  uitest::MovePointerTo(bar.ClientToScreen({10, 10}));
  for (int i = 0; i < 500; ++i) {
    Pump();
    if (bar.ButtonState(bar.Buttons(0)) & cdsHot) return true;
    Sleep(2);
  }
  return false;
}

double HotRepaint(TToolBar& bar) {
  if (!MakeFirstButtonHot(bar)) {
    std::printf("the pointer did not make the first button hot\n");
    return 0;
  }
  return MicrosecondsPer(kRepaints, [&](int) {
    InvalidateRect(bar.Handle(), nullptr, FALSE);
    UpdateWindow(bar.Handle());
  });
}

}  // namespace

int main() {
  TForm form(nullptr);
  form.SetBorderStyle(bsNone);
  form.SetBounds(20, 20, 440, 140);
  form.Show();
  SetForegroundWindow(form.Handle());
  TImageList images(16, 16);
  FillImages(images);

  auto* plain = new TToolBar(&form);
  Populate(*plain, images, 10);
  plain->SetParent(&form);
  auto* skinned = new TkyrToolBar(&form);
  Populate(*skinned, images, 70);
  skinned->SetParent(&form);
  Pump();

  for (TkyrUIStyle style : {DeepBlue, MacOS}) {  // opaque, and see-through over the form
    skinned->SetUIStyle(style);
    double plainUs = 1e30, skinnedUs = 1e30;
    for (int i = 0; i < kAlternations; ++i) {
      plainUs = std::min(plainUs, HotRepaint(*plain));
      skinnedUs = std::min(skinnedUs, HotRepaint(*skinned));
    }
    const std::string what = std::string("hot-button repaint, ") + TkyrUIStyleInfo.NameOf(style);
    std::printf("%-34s framework %8.1f us   skinned %8.1f us   (%.2fx)\n", what.c_str(), plainUs, skinnedUs,
                plainUs > 0 ? skinnedUs / plainUs : 0.0);
  }
  return 0;
}
