// The program's entry point: start-up, then the message loop until the main window closes.
#include <windows.h>

#include "app/Startup.h"
#include "framework/ui/Forms.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  StartVantor();
  Application->Run();
  return 0;
}
