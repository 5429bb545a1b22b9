// The stored forms of pictures, bitmaps and icons (their published Data) and of image lists.
#include "framework/core/BmpCodec.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImgList.h"

#include "tests/framework/graphics/GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Bytes = std::vector<uint8_t>;

// A 24-bit BMP file made by the codec alone: red at (0,0), blue at (2,1), the rest white.
Bytes BmpFile() {
  TBmpImage image = MakeBmpImage(3, 2, 0x00FFFFFF);
  image.Pixel(0, 0) = 0x00FF0000;
  image.Pixel(2, 1) = 0x000000FF;
  return EncodeBmp(image, 24);
}

Bytes WithSize(const Bytes& file) {
  Bytes out{static_cast<uint8_t>(file.size()), static_cast<uint8_t>(file.size() >> 8), 0, 0};
  out.insert(out.end(), file.begin(), file.end());
  return out;
}

Bytes Named(const std::string& name, const Bytes& data) {
  Bytes out{static_cast<uint8_t>(name.size())};
  out.insert(out.end(), name.begin(), name.end());
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

Bytes ResourceBytes(const char* name) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC info = FindResourceA(module, name, MAKEINTRESOURCEA(10));  // RT_RCDATA
  const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, info)));
  return Bytes(data, data + SizeofResource(module, info));
}

void SetData(TObject& object, const Bytes& data) { RequirePropInfo(object, "Data").SetBytes(object, data); }

TEST(PictureData, BitmapDataIsASizeThenABmpFile) {
  TBitmap bitmap;
  SetData(bitmap, WithSize(BmpFile()));
  ASSERT_EQ(bitmap.Width(), 3);
  ASSERT_EQ(bitmap.Height(), 2);
  ExpectPixels(bitmap, {{0, 0, clRed}, {2, 1, clBlue}, {1, 0, clWhite}});

  const Bytes written = RequirePropInfo(bitmap, "Data").GetBytes(bitmap);
  ASSERT_GT(written.size(), 6u);
  EXPECT_EQ(written[0] | written[1] << 8, static_cast<int>(written.size()) - 4);
  EXPECT_EQ(written[4], 'B');
  TBitmap copy;
  copy.ReadData(written);
  ExpectPixels(copy, {{0, 0, clRed}, {2, 1, clBlue}});

  copy.ReadData({0, 0, 0, 0});
  EXPECT_TRUE(copy.Empty());
}

TEST(PictureData, PictureDataNamesItsGraphicsClass) {
  TPicture picture;
  int changes = 0;
  picture.OnChange = [&](TObject*) { ++changes; };
  SetData(picture, Named("TBitmap", WithSize(BmpFile())));
  ASSERT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
  EXPECT_EQ(PixelOf(picture.Bitmap(), 2, 1), clBlue);
  EXPECT_GE(changes, 1);
  EXPECT_EQ(RequirePropInfo(picture, "Data").GetBytes(picture)[0], 7);

  SetData(picture, Named("TIcon", ResourceBytes("SPLIT_FILE")));
  ASSERT_NE(dynamic_cast<TIcon*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 16);
  auto target = FilledBitmap(16, 16, clWhite);
  target->Canvas().Draw(0, 0, *picture.Graphic());
  ExpectPixels(*target, {{2, 8, clBlue}, {13, 8, clRed}});
  EXPECT_EQ(picture.WriteData(), Named("TIcon", ResourceBytes("SPLIT_FILE")));

  SetData(picture, {});
  EXPECT_TRUE(picture.Empty());
}

TEST(PictureData, DataThatDoesNotFitLeavesThePictureAlone) {
  const Bytes icon = ResourceBytes("SPLIT_FILE");
  const Bytes bmp = WithSize(BmpFile());
  struct Case {
    const char* what;
    Bytes data;
  } cases[] = {
      {"unknown class", Named("TMetafile", bmp)},
      {"name longer than the data", Bytes{20, 'T', 'B'}},
      {"size beyond the data", Named("TBitmap", Bytes{0xFF, 0, 0, 0, 'B', 'M'})},
      {"no size at all", Named("TBitmap", Bytes{})},
      {"not a bitmap", Named("TBitmap", WithSize(Bytes(60, 7)))},
      {"not an icon", Named("TIcon", bmp)},
      {"icon cut short", Named("TIcon", Bytes(icon.begin(), icon.begin() + 100))},
  };
  for (const Case& c : cases) {
    TPicture picture;
    picture.ReadData(Named("TBitmap", bmp));
    EXPECT_THROW(picture.ReadData(c.data), Exception) << c.what;
    EXPECT_EQ(PixelOf(picture.Bitmap(), 0, 0), clRed) << c.what;
  }
}

TEST(PictureData, IconDataKeepsNoHandlesAfterItGoes) {
  THandleBaseline baseline;
  {
    TIcon icon;
    for (int i = 0; i < 20; ++i) icon.ReadData(ResourceBytes("SPLIT_FILE"));
    EXPECT_EQ(icon.Height(), 16);
    icon.SetHandle(nullptr);
    EXPECT_TRUE(icon.WriteData().empty());  // a handle has no file form
  }
  baseline.ExpectUnchanged();
}

// ---- image lists ----
std::unique_ptr<TBitmap> ThreeImageStrip() {
  auto strip = FilledBitmap(24, 8, clFuchsia);
  const TColor colours[] = {clRed, clLime, clBlue};
  for (int i = 0; i < 3; ++i) {
    strip->Canvas().Brush().SetColor(colours[i]);
    strip->Canvas().FillRect(RECT{i * 8 + 2, 2, i * 8 + 6, 6});
  }
  return strip;
}

TEST(ImageListData, StoredStripRoundTripsWithItsMask) {
  TImageList list(8, 8);
  list.AddMasked(*ThreeImageStrip(), clFuchsia);
  const Bytes data = RequirePropInfo(list, "Bitmap").GetBytes(list);

  TImageList copy(nullptr);
  SetOrdProp(copy, "Width", 8);
  SetOrdProp(copy, "Height", 8);
  RequirePropInfo(copy, "Bitmap").SetBytes(copy, data);
  ASSERT_EQ(copy.Count(), 3);
  auto target = FilledBitmap(30, 8, clWhite);
  for (int i = 0; i < 3; ++i) copy.Draw(target->Canvas(), i * 10, 0, i);
  ExpectPixels(*target, {{0, 0, clWhite}, {3, 3, clRed}, {13, 3, clLime}, {23, 3, clBlue}, {27, 7, clWhite}});

  copy.SetWidth(4);  // a new size empties the list
  EXPECT_EQ(copy.Count(), 0);
  EXPECT_TRUE(copy.BitmapData().empty());
}

TEST(ImageListData, LinksFollowChangesAndAreClearedWhenTheListGoes) {
  std::vector<TObject*> heard;
  TImageListLink link([&](TObject* sender) { heard.push_back(sender); });
  auto* list = new TImageList(nullptr);
  link.SetImages(list);
  EXPECT_EQ(link.Images(), list);
  list->AddMasked(*ThreeImageStrip(), clFuchsia);
  EXPECT_EQ(heard.size(), 2u);  // set, then the new images
  {
    TImageListLink other([](TObject*) {});
    other.SetImages(list);
  }  // a link that goes first unregisters itself
  delete list;
  EXPECT_EQ(link.Images(), nullptr);
  ASSERT_EQ(heard.size(), 3u);
  EXPECT_EQ(heard.back(), list);
}

}  // namespace
