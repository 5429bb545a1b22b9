#include "skin/frame/KYRMenuBar.h"

#include "skin/KYRMenu.h"
#include "skin/controls/KYRMainMenu.h"
#include "skin/frame/KYRForm.h"
#include "skin/frame/KYRMDIForm.h"

TkyrMenuBar::TkyrMenuBar(TComponent* owner) : TToolBar(owner) {}

TkyrForm* TkyrMenuBar::Form() const { return dynamic_cast<TkyrForm*>(Owner()); }
TkyrMDIForm* TkyrMenuBar::MDIForm() const { return dynamic_cast<TkyrMDIForm*>(Owner()); }

// From the last item to the first, each new button put before the others.
void RebuildMenuBarButtons(TToolBar& bar, TMainMenu& menu, TComponent* owner) {
  bar.SetAutoSize(false);
  while (bar.ButtonCount() > 0) delete bar.Buttons(bar.ButtonCount() - 1);
  TMenuItem* root = menu.Items();
  for (int i = root->Count() - 1; i >= 0; --i) {
    auto* button = new TToolButton(owner);
    button->SetParent(&bar);
    button->SetIndex(0);
    button->SetGrouped(true);
    button->SetMenuItem(root->Items(i));
    button->SetVisible(root->Items(i)->Visible());
    button->SetAutoSize(true);
  }
  bar.SetAutoSize(true);
}

void UpdateMenuBarButtons(TToolBar& bar) {
  for (int i = 0; i < bar.ButtonCount(); ++i) {
    TToolButton* button = bar.Buttons(i);
    if (!button->MenuItem()) continue;
    button->UpdateFromMenuItem();
    button->SetVisible(button->MenuItem()->Visible());
  }
}

namespace {

constexpr UINT kCaptionFormat = DT_SINGLELINE | DT_VCENTER | DT_CENTER;

void SelectBarFont(TCanvas& canvas, const TkyrMenuBarLook& look) {
  if (look.Menu) look.Menu->GetItemFont(canvas.Font());
}

// The caption drawn on a picture of the button's size, so the picture's stretch and the text's
// centring are those of the button alone.
void PaintMacSelection(TCanvas& canvas, const RECT& bounds, const std::string& caption,
                       const TkyrStyleSource& source) {
  const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
  if (width <= 0 || height <= 0) return;
  TBitmap picture;
  picture.SetSize(width, height);
  StretchBuiltinBitmap(picture.Canvas(), {0, 0, width, height}, "MACOS_MENU_SELECT");
  TCanvas& pc = picture.Canvas();
  pc.Font().Assign(canvas.Font());
  pc.Font().SetColor(source.Color(KYR_THEME_MENU_SELECTED_FONT_COLOR));
  pc.Brush().SetStyle(bsClear);
  RECT text{0, 0, width, height + 2};
  pc.DrawText(caption, text, kCaptionFormat);
  canvas.Draw(bounds.left, bounds.top, picture);
}

void PaintSelectionBox(TCanvas& canvas, RECT r, const std::string& caption, bool selected,
                       const TkyrStyleSource& source) {
  if (selected) r.right -= 2;
  FillRectColor(canvas, r, source.Color(KYR_THEME_MENU_SELECTED_BACKGROUND_COLOR));
  FrameRectColor(canvas, r, source.Color(KYR_THEME_MENU_SELECTED_BORDER_COLOR));
  if (selected) r.left += 2;
  r.top += 2;
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().SetColor(source.Color(KYR_THEME_MENU_SELECTED_FONT_COLOR));
  canvas.DrawText(caption, r, kCaptionFormat);
}

}  // namespace

TColor ThemeMenuBarColor(const TkyrStyleSource& source, TColor fallback) {
  const int32_t color = source.Color(KYR_THEME_MENU_MENU_BAR_COLOR);
  if (color != -1) return static_cast<TColor>(color);
  const int32_t kind = source.Color(KYR_THEME_CONTROL_FONT_COLOR);
  return kind == 0x20000 ? TColor(0xAC5B3B) : kind == 0x30000 ? TColor(0x996733) : fallback;
}

void PaintMenuBarToolButton(TToolBar& bar, const TToolButton& button, TCustomDrawState state,
                            const TkyrMenuBarLook& look) {
  PaintMenuBarButton(bar.Canvas(), button.BoundsRect(), button.Text(), button.Enabled(), (state & cdsHot) != 0,
                     (state & cdsSelected) != 0, look);
}

TColor MenuBarFontColor(const TkyrStyleSource& source) {
  if (source.FromFile() && source.Color(KYR_THEME_CONTROL_FONT_COLOR) == 0x30000) return clWhite;
  return source.Color(KYR_THEME_MENU_FONT_COLOR);
}

void PaintMenuBarBackground(TCanvas& canvas, const RECT& rect, const TkyrMenuBarLook& look) {
  if (look.Style == MacOS) StretchBuiltinBitmap(canvas, rect, "MACOS_MENU_BAR");
}

void PaintMenuBarButton(TCanvas& canvas, const RECT& bounds, const std::string& caption, bool enabled, bool hot,
                        bool selected, const TkyrMenuBarLook& look) {
  const TkyrStyleSource source(look.FileTheme, look.Style);
  SelectBarFont(canvas, look);
  if (hot || selected) {
    if (look.Style == MacOS) return PaintMacSelection(canvas, bounds, caption, source);
    return PaintSelectionBox(canvas, bounds, caption, selected, source);
  }
  RECT r = bounds;
  r.top += 2;
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().SetColor(!enabled && look.GreyDisabled ? TColor(0x808080) : MenuBarFontColor(source));
  canvas.DrawText(caption, r, kCaptionFormat);
}
