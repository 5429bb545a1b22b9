#include "framework/core/AtomicFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "framework/core/SysUtils.h"
#include "tests/support/TestSupport.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

void WriteAll(TStream& stream, const Bytes& bytes) { stream.WriteBuffer(bytes.data(), int64_t(bytes.size())); }

TEST(AtomicFile, TheTargetAppearsOnlyAtCommitAndNoTemporaryRemains) {
  TempDir dir;
  TAtomicFile file(dir / "out.bin");
  WriteAll(file.Stream(), PatternBytes(5000, 1));
  EXPECT_FALSE(PathExists(dir / "out.bin"));
  EXPECT_TRUE(FileExists(file.TempName()));
  EXPECT_EQ(file.TempName().rfind(dir.Path(), 0), 0u) << "temporary file beside the target";
  file.Commit();
  EXPECT_EQ(ReadFileBytes(dir / "out.bin"), PatternBytes(5000, 1));
  EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"out.bin"});
}

TEST(AtomicFile, AnUncommittedFileLeavesTheOldTargetAndNoTemporary) {
  TempDir dir;
  WriteFileBytes(dir / "out.bin", PatternBytes(300, 2));
  {
    TAtomicFile file(dir / "out.bin");
    WriteAll(file.Stream(), PatternBytes(10, 3));
  }
  EXPECT_EQ(ReadFileBytes(dir / "out.bin"), PatternBytes(300, 2));
  EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"out.bin"});
}

TEST(AtomicFile, TwoAtOnceGetDistinctTemporaries) {
  TempDir dir;
  TAtomicFile a(dir / "x"), b(dir / "x");
  EXPECT_NE(a.TempName(), b.TempName());
  WriteAll(a.Stream(), {1});
  WriteAll(b.Stream(), {2, 2});
  a.Commit();
  b.Commit();
  EXPECT_EQ(ReadFileBytes(dir / "x"), (Bytes{2, 2}));
  EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"x"});
}

TEST(AtomicFile, TargetsThatCannotBeReplacedFailAtCommitAndStayIntact) {
  TempDir dir;
  WriteFileBytes(dir / "held", PatternBytes(64, 4));
  std::filesystem::create_directory(dir / "folder");
  {
    TFileStream other(dir / "held", fmOpenRead | fmShareDenyWrite);
    EXPECT_FALSE(TAtomicFile::TargetReplaceable(dir / "held"));
    TAtomicFile file(dir / "held");
    WriteAll(file.Stream(), PatternBytes(10, 5));
    try {
      file.Commit();
      ADD_FAILURE() << "replaced a file held open elsewhere";
    } catch (const EFCreateError& e) {
      EXPECT_EQ(e.Message(), "Cannot create file " + (dir / "held"));
    }
  }
  EXPECT_TRUE(TAtomicFile::TargetReplaceable(dir / "held"));
  EXPECT_TRUE(TAtomicFile::TargetReplaceable(dir / "absent"));
  TAtomicFile onFolder(dir / "folder");
  EXPECT_THROW(onFolder.Commit(), EFCreateError);
  EXPECT_EQ(ReadFileBytes(dir / "held"), PatternBytes(64, 4));
  EXPECT_EQ(ListFolder(dir.Path()).size(), 2u);  // held, folder: no temporaries
}

TEST(AtomicFile, AMissingFolderFailsAtOnceNamingTheTarget) {
  TempDir dir;
  const std::string target = dir / (std::string("no") + PathSeparator() + "out.bin");
  try {
    TAtomicFile file(target);
    ADD_FAILURE() << "created a file in a missing folder";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Cannot create file " + target);
  }
}

TEST(AtomicFile, TemporaryNamesAreNoLongerThanTheTargetsOwn) {
  TempDir dir;
  for (const std::string& name : {std::string("a.swf"), std::string("abcdefghij"), std::string("abcdefghijk"),
                                 std::string(200, 'l')}) {
    TAtomicFile file(dir / name);
    const std::string temp = file.TempName();
    EXPECT_EQ(temp.rfind(dir.Path() + PathSeparator(), 0), 0u) << name;  // in the target's folder
    EXPECT_EQ(temp.find(PathSeparator(), dir.Path().size() + 1), std::string::npos) << name;
    EXPECT_LE(temp.size(), (dir / name).size()) << name;
  }
}

// The longest output the platform allows: a path of 259 characters on Windows (MAX_PATH
// less its terminator; long dropped names reach it), a name of 255 characters elsewhere.
TEST(AtomicFile, ATargetAtThePathLimitIsWritten) {
  TempDir dir;
#ifdef _WIN32
  const size_t nameLength = 259 - dir.Path().size() - 1;
#else
  const size_t nameLength = 255;
#endif
  const std::string target = dir / (std::string(nameLength - 4, 'n') + ".swf");
  TAtomicFile file(target);
  WriteAll(file.Stream(), PatternBytes(100, 8));
  file.Commit();
  EXPECT_EQ(ReadFileBytes(target), PatternBytes(100, 8));
  EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{std::string(nameLength - 4, 'n') + ".swf"});
}

#ifndef _WIN32
TEST(AtomicFile, AReplacedFileKeepsItsPermissions) {
  TempDir dir;
  WriteFileBytes(dir / "f", PatternBytes(8, 7));
  ASSERT_EQ(chmod((dir / "f").c_str(), 0751), 0);
  TAtomicFile file(dir / "f");
  WriteAll(file.Stream(), {9});
  file.Commit();
  struct stat st;
  ASSERT_EQ(stat((dir / "f").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0751u);
}
#endif

}  // namespace
