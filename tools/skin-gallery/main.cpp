// Renders the built-in skin bitmaps of each style into one sheet per style, together with
// sample drawings through the skin library's own routines (nine-grid button faces in three
// states and sizes, three-slice track bars, a title strip with its buttons), so the artwork
// can be judged as the controls will show it:
//   skin-gallery <folder>     writes <folder>/<STYLE>.bmp
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "framework/core/Streams.h"
#include "framework/graphics/Graphics.h"
#include "skin/KYRPublic.h"
#include "tools/skin-artgen/SkinArt.h"

namespace {

constexpr int SheetWidth = 720;
constexpr int SheetHeight = 640;
constexpr int Margin = 8;

struct StyleSheet {
  ArtStyle art;
  TkyrUIStyle style;
  const char* name;
};

const StyleSheet kSheets[] = {
    {ArtStyle::MacOS, MacOS, "MACOS"},         {ArtStyle::WinXP, WinXP, "WINXP"},
    {ArtStyle::DeepBlue, DeepBlue, "DEEPBLUE"}, {ArtStyle::Protein, Protein, "PROTEIN"},
    {ArtStyle::BlueGlass, BlueGlass, "BLUEGLASS"},
};

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

void Load(TBitmap& bitmap, const std::string& name) { bitmap.LoadFromResourceName(Module(), name); }

// Places pictures left to right, wrapping at the sheet's edge.
class Flow {
public:
  explicit Flow(int top) : x_(Margin), y_(top) {}
  POINT Next(int width, int height) {
    if (x_ + width > SheetWidth - Margin) NewLine();
    POINT at{x_, y_};
    x_ += width + Margin;
    rowHeight_ = std::max(rowHeight_, height);
    return at;
  }
  int NewLine() {
    x_ = Margin;
    y_ += rowHeight_ + Margin;
    rowHeight_ = 0;
    return y_;
  }

private:
  int x_, y_;
  int rowHeight_ = 0;
};

void Caption(TCanvas& canvas, int x, int y, const std::string& text) {
  canvas.Brush().SetStyle(bsClear);
  canvas.TextOut(x, y, text);
  canvas.Brush().SetStyle(bsSolid);
}

// Every bitmap of the style as the module holds it (magenta showing); the DeepBlue sheet,
// the fallback style's, also shows the bitmaps no style owns.
int DrawResources(TCanvas& canvas, ArtStyle style, int top) {
  Flow flow(top);
  for (const ArtResource& r : ArtResources()) {
    bool shared = r.style == ArtStyle::Shared && style == ArtStyle::DeepBlue;
    if (r.style != style && !shared) continue;
    TBitmap bitmap;
    Load(bitmap, r.name);
    POINT at = flow.Next(bitmap.Width(), bitmap.Height());
    canvas.Draw(at.x, at.y, bitmap);
  }
  return flow.NewLine();
}

// The button face in its three states, nine-grid drawn at a few sizes.
int DrawButtons(TCanvas& canvas, const StyleSheet& s, int top) {
  Flow flow(top);
  TBitmap strip;
  Load(strip, std::string(s.name) + "_BUTTON");
  bool transparent = GetBuiltinBool(s.style, KYR_THEME_BUTTON_TRANSPARENT_BOOL);
  const SIZE sizes[] = {{96, 27}, {150, 40}, {60, 21}};
  for (SIZE size : sizes)
    for (int state = 1; state <= 3; ++state) {
      TBitmap face, target(size.cx, size.cy);
      ExtractBitmapFrame(strip, face, 3, state);
      target.Canvas().Brush().SetColor(GetBuiltinColor(s.style, KYR_THEME_FORM_BACKGROUND_COLOR));
      target.Canvas().FillRect(RECT{0, 0, size.cx, size.cy});
      DrawNineGrid(face, target.Canvas(), RECT{0, 0, size.cx, size.cy}, transparent);
      Caption(target.Canvas(), size.cx / 2 - 10, size.cy / 2 - 7, "OK");
      POINT at = flow.Next(size.cx, size.cy);
      canvas.Draw(at.x, at.y, target);
    }
  return flow.NewLine();
}

// Track bars as the track-bar control lays its bar out, with the slider on top.
int DrawTrackBars(TCanvas& canvas, const StyleSheet& s, int top) {
  TBitmap bar, slider;
  Load(bar, std::string(s.name) + "_TRACKBAR_BAR");
  Load(slider, std::string(s.name) + "_TRACKBAR_SLIDER");
  slider.SetTransparent(true);
  slider.SetTransparentColor(clFuchsia);
  RECT r{Margin, top + 8, Margin + 300, top + 8 + bar.Height()};
  DrawThreeSliceBar(bar, canvas, r, false, true);
  canvas.Draw(Margin + 120, top + 8 + bar.Height() / 2 - slider.Height() / 2, slider);
  return top + std::max(bar.Height(), slider.Height()) + 24;
}

// The title strip: left end, stretched middle, right end, buttons from the right.
int DrawTitle(TCanvas& canvas, const StyleSheet& s, int top) {
  TBitmap left, client, right, buttons;
  Load(left, std::string(s.name) + "_TITLE_LEFT");
  Load(client, std::string(s.name) + "_TITLE_CLIENT");
  Load(right, std::string(s.name) + "_TITLE_RIGHT");
  Load(buttons, std::string(s.name) + "_TITLEBTN");
  int width = std::max(480, left.Width() + right.Width() + 40);
  width = std::min(width, SheetWidth - 2 * Margin);
  canvas.Draw(Margin, top, left);
  canvas.StretchDraw(RECT{Margin + left.Width(), top, Margin + width - right.Width(), top + client.Height()}, client);
  canvas.Draw(Margin + width - right.Width(), top, right);
  int buttonTop = top + GetBuiltinInt(s.style, KYR_THEME_TITLE_BAR_BUTTON_TOP_INT);
  int x = Margin + width + GetBuiltinInt(s.style, KYR_THEME_TITLE_BAR_BUTTON_RIGHT_OFFSET_INT);
  bool transparent = GetBuiltinBool(s.style, KYR_THEME_TITLE_BAR_BUTTON_TRANSPARENT_BOOL);
  for (int frame : {16, 7, 13, 4}) {  // close, maximise, minimise, help: normal pictures
    TBitmap picture;
    ExtractBitmapFrame(buttons, picture, 18, frame);
    picture.SetTransparent(transparent);
    picture.SetTransparentColor(clFuchsia);
    x -= picture.Width() + 1;
    canvas.Draw(x, buttonTop, picture);
  }
  TBitmap box;
  ExtractBitmapFrame(buttons, box, 18, 1);
  box.SetTransparent(transparent);
  box.SetTransparentColor(clFuchsia);
  canvas.Draw(Margin + GetBuiltinInt(s.style, KYR_THEME_TITLE_BAR_BUTTON_LEFT_OFFSET_INT), buttonTop - 1, box);
  canvas.Font().SetColor(GetBuiltinColor(s.style, KYR_THEME_TITLE_BAR_FONT_COLOR));
  Caption(canvas, Margin + box.Width() + 10, buttonTop + 2, std::string("Vantor - ") + s.name);
  canvas.Font().SetColor(clBlack);
  return top + left.Height() + 16;
}

void WriteSheet(const StyleSheet& s, const std::string& folder) {
  TBitmap sheet(SheetWidth, SheetHeight);
  TCanvas& canvas = sheet.Canvas();
  canvas.Brush().SetColor(GetBuiltinColor(s.style, KYR_THEME_FORM_BACKGROUND_COLOR));
  canvas.FillRect(RECT{0, 0, SheetWidth, SheetHeight});
  int y = DrawTitle(canvas, s, Margin);
  y = DrawButtons(canvas, s, y);
  y = DrawTrackBars(canvas, s, y);
  DrawResources(canvas, s.art, y);
  TFileStream out(folder + "\\" + s.name + ".bmp", fmCreate);
  sheet.SaveToStream(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: skin-gallery <output folder>\n");
    return 2;
  }
  try {
    for (const StyleSheet& s : kSheets) WriteSheet(s, argv[1]);
  } catch (const Exception& e) {
    std::fprintf(stderr, "skin-gallery: %s\n", e.what());
    return 1;
  }
  return 0;
}
