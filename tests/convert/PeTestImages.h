// Hand-made PE programs and icon files for the resource tests, written byte by byte from
// their description (independently of convert/PeResources and convert/PeFace).
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace pe_test {

inline void Put(Bytes& b, size_t at, uint64_t value, int width) {
  if (b.size() < at + size_t(width)) b.resize(at + size_t(width));
  for (int i = 0; i < width; ++i) b[at + size_t(i)] = uint8_t(value >> (8 * i));
}
inline uint32_t Get32(const Bytes& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

struct TSectionShape {
  std::string name;
  uint32_t va, vsize, rawPointer, rawSize;
  Bytes data;  // placed at rawPointer (the rest of the raw size is a pattern)
};

struct TPeShape {
  int bits = 64;
  std::vector<TSectionShape> sections;
  uint32_t resourceRva = 0, resourceSize = 0;
  uint32_t certificateAt = 0, certificateSize = 0;
  Bytes overlay;  // after the last section's raw data
  uint32_t checksum = 0x1234;
};

constexpr size_t PeAt = 0x40, OptionalAt = PeAt + 24;
inline size_t OptionalSize(int bits) { return bits == 64 ? 240 : 224; }
inline size_t SectionTableAt(int bits) { return OptionalAt + OptionalSize(bits); }
inline size_t DirectoriesAt(int bits) { return OptionalAt + (bits == 64 ? 112 : 96); }
constexpr size_t SizeOfImageAt = OptionalAt + 56, ChecksumAt = OptionalAt + 64;

inline Bytes PeBytes(const TPeShape& shape) {
  Bytes b(0x200, 0);
  b[0] = 'M', b[1] = 'Z';
  Put(b, 0x3C, PeAt, 4);
  std::memcpy(&b[PeAt], "PE\0\0", 4);
  const bool wide = shape.bits == 64;
  Put(b, PeAt + 4, wide ? 0x8664 : 0x14C, 2);
  Put(b, PeAt + 6, shape.sections.size(), 2);
  Put(b, PeAt + 20, OptionalSize(shape.bits), 2);
  Put(b, PeAt + 22, wide ? 0x22 : 0x102, 2);
  Put(b, OptionalAt, wide ? 0x20B : 0x10B, 2);
  Put(b, OptionalAt + (wide ? 24 : 28), 0x400000, wide ? 8 : 4);  // image base
  Put(b, OptionalAt + 32, 0x1000, 4);
  Put(b, OptionalAt + 36, 0x200, 4);
  Put(b, OptionalAt + 48, 5, 2);  // subsystem version 5.0
  uint32_t imageEnd = 0x1000, fileEnd = 0x200;
  for (const TSectionShape& s : shape.sections) {
    imageEnd = std::max(imageEnd, (s.va + s.vsize + 0xFFF) & ~0xFFFu);
    fileEnd = std::max(fileEnd, s.rawPointer + s.rawSize);
  }
  Put(b, SizeOfImageAt, imageEnd, 4);
  Put(b, OptionalAt + 60, 0x200, 4);
  Put(b, ChecksumAt, shape.checksum, 4);
  Put(b, OptionalAt + 68, 2, 2);  // GUI
  Put(b, OptionalAt + (wide ? 108 : 92), 16, 4);
  Put(b, DirectoriesAt(shape.bits) + 16, shape.resourceRva, 4);
  Put(b, DirectoriesAt(shape.bits) + 20, shape.resourceSize, 4);
  Put(b, DirectoriesAt(shape.bits) + 32, shape.certificateAt, 4);
  Put(b, DirectoriesAt(shape.bits) + 36, shape.certificateSize, 4);
  b.resize(fileEnd, 0);
  for (size_t i = 0; i < shape.sections.size(); ++i) {
    const TSectionShape& s = shape.sections[i];
    const size_t h = SectionTableAt(shape.bits) + 40 * i;
    std::memcpy(&b[h], s.name.c_str(), std::min<size_t>(8, s.name.size()));
    Put(b, h + 8, s.vsize, 4), Put(b, h + 12, s.va, 4), Put(b, h + 16, s.rawSize, 4), Put(b, h + 20, s.rawPointer, 4);
    Put(b, h + 36, 0x40000040, 4);
    const Bytes pattern = PatternBytes(s.rawSize, uint32_t(i + 11));
    std::copy(pattern.begin(), pattern.end(), b.begin() + s.rawPointer);
    std::copy(s.data.begin(), s.data.end(), b.begin() + s.rawPointer);
  }
  b.insert(b.end(), shape.overlay.begin(), shape.overlay.end());
  return b;
}

// A resource section at RVA holding one RT_RCDATA resource numbered 7, language 0x0409,
// with the bytes "payload".
inline Bytes HandMadeResourceTree(uint32_t rva) {
  Bytes t(88, 0);
  Put(t, 14, 1, 2), Put(t, 16, 10, 4), Put(t, 20, 0x80000000 | 24, 4);  // types: RT_RCDATA
  Put(t, 24 + 14, 1, 2), Put(t, 40, 7, 4), Put(t, 44, 0x80000000 | 48, 4);  // names: 7
  Put(t, 48 + 14, 1, 2), Put(t, 64, 0x409, 4), Put(t, 68, 72, 4);  // languages: 0x0409
  Put(t, 72, rva + 88, 4), Put(t, 76, 7, 4);  // data entry
  for (char c : std::string("payload")) t.push_back(uint8_t(c));
  return t;
}

// .text at 0x1000 (file 0x200), then, WITHRESOURCES, .rsrc at 0x2000 (file 0x400) holding
// HandMadeResourceTree.
inline TPeShape SmallPeShape(int bits, bool withResources) {
  TPeShape shape;
  shape.bits = bits;
  shape.sections.push_back({".text", 0x1000, 0x180, 0x200, 0x200, {}});
  if (withResources) {
    const Bytes tree = HandMadeResourceTree(0x2000);
    shape.sections.push_back({".rsrc", 0x2000, uint32_t(tree.size()), 0x400, 0x200, tree});
    shape.resourceRva = 0x2000, shape.resourceSize = uint32_t(tree.size());
  }
  return shape;
}

// The colour of the icon image of SIZE pixels: each size its own, as 0xAARRGGBB.
inline uint32_t IconColour(int size) { return 0xFF000000u | uint32_t(size) * 0x010305u; }

// An icon file with one 32-bit DIB image per size, each filled with IconColour(size).
inline Bytes IconFileBytes(const std::vector<int>& sizes) {
  Bytes file;
  Put(file, 2, 1, 2), Put(file, 4, sizes.size(), 2);
  file.resize(6 + 16 * sizes.size());
  for (size_t i = 0; i < sizes.size(); ++i) {
    const int s = sizes[i];
    const size_t maskRow = size_t((s + 31) / 32 * 4);
    Bytes image(40, 0);
    Put(image, 0, 40, 4), Put(image, 4, s, 4), Put(image, 8, 2 * s, 4), Put(image, 12, 1, 2), Put(image, 14, 32, 2);
    for (int p = 0; p < s * s; ++p) Put(image, image.size(), IconColour(s), 4);
    image.resize(image.size() + maskRow * size_t(s), 0);
    const size_t e = 6 + 16 * i;
    file[e] = uint8_t(s == 256 ? 0 : s), file[e + 1] = uint8_t(s == 256 ? 0 : s);
    Put(file, e + 4, 1, 2), Put(file, e + 6, 32, 2), Put(file, e + 8, image.size(), 4), Put(file, e + 12, file.size(), 4);
    file.insert(file.end(), image.begin(), image.end());
  }
  return file;
}

}  // namespace pe_test
