// The small pictures drawn on buttons: window buttons, arrows, check mark and the record
// navigation set. Vector shapes in a box of half-size SIZE round (CX, CY), except the
// question mark, which is a pixel map (a curve that small only reads when pixel-exact).
#pragma once

#include "tools/skin-artgen/ArtCanvas.h"

enum class Glyph {
  Close, Minimise, Maximise, Restore, Help, Menu,
  ArrowUp, ArrowDown, ArrowLeft, ArrowRight, Check,
  First, Prior, Next, Last, Plus, Minus, Edit, Refresh,
};

// WEIGHT scales the stroke width (1 = the normal weight for SIZE).
void DrawGlyph(ArtCanvas& canvas, Glyph glyph, double cx, double cy, double size, Rgb color,
               double weight);

// Colour of a glyph of the record navigator: arrows blue, insert/post green, delete and
// cancel red, edit brown, refresh teal.
Rgb NavGlyphColor(Glyph glyph);
