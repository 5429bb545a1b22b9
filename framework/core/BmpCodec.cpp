#include "framework/core/BmpCodec.h"

#include <algorithm>
#include <bit>
#include <unordered_map>

#include "framework/core/StrUtils.h"
#include "framework/core/Streams.h"

namespace {

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;
constexpr uint32_t BI_ALPHABITFIELDS = 6;

constexpr size_t FileHeaderSize = 14;
constexpr size_t CoreHeaderSize = 12;
constexpr size_t InfoHeaderSize = 40;

// An RLE stream describes at most this many pixels plus this many per byte; more is a
// forged header (a real RLE bitmap needs at least one escape per row).
constexpr int64_t RleBasePixels = 64 * 1024;
constexpr int64_t RlePixelsPerByte = 4096;

[[noreturn]] void Invalid() { throw EInvalidBitmap(SInvalidBitmap); }

// Bounds-checked little-endian reads from a byte range.
class ByteView {
public:
  ByteView(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  size_t Size() const { return size_; }
  const uint8_t* At(size_t offset, size_t count) const {
    if (offset > size_ || count > size_ - offset) Invalid();
    return data_ + offset;
  }
  uint8_t U8(size_t offset) const { return *At(offset, 1); }
  uint16_t U16(size_t offset) const { return LoadUInt16LE(At(offset, 2)); }
  uint32_t U32(size_t offset) const { return LoadUInt32LE(At(offset, 4)); }

private:
  const uint8_t* data_;
  size_t size_;
};

// One colour channel of a BITFIELDS mask, scaled to 8 bits.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  explicit Channel(uint32_t m = 0) : mask(m) {
    if (mask == 0) return;
    shift = std::countr_zero(mask);
    bits = std::bit_width(mask >> shift);
  }
  uint32_t Extract(uint32_t pixel) const {
    if (bits == 0) return 0;
    uint64_t v = (pixel & mask) >> shift;
    if (bits >= 8) return static_cast<uint32_t>(v >> (bits - 8));
    return static_cast<uint32_t>(v * 255 / ((1ULL << bits) - 1));
  }
};

struct DibHeader {
  size_t headerSize = 0;
  int width = 0;
  int height = 0;
  bool topDown = false;
  int bpp = 0;
  uint32_t compression = BI_RGB;
  uint32_t sizeImage = 0;
  uint32_t colorsUsed = 0;
  uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  bool hasMasks = false;
  size_t maskBytesAfterHeader = 0;
  size_t paletteEntrySize = 4;
};

bool IsInfoHeaderSize(uint32_t size) {
  return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

void CheckDimensions(int64_t width, int64_t height) {
  if (width <= 0 || height <= 0 || width > BmpMaxDimension || height > BmpMaxDimension ||
      width * height > BmpMaxPixels)
    Invalid();
}

DibHeader ReadCoreHeader(const ByteView& dib) {
  DibHeader h;
  h.headerSize = CoreHeaderSize;
  h.width = dib.U16(4);
  h.height = dib.U16(6);
  h.bpp = dib.U16(10);
  h.paletteEntrySize = 3;
  if (dib.U16(8) != 1) Invalid();
  if (h.bpp != 1 && h.bpp != 4 && h.bpp != 8 && h.bpp != 24) Invalid();
  CheckDimensions(h.width, h.height);
  return h;
}

bool CompressionFits(uint32_t compression, int bpp) {
  switch (compression) {
    case BI_RGB: return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
    case BI_RLE8: return bpp == 8;
    case BI_RLE4: return bpp == 4;
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS: return bpp == 16 || bpp == 32;
    default: return false;
  }
}

void ReadMasks(const ByteView& dib, DibHeader& h) {
  if (h.compression != BI_BITFIELDS && h.compression != BI_ALPHABITFIELDS) return;
  h.hasMasks = true;
  // A plain info header is followed by the masks; the larger headers contain them.
  size_t count = h.compression == BI_ALPHABITFIELDS ? 4 : 3;
  if (h.headerSize == InfoHeaderSize) {
    h.maskBytesAfterHeader = count * 4;
  } else {
    count = h.headerSize >= 56 ? 4 : 3;
  }
  for (size_t i = 0; i < count; ++i) h.masks[i] = dib.U32(InfoHeaderSize + 4 * i);
}

DibHeader ReadInfoHeader(const ByteView& dib, uint32_t headerSize) {
  DibHeader h;
  h.headerSize = headerSize;
  dib.At(0, headerSize);
  int64_t width = static_cast<int32_t>(dib.U32(4));
  int64_t height = static_cast<int32_t>(dib.U32(8));
  h.topDown = height < 0;
  height = height < 0 ? -height : height;
  if (dib.U16(12) != 1) Invalid();
  h.bpp = dib.U16(14);
  h.compression = dib.U32(16);
  h.sizeImage = dib.U32(20);
  h.colorsUsed = dib.U32(32);
  CheckDimensions(width, height);
  h.width = static_cast<int>(width);
  h.height = static_cast<int>(height);
  if (!CompressionFits(h.compression, h.bpp)) Invalid();
  // Windows refuses top-down RLE bitmaps: the escapes are defined bottom-up.
  if (h.topDown && (h.compression == BI_RLE4 || h.compression == BI_RLE8)) Invalid();
  ReadMasks(dib, h);
  return h;
}

DibHeader ReadHeader(const ByteView& dib) {
  uint32_t size = dib.U32(0);
  if (size == CoreHeaderSize) return ReadCoreHeader(dib);
  if (IsInfoHeaderSize(size)) return ReadInfoHeader(dib, size);
  Invalid();
}

// Reads the colour table that starts at OFFSET; AVAILABLE is the number of bytes that may
// hold it (up to the bits). A table shorter than declared is kept as far as it goes.
std::vector<uint32_t> ReadPalette(const ByteView& dib, const DibHeader& h, size_t offset,
                                  size_t available) {
  std::vector<uint32_t> palette;
  if (h.bpp > 8) return palette;
  size_t count = size_t{1} << h.bpp;
  if (h.colorsUsed != 0 && h.colorsUsed < count) count = h.colorsUsed;
  count = std::min(count, available / h.paletteEntrySize);
  palette.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* p = dib.At(offset + i * h.paletteEntrySize, 3);
    palette.push_back(static_cast<uint32_t>(p[2]) << 16 | p[1] << 8 | p[0]);
  }
  return palette;
}

// Decoding target: allocates once, maps indices through the palette, flips rows.
class Canvas {
public:
  Canvas(const DibHeader& h, std::vector<uint32_t> palette) : h_(h) {
    image_.Width = h.width;
    image_.Height = h.height;
    image_.BitsPerPixel = h.bpp;
    image_.Palette = std::move(palette);
    size_t count = static_cast<size_t>(h.width) * h.height;
    image_.Pixels.assign(count, ColorOf(0));
    if (h.bpp <= 8) image_.Indices.assign(count, 0);
  }
  // ROW counts from the first row stored in the file.
  size_t Offset(int x, int row) const {
    int y = h_.topDown ? row : h_.height - 1 - row;
    return static_cast<size_t>(y) * h_.width + x;
  }
  void SetIndex(int x, int row, uint8_t index) {
    size_t at = Offset(x, row);
    image_.Indices[at] = index;
    image_.Pixels[at] = ColorOf(index);
  }
  void SetColor(int x, int row, uint32_t color) { image_.Pixels[Offset(x, row)] = color; }
  TBmpImage Take() { return std::move(image_); }

private:
  // Indices past a short colour table show black, as GDI draws them.
  uint32_t ColorOf(uint8_t index) const {
    return index < image_.Palette.size() ? image_.Palette[index] : 0;
  }
  const DibHeader& h_;
  TBmpImage image_;
};

int64_t RowStride(int width, int bpp) { return (static_cast<int64_t>(width) * bpp + 31) / 32 * 4; }

uint32_t DirectPixel(const uint8_t* p, const DibHeader& h, const Channel* channels) {
  if (h.bpp == 24) return static_cast<uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
  uint32_t raw = h.bpp == 16 ? static_cast<uint32_t>(p[0] | p[1] << 8)
                             : p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
  if (!h.hasMasks && h.bpp == 32) return raw;
  return channels[3].Extract(raw) << 24 | channels[0].Extract(raw) << 16 |
         channels[1].Extract(raw) << 8 | channels[2].Extract(raw);
}

void DecodeUncompressed(const ByteView& bits, const DibHeader& h, Canvas& canvas) {
  int64_t stride = RowStride(h.width, h.bpp);
  Channel channels[4];
  if (h.hasMasks) {
    for (int i = 0; i < 4; ++i) channels[i] = Channel(h.masks[i]);
  } else if (h.bpp == 16) {
    channels[0] = Channel(0x7C00);
    channels[1] = Channel(0x03E0);
    channels[2] = Channel(0x001F);
  }
  for (int row = 0; row < h.height; ++row) {
    const uint8_t* line = bits.At(static_cast<size_t>(row * stride), static_cast<size_t>(stride));
    for (int x = 0; x < h.width; ++x) {
      if (h.bpp <= 8) {
        int bit = x * h.bpp;
        int shift = 8 - h.bpp - bit % 8;
        canvas.SetIndex(x, row, static_cast<uint8_t>((line[bit / 8] >> shift) & ((1 << h.bpp) - 1)));
      } else {
        canvas.SetColor(x, row, DirectPixel(line + x * (h.bpp / 8), h, channels));
      }
    }
  }
}

// Runs of BI_RLE8/BI_RLE4 data; pixels outside the bitmap are dropped.
class RleDecoder {
public:
  RleDecoder(const ByteView& bits, const DibHeader& h, Canvas& canvas)
      : bits_(bits), h_(h), canvas_(canvas), four_(h.compression == BI_RLE4) {}

  void Run() {
    while (row_ < h_.height && pos_ + 2 <= bits_.Size()) {
      uint8_t count = bits_.U8(pos_), value = bits_.U8(pos_ + 1);
      pos_ += 2;
      if (count > 0) {
        Encoded(count, value);
      } else if (!Escape(value)) {
        return;
      }
    }
    // A stream cut in the middle of an instruction is damaged; one that simply stops
    // without the end-of-bitmap escape is taken as ended.
    if (row_ < h_.height && pos_ != bits_.Size()) Invalid();
  }

private:
  void Put(uint8_t index) {
    if (x_ >= h_.width) return;  // clipped; x_ stays bounded however long the run
    canvas_.SetIndex(x_, row_, index);
    ++x_;
  }
  void Encoded(int count, uint8_t value) {
    for (int i = 0; i < count; ++i) Put(four_ ? (i % 2 ? value & 0x0F : value >> 4) : value);
  }
  void Absolute(int count) {
    size_t bytes = four_ ? (static_cast<size_t>(count) + 1) / 2 : static_cast<size_t>(count);
    const uint8_t* p = bits_.At(pos_, bytes);
    for (int i = 0; i < count; ++i)
      Put(four_ ? (i % 2 ? p[i / 2] & 0x0F : p[i / 2] >> 4) : p[i]);
    pos_ += bytes + (bytes & 1);  // runs are padded to a 16-bit boundary
    pos_ = std::min(pos_, bits_.Size());
  }
  // Returns false at the end of the bitmap.
  bool Escape(uint8_t code) {
    switch (code) {
      case 0: x_ = 0; ++row_; return true;
      case 1: return false;
      case 2:
        x_ = std::min(x_ + bits_.U8(pos_), h_.width);
        row_ += bits_.U8(pos_ + 1);
        pos_ += 2;
        return true;
      default: Absolute(code); return true;
    }
  }

  const ByteView& bits_;
  const DibHeader& h_;
  Canvas& canvas_;
  bool four_;
  size_t pos_ = 0;
  int x_ = 0;
  int row_ = 0;
};

// Decodes the DIB in DIB; BITSOFFSET (from the file header, 0 if none) locates the bits.
TBmpImage DecodeDibAt(const ByteView& dib, size_t bitsOffset) {
  DibHeader h = ReadHeader(dib);
  size_t paletteOffset = h.headerSize + h.maskBytesAfterHeader;
  dib.At(0, paletteOffset);
  size_t paletteSpace = bitsOffset >= paletteOffset ? bitsOffset - paletteOffset
                                                    : dib.Size() - paletteOffset;
  std::vector<uint32_t> palette = ReadPalette(dib, h, paletteOffset, paletteSpace);
  // No offset (a bare DIB), or one inside the headers: the bits follow the colour table.
  if (bitsOffset < paletteOffset) bitsOffset = paletteOffset + palette.size() * h.paletteEntrySize;
  if (h.bpp <= 8 && palette.empty()) Invalid();  // indices without any colour table
  ByteView bits(dib.At(bitsOffset, 0), dib.Size() - bitsOffset);
  bool rle = h.compression == BI_RLE8 || h.compression == BI_RLE4;
  if (rle) {
    size_t length = h.sizeImage != 0 ? std::min<size_t>(h.sizeImage, bits.Size()) : bits.Size();
    bits = ByteView(dib.At(bitsOffset, length), length);
    int64_t limit = std::min<int64_t>(BmpMaxPixels,
                                      RleBasePixels + RlePixelsPerByte * static_cast<int64_t>(length));
    if (static_cast<int64_t>(h.width) * h.height > limit) Invalid();
  } else if (RowStride(h.width, h.bpp) * h.height > static_cast<int64_t>(bits.Size())) {
    Invalid();  // checked before allocating: the data must hold every row
  }
  Canvas canvas(h, std::move(palette));
  if (rle) {
    RleDecoder(bits, h, canvas).Run();
  } else {
    DecodeUncompressed(bits, h, canvas);
  }
  return canvas.Take();
}

// ---- encoding ----

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

struct Paletted {
  std::vector<uint32_t> palette;
  std::vector<uint8_t> indices;
};

// The image's own palette and indices when they agree with the pixels.
bool UseOwnPalette(const TBmpImage& image, size_t maxColors, Paletted& out) {
  if (image.Palette.empty() || image.Palette.size() > maxColors ||
      image.Indices.size() != image.Pixels.size())
    return false;
  for (size_t i = 0; i < image.Pixels.size(); ++i) {
    uint8_t index = image.Indices[i];
    if (index >= image.Palette.size() ||
        (image.Palette[index] & 0xFFFFFF) != (image.Pixels[i] & 0xFFFFFF))
      return false;
  }
  out.palette = image.Palette;
  out.indices = image.Indices;
  return true;
}

Paletted MakePaletted(const TBmpImage& image, int bpp) {
  size_t maxColors = size_t{1} << bpp;
  Paletted result;
  if (UseOwnPalette(image, maxColors, result)) return result;
  std::unordered_map<uint32_t, uint8_t> lookup;
  result.indices.reserve(image.Pixels.size());
  for (uint32_t pixel : image.Pixels) {
    uint32_t color = pixel & 0xFFFFFF;
    auto found = lookup.find(color);
    if (found == lookup.end()) {
      if (result.palette.size() == maxColors)
        throw EInvalidBitmap("The image has more than " + std::to_string(maxColors) +
                             " colours and cannot be saved at " + std::to_string(bpp) +
                             " bits per pixel");
      found = lookup.emplace(color, static_cast<uint8_t>(result.palette.size())).first;
      result.palette.push_back(color);
    }
    result.indices.push_back(found->second);
  }
  return result;
}

void WriteHeaders(std::vector<uint8_t>& out, const TBmpImage& image, int bpp,
                  size_t paletteCount, size_t bitsSize) {
  size_t offBits = FileHeaderSize + InfoHeaderSize + paletteCount * 4;
  out.push_back('B');
  out.push_back('M');
  Put32(out, static_cast<uint32_t>(offBits + bitsSize));
  Put32(out, 0);
  Put32(out, static_cast<uint32_t>(offBits));
  Put32(out, InfoHeaderSize);
  Put32(out, static_cast<uint32_t>(image.Width));
  Put32(out, static_cast<uint32_t>(image.Height));
  Put16(out, 1);
  Put16(out, static_cast<uint32_t>(bpp));
  Put32(out, BI_RGB);
  Put32(out, static_cast<uint32_t>(bitsSize));
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, static_cast<uint32_t>(paletteCount));
  Put32(out, 0);
}

void WritePixel(uint8_t* p, uint32_t pixel, int bpp) {
  uint8_t r = static_cast<uint8_t>(pixel >> 16), g = static_cast<uint8_t>(pixel >> 8),
          b = static_cast<uint8_t>(pixel);
  if (bpp == 16) {
    uint32_t v = (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    return;
  }
  p[0] = b;
  p[1] = g;
  p[2] = r;
  if (bpp == 32) p[3] = static_cast<uint8_t>(pixel >> 24);
}

void CheckEncodable(const TBmpImage& image, int bpp) {
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    throw EInvalidBitmap("A bitmap cannot be saved at " + std::to_string(bpp) + " bits per pixel");
  if (image.Width <= 0 || image.Height <= 0 || image.Width > BmpMaxDimension ||
      image.Height > BmpMaxDimension)
    throw EInvalidBitmap("A bitmap of " + std::to_string(image.Width) + " x " +
                         std::to_string(image.Height) + " pixels cannot be saved");
  if (image.Pixels.size() != static_cast<size_t>(image.Width) * image.Height)
    throw EInvalidBitmap("The bitmap's pixels do not match its size");
}

}  // namespace

TBmpImage MakeBmpImage(int width, int height, uint32_t color) {
  TBmpImage image;
  image.Width = width;
  image.Height = height;
  image.Pixels.assign(static_cast<size_t>(std::max(width, 0)) * std::max(height, 0), color);
  return image;
}

TBmpImage DecodeDib(const uint8_t* data, size_t size) { return DecodeDibAt(ByteView(data, size), 0); }

TBmpImage DecodeBmp(const uint8_t* data, size_t size) {
  ByteView file(data, size);
  if (size < FileHeaderSize || file.U8(0) != 'B' || file.U8(1) != 'M') Invalid();
  uint32_t offBits = file.U32(10);
  // The bits offset counts from the file's start; one inside the file header is damage.
  if (offBits != 0 && offBits < FileHeaderSize) Invalid();
  ByteView dib(data + FileHeaderSize, size - FileHeaderSize);
  return DecodeDibAt(dib, offBits == 0 ? 0 : offBits - FileHeaderSize);
}

TBmpImage DecodeBmp(const std::vector<uint8_t>& file) { return DecodeBmp(file.data(), file.size()); }

std::vector<uint8_t> EncodeBmp(const TBmpImage& image, int bitsPerPixel) {
  int bpp = bitsPerPixel == 0 ? image.BitsPerPixel : bitsPerPixel;
  CheckEncodable(image, bpp);
  Paletted paletted;
  if (bpp <= 8) paletted = MakePaletted(image, bpp);
  size_t stride = static_cast<size_t>(RowStride(image.Width, bpp));
  size_t bitsSize = stride * image.Height;
  std::vector<uint8_t> out;
  out.reserve(FileHeaderSize + InfoHeaderSize + paletted.palette.size() * 4 + bitsSize);
  WriteHeaders(out, image, bpp, paletted.palette.size(), bitsSize);
  for (uint32_t color : paletted.palette) Put32(out, color & 0xFFFFFF);
  size_t bitsStart = out.size();
  out.resize(bitsStart + bitsSize, 0);
  for (int row = 0; row < image.Height; ++row) {
    int y = image.Height - 1 - row;  // bottom-up
    uint8_t* line = out.data() + bitsStart + row * stride;
    for (int x = 0; x < image.Width; ++x) {
      size_t at = static_cast<size_t>(y) * image.Width + x;
      if (bpp <= 8) {
        int bit = x * bpp;
        line[bit / 8] |= static_cast<uint8_t>(paletted.indices[at] << (8 - bpp - bit % 8));
      } else {
        WritePixel(line + x * (bpp / 8), image.Pixels[at], bpp);
      }
    }
  }
  return out;
}

TBmpImage LoadBmpFile(const std::string& path) {
  TFileStream stream(path, fmOpenRead | fmShareDenyWrite);
  std::vector<uint8_t> bytes(static_cast<size_t>(stream.Size()));
  stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  return DecodeBmp(bytes);
}

void SaveBmpFile(const std::string& path, const TBmpImage& image, int bitsPerPixel) {
  std::vector<uint8_t> bytes = EncodeBmp(image, bitsPerPixel);
  TFileStream stream(path, fmCreate);
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}
