#include "framework/ui/ComCtrls.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "framework/core/ScopeGuard.h"
#include "framework/graphics/GdiHandles.h"
#include "framework/ui/Forms.h"
#include "framework/ui/Menus.h"

namespace {

// The bar whose drop-down is open on this thread: the message filter hands it the menu loop's
// input. Cleared when the loop ends and when that bar goes.
thread_local TToolBar* gMenuBar = nullptr;
// The bar whose button's DropdownMenu is open on this thread, until that menu's loop ends.
thread_local TToolBar* gDropdownBar = nullptr;

// A hook of this thread for the length of a scope.
class TThreadHook {
public:
  TThreadHook(int type, HOOKPROC proc) : hook_(SetWindowsHookExA(type, proc, nullptr, GetCurrentThreadId())) {}
  ~TThreadHook() {
    if (hook_) UnhookWindowsHookEx(hook_);
  }
  TThreadHook(const TThreadHook&) = delete;
  TThreadHook& operator=(const TThreadHook&) = delete;

private:
  HHOOK hook_;
};

// The menu loop's message filter (WH_MSGFILTER) for the length of one bar's menu mode.
class TMenuFilterScope {
public:
  TMenuFilterScope(TToolBar* bar, HOOKPROC proc) : hook_(WH_MSGFILTER, proc) { gMenuBar = bar; }
  ~TMenuFilterScope() { gMenuBar = nullptr; }
  TMenuFilterScope(const TMenuFilterScope&) = delete;
  TMenuFilterScope& operator=(const TMenuFilterScope&) = delete;

private:
  TThreadHook hook_;
};

// Runs the item with COMMAND through its menu. Uses nothing but the command: the bar that
// showed the item may be gone.
void DispatchChosen(UINT command) {
  if (!command) return;
  TMenuItem* item = TMenuItem::FindByCommand(command);
  if (!item) return;
  if (TMenu* menu = item->GetParentMenu())
    menu->DispatchCommand(command);
  else
    item->Click();
}

// Room around the contents of a button with images (the places are TToolBar's kImageTop,
// kListImageLeft and kListCaptionGap).
constexpr int kImageSideRoom = 7;  // a button is at least this much wider than its image
constexpr int kCaptionGap = 1;     // between the image and the caption under it

int EdgeThickness(TEdgeStyle inner, TEdgeStyle outer) { return (inner != esNone) + (outer != esNone); }

UINT EdgeBits(TEdgeStyle inner, TEdgeStyle outer) {
  UINT bits = 0;
  if (inner == esRaised) bits |= BDR_RAISEDINNER;
  if (inner == esLowered) bits |= BDR_SUNKENINNER;
  if (outer == esRaised) bits |= BDR_RAISEDOUTER;
  if (outer == esLowered) bits |= BDR_SUNKENOUTER;
  return bits;
}

UINT EdgeSides(TEdgeBorders borders) {
  UINT sides = 0;
  if (borders.Contains(ebLeft)) sides |= BF_LEFT;
  if (borders.Contains(ebTop)) sides |= BF_TOP;
  if (borders.Contains(ebRight)) sides |= BF_RIGHT;
  if (borders.Contains(ebBottom)) sides |= BF_BOTTOM;
  return sides;
}

bool IsMouseButtonMessage(UINT msg) {
  return (msg >= WM_LBUTTONDOWN && msg <= WM_MBUTTONDBLCLK) || (msg >= WM_NCLBUTTONDOWN && msg <= WM_NCMBUTTONDBLCLK);
}

}  // namespace

// ---- TToolButton ----
TToolButton::TToolButton(TComponent* owner) : TGraphicControl(owner) {
  TControlStyle style = ControlStyle();
  style.Exclude(csDoubleClicks);  // a quick second press is a second press
  SetControlStyle(style);
  SetBounds(0, 0, 23, 22);
}

TToolButton::~TToolButton() {
  Destroying();
  if (TToolBar* bar = ToolBar()) bar->RemoveButton(this);
}

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(Parent()); }

void TToolButton::SetParent(TWinControl* parent) {
  if (parent == Parent()) return;
  if (TToolBar* old = ToolBar()) old->RemoveButton(this);
  inherited::SetParent(parent);
  if (TToolBar* bar = ToolBar()) bar->InsertButton(this);
}

void TToolButton::SetText(const std::string& value) {
  if (value == Text()) return;
  inherited::SetText(value);
  BarLayoutChanged();
}

int TToolButton::Index() const {
  const TToolBar* bar = ToolBar();
  return bar ? bar->IndexOfButton(this) : -1;
}

void TToolButton::SetIndex(int value) {
  if (TToolBar* bar = ToolBar()) bar->MoveButton(this, value);
}

void TToolButton::SetAutoSize(bool value) {
  if (autoSize_ == value) return;
  autoSize_ = value;
  BarLayoutChanged();
}

void TToolButton::SetStyle(TToolButtonStyle value) {
  if (style_ == value) return;
  style_ = value;
  BarLayoutChanged();
}

void TToolButton::SetDown(bool value) {
  if (down_ == value) return;
  down_ = value;
  if (down_ && grouped_ && style_ == tbsCheck)
    if (TToolBar* bar = ToolBar()) bar->PutGroupUp(this);
  Invalidate();
}

// The down button of a group stays down unless it may leave the group all up.
void TToolButton::ToggleDown() {
  if (down_ && grouped_ && !allowAllUp_) return;
  SetDown(!down_);
}

void TToolButton::SetImageIndex(int value) {
  if (imageIndex_ == value) return;
  imageIndex_ = value;
  Invalidate();
}

void TToolButton::SetMarked(bool value) {
  if (marked_ == value) return;
  marked_ = value;
  Invalidate();
}

void TToolButton::SetIndeterminate(bool value) {
  if (indeterminate_ == value) return;
  indeterminate_ = value;
  Invalidate();
}

void TToolButton::SetWrap(bool value) {
  if (wrap_ == value) return;
  wrap_ = value;
  BarLayoutChanged();
}

void TToolButton::SetMenuItem(TMenuItem* value) {
  menuItem_ = value;
  UpdateFromMenuItem();
}

void TToolButton::UpdateFromMenuItem() {
  if (!menuItem_) return;
  SetText(menuItem_->Caption());
  SetEnabled(menuItem_->Enabled());
}

void TToolButton::BarLayoutChanged() {
  if (IsDestroying()) return;
  if (TToolBar* bar = ToolBar())
    bar->ArrangeButtons();
  Invalidate();
}

void TToolButton::SetPressedLook(bool pressed, bool inside) {
  if (pressed_ == pressed && pointerInside_ == inside) return;
  pressed_ = pressed;
  pointerInside_ = inside;
  Invalidate();
}

// A menu button, or the arrow part of a drop-down button with a menu, opens its drop-down on
// the press itself, as a menu bar does; the menu loop takes the capture and, mostly, the
// release. A handler run from the menu may free this button.
void TToolButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  droppedOnPress_ = false;
  if (button == mbLeft && IsSpacer()) return inherited::MouseDown(button, shift, x, y);
  TToolBar* bar = ToolBar();
  if (button == mbLeft && bar && PressDropsDown(x)) {
    SetMouseCapture(false);
    droppedOnPress_ = true;
    inherited::MouseDown(button, shift, x, y);
    if (bar->CanDropDown(this))
      bar->DropDownButton(this);
    else
      bar->OpenDropdownMenu(this);
    return;
  }
  if (button == mbLeft) SetPressedLook(true, true);
  inherited::MouseDown(button, shift, x, y);
}

bool TToolButton::PressDropsDown(int x) const {
  const TToolBar* bar = ToolBar();
  return bar && (bar->CanDropDown(this) || (dropdownMenu_ && bar->IsArrowPart(this, x)));
}

void TToolButton::MouseMove(TShiftState shift, int x, int y) {
  if (pressed_) {
    const RECT r = ClientRect();
    SetPressedLook(true, PtInRect(&r, POINT{x, y}) != FALSE);
  }
  inherited::MouseMove(shift, x, y);
}

void TToolButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) SetPressedLook(false, false);
  inherited::MouseUp(button, shift, x, y);
}

// A release that ends the press which opened a drop-down (when the menu loop let it through) is
// no click: the press was the drop-down's.
void TToolButton::WMLButtonUp(TMessage& m) {
  if (!droppedOnPress_) return inherited::WndProc(m);
  droppedOnPress_ = false;
  SetPressedLook(false, false);
}

// A check button toggles first (OnClick sees the new Down), then OnClick, then the bound item
// (one without sub-items: those drop down instead). Spacers do not click.
void TToolButton::Click() {
  if (IsSpacer()) return;
  if (style_ == tbsCheck) ToggleDown();
  const std::weak_ptr<void> alive = LifeToken();
  TMenuItem* item = menuItem_;
  inherited::Click();
  if (alive.expired() || !item || menuItem_ != item || item->SubMenuHandle()) return;
  DispatchChosen(item->Command());
}

void TToolButton::ApplyVisible() {
  inherited::ApplyVisible();
  BarLayoutChanged();
}

void TToolButton::ApplyEnabled() { Invalidate(); }

void TToolButton::WndProc(TMessage& m) {
  static constexpr TMessageEntry<TToolButton> kTable[] = {
      {CM_MOUSEENTER, &TToolButton::CMMouseEnterLeave},
      {CM_MOUSELEAVE, &TToolButton::CMMouseEnterLeave},
      {WM_LBUTTONUP, &TToolButton::WMLButtonUp},
  };
  if (!DispatchMessageTable(*this, kTable, m)) inherited::WndProc(m);
}

void TToolButton::CMMouseEnterLeave(TMessage& m) {
  inherited::WndProc(m);
  Invalidate();  // hot look on, or off
}

void TToolButton::DeclarePublished(TPublished<TToolButton>& p) {
  p.Boolean("AllowAllUp", &TToolButton::AllowAllUp, &TToolButton::SetAllowAllUp);
  p.Boolean("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped);
  p.Boolean("AutoSize", &TToolButton::AutoSize, &TToolButton::SetAutoSize);
  p.Enumeration("Style", ToolButtonStyleInfo, &TToolButton::Style, &TToolButton::SetStyle);
  p.Boolean("Down", &TToolButton::Down, &TToolButton::SetDown);
  p.Integer("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex);
  p.Boolean("Marked", &TToolButton::Marked, &TToolButton::SetMarked);
  p.Boolean("Indeterminate", &TToolButton::Indeterminate, &TToolButton::SetIndeterminate);
  p.Boolean("Wrap", &TToolButton::Wrap, &TToolButton::SetWrap);
  p.Component("MenuItem", &TToolButton::MenuItem, &TToolButton::SetMenuItem);
  p.Component("DropdownMenu", &TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu);
}

// ---- TToolBar: buttons and layout ----
TToolBar::TToolBar(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 150, 29);
  SetAlign(alTop);
}

TToolBar::~TToolBar() {
  Destroying();
  if (gMenuBar == this) gMenuBar = nullptr;
  if (gDropdownBar == this) gDropdownBar = nullptr;
  DestroyChildren();  // owned buttons take themselves off buttons_ while it is whole
}

int TToolBar::IndexOfButton(const TToolButton* button) const {
  auto it = std::find(buttons_.begin(), buttons_.end(), button);
  return it == buttons_.end() ? -1 : static_cast<int>(it - buttons_.begin());
}

void TToolBar::InsertButton(TToolButton* button) {
  buttons_.push_back(button);
  ArrangeButtons();
}

void TToolBar::RemoveButton(TToolButton* button) {
  const int index = IndexOfButton(button);
  if (index < 0) return;
  buttons_.erase(buttons_.begin() + index);
  // Menu mode keeps indices: a button that goes closes the drop-down rather than shifting it.
  if (index == droppedIndex_ || index == keyboardIndex_) droppedIndex_ = keyboardIndex_ = -1;
  if (!IsDestroying()) ArrangeButtons();
}

void TToolBar::MoveButton(TToolButton* button, int index) {
  const int from = IndexOfButton(button);
  if (from < 0) return;
  buttons_.erase(buttons_.begin() + from);
  index = std::clamp(index, 0, ButtonCount());
  buttons_.insert(buttons_.begin() + index, button);
  ArrangeButtons();
}

void TToolBar::SetButtonWidth(int value) {
  if (buttonWidth_ == value) return;
  buttonWidth_ = value;
  ArrangeButtons();
}

void TToolBar::SetButtonHeight(int value) {
  if (buttonHeight_ == value) return;
  buttonHeight_ = value;
  ArrangeButtons();
}

void TToolBar::SetList(bool value) {
  if (list_ == value) return;
  list_ = value;
  ArrangeButtons();
}

void TToolBar::SetTransparent(bool value) {
  if (transparent_ == value) return;
  transparent_ = value;
  Invalidate();
}

void TToolBar::SetIndent(int value) {
  if (indent_ == value) return;
  indent_ = value;
  ArrangeButtons();
}

void TToolBar::SetFlat(bool value) {
  if (flat_ == value) return;
  flat_ = value;
  Invalidate();
}

void TToolBar::SetShowCaptions(bool value) {
  if (showCaptions_ == value) return;
  showCaptions_ = value;
  ArrangeButtons();
}

void TToolBar::SetAutoSize(bool value) {
  if (autoSize_ == value) return;
  autoSize_ = value;
  ArrangeButtons();
}

void TToolBar::SetWrapable(bool value) {
  if (wrapable_ == value) return;
  wrapable_ = value;
  ArrangeButtons();
}

void TToolBar::SetEdgeBorders(TEdgeBorders value) {
  edgeBorders_ = value;
  ArrangeButtons();
}

void TToolBar::SetEdgeInner(TEdgeStyle value) {
  if (edgeInner_ == value) return;
  edgeInner_ = value;
  ArrangeButtons();
}

void TToolBar::SetEdgeOuter(TEdgeStyle value) {
  if (edgeOuter_ == value) return;
  edgeOuter_ = value;
  ArrangeButtons();
}

RECT TToolBar::ButtonArea() const {
  RECT r = ClientRect();
  const int edge = EdgeThickness(edgeInner_, edgeOuter_);
  if (edgeBorders_.Contains(ebLeft)) r.left += edge;
  if (edgeBorders_.Contains(ebTop)) r.top += edge;
  if (edgeBorders_.Contains(ebRight)) r.right -= edge;
  if (edgeBorders_.Contains(ebBottom)) r.bottom -= edge;
  return r;
}

SIZE TToolBar::CaptionExtent(const std::string& caption) const {
  TWindowDC screen(nullptr);
  TCanvas canvas(screen.Get());
  canvas.Font().Assign(*Font());
  SIZE size = canvas.TextExtent(StripAccelerators(caption));
  size.cy = canvas.TextHeight("Wg");  // the line's height, also for an empty caption
  return size;
}

// With images a button fits its image (and its caption when captions show): an AutoSize button
// exactly, any other at least ButtonWidth wide.
int TToolBar::LaidOutWidth(const TToolButton* button) const {
  if (button->IsSpacer()) return kSeparatorWidth;
  const bool fitCaption = showCaptions_ && (button->AutoSize() || Images());
  const int text = fitCaption ? CaptionExtent(button->Caption()).cx : 0;
  int width = buttonWidth_;
  if (const TImageList* images = Images()) {
    int content = images->Width() + kImageSideRoom;
    if (showCaptions_ && list_ && !button->Caption().empty()) content += text + kCaptionMargin;
    if (showCaptions_ && !list_) content = std::max(content, text + 2 * kCaptionMargin);
    width = button->AutoSize() && showCaptions_ ? content : std::max(buttonWidth_, content);
  } else if (fitCaption) {
    width = text + 2 * kCaptionMargin;
  }
  return button->Style() == tbsDropDown ? width + kDropDownWidth : width;
}

int TToolBar::LaidOutHeight() const {
  const TImageList* images = Images();
  if (!images) return buttonHeight_;
  int height = images->Height() + 2 * kImageTop;
  if (showCaptions_) {
    const int line = CaptionExtent("").cy;
    height = list_ ? std::max(height, line + 2 * kImageTop + 2) : height + kCaptionGap + line;
  }
  return std::max(buttonHeight_, height);
}

bool TToolBar::IsArrowPart(const TToolButton* button, int x) const {
  return button->Style() == tbsDropDown && x >= button->Width() - kDropDownWidth && x < button->Width();
}

// Rows from the top of the button area; a row ends where the next button would pass the right
// edge (Wrapable) or after a button with Wrap.
void TToolBar::ArrangeButtons() {
  if (arranging_ || IsDestroying()) return;
  arranging_ = true;
  const RECT area = ButtonArea();
  const int rowLeft = area.left + indent_, height = LaidOutHeight();
  int x = rowLeft, y = area.top;
  bool rowEmpty = true;
  for (TToolButton* button : buttons_) {
    if (!button->Visible()) continue;
    const int width = LaidOutWidth(button);
    if (wrapable_ && !rowEmpty && x + width > area.right) {
      x = rowLeft;
      y += height;
    }
    button->SetBounds(x, y, width, height);
    x += width;
    rowEmpty = false;
    if (button->Wrap()) {
      x = rowLeft;
      y += height;
      rowEmpty = true;
    }
  }
  if (autoSize_) {
    const int rowsBottom = rowEmpty ? y : y + height;
    const int barHeight = rowsBottom + (ClientRect().bottom - area.bottom);
    if (barHeight != Height()) SetBounds(Left(), Top(), Width(), barHeight);
  }
  arranging_ = false;
  Invalidate();
}

void TToolBar::SetBounds(int left, int top, int width, int height) {
  const int oldWidth = Width();
  inherited::SetBounds(left, top, width, height);
  if (Width() != oldWidth) ArrangeButtons();
}

void TToolBar::Loaded() {
  inherited::Loaded();
  ArrangeButtons();
}

TToolButton* TToolBar::ButtonAtPos(POINT point) const {
  for (TToolButton* button : buttons_) {
    const RECT r = button->BoundsRect();
    if (button->Visible() && PtInRect(&r, point)) return button;
  }
  return nullptr;
}

// ---- TToolBar: drawing ----
// Hot asks where the pointer is now: a drop-down that had the pointer leaves no leave message.
TCustomDrawState TToolBar::ButtonState(const TToolButton* button) const {
  const int index = IndexOfButton(button);
  TCustomDrawState state = 0;
  if (button->IsSpacer()) return button->Enabled() ? state : cdsDisabled;
  if (button->Pressed() || index == droppedIndex_) state |= cdsSelected;
  if (!button->Enabled()) state |= cdsDisabled;
  if (button->Down()) state |= cdsChecked;
  if (button->Marked()) state |= cdsMarked;
  if (button->Indeterminate()) state |= cdsIndeterminate;
  bool hot = index == keyboardIndex_;
  if (!inMenuMode_ && button->MouseInControl() && HandleAllocated()) {
    POINT p;
    GetCursorPos(&p);
    const RECT r = button->BoundsRect();
    hot = PtInRect(&r, ScreenToClient(p)) != FALSE;
  }
  if (hot) state |= cdsHot;
  return state;
}

void TToolBar::Paint() {
  if (transparent_ && Parent()) {
    Canvas().Brush().SetColor(Parent()->Color());
    Canvas().FillRect(ClientRect());
  }
  bool defaultDraw = true;
  if (onCustomDraw_) onCustomDraw_(this, ClientRect(), defaultDraw);
  if (defaultDraw) DrawEdges();
  for (TToolButton* button : std::vector<TToolButton*>(buttons_)) {
    if (!button->Visible()) continue;
    bool buttonDefault = defaultDraw;
    if (onCustomDrawButton_) onCustomDrawButton_(this, button, ButtonState(button), buttonDefault);
    if (!buttonDefault) continue;
    Canvas().Font().Assign(*Font());  // a handler may have changed it
    DrawButton(button, ButtonState(button));
  }
}

void TToolBar::DrawEdges() {
  RECT r = ClientRect();
  const UINT bits = EdgeBits(edgeInner_, edgeOuter_), sides = EdgeSides(edgeBorders_);
  if (bits && sides) DrawEdge(Canvas().Handle(), &r, bits, sides);
}

void TToolBar::DrawButton(TToolButton* button, TCustomDrawState state) {
  TCanvas& canvas = Canvas();
  RECT r = button->BoundsRect();
  if (button->Style() == tbsSeparator) return;
  if (button->Style() == tbsDivider) {
    RECT line{(r.left + r.right) / 2 - 1, r.top + 2, (r.left + r.right) / 2 + 1, r.bottom - 2};
    DrawEdge(canvas.Handle(), &line, EDGE_ETCHED, BF_LEFT);
    return;
  }
  const bool pushed = (state & (cdsSelected | cdsChecked)) != 0;
  const bool raised = (state & cdsHot) || !flat_;
  if (button->Style() == tbsDropDown && button->DropdownMenu()) {
    // Two parts, each with its own edge: the open menu pushes the arrow part, a press the main part.
    const bool dropped = (state & cdsSelected) && button == DroppedButton();
    const bool mainPushed = pushed && !(dropped && !(state & cdsChecked));
    RECT main = r, arrow = r;
    main.right = arrow.left = r.right - kDropDownWidth;
    DrawFaceEdge(main, mainPushed, raised);
    DrawFaceEdge(arrow, dropped || (state & cdsChecked), raised);
    if (!mainPushed) state &= ~cdsSelected;  // the content stays in place
  } else {
    DrawFaceEdge(r, pushed, raised);
  }
  if (button->Style() == tbsDropDown) {
    const int x = r.right - kDropDownWidth / 2, y = (r.top + r.bottom) / 2;
    canvas.Pen().SetColor((state & cdsDisabled) ? clGrayText : clBtnText);
    for (int i = 0; i < 3; ++i) {
      canvas.MoveTo(x - 2 + i, y - 1 + i);
      canvas.LineTo(x + 3 - i, y - 1 + i);
    }
    r.right -= kDropDownWidth;
  }
  if (Images())
    DrawImageAndCaption(button, state, r);
  else
    DrawPlainCaption(button, state, r);
}

void TToolBar::DrawFaceEdge(RECT r, bool pushed, bool raised) {
  if (pushed)
    DrawEdge(Canvas().Handle(), &r, BDR_SUNKENOUTER, BF_RECT);
  else if (raised)
    DrawEdge(Canvas().Handle(), &r, BDR_RAISEDINNER, BF_RECT);
}

TImageList* TToolBar::ImagesFor(const TToolButton* button, TCustomDrawState state) const {
  TImageList* hot = HotImages();
  if ((state & cdsHot) && hot && button->ImageIndex() >= 0 && button->ImageIndex() < hot->Count()) return hot;
  return Images();
}

// FACE is the button without its arrow part; a pushed button's content sits one pixel lower
// and to the right.
void TToolBar::DrawImageAndCaption(TToolButton* button, TCustomDrawState state, const RECT& face) {
  TCanvas& canvas = Canvas();
  const RECT r = button->BoundsRect();
  const int shift = (state & (cdsSelected | cdsChecked)) ? 1 : 0;
  const int imageWidth = Images()->Width(), imageHeight = Images()->Height();
  const bool enabled = (state & cdsDisabled) == 0;
  const int imageLeft = list_ ? r.left + kListImageLeft : r.left + (face.right - r.left - imageWidth) / 2;
  ImagesFor(button, state)->Draw(canvas, imageLeft + shift, r.top + kImageTop + shift, button->ImageIndex(), enabled);
  if (!showCaptions_ || button->Caption().empty()) return;
  RECT text;
  if (list_) {
    text = {r.left + imageWidth + kListCaptionGap, r.top + (imageHeight - 16) / 2 + 4, r.right, r.bottom};
  } else {
    const int width = canvas.TextWidth(StripAccelerators(button->Caption()));
    text = {r.left + (face.right - r.left - width) / 2, r.top + imageHeight + kImageTop + kCaptionGap, r.right,
            r.bottom};
  }
  OffsetRect(&text, shift, shift);
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().SetColor(enabled ? clBtnText : clGrayText);
  canvas.DrawText(button->Caption(), text, DT_SINGLELINE);
}

void TToolBar::DrawPlainCaption(TToolButton* button, TCustomDrawState state, RECT face) {
  if (!showCaptions_) return;
  TCanvas& canvas = Canvas();
  if (state & (cdsSelected | cdsChecked)) OffsetRect(&face, 1, 1);
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().SetColor((state & cdsDisabled) ? clGrayText : clBtnText);
  canvas.DrawText(button->Caption(), face, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// Adjacent grouped check buttons around BUTTON, in the bar's order.
void TToolBar::PutGroupUp(const TToolButton* button) {
  const int index = IndexOfButton(button);
  if (index < 0) return;
  auto inGroup = [this](int i) {
    const TToolButton* b = buttons_[static_cast<size_t>(i)];
    return b->Grouped() && b->Style() == tbsCheck;
  };
  for (int i = index - 1; i >= 0 && inGroup(i); --i) Buttons(i)->SetDown(false);
  for (int i = index + 1; i < ButtonCount() && inGroup(i); ++i) Buttons(i)->SetDown(false);
}

// ---- TToolBar: messages ----
void TToolBar::WndProc(TMessage& m) {
  static constexpr TMessageEntry<TToolBar> kTable[] = {
      {CM_KEYMENU, &TToolBar::CMKeyMenu},     {CM_FONTCHANGED, &TToolBar::CMFontChanged},
      {WM_MENUCHAR, &TToolBar::WMMenuChar},   {WM_MENUSELECT, &TToolBar::WMMenuSelect},
      {WM_SIZE, &TToolBar::WMSize},
  };
  if (!DispatchMessageTable(*this, kTable, m)) inherited::WndProc(m);
}

void TToolBar::CMFontChanged(TMessage& m) {
  inherited::WndProc(m);
  ArrangeButtons();
}

void TToolBar::WMSize(TMessage& m) {
  inherited::WndProc(m);
  ArrangeButtons();
}

void TToolBar::WMMenuChar(TMessage& m) {
  if (!DeliverMenuMessage(m)) inherited::WndProc(m);
}

// The menu loop tells the owner what is selected: whether the selection is in a cascaded
// sub-menu (then Left/Right belong to the menu) and whether it opens one (Right opens it).
void TToolBar::WMMenuSelect(TMessage& m) {
  const UINT flags = HIWORD(m.WParam);
  const auto menu = reinterpret_cast<HMENU>(m.LParam);
  if (!(flags == 0xFFFF && !menu)) {
    inCascade_ = menu != openMenu_;
    onCascadeItem_ = (flags & MF_POPUP) != 0;
  }
  inherited::WndProc(m);
}

void TToolBar::CMKeyMenu(TMessage& m) {
  if (inMenuMode_ || !Showing() || !HandleAllocated()) return;
  if (m.LParam == 0) {
    if (NextMenuButton(-1, 1) < 0) return;
    m.Result = 1;
    return EnterKeyboardMode();
  }
  TToolButton* button = ButtonWithAccelerator(static_cast<char>(std::toupper(static_cast<int>(m.LParam & 0xFF))));
  if (!button) return;
  m.Result = 1;
  DropDownButton(button);
}

// ---- TToolBar: menu mode ----
bool TToolBar::CanDropDown(const TToolButton* button) const {
  return button->Visible() && button->Enabled() && button->MenuItem() && button->MenuItem()->SubMenuHandle();
}

// The next button from FROM in direction STEP that can drop down, wrapping; -1 when none.
int TToolBar::NextMenuButton(int from, int step) const {
  const int count = ButtonCount();
  for (int i = 1; i <= count; ++i) {
    const int index = ((from + step * i) % count + count) % count;
    if (CanDropDown(buttons_[static_cast<size_t>(index)])) return index;
  }
  return -1;
}

TToolButton* TToolBar::ButtonWithAccelerator(char key) const {
  if (!key) return nullptr;
  for (TToolButton* button : buttons_) {
    if (!button->Visible() || !button->Enabled()) continue;
    const char own = button->MenuItem() ? button->MenuItem()->Accelerator() : AcceleratorOf(button->Caption());
    if (own == key) return button;
  }
  return nullptr;
}

TToolButton* TToolBar::DroppedButton() const {
  return droppedIndex_ >= 0 && droppedIndex_ < ButtonCount() ? Buttons(droppedIndex_) : nullptr;
}

TToolButton* TToolBar::KeyboardButton() const {
  return keyboardIndex_ >= 0 && keyboardIndex_ < ButtonCount() ? Buttons(keyboardIndex_) : nullptr;
}

void TToolBar::SetHotIndex(int dropped, int keyboard) {
  droppedIndex_ = dropped;
  keyboardIndex_ = keyboard;
  Invalidate();
  Update();
}

LRESULT CALLBACK TToolBar::MenuFilter(int code, WPARAM wParam, LPARAM lParam) {
  if (code == MSGF_MENU && gMenuBar && gMenuBar->FilterMenuMessage(*reinterpret_cast<const MSG*>(lParam))) return 1;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void TToolBar::DropDownButton(TToolButton* button) {
  const int index = IndexOfButton(button);
  if (index < 0 || inMenuMode_ || gMenuBar) return;
  if (!CanDropDown(button)) {
    if (button->Enabled() && button->MenuItem()) DispatchChosen(button->MenuItem()->Command());
    return;
  }
  RunMenuMode(index, true);
}

// The menu's own Popup (which a derived menu may dress) runs the loop with TPM_RETURNCMD and
// then the chosen item. While the loop runs the bar's menu filter is on, so that a press on
// this button closes the menu instead of opening it again. The loop's end shows in the
// WM_EXITMENULOOP the system sends the menu's owner before TrackPopupMenu returns (Windows and
// Wine alike): the button goes up there, so the chosen item runs with the bar out of the way.
void TToolBar::OpenDropdownMenu(TToolButton* button) {
  const int index = IndexOfButton(button);
  TPopupMenu* menu = button->DropdownMenu();
  if (index < 0 || !menu || inMenuMode_ || gMenuBar) return;
  const std::weak_ptr<void> alive = LifeToken();
  const RECT bounds = button->BoundsRect();
  const POINT at = ClientToScreen({bounds.left, bounds.bottom});
  menu->SetPopupComponent(button);
  {
    TMenuFilterScope filter(this, &TToolBar::MenuFilter);
    TThreadHook loopEnd(WH_CALLWNDPROC, &TToolBar::MenuLoopEnd);
    gDropdownBar = this;
    auto done = OnScopeExit([] { gDropdownBar = nullptr; });
    SetHotIndex(index, -1);
    menu->Popup(at.x, at.y);
  }
  if (!alive.expired() && droppedIndex_ >= 0) SetHotIndex(-1, -1);
}

// Only the first loop end counts: a menu the chosen item opens in turn is none of this bar's.
LRESULT CALLBACK TToolBar::MenuLoopEnd(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && gDropdownBar &&
      reinterpret_cast<const CWPSTRUCT*>(lParam)->message == WM_EXITMENULOOP) {
    TToolBar* bar = gDropdownBar;
    gDropdownBar = nullptr;
    if (gMenuBar == bar) gMenuBar = nullptr;  // the filter lets everything pass from here on
    bar->SetHotIndex(-1, -1);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void TToolBar::EnterKeyboardMode(TToolButton* button) {
  const int index = button ? IndexOfButton(button) : NextMenuButton(-1, 1);
  if (index < 0 || inMenuMode_ || gMenuBar) return;
  RunMenuMode(index, false);
}

// Menu mode from button INDEX, its drop-down open (OPEN) or keyboard-selected. The command
// chosen runs last, when nothing of the bar is in use any more: its handler may free the bar.
void TToolBar::RunMenuMode(int index, bool open) {
  const std::weak_ptr<void> alive = LifeToken();
  UINT command = 0;
  {
    TMenuFilterScope filter(this, &TToolBar::MenuFilter);
    inMenuMode_ = true;
    while (index >= 0 && index < ButtonCount() && !alive.expired()) {
      if (!open) {
        index = KeyboardStep(index, open);
        continue;
      }
      TToolButton* button = Buttons(index);
      if (!CanDropDown(button)) {  // chosen from the keyboard
        command = button->Enabled() && button->MenuItem() ? button->MenuItem()->Command() : 0;
        break;
      }
      const TDropResult result = TrackDropDown(index);
      if (alive.expired() || result.command) {
        command = result.command;
        break;
      }
      index = result.next;
      if (result.escaped) {
        index = result.from;
        open = false;
      }
    }
    if (!alive.expired()) {
      inMenuMode_ = false;
      SetHotIndex(-1, -1);
    }
  }
  DispatchChosen(command);
}

// One drop-down through the system's menu loop. Under Wine (as under Windows) the loop passes
// every input message to the WH_MSGFILTER hook with MSGF_MENU first (mouse moves with their
// screen point, key-downs), and EndMenu from inside it ends TrackPopupMenuEx, which then
// returns 0; WM_MENUSELECT reaches the owner for each selection, not for the opening itself.
TToolBar::TDropResult TToolBar::TrackDropDown(int index) {
  TDropResult result;
  result.from = index;
  TToolButton* button = Buttons(index);
  openMenu_ = button->MenuItem()->SubMenuHandle();
  switchTo_ = -1;
  escaped_ = inCascade_ = onCascadeItem_ = false;
  SetHotIndex(index, -1);
  const RECT bounds = button->BoundsRect();
  const POINT topLeft = ClientToScreen({bounds.left, bounds.top});
  const POINT bottomRight = ClientToScreen({bounds.right, bounds.bottom});
  TPMPARAMS params{sizeof(TPMPARAMS), {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y}};
  const std::weak_ptr<void> alive = LifeToken();
  result.command = static_cast<UINT>(TrackPopupMenuEx(openMenu_,
                                                      TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL | TPM_LEFTBUTTON |
                                                          TPM_RETURNCMD,
                                                      topLeft.x, bottomRight.y, Handle(), &params));
  if (alive.expired()) return result;
  openMenu_ = nullptr;
  result.next = switchTo_;
  result.escaped = escaped_ && switchTo_ < 0;
  return result;
}

// Input of the open drop-down's loop, before the menu sees it. True swallows the message.
// A button's DropdownMenu (outside menu mode) only has the press on its own button taken.
bool TToolBar::FilterMenuMessage(const MSG& msg) {
  if (!DroppedButton() || !HandleAllocated()) return false;
  if (!inMenuMode_ && msg.message != WM_LBUTTONDOWN) return false;
  switch (msg.message) {
    case WM_MOUSEMOVE: {
      TToolButton* over = ButtonAtPos(ScreenToClient(msg.pt));
      if (!over || IndexOfButton(over) == droppedIndex_ || !CanDropDown(over)) return false;
      switchTo_ = IndexOfButton(over);
      EndMenu();
      return true;
    }
    case WM_LBUTTONDOWN:
      // A press on the open button closes the drop-down; passed on, it would open it again.
      if (ButtonAtPos(ScreenToClient(msg.pt)) != DroppedButton()) return false;
      EndMenu();
      return true;
    case WM_KEYDOWN:
      if ((msg.wParam == VK_LEFT && !inCascade_) || (msg.wParam == VK_RIGHT && !inCascade_ && !onCascadeItem_)) {
        switchTo_ = NextMenuButton(droppedIndex_, msg.wParam == VK_LEFT ? -1 : 1);
        if (switchTo_ == droppedIndex_) switchTo_ = -1;
        if (switchTo_ < 0) return false;
        EndMenu();
        return true;
      }
      if (msg.wParam == VK_ESCAPE && !inCascade_) escaped_ = true;
      return false;
    default:
      return false;
  }
}

// Keyboard mode on button INDEX: a loop of its own until a key opens a drop-down (OPEN, the
// index returned) or ends the mode (-1). A mouse press or a quit message ends it and stays in
// the queue for the ordinary loop; everything else is dispatched as usual.
int TToolBar::KeyboardStep(int index, bool& open) {
  const std::weak_ptr<void> alive = LifeToken();
  open = false;
  SetHotIndex(-1, index);
  HWND root = GetAncestor(Handle(), GA_ROOT);
  for (;;) {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      WaitMessage();
      continue;
    }
    if (msg.message == WM_QUIT || IsMouseButtonMessage(msg.message)) return -1;
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
      switch (msg.wParam) {
        case VK_LEFT:
        case VK_RIGHT:
          index = NextMenuButton(index, msg.wParam == VK_LEFT ? -1 : 1);
          if (index < 0) return -1;  // the buttons went
          SetHotIndex(-1, index);
          continue;
        case VK_DOWN:
        case VK_UP:
        case VK_RETURN:
          open = true;
          return index;
        case VK_ESCAPE:
        case VK_MENU:
        case VK_F10:
          return -1;
        default:
          TranslateMessage(&msg);  // the character may choose a button
          continue;
      }
    }
    if (msg.message == WM_CHAR || msg.message == WM_SYSCHAR) {
      if (TToolButton* b = ButtonWithAccelerator(static_cast<char>(std::toupper(static_cast<int>(msg.wParam & 0xFF))))) {
        open = true;
        return IndexOfButton(b);
      }
      continue;
    }
    if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP) continue;
    DispatchMessageA(&msg);
    if (alive.expired() || !IsWindow(root) || GetActiveWindow() != root) return -1;
  }
}

void TToolBar::DeclarePublished(TPublished<TToolBar>& p) {
  p.Integer("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth);
  p.Integer("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight);
  p.Boolean("Flat", &TToolBar::Flat, &TToolBar::SetFlat);
  p.Boolean("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions);
  p.Boolean("AutoSize", &TToolBar::AutoSize, &TToolBar::SetAutoSize);
  p.Boolean("Wrapable", &TToolBar::Wrapable, &TToolBar::SetWrapable);
  p.Set("EdgeBorders", EdgeBorderInfo, &TToolBar::EdgeBorders, &TToolBar::SetEdgeBorders);
  p.Enumeration("EdgeInner", EdgeStyleInfo, &TToolBar::EdgeInner, &TToolBar::SetEdgeInner);
  p.Enumeration("EdgeOuter", EdgeStyleInfo, &TToolBar::EdgeOuter, &TToolBar::SetEdgeOuter);
  p.Component("Images", &TToolBar::Images, &TToolBar::SetImages);
  p.Component("HotImages", &TToolBar::HotImages, &TToolBar::SetHotImages);
  p.Integer("Indent", &TToolBar::Indent, &TToolBar::SetIndent);
  p.Boolean("List", &TToolBar::List, &TToolBar::SetList);
  p.Boolean("Transparent", &TToolBar::Transparent, &TToolBar::SetTransparent);
  p.Event("OnCustomDraw", &TToolBar::OnCustomDraw, &TToolBar::SetOnCustomDraw);
  p.Event("OnCustomDrawButton", &TToolBar::OnCustomDrawButton, &TToolBar::SetOnCustomDrawButton);
}
