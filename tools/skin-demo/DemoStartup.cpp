#include "tools/skin-demo/DemoStartup.h"

#include "skin/KYRClasses.h"
#include "tools/skin-demo/DemoAbout.h"
#include "tools/skin-demo/DemoMain.h"

void StartSkinDemo() {
  Application->Initialize();
  RegisterSkinClasses();
  Application->SetTitle("Skin Demo");
  Application->CreateForm(DemoMainForm);
  Application->CreateForm(DemoAboutForm);
  // The About window exists from the start, so a style chosen before it opens reaches it too.
  DemoAboutForm->HandleNeeded();
}
