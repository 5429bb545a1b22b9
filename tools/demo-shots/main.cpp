// Pictures of the skin demo's windows, for people to look at:
//   demo-shots <folder> [<theme file>]
// writes <folder>/Main-<Style>.bmp for every built-in style (chosen as the Style menu chooses
// it), Main-ThemeFile.bmp from the theme file when one is given, and About.bmp (`make
// demo-shots` turns them into PNGs). The tests read the same windows' pixels back themselves.
#include <windows.h>

#include <cstdio>
#include <exception>
#include <string>

#include "tools/skin-demo/DemoAbout.h"
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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: demo-shots <output folder> [<theme file>]\n");
    return 2;
  }
  const std::string folder = argv[1];
  try {
    StartSkinDemo();
    SetCursorPos(0, 0);  // off every window: nothing lit
    TDemoMainForm& main = *DemoMainForm;
    for (TMenuItem* item : main.StyleItems()) {
      if (item == main.FromThemeFile1) continue;
      main.StyleClick(item);
      Save(main, folder + "\\Main-" + TkyrUIStyleInfo.NameOf(main.CurrentStyle()) + ".bmp");
    }
    if (argc == 3) {
      main.kyrFileTheme1->SetThemeFile(argv[2]);
      if (!main.kyrFileTheme1->IsThemeLoaded()) throw Exception(std::string("No theme file at ") + argv[2]);
      main.StyleClick(main.FromThemeFile1);
      Save(main, folder + "\\Main-ThemeFile.bmp");
    }
    main.StyleClick(main.MacOS1);
    Save(*DemoAboutForm, folder + "\\About.bmp");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "demo-shots: %s\n", e.what());
    return 1;
  }
  return 0;
}
