#pragma once
// The protocol window "Serielle Kommunikation": the engineer's view of the framed link. It
// owns the port component Com1 and the link engine, shows the numbered frame trace, the
// request queue and the last receive error or result, and saves the trace on a double
// click. The main window is the link's main view.

#include <memory>
#include <string>

#include "link/link_view.h"
#include "link/sercom_link.h"
#include "platform/forms/form.h"
#include "platform/forms/list_box.h"
#include "platform/forms/panel.h"
#include "platform/forms/status_bar.h"

class TComPortLink;
class TSerComPort;

class TFormSercom : public TForm, public TSercomView {
public:
    explicit TFormSercom(TComponent* AOwner);
    ~TFormSercom() override;
    std::string ClassName() const override { return "TFormSercom"; }

    // The main window's controls the link writes; null shows nothing.
    void SetMainView(TLinkMainView* main);
    TSercomLink& Link() { return *link_; }

    // After the call LinkState.PortOpen tells whether the port is open; a failure shows text 1221
    // when `showError`.
    void OpenPort(int port, bool showError) { link_->OpenPort(port, showError); }
    void ClosePort() { link_->ClosePort(); }
    void TraceFrame(const std::string& direction, const std::string& frame) { link_->TraceFrame(direction, frame); }
    void AddTraceLine(const std::string& text) { link_->AddTraceLine(text); }
    bool EnqueueRequest(const std::string& data) { return link_->EnqueueRequest(data); }
    int32_t QueryDeviceType() { return link_->QueryDeviceType(); }
    // Saves the trace as BaseDir + "TOVAK-PRT-YYMMDD-HHNNSS.TXT", empties the list, opens the
    // file; answers its path. A file that cannot be written raises (the application shows it).
    std::string ListBox1DblClick() { return link_->ListBox1DblClick(); }

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
    std::unique_ptr<TComPortLink> comLink_;
    std::unique_ptr<TSercomLink> link_;
    bool placePending_ = true;
};

extern TFormSercom* FormSercom;

// The program's device link; null before the protocol window exists.
inline TSercomLink* DeviceLink() { return FormSercom ? &FormSercom->Link() : nullptr; }
