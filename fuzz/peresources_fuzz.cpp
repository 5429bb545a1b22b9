// Feeds arbitrary bytes to the PE resource reader: every malformed file must be refused with
// EPeFormat (never a read outside the file), and a file that is read must survive a rewrite
// with its resources plus an icon and version information, reading back as written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "convert/PeFace.h"
#include "framework/core/Streams.h"

namespace {

void Check(bool ok) {
  if (!ok) abort();
}

// A 16x16 icon file with one 32-bit image.
std::vector<uint8_t> SmallIcon() {
  std::vector<uint8_t> icon = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0};
  const uint32_t imageSize = 40 + 16 * 16 * 4 + 16 * 4;
  for (uint32_t v : {imageSize, 22u})
    for (int shift = 0; shift < 32; shift += 8) icon.push_back(uint8_t(v >> shift));
  std::vector<uint8_t> image(imageSize, 0x7F);
  const uint8_t header[16] = {40, 0, 0, 0, 16, 0, 0, 0, 32, 0, 0, 0, 1, 0, 32, 0};
  std::copy(header, header + 16, image.begin());
  std::fill(image.begin() + 16, image.begin() + 40, 0);
  icon.insert(icon.end(), image.begin(), image.end());
  return icon;
}

bool Same(const std::vector<TPeResource>& a, const std::vector<TPeResource>& b) {
  if (a.size() != b.size()) return false;
  for (const TPeResource& r : a) {
    bool found = false;
    for (const TPeResource& s : b)
      found = found || (r.type == s.type && r.name == s.name && r.language == s.language && r.data == s.data);
    if (!found) return false;
  }
  return true;
}

void RewriteAndCheck(TStream& input, const TPeImage& image, std::vector<TPeResource> resources) {
  TProjectorFace face;
  face.strings = {{"ProductName", "Fuzz"}};
  face.fileVersion = TFileVersion{{1, 2, 3, 4}};
  try {
    ApplyVersionInfo(resources, face);
    ReplaceMainIcon(resources, SmallIcon());
  } catch (const EPeFormat&) {
    return;  // version information the reader refuses
  }
  TMemoryStream out;
  try {
    WritePeWithResources(input, image, resources, out);
  } catch (const EPeFormat&) {
    return;  // a layout the writer cannot rewrite
  }
  TMemoryStream back(out.Bytes());
  const TPeImage written = ReadPeImage(back);
  Check(Same(ReadPeResources(back, written), resources));
  const TPeFace shown = ReadPeFace(ReadPeResources(back, written));
  Check(shown.fileVersion == face.fileVersion && shown.iconSizes.size() == 1 && shown.iconSizes[0] == "16x16");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream input(std::vector<uint8_t>(data, data + size));
  TPeImage image;
  std::vector<TPeResource> resources;
  try {
    image = ReadPeImage(input);
    resources = ReadPeResources(input, image);
  } catch (const EPeFormat&) {
    return 0;
  }
  try {
    (void)ReadPeFace(resources);
  } catch (const EPeFormat&) {
  }
  RewriteAndCheck(input, image, std::move(resources));
  return 0;
}
