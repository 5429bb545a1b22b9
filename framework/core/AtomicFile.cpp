#include "framework/core/AtomicFile.h"

#include <atomic>

#include "framework/core/SysUtils.h"

#ifdef _WIN32
#include <windows.h>
static unsigned long ProcessId() { return GetCurrentProcessId(); }
#else
#include <unistd.h>
static unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }
#endif

// The temporary name sits in the target's folder, so the final move never crosses
// volumes; fmCreateNew makes sure an existing file is never taken over.
TAtomicFile::TAtomicFile(const std::string& target) : target_(target) {
  static std::atomic<unsigned> serial{0};
  for (int attempt = 0; attempt < 16 && !stream_; ++attempt) {
    tempName_ = target + ".~" + std::to_string(ProcessId()) + "-" + std::to_string(serial++);
    try {
      stream_ = std::make_unique<TFileStream>(tempName_, fmCreateNew);
    } catch (const EFCreateError&) {
      if (!FileExists(tempName_)) break;  // not a name clash: the folder refuses us
    }
  }
  if (!stream_) throw EFCreateError(target);
}

TAtomicFile::~TAtomicFile() {
  if (committed_) return;
  stream_.reset();
  RemoveFileQuietly(tempName_);
}

void TAtomicFile::Commit() {
  stream_.reset();
  if (!MoveFileReplacing(tempName_, target_)) {
    RemoveFileQuietly(tempName_);
    committed_ = true;  // nothing left to clean up
    throw EFCreateError(target_);
  }
  committed_ = true;
}
