// The donation window: created hidden at start-up and never shown by the program.
#pragma once

#include "framework/ui/Forms.h"

class TForm4 : public TForm {
  VANTOR_CLASS(TForm4, TForm)
public:
  // The program's icon, one 48 x 48 image, is kept with the windows' descriptions.
  explicit TForm4(TComponent* owner) : TForm(owner) {
    Icon()->LoadFromResourceName(GetModuleHandleA(nullptr), "MAINICON", 48);
  }
};

extern TForm4* Form4;
