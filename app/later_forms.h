#pragma once
// Windows of the start order whose contents come with their own pages: the control-text
// catalogue (the alarm-mask, block-text and code dialogs and the text-command window have
// their own files). Each is created at start and kept for the program's life.

#include "app/alarm_mask_form.h"
#include "app/code_change_form.h"
#include "app/code_form.h"
#include "app/config_string_form.h"
#include "link/form_txt_com.h"
#include "platform/forms/form.h"

#define TOVAK_EMPTY_FORM(Class, Global, Title)                                   \
    class Class : public TForm {                                                 \
    public:                                                                      \
        explicit Class(TComponent* AOwner) : TForm(AOwner) {                     \
            SetName(#Class + 1);                                                 \
            SetBorderStyle(bsDialog);                                            \
            SetCaption(Title);                                                   \
            SetClientSize(320, 160);                                             \
            SetPosition(poScreenCenter);                                         \
        }                                                                        \
        std::string ClassName() const override { return #Class; }                \
    };                                                                           \
    extern Class* Global;

TOVAK_EMPTY_FORM(TFormCompLst, FormCompLst, "Komponentenliste")

#undef TOVAK_EMPTY_FORM
