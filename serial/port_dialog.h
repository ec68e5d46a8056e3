#pragma once
// TComSelectForm: the small modal dialog that lets the user choose a serial port when a
// port component is opened without a number. It lists COM1..COM50 that open, or that exist
// but are held by another program, and answers the chosen number. OK with an empty list
// counts as Cancel.

#include "platform/forms/form.h"

class TLabel;
class TBevel;
class TButton;
class TComboBox;

class TComSelectForm : public TForm {
public:
    explicit TComSelectForm(TComponent* AOwner);
    std::string ClassName() const override { return "TComSelectForm"; }

    // Fills the list (runs when the form is created).
    void FormCreate(TObject* Sender);
    bool IsPortAvailable(unsigned PortNumber);
    // The number of the chosen entry (0 when none is chosen).
    int SelectedPort() const;

    TLabel* Label1;
    TLabel* Label2;
    TBevel* Bevel1;
    TButton* OkBtn;
    TButton* AbortBtn;
    TComboBox* PortsComboBox;
};

// Makes the port component's prompt show this dialog (the application calls it at start).
void InstallPortSelectionDialog();
