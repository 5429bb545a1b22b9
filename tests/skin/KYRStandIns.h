// Stand-ins for skinned components in tests of the style protocol: a control that records
// every style application, and a frame panel as the look-ups and themes see it; and a parent
// whose background a see-through control shows.
#pragma once

#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"
#include "skin/KYRStyled.h"

// A skinned control that records every style application and caches a few elements. With
// CALLS_INIT false its constructor "forgets" InitUIStyle.
class TkyrProbe : public TkyrStyled<TCustomControl> {
  VANTOR_CLASS(TkyrProbe, TkyrStyled<TCustomControl>)
public:
  explicit TkyrProbe(TComponent* owner, bool callsInit = true) : TkyrStyled(owner) {
    if (callsInit) InitUIStyle();
  }
  static void DeclarePublished(TPublished<TkyrProbe>& p) {
    p.Enumeration("UIStyle", TkyrUIStyleInfo, &TkyrProbe::UIStyle, &TkyrProbe::SetUIStyle);
    p.Component("FileTheme", &TkyrProbe::FileTheme, &TkyrProbe::SetFileTheme);
  }

  int applied = 0;
  TkyrUIStyle effective = FromThemeFile;
  bool fromFile = false;
  int32_t minWidth = 0, background = 0;
  TBitmap buttons;

protected:
  void ApplyUIStyle(const TkyrStyleSource& s) override {
    ++applied;
    effective = s.EffectiveStyle();
    fromFile = s.FromFile();
    minWidth = s.Int(KYR_THEME_FORM_MIN_WIDTH_INT);
    background = s.Color(KYR_THEME_FORM_BACKGROUND_COLOR);
    if (s.FromFile()) s.Bitmap(KYR_THEME_TITLE_BAR_BUTTON_IMAGE, &buttons, 3, 2);
  }
};

// A skinned form panel: FileTheme and UIStyle published, found by type as a frame panel.
class TkyrPanelStandIn : public TkyrStyled<TCustomPanel, IkyrFramePanel> {
  VANTOR_CLASS(TkyrPanelStandIn, TkyrStyled<TCustomPanel, IkyrFramePanel>)
public:
  explicit TkyrPanelStandIn(TComponent* owner) : TkyrStyled(owner) { InitUIStyle(); }
  TkyrPanelStandIn(TComponent* owner, TkyrUIStyle style) : TkyrPanelStandIn(owner) { SetUIStyle(style); }
  static void DeclarePublished(TPublished<TkyrPanelStandIn>& p) {
    p.Enumeration("UIStyle", TkyrUIStyleInfo, &TkyrPanelStandIn::UIStyle, &TkyrPanelStandIn::SetUIStyle);
    p.Component("FileTheme", &TkyrPanelStandIn::FileTheme, &TkyrPanelStandIn::SetFileTheme);
  }
  TCustomForm* HostForm() const override { return ParentForm(); }
  int applied = 0;

protected:
  void ApplyUIStyle(const TkyrStyleSource&) override { ++applied; }
};

// A windowed parent that paints red left of x = 50 and blue from there on.
class TSplitPanel : public TCustomControl {
public:
  explicit TSplitPanel(TComponent* owner) : TCustomControl(owner) {}
  int paints = 0;

protected:
  void Paint() override {
    ++paints;
    Canvas().Brush().SetColor(clRed);
    Canvas().FillRect(RECT{0, 0, 50, Height()});
    Canvas().Brush().SetColor(clBlue);
    Canvas().FillRect(RECT{50, 0, Width(), Height()});
  }
};
