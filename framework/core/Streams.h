// Byte streams: the abstract stream with its buffered copy, a file stream over the
// platform's file handles, and a memory stream.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
  // The copy buffer is never larger than this, whatever the count.
  static constexpr int64_t MaxBufferSize = 61440;

  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;
  virtual ~TStream() = default;

  // Each returns the number of bytes actually transferred (0 at the end).
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // Returns the new position. A target before the start is ignored: the position stays.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  virtual int64_t Size();
  virtual void SetSize(int64_t size) = 0;

  int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(int64_t position) { Seek(position, TSeekOrigin::soBeginning); }

  // Read or write exactly COUNT bytes, else EReadError / EWriteError.
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
  uint32_t ReadUInt32LE();
  void WriteUInt32LE(uint32_t value);

  // Copies COUNT bytes from SOURCE's position to this stream's position through one
  // buffer of min(COUNT, MaxBufferSize) bytes; each chunk is read and written in full.
  // COUNT 0 copies the whole source from its start. Returns the bytes copied.
  int64_t CopyFrom(TStream& source, int64_t count);

protected:
  // Lets a stream move COUNT bytes from SOURCE without the copy buffer (in the kernel),
  // with CopyFrom's results; false when it cannot, and CopyFrom then uses the buffer.
  virtual bool CopyDirectFrom(TStream& /*source*/, int64_t /*count*/) { return false; }
};

// File modes: one of the open modes or a create mode, combined with one share mode.
enum : uint32_t {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareCompat = 0x0000,     // no sharing, like fmShareExclusive
  fmShareExclusive = 0x0010,
  fmShareDenyWrite = 0x0020,
  fmShareDenyRead = 0x0030,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFF00,          // read/write; creates the file or truncates an existing one
  fmCreateNew = 0xFE00,       // read/write; fails if the file exists
};

// A stream over an open file. Opening fails with EFOpenError (open modes) or
// EFCreateError (create modes), naming the path as it was passed in.
class TFileStream : public TStream {
public:
  TFileStream(const std::string& fileName, uint32_t mode);
  ~TFileStream() override;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t size) override;

  const std::string& FileName() const { return fileName_; }

protected:
  bool CopyDirectFrom(TStream& source, int64_t count) override;

private:
  std::string fileName_;
#ifdef _WIN32
  void* handle_;
#else
  int fd_;
#endif
};

// A stream over a growable block of memory.
class TMemoryStream : public TStream {
public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(data_.size()); }
  void SetSize(int64_t size) override;

  const uint8_t* Memory() const { return data_.data(); }
  const std::vector<uint8_t>& Bytes() const { return data_; }

private:
  std::vector<uint8_t> data_;
  int64_t position_ = 0;
};
