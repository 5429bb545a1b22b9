#include "framework/graphics/Graphics.h"

#include "tests/framework/graphics/GraphicsTestSupport.h"

#include <gtest/gtest.h>

namespace {

class CanvasTest : public ::testing::Test {
protected:
  std::unique_ptr<TBitmap> bitmap = FilledBitmap(40, 30, clWhite);
  TCanvas& canvas = bitmap->Canvas();
  TColor At(int x, int y) const { return PixelOf(*bitmap, x, y); }
};

}  // namespace

TEST_F(CanvasTest, FillRectCoversTheRectangleWithoutItsRightAndBottomEdge) {
  canvas.Brush().SetColor(clRed);
  canvas.FillRect(RECT{2, 3, 6, 8});
  ExpectPixels(*bitmap, {{2, 3, clRed}, {5, 7, clRed}, {6, 7, clWhite}, {5, 8, clWhite}, {1, 3, clWhite}});
}

TEST_F(CanvasTest, LinesLeaveOutTheirEndPoint) {
  canvas.Pen().SetColor(clBlue);
  canvas.MoveTo(2, 5);
  canvas.LineTo(10, 5);
  ExpectPixels(*bitmap, {{2, 5, clBlue}, {9, 5, clBlue}, {10, 5, clWhite}});
  EXPECT_EQ(canvas.PenPos().x, 10);

  canvas.Polyline({{1, 10}, {8, 10}, {8, 20}});
  ExpectPixels(*bitmap, {
      {1, 10, clBlue},
      {8, 10, clBlue},  // the corner is drawn by the second segment
      {8, 19, clBlue},
      {8, 20, clWhite},
  });
}

TEST_F(CanvasTest, PolygonIsOutlinedWithThePenAndFilledWithTheBrush) {
  canvas.Pen().SetColor(clBlack);
  canvas.Brush().SetColor(clLime);
  canvas.Polygon({{5, 5}, {25, 5}, {25, 25}, {5, 25}});
  ExpectPixels(*bitmap, {{5, 5, clBlack}, {15, 5, clBlack}, {15, 15, clLime}, {30, 15, clWhite}, {4, 15, clWhite}});
}

TEST_F(CanvasTest, ClearBrushDrawsOutlinesOnly) {
  canvas.Pen().SetColor(clRed);
  canvas.Brush().SetStyle(bsClear);
  canvas.Rectangle(2, 2, 12, 12);
  canvas.FillRect(RECT{20, 2, 30, 12});
  ExpectPixels(*bitmap, {{2, 2, clRed}, {11, 11, clRed}, {6, 6, clWhite}, {25, 6, clWhite}});
}

TEST_F(CanvasTest, FrameRectDrawsAOnePixelBorderInTheBrushColour) {
  canvas.Brush().SetColor(clNavy);
  canvas.FrameRect(RECT{3, 3, 10, 9});
  ExpectPixels(*bitmap, {{3, 3, clNavy}, {9, 8, clNavy}, {6, 3, clNavy}, {5, 5, clWhite}, {10, 9, clWhite}});
}

TEST_F(CanvasTest, EllipseAndArcTouchTheirBoundingBox) {
  canvas.Pen().SetColor(clPurple);
  canvas.Brush().SetColor(clYellow);
  canvas.Ellipse(0, 0, 21, 21);
  ExpectPixels(*bitmap, {{10, 0, clPurple}, {10, 10, clYellow}, {0, 0, clWhite}});
  // A full arc (start equals end) draws the whole outline and fills nothing.
  auto other = FilledBitmap(30, 30, clWhite);
  other->Canvas().Pen().SetColor(clGreen);
  other->Canvas().Arc(0, 0, 21, 21, 20, 10, 20, 10);
  ExpectPixels(*other, {{10, 0, clGreen}, {0, 10, clGreen}, {10, 10, clWhite}});
}

TEST_F(CanvasTest, FocusRectIsDottedAndErasesItself) {
  const RECT r{2, 2, 22, 12};
  canvas.DrawFocusRect(r);
  int dark = 0;
  int light = 0;
  for (int x = 2; x < 22; ++x) (At(x, 2) == clWhite ? light : dark)++;
  EXPECT_GT(dark, 5);
  EXPECT_GT(light, 5);
  EXPECT_NE(At(4, 2), At(5, 2));  // neighbours alternate
  EXPECT_EQ(At(10, 7), clWhite);  // the inside is not touched
  canvas.DrawFocusRect(r);
  for (int x = 2; x < 22; ++x) EXPECT_EQ(At(x, 2), clWhite) << x;
}

TEST_F(CanvasTest, TextIsDrawnInsideItsExtentAndLeavesTheDCAsItWas) {
  HDC dc = canvas.Handle();
  HGDIOBJ fontBefore = GetCurrentObject(dc, OBJ_FONT);
  SetTextColor(dc, RGB(1, 2, 3));
  SetBkMode(dc, OPAQUE);
  canvas.Font().SetColor(clBlack);
  canvas.Brush().SetStyle(bsClear);
  canvas.TextOut(2, 2, "HW");
  const SIZE extent = canvas.TextExtent("HW");
  ASSERT_GT(extent.cx, 4);
  ASSERT_GT(extent.cy, 4);
  int inked = 0;
  for (int y = 2; y < 2 + extent.cy; ++y)
    for (int x = 2; x < 2 + extent.cx; ++x) inked += At(x, y) != clWhite;
  EXPECT_GT(inked, 4);
  for (int x = 0; x < 40; ++x) EXPECT_EQ(At(x, 29), clWhite) << "below the text";
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), fontBefore);
  EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
}

TEST_F(CanvasTest, OpaqueTextFillsItsBackgroundWithTheBrushColour) {
  canvas.Brush().SetColor(clAqua);
  canvas.TextOut(2, 2, "i");
  EXPECT_EQ(At(2, 2), clAqua);  // the cell's corner is background
}

TEST_F(CanvasTest, DrawTextMeasuresAndCentres) {
  RECT measure{0, 0, 0, 0};
  canvas.DrawText("Wide text", measure, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(measure.right - measure.left, canvas.TextWidth("Wide text"));
  EXPECT_EQ(At(5, 5), clWhite);  // DT_CALCRECT draws nothing
  RECT box{0, 0, 40, 30};
  canvas.Font().SetColor(clRed);
  canvas.Brush().SetStyle(bsClear);
  canvas.DrawText("X", box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  int inked = 0;
  for (int y = 0; y < 30; ++y) inked += At(0, y) != clWhite || At(39, y) != clWhite;
  EXPECT_EQ(inked, 0);  // centred: nothing at the sides
  int red = 0;
  for (int y = 8; y < 22; ++y)
    for (int x = 14; x < 26; ++x) red += At(x, y) != clWhite;
  EXPECT_GT(red, 0);
}

TEST_F(CanvasTest, PixelsCopyClipAndViewport) {
  canvas.SetPixel(3, 4, clMaroon);
  EXPECT_EQ(canvas.Pixel(3, 4), clMaroon);
  EXPECT_EQ(At(3, 4), clMaroon);

  auto target = FilledBitmap(20, 20, clBlack);
  target->Canvas().CopyRect(RECT{0, 0, 2, 2}, canvas, RECT{3, 4, 4, 5});  // one pixel stretched to 2x2
  EXPECT_EQ(PixelOf(*target, 1, 1), clMaroon);
  EXPECT_EQ(PixelOf(*target, 2, 2), clBlack);

  {
    TClipRegionGuard clip(canvas.Handle());
    canvas.IntersectClipRect(RECT{10, 10, 20, 20});
    EXPECT_EQ(canvas.ClipRect().left, 10);
    canvas.Brush().SetColor(clGreen);
    canvas.FillRect(RECT{0, 0, 40, 30});
  }
  ExpectPixels(*bitmap, {{9, 9, clWhite}, {10, 10, clGreen}, {20, 20, clWhite}});
  EXPECT_EQ(canvas.ClipRect().right, 40);

  const POINT old = canvas.SetViewportOrigin(30, 20);
  canvas.SetPixel(1, 1, clBlue);
  canvas.SetViewportOrigin(old.x, old.y);
  EXPECT_EQ(At(31, 21), clBlue);
  EXPECT_EQ(canvas.ViewportOrigin().x, 0);
}

TEST_F(CanvasTest, DrawingManyTimesLeaksNoHandles) {
  THandleBaseline baseline;
  for (int i = 0; i < 200; ++i) {
    canvas.Pen().SetColor(static_cast<TColor>(i));
    canvas.Brush().SetColor(static_cast<TColor>(i * 3));
    canvas.Font().SetHeight(-(8 + i % 5));
    canvas.Rectangle(0, 0, 10, 10);
    canvas.TextOut(0, 0, "a");
    canvas.DrawFocusRect(RECT{0, 0, 5, 5});
  }
  // The canvas keeps one pen, one brush and one font alive.
  EXPECT_LE(LiveHandleCount(THandleKind::Pen), baseline.Count(THandleKind::Pen) + 1);
  EXPECT_LE(LiveHandleCount(THandleKind::Brush), baseline.Count(THandleKind::Brush) + 1);
  EXPECT_LE(LiveHandleCount(THandleKind::Font), baseline.Count(THandleKind::Font) + 1);
}

TEST(CanvasLife, ABitmapWithItsCanvasReturnsEveryHandle) {
  THandleBaseline baseline;
  {
    TBitmap bitmap(16, 16);
    bitmap.Canvas().Font().SetStyle(TFontStyles{fsBold});
    bitmap.Canvas().TextOut(0, 0, "x");
    bitmap.Canvas().Rectangle(0, 0, 5, 5);
    bitmap.SetSize(32, 8);
    bitmap.Canvas().Rectangle(0, 0, 30, 5);
  }
  baseline.ExpectUnchanged();
}

TEST(Regions, RoundRectAndCombinedRegionsContainTheRightPoints) {
  THandleBaseline baseline;
  {
    TRegionHandle round = CreateRoundRectRegion(RECT{0, 0, 20, 20}, 8, 8);
    EXPECT_FALSE(PtInRegion(round.Get(), 0, 0));  // the corner is cut off
    EXPECT_TRUE(PtInRegion(round.Get(), 10, 0));
    TRegionHandle bar = CreateRectRegion(RECT{0, 0, 4, 4});
    TRegionHandle both = CombineRegions(round.Get(), bar.Get(), RGN_OR);
    EXPECT_TRUE(PtInRegion(both.Get(), 0, 0));
    TRegionHandle cut = CombineRegions(round.Get(), bar.Get(), RGN_DIFF);
    EXPECT_FALSE(PtInRegion(cut.Get(), 3, 3));
    EXPECT_TRUE(PtInRegion(cut.Get(), 10, 10));
  }
  baseline.ExpectUnchanged();
}
