// Theme files: recognising them by their magic and loading one whole into memory.
//
// Layout (integers unsigned 32-bit little-endian, offsets from the start of the file):
//   header, 24 bytes: magic "Tessarn_TB" NUL NUL | header size (24) | reserved |
//                     offset of the first entry record
//   entry record, 77 bytes: name[64] (NUL-ended unless full) | kind (0 image, 1 integer,
//                     2 boolean, 3 text, others skipped) | data offset | data length |
//                     offset of the next record (0: this record ends the chain and is
//                     not loaded itself)
//
// Theme files come from anywhere, so the reader refuses, with EkyrThemeFileError, a file
// it cannot read safely: a header size other than 24, a file too short for its header,
// a record or data range that does not lie inside the file, an integer entry whose
// length is not 4, a boolean entry whose length is not 1, entries whose images and texts
// together claim more data than the file holds, and a chain that returns to an earlier
// record. Image entries whose data is the same range of the file (one bitmap for two
// elements) share one stream and count once, so such files load while a small file still
// cannot claim gigabytes. An image whose data runs past the end of the file raises
// EReadError ("Stream read error"), and a file that cannot be opened EFOpenError. Nothing
// is allocated before its range is known to lie inside the file.
//
//   if (IsValidThemeFile(path)) {
//     TkyrThemeFileReader reader(path);             // may raise, see above
//     TStream* bmp = reader.GetStream("ButtonImage");  // owned by the reader, or null
//     int32_t width = reader.GetInteger("FormBorderWidthInt");  // -1 when absent
//   }
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/Classes.h"
#include "framework/core/Streams.h"
#include "framework/core/SysUtils.h"

inline constexpr char KYR_THEME_FILE_MAGIC[] = "Tessarn_TB";
inline constexpr uint32_t KYR_THEME_HEADER_SIZE = 24;
inline constexpr uint32_t KYR_THEME_RECORD_SIZE = 77;
inline constexpr uint32_t KYR_THEME_NAME_SIZE = 64;

// Entry kinds as stored in a record.
enum TkyrThemeEntryKind : uint8_t {
  kyrEntryImage = 0,
  kyrEntryInteger = 1,
  kyrEntryBoolean = 2,
  kyrEntryText = 3,
};

// A theme file that cannot be read safely. The message names the file and the fault.
class EkyrThemeFileError : public Exception {
public:
  using Exception::Exception;
};

// True when FILENAME exists, can be opened for reading and its magic string (the first
// 12 bytes up to the first NUL) is exactly "Tessarn_TB". Never raises.
bool IsValidThemeFile(const std::string& fileName);

class TkyrThemeFileReader : public TObject {
  VANTOR_CLASS(TkyrThemeFileReader, TObject)
public:
  // Loads the whole file (see the errors above); the file is closed on return.
  explicit TkyrThemeFileReader(const std::string& fileName);
  // Loads a theme file's bytes from SOURCE (from its start); NAME stands for the file in
  // error messages.
  TkyrThemeFileReader(TStream& source, const std::string& name);
  ~TkyrThemeFileReader() override;

  // The first image entry named KEY (letter case ignored), positioned at 0; owned by the
  // reader and valid while it lives (entries with the same data share it). Null when there
  // is none.
  TStream* GetStream(const std::string& key) const;
  // The first integer entry named KEY; -1 when there is none or it is not a number.
  int32_t GetInteger(const std::string& key) const;
  // Whether the first boolean entry named KEY holds a non-zero byte; false when absent.
  bool GetBool(const std::string& key) const;

  // The loaded entries in chain order, for tools that list a file.
  struct Entry {
    TkyrThemeEntryKind Kind;
    std::string Name;    // cut at 64 characters
    std::string Value;   // integers and booleans in decimal, texts as stored; "" for images
    TMemoryStream* Image;  // the image's bytes (kind 0, maybe shared), null otherwise
  };
  const std::vector<Entry>& Entries() const { return entries_; }

private:
  class Loader;

  std::vector<Entry> entries_;
  // The lists of "name=value" lines of integers, booleans and texts, and the images with
  // their streams, each in chain order; the streams themselves, one per distinct range.
  std::vector<std::string> integers_, booleans_, texts_;
  std::vector<std::pair<std::string, TMemoryStream*>> images_;
  std::vector<std::unique_ptr<TMemoryStream>> imageData_;
};
