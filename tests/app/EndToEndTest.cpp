// The program itself: started as a process, its windows and its one taskbar entry found, a
// shell drop converted through the real save dialog.
#include <gtest/gtest.h>

#include <windows.h>

#include <dlgs.h>

#include <string>
#include <vector>

#include "tests/app/AppTestHelpers.h"
#include "tests/support/ProgramWindows.h"

namespace {

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

// Hands shell drops to the window MAIN of PROGRAM. A drop handle is memory of the process it
// belongs to (Wine does not carry WM_DROPFILES between processes), so the drop hook library
// runs on the program's thread and makes the block there from bytes written into the program.
class TDropSender {
public:
  TDropSender(const TRunningProgram& program, HWND main) : program_(program), main_(main) {
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
  const TRunningProgram& program_;
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
  EXPECT_EQ(TaskbarTexts(vantor.Id()), std::vector<std::string>{"Corvane Vantor"});

  TDropSender sender(vantor, main);
  ASSERT_TRUE(sender.Ready());
  sender.Drop({dir / "clip.swf"});
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    const auto d = FindTopWindow(TopWindowsOf(vantor.Id()), "Convert to .....", "#32770");
    dialog = d ? d->window : nullptr;
    return dialog != nullptr;
  })) << Describe(TopWindowsOf(vantor.Id()));
  char caption[16] = {};
  GetWindowTextA(main, caption, sizeof caption);
  EXPECT_STREQ(caption, "1");
  EXPECT_EQ(TaskbarTexts(vantor.Id()), std::vector<std::string>{"Corvane Vantor"});  // the dialog is owned
  // The real save dialog: type the name (no extension) and confirm.
  SetDlgItemTextA(dialog, cmb13, (dir / "clip-out").c_str());
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  ASSERT_TRUE(WaitFor([&] {
    const auto message = FindTopWindow(TopWindowsOf(vantor.Id()), "Message");
    return message && message->visible;
  }));
  EXPECT_EQ(ReadFileBytes(dir / "clip-out.exe"), apptest::ProjectorBytes(stub, movie));
  EXPECT_EQ(TaskbarTexts(vantor.Id()), std::vector<std::string>{"Corvane Vantor"});

  EXPECT_EQ(vantor.CloseAndWait("1"), 0);  // the main window's caption is the drop count now
}

}  // namespace
