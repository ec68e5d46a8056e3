// The pages of the main window and their named controls, on one grid: 8-pixel margins and
// gaps, labels left of or above their fields, push buttons in a row at the bottom right.
// Pages whose work comes later carry their heading and the controls the start clears.

#include <algorithm>

#include "app/comp_text.h"
#include "app/main_form.h"
#include "app/page_builder.h"
#include "platform/forms/image.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/canvas.h"

namespace {

using Builder = TPageBuilder;

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

    // CFG: the configuration editor.
    BuildConfigPage(page(3));

    // WRX: writing the configuration.
    p = page(4);
    b.Label(p, "Label28", "Speichern der Konfiguration ...", 16, 16, true);
    b.LampRow(p, "Shape401", "Label29", "Eingänge", 16, 48);
    b.LampRow(p, "Shape402", "Label30", "Ausgänge", 16, 72);
    b.ButtonRow(p, {{"Button401", "Wiederholen"}, {"Button402", "Abbruch"}});

    // TST: the test page.
    BuildTestPage(page(5));

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
    WireConfigRoad();

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
