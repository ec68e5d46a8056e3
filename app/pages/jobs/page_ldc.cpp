#include "app/pages/jobs/page_ldc.h"

#include "app/common/comp_text.h"
// Another road's page: the job opens the link on the configuration road's port.
#include "app/pages/configuration/page_com.h"
#include "app/pages/main_pages.h"
#include "platform/classes/file_utils.h"
#include "program/program_context.h"
#include "program/program_dirs.h"

namespace {

constexpr TColor kGreen = 0x00FF00;
constexpr TColor kRed = 0x0000FF;

}  // namespace

TPageLDC::TPageLDC(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    Label220 = b_.Label(p, "Label220", "Laden Tessel-Konfiguration", 16, 16, true);
    TShape** lamps[] = {&Shape221, &Shape222, &Shape223, &Shape224};
    TLabel** labels[] = {&Label221, &Label222, &Label223, &Label224};
    const char* const captions[] = {"", "Verbindung", "Senden Eingänge", "Senden Ausgänge"};
    for (int i = 0; i < 4; ++i) {
        *lamps[i] = b_.Lamp(p, "Shape22" + std::to_string(i + 1), 16, 48 + i * 24);
        *labels[i] = b_.Label(p, "Label22" + std::to_string(i + 1), captions[i], 40, 50 + i * 24);
    }
    Button221 = b_.ButtonRow(p, {{"Button221", "&Abbruch"}})[0];
    Button221->OnClick = [this](TObject*) { Button221Click(); };
}

void TPageLDC::Button221Click() { Pages().CloseProgram(); }

void TPageLDC::LoadIoConfigFile(const std::string& fileName) {
    Button221->SetVisible(false);
    Show();
    LetWindowsRepaint();
    const std::string name = fileName.find('/') == std::string::npos ? Program().BaseDir + fileName : fileName;
    if (FileExists(name)) {
        Shape221->Brush()->SetColor(kGreen);
        Label221->SetCaption(GetCompText(2201) + ": \"" + name + "\"");
        LetWindowsRepaint();
        session_.OpenPort(Pages().COM->ConfigPortNumber(), true);
        if (!session_.LinkState.PortOpen) {
            Button221->SetVisible(true);
            Shape222->Brush()->SetColor(kRed);
        }
    } else {
        Button221->SetVisible(true);
        Shape221->Brush()->SetColor(kRed);
        Label221->SetCaption(GetCompText(2202) + ": \"" + name + "\"");
    }
}
