#include "framework/graphics/Graphics.h"

#include "tests/framework/graphics/GraphicsTestSupport.h"

#include <gtest/gtest.h>

namespace {

// A 16 x 16 icon: red where the mask is clear, transparent in its left half.
HICON MakeIcon() {
  TWindowDC screen(nullptr);
  TBitmapHandle color(CreateCompatibleBitmap(screen.Get(), 16, 16));
  TBitmapHandle mask(CreateBitmap(16, 16, 1, 1, nullptr));
  {
    TMemoryDC dc(screen.Get());
    TSelectObjectGuard select(dc.Get(), color.Get());
    RECT all{0, 0, 16, 16};
    TBrushHandle red(CreateSolidBrush(RGB(255, 0, 0)));
    FillRect(dc.Get(), &all, red.Get());
    RECT left{0, 0, 8, 16};
    FillRect(dc.Get(), &left, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  {
    TMemoryDC dc(screen.Get());
    TSelectObjectGuard select(dc.Get(), mask.Get());
    PatBlt(dc.Get(), 0, 0, 8, 16, WHITENESS);  // mask 1: the background shows
    PatBlt(dc.Get(), 8, 0, 8, 16, BLACKNESS);
  }
  ICONINFO info{TRUE, 0, 0, mask.Get(), color.Get()};
  return CreateIconIndirect(&info);
}

}  // namespace

TEST(Picture, HoldsABitmapAndReportsItsChanges) {
  TPicture picture;
  int changes = 0;
  picture.OnChange = [&](TObject* sender) {
    ++changes;
    EXPECT_EQ(sender, &picture);
  };
  EXPECT_TRUE(picture.Empty());
  picture.Bitmap().SetSize(5, 4);
  EXPECT_GE(changes, 2);  // the new bitmap, then its size
  EXPECT_EQ(picture.Width(), 5);
  EXPECT_EQ(picture.Height(), 4);
  const int before = changes;
  picture.Bitmap().SetTransparent(true);
  EXPECT_EQ(changes, before + 1);
  picture.SetGraphic(nullptr);
  EXPECT_TRUE(picture.Empty());
  EXPECT_EQ(changes, before + 2);
}

TEST(Picture, AssignCopiesTheGraphic) {
  TPicture a;
  a.Bitmap().SetSize(3, 3);
  a.Bitmap().Canvas().SetPixel(2, 2, clTeal);
  TPicture b;
  b.Assign(a);
  ASSERT_NE(dynamic_cast<TBitmap*>(b.Graphic()), nullptr);
  EXPECT_NE(b.Graphic(), a.Graphic());
  EXPECT_EQ(PixelOf(b.Bitmap(), 2, 2), clTeal);
  TPicture empty;
  b.Assign(empty);
  EXPECT_TRUE(b.Empty());
}

TEST(Picture, IconReplacesTheBitmapAndDrawsWithItsMask) {
  THandleBaseline baseline;
  {
    TPicture picture;
    picture.Bitmap().SetSize(2, 2);
    picture.Icon().SetHandle(MakeIcon());
    ASSERT_NE(dynamic_cast<TIcon*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 16);
    EXPECT_EQ(picture.Height(), 16);
    auto target = FilledBitmap(20, 20, clBlue);
    target->Canvas().Draw(2, 2, *picture.Graphic());
    EXPECT_EQ(PixelOf(*target, 4, 10), clBlue);   // masked half
    EXPECT_EQ(PixelOf(*target, 14, 10), clRed);
    EXPECT_EQ(PixelOf(*target, 19, 10), clBlue);  // outside

    TPicture copy;
    copy.Assign(picture);
    EXPECT_NE(copy.Icon().Handle(), picture.Icon().Handle());
    EXPECT_EQ(copy.Width(), 16);
  }
  baseline.ExpectUnchanged();
}

TEST(Picture, MissingIconResourceRaises) {
  TIcon icon;
  EXPECT_THROW(icon.LoadFromResourceName(GetModuleHandleA(nullptr), "NO_SUCH_ICON"), EInvalidGraphic);
  EXPECT_TRUE(icon.Empty());
}

TEST(Picture, IconResourceLoadsAtTheAskedSize) {
  THandleBaseline baseline;
  {
    TIcon icon;
    icon.LoadFromResourceName(GetModuleHandleA(nullptr), "SPLIT", 16);
    EXPECT_EQ(icon.Width(), 16);
    EXPECT_EQ(icon.Height(), 16);
    auto target = FilledBitmap(16, 16, clWhite);
    target->Canvas().Draw(0, 0, icon);
    EXPECT_EQ(PixelOf(*target, 2, 8), clBlue);
    EXPECT_EQ(PixelOf(*target, 13, 8), clRed);
  }
  baseline.ExpectUnchanged();
}
