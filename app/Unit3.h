// The message window: the converters report their outcome in its label and show it.
#pragma once

#include <string>

#include "convert/Projector.h"
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"
#include "skin/frame/KYRForm.h"

class TForm3 : public TForm, public IConvertReport {
  VANTOR_CLASS(TForm3, TForm)
public:
  explicit TForm3(TComponent* owner) : TForm(owner) {}

  TkyrForm* kyrForm1 = nullptr;
  TLabel* Label1 = nullptr;

  void SetReportText(const std::string& text) override { Label1->SetCaption(text); }
  // Non-modal, at the stored position; an already visible window stays as it is.
  void ShowReport() override { Show(); }

  static void DeclarePublished(TPublished<TForm3>& p);
};

extern TForm3* Form3;
