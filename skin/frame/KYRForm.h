// The skinned form panel (TkyrForm): the first skinned component on a form, which frames it
// through a TkyrFrameHost (KYRFrame.h) and carries the title bar.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/graphics/Graphics.h"
#include "framework/ui/Menus.h"
#include "skin/KYRStyled.h"
#include "skin/controls/KYRMainMenu.h"
#include "skin/frame/KYRFrame.h"
#include "skin/frame/KYRMenuBar.h"
#include "skin/frame/KYRTitleBar.h"

// TkyrForm: the panel that turns the form owning it into a skinned window. The first TkyrForm
// made on a form takes it over: it fills the client area, puts a TkyrTitleBar at its top and has
// its TkyrFrameHost hook the form (caption bits stripped, frame messages answered with the
// panel's look, maximised bounds on the work area). Removing the panel gives the form back its
// caption, its procedure and a plain rectangular shape.
//
//   auto* skin = new TkyrForm(form);   // takes the form over and places itself on it
//   skin->SetUIStyle(MacOS);           // border, colours, corners, title pictures
//   skin->SetCaption("Corvane Vantor"); // the title bar's and the form's caption
//
// A second TkyrForm on the same form is refused ("Sorry, You can create only one TkyrForm
// component in one form!") and stays a plain panel that never touches the form; so does one whose
// owner is not a form. Such a panel has no title bar: the properties that forward to the bar read
// empty, false or 0 and ignore writes; a stored description still loads into it (its title-bar
// collections are read into detached ones that nothing uses).
//
// With a Menu the panel shows a TkyrMenuBar under the title bar (KYRMenuBar.h), one button per
// top-level item, painted by the panel in the menu's style; the frame beside it takes the bar's
// colour. The bar is the form's menu bar for the keyboard (Alt+letter, F10), and the menu's
// short-cuts run while the window is the active one. A TkyrMainMenu made on the form attaches
// itself; any other TMainMenu can be given to Menu.
class TkyrForm : public TkyrStyled<TCustomPanel, IkyrFramePanel>, public IkyrFrameOwner, public IkyrMenuHost {
  VANTOR_CLASS(TkyrForm, TkyrStyled<TCustomPanel, IkyrFramePanel>)
public:
  explicit TkyrForm(TComponent* owner);
  ~TkyrForm() override;

  // The form taken over; nullptr for a panel that took nothing over.
  TCustomForm* HostForm() const override { return frame_.Form(); }
  // Null once the bar has been freed (whoever freed it).
  TkyrTitleBar* TitleBar() const { return titleBar_.Get(); }

  // Published, in streaming order (inherited: BiDiMode, Color, PopupMenu and the mouse events).
  bool TitleBarCustom() const;
  void SetTitleBarCustom(bool value);
  bool UIStyleAutoUpdateSub() const { return uiStyleAutoUpdateSub_; }
  void SetUIStyleAutoUpdateSub(bool value) { uiStyleAutoUpdateSub_ = value; }
  TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(TColor value);
  // The frame's border, not the framework's inner border of a windowed control (which the panel
  // keeps at 0): it hides TWinControl::BorderWidth on purpose.
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int value);
  bool TitleBarVisible() const;
  void SetTitleBarVisible(bool value);
  // The title bar's caption; writing sets the form's caption too.
  std::string Caption() const;
  void SetCaption(const std::string& value);
  // A panel given the rest of the window: aligned to the client area, a plain TPanel loses its
  // bevels, border and caption, a skinned panel its caption. The panel itself is refused.
  TCustomPanel* FormPanel() const { return formPanel_; }
  void SetFormPanel(TCustomPanel* value);
  // The title bar's collections; null without a title bar.
  TkyrTitleBarButtons* TitleBarButtons() const;
  TkyrTitleBarSections* TitleBarSections() const;
  // What a stored description reads into: the title bar's collections, or without a bar detached
  // empty ones that take the items and change nothing.
  TkyrTitleBarButtons* StoredTitleBarButtons() const;
  TkyrTitleBarSections* StoredTitleBarSections() const;
  bool TitleBarDrawAppIcon() const;
  void SetTitleBarDrawAppIcon(bool value);
  // The title bar's font (the panel's own without a title bar).
  TFont* TitleFont();
  // The menu the bar shows; cleared (with the bar) when the menu goes.
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* value) override;
  TColor MenuBarColor() const { return menuBarColor_; }
  void SetMenuBarColor(TColor value);
  // The bar's height and each of its buttons'.
  int MenuBarHeight() const { return menuBarHeight_; }
  void SetMenuBarHeight(int value);
  // The title bar's corners; 0 while it is hidden. Writing rebuilds the window region.
  int RoundCorner() const;
  void SetRoundCorner(int value);
  int RoundCornerBottom() const;
  void SetRoundCornerBottom(int value);
  std::string Version() const { return "5.8"; }
  void SetVersion(const std::string&) {}
  const TkyrTitleBarButtonClickEvent& OnTitleBarCustomBtnsClick() const;
  void SetOnTitleBarCustomBtnsClick(TkyrTitleBarButtonClickEvent e);
  const TkyrTitleBarButtonClickEvent& OnTitleBarHelpBtnClick() const;
  void SetOnTitleBarHelpBtnClick(TkyrTitleBarButtonClickEvent e);

  // The title bar's height while it is visible, else 0.
  int TitleBarHeight() const;
  // The bar under the title bar while Menu is set (never on an MDI child), else nullptr.
  TkyrMenuBar* MenuBar() const { return menuBar_; }
  void CreateMenuBar();
  void DestroyMenuBar();
  // One bar button per top-level item of Menu, in menu order: now (RebuildMenuBar) or after the
  // current message (UpdateMenuBar, for changes that may come from a button's own handler).
  void RebuildMenuBar();
  void UpdateMenuBar() override;
  void UpdateMenuBarItems() override;
  void UpdateMenuBarFont() override;
  // A short-cut of Menu for key message MSG, run when the window is the active skinned one;
  // true when it ran.
  bool HandleMenuShortCut(const MSG& msg);
  // The bar's custom-draw events (the pictures and boxes of KYRMenuBar.h in the menu's style).
  void DrawMenuBarButton(TObject* sender, TToolButton* button, TCustomDrawState state, bool& defaultDraw);
  void DrawMenuBarBackground(TObject* sender, const RECT& rect, bool& defaultDraw);
  // The frame with the panel's current look; false, painting nothing, without a form window or
  // while it is minimised.
  bool PaintFrame();
  // The window region for the form's current size (which repaints the frame); false when
  // none was set (no window yet, design mode, refused).
  bool UpdateWindowRegion();
  // The border images in use (bitmap mode while a file theme supplies them).
  const TkyrFrameBorders& Borders() const { return borders_; }
  // The frame owner's side (IkyrFrameOwner): everything the frame painter is given, the
  // corners, and the host's activation and size.
  TkyrFrameLook FrameLook() const override;
  const TkyrFrameBorders& FrameBorders() const override { return borders_; }
  TkyrFrameCorners FrameCorners() const override { return {RoundCorner(), RoundCornerBottom()}; }
  void FrameActivated(bool active) override;
  void FrameSized() override;
  void FrameHostMessage(TMessage& m) override;

  static void DeclarePublished(TPublished<TkyrForm>& p);
  void WndProc(TMessage& m) override;

protected:
  void ApplyUIStyle(const TkyrStyleSource& source) override;
  void FileThemeRemoved() override;
  // The MacOS and Protein background pattern tiled over the client area, else Color.
  void Paint() override;
  void Resize() override;

private:
  void TakeOver(TCustomForm* form);
  void GiveBack();
  void ApplicationMessage(MSG& msg, bool& handled);
  void PopupWindowMenu();
  TkyrFrameMenuBar MenuBarLook() const;
  TkyrMenuBarLook BarLook() const;
  void KYRRebuildMenuBar(TMessage& m);
  bool IsMDIChildHost() const;
  HWND MDIClient() const;
  void MDIChildActivated(bool active);
  void MDIChildDestroyed();
  void MDIChildSized();
  HWND HostWindow() const { return frame_.Window(); }
  void LoadBackgroundPattern(TkyrUIStyle style);
  void CMColorChanged(TMessage& m);

  TkyrFrameHost frame_{*this};
  TComponentRef<TkyrTitleBar> titleBar_{this};
  std::unique_ptr<TApplicationEvents> appEvents_;
  TkyrFrameBorders borders_;
  std::unique_ptr<TBitmap> pattern_;  // the client's background pattern, null for a plain colour
  TColor borderColor_ = clBlack;
  TComponentRef<TCustomPanel> formPanel_{this};
  TComponentRef<TMainMenu> menu_{this, [this] { DestroyMenuBar(); }};
  TComponentRef<TkyrMenuBar> menuBar_{this};
  bool rebuildPosted_ = false;
  bool toldMaximized_ = false;  // this MDI child told its frame it is maximised
  int borderWidth_ = 1;
  TColor menuBarColor_ = clBtnFace;
  int menuBarHeight_ = 22;
  bool uiStyleAutoUpdateSub_ = false;
  // Made on the first read of a panel without a title bar.
  mutable std::unique_ptr<TkyrTitleBarButtons> detachedButtons_;
  mutable std::unique_ptr<TkyrTitleBarSections> detachedSections_;
};
