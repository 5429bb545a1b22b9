// The program itself: started as a process, its windows found, a real shell drop converted
// through the real save dialog.
#include <gtest/gtest.h>

#include <windows.h>

#include <dlgs.h>

#include <string>
#include <vector>

#include "tests/app/AppTestHelpers.h"
#include "tests/support/ProgramWindows.h"

namespace {

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

TEST(EndToEnd, ProgramShowsItsMainWindowAndConvertsADroppedMovie) {
  const Bytes stub = PatternBytes(4096, 11);
  apptest::InstallStub(stub);
  TempDir dir;
  const Bytes movie = apptest::MovieBytes(5000, 12);
  WriteFileBytes(dir / "clip.swf", movie);

  TRunningProgram vantor(ProgramPath());
  ASSERT_TRUE(vantor.Started()) << ProgramPath();
  std::vector<TTopWindow> windows;
  ASSERT_TRUE(WaitFor([&] {
    windows = TopWindowsOf(vantor.Id());
    const auto main = FindTopWindow(windows, "Vantor");
    return main && main->visible && FindTopWindow(windows, "Donation");
  })) << Describe(windows);
  for (const char* hidden : {"About Vantor", "Message", "Donation"}) {
    const auto w = FindTopWindow(windows, hidden);
    ASSERT_TRUE(w) << hidden;
    EXPECT_FALSE(w->visible) << hidden;
  }
  const HWND main = FindTopWindow(windows, "Vantor")->window;
  EXPECT_TRUE(GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);

  // A shell drop. The block is built here and copied into the program: a drop handle is only
  // valid in the process it belongs to (Wine does not marshal WM_DROPFILES between processes).
  PostMessageA(main, WM_DROPFILES, reinterpret_cast<WPARAM>(CopyDropInto(vantor.Process(), {dir / "clip.swf"})), 0);
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    const auto d = FindTopWindow(TopWindowsOf(vantor.Id()), "Convert to .....", "#32770");
    dialog = d ? d->window : nullptr;
    return dialog != nullptr;
  })) << Describe(TopWindowsOf(vantor.Id()));
  char caption[16] = {};
  GetWindowTextA(main, caption, sizeof caption);
  EXPECT_STREQ(caption, "1");
  // The real save dialog: type the name (no extension) and confirm.
  SetDlgItemTextA(dialog, cmb13, (dir / "clip-out").c_str());
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  ASSERT_TRUE(WaitFor([&] {
    const auto message = FindTopWindow(TopWindowsOf(vantor.Id()), "Message");
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
