// Drawing surface of the skin artwork generator: straight RGBA in floating point, shapes
// filled with 4x4 supersampled coverage, painted by a colour function per pixel. At the
// end the picture is flattened: covered pixels are blended over a matte colour (the
// backdrop the bitmap is drawn on), uncovered ones become the transparent key magenta.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "framework/core/BmpCodec.h"

struct Rgb {
  double r = 0, g = 0, b = 0;
};

// 0xRRGGBB to Rgb and back.
Rgb Hex(uint32_t rrggbb);
uint32_t ToHex(Rgb c);
Rgb Mix(Rgb a, Rgb b, double t);  // t = 0 gives a, 1 gives b
Rgb Lighter(Rgb c, double amount);  // towards white
Rgb Darker(Rgb c, double amount);   // towards black

inline constexpr uint32_t KeyMagenta = 0xFF00FF;

// Inside test of a shape at a sub-pixel point; colour of a shape at a pixel centre.
using ShapeFn = std::function<bool(double x, double y)>;
using PaintFn = std::function<Rgb(double x, double y)>;

// Shapes in pixel coordinates (pixel (i, j) covers [i, i+1) x [j, j+1)).
ShapeFn RoundRect(double x0, double y0, double x1, double y1, double radius);
ShapeFn Circle(double cx, double cy, double radius);
ShapeFn Segment(double x0, double y0, double x1, double y1, double halfWidth);
ShapeFn Polygon(std::vector<std::pair<double, double>> points);
ShapeFn Union(ShapeFn a, ShapeFn b);
ShapeFn Minus(ShapeFn a, ShapeFn b);

// Paints: flat, vertical gradient over [y0, y1] through any number of evenly spaced stops.
PaintFn Flat(Rgb c);
PaintFn VGradient(double y0, double y1, std::vector<Rgb> stops);
PaintFn HGradient(double x0, double x1, std::vector<Rgb> stops);

class ArtCanvas {
public:
  ArtCanvas(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }

  // Composites PAINT over the pixels SHAPE covers, scaled by OPACITY.
  void Fill(const ShapeFn& shape, const PaintFn& paint, double opacity = 1.0);
  // A pixel-exact opaque rectangle [x0, x1) x [y0, y1), clipped.
  void FillRect(int x0, int y0, int x1, int y1, const PaintFn& paint);
  // Sets one pixel opaque (clipped); for pixel-map glyphs.
  void Plot(int x, int y, Rgb c, double opacity = 1.0);
  // Pixel maps: each character of a row that is in INK paints COLOR at (x + col, y + row).
  void Stamp(int x, int y, const std::vector<const char*>& rows, char ink, Rgb color);
  // Copies SOURCE to (x, y) keeping alpha (a frame into a strip).
  void Blit(const ArtCanvas& source, int x, int y);

  double Alpha(int x, int y) const { return px_[Index(x, y)].a; }
  Rgb Color(int x, int y) const { return px_[Index(x, y)].c; }

  // Pixels at least half covered are blended over MATTE; the others become magenta.
  TBmpImage Flatten(Rgb matte) const;

private:
  struct Px {
    Rgb c;
    double a = 0;
  };
  size_t Index(int x, int y) const { return static_cast<size_t>(y) * width_ + x; }
  void Composite(int x, int y, Rgb c, double a);

  int width_;
  int height_;
  std::vector<Px> px_;
};

// Reduces IMAGE to at most MAXCOLORS colours (median cut), keeping the magenta key exact
// and never mapping another colour onto it.
void ReduceColors(TBmpImage& image, size_t maxColors);
