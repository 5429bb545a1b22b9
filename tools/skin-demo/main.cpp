// The skin demo's entry point: start-up with the command line's arguments, then the message loop
// until the main window closes.
#include <windows.h>

#include "framework/ui/Forms.h"
#include "tools/skin-demo/DemoCommandLine.h"
#include "tools/skin-demo/DemoStartup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  StartSkinDemo(SplitDemoCommandLine(GetCommandLineW()));
  Application->Run();
  return 0;
}
