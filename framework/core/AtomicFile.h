// An output file that appears under its name only once it is complete: the data goes to
// a temporary file beside the target, which Commit moves over the target. If the object
// dies uncommitted (an error on the way), the temporary file is removed and whatever was
// at the target before is left untouched.
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
  // the move fails (the target is in use, read-only or a folder). Every stream on the
  // target must be closed first: Windows refuses to replace a file held open unshared.
  void Commit();

private:
  std::string target_;
  std::string tempName_;
  std::unique_ptr<TFileStream> stream_;
  bool committed_ = false;
};
