// The program itself: started as a process, its windows found, a real shell drop converted
// through the real save dialog.
#include <gtest/gtest.h>

#include <windows.h>

#include <dlgs.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/app/AppTestHelpers.h"

namespace {

// Polls CONDITION; the bound only keeps a broken build from hanging, it is not asserted on.
bool WaitFor(const std::function<bool()>& condition) {
  for (int i = 0; i < 1500; ++i) {
    if (condition()) return true;
    Sleep(10);
  }
  return false;
}

struct TTopWindow {
  HWND window;
  std::string text, className;
  bool visible;
};

std::vector<TTopWindow> WindowsOf(DWORD processId) {
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

const TTopWindow* Find(const std::vector<TTopWindow>& windows, const std::string& text, const char* cls = nullptr) {
  for (const TTopWindow& w : windows)
    if (w.text == text && (!cls || w.className == cls)) return &w;
  return nullptr;
}

// The drop block in fixed memory of PROCESS; a fixed block's address is its own handle for
// GlobalLock, which DragQueryFileA uses.
HDROP CopyDropInto(HANDLE process, const std::vector<std::string>& names) {
  HDROP local = apptest::MakeDrop(names);
  const SIZE_T size = GlobalSize(local);
  void* remote = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  const void* bytes = GlobalLock(local);
  WriteProcessMemory(process, remote, bytes, size, nullptr);
  GlobalUnlock(local);
  GlobalFree(local);
  return static_cast<HDROP>(remote);
}

std::string Describe(const std::vector<TTopWindow>& windows) {
  std::string text = "windows of the program:";
  for (const TTopWindow& w : windows) text += " [" + w.className + " '" + w.text + "'" + (w.visible ? " visible]" : "]");
  return text;
}

std::string ProgramPath() {
  std::string path = EnvOr("VANTOR_BIN_DIR", ".") + "/app/Vantor.exe";
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// The running program; closed through its main window when the test ends.
class TRunningVantor {
public:
  TRunningVantor() {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string command = "\"" + ProgramPath() + "\"";
    started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info_);
  }
  ~TRunningVantor() {
    if (!started) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 1);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  DWORD Id() const { return info_.dwProcessId; }
  HANDLE Process() const { return info_.hProcess; }
  bool started = false;

private:
  PROCESS_INFORMATION info_{};
};

TEST(EndToEnd, ProgramShowsItsMainWindowAndConvertsADroppedMovie) {
  const Bytes stub = PatternBytes(4096, 11);
  apptest::InstallStub(stub);
  TempDir dir;
  const Bytes movie = apptest::MovieBytes(5000, 12);
  WriteFileBytes(dir / "clip.swf", movie);

  TRunningVantor vantor;
  ASSERT_TRUE(vantor.started) << ProgramPath();
  std::vector<TTopWindow> windows;
  ASSERT_TRUE(WaitFor([&] {
    windows = WindowsOf(vantor.Id());
    const TTopWindow* main = Find(windows, "Vantor");
    return main && main->visible && Find(windows, "Donation");
  })) << Describe(windows);
  for (const char* hidden : {"About Vantor", "Message", "Donation"}) {
    const TTopWindow* w = Find(windows, hidden);
    ASSERT_NE(w, nullptr) << hidden;
    EXPECT_FALSE(w->visible) << hidden;
  }
  const HWND main = Find(windows, "Vantor")->window;
  EXPECT_TRUE(GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);

  // A shell drop. The block is built here and copied into the program: a drop handle is only
  // valid in the process it belongs to (Wine does not marshal WM_DROPFILES between processes).
  PostMessageA(main, WM_DROPFILES, reinterpret_cast<WPARAM>(CopyDropInto(vantor.Process(), {dir / "clip.swf"})), 0);
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    const TTopWindow* d = Find(WindowsOf(vantor.Id()), "Convert to .....", "#32770");
    dialog = d ? d->window : nullptr;
    return dialog != nullptr;
  })) << Describe(WindowsOf(vantor.Id()));
  char caption[16] = {};
  GetWindowTextA(main, caption, sizeof caption);
  EXPECT_STREQ(caption, "1");
  // The real save dialog: type the name (no extension) and confirm.
  SetDlgItemTextA(dialog, cmb13, (dir / "clip-out").c_str());
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  ASSERT_TRUE(WaitFor([&] {
    const TTopWindow* message = Find(WindowsOf(vantor.Id()), "Message");
    return message && message->visible;
  }));
  EXPECT_EQ(ReadFileBytes(dir / "clip-out.exe"), apptest::ProjectorBytes(stub, movie));

  PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return WaitForSingleObject(vantor.Process(), 0) == WAIT_OBJECT_0; }));
  DWORD code = 1;
  GetExitCodeProcess(vantor.Process(), &code);
  EXPECT_EQ(code, 0u);
}

}  // namespace
