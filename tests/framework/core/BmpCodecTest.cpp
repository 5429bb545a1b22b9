#include "framework/core/BmpCodec.h"

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

namespace {

void Put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// A hand-built BMP file: file header, a header of HEADERSIZE bytes (12 = core header),
// then EXTRA (masks or palette) and the bits. OFFBITS 0 means "right after EXTRA".
struct BmpSpec {
  uint32_t headerSize = 40;
  int32_t width = 1;
  int32_t height = 1;
  uint16_t planes = 1;
  uint16_t bpp = 24;
  uint32_t compression = 0;
  uint32_t sizeImage = 0;
  uint32_t colorsUsed = 0;
  uint32_t masks[4] = {0, 0, 0, 0};  // only written into V4/V5-sized headers
  Bytes extra;
  Bytes bits;
  uint32_t offBits = 0;
};

Bytes BuildBmp(const BmpSpec& s) {
  Bytes header;
  Put32(header, s.headerSize);
  if (s.headerSize == 12) {
    Put16(header, static_cast<uint32_t>(s.width));
    Put16(header, static_cast<uint32_t>(s.height));
    Put16(header, s.planes);
    Put16(header, s.bpp);
  } else {
    Put32(header, static_cast<uint32_t>(s.width));
    Put32(header, static_cast<uint32_t>(s.height));
    Put16(header, s.planes);
    Put16(header, s.bpp);
    Put32(header, s.compression);
    Put32(header, s.sizeImage);
    Put32(header, 2835);
    Put32(header, 2835);
    Put32(header, s.colorsUsed);
    Put32(header, 0);
    if (s.headerSize > 40)
      for (uint32_t m : s.masks) Put32(header, m);
    header.resize(s.headerSize, 0);
  }
  uint32_t offBits = s.offBits ? s.offBits
                               : static_cast<uint32_t>(14 + header.size() + s.extra.size());
  Bytes file = {'B', 'M'};
  Put32(file, static_cast<uint32_t>(14 + header.size() + s.extra.size() + s.bits.size()));
  Put32(file, 0);
  Put32(file, offBits);
  file.insert(file.end(), header.begin(), header.end());
  file.insert(file.end(), s.extra.begin(), s.extra.end());
  file.insert(file.end(), s.bits.begin(), s.bits.end());
  return file;
}

Bytes Quads(std::initializer_list<uint32_t> colors) {
  Bytes b;
  for (uint32_t c : colors) Put32(b, c & 0xFFFFFF);  // RGBQUAD bytes: B, G, R, 0
  return b;
}

void ExpectInvalid(const Bytes& file) {
  try {
    DecodeBmp(file);
    ADD_FAILURE() << "accepted " << file.size() << " bytes";
  } catch (const EInvalidBitmap& e) {
    EXPECT_STREQ(e.what(), SInvalidBitmap);
  }
}

// An image whose colours survive every depth: at most 2 colours for 1 bpp, 16 for 4, and
// 5-bit channel values expanded to 8 bits for 16 bpp.
TBmpImage PatternImage(int width, int height, int colors) {
  TBmpImage image = MakeBmpImage(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint32_t n = static_cast<uint32_t>((x * 7 + y * 3) % colors);
      uint32_t r = (n * 5 % 32) * 255 / 31, g = (n * 11 % 32) * 255 / 31, b = (n / 32 % 32) * 255 / 31;
      image.Pixel(x, y) = r << 16 | g << 8 | b;
    }
  return image;
}

// ---- round trips ----

struct DepthCase {
  int bpp;
  int colors;
};

TEST(BmpCodec, RoundTripsEveryDepthAndOddWidth) {
  const DepthCase cases[] = {{1, 2}, {4, 16}, {8, 200}, {16, 300}, {24, 1000}, {32, 1000}};
  for (const DepthCase& c : cases) {
    for (int width : {1, 2, 3, 5, 7, 8, 9, 13, 33}) {
      SCOPED_TRACE("bpp " + std::to_string(c.bpp) + " width " + std::to_string(width));
      TBmpImage source = PatternImage(width, 3, c.colors);
      Bytes file = EncodeBmp(source, c.bpp);
      size_t stride = (static_cast<size_t>(width) * c.bpp + 31) / 32 * 4;
      size_t paletteBytes = c.bpp <= 8 ? DecodeBmp(file).Palette.size() * 4 : 0;
      EXPECT_EQ(file.size(), 14 + 40 + paletteBytes + stride * 3);
      TBmpImage back = DecodeBmp(file);
      EXPECT_EQ(back.Width, width);
      EXPECT_EQ(back.Height, 3);
      EXPECT_EQ(back.BitsPerPixel, c.bpp);
      EXPECT_EQ(back.Pixels, source.Pixels);
      EXPECT_EQ(back.Indices.empty(), c.bpp > 8);
    }
  }
}

TEST(BmpCodec, ThirtyTwoBitsKeepTheTopByte) {
  TBmpImage source = MakeBmpImage(2, 1);
  source.Pixels = {0x80123456, 0xFF000000};
  EXPECT_EQ(DecodeBmp(EncodeBmp(source, 32)).Pixels, source.Pixels);
  // Lower depths drop it.
  EXPECT_EQ(DecodeBmp(EncodeBmp(source, 24)).Pixel(0, 0), 0x123456u);
}

TEST(BmpCodec, PalettedEncodingKeepsAConsistentPaletteAndBuildsOneOtherwise) {
  TBmpImage image = MakeBmpImage(3, 1);
  image.Palette = {0x0000FF, 0xFF00FF, 0x00FF00};
  image.Indices = {2, 1, 0};
  image.Pixels = {0x00FF00, 0xFF00FF, 0x0000FF};
  TBmpImage back = DecodeBmp(EncodeBmp(image, 8));
  EXPECT_EQ(back.Palette, image.Palette);
  EXPECT_EQ(back.Indices, image.Indices);

  // Pixels changed behind the indices' back: the palette is rebuilt from the pixels.
  image.Pixels[0] = 0x123456;
  back = DecodeBmp(EncodeBmp(image, 8));
  EXPECT_EQ(back.Palette, (std::vector<uint32_t>{0x123456, 0xFF00FF, 0x0000FF}));
  EXPECT_EQ(back.Pixels, image.Pixels);
}

TEST(BmpCodec, EncodingRefusesWhatItCannotWrite) {
  EXPECT_THROW(EncodeBmp(PatternImage(5, 1, 3), 1), EInvalidBitmap);
  EXPECT_THROW(EncodeBmp(PatternImage(17, 1, 17), 4), EInvalidBitmap);
  EXPECT_NO_THROW(EncodeBmp(PatternImage(16, 1, 16), 4));
  EXPECT_THROW(EncodeBmp(PatternImage(2, 2, 2), 2), EInvalidBitmap);
  EXPECT_THROW(EncodeBmp(MakeBmpImage(0, 5), 24), EInvalidBitmap);
  TBmpImage wrongSize = MakeBmpImage(4, 4);
  wrongSize.Pixels.pop_back();
  EXPECT_THROW(EncodeBmp(wrongSize, 24), EInvalidBitmap);
}

TEST(BmpCodec, BareDibDecodesLikeTheFile) {
  TBmpImage source = PatternImage(6, 4, 12);
  Bytes file = EncodeBmp(source, 4);
  TBmpImage dib = DecodeDib(file.data() + 14, file.size() - 14);
  EXPECT_EQ(dib.Pixels, source.Pixels);
  EXPECT_EQ(dib.BitsPerPixel, 4);
}

TEST(BmpCodec, FilesRoundTripAndMissingFilesRaiseOpenErrors) {
  TempDir dir;
  TBmpImage source = PatternImage(9, 5, 40);
  SaveBmpFile(dir / "a.bmp", source, 8);
  EXPECT_EQ(LoadBmpFile(dir / "a.bmp").Pixels, source.Pixels);
  EXPECT_THROW(LoadBmpFile(dir / "missing.bmp"), EFOpenError);
  WriteFileBytes(dir / "bad.bmp", Bytes{'B', 'M', 1, 2, 3});
  EXPECT_THROW(LoadBmpFile(dir / "bad.bmp"), EInvalidBitmap);
}

// ---- hand-built files ----

TEST(BmpCodec, RowOrderFollowsTheSignOfTheHeight) {
  BmpSpec s;
  s.width = 1;
  s.height = 2;
  s.bits = {0x01, 0x02, 0x03, 0, 0x04, 0x05, 0x06, 0};  // first stored row, second row
  TBmpImage bottomUp = DecodeBmp(BuildBmp(s));
  EXPECT_EQ(bottomUp.Pixel(0, 0), 0x060504u);
  EXPECT_EQ(bottomUp.Pixel(0, 1), 0x030201u);
  s.height = -2;
  TBmpImage topDown = DecodeBmp(BuildBmp(s));
  EXPECT_EQ(topDown.Height, 2);
  EXPECT_EQ(topDown.Pixel(0, 0), 0x030201u);
  EXPECT_EQ(topDown.Pixel(0, 1), 0x060504u);
}

TEST(BmpCodec, CoreHeaderUsesThreeBytePaletteEntries) {
  BmpSpec s;
  s.headerSize = 12;
  s.width = 3;
  s.bpp = 1;
  s.extra = {0x10, 0x20, 0x30, 0xA0, 0xB0, 0xC0};  // two RGBTRIPLEs
  s.bits = {0b01000000, 0, 0, 0};
  TBmpImage image = DecodeBmp(BuildBmp(s));
  EXPECT_EQ(image.Palette, (std::vector<uint32_t>{0x302010, 0xC0B0A0}));
  EXPECT_EQ(image.Pixels, (std::vector<uint32_t>{0x302010, 0xC0B0A0, 0x302010}));
}

TEST(BmpCodec, ShortPalettes) {
  // Declared by biClrUsed.
  BmpSpec s;
  s.width = 3;
  s.bpp = 8;
  s.colorsUsed = 2;
  s.extra = Quads({0x111111, 0x222222});
  s.bits = {1, 0, 7, 0};
  TBmpImage image = DecodeBmp(BuildBmp(s));
  EXPECT_EQ(image.Palette.size(), 2u);
  // An index past the table shows black but is kept.
  EXPECT_EQ(image.Pixels, (std::vector<uint32_t>{0x222222, 0x111111, 0}));
  EXPECT_EQ(image.Indices, (std::vector<uint8_t>{1, 0, 7}));

  // Implied by a bits offset that leaves room for three entries only.
  s.colorsUsed = 0;
  s.extra = Quads({0x111111, 0x222222, 0x333333});
  s.bits = {2, 2, 2, 0};
  image = DecodeBmp(BuildBmp(s));
  EXPECT_EQ(image.Palette.size(), 3u);
  EXPECT_EQ(image.Pixel(0, 0), 0x333333u);
}

TEST(BmpCodec, BitfieldsWithInfoAndV5Headers) {
  // 16 bpp 5-6-5 with the masks after a plain info header.
  BmpSpec s;
  s.width = 2;
  s.bpp = 16;
  s.compression = 3;
  Put32(s.extra, 0xF800);
  Put32(s.extra, 0x07E0);
  Put32(s.extra, 0x001F);
  s.bits = {0x00, 0xF8, 0xE0, 0x07};  // pure red, pure green
  TBmpImage image = DecodeBmp(BuildBmp(s));
  EXPECT_EQ(image.Pixels, (std::vector<uint32_t>{0xFF0000, 0x00FF00}));

  // 32 bpp with alpha from a V5 header's masks (here a byte-swapped layout).
  BmpSpec v5;
  v5.headerSize = 124;
  v5.bpp = 32;
  v5.compression = 3;
  v5.masks[0] = 0x0000FF00;
  v5.masks[1] = 0x00FF0000;
  v5.masks[2] = 0xFF000000;
  v5.masks[3] = 0x000000FF;
  v5.bits = {0x80, 0x11, 0x22, 0x33};
  EXPECT_EQ(DecodeBmp(BuildBmp(v5)).Pixel(0, 0), 0x80112233u);

  // BI_RGB 16 bpp is 5-5-5.
  BmpSpec rgb16;
  rgb16.bpp = 16;
  rgb16.bits = {0x1F, 0x7C, 0, 0};  // red 31, green 0, blue 31
  EXPECT_EQ(DecodeBmp(BuildBmp(rgb16)).Pixel(0, 0), 0xFF00FFu);
}

BmpSpec Rle8Spec(int width, int height, Bytes data) {
  BmpSpec s;
  s.width = width;
  s.height = height;
  s.bpp = 8;
  s.compression = 1;
  s.extra = Quads({0x000000, 0x0000FF, 0x00FF00, 0xFF0000});
  s.colorsUsed = 4;
  s.bits = std::move(data);
  return s;
}

TEST(BmpCodec, Rle8RunsAndEscapes) {
  // Bottom row: run of 2 x index 1, absolute run 3 (2,3,2 + pad), end of line.
  // Middle row: delta (+1, +1) straight to the top row at x = 1; there a run of 1 x
  // index 3, then end of bitmap.
  Bytes data = {2, 1, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 1, 1, 1, 3, 0, 1};
  TBmpImage image = DecodeBmp(BuildBmp(Rle8Spec(5, 3, data)));
  const std::vector<uint8_t> expected = {
      0, 3, 0, 0, 0,  // top row: skipped pixels are index 0
      0, 0, 0, 0, 0,  // middle row: left by the delta
      1, 1, 2, 3, 2,  // bottom row
  };
  EXPECT_EQ(image.Indices, expected);
  EXPECT_EQ(image.Pixel(1, 0), 0xFF0000u);
  EXPECT_EQ(image.Pixel(0, 2), 0x0000FFu);
  EXPECT_EQ(image.BitsPerPixel, 8);
}

TEST(BmpCodec, Rle4NibblesAndOddAbsoluteRuns) {
  BmpSpec s = Rle8Spec(6, 2, {});
  s.bpp = 4;
  s.compression = 2;
  // Bottom row: run 3 of nibbles 1,2,1; absolute 3 (3,1,2 + pads to 2 bytes); end of line.
  // Top row: run longer than the row (clipped), end of bitmap.
  s.bits = {3, 0x12, 0, 3, 0x31, 0x20, 0, 0, 9, 0x32, 0, 1};
  TBmpImage image = DecodeBmp(BuildBmp(s));
  const std::vector<uint8_t> expected = {3, 2, 3, 2, 3, 2, 1, 2, 1, 3, 1, 2};
  EXPECT_EQ(image.Indices, expected);
}

TEST(BmpCodec, RleWithoutEndEscapeEndsAtTheData) {
  TBmpImage image = DecodeBmp(BuildBmp(Rle8Spec(2, 1, {2, 3})));
  EXPECT_EQ(image.Indices, (std::vector<uint8_t>{3, 3}));
}

// ---- refused input ----

TEST(BmpCodec, EveryTruncationOfAnUncompressedFileIsRefused) {
  for (int bpp : {1, 4, 8, 24, 32}) {
    Bytes file = EncodeBmp(PatternImage(5, 3, bpp == 1 ? 2 : 9), bpp);
    for (size_t n = 0; n < file.size(); ++n) {
      SCOPED_TRACE("bpp " + std::to_string(bpp) + " length " + std::to_string(n));
      ExpectInvalid(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n)));
    }
  }
}

TEST(BmpCodec, MalformedHeadersAreRefused) {
  struct Case {
    const char* what;
    void (*change)(BmpSpec&);
  };
  const Case cases[] = {
      {"zero width", [](BmpSpec& s) { s.width = 0; }},
      {"negative width", [](BmpSpec& s) { s.width = -4; }},
      {"zero height", [](BmpSpec& s) { s.height = 0; }},
      {"width past the limit", [](BmpSpec& s) { s.width = BmpMaxDimension + 1; }},
      {"most negative height", [](BmpSpec& s) { s.height = INT32_MIN; }},
      {"two planes", [](BmpSpec& s) { s.planes = 2; }},
      {"7 bpp", [](BmpSpec& s) { s.bpp = 7; }},
      {"JPEG data", [](BmpSpec& s) { s.compression = 4; }},
      {"RLE8 at 24 bpp", [](BmpSpec& s) { s.compression = 1; }},
      {"BITFIELDS at 24 bpp", [](BmpSpec& s) { s.compression = 3; }},
      {"unknown header size", [](BmpSpec& s) { s.headerSize = 20; }},
      {"bits offset past the end", [](BmpSpec& s) { s.offBits = 5000; }},
      {"bits offset in the file header", [](BmpSpec& s) { s.offBits = 6; }},
      {"too many pixels", [](BmpSpec& s) { s.width = s.height = 30000; }},
      {"more rows than bytes", [](BmpSpec& s) { s.width = s.height = 4000; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BmpSpec s;
    s.width = 2;
    s.height = 2;
    s.bits.assign(16, 0x55);
    EXPECT_NO_THROW(DecodeBmp(BuildBmp(s)));
    c.change(s);
    ExpectInvalid(BuildBmp(s));
  }
}

TEST(BmpCodec, MalformedPalettesAndRleAreRefused) {
  BmpSpec noPalette;
  noPalette.bpp = 8;
  noPalette.bits = {0, 0, 0, 0};
  noPalette.offBits = 54;  // bits right after the header: no room for colours
  ExpectInvalid(BuildBmp(noPalette));

  ExpectInvalid(BuildBmp(Rle8Spec(4, 1, {0, 4, 1, 2})));         // absolute run cut short
  ExpectInvalid(BuildBmp(Rle8Spec(4, 1, {0, 2, 1})));            // delta cut short
  ExpectInvalid(BuildBmp(Rle8Spec(4, 1, {2, 1, 7})));            // stray byte
  ExpectInvalid(BuildBmp(Rle8Spec(20000, 20000, {0, 1})));       // past the pixel limit
  ExpectInvalid(BuildBmp(Rle8Spec(2000, 2000, {0, 1})));         // far more than it can say
  BmpSpec topDownRle = Rle8Spec(2, -1, {2, 1, 0, 1});
  ExpectInvalid(BuildBmp(topDownRle));
  ExpectInvalid(Bytes{'B', 'A', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40, 0, 0, 0});
}

TEST(BmpCodec, GarbageEitherDecodesOrRaisesTheBitmapError) {
  Bytes valid = EncodeBmp(PatternImage(7, 5, 10), 8);
  for (uint32_t seed = 1; seed <= 400; ++seed) {
    Bytes file = valid;
    Bytes noise = PatternBytes(6, seed);
    // Overwrite a few header or palette bytes with noise.
    for (size_t i = 0; i < noise.size(); i += 2) file[14 + noise[i] % 60] = noise[i + 1];
    try {
      TBmpImage image = DecodeBmp(file);
      EXPECT_EQ(image.Pixels.size(), static_cast<size_t>(image.Width) * image.Height);
    } catch (const EInvalidBitmap&) {
    }
  }
}

}  // namespace
