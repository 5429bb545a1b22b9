// Helpers of the skinned-button tests: messages as the system sends them, pumping through the
// application (so dialog keys and characters take the program's route), recorded events and
// buttons whose memory shows any touch after they were freed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "framework/ui/Forms.h"
#include "skin/controls/KYRButton.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace kyrtest {

inline LPARAM Point(int x, int y) { return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y))); }

// Mouse messages as the system delivers them to the window under (or capturing) the pointer.
inline void LeftDown(TWinControl& c, int x = 5, int y = 5) { SendMessageA(c.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y)); }
inline void LeftUp(TWinControl& c, int x = 5, int y = 5) { SendMessageA(c.Handle(), WM_LBUTTONUP, 0, Point(x, y)); }
inline void MoveTo(TWinControl& c, int x, int y, WPARAM keys = MK_LBUTTON) {
  SendMessageA(c.Handle(), WM_MOUSEMOVE, keys, Point(x, y));
}

// Handles every queued message the way the program's loop does (dialog keys, accelerators).
inline void PumpApp() { Application->ProcessMessages(); }
inline bool PumpAppUntil(const std::function<bool()>& done, DWORD limitMs = 5000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > limitMs) return false;
    PumpApp();
    Sleep(1);
  }
  return true;
}
// Lets MS milliseconds of messages happen (to show that something does NOT happen).
inline void PumpFor(DWORD ms) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    PumpApp();
    Sleep(2);
  }
}

// A key typed into the focused window through the message queue: down, then up.
inline void PostKey(TWinControl& focused, WORD key, bool down) {
  PostMessageA(focused.Handle(), down ? WM_KEYDOWN : WM_KEYUP, key, down ? 1 : 0xC0000001);
}

// What a button reported, in order: enter, exit, down, up, click, tick.
struct TEventLog {
  std::vector<std::string> events;
  void Watch(TkyrCustomButton& b) {
    b.SetOnMouseEnter([this](TObject*) { events.push_back("enter"); });
    b.SetOnMouseExit([this](TObject*) { events.push_back("exit"); });
    b.SetOnMouseDown([this](TObject*, TMouseButton, TShiftState, int, int) { events.push_back("down"); });
    b.SetOnMouseUp([this](TObject*, TMouseButton, TShiftState, int, int) { events.push_back("up"); });
    b.SetOnClick([this](TObject*) { events.push_back("click"); });
    b.SetOnMouseContinuouslyDown([this](TObject*) { events.push_back("tick"); });
  }
  int Count(const std::string& e) const {
    int n = 0;
    for (const std::string& s : events) n += s == e;
    return n;
  }
};

// A button of class T whose memory is kept, filled with 0xDD, when it is deleted: a write to it
// afterwards changes the pattern, a virtual call through it faults.
template <class T>
class TPoisoned : public T {
public:
  using T::T;
  static void* operator new(size_t size) { return ::operator new(size); }
  static void operator delete(void* p, size_t size) {
    std::memset(p, 0xDD, size);
    Freed().push_back({static_cast<uint8_t*>(p), size});
  }
  struct TBlock {
    uint8_t* at;
    size_t size;
  };
  static std::vector<TBlock>& Freed() {
    static std::vector<TBlock> blocks;
    return blocks;
  }
  // True when every freed block still holds its pattern; releases them.
  static bool UntouchedSinceFreed() {
    bool untouched = true;
    for (const TBlock& b : Freed()) {
      for (size_t i = 0; i < b.size; ++i) untouched = untouched && b.at[i] == 0xDD;
      ::operator delete(b.at);
    }
    Freed().clear();
    return untouched;
  }
};

}  // namespace kyrtest
