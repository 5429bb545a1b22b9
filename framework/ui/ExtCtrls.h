// The panel (bevelled container with a caption) and the window-message timer.
#pragma once

#include <memory>

#include "framework/ui/Controls.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
inline const TEnumInfo BevelCutInfo("TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"});

// A container that paints its bevels (outer then inner, BevelWidth pixels each) and its caption;
// aligned children are laid out inside the bevels and BorderWidth.
class TCustomPanel : public TCustomControl {
  VANTOR_CLASS(TCustomPanel, TCustomControl)
public:
  explicit TCustomPanel(TComponent* owner);

  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut value);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut value);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  void AdjustClientRect(RECT& rect) const override;

  static void DeclarePublished(TPublished<TCustomPanel>& p);

protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;

private:
  void ChangeBevel(TBevelCut& field, TBevelCut value);
  int BevelSize() const;
  TBevelCut bevelOuter_ = bvRaised;
  TBevelCut bevelInner_ = bvNone;
  int bevelWidth_ = 1;
  TBorderStyle borderStyle_ = bsNone;
  TAlignment alignment_ = taCenter;
};

class TPanel : public TCustomPanel {
  VANTOR_CLASS(TPanel, TCustomPanel)
public:
  explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
};

// Fires OnTimer every Interval milliseconds while Enabled, Interval > 0 and OnTimer is set,
// through WM_TIMER of its own hidden window (so it ticks inside the message loop).
class TTimer : public TComponent {
  VANTOR_CLASS(TTimer, TComponent)
public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned value);
  const TNotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(TNotifyEvent e);
  // True while a system timer is running.
  bool Running() const { return running_; }

  static void DeclarePublished(TPublished<TTimer>& p);

protected:
  virtual void Timer();
  void Loaded() override;

private:
  void UpdateTimer();
  bool enabled_ = true;
  unsigned interval_ = 1000;
  bool running_ = false;
  TNotifyEvent onTimer_;
  std::unique_ptr<TUtilityWindow> window_;
};
