// Controls: the base of everything on a form. TControl (bounds, alignment, colour, font, cursor,
// popup menu, mouse events, the framework notifications), TWinControl (owns an HWND, children,
// focus, keys, reflected child notifications), TGraphicControl (windowless, painted by its
// parent) and TCustomControl (windowed, double-buffered Paint on a canvas).
//
// The window-procedure idiom, the framework notifications (CM_*, CN_*) and window-procedure
// hooks are in Messages.h, which this header includes.
//
// Notes for derived classes:
// - Windows are created on first Handle() (a child's with its parent's); CreateParams says how,
//   CreateWindowHandle runs after. Every creation ends with CM_WNDCREATED (the first one as well
//   as re-creations), so a hook on a control sees its window come to exist; RecreateWnd keeps
//   the text and sends CM_RECREATEWND after that.
// - ~TWinControl frees owned components and detaches (does not free) other children before
//   destroying the window; a class whose owned components use its own members while they go
//   calls DestroyChildren() right after Destroying() in its destructor. A window-procedure hook
//   must be removed before the hooked control goes (a component owned by that control, or a
//   member such as TPressRepeat, does this naturally).
// - Mouse messages over a windowless child are handed to it in its own coordinates; the
//   pointer's enter/leave arrives as CM_MOUSEENTER / CM_MOUSELEAVE (TrackMouseEvent).
// - Keys the focused control does not want (WM_GETDLGCODE) reach the form as CM_DIALOGKEY /
//   CM_DIALOGCHAR, broadcast to the controls until one answers non-zero (Forms.cpp). A focused
//   control that wants Return answers DLGC_WANTALLKEYS, or DLGC_DEFPUSHBUTTON /
//   DLGC_UNDEFPUSHBUTTON as a push button: it then gets the key-down and key-up itself.
// - Anchors: a child with alNone keeps its distance to the anchored sides of its parent's client
//   area when the parent is resized (both sides anchored: it stretches; neither: it keeps its
//   place relative to the centre). The distances are those of the last SetBounds, SetAnchors or
//   SetParent.
// - Hint, ShowHint, ParentShowHint: the application's tooltip shows the short part of the hint
//   of the control under the pointer (Hints.h). ParentShowHint, ParentBiDiMode and ParentCtl3D
//   make the getter read the parent's value until the property is set.
// - DragMode dmAutomatic: a left-button press starts a drag instead of the usual mouse-down
//   (DragDrop.h); OnDragOver, OnDragDrop and OnEndDrag follow it. Docking is not supported:
//   DragKind, OnStartDock and OnEndDock are stored and never used.
// - CM_FOCUSCHANGED goes to the form and from every windowed control on to all its children,
//   so each control at any depth sees each focus change once.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/Classes.h"
#include "framework/graphics/Graphics.h"
#include "framework/ui/Messages.h"

class TWinControl;
class TCustomForm;
class TPopupMenu;

// ---- enumerations and events ----
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
inline const TEnumInfo AlignInfo("TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"});

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateFlag>;
// The shift state of a mouse message's WParam (MK_* flags) plus the Alt key.
TShiftState MouseShiftState(WPARAM keys);
// The shift state of the keyboard now.
TShiftState KeyboardShiftState();

// Cursors: crDefault leaves the choice to the parent/system, crNone hides the pointer; the others
// are system cursors (the drag cursors, which the system lacks, are its arrow and "no" cursors).
// Stored descriptions name them ("crHandPoint"): the identifier map of "TCursor".
using TCursor = int;
inline constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6,
                         crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11,
                         crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15, crMultiDrag = -16,
                         crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20, crHandPoint = -21,
                         crSizeAll = -22;
// The system cursor shown for CURSOR (nullptr for crNone; the arrow for unknown values).
HCURSOR CursorHandle(TCursor cursor);

// Sides of the parent a control keeps its distance to.
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
inline const TEnumInfo AnchorKindInfo("TAnchorKind", {"akLeft", "akTop", "akRight", "akBottom"});
// The bounds of a control anchored by ANCHORS that had BOUNDS while its parent's client area was
// OLD_SIZE, once that area is NEW_SIZE.
RECT AnchoredBounds(TAnchors anchors, const RECT& bounds, SIZE oldSize, SIZE newSize);

// Reading order. Only a system with a Middle-East locale turns anything right to left; elsewhere
// the mode is stored and has no effect.
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
inline const TEnumInfo BiDiModeInfo("TBiDiMode",
                                    {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly"});
bool MiddleEastLocale();
// Text reads right to left: any mode but bdLeftToRight, on a Middle-East system.
bool RightToLeftReading(TBiDiMode mode, bool middleEast);
// Alignments are mirrored: bdRightToLeft only, on a Middle-East system.
bool RightToLeftAlignment(TBiDiMode mode, bool middleEast);

enum TDragMode { dmManual, dmAutomatic };
inline const TEnumInfo DragModeInfo("TDragMode", {"dmManual", "dmAutomatic"});
enum TDragKind { dkDrag, dkDock };
inline const TEnumInfo DragKindInfo("TDragKind", {"dkDrag", "dkDock"});
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
// Input-method states, stored for the controls that publish them; this program's locales have
// no input method, so they change nothing.
enum TImeMode { imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese,
                imSHanguel, imHanguel };
inline const TEnumInfo ImeModeInfo("TImeMode", {"imDisable", "imClose", "imOpen", "imDontCare", "imSAlpha", "imAlpha",
                                                "imHira", "imSKata", "imKata", "imChinese", "imSHanguel", "imHanguel"});

// Borders of forms; panels and memos use bsNone and bsSingle.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;
inline const TEnumInfo FormBorderStyleInfo("TFormBorderStyle",
                                           {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"});
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
inline const TEnumInfo AlignmentInfo("TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"});

enum TControlStyleFlag { csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque, csSetCaption };
using TControlStyle = TSet<TControlStyleFlag>;

using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TObject* sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;
// MOUSE_POS in the control's client coordinates ((-1, -1) from the keyboard); HANDLED true stops
// the popup menu.
using TContextPopupEvent = std::function<void(TObject* sender, POINT mousePos, bool& handled)>;
// Asked before the control takes a new size: change the size, or refuse with RESIZE false.
using TCanResizeEvent = std::function<void(TObject* sender, int& newWidth, int& newHeight, bool& resize)>;
using TDragOverEvent =
    std::function<void(TObject* sender, TObject* source, int x, int y, TDragState state, bool& accept)>;
using TDragDropEvent = std::function<void(TObject* sender, TObject* source, int x, int y)>;
// TARGET is the control the drag ended on when it accepted the drop, else nullptr.
using TEndDragEvent = std::function<void(TObject* sender, TObject* target, int x, int y)>;

// Size limits of a control (0: no limit); a change re-applies them to the control.
class TSizeConstraints : public TPersistent {
  VANTOR_CLASS(TSizeConstraints, TPersistent)
public:
  int MinWidth() const { return minWidth_; }
  int MinHeight() const { return minHeight_; }
  int MaxWidth() const { return maxWidth_; }
  int MaxHeight() const { return maxHeight_; }
  void SetMinWidth(int value) { Change(minWidth_, value); }
  void SetMinHeight(int value) { Change(minHeight_, value); }
  void SetMaxWidth(int value) { Change(maxWidth_, value); }
  void SetMaxHeight(int value) { Change(maxHeight_, value); }
  // WIDTH and HEIGHT limited to the constraints.
  void Apply(int& width, int& height) const;

  TNotifyEvent OnChange;
  static void DeclarePublished(TPublished<TSizeConstraints>& p);

private:
  void Change(int& field, int value);
  int minWidth_ = 0, minHeight_ = 0, maxWidth_ = 0, maxHeight_ = 0;
};

// ---- TControl ----
class TControl : public TComponent {
  VANTOR_CLASS(TControl, TComponent)
  friend class TWinControl;

public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  void SetParentComponent(TComponent* parent) override;
  TComponent* GetParentComponent() const override;
  // The form this control sits on (itself for a form), or nullptr.
  TCustomForm* ParentForm() const;

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
  void SetTop(int value) { SetBounds(left_, value, width_, height_); }
  void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
  void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
  // Moves and sizes the control (in its parent's client coordinates), within its constraints.
  virtual void SetBounds(int left, int top, int width, int height);
  RECT BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
  void SetBoundsRect(const RECT& r) { SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top); }
  virtual RECT ClientRect() const;
  int ClientWidth() const;
  int ClientHeight() const;
  void SetClientWidth(int value) { SetClientSize(value, ClientHeight()); }
  void SetClientHeight(int value) { SetClientSize(ClientWidth(), value); }
  virtual void SetClientSize(int width, int height);
  TSizeConstraints* Constraints() { return &constraints_; }

  TAlign Align() const { return align_; }
  void SetAlign(TAlign value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible with every parent visible.
  bool Showing() const;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);

  TColor Color() const { return color_; }
  void SetColor(TColor value);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);
  TFont* Font() { return &font_; }
  const TFont* Font() const { return &font_; }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor value);
  TPopupMenu* PopupMenu() const;
  void SetPopupMenu(TPopupMenu* value);
  // The control's own popup menu, else the nearest parent's; nullptr when none has one.
  TPopupMenu* NearestPopupMenu() const;

  // "Short|long": the tooltip shows the short part (Hints.h).
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value) { hint_ = value; }
  // The parent's ShowHint while ParentShowHint is on; setting it turns ParentShowHint off.
  bool ShowHint() const;
  void SetShowHint(bool value);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool value) { parentShowHint_ = value; }

  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors value);

  // The parent's BiDiMode while ParentBiDiMode is on; setting it turns ParentBiDiMode off.
  TBiDiMode BiDiMode() const;
  void SetBiDiMode(TBiDiMode value);
  bool ParentBiDiMode() const { return parentBiDiMode_; }
  void SetParentBiDiMode(bool value) { parentBiDiMode_ = value; }
  bool UseRightToLeftReading() const { return RightToLeftReading(BiDiMode(), MiddleEastLocale()); }
  bool UseRightToLeftAlignment() const { return RightToLeftAlignment(BiDiMode(), MiddleEastLocale()); }

  TDragMode DragMode() const { return dragMode_; }
  void SetDragMode(TDragMode value) { dragMode_ = value; }
  TDragKind DragKind() const { return dragKind_; }
  void SetDragKind(TDragKind value) { dragKind_ = value; }
  // The pointer over a target that accepts this control while it is dragged.
  TCursor DragCursor() const { return dragCursor_; }
  void SetDragCursor(TCursor value) { dragCursor_ = value; }
  // Starts dragging this control: the pointer is captured until the left button is released.
  void BeginDrag();
  // Ends a drag of this control, dropping it on the target under the pointer when DROP and the
  // target accepts it.
  void EndDrag(bool drop);
  bool Dragging() const;
  // Asked while a dragged SOURCE is over this control at (X, Y) (client coordinates): fires
  // OnDragOver; without one the control does not accept.
  virtual bool DragOver(TObject* source, int x, int y, TDragState state);
  // SOURCE was dropped at (X, Y): fires OnDragDrop.
  virtual void DragDrop(TObject* source, int x, int y);

  // The caption (window text for windowed controls).
  virtual std::string Text() const;
  virtual void SetText(const std::string& value);
  std::string Caption() const { return Text(); }
  void SetCaption(const std::string& value) { SetText(value); }

  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle value) { controlStyle_ = value; }
  bool MouseInControl() const { return mouseInControl_; }

  // Sends a message to the control's WindowProc and returns its result.
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  const TWndMethod& WindowProc() const { return windowProc_; }
  // TAG identifies who installed PROC (TWindowProcHook uses it to know whether it is on top).
  void SetWindowProc(TWndMethod proc, const void* tag = nullptr) {
    windowProc_ = std::move(proc);
    windowProcTag_ = tag;
  }
  const void* WindowProcTag() const { return windowProcTag_; }
  virtual void WndProc(TMessage& m);
  virtual void DefaultHandler(TMessage& m);

  virtual void Invalidate();
  // Paints pending invalid areas now.
  virtual void Update();
  void Repaint() {
    Invalidate();
    Update();
  }
  virtual void BringToFront();
  // Screen coordinates of the client area's top-left corner.
  virtual POINT ClientOrigin() const;
  POINT ClientToScreen(POINT p) const;
  POINT ScreenToClient(POINT p) const;

  const TNotifyEvent& OnClick() const { return onClick_; }
  void SetOnClick(TNotifyEvent e) { onClick_ = std::move(e); }
  const TNotifyEvent& OnDblClick() const { return onDblClick_; }
  void SetOnDblClick(TNotifyEvent e) { onDblClick_ = std::move(e); }
  const TMouseEvent& OnMouseDown() const { return onMouseDown_; }
  void SetOnMouseDown(TMouseEvent e) { onMouseDown_ = std::move(e); }
  const TMouseEvent& OnMouseUp() const { return onMouseUp_; }
  void SetOnMouseUp(TMouseEvent e) { onMouseUp_ = std::move(e); }
  const TMouseMoveEvent& OnMouseMove() const { return onMouseMove_; }
  void SetOnMouseMove(TMouseMoveEvent e) { onMouseMove_ = std::move(e); }
  const TNotifyEvent& OnMouseEnter() const { return onMouseEnter_; }
  void SetOnMouseEnter(TNotifyEvent e) { onMouseEnter_ = std::move(e); }
  const TNotifyEvent& OnMouseLeave() const { return onMouseLeave_; }
  void SetOnMouseLeave(TNotifyEvent e) { onMouseLeave_ = std::move(e); }
  const TNotifyEvent& OnResize() const { return onResize_; }
  void SetOnResize(TNotifyEvent e) { onResize_ = std::move(e); }
  const TCanResizeEvent& OnCanResize() const { return onCanResize_; }
  void SetOnCanResize(TCanResizeEvent e) { onCanResize_ = std::move(e); }
  const TContextPopupEvent& OnContextPopup() const { return onContextPopup_; }
  void SetOnContextPopup(TContextPopupEvent e) { onContextPopup_ = std::move(e); }
  const TNotifyEvent& OnStartDrag() const { return onStartDrag_; }
  void SetOnStartDrag(TNotifyEvent e) { onStartDrag_ = std::move(e); }
  const TDragOverEvent& OnDragOver() const { return onDragOver_; }
  void SetOnDragOver(TDragOverEvent e) { onDragOver_ = std::move(e); }
  const TDragDropEvent& OnDragDrop() const { return onDragDrop_; }
  void SetOnDragDrop(TDragDropEvent e) { onDragDrop_ = std::move(e); }
  const TEndDragEvent& OnEndDrag() const { return onEndDrag_; }
  void SetOnEndDrag(TEndDragEvent e) { onEndDrag_ = std::move(e); }
  // Docking is not supported: these are stored and never fired.
  const TNotifyEvent& OnStartDock() const { return onStartDock_; }
  void SetOnStartDock(TNotifyEvent e) { onStartDock_ = std::move(e); }
  const TEndDragEvent& OnEndDock() const { return onEndDock_; }
  void SetOnEndDock(TEndDragEvent e) { onEndDock_ = std::move(e); }

  static void DeclarePublished(TPublished<TControl>& p);

protected:
  friend class TDragOperation;
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void Resize();
  // Asked before a new size is taken (SetBounds, or Windows sizing the window): fires
  // OnCanResize, which may change the size or refuse it (false).
  virtual bool CanResize(int& width, int& height);
  // Fires OnContextPopup; true when the handler took the request.
  virtual bool DoContextPopup(POINT mousePos);
  virtual void DoStartDrag();
  virtual void DoEndDrag(TObject* target, int x, int y);
  void Loaded() override;
  // Put a new Visible / Enabled into effect (windowless: repaint; windowed: the window's state).
  virtual void ApplyVisible();
  virtual void ApplyEnabled() {}
  // Repaints the part of the parent this control covers (windowless controls).
  void InvalidateParentArea(bool erase);
  // Asks the parent to lay out its aligned children again.
  void RequestAlign();
  // Takes the current bounds and the parent's client size as the distances Anchors keep.
  void UpdateAnchorRules();
  // Stores new bounds without moving anything (for windows that moved themselves).
  void StoreBounds(int left, int top, int width, int height);
  // Takes the parent's font or colour when ParentFont / ParentColor is set.
  void TakeParentFont();
  void TakeParentColor();
  // Called when the control lost the pointer capture or a graphic control must not keep it.
  virtual void SetMouseCapture(bool capture);
  // Expires when the control is freed: handlers check it after code that may free the control
  // (an OnClick that deletes its own button).
  std::weak_ptr<void> LifeToken() const { return life_; }

  std::string text_;

private:
  void WMMouseDown(TMessage& m);
  void WMMouseUp(TMessage& m);
  void WMMouseMove(TMessage& m);
  void WMDoubleClick(TMessage& m);
  void CMMouseEnter(TMessage& m);
  void CMMouseLeave(TMessage& m);
  void CMChanged(TMessage& m);
  void CMParentFontChanged(TMessage& m);
  void CMParentColorChanged(TMessage& m);
  void FontChanged();

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = alNone;
  bool visible_ = true;
  bool enabled_ = true;
  TColor color_ = clBtnFace;
  bool parentColor_ = false;
  TFont font_;
  bool parentFont_ = true;
  bool takingParentFont_ = false;
  TCursor cursor_ = crDefault;
  TComponentRef<TPopupMenu> popupMenu_{this};
  std::string hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  TAnchors anchors_{akLeft, akTop};
  RECT anchorBounds_{0, 0, 0, 0};
  SIZE anchorParentSize_{0, 0};
  TBiDiMode biDiMode_ = bdLeftToRight;
  bool parentBiDiMode_ = true;
  TDragMode dragMode_ = dmManual;
  TDragKind dragKind_ = dkDrag;
  TCursor dragCursor_ = crDrag;
  TControlStyle controlStyle_{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TSizeConstraints constraints_;
  bool mouseInControl_ = false;
  bool clicking_ = false;
  TWndMethod windowProc_;
  const void* windowProcTag_ = nullptr;
  std::shared_ptr<char> life_ = std::make_shared<char>();
  TNotifyEvent onClick_, onDblClick_, onMouseEnter_, onMouseLeave_, onResize_, onStartDrag_, onStartDock_;
  TMouseEvent onMouseDown_, onMouseUp_;
  TMouseMoveEvent onMouseMove_;
  TCanResizeEvent onCanResize_;
  TContextPopupEvent onContextPopup_;
  TDragOverEvent onDragOver_;
  TDragDropEvent onDragDrop_;
  TEndDragEvent onEndDrag_, onEndDock_;
};

// What CreateWnd passes to CreateWindowExA. SubclassOf names a system class ("BUTTON", "EDIT")
// to create and then subclass; otherwise ClassName is registered with the framework's procedure.
struct TCreateParams {
  std::string Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  std::string ClassName = "VantorControl";
  UINT ClassStyle = CS_DBLCLKS;
  std::string SubclassOf;
};

// ---- TWinControl ----
class TWinControl : public TControl {
  VANTOR_CLASS(TWinControl, TControl)
public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  // The window, created (with its parents') on first use.
  HWND Handle();
  HWND HandleIfAllocated() const { return handle_; }
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded() { Handle(); }
  // The control bound to WINDOW, or nullptr.
  static TWinControl* FindControl(HWND window);

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_.at(static_cast<size_t>(index)); }
  // The visible child (windowless first, then windowed, topmost first) at POINT of the client
  // area, or nullptr.
  TControl* ControlAtPos(POINT point, bool allowDisabled = false, bool windowlessOnly = false) const;

  // Lays out the aligned children (alTop, alBottom, alLeft, alRight, then alClient).
  void Realign();
  void DisableAlign() { ++alignDisabled_; }
  void EnableAlign();
  // The area left for aligned children; panels take their bevels off.
  virtual void AdjustClientRect(RECT& rect) const;
  // Moves every child by (DX, DY) and scrolls the window's contents.
  void ScrollBy(int dx, int dy);

  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value);
  int TabOrder() const;
  void SetTabOrder(int value);
  // Pixels of non-client band inside the window's edge.
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int value);
  void SetFocus();
  bool Focused() const;
  bool CanFocus() const;
  // Sends M to every child until one answers with a non-zero Result.
  void Broadcast(TMessage& m);
  // Destroys and creates the window again (style changes); children follow.
  void RecreateWnd();

  // Edges drawn sunken (an edit's WS_EX_CLIENTEDGE) rather than flat; the parent's while
  // ParentCtl3D is on. A change re-creates the window.
  bool Ctl3D() const;
  void SetCtl3D(bool value);
  bool ParentCtl3D() const { return parentCtl3D_; }
  void SetParentCtl3D(bool value);
  // Stored only (see TImeMode).
  TImeMode ImeMode() const { return imeMode_; }
  void SetImeMode(TImeMode value) { imeMode_ = value; }
  const std::string& ImeName() const { return imeName_; }
  void SetImeName(const std::string& value) { imeName_ = value; }

  void SetParent(TWinControl* parent) override;
  void SetBounds(int left, int top, int width, int height) override;
  std::string Text() const override;
  void SetText(const std::string& value) override;
  RECT ClientRect() const override;
  void Invalidate() override;
  void Update() override;
  void BringToFront() override;
  POINT ClientOrigin() const override;
  void WndProc(TMessage& m) override;
  void DefaultHandler(TMessage& m) override;
  // Paints the visible windowless children onto DC (client coordinates).
  void PaintControls(HDC dc);

  const TNotifyEvent& OnEnter() const { return onEnter_; }
  void SetOnEnter(TNotifyEvent e) { onEnter_ = std::move(e); }
  const TNotifyEvent& OnExit() const { return onExit_; }
  void SetOnExit(TNotifyEvent e) { onExit_ = std::move(e); }
  const TKeyEvent& OnKeyDown() const { return onKeyDown_; }
  void SetOnKeyDown(TKeyEvent e) { onKeyDown_ = std::move(e); }
  const TKeyEvent& OnKeyUp() const { return onKeyUp_; }
  void SetOnKeyUp(TKeyEvent e) { onKeyUp_ = std::move(e); }
  const TKeyPressEvent& OnKeyPress() const { return onKeyPress_; }
  void SetOnKeyPress(TKeyPressEvent e) { onKeyPress_ = std::move(e); }

  static void DeclarePublished(TPublished<TWinControl>& p);

protected:
  friend class TControl;
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();
  virtual void DestroyWnd();
  // After the window exists: font, children. Derived classes push their state here.
  virtual void CreateWindowHandle(const TCreateParams& params);
  // Called after each layout with the part of the client area the aligned children left (an
  // MDI frame puts its client window there).
  virtual void AlignRemainder(const RECT&) {}
  // Paints the client area on DC (the default: nothing; the windowless children come after).
  virtual void PaintWindow(HDC dc);
  virtual void DoEnter();
  virtual void DoExit();
  virtual void KeyDown(WORD& key, TShiftState shift);
  virtual void KeyUp(WORD& key, TShiftState shift);
  virtual void KeyPress(char& key);
  void SetMouseCapture(bool capture) override;
  void ApplyVisible() override;
  void ApplyEnabled() override;
  void Loaded() override;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  // Brings window and object state together after Windows moved or sized the window.
  void UpdateBoundsFromWindow();
  // Frees owned components and children while this object is still whole.
  void DestroyChildren();

private:
  void Bind(HWND window);
  void Unbind();
  void CreateChildHandles();
  void AlignList(TAlign align, RECT& rect);
  void AnchorControls();
  bool RouteMouseToChild(TMessage& m);
  void WMPaint(TMessage& m);
  void WMEraseBkgnd(TMessage& m);
  void WMSize(TMessage& m);
  void WMMove(TMessage& m);
  void WMWindowPosChanging(TMessage& m);
  void WMSetFocus(TMessage& m);
  void WMKillFocus(TMessage& m);
  void WMKey(TMessage& m);
  void WMChar(TMessage& m);
  void WMMouseLeave(TMessage& m);
  void WMSetCursor(TMessage& m);
  void WMContextMenu(TMessage& m);
  void WMNCCalcSize(TMessage& m);
  void WMNCDestroy(TMessage& m);
  void WMNCPaint(TMessage& m);
  void WMCaptureChanged(TMessage& m);
  void ReflectToChild(TMessage& m);
  void CMBroadcast(TMessage& m);
  void CMFocusChanged(TMessage& m);
  void CMColorChanged(TMessage& m);
  void CMFontChanged(TMessage& m);
  void MouseRouter(TMessage& m);

  friend LRESULT CALLBACK StdWndProc(HWND, UINT, WPARAM, LPARAM);
  HWND handle_ = nullptr;
  WNDPROC defWndProc_ = DefWindowProcA;
  std::vector<TControl*> controls_;
  std::vector<TWinControl*> tabList_;
  int alignDisabled_ = 0;
  bool aligning_ = false;
  bool anchoring_ = false;
  bool settingBounds_ = false;
  bool realignPending_ = false;
  bool ctl3D_ = true;
  bool parentCtl3D_ = true;
  TImeMode imeMode_ = imDontCare;
  std::string imeName_;
  bool tabStop_ = false;
  int borderWidth_ = 0;
  bool trackingLeave_ = false;
  TBrushHandle brush_;
  TColor brushColor_ = clNone;
  TNotifyEvent onEnter_, onExit_;
  TKeyEvent onKeyDown_, onKeyUp_;
  TKeyPressEvent onKeyPress_;
};

// ---- TGraphicControl: no window; its parent paints it and hands it mouse messages ----
class TGraphicControl : public TControl {
  VANTOR_CLASS(TGraphicControl, TControl)
public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  TCanvas& Canvas() { return canvas_; }
  void WndProc(TMessage& m) override;

protected:
  // Draws the control on Canvas() in its own coordinates.
  virtual void Paint() {}

private:
  void WMPaint(TMessage& m);
  TCanvas canvas_;
};

// ---- TCustomControl: a window of our own class, painted through an off-screen buffer ----
class TCustomControl : public TWinControl {
  VANTOR_CLASS(TCustomControl, TWinControl)
public:
  explicit TCustomControl(TComponent* owner);
  TCanvas& Canvas() { return canvas_; }
  void WndProc(TMessage& m) override;
  // Paints the whole client area (Paint and the windowless children) through one off-screen
  // bitmap copied to DC with one BitBlt.
  void PaintTo(HDC dc);

protected:
  // Draws the client area on Canvas(); the buffer starts filled with Color.
  virtual void Paint() {}

private:
  void WMPaint(TMessage& m);
  void WMEraseBkgnd(TMessage& m);
  void WMPrintClient(TMessage& m);
  TCanvas canvas_;
};

// Which control the pointer is over (mouse enter/leave bookkeeping), nullptr when none.
TControl* ControlUnderMouse();
