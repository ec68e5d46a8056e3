#include "app/later_forms.h"

TFormCompLst* FormCompLst = nullptr;
