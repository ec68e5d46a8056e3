#include "app/pages/jobs/page_net.h"

#include <cstdio>

#include "app/common/comp_text.h"
#include "app/common/cust_msg.h"
#include "app/common/main_settings.h"
#include "app/common/unattended_run.h"
#include "app/config/device_tables.h"
#include "app/pages/jobs/job_arguments.h"
#include "app/pages/jobs/job_link.h"
#include "app/pages/main_pages.h"
#include "grid/columns/vx_db_grid_column.h"
#include "link/wait_for.h"
#include "memdata/vx_mem_data.h"
#include "platform/classes/file_utils.h"
#include "platform/classes/update_scope.h"
#include "platform/db/field.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/canvas.h"
#include "platform/rtl/scope_exit.h"
#include "program/program_context.h"
#include "program/program_dirs.h"
#include "program/run_program.h"

namespace {

constexpr const char* kNetInfoFile = "TOVAK-NETINFO.TXT";
constexpr const char* kStopped = "ended before the device list was read";

// An hourglass beside the "reading" text.
void DrawHourglass(TImage* image) {
    TBitmap bmp;
    bmp.SetWidth(32);
    bmp.SetHeight(32);
    TCanvas* c = bmp.Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(TRect{0, 0, 32, 32});
    c->Pen()->SetColor(0x000000);
    c->Brush()->SetColor(0xFFFFFF);
    c->Polygon({TPoint{6, 3}, TPoint{25, 3}, TPoint{16, 15}});
    c->Polygon({TPoint{16, 16}, TPoint{25, 28}, TPoint{6, 28}});
    c->Brush()->SetColor(0x0080C0);
    c->Polygon({TPoint{10, 27}, TPoint{16, 21}, TPoint{21, 27}});
    c->Pen()->SetWidth(2);
    c->MoveTo(4, 2);
    c->LineTo(28, 2);
    c->MoveTo(4, 29);
    c->LineTo(28, 29);
    image->Picture()->SetBitmap(&bmp);
}

}  // namespace

TPageNET::TPageNET(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    Label186 = b_.Label(p, "Label186", "NET-Info", 16, 16, true);
    Image1701 = b_.Make<TImage>(p, "Image1701", 16, 48, 32, 32);
    DrawHourglass(Image1701);
    Label1701 = b_.Label(p, "Label1701", "Daten werden eingelesen ...", 56, 58);
    Mem2 = MakeNetworkListTable(&Window());
    Data2 = MakeTableSource(&Window(), "Data2", Mem2);
    DBGrid17 = b_.Make<TvxDBGrid>(p, "DBGrid17", 16, 40, kPageWidth - 32, kButtonTop - 48);
    DBGrid17->SetVisible(false);
    // Every record is a row, found again by the table's record number; whole rows select.
    DBGrid17->SetShowRootIndent(false);
    DBGrid17->SetKeyField("RecId");
    TvxDBGridOptionsDB db = DBGrid17->OptionsDB();
    db.Include(edgoLoadAllRecords);
    DBGrid17->SetOptionsDB(db);
    TvxDBGridOptionsView view = DBGrid17->OptionsView();
    view.Include(edgoRowSelect);
    view.Include(edgoIndicator);
    DBGrid17->SetOptionsView(view);
    // One mask column per field, in the order of the network-information file; laid out
    // once, when all are there.
    {
        TUpdateScope<TCustomvxTreeList> update(DBGrid17);
        for (int i = 0; i < Mem2->FieldCount(); ++i) {
            TField* field = Mem2->Fields().Fields(i);
            if (field->FieldKind() != fkData) continue;
            auto* column = DBGrid17->CreateColumn<TvxDBGridMaskColumn>(&Window());
            column->SetName("DBGrid17" + field->FieldName());
            column->SetFieldName(field->FieldName());
        }
    }
    DBGrid17->SetDataSource(Data2);
    Button1701 = b_.ButtonRow(p, {{"Button1701", "&OK"}})[0];
    Button1701->OnClick = [this](TObject*) { Button1701Click(); };
}

void TPageNET::ShowReading(bool reading) {
    DBGrid17->SetVisible(!reading);
    Image1701->SetVisible(reading);
    Label1701->SetVisible(reading);
}

void TPageNET::Button1701Click() { Pages().CloseProgram(); }

void TPageNET::DeviceLost() {
    if (running_) Program().JobExitStatus = jeNoDevice;
}

void TPageNET::ShowNetInfo(const std::string& argument) {
    ShowReading(true);
    Show();
    LetWindowsRepaint();

    TNetInfoJob job;
    std::string error;
    if (!ParseNetInfoJob(argument, job, error)) {
        EndJobForArguments(Pages(), argument, error);
        return;
    }
    // A script gets the list only as its file: without the file there is nothing to give.
    if (Program().UnattendedRun && !Program().DbProtNetInfo) {
        EndJob(Pages(), argument, jeNothingToDo, "DBPROTNETINFO is off: no device list file is written");
        return;
    }
    bool read = false;
    {
        running_ = true;
        const TScopeExit ran([this] { running_ = false; });
        if (!OpenJobLink(Pages(), argument, job.Port, kStopped)) return;
        read = session_.WriteNetInfo();
    }
    // Esc and the window's close also close the link: only the link's own loss flag tells a
    // device that went away from a user who stopped the reading.
    const bool lost = !read && session_.Link().WasLost();
    const bool ended_by_hand = !read && !lost && (ProgramEnding() || Pages().ShownPage() != Index);
    Program().JobExitStatus = read ? jeDone : lost ? jeNoDevice : jeNoDeviceList;
    if (!read)
        std::fprintf(stderr, "tovak: %s: %s\n", argument.c_str(),
                     lost            ? "the device went away"
                     : ended_by_hand ? kStopped
                                     : "the device list is incomplete");
    // The reading counts its steps in the menu's display, which no menu page started here.
    progress_.ProgressHide();
    session_.ClosePort();
    // Otherwise the list shown next, empty or left from an earlier reading, would pass for
    // this bus. Leaving the page (Esc) or stopping the program is no failure to report, and
    // a job that only writes the file goes on without a box.
    if (!read && !ended_by_hand && job.Mode == "SHOW" && Pages().ShownPage() == Index)
        CustMessageDlg(GetCompTextLines(1198), mtCustInformation, mbCustCancel, 0);
    // A lost device has been shown and the start page is up, or the user has left the page:
    // there is no list to show.
    if ((lost || ended_by_hand) && job.Mode == "SHOW" && !Program().UnattendedRun) return;

    if (job.Mode != "SHOW") {
        // A failed read removed the file: there is nothing to open.
        if (job.Mode == "FILE" && read) RunProgram(Program().BaseDir, kNetInfoFile, "", false);
        Pages().CloseProgram();
        return;
    }
    const std::string found = FindFileCaseInsensitive(Program().BaseDir, kNetInfoFile);
    LoadNetworkList(*Mem2, found.empty() ? Program().BaseDir + kNetInfoFile : found);
    ShowReading(false);
    if (Program().UnattendedRun) Pages().CloseProgram();
}
