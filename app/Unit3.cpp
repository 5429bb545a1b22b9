#include "app/Unit3.h"

TForm3* Form3 = nullptr;

void TForm3::DeclarePublished(TPublished<TForm3>& p) {
  p.Field("kyrForm1", &TForm3::kyrForm1);
  p.Field("Label1", &TForm3::Label1);
}

