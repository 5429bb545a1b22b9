// The ELF measurement, the movie locator over every layout, and the command-line
// converters built on them. Expected bytes and offsets are written out by hand.
#include "convert/ProjectorLayout.h"

#include <gtest/gtest.h>

#include "convert/LayoutConverters.h"
#include "framework/core/Streams.h"
#include "tests/convert/ConvertTestUtil.h"
#include "tests/support/ExecutableImages.h"

namespace {

constexpr uint64_t Max64 = ~uint64_t{0};

TElfImage Measure(const Bytes& bytes) {
  TMemoryStream stream(bytes);
  return MeasureElfImage(stream);
}
TProjectorMovie Locate(const Bytes& bytes) {
  TMemoryStream stream(bytes);
  return LocateMovie(stream);
}

template <class Change>
TElfShape Changed(int bits, Change change) {
  TElfShape shape = SmallElfShape(bits);
  change(shape);
  return shape;
}

TEST(ElfImage, EndIsTheFarthestHeaderTableSegmentOrSectionAndEveryRangeMustFit) {
  const TElfStatus M = TElfStatus::Measured, Bad = TElfStatus::Malformed, Un = TElfStatus::Unsupported;
  struct Case {
    const char* name;
    TElfShape shape;
    TElfStatus status;
    int64_t end;
  } cases[] = {
      {"64-bit little-endian", SmallElfShape(64), M, 0x320},
      {"32-bit little-endian", SmallElfShape(32), M, 0x2C0},
      {"64-bit big-endian", SmallElfShape(64, true), M, 0x320},
      {"32-bit big-endian", SmallElfShape(32, true), M, 0x2C0},
      {"bytes after the image", Changed(64, [](TElfShape& s) { s.size = 0x400; }), M, 0x320},
      {"a segment ends farthest", Changed(32, [](TElfShape& s) { s.segments[0].size = 0x300, s.size = 0x300; }), M, 0x300},
      {"a section ends farthest", Changed(64, [](TElfShape& s) { s.sections[3].size = 0x180, s.size = 0x380; }), M, 0x380},
      {"no tables: the header alone", Changed(64, [](TElfShape& s) { s.segments = {}, s.sections = {}, s.shoff = 0; }), M, 64},
      {"NOBITS may lie past the end", Changed(32, [](TElfShape& s) { s.sections[2].offset = Max64; }), M, 0x2C0},
      {"section table cut by a byte", Changed(64, [](TElfShape& s) { s.size = 0x31F; }), Bad, 0},
      {"header cut", Changed(64, [](TElfShape& s) { s.size = 60; }), Bad, 0},
      {"ident cut", Changed(64, [](TElfShape& s) { s.size = 6; }), Bad, 0},
      {"program table outside", Changed(64, [](TElfShape& s) { s.phoff = 0x1000; }), Bad, 0},
      {"segment past the end", Changed(32, [](TElfShape& s) { s.segments[0].size = 0x2C1; }), Bad, 0},
      {"section offset wraps", Changed(64, [](TElfShape& s) { s.sections[1].offset = Max64 - 0x10; }), Bad, 0},
      {"32-bit offset past the end", Changed(32, [](TElfShape& s) { s.sections[3].offset = 0xFFFFFFF0; }), Bad, 0},
      {"entries too small", Changed(64, [](TElfShape& s) { s.phentsize = 55; }), Bad, 0},
      {"section count beyond 65279", Changed(64, [](TElfShape& s) { s.shnum = 0; }), Un, 0},
      {"segment count beyond 65534", Changed(64, [](TElfShape& s) { s.phnum = 0xFFFF; }), Un, 0},
      {"class 3", Changed(64, [](TElfShape& s) { s.elfClass = 3; }), Un, 0},
      {"byte order 3", Changed(64, [](TElfShape& s) { s.byteOrder = 3; }), Un, 0},
      {"version 0", Changed(64, [](TElfShape& s) { s.version = 0; }), Un, 0},
  };
  for (const Case& c : cases) {
    const TElfImage image = Measure(ElfImageBytes(c.shape));
    EXPECT_EQ(image.status, c.status) << c.name << ": " << image.problem;
    EXPECT_EQ(image.end, c.end) << c.name;
    EXPECT_EQ(image.problem.empty(), c.status == M) << c.name;
  }
  EXPECT_EQ(Measure(MinimalPe(200)).status, TElfStatus::NotElf);
  EXPECT_EQ(Measure({0x7F, 'E', 'L'}).status, TElfStatus::NotElf);
}

// What the linker wrote: its image ends with the section table, at the end of the file.
TEST(ElfImage, TheRunningProgramIsMeasuredToItsLastByte) {
  const Bytes own = ReadFileBytes(OwnExecutablePath());
  TMemoryStream stream(own);
#ifdef _WIN32
  EXPECT_EQ(MeasureElfImage(stream).status, TElfStatus::NotElf);
  EXPECT_EQ(LayoutOfStub(stream), TProjectorLayout::Windows);
#else
  const TElfImage image = MeasureElfImage(stream);
  EXPECT_EQ(image.status, TElfStatus::Measured) << image.problem;
  EXPECT_EQ(image.end, int64_t(own.size()));
  EXPECT_EQ(LayoutOfStub(stream), sizeof(void*) == 8 ? TProjectorLayout::Linux64 : TProjectorLayout::Linux32);
#endif
}

TEST(LayoutOfStub, PeIsWindowsElfIsLinuxByClassAnythingElseIsUnknown) {
  using L = TProjectorLayout;
  struct Case {
    Bytes bytes;
    std::optional<L> layout;
  } cases[] = {
      {MinimalPe(100), L::Windows},
      {SmallElf(32), L::Linux32},
      {SmallElf(64, true), L::Linux64},
      {Concat({SmallElf(64), PatternBytes(10, 1)}), L::Linux64},  // ChosenLayout refuses it for Linux
      {ElfImageBytes(Changed(64, [](TElfShape& s) { s.phoff = 0x1000; })), std::nullopt},
      {Concat({{'M', 'Z'}, PatternBytes(200, 2)}), std::nullopt},
      {PatternBytes(500, 3), std::nullopt},
      {{}, std::nullopt},
  };
  for (Case& c : cases) {
    TMemoryStream stream(c.bytes);
    EXPECT_EQ(LayoutOfStub(stream), c.layout) << c.bytes.size();
  }
}

TEST(LocateMovie, EachLayoutIsFoundOnlyWhereItsHeaderOrTrailerBelongs) {
  using L = TProjectorLayout;
  const Bytes elf32 = SmallElf(32), elf64 = SmallElf(64), pe = MinimalPe(300), movie = PatternBytes(1000, 5);
  const Bytes malformed = ElfImageBytes(Changed(64, [](TElfShape& s) { s.sections[1].size = 0x1000; }));
  struct Case {
    const char* name;
    Bytes bytes;
    bool found;
    L layout;
    int64_t stubSize, movieStart, movieLength;
  } cases[] = {
      {"linux64", Concat({elf64, Linux64Header(1000), movie}), true, L::Linux64, 0x320, 0x330, 1000},
      {"linux64, empty movie", Concat({elf64, Linux64Header(0)}), true, L::Linux64, 0x320, 0x330, 0},
      {"linux32", Concat({elf32, Linux32Header(1), {7}}), true, L::Linux32, 0x2C0, 0x2C8, 1},
      {"linux32, movie starting with the 64-bit marker", Concat({elf32, Linux32Header(8), Marker64}), true, L::Linux32, 0x2C0, 0x2C8, 8},
      {"32-bit header after an ELF64", Concat({elf64, Linux32Header(1000), movie}), true, L::Linux32, 0x320, 0x328, 1000},
      {"windows", Concat({pe, movie, TrailerBytes(0xFA123456, 1000)}), true, L::Windows, 300, 300, 1000},
      {"windows, empty movie", Concat({pe, TrailerBytes(0xFA123456, 0)}), true, L::Windows, 300, 300, 0},
      {"windows trailer on an ELF", Concat({elf64, movie, TrailerBytes(0xFA123456, 1000)}), true, L::Windows, 0x320, 0x320, 1000},
      {"plain ELF", elf64, false, L::Windows, 0, 0, 0},
      {"length cut", Concat({elf64, LittleEndian(0, 7)}), false, L::Windows, 0, 0, 0},
      {"marker cut", Concat({elf64, LittleEndian(0, 8), Bytes(Marker64.begin(), Marker64.end() - 1)}), false, L::Windows, 0, 0, 0},
      {"32-bit marker cut", Concat({elf32, LittleEndian(0, 4), {0x56, 0x34, 0x12}}), false, L::Windows, 0, 0, 0},
      {"length one past the end", Concat({elf64, Linux64Header(1001), movie}), false, L::Windows, 0, 0, 0},
      {"length 2^64-1", Concat({elf64, Linux64Header(Max64), movie}), false, L::Windows, 0, 0, 0},
      {"length 2^32-1", Concat({elf32, Linux32Header(0xFFFFFFFF), movie}), false, L::Windows, 0, 0, 0},
      {"bytes after the movie", Concat({elf32, Linux32Header(999), movie}), false, L::Windows, 0, 0, 0},
      {"header a byte late", Concat({elf64, {0}, Linux64Header(1000), movie}), false, L::Windows, 0, 0, 0},
      {"header inside a pattern", Concat({movie, Linux64Header(1000), movie}), false, L::Windows, 0, 0, 0},
      {"headers outside the file", Concat({malformed, Linux64Header(1000), movie}), false, L::Windows, 0, 0, 0},
      {"trailer longer than the file", Concat({pe, TrailerBytes(0xFA123456, 301)}), false, L::Windows, 0, 0, 0},
      {"seven bytes", PatternBytes(7, 6), false, L::Windows, 0, 0, 0},
  };
  for (const Case& c : cases) {
    const TProjectorMovie m = Locate(c.bytes);
    EXPECT_EQ(m.found, c.found) << c.name << ": " << m.whyNot;
    if (!c.found) continue;
    EXPECT_EQ(m.layout, c.layout) << c.name;
    EXPECT_EQ(m.stubSize, c.stubSize) << c.name;
    EXPECT_EQ(m.movieStart, c.movieStart) << c.name;
    EXPECT_EQ(m.movieLength, c.movieLength) << c.name;
  }
}

TEST(LocateMovie, SaysWhatANonProjectorLacks) {
  EXPECT_EQ(Locate(SmallElf(64)).whyNot, "ELF image with nothing after it");
  EXPECT_EQ(Locate(Concat({SmallElf(64), Linux64Header(5)})).whyNot,
            "the linux64 header gives a movie of 5 bytes, 0 follow it");
  EXPECT_EQ(Locate(Concat({SmallElf(32), PatternBytes(9, 1)})).whyNot,
            "no projector header after the ELF image (9 bytes follow it)");
  EXPECT_EQ(Locate(ElfImageBytes(Changed(64, [](TElfShape& s) { s.phoff = 0x1000; }))).whyNot,
            "ELF program header table lies outside the file");
  EXPECT_EQ(Locate(MinimalPe(100)).whyNot, "no projector trailer");
  EXPECT_EQ(Locate(PatternBytes(3, 1)).whyNot, "3 bytes, too short for a trailer");
}

}  // namespace
