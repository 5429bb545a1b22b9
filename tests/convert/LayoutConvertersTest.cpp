// The command-line converters on real files: byte-exact projectors of every layout, their
// movies and stubs taken out again, and the stubs a build refuses.
#include "convert/LayoutConverters.h"

#include <gtest/gtest.h>

#include "framework/core/Streams.h"
#include "tests/convert/ConvertTestUtil.h"
#include "tests/support/ExecutableImages.h"

namespace {

using L = TProjectorLayout;

// What the layout puts around the movie, written out by hand.
Bytes Framed(L layout, const Bytes& stub, const Bytes& movie) {
  switch (layout) {
    case L::Linux32: return Concat({stub, Linux32Header(movie.size()), movie});
    case L::Linux64: return Concat({stub, Linux64Header(movie.size()), movie});
    default: return Concat({stub, movie, TrailerBytes(0xFA123456, uint32_t(movie.size()))});
  }
}

class LayoutConverters : public ::testing::Test {
protected:
  TempDir dir;
  RecordingReport report;
  std::string P(const std::string& name) const { return dir / name; }
  void Build(const Bytes& stub, const Bytes& movie, std::optional<L> layout) {
    WriteFileBytes(P("stub"), stub);
    WriteFileBytes(P("m.swf"), movie);
    BuildLayoutProjector(P("m.swf"), P("p"), P("stub"), layout, report);
  }
};

TEST_F(LayoutConverters, EveryLayoutRoundTripsByteForByte) {
  const Bytes own = ReadFileBytes(OwnExecutablePath());
  struct Stub {
    const char* name;
    Bytes bytes;
    L layout;        // what the stub calls for
    bool overrides;  // also built with each --layout (an ELF small enough to copy often)
  } stubs[] = {
      {"this program", own, sizeof(void*) == 8 ? L::Linux64 : L::Linux32, false},
      {"ELF32", SmallElf(32), L::Linux32, true},
      {"ELF64 big-endian", SmallElf(64, true), L::Linux64, true},
      {"PE", MinimalPe(3000), L::Windows, false},
  };
#ifdef _WIN32
  stubs[0].layout = L::Windows;
#endif
  for (const Stub& stub : stubs) {
    for (size_t length : {0, 1, 70000}) {
      for (std::optional<L> layout : {std::optional<L>(), std::optional<L>(L::Linux32), std::optional<L>(L::Linux64),
                                      std::optional<L>(L::Windows)}) {
        if (layout && !stub.overrides) continue;
        SCOPED_TRACE(std::string(stub.name) + ", movie " + std::to_string(length) + ", layout " +
                     (layout ? ProjectorLayoutName(*layout) : "from the stub"));
        const Bytes movie = PatternBytes(length, 7);
        Build(stub.bytes, movie, layout);
        ASSERT_EQ(ReadFileBytes(P("p")), Framed(layout.value_or(stub.layout), stub.bytes, movie));
        ExtractProjectorPart(P("p"), P("back.swf"), TProjectorPart::Movie, report);
        EXPECT_EQ(ReadFileBytes(P("back.swf")), movie);
        ExtractProjectorPart(P("p"), P("back.stub"), TProjectorPart::Stub, report);
        EXPECT_EQ(ReadFileBytes(P("back.stub")), stub.bytes);
        EXPECT_EQ(report.calls.size(), 6u);
        report.calls.clear();
      }
    }
  }
}

TEST_F(LayoutConverters, UnclassifiableStubsNeedALayoutAndLinuxStubsMustEndWithTheirImage) {
  const Bytes movie = PatternBytes(100, 3);
  struct Case {
    Bytes stub;
    std::optional<L> layout;
    std::string error;
  } cases[] = {
      {PatternBytes(500, 1), std::nullopt, "Cannot tell the projector layout of " + P("stub") +
                                               ": neither a PE nor a measurable ELF program"},
      {PatternBytes(500, 1), L::Windows, "(no error)"},
      {PatternBytes(500, 1), L::Linux64, "(no error)"},
      {Framed(L::Linux64, SmallElf(64), movie), std::nullopt, "Stub " + P("stub") + " has 116 bytes after its ELF image"},
      {Framed(L::Linux64, SmallElf(64), movie), L::Linux32, "Stub " + P("stub") + " has 116 bytes after its ELF image"},
      {Framed(L::Linux64, SmallElf(64), movie), L::Windows, "(no error)"},
  };
  for (const Case& c : cases) {
    WriteFileBytes(P("p"), {1, 2, 3});
    EXPECT_EQ(ErrorOf([&] { Build(c.stub, movie, c.layout); }), c.error);
    if (c.error == "(no error)") EXPECT_EQ(ReadFileBytes(P("p")), Framed(*c.layout, c.stub, movie));
    else EXPECT_EQ(ReadFileBytes(P("p")), (Bytes{1, 2, 3}));
  }
  EXPECT_EQ(SortedListing(dir), (std::vector<std::string>{"m.swf", "p", "stub"}));
}

TEST_F(LayoutConverters, NonProjectorsAreReportedAndWriteNothing) {
  WriteFileBytes(P("elf"), Concat({SmallElf(64), {0}, Framed(L::Linux64, {}, PatternBytes(50, 4))}));
  for (TProjectorPart part : {TProjectorPart::Movie, TProjectorPart::Stub}) {
    ExtractProjectorPart(P("elf"), P("out"), part, report);
    EXPECT_EQ(report.calls, ReportedNotFlash);
    report.calls.clear();
  }
  EXPECT_EQ(SortedListing(dir), std::vector<std::string>{"elf"});
}

// A sparse movie of 4 GiB: too long for a 4-byte length, whatever the stub.
TEST_F(LayoutConverters, FourGiBMoviesAreRefusedByTheFourByteLayouts) {
  WriteFileBytes(P("stub"), SmallElf(32));
  {
    TFileStream movie(P("big.swf"), fmCreate);
    movie.SetSize(int64_t{1} << 32);
  }
  for (L layout : {L::Linux32, L::Windows}) {
    EXPECT_EQ(ErrorOf([&] { BuildLayoutProjector(P("big.swf"), P("p"), P("stub"), layout, report); }),
              "Movie too large for a projector (4 GiB or more): " + P("big.swf"));
  }
  EXPECT_EQ(SortedListing(dir), (std::vector<std::string>{"big.swf", "stub"}));
}

}  // namespace
