// Pictures of the skin demo's windows, for people to look at:
//   demo-shots <folder> [<theme file>]
// writes into <folder>, for every built-in style (chosen as the Style menu chooses it), the frame
// with the Controls child maximised (Main-<Style>.bmp) and the frame's toolbar with Lock down
// (Cascade greyed) and the pointer on New child (ToolBar-<Style>.bmp), both also from the theme
// file when one is given (Main-ThemeFile, ToolBar-ThemeFile), and About.bmp; in MacOS and WinXP
// also the frame at rest with its three children cascaded (Frame-<Style>), a child maximised
// (Maximized-<Style>: the child's buttons on the bar, its caption composed into the frame's), the
// children tiled (TileHorizontal-<Style>, TileVertical-<Style>) and the Records child
// (Records-<Style>). `make demo-shots` turns them into PNGs; the tests read the same windows'
// pixels back themselves.
#include <windows.h>

#include <cstdio>
#include <exception>
#include <string>

#include "tools/skin-demo/DemoAbout.h"
#include "tools/skin-demo/DemoChild.h"
#include "tools/skin-demo/DemoControls.h"
#include "tools/skin-demo/DemoMain.h"
#include "tools/skin-demo/DemoStartup.h"
#include "tools/skin-showcase/WindowCapture.h"

namespace {

void Save(TForm& form, const std::string& path) {
  form.Show();
  SetWindowPos(form.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(form.Handle());
  SaveSettledWindow(form.Handle(), path);
}

TCustomForm* ChildCalled(TDemoMainForm& main, const std::string& caption) {
  for (int i = 0; i < main.MDIChildCount(); ++i)
    if (main.MDIChildren(i)->Caption() == caption) return main.MDIChildren(i);
  throw Exception("No child " + caption);
}

void Activate(TDemoMainForm& main, TCustomForm& child) {
  SendMessageA(main.ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child.Handle()), 0);
  PumpMessages();
}

// The sample table beside the built demo (the pictures never post, so it stays as it is).
std::string BuiltRecordsFile() {
  char path[MAX_PATH] = {};
  std::string self(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  self.erase(self.find_last_of("\\/") + 1);
  return self + "..\\skin-demo\\" + kDemoRecordsFileName;
}

// Lock clicked down, the pointer moved onto New child as a person's hand moves it (an absolute
// SendInput move: the bar lights the button under it), the frame saved, and both undone.
void SaveToolBarPicture(TDemoMainForm& main, const std::string& path) {
  main.LockButton->Click();
  TToolButton& hot = *main.NewChildButton;
  const POINT at = main.kyrToolBar1->ClientToScreen({hot.Left() + hot.Width() / 2, hot.Top() + hot.Height() / 2});
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  move.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SetCursorPos(at.x, at.y);
  SendInput(1, &move, sizeof move);
  for (int i = 0; i < 200 && !(main.kyrToolBar1->ButtonState(&hot) & cdsHot); ++i) {
    PumpMessages();
    Sleep(10);
  }
  Save(main, path);
  SetCursorPos(0, 0);
  PumpMessages();
  main.LockButton->Click();
}

void SaveMDIPictures(TDemoMainForm& main, const std::string& folder, const std::string& style) {
  main.CascadeClick(main.Cascade1);
  Save(main, folder + "\\Frame-" + style + ".bmp");
  TCustomForm& child = *ChildCalled(main, "Child 1");
  Activate(main, child);
  child.SetWindowState(wsMaximized);
  Save(main, folder + "\\Maximized-" + style + ".bmp");
  child.SetWindowState(wsNormal);
  main.TileHorizontallyClick(main.TileHorizontally1);
  Save(main, folder + "\\TileHorizontal-" + style + ".bmp");
  main.TileVerticallyClick(main.TileVertically1);
  Save(main, folder + "\\TileVertical-" + style + ".bmp");
  main.CascadeClick(main.Cascade1);
  TDemoRecordsForm* records = main.OpenRecords();
  if (!records) throw Exception("Records did not open " + main.RecordsSource().CsvFile);
  records->SetBounds(60, 40, records->Width(), records->Height());
  Save(main, folder + "\\Records-" + style + ".bmp");
  records->Close();
  PumpMessages();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: demo-shots <output folder> [<theme file>]\n");
    return 2;
  }
  const std::string folder = argv[1];
  try {
    StartSkinDemo({"--csv", BuiltRecordsFile()});
    SetCursorPos(0, 0);  // off every window: nothing lit
    Application->SetShowHint(false);  // the pointer rests on a button in the toolbar pictures
    TDemoMainForm& main = *DemoMainForm;
    TCustomForm& controls = *ChildCalled(main, "Controls");
    for (TMenuItem* item : main.StyleItems()) {
      if (item == main.FromThemeFile1) continue;
      main.StyleClick(item);
      const std::string style = TkyrUIStyleInfo.NameOf(main.CurrentStyle());
      if (item == main.MacOS1 || item == main.WinXP1) SaveMDIPictures(main, folder, style);
      SaveToolBarPicture(main, folder + "\\ToolBar-" + style + ".bmp");
      Activate(main, controls);
      controls.SetWindowState(wsMaximized);
      Save(main, folder + "\\Main-" + style + ".bmp");
      controls.SetWindowState(wsNormal);
    }
    if (argc == 3) {
      main.kyrFileTheme1->SetThemeFile(argv[2]);
      if (!main.kyrFileTheme1->IsThemeLoaded()) throw Exception(std::string("No theme file at ") + argv[2]);
      main.StyleClick(main.FromThemeFile1);
      SaveToolBarPicture(main, folder + "\\ToolBar-ThemeFile.bmp");
      Activate(main, controls);
      controls.SetWindowState(wsMaximized);
      Save(main, folder + "\\Main-ThemeFile.bmp");
      controls.SetWindowState(wsNormal);
    }
    main.StyleClick(main.MacOS1);
    Save(*DemoAboutForm, folder + "\\About.bmp");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "demo-shots: %s\n", e.what());
    return 1;
  }
  return 0;
}
