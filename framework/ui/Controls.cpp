#include "framework/ui/Controls.h"

#include <windowsx.h>

#include <algorithm>

#include "framework/core/ScopeGuard.h"
#include "framework/ui/DragDrop.h"
#include "framework/ui/Forms.h"
#include "framework/ui/Hints.h"
#include "framework/ui/Menus.h"
#include "framework/ui/WindowClasses.h"

namespace {

// The window property that binds an HWND to its control.
constexpr char kControlProp[] = "VantorControl";

// The control whose window CreateWindowExA is making: bound at the first message that reaches
// the framework's procedure (for top-level windows that is WM_GETMINMAXINFO, before WM_NCCREATE).
thread_local TWinControl* gCreating = nullptr;
TControl* gMouseControl = nullptr;    // under the pointer, for CM_MOUSEENTER / CM_MOUSELEAVE
TControl* gCaptureControl = nullptr;  // windowless control that holds its parent's capture
int gNextControlId = 100;

struct TCursorEntry {
  TCursor cursor;
  const char* name;
  LPCSTR id;  // nullptr: no system cursor (crDefault, crNone)
};
const TCursorEntry kCursors[] = {
    {crDefault, "crDefault", nullptr},        {crNone, "crNone", nullptr},
    {crArrow, "crArrow", IDC_ARROW},          {crCross, "crCross", IDC_CROSS},
    {crIBeam, "crIBeam", IDC_IBEAM},          {crSizeNESW, "crSizeNESW", IDC_SIZENESW},
    {crSizeNS, "crSizeNS", IDC_SIZENS},       {crSizeNWSE, "crSizeNWSE", IDC_SIZENWSE},
    {crSizeWE, "crSizeWE", IDC_SIZEWE},       {crUpArrow, "crUpArrow", IDC_UPARROW},
    {crHourGlass, "crHourGlass", IDC_WAIT},   {crDrag, "crDrag", IDC_ARROW},
    {crNoDrop, "crNoDrop", IDC_NO},           {crHSplit, "crHSplit", IDC_SIZEWE},
    {crVSplit, "crVSplit", IDC_SIZENS},       {crMultiDrag, "crMultiDrag", IDC_ARROW},
    {crSQLWait, "crSQLWait", IDC_WAIT},       {crNo, "crNo", IDC_NO},
    {crAppStart, "crAppStart", IDC_APPSTARTING}, {crHelp, "crHelp", IDC_HELP},
    {crHandPoint, "crHandPoint", IDC_HAND},   {crSizeAll, "crSizeAll", IDC_SIZEALL},
};

// Stored descriptions name cursors; registered before any description is read.
const bool cursorIdentsRegistered = [] {
  RegisterIntegerConsts(
      "TCursor",
      [](std::string_view ident, int64_t& value) {
        for (const TCursorEntry& e : kCursors) {
          if (!SameText(e.name, ident)) continue;
          value = e.cursor;
          return true;
        }
        return false;
      },
      [](int64_t value, std::string& ident) {
        for (const TCursorEntry& e : kCursors) {
          if (e.cursor != value) continue;
          ident = e.name;
          return true;
        }
        return false;
      });
  return true;
}();

bool IsWindowless(const TControl* c) { return dynamic_cast<const TWinControl*>(c) == nullptr; }

void SetMouseControl(TControl* control) {
  if (control == gMouseControl) return;
  TControl* previous = gMouseControl;
  gMouseControl = control;
  if (previous) previous->Perform(CM_MOUSELEAVE);
  if (control) control->Perform(CM_MOUSEENTER);
  Application->HintMouseEnter(gMouseControl);  // an enter handler may have moved it on already
}

// The control under the pointer is going away: forget it without sending it anything.
void ForgetMouseControl() {
  gMouseControl = nullptr;
  Application->HintMouseEnter(nullptr);
}

POINT PointOf(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

}  // namespace

LRESULT CALLBACK StdWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// ---- cursors, anchors, reading order ----
HCURSOR CursorHandle(TCursor cursor) {
  if (cursor == crNone) return nullptr;
  for (const TCursorEntry& e : kCursors)
    if (e.cursor == cursor && e.id) return LoadCursorA(nullptr, e.id);
  return LoadCursorA(nullptr, IDC_ARROW);
}

namespace {
// One axis of AnchoredBounds: the control spans START..END; its parent grew by GROWTH.
void AnchorAxis(bool nearSide, bool farSide, LONG& start, LONG& end, LONG growth) {
  if (nearSide && farSide) {
    end += growth;
  } else if (farSide) {
    start += growth;
    end += growth;
  } else if (!nearSide) {
    start += growth / 2;
    end += growth / 2;
  }
}
}  // namespace

RECT AnchoredBounds(TAnchors anchors, const RECT& bounds, SIZE oldSize, SIZE newSize) {
  RECT r = bounds;
  AnchorAxis(anchors.Contains(akLeft), anchors.Contains(akRight), r.left, r.right, newSize.cx - oldSize.cx);
  AnchorAxis(anchors.Contains(akTop), anchors.Contains(akBottom), r.top, r.bottom, newSize.cy - oldSize.cy);
  return r;
}

bool MiddleEastLocale() { return GetSystemMetrics(SM_MIDEASTENABLED) != 0; }
bool RightToLeftReading(TBiDiMode mode, bool middleEast) { return middleEast && mode != bdLeftToRight; }
bool RightToLeftAlignment(TBiDiMode mode, bool middleEast) { return middleEast && mode == bdRightToLeft; }

// ---- shift states ----
TShiftState MouseShiftState(WPARAM keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s.Include(ssShift);
  if (keys & MK_CONTROL) s.Include(ssCtrl);
  if (keys & MK_LBUTTON) s.Include(ssLeft);
  if (keys & MK_RBUTTON) s.Include(ssRight);
  if (keys & MK_MBUTTON) s.Include(ssMiddle);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TShiftState KeyboardShiftState() {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TControl* ControlUnderMouse() { return gMouseControl; }

// ---- TSizeConstraints ----
void TSizeConstraints::Apply(int& width, int& height) const {
  if (maxWidth_ > 0) width = std::min(width, maxWidth_);
  if (maxHeight_ > 0) height = std::min(height, maxHeight_);
  width = std::max(width, minWidth_);
  height = std::max(height, minHeight_);
}

void TSizeConstraints::Change(int& field, int value) {
  if (field == value) return;
  field = value;
  if (OnChange) OnChange(this);
}

void TSizeConstraints::DeclarePublished(TPublished<TSizeConstraints>& p) {
  p.Integer("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth);
  p.Integer("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight);
  p.Integer("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth);
  p.Integer("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight);
}

// ---- TControl ----
TControl::TControl(TComponent* owner) : TComponent(owner) {
  windowProc_ = [this](TMessage& m) { WndProc(m); };
  font_.OnChange = [this](TObject*) { FontChanged(); };
  constraints_.OnChange = [this](TObject*) { SetBounds(left_, top_, width_, height_); };
}

TControl::~TControl() {
  Destroying();
  TDragOperation::ControlGone(this);
  if (gMouseControl == this) ForgetMouseControl();
  if (gCaptureControl == this) gCaptureControl = nullptr;
  if (parent_) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw Exception("A control cannot be its own parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
  if (parentFont_) TakeParentFont();
  if (parentColor_) TakeParentColor();
}

void TControl::SetParentComponent(TComponent* parent) {
  if (auto* w = dynamic_cast<TWinControl*>(parent)) SetParent(w);
}

TComponent* TControl::GetParentComponent() const { return parent_; }

TCustomForm* TControl::ParentForm() const {
  const TControl* c = this;
  while (c->parent_) c = c->parent_;
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if ((width != width_ || height != height_) && !CanResize(width, height)) {
    width = width_;
    height = height_;
  }
  constraints_.Apply(width, height);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  const bool sized = width != width_ || height != height_;
  InvalidateParentArea(true);
  StoreBounds(left, top, width, height);
  InvalidateParentArea(true);
  UpdateAnchorRules();
  if (sized) Resize();
  RequestAlign();
}

void TControl::UpdateAnchorRules() {
  if (!parent_ || parent_->anchoring_) return;
  anchorBounds_ = BoundsRect();
  anchorParentSize_ = {parent_->ClientWidth(), parent_->ClientHeight()};
}

void TControl::SetAnchors(TAnchors value) {
  anchors_ = value;
  UpdateAnchorRules();
}

bool TControl::CanResize(int& width, int& height) {
  bool resize = true;
  if (onCanResize_) onCanResize_(this, width, height, resize);
  return resize;
}

void TControl::StoreBounds(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
}

RECT TControl::ClientRect() const { return {0, 0, width_, height_}; }
int TControl::ClientWidth() const { return ClientRect().right; }
int TControl::ClientHeight() const { return ClientRect().bottom; }

void TControl::SetClientSize(int width, int height) {
  const RECT r = ClientRect();
  SetBounds(left_, top_, width_ + width - r.right, height_ + height - r.bottom);
}

void TControl::SetAlign(TAlign value) {
  if (align_ == value) return;
  align_ = value;
  RequestAlign();
}

void TControl::RequestAlign() {
  if (parent_ && !IsDestroying()) parent_->Realign();
}

void TControl::SetVisible(bool value) {
  if (visible_ == value) return;
  visible_ = value;
  ApplyVisible();
  Perform(CM_VISIBLECHANGED, value);
  RequestAlign();
}

void TControl::ApplyVisible() { InvalidateParentArea(true); }

bool TControl::Showing() const {
  for (const TControl* c = this; c; c = c->parent_)
    if (!c->visible_) return false;
  return true;
}

void TControl::SetEnabled(bool value) {
  if (enabled_ == value) return;
  enabled_ = value;
  ApplyEnabled();
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor value) {
  parentColor_ = false;
  if (color_ == value) return;
  color_ = value;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value) {
  parentColor_ = value;
  if (value) TakeParentColor();
}

void TControl::TakeParentColor() {
  if (!parent_ || color_ == parent_->Color()) return;
  color_ = parent_->Color();
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentFont(bool value) {
  parentFont_ = value;
  if (value) TakeParentFont();
}

void TControl::TakeParentFont() {
  if (!parent_) return;
  takingParentFont_ = true;
  font_.Assign(*parent_->Font());
  takingParentFont_ = false;
}

void TControl::FontChanged() {
  if (!takingParentFont_) parentFont_ = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetCursor(TCursor value) {
  if (cursor_ == value) return;
  cursor_ = value;
  Perform(CM_CURSORCHANGED);
}

TPopupMenu* TControl::PopupMenu() const { return popupMenu_; }

void TControl::SetPopupMenu(TPopupMenu* value) { popupMenu_ = value; }

bool TControl::ShowHint() const { return parentShowHint_ && parent_ ? parent_->ShowHint() : showHint_; }

void TControl::SetShowHint(bool value) {
  showHint_ = value;
  parentShowHint_ = false;
}

TBiDiMode TControl::BiDiMode() const { return parentBiDiMode_ && parent_ ? parent_->BiDiMode() : biDiMode_; }

void TControl::SetBiDiMode(TBiDiMode value) {
  biDiMode_ = value;
  parentBiDiMode_ = false;
}

bool TControl::DoContextPopup(POINT mousePos) {
  bool handled = false;
  if (onContextPopup_) onContextPopup_(this, mousePos, handled);
  return handled;
}

TPopupMenu* TControl::NearestPopupMenu() const {
  for (const TControl* c = this; c; c = c->parent_)
    if (c->popupMenu_) return c->popupMenu_;
  return nullptr;
}

std::string TControl::Text() const { return text_; }

void TControl::SetText(const std::string& value) {
  if (text_ == value) return;
  text_ = value;
  Perform(CM_TEXTCHANGED);
}

void TControl::Loaded() {
  inherited::Loaded();
  if (parentFont_) TakeParentFont();
  if (parentColor_) TakeParentColor();
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  windowProc_(m);
  return m.Result;
}

void TControl::WndProc(TMessage& m) {
  static constexpr TMessageEntry<TControl> kTable[] = {
      {WM_LBUTTONDOWN, &TControl::WMMouseDown},   {WM_RBUTTONDOWN, &TControl::WMMouseDown},
      {WM_MBUTTONDOWN, &TControl::WMMouseDown},   {WM_LBUTTONUP, &TControl::WMMouseUp},
      {WM_RBUTTONUP, &TControl::WMMouseUp},       {WM_MBUTTONUP, &TControl::WMMouseUp},
      {WM_LBUTTONDBLCLK, &TControl::WMDoubleClick}, {WM_MOUSEMOVE, &TControl::WMMouseMove},
      {CM_MOUSEENTER, &TControl::CMMouseEnter},   {CM_MOUSELEAVE, &TControl::CMMouseLeave},
      {CM_ENABLEDCHANGED, &TControl::CMChanged},  {CM_COLORCHANGED, &TControl::CMChanged},
      {CM_FONTCHANGED, &TControl::CMChanged},     {CM_TEXTCHANGED, &TControl::CMChanged},
      {CM_PARENTFONTCHANGED, &TControl::CMParentFontChanged},
      {CM_PARENTCOLORCHANGED, &TControl::CMParentColorChanged},
  };
  if (!DispatchMessageTable(*this, kTable, m)) DefaultHandler(m);
}

void TControl::DefaultHandler(TMessage&) {}

namespace {
TMouseButton ButtonOf(UINT msg) {
  switch (msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      return mbRight;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      return mbMiddle;
    default:
      return mbLeft;
  }
}
}  // namespace

void TControl::WMMouseDown(TMessage& m) {
  // An automatic drag replaces the press: no mouse-down, no click.
  if (m.Msg == WM_LBUTTONDOWN && dragMode_ == dmAutomatic) return BeginDrag();
  DefaultHandler(m);
  const POINT p = PointOf(m.LParam);
  const TMouseButton button = ButtonOf(m.Msg);
  if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (button == mbLeft && controlStyle_.Contains(csClickEvents)) clicking_ = true;
  MouseDown(button, MouseShiftState(m.WParam), p.x, p.y);
}

void TControl::WMDoubleClick(TMessage& m) {
  if (!controlStyle_.Contains(csDoubleClicks) || dragMode_ == dmAutomatic) {
    m.Msg = WM_LBUTTONDOWN;  // a second press, as for a class without CS_DBLCLKS
    WMMouseDown(m);
    return;
  }
  DefaultHandler(m);
  const POINT p = PointOf(m.LParam);
  if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
  DblClick();
  TShiftState shift = MouseShiftState(m.WParam);
  shift.Include(ssDouble);
  MouseDown(mbLeft, shift, p.x, p.y);
}

void TControl::WMMouseUp(TMessage& m) {
  const std::weak_ptr<void> alive = LifeToken();
  DefaultHandler(m);  // a system button sends BN_CLICKED from here: its OnClick may free it
  if (alive.expired()) return;
  const POINT p = PointOf(m.LParam);
  const TMouseButton button = ButtonOf(m.Msg);
  if (button == mbLeft) SetMouseCapture(false);
  if (button == mbLeft && clicking_) {
    clicking_ = false;
    const RECT r = ClientRect();
    if (PtInRect(&r, p)) Click();
    if (alive.expired()) return;
  }
  MouseUp(button, MouseShiftState(m.WParam), p.x, p.y);
}

void TControl::WMMouseMove(TMessage& m) {
  DefaultHandler(m);
  const POINT p = PointOf(m.LParam);
  MouseMove(MouseShiftState(m.WParam), p.x, p.y);
}

void TControl::CMMouseEnter(TMessage&) {
  mouseInControl_ = true;
  if (onMouseEnter_) onMouseEnter_(this);
}

void TControl::CMMouseLeave(TMessage&) {
  mouseInControl_ = false;
  if (onMouseLeave_) onMouseLeave_(this);
}

void TControl::CMChanged(TMessage&) { Invalidate(); }

void TControl::CMParentFontChanged(TMessage&) {
  if (parentFont_) TakeParentFont();
}

void TControl::CMParentColorChanged(TMessage&) {
  if (parentColor_) TakeParentColor();
}

void TControl::Click() {
  if (onClick_) onClick_(this);
}

void TControl::DblClick() {
  if (onDblClick_) onDblClick_(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (onMouseDown_) onMouseDown_(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (onMouseUp_) onMouseUp_(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (onMouseMove_) onMouseMove_(this, shift, x, y);
}

void TControl::Resize() {
  if (onResize_) onResize_(this);
}

// ---- dragging (the operation itself lives in DragDrop.cpp) ----
void TControl::BeginDrag() { TDragOperation::Begin(this); }

void TControl::EndDrag(bool drop) {
  if (Dragging()) TDragOperation::End(drop);
}

bool TControl::Dragging() const { return TDragOperation::Source() == this; }

bool TControl::DragOver(TObject* source, int x, int y, TDragState state) {
  bool accept = false;
  if (onDragOver_) {
    accept = true;
    onDragOver_(this, source, x, y, state, accept);
  }
  return accept;
}

void TControl::DragDrop(TObject* source, int x, int y) {
  if (onDragDrop_) onDragDrop_(this, source, x, y);
}

void TControl::DoStartDrag() {
  if (onStartDrag_) onStartDrag_(this);
}

void TControl::DoEndDrag(TObject* target, int x, int y) {
  if (onEndDrag_) onEndDrag_(this, target, x, y);
}

void TControl::SetMouseCapture(bool capture) {
  if (!parent_ || !parent_->HandleAllocated()) return;
  if (capture) {
    gCaptureControl = this;
    SetCapture(parent_->HandleIfAllocated());
  } else if (gCaptureControl == this) {
    gCaptureControl = nullptr;
    if (GetCapture() == parent_->HandleIfAllocated()) ReleaseCapture();
  }
}

void TControl::InvalidateParentArea(bool erase) {
  if (!IsWindowless(this) || !parent_ || !parent_->HandleAllocated() || parent_->IsDestroying()) return;
  const RECT r = BoundsRect();
  InvalidateRect(parent_->HandleIfAllocated(), &r, erase && !controlStyle_.Contains(csOpaque));
}

void TControl::Invalidate() {
  if (visible_ && !IsDestroying()) InvalidateParentArea(true);
}

void TControl::Update() {
  if (parent_) parent_->Update();
}

void TControl::BringToFront() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  list.erase(std::find(list.begin(), list.end(), this));
  list.push_back(this);
  Invalidate();
}

POINT TControl::ClientOrigin() const {
  POINT p = parent_ ? parent_->ClientOrigin() : POINT{0, 0};
  return {p.x + left_, p.y + top_};
}

POINT TControl::ClientToScreen(POINT p) const {
  const POINT o = ClientOrigin();
  return {p.x + o.x, p.y + o.y};
}

POINT TControl::ScreenToClient(POINT p) const {
  const POINT o = ClientOrigin();
  return {p.x - o.x, p.y - o.y};
}

void TControl::DeclarePublished(TPublished<TControl>& p) {
  p.Integer("Left", &TControl::Left, &TControl::SetLeft);
  p.Integer("Top", &TControl::Top, &TControl::SetTop);
  p.Integer("Width", &TControl::Width, &TControl::SetWidth);
  p.Integer("Height", &TControl::Height, &TControl::SetHeight);
  p.Object("Constraints", &TControl::Constraints);
  p.Enumeration("Align", AlignInfo, &TControl::Align, &TControl::SetAlign);
  p.Boolean("Visible", &TControl::Visible, &TControl::SetVisible);
  p.Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled);
  p.Color("Color", &TControl::Color, &TControl::SetColor);
  p.Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
  p.Object("Font", static_cast<TFont* (TControl::*)()>(&TControl::Font));
  p.Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont);
  p.Integer("Cursor", &TControl::Cursor, &TControl::SetCursor, "TCursor");
  p.Component("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
  p.String("Hint", &TControl::Hint, &TControl::SetHint);
  p.Boolean("ShowHint", &TControl::ShowHint, &TControl::SetShowHint);
  p.Boolean("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint);
  p.Set("Anchors", AnchorKindInfo, &TControl::Anchors, &TControl::SetAnchors);
  p.Enumeration("BiDiMode", BiDiModeInfo, &TControl::BiDiMode, &TControl::SetBiDiMode);
  p.Boolean("ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode);
  p.Enumeration("DragMode", DragModeInfo, &TControl::DragMode, &TControl::SetDragMode);
  p.Enumeration("DragKind", DragKindInfo, &TControl::DragKind, &TControl::SetDragKind);
  p.Integer("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor, "TCursor");
  p.String("Caption", &TControl::Caption, &TControl::SetCaption);
  p.Event("OnClick", &TControl::OnClick, &TControl::SetOnClick);
  p.Event("OnDblClick", &TControl::OnDblClick, &TControl::SetOnDblClick);
  p.Event("OnMouseDown", &TControl::OnMouseDown, &TControl::SetOnMouseDown);
  p.Event("OnMouseUp", &TControl::OnMouseUp, &TControl::SetOnMouseUp);
  p.Event("OnMouseMove", &TControl::OnMouseMove, &TControl::SetOnMouseMove);
  p.Event("OnMouseEnter", &TControl::OnMouseEnter, &TControl::SetOnMouseEnter);
  p.Event("OnMouseLeave", &TControl::OnMouseLeave, &TControl::SetOnMouseLeave);
  p.Event("OnResize", &TControl::OnResize, &TControl::SetOnResize);
  p.Event("OnCanResize", &TControl::OnCanResize, &TControl::SetOnCanResize);
  p.Event("OnContextPopup", &TControl::OnContextPopup, &TControl::SetOnContextPopup);
  p.Event("OnStartDrag", &TControl::OnStartDrag, &TControl::SetOnStartDrag);
  p.Event("OnDragOver", &TControl::OnDragOver, &TControl::SetOnDragOver);
  p.Event("OnDragDrop", &TControl::OnDragDrop, &TControl::SetOnDragDrop);
  p.Event("OnEndDrag", &TControl::OnEndDrag, &TControl::SetOnEndDrag);
  p.Event("OnStartDock", &TControl::OnStartDock, &TControl::SetOnStartDock);
  p.Event("OnEndDock", &TControl::OnEndDock, &TControl::SetOnEndDock);
}

// ---- TWinControl ----
LRESULT CALLBACK StdWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* control = TWinControl::FindControl(window);
  if (!control && gCreating && !gCreating->HandleAllocated()) {
    control = gCreating;
    control->Bind(window);
  }
  if (!control) return DefWindowProcA(window, msg, wParam, lParam);
  TMessage m{msg, wParam, lParam, 0};
  try {
    control->WindowProc()(m);
  } catch (...) {
    // A C++ exception must not unwind through USER32's frames.
    HandleEventException();
  }
  return m.Result;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  Destroying();
  DestroyChildren();
  DestroyWnd();
}

void TWinControl::DestroyChildren() {
  Destroying();
  DestroyComponents();
  while (!controls_.empty()) {
    TControl* child = controls_.back();
    child->parent_ = nullptr;
    controls_.pop_back();
  }
  tabList_.clear();
}

TWinControl* TWinControl::FindControl(HWND window) {
  return window ? static_cast<TWinControl*>(GetPropA(window, kControlProp)) : nullptr;
}

void TWinControl::Bind(HWND window) {
  handle_ = window;
  SetPropA(window, kControlProp, this);
}

void TWinControl::Unbind() {
  if (!handle_) return;
  RemovePropA(handle_, kControlProp);
  handle_ = nullptr;
  defWndProc_ = DefWindowProcA;
  trackingLeave_ = false;
}

HWND TWinControl::Handle() {
  if (!handle_) CreateWnd();
  return handle_;
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.Caption = text_;
  params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  if (UseRightToLeftReading()) params.ExStyle |= WS_EX_RTLREADING;
  if (Visible()) params.Style |= WS_VISIBLE;
  if (!Enabled()) params.Style |= WS_DISABLED;
  if (tabStop_) params.Style |= WS_TABSTOP;
  params.X = Left();
  params.Y = Top();
  params.Width = Width();
  params.Height = Height();
  params.WndParent = Parent() ? Parent()->Handle() : nullptr;
}

void TWinControl::CreateWnd() {
  if (handle_) return;
  TCreateParams p;
  CreateParams(p);
  // Asking for the parent's window above may have made it, and with it this control's own: a
  // second window would be left behind, bound to this control, never painted.
  if (handle_) return;
  if ((p.Style & WS_CHILD) && !p.WndParent) throw Exception("Control '" + Name() + "' has no parent window");
  const bool subclass = !p.SubclassOf.empty();
  const char* cls = subclass ? p.SubclassOf.c_str() : RegisterWindowClass(p.ClassName, p.ClassStyle, StdWndProc);
  HMENU id = (p.Style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(gNextControlId++)) : nullptr;
  TWinControl* outer = gCreating;
  gCreating = this;
  HWND window = CreateWindowExA(p.ExStyle, cls, p.Caption.c_str(), p.Style, p.X, p.Y, p.Width, p.Height,
                                p.WndParent, id, GetModuleHandleA(nullptr), nullptr);
  gCreating = outer;
  if (!window) throw Exception("Error creating window of " + std::string(ClassName()));
  if (subclass) {
    Bind(window);
    defWndProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StdWndProc)));
  }
  CreateWindowHandle(p);
  Perform(CM_WNDCREATED);
}

void TWinControl::CreateWindowHandle(const TCreateParams&) {
  SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), FALSE);
  UpdateBoundsFromWindow();
  CreateChildHandles();
  Realign();
}

void TWinControl::CreateChildHandles() {
  for (TControl* c : std::vector<TControl*>(controls_))
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->CreateWnd();
}

void TWinControl::DestroyWnd() {
  if (!handle_) return;
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyWnd();
  text_ = Text();
  HWND window = handle_;
  if (!DestroyWindow(window) || handle_) Unbind();
}

void TWinControl::RecreateWnd() {
  if (!handle_) return;
  DestroyWnd();
  CreateWnd();
  Perform(CM_RECREATEWND);
}

void TWinControl::InsertControl(TControl* control) {
  control->parent_ = this;
  control->UpdateAnchorRules();  // before any layout moves it
  controls_.push_back(control);
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    tabList_.push_back(w);
    if (handle_) w->CreateWnd();
  }
  control->Invalidate();
  Realign();
}

void TWinControl::RemoveControl(TControl* control) {
  control->InvalidateParentArea(true);
  if (gCaptureControl == control) gCaptureControl = nullptr;
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), control), tabList_.end());
  control->parent_ = nullptr;
  Realign();
}

void TWinControl::SetParent(TWinControl* parent) {
  if (parent == Parent()) return;
  if (handle_ && !(parent && parent->HandleAllocated())) DestroyWnd();
  TControl::SetParent(parent);
  if (handle_ && parent) ::SetParent(handle_, parent->Handle());
}

void TWinControl::Loaded() {
  inherited::Loaded();
  Realign();
}

TControl* TWinControl::ControlAtPos(POINT point, bool allowDisabled, bool windowlessOnly) const {
  for (int pass = 0; pass < 2; ++pass) {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
      TControl* c = *it;
      if (IsWindowless(c) != (pass == 0)) continue;
      const RECT r = c->BoundsRect();
      if (c->Visible() && (allowDisabled || c->Enabled()) && PtInRect(&r, point)) return c;
    }
    if (windowlessOnly) break;
  }
  return nullptr;
}

// ---- layout ----
void TWinControl::EnableAlign() {
  if (alignDisabled_ > 0 && --alignDisabled_ == 0 && realignPending_) Realign();
}

void TWinControl::AdjustClientRect(RECT&) const {}

void TWinControl::Realign() {
  if (alignDisabled_ > 0 || InState(csLoading) || IsDestroying()) {
    realignPending_ = true;
    return;
  }
  if (aligning_) return;
  TRestoreOnExit busy(aligning_, true);
  realignPending_ = false;
  RECT rect = ClientRect();
  AdjustClientRect(rect);
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) AlignList(a, rect);
  AlignRemainder(rect);
  AnchorControls();
}

// Children placed by Anchors rather than Align follow the client area's size.
void TWinControl::AnchorControls() {
  const SIZE size{ClientWidth(), ClientHeight()};
  TRestoreOnExit busy(anchoring_, true);
  for (TControl* c : std::vector<TControl*>(controls_)) {
    if (c->Align() != alNone || c->Anchors() == TAnchors{akLeft, akTop}) continue;
    c->SetBoundsRect(AnchoredBounds(c->Anchors(), c->anchorBounds_, c->anchorParentSize_, size));
  }
}

void TWinControl::AlignList(TAlign align, RECT& rect) {
  std::vector<TControl*> list;
  for (TControl* c : controls_)
    if (c->Align() == align && c->Visible()) list.push_back(c);
  // Controls keep their order along the edge they stick to: nearest to that edge first.
  auto key = [align](const TControl* c) {
    switch (align) {
      case alTop: return c->Top();
      case alBottom: return -(c->Top() + c->Height());
      case alLeft: return c->Left();
      case alRight: return -(c->Left() + c->Width());
      default: return 0;
    }
  };
  std::stable_sort(list.begin(), list.end(), [&](TControl* a, TControl* b) { return key(a) < key(b); });
  for (TControl* c : list) {
    const int w = std::max(0, static_cast<int>(rect.right - rect.left));
    const int h = std::max(0, static_cast<int>(rect.bottom - rect.top));
    switch (align) {
      case alTop:
        c->SetBounds(rect.left, rect.top, w, c->Height());
        rect.top += c->Height();
        break;
      case alBottom:
        c->SetBounds(rect.left, rect.bottom - c->Height(), w, c->Height());
        rect.bottom -= c->Height();
        break;
      case alLeft:
        c->SetBounds(rect.left, rect.top, c->Width(), h);
        rect.left += c->Width();
        break;
      case alRight:
        c->SetBounds(rect.right - c->Width(), rect.top, c->Width(), h);
        rect.right -= c->Width();
        break;
      default:
        c->SetBounds(rect.left, rect.top, w, h);
        break;
    }
  }
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  if ((width != Width() || height != Height()) && !CanResize(width, height)) {
    width = Width();
    height = Height();
  }
  Constraints()->Apply(width, height);
  if (left == Left() && top == Top() && width == Width() && height == Height()) return;
  const bool sized = width != Width() || height != Height();
  StoreBounds(left, top, width, height);
  UpdateAnchorRules();
  if (handle_) {
    settingBounds_ = true;  // already asked: WM_WINDOWPOSCHANGING must not ask again
    SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    settingBounds_ = false;
  } else if (sized) {
    Realign();
    Resize();
  }
  RequestAlign();
}

// Sizes that Windows decides (the user dragging a border, SetWindowPos from elsewhere) are
// asked for like those of SetBounds; minimising and maximising (flagged 0x8000,
// SWP_STATECHANGED, by Windows and Wine alike) are changes of state and are not.
void TWinControl::WMWindowPosChanging(TMessage& m) {
  constexpr UINT kStateChanged = 0x8000;
  auto* pos = reinterpret_cast<WINDOWPOS*>(m.LParam);
  const bool resizing = !(pos->flags & (SWP_NOSIZE | kStateChanged)) && (pos->cx != Width() || pos->cy != Height());
  if (resizing && !settingBounds_ && !IsIconic(handle_) && !InState(csLoading)) {
    int width = pos->cx, height = pos->cy;
    if (CanResize(width, height)) {
      pos->cx = width;
      pos->cy = height;
    } else {
      pos->flags |= SWP_NOSIZE;
    }
  }
  DefaultHandler(m);
}

void TWinControl::UpdateBoundsFromWindow() {
  if (!handle_ || IsIconic(handle_)) return;
  RECT r;
  GetWindowRect(handle_, &r);
  if (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD) MapWindowPoints(nullptr, GetParent(handle_), reinterpret_cast<POINT*>(&r), 2);
  StoreBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

RECT TWinControl::ClientRect() const {
  if (!handle_) return {0, 0, std::max(0, Width() - 2 * borderWidth_), std::max(0, Height() - 2 * borderWidth_)};
  RECT r;
  GetClientRect(handle_, &r);
  return r;
}

POINT TWinControl::ClientOrigin() const {
  if (!handle_) return TControl::ClientOrigin();
  POINT p{0, 0};
  ::ClientToScreen(handle_, &p);
  return p;
}

void TWinControl::ScrollBy(int dx, int dy) {
  // Every control goes DX, DY from where it was before any moved: a control that places a
  // sibling when it moves (a memo its bars) must not get that sibling moved twice.
  std::vector<std::pair<TControl*, RECT>> before;
  for (TControl* c : controls_) before.push_back({c, {c->Left(), c->Top(), c->Width(), c->Height()}});
  DisableAlign();
  for (const auto& [c, r] : before) c->SetBounds(r.left + dx, r.top + dy, r.right, r.bottom);
  EnableAlign();
  Invalidate();
}

// ---- state ----
void TWinControl::ApplyVisible() {
  if (handle_) ShowWindow(handle_, Visible() ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void TWinControl::ApplyEnabled() {
  if (handle_) EnableWindow(handle_, Enabled());
}

std::string TWinControl::Text() const {
  if (!handle_) return text_;
  std::string s(static_cast<size_t>(GetWindowTextLengthA(handle_)) + 1, '\0');
  s.resize(static_cast<size_t>(GetWindowTextA(handle_, s.data(), static_cast<int>(s.size()))));
  return s;
}

void TWinControl::SetText(const std::string& value) {
  if (Text() == value) return;
  text_ = value;
  if (handle_) SetWindowTextA(handle_, value.c_str());
  Perform(CM_TEXTCHANGED);
}

void TWinControl::SetTabStop(bool value) {
  tabStop_ = value;
  if (!handle_) return;
  const LONG style = GetWindowLongA(handle_, GWL_STYLE);
  SetWindowLongA(handle_, GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
}

int TWinControl::TabOrder() const {
  if (!Parent()) return -1;
  const auto& list = Parent()->tabList_;
  return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int value) {
  if (!Parent()) return;
  auto& list = Parent()->tabList_;
  list.erase(std::find(list.begin(), list.end(), this));
  value = std::clamp(value, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + value, this);
}

void TWinControl::SetBorderWidth(int value) {
  if (borderWidth_ == value) return;
  borderWidth_ = value;
  if (handle_) RedrawFrame(handle_);
  Realign();
}

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

void TWinControl::SetFocus() {
  if (CanFocus()) ::SetFocus(Handle());
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::Broadcast(TMessage& m) {
  for (TControl* c : std::vector<TControl*>(controls_)) {
    c->WindowProc()(m);
    if (m.Result != 0) return;
  }
}

void TWinControl::Invalidate() {
  if (handle_ && !IsDestroying()) InvalidateRect(handle_, nullptr, !ControlStyle().Contains(csOpaque));
}

void TWinControl::Update() {
  if (handle_) UpdateWindow(handle_);
}

void TWinControl::BringToFront() {
  TControl::BringToFront();
  if (handle_) SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::SetMouseCapture(bool capture) {
  if (!handle_) return;
  if (capture)
    SetCapture(handle_);
  else if (GetCapture() == handle_)
    ReleaseCapture();
}

void TWinControl::DoEnter() {
  if (onEnter_) onEnter_(this);
}

void TWinControl::DoExit() {
  if (onExit_) onExit_(this);
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
  if (onKeyDown_) onKeyDown_(this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
  if (onKeyUp_) onKeyUp_(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
  if (onKeyPress_) onKeyPress_(this, key);
}

// ---- messages ----
void TWinControl::WndProc(TMessage& m) {
  static constexpr TMessageEntry<TWinControl> kTable[] = {
      {WM_PAINT, &TWinControl::WMPaint},
      {WM_ERASEBKGND, &TWinControl::WMEraseBkgnd},
      {WM_SIZE, &TWinControl::WMSize},
      {WM_MOVE, &TWinControl::WMMove},
      {WM_WINDOWPOSCHANGING, &TWinControl::WMWindowPosChanging},
      {WM_SETFOCUS, &TWinControl::WMSetFocus},
      {WM_KILLFOCUS, &TWinControl::WMKillFocus},
      {WM_KEYDOWN, &TWinControl::WMKey},
      {WM_SYSKEYDOWN, &TWinControl::WMKey},
      {WM_KEYUP, &TWinControl::WMKey},
      {WM_SYSKEYUP, &TWinControl::WMKey},
      {WM_CHAR, &TWinControl::WMChar},
      {WM_MOUSEMOVE, &TWinControl::MouseRouter},
      {WM_LBUTTONDOWN, &TWinControl::MouseRouter},
      {WM_LBUTTONUP, &TWinControl::MouseRouter},
      {WM_LBUTTONDBLCLK, &TWinControl::MouseRouter},
      {WM_RBUTTONDOWN, &TWinControl::MouseRouter},
      {WM_RBUTTONUP, &TWinControl::MouseRouter},
      {WM_MBUTTONDOWN, &TWinControl::MouseRouter},
      {WM_MBUTTONUP, &TWinControl::MouseRouter},
      {WM_MOUSELEAVE, &TWinControl::WMMouseLeave},
      {WM_SETCURSOR, &TWinControl::WMSetCursor},
      {WM_CONTEXTMENU, &TWinControl::WMContextMenu},
      {WM_NCCALCSIZE, &TWinControl::WMNCCalcSize},
      {WM_NCPAINT, &TWinControl::WMNCPaint},
      {WM_NCDESTROY, &TWinControl::WMNCDestroy},
      {WM_CAPTURECHANGED, &TWinControl::WMCaptureChanged},
      {WM_COMMAND, &TWinControl::ReflectToChild},
      {WM_NOTIFY, &TWinControl::ReflectToChild},
      {WM_DRAWITEM, &TWinControl::ReflectToChild},
      {WM_MEASUREITEM, &TWinControl::ReflectToChild},
      {WM_HSCROLL, &TWinControl::ReflectToChild},
      {WM_VSCROLL, &TWinControl::ReflectToChild},
      {WM_CTLCOLOREDIT, &TWinControl::ReflectToChild},
      {WM_CTLCOLORBTN, &TWinControl::ReflectToChild},
      {WM_CTLCOLORSTATIC, &TWinControl::ReflectToChild},
      {WM_CTLCOLORLISTBOX, &TWinControl::ReflectToChild},
      {WM_CTLCOLORSCROLLBAR, &TWinControl::ReflectToChild},
      {CM_DIALOGKEY, &TWinControl::CMBroadcast},
      {CM_DIALOGCHAR, &TWinControl::CMBroadcast},
      {CM_FOCUSCHANGED, &TWinControl::CMFocusChanged},
      {CM_COLORCHANGED, &TWinControl::CMColorChanged},
      {CM_FONTCHANGED, &TWinControl::CMFontChanged},
  };
  if (!DispatchMessageTable(*this, kTable, m)) inherited::WndProc(m);
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (!handle_) return;
  if (m.Msg >= CN_BASE + WM_CTLCOLORMSGBOX && m.Msg <= CN_BASE + WM_CTLCOLORSTATIC) {
    // A reflected colour request nobody handled: the control's own font and colour.
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    SetTextColor(dc, ColorToRGB(Font()->Color()));
    SetBkColor(dc, ColorToRGB(Color()));
    if (!brush_ || brushColor_ != Color()) {
      brush_.Reset(CreateSolidBrush(ColorToRGB(Color())));
      brushColor_ = Color();
    }
    m.Result = reinterpret_cast<LRESULT>(brush_.Get());
    return;
  }
  if (m.Msg >= CM_BASE && m.Msg < 0xC000) return;  // framework messages mean nothing to Windows
  m.Result = CallWindowProcA(defWndProc_, handle_, m.Msg, m.WParam, m.LParam);
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintControls(HDC dc) {
  RECT clip;
  if (GetClipBox(dc, &clip) == NULLREGION) return;
  for (TControl* c : std::vector<TControl*>(controls_)) {
    if (!IsWindowless(c) || !c->Visible()) continue;
    const RECT r = c->BoundsRect();
    RECT overlap;
    if (!IntersectRect(&overlap, &r, &clip)) continue;
    TSaveDCGuard keep(dc);
    POINT origin;
    GetViewportOrgEx(dc, &origin);
    SetViewportOrgEx(dc, origin.x + r.left, origin.y + r.top, nullptr);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  }
}

void TWinControl::WMPaint(TMessage& m) {
  if (defWndProc_ != DefWindowProcA) return DefaultHandler(m);
  if (m.WParam) {
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    PaintWindow(dc);
    PaintControls(dc);
    return;
  }
  TPaintDC dc(handle_);
  PaintWindow(dc.Get());
  PaintControls(dc.Get());
}

void TWinControl::WMEraseBkgnd(TMessage& m) {
  if (defWndProc_ != DefWindowProcA) return DefaultHandler(m);
  RECT r;
  GetClientRect(handle_, &r);
  TBrushHandle brush(CreateSolidBrush(ColorToRGB(Color())));
  FillRect(reinterpret_cast<HDC>(m.WParam), &r, brush.Get());
  m.Result = 1;
}

void TWinControl::WMSize(TMessage& m) {
  DefaultHandler(m);
  UpdateBoundsFromWindow();
  Realign();
  if (m.WParam != SIZE_MINIMIZED) Resize();
}

void TWinControl::WMMove(TMessage& m) {
  DefaultHandler(m);
  UpdateBoundsFromWindow();
}

void TWinControl::WMSetFocus(TMessage& m) {
  DefaultHandler(m);
  if (TCustomForm* form = ParentForm(); form && form != this) form->ControlFocused(this);
  DoEnter();
}

void TWinControl::WMKillFocus(TMessage& m) {
  DefaultHandler(m);
  DoExit();
}

// With KeyPreview the form sees its controls' keys first; KeyDown / KeyUp may change the key
// or swallow it (0) before the window sees it. A handler may free the control (a key that
// closes what it was typed into): nothing touches it after that.
void TWinControl::WMKey(TMessage& m) {
  const std::weak_ptr<void> alive = LifeToken();
  WORD key = static_cast<WORD>(m.WParam);
  const bool down = m.Msg == WM_KEYDOWN || m.Msg == WM_SYSKEYDOWN;
  const TShiftState shift = KeyboardShiftState();
  if (TCustomForm* form = ParentForm(); form && form != this && form->KeyPreview()) {
    TWinControl* preview = form;
    down ? preview->KeyDown(key, shift) : preview->KeyUp(key, shift);
  }
  if (key != 0 && !alive.expired()) down ? KeyDown(key, shift) : KeyUp(key, shift);
  if (key == 0 || alive.expired()) return;
  m.WParam = key;
  DefaultHandler(m);
}

void TWinControl::WMChar(TMessage& m) {
  const std::weak_ptr<void> alive = LifeToken();
  char key = static_cast<char>(m.WParam);
  if (TCustomForm* form = ParentForm(); form && form != this && form->KeyPreview()) {
    TWinControl* preview = form;
    preview->KeyPress(key);
  }
  if (key != 0 && !alive.expired()) KeyPress(key);
  if (key == 0 || alive.expired()) return;
  m.WParam = static_cast<unsigned char>(key);
  DefaultHandler(m);
}

bool TWinControl::RouteMouseToChild(TMessage& m) {
  const POINT p = PointOf(m.LParam);
  TControl* target = (gCaptureControl && gCaptureControl->Parent() == this) ? gCaptureControl
                                                                             : ControlAtPos(p, false, true);
  if (m.Msg == WM_MOUSEMOVE) {
    if (!trackingLeave_) {
      TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, handle_, 0};
      trackingLeave_ = TrackMouseEvent(&track) != FALSE;
    }
    RECT client = ClientRect();
    SetMouseControl(target ? target : (PtInRect(&client, p) || GetCapture() != handle_ ? this : nullptr));
  }
  if (!target) return false;
  TMessage forwarded = m;
  forwarded.LParam = MAKELPARAM(p.x - target->Left(), p.y - target->Top());
  target->WindowProc()(forwarded);
  m.Result = forwarded.Result;
  // DefWindowProcA turns a right-button release into WM_CONTEXTMENU, which the windowless
  // control cannot do itself.
  if (m.Msg == WM_RBUTTONUP) DefaultHandler(m);
  return true;
}

void TWinControl::MouseRouter(TMessage& m) {
  if (TDragOperation::MouseMessage(this, m)) return;
  if (!RouteMouseToChild(m)) inherited::WndProc(m);
}

void TWinControl::WMMouseLeave(TMessage& m) {
  trackingLeave_ = false;
  if (gMouseControl == this || (gMouseControl && gMouseControl->Parent() == this && IsWindowless(gMouseControl)))
    SetMouseControl(nullptr);
  DefaultHandler(m);
}

void TWinControl::WMCaptureChanged(TMessage& m) {
  TDragOperation::CaptureChanged(this, reinterpret_cast<HWND>(m.LParam));
  if (gCaptureControl && gCaptureControl->Parent() == this) gCaptureControl = nullptr;
  DefaultHandler(m);
}

void TWinControl::WMSetCursor(TMessage& m) {
  if (reinterpret_cast<HWND>(m.WParam) == handle_ && LOWORD(m.LParam) == HTCLIENT) {
    POINT p;
    GetCursorPos(&p);
    p = ScreenToClient(p);
    TControl* target = ControlAtPos(p, true, true);
    const TCursor cursor = target && target->Cursor() != crDefault ? target->Cursor() : Cursor();
    if (cursor != crDefault) {
      ::SetCursor(CursorHandle(cursor));
      m.Result = 1;
      return;
    }
  }
  DefaultHandler(m);
}

void TWinControl::WMContextMenu(TMessage& m) {
  POINT screen = PointOf(m.LParam);
  if (screen.x == -1 && screen.y == -1) screen = ClientToScreen({0, 0});  // from the keyboard
  TControl* target = ControlAtPos(ScreenToClient(screen), false, true);
  if (!target) target = this;
  const bool fromKeyboard = PointOf(m.LParam).x == -1 && PointOf(m.LParam).y == -1;
  if (target->DoContextPopup(fromKeyboard ? POINT{-1, -1} : target->ScreenToClient(screen))) {
    m.Result = 1;
    return;
  }
  if (TPopupMenu* menu = target->NearestPopupMenu()) {
    menu->SetPopupComponent(target);
    menu->Popup(screen.x, screen.y);
    m.Result = 1;
    return;
  }
  DefaultHandler(m);
}

void TWinControl::WMNCCalcSize(TMessage& m) {
  DefaultHandler(m);
  if (borderWidth_ > 0) InflateRect(reinterpret_cast<RECT*>(m.LParam), -borderWidth_, -borderWidth_);
}

void TWinControl::WMNCPaint(TMessage& m) {
  DefaultHandler(m);
  if (borderWidth_ <= 0) return;
  // The band that BorderWidth adds: fill it with the control's colour.
  TWindowDC dc(handle_, true);
  RECT window, client;
  GetWindowRect(handle_, &window);
  GetClientRect(handle_, &client);
  MapWindowPoints(handle_, nullptr, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&client, -window.left, -window.top);
  OffsetRect(&window, -window.left, -window.top);
  ExcludeClipRect(dc.Get(), client.left, client.top, client.right, client.bottom);
  TBrushHandle brush(CreateSolidBrush(ColorToRGB(Color())));
  FillRect(dc.Get(), &window, brush.Get());
}

void TWinControl::WMNCDestroy(TMessage& m) {
  DefaultHandler(m);
  if (gMouseControl == this) ForgetMouseControl();
  Unbind();
}

namespace {
HWND ChildWindowOf(HWND parent, const TMessage& m) {
  switch (m.Msg) {
    case WM_NOTIFY:
      return reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom;
    case WM_DRAWITEM: {
      auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      return d->CtlType == ODT_MENU ? nullptr : d->hwndItem;
    }
    case WM_MEASUREITEM: {
      auto* d = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
      return d->CtlType == ODT_MENU ? nullptr : GetDlgItem(parent, static_cast<int>(d->CtlID));
    }
    default:
      return reinterpret_cast<HWND>(m.LParam);  // WM_COMMAND, WM_CTLCOLOR*, WM_H/VSCROLL
  }
}
}  // namespace

void TWinControl::ReflectToChild(TMessage& m) {
  if (DeliverMenuMessage(m)) return;  // menu commands and owner-drawn menu items
  TWinControl* child = FindControl(ChildWindowOf(handle_, m));
  if (child && child != this) {
    m.Result = child->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
    return;
  }
  DefaultHandler(m);
}

void TWinControl::CMBroadcast(TMessage& m) { Broadcast(m); }

// A notification, not a question: every child hears it whatever the others answer. A child
// that a handler has freed meanwhile is skipped.
void TWinControl::CMFocusChanged(TMessage& m) {
  for (TControl* c : std::vector<TControl*>(controls_))
    if (std::find(controls_.begin(), controls_.end(), c) != controls_.end()) c->Perform(m.Msg, m.WParam, m.LParam);
}

void TWinControl::CMColorChanged(TMessage& m) {
  inherited::WndProc(m);
  for (TControl* c : std::vector<TControl*>(controls_)) c->Perform(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMFontChanged(TMessage& m) {
  if (handle_) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), TRUE);
  inherited::WndProc(m);
  for (TControl* c : std::vector<TControl*>(controls_)) c->Perform(CM_PARENTFONTCHANGED);
}

bool TWinControl::Ctl3D() const {
  const auto* parent = Parent();
  return parentCtl3D_ && parent ? parent->Ctl3D() : ctl3D_;
}

void TWinControl::SetCtl3D(bool value) {
  const bool old = Ctl3D();
  ctl3D_ = value;
  parentCtl3D_ = false;
  if (old != value) RecreateWnd();
}

void TWinControl::SetParentCtl3D(bool value) {
  const bool old = Ctl3D();
  parentCtl3D_ = value;
  if (old != Ctl3D()) RecreateWnd();
}

void TWinControl::DeclarePublished(TPublished<TWinControl>& p) {
  p.Boolean("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
  p.Integer("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder);
  p.Boolean("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D);
  p.Boolean("ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D);
  p.Enumeration("ImeMode", ImeModeInfo, &TWinControl::ImeMode, &TWinControl::SetImeMode);
  p.String("ImeName", &TWinControl::ImeName, &TWinControl::SetImeName);
  p.Event("OnEnter", &TWinControl::OnEnter, &TWinControl::SetOnEnter);
  p.Event("OnExit", &TWinControl::OnExit, &TWinControl::SetOnExit);
  p.Event("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::SetOnKeyDown);
  p.Event("OnKeyUp", &TWinControl::OnKeyUp, &TWinControl::SetOnKeyUp);
  p.Event("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::SetOnKeyPress);
}

// ---- TGraphicControl ----
TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

TGraphicControl::~TGraphicControl() { Destroying(); }

void TGraphicControl::WndProc(TMessage& m) {
  static constexpr TMessageEntry<TGraphicControl> kTable[] = {{WM_PAINT, &TGraphicControl::WMPaint}};
  if (!DispatchMessageTable(*this, kTable, m)) inherited::WndProc(m);
}

namespace {
// Points a canvas at DC for one paint, with the control's font and colour.
class TCanvasOnDC {
public:
  TCanvasOnDC(TCanvas& canvas, HDC dc, TControl& control) : on_(canvas, dc) {
    canvas.Font().Assign(*control.Font());
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(control.Color());
  }

private:
  TCanvasDCGuard on_;
};
}  // namespace

void TGraphicControl::WMPaint(TMessage& m) {
  if (!m.WParam) return;
  TCanvasOnDC on(canvas_, reinterpret_cast<HDC>(m.WParam), *this);
  Paint();
}

// ---- TCustomControl ----
TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {
  TControlStyle style = ControlStyle();
  style.Include(csAcceptsControls);
  SetControlStyle(style);
}

void TCustomControl::WndProc(TMessage& m) {
  static constexpr TMessageEntry<TCustomControl> kTable[] = {
      {WM_PAINT, &TCustomControl::WMPaint},
      {WM_ERASEBKGND, &TCustomControl::WMEraseBkgnd},
      {WM_PRINTCLIENT, &TCustomControl::WMPrintClient},
  };
  if (!DispatchMessageTable(*this, kTable, m)) inherited::WndProc(m);
}

void TCustomControl::PaintTo(HDC dc) {
  const RECT r = ClientRect();
  if (r.right <= 0 || r.bottom <= 0 || IsDestroying()) return;
  TMemoryDC buffer(dc);
  TBitmapHandle bitmap(CreateCompatibleBitmap(dc, r.right, r.bottom));
  TSelectObjectGuard select(buffer.Get(), bitmap.Get());
  {
    TCanvasOnDC on(canvas_, buffer.Get(), *this);
    canvas_.FillRect(r);
    Paint();
  }
  PaintControls(buffer.Get());
  BitBlt(dc, 0, 0, r.right, r.bottom, buffer.Get(), 0, 0, SRCCOPY);
}

void TCustomControl::WMPaint(TMessage& m) {
  if (m.WParam) return PaintTo(reinterpret_cast<HDC>(m.WParam));
  TPaintDC dc(HandleIfAllocated());
  PaintTo(dc.Get());
}

void TCustomControl::WMEraseBkgnd(TMessage& m) { m.Result = 1; }

void TCustomControl::WMPrintClient(TMessage& m) { PaintTo(reinterpret_cast<HDC>(m.WParam)); }
