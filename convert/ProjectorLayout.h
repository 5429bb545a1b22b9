// Where a projector keeps its movie, for every kind of stand-alone player: telling a
// player's kind from its file, measuring an ELF player, and finding the movie of any
// projector. Portable; reads through TStream only, never more than a few dozen bytes at once.
//
// The three layouts (S = the player's bytes, L = the movie's length):
//
//   Windows  player (S) | movie (L) | 56 34 12 FA | L as 4 bytes LE          (Projector.h)
//   Linux32  ELF32 player (S) | L as 4 bytes LE | 56 34 12 FA | movie (L)
//   Linux64  ELF64 player (S) | L as 8 bytes LE | 56 34 12 FA FF FF FF FF | movie (L)
//
// A Linux player finds its movie right after its own ELF image, so S is the end of that
// image (MeasureElfImage), and nothing follows the movie. The length stays little-endian
// whatever the player's byte order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

class TStream;

enum class TProjectorLayout { Windows, Linux32, Linux64 };

// "windows", "linux32", "linux64"; ProjectorLayoutByName answers nothing for other names.
const char* ProjectorLayoutName(TProjectorLayout layout);
std::optional<TProjectorLayout> ProjectorLayoutByName(const std::string& name);

// The longest movie LAYOUT can describe: 2^32 - 1 for a 4-byte length, 2^63 - 1 otherwise.
uint64_t MaxMovieLength(TProjectorLayout layout);

// Write what LAYOUT puts before the movie (Linux: length and marker) and after it
// (Windows: the trailer); the other one writes nothing.
void WriteMovieHeader(TStream& out, TProjectorLayout layout, uint64_t movieLength);
void WriteMovieTrailer(TStream& out, TProjectorLayout layout, uint64_t movieLength);

enum class TElfStatus {
  NotElf,       // no ELF magic
  Measured,     // end is valid
  Unsupported,  // an ELF class, byte order or version we do not know, or extended numbering
  Malformed,    // the headers point outside the file or are too small to read
};

struct TElfImage {
  TElfStatus status = TElfStatus::NotElf;
  int bits = 0;          // 32 or 64, once the class is known
  bool bigEndian = false;
  int64_t end = 0;       // when Measured: the first byte after the image
  std::string problem;   // when Unsupported or Malformed: what is wrong, for people
};

// The end of the ELF image at the start of FILE: the largest of the ELF header's size, the
// ends of the program and section header tables (offset + count * entry size), and the
// file ends of every segment (p_offset + p_filesz) and every section (sh_offset + sh_size)
// but SHT_NOBITS ones; empty segments and sections occupy nothing and are skipped. Header
// fields are read in the byte order the file declares. Every range must lie inside the
// file (checked without overflow), else the file is Malformed: a Linux player with such
// headers is no player we can place a movie behind. Files with more than 65279 sections or
// segments (extended numbering) are Unsupported.
TElfImage MeasureElfImage(TStream& file);

// The layout a player file calls for: an ELF image that can be measured is Linux32 or
// Linux64 by its class, a PE image (MZ header pointing to a "PE\0\0" signature) Windows;
// nothing for any other file.
std::optional<TProjectorLayout> LayoutOfStub(TStream& stub);

struct TProjectorMovie {
  bool found = false;
  TProjectorLayout layout = TProjectorLayout::Windows;
  int64_t stubSize = 0;     // the player's bytes at the start of the file
  int64_t movieStart = 0;
  int64_t movieLength = 0;  // may be 0: an empty movie is still a projector
  std::string whyNot;       // when not found: what the file lacks, for people
};

// Finds the movie of FILE. An ELF file is first read as a Linux projector: a header of
// either width must sit exactly at the end of its image and its length must reach exactly
// to the end of the file, so a marker anywhere else proves nothing. Otherwise (and for any
// other file) the last 8 bytes are read as the Windows trailer, whose length must fit in
// front of it; unlike ExtractMovie, a length of 0 is an empty movie.
TProjectorMovie LocateMovie(TStream& file);
