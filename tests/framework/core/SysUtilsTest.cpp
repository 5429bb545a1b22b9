#include "framework/core/SysUtils.h"

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

namespace {

TEST(ErrorReportText, AppendsAFullStopOnlyAfterCharactersSortingAfterIt) {
  struct Case {
    std::string message, shown;
  } cases[] = {
      {"", ""},
      {"Stream read error", "Stream read error."},
      {"Done.", "Done."},
      {"Why?", "Why?."},   // '?' (0x3F) sorts after '.'
      {"Stop!", "Stop!"},  // '!' (0x21) before it
      {"a-", "a-"},        // '-' (0x2D), just before
      {"a/", "a/."},       // '/' (0x2F), just after
      {"x 9", "x 9."},
      {"trailing ", "trailing "},
      {"C:\\films\\x)", "C:\\films\\x)"},
      {"caf\xE9", "caf\xE9."},  // bytes above 0x7F compare unsigned
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorReportText(c.message), c.shown) << c.message;
}

TEST(StreamErrors, MessagesNameThePathAsPassedIn) {
  EXPECT_EQ(EFOpenError("rel\\a.exe").Message(), "Cannot open file rel\\a.exe");
  EXPECT_EQ(EFCreateError("C:/x y.swf").Message(), "Cannot create file C:/x y.swf");
  EXPECT_EQ(EReadError().Message(), "Stream read error");
  EXPECT_EQ(EWriteError().Message(), "Stream write error");
  EXPECT_STREQ(EReadError().what(), "Stream read error");
}

TEST(FileHelpers, ExistenceSizeRemovalAndReplacingMove) {
  TempDir dir;
  WriteFileBytes(dir / "a", PatternBytes(1234, 1));
  WriteFileBytes(dir / "b", PatternBytes(10, 2));
  EXPECT_TRUE(FileExists(dir / "a"));
  EXPECT_FALSE(FileExists(dir / "missing"));
  EXPECT_FALSE(FileExists(dir.Path()));  // a folder is not a file
  EXPECT_EQ(FileSizeByName(dir / "a"), 1234);
  EXPECT_EQ(FileSizeByName(dir / "missing"), -1);

  EXPECT_TRUE(MoveFileReplacing(dir / "a", dir / "b"));
  EXPECT_FALSE(FileExists(dir / "a"));
  EXPECT_EQ(ReadFileBytes(dir / "b"), PatternBytes(1234, 1));
  EXPECT_FALSE(MoveFileReplacing(dir / "missing", dir / "c"));

  RemoveFileQuietly(dir / "b");
  RemoveFileQuietly(dir / "b");  // already gone: still quiet
  EXPECT_TRUE(ListFolder(dir.Path()).empty());
}

}  // namespace
