#include "skin/controls/KYRDBCtrls.h"

#include <algorithm>

#include "framework/ui/Dialogs.h"
#include "framework/ui/Forms.h"
#include "framework/ui/Menus.h"
#include "skin/KYRPublic.h"

const std::array<const char*, kNavButtonCount> NavigatorStandardHints = {
    "First record", "Prior record", "Next record", "Last record", "Insert record",
    "Delete record", "Edit record",  "Post edit",   "Cancel edit", "Refresh data"};

namespace {

constexpr int kMinButtonWidth = 20;
constexpr int kMinButtonHeight = 18;
constexpr int kGlyphFrames = 10;

int VisibleCount(TButtonSet visible) {
  int n = 0;
  for (int k = 0; k < kNavButtonCount; ++k) n += visible.Contains(static_cast<TNavigateBtn>(k));
  return n > 0 ? n : 1;
}

}  // namespace

// ---- geometry ----

SIZE NavigatorMinimumSize(int width, int height, TAlign align, TButtonSet visible) {
  const int n = VisibleCount(visible);
  width = std::max(width, n * kMinButtonWidth);
  height = std::max(height, kMinButtonHeight);
  if (align == alNone) width = (width / n) * n;
  return {width, height};
}

// The pixels a whole number of slots leaves over go one each to the buttons where the running
// remainder crosses zero, so they spread evenly along the row (10 buttons, 3 pixels: kinds 1, 5, 8).
TkyrNavLayout NavigatorLayout(int width, int height, TAlign align, TButtonSet visible) {
  const SIZE size = NavigatorMinimumSize(width, height, align, visible);
  TkyrNavLayout layout;
  const int n = VisibleCount(visible);
  layout.Width = size.cx;
  layout.Height = size.cy;
  layout.SlotWidth = layout.Width / n;
  const int total = n * layout.SlotWidth;
  if (align == alNone) layout.Width = total;
  const int space = layout.Width - total;
  int acc = n / 2;
  int x = 0;
  for (int k = 0; k < kNavButtonCount; ++k) {
    if (!visible.Contains(static_cast<TNavigateBtn>(k))) {
      layout.Bounds[k] = {layout.Width + 1, 0, layout.Width + 1 + layout.SlotWidth, layout.Height};
      continue;
    }
    int extra = 0;
    if (space != 0) {
      acc -= space;
      if (acc < 0) {
        acc += n;
        extra = 1;
      }
    }
    layout.Bounds[k] = {x, 0, x + layout.SlotWidth + extra, layout.Height};
    x += layout.SlotWidth + extra;
  }
  return layout;
}

// ---- TkyrNavButton ----

TkyrNavButton::TkyrNavButton(TComponent* owner) : TkyrButton(owner) {}

TkyrNavButton::~TkyrNavButton() { Destroying(); }

TkyrDBNavigator* TkyrNavButton::Navigator() const { return dynamic_cast<TkyrDBNavigator*>(Parent()); }

// The button's own press repeat: no move at the press, the first repeated one after the pause.
void TkyrNavButton::SetRepeats(bool value) {
  repeats_ = value;
  SetMouseContinuouslyDownInterval(kRepeatInterval);
  SetRepeatLead(false, value ? kRepeatDelay : 0);
  SetOnMouseContinuouslyDown(value ? TNotifyEvent([this](TObject*) { RepeatTick(); }) : TNotifyEvent());
}

// The press repeat ticks only while this button holds the capture; a pointer moved off the
// button while held un-presses it, and the moves wait until it comes back.
void TkyrNavButton::RepeatTick() {
  if (!Pressed()) return;
  if (TkyrDBNavigator* nav = Navigator()) nav->ButtonAction(kind_);
}

void TkyrNavButton::Paint() {
  inherited::Paint();
  TkyrDBNavigator* nav = Navigator();
  if (!nav || !nav->Focused() || nav->CurrentButton() != kind_) return;
  RECT r{0, 0, Width(), Height()};
  InflateRect(&r, -3, -3);
  if (Pressed()) OffsetRect(&r, 1, 1);
  Canvas().Brush().SetStyle(bsSolid);
  Canvas().DrawFocusRect(r);
}

// ---- TkyrNavDataLink ----

TkyrNavDataLink::TkyrNavDataLink(TkyrDBNavigator* navigator) : navigator_(navigator) { SetVisualControl(true); }

TkyrNavDataLink::~TkyrNavDataLink() { navigator_ = nullptr; }

void TkyrNavDataLink::ActiveChanged() {
  if (navigator_) navigator_->UpdateAll();
}

void TkyrNavDataLink::DataSetChanged() {
  if (navigator_) navigator_->UpdateMoving();
}

void TkyrNavDataLink::EditingChanged() {
  if (navigator_) navigator_->UpdateEditing();
}

void TkyrNavDataLink::DataSourceGone() {
  TDataLink::DataSourceGone();
  if (navigator_) navigator_->UpdateAll();
}

// ---- TkyrDBNavigator: construction ----

TkyrDBNavigator::TkyrDBNavigator(TComponent* owner) : TkyrStyled(owner) {
  TControlStyle style = ControlStyle();
  style.Exclude(csAcceptsControls);
  style.Exclude(csSetCaption);
  style.Include(csOpaque);
  SetControlStyle(style);
  dataLink_ = std::make_unique<TkyrNavDataLink>(this);
  hints_.SetOnChange([this](TObject*) { HintsChanged(); });
  CreateButtons();
  ApplyHints();
  SetBevelOuter(bvNone);
  SetBevelInner(bvNone);
  SetBounds(Left(), Top(), 250, 30);
  InitUIStyle();
}

// The data source goes first: a data event while the buttons are freed would reach them.
TkyrDBNavigator::~TkyrDBNavigator() {
  Destroying();
  dataLink_->SetDataSource(nullptr);
  hints_.SetOnChange(nullptr);
  DestroyChildren();
  buttons_.fill(nullptr);
}

void TkyrDBNavigator::CreateButtons() {
  TBitmap strip;
  strip.LoadFromResourceName(GetModuleHandleA(nullptr), "DBNAV_BUTTON");
  for (int k = 0; k < kNavButtonCount; ++k) {
    const auto kind = static_cast<TNavigateBtn>(k);
    auto* button = new TkyrNavButton(this);
    button->SetTabStop(false);
    button->SetSpacing(-1);
    button->SetKind(kind);
    button->SetVisible(visibleButtons_.Contains(kind));
    button->SetBounds(kMinButtonWidth * k, 0, kMinButtonWidth, kMinButtonHeight);
    TBitmap glyph;
    ExtractBitmapFrame(strip, glyph, kGlyphFrames, k + 1);
    button->SetGlyph(glyph);
    button->SetOnClick([this, kind](TObject*) { ButtonAction(kind); });
    button->SetOnMouseDown([this, button](TObject*, TMouseButton, TShiftState, int, int) { ButtonPressed(*button); });
    button->SetParent(this);
    buttons_[k] = button;
  }
  buttons_[nbPrior]->SetRepeats(true);
  buttons_[nbNext]->SetRepeats(true);
}

// ---- properties ----

void TkyrDBNavigator::SetDataSource(TDataSource* value) {
  dataLink_->SetDataSource(value);
  if (!InState(csLoading)) UpdateAll();
}

void TkyrDBNavigator::SetVisibleButtons(TButtonSet value) {
  visibleButtons_ = value;
  for (int k = 0; k < kNavButtonCount; ++k) buttons_[k]->SetVisible(value.Contains(static_cast<TNavigateBtn>(k)));
  KeepCurrentVisible();
  LayOutAndResize();
  Invalidate();
}

void TkyrDBNavigator::SetCursor(TCursor value) {
  TControl::SetCursor(value);
  for (TkyrNavButton* button : buttons_) button->SetCursor(value);
}

TStrings* TkyrDBNavigator::Hints() {
  if (InState(csDesigning) && !InState(csReading) && hints_.Count() == 0)
    return const_cast<TStrings*>(&StandardHints());
  return &hints_;
}

void TkyrDBNavigator::SetHints(const TStrings& value) { hints_.Assign(value); }

const TStrings& TkyrDBNavigator::StandardHints() {
  if (!standardHints_) {
    standardHints_ = std::make_unique<TStringList>();
    for (const char* hint : NavigatorStandardHints) standardHints_->Add(hint);
  }
  return *standardHints_;
}

// Also for a list filled in place (a stored description's Hints.Strings): a list equal to the
// standard hints is cleared, which comes back here empty.
void TkyrDBNavigator::HintsChanged() {
  if (hints_.Count() > 0 && hints_.Text() == StandardHints().Text()) return hints_.Clear();
  ApplyHints();
}

void TkyrDBNavigator::ApplyHints() {
  for (int k = 0; k < kNavButtonCount; ++k) buttons_[k]->SetHint(NavigatorStandardHints[k]);
  for (int j = 0; j < std::min(hints_.Count(), kNavButtonCount); ++j)
    if (!hints_.Strings(j).empty()) buttons_[j]->SetHint(hints_.Strings(j));
}

// Every button stores the navigator's own style and theme, read from the navigator's source.
void TkyrDBNavigator::ApplyUIStyle(const TkyrStyleSource& source) {
  const TkyrStyleSource handed = source.HandedDown(source.Style());
  for (TkyrNavButton* button : buttons_)
    if (button) button->ApplyStyle(handed);
}

void TkyrDBNavigator::Loaded() {
  inherited::Loaded();
  LayOutAndResize();
  ApplyHints();
  UpdateAll();
}

// ---- layout ----

bool TkyrDBNavigator::LayoutReady() const { return !InState(csLoading) && buttons_[kNavButtonCount - 1]; }

SIZE TkyrDBNavigator::LayOut(int width, int height) {
  if (!LayoutReady()) return {width, height};
  const TkyrNavLayout layout = NavigatorLayout(width, height, Align(), visibleButtons_);
  slotWidth_ = layout.SlotWidth;
  for (int k = 0; k < kNavButtonCount; ++k) buttons_[k]->SetBoundsRect(layout.Bounds[k]);
  return {layout.Width, layout.Height};
}

void TkyrDBNavigator::LayOutAndResize() {
  const SIZE size = LayOut(Width(), Height());
  if (size.cx != Width() || size.cy != Height()) SetBounds(Left(), Top(), size.cx, size.cy);
}

// Without a window the size asked for is laid out and adjusted here; with one it is adjusted
// here and laid out at WM_SIZE. Sizes Windows is asked for elsewhere are adjusted at
// WM_WINDOWPOSCHANGING.
void TkyrDBNavigator::SetBounds(int left, int top, int width, int height) {
  if (LayoutReady()) {
    const SIZE size =
        HandleAllocated() ? NavigatorMinimumSize(width, height, Align(), visibleButtons_) : LayOut(width, height);
    width = size.cx;
    height = size.cy;
  }
  inherited::SetBounds(left, top, width, height);
}

// ---- button states ----

void TkyrDBNavigator::UpdateAll() {
  if (IsDestroying() || !LayoutReady()) return;
  if (Enabled() && dataLink_->Active()) {
    UpdateMoving();
    UpdateEditing();
    return;
  }
  for (TkyrNavButton* button : buttons_) button->SetEnabled(false);
}

void TkyrDBNavigator::UpdateMoving() {
  if (IsDestroying() || !LayoutReady()) return;
  TDataSet* set = dataLink_->DataSet();
  const bool on = Enabled() && dataLink_->Active() && set;
  const bool up = on && !set->Bof();
  const bool down = on && !set->Eof();
  buttons_[nbFirst]->SetEnabled(up);
  buttons_[nbPrior]->SetEnabled(up);
  buttons_[nbNext]->SetEnabled(down);
  buttons_[nbLast]->SetEnabled(down);
  buttons_[nbDelete]->SetEnabled(on && set->CanModify() && !(set->Bof() && set->Eof()));
}

void TkyrDBNavigator::UpdateEditing() {
  if (IsDestroying() || !LayoutReady()) return;
  TDataSet* set = dataLink_->DataSet();
  const bool modify = Enabled() && dataLink_->Active() && set && set->CanModify();
  const bool editing = dataLink_->Editing();
  buttons_[nbInsert]->SetEnabled(modify);
  buttons_[nbEdit]->SetEnabled(modify && !editing);
  buttons_[nbPost]->SetEnabled(modify && editing);
  buttons_[nbCancel]->SetEnabled(modify && editing);
  buttons_[nbRefresh]->SetEnabled(modify);
}

// ---- clicks ----

void TkyrDBNavigator::NavigateClick(TNavigateBtn kind) {
  TDataSource* source = DataSource();
  TDataSet* set = source ? source->DataSet() : nullptr;
  const bool running = !InState(csDesigning);
  const std::weak_ptr<void> alive = LifeToken();
  if (set && source->State() != dsInactive) {
    if (running && beforeAction_) beforeAction_(this, kind);
    if (alive.expired()) return;
    PerformAction(*set, kind);
    if (alive.expired()) return;
  }
  if (running && onNavClick_) onNavClick_(this, kind);
}

void TkyrDBNavigator::PerformAction(TDataSet& set, TNavigateBtn kind) {
  switch (kind) {
    case nbFirst: return set.First();
    case nbPrior: return set.Prior();
    case nbNext: return set.Next();
    case nbLast: return set.Last();
    case nbInsert: return set.Insert();
    case nbDelete:
      if (!confirmDelete_ || DeleteConfirmed()) set.Delete();
      return;
    case nbEdit: return set.Edit();
    case nbPost: return set.Post();
    case nbCancel: return set.Cancel();
    case nbRefresh: return set.Refresh();
  }
}

// Only OK deletes: a box that could not be shown answers Cancel.
bool TkyrDBNavigator::DeleteConfirmed() {
  return MessageDlg("Delete record?", mtConfirmation, mbOKCancel, 0) == mrOk;
}

// The flag is left alone when the handler freed the navigator.
void TkyrDBNavigator::ButtonAction(TNavigateBtn kind) {
  if (buttonActionRunning_) return;
  buttonActionRunning_ = true;
  const std::weak_ptr<void> alive = LifeToken();
  try {
    NavigateClick(kind);
  } catch (...) {
    if (!alive.expired()) buttonActionRunning_ = false;
    throw;
  }
  if (!alive.expired()) buttonActionRunning_ = false;
}

// After the button's own press handling: the press moves the current button, and a navigator
// that is a tab stop takes the focus first (its WM_SETFOCUS shows the mark on the new one).
void TkyrDBNavigator::ButtonPressed(TkyrNavButton& button) {
  const TNavigateBtn old = currentButton_;
  currentButton_ = button.Kind();
  if (!TabStop()) return;
  if (!Focused()) {
    if (CanFocus()) SetFocus();
    return;
  }
  if (old != currentButton_) {
    InvalidateButton(old);
    InvalidateButton(currentButton_);
  }
}

// ---- keyboard and focus ----

void TkyrDBNavigator::SetCurrent(TNavigateBtn kind) {
  if (kind == currentButton_) return;
  const TNavigateBtn old = currentButton_;
  currentButton_ = kind;
  InvalidateButton(old);
  InvalidateButton(kind);
}

void TkyrDBNavigator::KeepCurrentVisible() {
  if (visibleButtons_.Contains(currentButton_)) return;
  for (int k = 0; k < kNavButtonCount; ++k)
    if (visibleButtons_.Contains(static_cast<TNavigateBtn>(k))) return SetCurrent(static_cast<TNavigateBtn>(k));
}

void TkyrDBNavigator::InvalidateButton(TNavigateBtn kind) {
  if (buttons_[kind]) buttons_[kind]->Invalidate();
}

// Left and Right move over the visible buttons and stop at either end; the framework's key
// handling (OnKeyDown) is not called.
void TkyrDBNavigator::KeyDown(WORD& key, TShiftState) {
  const int step = key == VK_LEFT ? -1 : key == VK_RIGHT ? 1 : 0;
  if (step != 0) {
    for (int k = currentButton_ + step; k >= 0 && k < kNavButtonCount; k += step)
      if (visibleButtons_.Contains(static_cast<TNavigateBtn>(k))) return SetCurrent(static_cast<TNavigateBtn>(k));
    return;
  }
  TkyrNavButton* current = buttons_[currentButton_];
  if (key == VK_SPACE && current->Enabled() && visibleButtons_.Contains(currentButton_)) current->Click();
}

void TkyrDBNavigator::WndProc(TMessage& m) {
  static constexpr TMessageEntry<TkyrDBNavigator> kTable[] = {
      {WM_SIZE, &TkyrDBNavigator::WMSize},
      {WM_WINDOWPOSCHANGING, &TkyrDBNavigator::WMWindowPosChanging},
      {WM_SETFOCUS, &TkyrDBNavigator::WMFocus},
      {WM_KILLFOCUS, &TkyrDBNavigator::WMFocus},
      {WM_GETDLGCODE, &TkyrDBNavigator::WMGetDlgCode},
      {CM_ENABLEDCHANGED, &TkyrDBNavigator::CMEnabledChanged},
  };
  if (!DispatchMessageTable(*this, kTable, m)) inherited::WndProc(m);
}

void TkyrDBNavigator::WMSize(TMessage& m) {
  inherited::WndProc(m);
  LayOut(Width(), Height());
}

// Every size Windows is asked for keeps to the minimum (a change that keeps the size is left alone).
void TkyrDBNavigator::WMWindowPosChanging(TMessage& m) {
  auto* pos = reinterpret_cast<WINDOWPOS*>(m.LParam);
  RECT now;
  GetWindowRect(HandleIfAllocated(), &now);
  const bool sizing = !(pos->flags & SWP_NOSIZE) && (pos->cx != now.right - now.left || pos->cy != now.bottom - now.top);
  if (sizing && LayoutReady()) {
    const SIZE size = NavigatorMinimumSize(pos->cx, pos->cy, Align(), visibleButtons_);
    pos->cx = size.cx;
    pos->cy = size.cy;
  }
  inherited::WndProc(m);
}

void TkyrDBNavigator::WMFocus(TMessage& m) {
  const std::weak_ptr<void> alive = LifeToken();
  inherited::WndProc(m);  // OnEnter / OnExit
  if (!alive.expired()) InvalidateButton(currentButton_);
}

void TkyrDBNavigator::WMGetDlgCode(TMessage& m) { m.Result = DLGC_WANTARROWS; }

void TkyrDBNavigator::CMEnabledChanged(TMessage& m) {
  inherited::WndProc(m);
  if (!InState(csLoading)) UpdateAll();
}

// ---- published ----

void TkyrDBNavigator::DeclarePublished(TPublished<TkyrDBNavigator>& p) {
  p.Component("FileTheme", &TkyrDBNavigator::FileTheme, &TkyrDBNavigator::SetFileTheme);
  p.Enumeration("UIStyle", TkyrUIStyleInfo, &TkyrDBNavigator::UIStyle, &TkyrDBNavigator::SetUIStyle);
  p.Component("DataSource", &TkyrDBNavigator::DataSource, &TkyrDBNavigator::SetDataSource);
  p.Set("VisibleButtons", NavigateBtnInfo, &TkyrDBNavigator::VisibleButtons, &TkyrDBNavigator::SetVisibleButtons);
  p.Integer("Cursor", &TControl::Cursor, &TkyrDBNavigator::SetCursor, "TCursor");
  p.Enumeration("Align", AlignInfo, &TControl::Align, &TControl::SetAlign);
  p.Set("Anchors", AnchorKindInfo, &TControl::Anchors, &TControl::SetAnchors);
  p.Object("Constraints", &TControl::Constraints);
  p.Integer("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor, "TCursor");
  p.Enumeration("DragKind", DragKindInfo, &TControl::DragKind, &TControl::SetDragKind);
  p.Enumeration("DragMode", DragModeInfo, &TControl::DragMode, &TControl::SetDragMode);
  p.Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled);
  p.Object("Hints", &TkyrDBNavigator::Hints);
  p.Boolean("ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D);
  p.Boolean("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint);
  p.Component("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
  p.Boolean("ConfirmDelete", &TkyrDBNavigator::ConfirmDelete, &TkyrDBNavigator::SetConfirmDelete);
  p.Boolean("ShowHint", &TControl::ShowHint, &TControl::SetShowHint);
  p.Integer("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder);
  p.Boolean("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
  p.Boolean("Visible", &TControl::Visible, &TControl::SetVisible);
  p.Event("BeforeAction", &TkyrDBNavigator::BeforeAction, &TkyrDBNavigator::SetBeforeAction);
  p.Event("OnClick", &TkyrDBNavigator::OnClick, &TkyrDBNavigator::SetOnClick);
  p.Event("OnContextPopup", &TControl::OnContextPopup, &TControl::SetOnContextPopup);
  p.Event("OnDblClick", &TControl::OnDblClick, &TControl::SetOnDblClick);
  p.Event("OnDragDrop", &TControl::OnDragDrop, &TControl::SetOnDragDrop);
  p.Event("OnDragOver", &TControl::OnDragOver, &TControl::SetOnDragOver);
  p.Event("OnEndDock", &TControl::OnEndDock, &TControl::SetOnEndDock);
  p.Event("OnEndDrag", &TControl::OnEndDrag, &TControl::SetOnEndDrag);
  p.Event("OnEnter", &TWinControl::OnEnter, &TWinControl::SetOnEnter);
  p.Event("OnExit", &TWinControl::OnExit, &TWinControl::SetOnExit);
  p.Event("OnResize", &TControl::OnResize, &TControl::SetOnResize);
  p.Event("OnStartDock", &TControl::OnStartDock, &TControl::SetOnStartDock);
  p.Event("OnStartDrag", &TControl::OnStartDrag, &TControl::SetOnStartDrag);
}
