// An output file that appears under its name only once it is complete: the data goes to
// a temporary file beside the target ("~vt" + 4 hex digits + ".tmp", shorter for a target
// with a short name, so a target at the path length limit works), which Commit moves over
// the target. If the object dies uncommitted (an error on the way), the temporary file is
// removed and whatever was at the target before is left untouched.
#pragma once

#include <memory>
#include <string>

#include "framework/core/Streams.h"

class TAtomicFile {
public:
  // Creates the temporary file; EFCreateError naming TARGET when that is impossible.
  explicit TAtomicFile(const std::string& target);
  ~TAtomicFile();
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;

  TStream& Stream() { return *stream_; }
  const std::string& TempName() const { return tempName_; }

  // Closes the data and moves it over the target; EFCreateError naming the target when
  // the target is in use, read-only or a folder (the temporary file is then removed).
  // Every stream on the target must be closed first: like Windows, we refuse to replace
  // a file that is held open unshared.
  void Commit();

  // Whether TARGET is absent, or present and could be opened for writing unshared now:
  // what creating it with CREATE_ALWAYS would need, without truncating it.
  static bool TargetReplaceable(const std::string& target);

private:
  std::string target_;
  std::string tempName_;
  std::unique_ptr<TFileStream> stream_;
  bool committed_ = false;
};
