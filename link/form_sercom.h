#pragma once
// The protocol window "Serielle Kommunikation": the engineer's view of the framed link. It
// owns the port component Com1 the link talks through, shows the numbered frame trace, the
// request queue and the last receive error or result, and has the link save the trace on a
// double click. The main window is the link's main view.

#include <string>
#include <vector>

#include "link/link_view.h"
#include "platform/forms/form.h"
#include "platform/forms/list_box.h"
#include "platform/forms/panel.h"
#include "platform/forms/status_bar.h"

class TSerComPort;
class TSercomLink;

class TFormSercom : public TForm, public TSercomView {
public:
    explicit TFormSercom(TComponent* AOwner);
    ~TFormSercom() override;
    std::string ClassName() const override { return "TFormSercom"; }

    // The link this window shows (not owned; null: none). A double click on the trace has it
    // save the trace as BaseDir + "TOVAK-PRT-YYMMDD-HHNNSS.TXT", empty the list and open the
    // file; a file that cannot be written raises (the application shows it).
    void SetLink(TSercomLink* link) { link_ = link; }

    // TSercomView
    void TraceAdd(const std::string& line) override;
    std::vector<std::string> TraceLines() const override;
    void TraceClear() override;
    void QueueAdd(const std::string& item) override;
    void QueueDelete(int index) override;
    void SetStatusText(const std::string& text) override;

    TPanel* ToolBar1;
    TListBox* ListBox1;
    TPanel* Splitter1;
    TListBox* ListBox2;
    TStatusBar* StatusBar1;
    TSerComPort* Com1;

protected:
    void DoShow() override;

private:
    TSercomLink* link_ = nullptr;
    bool placePending_ = true;
};

extern TFormSercom* FormSercom;
