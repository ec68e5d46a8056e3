#include "serial/port_dialog.h"

#include <memory>

#include "platform/forms/application.h"
#include "platform/forms/bevel.h"
#include "platform/forms/button.h"
#include "platform/forms/combo_box.h"
#include "platform/forms/label.h"
#include "platform/rtl/convert.h"
#include "serial/ser_com_port.h"
#include "serial/ser_dispatcher.h"

namespace {

// A dispatcher used only to try a device name.
class TProbeDispatcher : public TSerWin32Dispatcher {
public:
    TProbeDispatcher() : TSerWin32Dispatcher(nullptr) {}
    // 0 when the device opened, else the system error of the attempt.
    unsigned Probe(const std::string& name) {
        if (OpenCom(name) >= 0) {
            CloseCom();
            return 0;
        }
        unsigned error = device_.LastError();
        return error == 0 ? 2 : error;
    }
};

constexpr unsigned kAccessDenied = 5;

template <class T>
T* Make(TComSelectForm* form, const char* name) {
    auto* c = new T(form);
    c->SetName(name);
    c->SetParent(form);
    return c;
}

}  // namespace

TComSelectForm::TComSelectForm(TComponent* AOwner) : TForm(AOwner) {
    IncludeState(csLoading);
    SetName("ComSelectForm");
    SetCaption("Select Port");
    SetBorderStyle(bsDialog);
    SetBorderIcons({biSystemMenu});
    SetPosition(poScreenCenter);
    SetClientWidth(220);
    SetClientHeight(131);
    Bevel1 = Make<TBevel>(this, "Bevel1");
    Bevel1->SetBounds(8, 8, 201, 42);
    Label1 = Make<TLabel>(this, "Label1");
    Label1->SetBounds(18, 14, 176, 13);
    Label1->SetCaption("The configured serial port is not valid.");
    Label2 = Make<TLabel>(this, "Label2");
    Label2->SetBounds(18, 30, 133, 13);
    Label2->SetCaption("Please choose another port.");
    OkBtn = Make<TButton>(this, "OkBtn");
    OkBtn->SetBounds(6, 96, 85, 27);
    OkBtn->SetCaption("OK");
    OkBtn->SetDefault(true);
    OkBtn->SetModalResult(mrOk);
    OkBtn->SetTabOrder(0);
    AbortBtn = Make<TButton>(this, "AbortBtn");
    AbortBtn->SetBounds(126, 95, 85, 27);
    AbortBtn->SetCaption("Cancel");
    AbortBtn->SetModalResult(mrCancel);
    AbortBtn->SetCancel(true);
    AbortBtn->SetTabOrder(1);
    PortsComboBox = Make<TComboBox>(this, "PortsComboBox");
    PortsComboBox->SetBounds(8, 64, 201, 21);
    PortsComboBox->SetStyle(csDropDownList);
    PortsComboBox->SetTabOrder(2);
    // OK with nothing to choose means the same as Cancel.
    OkBtn->OnClick = [this](TObject*) {
        if (PortsComboBox->ItemIndex() < 0) SetModalResult(mrCancel);
    };
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    for (int i = 0; i < ComponentCount(); ++i) Components(i)->Loaded();
    static_cast<TComponent*>(this)->Loaded();
    AfterConstruction();
}

void TComSelectForm::FormCreate(TObject*) {
    PortsComboBox->Items()->Clear();
    for (unsigned n = 1; n <= 50; ++n)
        if (IsPortAvailable(n)) PortsComboBox->Items()->Add("COM" + std::to_string(n));
    PortsComboBox->SetItemIndex(0);
}

bool TComSelectForm::IsPortAvailable(unsigned PortNumber) {
    if (PortNumber == 0) return false;
    TProbeDispatcher probe;
    unsigned error = probe.Probe("\\\\.\\COM" + std::to_string(PortNumber));
    // A port another program holds exists all the same.
    return error == 0 || error == kAccessDenied;
}

int TComSelectForm::SelectedPort() const {
    int i = PortsComboBox->ItemIndex();
    if (i < 0) return 0;
    return StrToIntDef(PortsComboBox->Items()->Strings(i).substr(3), 0);
}

void InstallPortSelectionDialog() {
    PortSelectionPrompt() = [](uint16_t& ComNumber) {
        auto form = std::make_unique<TComSelectForm>(EnsureApplication());
        if (form->ShowModal() != mrOk || form->SelectedPort() <= 0) return false;
        ComNumber = static_cast<uint16_t>(form->SelectedPort());
        return true;
    };
}
