#include "convert/Projector.h"

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

namespace {

struct RecordingReport : IConvertReport {
  std::vector<std::string> calls;
  void SetReportText(const std::string& text) override { calls.push_back("text:" + text); }
  void ShowReport() override { calls.push_back("show"); }
};

TEST(ProjectorRoundTrip, BuildThenExtractGivesTheMovieBack) {
  TempDir dir;
  const Bytes stub = PatternBytes(1000, 1), movie = PatternBytes(70000, 2);
  WriteFileBytes(dir / "stub.dll", stub);
  WriteFileBytes(dir / "a.swf", movie);
  RecordingReport report;
  BuildProjector(dir / "a.swf", dir / "a.exe", dir / "stub.dll", report);
  Bytes built = ReadFileBytes(dir / "a.exe");
  ASSERT_EQ(built.size(), stub.size() + movie.size() + 8);
  EXPECT_EQ(Bytes(built.end() - 8, built.end()), (Bytes{0x56, 0x34, 0x12, 0xFA, 0x70, 0x11, 0x01, 0x00}));
  ExtractMovie(dir / "a.exe", dir / "b.swf", report);
  EXPECT_EQ(ReadFileBytes(dir / "b.swf"), movie);
  EXPECT_EQ(report.calls, (std::vector<std::string>{"text:Convert Success.", "show", "text:Convert Success.", "show"}));
}

}  // namespace
