// The skin demo's About window: a skinned panel with a read-only skinned memo and a Close
// button.
#pragma once

#include "framework/ui/Forms.h"
#include "skin/controls/KYRButton.h"
#include "skin/controls/KYRMemo.h"
#include "skin/frame/KYRForm.h"

class TDemoAboutForm : public TForm {
  VANTOR_CLASS(TDemoAboutForm, TForm)
public:
  explicit TDemoAboutForm(TComponent* owner) : TForm(owner) {}

  TkyrForm* kyrForm1 = nullptr;
  TkyrMemo* kyrMemo1 = nullptr;
  TkyrButton* kyrButton1 = nullptr;

  // Closes (hides) the window.
  void CloseClick(TObject* Sender);

  static void DeclarePublished(TPublished<TDemoAboutForm>& p);
};

extern TDemoAboutForm* DemoAboutForm;
