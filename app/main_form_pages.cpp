// The pages of the main window and their named controls, on one grid: 8-pixel margins and
// gaps, labels left of or above their fields, push buttons in a row at the bottom right.
// Pages whose work comes later carry their heading and the controls the start clears.

#include <algorithm>

#include "app/comp_text.h"
#include "app/main_form.h"
#include "platform/forms/image.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/canvas.h"

namespace {

constexpr int kPageWidth = 608;
constexpr int kPageHeight = 408;
constexpr int kButtonHeight = 25;
constexpr int kButtonTop = kPageHeight - 8 - kButtonHeight;

const char* const kPageNames[26] = {"SEL", "COM", "RDX", "CFG", "WRX", "TST", "COC", "MEN", "STG",
                                    "BEN", "EIN", "EI2", "INS", "WAR", "WAW", "EIG", "DEV", "NET",
                                    "ROD", "PWX", "TX1", "TX2", "LDC", "SVC", "CT1", "CT2"};

class Builder {
public:
    explicit Builder(TForm1* form) : form_(form) {}

    template <class T>
    T* Make(TWinControl* parent, const std::string& name, int l, int t, int w, int h) {
        T* c = new T(form_);
        c->SetName(name);
        c->SetParent(parent);
        c->SetBounds(l, t, w, h);
        return c;
    }
    TLabel* Label(TWinControl* parent, const std::string& name, const std::string& caption, int l, int t,
                  bool bold = false) {
        TLabel* c = Make<TLabel>(parent, name, l, t, 8, 13);
        if (bold) c->Font()->SetStyle({fsBold});
        c->SetCaption(caption);
        return c;
    }
    TShape* Lamp(TWinControl* parent, const std::string& name, int l, int t) {
        TShape* s = Make<TShape>(parent, name, l, t, 16, 16);
        s->Brush()->SetColor(0xFFFFFF);
        return s;
    }
    // A lamp with its label to the right.
    void LampRow(TWinControl* parent, const std::string& shape, const std::string& label, const std::string& caption,
                 int l, int t) {
        Lamp(parent, shape, l, t);
        Label(parent, label, caption, l + 24, t + 2);
    }
    int ButtonWidth(const std::string& caption) {
        std::string plain;
        for (char ch : caption)
            if (ch != '&') plain += ch;
        measure_.Canvas()->Font()->SetStyle({});
        const int w = measure_.Canvas()->TextWidth(plain) + 24;
        return std::max(73, (w + 7) / 8 * 8);
    }
    TAppButton* Button(TWinControl* parent, const std::string& name, const std::string& caption, int l, int t,
                       int w = 0) {
        TAppButton* b = Make<TAppButton>(parent, name, l, t, w > 0 ? w : ButtonWidth(caption), kButtonHeight);
        b->SetCaption(caption);
        return b;
    }
    // Buttons in a row ending at the page's bottom right, in the given order left to right.
    void ButtonRow(TWinControl* parent, const std::vector<std::pair<std::string, std::string>>& buttons) {
        int x = kPageWidth - 8;
        std::vector<int> widths;
        for (const auto& b : buttons) widths.push_back(ButtonWidth(b.second));
        for (int w : widths) x -= w + 8;
        x += 8;
        for (size_t i = 0; i < buttons.size(); ++i) {
            Button(parent, buttons[i].first, buttons[i].second, x, kButtonTop, widths[i]);
            x += widths[i] + 8;
        }
    }
    TAppEdit* Edit(TWinControl* parent, const std::string& name, int l, int t, int w = 121) {
        TAppEdit* e = Make<TAppEdit>(parent, name, l, t, w, 21);
        e->SetText("");
        return e;
    }
    TAppImageEdit* ImageEdit(TWinControl* parent, const std::string& name, int l, int t, int w = 121) {
        return Make<TAppImageEdit>(parent, name, l, t, w, 21);
    }
    TNotebook* Notebook(TWinControl* parent, const std::string& name, const std::vector<std::string>& pages, int l,
                        int t, int w, int h) {
        TNotebook* nb = Make<TNotebook>(parent, name, l, t, w, h);
        nb->SetPages(pages);
        nb->SetPageIndex(0);
        return nb;
    }
    // The port entry of a road: entry field, list of found adapters, or the notice.
    TNotebook* PortEntry(TWinControl* parent, const std::string& notebook, const std::string& edit,
                         const std::string& list, const std::string& notice, int l, int t) {
        TNotebook* nb = Notebook(parent, notebook, {"EDIT", "LIST", "NONE"}, l, t, 400, 24);
        Edit(nb->Page(0), edit, 0, 0, 121);
        ImageEdit(nb->Page(1), list, 0, 0, 121);
        TLabel* l2 = Label(nb->Page(2), notice, "Kein Tangor (Schnittstellenadapter) gefunden !", 0, 4, true);
        l2->Font()->SetColor(0x0000FF);
        return nb;
    }

private:
    TForm1* form_;
    TBitmap measure_{1, 1};
};

}  // namespace

void TForm1::BuildPages() {
    Builder b(this);
    Notebook1 = b.Make<TNotebook>(this, "Notebook1", 4, 4, kPageWidth, kPageHeight);
    Notebook1->SetPages(std::vector<std::string>(std::begin(kPageNames), std::end(kPageNames)));
    auto page = [this](int i) { return Notebook1->Page(i); };

    // SEL: the start page.
    TPage* p = page(0);
    b.Label(p, "Label001", "Modus auswählen:", 16, 16, true);
    b.Button(p, "Button001", "System steuern oder konfigurieren", 16, 40, 264)->OnClick = [this](TObject*) {
        Button001Click();
    };
    b.Button(p, "Button002", "Portalis konfigurieren", 16, 72, 264)->OnClick = [this](TObject*) { Button002Click(); };
    b.Button(p, "Button003", "MOLT-30 konfigurieren", 16, 104, 264);
    b.Button(p, "Button004", "KZN konfigurieren", 16, 136, 264);

    // COM: port of the configuration road.
    p = page(1);
    b.Label(p, "Label7", "Schnittstellen-Nummer für Datenübertragung angeben:", 16, 16, true);
    Notebook2 = b.PortEntry(p, "Notebook2", "Edit101", "ImageEdit101", "Label101", 16, 40);
    ListBox101 = b.Make<TListBox>(p, "ListBox101", 16, 80, 288, 120);
    ListBox102 = b.Make<TListBox>(p, "ListBox102", 312, 80, 120, 120);
    ListBox101->SetVisible(false);
    ListBox102->SetVisible(false);
    b.ButtonRow(p, {{"Button101", "Konfiguration auslesen"}, {"Button102", "Ohne Auslesen weiter"}, {"Button103", "Abbruch"}});

    // RDX: reading the configuration.
    p = page(2);
    b.Label(p, "Label8", "Einlesen der Konfiguration ...", 16, 16, true);
    b.LampRow(p, "Shape201", "Label9", "Eingänge", 16, 48);
    b.LampRow(p, "Shape202", "Label10", "Ausgänge", 16, 72);
    b.ButtonRow(p, {{"Button201", "Zurück zur COM-Eingabe"}, {"Button202", "Ohne Auslesen weiter"}, {"Button203", "Abbruch"}});

    // CFG: the configuration editor (rows come with the editor page).
    p = page(3);
    b.Label(p, "Label11", "Konfiguration der Eingangs- und Ausgangsfunktionen", 16, 16, true);
    b.ImageEdit(p, "ImageEdit300", 16, 40, 264);
    TPageControl* pc1 = b.Make<TPageControl>(p, "PageControl1", 16, 72, kPageWidth - 32, 288);
    for (int i = 1; i <= 2; ++i) {
        TTabSheet* ts = b.Make<TTabSheet>(pc1, "TabSheet" + std::to_string(i), 0, 0, 10, 10);
        ts->SetPageControl(pc1);
        ts->SetCaption(i == 1 ? "Eingänge" : "Ausgänge");
        b.Label(ts, "Label3" + std::to_string(i), i == 1 ? "Eingänge" : "Ausgänge", 8, 8, true);
    }

    // WRX: writing the configuration.
    p = page(4);
    b.Label(p, "Label28", "Speichern der Konfiguration ...", 16, 16, true);
    b.LampRow(p, "Shape401", "Label29", "Eingänge", 16, 48);
    b.LampRow(p, "Shape402", "Label30", "Ausgänge", 16, 72);
    b.ButtonRow(p, {{"Button401", "Wiederholen"}, {"Button402", "Abbruch"}});

    // TST: the test page.
    p = page(5);
    b.Label(p, "Label501", "COM:", 16, 20);
    Edit501 = b.Edit(p, "Edit501", 56, 16, 57);
    b.Label(p, "Label503", "Eingänge:", 16, 52);
    b.Edit(p, "Edit502", 96, 48, 496);
    b.Label(p, "Label504", "Ausgänge:", 16, 84);
    b.Edit(p, "Edit503", 96, 80, 496);
    b.Label(p, "Label502", "", 16, 112);
    b.Label(p, "Label511", "", 16, 136);
    TPageControl* pc2 = b.Make<TPageControl>(p, "PageControl2", 16, 160, 280, 160);
    for (int i = 3; i <= 4; ++i) {
        TTabSheet* ts = b.Make<TTabSheet>(pc2, "TabSheet" + std::to_string(i), 0, 0, 10, 10);
        ts->SetPageControl(pc2);
        ts->SetCaption(i == 3 ? "MR" : "Belvar");
    }
    for (int i = 0; i < 5; ++i) b.Label(pc2->Pages(0), "Label55" + std::to_string(i), "", 8, 8 + i * 20);
    b.Make<TComboBox>(p, "ComboBox551", 312, 160, 137, 21);
    b.Edit(p, "Edit552", 312, 192, 137);
    b.Edit(p, "Edit553", 312, 224, 137);
    Notebook91 = b.Notebook(p, "Notebook91", {"0", "1"}, 312, 256, 280, 64);
    b.ButtonRow(p, {{"Button501", "&Open"}, {"Button502", "&Close"}, {"Button503", "&1 Read"}, {"Button504", "&2 Write"},
                    {"Button505", "&3 Read"}, {"Button506", "&4 Write"}});

    // COC: port of the control road.
    p = page(6);
    b.Label(p, "Label61", "Schnittstellen-Nummer für Datenübertragung angeben:", 16, 16, true);
    Notebook3 = b.PortEntry(p, "Notebook3", "Edit601", "ImageEdit601", "Label602", 16, 40);
    b.ButtonRow(p, {{"Button601", "Start"}, {"Button603", "Abbruch"}});

    // MEN: the menu, with the step progress of the device dialogues.
    p = page(7);
    b.Label(p, "Label71", "Menü", 16, 16, true);
    const std::pair<const char*, const char*> entries[] = {
        {"Button711", "Information"},          {"Button712", "Steuerung"},          {"Button721", "Installation"},
        {"Button722", "Wartung"},              {"Button731", "System-Einstellungen"}, {"Button732", "Benutzerverwaltung"},
        {"Button741", "Geräte-Einstellungen"}};
    for (size_t i = 0; i < std::size(entries); ++i)
        b.Button(p, entries[i].first, entries[i].second, 16 + static_cast<int>(i % 2) * 200,
                 40 + static_cast<int>(i / 2) * 32, 184);
    b.Make<TAppCheckEdit>(p, "CheckEdit701", 16, 176, 264, 17)->SetCaption("Daten Geräteliste neu einlesen");
    Label701 = b.Label(p, "Label701", "", 16, 216);
    ProgressBar701 = b.Make<TProgressBar>(p, "ProgressBar701", 16, 232, 384, 16);
    Label702 = b.Label(p, "Label702", "", 408, 234);
    b.ButtonRow(p, {{"Button742", "Abbruch"}});

    // STG: state of the door system.
    p = page(8);
    b.Label(p, "Label80", "", 16, 16, true);
    b.LampRow(p, "Shape81", "Label81", "", 16, 40);
    b.LampRow(p, "Shape82", "Label82", "", 16, 64);
    b.Make<TListBox>(p, "ListBox81", 16, 88, 184, 80);
    b.Make<TListBox>(p, "ListBox82", 208, 88, 184, 80);
    b.Make<TListBox>(p, "ListBox83", 400, 88, 192, 80);
    for (int s = 1; s <= 12; ++s) {
        const int x = 16 + ((s - 1) / 6) * 296, y = 176 + ((s - 1) % 6) * 24;
        b.LampRow(p, "Shape" + std::to_string(800 + s), "Label" + std::to_string(800 + s), "", x, y);
        b.Label(p, "Label" + std::to_string(820 + s), "", x + 184, y + 2);
    }
    b.Label(p, "Label800", "", 16, 328);
    TLabel* l189 = b.Label(p, "Label189", "", 16, 348);
    l189->Font()->SetColor(0x0000FF);

    // Pages whose work comes with their own parts: heading only, plus what the start uses.
    b.Label(page(9), "Label91", "Benutzerverwaltung", 16, 16, true);
    b.Label(page(10), "Label1001", "System-Einstellungen", 16, 16, true);
    b.Make<TProgressBar>(page(10), "ProgressBar1001", 16, 352, 384, 16)->SetVisible(false);
    b.Label(page(11), "Label1101", "Erweiterte System-Einstellungen", 16, 16, true);

    // INS: the installation wizard with its own notebook of steps.
    p = page(12);
    std::vector<std::string> steps;
    for (int i = 0; i <= 13; ++i) steps.push_back(std::string(i < 10 ? "0" : "") + std::to_string(i));
    Notebook11 = b.Notebook(p, "Notebook11", steps, 0, 0, kPageWidth, kPageHeight);
    for (int i = 2; i <= 4; ++i) {
        b.Make<TImage>(Notebook11->Page(7), "Image110" + std::to_string(i), 16, 16 + (i - 2) * 24, 16, 16)
            ->SetVisible(false);
        b.Label(Notebook11->Page(7), "Label110" + std::to_string(i), "", 40, 18 + (i - 2) * 24);
    }
    ListBox11 = b.Make<TListBox>(Notebook11->Page(7), "ListBox11", 16, 96, 576, 200);
    b.Make<TProgressBar>(Notebook11->Page(7), "ProgressBar11", 16, 304, 576, 16)->SetVisible(false);
    b.LampRow(Notebook11->Page(5), "Shape11051", "Label11051", "", 16, 16);

    b.Label(page(13), "Label1301", "Wartung", 16, 16, true);
    p = page(14);
    Notebook21 = b.Notebook(p, "Notebook21", {"00", "01", "02", "03", "04", "05", "06", "07", "08", "09", "10-RRM1", "11-RRM2"},
                            0, 0, kPageWidth, kPageHeight);
    b.Label(p, "Label190", "", 16, 16);

    p = page(15);
    b.Label(p, "Label1500", "Geräte-Einstellungen", 16, 16, true);
    b.ImageEdit(p, "ImageEdit1501", 16, 40, 264);
    b.ImageEdit(p, "ImageEdit1502", 16, 72, 264);
    b.Make<TProgressBar>(p, "ProgressBar1501", 16, 352, 384, 16)->SetVisible(false);

    b.Label(page(16), "Label1601", "Geräte-Übersicht", 16, 16, true);
    b.Label(page(17), "Label1701", "Netzwerk-Information", 16, 16, true);
    b.Label(page(18), "Label1801", "Objektverzeichnis", 16, 16, true);

    // PWX: the pass word in front of the test page.
    p = page(19);
    b.Label(p, "Label1901", "Passwort eingeben:", 16, 20);
    TMaskEdit* pwd = b.Make<TMaskEdit>(p, "MaskEdit191", 136, 16, 121, 21);
    pwd->SetPasswordChar(U'*');

    // TX1, TX2: the text catalogue, never shown.
    CreateCompTextLabels(this, page(20), page(21));

    // LDC, SVC: the file jobs of the command line.
    p = page(22);
    b.Label(p, "Label220", "Laden Tessel-Konfiguration", 16, 16, true);
    b.LampRow(p, "Shape221", "Label221", "", 16, 48);
    b.LampRow(p, "Shape222", "Label222", "Verbindung", 16, 72);
    b.LampRow(p, "Shape223", "Label223", "Senden Eingänge", 16, 96);
    b.LampRow(p, "Shape224", "Label224", "Senden Ausgänge", 16, 120);
    b.ButtonRow(p, {{"Button221", "&Abbruch"}});
    p = page(23);
    b.Label(p, "Label230", "Speichern Tessel-Konfiguration", 16, 16, true);
    b.ButtonRow(p, {{"Button231", "&Abbruch"}});

    // CT1, CT2: the door controller.
    p = page(24);
    b.Label(p, "Label191", "Schnittstellen-Nummer für Datenübertragung angeben:", 16, 16, true);
    Notebook2401 = b.PortEntry(p, "Notebook2401", "Edit2401", "ImageEdit2401", "Label192", 16, 40);
    b.ButtonRow(p, {{"Button2401", "Start"}, {"Button2402", "Abbruch"}});
    b.Label(page(25), "Label193", "MOLT-30 Konfiguration", 16, 16, true);

    Edit101 = Ctl<TAppEdit>("Edit101");
    Edit601 = Ctl<TAppEdit>("Edit601");
    Edit2401 = Ctl<TAppEdit>("Edit2401");
    ImageEdit101 = Ctl<TAppImageEdit>("ImageEdit101");
    ImageEdit601 = Ctl<TAppImageEdit>("ImageEdit601");
    ImageEdit2401 = Ctl<TAppImageEdit>("ImageEdit2401");
    Button101 = Ctl<TAppButton>("Button101");
    Button601 = Ctl<TAppButton>("Button601");
    Button2401 = Ctl<TAppButton>("Button2401");
    Button601->OnClick = [this](TObject*) { Button601Click(); };
    Ctl<TAppButton>("Button221")->OnClick = [this](TObject*) { Button221Click(); };
    Ctl<TAppButton>("Button231")->OnClick = [this](TObject*) { Button231Click(); };

    StatusBar1 = b.Make<TStatusBar>(this, "StatusBar1", 0, 0, 100, 19);
    StatusBar1->SetAlign(alBottom);
    StatusBar1->SetSizeGrip(false);  // the window keeps its size
    StatusBar1->Panels()->Add()->SetWidth(80);
    StatusBar1->Panels()->Add()->SetWidth(64);
    StatusBar1->Panels()->Add()->SetWidth(50);

    Timer1 = new TTimer(this);
    Timer1->SetName("Timer1");
    Timer1->SetEnabled(false);
    Timer1->SetInterval(100);
    Timer1->OnTimer = [this](TObject*) { Timer1Timer(); };
    Timer2 = new TTimer(this);
    Timer2->SetName("Timer2");
    Timer2->SetEnabled(false);
    Timer2->SetInterval(200);
    Timer2->OnTimer = [this](TObject*) { Timer2Timer(); };
    Timer3 = new TTimer(this);
    Timer3->SetName("Timer3");
    Timer3->SetEnabled(false);
}
