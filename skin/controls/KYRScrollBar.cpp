#include "skin/controls/KYRScrollBar.h"

#include <algorithm>

#include "framework/core/ScopeGuard.h"
#include "skin/KYRPublic.h"

// ---- the thumb ----

int ScrollThumbLength(int lineButton, int32_t pageSize, int trackLength) {
  if (lineButton > 0) return std::max(lineButton, TkyrScrollBar::kMinThumbLength);
  const int64_t percent = (pageSize < 10 || pageSize > 100) ? 10 : pageSize;
  return trackLength > 0 ? static_cast<int>(percent * trackLength / 100) : 0;
}

void BuildScrollThumb(TBitmap& start, TBitmap& middle, TBitmap& end, bool vertical, int length,
                      TBitmap& thumb) {
  const int cross = vertical ? start.Width() : start.Height();
  thumb.SetSize(0, 0);
  if (vertical)
    thumb.SetSize(cross, length);
  else
    thumb.SetSize(length, cross);
  if (thumb.Empty()) return;
  TCanvas& canvas = thumb.Canvas();
  const int w = thumb.Width(), h = thumb.Height();
  const RECT middleRect = vertical ? RECT{0, start.Height(), w, h - end.Height()}
                                   : RECT{start.Width(), 0, w - end.Width(), h};
  if (!middle.Empty() && middleRect.right > middleRect.left && middleRect.bottom > middleRect.top)
    canvas.StretchDraw(middleRect, middle);
  if (!start.Empty()) canvas.Draw(0, 0, start);
  if (!end.Empty()) canvas.Draw(vertical ? 0 : w - end.Width(), vertical ? h - end.Height() : 0, end);
}

// ---- construction ----

TkyrScrollBar::TkyrScrollBar(TComponent* owner) : TkyrStyled(owner) {
  TControlStyle style = ControlStyle();
  style.Exclude(csAcceptsControls);
  SetControlStyle(style);
  track_ = new TkyrScrollTrackBar(this);
  track_->SetParent(this);
  track_->SetShowTick(false);
  track_->SetTabStop(false);
  track_->SetTransparent(false);
  track_->SetMax(100);
  incButton_ = MakeArrow(+1);
  decButton_ = MakeArrow(-1);
  {
    TRestoreOnExit<bool> noLayoutYet(arranging_, true);  // the arrows have no pictures, hence no size
    SetBevelOuter(bvNone);
    SetBevelInner(bvNone);
    SetHeight(185);
  }
  InitUIStyle();
}

// The children are owned and freed after this body: nothing of theirs may call back in here.
TkyrScrollBar::~TkyrScrollBar() {
  Destroying();
  for (TkyrScrollArrow* arrow : {incButton_, decButton_}) arrow->SetOnMouseContinuouslyDown(nullptr);
  track_->SetOnChange(nullptr);
}

TkyrScrollArrow* TkyrScrollBar::MakeArrow(int direction) {
  auto* arrow = new TkyrScrollArrow(this);
  arrow->SetParent(this);
  arrow->SetTabStop(false);
  arrow->SetMouseContinuouslyDownInterval(kArrowInterval);
  // The repeat alone would leave a short click without effect (its first tick comes one
  // interval after the press): the arrow steps at the press, then pauses before repeating. The
  // step at the press is a tick like the others: no tick runs inside it.
  arrow->SetRepeatLead(true, kArrowDelay);
  arrow->SetOnMouseContinuouslyDown(
      [this, direction](TObject*) { track_->StepPosition(int64_t{direction} * smallChange_); });
  return arrow;
}

// ---- properties ----

void TkyrScrollBar::SetLineButton(int value) {
  if (value == lineButton_ || value > Room()) return;
  lineButton_ = value;
  BuildThumb();
}

void TkyrScrollBar::SetOrientation(TkyrProgressBarOrientation value) {
  if (value == orientation_) return;
  orientation_ = value;
  LoadImages(TkyrStyleSource(FileTheme(), UIStyle()));
  Arrange();
}

void TkyrScrollBar::SetPosition(int32_t value) {
  if (value != track_->Position()) track_->SetPosition(value);
}

void TkyrScrollBar::SetSmallChange(int value) { smallChange_ = std::clamp(value, 1, 32767); }

void TkyrScrollBar::SetPageSize(int32_t value) {
  track_->SetPageSize(value);
  BuildThumb();
}

void TkyrScrollBar::DeclarePublished(TPublished<TkyrScrollBar>& p) {
  p.Component("FileTheme", &TkyrScrollBar::FileTheme, &TkyrScrollBar::SetFileTheme);
  p.Integer("LineButton", &TkyrScrollBar::LineButton, &TkyrScrollBar::SetLineButton);
  p.Enumeration("Orientation", TkyrProgressBarOrientationInfo, &TkyrScrollBar::Orientation,
                &TkyrScrollBar::SetOrientation);
  p.Enumeration("UIStyle", TkyrUIStyleInfo, &TkyrScrollBar::UIStyle, &TkyrScrollBar::SetUIStyle);
  p.Integer("Max", &TkyrScrollBar::Max, &TkyrScrollBar::SetMax);
  p.Integer("Min", &TkyrScrollBar::Min, &TkyrScrollBar::SetMin);
  p.Integer("Position", &TkyrScrollBar::Position, &TkyrScrollBar::SetPosition);
  p.Integer("SmallChange", &TkyrScrollBar::SmallChange, &TkyrScrollBar::SetSmallChange);
  p.Integer("LargeChange", &TkyrScrollBar::LargeChange, &TkyrScrollBar::SetLargeChange);
  p.Integer("PageSize", &TkyrScrollBar::PageSize, &TkyrScrollBar::SetPageSize);
  p.Event("OnChange", &TkyrScrollBar::OnChange, &TkyrScrollBar::SetOnChange);
}

// ---- style, pictures, layout ----

void TkyrScrollBar::ApplyUIStyle(const TkyrStyleSource& source) {
  track_->SetColor(Color());
  LoadImages(source);
  Arrange();
}

void TkyrScrollBar::LoadImages(const TkyrStyleSource& source) {
  track_->SetBarImage(TPicture());
  SetColor(source.Color(KYR_THEME_SCROLL_BAR_BACKGROUND_COLOR));
  TBitmap* thumb[] = {&thumbStart_, &thumbMiddle_, &thumbEnd_};
  for (int k = 0; k < 3; ++k) source.Bitmap(KYR_THEME_SCROLL_BAR_SLIDER_IMAGE, thumb[k], 3, k + 1);
  TPicture* pictures[] = {decButton_->PicNormal(), decButton_->PicMouseOn(), decButton_->PicMouseDown(),
                          incButton_->PicNormal(), incButton_->PicMouseOn(), incButton_->PicMouseDown()};
  for (int k = 0; k < 6; ++k) {
    TBitmap frame;
    source.Bitmap(KYR_THEME_SCROLL_BAR_BUTTON_IMAGE, &frame, 6, k + 1);
    if (!Vertical()) RotateBitmapLeft(frame);
    pictures[k]->Assign(frame);
  }
  if (Vertical())
    for (TBitmap* piece : thumb) RotateBitmapRight(*piece);
  incButton_->SetAutoSize(true);
  decButton_->SetAutoSize(true);
  Invalidate();
}

int TkyrScrollBar::Room() const {
  return Vertical() ? Height() - incButton_->Height() - decButton_->Height()
                    : Width() - incButton_->Width() - decButton_->Width();
}

// Setting the cross size comes back here through Resize: once is enough.
void TkyrScrollBar::Arrange() {
  if (arranging_ || IsDestroying()) return;
  TRestoreOnExit<bool> busy(arranging_, true);
  track_->SetOrientation(orientation_);
  if (Width() == 0 || Height() == 0) return SetVisible(false);
  const int decW = decButton_->Width(), decH = decButton_->Height();
  const int incW = incButton_->Width(), incH = incButton_->Height();
  decButton_->SetBounds(0, 0, decW, decH);
  if (Vertical()) {
    track_->SetBounds(0, decH, decW, Height() - incH - decH - 1);
    incButton_->SetBounds(0, Height() - incH, incW, incH);
    SetWidth(decW);
  } else {
    track_->SetBounds(decW, 0, Width() - incW - decW, decH);
    incButton_->SetBounds(Width() - incW, 0, incW, incH);
    SetHeight(decH);
  }
  BuildThumb();
}

void TkyrScrollBar::BuildThumb() {
  if (lineButton_ > 0 && lineButton_ < kMinThumbLength) lineButton_ = kMinThumbLength;
  const int trackLength = Vertical() ? track_->Height() : track_->Width();
  TBitmap thumb;
  BuildScrollThumb(thumbStart_, thumbMiddle_, thumbEnd_, Vertical(),
                   ScrollThumbLength(lineButton_, track_->PageSize(), trackLength), thumb);
  track_->SliderImage()->Assign(thumb);
  track_->AutoSizeSlider();
}

void TkyrScrollBar::Resize() {
  inherited::Resize();
  Arrange();
}

// ---- messages ----

void TkyrScrollBar::WndProc(TMessage& m) {
  static constexpr TMessageEntry<TkyrScrollBar> kTable[] = {
      {WM_ERASEBKGND, &TkyrScrollBar::WMEraseBkgnd},
      {CM_COLORCHANGED, &TkyrScrollBar::CMColorChanged},
      {CM_VISIBLECHANGED, &TkyrScrollBar::CMVisibleChanged},
      {CM_ENABLEDCHANGED, &TkyrScrollBar::CMEnabledChanged},
  };
  if (!DispatchMessageTable(*this, kTable, m)) inherited::WndProc(m);
}

void TkyrScrollBar::WMEraseBkgnd(TMessage& m) { m.Result = 1; }

void TkyrScrollBar::CMColorChanged(TMessage& m) {
  inherited::WndProc(m);
  track_->SetColor(Color());
}

// Hiding the arrows also ends a press held on one (their own visible-changed handling).
void TkyrScrollBar::CMVisibleChanged(TMessage& m) {
  inherited::WndProc(m);
  for (TControl* part : {static_cast<TControl*>(track_), static_cast<TControl*>(incButton_),
                         static_cast<TControl*>(decButton_)})
    part->SetVisible(Visible());
}

// A disabled parent sends its children nothing: the arrows are told to let go.
void TkyrScrollBar::CMEnabledChanged(TMessage& m) {
  inherited::WndProc(m);
  if (!Enabled()) CancelArrows();
}

// WM_CANCELMODE ends a button's press (the system sends it too when a dialog takes over).
void TkyrScrollBar::CancelArrows() {
  for (TkyrScrollArrow* arrow : {incButton_, decButton_})
    if (arrow->HandleAllocated()) SendMessageA(arrow->HandleIfAllocated(), WM_CANCELMODE, 0, 0);
}
