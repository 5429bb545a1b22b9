// The donation window: created hidden at start-up and never shown by the program.
#pragma once

#include "framework/ui/Forms.h"

class TForm4 : public TForm {
  VANTOR_CLASS(TForm4, TForm)
public:
  // The icon, one 48 x 48 image, is stored with the window's description (Icon.Data).
  explicit TForm4(TComponent* owner) : TForm(owner) {}
};

extern TForm4* Form4;
