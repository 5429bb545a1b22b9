// The directory of a Windows icon file (.ico), portable: which images it holds and where.
//
// Layout, little-endian: a 6-byte header {uint16 reserved = 0, uint16 type = 1, uint16 count},
// then COUNT 16-byte entries {uint8 width (0 means 256), uint8 height (0 means 256), uint8
// colours, uint8 reserved, uint16 planes, uint16 bitCount, uint32 bytesInRes, uint32
// imageOffset}, then the images: each a DIB (BITMAPINFOHEADER with the height doubled, the
// colour bits, the AND mask) or a PNG file. Every entry is checked to lie inside the data
// before anything is returned; malformed data raises EInvalidIcon.
//
//   std::vector<TIconImageInfo> images = ReadIconDirectory(bytes.data(), bytes.size());
//   const TIconImageInfo& best = images[BestIconImage(images, 0)];   // the largest, deepest
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/core/SysUtils.h"

class EInvalidIcon : public Exception {
public:
  using Exception::Exception;
};

struct TIconImageInfo {
  int Width = 0;
  int Height = 0;
  int BitCount = 0;  // from the entry, or from the DIB header when the entry leaves it 0
  size_t Offset = 0;
  size_t Size = 0;
};

// The images of the icon file DATA, in file order; EInvalidIcon when the header or an entry
// does not fit the data.
std::vector<TIconImageInfo> ReadIconDirectory(const uint8_t* data, size_t size);

// The index of the image to use at SIZE pixels: the one whose width is nearest to SIZE (0:
// the largest), the deepest among equals. IMAGES must not be empty.
size_t BestIconImage(const std::vector<TIconImageInfo>& images, int size);
