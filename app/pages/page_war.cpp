#include "app/pages/page_war.h"

#include <string>
#include "app/main_form.h"
#include "app/named_control.h"

TPageWAR::TPageWAR(TForm1& form) : TMainPage(form, Index) {
    TPage* p = Sheet();
    Label1301 = b_.Label(p, "Label1301", "Wartung", 16, 16, true);
}

TShape* TPageWAR::StateShape(int n) {
    return n >= 1 && n <= 8 ? NamedControl<TShape>(form_, "Shape19" + std::to_string(n)) : nullptr;
}

TLabel* TPageWAR::StateLabel(int n) {
    return n >= 1 && n <= 8 ? NamedControl<TLabel>(form_, "LabelS9" + std::to_string(n)) : nullptr;
}
