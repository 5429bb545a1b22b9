#include "framework/graphics/Graphics.h"

#include "framework/core/BmpCodec.h"
#include "framework/core/Streams.h"
#include "tests/framework/graphics/GraphicsTestSupport.h"

#include <gtest/gtest.h>

namespace {

// Colours that survive every depth: two for 1 bit, and all exact in 5-5-5.
TColor PatternColor(int x, int y, int colours) {
  static const TColor palette[] = {clBlack, clWhite, clRed, clBlue, clLime, clFuchsia, clYellow, clAqua};
  return palette[(x * 3 + y * 5) % colours];
}

void ExpectSamePixels(const TBitmap& a, const TBitmap& b) {
  ASSERT_EQ(a.Width(), b.Width());
  ASSERT_EQ(a.Height(), b.Height());
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) ASSERT_EQ(PixelOf(a, x, y), PixelOf(b, x, y)) << x << "," << y;
}

HINSTANCE ThisModule() { return GetModuleHandleA(nullptr); }

}  // namespace

struct TDepthRow {
  TPixelFormat format;
  int colours;
  int fileBitCount;
};

TEST(Bitmap, StreamRoundTripAtEveryDepth) {
  const TDepthRow rows[] = {{pf1bit, 2, 1},  {pf4bit, 8, 4},   {pf8bit, 8, 8},
                            {pf16bit, 8, 16}, {pf24bit, 8, 24}, {pf32bit, 8, 32}};
  for (const TDepthRow& row : rows) {
    TBitmap source(13, 7);  // odd width: every depth needs row padding
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 13; ++x) source.Canvas().SetPixel(x, y, PatternColor(x, y, row.colours));
    source.SetPixelFormat(row.format);
    TMemoryStream stream;
    source.SaveToStream(stream);
    ASSERT_GT(stream.Size(), 54);
    const uint8_t* bytes = stream.Memory();
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[28], row.fileBitCount) << "biBitCount";
    stream.SetPosition(0);
    TBitmap loaded;
    loaded.LoadFromStream(stream);
    EXPECT_EQ(loaded.PixelFormat(), row.format);
    ExpectSamePixels(source, loaded);
  }
}

TEST(Bitmap, LoadsRle8BottomUpFromAStreamAndStopsAtItsEnd) {
  // 4 x 2, palette black/red/green/blue; bottom row 4 x red, top row green green blue blue.
  const uint8_t rle[] = {4, 1, 0, 0, 2, 2, 2, 3, 0, 1};
  std::vector<uint8_t> file = {'B', 'M'};
  const uint32_t offBits = 14 + 40 + 16;
  const uint32_t size = offBits + sizeof rle;
  auto put32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) file.push_back(static_cast<uint8_t>(v >> (8 * i))); };
  auto put16 = [&](uint16_t v) { file.push_back(v & 0xFF); file.push_back(v >> 8); };
  put32(size); put32(0); put32(offBits);
  put32(40); put32(4); put32(2); put16(1); put16(8); put32(BI_RLE8); put32(sizeof rle); put32(0); put32(0); put32(4); put32(0);
  for (uint32_t c : {0x000000u, 0x0000FFu, 0x00FF00u, 0xFF0000u}) put32(c);  // B, G, R, 0 in memory
  file.insert(file.end(), rle, rle + sizeof rle);
  file.push_back(0xEE);  // something else follows in the stream
  TMemoryStream stream;
  stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
  stream.SetPosition(0);
  TBitmap bitmap;
  bitmap.LoadFromStream(stream);
  EXPECT_EQ(stream.Position(), static_cast<int64_t>(size));
  EXPECT_EQ(bitmap.PixelFormat(), pf8bit);
  EXPECT_EQ(PixelOf(bitmap, 0, 0), clLime);
  EXPECT_EQ(PixelOf(bitmap, 3, 0), clRed);
  EXPECT_EQ(PixelOf(bitmap, 2, 1), clBlue);
}

TEST(Bitmap, MalformedDataRaisesAndLeavesTheBitmapAlone) {
  TBitmap bitmap(2, 2);
  bitmap.Canvas().SetPixel(0, 0, clTeal);
  for (const std::vector<uint8_t>& bad : {std::vector<uint8_t>{'B', 'M', 1, 2, 3, 4, 5, 6, 7},
                                          std::vector<uint8_t>{'X', 'Y'}, std::vector<uint8_t>{}}) {
    TMemoryStream stream;
    if (!bad.empty()) stream.WriteBuffer(bad.data(), static_cast<int64_t>(bad.size()));
    stream.SetPosition(0);
    EXPECT_THROW(bitmap.LoadFromStream(stream), Exception);
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(PixelOf(bitmap, 0, 0), clTeal);
  }
}

TEST(Bitmap, SavingMoreColoursThanTheDepthHoldsIsRefused) {
  TBitmap bitmap(3, 1);
  bitmap.Canvas().SetPixel(0, 0, clRed);
  bitmap.Canvas().SetPixel(1, 0, clLime);
  bitmap.Canvas().SetPixel(2, 0, clBlue);
  bitmap.SetPixelFormat(pf1bit);
  TMemoryStream stream;
  EXPECT_THROW(bitmap.SaveToStream(stream), EInvalidBitmap);
}

TEST(Bitmap, LoadsNamedResourcesOfTheModule) {
  TBitmap rgb;
  rgb.LoadFromResourceName(ThisModule(), "RGB24");
  ASSERT_EQ(rgb.Width(), 3);
  ASSERT_EQ(rgb.Height(), 2);
  EXPECT_EQ(rgb.PixelFormat(), pf24bit);
  ExpectPixels(rgb, {{0, 0, clRed}, {1, 0, clLime}, {2, 0, clBlue}, {0, 1, clFuchsia}, {2, 1, clBlack}});

  TBitmap pal;
  pal.LoadFromResourceName(ThisModule(), "PAL4");
  EXPECT_EQ(pal.PixelFormat(), pf4bit);
  EXPECT_EQ(pal.Width(), 5);
  ExpectPixels(pal, {{0, 0, clRed}, {4, 0, clWhite}, {4, 1, clRed}, {0, 2, clBlack}});

  EXPECT_THROW(pal.LoadFromResourceName(ThisModule(), "NO_SUCH_BITMAP"), EInvalidGraphic);
  EXPECT_EQ(pal.Width(), 5);
}

TEST(Bitmap, TransparentDrawingKeepsTheBackgroundAtTheKeyPixels) {
  TBitmap image;
  image.LoadFromResourceName(ThisModule(), "RGB24");
  EXPECT_EQ(image.TransparentColor(), clFuchsia);  // the bottom-left pixel
  auto target = FilledBitmap(10, 10, clNavy);
  image.SetTransparent(true);
  target->Canvas().Draw(1, 1, image);
  ExpectPixels(*target, {
      {1, 2, clNavy},  // magenta key
      {1, 1, clRed},
      {3, 2, clBlack},  // black is not the key
      {4, 1, clNavy},  // outside the image
  });

  image.SetTransparentColor(clBlack);
  target->Canvas().Draw(1, 1, image);
  EXPECT_EQ(PixelOf(*target, 1, 2), clFuchsia);
  image.SetTransparent(false);
  target->Canvas().Draw(5, 5, image);
  EXPECT_EQ(PixelOf(*target, 5, 6), clFuchsia);
}

TEST(Bitmap, StretchDrawScalesWholePixels) {
  TBitmap image;
  image.LoadFromResourceName(ThisModule(), "RGB24");
  auto target = FilledBitmap(12, 8, clWhite);
  target->Canvas().StretchDraw(RECT{0, 0, 6, 4}, image);
  ExpectPixels(*target, {{0, 0, clRed}, {1, 1, clRed}, {2, 0, clLime}, {5, 3, clBlack}, {6, 0, clWhite}});
}

TEST(Bitmap, ResizeAssignAndDeviceBitmapsKeepPixels) {
  TBitmap bitmap(4, 4);
  bitmap.Canvas().SetPixel(1, 1, clOlive);
  bitmap.Canvas().SetPixel(3, 3, clOlive);
  int changes = 0;
  bitmap.OnChange = [&](TObject*) { ++changes; };
  bitmap.SetSize(2, 6);
  EXPECT_GT(changes, 0);
  EXPECT_EQ(PixelOf(bitmap, 1, 1), clOlive);
  EXPECT_EQ(PixelOf(bitmap, 1, 5), clBlack);
  bitmap.Canvas().SetPixel(0, 5, clSilver);  // the canvas follows the new DIB
  EXPECT_EQ(PixelOf(bitmap, 0, 5), clSilver);

  TBitmap copy;
  copy.Assign(bitmap);
  ExpectSamePixels(bitmap, copy);

  TWindowDC screen(nullptr);
  TBitmapHandle device(CreateCompatibleBitmap(screen.Get(), 3, 3));
  {
    TMemoryDC dc(screen.Get());
    TSelectObjectGuard select(dc.Get(), device.Get());
    ::SetPixel(dc.Get(), 2, 1, RGB(0, 0, 255));
  }
  TBitmap fromDevice;
  fromDevice.AssignFromHandle(device.Get());
  EXPECT_EQ(fromDevice.Width(), 3);
  EXPECT_EQ(PixelOf(fromDevice, 2, 1), clBlue);
}
