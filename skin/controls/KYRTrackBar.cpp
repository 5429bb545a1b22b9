#include "skin/controls/KYRTrackBar.h"

#include <algorithm>
#include <limits>
#include <memory>

#include "framework/core/ScopeGuard.h"
#include "skin/KYRPublic.h"

// ---- the arithmetic of a track ----

namespace {

// N / D rounded to the nearest integer, ties to even (D > 0). Exact where a floating
// point division is: every product here stays below 2^63.
int64_t RoundedQuotient(int64_t n, int64_t d) {
  int64_t q = n / d;
  const int64_t r = n % d;
  const int64_t twice = 2 * (r < 0 ? -r : r);
  if (twice > d || (twice == d && (q & 1) != 0)) q += n < 0 ? -1 : 1;
  return q;
}

}  // namespace

int TrackSpan(int trackLength, int sliderLength) { return std::max(trackLength - sliderLength, 0); }

// |Position - Min| < 2^32 and SPAN < 2^31: the product fits 64 bits.
int TrackSliderOffset(int32_t position, int32_t min, int32_t max, int span) {
  if (min == max) return 0;
  return static_cast<int>((int64_t{position} - min) * std::max(span, 0) / (int64_t{max} - min));
}

int32_t TrackValueAt(int point, int sliderLength, int span, int32_t min, int32_t max) {
  if (span <= 0) return min;
  const int64_t offset = std::clamp<int64_t>(int64_t{point} - sliderLength / 2, 0, span);
  return static_cast<int32_t>(min + RoundedQuotient(offset * (int64_t{max} - min), span));
}

std::vector<int> TrackTickOffsets(int32_t min, int32_t max, int32_t frequency, int span) {
  std::vector<int> offsets;
  if (min >= max) return offsets;
  span = std::max(span, 0);
  const int64_t range = int64_t{max} - min;
  const auto offsetOf = [&](int64_t value) { return static_cast<int>(span * (value - min) / range); };
  const auto add = [&](int offset) {
    if (offsets.empty() || offsets.back() != offset) offsets.push_back(offset);
  };
  if (frequency > 0) {
    if (int64_t{frequency} * span <= range) {
      // Neighbouring ticks lie at most one pixel apart: every offset up to the last stepped
      // tick carries one.
      const int64_t lastStepped = min + (range - 1) / frequency * frequency;
      for (int x = 0, last = offsetOf(lastStepped); x <= last; ++x) add(x);
    } else {
      // Fewer ticks than pixels: range / frequency < span steps.
      for (int64_t value = min; value < max; value += frequency) add(offsetOf(value));
    }
  } else {
    add(0);
  }
  add(span);
  return offsets;
}

int32_t SaturatingStep(int32_t value, int64_t delta) {
  constexpr int64_t kLow = std::numeric_limits<int32_t>::min(), kHigh = std::numeric_limits<int32_t>::max();
  delta = std::clamp<int64_t>(delta, 2 * kLow, 2 * kHigh);  // value + delta cannot overflow 64 bits
  return static_cast<int32_t>(std::clamp<int64_t>(value + delta, kLow, kHigh));
}

// ---- TkyrTrackSlider ----

TkyrTrackSlider::TkyrTrackSlider(TComponent* owner) : TkyrImagePanel(owner) { SetParentColor(true); }

void TkyrTrackSlider::PictureChanged() {
  inherited::PictureChanged();
  if (OnPictureChanged) OnPictureChanged();
}

// The panel's own drawing keys a picture only when the slider is see-through, and then on the
// picture's corner; the slider images key magenta whatever stands behind them.
void TkyrTrackSlider::Paint() {
  TCanvas& canvas = Canvas();
  if (Transparent()) DrawParentBackground(canvas, *this);
  TGraphic* graphic = Picture()->Graphic();
  if (!graphic || graphic->Empty()) return;
  auto* bitmap = dynamic_cast<TBitmap*>(graphic);
  if (!bitmap) return canvas.Draw(0, 0, *graphic);
  GdiFlush();
  TransparentBlt(canvas.Handle(), 0, 0, bitmap->Width(), bitmap->Height(), bitmap->Canvas().Handle(), 0, 0,
                 bitmap->Width(), bitmap->Height(), ColorToRGB(clFuchsia));
}

// ---- TkyrTrackBar: construction and properties ----

TkyrTrackBar::TkyrTrackBar(TComponent* owner) : TkyrTrackBar(owner, false) {}

TkyrTrackBar::TkyrTrackBar(TComponent* owner, bool usesOwnImages) : TkyrStyled(owner), usesOwnImages_(usesOwnImages) {
  TControlStyle style = ControlStyle();
  style.Exclude(csAcceptsControls);
  SetControlStyle(style);
  barImage_.OnChange = [this](TObject*) { BarImageChanged(); };
  slider_ = new TkyrTrackSlider(this);
  slider_->SetParent(this);
  slider_->SetOnMouseDown([this](TObject*, TMouseButton b, TShiftState s, int x, int y) { SliderMouseDown(b, s, x, y); });
  slider_->SetOnMouseUp([this](TObject*, TMouseButton b, TShiftState s, int x, int y) { SliderMouseUp(b, s, x, y); });
  // The thickness and the slider's place follow its picture also when the owner sets it (the
  // scroll bar's thumb), not only at a style change.
  slider_->OnPictureChanged = [this] { SliderPictureChanged(); };
  SetParentColor(true);
  SetTabStop(true);
  InitUIStyle();
  PlaceSlider();
}

// The slider (owned, freed by the base class after this body) must not call back in here.
TkyrTrackBar::~TkyrTrackBar() {
  Destroying();
  repeat_.Stop();
  slider_->OnPictureChanged = nullptr;
  slider_->SetOnMouseDown(nullptr);
  slider_->SetOnMouseUp(nullptr);
  barImage_.OnChange = nullptr;
}

void TkyrTrackBar::SetOrientation(TkyrProgressBarOrientation value) {
  if (orientation_ == value) return;
  orientation_ = value;
  ReapplyUIStyle();
}

void TkyrTrackBar::SetBarImage(const TPicture& value) {
  {
    TRestoreOnExit<bool> loading(loadingImages_, true);  // one refresh, not one per change
    barImage_.Assign(value);
  }
  ReapplyUIStyle();
}

void TkyrTrackBar::BarImageChanged() {
  if (!loadingImages_) ReapplyUIStyle();
}

void TkyrTrackBar::SetSliderImage(const TPicture& value) {
  slider_->Picture()->Assign(value);
  Invalidate();
}

void TkyrTrackBar::SetMin(int32_t value) {
  if (value == min_) return;
  min_ = std::min(value, max_);
  position_ = std::max(position_, min_);
  UpdateSlider();
}

void TkyrTrackBar::SetMax(int32_t value) {
  if (value == max_) return;
  max_ = std::max(value, min_);
  position_ = std::min(position_, max_);
  UpdateSlider();
}

void TkyrTrackBar::SetPosition(int32_t value) {
  position_ = std::clamp(value, min_, max_);
  MoveSlider();
}

void TkyrTrackBar::StepPosition(int64_t delta) { SetPosition(SaturatingStep(position_, delta)); }

void TkyrTrackBar::SetPageSize(int32_t value) {
  if (value >= 0 && value <= max_) pageSize_ = value;
}

void TkyrTrackBar::SetLineSize(int32_t value) {
  if (value >= 0 && value <= max_) lineSize_ = value;
}

void TkyrTrackBar::SetShowTick(bool value) {
  showTick_ = value;
  Invalidate();
}

void TkyrTrackBar::SetTransparent(bool value) {
  transparent_ = value;
  Invalidate();
}

void TkyrTrackBar::SetFrequency(int32_t value) {
  frequency_ = value;
  Invalidate();
}

int TkyrTrackBar::Span() const { return TrackSpan(Horizontal() ? Width() : Height(), SliderLength()); }

int32_t TkyrTrackBar::ValueAtPoint(POINT point) const {
  return TrackValueAt(Along(point), SliderLength(), Span(), min_, max_);
}

void TkyrTrackBar::DeclarePublished(TPublished<TkyrTrackBar>& p) {
  p.Enumeration("Orientation", TkyrProgressBarOrientationInfo, &TkyrTrackBar::Orientation,
                &TkyrTrackBar::SetOrientation);
  p.Component("FileTheme", &TkyrTrackBar::FileTheme, &TkyrTrackBar::SetFileTheme);
  p.Enumeration("UIStyle", TkyrUIStyleInfo, &TkyrTrackBar::UIStyle, &TkyrTrackBar::SetUIStyle);
  p.Object("BarImage", &TkyrTrackBar::BarImage);
  p.Object("SliderImage", &TkyrTrackBar::SliderImage);
  p.Integer("Max", &TkyrTrackBar::Max, &TkyrTrackBar::SetMax);
  p.Integer("Min", &TkyrTrackBar::Min, &TkyrTrackBar::SetMin);
  p.Integer("Position", &TkyrTrackBar::Position, &TkyrTrackBar::SetPosition);
  p.Integer("PageSize", &TkyrTrackBar::PageSize, &TkyrTrackBar::SetPageSize);
  p.Integer("LineSize", &TkyrTrackBar::LineSize, &TkyrTrackBar::SetLineSize);
  p.Boolean("ShowTick", &TkyrTrackBar::ShowTick, &TkyrTrackBar::SetShowTick);
  p.Boolean("Transparent", &TkyrTrackBar::Transparent, &TkyrTrackBar::SetTransparent);
  p.Integer("Frequency", &TkyrTrackBar::Frequency, &TkyrTrackBar::SetFrequency);
  p.Event("OnChange", &TkyrTrackBar::OnChange, &TkyrTrackBar::SetOnChange);
}

// ---- style, layout ----

void TkyrTrackBar::ApplyUIStyle(const TkyrStyleSource& source) {
  if (!usesOwnImages_) {
    TRestoreOnExit<bool> loading(loadingImages_, true);
    LoadStyleImages(source);
  }
  BuildBarStrip();
  FitSize();
  UpdateSlider();
  if (UIStyle() == MacOS) transparent_ = true;
}

void TkyrTrackBar::LoadStyleImages(const TkyrStyleSource& source) {
  source.Bitmap(KYR_THEME_TRACK_BAR_BAR_IMAGE, &barImage_.Bitmap());
  source.Bitmap(Horizontal() ? KYR_THEME_TRACK_BAR_SLIDER_IMAGE : KYR_THEME_TRACK_BAR_SLIDER_V_IMAGE,
                &slider_->Picture()->Bitmap());
  slider_->SetTransparent(SliderTransparent());
  slider_->SetAutoSize(true);
}

// The bar image's caps at their own size and its middle stretched over the track's length, on
// Color; a vertical track turns the strip a quarter counter-clockwise.
void TkyrTrackBar::BuildBarStrip() {
  if (usesOwnImages_) return;
  const int length = Horizontal() ? Width() : Height();
  const int thickness = barImage_.Height();
  barStrip_.SetSize(0, 0);
  barStrip_.SetSize(std::max(length, 0), thickness);
  if (barStrip_.Empty()) return;
  const RECT r{0, 0, length, thickness};
  TCanvas& canvas = barStrip_.Canvas();
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(Color());
  canvas.FillRect(r);
  if (TGraphic* graphic = barImage_.Graphic()) DrawThreeSliceBar(*graphic, canvas, r, false, true);
  if (!Horizontal()) RotateBitmapLeft(barStrip_);
}

// The thickness follows the images; the length is the user's. A stored description sets the
// bounds before the orientation (the control's properties come after the inherited ones), so
// while it loads nothing is fitted: a vertical bar would lose its stored length to the
// horizontal thickness. Loaded fits once with everything read.
void TkyrTrackBar::FitSize() {
  if (fitting_ || InState(csLoading)) return;
  TRestoreOnExit<bool> busy(fitting_, true);
  const int thickness = std::max(barImage_.Height(), Horizontal() ? slider_->Height() : slider_->Width());
  Horizontal() ? SetHeight(thickness) : SetWidth(thickness);
  Invalidate();
}

void TkyrTrackBar::SliderPictureChanged() {
  if (!loadingImages_) FitSize();
  PlaceSlider();
}

void TkyrTrackBar::PlaceSlider() {
  if (!slider_) return;
  const int sw = slider_->Width(), sh = slider_->Height();
  const int offset = TrackSliderOffset(position_, min_, max_, Span());
  const POINT at = Horizontal() ? POINT{offset, std::max(Height() - sh, 0) / 2}
                                : POINT{std::max(Width() - sw, 0) / 2, offset};
  slider_->SetBounds(at.x, at.y, sw, sh);
  slider_->Invalidate();  // a see-through slider shows the track where it now stands
}

void TkyrTrackBar::UpdateSlider() {
  PlaceSlider();
  Invalidate();
  Changed();
}

// The ticks and the bar strip do not depend on Position: what the slider leaves is its old
// place, what it covers is its own window.
void TkyrTrackBar::MoveSlider() {
  const RECT before = slider_->BoundsRect();
  PlaceSlider();
  if (HandleAllocated() && !IsDestroying()) InvalidateRect(HandleIfAllocated(), &before, FALSE);
  Changed();
}

void TkyrTrackBar::Changed() {
  if (position_ == lastPosition_) return;
  lastPosition_ = position_;
  if (onChange_) onChange_(this);
}

void TkyrTrackBar::Loaded() {
  inherited::Loaded();
  BuildBarStrip();
  FitSize();
  UpdateSlider();
}

void TkyrTrackBar::Resize() {
  inherited::Resize();
  if (!slider_ || IsDestroying()) return;
  BuildBarStrip();
  FitSize();
  UpdateSlider();
}

// ---- painting ----

// PaintTo has filled the buffer with Color and copies it to the screen in one BitBlt.
void TkyrTrackBar::Paint() {
  TCanvas& canvas = Canvas();
  const RECT client = ClientRect();
  TSaveDCGuard keep(canvas.Handle());
  IntersectClipRect(canvas.Handle(), paintReach_.left, paintReach_.top, paintReach_.right, paintReach_.bottom);
  if (transparent_) DrawParentBackground(canvas, *this);
  if (!barStrip_.Empty()) {
    const int x = Horizontal() ? 0 : (client.right - barStrip_.Width()) / 2;
    const int y = Horizontal() ? (client.bottom - barStrip_.Height()) / 2 : 0;
    GdiFlush();
    BitBlt(canvas.Handle(), x, y, barStrip_.Width(), barStrip_.Height(), barStrip_.Canvas().Handle(), 0, 0, SRCCOPY);
  }
  if (Focused() && TabStop()) {
    canvas.Brush().SetStyle(bsSolid);
    canvas.DrawFocusRect(client);
  }
  if (showTick_) PaintTicks(canvas);
}

// Three-pixel lines: at the bottom edge of a horizontal track, at both edges of a vertical one.
void TkyrTrackBar::PaintTicks(TCanvas& canvas) {
  TPen& pen = canvas.Pen();
  pen.SetColor(clBlack);
  pen.SetWidth(1);
  pen.SetStyle(psSolid);
  const int w = Width(), h = Height(), half = SliderLength() / 2;
  for (const int offset : TrackTickOffsets(min_, max_, frequency_, Span())) {
    const int at = offset + half;
    if (Horizontal()) {
      canvas.MoveTo(at, h - 3);
      canvas.LineTo(at, h);
    } else {
      canvas.MoveTo(0, at);
      canvas.LineTo(3, at);
      canvas.MoveTo(w - 3, at);
      canvas.LineTo(w, at);
    }
  }
}

// ---- messages ----

void TkyrTrackBar::WndProc(TMessage& m) {
  static constexpr TMessageEntry<TkyrTrackBar> kTable[] = {
      {WM_GETDLGCODE, &TkyrTrackBar::WMGetDlgCode},       {WM_CAPTURECHANGED, &TkyrTrackBar::WMCaptureChanged},
      {WM_DESTROY, &TkyrTrackBar::WMDestroy},
      {CM_FOCUSCHANGED, &TkyrTrackBar::CMFocusChanged},   {CM_ENABLEDCHANGED, &TkyrTrackBar::CMEnabledChanged},
      {CM_VISIBLECHANGED, &TkyrTrackBar::CMVisibleChanged}, {CM_COLORCHANGED, &TkyrTrackBar::CMColorChanged},
      {WM_PAINT, &TkyrTrackBar::WMPaintReach},            {WM_PRINTCLIENT, &TkyrTrackBar::WMPaintReach},
  };
  if (!DispatchMessageTable(*this, kTable, m)) inherited::WndProc(m);
}

// GetUpdateRect before BeginPaint validates the region; GetClipBox answers in logical
// coordinates, which for a DC shifted to the track's origin are the track's.
void TkyrTrackBar::WMPaintReach(TMessage& m) {
  RECT reach = ClientRect();
  if (m.WParam) {
    if (GetClipBox(reinterpret_cast<HDC>(m.WParam), &reach) == ERROR) reach = ClientRect();
  } else if (HandleAllocated()) {
    GetUpdateRect(HandleIfAllocated(), &reach, FALSE);
  }
  const TRestoreOnExit<RECT> during(paintReach_, reach);
  inherited::WndProc(m);
}

// Arrow keys come to the track bar instead of moving the focus.
void TkyrTrackBar::WMGetDlgCode(TMessage& m) {
  inherited::WndProc(m);
  m.Result = DLGC_WANTARROWS;
}

void TkyrTrackBar::WMCaptureChanged(TMessage& m) {
  inherited::WndProc(m);
  if (reinterpret_cast<HWND>(m.LParam) != HandleIfAllocated()) CancelMouseWork();
}

// The capture goes with the window (also when it is re-created); the repeat stops by itself.
void TkyrTrackBar::WMDestroy(TMessage& m) {
  dragging_ = false;
  inherited::WndProc(m);
}

void TkyrTrackBar::CMFocusChanged(TMessage& m) {
  inherited::WndProc(m);
  Invalidate();
}

void TkyrTrackBar::CMEnabledChanged(TMessage& m) {
  inherited::WndProc(m);
  if (!Enabled()) CancelMouseWork();
}

void TkyrTrackBar::CMVisibleChanged(TMessage& m) {
  inherited::WndProc(m);
  if (!Visible()) CancelMouseWork();
}

// The bar strip is laid on Color.
void TkyrTrackBar::CMColorChanged(TMessage& m) {
  inherited::WndProc(m);
  BuildBarStrip();
}

// ---- mouse and keys ----

void TkyrTrackBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  const std::weak_ptr<void> alive = LifeToken();
  inherited::MouseDown(button, shift, x, y);
  if (alive.expired() || button != mbLeft) return;
  lastPoint_ = {x, y};
  PageToward(lastPoint_, pageSize_);
  if (alive.expired()) return;  // an OnChange handler freed the track bar
  repeat_.Start({false, RepeatInterval, RepeatInterval});
  if (FocusOnClick() && CanFocus()) SetFocus();
}

void TkyrTrackBar::MouseMove(TShiftState shift, int x, int y) {
  const std::weak_ptr<void> alive = LifeToken();
  inherited::MouseMove(shift, x, y);
  if (alive.expired()) return;
  lastPoint_ = {x, y};
  if (!dragging_) {
    if (x < 0 || x > Width() || y < 0 || y > Height()) repeat_.Stop();
    return;
  }
  if (Span() == 0) return;  // no travel: the pointer picks no value
  position_ = ValueAtPoint({x, y});
  PlaceSlider();  // the track itself is not repainted while dragging
  Changed();
}

// Paging and dragging end before OnMouseUp runs, so a handler that pumps messages sees no tick.
void TkyrTrackBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  CancelMouseWork();
  inherited::MouseUp(button, shift, x, y);
}

void TkyrTrackBar::SliderMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  const std::weak_ptr<void> alive = LifeToken();
  if (button == mbLeft) {
    dragging_ = true;
    if (FocusOnClick() && CanFocus()) SetFocus();
    if (alive.expired()) return;
    SetMouseCapture(true);
  }
  TControl::MouseDown(button, shift, x + slider_->Left(), y + slider_->Top());  // OnMouseDown only
}

void TkyrTrackBar::SliderMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  MouseUp(button, shift, x + slider_->Left(), y + slider_->Top());
}

void TkyrTrackBar::KeyDown(WORD& key, TShiftState shift) {
  const std::weak_ptr<void> alive = LifeToken();
  inherited::KeyDown(key, shift);
  if (alive.expired()) return;
  switch (key) {
    case VK_PRIOR: return StepPosition(-int64_t{pageSize_});
    case VK_NEXT: return StepPosition(pageSize_);
    case VK_END: return SetPosition(max_);
    case VK_HOME: return SetPosition(min_);
    case VK_LEFT:
    case VK_UP: return StepPosition(-int64_t{lineSize_});
    case VK_RIGHT:
    case VK_DOWN: return StepPosition(lineSize_);
    default: return;
  }
}

// A page never passes the value under the pointer; at the slider's leading edge, nothing.
// TARGET and Position lie in Min..Max, so the result does too.
void TkyrTrackBar::PageToward(POINT point, int64_t step) {
  if (Span() == 0) return;
  const int along = Along(point), edge = SliderEdge();
  if (along == edge) return;
  const int64_t target = ValueAtPoint(point);
  const int64_t next = along > edge ? std::min(int64_t{position_} + step, target)
                                    : std::max(int64_t{position_} - step, target);
  SetPosition(static_cast<int32_t>(next));
}

// ---- the repeat timer ----

// The slider may still hold the capture of a press with another button than the left one: the
// framework lets it go only on a left-button release.
void TkyrTrackBar::CancelMouseWork() {
  repeat_.Stop();
  dragging_ = false;
  const HWND capture = GetCapture();
  if (capture && (capture == HandleIfAllocated() || capture == slider_->HandleIfAllocated())) ReleaseCapture();
}

// Pages toward the pointer (horizontal by three pages, vertical by one).
void TkyrTrackBar::RepeatTick() {
  PageToward(lastPoint_, Horizontal() ? 3 * int64_t{pageSize_} : int64_t{pageSize_});
}

// ---- TkyrScrollTrackBar ----

TkyrScrollTrackBar::TkyrScrollTrackBar(TComponent* owner) : TkyrTrackBar(owner, true) {
  SetTabStop(false);
  Slider()->SetTabStop(false);
  Slider()->SetControlStyle(ControlStyle());
  Slider()->SetTransparent(false);
}

void TkyrScrollTrackBar::SetSliderVisible(bool value) {
  if (Slider()->Visible() != value) Slider()->SetVisible(value);
}

// Sizing the slider to its picture is no picture change: the track is fitted and the slider
// placed here.
void TkyrScrollTrackBar::AutoSizeSlider() {
  Slider()->SetAutoSize(true);
  SliderPictureChanged();
}
