#include "tools/skin-demo/DemoStartup.h"

#include "framework/ui/Dialogs.h"
#include "skin/KYRClasses.h"
#include "tools/skin-demo/DemoAbout.h"
#include "tools/skin-demo/DemoCommandLine.h"
#include "tools/skin-demo/DemoMain.h"

void StartSkinDemo(const std::vector<std::string>& args) {
  Application->Initialize();
  RegisterSkinClasses();
  Application->SetTitle("Skin Demo");
  Application->CreateForm(DemoMainForm);
  Application->CreateForm(DemoAboutForm);
  // The About window exists from the start, so a style chosen before it opens reaches it too.
  DemoAboutForm->HandleNeeded();
  const TDemoCommandLine commandLine = ParseDemoArguments(args, DemoMainForm->RecordsSource());
  DemoMainForm->SetRecordsSource(commandLine.Records);
  DemoMainForm->OpenStartChildren();
  if (!commandLine.Error.empty()) ShowMessage(commandLine.Error);
}
