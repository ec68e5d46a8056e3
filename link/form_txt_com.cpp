#include "link/form_txt_com.h"

#include "platform/forms/screen.h"
#include "serial/ser_com_port.h"

TFormTxtCom* FormTxtCom = nullptr;

TFormTxtCom::TFormTxtCom(TComponent* AOwner) : TForm(AOwner) {
    SetName("FormTxtCom");
    SetCaption("Serielle Kommunikation (MOLT30)");
    SetClientSize(360, 320);

    ListBox1 = new TListBox(this);
    ListBox1->SetName("ListBox1");
    ListBox1->SetParent(this);

    Com2 = new TSerComPort(this);
    Com2->SetName("Com2");
    Com2->SetAutoOpen(false);
    Com2->SetBaud(115200);
    OnCreate = [this](TObject*) { FormCreate(); };
}

TFormTxtCom::~TFormTxtCom() {
    if (FormTxtCom == this) FormTxtCom = nullptr;
}

void TFormTxtCom::FormCreate() {
    ListBox1->SetAlign(alClient);
    SetBounds(Screen->Width() - Width(), 0, Width(), Height());
}
