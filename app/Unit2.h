// The About window: the program's features in a read-only memo.
#pragma once

#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"

class TForm2 : public TForm {
  VANTOR_CLASS(TForm2, TForm)
public:
  // The program's icon, one 48 x 48 image, is kept with the windows' descriptions.
  explicit TForm2(TComponent* owner) : TForm(owner) {
    Icon()->LoadFromResourceName(GetModuleHandleA(nullptr), "MAINICON", 48);
  }

  TMemo* kyrMemo1 = nullptr;

  static void DeclarePublished(TPublished<TForm2>& p);
};

extern TForm2* Form2;
