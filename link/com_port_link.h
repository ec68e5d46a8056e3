#pragma once
// The device link's port on the serial port component: the component's available-bytes
// event reaches the link on the window thread, and so does the loss of the device; only the
// port number is set, the rest keeps the component's defaults (19200 8N1, port 0 prompts).

#include "link/link_port.h"
#include "platform/win/messages.h"
#include "platform/win/window_handle.h"
#include "serial/ser_com_port.h"

class TComPortLink : public TLinkPort {
public:
    // `com` is not owned (the protocol window owns it as Com1).
    explicit TComPortLink(TSerComPort* com);
    ~TComPortLink() override;
    void Open(uint16_t number) override;
    void Close() override;
    bool CharReady() override;
    char GetChar() override;
    void PutString(const std::string& bytes) override;
    TSerComPort* Com() const { return com_; }

private:
    static constexpr UINT kLostMsg = WM_APP + 0x7E1;
    TSerComPort* com_;
    HWND lost_window_ = nullptr;
    std::string lost_text_;
};
