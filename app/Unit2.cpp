#include "app/Unit2.h"

TForm2* Form2 = nullptr;

void TForm2::DeclarePublished(TPublished<TForm2>& p) {
  p.Field("kyrForm1", &TForm2::kyrForm1);
  p.Field("kyrMemo1", &TForm2::kyrMemo1);
}

