#include "tools/skin-demo/DemoChild.h"

#include "framework/ui/Dialogs.h"
#include "tools/skin-demo/DemoMain.h"

void TDemoChildForm::DeclarePublished(TPublished<TDemoChildForm>& p) {
  p.Field("kyrForm1", &TDemoChildForm::kyrForm1);
  p.Field("kyrButton1", &TDemoChildForm::kyrButton1);
  p.Field("kyrTrackBar1", &TDemoChildForm::kyrTrackBar1);
  p.Field("kyrMemo1", &TDemoChildForm::kyrMemo1);
  p.Method("FormClose", &TDemoChildForm::FormClose);
}

void TDemoChildForm::SetTitle(const std::string& title) {
  SetCaption(title);
  kyrForm1->SetCaption(title);
}

void TDemoChildForm::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

void TDemoMenuChildForm::DeclarePublished(TPublished<TDemoMenuChildForm>& p) {
  p.Field("kyrMainMenu1", &TDemoMenuChildForm::kyrMainMenu1);
  p.Field("Child1", &TDemoMenuChildForm::Child1);
  p.Field("SayHello1", &TDemoMenuChildForm::SayHello1);
  p.Field("Window1", &TDemoMenuChildForm::Window1);
  p.Field("NewChild1", &TDemoMenuChildForm::NewChild1);
  p.Field("NewMenuChild1", &TDemoMenuChildForm::NewMenuChild1);
  p.Field("Records1", &TDemoMenuChildForm::Records1);
  p.Field("N1", &TDemoMenuChildForm::N1);
  p.Field("Cascade1", &TDemoMenuChildForm::Cascade1);
  p.Field("TileHorizontally1", &TDemoMenuChildForm::TileHorizontally1);
  p.Field("TileVertically1", &TDemoMenuChildForm::TileVertically1);
  p.Field("CloseAll1", &TDemoMenuChildForm::CloseAll1);
  p.Method("SayHelloClick", &TDemoMenuChildForm::SayHelloClick);
  p.Method("NewChildClick", &TDemoMenuChildForm::NewChildClick);
  p.Method("NewMenuChildClick", &TDemoMenuChildForm::NewMenuChildClick);
  p.Method("RecordsClick", &TDemoMenuChildForm::RecordsClick);
  p.Method("CascadeClick", &TDemoMenuChildForm::CascadeClick);
  p.Method("TileHorizontallyClick", &TDemoMenuChildForm::TileHorizontallyClick);
  p.Method("TileVerticallyClick", &TDemoMenuChildForm::TileVerticallyClick);
  p.Method("CloseAllClick", &TDemoMenuChildForm::CloseAllClick);
}

std::string TDemoMenuChildForm::HelloText() const { return "Hello from " + Caption() + "!"; }

void TDemoMenuChildForm::SetArrangementEnabled(bool enabled) {
  for (TMenuItem* item : {Cascade1, TileHorizontally1, TileVertically1}) item->SetEnabled(enabled);
}

void TDemoMenuChildForm::SayHelloClick(TObject*) { ShowMessage(HelloText()); }

void TDemoMenuChildForm::NewChildClick(TObject* Sender) { DemoMainForm->NewChildClick(Sender); }
void TDemoMenuChildForm::NewMenuChildClick(TObject* Sender) { DemoMainForm->NewMenuChildClick(Sender); }
void TDemoMenuChildForm::RecordsClick(TObject* Sender) { DemoMainForm->RecordsClick(Sender); }
void TDemoMenuChildForm::CascadeClick(TObject* Sender) { DemoMainForm->CascadeClick(Sender); }
void TDemoMenuChildForm::TileHorizontallyClick(TObject* Sender) { DemoMainForm->TileHorizontallyClick(Sender); }
void TDemoMenuChildForm::TileVerticallyClick(TObject* Sender) { DemoMainForm->TileVerticallyClick(Sender); }
void TDemoMenuChildForm::CloseAllClick(TObject* Sender) { DemoMainForm->CloseAllClick(Sender); }
