#include "app/pages/control/page_ins.h"

#include <string>
#include <vector>

#include "app/config/install_pictures.h"
#include "program/text_utils.h"

namespace {

std::string TwoDigits(int n) { return IntToStrZero(n, 2); }

}  // namespace

TPageINS::TPageINS(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    std::vector<std::string> steps;
    for (int i = 0; i <= 13; ++i) steps.push_back(TwoDigits(i));
    Notebook11 = b_.Notebook(p, "Notebook11", steps, 0, 0, kPageWidth, kPageHeight);
    b_.Label(Notebook11->Page(1), "LabelIns01", "Installation", 16, 16, true);
    const auto start = b_.ButtonRow(Notebook11->Page(1), {{"Button11011", "&Start"}, {"Button11012", "&Abbruch"}});
    Button11011 = start[0];
    Button11012 = start[1];
    Button11011->OnClick = [this](TObject*) { Button11011Click(); };
    Button11012->OnClick = [this](TObject* s) { Button11012Click(s); };
    BuildDetection();
    BuildJumpers();
    BuildDoorPages();
    BuildDelays();
    BuildConfigurationRun();
    BuildButtonTest();
    BuildRecordCode();
}

TAppButton* TPageINS::StepPage(int page, const std::function<void()>& next, TAppButton** abort) {
    TPage* sheet = Notebook11->Page(page);
    b_.Label(sheet, "LabelIns" + TwoDigits(page), "Installation", 16, 16, true);
    const std::string stem = "Button11" + TwoDigits(page);
    const auto row = b_.ButtonRow(sheet, {{stem + "1", "&Weiter"}, {stem + "2", "&Abbruch"}});
    row[0]->OnClick = [next](TObject*) { next(); };
    row[1]->OnClick = [this](TObject* s) { Button11012Click(s); };
    if (abort) *abort = row[1];
    return row[0];
}

void TPageINS::BuildDetection() {
    Button11021 = StepPage(
        2, [this] { Button11021Click(); }, &Button11022);
    TPage* sheet = Notebook11->Page(2);
    b_.Label(sheet, "LabelIns02a", "Angeschlossene Geräte:", 16, 48);
    for (int s = 1; s <= 12; ++s) {
        const int x = 16 + ((s - 1) / 6) * 296, y = 72 + ((s - 1) % 6) * 24;
        b_.Label(sheet, "LabelIns02s" + TwoDigits(s), TwoDigits(s) + ".", x, y + 2);
        b_.LampRow(sheet, "Shape110" + TwoDigits(s), "Label110" + TwoDigits(s), "", x + 32, y);
    }
}

void TPageINS::BuildJumpers() {
    Button11031 = StepPage(3, [this] { Button11031Click(); });
    TPage* sheet = Notebook11->Page(3);
    const int column[3] = {184, 216, 248};
    for (int j = 1; j <= 3; ++j) {
        b_.Label(sheet, "LabelIns03j" + std::to_string(j), "J" + std::to_string(j), column[j - 1] + 4, 48);
        TImage* pattern = b_.Make<TImage>(sheet, "Image1100" + std::to_string(j), 560, 16 + (j - 1) * 40,
                                          kJumperPictureWidth, kJumperPictureHeight);
        TBitmap bmp;
        DrawJumperPicture(&bmp, j == 1 ? TJumperPicture::Set : j == 2 ? TJumperPicture::Open : TJumperPicture::Mixed);
        pattern->Picture()->SetBitmap(&bmp);
        pattern->SetVisible(false);
        TemplateImages[static_cast<size_t>(j - 1)] = pattern;
    }
    for (int box = 1; box <= 8; ++box) {
        const int y = 66 + (box - 1) * 40;
        boxLabels_[static_cast<size_t>(box)] = b_.Label(sheet, "Label11031" + std::to_string(box),
                                                        std::to_string(box) + ":    ----", 16, y + 10);
        for (int j = 1; j <= 3; ++j) {
            TImage* image = b_.Make<TImage>(sheet, "Image110" + std::to_string(box) + std::to_string(j), column[j - 1],
                                            y, kJumperPictureWidth, kJumperPictureHeight);
            image->SetVisible(false);
            boxImages_[static_cast<size_t>(box)][static_cast<size_t>(j)] = image;
        }
    }
    Label11032 = b_.Label(sheet, "Label11032", "", 16, 400);
}

void TPageINS::BuildDoorPages() {
    Button11041 = StepPage(4, [this] { Button11041Click(); });
    b_.Label(Notebook11->Page(4), "LabelIns04a", "Schließen Sie bitte die Tür!", 16, 48);
    Button11051 = StepPage(5, [this] { Button11051Click(); });
    b_.Label(Notebook11->Page(5), "LabelIns05a", "Tür entriegeln:", 16, 48);
    Shape11051 = b_.Lamp(Notebook11->Page(5), "Shape11051", 16, 72);
    Label11051 = b_.Label(Notebook11->Page(5), "Label11051", "", 40, 74);
    Button11091 = StepPage(9, [this] { Button11091Click(); });
    b_.Label(Notebook11->Page(9), "LabelIns09a", "Schließen Sie bitte die Tür!", 16, 48);
}

void TPageINS::BuildDelays() {
    Button11061 = StepPage(6, [this] { Button11061Click(); });
    TPage* sheet = Notebook11->Page(6);
    b_.Label(sheet, "LabelIns06a", "Zeitverzögerung t1 [s]:", 16, 52);
    Edit11061 = b_.Edit(sheet, "Edit11061", 184, 48, 81);
    b_.Label(sheet, "LabelIns06b", "Zeitverzögerung t2 [s]:", 16, 84);
    Edit11062 = b_.Edit(sheet, "Edit11062", 184, 80, 81);
    // Tab goes from the fields above to the step buttons below, as the eye does.
    Edit11061->SetTabOrder(0);
    Edit11062->SetTabOrder(1);

    Button11081 = StepPage(8, [this] { Button11081Click(); });
    sheet = Notebook11->Page(8);
    b_.Label(sheet, "LabelIns08a", "Überprüfen zurückgelesene Werte:", 16, 48);
    b_.Label(sheet, "LabelIns08b", "Zeitverzögerung t1 [s]:", 16, 74);
    Label11081 = b_.Label(sheet, "Label11081", "", 184, 74, true);
    b_.Label(sheet, "LabelIns08c", "Zeitverzögerung t2 [s]:", 16, 96);
    Label11082 = b_.Label(sheet, "Label11082", "", 184, 96, true);
}

void TPageINS::BuildConfigurationRun() {
    TPage* sheet = Notebook11->Page(7);
    b_.Label(sheet, "LabelIns07", "Installation", 16, 16, true);
    b_.Label(sheet, "LabelIns07a", "Konfiguration der Geräte wird durchgeführt.", 16, 48);
    b_.Label(sheet, "LabelIns07b", "(Dieser Vorgang dauert ca. 60 Sekunden ...)", 16, 66);
    const char* marks[] = {"Parameter gesendet", "Konfiguration übernehmen", "Reset durchgeführt",
                           "Konfiguration eingelesen"};
    TBitmap tick;
    DrawStepTick(&tick);
    for (int k = 1; k <= 4; ++k) {
        const int y = 92 + (k - 1) * 22;
        TImage* image = b_.Make<TImage>(sheet, "Image110" + std::to_string(k), 16, y, 16, 16);
        image->Picture()->SetBitmap(&tick);
        image->SetVisible(false);
        StepImages[static_cast<size_t>(k)] = image;
        StepLabels[static_cast<size_t>(k)] = b_.Label(sheet, "Label110" + std::to_string(k), marks[k - 1], 40, y + 2);
        StepLabels[static_cast<size_t>(k)]->Font()->SetColor(clGray);
    }
    Image1102 = StepImages[2];
    Image1103 = StepImages[3];
    Image1104 = StepImages[4];
    Label1102 = StepLabels[2];
    Label1103 = StepLabels[3];
    Label1104 = StepLabels[4];
    ListBox11 = b_.Make<TListBox>(sheet, "ListBox11", 16, 184, 576, 208);
    ProgressBar11 = b_.Make<TProgressBar>(sheet, "ProgressBar11", 16, 400, 576, 16);
    ProgressBar11->SetMax(800);
    ProgressBar11->SetVisible(false);
}

void TPageINS::BuildButtonTest() {
    Button11101 = StepPage(10, [this] { Button11101Click(); });
    TPage* sheet = Notebook11->Page(10);
    b_.Label(sheet, "LabelIns10a", "Funktionstest der NOT-AUF-Taster", 16, 48);
    for (int s = 1; s <= 4; ++s) {
        const int y = 72 + (s - 1) * 24;
        b_.Label(sheet, "LabelIns10s" + std::to_string(s), TwoDigits(s) + ".", 16, y + 2);
        b_.LampRow(sheet, "Shape1110" + std::to_string(s), "Label1110" + std::to_string(s), "", 48, y);
    }
    Label11110 = b_.Label(sheet, "Label11110", "KZN-Boxen:", 16, 178);
    Shape11110 = b_.Lamp(sheet, "Shape11110", 104, 176);
    Label11111 = b_.Label(sheet, "Label11111", "", 128, 178);

    Button11111 = StepPage(11, [this] { Button11111Click(); });
    CheckEdit11111 = b_.Make<TAppCheckEdit>(Notebook11->Page(11), "CheckEdit11111", 16, 48, 320, 17);
    CheckEdit11111->SetCaption("Bestätigung, Tür lässt sich öffnen");
    CheckEdit11111->OnChange = [this](TObject*) { CheckEdit11111Change(); };
    CheckEdit11111->SetTabOrder(0);
}

void TPageINS::BuildRecordCode() {
    TPage* sheet = Notebook11->Page(12);
    b_.Label(sheet, "LabelIns12", "Installation", 16, 16, true);
    b_.Label(sheet, "LabelIns12a", "Notieren Sie den Systemcode", 16, 48);
    b_.Label(sheet, "LabelIns12b", "im Installationsprotkoll:", 16, 66);
    Label11121 = b_.Label(sheet, "Label11121", "", 16, 96, true);
    Edit11121 = b_.Edit(sheet, "Edit11121", 16, 120, 400);
    Edit11121->SetVisible(false);
    Button11123 = b_.Button(sheet, "Button11123", "&Kopieren des Systemcodes in die Zwischenablage", 16, 128);
    Button11121 = b_.ButtonRow(sheet, {{"Button11121", "&OK"}})[0];
    Button11123->OnClick = [this](TObject*) { Button11123Click(); };
    Button11121->OnClick = [this](TObject*) { Button11121Click(); };

    b_.Label(Notebook11->Page(13), "LabelIns13", "Installation", 16, 16, true);
    Button11131 = b_.ButtonRow(Notebook11->Page(13), {{"Button11131", "&Ende"}})[0];
    Button11131->OnClick = [this](TObject*) { Button11131Click(); };
}

TLabel* TPageINS::InstallSlotLabel(int box) const {
    return box >= 1 && box <= 8 ? boxLabels_[static_cast<size_t>(box)] : nullptr;
}

TImage* TPageINS::InstallImage(int box, int jumper) const {
    if (box < 1 || box > 8 || jumper < 1 || jumper > 3) return nullptr;
    return boxImages_[static_cast<size_t>(box)][static_cast<size_t>(jumper)];
}
