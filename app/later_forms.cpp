#include "app/later_forms.h"

TForm4* Form4 = nullptr;
TForm5* Form5 = nullptr;
TFormCompLst* FormCompLst = nullptr;
