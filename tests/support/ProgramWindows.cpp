#include "tests/support/ProgramWindows.h"

#ifdef _WIN32

bool WaitFor(const std::function<bool()>& condition) {
  for (int i = 0; i < 1500; ++i) {
    if (condition()) return true;
    Sleep(10);
  }
  return false;
}

std::vector<TTopWindow> TopWindowsOf(DWORD processId) {
  struct Search {
    DWORD pid;
    std::vector<TTopWindow> found;
  } search{processId, {}};
  EnumWindows(
      [](HWND w, LPARAM l) -> BOOL {
        auto* s = reinterpret_cast<Search*>(l);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid != s->pid) return TRUE;
        char text[256] = {}, cls[64] = {};
        GetWindowTextA(w, text, sizeof text);
        GetClassNameA(w, cls, sizeof cls);
        s->found.push_back({w, text, cls, IsWindowVisible(w) != FALSE});
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::optional<TTopWindow> FindTopWindow(const std::vector<TTopWindow>& windows, const std::string& text,
                                        const char* cls) {
  for (const TTopWindow& w : windows)
    if (w.text == text && (!cls || w.className == cls)) return w;
  return std::nullopt;
}

TRunningProgram::TRunningProgram(const std::string& program) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  std::string command = "\"" + program + "\"";
  started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_);
}

TRunningProgram::~TRunningProgram() {
  if (!started_) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 1);
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

long TRunningProgram::CloseAndWait(const std::string& text) {
  const std::optional<TTopWindow> w = FindTopWindow(TopWindowsOf(Id()), text);
  if (w) PostMessageA(w->window, WM_CLOSE, 0, 0);
  if (!WaitFor([&] { return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; })) return -1;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return static_cast<long>(code);
}

#endif
