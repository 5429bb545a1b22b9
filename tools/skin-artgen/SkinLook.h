// The five looks as parameter sets, and the pieces that differ by more than colour: the
// title strip and the title-bar buttons.
#pragma once

#include "tools/skin-artgen/ArtCanvas.h"
#include "tools/skin-artgen/SkinArt.h"

enum class TitleShape { Traffic, Tile, Square, Orb };
enum class ProgressLook { Stripes, Blocks, Column };
enum class TitleButton { ControlBox, Help, Maximise, Restore, Minimise, Close };

struct SkinLook {
  const char* prefix;            // resource name prefix
  Rgb form;                      // form background (FormBackgroundColor)
  Rgb edge, hotEdge;             // control outlines
  Rgb face[2], hot[2], down[2];  // control faces: gradient top, bottom per state
  double radius;                 // corner radius of push buttons
  double gloss;                  // strength of the glassy highlight, 0 for none
  bool transparentButtons;       // ButtonTransparentBool
  Rgb mark;                      // check marks and radio dots
  Rgb glyph;                     // arrows on scroll buttons
  Rgb accent;                    // progress
  ProgressLook progress;
  Rgb groove;                    // track-bar groove
  Rgb scrollBackground;          // ScrollBarBackgroundColor
  bool stripes;                  // pinstriped title and form background
  Rgb menuBar[2], menuSelect[2];

  // Title strip: vertical gradient stops, the top highlight and bottom edge lines.
  Rgb title[3];
  Rgb titleTopLine, titleBottomLine;
  int titleHeight;
  int titleButtonTop;            // TitleBarButtonTopInt: the strip row under the buttons
  TitleShape titleShape;
  bool transparentTitleButtons;  // TitleBarButtonTransparentBool
  Rgb tile[2], closeTile[2];     // title button gradients
  Rgb titleGlyph;
};

const SkinLook& LookOf(ArtStyle style);

// Colour of the title strip of HEIGHT rows at a point (columns are all alike).
PaintFn TitlePaint(const SkinLook& look, int height);
// Ornaments that only the left end of the strip carries (away from its joining edge).
void DecorateTitleLeft(ArtCanvas& canvas, const SkinLook& look);
// One title-bar button frame: STATE 0 normal, 1 pointer over, 2 pressed.
void DrawTitleButton(ArtCanvas& frame, const SkinLook& look, TitleButton button, int state);
