// Feeds arbitrary bytes to the theme-file reader: it must load them or refuse them with
// one of its documented errors, and whatever it loaded must answer every look-up.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>

#include "skin/KYRThemeFile.h"
#include "skin/KYRThemes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream source(std::vector<uint8_t>(data, data + size));
  try {
    TkyrThemeFileReader reader(source, "fuzz.thm");
    uint64_t imageBytes = 0;
    std::set<const TMemoryStream*> images;  // entries with the same data share one
    for (const TkyrThemeFileReader::Entry& entry : reader.Entries()) {
      if (entry.Name.size() > KYR_THEME_NAME_SIZE) abort();
      if ((entry.Kind == kyrEntryImage) != (entry.Image != nullptr)) abort();
      if (entry.Image && images.insert(entry.Image).second) imageBytes += static_cast<uint64_t>(entry.Image->Size());
      if (TStream* stream = reader.GetStream(entry.Name)) {
        if (stream->Position() != 0) abort();
      } else if (entry.Kind == kyrEntryImage) {
        abort();  // an image entry must be found by its own name
      }
      reader.GetInteger(entry.Name);
      reader.GetBool(entry.Name);
    }
    if (imageBytes > size) abort();  // never more memory than the file holds
    for (int e = 1; e <= KYR_THEME_ELEMENT_COUNT; ++e) {
      reader.GetInteger(GetThemeElementKey(e));
      reader.GetBool(GetThemeElementKey(e));
      reader.GetStream(GetThemeElementKey(e));
    }
  } catch (const EkyrThemeFileError&) {
  } catch (const EReadError&) {
  }
  return 0;
}
