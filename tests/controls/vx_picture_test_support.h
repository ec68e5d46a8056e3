#pragma once
// A form saved with the editors' pop-ups over it, as the screen shows them; pop-ups that
// were never made or are hidden are left out.

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/forms/form.h"
#include "tests/support/screen_picture.h"

inline bool SaveFormWithPopups(TCustomForm* form, std::initializer_list<TWinControl*> popups, const std::string& file) {
    std::vector<HWND> above;
    for (TWinControl* p : popups)
        if (p && p->HandleAllocated()) above.push_back(p->Handle());
    return SaveScreenOf(form, above, file);
}
