// Feeds arbitrary bytes to the bitmap decoder: it must either decode or raise
// EInvalidBitmap, and a decoded image must encode and decode back to the same pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "framework/core/BmpCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TBmpImage image;
  try {
    image = DecodeBmp(data, size);
  } catch (const EInvalidBitmap&) {
    return 0;
  }
  if (image.Pixels.size() != static_cast<size_t>(image.Width) * image.Height) abort();
  if (!image.Indices.empty() && image.Indices.size() != image.Pixels.size()) abort();
  // Re-encoding at the source's own depth is exact for every depth but 16 (written as
  // 5-5-5 whatever the source's masks): a paletted image never shows more colours than
  // its depth allows, black for indices past a short table included.
  if (image.BitsPerPixel != 16) {
    TBmpImage back = DecodeBmp(EncodeBmp(image));
    if (back.Pixels != image.Pixels) abort();
  }
  return 0;
}
