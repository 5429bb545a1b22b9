// Helpers of the graphics tests: pixel read-back and live-handle baselines.
#pragma once

#include "framework/graphics/Graphics.h"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>

// The pixel at (X, Y) of BITMAP as a TColor ($00BBGGRR), read from the DIB after a GdiFlush.
inline TColor PixelOf(const TBitmap& bitmap, int x, int y) {
  GdiFlush();
  const uint32_t v = bitmap.ScanLine(y)[x] & 0xFFFFFFu;
  return static_cast<TColor>((v & 0xFF00u) | (v >> 16 & 0xFFu) | (v & 0xFFu) << 16);
}

// The colour expected at one point of a bitmap: a row of a pixel-probe table.
struct TPixelProbe {
  int x, y;
  TColor color;
};

// Checks every probe against BITMAP; a failure names the point.
inline void ExpectPixels(const TBitmap& bitmap, std::initializer_list<TPixelProbe> probes) {
  for (const TPixelProbe& p : probes) EXPECT_EQ(PixelOf(bitmap, p.x, p.y), p.color) << "at " << p.x << "," << p.y;
}

// A bitmap of W x H filled with COLOR.
inline std::unique_ptr<TBitmap> FilledBitmap(int w, int h, TColor color) {
  auto bitmap = std::make_unique<TBitmap>(w, h);
  bitmap->Canvas().Brush().SetColor(color);
  bitmap->Canvas().FillRect(RECT{0, 0, w, h});
  return bitmap;
}

// Live handle counts of every kind when constructed; ExpectUnchanged compares with now.
class THandleBaseline {
public:
  THandleBaseline() {
    for (int k = 0; k < static_cast<int>(THandleKind::Count); ++k) counts_[k] = LiveHandleCount(static_cast<THandleKind>(k));
  }
  int Count(THandleKind kind) const { return counts_[static_cast<int>(kind)]; }
  void ExpectUnchanged() const {
    for (int k = 0; k < static_cast<int>(THandleKind::Count); ++k)
      EXPECT_EQ(LiveHandleCount(static_cast<THandleKind>(k)), counts_[k]) << "handle kind " << k;
  }

private:
  std::array<int, static_cast<int>(THandleKind::Count)> counts_{};
};
