#include "app/Unit4.h"

TForm4* Form4 = nullptr;

void TForm4::Loaded() {
  inherited::Loaded();
  HandleNeeded();
}
