#include "convert/ProjectorLayout.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "convert/Projector.h"
#include "framework/core/Streams.h"

namespace {

constexpr uint8_t Linux32Marker[] = {0x56, 0x34, 0x12, 0xFA};
constexpr uint8_t Linux64Marker[] = {0x56, 0x34, 0x12, 0xFA, 0xFF, 0xFF, 0xFF, 0xFF};

// Where the fields of one ELF class lie. Program and section header fields are offsets
// within their entry; the entry sizes are the smallest an entry may declare.
struct TElfClassLayout {
  int64_t headerSize;
  int64_t phoffAt, shoffAt, phentsizeAt;  // e_phnum, e_shentsize, e_shnum follow e_phentsize
  int64_t wordSize;
  int64_t phSize, phOffsetAt, phFileSizeAt;
  int64_t shSize, shOffsetAt, shSizeAt;
};
constexpr TElfClassLayout Elf32{52, 28, 32, 42, 4, 32, 4, 16, 40, 16, 20};
constexpr TElfClassLayout Elf64{64, 32, 40, 54, 8, 56, 8, 32, 64, 24, 32};
constexpr int64_t ShTypeAt = 4;
constexpr uint32_t ShtNobits = 8;
constexpr uint64_t PnXnum = 0xFFFF;
constexpr int64_t LargestEntry = 64;
constexpr const char* TruncatedHeader = "the file ends inside the ELF header";

uint64_t Unsigned(const uint8_t* bytes, int64_t width, bool bigEndian) {
  uint64_t value = 0;
  for (int64_t i = 0; i < width; ++i) value |= uint64_t(bytes[bigEndian ? width - 1 - i : i]) << (8 * i);
  return value;
}

// [OFFSET, OFFSET + LENGTH) lies inside a file of SIZE bytes; no sum that could overflow.
bool FitsIn(uint64_t offset, uint64_t length, int64_t size) {
  return offset <= uint64_t(size) && length <= uint64_t(size) - offset;
}

// Reads COUNT bytes at OFFSET, which the caller has checked lie inside the file.
void ReadAt(TStream& file, int64_t offset, uint8_t* buffer, int64_t count) {
  file.SetPosition(offset);
  file.ReadBuffer(buffer, count);
}

// One ELF file being measured: its class, byte order and size, and the end found so far.
class TElfMeasure {
public:
  TElfMeasure(TStream& file, const TElfClassLayout& layout, bool bigEndian, TElfImage& image)
      : file_(file), layout_(layout), bigEndian_(bigEndian), size_(file.Size()), image_(image) {}

  void Run() {
    if (size_ < layout_.headerSize) return Fail(TElfStatus::Malformed, TruncatedHeader);
    uint8_t header[LargestEntry];
    ReadAt(file_, 0, header, layout_.headerSize);
    const uint64_t phoff = Field(header, layout_.phoffAt, layout_.wordSize);
    const uint64_t shoff = Field(header, layout_.shoffAt, layout_.wordSize);
    const uint64_t phentsize = Field(header, layout_.phentsizeAt, 2), phnum = Field(header, layout_.phentsizeAt + 2, 2);
    const uint64_t shentsize = Field(header, layout_.phentsizeAt + 4, 2), shnum = Field(header, layout_.phentsizeAt + 6, 2);
    if (phnum == PnXnum || (shnum == 0 && shoff != 0))
      return Fail(TElfStatus::Unsupported, "ELF extended numbering (over 65279 entries)");
    image_.end = layout_.headerSize;
    if (!Table(phoff, phnum, phentsize, layout_.phSize, "program header table")) return;
    if (!Table(shoff, shnum, shentsize, layout_.shSize, "section header table")) return;
    if (!Entries(phoff, phnum, phentsize, layout_.phSize, &TElfMeasure::Segment)) return;
    if (!Entries(shoff, shnum, shentsize, layout_.shSize, &TElfMeasure::Section)) return;
    image_.status = TElfStatus::Measured;
  }

private:
  using EntryCheck = bool (TElfMeasure::*)(const uint8_t* entry);

  uint64_t Field(const uint8_t* bytes, int64_t at, int64_t width) const {
    return Unsigned(bytes + at, width, bigEndian_);
  }

  void Fail(TElfStatus status, const std::string& problem) {
    image_.status = status;
    image_.problem = problem;
    image_.end = 0;
  }

  // Takes [OFFSET, OFFSET + LENGTH) into the image, or fails naming WHAT.
  bool Extend(uint64_t offset, uint64_t length, const char* what) {
    if (!FitsIn(offset, length, size_)) {
      Fail(TElfStatus::Malformed, std::string("ELF ") + what + " lies outside the file");
      return false;
    }
    image_.end = std::max(image_.end, int64_t(offset + length));
    return true;
  }

  // Counts and entry sizes are 16-bit, so COUNT * ENTSIZE cannot overflow.
  bool Table(uint64_t offset, uint64_t count, uint64_t entsize, int64_t minEntry, const char* what) {
    if (count == 0) return true;
    if (entsize < uint64_t(minEntry)) {
      Fail(TElfStatus::Malformed, std::string("ELF ") + what + " has entries of " + std::to_string(entsize) + " bytes");
      return false;
    }
    return Extend(offset, count * entsize, what);
  }

  // Each entry is read on its own: a table may be large, and memory use must not grow with it.
  bool Entries(uint64_t offset, uint64_t count, uint64_t entsize, int64_t readSize, EntryCheck check) {
    uint8_t entry[LargestEntry];
    for (uint64_t i = 0; i < count; ++i) {
      ReadAt(file_, int64_t(offset + i * entsize), entry, readSize);
      if (!(this->*check)(entry)) return false;
    }
    return true;
  }

  bool Segment(const uint8_t* entry) {
    const uint64_t length = Field(entry, layout_.phFileSizeAt, layout_.wordSize);
    return length == 0 || Extend(Field(entry, layout_.phOffsetAt, layout_.wordSize), length, "segment");
  }

  bool Section(const uint8_t* entry) {
    const uint64_t length = Field(entry, layout_.shSizeAt, layout_.wordSize);
    if (length == 0 || Field(entry, ShTypeAt, 4) == ShtNobits) return true;
    return Extend(Field(entry, layout_.shOffsetAt, layout_.wordSize), length, "section");
  }

  TStream& file_;
  const TElfClassLayout& layout_;
  const bool bigEndian_;
  const int64_t size_;
  TElfImage& image_;
};

// The marker and length width of a Linux layout.
struct TLinuxHeader {
  TProjectorLayout layout;
  int64_t lengthSize;
  const uint8_t* marker;
  int64_t markerSize;
  int64_t Size() const { return lengthSize + markerSize; }
};
constexpr TLinuxHeader LinuxHeaders[] = {
    {TProjectorLayout::Linux64, 8, Linux64Marker, sizeof Linux64Marker},
    {TProjectorLayout::Linux32, 4, Linux32Marker, sizeof Linux32Marker},
};

const TLinuxHeader* LinuxHeaderOf(TProjectorLayout layout) {
  for (const TLinuxHeader& h : LinuxHeaders)
    if (h.layout == layout) return &h;
  return nullptr;
}

// Reads the header at the end of an ELF image (END) of a file of SIZE bytes.
TProjectorMovie LocateLinuxMovie(TStream& file, int64_t end, int64_t size) {
  TProjectorMovie movie;
  const int64_t rest = size - end;
  if (rest == 0) {
    movie.whyNot = "ELF image with nothing after it";
    return movie;
  }
  uint8_t bytes[16] = {};
  ReadAt(file, end, bytes, std::min<int64_t>(rest, sizeof bytes));
  // Both markers can match: a 32-bit header's movie may begin with the 64-bit marker. Only
  // one length can then reach the end of the file, so the order of the tries is harmless.
  std::string wrongLength;
  for (const TLinuxHeader& h : LinuxHeaders) {
    if (rest < h.Size() || std::memcmp(bytes + h.lengthSize, h.marker, size_t(h.markerSize)) != 0) continue;
    const uint64_t length = Unsigned(bytes, h.lengthSize, false);
    if (length == uint64_t(rest - h.Size())) return {true, h.layout, end, end + h.Size(), int64_t(length), {}};
    if (wrongLength.empty())
      wrongLength = std::string("the ") + ProjectorLayoutName(h.layout) + " header gives a movie of " +
                    std::to_string(length) + " bytes, " + std::to_string(rest - h.Size()) + " follow it";
  }
  movie.whyNot = !wrongLength.empty() ? wrongLength
                                      : "no projector header after the ELF image (" + std::to_string(rest) + " bytes follow it)";
  return movie;
}

TProjectorMovie LocateWindowsMovie(TStream& file, int64_t size) {
  TProjectorMovie movie;
  if (size < ProjectorTrailerSize) {
    movie.whyNot = std::to_string(size) + " bytes, too short for a trailer";
    return movie;
  }
  const TProjectorTrailer trailer = ReadProjectorTrailer(file);
  if (!trailer.hasMagic) {
    movie.whyNot = "no projector trailer";
  } else if (trailer.movieLength > size - ProjectorTrailerSize) {
    movie.whyNot = "trailer gives a movie of " + std::to_string(trailer.movieLength) + " bytes, the file holds " +
                   std::to_string(size - ProjectorTrailerSize) + " before its trailer";
  } else {
    movie = {true, TProjectorLayout::Windows, trailer.MovieStart(), trailer.MovieStart(), trailer.movieLength, {}};
  }
  return movie;
}

bool IsPeImage(TStream& file) {
  const int64_t size = file.Size();
  uint8_t bytes[4];
  if (size < 0x40) return false;
  ReadAt(file, 0, bytes, 2);
  if (bytes[0] != 'M' || bytes[1] != 'Z') return false;
  ReadAt(file, 0x3C, bytes, 4);
  const uint64_t signatureAt = Unsigned(bytes, 4, false);
  if (!FitsIn(signatureAt, 4, size)) return false;
  ReadAt(file, int64_t(signatureAt), bytes, 4);
  return std::memcmp(bytes, "PE\0\0", 4) == 0;
}

void WriteLittleEndian(TStream& out, uint64_t value, int64_t width) {
  uint8_t bytes[8];
  for (int64_t i = 0; i < width; ++i) bytes[i] = uint8_t(value >> (8 * i));
  out.WriteBuffer(bytes, width);
}

}  // namespace

const char* ProjectorLayoutName(TProjectorLayout layout) {
  switch (layout) {
    case TProjectorLayout::Linux32: return "linux32";
    case TProjectorLayout::Linux64: return "linux64";
    default: return "windows";
  }
}

std::optional<TProjectorLayout> ProjectorLayoutByName(const std::string& name) {
  for (TProjectorLayout layout : {TProjectorLayout::Windows, TProjectorLayout::Linux32, TProjectorLayout::Linux64})
    if (name == ProjectorLayoutName(layout)) return layout;
  return std::nullopt;
}

uint64_t MaxMovieLength(TProjectorLayout layout) {
  if (layout == TProjectorLayout::Linux64) return uint64_t(std::numeric_limits<int64_t>::max());
  return std::numeric_limits<uint32_t>::max();
}

void WriteMovieHeader(TStream& out, TProjectorLayout layout, uint64_t movieLength) {
  const TLinuxHeader* header = LinuxHeaderOf(layout);
  if (!header) return;
  WriteLittleEndian(out, movieLength, header->lengthSize);
  out.WriteBuffer(header->marker, header->markerSize);
}

void WriteMovieTrailer(TStream& out, TProjectorLayout layout, uint64_t movieLength) {
  if (layout != TProjectorLayout::Windows) return;
  out.WriteUInt32LE(ProjectorMagic);
  out.WriteUInt32LE(uint32_t(movieLength));
}

TElfImage MeasureElfImage(TStream& file) {
  TElfImage image;
  uint8_t ident[8] = {};
  const int64_t size = file.Size();
  ReadAt(file, 0, ident, std::min<int64_t>(size, sizeof ident));
  if (size < 4 || std::memcmp(ident, "\x7F" "ELF", 4) != 0) return image;
  if (size < int64_t(sizeof ident)) {
    image.status = TElfStatus::Malformed;
    image.problem = TruncatedHeader;
    return image;
  }
  const uint8_t elfClass = ident[4], byteOrder = ident[5], version = ident[6];
  image.status = TElfStatus::Unsupported;
  if (elfClass != 1 && elfClass != 2) image.problem = "ELF class " + std::to_string(elfClass);
  else if (byteOrder != 1 && byteOrder != 2) image.problem = "ELF byte order " + std::to_string(byteOrder);
  else if (version != 1) image.problem = "ELF version " + std::to_string(version);
  if (!image.problem.empty()) return image;
  image.bits = elfClass == 1 ? 32 : 64;
  image.bigEndian = byteOrder == 2;
  TElfMeasure(file, elfClass == 1 ? Elf32 : Elf64, image.bigEndian, image).Run();
  return image;
}

std::optional<TProjectorLayout> LayoutOfStub(TStream& stub) {
  const TElfImage elf = MeasureElfImage(stub);
  if (elf.status == TElfStatus::Measured) return elf.bits == 32 ? TProjectorLayout::Linux32 : TProjectorLayout::Linux64;
  if (elf.status == TElfStatus::NotElf && IsPeImage(stub)) return TProjectorLayout::Windows;
  return std::nullopt;
}

TProjectorMovie LocateMovie(TStream& file) {
  const int64_t size = file.Size();
  const TElfImage elf = MeasureElfImage(file);
  std::string elfReason = elf.problem;
  if (elf.status == TElfStatus::Measured) {
    TProjectorMovie movie = LocateLinuxMovie(file, elf.end, size);
    if (movie.found) return movie;
    elfReason = movie.whyNot;
  }
  TProjectorMovie movie = LocateWindowsMovie(file, size);
  // An ELF file is most likely a Linux player: what its image lacks says more. (The 64-bit
  // marker itself reads as a trailer's magic.)
  if (!movie.found && elf.status != TElfStatus::NotElf) movie.whyNot = elfReason;
  return movie;
}
