#include "app/Startup.h"

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit4.h"
#include "skin/KYRClasses.h"

void StartVantor() {
  Application->Initialize();
  RegisterSkinClasses();
  Application->SetTitle("Corvane Vantor");
  Application->CreateForm(Form1);
  Application->CreateForm(Form2);
  Application->CreateForm(Form3);
  Application->CreateForm(Form4);
  // The other windows exist, hidden, from start-up on (handles are otherwise made on first use).
  for (TForm* form : {static_cast<TForm*>(Form2), static_cast<TForm*>(Form3), static_cast<TForm*>(Form4)})
    form->HandleNeeded();
}
