#include "framework/graphics/ImgList.h"

#include "tests/framework/graphics/GraphicsTestSupport.h"

#include <gtest/gtest.h>

namespace {

// A strip of two 8 x 8 images: red and blue squares on magenta, each with a magenta corner pixel.
std::unique_ptr<TBitmap> Strip() {
  auto strip = FilledBitmap(16, 8, clFuchsia);
  strip->Canvas().Brush().SetColor(clRed);
  strip->Canvas().FillRect(RECT{2, 2, 6, 6});
  strip->Canvas().Brush().SetColor(clBlue);
  strip->Canvas().FillRect(RECT{10, 2, 14, 6});
  return strip;
}

bool IsGrey(TColor c) {
  const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
  return std::abs(r - g) < 24 && std::abs(g - b) < 24;
}

}  // namespace

TEST(ImageList, MaskedImagesLeaveTheBackgroundAtTheKeyColour) {
  TImageList list(8, 8);
  EXPECT_EQ(list.AddMasked(*Strip(), clFuchsia), 0);
  EXPECT_EQ(list.Count(), 2);
  auto target = FilledBitmap(30, 10, clLime);
  list.Draw(target->Canvas(), 0, 0, 0);
  list.Draw(target->Canvas(), 10, 0, 1);
  ExpectPixels(*target, {{0, 0, clLime}, {3, 3, clRed}, {13, 3, clBlue}, {17, 7, clLime}});
  list.Draw(target->Canvas(), 20, 0, 2);  // out of range: nothing
  list.Draw(target->Canvas(), 20, 0, -1);
  EXPECT_EQ(PixelOf(*target, 23, 3), clLime);
}

TEST(ImageList, UnmaskedImagesAreOpaque) {
  TImageList list(8, 8);
  list.Add(*Strip());
  auto target = FilledBitmap(10, 10, clLime);
  list.Draw(target->Canvas(), 0, 0, 1);
  EXPECT_EQ(PixelOf(*target, 0, 0), clFuchsia);
}

TEST(ImageList, GreyedDrawingLosesTheColourButKeepsTheMask) {
  TImageList list(8, 8);
  list.AddMasked(*Strip(), clFuchsia);
  auto target = FilledBitmap(10, 10, clWhite);
  list.Draw(target->Canvas(), 0, 0, 0, false);
  const TColor inside = PixelOf(*target, 3, 3);
  EXPECT_NE(inside, clRed);
  EXPECT_NE(inside, clWhite);
  EXPECT_TRUE(IsGrey(inside)) << std::hex << inside;
  EXPECT_EQ(PixelOf(*target, 0, 0), clWhite);
}

TEST(ImageList, LifeCycleReturnsEveryHandle) {
  THandleBaseline baseline;
  {
    TImageList list(8, 8);
    auto target = FilledBitmap(10, 10, clWhite);
    for (int i = 0; i < 50; ++i) {
      list.AddMasked(*Strip(), clFuchsia);
      list.Draw(target->Canvas(), 0, 0, i % 2, i % 3 != 0);
    }
    EXPECT_EQ(list.Count(), 100);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
  }
  baseline.ExpectUnchanged();
}
