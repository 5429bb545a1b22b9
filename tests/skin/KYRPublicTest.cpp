#include "skin/KYRPublic.h"

#include "tests/framework/graphics/GraphicsTestSupport.h"

#include <gtest/gtest.h>

namespace {

// A bitmap whose every pixel tells where it came from: red = 10 x, green = 10 y, blue 7.
std::unique_ptr<TBitmap> CoordinateBitmap(int w, int h) {
  auto bitmap = std::make_unique<TBitmap>(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bitmap->Canvas().SetPixel(x, y, static_cast<TColor>(RGB(x * 10, y * 10, 7)));
  return bitmap;
}

int SourceX(TColor c) { return GetRValue(c) / 10; }
int SourceY(TColor c) { return GetGValue(c) / 10; }

}  // namespace

// ---- DrawNineGrid ----

TEST(NineGrid, WorkedExampleOf21PixelBitmapOn40PixelTarget) {
  auto bitmap = CoordinateBitmap(21, 21);
  auto target = FilledBitmap(60, 40, clWhite);
  DrawNineGrid(*bitmap, target->Canvas(), RECT{0, 0, 60, 40}, false);
  // Left column: top-left corner rows 0-9, left edge = source row 10 stretched, bottom-left
  // corner = source rows 12-20 at target rows 31-39.
  for (int y = 0; y < 40; ++y) {
    const TColor c = PixelOf(*target, 0, y);
    const int expected = y < 10 ? y : y < 31 ? 10 : y - 31 + 12;
    EXPECT_EQ(SourceY(c), expected) << "target row " << y;
    EXPECT_EQ(SourceX(c), 0) << "target row " << y;
  }
  struct TProbe {
    int x, y, sourceX, sourceY;
  };
  const TProbe probes[] = {
      {9, 9, 9, 9},      // top-left corner, last pixel
      {51, 0, 12, 0},    // top-right corner drawn at Right - 9
      {59, 0, 20, 0},
      {59, 39, 20, 20},  // bottom-right corner
      {51, 31, 12, 12},
      {59, 20, 20, 11},  // right edge: source row 11 stretched
      {10, 0, 10, 0},    // top edge starts at TL.right
      {59, 10, 20, 11},
  };
  for (const TProbe& p : probes) {
    const TColor c = PixelOf(*target, p.x, p.y);
    EXPECT_EQ(SourceX(c), p.sourceX) << p.x << "," << p.y;
    EXPECT_EQ(SourceY(c), p.sourceY) << p.x << "," << p.y;
  }
  // Centre: stretched from columns 10-11 of row 10; bottom edge: rows 11-20 over target rows 30-39.
  EXPECT_EQ(SourceY(PixelOf(*target, 30, 20)), 10);
  EXPECT_EQ(SourceY(PixelOf(*target, 30, 30)), 11);
  EXPECT_EQ(SourceY(PixelOf(*target, 30, 39)), 20);
  EXPECT_GE(SourceX(PixelOf(*target, 30, 35)), 10);
  EXPECT_LE(SourceX(PixelOf(*target, 30, 35)), 11);
  // The bottom edge begins one column left of TL.right, over the bottom-left corner.
  EXPECT_EQ(SourceX(PixelOf(*target, 9, 35)), 10);
}

TEST(NineGrid, CornersFollowTransparentButEdgesAlwaysUseTheKey) {
  auto bitmap = FilledBitmap(21, 21, clGreen);
  bitmap->Canvas().SetPixel(0, 0, clFuchsia);   // inside the top-left corner
  bitmap->Canvas().SetPixel(0, 10, clFuchsia);  // the row the left edge stretches
  for (bool transparent : {true, false}) {
    auto target = FilledBitmap(60, 40, clNavy);
    DrawNineGrid(*bitmap, target->Canvas(), RECT{0, 0, 60, 40}, transparent);
    EXPECT_EQ(PixelOf(*target, 0, 0), transparent ? clNavy : clFuchsia) << transparent;
    EXPECT_EQ(PixelOf(*target, 1, 0), clGreen);
    EXPECT_EQ(PixelOf(*target, 0, 20), clNavy) << "edge keyed, transparent=" << transparent;
    EXPECT_EQ(PixelOf(*target, 1, 20), clGreen);
    EXPECT_EQ(PixelOf(*target, 30, 20), clGreen);
  }
}

TEST(NineGrid, EvenSizedBitmapStretchesItsMiddleRowInsteadOfLeavingABlackBand) {
  auto bitmap = CoordinateBitmap(20, 20);  // hh = 10: the left edge's source is (0, 10, 10, 10)
  auto target = FilledBitmap(40, 40, clWhite);
  DrawNineGrid(*bitmap, target->Canvas(), RECT{0, 0, 40, 40}, false);
  const TColor edge = PixelOf(*target, 0, 15);
  EXPECT_EQ(SourceY(edge), 10);
  EXPECT_EQ(GetBValue(edge), 7);  // drawn from the bitmap, not black
  EXPECT_EQ(GetBValue(PixelOf(*target, 20, 15)), 7);  // the centre too
}

TEST(NineGrid, SmallBitmapsAndTargetsAreStretchedWhole) {
  auto small = CoordinateBitmap(3, 3);
  auto target = FilledBitmap(6, 6, clWhite);
  DrawNineGrid(*small, target->Canvas(), RECT{0, 0, 6, 6}, false);
  EXPECT_EQ(SourceX(PixelOf(*target, 5, 5)), 2);
  EXPECT_EQ(SourceY(PixelOf(*target, 5, 5)), 2);
  EXPECT_EQ(SourceX(PixelOf(*target, 0, 0)), 0);

  auto big = CoordinateBitmap(21, 21);
  auto tiny = FilledBitmap(3, 3, clWhite);
  DrawNineGrid(*big, tiny->Canvas(), RECT{0, 0, 3, 3}, false);
  EXPECT_GE(SourceX(PixelOf(*tiny, 2, 2)), 14);  // from the last third of the bitmap
  EXPECT_GE(SourceY(PixelOf(*tiny, 2, 2)), 14);
  DrawNineGrid(*big, tiny->Canvas(), RECT{0, 0, 0, 3}, false);  // empty: nothing, no failure
}

TEST(NineGrid, LeavesNoHandlesBehind) {
  auto bitmap = CoordinateBitmap(21, 21);
  auto target = FilledBitmap(60, 40, clWhite);
  THandleBaseline baseline;
  for (int i = 0; i < 20; ++i) DrawNineGrid(*bitmap, target->Canvas(), RECT{0, 0, 60 - i, 40 - i}, i % 2 == 0);
  baseline.ExpectUnchanged();
}

// ---- DrawThreeSliceBar ----

TEST(ThreeSliceBar, CapsKeyedAtTheirSizeMiddleStretchedOpaque) {
  auto bar = FilledBitmap(30, 10, clRed);
  bar->Canvas().Brush().SetColor(clLime);
  bar->Canvas().FillRect(RECT{10, 0, 20, 10});
  bar->Canvas().Brush().SetColor(clBlue);
  bar->Canvas().FillRect(RECT{20, 0, 30, 10});
  bar->Canvas().SetPixel(0, 0, clFuchsia);
  bar->Canvas().SetPixel(29, 0, clFuchsia);
  bar->Canvas().SetPixel(15, 0, clFuchsia);  // in the middle: drawn, not keyed
  auto target = FilledBitmap(100, 12, clWhite);
  DrawThreeSliceBar(*bar, target->Canvas(), RECT{0, 0, 100, 10}, false, true);
  ExpectPixels(*target, {
      {0, 0, clWhite},
      {5, 5, clRed},
      {9, 5, clRed},
      {10, 5, clLime},
      {50, 5, clLime},
      {50, 0, clFuchsia},
      {89, 5, clLime},
      {90, 5, clBlue},
      {99, 0, clWhite},
      {50, 11, clWhite},  // below the rectangle
  });
}

TEST(ThreeSliceBar, PixelKeyComesFromTheChosenRow) {
  auto bar = FilledBitmap(30, 4, clRed);
  bar->Canvas().SetPixel(0, 0, clYellow);
  bar->Canvas().SetPixel(0, 3, clTeal);
  bar->Canvas().SetPixel(1, 1, clTeal);
  for (bool topRow : {true, false}) {
    auto target = FilledBitmap(40, 4, clWhite);
    DrawThreeSliceBar(*bar, target->Canvas(), RECT{0, 0, 40, 4}, true, topRow);
    EXPECT_EQ(PixelOf(*target, 0, 0), topRow ? clWhite : clYellow);
    EXPECT_EQ(PixelOf(*target, 1, 1), topRow ? clTeal : clWhite);
  }
}

// ---- frames and rotations ----

TEST(ExtractBitmapFrame, LastFrameOf306PixelStrip) {
  TBitmap strip(306, 17);
  for (int x = 0; x < 306; ++x) strip.Canvas().SetPixel(x, 3, static_cast<TColor>(RGB(x % 256, x / 256, 1)));
  TBitmap frame;
  ExtractBitmapFrame(strip, frame, 18, 18);
  ASSERT_EQ(frame.Width(), 17);
  ASSERT_EQ(frame.Height(), 17);
  EXPECT_EQ(PixelOf(frame, 0, 3), static_cast<TColor>(RGB(289 % 256, 1, 1)));
  EXPECT_EQ(PixelOf(frame, 16, 3), static_cast<TColor>(RGB(305 % 256, 1, 1)));
  ExtractBitmapFrame(strip, frame, 18, 1);
  EXPECT_EQ(PixelOf(frame, 5, 3), static_cast<TColor>(RGB(5, 0, 1)));
}

TEST(ExtractBitmapFrame, ColumnsPastTheLastWholeFrameAndBadIndexes) {
  auto strip = CoordinateBitmap(10, 2);  // 3 frames of 3; column 9 belongs to none
  TBitmap frame;
  ExtractBitmapFrame(*strip, frame, 3, 3);
  EXPECT_EQ(frame.Width(), 3);
  EXPECT_EQ(SourceX(PixelOf(frame, 2, 1)), 8);
  for (int badIndex : {0, 4, -1}) {
    ExtractBitmapFrame(*strip, frame, 3, badIndex);
    EXPECT_EQ(SourceX(PixelOf(frame, 2, 1)), 8) << badIndex;
  }
  ExtractBitmapFrame(*strip, frame, 0, 1);
  EXPECT_EQ(frame.Width(), 3);
  TBitmap narrow(2, 5);
  ExtractBitmapFrame(narrow, frame, 3, 1);  // frames of width 0
  EXPECT_TRUE(frame.Empty());
  ExtractBitmapFrame(*strip, *strip, 2, 2);  // source and destination the same bitmap
  EXPECT_EQ(strip->Width(), 5);
  EXPECT_EQ(SourceX(PixelOf(*strip, 0, 0)), 5);
}

TEST(Rotate, ThreeByOneExample) {
  const TColor A = clRed, B = clLime, C = clBlue;
  auto make = [&] {
    auto b = std::make_unique<TBitmap>(3, 1);
    b->Canvas().SetPixel(0, 0, A);
    b->Canvas().SetPixel(1, 0, B);
    b->Canvas().SetPixel(2, 0, C);
    return b;
  };
  auto left = make();
  RotateBitmapLeft(*left);
  ASSERT_EQ(left->Width(), 1);
  ASSERT_EQ(left->Height(), 3);
  EXPECT_EQ(PixelOf(*left, 0, 0), C);
  EXPECT_EQ(PixelOf(*left, 0, 2), A);
  auto right = make();
  RotateBitmapRight(*right);
  ASSERT_EQ(right->Height(), 3);
  EXPECT_EQ(PixelOf(*right, 0, 0), A);
  EXPECT_EQ(PixelOf(*right, 0, 2), C);
}

TEST(Rotate, GeneralMappingsAndInverses) {
  auto bitmap = CoordinateBitmap(4, 3);
  RotateBitmapLeft(*bitmap);  // (x, y) -> (y, W - 1 - x)
  ASSERT_EQ(bitmap->Width(), 3);
  ASSERT_EQ(bitmap->Height(), 4);
  EXPECT_EQ(SourceX(PixelOf(*bitmap, 2, 0)), 3);  // source (3, 2) -> (2, 0)
  EXPECT_EQ(SourceY(PixelOf(*bitmap, 2, 0)), 2);
  RotateBitmapRight(*bitmap);
  EXPECT_EQ(bitmap->Width(), 4);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelOf(*bitmap, x, y), static_cast<TColor>(RGB(x * 10, y * 10, 7)));
  RotateBitmap180(*bitmap);
  EXPECT_EQ(SourceX(PixelOf(*bitmap, 0, 0)), 3);
  EXPECT_EQ(SourceY(PixelOf(*bitmap, 0, 0)), 2);
  EXPECT_EQ(SourceX(PixelOf(*bitmap, 3, 1)), 0);
  EXPECT_EQ(SourceY(PixelOf(*bitmap, 3, 1)), 1);
}

// ---- tiling ----

TEST(TileDrawPicture, TilesFromTheOriginOneTilePastTheRectangle) {
  TPicture picture;
  picture.Bitmap().Assign(*FilledBitmap(10, 10, clTeal));
  picture.Bitmap().Canvas().SetPixel(0, 0, clMaroon);
  auto target = FilledBitmap(50, 50, clWhite);
  TileDrawPicture(target->Canvas(), picture, RECT{5, 5, 25, 15});
  // x < 10 + 20 -> tiles at 0, 10, 20; y < 10 + 10 -> tiles at 0, 10.
  ExpectPixels(*target, {{0, 0, clMaroon}, {20, 10, clMaroon}, {29, 19, clTeal}, {30, 0, clWhite}, {0, 20, clWhite}});
}

TEST(TileDrawPicture, EmptyPictureDrawsNothing) {
  TPicture picture;
  auto target = FilledBitmap(5, 5, clWhite);
  TileDrawPicture(target->Canvas(), picture, RECT{0, 0, 5, 5});
  picture.Bitmap().SetSize(0, 7);
  TileDrawPicture(target->Canvas(), picture, RECT{0, 0, 5, 5});
  EXPECT_EQ(PixelOf(*target, 2, 2), clWhite);
}

// ---- hit tests and bounds ----

TEST(InRect, EdgesAreInside) {
  struct TRow {
    int x, y;
    bool inside;
  };
  const RECT r{0, 0, 10, 10};
  const TRow rows[] = {{10, 10, true}, {0, 0, true}, {5, 10, true}, {11, 5, false}, {-1, 0, false}, {5, 11, false}};
  for (const TRow& row : rows) {
    EXPECT_EQ(InRectXY(row.x, row.y, r), row.inside) << row.x << "," << row.y;
    EXPECT_EQ(InRect(POINT{row.x, row.y}, r), row.inside) << row.x << "," << row.y;
  }
}

namespace {

// Records every SetBounds call, which each of the position and size setters goes through.
class TBoundsRecorder : public TForm {
public:
  TBoundsRecorder() : TForm(nullptr) { SetBounds(1, 1, 1, 1); calls.clear(); }
  void SetBounds(int left, int top, int width, int height) override {
    calls.push_back({left, top, left + width, top + height});
    TForm::SetBounds(left, top, width, height);
  }
  std::vector<RECT> calls;
};

}  // namespace

TEST(Bounds, SetControlBoundsRectAndPlaceControlUseTheSettersInOrder) {
  TBoundsRecorder form;
  SetControlBoundsRect(form, RECT{10, 20, 110, 70});
  // Left, then Top, then Width, then Height, each through its own setter.
  const RECT expected[] = {{10, 1, 11, 2}, {10, 20, 11, 21}, {10, 20, 110, 21}, {10, 20, 110, 70}};
  ASSERT_EQ(form.calls.size(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_TRUE(EqualRect(&form.calls[i], &expected[i])) << i;
  form.calls.clear();
  PlaceControl(form, POINT{3, 4});
  ASSERT_EQ(form.calls.size(), 2u);
  EXPECT_EQ(form.calls[0].left, 3);
  EXPECT_EQ(form.calls[0].top, 20);
  EXPECT_EQ(form.Top(), 4);
  EXPECT_EQ(form.Width(), 100);
}

TEST(WorkArea, IsTheSystemWorkAreaWithoutAMainForm) {
  if (Application->MainForm()) GTEST_SKIP() << "another test left a main form";
  RECT expected{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &expected, 0);
  RECT r{1, 2, 3, 4};
  GetWorkAreaRect(r);
  EXPECT_TRUE(EqualRect(&r, &expected));
  EXPECT_GT(r.right - r.left, 0);
}

