// The skin demo as a person runs it: skin-demo.exe started on its own (with the command line's
// options), its frame and children found among its windows, the menu bar, the Window menu's
// items and the toolbar clicked with absolute SendInput moves, an edit typed in the Records child
// and posted with the navigator, and the program closed. Where the bar's buttons and the menu's items lie is read
// from the same demo started in this process (the same code lays them out the same way); the
// program's own windows give everything else.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "framework/graphics/GdiHandles.h"
#include "tests/framework/ui/UiTestHelpers.h"
#include "tests/support/HostSqlite.h"
#include "tests/support/ProgramWindows.h"
#include "tests/tools/skin-demo/DemoTestSupport.h"
#include "tools/skin-demo/DemoChild.h"
#include "tools/skin-demo/DemoMain.h"

namespace {

using demotest::SkinDemo;
using Texts = std::vector<std::string>;

// skin-demo.exe started with ARGS (each quoted); ended when the object goes if it has not ended.
class TDemoProgram {
public:
  explicit TDemoProgram(const std::vector<std::string>& args) {
    std::string line = "\"" + BuiltProgramPath("tools/skin-demo/skin-demo") + "\"";
    for (const std::string& arg : args) line += " \"" + arg + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    started_ = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_);
  }
  ~TDemoProgram() {
    if (!started_) return;
    if (WaitForSingleObject(info_.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(info_.hProcess, 1);
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
  }
  TDemoProgram(const TDemoProgram&) = delete;
  TDemoProgram& operator=(const TDemoProgram&) = delete;

  bool Started() const { return started_ != FALSE; }
  HANDLE Process() const { return info_.hProcess; }
  bool Running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
  // The program's visible top-level window titled TEXT (of class CLS when given), once it is there.
  HWND WaitForWindow(const std::string& text, const char* cls = nullptr) const {
    std::optional<TTopWindow> found;
    WaitFor([&] {
      found = FindTopWindow(TopWindowsOf(info_.dwProcessId), text, cls);
      return found && found->visible;
    });
    return found && found->visible ? found->window : nullptr;
  }
  // The first visible top-level window of class CLS, once there is one.
  HWND WaitForClass(const std::string& cls) const {
    HWND found = nullptr;
    WaitFor([&] {
      for (const TTopWindow& w : TopWindowsOf(info_.dwProcessId))
        if (w.visible && w.className == cls) found = w.window;
      return found != nullptr;
    });
    return found;
  }
  long CloseAndWait(HWND frame) {
    PostMessageA(frame, WM_CLOSE, 0, 0);
    if (!WaitFor([&] { return !Running(); })) return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<long>(code);
  }

private:
  BOOL started_ = FALSE;
  PROCESS_INFORMATION info_{};
};

// WINDOW's text as the window itself gives it (an edit's text is its own, not its caption).
std::string TextOf(HWND window) {
  char text[256] = {};
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &ignored);
  return text;
}

std::string ClassOf(HWND window) {
  char cls[64] = {};
  GetClassNameA(window, cls, sizeof cls);
  return cls;
}

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> children;
  for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) children.push_back(w);
  return children;
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> all;
  for (HWND child : ChildWindows(parent)) {
    all.push_back(child);
    const std::vector<HWND> below = Descendants(child);
    all.insert(all.end(), below.begin(), below.end());
  }
  return all;
}

// The frame's MDI client and the captions of its children, top of the Z order first.
HWND ClientOf(HWND frame) {
  for (HWND w : ChildWindows(frame))
    if (_stricmp(ClassOf(w).c_str(), "MDIClient") == 0) return w;
  return nullptr;
}

Texts ChildTexts(HWND frame) {
  Texts texts;
  if (HWND client = ClientOf(frame))
    for (HWND child : ChildWindows(client)) texts.push_back(TextOf(child));
  return texts;
}

HWND ChildTitled(HWND frame, const std::string& text) {
  HWND client = ClientOf(frame);
  for (HWND child : client ? ChildWindows(client) : std::vector<HWND>{})
    if (TextOf(child) == text) return child;
  return nullptr;
}

POINT Centre(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The pointer moved to AT until it stays there. Under Wine the X server's pointer events for the
// position before can still reach the other process after the move and put the pointer back
// (a press then lands where the pointer was): so it is moved again until it has stood still at AT
// for a while, which also lets the other process see the move before a press.
void PointAt(POINT at) {
  const auto staysAt = [&] {
    for (int sample = 0; sample < 5; ++sample) {
      Sleep(20);
      POINT now;
      GetCursorPos(&now);
      if (now.x != at.x || now.y != at.y) return false;
    }
    return true;
  };
  for (int moves = 0; moves < 50; ++moves) {
    uitest::MovePointerTo(at);
    if (staysAt()) return;
  }
  ADD_FAILURE() << "the pointer never stayed at " << at.x << "," << at.y;
}

void Click(POINT at) {
  PointAt(at);
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
}

// Where this process's demo has the bar's button CAPTION and the popup's item INDEX, measured from
// the frame's window and the popup's client area.
struct TMenuPlaces {
  POINT button{};  // from the frame window's top-left corner
  int itemCentreY = 0;
};

TMenuPlaces MeasureWindowRecords(TDemoMainForm& main, const std::string& caption, int index) {
  TMenuPlaces places;
  TToolBar& bar = *main.kyrMDIForm1->MenuBar();
  RECT frame;
  GetWindowRect(main.Handle(), &frame);
  for (int i = 0; i < bar.ButtonCount(); ++i) {
    TToolButton& button = *bar.Buttons(i);
    if (button.Text() != caption) continue;
    const POINT at = bar.ClientToScreen({button.Left() + button.Width() / 2, button.Top() + button.Height() / 2});
    places.button = {at.x - frame.left, at.y - frame.top};
  }
  auto* menu = dynamic_cast<TkyrMainMenu*>(main.kyrMDIForm1->CurrentMenu());
  const int height = menu ? menu->MenuItemHeight() : 0;
  places.itemCentreY = index * height + height / 2;  // the items above it are no separators
  return places;
}

// POPUP's item whose centre is ITEM_CENTRE_Y down its client area, pointed at and clicked once it
// lit up under the pointer (only then does the menu follow it).
void ClickLitItem(HWND popup, int itemCentreY) {
  RECT client;
  GetClientRect(popup, &client);
  POINT origin{0, 0};
  ClientToScreen(popup, &origin);
  const POINT item{origin.x + client.right / 2, origin.y + itemCentreY};
  const auto strip = [&] {
    std::vector<COLORREF> pixels;
    TWindowDC screen(nullptr);
    for (int dx = -40; dx <= 40; dx += 4) pixels.push_back(GetPixel(screen.Get(), item.x + dx, item.y));
    return pixels;
  };
  const std::vector<COLORREF> unlit = strip();
  PointAt(item);
  EXPECT_TRUE(WaitFor([&] { return strip() != unlit; })) << "the item under the pointer lit";
  uitest::MouseButton(MOUSEEVENTF_LEFTDOWN);
  uitest::MouseButton(MOUSEEVENTF_LEFTUP);
}


void ClickWindowRecords(const TDemoProgram& program, HWND frame, const TMenuPlaces& places) {
  SetForegroundWindow(frame);
  RECT r;
  GetWindowRect(frame, &r);
  Click({r.left + places.button.x, r.top + places.button.y});
  HWND popup = program.WaitForClass("#32768");
  ASSERT_NE(popup, nullptr) << "the Window menu opened";
  ClickLitItem(popup, places.itemCentreY);
}

TEST(SkinDemoProgram, StartsAsTheSkinnedFrameWithItsThreeChildrenAndEndsWhenItCloses) {
  TDemoProgram demo({});
  ASSERT_TRUE(demo.Started());
  HWND frame = demo.WaitForWindow("Skin Demo");
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(GetWindowLongPtrA(frame, GWL_STYLE) & WS_CAPTION, 0) << "skinned: the frame draws the caption";
  RECT client{};
  GetClientRect(frame, &client);
  EXPECT_GE(client.right, 900) << "the stored client width, the frame's border aside";
  ASSERT_NE(ClientOf(frame), nullptr) << "an MDI frame";
  EXPECT_TRUE(WaitFor([&] { return ChildTexts(frame).size() == 3; }));
  EXPECT_EQ(ChildTexts(frame), (Texts{"Child 2", "Child 1", "Controls"}));
  EXPECT_EQ(demo.CloseAndWait(frame), 0);
}

// Where AT of CONTROL (a control of MAIN's) lies from MAIN's window's top-left corner.
POINT FromFrame(TDemoMainForm& main, const TControl& control, POINT at) {
  RECT frame;
  GetWindowRect(main.Handle(), &frame);
  const POINT screen = control.Parent()->ClientToScreen({control.Left() + at.x, control.Top() + at.y});
  return {screen.x - frame.left, screen.y - frame.top};
}

// The toolbar of the real program: New child opens Child 3 on top; DeepBlue chosen in the Style
// drop-down turns the frame's title bar DeepBlue's, as this process's frame paints it.
TEST_F(SkinDemo, TheProgramsToolBarOpensAChildAndChoosesAStyleAsAPersonDoes) {
  const TToolButton& newChild = *Main().NewChildButton;
  const TToolButton& style = *Main().StyleButton;
  const POINT newChildAt = FromFrame(Main(), newChild, {newChild.Width() / 2, newChild.Height() / 2});
  const POINT arrowAt = FromFrame(Main(), style, {style.Width() - TToolBar::kDropDownWidth / 2, style.Height() / 2});
  const int itemHeight = Main().kyrPopupMenu1->MenuItemHeight();
  TkyrTitleBar& titleBar = *Main().kyrMDIForm1->TitleBar();
  const POINT probe{titleBar.Width() / 2, titleBar.Height() / 2};
  const POINT probeAt = FromFrame(Main(), titleBar, probe);
  Main().DeepBlue2->Click();
  uitest::Pump();
  const TColor deepBlue = uitest::TClientShot(titleBar)(probe.x, probe.y);
  SetWindowPos(Main().Handle(), nullptr, -4000, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  TDemoProgram demo({});
  ASSERT_TRUE(demo.Started());
  HWND frame = demo.WaitForWindow("Skin Demo");
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(WaitFor([&] { return ChildTexts(frame).size() == 3; }));
  SetForegroundWindow(frame);
  RECT r;
  GetWindowRect(frame, &r);
  Click({r.left + newChildAt.x, r.top + newChildAt.y});
  EXPECT_TRUE(WaitFor([&] { return ChildTexts(frame) == Texts{"Child 3", "Child 2", "Child 1", "Controls"}; }));
  const auto titleBarPixel = [&] {
    TWindowDC screen(nullptr);
    return static_cast<TColor>(GetPixel(screen.Get(), r.left + probeAt.x, r.top + probeAt.y));
  };
  EXPECT_NE(titleBarPixel(), deepBlue) << "MacOS at start";
  Click({r.left + arrowAt.x, r.top + arrowAt.y});
  HWND popup = demo.WaitForClass("#32768");
  ASSERT_NE(popup, nullptr) << "the Style drop-down opened";
  ClickLitItem(popup, 2 * itemHeight + itemHeight / 2);  // MacOS, WinXP, DeepBlue
  EXPECT_TRUE(WaitFor([&] { return titleBarPixel() == deepBlue; })) << "the frame in DeepBlue";
  EXPECT_TRUE(demo.Running());
  EXPECT_EQ(demo.CloseAndWait(frame), 0);
}

// The Records child through ODBC: opened from the Window menu, a field typed into and posted with
// the navigator's Post button, all with the pointer and the keyboard; the SQLite file has it.
TEST_F(SkinDemo, TheProgramEditsAnOdbcTableAsAPersonDoes) {
  TempDir dbDir;
  const std::string db = dbDir / "towns.db";
  HostSqlite(db, "CREATE TABLE towns (id INTEGER PRIMARY KEY, name TEXT);\n"
                       "INSERT INTO towns VALUES (1, 'Porto'), (2, 'Ghent');");
  // This process's demo measures; its frame goes off the screen so the clicks reach the program.
  const TMenuPlaces places = MeasureWindowRecords(Main(), "&Window", 2);
  ASSERT_GT(places.itemCentreY, 0);
  SetWindowPos(Main().Handle(), nullptr, -4000, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  TDemoProgram demo({"--odbc", "DRIVER=SQLite3;Database=" + HostPath(db) + ";", "--table", "towns"});
  ASSERT_TRUE(demo.Started());
  HWND frame = demo.WaitForWindow("Skin Demo");
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(WaitFor([&] { return ChildTexts(frame).size() == 3; }));
  ClickWindowRecords(demo, frame, places);
  HWND records = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (records = ChildTitled(frame, "Records")) != nullptr; })) << [&] {
    std::string seen;  // what came up instead
    for (const TTopWindow& w : TopWindowsOf(GetProcessId(demo.Process())))
      if (w.visible) {
        char text[512] = {};
        GetDlgItemTextA(w.window, 0xFFFF, text, sizeof text);
        seen += w.className + " '" + w.text + "' " + text + "\n";
      }
    return seen;
  }();
  EXPECT_EQ(ChildTexts(frame).front(), "Records") << "on top";
  // Its edits (system EDIT windows) from the top down, and the navigator: ten buttons in a row.
  std::vector<HWND> edits, buttons;
  ASSERT_TRUE(WaitFor([&] {
    edits.clear();
    buttons.clear();
    for (HWND w : Descendants(records)) {
      if (_stricmp(ClassOf(w).c_str(), "Edit") == 0) edits.push_back(w);
      if (ChildWindows(w).size() == 10) buttons = ChildWindows(w);
    }
    return edits.size() == 2 && buttons.size() == 10 && IsWindowVisible(edits[1]);
  }));
  const auto byTop = [](HWND a, HWND b) { return Centre(a).y < Centre(b).y; };
  const auto byLeft = [](HWND a, HWND b) { return Centre(a).x < Centre(b).x; };
  std::sort(edits.begin(), edits.end(), byTop);
  std::sort(buttons.begin(), buttons.end(), byLeft);
  EXPECT_EQ(TextOf(edits[1]), "Porto");
  // The name: clicked into, typed at its end, posted with the navigator's Post button (the eighth).
  Click(Centre(edits[1]));
  ASSERT_TRUE(WaitFor([&] {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    return GetGUIThreadInfo(0, &gui) && gui.hwndFocus == edits[1];
  }));
  uitest::PressKey(VK_END);
  for (char k : std::string("NORTE")) uitest::PressKey(static_cast<WORD>(k));
  ASSERT_TRUE(WaitFor([&] { return TextOf(edits[1]) == "Portonorte"; }));
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(buttons[nbPost]) != FALSE; })) << "in edit mode";
  Click(Centre(buttons[nbPost]));
  // The file is read once the post is over (Post greyed again): a reader polling while the
  // program writes could hold the lock the write needs.
  EXPECT_TRUE(WaitFor([&] { return !IsWindowEnabled(buttons[nbPost]); })) << "posted";
  Texts rows;
  EXPECT_TRUE(WaitFor([&] {
    rows = HostSqlite(db, "SELECT id, name FROM towns ORDER BY id;");
    return rows == Texts{"1|Portonorte", "2|Ghent"};
  })) << (rows.empty() ? "" : rows[0]);
  EXPECT_TRUE(demo.Running());
  EXPECT_EQ(demo.CloseAndWait(frame), 0);
}

// A connection string no driver takes: a message box, the program goes on, no Records child.
TEST_F(SkinDemo, TheProgramToldABadConnectionStringShowsAMessageAndOpensNoRecords) {
  const TMenuPlaces places = MeasureWindowRecords(Main(), "&Window", 2);
  SetWindowPos(Main().Handle(), nullptr, -4000, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  TDemoProgram demo({"--odbc", "DRIVER=NoSuchDriver;Database=/nowhere.db;", "--table", "towns"});
  ASSERT_TRUE(demo.Started());
  HWND frame = demo.WaitForWindow("Skin Demo");
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(WaitFor([&] { return ChildTexts(frame).size() == 3; }));
  ClickWindowRecords(demo, frame, places);
  HWND box = demo.WaitForClass("#32770");
  ASSERT_NE(box, nullptr) << "a message box";
  EXPECT_EQ(TextOf(box), "Skin Demo");
  char text[512] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  EXPECT_GT(std::string(text).size(), 0u) << "with the driver manager's message";
  Click(Centre(GetDlgItem(box, IDOK)));
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }));
  EXPECT_TRUE(demo.Running()) << "no crash";
  EXPECT_EQ(ChildTexts(frame), (Texts{"Child 2", "Child 1", "Controls"})) << "no Records child";
  EXPECT_EQ(demo.CloseAndWait(frame), 0);
}

}  // namespace
