#include "link/form_sercom.h"

#include "link/sercom_link.h"
#include "platform/forms/screen.h"
#include "serial/ser_com_port.h"

TFormSercom* FormSercom = nullptr;

TFormSercom::TFormSercom(TComponent* AOwner) : TForm(AOwner) {
    SetName("FormSercom");
    SetCaption("Serielle Kommunikation");
    SetClientSize(360, 480);

    ToolBar1 = new TPanel(this);
    ToolBar1->SetName("ToolBar1");
    ToolBar1->SetParent(this);
    ToolBar1->SetCaption("");
    ToolBar1->SetAlign(alTop);
    ToolBar1->SetHeight(26);

    ListBox1 = new TListBox(this);
    ListBox1->SetName("ListBox1");
    ListBox1->SetParent(this);
    ListBox1->Font()->SetPitch(fpFixed);
    ListBox1->SetTop(26);
    ListBox1->SetHeight(268);
    ListBox1->SetAlign(alTop);
    ListBox1->OnDblClick = [this](TObject*) {
        if (link_) link_->ListBox1DblClick();
    };

    Splitter1 = new TPanel(this);
    Splitter1->SetName("Splitter1");
    Splitter1->SetParent(this);
    Splitter1->SetCaption("");
    Splitter1->SetBevelOuter(bvNone);
    Splitter1->SetTop(294);
    Splitter1->SetHeight(3);
    Splitter1->SetAlign(alTop);

    StatusBar1 = new TStatusBar(this);
    StatusBar1->SetName("StatusBar1");
    StatusBar1->SetParent(this);
    StatusBar1->SetAlign(alBottom);
    StatusBar1->Panels()->Add()->SetWidth(50);
    StatusBar1->Panels()->Add()->SetWidth(50);

    ListBox2 = new TListBox(this);
    ListBox2->SetName("ListBox2");
    ListBox2->SetParent(this);
    ListBox2->SetAlign(alClient);

    Com1 = new TSerComPort(this);
    Com1->SetName("Com1");
}

TFormSercom::~TFormSercom() {
    if (FormSercom == this) FormSercom = nullptr;
}

void TFormSercom::DoShow() {
    if (placePending_) {
        placePending_ = false;
        SetBounds(Screen->Width() - Width(), 0, Width(), Height());
    }
    TForm::DoShow();
}

void TFormSercom::TraceAdd(const std::string& line) {
    ListBox1->Items()->Add(line);
    ListBox1->SetItemIndex(ListBox1->Count() - 1);
}

std::vector<std::string> TFormSercom::TraceLines() const {
    std::vector<std::string> lines;
    TStrings* items = ListBox1->Items();
    lines.reserve(static_cast<size_t>(items->Count()));
    for (int i = 0; i < items->Count(); ++i) lines.push_back(items->Strings(i));
    return lines;
}

void TFormSercom::TraceClear() { ListBox1->Clear(); }

void TFormSercom::QueueAdd(const std::string& item) { ListBox2->Items()->Add(item); }

void TFormSercom::QueueDelete(int index) {
    if (index >= 0 && index < ListBox2->Count()) ListBox2->Items()->Delete(index);
}

void TFormSercom::SetStatusText(const std::string& text) { StatusBar1->Panels()->Items(1)->SetText(text); }
