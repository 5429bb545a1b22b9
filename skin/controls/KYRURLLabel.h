// The hyperlink label: an underlined caption in FontLinkColor that turns FontHoverColor under
// the pointer, shows the hand cursor and opens URL with the Windows shell when clicked
// (ShellExecuteA "open", no owner window, SW_SHOW; its result is not looked at), then fires
// OnClick. A URL of blanks opens nothing but still fires OnClick. Unlike the skinned controls it
// has no UIStyle: its colours are plain properties.
//
//   auto* link = new TkyrURLLabel(form);     // "Welcome to Corvane!", http://www.corvane.example/
//   link->SetParent(panel);  link->SetFontLinkColor(clTeal);  link->SetURL("http://www.corvane.example/");
//
// Seam: SetShellOpenHook makes a click hand the call to the hook instead of ShellExecuteA (tests
// record it there, so no browser opens); an empty hook restores the shell.
#pragma once

#include <functional>
#include <string>

#include "framework/ui/StdCtrls.h"

// The project's own neutral address and the default caption, also used by the About text.
inline constexpr char kyrDefaultURL[] = "http://www.corvane.example/";
inline constexpr char kyrDefaultURLCaption[] = "Welcome to Corvane!";

using TShellOpenHook = std::function<void(HWND owner, const std::string& verb, const std::string& file, int show)>;
// Installs HOOK and returns the previous one.
TShellOpenHook SetShellOpenHook(TShellOpenHook hook);

class TkyrURLLabel : public TCustomLabel {
  VANTOR_CLASS(TkyrURLLabel, TCustomLabel)
public:
  // Underlined, blue, hand cursor, auto-size, hover red, link blue, default caption and URL.
  explicit TkyrURLLabel(TComponent* owner);

  const std::string& URL() const { return url_; }
  void SetURL(const std::string& value) { url_ = value; }
  // Also takes effect at once (away from the hover colour until the pointer enters again).
  TColor FontLinkColor() const { return fontLinkColor_; }
  void SetFontLinkColor(TColor value);
  // Used at the next entry of the pointer.
  TColor FontHoverColor() const { return fontHoverColor_; }
  void SetFontHoverColor(TColor value) { fontHoverColor_ = value; }

  void WndProc(TMessage& m) override;
  static void DeclarePublished(TPublished<TkyrURLLabel>& p);

protected:
  void Click() override;

private:
  void CMMouseEnter(TMessage& m);
  void CMMouseLeave(TMessage& m);
  std::string url_;
  TColor fontLinkColor_ = clBlue;
  TColor fontHoverColor_ = clRed;
};
