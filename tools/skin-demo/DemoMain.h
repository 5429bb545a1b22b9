// The skin demo's main window: an MDI frame skinned by a TkyrMDIForm, whose bar shows its skinned
// main menu (File, Style, Window, Help) or the active child's own, with a skinned toolbar under
// it (New child, Cascade, Lock, and Style with the styles in its drop-down menu). The demo's
// commands are handlers of the window bound to the menu's items and the toolbar's buttons: the
// theme file, Exit, the styles (every skinned component of every window, children included),
// About, the Window commands that open children (Controls at start, numbered children with or
// without a menu, Records) and arrange them the frame's way, and Lock, which holds the
// arrangement while it is down.
#pragma once

#include <string>
#include <vector>

#include "framework/graphics/ImgList.h"
#include "framework/ui/ComCtrls.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/Forms.h"
#include "framework/ui/Menus.h"
#include "framework/ui/StdCtrls.h"
#include "skin/KYRMgr.h"
#include "skin/controls/KYRMainMenu.h"
#include "skin/controls/KYRPopupMenu.h"
#include "skin/controls/KYRToolBar.h"
#include "skin/frame/KYRMDIForm.h"
#include "tools/skin-demo/DemoRecords.h"

class TDemoChildForm;
class TDemoMenuChildForm;
class TDemoControlsForm;

class TDemoMainForm : public TForm {
  VANTOR_CLASS(TDemoMainForm, TForm)
public:
  explicit TDemoMainForm(TComponent* owner) : TForm(owner) {}

  TkyrMDIForm* kyrMDIForm1 = nullptr;
  TImageList* ImageList1 = nullptr;
  TkyrPopupMenu* kyrPopupMenu1 = nullptr;
  TMenuItem* MacOS2 = nullptr;
  TMenuItem* WinXP2 = nullptr;
  TMenuItem* DeepBlue2 = nullptr;
  TMenuItem* Protein2 = nullptr;
  TMenuItem* BlueGlass2 = nullptr;
  TkyrToolBar* kyrToolBar1 = nullptr;
  TToolButton* NewChildButton = nullptr;
  TToolButton* CascadeButton = nullptr;
  TToolButton* ToolSeparator1 = nullptr;
  TToolButton* LockButton = nullptr;
  TToolButton* StyleButton = nullptr;
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
  TMenuItem* Window1 = nullptr;
  TMenuItem* NewChild1 = nullptr;
  TMenuItem* NewMenuChild1 = nullptr;
  TMenuItem* Records1 = nullptr;
  TMenuItem* N3 = nullptr;
  TMenuItem* Cascade1 = nullptr;
  TMenuItem* TileHorizontally1 = nullptr;
  TMenuItem* TileVertically1 = nullptr;
  TMenuItem* CloseAll1 = nullptr;
  TMenuItem* Help1 = nullptr;
  TMenuItem* AboutSkinDemo1 = nullptr;

  // The open dialog; a theme file chosen there is loaded into kyrFileTheme1 and drawn from.
  void OpenThemeFileClick(TObject* Sender);
  // Closes the main window, which ends the program.
  void ExitClick(TObject* Sender);
  // The style whose number (TkyrUIStyle) is the sender's Tag. From the theme file without a
  // loaded file asks for one first; cancelled, nothing changes.
  void StyleClick(TObject* Sender);
  // The Style button's main part opens the same menu as its arrow.
  void StyleButtonClick(TObject* Sender);
  // Shows the About window.
  void AboutClick(TObject* Sender);
  // Lock down: cascading and tiling are off, in every Window menu (the frame's and every menu
  // child's) and on the toolbar, until it comes up again.
  void LockClick(TObject* Sender);
  // The Window commands: a new numbered child, one with its own menu, the Records child; the
  // children cascaded or tiled by the frame (nothing while Lock is down); every child closed
  // (and so freed).
  void NewChildClick(TObject* Sender);
  void NewMenuChildClick(TObject* Sender);
  void RecordsClick(TObject* Sender);
  void CascadeClick(TObject* Sender);
  void TileHorizontallyClick(TObject* Sender);
  void TileVerticallyClick(TObject* Sender);
  void CloseAllClick(TObject* Sender);

  // The children as the commands open them, shown, active and in the demo's style.
  TDemoControlsForm* OpenControls();
  TDemoChildForm* NewChild();
  TDemoMenuChildForm* NewMenuChild();
  // The Records child (the open one brought to the front); nullptr when its data could not be
  // opened, which a message box has told the user.
  TDemoRecordsForm* OpenRecords();
  // The children of start-up: Controls, a child and a menu child, cascaded.
  void OpenStartChildren();

  // Where Records takes its rows from (the shipped CSV file unless the command line says otherwise).
  const TDemoRecordsSource& RecordsSource() const { return records_; }
  void SetRecordsSource(const TDemoRecordsSource& value) { records_ = value; }

  // The style every demo window is drawn in; its Style item is the checked one.
  TkyrUIStyle CurrentStyle() const { return style_; }
  // The items of the Style menu, in their order (separator excluded).
  std::vector<TMenuItem*> StyleItems() const;
  // The items of the Style button's drop-down menu, in their order.
  std::vector<TMenuItem*> DropdownStyleItems() const;
  // Whether Lock is down.
  bool ArrangementLocked() const { return LockButton->Down(); }
  // The open Records child, or nullptr.
  TDemoRecordsForm* RecordsForm() const { return recordsForm_.Get(); }

  static void DeclarePublished(TPublished<TDemoMainForm>& p);

private:
  void SelectStyle(TkyrUIStyle style);
  void Tile(TTileMode mode);
  // A new child of class T with a name of its own (NAME and a number).
  template <class T>
  T* Created(const std::string& name);
  // CHILD shown and active, in the demo's style.
  template <class T>
  T* Opened(T* child);
  std::string NextChildTitle();

  TkyrUIStyle style_ = MacOS;
  int nextChild_ = 1;
  int formSerial_ = 0;
  TDemoRecordsSource records_{DefaultDemoRecordsFile(), {}, {}};
  TComponentRef<TDemoRecordsForm> recordsForm_{this};
};

extern TDemoMainForm* DemoMainForm;
