#include "tools/skin-artgen/SkinLook.h"

#include <algorithm>
#include <cmath>

#include "tools/skin-artgen/ArtGlyphs.h"

namespace {

// Light and pinstriped, aqua push buttons, round coloured window buttons.
const SkinLook kMacOS = {
    .prefix = "MACOS",
    .form = Hex(0xE7E7E7),
    .edge = Hex(0x8A8A8A),
    .hotEdge = Hex(0x4A7FC8),
    .face = {Hex(0xFFFFFF), Hex(0xD9D9D9)},
    .hot = {Hex(0xE4F0FF), Hex(0x9FC6F2)},
    .down = {Hex(0x7DB2F0), Hex(0x2F6FCF)},
    .radius = 11,
    .gloss = 0.55,
    .transparentButtons = true,
    .mark = Hex(0x1C3F86),
    .glyph = Hex(0x3C3C3C),
    .accent = Hex(0x3973C4),
    .progress = ProgressLook::Stripes,
    .groove = Hex(0xC8C8C8),
    .scrollBackground = Hex(0xC9C9C9),
    .stripes = true,
    .menuBar = {Hex(0xFAFAFA), Hex(0xE2E2E2)},
    .menuSelect = {Hex(0x6F9FEA), Hex(0x2D62C2)},
    .title = {Hex(0xF6F6F6), Hex(0xE2E2E2), Hex(0xCDCDCD)},
    .titleTopLine = Hex(0xFFFFFF),
    .titleBottomLine = Hex(0x8E8E8E),
    .titleHeight = 23,
    .titleButtonTop = 4,
    .titleShape = TitleShape::Traffic,
    .transparentTitleButtons = false,
    .tile = {Hex(0xC4C4CC), Hex(0x80808C)},
    .closeTile = {Hex(0xFF7B72), Hex(0xCC2F27)},
    .titleGlyph = Hex(0x4A1010),
};

// Blue caption, rounded, white-framed window buttons with an orange-red close.
const SkinLook kWinXP = {
    .prefix = "WINXP",
    .form = Hex(0xEFEBDE),
    .edge = Hex(0x1E4C8C),
    .hotEdge = Hex(0xE8A230),
    .face = {Hex(0xFFFFFF), Hex(0xE6E3D6)},
    .hot = {Hex(0xFFFDF4), Hex(0xF2E3C0)},
    .down = {Hex(0xD8D5C8), Hex(0xF0EEE6)},
    .radius = 4,
    .gloss = 0,
    .transparentButtons = false,
    .mark = Hex(0x21A121),
    .glyph = Hex(0x4D6185),
    .accent = Hex(0x2FB23A),
    .progress = ProgressLook::Blocks,
    .groove = Hex(0xF4F3EE),
    .scrollBackground = Hex(0xF9F9F9),
    .stripes = false,
    .menuBar = {Hex(0xFFFFFF), Hex(0xEFEBDE)},
    .menuSelect = {Hex(0x3A7BE0), Hex(0x2456B8)},
    .title = {Hex(0x3B8CF5), Hex(0x0A5AE0), Hex(0x0446C4)},
    .titleTopLine = Hex(0x8FC2FF),
    .titleBottomLine = Hex(0x003399),
    .titleHeight = 29,
    .titleButtonTop = 5,
    .titleShape = TitleShape::Tile,
    .transparentTitleButtons = false,
    .tile = {Hex(0x6FA6FF), Hex(0x1C5FE0)},
    .closeTile = {Hex(0xF0906A), Hex(0xC63A12)},
    .titleGlyph = Hex(0xFFFFFF),
};

// Dark navy caption with square, edged buttons; steel-blue controls.
const SkinLook kDeepBlue = {
    .prefix = "DEEPBLUE",
    .form = Hex(0xE8E8E8),
    .edge = Hex(0x1A2A5A),
    .hotEdge = Hex(0x3A62C0),
    .face = {Hex(0xEEF2FA), Hex(0xB6C4E0)},
    .hot = {Hex(0xF6F9FF), Hex(0xC8D8F6)},
    .down = {Hex(0x9AAED6), Hex(0xD8E0F0)},
    .radius = 3,
    .gloss = 0,
    .transparentButtons = false,
    .mark = Hex(0x1A2A5A),
    .glyph = Hex(0x1A2A5A),
    .accent = Hex(0x444AA0),
    .progress = ProgressLook::Column,
    .groove = Hex(0xD0D6E4),
    .scrollBackground = Hex(0xF5F5F5),
    .stripes = false,
    .menuBar = {Hex(0xF0F0F0), Hex(0xD6D3CE)},
    .menuSelect = {Hex(0x5A60B8), Hex(0x444AA0)},
    .title = {Hex(0x2C437E), Hex(0x17275A), Hex(0x0B1538)},
    .titleTopLine = Hex(0x5B74B4),
    .titleBottomLine = Hex(0x050A1E),
    .titleHeight = 32,
    .titleButtonTop = 2,
    .titleShape = TitleShape::Square,
    .transparentTitleButtons = false,
    .tile = {Hex(0x34508E), Hex(0x17275A)},
    .closeTile = {Hex(0x8C3444), Hex(0x521624)},
    .titleGlyph = Hex(0xD8E4FF),
};

// Bright orange gel caption with glossy orbs; sunny controls.
const SkinLook kProtein = {
    .prefix = "PROTEIN",
    .form = Hex(0xFBFBFB),
    .edge = Hex(0xC8580E),
    .hotEdge = Hex(0xF07A10),
    .face = {Hex(0xFFFFFF), Hex(0xFFD9A8)},
    .hot = {Hex(0xFFFBEF), Hex(0xFFC778)},
    .down = {Hex(0xFFB65C), Hex(0xFFE2BC)},
    .radius = 6,
    .gloss = 0.35,
    .transparentButtons = false,
    .mark = Hex(0x2D30C4),
    .glyph = Hex(0xB0480A),
    .accent = Hex(0x2D30C4),
    .progress = ProgressLook::Column,
    .groove = Hex(0xFFE4C4),
    .scrollBackground = Hex(0xF5F5F5),
    .stripes = false,
    .menuBar = {Hex(0xFFFFFF), Hex(0xD6D3CE)},
    .menuSelect = {Hex(0x4A4CD8), Hex(0x2D30C4)},
    .title = {Hex(0xFFB24A), Hex(0xFF7A0A), Hex(0xE0520A)},
    .titleTopLine = Hex(0xFFE2B0),
    .titleBottomLine = Hex(0xA8380A),
    .titleHeight = 23,
    .titleButtonTop = 2,
    .titleShape = TitleShape::Orb,
    .transparentTitleButtons = true,
    .tile = {Hex(0xFFE08A), Hex(0xE88A00)},
    .closeTile = {Hex(0xFF8A7A), Hex(0xD42416)},
    .titleGlyph = Hex(0xFFFFFF),
};

// Glassy blue caption: bright upper half, deep lower half, glass orbs.
const SkinLook kBlueGlass = {
    .prefix = "BLUEGLASS",
    .form = Hex(0xE7E7E7),
    .edge = Hex(0x3D6EA8),
    .hotEdge = Hex(0x2A8CE8),
    .face = {Hex(0xF2F8FE), Hex(0xB9D5F2)},
    .hot = {Hex(0xF4FBFF), Hex(0x8CC6F6)},
    .down = {Hex(0x8AB4E2), Hex(0xCFE2F6)},
    .radius = 8,
    .gloss = 0.6,
    .transparentButtons = true,
    .mark = Hex(0x1D4F94),
    .glyph = Hex(0x1D4F94),
    .accent = Hex(0x3D84D8),
    .progress = ProgressLook::Column,
    .groove = Hex(0xCFE0F2),
    .scrollBackground = Hex(0xF4F4F4),
    .stripes = false,
    .menuBar = {Hex(0xF4F4F4), Hex(0xD6D3CE)},
    .menuSelect = {Hex(0x7A7AF0), Hex(0x5E5EEC)},
    .title = {Hex(0x8DC4F4), Hex(0x3C86DA), Hex(0x14428E)},
    .titleTopLine = Hex(0xD8EEFF),
    .titleBottomLine = Hex(0x0A2A60),
    .titleHeight = 33,
    .titleButtonTop = 6,
    .titleShape = TitleShape::Orb,
    .transparentTitleButtons = true,
    .tile = {Hex(0x9CD0FF), Hex(0x1E5CB4)},
    .closeTile = {Hex(0xFF9C9C), Hex(0xB41E1E)},
    .titleGlyph = Hex(0xFFFFFF),
};

Glyph GlyphOf(TitleButton button) {
  switch (button) {
    case TitleButton::ControlBox: return Glyph::Menu;
    case TitleButton::Help: return Glyph::Help;
    case TitleButton::Maximise: return Glyph::Maximise;
    case TitleButton::Restore: return Glyph::Restore;
    case TitleButton::Minimise: return Glyph::Minimise;
    case TitleButton::Close: return Glyph::Close;
  }
  return Glyph::Close;
}

// The coloured lights of the traffic-light buttons.
void TrafficColors(TitleButton button, const SkinLook& look, Rgb out[2]) {
  switch (button) {
    case TitleButton::Close: out[0] = look.closeTile[0], out[1] = look.closeTile[1]; return;
    case TitleButton::Minimise: out[0] = Hex(0xFFD266), out[1] = Hex(0xD9950B); return;
    case TitleButton::Maximise:
    case TitleButton::Restore: out[0] = Hex(0x6EDC6A), out[1] = Hex(0x1E9A2A); return;
    case TitleButton::Help: out[0] = Hex(0x9CC8FF), out[1] = Hex(0x2F6FD0); return;
    case TitleButton::ControlBox: out[0] = look.tile[0], out[1] = look.tile[1]; return;
  }
}

// Draws a glyph on its own layer first, so OPACITY applies to it as a whole.
void StampGlyph(ArtCanvas& f, Glyph g, double cx, double cy, double size, Rgb color,
                double opacity) {
  ArtCanvas mark(f.Width(), f.Height());
  DrawGlyph(mark, g, cx, cy, size, color, 1.15);
  for (int y = 0; y < f.Height(); ++y)
    for (int x = 0; x < f.Width(); ++x)
      if (mark.Alpha(x, y) > 0) f.Plot(x, y, mark.Color(x, y), mark.Alpha(x, y) * opacity);
}

Rgb StateShade(Rgb c, int state) {
  return state == 1 ? Lighter(c, 0.22) : state == 2 ? Darker(c, 0.22) : c;
}

}  // namespace

const SkinLook& LookOf(ArtStyle style) {
  switch (style) {
    case ArtStyle::MacOS: return kMacOS;
    case ArtStyle::WinXP: return kWinXP;
    case ArtStyle::Protein: return kProtein;
    case ArtStyle::BlueGlass: return kBlueGlass;
    case ArtStyle::DeepBlue:
    case ArtStyle::Shared: break;
  }
  return kDeepBlue;
}

PaintFn TitlePaint(const SkinLook& look, int height) {
  double h = height;
  // A glassy strip breaks between its halves; the others shade smoothly.
  PaintFn body = look.gloss > 0.5
                     ? PaintFn([&look, h](double x, double y) {
                         double mid = h * 0.5;
                         return y < mid ? VGradient(0, mid, {look.title[0], Mix(look.title[0], look.title[1], 0.6)})(x, y)
                                        : VGradient(mid, h, {look.title[1], look.title[2]})(x, y);
                       })
                     : VGradient(0, h, {look.title[0], look.title[1], look.title[2]});
  return [&look, body, h](double x, double y) {
    int row = static_cast<int>(y);
    if (row <= 0) return look.titleTopLine;
    if (row >= static_cast<int>(h) - 1) return look.titleBottomLine;
    Rgb c = body(x, y);
    return look.stripes && row % 2 ? Darker(c, 0.045) : c;
  };
}

void DecorateTitleLeft(ArtCanvas& canvas, const SkinLook& look) {
  double h = canvas.Height();
  if (look.titleShape != TitleShape::Orb) return;
  // A soft sheen behind the caption's start, fading out well before the joining edge.
  double reach = std::min(canvas.Width() * 0.6, 150.0);
  canvas.Fill(RoundRect(2, 1, reach, h * 0.45, h * 0.2), HGradient(2, reach, {Rgb{1, 1, 1}, look.title[0]}),
              0.35);
}

void DrawTitleButton(ArtCanvas& f, const SkinLook& look, TitleButton button, int state) {
  double s = f.Width(), c = s / 2;
  Rgb colors[2] = {look.tile[0], look.tile[1]};
  if (look.titleShape == TitleShape::Traffic) {
    TrafficColors(button, look, colors);
  } else if (button == TitleButton::Close) {
    colors[0] = look.closeTile[0], colors[1] = look.closeTile[1];
  }
  PaintFn face = VGradient(1, s - 1, {StateShade(colors[0], state), StateShade(colors[1], state)});
  Rgb glyph = look.titleGlyph;
  double glyphOpacity = 1.0;
  switch (look.titleShape) {
    case TitleShape::Traffic:
      f.Fill(Circle(c, c, c - 1.0), Flat(Darker(colors[1], 0.35)));
      f.Fill(Circle(c, c, c - 2.0), face);
      f.Fill(RoundRect(c - 3.5, 2.6, c + 3.5, c - 0.5, 3), Flat(Rgb{1, 1, 1}), 0.55);
      glyph = Darker(colors[1], 0.55);
      glyphOpacity = state == 0 ? 0.5 : 1.0;
      break;
    case TitleShape::Tile:
      f.Fill(RoundRect(0.5, 0.5, s - 0.5, s - 0.5, 3.5), Flat(Rgb{1, 1, 1}));
      f.Fill(RoundRect(1.5, 1.5, s - 1.5, s - 1.5, 2.5), face);
      break;
    case TitleShape::Square:
      f.Fill(RoundRect(0, 0, s, s, 0), Flat(Mix(look.titleTopLine, colors[0], 0.3)));
      f.Fill(RoundRect(1, 1, s - 1, s - 1, 0), face);
      break;
    case TitleShape::Orb:
      f.Fill(Circle(c, c, c - 0.5), Flat(Darker(colors[1], 0.3)));
      f.Fill(Circle(c, c, c - 1.5), face);
      f.Fill(RoundRect(c - c * 0.6, 2, c + c * 0.6, c * 0.9, c * 0.35), Flat(Rgb{1, 1, 1}), 0.3);
      break;
  }
  double size = s * (look.titleShape == TitleShape::Traffic ? 0.19 : 0.22);
  double drop = state == 2 ? 0.5 : 0;
  // Light glyphs get a dark drop shadow so they stay legible on the glossy part.
  if (look.titleShape == TitleShape::Orb || look.titleShape == TitleShape::Tile)
    StampGlyph(f, GlyphOf(button), c, c + drop + 1, size, Darker(colors[1], 0.45), 0.7);
  StampGlyph(f, GlyphOf(button), c, c + drop, size, glyph, glyphOpacity);
}
