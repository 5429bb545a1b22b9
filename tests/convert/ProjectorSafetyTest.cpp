// What a failed conversion leaves on disk, trailers that lie about the movie, files in
// use by someone else, and sizes beyond 32 bits (sparse files, so nothing big is written).
#include "convert/Projector.h"

#include <gtest/gtest.h>

#include "framework/core/Streams.h"
#include "tests/convert/ConvertTestUtil.h"

namespace {

constexpr int64_t FourGiB = int64_t{1} << 32;

class ProjectorSafety : public ::testing::Test {
protected:
  TempDir dir;
  RecordingReport report;
  const Bytes oldOutput = PatternBytes(777, 42);
  const Bytes stub = PatternBytes(1500, 1), movie = PatternBytes(90000, 2);

  void SetUp() override {
    WriteFileBytes(dir / "stub.dll", stub);
    WriteFileBytes(dir / "a.swf", movie);
    WriteFileBytes(dir / "old.out", oldOutput);
  }
  void ExpectUntouched(const std::vector<std::string>& listing) {
    EXPECT_EQ(ReadFileBytes(dir / "old.out"), oldOutput);
    EXPECT_EQ(SortedListing(dir), listing);
    EXPECT_TRUE(report.calls.empty());
  }
  const std::vector<std::string> initial{"a.swf", "old.out", "stub.dll"};
};

TEST_F(ProjectorSafety, TrailerLengthBeyondTheFileIsAReadErrorAndWritesNothing) {
  // stub 0 + movie 100: a length of 100 fits exactly, 101 is one byte too many.
  const Bytes body = PatternBytes(100, 5);
  WriteFileBytes(dir / "fits.exe", Concat({body, TrailerBytes(0xFA123456, 100)}));
  ExtractMovie(dir / "fits.exe", dir / "fits.swf", report);
  EXPECT_EQ(ReadFileBytes(dir / "fits.swf"), body);
  report.calls.clear();

  for (uint32_t length : {101u, 5000u, 0x7FFFFFF8u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(length);
    WriteFileBytes(dir / "bad.exe", Concat({body, TrailerBytes(0xFA123456, length)}));
    EXPECT_EQ(ErrorOf([&] { ExtractMovie(dir / "bad.exe", dir / "old.out", report); }), "Stream read error");
    ExpectUntouched({"a.swf", "bad.exe", "fits.exe", "fits.swf", "old.out", "stub.dll"});
  }
}

TEST_F(ProjectorSafety, ZeroLengthTrailerIsNotFlashAndWritesNothing) {
  WriteFileBytes(dir / "zero.exe", Concat({PatternBytes(300, 6), TrailerBytes(0xFA123456, 0)}));
  ExtractMovie(dir / "zero.exe", dir / "old.out", report);
  EXPECT_EQ(report.calls, ReportedNotFlash);
  report.calls.clear();
  ExpectUntouched({"a.swf", "old.out", "stub.dll", "zero.exe"});
}

TEST_F(ProjectorSafety, AnEmptyMovieBuildsAContainerThatExtractsAsNotFlash) {
  WriteFileBytes(dir / "empty.swf", {});
  BuildProjector(dir / "empty.swf", dir / "e.exe", dir / "stub.dll", report);
  EXPECT_EQ(ReadFileBytes(dir / "e.exe"), Concat({stub, TrailerBytes(0xFA123456, 0)}));
  report.calls.clear();
  ExtractMovie(dir / "e.exe", dir / "e.swf", report);
  EXPECT_EQ(report.calls, ReportedNotFlash);
  EXPECT_FALSE(PathExists(dir / "e.swf"));
}

TEST_F(ProjectorSafety, FailedBuildsLeaveAnExistingOutputIntact) {
  EXPECT_EQ(ErrorOf([&] { BuildProjector(dir / "a.swf", dir / "old.out", dir / "none.dll", report); }),
            "Cannot open file " + (dir / "none.dll"));
  ExpectUntouched(initial);
  EXPECT_EQ(ErrorOf([&] { BuildProjector(dir / "none.swf", dir / "old.out", dir / "stub.dll", report); }),
            "Cannot open file " + (dir / "none.swf"));
  ExpectUntouched(initial);
}

TEST_F(ProjectorSafety, SuccessOverwritesALargerExistingOutputExactly) {
  WriteFileBytes(dir / "old.out", PatternBytes(500000, 3));
  const Bytes body = PatternBytes(10, 4);
  WriteFileBytes(dir / "small.exe", Concat({body, TrailerBytes(0xFA123456, 4)}));
  ExtractMovie(dir / "small.exe", dir / "old.out", report);
  EXPECT_EQ(ReadFileBytes(dir / "old.out"), Bytes(body.end() - 4, body.end()));
  BuildProjector(dir / "a.swf", dir / "old.out", dir / "stub.dll", report);
  EXPECT_EQ(ReadFileBytes(dir / "old.out"), Concat({stub, movie, TrailerBytes(0xFA123456, 90000)}));
  EXPECT_EQ(report.calls.size(), 4u);
}

TEST_F(ProjectorSafety, OutputSameAsInputIsReplacedOnlyOnSuccess) {
  // Failures first: the input must survive them.
  const Bytes badContainer = Concat({PatternBytes(50, 8), TrailerBytes(0xFA123456, 51)});
  WriteFileBytes(dir / "self.exe", badContainer);
  EXPECT_EQ(ErrorOf([&] { ExtractMovie(dir / "self.exe", dir / "self.exe", report); }), "Stream read error");
  EXPECT_EQ(ReadFileBytes(dir / "self.exe"), badContainer);
  EXPECT_NE(ErrorOf([&] { BuildProjector(dir / "a.swf", dir / "a.swf", dir / "none.dll", report); }), "(no error)");
  EXPECT_EQ(ReadFileBytes(dir / "a.swf"), movie);
  EXPECT_TRUE(report.calls.empty());

  BuildProjector(dir / "a.swf", dir / "a.swf", dir / "stub.dll", report);
  EXPECT_EQ(ReadFileBytes(dir / "a.swf"), Concat({stub, movie, TrailerBytes(0xFA123456, 90000)}));
  ExtractMovie(dir / "a.swf", dir / "a.swf", report);
  EXPECT_EQ(ReadFileBytes(dir / "a.swf"), movie);
  EXPECT_EQ(report.calls, (std::vector<std::string>{"text:Convert Success.", "show", "text:Convert Success.", "show"}));
  EXPECT_EQ(SortedListing(dir), (std::vector<std::string>{"a.swf", "old.out", "self.exe", "stub.dll"}));
}

// Files held open by another stream with no sharing, as another program would hold them.
TEST_F(ProjectorSafety, FilesInUseElsewhereFailAndStayIntact) {
  BuildProjector(dir / "a.swf", dir / "p.exe", dir / "stub.dll", report);
  report.calls.clear();
  const Bytes container = ReadFileBytes(dir / "p.exe");
  {
    TFileStream held(dir / "p.exe", fmOpenRead | fmShareExclusive);
    EXPECT_EQ(ErrorOf([&] { ExtractMovie(dir / "p.exe", dir / "m.swf", report); }), "Cannot open file " + (dir / "p.exe"));
    EXPECT_EQ(ErrorOf([&] { BuildProjector(dir / "a.swf", dir / "p.exe", dir / "stub.dll", report); }),
              "Cannot create file " + (dir / "p.exe"));
    // The output is judged first, as when it is created before any input is opened.
    EXPECT_EQ(ErrorOf([&] { BuildProjector(dir / "a.swf", dir / "p.exe", dir / "none.dll", report); }),
              "Cannot create file " + (dir / "p.exe"));
  }
  {
    TFileStream held(dir / "old.out", fmOpenRead);
    EXPECT_EQ(ErrorOf([&] { ExtractMovie(dir / "p.exe", dir / "old.out", report); }),
              "Cannot create file " + (dir / "old.out"));
  }
  {
    TFileStream held(dir / "stub.dll", fmOpenReadWrite | fmShareDenyWrite);
    EXPECT_EQ(ErrorOf([&] { BuildProjector(dir / "a.swf", dir / "q.exe", dir / "stub.dll", report); }),
              "Cannot open file " + (dir / "stub.dll"));
  }
  EXPECT_EQ(ReadFileBytes(dir / "p.exe"), container);
  ExpectUntouched({"a.swf", "old.out", "p.exe", "stub.dll"});
}

// A 4 GiB stub, then a small movie: the movie lies beyond every 32-bit position.
TEST_F(ProjectorSafety, MoviesBeyondFourGiBOfStubExtract) {
  {
    TFileStream container(dir / "big.exe", fmCreate);
    container.SetSize(FourGiB + 123);
    container.Seek(0, TSeekOrigin::soEnd);
    container.WriteBuffer(movie.data(), int64_t(movie.size()));
    container.WriteUInt32LE(ProjectorMagic);
    container.WriteUInt32LE(uint32_t(movie.size()));
  }
  ExtractMovie(dir / "big.exe", dir / "m.swf", report);
  EXPECT_EQ(ReadFileBytes(dir / "m.swf"), movie);
  EXPECT_EQ(report.calls, ReportedSuccess);
}

TEST_F(ProjectorSafety, MoviesOfFourGiBAreRefusedBeforeAnythingIsCreated) {
  {
    TFileStream huge(dir / "huge.swf", fmCreate);
    huge.SetSize(FourGiB);
  }
  const std::string message = ErrorOf([&] { BuildProjector(dir / "huge.swf", dir / "old.out", dir / "stub.dll", report); });
  EXPECT_NE(message.find("4 GiB"), std::string::npos) << message;
  EXPECT_NE(message.find(dir / "huge.swf"), std::string::npos) << message;
  ExpectUntouched({"a.swf", "huge.swf", "old.out", "stub.dll"});
}

}  // namespace
