#include "app/Unit4.h"

TForm4* Form4 = nullptr;

