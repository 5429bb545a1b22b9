// The skin demo's main window: a page of skinned controls on a skinned form panel, and the
// demo's commands as handlers of the window (OpenThemeFileClick, ExitClick, StyleClick,
// AboutClick), bound to the items of its skinned main menu (File, Style, Help) in the menu bar.
#pragma once

#include <string>
#include <vector>

#include "framework/ui/Dialogs.h"
#include "framework/ui/Forms.h"
#include "framework/ui/Menus.h"
#include "framework/ui/StdCtrls.h"
#include "skin/KYRMgr.h"
#include "skin/controls/KYRButton.h"
#include "skin/controls/KYRImagePanel.h"
#include "skin/controls/KYRMemo.h"
#include "skin/controls/KYRMainMenu.h"
#include "skin/controls/KYRScrollBar.h"
#include "skin/controls/KYRTrackBar.h"
#include "skin/controls/KYRURLLabel.h"
#include "skin/frame/KYRForm.h"

class TDemoMainForm : public TForm {
  VANTOR_CLASS(TDemoMainForm, TForm)
public:
  explicit TDemoMainForm(TComponent* owner) : TForm(owner) {}

  TkyrForm* kyrForm1 = nullptr;
  TLabel* ButtonsLabel = nullptr;
  TkyrButton* kyrButton1 = nullptr;
  TkyrButton* kyrButton2 = nullptr;
  TkyrButton* kyrButton3 = nullptr;
  TkyrImageButton* kyrImageButton1 = nullptr;
  TLabel* ImageButtonLabel = nullptr;
  TLabel* LinkLabel = nullptr;
  TkyrURLLabel* kyrURLLabel1 = nullptr;
  TLabel* TrackBarsLabel = nullptr;
  TkyrTrackBar* kyrTrackBar1 = nullptr;
  TkyrTrackBar* kyrTrackBar2 = nullptr;
  TkyrTrackBar* kyrTrackBar3 = nullptr;
  TLabel* ImagePanelsLabel = nullptr;
  TkyrImagePanel* kyrImagePanel1 = nullptr;
  TkyrImagePanel* kyrImagePanel2 = nullptr;
  TkyrImagePanel* kyrImagePanel3 = nullptr;
  TLabel* CaptionPanelLabel = nullptr;
  TkyrImagePanel* kyrImagePanel4 = nullptr;
  TLabel* MemoLabel = nullptr;
  TkyrScrollBar* kyrScrollBar1 = nullptr;
  TkyrScrollBar* kyrScrollBar2 = nullptr;
  TkyrMemo* kyrMemo1 = nullptr;
  TLabel* ScrollBarLabel = nullptr;
  TkyrScrollBar* kyrScrollBar3 = nullptr;
  TkyrFileTheme* kyrFileTheme1 = nullptr;
  TOpenDialog* OpenDialog1 = nullptr;
  TkyrMainMenu* kyrMainMenu1 = nullptr;
  TMenuItem* File1 = nullptr;
  TMenuItem* OpenThemeFile1 = nullptr;
  TMenuItem* N1 = nullptr;
  TMenuItem* Exit1 = nullptr;
  TMenuItem* Style1 = nullptr;
  TMenuItem* MacOS1 = nullptr;
  TMenuItem* WinXP1 = nullptr;
  TMenuItem* DeepBlue1 = nullptr;
  TMenuItem* Protein1 = nullptr;
  TMenuItem* BlueGlass1 = nullptr;
  TMenuItem* N2 = nullptr;
  TMenuItem* FromThemeFile1 = nullptr;
  TMenuItem* Help1 = nullptr;
  TMenuItem* AboutSkinDemo1 = nullptr;

  // The open dialog; a theme file chosen there is loaded into kyrFileTheme1 and drawn from.
  void OpenThemeFileClick(TObject* Sender);
  // Closes the main window, which ends the program.
  void ExitClick(TObject* Sender);
  // The style whose number (TkyrUIStyle) is the sender's Tag. From the theme file without a
  // loaded file asks for one first; cancelled, nothing changes.
  void StyleClick(TObject* Sender);
  // Shows the About window.
  void AboutClick(TObject* Sender);

  // The style every demo window is drawn in; its Style item is the checked one.
  TkyrUIStyle CurrentStyle() const { return style_; }
  // The items of the Style menu, in their order (separator excluded).
  std::vector<TMenuItem*> StyleItems() const;

  static void DeclarePublished(TPublished<TDemoMainForm>& p);

private:
  void SelectStyle(TkyrUIStyle style);

  TkyrUIStyle style_ = MacOS;
};

extern TDemoMainForm* DemoMainForm;
