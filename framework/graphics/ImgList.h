// Image lists over COMCTL32: equal-sized images with masks made from a key colour, drawn normally
// or greyed.
//
// Greyed drawing uses ILS_SATURATE when the process runs on comctl32 version 6 (an application with
// the common-controls manifest); older versions ignore that state, so the image is then drawn with
// DrawState(DSS_DISABLED) from an icon made of it.
//     TImageList list(16, 16);
//     list.AddMasked(strip, clFuchsia);      // a 48 x 16 strip adds three images
//     list.Draw(canvas, 4, 4, 1);  list.Draw(canvas, 24, 4, 1, false);
#pragma once

#include "framework/graphics/Graphics.h"

class TImageList : public TPersistent {
public:
  TImageList(int width, int height);
  const char* ClassName() const override { return "TImageList"; }

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Count() const;
  // Adds IMAGE (cut into as many images as its width holds) with a mask where its pixels have
  // MASK_COLOR; returns the index of the first added image, -1 on failure.
  int AddMasked(const TBitmap& image, TColor maskColor);
  // Adds IMAGE without a mask (drawn opaque).
  int Add(const TBitmap& image);
  void Clear();
  // Draws image INDEX at (X, Y); ENABLED false draws it greyed. Out-of-range indexes draw nothing.
  void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true);
  HIMAGELIST Handle() const { return handle_.Get(); }

  TNotifyEvent OnChange;

private:
  void DrawGreyed(HDC dc, int x, int y, int index);

  int width_;
  int height_;
  TImageListHandle handle_;
};

// True when the comctl32 loaded in this process is version 6 or later.
bool CommonControlsV6();
