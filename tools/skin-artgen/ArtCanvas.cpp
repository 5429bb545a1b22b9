#include "tools/skin-artgen/ArtCanvas.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace {

constexpr int SubSamples = 4;

double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

uint8_t Byte(double v) { return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0)); }

PaintFn Gradient(double from, double to, std::vector<Rgb> stops, bool vertical) {
  return [=](double x, double y) {
    double t = to > from ? Clamp01(((vertical ? y : x) - from) / (to - from)) : 0.0;
    if (stops.size() == 1) return stops[0];
    double at = t * static_cast<double>(stops.size() - 1);
    size_t i = std::min(static_cast<size_t>(at), stops.size() - 2);
    return Mix(stops[i], stops[i + 1], at - static_cast<double>(i));
  };
}

// ---- median cut ----

int ChannelOf(uint32_t c, int ch) { return (c >> (16 - 8 * ch)) & 0xFF; }

struct Box {
  std::vector<uint32_t> colors;

  int Range(int ch) const {
    int lo = 255, hi = 0;
    for (uint32_t c : colors) {
      lo = std::min(lo, ChannelOf(c, ch));
      hi = std::max(hi, ChannelOf(c, ch));
    }
    return hi - lo;
  }
  int WidestChannel() const {
    int best = 0;
    for (int ch = 1; ch < 3; ++ch)
      if (Range(ch) > Range(best)) best = ch;
    return best;
  }
  uint32_t Mean() const {
    double sum[3] = {0, 0, 0};
    for (uint32_t c : colors)
      for (int ch = 0; ch < 3; ++ch) sum[ch] += ChannelOf(c, ch);
    uint32_t out = 0;
    for (int ch = 0; ch < 3; ++ch)
      out |= static_cast<uint32_t>(std::lround(sum[ch] / colors.size())) << (16 - 8 * ch);
    return out == KeyMagenta ? 0xFE00FE : out;
  }
};

// COLORS holds every pixel (repeats included), so the means are weighted by area; the box
// split next is the one with the largest spread times pixel count.
std::vector<uint32_t> MedianCut(std::vector<uint32_t> colors, size_t count) {
  std::vector<Box> boxes{Box{std::move(colors)}};
  while (boxes.size() < count) {
    Box* widest = nullptr;
    double bestScore = 0;
    for (Box& b : boxes) {
      double score = static_cast<double>(b.Range(b.WidestChannel())) * b.colors.size();
      if (score > bestScore) {
        bestScore = score;
        widest = &b;
      }
    }
    if (widest == nullptr) break;
    int ch = widest->WidestChannel();
    // Ties broken by the whole value, so the palette never depends on the sort's order.
    std::sort(widest->colors.begin(), widest->colors.end(), [ch](uint32_t a, uint32_t b) {
      return ChannelOf(a, ch) != ChannelOf(b, ch) ? ChannelOf(a, ch) < ChannelOf(b, ch) : a < b;
    });
    size_t half = widest->colors.size() / 2;
    Box upper{std::vector<uint32_t>(widest->colors.begin() + static_cast<std::ptrdiff_t>(half),
                                    widest->colors.end())};
    widest->colors.resize(half);
    boxes.push_back(std::move(upper));
  }
  std::vector<uint32_t> palette;
  for (const Box& b : boxes) palette.push_back(b.Mean());
  return palette;
}

uint32_t Nearest(uint32_t c, const std::vector<uint32_t>& palette) {
  uint32_t best = palette.front();
  long bestDistance = -1;
  for (uint32_t p : palette) {
    long d = 0;
    for (int ch = 0; ch < 3; ++ch) {
      long delta = ChannelOf(c, ch) - ChannelOf(p, ch);
      d += delta * delta;
    }
    if (bestDistance < 0 || d < bestDistance) {
      bestDistance = d;
      best = p;
    }
  }
  return best;
}

}  // namespace

Rgb Hex(uint32_t v) {
  return {((v >> 16) & 0xFF) / 255.0, ((v >> 8) & 0xFF) / 255.0, (v & 0xFF) / 255.0};
}

uint32_t ToHex(Rgb c) {
  return static_cast<uint32_t>(Byte(c.r)) << 16 | static_cast<uint32_t>(Byte(c.g)) << 8 |
         Byte(c.b);
}

Rgb Mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Rgb Lighter(Rgb c, double amount) { return Mix(c, Rgb{1, 1, 1}, amount); }
Rgb Darker(Rgb c, double amount) { return Mix(c, Rgb{0, 0, 0}, amount); }

ShapeFn RoundRect(double x0, double y0, double x1, double y1, double radius) {
  return [=](double x, double y) {
    if (x < x0 || x > x1 || y < y0 || y > y1) return false;
    double cx = std::clamp(x, x0 + radius, x1 - radius);
    double cy = std::clamp(y, y0 + radius, y1 - radius);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
  };
}

ShapeFn Circle(double cx, double cy, double radius) {
  return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius; };
}

ShapeFn Segment(double x0, double y0, double x1, double y1, double halfWidth) {
  return [=](double x, double y) {
    double dx = x1 - x0, dy = y1 - y0;
    double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? Clamp01(((x - x0) * dx + (y - y0) * dy) / len2) : 0.0;
    double px = x0 + t * dx - x, py = y0 + t * dy - y;
    return px * px + py * py <= halfWidth * halfWidth;
  };
}

ShapeFn Polygon(std::vector<std::pair<double, double>> points) {
  return [points = std::move(points)](double x, double y) {
    bool inside = false;
    for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
      auto [xi, yi] = points[i];
      auto [xj, yj] = points[j];
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
  };
}

ShapeFn Union(ShapeFn a, ShapeFn b) {
  return [=](double x, double y) { return a(x, y) || b(x, y); };
}
ShapeFn Minus(ShapeFn a, ShapeFn b) {
  return [=](double x, double y) { return a(x, y) && !b(x, y); };
}

PaintFn Flat(Rgb c) {
  return [=](double, double) { return c; };
}
PaintFn VGradient(double y0, double y1, std::vector<Rgb> stops) {
  return Gradient(y0, y1, std::move(stops), true);
}
PaintFn HGradient(double x0, double x1, std::vector<Rgb> stops) {
  return Gradient(x0, x1, std::move(stops), false);
}

ArtCanvas::ArtCanvas(int width, int height)
    : width_(width), height_(height), px_(static_cast<size_t>(width) * height) {}

void ArtCanvas::Composite(int x, int y, Rgb c, double a) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || a <= 0) return;
  Px& p = px_[Index(x, y)];
  double outA = a + p.a * (1 - a);
  double keep = p.a * (1 - a) / outA;
  p.c = {c.r * a / outA + p.c.r * keep, c.g * a / outA + p.c.g * keep,
         c.b * a / outA + p.c.b * keep};
  p.a = outA;
}

void ArtCanvas::Fill(const ShapeFn& shape, const PaintFn& paint, double opacity) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      int hits = 0;
      for (int sy = 0; sy < SubSamples; ++sy)
        for (int sx = 0; sx < SubSamples; ++sx)
          hits += shape(x + (sx + 0.5) / SubSamples, y + (sy + 0.5) / SubSamples);
      if (hits == 0) continue;
      double coverage = hits / double(SubSamples * SubSamples);
      Composite(x, y, paint(x + 0.5, y + 0.5), coverage * opacity);
    }
}

void ArtCanvas::FillRect(int x0, int y0, int x1, int y1, const PaintFn& paint) {
  for (int y = std::max(y0, 0); y < std::min(y1, height_); ++y)
    for (int x = std::max(x0, 0); x < std::min(x1, width_); ++x)
      Composite(x, y, paint(x + 0.5, y + 0.5), 1.0);
}

void ArtCanvas::Plot(int x, int y, Rgb c, double opacity) { Composite(x, y, c, opacity); }

void ArtCanvas::Stamp(int x, int y, const std::vector<const char*>& rows, char ink, Rgb color) {
  for (size_t row = 0; row < rows.size(); ++row)
    for (size_t col = 0; rows[row][col] != '\0'; ++col)
      if (rows[row][col] == ink) Plot(x + static_cast<int>(col), y + static_cast<int>(row), color);
}

void ArtCanvas::Blit(const ArtCanvas& source, int x, int y) {
  for (int sy = 0; sy < source.height_; ++sy)
    for (int sx = 0; sx < source.width_; ++sx) {
      int tx = x + sx, ty = y + sy;
      if (tx < 0 || ty < 0 || tx >= width_ || ty >= height_) continue;
      px_[Index(tx, ty)] = source.px_[source.Index(sx, sy)];
    }
}

TBmpImage ArtCanvas::Flatten(Rgb matte) const {
  TBmpImage image = MakeBmpImage(width_, height_, KeyMagenta);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const Px& p = px_[Index(x, y)];
      if (p.a < 0.5) continue;
      uint32_t c = ToHex(Mix(matte, p.c, p.a));
      image.Pixel(x, y) = c == KeyMagenta ? 0xFE00FE : c;
    }
  image.BitsPerPixel = 24;
  return image;
}

void ReduceColors(TBmpImage& image, size_t maxColors) {
  std::set<uint32_t> distinct(image.Pixels.begin(), image.Pixels.end());
  if (distinct.size() <= maxColors) return;
  bool keyed = distinct.count(KeyMagenta) > 0;
  std::vector<uint32_t> opaque;
  for (uint32_t px : image.Pixels)
    if (px != KeyMagenta) opaque.push_back(px);
  std::vector<uint32_t> palette = MedianCut(std::move(opaque), maxColors - keyed);
  for (uint32_t& px : image.Pixels)
    if (px != KeyMagenta) px = Nearest(px, palette);
}
