#pragma once
// The text-command window "Serielle Kommunikation (MOLT30)": the channel to the door
// controller. It owns the port component Com2 (115200 baud, opened only on demand) and the
// trace list ListBox1; it sits at the right edge of the screen and shows only on demand.
// The channel's commands come with the door-controller pages.

#include <string>

#include "platform/forms/form.h"
#include "platform/forms/list_box.h"

class TSerComPort;

class TFormTxtCom : public TForm {
public:
    explicit TFormTxtCom(TComponent* AOwner);
    ~TFormTxtCom() override;
    std::string ClassName() const override { return "TFormTxtCom"; }

    void FormCreate();

    TListBox* ListBox1;
    TSerComPort* Com2;
};

extern TFormTxtCom* FormTxtCom;
