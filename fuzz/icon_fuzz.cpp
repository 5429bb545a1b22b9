// The icon-file directory reader must refuse every malformed file without reading outside it.
#include <cstddef>
#include <cstdint>

#include "framework/core/IconFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const auto images = ReadIconDirectory(data, size);
    (void)BestIconImage(images, 48);
  } catch (const EInvalidIcon&) {
  }
  return 0;
}
