#include "framework/core/AtomicFile.h"

#include <atomic>

#include "framework/core/SysUtils.h"

#ifdef _WIN32
#include <windows.h>
static unsigned long ProcessId() { return GetCurrentProcessId(); }
// Windows keeps no permission bits that a replacement would lose.
static void KeepPermissions(const std::string&, const std::string&) {}
#else
#include <sys/stat.h>
#include <unistd.h>
static unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }
// rename() gives the target the temporary file's mode; an overwritten file keeps its own.
static void KeepPermissions(const std::string& from, const std::string& to) {
  struct stat st;
  if (stat(to.c_str(), &st) == 0) chmod(from.c_str(), st.st_mode & 07777);
}
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

bool TAtomicFile::TargetReplaceable(const std::string& target) {
  if (!FileExists(target)) return true;  // a folder there makes the move itself fail
  try {
    TFileStream probe(target, fmOpenWrite | fmShareExclusive);
    return true;
  } catch (const EFOpenError&) {
    return false;
  }
}

// MoveFileExA already refuses a target held open unshared (ERROR_ACCESS_DENIED, on Windows
// and Wine alike), but POSIX rename() ignores our advisory locks: the probe refuses such a
// target on both, as CREATE_ALWAYS would.
void TAtomicFile::Commit() {
  stream_.reset();
  committed_ = true;  // the temporary file is moved or removed below
  KeepPermissions(tempName_, target_);
  if (!TargetReplaceable(target_) || !MoveFileReplacing(tempName_, target_)) {
    RemoveFileQuietly(tempName_);
    throw EFCreateError(target_);
  }
}
