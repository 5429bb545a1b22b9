// The program itself: started as a process, its windows and its one taskbar entry found, a
// shell drop converted through the real save dialog.
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
  std::vector<TTopWindow> found;
  for (HWND w : apptest::TopLevelWindows(processId)) {
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    found.push_back({w, apptest::WindowText(w), cls, IsWindowVisible(w) != FALSE});
  }
  return found;
}

const TTopWindow* Find(const std::vector<TTopWindow>& windows, const std::string& text, const char* cls = nullptr) {
  for (const TTopWindow& w : windows)
    if (w.text == text && (!cls || w.className == cls)) return &w;
  return nullptr;
}

// The texts of the windows of PROCESS_ID that have a taskbar button.
std::vector<std::string> TaskbarTexts(DWORD processId) {
  std::vector<std::string> texts;
  for (HWND w : apptest::TaskbarEntries(processId)) texts.push_back(apptest::WindowText(w));
  return texts;
}

std::string Describe(const std::vector<TTopWindow>& windows) {
  std::string text = "windows of the program:";
  for (const TTopWindow& w : windows) text += " [" + w.className + " '" + w.text + "'" + (w.visible ? " visible]" : "]");
  return text;
}

std::string BuiltPath(const std::string& relative) {
  std::string path = EnvOr("VANTOR_BIN_DIR", ".") + "/" + relative;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string ProgramPath() { return BuiltPath("app/Vantor.exe"); }

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

// Hands shell drops to the window MAIN of PROGRAM. A drop handle is memory of the process it
// belongs to (Wine does not carry WM_DROPFILES between processes), so the drop hook library
// runs on the program's thread and makes the block there from bytes written into the program.
class TDropSender {
public:
  TDropSender(const TRunningVantor& program, HWND main) : program_(program), main_(main) {
    library_ = LoadLibraryA(BuiltPath("vantor_drop_hook.dll").c_str());
    auto* proc = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void*>(library_ ? GetProcAddress(library_, "VantorDropHook") : nullptr));
    if (proc) hook_ = SetWindowsHookExA(WH_GETMESSAGE, proc, library_, GetWindowThreadProcessId(main, nullptr));
  }
  ~TDropSender() {
    if (hook_) UnhookWindowsHookEx(hook_);
    if (library_) FreeLibrary(library_);
  }
  TDropSender(const TDropSender&) = delete;
  TDropSender& operator=(const TDropSender&) = delete;
  bool Ready() const { return hook_ != nullptr; }

  // The bytes stay in the program until it ends.
  void Drop(const std::vector<std::string>& names) {
    const Bytes block = apptest::DropBytes(names);
    void* remote = VirtualAllocEx(program_.Process(), nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    WriteProcessMemory(program_.Process(), remote, block.data(), block.size(), nullptr);
    PostMessageA(main_, RegisterWindowMessageA("VantorTestDropRequest"), reinterpret_cast<WPARAM>(remote),
                 static_cast<LPARAM>(block.size()));
  }

private:
  const TRunningVantor& program_;
  HWND main_;
  HMODULE library_ = nullptr;
  HHOOK hook_ = nullptr;
};

TEST(EndToEnd, ProgramShowsItsMainWindowWithOneTaskbarEntryAndConvertsADroppedMovie) {
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
  EXPECT_EQ(TaskbarTexts(vantor.Id()), std::vector<std::string>{"Corvane Vantor"});

  TDropSender sender(vantor, main);
  ASSERT_TRUE(sender.Ready());
  sender.Drop({dir / "clip.swf"});
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    const TTopWindow* d = Find(WindowsOf(vantor.Id()), "Convert to .....", "#32770");
    dialog = d ? d->window : nullptr;
    return dialog != nullptr;
  })) << Describe(WindowsOf(vantor.Id()));
  char caption[16] = {};
  GetWindowTextA(main, caption, sizeof caption);
  EXPECT_STREQ(caption, "1");
  EXPECT_EQ(TaskbarTexts(vantor.Id()), std::vector<std::string>{"Corvane Vantor"});  // the dialog is owned
  // The real save dialog: type the name (no extension) and confirm.
  SetDlgItemTextA(dialog, cmb13, (dir / "clip-out").c_str());
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  ASSERT_TRUE(WaitFor([&] {
    const TTopWindow* message = Find(WindowsOf(vantor.Id()), "Message");
    return message && message->visible;
  }));
  EXPECT_EQ(ReadFileBytes(dir / "clip-out.exe"), apptest::ProjectorBytes(stub, movie));
  EXPECT_EQ(TaskbarTexts(vantor.Id()), std::vector<std::string>{"Corvane Vantor"});

  PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return WaitForSingleObject(vantor.Process(), 0) == WAIT_OBJECT_0; }));
  DWORD code = 1;
  GetExitCodeProcess(vantor.Process(), &code);
  EXPECT_EQ(code, 0u);
}

}  // namespace
