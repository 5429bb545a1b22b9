// The skin demo's Controls child: a page of every skinned control on a skinned form panel, in
// an MDI child of the demo's frame; closing it frees it.
#pragma once

#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"
#include "skin/controls/KYRButton.h"
#include "skin/controls/KYRImagePanel.h"
#include "skin/controls/KYRMemo.h"
#include "skin/controls/KYRScrollBar.h"
#include "skin/controls/KYRTrackBar.h"
#include "skin/controls/KYRURLLabel.h"
#include "skin/frame/KYRForm.h"

class TDemoControlsForm : public TForm {
  VANTOR_CLASS(TDemoControlsForm, TForm)
public:
  explicit TDemoControlsForm(TComponent* owner) : TForm(owner) {}

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

  // Frees the child (caFree).
  void FormClose(TObject* Sender, TCloseAction& Action);

  static void DeclarePublished(TPublished<TDemoControlsForm>& p);
};
