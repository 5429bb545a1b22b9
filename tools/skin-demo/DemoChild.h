// The skin demo's numbered children of the frame: TDemoChildForm, a skinned panel with a button,
// a track bar and a memo; TDemoMenuChildForm, the same with a skinned main menu of its own
// (Child: Say hello; Window: the frame's window commands), which the frame's bar shows while the
// child is active. Both free themselves when closed.
#pragma once

#include "framework/ui/Forms.h"
#include "framework/ui/Menus.h"
#include "skin/controls/KYRButton.h"
#include "skin/controls/KYRMainMenu.h"
#include "skin/controls/KYRMemo.h"
#include "skin/controls/KYRTrackBar.h"
#include "skin/frame/KYRForm.h"

class TDemoChildForm : public TForm {
  VANTOR_CLASS(TDemoChildForm, TForm)
public:
  explicit TDemoChildForm(TComponent* owner) : TForm(owner) {}

  TkyrForm* kyrForm1 = nullptr;
  TkyrButton* kyrButton1 = nullptr;
  TkyrTrackBar* kyrTrackBar1 = nullptr;
  TkyrMemo* kyrMemo1 = nullptr;

  // The window's caption and its panel's title.
  void SetTitle(const std::string& title);
  // Frees the child (caFree).
  void FormClose(TObject* Sender, TCloseAction& Action);

  static void DeclarePublished(TPublished<TDemoChildForm>& p);
};

class TDemoMenuChildForm : public TDemoChildForm {
  VANTOR_CLASS(TDemoMenuChildForm, TDemoChildForm)
public:
  explicit TDemoMenuChildForm(TComponent* owner) : TDemoChildForm(owner) {}

  TkyrMainMenu* kyrMainMenu1 = nullptr;
  TMenuItem* Child1 = nullptr;
  TMenuItem* SayHello1 = nullptr;
  TMenuItem* Window1 = nullptr;
  TMenuItem* NewChild1 = nullptr;
  TMenuItem* NewMenuChild1 = nullptr;
  TMenuItem* Records1 = nullptr;
  TMenuItem* N1 = nullptr;
  TMenuItem* Cascade1 = nullptr;
  TMenuItem* TileHorizontally1 = nullptr;
  TMenuItem* TileVertically1 = nullptr;
  TMenuItem* CloseAll1 = nullptr;

  // A message box saying hello from this child.
  void SayHelloClick(TObject* Sender);
  // The frame's window commands (TDemoMainForm's handlers of the same names).
  void NewChildClick(TObject* Sender);
  void NewMenuChildClick(TObject* Sender);
  void RecordsClick(TObject* Sender);
  void CascadeClick(TObject* Sender);
  void TileHorizontallyClick(TObject* Sender);
  void TileVerticallyClick(TObject* Sender);
  void CloseAllClick(TObject* Sender);

  // Cascade and both tiles of the child's Window menu on or off (the frame's Lock).
  void SetArrangementEnabled(bool enabled);
  // The text Say hello shows.
  std::string HelloText() const;

  static void DeclarePublished(TPublished<TDemoMenuChildForm>& p);
};
