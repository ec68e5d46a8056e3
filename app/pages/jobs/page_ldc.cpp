#include "app/pages/jobs/page_ldc.h"

#include "app/common/comp_text.h"
#include "app/common/unattended_run.h"
// Another road's page: the job opens the link on the configuration road's port.
#include "app/pages/configuration/page_com.h"
#include "app/pages/jobs/job_link.h"
#include "app/pages/main_pages.h"
#include "platform/classes/file_utils.h"
#include "program/program_context.h"
#include "program/program_dirs.h"

namespace {

constexpr TColor kGreen = 0x00FF00;
constexpr TColor kRed = 0x0000FF;
constexpr const char* kJob = "/LOADIOCFG";

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

void TPageLDC::DeviceLost() {
    // The page shows only for the job, and its link is open only while the page shows.
    if (Pages().ShownPage() == Index && Program().JobExitStatus == jeDone) Program().JobExitStatus = jeNoDevice;
}

void TPageLDC::LoadIoConfigFile(const std::string& fileName) {
    Button221->SetVisible(false);
    Show();
    LetWindowsRepaint();
    const std::string name = fileName.find('/') == std::string::npos ? Program().BaseDir + fileName : fileName;
    if (!FileExists(name)) {
        Program().JobExitStatus = jeNothingToDo;
        Button221->SetVisible(true);
        Shape221->Brush()->SetColor(kRed);
        Label221->SetCaption(GetCompText(2202) + ": \"" + name + "\"");
        if (Program().UnattendedRun) EndJob(Pages(), kJob, jeNothingToDo, "no file " + name);
        return;
    }
    Shape221->Brush()->SetColor(kGreen);
    Label221->SetCaption(GetCompText(2201) + ": \"" + name + "\"");
    LetWindowsRepaint();
    if (!OpenJobPort(Pages(), Pages().COM->ConfigPortNumber())) {
        Button221->SetVisible(true);
        Shape222->Brush()->SetColor(kRed);
        if (Program().UnattendedRun) EndJob(Pages(), kJob, jeNoDevice, "the port did not open");
        return;
    }
    // Nothing further is sent: with nobody to press "Abbruch", the job ends here.
    if (Program().UnattendedRun) {
        session_.ClosePort();
        Pages().CloseProgram();
    }
}
