#include "tools/skin-artgen/ArtGlyphs.h"

#include <cmath>
#include <numbers>

namespace {

using Points = std::vector<std::pair<double, double>>;

// A shape in glyph units ([-1, 1] both ways) mapped into the canvas box.
struct Box {
  double cx, cy, size;
  double X(double u) const { return cx + u * size; }
  double Y(double v) const { return cy + v * size; }
  ShapeFn Line(double u0, double v0, double u1, double v1, double halfWidth) const {
    return Segment(X(u0), Y(v0), X(u1), Y(v1), halfWidth);
  }
  ShapeFn Rect(double u0, double v0, double u1, double v1) const {
    return RoundRect(X(u0), Y(v0), X(u1), Y(v1), 0);
  }
  ShapeFn Poly(const Points& units) const {
    Points p;
    for (auto [u, v] : units) p.push_back({X(u), Y(v)});
    return Polygon(std::move(p));
  }
  // An outlined rectangle with a heavier top edge, as window pictures have.
  ShapeFn Window(double u0, double v0, double u1, double v1, double stroke) const {
    double t = stroke / size;
    return Minus(Rect(u0, v0, u1, v1), Rect(u0 + t, v0 + 2 * t, u1 - t, v1 - t));
  }
};

const std::vector<const char*> kHelpSmall = {
    " ### ", "#   #", "    #", "   # ", "  #  ", "  #  ", "     ", "  #  ",
};
const std::vector<const char*> kHelpBold = {
    " #### ", "##  ##", "    ##", "   ## ", "  ##  ", "  ##  ", "      ", "  ##  ", "  ##  ",
};

void DrawHelp(ArtCanvas& canvas, double cx, double cy, double size, Rgb color) {
  const auto& rows = size >= 4.4 ? kHelpBold : kHelpSmall;
  int cols = static_cast<int>(std::char_traits<char>::length(rows[0]));
  int x = static_cast<int>(std::lround(cx - cols / 2.0));
  int y = static_cast<int>(std::lround(cy - rows.size() / 2.0));
  canvas.Stamp(x, y, rows, '#', color);
}

ShapeFn RefreshShape(const Box& b, double halfWidth) {
  // Three quarters of a ring, open at the top right, with an arrow head at its end.
  double r = b.size * 0.72;
  ShapeFn ring = Minus(Circle(b.cx, b.cy, r + halfWidth), Circle(b.cx, b.cy, r - halfWidth));
  ShapeFn gap = [=](double x, double y) { return x > b.cx && y < b.cy; };
  ShapeFn head = b.Poly({{0.05, -1.15}, {0.75, -0.72}, {0.05, -0.25}});
  return Union(Minus(ring, gap), head);
}

ShapeFn GlyphShape(Glyph glyph, const Box& b, double hw) {
  switch (glyph) {
    case Glyph::Close:
      return Union(b.Line(-0.85, -0.85, 0.85, 0.85, hw), b.Line(-0.85, 0.85, 0.85, -0.85, hw));
    case Glyph::Minimise: return b.Rect(-0.9, 0.9 - 2 * hw / b.size, 0.9, 0.9);
    case Glyph::Maximise: return b.Window(-0.95, -0.95, 0.95, 0.95, hw);
    case Glyph::Restore:
      return Union(Minus(b.Window(-0.35, -1, 1, 0.3, hw * 0.9), b.Rect(-1, -0.4, 0.45, 1)),
                   b.Window(-1, -0.4, 0.4, 1, hw * 0.9));
    case Glyph::Menu: return b.Poly({{-0.95, -0.45}, {0.95, -0.45}, {0, 0.6}});
    case Glyph::ArrowUp: return b.Poly({{-1, 0.5}, {1, 0.5}, {0, -0.55}});
    case Glyph::ArrowDown: return b.Poly({{-1, -0.5}, {1, -0.5}, {0, 0.55}});
    case Glyph::ArrowLeft: return b.Poly({{0.5, -1}, {0.5, 1}, {-0.55, 0}});
    case Glyph::ArrowRight: return b.Poly({{-0.5, -1}, {-0.5, 1}, {0.55, 0}});
    case Glyph::Check:
      return Union(b.Line(-0.85, 0.05, -0.3, 0.65, hw), b.Line(-0.3, 0.65, 0.85, -0.75, hw));
    case Glyph::Prior: return b.Poly({{0.45, -0.85}, {0.45, 0.85}, {-0.6, 0}});
    case Glyph::Next: return b.Poly({{-0.45, -0.85}, {-0.45, 0.85}, {0.6, 0}});
    case Glyph::First:
      return Union(b.Rect(-0.85, -0.85, -0.5, 0.85), b.Poly({{0.75, -0.85}, {0.75, 0.85}, {-0.35, 0}}));
    case Glyph::Last:
      return Union(b.Rect(0.5, -0.85, 0.85, 0.85), b.Poly({{-0.75, -0.85}, {-0.75, 0.85}, {0.35, 0}}));
    case Glyph::Plus: return Union(b.Rect(-0.9, -0.2, 0.9, 0.2), b.Rect(-0.2, -0.9, 0.2, 0.9));
    case Glyph::Minus: return b.Rect(-0.9, -0.2, 0.9, 0.2);
    case Glyph::Edit:
      return Union(b.Line(0.75, -0.75, -0.35, 0.35, hw * 1.3),
                   b.Poly({{-0.6, 0.1}, {-0.1, 0.6}, {-0.85, 0.85}}));
    case Glyph::Refresh: return RefreshShape(b, hw);
    case Glyph::Help: break;
  }
  return [](double, double) { return false; };
}

}  // namespace

void DrawGlyph(ArtCanvas& canvas, Glyph glyph, double cx, double cy, double size, Rgb color,
               double weight) {
  if (glyph == Glyph::Help) {
    DrawHelp(canvas, cx, cy, size, color);
    return;
  }
  double halfWidth = weight * std::max(0.75, size * 0.2);
  canvas.Fill(GlyphShape(glyph, Box{cx, cy, size}, halfWidth), Flat(color));
}

Rgb NavGlyphColor(Glyph glyph) {
  switch (glyph) {
    case Glyph::Plus:
    case Glyph::Check: return Hex(0x1E8C2A);
    case Glyph::Minus:
    case Glyph::Close: return Hex(0xB42020);
    case Glyph::Edit: return Hex(0x8A5A10);
    case Glyph::Refresh: return Hex(0x1A7090);
    default: return Hex(0x1F3F8F);
  }
}
