// Pictures of the program's three skinned windows (main, About, message) as they show after
// start-up, for people to look at:
//   vantor-shots <folder>     writes <folder>/TForm1.bmp, TForm2.bmp, TForm3.bmp
// (`make shots` turns them into PNGs). The tests read the same windows' pixels back themselves.
#include <windows.h>

#include <cstdio>
#include <exception>
#include <initializer_list>
#include <string>

#include "app/Startup.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "tools/skin-showcase/WindowCapture.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vantor-shots <output folder>\n");
    return 2;
  }
  try {
    StartVantor();
    SetCursorPos(0, 0);  // off every window: nothing lit
    for (TForm* form : std::initializer_list<TForm*>{Form1, Form2, Form3}) {
      form->Show();
      SetWindowPos(form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
      SetForegroundWindow(form->Handle());
      SaveSettledWindow(form->Handle(), std::string(argv[1]) + "\\" + form->ClassName() + ".bmp");
      if (form != Form1) form->Hide();
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vantor-shots: %s\n", e.what());
    return 1;
  }
  return 0;
}
