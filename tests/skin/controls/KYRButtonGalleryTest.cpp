// A sheet of skinned buttons in every built-in style and state (normal, mouse over, pressed,
// disabled, focused, with glyphs), the image and speed buttons and the link label, each painted
// by its own window procedure into one picture. Always rendered (a smoke test of every paint
// path); saved as buttons.bmp into the folder VANTOR_SHOTS_DIR names, for people to look at.
#include "skin/controls/KYRButton.h"
#include "skin/controls/KYRURLLabel.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "framework/core/Streams.h"
#include "framework/ui/ExtCtrls.h"
#include "tests/framework/graphics/GraphicsTestSupport.h"
#include "tests/skin/controls/KYRButtonTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace kyrtest;

namespace {

constexpr int kCellW = 104, kCellH = 46;

// A 16 x 16 arrow pointing right, green on the white key.
std::unique_ptr<TBitmap> ArrowGlyph() {
  auto glyph = FilledBitmap(16, 16, clWhite);
  glyph->Canvas().Brush().SetColor(0x208020);
  glyph->Canvas().Pen().SetColor(0x208020);
  glyph->Canvas().Polygon({{3, 2}, {13, 8}, {3, 14}});
  return glyph;
}

// Paints CONTROL (through WM_PRINTCLIENT) into SHEET at (X, Y).
void PaintInto(TBitmap& sheet, TWinControl& control, int x, int y) {
  HDC dc = sheet.Canvas().Handle();
  TViewportOrgGuard at(dc, x, y);
  SendMessageA(control.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
}

TEST(ButtonGallery, EveryStyleAndState) {
  uitest::TShownForm form(kCellW * 9, kCellH * 8);
  auto* host = uitest::Place<TPanel>(form.form, 0, 0, kCellW * 9, kCellH * 8);
  host->SetBevelOuter(bvNone);
  host->SetColor(clTeal);  // the main window's panel colour: transparent faces show it
  TBitmap sheet(kCellW * 9, kCellH * 8);
  sheet.Canvas().Brush().SetColor(clTeal);
  sheet.Canvas().FillRect(RECT{0, 0, sheet.Width(), sheet.Height()});

  struct TColumn {
    const char* name;
    std::function<void(TkyrButton&)> enter;
    std::function<void(TkyrButton&)> leave;
  };
  auto none = [](TkyrButton&) {};
  const TColumn columns[] = {
      {"normal", none, none},
      {"mouse over", [](TkyrButton& b) { b.Perform(CM_MOUSEENTER); }, none},
      {"pressed", [](TkyrButton& b) { LeftDown(b); }, [](TkyrButton& b) { LeftUp(b, -50, -50); }},
      {"disabled", [](TkyrButton& b) { b.SetEnabled(false); }, none},
      {"focused", [](TkyrButton& b) { b.SetFocus(); }, none},
      {"glyph left", [](TkyrButton& b) { b.SetGlyph(*ArrowGlyph()); }, none},
      {"glyph bottom, over", [](TkyrButton& b) {
         b.SetGlyph(*ArrowGlyph());
         b.SetLayout(blGlyphBottom);
         b.SetSpacing(1);
         b.Perform(CM_MOUSEENTER);
       }, none},
      {"glyph, pressed", [](TkyrButton& b) {
         b.SetGlyph(*ArrowGlyph());
         LeftDown(b);
       }, [](TkyrButton& b) { LeftUp(b, -50, -50); }},
      {"glyph, disabled", [](TkyrButton& b) {
         b.SetGlyph(*ArrowGlyph());
         b.SetEnabled(false);
       }, none},
  };
  int row = 0;
  for (TkyrUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
    for (int col = 0; col < 9; ++col) {
      auto* b = uitest::Place<TkyrButton>(host, 4, 4, 96, style == BlueGlass || col >= 5 ? 38 : 27);
      b->SetUIStyle(style);
      b->SetCaption(col == 6 ? "Convert" : "&Convert");
      columns[col].enter(*b);
      PaintInto(sheet, *b, col * kCellW + 4, row * kCellH + 4);
      columns[col].leave(*b);
      delete b;
    }
    ++row;
  }

  // The image button in its four states, a speed button plain and under the pointer.
  const TColor pictures[] = {0x3060C0, 0x40A0F0, 0x204080, 0xA0A0A0};
  for (int state = 0; state < 4; ++state) {
    auto* b = uitest::Place<TkyrImageButton>(host, 4, 4, 40, 24);
    b->SetCaption("Pic");
    b->PicNormal()->Bitmap().Assign(*FilledBitmap(40, 24, pictures[0]));
    b->PicMouseOn()->Bitmap().Assign(*FilledBitmap(40, 24, pictures[1]));
    b->PicMouseDown()->Bitmap().Assign(*FilledBitmap(40, 24, pictures[2]));
    b->PicDisabled()->Bitmap().Assign(*FilledBitmap(40, 24, pictures[3]));
    if (state == 1) b->Perform(CM_MOUSEENTER);
    if (state == 2) LeftDown(*b);
    if (state == 3) b->SetEnabled(false);
    PaintInto(sheet, *b, state * 52 + 4, row * kCellH + 4);
    LeftUp(*b, -50, -50);
    delete b;
  }
  for (int hover = 0; hover < 2; ++hover) {
    auto* s = uitest::Place<TkyrToolBarSpeedButton>(host, 4, 4, 18, 18);
    s->SetGlyph(*ArrowGlyph());
    if (hover) s->Perform(CM_MOUSEENTER);
    PaintInto(sheet, *s, 220 + hover * 26, row * kCellH + 4);
    delete s;
  }
  ++row;

  // The link label as the main window has it, then under the pointer.
  for (int hover = 0; hover < 2; ++hover) {
    auto* strip = uitest::Place<TPanel>(form.form, 0, 0, 240, 20);
    strip->SetBevelOuter(bvNone);
    strip->SetColor(clBtnFace);
    auto* link = new TkyrURLLabel(strip);
    link->SetParent(strip);
    link->SetBounds(4, 3, 230, 13);
    link->SetCaption("More Free multimedia softwares...");
    link->SetFontLinkColor(clTeal);
    link->SetFontHoverColor(clActiveCaption);
    if (hover) link->Perform(CM_MOUSEENTER);
    PaintInto(sheet, *strip, 4 + hover * 250, row * kCellH + 4);
    delete strip;
  }

  EXPECT_NE(PixelOf(sheet, kCellW + 50, kCellH + 14), clTeal);  // something was painted
  const std::string dir = EnvOr("VANTOR_SHOTS_DIR", "");
  if (dir.empty()) return;
  TMemoryStream bmp;
  sheet.SaveToStream(bmp);
  WriteFileBytes(dir + "\\buttons.bmp", bmp.Bytes());
}

}  // namespace
