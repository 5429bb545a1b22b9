#include "skin/controls/KYRURLLabel.h"

#include <shellapi.h>

#include <algorithm>

#include "framework/ui/Menus.h"

namespace {

TShellOpenHook& ShellOpenHook() {
  static TShellOpenHook hook;
  return hook;
}

// Blank when nothing but characters 0..32 remain once both ends are trimmed.
bool BlankURL(const std::string& url) {
  return std::all_of(url.begin(), url.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

}  // namespace

TShellOpenHook SetShellOpenHook(TShellOpenHook hook) {
  TShellOpenHook previous = std::move(ShellOpenHook());
  ShellOpenHook() = std::move(hook);
  return previous;
}

// The defaults in the order they are given, each setter over the last: font style, font colour, cursor, auto-size, hover
// colour, link colour, caption, address.
TkyrURLLabel::TkyrURLLabel(TComponent* owner) : TCustomLabel(owner) {
  Font()->SetStyle(TFontStyles{fsUnderline});
  Font()->SetColor(clBlue);
  SetCursor(crHandPoint);
  SetAutoSize(true);
  SetFontHoverColor(clRed);
  SetFontLinkColor(clBlue);
  SetCaption(kyrDefaultURLCaption);
  SetURL(kyrDefaultURL);
}

void TkyrURLLabel::SetFontLinkColor(TColor value) {
  fontLinkColor_ = value;
  Font()->SetColor(value);
}

void TkyrURLLabel::WndProc(TMessage& m) {
  static constexpr TMessageEntry<TkyrURLLabel> kTable[] = {
      {CM_MOUSEENTER, &TkyrURLLabel::CMMouseEnter},
      {CM_MOUSELEAVE, &TkyrURLLabel::CMMouseLeave},
  };
  if (!DispatchMessageTable(*this, kTable, m)) inherited::WndProc(m);
}

void TkyrURLLabel::CMMouseEnter(TMessage& m) {
  inherited::WndProc(m);
  Font()->SetColor(fontHoverColor_);
}

void TkyrURLLabel::CMMouseLeave(TMessage& m) {
  inherited::WndProc(m);
  Font()->SetColor(fontLinkColor_);
}

// The untrimmed URL goes to the shell; a failure is not reported. OnClick comes last.
void TkyrURLLabel::Click() {
  if (!BlankURL(url_)) {
    if (const TShellOpenHook& hook = ShellOpenHook())
      hook(nullptr, "open", url_, SW_SHOW);
    else
      ShellExecuteA(nullptr, "open", url_.c_str(), nullptr, nullptr, SW_SHOW);
  }
  inherited::Click();
}

void TkyrURLLabel::DeclarePublished(TPublished<TkyrURLLabel>& p) {
  p.String("Caption", &TControl::Caption, &TControl::SetCaption);
  p.String("URL", &TkyrURLLabel::URL, &TkyrURLLabel::SetURL);
  p.Color("FontLinkColor", &TkyrURLLabel::FontLinkColor, &TkyrURLLabel::SetFontLinkColor);
  p.Color("FontHoverColor", &TkyrURLLabel::FontHoverColor, &TkyrURLLabel::SetFontHoverColor);
  p.Object("Font", static_cast<TFont* (TControl::*)()>(&TControl::Font));
  p.Integer("Cursor", &TControl::Cursor, &TControl::SetCursor, "TCursor");
  p.Boolean("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize);
  p.Color("Color", &TControl::Color, &TControl::SetColor);
  p.Boolean("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent);
  p.Boolean("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap);
  p.Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled);
  p.Boolean("Visible", &TControl::Visible, &TControl::SetVisible);
  p.Boolean("ShowHint", &TControl::ShowHint, &TControl::SetShowHint);
  p.Component("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
  p.Set("Anchors", AnchorKindInfo, &TControl::Anchors, &TControl::SetAnchors);
  p.Enumeration("BiDiMode", BiDiModeInfo, &TControl::BiDiMode, &TControl::SetBiDiMode);
  p.Event("OnClick", &TControl::OnClick, &TControl::SetOnClick);
  p.Event("OnMouseDown", &TControl::OnMouseDown, &TControl::SetOnMouseDown);
  p.Event("OnMouseMove", &TControl::OnMouseMove, &TControl::SetOnMouseMove);
  p.Event("OnMouseUp", &TControl::OnMouseUp, &TControl::SetOnMouseUp);
}
