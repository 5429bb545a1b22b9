// Windows bitmap (BMP/DIB) decoding and encoding, portable.
//
// Decoding accepts a BMP file (BITMAPFILEHEADER followed by a DIB) or a bare DIB as stored
// in a BITMAP resource: the 12-byte core header, BITMAPINFOHEADER, and the V4/V5 headers;
// 1, 4, 8, 16, 24 and 32 bits per pixel; full or short palettes; bottom-up and top-down
// rows; BI_RLE4/BI_RLE8 (end-of-line, end-of-bitmap and delta escapes); BI_BITFIELDS
// (and the V4/V5 masks) for 16 and 32 bits per pixel.
//
// Pixel format of TBmpImage::Pixels: one uint32_t per pixel, rows top-down, value
// 0xAARRGGBB. On a little-endian machine the bytes in memory are B, G, R, A, which is the
// layout of a 32-bit top-down DIB section, so the vector can be copied straight into one.
// AA is the source's alpha: the alpha mask's bits for BITFIELDS/V4/V5 images with an alpha
// mask, the fourth byte of 32-bit BI_RGB pixels, and 0 for every other format. Pixels that
// RLE data skips (delta escapes, early end of line or bitmap) are palette entry 0, as
// Windows leaves them in a bitmap created for the purpose.
//
// Every malformed input raises EInvalidBitmap; the decoder never reads outside the given
// bytes and refuses dimensions the data cannot describe before allocating anything.
//
//   TBmpImage image = DecodeBmp(ReadAll("a.bmp"));     // raises EInvalidBitmap
//   uint32_t topLeft = image.Pixel(0, 0);              // 0xAARRGGBB
//   Bytes file = EncodeBmp(image, 8);                  // 8 bpp with a palette
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/SysUtils.h"

// Raised for data that is not a bitmap this codec can read, and for images that cannot be
// written at the asked depth. The message says what is wrong.
class EInvalidBitmap : public Exception {
public:
  using Exception::Exception;
};

// The message of EInvalidBitmap for data that is not a valid bitmap at all.
inline constexpr const char* SInvalidBitmap = "Bitmap image is not valid";

// Largest width or height accepted, and the largest pixel count (64 M pixels = 256 MB of
// decoded pixels): enough for any picture this system handles.
inline constexpr int32_t BmpMaxDimension = 32768;
inline constexpr int64_t BmpMaxPixels = 64LL * 1024 * 1024;

struct TBmpImage {
  int Width = 0;
  int Height = 0;
  // Depth of the source (1, 4, 8, 16, 24, 32); EncodeBmp's default depth.
  int BitsPerPixel = 32;
  // Colour table of paletted images, 0x00RRGGBB, as many entries as the file has.
  std::vector<uint32_t> Palette;
  // Width*Height pixels, top-down, 0xAARRGGBB (see above).
  std::vector<uint32_t> Pixels;
  // For paletted sources: Width*Height palette indices, top-down; empty otherwise.
  std::vector<uint8_t> Indices;

  uint32_t Pixel(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
  uint32_t& Pixel(int x, int y) { return Pixels[static_cast<size_t>(y) * Width + x]; }
};

// A WIDTH x HEIGHT 32 bpp image filled with COLOR (0xAARRGGBB).
TBmpImage MakeBmpImage(int width, int height, uint32_t color = 0);

// Decodes a whole BMP file (starting with "BM").
TBmpImage DecodeBmp(const uint8_t* data, size_t size);
TBmpImage DecodeBmp(const std::vector<uint8_t>& file);
// Decodes a bare DIB: a bitmap header, the colour table or masks, then the bits (the
// layout of a BITMAP resource and of CF_DIB).
TBmpImage DecodeDib(const uint8_t* data, size_t size);

// Encodes IMAGE as a BMP file with a BITMAPINFOHEADER, bottom-up rows, BI_RGB.
// BITSPERPIXEL 0 means IMAGE.BitsPerPixel. 1, 4 and 8 write a palette: IMAGE.Palette with
// IMAGE.Indices when both are present and fit, otherwise the distinct colours of the
// pixels in order of first appearance (EInvalidBitmap when there are more than
// 2^bitsPerPixel). 16 writes 5-5-5, 24 writes RGB, 32 writes the pixels with their top
// byte. Any other depth raises EInvalidBitmap.
std::vector<uint8_t> EncodeBmp(const TBmpImage& image, int bitsPerPixel = 0);

// File helpers; errors of the file itself raise the stream errors of Streams.h.
TBmpImage LoadBmpFile(const std::string& path);
void SaveBmpFile(const std::string& path, const TBmpImage& image, int bitsPerPixel = 0);
