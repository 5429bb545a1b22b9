#include "framework/core/IconFile.h"

#include <cstdlib>

namespace {

constexpr size_t kHeaderSize = 6;
constexpr size_t kEntrySize = 16;
constexpr size_t kDibHeaderSize = 40;

uint16_t Word(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t DWord(const uint8_t* p) { return Word(p) | static_cast<uint32_t>(Word(p + 2)) << 16; }

bool IsPng(const uint8_t* p, size_t size) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (size < sizeof kSignature) return false;
  for (size_t i = 0; i < sizeof kSignature; ++i)
    if (p[i] != kSignature[i]) return false;
  return true;
}

TIconImageInfo ReadEntry(const uint8_t* data, size_t size, const uint8_t* entry) {
  TIconImageInfo image;
  image.Width = entry[0] ? entry[0] : 256;
  image.Height = entry[1] ? entry[1] : 256;
  image.BitCount = Word(entry + 6);
  image.Size = DWord(entry + 8);
  image.Offset = DWord(entry + 12);
  // Sizes compared as differences: offset + size could wrap on a 32-bit size_t.
  if (image.Offset > size || image.Size > size - image.Offset) throw EInvalidIcon("Icon image lies outside the file");
  const uint8_t* bits = data + image.Offset;
  if (IsPng(bits, image.Size)) return image;
  if (image.Size < kDibHeaderSize || DWord(bits) < kDibHeaderSize) throw EInvalidIcon("Icon image is not a bitmap");
  if (image.BitCount == 0) image.BitCount = Word(bits + 14);
  return image;
}

}  // namespace

std::vector<TIconImageInfo> ReadIconDirectory(const uint8_t* data, size_t size) {
  if (!data || size < kHeaderSize || Word(data) != 0 || Word(data + 2) != 1) throw EInvalidIcon("Not an icon file");
  const size_t count = Word(data + 4);
  if (count == 0) throw EInvalidIcon("Icon file holds no image");
  if (count > (size - kHeaderSize) / kEntrySize) throw EInvalidIcon("Icon directory is cut short");
  std::vector<TIconImageInfo> images;
  for (size_t i = 0; i < count; ++i) images.push_back(ReadEntry(data, size, data + kHeaderSize + i * kEntrySize));
  return images;
}

size_t BestIconImage(const std::vector<TIconImageInfo>& images, int size) {
  auto distance = [size](const TIconImageInfo& image) { return size > 0 ? std::abs(image.Width - size) : -image.Width; };
  size_t best = 0;
  for (size_t i = 1; i < images.size(); ++i) {
    const int d = distance(images[i]), bestD = distance(images[best]);
    if (d < bestD || (d == bestD && images[i].BitCount > images[best].BitCount)) best = i;
  }
  return best;
}
