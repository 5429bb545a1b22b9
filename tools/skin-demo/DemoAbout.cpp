#include "tools/skin-demo/DemoAbout.h"

TDemoAboutForm* DemoAboutForm = nullptr;

void TDemoAboutForm::DeclarePublished(TPublished<TDemoAboutForm>& p) {
  p.Field("kyrForm1", &TDemoAboutForm::kyrForm1);
  p.Field("kyrMemo1", &TDemoAboutForm::kyrMemo1);
  p.Field("kyrButton1", &TDemoAboutForm::kyrButton1);
  p.Method("CloseClick", &TDemoAboutForm::CloseClick);
}

void TDemoAboutForm::CloseClick(TObject*) { Close(); }
