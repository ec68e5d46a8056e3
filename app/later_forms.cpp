#include "app/later_forms.h"

TForm2* Form2 = nullptr;
TForm3* Form3 = nullptr;
TForm4* Form4 = nullptr;
TForm5* Form5 = nullptr;
TFormCompLst* FormCompLst = nullptr;
TFormTxtCom* FormTxtCom = nullptr;
