// The skinned memo: the multi-line EDIT control with a one-pixel frame in the style's
// control-border colour, and up to two skinned scroll bars (TkyrScrollBar siblings on the same
// parent) laid exactly over the EDIT control's own scroll bars.
//
//   auto* memo = new TkyrMemo(form);  memo->SetParent(form);  memo->SetBounds(8, 8, 300, 200);
//   auto* bar = new TkyrScrollBar(form);  bar->SetParent(form);
//   memo->SetVScrollBar(bar);          // the native vertical bar goes on; the skinned one covers it
//
// Windows keeps doing the scrolling: after every message that can change the text or scroll it
// (keys and typed characters, cut/paste/clear/undo, text set by the program, the wheel, a
// button dragging a selection, the EDIT's own scroll messages) the memo copies the native
// scroll state into the bars (SyncBars); a bar's change scrolls the EDIT control. Two flags stop
// the echo: a position copied into a bar is not sent back, and a scroll sent by a bar is not
// copied again.
//
// Vertical positions are lines. WM_VSCROLL's SB_THUMBPOSITION carries only 16 bits, so a
// position above 65535 scrolls the EDIT control by the line difference from its first visible
// line (EM_LINESCROLL) instead.
//
// Bars are referenced, not owned. Binding one switches the matching native scroll bar on,
// turns the bar to the right orientation and brings it to the front; releasing one (rebinding,
// clearing, or the memo being destroyed) leaves it a plain bar (no change handler, Max 100,
// LineButton 0, enabled); a bar that is destroyed is dropped from the binding. A bar is shown
// only while the memo is visible and wide (tall) enough for it.
#pragma once

#include <cstdint>

#include "framework/ui/StdCtrls.h"
#include "skin/KYRStyled.h"
#include "skin/controls/KYRScrollBar.h"

class TkyrMemo : public TkyrStyled<TCustomMemo> {
  VANTOR_CLASS(TkyrMemo, TkyrStyled<TCustomMemo>)
public:
  explicit TkyrMemo(TComponent* owner);
  ~TkyrMemo() override;

  // The frame's outer line; a value set after UIStyle stays until the style is set again.
  TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(TColor value);
  TkyrScrollBar* VScrollBar() const { return vBar_; }
  void SetVScrollBar(TkyrScrollBar* value) { Bind(vBar_, value, kyrVertical); }
  TkyrScrollBar* HScrollBar() const { return hBar_; }
  void SetHScrollBar(TkyrScrollBar* value) { Bind(hBar_, value, kyrHorizontal); }

  // The left button went down in the memo and has not come up.
  bool LeftButtonDown() const { return leftButtonDown_; }
  // Copies the native scroll state into the bound bars.
  void SyncBars();
  // Lays the bound bars over the native ones, then SyncBars.
  void PlaceBars();

  void WndProc(TMessage& m) override;
  static void DeclarePublished(TPublished<TkyrMemo>& p);

protected:
  void ApplyUIStyle(const TkyrStyleSource& source) override;
  void CreateWindowHandle(const TCreateParams& params) override;

private:
  void Bind(TComponentRef<TkyrScrollBar>& slot, TkyrScrollBar* value, TkyrProgressBarOrientation orientation);
  void Release(TkyrScrollBar* bar);
  void UpdateNativeBars();
  void SyncBar(TkyrScrollBar& bar, LONG objectId, int which);
  void BarChanged(TkyrScrollBar& bar);
  void ScrollVertically(int32_t position);
  void PaintFrame();
  void RaiseBars();
  void InvalidateFrame();
  void SyncAfterDefault(TMessage& m);
  void WMSizeOrMove(TMessage& m);
  void WMLButtonDown(TMessage& m);
  void WMLButtonUp(TMessage& m);
  void WMMouseMove(TMessage& m);
  void WMScroll(TMessage& m);
  void WMPaintFrame(TMessage& m);
  void WMSetFont(TMessage& m);
  void SetTextMargins();
  void CMVisibleChanged(TMessage& m);

  TColor borderColor_ = clBlack;
  bool leftButtonDown_ = false;
  // A bar that goes is dropped from the binding; the native bars follow.
  TComponentRef<TkyrScrollBar> vBar_{this, [this] { UpdateNativeBars(); }};
  TComponentRef<TkyrScrollBar> hBar_{this, [this] { UpdateNativeBars(); }};
  bool updatingBars_ = false;
  bool scrollingFromBar_ = false;
};
