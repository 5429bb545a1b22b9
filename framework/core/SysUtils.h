// Exceptions of the framework and the text rule of the application's error report.
#pragma once

#include <exception>
#include <string>

// Base of every error the framework raises; the message is shown to the user as is.
class Exception : public std::exception {
public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

private:
  std::string message_;
};

class EStreamError : public Exception {
public:
  using Exception::Exception;
};

// An existing file could not be opened (missing, locked by another process, no access).
class EFOpenError : public EStreamError {
public:
  explicit EFOpenError(const std::string& path) : EStreamError("Cannot open file " + path) {}
};

// A file could not be created or replaced.
class EFCreateError : public EStreamError {
public:
  explicit EFCreateError(const std::string& path) : EStreamError("Cannot create file " + path) {}
};

// Fewer bytes could be read than were asked for.
class EReadError : public EStreamError {
public:
  EReadError() : EStreamError("Stream read error") {}
};

// Fewer bytes could be written than were asked for.
class EWriteError : public EStreamError {
public:
  EWriteError() : EStreamError("Stream write error") {}
};

// The text of the application's default error box: the message, with "." appended when
// its last character sorts after "." in byte order ("x" gets one, "x." and "x!" do not).
std::string ErrorReportText(const std::string& message);

// Small file-system helpers, over Win32 in the Windows build and POSIX natively.
bool FileExists(const std::string& path);
// Size of the file at PATH, or -1 when it cannot be queried.
long long FileSizeByName(const std::string& path);
// Removes PATH if it exists; never raises.
void RemoveFileQuietly(const std::string& path);
// Moves FROM over TO, replacing TO if it exists; false when that is impossible.
bool MoveFileReplacing(const std::string& from, const std::string& to);
