// Writes every built-in skin bitmap and the resource script that names them:
//   skin-artgen <folder>      (the repository keeps the output in skin/res)
#include <cstdio>
#include <string>

#include "framework/core/Streams.h"
#include "tools/skin-artgen/SkinArt.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: skin-artgen <output folder>\n");
    return 2;
  }
  std::string folder = argv[1];
  try {
    for (const ArtResource& r : ArtResources())
      SaveBmpFile(folder + "/" + r.name + ".bmp", PaintArt(r));
    std::string rc = ResourceScript();
    TFileStream script(folder + "/Skin.rc", fmCreate);
    script.WriteBuffer(rc.data(), static_cast<int64_t>(rc.size()));
  } catch (const Exception& e) {
    std::fprintf(stderr, "skin-artgen: %s\n", e.what());
    return 1;
  }
  std::printf("skin-artgen: %zu bitmaps written to %s\n", ArtResources().size(), folder.c_str());
  return 0;
}
