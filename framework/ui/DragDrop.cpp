#include "framework/ui/DragDrop.h"

#include <windowsx.h>

#include "framework/ui/Controls.h"

namespace {

struct TDragRun {
  TControl* source = nullptr;
  TWinControl* window = nullptr;  // holds the capture
  TControl* target = nullptr;     // under the pointer, asked last
  bool accepted = false;
};
TDragRun gDrag;

TWinControl* CaptureHolder(TControl* control) {
  auto* windowed = dynamic_cast<TWinControl*>(control);
  return windowed ? windowed : control->Parent();
}

// The framework control under screen point P: a windowless child before its parent.
TControl* ControlAtScreen(POINT p) {
  TWinControl* window = TWinControl::FindControl(WindowFromPoint(p));
  if (!window) return nullptr;
  TControl* child = window->ControlAtPos(window->ScreenToClient(p), false, true);
  return child ? child : window;
}

void MoveTo(POINT screen) {
  TControl* target = ControlAtScreen(screen);
  TDragRun& d = gDrag;
  if (target != d.target && d.target) {
    const POINT p = d.target->ScreenToClient(screen);
    d.target->DragOver(d.source, p.x, p.y, dsDragLeave);
  }
  const TDragState state = target == d.target ? dsDragMove : dsDragEnter;
  d.target = target;
  const POINT p = target ? target->ScreenToClient(screen) : POINT{0, 0};
  d.accepted = target && target->DragOver(d.source, p.x, p.y, state);
  SetCursor(CursorHandle(d.accepted ? d.source->DragCursor() : crNoDrop));
}

}  // namespace

void TDragOperation::Begin(TControl* source) {
  if (gDrag.source) return;
  TWinControl* holder = CaptureHolder(source);
  if (!holder || !holder->HandleAllocated()) return;
  gDrag = {source, holder, nullptr, false};
  source->DoStartDrag();
  if (gDrag.source == source) SetCapture(holder->HandleIfAllocated());
}

// The state is cleared first: releasing the capture and the handlers may start anything,
// another drag included.
void TDragOperation::Finish(POINT screen, bool drop) {
  const TDragRun d = gDrag;
  gDrag = {};
  if (d.window->HandleAllocated() && GetCapture() == d.window->HandleIfAllocated()) ReleaseCapture();
  TControl* target = drop && d.accepted ? d.target : nullptr;
  const POINT p = target ? target->ScreenToClient(screen) : POINT{0, 0};
  if (target) target->DragDrop(d.source, p.x, p.y);
  d.source->DoEndDrag(target, p.x, p.y);
}

void TDragOperation::End(bool drop) {
  if (!gDrag.source) return;
  POINT screen;
  GetCursorPos(&screen);
  Finish(screen, drop);
}

TControl* TDragOperation::Source() { return gDrag.source; }

bool TDragOperation::MouseMessage(TWinControl* window, TMessage& m) {
  if (!gDrag.source || window != gDrag.window) return false;
  POINT screen{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  ClientToScreen(window->HandleIfAllocated(), &screen);
  switch (m.Msg) {
    case WM_MOUSEMOVE: MoveTo(screen); break;
    case WM_LBUTTONUP:
      MoveTo(screen);
      Finish(screen, true);
      break;
    case WM_RBUTTONDOWN: Finish(screen, false); break;
    default: break;  // other buttons mean nothing while dragging
  }
  return true;
}

void TDragOperation::CaptureChanged(TWinControl* window, HWND newCapture) {
  if (gDrag.source && window == gDrag.window && newCapture != window->HandleIfAllocated()) End(false);
}

void TDragOperation::ControlGone(TControl* control) {
  if (gDrag.target == control) gDrag.target = nullptr;
  if (gDrag.source != control && gDrag.window != control) return;
  // Nothing is told: the source or its window is going.
  TWinControl* window = gDrag.window;
  gDrag = {};
  if (window->HandleAllocated() && GetCapture() == window->HandleIfAllocated()) ReleaseCapture();
}
