// A message hook that the end-to-end test installs on the running program's thread, which
// makes Windows load this library into the program. A posted drop request carries a DROPFILES
// block that the test wrote into the program's memory; the hook copies it into movable global
// memory of the program and turns the request into WM_DROPFILES, as the shell's drop code does
// in the receiving process. The program then reads a real drop handle and frees it with
// DragFinish like any other.
#include <windows.h>

#include <cstring>

extern "C" __declspec(dllexport) LRESULT CALLBACK VantorDropHook(int code, WPARAM removal, LPARAM message) {
  static const UINT request = RegisterWindowMessageA("VantorTestDropRequest");
  auto* msg = reinterpret_cast<MSG*>(message);
  // Changed once, when the message leaves the queue; a look with PM_NOREMOVE leaves it alone.
  if (code == HC_ACTION && removal == PM_REMOVE && msg->message == request) {
    const auto size = static_cast<SIZE_T>(msg->lParam);
    HGLOBAL drop = GlobalAlloc(GHND, size);
    std::memcpy(GlobalLock(drop), reinterpret_cast<const void*>(msg->wParam), size);
    GlobalUnlock(drop);
    msg->message = WM_DROPFILES;
    msg->wParam = reinterpret_cast<WPARAM>(drop);
    msg->lParam = 0;
  }
  return CallNextHookEx(nullptr, code, removal, message);
}
