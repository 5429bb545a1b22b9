// The skinned MDI frame (TkyrMDIForm): a component dropped on an MDI main form (fsMDIForm) that
// frames it like the skinned form panel frames an ordinary form, through its own TkyrFrameHost:
// a title bar at the top, under it a menu panel with the menu bar and the three small buttons of
// a maximised child, and the MDI client below both.
//
//   auto* frame = new TkyrMDIForm(mainForm);  // refused unless placed on a form
//   frame->SetMenu(mainMenu);                 // the bar shows it, or the active child's menu
//   frame->SetUIStyle(MacOS);
//
// It subclasses the MDI client (TWindowSubclass) to follow the children: the bar shows the active
// child's menu (TitleBarDrawChildMenus), a maximised child shows the buttons matching its own
// title bar's (minimise, restore, close) at the right of the bar and its composed caption in the
// frame's title bar, and tiling and cascading use the frame's own arrangement. Removing the
// component gives the form back its caption and procedure and the client its own procedure.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"
#include "framework/ui/Subclass.h"
#include "skin/KYRStyled.h"
#include "skin/controls/KYRButton.h"
#include "skin/controls/KYRMainMenu.h"
#include "skin/frame/KYRFrame.h"
#include "skin/frame/KYRMenuBar.h"
#include "skin/frame/KYRTitleBar.h"

// The tags of the three MDI child buttons, from right to left.
inline constexpr int kyrMDICloseTag = -1381, kyrMDIRestoreTag = -1382, kyrMDIMinimizeTag = -1383;

class TkyrMDIForm : public TkyrStyled<TComponent, IkyrFramePanel>, public IkyrFrameOwner, public IkyrMenuHost {
  VANTOR_CLASS(TkyrMDIForm, TkyrStyled<TComponent, IkyrFramePanel>)
public:
  // Raises "Sorry, TkyrMDIForm must be placed on a form" for an owner that is not a form.
  explicit TkyrMDIForm(TComponent* owner);
  ~TkyrMDIForm() override;

  TCustomForm* HostForm() const override { return frame_.Form(); }
  TkyrTitleBar* TitleBar() const { return titleBar_; }
  TPanel* MenuPanel() const { return menuPanel_; }
  TkyrMenuBar* MenuBar() const { return menuBar_; }
  // The child button with TAG (kyrMDICloseTag ...), or nullptr.
  TkyrToolBarSpeedButton* MDIButton(int tag) const;
  // The menu the bar shows now: the active child's (TitleBarDrawChildMenus) or Menu.
  TMainMenu* CurrentMenu() const { return currentMenu_; }
  // The MDI client window followed now: nullptr before the host's window exists and for a host
  // that is no MDI form.
  HWND SubclassedClient() const { return client_.Window(); }

  // Published, in order (UIStyle and FileTheme come from the skinned base).
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* value) override;
  TColor MenuBarColor() const { return menuBarColor_; }
  void SetMenuBarColor(TColor value);
  TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(TColor value);
  std::string Caption() const;
  void SetCaption(const std::string& value);
  bool TitleBarDrawAppIcon() const;
  void SetTitleBarDrawAppIcon(bool value);
  bool TitleBarCustom() const;
  void SetTitleBarCustom(bool value);
  bool TitleBarVisible() const;
  void SetTitleBarVisible(bool value);
  TkyrTitleBarButtons* TitleBarButtons() const;
  TkyrTitleBarSections* TitleBarSections() const;
  bool TitleBarDrawChildCaptions() const { return drawChildCaptions_; }
  void SetTitleBarDrawChildCaptions(bool value) { drawChildCaptions_ = value; }
  bool TitleBarDrawChildMenus() const { return drawChildMenus_; }
  void SetTitleBarDrawChildMenus(bool value);
  int RoundCorner() const { return TitleBarVisible() ? roundCorner_ : 0; }
  void SetRoundCorner(int value);
  int RoundCornerBottom() const { return TitleBarVisible() ? roundCornerBottom_ : 0; }
  void SetRoundCornerBottom(int value);
  // From the style only.
  int BorderWidth() const { return borderWidth_; }

  bool PaintFrame();
  bool UpdateWindowRegion();
  // The menu to show read again and the bar's buttons made for it: now (RebuildMenuBar) or after
  // the current message (UpdateMenuBar).
  void RebuildMenuBar();
  void UpdateMenuBar() override;
  void UpdateMenuBarItems() override;
  void UpdateMenuBarFont() override;
  // The children arranged the frame's way (also when the client is asked to tile or cascade).
  void CascadeChildren();
  void TileChildren();
  // The maximised child's buttons: those matching its title bar's minimise, maximise and close.
  void ShowMDIButtons();
  void HideMDIButtons();
  void MDIButtonClick(TObject* sender);
  bool HandleMenuShortCut(const MSG& msg);
  void DrawMenuBarButton(TObject* sender, TToolButton* button, TCustomDrawState state, bool& defaultDraw);
  void DrawMenuBarBackground(TObject* sender, const RECT& rect, bool& defaultDraw);

  // The frame owner's side.
  TkyrFrameLook FrameLook() const override;
  const TkyrFrameBorders& FrameBorders() const override { return borders_; }
  TkyrFrameCorners FrameCorners() const override { return {RoundCorner(), RoundCornerBottom()}; }
  void FrameActivated(bool active) override;
  void FrameSized() override;
  void FrameHostMessage(TMessage& m) override;

  static void DeclarePublished(TPublished<TkyrMDIForm>& p);

protected:
  void ApplyUIStyle(const TkyrStyleSource& source) override;
  // After any insertion the title bar and the menu panel are put back at the top of the host.
  void Notification(TComponent* component, TOperation operation) override;

private:
  void CreateMenuBar();
  void CreateMDIButtons();
  void SubclassClient();
  void ClientMessage(TMessage& m);
  void ApplicationMessage(MSG& msg, bool& handled);
  void CopyHostCaption();
  void SyncMDIButtons();
  void ShowMenuPanel(bool show);
  int MenuPanelHeight() const;
  HWND HostWindow() const { return frame_.Window(); }
  // The children that take part in arranging: shown and not minimised, last index first.
  std::vector<TCustomForm*> ArrangedChildren() const;
  bool HasMinimisedChild() const;
  // The shared menu-bar drawing parameters (the frame's own style; disabled captions not grey).
  TkyrMenuBarLook BarLook() const;

  TkyrFrameHost frame_{*this};
  TWindowSubclass client_;
  TComponentRef<TkyrTitleBar> titleBar_{this};
  TComponentRef<TPanel> menuPanel_{this};
  TComponentRef<TkyrMenuBar> menuBar_{this};
  std::array<TComponentRef<TkyrToolBarSpeedButton>, 3> mdiButtons_{
      {TComponentRef<TkyrToolBarSpeedButton>{this}, TComponentRef<TkyrToolBarSpeedButton>{this},
       TComponentRef<TkyrToolBarSpeedButton>{this}}};
  TComponentRef<TMainMenu> menu_{this, [this] { UpdateMenuBar(); }};
  TComponentRef<TMainMenu> currentMenu_{this, [this] { UpdateMenuBar(); }};
  std::unique_ptr<TApplicationEvents> appEvents_;
  TkyrFrameBorders borders_;
  TColor menuBarColor_ = clBtnFace;
  TColor borderColor_ = clBlack;
  int borderWidth_ = 1;
  int roundCorner_ = 0;
  int roundCornerBottom_ = 0;
  bool drawChildCaptions_ = true;
  bool drawChildMenus_ = true;
  bool rebuildPosted_ = false;
  bool childMaximized_ = false;  // this frame's own, not shared by every frame of the process
};
