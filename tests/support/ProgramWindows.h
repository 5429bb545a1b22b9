// Windows only: a program started as a child process and its top-level windows, for the tests
// that run the built or the installed program.
#pragma once

#ifdef _WIN32
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Polls CONDITION every 10 ms; false when it did not hold within 15 s. The bound only keeps a
// broken program from hanging a test, it is not asserted on.
bool WaitFor(const std::function<bool()>& condition);

struct TTopWindow {
  HWND window;
  std::string text, className;
  bool visible;
};

// The top-level windows of process PROCESS_ID, in Z order.
std::vector<TTopWindow> TopWindowsOf(DWORD processId);
// The first of WINDOWS titled TEXT (and of class CLS when given), if any. A copy, so that it
// may be asked of a list that is not kept.
std::optional<TTopWindow> FindTopWindow(const std::vector<TTopWindow>& windows, const std::string& text,
                                        const char* cls = nullptr);

// PROGRAM (a Windows path) started with no arguments; ended when the object goes if it has not
// ended by then.
class TRunningProgram {
public:
  explicit TRunningProgram(const std::string& program);
  ~TRunningProgram();
  TRunningProgram(const TRunningProgram&) = delete;
  TRunningProgram& operator=(const TRunningProgram&) = delete;
  bool Started() const { return started_; }
  DWORD Id() const { return info_.dwProcessId; }
  HANDLE Process() const { return info_.hProcess; }
  // Closes the window TEXT with WM_CLOSE and waits for the process; its exit code, or -1.
  long CloseAndWait(const std::string& text);

private:
  bool started_ = false;
  PROCESS_INFORMATION info_{};
};
#endif
