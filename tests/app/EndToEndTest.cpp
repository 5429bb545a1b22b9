// The program itself: started as a process, its windows and its one taskbar entry found, a
// shell drop converted through the real save dialog.
#include <gtest/gtest.h>

#include <windows.h>

#include <dlgs.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/app/AppTestHelpers.h"
#include "tests/framework/ui/UiTestHelpers.h"
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

// The file dialog of PROGRAM titled TITLE once it is open, else nullptr.
HWND WaitForDialog(const TRunningProgram& program, const std::string& title) {
  HWND dialog = nullptr;
  WaitFor([&] {
    const auto d = FindTopWindow(TopWindowsOf(program.Id()), title, "#32770");
    dialog = d ? d->window : nullptr;
    return dialog != nullptr;
  });
  return dialog;
}

// Types NAME into the real file dialog DIALOG and confirms it.
void ConfirmFileDialog(HWND dialog, const std::string& name) {
  SetDlgItemTextA(dialog, cmb13, name.c_str());
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

bool MessageWindowShown(const TRunningProgram& program) {
  return WaitFor([&] {
    const auto message = FindTopWindow(TopWindowsOf(program.Id()), "Message");
    return message && message->visible;
  });
}

// The child window of PARENT (at any depth) whose text is TEXT, else nullptr.
HWND FindChildByText(HWND parent, const std::string& text) {
  struct TSearch {
    const std::string& text;
    HWND found;
  } search{text, nullptr};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<TSearch*>(data);
        if (apptest::WindowText(child) != s.text) return TRUE;
        s.found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The program's main window, once it and its hidden windows exist.
HWND WaitForMainWindow(const TRunningProgram& program) {
  std::optional<TTopWindow> main;
  WaitFor([&] {
    const std::vector<TTopWindow> windows = TopWindowsOf(program.Id());
    main = FindTopWindow(windows, "Vantor");
    return main && main->visible && FindTopWindow(windows, "Donation");
  });
  return main ? main->window : nullptr;
}

// The program started with the stub installed and a movie clip.swf in DIR, its main window up.
class EndToEnd : public ::testing::Test {
protected:
  void SetUp() override {
    apptest::InstallStub(stub);
    WriteFileBytes(dir / "clip.swf", movie);
    ASSERT_TRUE(vantor.Started()) << ProgramPath();
    main = WaitForMainWindow(vantor);
    ASSERT_NE(main, nullptr) << Describe(TopWindowsOf(vantor.Id()));
  }
  const Bytes stub = PatternBytes(4096, 11);
  const Bytes movie = apptest::MovieBytes(5000, 12);
  TempDir dir;
  TRunningProgram vantor{ProgramPath()};
  HWND main = nullptr;
};

TEST_F(EndToEnd, ProgramShowsItsMainWindowWithOneTaskbarEntryAndConvertsADroppedMovie) {
  const std::vector<TTopWindow> windows = TopWindowsOf(vantor.Id());
  for (const char* hidden : {"About Vantor", "Message", "Donation"}) {
    const auto w = FindTopWindow(windows, hidden);
    ASSERT_TRUE(w) << hidden;
    EXPECT_FALSE(w->visible) << hidden;
  }
  EXPECT_TRUE(GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  EXPECT_EQ(TaskbarTexts(vantor.Id()), std::vector<std::string>{"Corvane Vantor"});

  TDropSender sender(vantor, main);
  ASSERT_TRUE(sender.Ready());
  sender.Drop({dir / "clip.swf"});
  const HWND dialog = WaitForDialog(vantor, "Convert to .....");
  ASSERT_NE(dialog, nullptr) << Describe(TopWindowsOf(vantor.Id()));
  char caption[16] = {};
  GetWindowTextA(main, caption, sizeof caption);
  EXPECT_STREQ(caption, "1");
  EXPECT_EQ(TaskbarTexts(vantor.Id()), std::vector<std::string>{"Corvane Vantor"});  // the dialog is owned
  // The real save dialog: type the name (no extension) and confirm.
  ConfirmFileDialog(dialog, dir / "clip-out");
  ASSERT_TRUE(MessageWindowShown(vantor));
  EXPECT_EQ(ReadFileBytes(dir / "clip-out.exe"), apptest::ProjectorBytes(stub, movie));
  EXPECT_EQ(TaskbarTexts(vantor.Id()), std::vector<std::string>{"Corvane Vantor"});

  EXPECT_EQ(vantor.CloseAndWait("1"), 0);  // the main window's caption is the drop count now
}

// Convert as a person does it: the skinned button clicked with the mouse, the movie picked in
// the real open dialog, the output named in the real save dialog.
TEST_F(EndToEnd, TheConvertButtonClickedWithTheMouseBuildsAProjectorThroughTheRealDialogs) {
  const HWND button = FindChildByText(main, "Convert");
  ASSERT_NE(button, nullptr);
  RECT face{};
  GetWindowRect(button, &face);
  uitest::MovePointerTo({0, 0});
  uitest::MovePointerTo({(face.left + face.right) / 2, (face.top + face.bottom) / 2});
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);

  const HWND open = WaitForDialog(vantor, "Select exe or swf to convert each other");
  ASSERT_NE(open, nullptr) << Describe(TopWindowsOf(vantor.Id()));
  ConfirmFileDialog(open, dir / "clip.swf");
  const HWND save = WaitForDialog(vantor, "Convert to .....");
  ASSERT_NE(save, nullptr) << Describe(TopWindowsOf(vantor.Id()));
  ConfirmFileDialog(save, dir / "clip-out");
  ASSERT_TRUE(MessageWindowShown(vantor));
  EXPECT_EQ(ReadFileBytes(dir / "clip-out.exe"), apptest::ProjectorBytes(stub, movie));

  EXPECT_EQ(vantor.CloseAndWait("Vantor"), 0);
}

}  // namespace
