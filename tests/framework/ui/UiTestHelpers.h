// Helpers for the windowing tests: message pumping, pixel capture, message recording.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "framework/graphics/GdiHandles.h"
#include "framework/ui/Controls.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"

namespace uitest {

// Dispatches every queued message of this thread.
inline void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// Dispatches this thread's messages until none is left (true) or LIMIT have gone (false): a
// window that never validates keeps WM_PAINT coming for ever, which Pump would never leave.
inline bool PumpsDry(int limit = 1000) {
  MSG msg;
  for (int i = 0; i < limit; ++i) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return true;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return false;
}

// Pumps until DONE holds; gives up after a generous bound so a broken build fails instead of
// hanging (the bound is a safety net, never an expectation).
inline bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 5000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > limitMs) return false;
    Pump();
    Sleep(1);
  }
  return true;
}

// A 32-bit top-down DIB selected into a memory DC, for WM_PRINTCLIENT captures.
class TCapture {
public:
  TCapture(int width, int height) : width_(width), dc_(nullptr) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap_.Reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<uint32_t*>(bits);
    old_ = SelectObject(dc_.Get(), bitmap_.Get());
  }
  ~TCapture() { SelectObject(dc_.Get(), old_); }
  TCapture(const TCapture&) = delete;
  TCapture& operator=(const TCapture&) = delete;
  HDC DC() const { return dc_.Get(); }
  // The pixel as a TColor ($00BBGGRR).
  TColor Pixel(int x, int y) const {
    GdiFlush();
    const uint32_t v = bits_[y * width_ + x];
    return static_cast<TColor>(((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF));
  }
  void Fill(TColor color) {
    TBrushHandle brush(CreateSolidBrush(static_cast<COLORREF>(color)));
    RECT r{0, 0, width_, 1 << 15};
    FillRect(dc_.Get(), &r, brush.Get());
  }

private:
  int width_;
  TMemoryDC dc_;
  TBitmapHandle bitmap_;
  uint32_t* bits_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// Records message numbers that reach a control, through a window-procedure hook.
class TMessageLog {
public:
  TMessageLog(TControl* control, std::vector<UINT> interesting)
      : interesting_(std::move(interesting)),
        hook_(control, [this](TMessage& m) {
          for (UINT i : interesting_)
            if (i == m.Msg) messages.push_back(m.Msg);
          hook_.CallPrevious(m);
        }) {}
  std::vector<UINT> messages;

private:
  std::vector<UINT> interesting_;
  TWindowProcHook hook_;
};

// Message boxes recorded instead of shown, while the object lives.
class TMessageBoxRecorder {
public:
  struct TBox {
    std::string text, caption;
    UINT flags;
  };
  TMessageBoxRecorder() {
    previous_ = SetMessageBoxHook([this](HWND, const std::string& text, const std::string& caption, UINT flags) {
      boxes.push_back({text, caption, flags});
      return IDOK;
    });
  }
  ~TMessageBoxRecorder() { SetMessageBoxHook(previous_); }
  std::vector<TBox> boxes;

private:
  TMessageBoxHook previous_;
};

// Moves the pointer with an absolute SendInput move (relative moves are accelerated).
inline void MovePointerTo(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

inline void MouseButton(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  SendInput(1, &in, sizeof in);
}

inline void PressKey(WORD key) {
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = key;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof in[0]);
}

// A new control of class T owned by PARENT and placed on it at LEFT, TOP with
// WIDTH x HEIGHT (a label keeps that size instead of fitting its text).
template <class T>
T* Place(TWinControl* parent, int left, int top, int width, int height) {
  auto* control = new T(parent);
  if constexpr (std::is_base_of_v<TCustomLabel, T>) control->SetAutoSize(false);
  control->SetBounds(left, top, width, height);
  control->SetParent(parent);
  return control;
}

// A form shown at a fixed place, deleted with the object.
class TShownForm {
public:
  explicit TShownForm(int width = 300, int height = 200) : form(new TForm(nullptr)) {
    form->SetBorderStyle(bsNone);
    form->SetBounds(40, 40, width, height);
    form->Show();
    SetForegroundWindow(form->Handle());
    Pump();
  }
  ~TShownForm() { delete form; }
  TShownForm(const TShownForm&) = delete;
  TShownForm& operator=(const TShownForm&) = delete;
  TForm* operator->() const { return form; }
  TForm* form;
};

}  // namespace uitest
