#include "framework/core/Streams.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "framework/core/StrUtils.h"
#include "framework/core/SysUtils.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

// ---- TStream ----

int64_t TStream::Size() {
  int64_t here = Position();
  int64_t size = Seek(0, TSeekOrigin::soEnd);
  SetPosition(here);
  return size;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError();
}

uint32_t TStream::ReadUInt32LE() {
  uint8_t b[4];
  ReadBuffer(b, 4);
  return LoadUInt32LE(b);
}

void TStream::WriteUInt32LE(uint32_t value) {
  const uint8_t b[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
  WriteBuffer(b, 4);
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  if (count <= 0) return 0;
  if (CopyDirectFrom(source, count)) return count;
  const int64_t bufferSize = std::min(count, MaxBufferSize);
  std::unique_ptr<uint8_t[]> buffer(new uint8_t[bufferSize]);
  for (int64_t left = count; left > 0;) {
    const int64_t chunk = std::min(left, bufferSize);
    source.ReadBuffer(buffer.get(), chunk);
    WriteBuffer(buffer.get(), chunk);
    left -= chunk;
  }
  return count;
}

// ---- TFileStream ----

static bool IsCreateMode(uint32_t mode) { return (mode & 0xFF00) != 0; }

#ifdef _WIN32

static DWORD DesiredAccess(uint32_t mode) {
  if (IsCreateMode(mode)) return GENERIC_READ | GENERIC_WRITE;
  switch (mode & 3) {
    case fmOpenWrite: return GENERIC_WRITE;
    case fmOpenReadWrite: return GENERIC_READ | GENERIC_WRITE;
    default: return GENERIC_READ;
  }
}

static DWORD ShareMode(uint32_t mode) {
  switch (mode & 0xF0) {
    case fmShareDenyWrite: return FILE_SHARE_READ;
    case fmShareDenyRead: return FILE_SHARE_WRITE;
    case fmShareDenyNone: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    default: return 0;  // compat and exclusive: nobody else may open the file meanwhile
  }
}

static DWORD Disposition(uint32_t mode) {
  if (!IsCreateMode(mode)) return OPEN_EXISTING;
  return (mode & 0xFF00) == fmCreateNew ? CREATE_NEW : CREATE_ALWAYS;
}

TFileStream::TFileStream(const std::string& fileName, uint32_t mode) : fileName_(fileName) {
  handle_ = CreateFileA(fileName.c_str(), DesiredAccess(mode), ShareMode(mode), nullptr,
                        Disposition(mode), FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) {
    if (IsCreateMode(mode)) throw EFCreateError(fileName);
    throw EFOpenError(fileName);
  }
}

TFileStream::~TFileStream() { CloseHandle(handle_); }

// ReadFile and WriteFile take 32-bit counts: large requests go in slices.
static constexpr int64_t MaxIoSlice = 1 << 30;

int64_t TFileStream::Read(void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    DWORD got = 0;
    DWORD ask = static_cast<DWORD>(std::min(count - done, MaxIoSlice));
    if (!ReadFile(handle_, static_cast<char*>(buffer) + done, ask, &got, nullptr) || got == 0) break;
    done += got;
  }
  return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    DWORD put = 0;
    DWORD ask = static_cast<DWORD>(std::min(count - done, MaxIoSlice));
    if (!WriteFile(handle_, static_cast<const char*>(buffer) + done, ask, &put, nullptr) || put == 0) break;
    done += put;
  }
  return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  static const DWORD methods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
  LARGE_INTEGER distance, result;
  distance.QuadPart = offset;
  // A target before the start fails with ERROR_NEGATIVE_SEEK and leaves the position.
  if (!SetFilePointerEx(handle_, distance, &result, methods[static_cast<int>(origin)])) {
    distance.QuadPart = 0;
    SetFilePointerEx(handle_, distance, &result, FILE_CURRENT);
  }
  return result.QuadPart;
}

bool TFileStream::CopyDirectFrom(TStream&, int64_t) { return false; }

void TFileStream::SetSize(int64_t size) {
  int64_t here = Position();
  SetPosition(size);
  if (!SetEndOfFile(handle_)) throw EWriteError();
  if (here < size) SetPosition(here);
}

#else

static int OpenFlags(uint32_t mode) {
  if (IsCreateMode(mode)) return O_RDWR | O_CREAT | ((mode & 0xFF00) == fmCreateNew ? O_EXCL : 0);
  switch (mode & 3) {
    case fmOpenWrite: return O_WRONLY;
    case fmOpenReadWrite: return O_RDWR;
    default: return O_RDONLY;
  }
}

// The nearest POSIX match for Win32 share modes: every stream of ours takes an advisory
// lock, shared when the mode lets others in alongside it, else exclusive. Two streams
// that Windows would not let hold the same file at once then do not here either.
static int LockFor(uint32_t mode) {
  const bool readOnly = !IsCreateMode(mode) && (mode & 3) == fmOpenRead;
  switch (mode & 0xF0) {
    case fmShareDenyNone: return LOCK_SH;
    case fmShareDenyWrite: return readOnly ? LOCK_SH : LOCK_EX;
    default: return LOCK_EX;
  }
}

TFileStream::TFileStream(const std::string& fileName, uint32_t mode) : fileName_(fileName) {
  fd_ = ::open(fileName.c_str(), OpenFlags(mode) | O_CLOEXEC, 0666);
  struct stat st;
  bool ok = fd_ >= 0 && fstat(fd_, &st) == 0 && !S_ISDIR(st.st_mode);
  if (ok) ok = flock(fd_, LockFor(mode) | LOCK_NB) == 0;
  // Truncate only once the lock is held, as CREATE_ALWAYS leaves a file in use intact.
  if (ok && (mode & 0xFF00) == fmCreate) ok = ftruncate(fd_, 0) == 0;
  if (!ok) {
    if (fd_ >= 0) ::close(fd_);
    if (IsCreateMode(mode)) throw EFCreateError(fileName);
    throw EFOpenError(fileName);
  }
}

TFileStream::~TFileStream() { ::close(fd_); }

int64_t TFileStream::Read(void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    ssize_t got = ::read(fd_, static_cast<char*>(buffer) + done, static_cast<size_t>(count - done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += got;
  }
  return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    ssize_t put = ::write(fd_, static_cast<const char*>(buffer) + done, static_cast<size_t>(count - done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) break;
    done += put;
  }
  return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  static const int whences[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  // A target before the start fails with EINVAL and leaves the position, as on Win32.
  off_t result = ::lseek(fd_, static_cast<off_t>(offset), whences[static_cast<int>(origin)]);
  if (result < 0) result = ::lseek(fd_, 0, SEEK_CUR);
  return result;
}

// File to file, copy_file_range moves the data inside the kernel (as cat does) with no
// buffer of ours at all, in large slices: the 61440-byte chunks would cost 10-25% of the
// speed in system calls. Only a source known to hold COUNT more bytes goes this way, so
// no chunk can come up short: a short source takes the buffered path, which writes
// nothing of a chunk it cannot fill.
static constexpr int64_t DirectCopySlice = int64_t{1} << 30;

bool TFileStream::CopyDirectFrom(TStream& source, int64_t count) {
  auto* file = dynamic_cast<TFileStream*>(&source);
  if (!file || file->Size() - file->Position() < count) return false;
  for (int64_t left = count; left > 0;) {
    const ssize_t moved = copy_file_range(file->fd_, nullptr, fd_, nullptr, size_t(std::min(left, DirectCopySlice)), 0);
    if (moved < 0 && errno == EINTR) continue;
    if (moved < 0 && left == count && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
                                       errno == EBADF))
      return false;  // not possible between these two files (write-only source, old kernel...)
    if (moved < 0 && (errno == ENOSPC || errno == EDQUOT || errno == EFBIG)) throw EWriteError();
    if (moved <= 0) throw EReadError();  // the source shrank meanwhile, or could not be read
    left -= moved;
  }
  return true;
}

void TFileStream::SetSize(int64_t size) {
  if (ftruncate(fd_, static_cast<off_t>(size)) != 0) throw EWriteError();
  if (Position() > size) SetPosition(size);
}

#endif

// ---- TMemoryStream ----

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  int64_t n = std::clamp<int64_t>(Size() - position_, 0, std::max<int64_t>(count, 0));
  if (n > 0) std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (position_ + count > Size()) data_.resize(static_cast<size_t>(position_ + count));
  std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
  position_ += count;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int64_t base = origin == TSeekOrigin::soBeginning ? 0 : origin == TSeekOrigin::soCurrent ? position_ : Size();
  if (base + offset >= 0) position_ = base + offset;
  return position_;
}

void TMemoryStream::SetSize(int64_t size) {
  data_.resize(static_cast<size_t>(std::max<int64_t>(size, 0)));
  position_ = std::min(position_, Size());
}
