// The About window: the program's features in a read-only skinned memo.
#pragma once

#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"
#include "skin/controls/KYRMemo.h"
#include "skin/frame/KYRForm.h"

class TForm2 : public TForm {
  VANTOR_CLASS(TForm2, TForm)
public:
  // The icon, one 48 x 48 image, is stored with the window's description (Icon.Data).
  explicit TForm2(TComponent* owner) : TForm(owner) {}

  TkyrForm* kyrForm1 = nullptr;
  TkyrMemo* kyrMemo1 = nullptr;

  static void DeclarePublished(TPublished<TForm2>& p);
};

extern TForm2* Form2;
