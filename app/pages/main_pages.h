#pragma once
// The pages of the main window's notebook Notebook1, one object per page, built in page
// order (so the components keep their order for the control-text catalogue). A new page
// class takes its place here: its declaration, a field named after the page, and a line in
// the constructor with its include (main_pages.cpp). A page that reaches another page
// includes that page's header: each road says which of another road's pages it reaches.
// What several pages share, they do through the operations and the flags here, never through
// another page's controls or click handlers; what they need of the main window (the shown
// page, the program's end, its read-out timer) too.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/rtl/date_time.h"

class TDeviceSession;
class TForm;
class TNotebook;
class TStepProgress;
class TTimer;
class TPageBEN;
class TPageCFG;
class TPageCOC;
class TPageCOM;
class TPageCT1;
class TPageCT2;
class TPageDEV;
class TPageEI2;
class TPageEIG;
class TPageEIN;
class TPageINS;
class TPageLDC;
class TPageMEN;
class TPageNET;
class TPagePWX;
class TPageRDX;
class TPageROD;
class TPageSEL;
class TPageSTG;
class TPageSVC;
class TPageTST;
class TPageTX1;
class TPageTX2;
class TPageWAR;
class TPageWAW;
class TPageWRX;

// The door commands of the state page and the maintenance wizard.
enum class TDoorCommand : uint8_t {
    ShortRelease = 0x00,
    Release = 0x01,
    Lock = 0x02,
    Acknowledge = 0x03,
    Reset = 0x04,
};

struct TMainPages {
private:
    // First: the pages built below take them.
    TForm& window_;
    TNotebook& notebook_;
    TDeviceSession& session_;
    TStepProgress& progress_;

public:
    // One page object for each page of `notebook`, their controls owned by `window`; they ask
    // the device through `session` and count their steps on `progress`.
    TMainPages(TForm& window, TNotebook& notebook, TDeviceSession& session, TStepProgress& progress);
    ~TMainPages();

    TForm& Window() const { return window_; }
    TNotebook& Notebook() const { return notebook_; }
    TDeviceSession& Session() const { return session_; }
    TStepProgress& Progress() const { return progress_; }

    // The page of Notebook1 shown now; shows page `index`.
    int ShownPage() const;
    void ShowPage(int index);
    // Ends the program as closing the main window does.
    void CloseProgram();

    // "Abbruch" of the roads and the menu: asks, and on yes closes the main window, which
    // ends the program.
    void AskToQuit();
    // Back to the menu with all its entries enabled.
    void BackToMenu();
    // "&Abbruch" of both wizards: asks, and on yes leaves them as LeaveWizards does.
    void AskToLeaveWizards(bool endInstallStep);
    // Back to the menu from either wizard, both wizards on their first step next time. With
    // `endInstallStep` a running installation step of the device is ended first.
    void LeaveWizards(bool endInstallStep);
    // Queued for the device's next poll; without a link the loss shows instead.
    void DoorCommand(TDoorCommand command);
    // Both maintenance pages offer `date` for change (NullDate: none).
    void ShowMaintenanceDate(TDateTime date);
    // A line of the configuration run's protocol (page INS, while its list shows), also to the
    // log when PRTPROT is on.
    void AddComLine(const std::string& text);

    // The main window's read-out timer (Timer3; the read-out page runs its cycles on it).
    TTimer* Timer3 = nullptr;
    // The device's installation step runs: leaving the wizard, Esc and the program's end
    // end it.
    bool InstallActive = false;
    // An object read-out runs its cycles.
    bool ReadOdActive = false;
    // From just before a code is asked until its check has ended.
    bool CodeEntryActive = false;
    // Of the last block handshake: 0 none, 1-4 the failed step.
    int32_t ConfigError = 0;

    std::unique_ptr<TPageSEL> SEL;
    std::unique_ptr<TPageCOM> COM;
    std::unique_ptr<TPageRDX> RDX;
    std::unique_ptr<TPageCFG> CFG;
    std::unique_ptr<TPageWRX> WRX;
    std::unique_ptr<TPageTST> TST;
    std::unique_ptr<TPageCOC> COC;
    std::unique_ptr<TPageMEN> MEN;
    std::unique_ptr<TPageSTG> STG;
    std::unique_ptr<TPageBEN> BEN;
    std::unique_ptr<TPageEIN> EIN;
    std::unique_ptr<TPageEI2> EI2;
    std::unique_ptr<TPageINS> INS;
    std::unique_ptr<TPageWAR> WAR;
    std::unique_ptr<TPageWAW> WAW;
    std::unique_ptr<TPageEIG> EIG;
    std::unique_ptr<TPageDEV> DEV;
    std::unique_ptr<TPageNET> NET;
    std::unique_ptr<TPageROD> ROD;
    std::unique_ptr<TPagePWX> PWX;
    std::unique_ptr<TPageTX1> TX1;
    std::unique_ptr<TPageTX2> TX2;
    std::unique_ptr<TPageLDC> LDC;
    std::unique_ptr<TPageSVC> SVC;
    std::unique_ptr<TPageCT1> CT1;
    std::unique_ptr<TPageCT2> CT2;
};
