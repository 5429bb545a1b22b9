// The container layout and the two converters' normal paths and refusals.
#include "convert/Projector.h"

#include <gtest/gtest.h>

#include "framework/core/Streams.h"
#include "tests/convert/ConvertTestUtil.h"

namespace {

TEST(ProjectorLayout, BuildWritesStubMovieTrailerAndExtractGivesTheMovieBack) {
  // Sizes around the copy buffer (61440) and both empty and odd-sized stubs.
  const size_t stubSizes[] = {0, 1, 1000, 61440, 61441, 200000};
  const size_t movieSizes[] = {1, 7, 61439, 122881};
  for (size_t s : stubSizes) {
    for (size_t l : movieSizes) {
      SCOPED_TRACE("stub " + std::to_string(s) + " movie " + std::to_string(l));
      TempDir dir;
      const Bytes stub = PatternBytes(s, 1 + s), movie = PatternBytes(l, 2 + l);
      WriteFileBytes(dir / "stub.dll", stub);
      WriteFileBytes(dir / "a.swf", movie);
      RecordingReport report;
      BuildProjector(dir / "a.swf", dir / "a.exe", dir / "stub.dll", report);
      EXPECT_EQ(report.calls, ReportedSuccess);
      EXPECT_EQ(ReadFileBytes(dir / "a.exe"), Concat({stub, movie, TrailerBytes(0xFA123456, uint32_t(l))}));

      RecordingReport extractReport;
      ExtractMovie(dir / "a.exe", dir / "b.swf", extractReport);
      EXPECT_EQ(extractReport.calls, ReportedSuccess);
      EXPECT_EQ(ReadFileBytes(dir / "b.swf"), movie);
      EXPECT_EQ(SortedListing(dir), (std::vector<std::string>{"a.exe", "a.swf", "b.swf", "stub.dll"}));
    }
  }
}

TEST(ProjectorLayout, TrailerIsMagicThenLengthLittleEndian) {
  TempDir dir;
  WriteFileBytes(dir / "stub.dll", PatternBytes(3, 9));
  WriteFileBytes(dir / "a.swf", PatternBytes(0x011170, 4));
  RecordingReport report;
  BuildProjector(dir / "a.swf", dir / "a.exe", dir / "stub.dll", report);
  const Bytes built = ReadFileBytes(dir / "a.exe");
  ASSERT_EQ(built.size(), 3u + 0x011170 + 8);
  EXPECT_EQ(Bytes(built.end() - 8, built.end()), (Bytes{0x56, 0x34, 0x12, 0xFA, 0x70, 0x11, 0x01, 0x00}));
}

TEST(ProjectorExtract, FindsTheMovieFromTheEndWhateverPrecedesIt) {
  TempDir dir;
  const Bytes movie = PatternBytes(5000, 3);
  // A hand-made container whose "stub" itself ends with a stray magic.
  WriteFileBytes(dir / "p.exe", Concat({TrailerBytes(0xFA123456, 99), movie, TrailerBytes(0xFA123456, 5000)}));
  RecordingReport report;
  ExtractMovie(dir / "p.exe", dir / "m.swf", report);
  EXPECT_EQ(ReadFileBytes(dir / "m.swf"), movie);
  EXPECT_EQ(report.calls, ReportedSuccess);
}

TEST(ProjectorExtract, AContainerUsedAsStubYieldsOnlyTheLastMovie) {
  TempDir dir;
  const Bytes first = PatternBytes(3000, 5), second = PatternBytes(4000, 6);
  WriteFileBytes(dir / "stub.dll", PatternBytes(2000, 7));
  WriteFileBytes(dir / "1.swf", first);
  WriteFileBytes(dir / "2.swf", second);
  RecordingReport report;
  BuildProjector(dir / "1.swf", dir / "1.exe", dir / "stub.dll", report);
  BuildProjector(dir / "2.swf", dir / "2.exe", dir / "1.exe", report);
  EXPECT_EQ(ReadFileBytes(dir / "2.exe").size(), 2000u + 3000 + 8 + 4000 + 8);
  ExtractMovie(dir / "2.exe", dir / "out.swf", report);
  EXPECT_EQ(ReadFileBytes(dir / "out.swf"), second);
}

TEST(ProjectorBuild, AnyFileServesAsMovieAndStub) {
  TempDir dir;
  const Bytes text = {'h', 'e', 'l', 'l', 'o'};
  WriteFileBytes(dir / "notes.txt", text);
  RecordingReport report;
  BuildProjector(dir / "notes.txt", dir / "x.exe", dir / "notes.txt", report);
  EXPECT_EQ(ReadFileBytes(dir / "x.exe"), Concat({text, text, TrailerBytes(0xFA123456, 5)}));
}

TEST(ProjectorExtract, InputsWithoutTheMagicAreNotFlashAndCreateNothing) {
  const Bytes cases[] = {
      PatternBytes(5000, 11),                                   // an ordinary file
      Concat({PatternBytes(100, 12), TrailerBytes(0xFA123457, 10)}),  // near-miss magic
      Concat({PatternBytes(100, 13), TrailerBytes(0x563412FA, 10)}),  // magic in the wrong byte order
      Bytes{0, 0, 0, 0},                                        // 4 to 7 bytes: the magic is read
      Bytes{1, 2, 3, 4, 0x56, 0x34, 0x12},                      // from the first 4 bytes
      Bytes{0x34, 0x12, 0xFA, 0x56, 0x34},
  };
  for (const Bytes& input : cases) {
    SCOPED_TRACE(input.size());
    TempDir dir;
    WriteFileBytes(dir / "in.exe", input);
    RecordingReport report;
    ExtractMovie(dir / "in.exe", dir / "out.swf", report);
    EXPECT_EQ(report.calls, ReportedNotFlash);
    EXPECT_EQ(SortedListing(dir), std::vector<std::string>{"in.exe"});
  }
}

TEST(ProjectorExtract, ShortInputsFailWithAReadError) {
  const Bytes cases[] = {
      Bytes{}, Bytes{0x56}, Bytes{0x56, 0x34, 0x12},  // fewer than 4 bytes: no magic to read
      Bytes{0x56, 0x34, 0x12, 0xFA},                 // the magic, then no room for a length
      Bytes{0x56, 0x34, 0x12, 0xFA, 1, 0, 0},
  };
  for (const Bytes& input : cases) {
    SCOPED_TRACE(input.size());
    TempDir dir;
    WriteFileBytes(dir / "in.exe", input);
    RecordingReport report;
    EXPECT_EQ(ErrorOf([&] { ExtractMovie(dir / "in.exe", dir / "out.swf", report); }), "Stream read error");
    EXPECT_TRUE(report.calls.empty());
    EXPECT_EQ(SortedListing(dir), std::vector<std::string>{"in.exe"});
  }
}

TEST(ProjectorErrors, MissingInputsNameThePathAsPassedIn) {
  TempDir dir;
  WriteFileBytes(dir / "stub.dll", PatternBytes(10, 1));
  WriteFileBytes(dir / "a.swf", PatternBytes(10, 2));
  RecordingReport report;
  const std::string missing = dir / "nothing.exe";
  EXPECT_EQ(ErrorOf([&] { ExtractMovie(missing, dir / "o.swf", report); }), "Cannot open file " + missing);
  EXPECT_EQ(ErrorOf([&] { BuildProjector(missing, dir / "o.exe", dir / "stub.dll", report); }),
            "Cannot open file " + missing);
  const std::string missingStub = dir / "no-stub.dll";
  const std::string message = ErrorOf([&] { BuildProjector(dir / "a.swf", dir / "o.exe", missingStub, report); });
  EXPECT_EQ(ErrorReportText(message), "Cannot open file " + missingStub + ".");
  const std::string noFolder = dir / (std::string("none") + PathSeparator() + "o.exe");
  EXPECT_EQ(ErrorOf([&] { BuildProjector(dir / "a.swf", noFolder, dir / "stub.dll", report); }),
            "Cannot create file " + noFolder);
  EXPECT_TRUE(report.calls.empty());
  // Nothing is left behind, not even an empty output.
  EXPECT_EQ(SortedListing(dir), (std::vector<std::string>{"a.swf", "stub.dll"}));
}

}  // namespace
