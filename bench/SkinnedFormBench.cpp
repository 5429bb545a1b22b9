// Times one full repaint of a skinned window (frame, region, client pattern, title bar, a
// button) against the same window unskinned (the system's caption and dialog frame), and one
// style switch, and prints the ratio. Runs under Wine with the skin's resources linked in
// (`make bench-skin`); not a test.
#include <windows.h>

#include <cstdio>
#include <functional>

#include "bench/BenchTiming.h"
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"
#include "skin/frame/KYRForm.h"

namespace {

using bench::MicrosecondsPer;
using bench::Pump;

// A 320 x 240 dialog with a caption and a Convert button, skinned or not.
TForm* MakeWindow(int left, bool skinned) {
  auto* form = new TForm(nullptr);
  form->SetBorderStyle(bsDialog);
  form->SetBounds(left, 40, 320, 240);
  form->SetCaption("Corvane Vantor");
  TWinControl* parent = form;
  if (skinned) {
    auto* panel = new TkyrForm(form);
    panel->SetUIStyle(MacOS);
    panel->SetCaption("Corvane Vantor");
    parent = panel;
  }
  auto* button = new TButton(form);
  button->SetBounds(40, 80, 100, 28);
  button->SetCaption("Convert");
  button->SetParent(parent);
  form->Show();
  Pump();
  return form;
}

// Frame, client and every child painted now, as after an uncovering.
void Repaint(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

}  // namespace

int main() {
  TForm* plain = MakeWindow(20, false);
  TForm* skinned = MakeWindow(380, true);
  const double plainUs = MicrosecondsPer(200, [&](int) { Repaint(plain->Handle()); });
  const double skinnedUs = MicrosecondsPer(200, [&](int) { Repaint(skinned->Handle()); });
  auto* panel = dynamic_cast<TkyrForm*>(skinned->Components(0));
  const TkyrUIStyle styles[] = {WinXP, MacOS};
  const double switchUs = MicrosecondsPer(20, [&](int i) {
    panel->SetUIStyle(styles[i % 2]);
    Pump();
  });
  std::printf("full repaint, unskinned window: %8.1f us\n", plainUs);
  std::printf("full repaint, skinned window:   %8.1f us  (%.2fx)\n", skinnedUs, skinnedUs / plainUs);
  std::printf("style switch (with its repaint): %7.1f us\n", switchUs);
  delete skinned;
  delete plain;
  return 0;
}
