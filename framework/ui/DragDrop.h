// Dragging a control with the mouse (DragMode dmAutomatic, TControl::BeginDrag); one drag at a
// time.
//
// While a control is dragged, the window that held it (its own, or its parent's for a
// windowless control) has the mouse capture. Each move finds the control under the pointer and
// asks it with DragOver (dsDragEnter the first time, dsDragMove after, dsDragLeave for the one
// it left); the pointer shows the source's DragCursor over a target that accepts and crNoDrop
// elsewhere. Releasing the left button drops the source on an accepting target (DragDrop) and
// ends the drag with the source's OnEndDrag, whose target is the control dropped on or nullptr.
// The right button, a lost capture or EndDrag(false) end it without a drop.
#pragma once

#include "framework/ui/Messages.h"

class TControl;
class TWinControl;

class TDragOperation {
public:
  static void Begin(TControl* source);
  static void End(bool drop);
  // The control being dragged, or nullptr.
  static TControl* Source();
  // A mouse message of WINDOW: true when it belongs to the drag running there.
  static bool MouseMessage(TWinControl* window, TMessage& m);
  // WM_CAPTURECHANGED of WINDOW (NEW_CAPTURE: the window that has it now).
  static void CaptureChanged(TWinControl* window, HWND newCapture);
  // CONTROL is being destroyed: the drag forgets it (and ends when it is the source).
  static void ControlGone(TControl* control);

private:
  static void Finish(POINT screen, bool drop);
};
