#include "framework/core/AtomicFile.h"

#include <atomic>
#include <chrono>

#include "framework/core/SysUtils.h"

#ifdef _WIN32
#include <windows.h>
static unsigned long ProcessId() { return GetCurrentProcessId(); }
static const char* const kSeparators = "\\/:";
// Windows keeps no permission bits that a replacement would lose.
static void KeepPermissions(const std::string&, const std::string&) {}
#else
#include <sys/stat.h>
#include <unistd.h>
static unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }
static const char* const kSeparators = "/";
// rename() gives the target the temporary file's mode; an overwritten file keeps its own.
static void KeepPermissions(const std::string& from, const std::string& to) {
  struct stat st;
  if (stat(to.c_str(), &st) == 0) chmod(from.c_str(), st.st_mode & 07777);
}
#endif

namespace {

// Differs between processes, so that two programs writing into one folder seldom try the
// same names.
unsigned TempSeed() {
  const auto ticks = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  return static_cast<unsigned>(ProcessId() * 2654435761u ^ ticks ^ (ticks >> 32));
}

std::string Hex4(unsigned value) {
  std::string text(4, '0');
  for (int i = 3; i >= 0; --i, value >>= 4) text[static_cast<size_t>(i)] = "0123456789abcdef"[value & 15];
  return text;
}

// A temporary name in TARGET's folder that is no longer than TARGET's own name when that
// has at least 5 characters: a target whose path is at the platform's limit (259 characters
// on Windows, 255 for one name elsewhere) must not fail for the sake of its temporary file.
std::string TempNameFor(const std::string& target) {
  static const unsigned seed = TempSeed();
  static std::atomic<unsigned> serial{0};
  // An odd step runs through all 65536 values before one comes back.
  const std::string hex = Hex4((seed + serial++ * 40503u) & 0xFFFF);
  const size_t folderEnd = target.find_last_of(kSeparators) + 1;  // 0 when there is no folder
  const std::string name = target.size() - folderEnd >= 11 ? "~vt" + hex + ".tmp" : "~" + hex;
  return target.substr(0, folderEnd) + name;
}

}  // namespace

// The temporary name sits in the target's folder, so the final move never crosses
// volumes; fmCreateNew makes sure an existing file is never taken over.
TAtomicFile::TAtomicFile(const std::string& target) : target_(target) {
  for (int attempt = 0; attempt < 16 && !stream_; ++attempt) {
    tempName_ = TempNameFor(target);
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
