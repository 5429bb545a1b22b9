#include "framework/core/Streams.h"

#include <gtest/gtest.h>

#include "framework/core/SysUtils.h"
#include "tests/support/TestSupport.h"

namespace {

// A memory stream that records the size of every request and can be told to run dry
// (reads) or fill up (writes) after a number of bytes, like a truncated file or a full disk.
class ProbeStream : public TMemoryStream {
public:
  using TMemoryStream::TMemoryStream;
  std::vector<int64_t> reads, writes;
  int64_t writeLimit = -1;

  int64_t Read(void* buffer, int64_t count) override {
    reads.push_back(count);
    return TMemoryStream::Read(buffer, count);
  }
  int64_t Write(const void* buffer, int64_t count) override {
    writes.push_back(count);
    if (writeLimit >= 0) count = std::min(count, std::max<int64_t>(writeLimit - Position(), 0));
    return TMemoryStream::Write(buffer, count);
  }
};

template <class S>
void ExpectSeekBeforeStartIgnored(S& stream) {
  stream.SetPosition(3);
  EXPECT_EQ(stream.Seek(-4, TSeekOrigin::soCurrent), 3);
  EXPECT_EQ(stream.Seek(-1, TSeekOrigin::soBeginning), 3);
  EXPECT_EQ(stream.Seek(-6, TSeekOrigin::soEnd), 3);  // size 5
  EXPECT_EQ(stream.Seek(-5, TSeekOrigin::soEnd), 0);  // exactly the start is fine
  EXPECT_EQ(stream.Seek(-2, TSeekOrigin::soEnd), 3);
  EXPECT_EQ(stream.Seek(4, TSeekOrigin::soEnd), 9);   // past the end is fine too
  uint8_t b;
  EXPECT_EQ(stream.Read(&b, 1), 0);
}

TEST(StreamSeek, APositionBeforeTheStartIsIgnoredAndThePositionStays) {
  TMemoryStream memory(Bytes{1, 2, 3, 4, 5});
  ExpectSeekBeforeStartIgnored(memory);
  TempDir dir;
  WriteFileBytes(dir / "f", {1, 2, 3, 4, 5});
  TFileStream file(dir / "f", fmOpenRead);
  ExpectSeekBeforeStartIgnored(file);
}

TEST(StreamSeek, FilePositionsAndSizesGoBeyond32Bits) {
  TempDir dir;
  const int64_t far = (int64_t{5} << 30) + 3;  // 5 GiB + 3, sparse
  {
    TFileStream file(dir / "big", fmCreate);
    file.SetSize(far);
    EXPECT_EQ(file.Size(), far);
    EXPECT_EQ(file.Seek(-2, TSeekOrigin::soEnd), far - 2);
    file.WriteUInt32LE(0xA1B2C3D4);
    EXPECT_EQ(file.Position(), far + 2);
  }
  EXPECT_EQ(FileSizeByName(dir / "big"), far + 2);
  TFileStream file(dir / "big", fmOpenRead);
  file.Seek(-4, TSeekOrigin::soEnd);
  EXPECT_EQ(file.ReadUInt32LE(), 0xA1B2C3D4u);
}

TEST(StreamBuffers, ExactReadsAndWritesOrTheStreamErrors) {
  TMemoryStream s;
  s.WriteUInt32LE(0xFA123456);
  EXPECT_EQ(s.Bytes(), (Bytes{0x56, 0x34, 0x12, 0xFA}));
  s.SetPosition(1);
  uint8_t three[3];
  s.ReadBuffer(three, 3);
  EXPECT_EQ(Bytes(three, three + 3), (Bytes{0x34, 0x12, 0xFA}));
  s.SetPosition(1);
  try {
    s.ReadUInt32LE();
    ADD_FAILURE() << "read 4 bytes out of 3";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Stream read error");
  }
  ProbeStream full;
  full.writeLimit = 2;
  try {
    full.WriteUInt32LE(1);
    ADD_FAILURE() << "wrote 4 bytes into room for 2";
  } catch (const EWriteError& e) {
    EXPECT_EQ(e.Message(), "Stream write error");
  }
}

TEST(MemoryStream, WritesPastTheEndGrowItWithZerosAndSetSizeClampsThePosition) {
  TMemoryStream s(Bytes{7, 7});
  s.Seek(2, TSeekOrigin::soEnd);
  const uint8_t nine = 9;
  s.WriteBuffer(&nine, 1);
  EXPECT_EQ(s.Bytes(), (Bytes{7, 7, 0, 0, 9}));
  s.SetSize(3);
  EXPECT_EQ(s.Position(), 3);
  EXPECT_EQ(s.Bytes(), (Bytes{7, 7, 0}));
}

TEST(StreamCopy, OneBufferOfAtMost61440BytesChunksTheCopy) {
  struct Case {
    int64_t count;
    std::vector<int64_t> chunks;
  } cases[] = {
      {1, {1}},
      {100, {100}},
      {61440, {61440}},
      {61441, {61440, 1}},
      {150000, {61440, 61440, 27120}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count);
    ProbeStream source(PatternBytes(200000, 1)), dest;
    source.SetPosition(7);
    EXPECT_EQ(dest.CopyFrom(source, c.count), c.count);
    EXPECT_EQ(source.reads, c.chunks);
    EXPECT_EQ(dest.writes, c.chunks);
    const Bytes all = PatternBytes(200000, 1);
    EXPECT_EQ(dest.Bytes(), Bytes(all.begin() + 7, all.begin() + 7 + c.count));
    EXPECT_EQ(source.Position(), 7 + c.count);
  }
}

TEST(StreamCopy, CountZeroCopiesTheWholeSourceFromItsStart) {
  ProbeStream source(PatternBytes(130000, 2)), dest(Bytes{1, 2, 3});
  source.SetPosition(99999);
  dest.Seek(0, TSeekOrigin::soEnd);
  EXPECT_EQ(dest.CopyFrom(source, 0), 130000);
  EXPECT_EQ(source.reads, (std::vector<int64_t>{61440, 61440, 7120}));
  const Bytes pattern = PatternBytes(130000, 2);
  Bytes expected{1, 2, 3};
  expected.insert(expected.end(), pattern.begin(), pattern.end());
  EXPECT_EQ(dest.Bytes(), expected);

  ProbeStream empty, target;
  EXPECT_EQ(target.CopyFrom(empty, 0), 0);
  EXPECT_TRUE(empty.reads.empty());
  EXPECT_TRUE(target.writes.empty());
}

TEST(StreamCopy, ASourceThatRunsShortFailsAfterTheLastFullChunk) {
  ProbeStream source(PatternBytes(100000, 3)), dest;
  EXPECT_THROW(dest.CopyFrom(source, 130000), EReadError);
  // The first chunk was whole and went out; the second came up short and did not.
  EXPECT_EQ(dest.writes, std::vector<int64_t>{61440});
  EXPECT_EQ(dest.Size(), 61440);
}

TEST(StreamCopy, ADestinationThatFillsUpIsAWriteError) {
  ProbeStream source(PatternBytes(70000, 4)), dest;
  dest.writeLimit = 65000;
  EXPECT_THROW(dest.CopyFrom(source, 0), EWriteError);
  EXPECT_EQ(dest.writes, (std::vector<int64_t>{61440, 8560}));
}

// File to file the bytes may move inside the kernel; the results must be the same.
TEST(StreamCopy, BetweenFilesFromTheSourcesPosition) {
  TempDir dir;
  WriteFileBytes(dir / "src", PatternBytes(200000, 5));
  {
    TFileStream source(dir / "src", fmOpenRead);
    TFileStream dest(dir / "dst", fmCreate);
    const uint8_t mark = 0xEE;
    dest.WriteBuffer(&mark, 1);
    source.SetPosition(1000);
    EXPECT_EQ(dest.CopyFrom(source, 123456), 123456);
    EXPECT_EQ(source.Position(), 1000 + 123456);
    EXPECT_EQ(dest.Position(), 1 + 123456);
    EXPECT_EQ(dest.CopyFrom(source, 0), 200000);  // count 0: all of it, from the start
  }
  const Bytes all = PatternBytes(200000, 5);
  Bytes expected{0xEE};
  expected.insert(expected.end(), all.begin() + 1000, all.begin() + 1000 + 123456);
  expected.insert(expected.end(), all.begin(), all.end());
  EXPECT_EQ(ReadFileBytes(dir / "dst"), expected);
}

TEST(StreamCopy, BetweenFilesAShortSourceAndABadDestinationFailAsWithMemory) {
  TempDir dir;
  WriteFileBytes(dir / "src", PatternBytes(100000, 6));
  {
    TFileStream source(dir / "src", fmOpenRead | fmShareDenyWrite);
    TFileStream dest(dir / "dst", fmCreate);
    EXPECT_THROW(dest.CopyFrom(source, 130000), EReadError);
    TFileStream readOnly(dir / "src", fmOpenRead | fmShareDenyWrite);
    source.SetPosition(0);
    EXPECT_THROW(readOnly.CopyFrom(source, 10), EWriteError);
  }
  EXPECT_EQ(FileSizeByName(dir / "dst"), 61440);  // the full chunk; nothing of the short one
}

// ---- opening: access, creation and sharing ----

TEST(FileStreamOpen, FailuresNameThePathAndCreationModesBehave) {
  TempDir dir;
  const std::string missing = dir / "missing.bin";
  EXPECT_THROW(TFileStream(missing, fmOpenRead), EFOpenError);
  EXPECT_THROW(TFileStream(dir.Path(), fmOpenRead), EFOpenError);  // a folder
  try {
    TFileStream(missing, fmOpenReadWrite);
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file " + missing);
  }
  const std::string inMissingFolder = dir / (std::string("no") + PathSeparator() + "x");
  try {
    TFileStream(inMissingFolder, fmCreate);
    ADD_FAILURE() << "created a file in a missing folder";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Cannot create file " + inMissingFolder);
  }

  WriteFileBytes(dir / "f", PatternBytes(100, 6));
  EXPECT_THROW(TFileStream(dir / "f", fmCreateNew), EFCreateError);
  EXPECT_EQ(ReadFileBytes(dir / "f"), PatternBytes(100, 6));
  { TFileStream truncated(dir / "f", fmCreate); EXPECT_EQ(truncated.Size(), 0); }
  EXPECT_EQ(FileSizeByName(dir / "f"), 0);
}

TEST(FileStreamOpen, AccessModesLimitReadsAndWrites) {
  TempDir dir;
  WriteFileBytes(dir / "f", {1, 2, 3});
  uint8_t b = 0;
  {
    TFileStream readOnly(dir / "f", fmOpenRead);
    EXPECT_THROW(readOnly.WriteBuffer(&b, 1), EWriteError);
    readOnly.ReadBuffer(&b, 1);
    EXPECT_EQ(b, 1);
  }
  {
    TFileStream writeOnly(dir / "f", fmOpenWrite);
    EXPECT_EQ(writeOnly.Read(&b, 1), 0);
    b = 9;
    writeOnly.WriteBuffer(&b, 1);
  }
  EXPECT_EQ(ReadFileBytes(dir / "f"), (Bytes{9, 2, 3}));  // opening for write never truncates
}

TEST(FileStreamOpen, ShareModesDecideWhoMayOpenAFileAlreadyOpen) {
  struct Case {
    uint32_t first, second;
    bool secondOpens;
  } cases[] = {
      {fmOpenRead, fmOpenRead, false},  // compat: no sharing at all
      {fmOpenRead | fmShareExclusive, fmOpenRead | fmShareDenyNone, false},
      {fmOpenRead | fmShareDenyNone, fmOpenRead, false},
      {fmOpenReadWrite | fmShareDenyWrite, fmOpenRead | fmShareDenyWrite, false},
      {fmOpenRead | fmShareDenyWrite, fmOpenRead | fmShareDenyWrite, true},
      {fmOpenRead | fmShareDenyNone, fmOpenRead | fmShareDenyNone, true},
      {fmOpenRead | fmShareDenyWrite, fmCreate, false},
      {fmCreate, fmOpenRead | fmShareDenyNone, false},
  };
  TempDir dir;
  const std::string path = dir / "shared";
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.first) + " then " + std::to_string(c.second));
    WriteFileBytes(path, PatternBytes(32, 7));
    {
      TFileStream first(path, c.first);
      bool opened = true;
      try {
        TFileStream second(path, c.second);
      } catch (const EStreamError& e) {
        opened = false;
        const char* expected = (c.second & 0xFF00) ? "Cannot create file " : "Cannot open file ";
        EXPECT_EQ(e.Message(), expected + path);
      }
      EXPECT_EQ(opened, c.secondOpens);
    }
    if ((c.first & 0xFF00) == 0) {
      EXPECT_EQ(ReadFileBytes(path), PatternBytes(32, 7)) << "a refused create truncated";
    }
    TFileStream again(path, c.second);  // closing the first lets anybody in
  }
}

}  // namespace
