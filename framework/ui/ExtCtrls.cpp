#include "framework/ui/ExtCtrls.h"

// ---- TCustomPanel ----
TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csOpaque});
  SetBounds(0, 0, 185, 41);
}

void TCustomPanel::ChangeBevel(TBevelCut& field, TBevelCut value) {
  if (field == value) return;
  field = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut value) { ChangeBevel(bevelOuter_, value); }
void TCustomPanel::SetBevelInner(TBevelCut value) { ChangeBevel(bevelInner_, value); }

void TCustomPanel::SetBevelWidth(int value) {
  if (bevelWidth_ == value || value < 1) return;
  bevelWidth_ = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle value) {
  if (borderStyle_ == value) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomPanel::SetAlignment(TAlignment value) {
  alignment_ = value;
  Invalidate();
}

void TCustomPanel::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  if (borderStyle_ == bsSingle) params.Style |= WS_BORDER;
}

int TCustomPanel::BevelSize() const {
  return ((bevelOuter_ != bvNone) + (bevelInner_ != bvNone)) * bevelWidth_;
}

void TCustomPanel::AdjustClientRect(RECT& rect) const {
  InflateRect(&rect, -BevelSize(), -BevelSize());
}

namespace {
// BevelWidth lines of a raised or lowered edge (bvSpace: the panel's own colour) around R,
// which shrinks by what was drawn.
void DrawBevel(TCanvas& canvas, RECT& r, TBevelCut cut, int width, TColor face) {
  if (cut == bvNone) return;
  const TColor topLeft = cut == bvRaised ? clBtnHighlight : cut == bvLowered ? clBtnShadow : face;
  const TColor bottomRight = cut == bvRaised ? clBtnShadow : cut == bvLowered ? clBtnHighlight : face;
  for (int i = 0; i < width; ++i) {
    canvas.Pen().SetColor(topLeft);
    canvas.Polyline({{r.left, r.bottom - 1}, {r.left, r.top}, {r.right - 1, r.top}});
    canvas.Pen().SetColor(bottomRight);
    canvas.Polyline({{r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left - 1, r.bottom - 1}});
    InflateRect(&r, -1, -1);
  }
}
}  // namespace

void TCustomPanel::Paint() {
  TCanvas& canvas = Canvas();
  RECT r = ClientRect();
  DrawBevel(canvas, r, bevelOuter_, bevelWidth_, Color());
  DrawBevel(canvas, r, bevelInner_, bevelWidth_, Color());
  if (Caption().empty()) return;
  static constexpr UINT kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  canvas.Brush().SetStyle(bsClear);
  canvas.DrawText(Caption(), r, kAlign[alignment_] | DT_VCENTER | DT_SINGLELINE);
}

void TCustomPanel::DeclarePublished(TPublished<TCustomPanel>& p) {
  p.Enumeration("BevelOuter", BevelCutInfo, &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter);
  p.Enumeration("BevelInner", BevelCutInfo, &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner);
  p.Integer("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth);
  p.Integer("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth);
  p.Enumeration("BorderStyle", FormBorderStyleInfo, &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle);
  p.Enumeration("Alignment", AlignmentInfo, &TCustomPanel::Alignment, &TCustomPanel::SetAlignment);
}

// ---- TTimer ----
namespace {
constexpr UINT_PTR kTimerId = 1;
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
  Destroying();
  enabled_ = false;
  UpdateTimer();
}

void TTimer::SetEnabled(bool value) {
  if (enabled_ == value) return;
  enabled_ = value;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned value) {
  if (interval_ == value) return;
  interval_ = value;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent e) {
  onTimer_ = std::move(e);
  UpdateTimer();
}

void TTimer::Loaded() {
  inherited::Loaded();
  UpdateTimer();
}

// Kills and restarts the system timer, so a new interval counts from now.
void TTimer::UpdateTimer() {
  if (running_) {
    KillTimer(window_->Handle(), kTimerId);
    running_ = false;
  }
  if (!enabled_ || interval_ == 0 || !onTimer_ || InState(csLoading) || IsDestroying()) return;
  if (!window_) {
    window_ = std::make_unique<TUtilityWindow>([this](TMessage& m) {
      if (m.Msg != WM_TIMER) return false;
      Timer();
      return true;
    });
  }
  running_ = SetTimer(window_->Handle(), kTimerId, interval_, nullptr) != 0;
  if (!running_) throw Exception("Not enough timers available");
}

void TTimer::Timer() {
  if (enabled_ && onTimer_) onTimer_(this);
}

void TTimer::DeclarePublished(TPublished<TTimer>& p) {
  p.Boolean("Enabled", &TTimer::Enabled, &TTimer::SetEnabled);
  p.Integer("Interval", &TTimer::Interval, &TTimer::SetInterval);
  p.Event("OnTimer", &TTimer::OnTimer, &TTimer::SetOnTimer);
}
