// Reading and rewriting the resources of a PE program (32- or 64-bit), portable. Reads go
// through TStream; every offset, size and count a file declares is checked to lie inside the
// file (without overflow) before it is used, and malformed files raise EPeFormat naming what
// is wrong.
//
// The parts of a PE file used here, all little-endian:
//   0x3C          e_lfanew: where "PE\0\0" stands
//   +4            COFF header (20 bytes): NumberOfSections at +2, SizeOfOptionalHeader at +16
//   +24           optional header: magic 0x10B (PE32) or 0x20B (PE32+); SizeOfInitializedData
//                 at +8, SectionAlignment +32, FileAlignment +36, SizeOfImage +56,
//                 SizeOfHeaders +60, CheckSum +64, NumberOfRvaAndSizes +92 (+108 for PE32+),
//                 then the data directories (8 bytes each: resources are the 3rd, the
//                 certificate table, whose "address" is a file offset, the 5th)
//   then          the section table: 40 bytes a section {name[8], VirtualSize, VirtualAddress,
//                 SizeOfRawData, PointerToRawData, ...}
// The resource section is a tree of three levels (type, name, language) of directories
// {16-byte header with the counts of named and numbered entries, then 8-byte entries}; an
// entry's name with the top bit set is the offset of a counted UTF-16 string, its target
// with the top bit set the offset of the next directory, else (at the third level) of a
// data entry {RVA, Size, CodePage, Reserved}. Offsets are from the section's start.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/SysUtils.h"

class TStream;

// The file is no PE program we can read or rewrite; the message says why.
class EPeFormat : public Exception {
public:
  using Exception::Exception;
};

struct TPeDataDirectory {
  uint32_t address = 0;  // an RVA; a file offset for the certificate table
  uint32_t size = 0;
};

struct TPeSection {
  std::string name;
  uint32_t virtualSize = 0, virtualAddress = 0, rawSize = 0, rawPointer = 0;
};

struct TPeImage {
  bool wide = false;  // PE32+
  int64_t fileSize = 0;
  int64_t sectionCountAt = 0, initializedDataAt = 0, sizeOfImageAt = 0, checksumAt = 0;
  int64_t directoriesAt = 0, sectionTableAt = 0;
  uint32_t sectionAlignment = 0, fileAlignment = 0, sizeOfImage = 0, sizeOfHeaders = 0, checksum = 0;
  uint32_t directoryCount = 0;
  TPeDataDirectory resources, certificates;
  std::vector<TPeSection> sections;
  int64_t imageEnd = 0;  // the first byte after the headers and every section's raw data

  // Where [RVA, RVA + LENGTH) lies in the file, when inside one section's raw data; else -1.
  int64_t FileOffsetOf(uint32_t rva, uint32_t length) const;
  // The section holding the resource directory, or -1 (no resources).
  int ResourceSection() const;
};

// Reads the headers and the section table of the PE program at the start of FILE.
TPeImage ReadPeImage(TStream& file);

// A resource type or name: a number, or a UTF-16 string.
struct TResourceId {
  bool named = false;
  uint16_t id = 0;
  std::u16string name;

  static TResourceId Number(uint16_t value) { return {false, value, {}}; }
  bool operator==(const TResourceId& other) const = default;
  // Directory order: named entries first, by their text, then numbers ascending.
  bool operator<(const TResourceId& other) const;
};

constexpr uint16_t RtIcon = 3, RtGroupIcon = 14, RtVersion = 16;

struct TPeResource {
  TResourceId type, name;
  uint16_t language = 0;
  uint32_t codePage = 0;
  std::vector<uint8_t> data;
};

// Every resource of IMAGE (read from FILE), in directory order; none when it has no
// resource directory. A directory reached twice (a loop, or shared tables) is refused.
std::vector<TPeResource> ReadPeResources(TStream& file, const TPeImage& image);

// A resource section holding RESOURCES (in any order), to be placed at RVA.
std::vector<uint8_t> BuildResourceSection(const std::vector<TPeResource>& resources, uint32_t rva);

struct TPeRewriteOutcome {
  bool signatureDropped = false;  // the certificate table was left out: the change breaks it
  bool sectionAdded = false;      // a new section was appended (none before, or not the last one)
};

// Writes the program FILE (read as IMAGE) to OUT, at OUT's position, with RESOURCES as its
// resources and everything else as it was: the resource section is rewritten in place when
// it is the last one and holds nothing but the resource tree, else a new section is appended
// (EPeFormat when the header has no room for its entry). The section table, SizeOfImage,
// SizeOfInitializedData, the resource directory entry and the header checksum are fixed; a
// certificate table is dropped; bytes after the image (other than the certificate table)
// follow it unchanged. The new section is padded with zeros (less than 64 KiB) so that the
// output keeps FILE's length modulo 64 KiB where the file alignment allows: what is written
// after it lies as it would after FILE. Memory stays independent of FILE's size but for the
// new section.
TPeRewriteOutcome WritePeWithResources(TStream& file, const TPeImage& image, const std::vector<TPeResource>& resources,
                                       TStream& out);

// The PE header checksum, fed with a file's bytes in order (the checksum field read as 0).
class TPeChecksum {
public:
  void Add(const uint8_t* bytes, size_t count);
  uint32_t Value() const;

private:
  uint64_t sum_ = 0;
  uint64_t length_ = 0;
  int pending_ = -1;  // the low byte of a word whose high byte has not come yet
};
